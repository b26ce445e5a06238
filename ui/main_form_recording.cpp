// The data logger, "Save current position", the checksum calculator and the About command.
#include "main_form.h"

#include "fix_fields.h"
#include "frm_about.h"
#include "log_record.h"
#include "number_text.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
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
    QString text;
    if (!logError_.isEmpty()) {
        text = QStringLiteral("Log not written: ") + logError_;
    } else if (loggerRunning) {
        QString path = LogFilePath(LogFolder(), today ? today() : QDate::currentDate());
        const QString home = QDir::homePath();
        if (!home.isEmpty() && home != QLatin1String("/") && path.startsWith(home + QLatin1Char('/')))
            path = QLatin1Char('~') + path.mid(home.size());
        text = QStringLiteral("Logging every %1 s to %2").arg(Timer_DL->interval() / 1000).arg(path);
    }
    for (const QString& more : {RecordStatusText(), written_})
        if (!more.isEmpty())
            text = text.isEmpty() ? more : text + QStringLiteral("; ") + more;
    Status->ShowLogger(text);
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

void MainForm::Cmd_CalcolaCRC_Click()
{
    QInputDialog input(this);
    input.setObjectName(QStringLiteral("CrcInput"));
    input.setWindowTitle(QStringLiteral("NMEA-0183 CRC Calculus"));
    input.setLabelText(QStringLiteral("Sentence:"));
    input.setTextValue(QString());
    // Wide enough to see a whole sentence (82 characters) while typing it.
    if (auto* edit = input.findChild<QLineEdit*>()) {
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(84, QLatin1Char('0'))));
    }
    const QString sentence = input.exec() == QDialog::Accepted ? input.textValue() : QString();

    const QByteArray bytes = sentence.toLatin1();
    const NmeaInterpreter* GPS = session_.Interpreter();
    const std::string checksum =
        GPS ? GPS->GetChecksum(std::string_view(bytes.constData(),
                                                static_cast<std::size_t>(bytes.size())))
            : std::string("00");
    ShowMessage(QMessageBox::Information,
                QStringLiteral("The checksum for the sentence ") + sentence
                    + QStringLiteral(" is: ") + QString::fromLatin1(checksum.c_str()));
}

void MainForm::MenuAbout_Click()
{
    if (about_ == nullptr)
        return;
    setEnabled(false);
    repaint();
    QRect frame = about_->frameGeometry();
    frame.moveCenter(frameGeometry().center());
    about_->move(frame.topLeft());
    about_->show();
    about_->raise();
    about_->activateWindow();
}

} // namespace fixwatch
