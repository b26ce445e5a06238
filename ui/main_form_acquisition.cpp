// Start and Stop of the acquisition, the polling of the port, and what the status bar says
// about the link.
#include "main_form.h"

#include "fix_quality_words.h"
#include "nmea_interpreter.h"
#include "sky_view.h"
#include "talkers.h"

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
            // A new acquisition starts from nothing: the text kept from an earlier one
            // would otherwise show its fix again on a receiver that sends nothing.
            assembler_.Clear();
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
    SSTab->setCurrentIndex(3);
    repaint();
    return false;
}

bool MainForm::ClosePort()
{
    if (MSComm.PortOpen(false))
        return true;
    if (MSComm.PortOpen())
        MSComm.PortOpen(false);
    return false;
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
    // A receiver that went away is looked for again at every tick until it is back or
    // the user stops.
    if (MSComm.LinkState() == CommControl::State::Lost && MSComm.Reconnect())
        Status->SourceBack(MSComm.SourceName());
    const std::string received = MSComm.Input();
    HandleInput(received);
    // A source may learn more about itself as it runs (the device a gpsd reads from).
    UpdateSourceStatus();
    Status->Polled(!received.empty(), freshLines_, badLines_);
    if (acquisitionRunning)
        Timer_Lett->start();
}

// The All GNSS choice, read at Start like the other settings: which talkers the interpreter
// and the sky read, and whether the columns come from the sky.
void MainForm::ApplySatelliteSystems()
{
    const Talkers talkers = settings.allGnss ? Talkers::AllSystems : Talkers::GpsOnly;
    if (GPS)
        GPS->SetTalkers(talkers);
    if (display)
        display->SetAllSystems(settings.allGnss);
    sky_ = Sky(talkers);
    skyChanged_ = true;
}

void MainForm::HandleInput(const std::string& sInput)
{
    freshLines_ = 0;
    badLines_ = 0;
    if (display)
        display->BeginBatch();
    assembler_.HandleInput(sInput);
    if (skyChanged_)
        ShowSky();
    if (display)
        display->EndBatch();
}

void MainForm::ShowSky()
{
    skyChanged_ = false;
    if (display && display->AllSystems())
        display->ShowSky(sky_.Satellites());
    Frm_Sky->ShowSatellites(sky_.Satellites());
}

void MainForm::LineReceived(std::string_view line, bool fresh)
{
    if (!GPS)
        return;
    if (fresh) {
        // What arrived, counted once: the repeats of kept lines are not news.
        ++freshLines_;
        if (line.size() < 2 || GPS->GetChecksum(line) != line.substr(line.size() - 2))
            ++badLines_;
        if (sky_.Feed(line))
            skyChanged_ = true;
        if (GPS->GetTalkers() == Talkers::GpsOnly) {
            if (const auto talker = NonGpsTalker(line))
                Status->HiddenTalkerSeen(QString::fromLatin1(talker->data(), talker->size()));
        }
    }
    GPS->Parse(line);
    // The interpreter words fix qualities 4 to 8 "Invalid"; with every system read, their
    // own words are shown.
    if (display && display->AllSystems()) {
        if (const auto word = ExtendedFixQuality(line))
            display->gps_PositionFixReceived(std::string(*word));
    }
}

} // namespace fixwatch
