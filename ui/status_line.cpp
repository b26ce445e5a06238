#include "status_line.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>

namespace fixwatch {
namespace {

QString Count(int n, const char* singular, const char* plural)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? singular : plural);
}

} // namespace

StatusLine::StatusLine(QStatusBar* bar)
{
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    clock = [] { return started.elapsed(); };

    for (std::size_t i = 0; i < Lab_Status.size(); ++i) {
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("Lab_Status(%1)").arg(i));
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::NoFocus);
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
    QLabel* label = Lab_Status[static_cast<std::size_t>(index)];
    if (label->text() != text)
        label->setText(text);
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

void StatusLine::Stopped()
{
    link_ = Link::Stopped;
    hiddenTalker_.clear();
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
        if (silentMs >= kSilenceMs) {
            text = QStringLiteral("No data for %1 s").arg(silentMs / 1000);
        } else if (!hiddenTalker_.isEmpty() && now - hiddenTalkerMs_ < kHintMs) {
            text = QStringLiteral("Receiving %1 sentences that are not shown: check All GNSS on "
                                  "the Communication tab, or start with /G+")
                       .arg(hiddenTalker_);
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
