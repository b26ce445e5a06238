#include "recording_export.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <string_view>
#include <vector>

namespace fixwatch {
namespace {

std::optional<TrackFormat> FormatOf(const QString& target)
{
    const QString suffix = QFileInfo(target).suffix().toLower();
    if (suffix == QLatin1String("gpx"))
        return TrackFormat::Gpx;
    if (suffix == QLatin1String("kml"))
        return TrackFormat::Kml;
    if (suffix == QLatin1String("csv"))
        return TrackFormat::Csv;
    return std::nullopt;
}

} // namespace

RecordingExport::RecordingExport(Talkers talkers, TrackOptions options) : talkers_(talkers), options_(options) {}

RecordingExport::~RecordingExport()
{
    if (out_)
        out_->cancelWriting();
}

bool RecordingExport::Fail(const QString& why)
{
    reason_ = why;
    done_ = true;
    succeeded_ = false;
    if (out_)
        out_->cancelWriting();
    out_.reset();
    in_.close();
    return false;
}

bool RecordingExport::Begin(const QString& source, const QString& target)
{
    source_ = source;
    target_ = target;
    if (source.isEmpty())
        return Fail(QStringLiteral("There is no recording to export yet: record sentences first."));
    const std::optional<TrackFormat> format = FormatOf(target);
    if (!format)
        return Fail(QStringLiteral("Choose a file name ending in .gpx, .kml or .csv."));
    // Opened without waiting for a writer, then asked what it is: a pipe or a device would
    // be read for ever.
    const int fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(QStringLiteral("Cannot read %1: %2").arg(source, QString::fromLocal8Bit(std::strerror(errno))));
    struct stat facts {};
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
        ::close(fd);
        return Fail(QStringLiteral("%1 is not a file on disk but a device or a pipe, which never ends: "
                                   "record it first, then export the recording.")
                        .arg(source));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!in_.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Fail(QStringLiteral("Cannot read %1: %2").arg(source, in_.errorString()));
    }
    size_ = facts.st_size;
    out_ = std::make_unique<QSaveFile>(target);
    if (!out_->open(QIODevice::WriteOnly))
        return Fail(QStringLiteral("Cannot write %1: %2").arg(target, out_->errorString()));
    track_ = std::make_unique<TrackExport>(*format, *out_, options_);
    // Each epoch is written as it closes: the history needs to hold only the newest.
    epochs_ = std::make_unique<EpochModel>(talkers_, 1);
    track_->BeginTrack(QFileInfo(source).completeBaseName());
    return true;
}

bool RecordingExport::Step(qint64 bytes)
{
    if (done_)
        return true;
    const auto line = [this](std::string_view text) {
        if (epochs_->Feed(text))
            track_->Add(epochs_->History().Newest());
    };
    std::vector<char> buffer(std::size_t{1} << 16);
    for (qint64 left = bytes; left > 0;) {
        const qint64 n = in_.read(buffer.data(), std::min<qint64>(left, static_cast<qint64>(buffer.size())));
        if (n < 0) {
            Fail(QStringLiteral("Cannot read %1: %2").arg(source_, in_.errorString()));
            return true;
        }
        if (n == 0) {
            lines_.Finish(line);
            Complete();
            return true;
        }
        read_ += n;
        left -= n;
        lines_.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)), line);
    }
    return false;
}

void RecordingExport::Complete()
{
    in_.close();
    if (epochs_->Finish())
        track_->Add(epochs_->History().Newest());
    track_->EndTrack();
    track_->Finish();
    if (track_->Points() == 0) {
        if (track_->LeftOutUndated() > 0)
            Fail(QStringLiteral("The recording's fixes have no date (no RMC or ZDA sentence), "
                                "which GPX needs: export it as CSV or KML instead."));
        else if (track_->LeftOutSimulated() > 0)
            Fail(QStringLiteral("The recording holds only the fixes of the receiver's simulator: "
                                "there is no track to export."));
        else
            Fail(QStringLiteral("The recording has no position fix: there is no track to export."));
        return;
    }
    if (!out_->commit()) {
        Fail(QStringLiteral("Cannot write %1: %2").arg(target_, out_->errorString()));
        return;
    }
    out_.reset();
    done_ = true;
    succeeded_ = true;
}

void RecordingExport::Cancel()
{
    if (!done_)
        Fail(QStringLiteral("Export cancelled: %1 was left as it was.").arg(target_));
}

double RecordingExport::Progress() const
{
    if (done_)
        return 1;
    return size_ > 0 ? std::min(1.0, static_cast<double>(read_) / static_cast<double>(size_)) : 0;
}

bool ExportRecordingTrack(const QString& source, const QString& target, Talkers talkers, QString* reason)
{
    RecordingExport job(talkers);
    if (job.Begin(source, target))
        while (!job.Step()) {
        }
    if (!job.Succeeded() && reason != nullptr)
        *reason = job.Reason();
    return job.Succeeded();
}

} // namespace fixwatch
