#include "replay_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <array>

namespace fixwatch {
namespace {

struct SpeedItem {
    const char* text;
    int speed;
};

constexpr std::array<SpeedItem, 5> kSpeeds{{
    {"\u00D71", 1},
    {"\u00D72", 2},
    {"\u00D75", 5},
    {"\u00D710", 10},
    {"As fast as possible", 0},
}};

} // namespace

ReplayBar::ReplayBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ReplayBar"));

    Cmd_ReplayPause = new QPushButton(QStringLiteral("Pause"));
    Cmd_ReplayPause->setObjectName(QStringLiteral("Cmd_ReplayPause"));
    Cmd_ReplayPause->setToolTip(QStringLiteral("Pause or resume the replay"));
    // Wide enough for either caption, so that the bar does not move when it changes.
    Cmd_ReplayPause->setMinimumWidth(
        std::max(Cmd_ReplayPause->fontMetrics().horizontalAdvance(QStringLiteral("Resume")),
                 Cmd_ReplayPause->fontMetrics().horizontalAdvance(QStringLiteral("Pause")))
        + 24);

    Cmb_ReplaySpeed = new QComboBox;
    Cmb_ReplaySpeed->setObjectName(QStringLiteral("Cmb_ReplaySpeed"));
    Cmb_ReplaySpeed->setToolTip(QStringLiteral("Replay speed"));
    for (const SpeedItem& item : kSpeeds)
        Cmb_ReplaySpeed->addItem(QString::fromUtf8(item.text), item.speed);

    Sld_ReplayPosition = new QSlider(Qt::Horizontal);
    Sld_ReplayPosition->setObjectName(QStringLiteral("Sld_ReplayPosition"));
    Sld_ReplayPosition->setToolTip(QStringLiteral("Where the replay stands in the recording"));
    Sld_ReplayPosition->setRange(0, kSliderSteps);
    Sld_ReplayPosition->setPageStep(kSliderSteps / 20);
    // While dragged the slider says nothing; it seeks once, when it is let go.
    Sld_ReplayPosition->setTracking(false);
    Sld_ReplayPosition->setMinimumWidth(240);

    Lab_ReplayPosition = new QLabel;
    Lab_ReplayPosition->setObjectName(QStringLiteral("Lab_ReplayPosition"));
    Lab_ReplayPosition->setTextFormat(Qt::PlainText);
    Lab_ReplayPosition->setToolTip(QStringLiteral("Time of the replay and of the recording's end"));
    Lab_ReplayPosition->setMinimumWidth(
        Lab_ReplayPosition->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 of 00:00:00+ \u00B7 0000-00-00 00:00:00 UTC")) + 8);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(Cmd_ReplayPause);
    layout->addWidget(Cmb_ReplaySpeed);
    layout->addWidget(Sld_ReplayPosition, 1);
    layout->addWidget(Lab_ReplayPosition);

    connect(Cmd_ReplayPause, &QPushButton::clicked, this, &ReplayBar::Cmd_ReplayPause_Click);
    connect(Cmb_ReplaySpeed, &QComboBox::currentIndexChanged, this, &ReplayBar::Cmb_ReplaySpeed_Click);
    connect(Sld_ReplayPosition, &QSlider::valueChanged, this, &ReplayBar::Sld_ReplayPosition_Change);

    Show(ReplayState{});
}

void ReplayBar::Show(const ReplayState& state)
{
    showing_ = true;
    state_ = state;
    Cmd_ReplayPause->setEnabled(state.playing && !state.atEnd);
    ShowPauseText();
    const int speedIndex = Cmb_ReplaySpeed->findData(state.speed);
    if (speedIndex >= 0)
        Cmb_ReplaySpeed->setCurrentIndex(speedIndex);
    Sld_ReplayPosition->setEnabled(state.playing && !state.atEnd);
    // The slider stays where the user holds it.
    if (!Sld_ReplayPosition->isSliderDown()) {
        int value = 0;
        if (state.duration > 0) {
            const std::int64_t at = std::clamp<std::int64_t>(state.position, 0, state.duration);
            value = static_cast<int>(at * kSliderSteps / state.duration);
        }
        Sld_ReplayPosition->setValue(value);
    }
    Lab_ReplayPosition->setText(state.atEnd && !state.failure.isEmpty() ? state.failure
                                : state.atEnd                           ? QStringLiteral("End of recording")
                                : !state.notice.isEmpty()               ? state.notice
                                                                        : state.positionText);
    showing_ = false;
}

int ReplayBar::Speed() const
{
    return Cmb_ReplaySpeed->currentData().toInt();
}

void ReplayBar::ShowPauseText()
{
    Cmd_ReplayPause->setText(state_.paused && !state_.atEnd ? QStringLiteral("Resume") : QStringLiteral("Pause"));
}

void ReplayBar::Cmd_ReplayPause_Click()
{
    state_.paused = !state_.paused;
    ShowPauseText();
    if (onPause)
        onPause(state_.paused);
}

void ReplayBar::Cmb_ReplaySpeed_Click()
{
    if (showing_)
        return;
    state_.speed = Speed();
    if (onSpeed)
        onSpeed(state_.speed);
}

void ReplayBar::Sld_ReplayPosition_Change(int value)
{
    if (showing_ || state_.duration <= 0)
        return;
    state_.position = static_cast<std::int64_t>(value) * state_.duration / kSliderSteps;
    if (onSeek)
        onSeek(state_.position);
}

} // namespace fixwatch
