#include "receiver_session.h"

#include "sentence_view.h"

#include <algorithm>

namespace fixwatch {
namespace {

int UsedCount(const Sky& sky)
{
    const auto& satellites = sky.Satellites();
    return static_cast<int>(std::count_if(satellites.begin(), satellites.end(),
                                          [](const SkySatellite& s) { return s.used; }));
}

} // namespace

ReceiverSession::ReceiverSession()
    : assembler_([this](std::string_view line) { LineReceived(line); }), received_([this](std::string_view line, bool lfOnly) {
          if (lfOnly)
              ++poll_.lfOnlyLines;
          NewLine(SentenceView(line, talkers_));
      })
{
}

ReceiverSession::~ReceiverSession() = default;

void ReceiverSession::Interpret(NmeaEvents* events)
{
    events_ = events;
    gps_ = events ? std::make_unique<NmeaInterpreter>(*events, talkers_) : nullptr;
    ApplyTalkers();
}

void ReceiverSession::ApplyTalkers()
{
    if (!gps_)
        return;
    gps_->SetTalkers(talkers_);
    // The default reading words fix qualities 4 to 8 "Invalid"; with every system read, the
    // window shows their own words.
    gps_->SetFixQualityWords(talkers_ == Talkers::AllSystems ? FixQualityWords::Named
                                                             : FixQualityWords::Invalid);
}

void ReceiverSession::Begin(Talkers talkers)
{
    // A new acquisition starts from nothing: the text kept from an earlier one would
    // otherwise show its fix again on a receiver that sends nothing.
    assembler_.Clear();
    received_.Clear();
    lineEnds_.Reset();
    droppedBefore_ = comm_.Dropped();
    talkers_ = talkers;
    ApplyTalkers();
    sky_ = Sky(talkers);
    inUse_.Clear();
    gsaSeen_ = false;
    inUsedBySky_ = false;
}

ReceiverSession::Poll ReceiverSession::PollOnce()
{
    bool cameBack = false;
    // A receiver that went away is looked for again at every poll until it is back.
    if (comm_.LinkState() == CommControl::State::Lost && comm_.Reconnect())
        cameBack = true;
    const std::string text = comm_.Input();
    // What the source threw away took the end of the unfinished line with it: what follows
    // is another line, never its continuation.
    const std::uint64_t dropped = comm_.Dropped();
    const std::uint64_t droppedNow = dropped > droppedBefore_ ? dropped - droppedBefore_ : 0;
    droppedBefore_ = dropped;
    if (droppedNow > 0) {
        received_.DropUnfinished();
        assembler_.DropUnfinished();
    }
    Poll poll = HandleInput(text);
    poll.cameBack = cameBack;
    poll.droppedBytes = droppedNow;
    return poll;
}

ReceiverSession::Poll ReceiverSession::HandleInput(std::string_view text)
{
    poll_ = Poll{};
    poll_.textArrived = !text.empty();
    // New lines first, so that the sky and the counters know of them when the interpreter's
    // events reach the display.
    received_.HandleInput(text);
    if (talkers_ == Talkers::AllSystems) {
        normalized_.clear();
        lineEnds_.Append(text, normalized_);
        assembler_.HandleInput(normalized_);
    } else {
        assembler_.HandleInput(text);
    }
    return poll_;
}

void ReceiverSession::AddConsumer(LineConsumer* consumer)
{
    if (consumer && std::find(consumers_.begin(), consumers_.end(), consumer) == consumers_.end())
        consumers_.push_back(consumer);
}

void ReceiverSession::RemoveConsumer(LineConsumer* consumer)
{
    consumers_.erase(std::remove(consumers_.begin(), consumers_.end(), consumer), consumers_.end());
}

void ReceiverSession::LineReceived(std::string_view line)
{
    if (gps_)
        gps_->Parse(SentenceView(line, talkers_));
}

void ReceiverSession::NewLine(const SentenceView& sentence)
{
    const bool badChecksum = !sentence.ChecksumMatches();
    // What arrived, counted once: the repeats of kept lines are not news.
    ++poll_.lines;
    if (badChecksum)
        ++poll_.badChecksums;
    const bool skyChanged = sky_.Feed(sentence);
    if (skyChanged)
        poll_.skyChanged = true;

    if (!badChecksum && !sentence.Talker().empty()) {
        const std::string_view talker = sentence.Talker();
        const std::string_view type = sentence.Type();
        if (talkers_ == Talkers::GpsOnly) {
            if (const auto hidden = NonGpsTalker(sentence); hidden && onHiddenTalker)
                onHiddenTalker(*hidden);
        } else if (ReadsTalker(talkers_, talker)) {
            if (type == "GGA" || type == "GNS")
                inUse_.SolutionCount(talker, type, sentence.FieldOrEmpty(1), sentence.FieldOrEmpty(7));
            else if (type == "GSA")
                gsaSeen_ = true;
        }
    }
    // The used satellites the sky marks are the solution's, once a GSA said which they are
    // and a GSV said where.
    if (talkers_ == Talkers::AllSystems && gsaSeen_ && (skyChanged || !inUsedBySky_)
        && !sky_.Satellites().empty()) {
        inUse_.UsedBySky(UsedCount(sky_));
        inUsedBySky_ = true;
    }

    const LineFacts facts{badChecksum, sentence};
    for (LineConsumer* consumer : consumers_)
        consumer->LineArrived(sentence.Text(), facts);
}

} // namespace fixwatch
