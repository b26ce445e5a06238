#pragma once

#include "comm_control.h"
#include "line_ends.h"
#include "nmea_interpreter.h"
#include "received_lines.h"
#include "satellites_in_use.h"
#include "sentence_assembler.h"
#include "sky.h"
#include "talkers.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fixwatch {

// What a consumer learns of one received line besides its text.
struct LineFacts {
    bool badChecksum = false; // no "*" and checksum, or one that does not match
    // The line read once (checksum, talker, type, fields), for consumers that read sentences
    // rather than keep text; valid during the call only.
    const SentenceView& sentence;
};

// Anything that wants each received line once, as it first arrives: the recorder, the
// epoch model, the console. Called between two polls' display updates, on the window's
// thread; the text is only valid during the call.
class LineConsumer {
public:
    virtual ~LineConsumer() = default;
    virtual void LineArrived(std::string_view line, const LineFacts& facts) = 0;
};

// The road of received text, without any widget: the communications control, the line
// assembler, the interpreter, the sky and the counters. The window configures and opens the
// control, polls once a tick and shows what the poll says; everything between the bytes and
// the interpreter's events happens here.
//
// Every complete line kept by the assembler goes to the interpreter at every poll (the
// display shows the latest values again, as it always did). The assembler ends lines at
// CR LF only; with every system read, a line that ends in LF alone is read as if it ended
// in CR LF, as network sources and recordings are. Each line that is new, whatever ends it,
// goes once to the sky, the talker check, the counters and every consumer, so the recorder
// and the console lose none of what the receiver sent.
class ReceiverSession {
public:
    // What one poll brought.
    struct Poll {
        bool textArrived = false;
        bool cameBack = false; // a lost source was opened again before reading
        int lines = 0;         // lines that arrived for the first time
        int badChecksums = 0;  // of those, the ones whose checksum failed
        int lfOnlyLines = 0;   // of those, the ones that ended in LF alone
        bool skyChanged = false;
        std::uint64_t droppedBytes = 0; // the source read too slowly and threw these away
    };

    ReceiverSession();
    ~ReceiverSession();
    ReceiverSession(const ReceiverSession&) = delete;
    ReceiverSession& operator=(const ReceiverSession&) = delete;

    CommControl& Comm() { return comm_; }
    const CommControl& Comm() const { return comm_; }

    // The interpreter, raising its events on `events` from now on; nullptr drops it (the
    // window does so before its widgets go away).
    void Interpret(NmeaEvents* events);
    NmeaInterpreter* Interpreter() { return gps_.get(); }

    // A new acquisition on an opened control: nothing kept from an earlier one, and the
    // talkers read from now on.
    void Begin(Talkers talkers);
    Talkers ReadTalkers() const { return talkers_; }

    // Reads what the control received (opening a lost source again first) and handles it.
    Poll PollOnce();
    // Handles one read's text as if the control had delivered it.
    Poll HandleInput(std::string_view text);

    // Each new line once, in the order added. The consumer must outlive the session or be
    // removed first.
    void AddConsumer(LineConsumer* consumer);
    void RemoveConsumer(LineConsumer* consumer);
    // Told of a sentence of another system's talker ("GN") that only All GNSS shows.
    std::function<void(std::string_view talker)> onHiddenTalker;

    const Sky& SkyModel() const { return sky_; }
    // With every system read: how many satellites the solution uses, when known.
    // Whether the sky knows which satellites are used (a GSA came since Begin).
    bool UsedKnown() const { return gsaSeen_; }
    std::optional<int> SatellitesUsed() const { return inUse_.Count(); }
    const std::string& lineBuffer() const { return assembler_.lineBuffer(); }

private:
    void LineReceived(std::string_view line);
    void NewLine(const SentenceView& sentence);
    void ApplyTalkers();

    CommControl comm_;
    SentenceAssembler assembler_;
    ReceivedLines received_;
    LineEnds lineEnds_;               // with every system read: LF alone ends a line too
    std::string normalized_;          // the read with those line ends, for the assembler
    std::uint64_t droppedBefore_ = 0; // the source's count of dropped bytes at the last poll
    std::unique_ptr<NmeaInterpreter> gps_;
    NmeaEvents* events_ = nullptr;
    Talkers talkers_ = Talkers::GpsOnly;
    Sky sky_{Talkers::GpsOnly};
    SatellitesInUse inUse_;
    bool gsaSeen_ = false;     // a GSA of a read talker came since Begin
    bool inUsedBySky_ = false; // inUse_ has been told the sky's count
    std::vector<LineConsumer*> consumers_;
    Poll poll_;
};

} // namespace fixwatch
