#include "gpsd_stream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace fixwatch {
namespace {

// gpsd marks an active device with the time it was activated; an inactive one has no such
// field, or 0 from older versions.
bool IsActive(const QJsonObject& device)
{
    const QJsonValue activated = device.value(QLatin1StringView("activated"));
    if (activated.isString())
        return !activated.toString().isEmpty();
    if (activated.isDouble())
        return activated.toDouble() != 0;
    return false;
}

QString PathOf(const QJsonObject& device)
{
    return device.value(QLatin1StringView("path")).toString();
}

} // namespace

std::string GpsdStream::WatchRequest(const QString& device)
{
    QJsonObject watch{{QStringLiteral("enable"), true}, {QStringLiteral("nmea"), true}};
    if (!device.isEmpty())
        watch.insert(QStringLiteral("device"), device);
    return "?WATCH=" + QJsonDocument(watch).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

void GpsdStream::Reset(const QString& device)
{
    line_ = Line::Start;
    watch_ = Watch::Asked;
    named_ = !device.isEmpty();
    json_.clear();
    request_.clear();
    device_ = device;
    refusal_.clear();
    devices_.clear();
}

void GpsdStream::Take(std::string_view bytes, std::string& text)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (line_ == Line::Start) {
            if (bytes[at] == '{')
                line_ = Line::Json;
            else
                line_ = watch_ == Watch::Watching ? Line::Passed : Line::Dropped;
            json_.clear();
        }
        const std::size_t newline = bytes.find('\n', at);
        const std::size_t end = newline == std::string_view::npos ? bytes.size() : newline + 1;
        const std::string_view piece = bytes.substr(at, end - at);
        switch (line_) {
        case Line::Passed:
            text.append(piece);
            break;
        case Line::Json:
            if (json_.size() + piece.size() > kMaxJsonLine) {
                line_ = Line::OverlongJson;
                json_.clear();
                json_.shrink_to_fit();
            } else {
                json_.append(piece);
            }
            break;
        case Line::Dropped:
        case Line::OverlongJson:
        case Line::Start:
            break;
        }
        if (newline != std::string_view::npos) {
            if (line_ == Line::Json)
                HandleJson();
            line_ = Line::Start;
        }
        at = end;
    }
}

void GpsdStream::HandleJson()
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json_));
    json_.clear();
    if (!document.isObject())
        return;
    const QJsonObject report = document.object();
    const QString kind = report.value(QLatin1StringView("class")).toString();
    if (kind == QLatin1StringView("DEVICES")) {
        // The whole list, replacing what was known.
        devices_.clear();
        for (const auto& entry : report.value(QLatin1StringView("devices")).toArray()) {
            const QJsonObject device = entry.toObject();
            const QString path = PathOf(device);
            if (IsActive(device) && !path.isEmpty() && !devices_.contains(path)
                && devices_.size() < kMaxDevices)
                devices_.append(path);
        }
        if (watch_ == Watch::Asked && !named_)
            ChooseDevice();
    } else if (kind == QLatin1StringView("DEVICE")) {
        // One device came or went.
        const QString path = PathOf(report);
        if (path.isEmpty())
            return;
        if (!IsActive(report))
            devices_.removeAll(path);
        else if (!devices_.contains(path) && devices_.size() < kMaxDevices)
            devices_.append(path);
    } else if (kind == QLatin1StringView("WATCH")) {
        // gpsd confirms a watch by repeating it; the one that counts names our device.
        const QString watched = report.value(QLatin1StringView("device")).toString();
        if ((watch_ == Watch::Asked || watch_ == Watch::Choosing) && watched == device_)
            watch_ = Watch::Watching;
    } else if (kind == QLatin1StringView("ERROR")) {
        if (watch_ == Watch::Asked || watch_ == Watch::Choosing) {
            watch_ = Watch::Refused;
            refusal_ = ShownPath(report.value(QLatin1StringView("message")).toString());
        }
    }
}

void GpsdStream::ChooseDevice()
{
    // A gpsd without devices sends the sentences of the first one that comes, alone.
    if (devices_.isEmpty())
        return;
    device_ = devices_.front();
    request_ = WatchRequest(device_);
    watch_ = Watch::Choosing;
}

QString GpsdStream::DevicesText() const
{
    if (device_.isEmpty())
        return {};
    const qsizetype others = devices_.size() - (devices_.contains(device_) ? 1 : 0);
    QString shown = ShownPath(device_);
    if (others <= 0)
        return shown;
    return others == 1 ? QStringLiteral("%1 \u00B7 1 other device").arg(shown)
                       : QStringLiteral("%1 \u00B7 %2 other devices").arg(shown).arg(others);
}

QString GpsdStream::ShownPath(const QString& path)
{
    QString shown;
    for (QChar c : path) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            continue;
        default:
            shown.append(c);
        }
    }
    shown = shown.trimmed();
    if (shown.size() > kMaxPathLength) {
        shown.truncate(kMaxPathLength - 1);
        if (shown.back().isHighSurrogate())
            shown.chop(1); // never end on half a character
        shown.append(QChar(0x2026));
    }
    return shown;
}

} // namespace fixwatch
