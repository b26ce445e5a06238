// Construction, start-up and shut-down of the main window, the serial settings controls,
// the checksum calculator and the About command.
#include "main_form.h"

#include "accuracy_samples.h"
#include "alarm_watch.h"
#include "comparison_feed.h"
#include "live_comparison.h"
#include "history_feed.h"
#include "multiband_rows.h"

#include "command_line.h"
#include "frm_about.h"
#include "plain_text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>
#include <iostream>

namespace fixwatch {
namespace {

constexpr QSize kMinimumTabArea(840, 430);
// Room at the tab bar's ends for the frame of the pages.
constexpr int kTabBarEnds = 4;

} // namespace

MainForm::MainForm(const std::string& commandLine, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Fixwatch"));
    setWindowIcon(QIcon(QStringLiteral(":/fixwatch/fixwatch.svg")));
    // The communications control is found by its name, as the other controls are; the session
    // owns it and it goes before the window does.
    MSComm.setObjectName(QStringLiteral("MSComm"));
    MSComm.setParent(this);

    BuildMenu();
    SSTab = new QTabWidget;
    SSTab->setObjectName(QStringLiteral("SSTab"));
    SSTab->addTab(BuildPositionTab(), QStringLiteral("Position"));
    SSTab->addTab(BuildGeneralInfoTab(), QStringLiteral("General Info"));
    SSTab->addTab(BuildSatellitesTab(), QStringLiteral("Satellites"));
    SSTab->addTab(BuildCommunicationTab(), QStringLiteral("Communication"));
    SSTab->addTab(BuildSkyTab(), QStringLiteral("Sky"));
    BuildSignals();
    BuildHistory();
    BuildAccuracy();
    BuildCompare();
    BuildConsole();
    setCentralWidget(SSTab);
    Status = std::make_unique<StatusLine>(statusBar());

    Timer_Lett = new QTimer(this);
    Timer_Lett->setObjectName(QStringLiteral("Timer_Lett"));
    Timer_Lett->setInterval(1000);
    Timer_DL = new QTimer(this);
    Timer_DL->setObjectName(QStringLiteral("Timer_DL"));
    Timer_DL->setInterval(0);

    endProgram = [] { QCoreApplication::exit(0); };
    today = [] { return QDate::currentDate(); };

    ConnectControls();
    BuildSentenceRecorder();
    BuildReplay();
    BuildAlarms();
    BuildMultibandRows();
    Form_Load(commandLine);

    // A fixed size that holds the largest tab, and room enough for the sky plot and for the
    // status bar's source, state and logger side by side; centred on the screen.
    // Every tab's title stays in sight, however many tabs there are.
    QSize tabArea = kMinimumTabArea;
    tabArea.setWidth(std::max(tabArea.width(), SSTab->tabBar()->sizeHint().width() + kTabBarEnds));
    SSTab->setMinimumSize(tabArea);
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void MainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The window's size is fixed, and so, once it is laid out, is the area of the pages: a
    // label whose text changes lays out its own page again, but no further. Otherwise every
    // new text went up to the tab widget, which then paints the whole window again.
    auto* pages = SSTab->findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly);
    if (pages != nullptr && pages->minimumSize() != pages->maximumSize())
        pages->setFixedSize(pages->size());
}

MainForm::~MainForm()
{
    // The interpreter must not call into the display while the widgets go away.
    session_.Interpret(nullptr);
    session_.RemoveConsumer(historyFeed_.get());
    // Receiver B stops with the window; its view is not told, as it goes too.
    comparisonFeed_->changed = nullptr;
    StopCompare();
}

void MainForm::ConnectControls()
{
    connect(MenuSalvaCP, &QAction::triggered, this, &MainForm::MenuSalvaCP_Click);
    // The check mark is toggled by the handler itself, so the action is not checkable
    // by a click: undo Qt's toggle before the handler runs.
    connect(MenuSalvaDL, &QAction::triggered, this, [this] {
        MenuSalvaDL->setChecked(!MenuSalvaDL->isChecked());
        MenuSalvaDL_Click();
    });
    connect(MenuVuotaCampi, &QAction::triggered, this, &MainForm::MenuVuotaCampi_Click);
    connect(MenuStart[0], &QAction::triggered, this, [this] { MenuStart_Click(0); });
    connect(MenuStart[1], &QAction::triggered, this, [this] { MenuStart_Click(1); });
    connect(MenuFine, &QAction::triggered, this, &MainForm::MenuFine_Click);
    connect(MenuAbout, &QAction::triggered, this, &MainForm::MenuAbout_Click);

    connect(Cmd_StartStop[0], &QPushButton::clicked, this, [this] { Cmd_StartStop_Click(0); });
    connect(Cmd_StartStop[1], &QPushButton::clicked, this, [this] { Cmd_StartStop_Click(1); });
    connect(Cmd_CalcolaCRC, &QPushButton::clicked, this, &MainForm::Cmd_CalcolaCRC_Click);

    connect(Cmb_COM, &QComboBox::currentIndexChanged, this, &MainForm::Cmb_COM_Click);
    connect(Cmb_HandShaking, &QComboBox::currentIndexChanged, this,
            &MainForm::Cmb_HandShaking_Click);
    connect(Cmb_Interval, &QComboBox::currentIndexChanged, this, &MainForm::Cmb_Interval_Click);
    for (int i = 0; i < static_cast<int>(OptBaud.size()); ++i)
        connect(OptBaud[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { OptBaud_Click(i); });
    for (int i = 0; i < static_cast<int>(OptParita.size()); ++i)
        connect(OptParita[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { OptParita_Click(i); });
    for (int i = 0; i < static_cast<int>(OptDati.size()); ++i)
        connect(OptDati[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { OptDati_Click(i); });
    for (int i = 0; i < static_cast<int>(OptStop.size()); ++i)
        connect(OptStop[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { OptStop_Click(i); });
    connect(Chk_DTR, &QCheckBox::clicked, this, &MainForm::Chk_DTR_Click);
    connect(Chk_RTS, &QCheckBox::clicked, this, &MainForm::Chk_RTS_Click);
    connect(Chk_NullDiscard, &QCheckBox::clicked, this, &MainForm::Chk_NullDiscard_Click);
    connect(Chk_GNSS, &QCheckBox::clicked, this, &MainForm::Chk_GNSS_Click);

    connect(Timer_Lett, &QTimer::timeout, this, &MainForm::Timer_Lett_Timer);
    connect(Timer_DL, &QTimer::timeout, this, &MainForm::Timer_DL_Timer);

    connect(&MSComm, &CommControl::SourceLost, this,
            [this] { Status->SourceLost(MSComm.SourceName()); });
    session_.onHiddenTalker = [this](std::string_view talker) { HiddenTalkerSeen(talker); };
}

void MainForm::Form_Load(const std::string& commandLine)
{
    Timer_Lett->stop();
    Timer_Lett->setInterval(1000);
    Timer_DL->stop();
    Timer_DL->setInterval(0);
    acquisitionRunning = false;
    loggerRunning = false;

    DisplayWidgets widgets;
    widgets.Lab_Posizione = Lab_Posizione;
    widgets.Lab_PosizioneUM = Lab_PosizioneUM;
    widgets.Lab_PosizioneInfo = Lab_PosizioneInfo;
    widgets.Lab_PosizioneInfo3b = Lab_PosizioneInfo3b;
    widgets.Lab_SatCHN = Lab_SatCHN;
    widgets.Lab_Sat = Lab_Sat;
    widgets.Lab_SatA = Lab_SatA;
    widgets.Lab_SatE = Lab_SatE;
    widgets.PSat = PSat;
    display = std::make_unique<FixDisplay>(widgets);
    session_.Interpret(display.get());

    ApplyCommandLine(commandLine);
    ClearDisplay();
    SetStartStopState(true);
    SSTab->setCurrentIndex(kPositionTab);
    update();
}

void MainForm::ApplyCommandLine(const std::string& commandLine)
{
    const CommandLineOptions options = fixwatch::ApplyCommandLine(commandLine);
    for (const std::string& warning : options.warnings)
        std::cerr << warning << '\n';
    settings = options.settings;
    Cmd_CalcolaCRC->setVisible(options.checksumButtonVisible);

    ShowSettings();

    Cmd_CalcolaCRC->update();

    {
        const QSignalBlocker quiet(Cmb_Interval);
        Cmb_Interval->clear();
        for (int seconds = 5; seconds <= 60; seconds += 5)
            Cmb_Interval->addItem(QString::number(seconds));
        Cmb_Interval->setCurrentIndex(0);
    }
    Timer_DL->setInterval(Cmb_Interval->currentText().toInt() * 1000);
}

// Shows the settings record in the controls. The controls' handlers would write back
// what is shown; they are kept quiet instead, which leaves the record as it is.
void MainForm::ShowSettings()
{
    const SerialSettings shown = settings;
    auto select = [](auto& buttons, std::int16_t index) {
        if (index >= 0 && static_cast<std::size_t>(index) < buttons.size())
            buttons[static_cast<std::size_t>(index)]->setChecked(true);
    };
    MSComm.Ports().Refresh();
    {
        const QSignalBlocker quiet(Cmb_COM);
        Cmb_COM->clear();
        for (int port = 1; port <= kPortCount; ++port)
            Cmb_COM->addItem(QString::number(port));
        Cmb_COM->setCurrentIndex(shown.portIndex);
    }
    select(OptBaud, shown.baudIndex);
    select(OptParita, shown.parityIndex);
    select(OptDati, shown.dataBitsIndex);
    select(OptStop, shown.stopBitsIndex);
    Chk_DTR->setChecked(shown.dtrEnable);
    Chk_RTS->setChecked(shown.rtsEnable);
    Chk_NullDiscard->setChecked(shown.nullDiscard);
    Chk_GNSS->setChecked(shown.allGnss);
    {
        const QSignalBlocker quiet(Cmb_HandShaking);
        Cmb_HandShaking->clear();
        for (const auto item : kHandshakingItems)
            Cmb_HandShaking->addItem(QString::fromLatin1(item.data(),
                                                         static_cast<qsizetype>(item.size())));
        Cmb_HandShaking->setCurrentIndex(shown.handshakingIndex);
    }
    settings = shown;
    UpdatePortTooltip();
}

void MainForm::UpdatePortTooltip()
{
    const int port = Cmb_COM->currentIndex() + 1;
    const auto entry = MSComm.Ports().Entry(port);
    // The machine's description of a device comes from the device itself: untrusted text.
    const QString what = !MSComm.Recording().isEmpty() && port == MSComm.RecordingPort()
                             ? QStringLiteral("replaying ") + MSComm.Recording()
                         : entry ? PortSummary(*entry)
                                 : QStringLiteral("no device on this machine");
    Cmb_COM->setToolTip(PlainToolTip(
        QStringLiteral("Serial port to which the GPS unit is connected (port %1: %2)").arg(port).arg(what)));
    UpdateSourceStatus();
}

// The list is taken again whenever the user opens it, so a receiver plugged in meanwhile
// gets its number.
void MainForm::Cmb_COM_DropDown()
{
    MSComm.Ports().Refresh();
    UpdatePortTooltip();
}

void MainForm::UpdateSourceStatus()
{
    Status->ShowSource(MSComm.SourceDescription(settings.portIndex + 1, SettingsText(settings)));
}

// The serial settings controls only copy the user's choice into the record; it reaches the
// port at the next Start.

void MainForm::Cmb_COM_Click()
{
    settings.portIndex = static_cast<std::int16_t>(Cmb_COM->currentIndex());
    UpdatePortTooltip();
}

void MainForm::OptBaud_Click(int Index)
{
    settings.baudIndex = static_cast<std::int16_t>(Index);
    UpdateSourceStatus();
}
void MainForm::OptParita_Click(int Index)
{
    settings.parityIndex = static_cast<std::int16_t>(Index);
    UpdateSourceStatus();
}
void MainForm::OptDati_Click(int Index)
{
    settings.dataBitsIndex = static_cast<std::int16_t>(Index);
    UpdateSourceStatus();
}
void MainForm::OptStop_Click(int Index)
{
    settings.stopBitsIndex = static_cast<std::int16_t>(Index);
    UpdateSourceStatus();
}
void MainForm::Chk_DTR_Click() { settings.dtrEnable = Chk_DTR->isChecked(); }
void MainForm::Chk_RTS_Click() { settings.rtsEnable = Chk_RTS->isChecked(); }
void MainForm::Chk_NullDiscard_Click() { settings.nullDiscard = Chk_NullDiscard->isChecked(); }
void MainForm::Chk_GNSS_Click()
{
    settings.allGnss = Chk_GNSS->isChecked();
    // While running, the hint about hidden talkers says when the choice takes effect.
    Status->AllGnssChosen(settings.allGnss);
}
void MainForm::Cmb_HandShaking_Click()
{
    settings.handshakingIndex = static_cast<std::int16_t>(Cmb_HandShaking->currentIndex());
}

void MainForm::ClearDisplay()
{
    if (display)
        display->ClearDisplay();
    ResetHistory();
}

void MainForm::MenuVuotaCampi_Click()
{
    ClearDisplay();
    // The columns the sky draws come back with the next poll, as the events' do.
    skyRedraw_ = skyHeard_;
}

void MainForm::closeEvent(QCloseEvent* event)
{
    bool Cancel = false;
    Form_QueryUnload(Cancel);
    if (Cancel)
        event->ignore();
}

void MainForm::Form_QueryUnload(bool& Cancel)
{
    // Closing the window always ends the program, through Exit.
    Cancel = true;
    MenuFine_Click();
}

void MainForm::MenuFine_Click()
{
    if (MSComm.PortOpen())
        MSComm.PortOpen(false);
    // Nothing more may run once the program is told to end.
    acquisitionRunning = false;
    RecorderFollowAcquisition();
    loggerRunning = false;
    Timer_Lett->stop();
    Timer_DL->stop();
    if (endProgram)
        endProgram();
}

void MainForm::ShowMessage(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, windowTitle(), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("Message"));
    // The checksum message carries what the user typed: shown as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.raise();
    box.activateWindow();
    box.exec();
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
