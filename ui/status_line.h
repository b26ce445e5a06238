#pragma once

#include "link_status.h"

#include <QLabel>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QStatusBar;

namespace fixwatch {

// One text of the status bar: whole where it fits, otherwise cut in the middle, where a
// device path or a reason has the least to say ("/dev/serial/by-id/usb-u-bl…-if00 · 4800
// 8N1"), with the whole text as its tooltip. text() is always the whole text.
class StatusLabel : public QLabel {
public:
    // However crowded the bar, the label keeps this share of its width, or less where the
    // whole text needs less.
    explicit StatusLabel(double keptShare = 0);

    // Sets the whole text; what is shown follows it and the width.
    void SetText(const QString& text);
    // The text as it is shown at the current width.
    const QString& ShownText() const { return shown_; }

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Fit();

    double keptShare_;
    QString shown_;
};

// The quiet place where the window says what it is doing, in short plain texts that never
// take focus and never open a box: the source and its settings, the state of the link, and
// the data logger. The window tells it what happens; it words the state.
//
//   Lab_Status(0)  "/dev/ttyUSB0 · 4800 8N1"
//   Lab_Status(1)  "Stopped", "Receiving · 12 sentences/s · 3 bad checksums",
//                  "No data for 7 s", "Receiver lost (/dev/ttyUSB0): waiting for it to
//                  come back", why Start failed, or, while sentences arrive that the window
//                  does not show, how to see them (that matters more than their count),
//                  "Lost 212 KiB in 60 s: the receiver sends faster than the window reads"
//   Lab_Status(2)  "Logging every 5 s to ~/...", "Log not written: ...", hidden when idle
//
// It is a child of the status bar named "StatusLine", so that tests and tools can find it as
// they find the window's controls.
class StatusLine : public QObject {
    Q_OBJECT

public:
    // The link's wording and its times, see LinkStatus.
    static constexpr qint64 kSilenceMs = LinkStatus::kSilenceMs;
    static constexpr qint64 kBackMs = LinkStatus::kBackMs;
    static constexpr qint64 kHintMs = LinkStatus::kHintMs;
    static constexpr qint64 kLossWindowMs = LinkStatus::kLossWindowMs;

    explicit StatusLine(QStatusBar* bar);

    // The panes of Lab_Status, by their index.
    enum Pane : std::size_t { kSourcePane = 0,
                              kLinkPane = 1,
                              kLoggerPane = 2,
                              kPaneCount = 3 };
    std::array<StatusLabel*, kPaneCount> Lab_Status{};

    // Monotonic milliseconds; replaceable so that tests can let time pass.
    std::function<qint64()> clock;

    void ShowSource(const QString& description);
    void ShowLogger(const QString& text);

    void Stopped();
    void StartFailed(const QString& reason);
    void Started();
    void SourceLost(const QString& name);
    void SourceBack(const QString& name);
    // One poll while running: whether any text arrived, how many lines arrived for the first
    // time and how many of those had a wrong checksum.
    void Polled(bool textArrived, int sentences, int badChecksums);
    // A sentence of another talker ("GN") arrived that the window does not show.
    void HiddenTalkerSeen(const QString& talker);
    // Lines arrived that end in LF alone, which the window reads only with All GNSS.
    void LfOnlyLinesSeen();
    // The source threw away this many received bytes, whole lines, because they came
    // faster than the window reads.
    void BytesDropped(std::uint64_t bytes);
    // The user ticked or cleared All GNSS. While running, the running link keeps reading
    // as it was started, so the hint says that the choice takes effect at the next Start.
    void AllGnssChosen(bool checked);
    // A replay was paused (true) or goes on: while paused, its silence is no lost receiver.
    void Paused(bool paused);

private:
    void ShowState();
    void Set(Pane pane, const QString& text);
    qint64 Now() const;

    LinkStatus link_{[this] { return Now(); }};
};

} // namespace fixwatch
