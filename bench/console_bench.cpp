// fixwatch-bench-console: what the Console tab adds to a tick of the window (offscreen) on a
// four-system 10 Hz receiver at 115200 baud, each tick's batch being one second of it. Times
// the window's handling of a tick's text with the Position tab shown (console hidden) and
// with the Console tab shown, and the console's own work on the same lines while hidden
// (keeping them and counting them); the tick without a console is the hidden tick less that
// work. Then a filter change over a full console, which formats every kept line again.
// Prints medians; rounds of the cases alternate, so that a busy machine weighs on all alike.
// Usage: fixwatch-bench-console [ticks-per-case]   (default 200)
#include "console_view.h"
#include "main_form.h"
#include "pseudo_terminal.h"
#include "synthetic_gnss_receiver.h"
#include "window_controls.h"

#include <QApplication>
#include <QPushButton>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using fixwatch::test::Control;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F>
double MicrosecondsOf(F&& work)
{
    const auto started = Clock::now();
    work();
    return std::chrono::duration<double, std::micro>(Clock::now() - started).count();
}

// One second of the receiver: ten epochs, as a tick at 115200 baud receives them.
std::string OneSecond(fixwatch::SyntheticGnssReceiver& receiver)
{
    std::string text;
    for (int epoch = 0; epoch < fixwatch::SyntheticGnssReceiver::kTicksPerSecond; ++epoch)
        for (const std::string& sentence : receiver.NextTick())
            text += sentence;
    return text;
}

std::vector<std::string_view> Lines(const std::string& text)
{
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos)
            break;
        lines.push_back(std::string_view(text).substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;

    fixwatch::PseudoTerminal line;
    qputenv("FIXWATCH_COM1", QByteArray::fromStdString(line.Device()));
    fixwatch::MainForm form("/G+ /S115200,N,8,1");
    form.resize(900, 700);
    form.show();
    Control<QPushButton>(form, "Cmd_StartStop", 0)->click();
    Control<QTimer>(form, "Timer_Lett")->stop(); // the ticks are driven here, without the port
    auto* tabs = Control<QTabWidget>(form, "SSTab");
    auto* console = Control<fixwatch::ConsoleView>(form, "Frm_Console");
    const int consoleTab = tabs->indexOf(console);

    // The console alone, hidden, as the window's feed hands it each line.
    fixwatch::ConsoleView hiddenConsole;
    hiddenConsole.Begin(fixwatch::Talkers::AllSystems);

    fixwatch::SyntheticGnssReceiver receiver;
    const auto tick = [&](int tab) {
        const std::string text = OneSecond(receiver);
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        return MicrosecondsOf([&] { form.HandleInput(text); QCoreApplication::processEvents(); });
    };
    // The console fills to its bound first, so that shown ticks drop old lines as they will.
    for (std::size_t kept = 0; kept < fixwatch::ConsoleView::kMaxLines; kept = console->KeptLines())
        tick(consoleTab);

    std::vector<double> hidden, shown, consoleWork;
    std::size_t linesPerTick = 0;
    for (int round = 0; round < ticks; ++round) {
        hidden.push_back(tick(fixwatch::MainForm::kPositionTab));
        shown.push_back(tick(consoleTab));
        const std::string text = OneSecond(receiver);
        const auto lines = Lines(text);
        linesPerTick = lines.size();
        consoleWork.push_back(MicrosecondsOf([&] {
            for (const std::string_view l : lines)
                hiddenConsole.Add(l, false);
            hiddenConsole.Flush();
        }));
    }
    const double tHidden = Median(hidden), tShown = Median(shown), tConsole = Median(consoleWork);
    const double tWithout = tHidden - tConsole;
    std::cout << "one tick of a 115200-baud four-system receiver (" << linesPerTick << " lines), median of "
              << ticks << " ticks each:\n"
              << "  without a console (hidden tick less the console's work): " << tWithout << " us\n"
              << "  console hidden (Position tab shown):   " << tHidden << " us, +"
              << 100.0 * tConsole / tWithout << " %\n"
              << "  console shown (Console tab, full):     " << tShown << " us, +"
              << 100.0 * (tShown - tWithout) / tWithout << " %\n"
              << "  the hidden console's own work:         " << tConsole << " us\n";

    // A filter change with the console full and shown: every kept line is looked at again.
    tabs->setCurrentIndex(consoleTab);
    QCoreApplication::processEvents();
    std::vector<double> narrow, widen;
    for (int round = 0; round < 5; ++round) {
        narrow.push_back(MicrosecondsOf([&] { console->Txt_Filter->setText(QStringLiteral("GSV")); }));
        widen.push_back(MicrosecondsOf([&] { console->Txt_Filter->setText(QString()); }));
    }
    std::cout << "filter change over " << console->KeptLines() << " kept lines, median of 5:\n"
              << "  to \"GSV\" (the GSV lines shown): " << Median(narrow) / 1000.0 << " ms\n"
              << "  back to none (every line shown):  " << Median(widen) / 1000.0 << " ms\n";
    Control<QPushButton>(form, "Cmd_StartStop", 1)->click();
    return 0;
}
