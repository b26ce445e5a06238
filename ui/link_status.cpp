#include "link_status.h"

#include <algorithm>

namespace fixwatch {
namespace {

QString Count(int n, const char* singular, const char* plural)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? singular : plural);
}

} // namespace

void LinkStatus::Paused(bool paused)
{
    // Going on, the silence is counted from now.
    if (paused_ && !paused)
        lastDataMs_ = Now();
    paused_ = paused;
}

void LinkStatus::ForgetHints()
{
    hiddenTalker_.clear();
    lfOnlyMs_ = -1;
    losses_.clear();
    allGnssAtNextStart_ = false;
}

void LinkStatus::Stopped()
{
    link_ = Link::Stopped;
    paused_ = false;
    ForgetHints();
}

void LinkStatus::StartFailed(const QString& reason)
{
    link_ = Link::Failed;
    failure_ = reason;
}

void LinkStatus::Started()
{
    link_ = Link::Running;
    sentencesLastPoll_ = 0;
    badChecksums_ = 0;
    lastDataMs_ = Now();
    backUntilMs_ = -1;
    ForgetHints();
}

void LinkStatus::SourceLost(const QString& name)
{
    link_ = Link::Lost;
    sourceName_ = name;
}

void LinkStatus::SourceBack(const QString& name)
{
    link_ = Link::Running;
    sourceName_ = name;
    lastDataMs_ = Now();
    backUntilMs_ = Now() + kBackMs;
    // What comes back may be another receiver: its checksums are counted afresh.
    badChecksums_ = 0;
}

void LinkStatus::Polled(bool textArrived, int sentences, int badChecksums)
{
    if (textArrived)
        lastDataMs_ = Now();
    sentencesLastPoll_ = sentences;
    badChecksums_ += badChecksums;
}

void LinkStatus::HiddenTalkerSeen(const QString& talker)
{
    // GN, the talker of a fix from several systems, is the one to name when it comes.
    if (hiddenTalker_ != QLatin1String("GN") || Now() - hiddenTalkerMs_ >= kHintMs)
        hiddenTalker_ = talker;
    hiddenTalkerMs_ = Now();
}

void LinkStatus::LfOnlyLinesSeen()
{
    lfOnlyMs_ = Now();
}

void LinkStatus::BytesDropped(std::uint64_t bytes)
{
    if (bytes > 0)
        losses_.emplace_back(Now(), bytes);
}

void LinkStatus::AllGnssChosen(bool checked)
{
    // Stopped, the next Start reads the box anyway.
    allGnssAtNextStart_ = checked && (link_ == Link::Running || link_ == Link::Lost);
}

QString LinkStatus::LossText(qint64 now)
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

QString LinkStatus::Text()
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
    return text;
}

} // namespace fixwatch
