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
        auto* label = new StatusLabel(i == kLinkPane ? 0.5 : 0);
        label->setObjectName(QStringLiteral("Lab_Status(%1)").arg(i));
        Lab_Status[i] = label;
        // The state takes the room that is left; the others keep their own width.
        bar->addWidget(label, i == kLinkPane ? 1 : 0);
    }
    bar->setSizeGripEnabled(false);
    Lab_Status[kLoggerPane]->hide();
    Stopped();
}

qint64 StatusLine::Now() const
{
    return clock ? clock() : 0;
}

void StatusLine::Set(Pane pane, const QString& text)
{
    StatusLabel* label = Lab_Status[pane];
    label->SetText(text);
    // Only the logger comes and goes; an empty source or state keeps its place.
    if (pane == kLoggerPane)
        label->setVisible(!text.isEmpty());
}

void StatusLine::ShowSource(const QString& description)
{
    Set(kSourcePane, description);
}

void StatusLine::ShowLogger(const QString& text)
{
    Set(kLoggerPane, text);
}

void StatusLine::Paused(bool paused)
{
    link_.Paused(paused);
    ShowState();
}

void StatusLine::Stopped()
{
    link_.Stopped();
    ShowState();
}

void StatusLine::StartFailed(const QString& reason)
{
    link_.StartFailed(reason);
    ShowState();
}

void StatusLine::Started()
{
    link_.Started();
    ShowState();
}

void StatusLine::SourceLost(const QString& name)
{
    link_.SourceLost(name);
    ShowState();
}

void StatusLine::SourceBack(const QString& name)
{
    link_.SourceBack(name);
    ShowState();
}

void StatusLine::Polled(bool textArrived, int sentences, int badChecksums)
{
    link_.Polled(textArrived, sentences, badChecksums);
    ShowState();
}

void StatusLine::HiddenTalkerSeen(const QString& talker)
{
    link_.HiddenTalkerSeen(talker);
}

void StatusLine::LfOnlyLinesSeen()
{
    link_.LfOnlyLinesSeen();
}

void StatusLine::BytesDropped(std::uint64_t bytes)
{
    link_.BytesDropped(bytes);
}

void StatusLine::AllGnssChosen(bool checked)
{
    link_.AllGnssChosen(checked);
    ShowState();
}

void StatusLine::ShowState()
{
    Set(kLinkPane, link_.Text());
}

} // namespace fixwatch
