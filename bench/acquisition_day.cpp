// fixwatch-bench-day: simulated hours of a receiver through the real window (offscreen) on a
// real pseudo-terminal. The receiver's text is written in small pieces, as a UART delivers
// it, so a tick's read starts wherever the last one ended; the window's own tick handler is
// called once per simulated second, as fast as it runs, and timed. Prints the cost per tick
// (mean over the first and the last simulated hour, and as a share of one core at one tick a
// second) and the peak memory.
// Usage: fixwatch-bench-day [hours] [baud] [piece-bytes] [--gnss] [--record] [--alarms]
//   --record: with "Record sentences" on, into a temporary folder, for the cost of recording.
//   --alarms: with every alarm armed (their file in a temporary folder), for the cost of the
//   alarm watch.
//   defaults 24 h, 4800 baud, 48-byte pieces; the line is kept full at that speed.
//   --gnss: a four-system 10 Hz receiver read with All GNSS on, instead of a GPS one.
#include "alarm_kind.h"
#include "main_form.h"
#include "status_line.h"
#include "pseudo_terminal.h"
#include "synthetic_gnss_receiver.h"
#include "synthetic_receiver.h"
#include "window_controls.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using fixwatch::test::Control;

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Writes `text` to the line in pieces of `piece` bytes. The kernel holds only a few KiB for
// the reader, so the window's event loop is let in to read after every 2 KiB, as it would
// while the line delivers.
void Deliver(fixwatch::PseudoTerminal& line, std::string_view text, std::size_t piece)
{
    std::size_t sinceRead = 0;
    for (std::size_t at = 0; at < text.size(); at += piece) {
        const std::string_view part = text.substr(at, piece);
        line.Write(part);
        sinceRead += part.size();
        if (sinceRead >= 2048 || at + piece >= text.size()) {
            line.WaitUntilQueued(static_cast<int>(sinceRead));
            QCoreApplication::processEvents();
            sinceRead = 0;
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<long> numbers;
    bool gnss = false;
    bool record = false;
    bool alarms = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gnss") == 0)
            gnss = true;
        else if (std::strcmp(argv[i], "--record") == 0)
            record = true;
        else if (std::strcmp(argv[i], "--alarms") == 0)
            alarms = true;
        else
            numbers.push_back(std::atol(argv[i]));
    }
    const long hours = numbers.size() > 0 ? numbers[0] : 24;
    const long baud = numbers.size() > 1 ? numbers[1] : 4800;
    const std::size_t piece = static_cast<std::size_t>(numbers.size() > 2 ? numbers[2] : 48);
    const std::size_t bytesPerTick = static_cast<std::size_t>(baud / 10);
    if (hours < 1 || bytesPerTick == 0 || piece == 0) {
        std::cerr << "usage: fixwatch-bench-day [hours] [baud] [piece-bytes] [--gnss]\n";
        return 2;
    }

    fixwatch::PseudoTerminal line;
    qputenv("FIXWATCH_COM1", QByteArray::fromStdString(line.Device()));
    QTemporaryDir recordings;
    if (record || alarms)
        qputenv("FIXWATCH_LOG_DIR", recordings.path().toLocal8Bit());
    fixwatch::MainForm form(gnss ? "/G+" : "");
    form.show();
    if (record)
        Control<QAction>(form, "MenuRecord")->trigger();
    // Every alarm of the Alarms menu, with its usual bounds (5 s, HDOP 2.5, 6 satellites, 30 m).
    for (std::size_t alarm = 0; alarms && alarm < fixwatch::kAlarmKinds.size(); ++alarm)
        Control<QAction>(form, "MenuAlarm", alarm)->trigger();
    Control<QPushButton>(form, "Cmd_StartStop", 0)->click();
    QTimer* poll = Control<QTimer>(form, "Timer_Lett");

    fixwatch::SyntheticReceiver receiver;
    fixwatch::SyntheticGnssReceiver gnssReceiver;
    std::string stream; // what the receiver has sent and the line has not yet delivered

    using Clock = std::chrono::steady_clock;
    const long ticks = hours * 3600;
    const long hour = std::min(ticks, 3600L);
    double firstHour = 0, lastHour = 0;
    long peakAfterFirstHour = 0;
    for (long tick = 0; tick < ticks; ++tick) {
        // The line is kept full at this speed: a second's bytes, cut wherever they end.
        while (stream.size() < bytesPerTick) {
            if (gnss) {
                for (const std::string& sentence : gnssReceiver.NextTick())
                    stream += sentence; // these end in CR LF already
            } else {
                for (const std::string& sentence : receiver.NextSecond())
                    stream += sentence + "\r\n";
            }
        }
        Deliver(line, std::string_view(stream).substr(0, bytesPerTick), piece);
        stream.erase(0, bytesPerTick);

        const auto started = Clock::now();
        fixwatch::test::Tick(poll);
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        if (tick < hour)
            firstHour += seconds;
        if (tick >= ticks - hour)
            lastHour += seconds;
        if (tick == hour - 1)
            peakAfterFirstHour = PeakKiB();
    }
    Control<QPushButton>(form, "Cmd_StartStop", 1)->click();
    // What Stop left in the recordings' folder, and what the status bar says of it.
    qint64 recorded = 0;
    for (const QFileInfo& file : QDir(recordings.path()).entryInfoList({QStringLiteral("*.nmea")}, QDir::Files))
        recorded += file.size();
    const QString recordingText = Control<QLabel>(form, "Lab_Status", fixwatch::StatusLine::kLoggerPane)->text();

    const double first = firstHour / static_cast<double>(hour);
    const double last = lastHour / static_cast<double>(hour);
    std::cout << "simulated " << hours << " h at " << baud << " baud in " << piece
              << "-byte pieces" << (gnss ? ", four systems with All GNSS" : "") << ", "
              << ticks << " ticks" << (alarms ? ", every alarm armed" : "") << "\n"
              << "cost per tick, first hour: " << first * 1e6 << " us (" << first * 100
              << " % of a core)\n"
              << "cost per tick, last hour:  " << last * 1e6 << " us (" << last * 100
              << " % of a core)\n"
              << "peak memory after the first hour: " << peakAfterFirstHour << " KiB\n"
              << "peak memory at the end:           " << PeakKiB() << " KiB\n"
              << "line buffer at the end: " << form.lineBuffer().size() << " characters\n";
    if (record)
        std::cout << "recorded: " << recorded << " bytes"
                  << (recordingText.startsWith(QLatin1String("Recording stopped"))
                          ? ", " + recordingText.toStdString()
                          : std::string())
                  << "\n";
    return 0;
}
