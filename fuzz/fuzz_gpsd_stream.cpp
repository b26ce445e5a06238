// Feeds arbitrary reads from a gpsd to its stream splitter. The first line of the input is
// the device the address names (often empty); the rest is cut into reads, each a length byte
// and that many bytes. Any crash or sanitizer report is a bug, and so is a JSON line or any
// text passed on before gpsd confirmed the watch, more devices than the bound, a text made
// to show that holds a control character, or a watch request that is not exactly one line.
#include "gpsd_stream.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool promise)
{
    if (!promise)
        std::abort();
}

void CheckShowable(const QString& text)
{
    for (const QChar c : text)
        Check(c.category() != QChar::Other_Control && c.category() != QChar::Other_Format
              && c != QChar::LineSeparator && c != QChar::ParagraphSeparator);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view named = newline == std::string_view::npos ? std::string_view{} : input.substr(0, newline);
    input.remove_prefix(newline == std::string_view::npos ? 0 : newline + 1);
    const QString device = QString::fromUtf8(named.data(), static_cast<qsizetype>(named.size()));

    const std::string request = fixwatch::GpsdStream::WatchRequest(device);
    Check(!request.empty() && request.back() == '\n' && request.find('\n') == request.size() - 1);
    Check(request.find('\r') == std::string::npos);

    fixwatch::GpsdStream stream;
    stream.Reset(device);
    std::string passed;
    for (std::size_t at = 0; at < input.size();) {
        const std::size_t length = static_cast<unsigned char>(input[at++]);
        const std::string_view read = input.substr(at, length);
        at += read.size();
        const bool watching = stream.State() == fixwatch::GpsdStream::Watch::Watching;
        const std::size_t before = passed.size();
        stream.Take(read, passed);
        // Text passes only under a confirmed watch (which this read may have brought).
        Check(passed.size() == before || watching
              || stream.State() == fixwatch::GpsdStream::Watch::Watching);
        const std::string request2 = stream.TakeRequest();
        Check(request2.empty() || request2.find('\n') == request2.size() - 1);
        Check(stream.Devices().size() <= fixwatch::GpsdStream::kMaxDevices);
        CheckShowable(stream.Refusal());
        CheckShowable(stream.DevicesText());
        Check(stream.Refusal().size() <= fixwatch::GpsdStream::kMaxPathLength + 1);
    }
    // No JSON line is ever passed on.
    for (std::size_t start = 0; start < passed.size();) {
        Check(passed[start] != '{');
        const std::size_t end = passed.find('\n', start);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return 0;
}
