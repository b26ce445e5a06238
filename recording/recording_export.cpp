#include "recording_export.h"

#include "epochs.h"
#include "recording_lines.h"
#include "track_export.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <string_view>

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

bool ExportRecordingTrack(const QString& source, const QString& target, Talkers talkers, QString* reason)
{
    auto fail = [reason](const QString& why) {
        if (reason != nullptr)
            *reason = why;
        return false;
    };
    if (source.isEmpty())
        return fail(QStringLiteral("There is no recording to export yet: record sentences first."));
    const std::optional<TrackFormat> format = FormatOf(target);
    if (!format)
        return fail(QStringLiteral("Choose a file name ending in .gpx, .kml or .csv."));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Cannot write %1: %2").arg(target, out.errorString()));

    TrackExport track(*format, out);
    EpochModel epochs(talkers, 1);
    track.BeginTrack(QFileInfo(source).completeBaseName());
    std::string error;
    const bool read = ForEachLine(
        QFile::encodeName(source).toStdString(), [&](std::string_view line) {
            if (epochs.Feed(line))
                track.Add(epochs.History().Newest());
        },
        error);
    if (!read) {
        out.cancelWriting();
        return fail(QStringLiteral("Cannot read %1: %2").arg(source, QString::fromLocal8Bit(error)));
    }
    if (epochs.Finish())
        track.Add(epochs.History().Newest());
    track.EndTrack();
    track.Finish();
    if (track.Points() == 0) {
        out.cancelWriting();
        if (track.LeftOutUndated() > 0)
            return fail(QStringLiteral("The recording's fixes have no date (no RMC or ZDA sentence), "
                                       "which GPX needs: export it as CSV or KML instead."));
        return fail(QStringLiteral("The recording has no position fix: there is no track to export."));
    }
    if (!out.commit())
        return fail(QStringLiteral("Cannot write %1: %2").arg(target, out.errorString()));
    return true;
}

} // namespace fixwatch
