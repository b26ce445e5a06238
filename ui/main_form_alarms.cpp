// The alarms in the window: the Alarms menu and its settings dialog, the Alarms tab, the
// status bar's alarm text, the day's alarm file and the desktop notifications. The watch
// itself decides; the window feeds it and shows what it says.
#include "main_form.h"

#include "alarm_list.h"
#include "alarm_log.h"
#include "alarm_sound.h"
#include "alarm_watch.h"
#include "frm_alarm_settings.h"
#include "history_feed.h"
#include "log_record.h"
#include "notifier.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

namespace fixwatch {
namespace {

// The error colour of the status bar's alarm text.
const QColor kAlarmColour(0xc0, 0x1c, 0x28);
// However crowded the status bar, the alarms keep this share of it.
constexpr double kAlarmStatusShare = 0.45;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QString Number(double value)
{
    return Text(ShortNumber(value, 1));
}

} // namespace

void MainForm::BuildAlarms()
{
    alarmWatch_ = std::make_unique<AlarmWatch>();
    notifier_ = new Notifier(this);
    notifier_->setObjectName(QStringLiteral("Notifier"));
    alarmSound_ = new AlarmSound(this);
    alarmClock = [started = std::make_shared<QElapsedTimer>()] {
        if (!started->isValid())
            started->start();
        return static_cast<double>(started->elapsed()) / 1000.0;
    };
    notifier_->onUnavailable = [this](const QString& reason) { Frm_Alarms->Note(utcNow(), reason); };

    MenuAlarms = new QMenu(QStringLiteral("&Alarms"), this);
    MenuAlarms->setObjectName(QStringLiteral("MenuAlarms"));
    menuBar()->insertMenu(MenuAbout0->menuAction(), MenuAlarms);
    for (std::size_t i = 0; i < MenuAlarm.size(); ++i) {
        MenuAlarm[i] = MenuAlarms->addAction(QString());
        MenuAlarm[i]->setObjectName(QStringLiteral("MenuAlarm(%1)").arg(i));
        MenuAlarm[i]->setCheckable(true);
        connect(MenuAlarm[i], &QAction::triggered, this, [this, i] { MenuAlarm_Click(static_cast<int>(i)); });
    }
    MenuAlarms->addSeparator();
    MenuAlarmSettings = MenuAlarms->addAction(QStringLiteral("Alarm settings…"));
    MenuAlarmSettings->setObjectName(QStringLiteral("MenuAlarmSettings"));
    connect(MenuAlarmSettings, &QAction::triggered, this, &MainForm::MenuAlarmSettings_Click);
    ShowAlarmCaptions();

    Frm_Alarms = new AlarmList;
    // Before the Console, which stays last.
    SSTab->insertTab(ConsoleTab(), Frm_Alarms, QStringLiteral("Alarms"));

    Lab_Alarms = new StatusLabel(kAlarmStatusShare);
    Lab_Alarms->setObjectName(QStringLiteral("Lab_Alarms"));
    QPalette palette = Lab_Alarms->palette();
    palette.setColor(QPalette::WindowText, kAlarmColour);
    Lab_Alarms->setPalette(palette);
    QFont bold = Lab_Alarms->font();
    bold.setBold(true);
    Lab_Alarms->setFont(bold);
    Lab_Alarms->setVisible(false);
    statusBar()->insertWidget(0, Lab_Alarms);

    followers_.push_back([this] { AlarmsFollowAcquisition(); });
    // First of the ticks: the watch reads the poll before a recording that ends stops the
    // acquisition.
    tickers_.insert(tickers_.begin(), [this](const ReceiverSession::Poll& poll) { AlarmTick(poll); });
    connect(historyFeed_.get(), &HistoryFeed::EpochClosed, this, [this](const Epoch& epoch) { AlarmEpoch(epoch); });
}

// The captions carry the limits, so the menu says what each alarm watches for.
void MainForm::ShowAlarmCaptions()
{
    const AlarmSettings& s = alarmWatch_->Settings();
    const std::array<QString, kAlarmKinds.size()> captions{
        QStringLiteral("No data for %1 s").arg(Number(s.noDataSeconds)),
        QStringLiteral("Fix lost"),
        QStringLiteral("Fix degraded"),
        QStringLiteral("HDOP above %1").arg(Number(s.hdopLimit)),
        QStringLiteral("Fewer than %1 satellites used").arg(s.satellitesMinimum),
        QStringLiteral("More than %1 m from the anchor point").arg(Number(s.anchorRadius)),
        QStringLiteral("Receiver date a day or more off"),
    };
    for (std::size_t i = 0; i < MenuAlarm.size(); ++i)
        MenuAlarm[i]->setText(captions[i]);
}

double MainForm::AlarmNow() const
{
    // A replay runs on the recording's time, at whatever pace it plays.
    if (const ReplayControl* replay = MSComm.Replay(); replay && acquisitionRunning)
        return static_cast<double>(replay->Position()) / 1000.0;
    return alarmClock();
}

void MainForm::MenuAlarm_Click(int Index)
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= MenuAlarm.size())
        return;
    alarmWatch_->Arm(kAlarmKinds[static_cast<std::size_t>(Index)], MenuAlarm[static_cast<std::size_t>(Index)]->isChecked(),
                     AlarmNow());
    ShowAlarmChanges();
}

void MainForm::MenuAlarmSettings_Click()
{
    frmAlarmSettings dialog(this, alarmWatch_->Settings(), alarmSoundOn_, alarmWatch_->LastPosition());
    if (dialog.exec() != QDialog::Accepted)
        return;
    alarmWatch_->SetSettings(dialog.Settings());
    alarmSoundOn_ = dialog.Sound();
    ShowAlarmCaptions();
}

std::string MainForm::ArmFromCommandLine(const std::string& option)
{
    std::string error;
    const auto read = ReadAlarmOption(option, alarmWatch_->Settings(), &error);
    if (!read)
        return error;
    alarmWatch_->SetSettings(read->settings);
    MenuAlarm[AlarmIndex(read->kind)]->setChecked(true);
    MenuAlarm_Click(static_cast<int>(AlarmIndex(read->kind)));
    ShowAlarmCaptions();
    return {};
}

void MainForm::AlarmsFollowAcquisition()
{
    if (acquisitionRunning)
        alarmWatch_->Begin(AlarmNow());
    else
        alarmWatch_->End("Stopped");
    ShowAlarmChanges();
}

void MainForm::AlarmTick(const ReceiverSession::Poll& poll)
{
    if (!acquisitionRunning)
        return;
    const double now = AlarmNow();
    if (poll.lines > 0)
        alarmWatch_->LineArrived(now);
    alarmWatch_->Tick(now);
    ShowAlarmChanges();
}

void MainForm::AlarmEpoch(const Epoch& epoch)
{
    if (!acquisitionRunning)
        return;
    // A recording's dates are not compared with today's.
    const std::optional<std::int64_t> systemUtc =
        MSComm.Replay() ? std::nullopt : std::optional<std::int64_t>(utcNow().toSecsSinceEpoch());
    alarmWatch_->EpochClosed(epoch, AlarmNow(), systemUtc);
}

void MainForm::ShowAlarmChanges()
{
    const bool replay = MSComm.Replay() != nullptr && acquisitionRunning;
    for (const AlarmChange& change : alarmWatch_->TakeChanges()) {
        const QDateTime at = utcNow();
        const QString text = Text(change.text);
        const std::string_view name = AlarmKindName(change.kind);
        const QString kind = QString::fromLatin1(name);
        if (change.raised)
            Frm_Alarms->Raised(at, change.kind, text);
        else
            Frm_Alarms->Cleared(at, change.kind, text);

        QString reason;
        if (AppendAlarmLog(LogFolder(), at, change.raised, kind, text, &reason)) {
            alarmFileError_.clear();
        } else if (reason != alarmFileError_) {
            alarmFileError_ = reason;
            Frm_Alarms->Note(at, QStringLiteral("Alarm file not written: ") + reason);
        }

        if (change.byUser)
            continue;
        QStringList details{MSComm.SourceName(), at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"))};
        if (!change.details.empty())
            details << Text(change.details);
        details.removeAll(QString());
        notifier_->Notify(change.kind, replay ? text + QStringLiteral(" (replay)") : text,
                          details.join(QStringLiteral(" · ")), change.raised && AlarmIsCritical(change.kind));
        if (change.raised && alarmSoundOn_)
            alarmSound_->Play();
    }
    // A raised alarm's text follows its values (the anchor distance grows as it drags).
    for (const AlarmKind kind : kAlarmKinds)
        if (alarmWatch_->Raised(kind))
            Frm_Alarms->Update(kind, Text(alarmWatch_->Text(kind)));
    const QString status = Frm_Alarms->StatusText();
    if (status != Lab_Alarms->text())
        Lab_Alarms->SetText(status);
    Lab_Alarms->setVisible(!status.isEmpty());
}

} // namespace fixwatch
