// The replay bar on its own: the state it is given shown as it is, and the user's pause,
// speed and seek handed out once each, a drag of the slider seeking only when let go.
#include "replay_bar.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace fixwatch {
namespace {

ReplayState Playing(std::int64_t position, std::int64_t duration = 1'000'000)
{
    ReplayState state;
    state.playing = true;
    state.position = position;
    state.duration = duration;
    state.positionText = QStringLiteral("12:35:19 of 13:02:00");
    return state;
}

struct ReplayBarTest : ::testing::Test {
    ReplayBarTest()
    {
        bar.onPause = [this](bool pause) { pauses.push_back(pause); };
        bar.onSpeed = [this](int speed) { speeds.push_back(speed); };
        bar.onSeek = [this](std::int64_t ms) { seeks.push_back(ms); };
        bar.resize(700, 40);
        bar.show();
    }

    // A mouse button event at the slider's handle, moved `dx` pixels to the right.
    void SendMouse(QEvent::Type type, int dx, Qt::MouseButtons buttons)
    {
        QSlider* slider = bar.Sld_ReplayPosition;
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = Qt::Horizontal;
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = slider->sliderPosition();
        option.sliderValue = slider->value();
        const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                             QStyle::SC_SliderHandle, slider);
        const QPointF at = QPointF(handle.center() + QPoint(dx, 0));
        QMouseEvent event(type, at, slider->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(slider, &event);
    }

    ReplayBar bar;
    std::vector<bool> pauses;
    std::vector<int> speeds;
    std::vector<std::int64_t> seeks;
};

TEST_F(ReplayBarTest, ShowsTheGivenStateWithoutAskingForAnything)
{
    ReplayState state = Playing(250'000);
    state.speed = 5;
    bar.Show(state);
    EXPECT_EQ(bar.Lab_ReplayPosition->text(), "12:35:19 of 13:02:00");
    EXPECT_EQ(bar.Lab_ReplayPosition->textFormat(), Qt::PlainText);
    EXPECT_EQ(bar.Sld_ReplayPosition->value(), ReplayBar::kSliderSteps / 4);
    EXPECT_EQ(bar.Cmb_ReplaySpeed->currentText(), QString::fromUtf8("\u00D75"));
    EXPECT_EQ(bar.Cmd_ReplayPause->text(), "Pause");
    EXPECT_TRUE(bar.Cmd_ReplayPause->isEnabled());

    state.paused = true;
    state.speed = 0;
    bar.Show(state);
    EXPECT_EQ(bar.Cmd_ReplayPause->text(), "Resume");
    EXPECT_EQ(bar.Cmb_ReplaySpeed->currentText(), "As fast as possible");

    state.paused = false;
    state.playing = false;
    state.atEnd = true;
    state.position = state.duration;
    bar.Show(state);
    EXPECT_EQ(bar.Lab_ReplayPosition->text(), "End of recording");
    EXPECT_EQ(bar.Sld_ReplayPosition->value(), ReplayBar::kSliderSteps);
    state.failure = QStringLiteral("Could not read the recording on: Input/output error");
    bar.Show(state);
    EXPECT_EQ(bar.Lab_ReplayPosition->text(), state.failure) << "a failure is no end of the recording";
    state.failure.clear();
    EXPECT_FALSE(bar.Cmd_ReplayPause->isEnabled());
    EXPECT_FALSE(bar.Sld_ReplayPosition->isEnabled());

    // A recording of one epoch has no length to move through.
    bar.Show(Playing(0, 0));
    EXPECT_EQ(bar.Sld_ReplayPosition->value(), 0);

    EXPECT_TRUE(pauses.empty() && speeds.empty() && seeks.empty()) << "showing a state asked for something";
}

TEST_F(ReplayBarTest, PauseAndSpeedAreHandedOutAsChosen)
{
    bar.Show(Playing(0));
    QTest::mouseClick(bar.Cmd_ReplayPause, Qt::LeftButton);
    EXPECT_EQ(bar.Cmd_ReplayPause->text(), "Resume");
    QTest::mouseClick(bar.Cmd_ReplayPause, Qt::LeftButton);
    EXPECT_EQ(bar.Cmd_ReplayPause->text(), "Pause");
    EXPECT_EQ(pauses, (std::vector<bool>{true, false}));

    QStringList texts;
    for (int i = 0; i < bar.Cmb_ReplaySpeed->count(); ++i)
        texts << bar.Cmb_ReplaySpeed->itemText(i);
    EXPECT_EQ(texts.join('|'), QString::fromUtf8("\u00D71|\u00D72|\u00D75|\u00D710|As fast as possible"));
    for (int i = 1; i < bar.Cmb_ReplaySpeed->count(); ++i)
        bar.Cmb_ReplaySpeed->setCurrentIndex(i);
    EXPECT_EQ(speeds, (std::vector<int>{2, 5, 10, 0}));
    EXPECT_EQ(bar.Speed(), 0);
}

TEST_F(ReplayBarTest, DraggingTheSliderSeeksOnceWhenLetGoAndUpdatesDoNotMoveIt)
{
    bar.Show(Playing(0));
    SendMouse(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    ASSERT_TRUE(bar.Sld_ReplayPosition->isSliderDown());
    SendMouse(QEvent::MouseMove, 100, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, 200, Qt::LeftButton);
    const int held = bar.Sld_ReplayPosition->sliderPosition();
    EXPECT_GT(held, 0);
    EXPECT_TRUE(seeks.empty()) << "no seek while dragging";

    // The replay goes on meanwhile; the slider stays under the user's hand.
    bar.Show(Playing(10'000));
    EXPECT_EQ(bar.Sld_ReplayPosition->sliderPosition(), held);
    EXPECT_TRUE(seeks.empty());

    SendMouse(QEvent::MouseButtonRelease, 0, Qt::NoButton);
    ASSERT_EQ(seeks.size(), 1u);
    EXPECT_EQ(seeks[0], static_cast<std::int64_t>(held) * 1'000'000 / ReplayBar::kSliderSteps);

    // The keyboard moves it a step and seeks at once.
    bar.Show(Playing(500'000));
    bar.Sld_ReplayPosition->setFocus();
    QTest::keyClick(bar.Sld_ReplayPosition, Qt::Key_PageUp);
    ASSERT_EQ(seeks.size(), 2u);
    EXPECT_EQ(seeks[1], 550'000);
}

} // namespace
} // namespace fixwatch
