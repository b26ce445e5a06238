#pragma once

#include <string>
#include <string_view>

namespace fixwatch {

// Network peers end NMEA lines in CR LF, or in LF alone: a gpsd relays whatever line end
// its receiver used, and a recorded log replayed over TCP or UDP often has LF only. The
// window's line assembly ends a line at CR LF only, as serial receivers send them, so text
// from the network is handed on with every line ending in CR LF.
class LineEnds {
public:
    // Appends `bytes` to `out` with a CR put before every LF that has none, also when a
    // CR LF is split between two calls.
    void Append(std::string_view bytes, std::string& out)
    {
        for (char c : bytes) {
            if (c == '\n' && !afterCr_)
                out += '\r';
            out += c;
            afterCr_ = c == '\r';
            lineOpen_ = c != '\n';
        }
    }

    // Ends a line left unfinished: a datagram holds whole sentences, its last one perhaps
    // without a line end.
    void EndLine(std::string& out)
    {
        if (lineOpen_)
            Append(afterCr_ ? "\n" : "\r\n", out);
    }

    // A new connection starts at the beginning of a line.
    void Reset()
    {
        afterCr_ = false;
        lineOpen_ = false;
    }

private:
    bool afterCr_ = false;  // the last byte appended was a CR
    bool lineOpen_ = false; // bytes were appended since the last LF
};

} // namespace fixwatch
