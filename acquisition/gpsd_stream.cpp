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

} // namespace

void GpsdStream::Take(std::string_view bytes, std::string& text)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (line_ == Line::Start) {
            line_ = bytes[at] == '{' ? Line::Json : Line::Passed;
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

void GpsdStream::Reset()
{
    line_ = Line::Start;
    json_.clear();
    devices_.clear();
}

void GpsdStream::HandleJson()
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json_));
    json_.clear();
    if (!document.isObject())
        return;
    const QJsonObject report = document.object();
    const QString kind = report.value(QLatin1StringView("class")).toString();
    const auto pathOf = [](const QJsonObject& device) {
        return ShownPath(device.value(QLatin1StringView("path")).toString());
    };
    if (kind == QLatin1StringView("DEVICES")) {
        // The whole list, replacing what was known.
        devices_.clear();
        for (const QJsonValue& entry : report.value(QLatin1StringView("devices")).toArray()) {
            const QJsonObject device = entry.toObject();
            const QString path = pathOf(device);
            if (IsActive(device) && !path.isEmpty() && !devices_.contains(path)
                && devices_.size() < kMaxDevices)
                devices_.append(path);
        }
    } else if (kind == QLatin1StringView("DEVICE")) {
        // One device came or went.
        const QString path = pathOf(report);
        if (path.isEmpty())
            return;
        if (!IsActive(report))
            devices_.removeAll(path);
        else if (!devices_.contains(path) && devices_.size() < kMaxDevices)
            devices_.append(path);
    }
}

QString GpsdStream::DevicesText() const
{
    if (devices_.isEmpty())
        return {};
    if (devices_.size() == 1)
        return devices_.front();
    return QStringLiteral("%1 and %2 more").arg(devices_.front()).arg(devices_.size() - 1);
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
