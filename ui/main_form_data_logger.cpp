// The data logger: a record of the fix every interval while it runs, "Save current position"
// on demand, and what the status bar says of both.
#include "main_form.h"

#include "fix_fields.h"
#include "log_record.h"
#include "logger_status.h"
#include "number_text.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cmath>

namespace fixwatch {

QString MainForm::LogFolder() const
{
    return fixwatch::LogFolder();
}

bool MainForm::WriteLogRecord()
{
    // Date, time, latitude, longitude, altitude and speed, as the default display shows
    // them, whatever coordinates and units the window shows now.
    QStringList fields;
    for (const FixField index : {kDate, kTime, kLatitude, kLongitude, kAltitude, kSpeedKmh})
        fields << (display ? display->CurrentFixText(index) : QString());
    QString reason;
    const bool written =
        AppendLogRecord(LogFolder(), today ? today() : QDate::currentDate(), fields, &reason);
    logError_ = written ? QString() : reason;
    UpdateLoggerStatus();
    return written;
}

void MainForm::UpdateLoggerStatus()
{
    LoggerStatus status;
    status.logError = logError_;
    if (loggerRunning) {
        status.logFile = LogFilePath(LogFolder(), today ? today() : QDate::currentDate());
        status.intervalSeconds = Timer_DL->interval() / 1000;
    }
    status.recorder = RecorderStatusText(recorder_, recordedShown_);
    status.written = written_;
    Status->ShowLogger(LoggerStatusText(status, QDir::homePath()));
}

void MainForm::Timer_DL_Timer()
{
    Timer_DL->stop();
    WriteLogRecord();
    if (loggerRunning)
        Timer_DL->start();
}

void MainForm::MenuSalvaDL_Click()
{
    MenuSalvaDL->setChecked(!MenuSalvaDL->isChecked());
    MenuSalvaCP->setEnabled(!MenuSalvaDL->isChecked());
    update();
}

void MainForm::MenuSalvaCP_Click()
{
    if (WriteLogRecord())
        ShowWritten(QStringLiteral("Position saved to \u2026/")
                    + QFileInfo(LogFilePath(LogFolder(), today ? today() : QDate::currentDate())).fileName());
}

void MainForm::Cmb_Interval_Click()
{
    const QByteArray text = Cmb_Interval->currentText().toLatin1();
    const double seconds = LeadingNumber(std::string_view(text.constData(),
                                                          static_cast<std::size_t>(text.size())));
    const double milliseconds = std::round(seconds * 1000.0);
    // Qt timers take an int; an interval beyond it (or below 0) cannot be set and is skipped.
    if (milliseconds >= 0 && milliseconds <= 2147483647.0)
        Timer_DL->setInterval(static_cast<int>(milliseconds));
    UpdateLoggerStatus();
}

} // namespace fixwatch
