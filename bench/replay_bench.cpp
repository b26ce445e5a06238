// fixwatch-bench-replay: recordings replayed as fast as possible through the file source and
// the line assembler, as the window reads them, for the sentences per second and the peak
// memory. Real captures first; then a recording of `megabytes` MB generated in $TMPDIR from a
// capture repeated with its times carried on (so that it indexes like hours of a receiver),
// replayed the same way and deleted. The peak resident size is taken before opening, after
// the index is built and after the replay: it stays flat because the file is read in pieces.
// With --window the generated recording also plays in the real window (offscreen) as fast as
// possible, one Read per tick as the window takes it, for the cost of a tick.
// Usage: fixwatch-bench-replay [megabytes] [--window[=ticks]]   (default 1024 MB, 60 ticks)
#include "capture_input.h"
#include "checksum.h"
#include "file_source.h"
#include "main_form.h"
#include "sentence_assembler.h"
#include "window_controls.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QDir>
#include <QTemporaryFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using fixwatch::test::Control;
using Clock = std::chrono::steady_clock;
constexpr std::int64_t kDayMs = 86'400'000;

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Replayed {
    std::uint64_t sentences = 0;
    std::uint64_t bytes = 0;
    double openSeconds = 0;
    double playSeconds = 0;
    long peakBefore = 0, peakOpened = 0, peakPlayed = 0;
};

// Opens `path`, plays it through to its end as fast as possible, `passes` times.
bool Replay(const QString& path, int passes, Replayed& out)
{
    out.peakBefore = PeakKiB();
    auto started = Clock::now();
    fixwatch::FileSource source(path);
    if (!source.Open()) {
        std::cerr << source.Reason().toStdString() << '\n';
        return false;
    }
    out.openSeconds = Seconds(started);
    out.peakOpened = PeakKiB();
    source.SetSpeed(fixwatch::ReplayControl::kFastest);
    fixwatch::SentenceAssembler assembler([&out](std::string_view, bool fresh) { out.sentences += fresh; });
    started = Clock::now();
    for (int pass = 0; pass < passes; ++pass) {
        source.Seek(0);
        while (!source.AtEnd()) {
            const std::string text = source.Read();
            out.bytes += text.size();
            assembler.HandleInput(text);
        }
    }
    out.playSeconds = Seconds(started);
    out.peakPlayed = PeakKiB();
    return true;
}

void Print(const std::string& what, const Replayed& r)
{
    std::printf("%-34s %10.0f sentences/s %8.1f MB/s  (%llu sentences, %.3f s; open and index %.3f s)\n",
                what.c_str(), static_cast<double>(r.sentences) / r.playSeconds,
                static_cast<double>(r.bytes) / r.playSeconds / 1e6,
                static_cast<unsigned long long>(r.sentences), r.playSeconds, r.openSeconds);
    std::printf("%-34s peak RSS %ld KiB before open, %ld KiB after index, %ld KiB after replay\n", "",
                r.peakBefore, r.peakOpened, r.peakPlayed);
}

// The time field of a GGA, RMC, ZDA (field 1) or GLL (field 5) line, as [begin, end) offsets.
bool TimeField(const std::string& line, std::size_t& begin, std::size_t& end)
{
    if (line.size() < 7 || line[0] != '$')
        return false;
    const std::string type = line.substr(3, 3);
    const int field = (type == "GGA" || type == "RMC" || type == "ZDA") ? 1 : type == "GLL" ? 5
                                                                                            : 0;
    if (field == 0)
        return false;
    begin = 0;
    for (int k = 0; k < field; ++k) {
        begin = line.find(',', begin);
        if (begin == std::string::npos)
            return false;
        ++begin;
    }
    end = line.find_first_of(",*", begin);
    return end != std::string::npos && end - begin >= 6;
}

// `line` with its time moved on by `shiftMs` (whole seconds), sealed again.
std::string Shifted(const std::string& line, std::int64_t shiftMs)
{
    std::size_t begin = 0, end = 0;
    const std::int64_t tod = fixwatch::SentenceTimeOfDay(line);
    if (shiftMs == 0 || tod < 0 || !TimeField(line, begin, end))
        return line;
    const std::int64_t s = ((tod + shiftMs) % kDayMs) / 1000;
    char hhmmss[16];
    std::snprintf(hhmmss, sizeof hhmmss, "%02d%02d%02d", static_cast<int>(s / 3600),
                  static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
    std::string out = line;
    out.replace(begin, 6, hhmmss);
    const std::size_t star = out.rfind('*');
    if (star != std::string::npos)
        out = out.substr(0, star + 1) + fixwatch::NmeaChecksum(out.substr(0, star));
    return out;
}

// Writes `capture` again and again, its times carried on, until `bytes` are written.
bool Generate(const std::vector<std::string>& capture, std::uint64_t bytes, const std::string& path)
{
    std::int64_t first = -1, last = -1;
    for (const std::string& line : capture)
        if (const std::int64_t tod = fixwatch::SentenceTimeOfDay(line); tod >= 0) {
            first = first < 0 ? tod : first;
            last = tod;
        }
    const std::int64_t span = (last - first + kDayMs) % kDayMs + 1000;
    std::ofstream out(path, std::ios::binary);
    std::uint64_t written = 0;
    std::string block;
    for (std::int64_t pass = 0; written < bytes && out; ++pass) {
        block.clear();
        for (const std::string& line : capture)
            if (!line.empty() && line[0] != '#')
                block += Shifted(line, pass * span) + "\r\n";
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
        written += block.size();
    }
    return static_cast<bool>(out);
}

// The recording played in the real window as fast as possible: the cost of each tick.
void ReplayInWindow(const QString& path, long maxTicks)
{
    qputenv("FIXWATCH_COM1", ("file://" + path).toLocal8Bit());
    fixwatch::MainForm form("/G+");
    form.show();
    auto* speed = Control<QComboBox>(form, "Cmb_ReplaySpeed");
    speed->setCurrentIndex(speed->count() - 1);
    QTimer* poll = Control<QTimer>(form, "Timer_Lett");
    Control<QPushButton>(form, "Cmd_StartStop", 0)->click();
    // The read timer runs while the window acquires; the end of the recording stops it.
    if (!poll->isActive()) {
        std::cerr << "the window could not open " << path.toStdString() << '\n';
        return;
    }
    const long peakBefore = PeakKiB();
    long ticks = 0;
    double total = 0, worst = 0;
    while (poll->isActive() && ticks < maxTicks) {
        const auto started = Clock::now();
        fixwatch::test::Tick(poll);
        const double seconds = Seconds(started);
        total += seconds;
        worst = std::max(worst, seconds);
        ++ticks;
    }
    std::printf("window, as fast as possible: %ld ticks of at most %zu bytes, %.1f ms a tick on average, "
                "%.1f ms at most; peak RSS %ld KiB before, %ld KiB after\n",
                ticks, fixwatch::FileSource::kFastReadLength, total / static_cast<double>(ticks) * 1e3,
                worst * 1e3, peakBefore, PeakKiB());
    Control<QPushButton>(form, "Cmd_StartStop", 1)->click();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    long megabytes = 1024;
    long windowTicks = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window") == 0)
            windowTicks = 60; // a minute of ticks shows the cost of one
        else if (std::strncmp(argv[i], "--window=", 9) == 0)
            windowTicks = std::atol(argv[i] + 9);
        else
            megabytes = std::atol(argv[i]);
    }
    if (megabytes < 1) {
        std::cerr << "usage: fixwatch-bench-replay [megabytes] [--window[=ticks]]\n";
        return 2;
    }

    // The ZED-F9P capture, the largest capture (176 kB), and the one repeated for the big file.
    const char* kCaptures[] = {"ublox-zed-f9p-nmea.nmea", "bundg_zeus_9.nmea"};
    std::vector<std::string> lines;
    for (const char* name : kCaptures) {
        const fixwatch::bench::CaptureInput input = fixwatch::bench::ReadCapture(name);
        if (!input.missing.empty()) {
            std::cout << "skipped: " << input.missing << '\n';
            continue;
        }
        if (lines.empty())
            lines = input.lines;
        std::string text;
        for (const std::string& line : input.lines)
            text += line + "\r\n";
        QTemporaryFile copy(QDir::tempPath() + "/fixwatch-replay-XXXXXX.nmea");
        if (!copy.open())
            return 1;
        copy.write(text.data(), static_cast<qint64>(text.size()));
        copy.close();
        Replayed r;
        // Played many times over, for a time long enough to measure.
        const int passes = std::max<int>(1, static_cast<int>(200'000'000 / std::max<std::size_t>(text.size(), 1)) / 10);
        if (!Replay(copy.fileName(), passes, r))
            return 1;
        Print(std::string(name) + " x" + std::to_string(passes), r);
    }
    if (lines.empty())
        return 0;

    const std::string big = (QDir::tempPath() + "/fixwatch-replay-generated.nmea").toStdString();
    const auto generating = Clock::now();
    if (!Generate(lines, static_cast<std::uint64_t>(megabytes) * 1'000'000, big)) {
        std::cerr << "cannot write " << big << '\n';
        std::remove(big.c_str());
        return 1;
    }
    std::printf("generated %ld MB in %s in %.1f s\n", megabytes, big.c_str(), Seconds(generating));
    Replayed r;
    const bool played = Replay(QString::fromStdString(big), 1, r);
    if (played)
        Print("generated " + std::to_string(megabytes) + " MB", r);
    if (played && windowTicks > 0)
        ReplayInWindow(QString::fromStdString(big), windowTicks);
    std::remove(big.c_str());
    return played ? 0 : 1;
}
