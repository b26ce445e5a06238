// Start and Stop of the acquisition and the polling of the serial port.
#include "main_form.h"

#include <QAction>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace fixwatch {

void MainForm::Cmd_StartStop_Click(int Index)
{
    if (Index == 0) {
        ClearDisplay();
        const bool ok = OpenPort();
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
    }
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
    const std::string received = MSComm.Input();
    HandleInput(received);
    if (acquisitionRunning)
        Timer_Lett->start();
}

} // namespace fixwatch
