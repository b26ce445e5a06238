#include "receiver_session.h"

#include "checksum.h"
#include "fix_quality_words.h"

#include <algorithm>

namespace fixwatch {
namespace {

// Field `index` of a sentence, counting the identifier as field 0, without its checksum.
std::string_view Field(std::string_view sentence, std::size_t index)
{
    if (const auto star = sentence.rfind('*'); star != std::string_view::npos)
        sentence = sentence.substr(0, star);
    for (std::size_t i = 0; i < index; ++i) {
        const auto comma = sentence.find(',');
        if (comma == std::string_view::npos)
            return {};
        sentence.remove_prefix(comma + 1);
    }
    return sentence.substr(0, sentence.find(','));
}

int UsedCount(const Sky& sky)
{
    const auto& satellites = sky.Satellites();
    return static_cast<int>(std::count_if(satellites.begin(), satellites.end(),
                                          [](const SkySatellite& s) { return s.used; }));
}

} // namespace

ReceiverSession::ReceiverSession()
    : assembler_([this](std::string_view line, bool fresh) { LineReceived(line, fresh); })
{
}

ReceiverSession::~ReceiverSession() = default;

void ReceiverSession::Interpret(NmeaEvents* events)
{
    events_ = events;
    gps_ = events ? std::make_unique<NmeaInterpreter>(*events, talkers_) : nullptr;
}

void ReceiverSession::Begin(Talkers talkers)
{
    // A new acquisition starts from nothing: the text kept from an earlier one would
    // otherwise show its fix again on a receiver that sends nothing.
    assembler_.Clear();
    talkers_ = talkers;
    if (gps_)
        gps_->SetTalkers(talkers);
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
    Poll poll = HandleInput(comm_.Input());
    poll.cameBack = cameBack;
    return poll;
}

ReceiverSession::Poll ReceiverSession::HandleInput(std::string_view text)
{
    poll_ = Poll{};
    poll_.textArrived = !text.empty();
    assembler_.HandleInput(text);
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

void ReceiverSession::LineReceived(std::string_view line, bool fresh)
{
    if (fresh)
        NewLine(line, !ChecksumMatches(line));
    if (!gps_)
        return;
    gps_->Parse(line);
    // The interpreter words fix qualities 4 to 8 "Invalid"; with every system read, their
    // own words are shown.
    if (talkers_ == Talkers::AllSystems && events_) {
        if (const auto word = ExtendedFixQuality(line))
            events_->PositionFixReceived(std::string(*word));
    }
}

void ReceiverSession::NewLine(std::string_view line, bool badChecksum)
{
    // What arrived, counted once: the repeats of kept lines are not news.
    ++poll_.lines;
    if (badChecksum)
        ++poll_.badChecksums;
    const bool skyChanged = sky_.Feed(line);
    if (skyChanged)
        poll_.skyChanged = true;

    if (!badChecksum) {
        const std::string_view identifier = SentenceIdentifier(line);
        if (identifier.size() == 6 && identifier[0] == '$') {
            const std::string_view talker = identifier.substr(1, 2);
            const std::string_view formatter = identifier.substr(3);
            if (talkers_ == Talkers::GpsOnly) {
                if (const auto hidden = NonGpsTalker(line); hidden && onHiddenTalker)
                    onHiddenTalker(*hidden);
            } else if (ReadsTalker(talkers_, talker)) {
                if (formatter == "GGA" || formatter == "GNS")
                    inUse_.SolutionCount(talker, formatter, Field(line, 1), Field(line, 7));
                else if (formatter == "GSA")
                    gsaSeen_ = true;
            }
        }
    }
    // The used satellites the sky marks are the solution's, once a GSA said which they are
    // and a GSV said where.
    if (talkers_ == Talkers::AllSystems && gsaSeen_ && (skyChanged || !inUsedBySky_) &&
        !sky_.Satellites().empty()) {
        inUse_.UsedBySky(UsedCount(sky_));
        inUsedBySky_ = true;
    }

    const LineFacts facts{badChecksum};
    for (LineConsumer* consumer : consumers_)
        consumer->LineArrived(line, facts);
}

} // namespace fixwatch
