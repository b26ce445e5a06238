#include "status_line.h"

#include "plain_text.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>

namespace fixwatch {
namespace {

QString Count(int n, const char* singular, const char* plural)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? singular : plural);
}

// However narrow the bar gets, a text keeps room for this many characters.
constexpr int kNarrowestCharacters = 8;

} // namespace

StatusLabel::StatusLabel(double keptShare) : keptShare_(keptShare)
{
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
}

void StatusLabel::SetText(const QString& text)
{
    if (text == this->text())
        return;
    setText(text);
    Fit();
}

QSize StatusLabel::minimumSizeHint() const
{
    int narrowest = fontMetrics().averageCharWidth() * kNarrowestCharacters;
    if (const QWidget* bar = parentWidget()) {
        const int whole = fontMetrics().horizontalAdvance(text()) + 2 * margin() + 1;
        narrowest = std::max(narrowest, std::min(whole, static_cast<int>(bar->width() * keptShare_)));
    }
    return {narrowest, QLabel::minimumSizeHint().height()};
}

// The text cut to the width, and the whole of it as the tooltip only when it was cut.
void StatusLabel::Fit()
{
    const QString whole = text();
    QString shown = fontMetrics().elidedText(whole, Qt::ElideMiddle, contentsRect().width());
    const QString tip = shown == whole ? QString() : PlainToolTip(whole);
    if (toolTip() != tip)
        setToolTip(tip);
    if (shown != shown_) {
        shown_ = std::move(shown);
        update();
    }
}

void StatusLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(),
                          shown_, foregroundRole());
}

void StatusLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    Fit();
}

void StatusLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        Fit();
}

StatusLine::StatusLine(QStatusBar* bar) : QObject(bar)
{
    setObjectName(QStringLiteral("StatusLine"));
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    clock = [] { return started.elapsed(); };

    for (std::size_t i = 0; i < Lab_Status.size(); ++i) {
        // The state, which says most, keeps at least half the bar.
        auto* label = new StatusLabel(i == 1 ? 0.5 : 0);
        label->setObjectName(QStringLiteral("Lab_Status(%1)").arg(i));
        Lab_Status[i] = label;
        // The state takes the room that is left; the others keep their own width.
        bar->addWidget(label, i == 1 ? 1 : 0);
    }
    bar->setSizeGripEnabled(false);
    Lab_Status[2]->hide();
    Stopped();
}

qint64 StatusLine::Now() const
{
    return clock ? clock() : 0;
}

void StatusLine::Set(int index, const QString& text)
{
    StatusLabel* label = Lab_Status[static_cast<std::size_t>(index)];
    label->SetText(text);
    // Only the logger comes and goes; an empty source or state keeps its place.
    if (index == 2)
        label->setVisible(!text.isEmpty());
}

void StatusLine::ShowSource(const QString& description)
{
    Set(0, description);
}

void StatusLine::ShowLogger(const QString& text)
{
    Set(2, text);
}

void StatusLine::Paused(bool paused)
{
    // Going on, the silence is counted from now.
    if (paused_ && !paused)
        lastDataMs_ = Now();
    paused_ = paused;
    ShowState();
}

void StatusLine::Stopped()
{
    link_ = Link::Stopped;
    paused_ = false;
    hiddenTalker_.clear();
    lfOnlyMs_ = -1;
    losses_.clear();
    allGnssAtNextStart_ = false;
    ShowState();
}

void StatusLine::StartFailed(const QString& reason)
{
    link_ = Link::Failed;
    failure_ = reason;
    ShowState();
}

void StatusLine::Started()
{
    link_ = Link::Running;
    sentencesLastPoll_ = 0;
    badChecksums_ = 0;
    lastDataMs_ = Now();
    backUntilMs_ = -1;
    hiddenTalker_.clear();
    lfOnlyMs_ = -1;
    losses_.clear();
    allGnssAtNextStart_ = false;
    ShowState();
}

void StatusLine::SourceLost(const QString& name)
{
    link_ = Link::Lost;
    sourceName_ = name;
    ShowState();
}

void StatusLine::SourceBack(const QString& name)
{
    link_ = Link::Running;
    sourceName_ = name;
    lastDataMs_ = Now();
    backUntilMs_ = Now() + kBackMs;
    // What comes back may be another receiver: its checksums are counted afresh.
    badChecksums_ = 0;
    ShowState();
}

void StatusLine::Polled(bool textArrived, int sentences, int badChecksums)
{
    if (textArrived)
        lastDataMs_ = Now();
    sentencesLastPoll_ = sentences;
    badChecksums_ += badChecksums;
    ShowState();
}

void StatusLine::HiddenTalkerSeen(const QString& talker)
{
    // GN, the talker of a fix from several systems, is the one to name when it comes.
    if (hiddenTalker_ != QLatin1String("GN") || Now() - hiddenTalkerMs_ >= kHintMs)
        hiddenTalker_ = talker;
    hiddenTalkerMs_ = Now();
}

void StatusLine::LfOnlyLinesSeen()
{
    lfOnlyMs_ = Now();
}

void StatusLine::BytesDropped(std::uint64_t bytes)
{
    if (bytes > 0)
        losses_.emplace_back(Now(), bytes);
}

QString StatusLine::LossText(qint64 now)
{
    while (!losses_.empty() && now - losses_.front().first >= kLossWindowMs)
        losses_.pop_front();
    if (losses_.empty() || now - losses_.back().first >= kHintMs)
        return {};
    std::uint64_t bytes = 0;
    for (const auto& loss : losses_)
        bytes += loss.second;
    const QString amount = bytes < 1024 ? QStringLiteral("%1 B").arg(bytes)
                                        : QStringLiteral("%1 KiB").arg((bytes + 512) / 1024);
    const qint64 seconds = std::max<qint64>(1, (now - losses_.front().first + 999) / 1000);
    return QStringLiteral("Lost %1 in %2 s: the receiver sends faster than the window reads")
        .arg(amount)
        .arg(seconds);
}

void StatusLine::AllGnssChosen(bool checked)
{
    // Stopped, the next Start reads the box anyway.
    allGnssAtNextStart_ = checked && (link_ == Link::Running || link_ == Link::Lost);
    ShowState();
}

void StatusLine::ShowState()
{
    QString text;
    switch (link_) {
    case Link::Stopped:
        text = QStringLiteral("Stopped");
        break;
    case Link::Failed:
        text = failure_;
        break;
    case Link::Lost:
        text = QStringLiteral("Receiver lost (%1): waiting for it to come back").arg(sourceName_);
        break;
    case Link::Running: {
        const qint64 now = Now();
        const qint64 silentMs = now - lastDataMs_;
        const QString loss = LossText(now);
        if (paused_) {
            text = QStringLiteral("Paused");
        } else if (silentMs >= kSilenceMs) {
            text = QStringLiteral("No data for %1 s").arg(silentMs / 1000);
        } else if (!loss.isEmpty()) {
            text = loss;
        } else if (lfOnlyMs_ >= 0 && now - lfOnlyMs_ < kHintMs) {
            text = allGnssAtNextStart_
                       ? QStringLiteral("Receiving lines that end in LF only: All GNSS takes "
                                        "effect at the next Start")
                       : QStringLiteral("Receiving lines that end in LF only: check All GNSS on "
                                        "the Communication tab, or start with /G+");
        } else if (!hiddenTalker_.isEmpty() && now - hiddenTalkerMs_ < kHintMs) {
            text = allGnssAtNextStart_
                       ? QStringLiteral("Receiving %1 sentences that are not shown: All GNSS "
                                        "takes effect at the next Start")
                       : QStringLiteral("Receiving %1 sentences that are not shown: check All "
                                        "GNSS on the Communication tab, or start with /G+");
            text = text.arg(hiddenTalker_);
        } else {
            text = QStringLiteral("Receiving \u00B7 %1/s")
                       .arg(Count(sentencesLastPoll_, "sentence", "sentences"));
            if (badChecksums_ > 0)
                text += QStringLiteral(" \u00B7 ") + Count(badChecksums_, "bad checksum", "bad checksums");
        }
        if (now < backUntilMs_)
            text = QStringLiteral("Receiver back (%1) \u00B7 ").arg(sourceName_) + text;
        break;
    }
    }
    Set(1, text);
}

} // namespace fixwatch
