#pragma once

#include "epochs.h"
#include "recording_lines.h"
#include "talkers.h"
#include "track_export.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <memory>
#include <optional>

namespace fixwatch {

// The track of a recording written to GPX, KML or CSV by the target name's extension (.gpx,
// .kml, .csv), a piece at a time so that the window goes on while it is written: Begin, then
// Step until it says it is done. The target is replaced only once it is written whole;
// a failed or cancelled export leaves it as it was. Only a regular file is read: a device or
// a pipe never ends.
class RecordingExport {
public:
    static constexpr qint64 kStepBytes = 4 << 20;

    RecordingExport(Talkers talkers, TrackOptions options = {});
    ~RecordingExport();

    // False with the reason in the user's words.
    bool Begin(const QString& source, const QString& target);
    // Reads up to `bytes` more of the recording; true once the export is done, written or not.
    bool Step(qint64 bytes = kStepBytes);
    void Cancel();

    bool Done() const { return done_; }
    bool Succeeded() const { return succeeded_; }
    QString Reason() const { return reason_; }
    QString Target() const { return target_; }
    std::size_t Points() const { return track_ ? track_->Points() : 0; }
    // How much of the recording is read, 0 to 1.
    double Progress() const;

private:
    bool Fail(const QString& why);
    void Complete();

    Talkers talkers_;
    TrackOptions options_;
    QString source_;
    QString target_;
    QFile in_;
    qint64 size_ = 0;
    qint64 read_ = 0;
    std::unique_ptr<QSaveFile> out_;
    std::unique_ptr<TrackExport> track_;
    std::unique_ptr<EpochModel> epochs_;
    LineSplitter lines_;
    bool done_ = false;
    bool succeeded_ = false;
    QString reason_;
};

// Writes the whole track of the recording `source` to `target` at once (see RecordingExport);
// false with the reason in the user's words.
bool ExportRecordingTrack(const QString& source, const QString& target, Talkers talkers, QString* reason);

} // namespace fixwatch
