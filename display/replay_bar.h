#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace fixwatch {

// What the bar shows of a replay; the window fills it from the playing source each tick.
struct ReplayState {
    bool playing = false; // a recording is open and can be paused or moved through
    bool paused = false;
    bool atEnd = false;        // everything was played: the label says so
    QString failure;           // why the replay ended early, said in place of its end
    int speed = 1;             // 1, 2, 5 or 10 times real time, or 0 as fast as possible
    std::int64_t position = 0; // ms from the recording's first epoch
    std::int64_t duration = 0;
    QString positionText; // e.g. "00:40:08 of 02:13:00 · 2024-03-23 12:35:19 UTC"
    QString notice;       // for a moment in place of the position: "Skipped a gap of 9 min 41 s"
};

// The controls of a replay: pause and resume, the speed, and a slider that shows where in
// the recording the replay stands and moves it when the user lets go of it. The bar knows
// nothing of where the replay comes from: it shows the state it is given and says what the
// user asked for through its callbacks.
class ReplayBar : public QWidget {
    Q_OBJECT

public:
    // The slider's range: its positions are this many even steps of the recording's length.
    static constexpr int kSliderSteps = 10000;

    explicit ReplayBar(QWidget* parent = nullptr);

    void Show(const ReplayState& state);
    // The speed chosen in the list: 1, 2, 5, 10, or 0 for as fast as possible.
    int Speed() const;

    // The user asked to pause (true) or to go on (false).
    std::function<void(bool pause)> onPause;
    // The user chose a speed.
    std::function<void(int speed)> onSpeed;
    // The user moved the slider to `ms` of the recording.
    std::function<void(std::int64_t ms)> onSeek;

    QPushButton* Cmd_ReplayPause = nullptr;
    QComboBox* Cmb_ReplaySpeed = nullptr;
    QSlider* Sld_ReplayPosition = nullptr;
    QLabel* Lab_ReplayPosition = nullptr;

public slots:
    void Cmd_ReplayPause_Click();
    void Cmb_ReplaySpeed_Click();
    void Sld_ReplayPosition_Change(int value);

private:
    void ShowPauseText();

    ReplayState state_;
    bool showing_ = false; // the bar itself is moving its controls
};

} // namespace fixwatch
