// Start and Stop of the acquisition, the polling of the port, and what the status bar says
// about the link.
#include "main_form.h"

#include "signals_view.h"
#include "sky_view.h"

#include <QAction>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <iostream>

namespace fixwatch {

void MainForm::Cmd_StartStop_Click(int Index)
{
    if (Index == 0) {
        ClearDisplay();
        const bool ok = OpenPort();
        if (ok) {
            ApplySatelliteSystems();
            Status->Started();
        }
        acquisitionRunning = ok;
        loggerRunning = ok && MenuSalvaDL->isChecked();
        if (loggerRunning)
            Timer_DL->start();
        else
            Timer_DL->stop();
        if (acquisitionRunning)
            Timer_Lett->start();
        else
            Timer_Lett->stop();
        SetStartStopState(!ok);
    } else if (Index == 1) {
        acquisitionRunning = false;
        loggerRunning = false;
        Timer_Lett->stop();
        Timer_DL->stop();
        ClosePort();
        SetStartStopState(true);
        Status->Stopped();
    }
    for (const auto& follow : followers_)
        follow();
    UpdateSourceStatus();
    UpdateLoggerStatus();
}

void MainForm::MenuStart_Click(int Index)
{
    Cmd_StartStop_Click(Index);
}

bool MainForm::OpenPort()
{
    if (MSComm.PortOpen())
        return true;

    const bool opened = MSComm.CommPort(settings.portIndex + 1)
                        && MSComm.Settings(SettingsText(settings))
                        && (MSComm.DTREnable(settings.dtrEnable), true)
                        && (MSComm.RTSEnable(settings.rtsEnable), true)
                        && (MSComm.NullDiscard(settings.nullDiscard), true)
                        && MSComm.Handshaking(settings.handshakingIndex)
                        && MSComm.PortOpen(true);
    if (opened)
        return true;

    // The message box stays as it always was; the status bar and standard error say why.
    const QString reason = MSComm.Reason();
    Status->StartFailed(reason);
    std::cerr << "fixwatch: " << reason.toLocal8Bit().constData() << '\n';
    if (MSComm.PortOpen())
        MSComm.PortOpen(false);
    ShowMessage(QMessageBox::Warning,
                QStringLiteral("COM port not ready. Please check the COM settings and retry."));
    SSTab->setCurrentIndex(kCommunicationTab);
    repaint();
    return false;
}

bool MainForm::ClosePort()
{
    return MSComm.PortOpen(false);
}

void MainForm::SetStartStopState(bool startEnabled)
{
    Cmd_StartStop[0]->setEnabled(startEnabled);
    Cmd_StartStop[0]->repaint();
    Cmd_StartStop[1]->setEnabled(!startEnabled);
    Cmd_StartStop[1]->repaint();
    MenuStart[0]->setEnabled(Cmd_StartStop[0]->isEnabled());
    MenuStart[1]->setEnabled(Cmd_StartStop[1]->isEnabled());
}

void MainForm::Timer_Lett_Timer()
{
    Timer_Lett->stop();
    if (display)
        display->BeginBatch();
    const ReceiverSession::Poll poll = session_.PollOnce();
    if (poll.cameBack)
        Status->SourceBack(MSComm.SourceName());
    ShowPoll(poll);
    if (display)
        display->EndBatch();
    // A source may learn more about itself as it runs (the device a gpsd reads from).
    UpdateSourceStatus();
    Status->BytesDropped(poll.droppedBytes);
    if (poll.lfOnlyLines > 0 && session_.ReadTalkers() == Talkers::GpsOnly)
        Status->LfOnlyLinesSeen();
    Status->Polled(poll.textArrived, poll.lines, poll.badChecksums);
    for (const auto& tick : tickers_)
        tick(poll);
    if (acquisitionRunning)
        Timer_Lett->start();
}

// The All GNSS choice, read at Start like the other settings: which talkers the interpreter
// and the sky read, and whether the columns come from the sky.
void MainForm::ApplySatelliteSystems()
{
    StartFresh(settings.allGnss ? Talkers::AllSystems : Talkers::GpsOnly);
    ConsoleBegin();
    if (display)
        display->SetAllSystems(settings.allGnss);
}

// Nothing said before stays: the text kept from the last reads and the sky are forgotten,
// and the Sky and Signals tabs start empty; the columns, "In view" and "In use" stay blank
// until the receiver says something of them. At Start, and when a replay moves.
void MainForm::StartFresh(Talkers talkers)
{
    session_.Begin(talkers);
    skyHeard_ = false;
    skyRedraw_ = false;
    Frm_Sky->ShowSatellites(session_.SkyModel().Satellites());
    Frm_Signals->ShowSatellites(session_.SkyModel().Satellites());
}

void MainForm::HandleInput(const std::string& sInput)
{
    if (display)
        display->BeginBatch();
    ShowPoll(session_.HandleInput(sInput));
    if (display)
        display->EndBatch();
}

void MainForm::ShowPoll(const ReceiverSession::Poll& poll)
{
    ShowConsole();
    if (poll.skyChanged)
        skyHeard_ = true;
    if (poll.skyChanged || skyRedraw_)
        ShowSky();
    skyRedraw_ = false;
    if (display && display->AllSystems()) {
        if (const auto used = session_.SatellitesUsed())
            display->ShowSatellitesUsed(*used);
    }
}

void MainForm::ShowSky()
{
    const auto& satellites = session_.SkyModel().Satellites();
    if (display && display->AllSystems())
        display->ShowSky(satellites, session_.UsedKnown());
    Frm_Sky->ShowSatellites(satellites);
    Frm_Signals->ShowSatellites(satellites);
}

void MainForm::HiddenTalkerSeen(std::string_view talker)
{
    Status->HiddenTalkerSeen(
        QString::fromLatin1(talker));
}

} // namespace fixwatch
