// "Open recording...": a recorded file played in the window as the chosen port's source, with
// a bar to pause it, change its speed and move through it.
#include "main_form.h"

#include "replay_bar.h"
#include "signals_view.h"
#include "sky_view.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QToolBar>

namespace fixwatch {
namespace {

// How many ticks a notice stays in the bar.
constexpr int kNoticeTicks = 4;

// "9 min 41 s", "2 h 13 min", "12 s".
QString GapText(std::int64_t ms)
{
    const std::int64_t s = ms / 1000;
    if (s >= 3600)
        return QStringLiteral("%1 h %2 min").arg(s / 3600).arg(s / 60 % 60);
    if (s >= 60)
        return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1 s").arg(s);
}

} // namespace

void MainForm::BuildReplay()
{
    askRecordingFile = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Open recording"), LogFolder(),
                                            QStringLiteral("NMEA files (*.nmea *.txt);;All files (*)"));
    };

    MenuOpenRecording = new QAction(QStringLiteral("Open recording..."), this);
    MenuOpenRecording->setObjectName(QStringLiteral("MenuOpenRecording"));
    MenuOpenRecording->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    // Beside "Record sentences" and "Export track...", before the separator that follows them.
    MenuFile->insertAction(MenuNull0, MenuOpenRecording);
    connect(MenuOpenRecording, &QAction::triggered, this, &MainForm::MenuOpenRecording_Click);
    MenuCloseRecording = new QAction(QStringLiteral("Close recording"), this);
    MenuCloseRecording->setObjectName(QStringLiteral("MenuCloseRecording"));
    MenuCloseRecording->setEnabled(false);
    MenuFile->insertAction(MenuNull0, MenuCloseRecording);
    connect(MenuCloseRecording, &QAction::triggered, this, &MainForm::MenuCloseRecording_Click);
    // Choosing the replaying port again, while stopped, goes back to its receiver.
    connect(Cmb_COM, &QComboBox::activated, this, [this](int index) {
        if (!acquisitionRunning && !MSComm.Recording().isEmpty() && index + 1 == MSComm.RecordingPort())
            MenuCloseRecording_Click();
    });

    Frm_Replay = new ReplayBar;
    Frm_Replay->onPause = [this](bool pause) {
        if (ReplayControl* replay = MSComm.Replay())
            pause ? replay->Pause() : replay->Resume();
        Status->Paused(pause && MSComm.Replay() != nullptr && acquisitionRunning);
        CompareReplayFollow();
        ShowReplay();
    };
    Frm_Replay->onSpeed = [this](int speed) {
        // Chosen while stopped, the speed is the next replay's.
        if (ReplayControl* replay = MSComm.Replay())
            replay->SetSpeed(speed);
        CompareReplayFollow();
        ShowReplay();
    };
    Frm_Replay->onSeek = [this](std::int64_t ms) { ReplaySeek(ms); };

    Tlb_Replay = new QToolBar(QStringLiteral("Replay"), this);
    Tlb_Replay->setObjectName(QStringLiteral("Tlb_Replay"));
    Tlb_Replay->setMovable(false);
    Tlb_Replay->setFloatable(false);
    // Shown exactly while a file is the source, never by the toolbars' own menu.
    Tlb_Replay->toggleViewAction()->setVisible(false);
    Tlb_Replay->addWidget(Frm_Replay);
    addToolBar(Qt::BottomToolBarArea, Tlb_Replay);
    Tlb_Replay->setVisible(false);
    followers_.push_back([this] { ReplayFollowAcquisition(); });
    // Last of the ticks: the end of a recording stops the acquisition.
    tickers_.push_back([this](const ReceiverSession::Poll&) { ReplayTick(); });
}

void MainForm::MenuOpenRecording_Click()
{
    const QString path = askRecordingFile ? askRecordingFile() : QString();
    if (path.isEmpty())
        return;
    // The chosen port plays it from the next Start on; a running acquisition goes on until then.
    MSComm.PlayRecording(settings.portIndex + 1, path);
    if (!acquisitionRunning) {
        replayPath_ = path;
        replayEnded_ = false;
        replayShown_ = ReplayState{};
        ShowReplay();
    }
    UpdatePortTooltip();
}

void MainForm::MenuCloseRecording_Click()
{
    if (acquisitionRunning && MSComm.Replay() != nullptr)
        Cmd_StartStop_Click(1);
    MSComm.PlayRecording(0, QString());
    if (!acquisitionRunning) {
        replayPath_.clear();
        replayEnded_ = false;
        replayShown_ = ReplayState{};
        ShowReplay();
    }
    UpdatePortTooltip();
}

void MainForm::ReplayFollowAcquisition()
{
    if (acquisitionRunning) {
        replayEnded_ = false;
        // The port chosen at Start decides: its recording, or a file it names itself.
        ReplayControl* replay = MSComm.Replay();
        replayPath_ = replay ? MSComm.SourceName() : QString();
        replayGapsSeen_ = 0;
        replayNoticeTicks_ = 0;
        if (replay)
            replay->SetSpeed(Frm_Replay->Speed());
    } else if (!MSComm.Recording().isEmpty() && !replayEnded_ && MSComm.Recording() != replayPath_) {
        // Another file was opened while the last one played: the bar stands for it now.
        replayPath_ = MSComm.Recording();
        replayShown_ = ReplayState{};
    }
    // Stopped, the bar keeps what the replay showed last, until a Start of another source.
    ShowReplay();
}

void MainForm::ReplayTick()
{
    const ReplayControl* replay = MSComm.Replay();
    if (replay != nullptr && replay->AtEnd()) {
        // Everything is shown; the replay stops and Start plays it again from the start.
        replayEnded_ = true;
        replayFailure_ = replay->Failure();
        Cmd_StartStop_Click(1);
        return;
    }
    if (replayNoticeTicks_ > 0)
        --replayNoticeTicks_;
    if (replay != nullptr && replay->GapsSkipped() != replayGapsSeen_) {
        replayGapsSeen_ = replay->GapsSkipped();
        replayNotice_ = QStringLiteral("Skipped a gap of ") + GapText(replay->LastGapMs());
        replayNoticeTicks_ = kNoticeTicks;
    }
    ShowReplay();
}

void MainForm::ShowReplay()
{
    const bool wanted = !replayPath_.isEmpty();
    MenuCloseRecording->setEnabled(wanted || !MSComm.Recording().isEmpty());
    // isHidden, not isVisible: the window itself may not be shown yet.
    if (Tlb_Replay->isHidden() == wanted) {
        Tlb_Replay->setVisible(wanted);
        // The window's size is fixed; it grows by the bar while the bar is there.
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        adjustSize();
        setFixedSize(sizeHint());
    }
    if (!wanted)
        return;
    Tlb_Replay->setToolTip(replayPath_);
    // Stopped, the bar shows where the replay stood, with nothing to pause or move.
    ReplayState state = replayShown_;
    state.playing = false;
    state.paused = false;
    state.speed = Frm_Replay->Speed();
    if (const ReplayControl* replay = MSComm.Replay(); replay != nullptr && acquisitionRunning) {
        state.playing = true;
        state.paused = replay->IsPaused();
        state.speed = replay->Speed();
        state.position = replay->Position();
        state.duration = replay->Duration();
        state.positionText = replay->PositionText();
        if (replayNoticeTicks_ > 0)
            state.notice = replayNotice_;
    }
    state.atEnd = replayEnded_;
    state.failure = replayEnded_ ? replayFailure_ : QString();
    if (replayEnded_)
        state.position = state.duration;
    replayShown_ = state;
    Frm_Replay->Show(state);
}

void MainForm::ReplaySeek(std::int64_t ms)
{
    ReplayControl* replay = MSComm.Replay();
    if (replay == nullptr || !acquisitionRunning)
        return;
    replay->Seek(ms);
    CompareReplaySeek(ms);
    // Nothing from another moment stays shown: the fix, the columns and the history start
    // again from the new moment.
    ClearDisplay();
    StartFresh(session_.ReadTalkers());
    AlarmsFollowAcquisition();
    ShowReplay();
}

} // namespace fixwatch
