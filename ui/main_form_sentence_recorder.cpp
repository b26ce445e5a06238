// "Record sentences" and "Export track...": every received line kept in a plain NMEA file
// beside the logs, and the track of that file handed on as GPX, KML or CSV.
#include "main_form.h"

#include "logger_status.h"
#include "port_device.h"
#include "recorder_feed.h"
#include "recording_export.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QProgressDialog>
#include <QTimer>

namespace fixwatch {
namespace {

// How long "Exported ..." and "Position saved ..." stay in the status bar.
constexpr int kWrittenShownMs = 10'000;

} // namespace

void MainForm::BuildSentenceRecorder()
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

    recorderFeed_ = std::make_unique<RecorderFeed>(recorder_);
    session_.AddConsumer(recorderFeed_.get());
    followers_.push_back([this] { RecorderFollowAcquisition(); });
    tickers_.push_back([this](const ReceiverSession::Poll&) { RecorderTick(); });

    askExportFile = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Export track"), suggested,
                                            QStringLiteral("GPX track (*.gpx);;KML track (*.kml);;CSV table (*.csv)"));
    };
    exportTimer_ = new QTimer(this);
    exportTimer_->setInterval(0);
    connect(exportTimer_, &QTimer::timeout, this, &MainForm::ExportStep);
}

void MainForm::RecordFromCommandLine()
{
    MenuRecord->setChecked(true);
    MenuRecord_Click();
}

void MainForm::MenuRecord_Click()
{
    // Checked while stopped, the recording begins at the next Start.
    RecorderFollowAcquisition();
    UpdateLoggerStatus();
}

void MainForm::RecorderFollowAcquisition()
{
    const bool wanted = acquisitionRunning && MenuRecord->isChecked();
    // A Start forgets the file recorded last; until then the status bar keeps its name.
    if (acquisitionRunning && !recorderRunning_)
        recordedShown_ = false;
    recorderRunning_ = acquisitionRunning;
    if (wanted && !recorder_.Recording()) {
        if (!recorder_.Start(LogFolder(), utcNow()))
            MenuRecord->setChecked(false);
    } else if (!wanted && recorder_.Recording()) {
        // Everything received so far goes to the file before it closes.
        if (!recorder_.Stop())
            MenuRecord->setChecked(false);
        recordedShown_ = recorder_.Error().isEmpty();
    }
}

void MainForm::RecorderTick()
{
    if (!recorder_.Recording())
        return;
    if (!recorder_.Flush())
        MenuRecord->setChecked(false);
    UpdateLoggerStatus();
}

void MainForm::ShowWritten(const QString& text)
{
    written_ = text;
    UpdateLoggerStatus();
    QTimer::singleShot(kWrittenShownMs, this, [this, text] {
        if (written_ == text) {
            written_.clear();
            UpdateLoggerStatus();
        }
    });
}

QString MainForm::TrackSourcePath() const
{
    // While a file is the source, its track is the one the window shows.
    if (!ReplayedRecording().isEmpty())
        return ReplayedRecording();
    // Before Start, a port that names a file has that file as its source.
    if (!acquisitionRunning) {
        if (!MSComm.Recording().isEmpty())
            return MSComm.Recording();
        if (const auto entry = MSComm.Ports().Entry(settings.portIndex + 1))
            if (const auto file = RecordingPath(entry->address))
                return *file;
    }
    return recorder_.Path();
}

bool MainForm::ExportTrackTo(const QString& target, QString* reason)
{
    // What has arrived so far is in the file before it is read.
    if (recorder_.Recording())
        RecorderTick();
    RecordingExport job(settings.allGnss ? Talkers::AllSystems : Talkers::GpsOnly);
    if (job.Begin(TrackSourcePath(), target))
        while (!job.Step()) {
        }
    if (!job.Succeeded()) {
        if (reason != nullptr)
            *reason = job.Reason();
        return false;
    }
    ShowWritten(QStringLiteral("Exported %1 points to %2").arg(QLocale(QLocale::English).toString(qulonglong{job.Points()}), ShortPath(target)));
    return true;
}

void MainForm::StartExport(const QString& target)
{
    if (recorder_.Recording())
        RecorderTick();
    exportJob_ = std::make_unique<RecordingExport>(settings.allGnss ? Talkers::AllSystems : Talkers::GpsOnly);
    if (!exportJob_->Begin(TrackSourcePath(), target)) {
        const QString reason = exportJob_->Reason();
        exportJob_.reset();
        ShowMessage(QMessageBox::Warning, reason);
        return;
    }
    exportProgress_ = new QProgressDialog(QStringLiteral("Exporting the track to %1").arg(ShortPath(target)),
                                          QStringLiteral("Cancel"), 0, 1000, this);
    exportProgress_->setObjectName(QStringLiteral("ExportProgress"));
    exportProgress_->setWindowTitle(QStringLiteral("Export track"));
    // The window goes on showing the receiver while the track is written.
    exportProgress_->setWindowModality(Qt::NonModal);
    exportProgress_->setAutoClose(false);
    exportProgress_->setAutoReset(false);
    exportProgress_->setMinimumDuration(500);
    exportProgress_->setValue(0);
    connect(exportProgress_, &QProgressDialog::canceled, this, [this] {
        if (exportJob_)
            exportJob_->Cancel();
        FinishExport();
    });
    MenuExportTrack->setEnabled(false);
    exportTimer_->start();
}

void MainForm::ExportStep()
{
    if (!exportJob_)
        return;
    const bool done = exportJob_->Step();
    if (exportProgress_)
        exportProgress_->setValue(static_cast<int>(exportJob_->Progress() * 1000));
    if (done)
        FinishExport();
}

void MainForm::FinishExport()
{
    exportTimer_->stop();
    if (exportProgress_) {
        exportProgress_->disconnect(this);
        exportProgress_->setObjectName(QString()); // it goes with the next turn of the loop
        exportProgress_->close();
        exportProgress_->deleteLater();
        exportProgress_ = nullptr;
    }
    MenuExportTrack->setEnabled(true);
    if (!exportJob_)
        return;
    const std::unique_ptr<RecordingExport> job = std::move(exportJob_);
    if (job->Succeeded())
        ShowWritten(QStringLiteral("Exported %1 points to %2")
                        .arg(QLocale(QLocale::English).toString(qulonglong{job->Points()}), ShortPath(job->Target())));
    else if (job->Reason().startsWith(QLatin1String("Export cancelled")))
        ShowWritten(job->Reason());
    else
        ShowMessage(QMessageBox::Warning, job->Reason());
}

void MainForm::MenuExportTrack_Click()
{
    if (exportJob_) {
        // One export at a time: the one running comes forward.
        if (exportProgress_)
            exportProgress_->show();
        return;
    }
    if (TrackSourcePath().isEmpty()) {
        ShowMessage(QMessageBox::Information,
                    QStringLiteral("There is no recording to export yet: record sentences first."));
        return;
    }
    const QString suggested = QFileInfo(TrackSourcePath()).path() + QLatin1Char('/')
                              + QFileInfo(TrackSourcePath()).completeBaseName() + QStringLiteral(".gpx");
    const QString target = askExportFile ? askExportFile(suggested) : QString();
    if (target.isEmpty())
        return;
    StartExport(target);
}

} // namespace fixwatch
