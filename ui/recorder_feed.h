#pragma once

#include "receiver_session.h"
#include "sentence_recorder.h"

#include <string_view>

namespace fixwatch {

// Hands each new line of a receiver's session to its sentence recorder: receiver A's and, on
// the Compare tab, receiver B's.
class RecorderFeed final : public LineConsumer {
public:
    explicit RecorderFeed(SentenceRecorder& recorder) : recorder_(recorder) {}
    void LineArrived(std::string_view line, const LineFacts&) override { recorder_.Append(line); }

private:
    SentenceRecorder& recorder_;
};

} // namespace fixwatch
