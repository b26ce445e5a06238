// Plays arbitrary bytes as a recording: the index of epoch times, the pace by the times the
// file gives (midnight, times out of order, dates), pause, speed and seeks, driven by the
// input's last bytes on the target's own clock. Any crash or sanitizer report is a bug, and
// so is a read longer than its bound, a line handed out without its end, a position beyond
// the length, or text lost or invented when the recording is played through from the start.
#include "file_source.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

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

std::string WithoutLineEnds(std::string_view text)
{
    std::string out;
    for (const char c : text)
        if (c != '\r' && c != '\n')
            out.push_back(c);
    return out;
}

void CheckRead(fixwatch::FileSource& source, const std::string& text)
{
    const std::size_t bound = source.Speed() == fixwatch::ReplayControl::kFastest
                                  ? fixwatch::FileSource::kFastReadLength
                                  : fixwatch::ReceiverSource::kMaxReadLength;
    Check(text.size() <= bound);
    Check(text.empty() || (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0));
    Check(source.Position() >= 0 && source.Position() <= source.Duration());
    Check(source.PositionText().size() < 64);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // In memory where the system offers it: a file on disk a run would make the fuzzer wait.
    static const QString path = (QDir(QStringLiteral("/dev/shm")).exists() ? QDir(QStringLiteral("/dev/shm")) : QDir::temp())
                                    .filePath(QStringLiteral("fuzz_file_source.%1.nmea").arg(getpid()));
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    {
        QFile file(path);
        Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        Check(file.write(input.data(), static_cast<qint64>(input.size())) == static_cast<qint64>(input.size()));
    }
    std::int64_t now = 0;
    fixwatch::FileSource source(path, [&now] { return now; });
    if (!source.Open()) {
        Check(!source.Reason().isEmpty());
        return 0;
    }
    // The script: the input's last bytes, each a step of the user or of the clock.
    const std::string_view script = input.substr(input.size() - std::min<std::size_t>(input.size(), 24));
    for (const char c : script) {
        const auto step = static_cast<unsigned char>(c);
        switch (step % 6) {
        case 0: now += (step / 6) * 250; break;
        case 1: source.Seek(source.Duration() * (step / 6) / 42); break;
        case 2: source.SetSpeed(step / 6 % 12); break;
        case 3: source.Pause(); break;
        case 4: source.Resume(); break;
        default: now += 3'600'000; break;
        }
        CheckRead(source, source.Read());
    }

    // From the start as fast as possible, every byte of every line comes out, in order.
    source.Resume();
    source.SetSpeed(fixwatch::ReplayControl::kFastest);
    source.Seek(0);
    std::string played;
    for (int reads = 0; !source.AtEnd(); ++reads) {
        Check(reads < 1000);
        const std::string text = source.Read();
        CheckRead(source, text);
        played += text;
    }
    Check(source.Indexed());
    Check(WithoutLineEnds(played) == WithoutLineEnds(input));
    return 0;
}
