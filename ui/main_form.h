#pragma once

#include "comm_control.h"
#include "fix_display.h"
#include "receiver_session.h"
#include "recording_export.h"
#include "replay_bar.h"
#include "sentence_recorder.h"
#include "serial_settings.h"
#include "status_line.h"

#include <QDate>
#include <QDateTime>
#include <QMainWindow>
#include <QMessageBox>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QToolBar;

namespace fixwatch {

class AlarmList;
class AlarmSound;
class AlarmWatch;
class ConsoleView;
class Notifier;
class SkyView;
class HistoryView;
class SignalsView;
class AccuracySamples;
class AccuracyView;
class ComparisonFeed;
class CompareView;
class LinkStatus;
class LiveComparison;
class HistoryFeed;
class MultibandRows;
class frmAbout;
struct ViewOptions;
struct Epoch;

// The program's working window: the fix on four tabs, the menu, Start and Stop, the serial
// settings, the data logger and the checksum calculator, and a status bar that says what
// the link and the logger are doing. Controls keep the names and indexes by which the rest
// of the program addresses them; each widget's objectName is that name with its index,
// e.g. "Lab_Posizione(3)". Every label that can show received or typed text is a
// plain-text label: nothing a receiver sends is ever taken for markup.
class MainForm : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window hidden and brings it to its resting state with `commandLine`, the
    // program's arguments joined and stripped of blanks at both ends.
    explicit MainForm(const std::string& commandLine = {}, QWidget* parent = nullptr);
    ~MainForm() override;

    // The tabs of SSTab, in their order.
    enum Tab : int {
        kPositionTab,
        kGeneralInfoTab,
        kSatellitesTab,
        kCommunicationTab,
        kSkyTab,
        kSignalsTab,
        kHistoryTab,
        kAccuracyTab,
        kCompareTab,
    };

    // One poll's text: every complete line to the interpreter, the display painted once.
    void HandleInput(const std::string& sInput);
    // The text of the last reads that ends in no complete line yet.
    const std::string& lineBuffer() const { return session_.lineBuffer(); }

    // What the start-up code sets: the About window shown by "About program...", the alarms
    // of "--alarm=KIND[:VALUE]" and the recording of "--record".
    void SetAboutWindow(frmAbout* about) { about_ = about; }
    // One "--alarm=" option (the text after "="): arms the alarm with its value. The reason,
    // for standard error, when it is not understood; empty when it was.
    std::string ArmFromCommandLine(const std::string& option);
    // The sentences are recorded from the next Start on, as a check of "Record sentences" does.
    void RecordFromCommandLine();
    // Receiver B's port for the Compare tab, as "--compare-with=N" chooses it; 0 for none.
    void CompareWith(int port);

    // Seams, replaceable by tests: what ends the program; the local date that names the log
    // file; the UTC moment a recording starts at; where "Export track..." writes (`suggested`
    // first) and which recording "Open recording..." opens, an empty name cancelling; and the
    // alarms' clock of a live source, in monotonic seconds.
    std::function<void()> endProgram;
    std::function<QDate()> today;
    std::function<QDateTime()> utcNow;
    std::function<QString(const QString& suggested)> askExportFile;
    std::function<QString()> askRecordingFile;
    std::function<double()> alarmClock;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Everything else is the window's own: tools and tests find a control by its object name
    // and drive it as its user does.
    // Menu.
    QMenu* MenuFile = nullptr;
    QAction* MenuSalvaCP = nullptr;
    QAction* MenuSalvaDL = nullptr;
    QAction* MenuNull0 = nullptr;
    QAction* MenuVuotaCampi = nullptr;
    std::array<QAction*, 2> MenuStart{};
    QAction* MenuNull1 = nullptr;
    QAction* MenuFine = nullptr;
    QMenu* MenuAbout0 = nullptr;
    QAction* MenuAbout = nullptr;

    // Menu "View": how the Position tab shows the position and in which units. The entries
    // are in CoordinateFormat and UnitSystem order; one of each is checked.
    QMenu* MenuView = nullptr;
    QMenu* MenuCoordinates = nullptr;
    std::array<QAction*, 6> MenuCoordinate{};
    QMenu* MenuUnits = nullptr;
    std::array<QAction*, 3> MenuUnit{};

    QTabWidget* SSTab = nullptr;

    // Tab "Position".
    QGroupBox* Frm_Position = nullptr;
    QGroupBox* Frm_Satelliti = nullptr;
    QGroupBox* Frm_xDOP = nullptr;
    std::array<QLabel*, 7> Lab_Posizione1{};
    std::array<QLabel*, 9> Lab_Posizione{};
    std::array<QLabel*, 4> Lab_PosizioneUM{};
    std::array<QLabel*, 7> Lab_PosizioneInfo1{};
    // Etched separators, grey and white pairs 0/1, 2/3 and 5/4: the grey element is a
    // sunken line that draws both, the white one an empty line just below it.
    std::array<QFrame*, 6> Lin_Pos{};
    std::array<QPushButton*, 2> Cmd_StartStop{};

    // Tab "General Info".
    QGroupBox* Frm_Mode = nullptr;
    QGroupBox* Frm_DGPS = nullptr;
    QGroupBox* Frm_Track = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 7> Lab_PosizioneInfo2{};
    std::array<QLabel*, 13> Lab_PosizioneInfo{};
    std::array<QLabel*, 12> Lab_PosizioneInfo3{};
    std::array<QLabel*, 12> Lab_PosizioneInfo3b{};

    // With All GNSS: the height above the ellipsoid beside the altitude (Position tab), the
    // true heading beside the tracks and the integrity check's group (General Info tab);
    // hidden otherwise (main_form_multiband.cpp). Lab_GBS is in GbsField order.
    QLabel* Lab_EllipsoidHeight1 = nullptr;
    QLabel* Lab_EllipsoidHeight = nullptr;
    QLabel* Lab_EllipsoidHeightUM = nullptr;
    QLabel* Lab_TrueHeading1 = nullptr;
    QLabel* Lab_TrueHeading = nullptr;
    QGroupBox* Frm_GBS = nullptr;
    std::array<QLabel*, 4> Lab_GBS1{};
    std::array<QLabel*, 4> Lab_GBS{};
    std::array<QLabel*, 3> Lab_GBSUM{};
    void BuildMultibandRows();
    std::unique_ptr<MultibandRows> multiband_;

    // Tab "Satellites". Lab_Sat1 has elements 0 and 2, LabSat1 elements 0 and 1.
    std::array<QProgressBar*, 12> PSat{};
    std::array<QLabel*, 12> Lab_SatCHN{};
    std::array<QLabel*, 12> Lab_Sat{};
    std::array<QLabel*, 12> Lab_SatA{};
    std::array<QLabel*, 12> Lab_SatE{};
    std::array<QLabel*, 3> Lab_Sat1{};
    std::array<QLabel*, 2> LabSat1{};

    // Tab "Communication".
    QGroupBox* Frm_232 = nullptr;
    QGroupBox* Frm_DataLogger = nullptr;
    QGroupBox* Frm_Option = nullptr;
    QGroupBox* Frm_HandS = nullptr;
    QGroupBox* FrmBaudRate = nullptr;
    QGroupBox* FrmParita = nullptr;
    QGroupBox* FrmDati = nullptr;
    QGroupBox* FrmStop = nullptr;
    std::array<QLabel*, 2> Lab_RS232{};
    QComboBox* Cmb_COM = nullptr;
    QComboBox* Cmb_Interval = nullptr;
    QComboBox* Cmb_HandShaking = nullptr;
    QCheckBox* Chk_DTR = nullptr;
    QCheckBox* Chk_RTS = nullptr;
    QCheckBox* Chk_NullDiscard = nullptr;
    QCheckBox* Chk_GNSS = nullptr;
    std::array<QRadioButton*, 11> OptBaud{};
    std::array<QRadioButton*, 3> OptParita{};
    std::array<QRadioButton*, 4> OptDati{};
    std::array<QRadioButton*, 3> OptStop{};
    QPushButton* Cmd_CalcolaCRC = nullptr;

    // Tab "Sky": every satellite in view, on a polar plot and in a table.
    SkyView* Frm_Sky = nullptr;

    // Tab "Console": every received line and the inventory of sentences, added last; its
    // index depends on the tabs before it, so it is asked for rather than fixed.
    ConsoleView* Frm_Console = nullptr;
    int ConsoleTab() const;

    QTimer* Timer_Lett = nullptr;
    QTimer* Timer_DL = nullptr;

    // The status bar: source, link state, hint, data logger.
    std::unique_ptr<StatusLine> Status;

    // What the window reads and shows, for the start-up code, tools and tests.
    CommControl& Comm() { return MSComm; }
    ReceiverSession& Session() { return session_; }
    const SerialSettings& Settings() const { return settings; }
    bool AcquisitionRunning() const { return acquisitionRunning; }
    bool LoggerRunning() const { return loggerRunning; }

    void ClearDisplay();
    bool OpenPort();
    bool ClosePort();
    void SetStartStopState(bool startEnabled);
    void ApplyCommandLine(const std::string& commandLine);
    // Appends the current fix as one record to the day's log file; false when it could
    // not be written.
    bool WriteLogRecord();
    // The folder that receives the log files.
    QString LogFolder() const;

    // Recording the sentences and exporting the track (main_form_sentence_recorder.cpp).
    QAction* MenuRecord = nullptr;
    QAction* MenuExportTrack = nullptr;
    void MenuRecord_Click();
    void MenuExportTrack_Click();
    // The file "Export track..." reads: the replayed file while one is the source, else the
    // current or last recording.
    QString TrackSourcePath() const;
    // Writes the track of TrackSourcePath() to `target` at once; false with the reason.
    bool ExportTrackTo(const QString& target, QString* reason);
    // The export that "Export track..." runs beside the window, a piece at each turn of the
    // event loop, with its progress and Cancel; null when none runs.
    const RecordingExport* RunningExport() const { return exportJob_.get(); }
    const SentenceRecorder& Recorder() const { return recorder_; }

    // Tab "History": the epochs of the session on charts over time, fed once per new line.
    HistoryView* Frm_History = nullptr;
    // Tab "Signals": each satellite's C/N0 per band.
    SignalsView* Frm_Signals = nullptr;
    HistoryFeed& History() { return *historyFeed_; }
    // Forgets the epochs behind the History tab: Clear and Start do, a replay seek should.
    void ResetHistory();

    // Tab "Accuracy": how well a receiver that stands still holds its position, from the
    // fixes of the same feed; forgotten with the History tab's epochs.
    AccuracyView* Frm_Accuracy = nullptr;
    const AccuracySamples& AccuracyFixes() const { return *accuracySamples_; }

    // Replaying a recording in the window (main_form_replay.cpp): "Open recording..." makes a
    // file the chosen port's source until a Start of another port, and a toolbar with the
    // replay's controls is shown while a file is the source.
    QAction* MenuOpenRecording = nullptr;
    // "Close recording": the port reads its receiver again.
    QAction* MenuCloseRecording = nullptr;
    void MenuCloseRecording_Click();
    QToolBar* Tlb_Replay = nullptr;
    ReplayBar* Frm_Replay = nullptr;
    void MenuOpenRecording_Click();
    // The recording the replay bar stands for: chosen, playing or played to its end; empty
    // while the source is a receiver.
    QString ReplayedRecording() const { return replayPath_; }

    // Alarms (main_form_alarms.cpp): the "Alarms" menu, with one checkable entry per kind in
    // AlarmKind order and "Alarm settings..."; the Alarms tab, last; and the alarms raised
    // now, first in the status bar. Each change goes to the list, the day's .alarms.log and a
    // desktop notification.
    QMenu* MenuAlarms = nullptr;
    std::array<QAction*, 7> MenuAlarm{};
    QAction* MenuAlarmSettings = nullptr;
    AlarmList* Frm_Alarms = nullptr;
    StatusLabel* Lab_Alarms = nullptr;
    void MenuAlarm_Click(int Index);
    void MenuAlarmSettings_Click();
    const AlarmWatch& Alarms() const { return *alarmWatch_; }
    bool AlarmSoundOn() const { return alarmSoundOn_; }
    // Where desktop notifications go; tests read it.
    Notifier& AlarmNotifier() { return *notifier_; }

    // Tab "Compare" (main_form_compare.cpp): receiver B, read beside the window's own port
    // (receiver A) with A's serial settings and every talker, its own status line, and B
    // measured against A. Nothing of B reaches A's display, log, recording or status bar.
    QComboBox* Cmb_CompareCOM = nullptr; // "None", then the ports as Cmb_COM numbers them
    StatusLabel* Lab_CompareStatus = nullptr;
    CompareView* Frm_Compare = nullptr;
    void Cmb_CompareCOM_Click();

private slots:
    void Cmd_StartStop_Click(int Index);
    void MenuStart_Click(int Index);
    void Cmd_CalcolaCRC_Click();
    void Cmb_COM_Click();
    void OptBaud_Click(int Index);
    void OptParita_Click(int Index);
    void OptDati_Click(int Index);
    void OptStop_Click(int Index);
    void Chk_DTR_Click();
    void Chk_RTS_Click();
    void Chk_NullDiscard_Click();
    void Chk_GNSS_Click();
    void Cmb_HandShaking_Click();
    void Cmb_Interval_Click();
    void MenuSalvaCP_Click();
    void MenuSalvaDL_Click();
    void MenuVuotaCampi_Click();
    void MenuFine_Click();
    void MenuAbout_Click();
    void Timer_Lett_Timer();
    void Timer_DL_Timer();
    void MenuCoordinate_Click(int Index);
    void MenuUnit_Click(int Index);

private:
    friend bool ApplyViewOptions(MainForm& form, ViewOptions& options);

    void BuildMenu();
    void BuildViewMenu();
    QWidget* BuildPositionTab();
    QWidget* BuildGeneralInfoTab();
    QWidget* BuildSatellitesTab();
    QWidget* BuildCommunicationTab();
    QWidget* BuildSkyTab();
    void ConnectControls();
    void ShowSettings();
    void UpdatePortTooltip();
    void Cmb_COM_DropDown();
    void ApplySatelliteSystems();
    void StartFresh(Talkers talkers);
    void ShowPoll(const ReceiverSession::Poll& poll);
    void ShowSky();
    void HiddenTalkerSeen(std::string_view talker);
    void UpdateSourceStatus();
    void UpdateLoggerStatus();
    void Form_Load(const std::string& commandLine);
    void Form_QueryUnload(bool& Cancel);
    void ShowMessage(QMessageBox::Icon icon, const QString& text);

    // Recording: declared before the session so that the session never outlives its consumer.
    void BuildSentenceRecorder();
    void RecorderFollowAcquisition();
    void RecorderTick();
    void StartExport(const QString& target);
    void ExportStep();
    void FinishExport();
    // What was just written ("Exported 1,204 points to ..."), shown beside the logger's text.
    void ShowWritten(const QString& text);
    SentenceRecorder recorder_;
    std::unique_ptr<RecordingExport> exportJob_;
    QProgressDialog* exportProgress_ = nullptr;
    QTimer* exportTimer_ = nullptr;
    QString written_;
    bool recordedShown_ = false;   // "Recorded ..." stays after Stop until the next Start
    bool recorderRunning_ = false; // the acquisition as the recorder last followed it
    std::unique_ptr<LineConsumer> recorderFeed_;

    // The console's feed from the session and its per-tick batch (ui/main_form_console.cpp).
    void BuildConsole();
    void ConsoleBegin();
    void ShowConsole();
    std::unique_ptr<LineConsumer> consoleFeed_;

    // What follows the acquisition, each part adding itself as it is built: told after each
    // Start and Stop, and after each tick with its poll, in the order of the lists.
    std::vector<std::function<void()>> followers_;
    std::vector<std::function<void(const ReceiverSession::Poll&)>> tickers_;

    // The road of received text; the communications control is its own.
    ReceiverSession session_;
    CommControl& MSComm = session_.Comm();
    std::unique_ptr<FixDisplay> display;

    SerialSettings settings;
    bool acquisitionRunning = false;
    bool loggerRunning = false;

    // The sky said something since Start; the columns it draws are to be drawn again at
    // the next poll (after the display was cleared).
    bool skyHeard_ = false;
    bool skyRedraw_ = false;
    frmAbout* about_ = nullptr;
    QString logError_; // why the last record was not written; empty after a written one

    void BuildHistory();
    void BuildSignals();
    void BuildAccuracy();
    std::unique_ptr<HistoryFeed> historyFeed_;
    std::unique_ptr<AccuracySamples> accuracySamples_;

    void BuildReplay();
    // After Start or Stop: which file the bar stands for, and the bar's speed for a new replay.
    void ReplayFollowAcquisition();
    // At each tick: the bar follows the replay, and the end of the recording stops it.
    void ReplayTick();
    void ShowReplay();
    void ReplaySeek(std::int64_t ms);
    QString replayPath_;
    bool replayEnded_ = false;
    QString replayFailure_;            // why the last replay ended before its end; empty when it did not
    std::uint64_t replayGapsSeen_ = 0; // the replay's skipped gaps already told
    QString replayNotice_;             // "Skipped a gap of ...", for a few ticks
    int replayNoticeTicks_ = 0;
    ReplayState replayShown_; // what the bar showed last, kept while stopped

    void BuildCompare();
    // After Start or Stop: B starts with A, or stops.
    void CompareFollowAcquisition();
    void StartCompare();
    void StopCompare();
    // Each tick, after A's poll: B's poll, its recording and its status line.
    void CompareTick();
    void CompareRecorderFollow();
    void ShowCompareStatus();
    void Cmb_CompareCOM_DropDown();
    // Why B cannot use port `port` while A uses its own; empty when it can.
    QString ComparePortRefusal(int port) const;
    // Declared in this order so that B's session goes first and its consumers after it.
    std::unique_ptr<LiveComparison> comparison_;
    std::unique_ptr<ComparisonFeed> comparisonFeed_;
    SentenceRecorder compareRecorder_;
    std::unique_ptr<LineConsumer> compareRecorderFeed_;
    std::unique_ptr<LinkStatus> compareLink_;
    std::unique_ptr<ReceiverSession> compareSession_;
    bool compareRunning_ = false;
    QString compareFailure_; // why B did not start at the last Start
    qint64 compareStartMs_ = 0;
    // Two recordings side by side (main_form_compare_replay.cpp): while A and B both play
    // files, B follows A's UTC time, its pause, its speed and its seeks.
    void CompareReplayBegin();
    void CompareReplayFollow();
    void CompareReplaySeek(std::int64_t ms);
    std::optional<std::int64_t> compareReplayOffset_; // B's recording time minus A's at one UTC moment
    bool compareReplayWaiting_ = false;               // B's recording begins later than A's position

    void BuildAlarms();
    // After Start or Stop, and when a replay moves: the watch starts again, or ends.
    void AlarmsFollowAcquisition();
    // Each poll: the lines that arrived, the time that passed, and what changed.
    void AlarmTick(const ReceiverSession::Poll& poll);
    void AlarmEpoch(const Epoch& epoch);
    void ShowAlarmChanges();
    void ShowAlarmCaptions();
    double AlarmNow() const;
    std::unique_ptr<AlarmWatch> alarmWatch_;
    Notifier* notifier_ = nullptr;
    AlarmSound* alarmSound_ = nullptr;
    bool alarmSoundOn_ = false;
    QString alarmFileError_; // said once in the list until the file is written again
};

} // namespace fixwatch
