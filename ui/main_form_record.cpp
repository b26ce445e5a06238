// "Record sentences" and "Export track...": every received line kept in a plain NMEA file
// beside the logs, and the track of that file handed on as GPX, KML or CSV.
#include "main_form.h"

#include "recording_export.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace fixwatch {
namespace {

// Hands each new line of the session to the recorder.
class RecordConsumer final : public LineConsumer {
public:
    explicit RecordConsumer(SentenceRecorder& recorder) : recorder_(recorder) {}
    void LineArrived(std::string_view line, const LineFacts&) override { recorder_.Append(line); }

private:
    SentenceRecorder& recorder_;
};

} // namespace

void MainForm::BuildRecord()
{
    utcNow = [] { return QDateTime::currentDateTimeUtc(); };

    MenuRecord = new QAction(QStringLiteral("Record sentences"), this);
    MenuRecord->setObjectName(QStringLiteral("MenuRecord"));
    MenuRecord->setCheckable(true);
    MenuRecord->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    MenuExportTrack = new QAction(QStringLiteral("Export track..."), this);
    MenuExportTrack->setObjectName(QStringLiteral("MenuExportTrack"));
    MenuExportTrack->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    // Right after "Data logger", before the separator that follows it.
    MenuFile->insertAction(MenuNull0, MenuRecord);
    MenuFile->insertAction(MenuNull0, MenuExportTrack);

    connect(MenuRecord, &QAction::triggered, this, &MainForm::MenuRecord_Click);
    connect(MenuExportTrack, &QAction::triggered, this, &MainForm::MenuExportTrack_Click);

    recordConsumer_ = std::make_unique<RecordConsumer>(recorder_);
    session_.AddConsumer(recordConsumer_.get());
}

void MainForm::MenuRecord_Click()
{
    // Checked while stopped, the recording begins at the next Start.
    RecordFollowAcquisition();
    UpdateLoggerStatus();
}

void MainForm::RecordFollowAcquisition()
{
    const bool wanted = acquisitionRunning && MenuRecord->isChecked();
    if (wanted && !recorder_.Recording()) {
        if (!recorder_.Start(LogFolder(), utcNow()))
            MenuRecord->setChecked(false);
    } else if (!wanted && recorder_.Recording()) {
        // Everything received so far goes to the file before it closes.
        if (!recorder_.Stop())
            MenuRecord->setChecked(false);
    }
}

void MainForm::RecordTick()
{
    if (!recorder_.Recording())
        return;
    if (!recorder_.Flush())
        MenuRecord->setChecked(false);
    UpdateLoggerStatus();
}

QString MainForm::RecordStatusText() const
{
    if (recorder_.Recording())
        return QStringLiteral("Recording to \u2026/%1 \u00b7 %2")
            .arg(QFileInfo(recorder_.Path()).fileName(), SizeText(recorder_.BytesWritten()));
    if (!recorder_.Error().isEmpty())
        return QStringLiteral("Recording stopped: ") + recorder_.Error();
    return {};
}

QString MainForm::TrackSourcePath() const
{
    // While a file is the source, its track is the one the window shows.
    return ReplayedRecording().isEmpty() ? recorder_.Path() : ReplayedRecording();
}

bool MainForm::ExportTrackTo(const QString& target, QString* reason)
{
    // What has arrived so far is in the file before it is read.
    if (recorder_.Recording())
        RecordTick();
    return ExportRecordingTrack(TrackSourcePath(), target,
                                settings.allGnss ? Talkers::AllSystems : Talkers::GpsOnly, reason);
}

void MainForm::MenuExportTrack_Click()
{
    if (TrackSourcePath().isEmpty()) {
        ShowMessage(QMessageBox::Information,
                    QStringLiteral("There is no recording to export yet: record sentences first."));
        return;
    }
    const QString suggested = QFileInfo(TrackSourcePath()).path() + QLatin1Char('/')
                              + QFileInfo(TrackSourcePath()).completeBaseName() + QStringLiteral(".gpx");
    const QString target = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export track"), suggested,
        QStringLiteral("GPX track (*.gpx);;KML track (*.kml);;CSV table (*.csv)"));
    if (target.isEmpty())
        return;
    QString reason;
    if (!ExportTrackTo(target, &reason))
        ShowMessage(QMessageBox::Warning, reason);
}

} // namespace fixwatch
