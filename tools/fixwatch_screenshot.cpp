// fixwatch-screenshot: draws the main window's tabs as a person sees them, with a receiver
// on a pseudo-terminal, its status bar in each of its states, the Sky tab on a real
// multi-system capture, the same capture replayed with the replay bar, the Accuracy tab on a
// stationary capture, the Compare tab on that capture against a copy of it moved north with
// weaker signals, and the splash and About windows, into PNG files of a folder.
// Usage: fixwatch-screenshot [folder] [multi-system capture] [stationary capture]
#include "accuracy_view.h"
#include "alarm_kind.h"
#include "alarm_list.h"
#include "checksum.h"
#include "comm_control.h"
#include "compare_scenario.h"
#include "compare_view.h"
#include "dark_palette.h"
#include "console_view.h"
#include "frm_about.h"
#include "frm_splash.h"
#include "history_view.h"
#include "main_form.h"
#include "pseudo_terminal.h"
#include "replay_bar.h"
#include "sample_sentences.h"
#include "signals_view.h"
#include "status_line.h"
#include "window_controls.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using fixwatch::test::Control;

// The status bar's texts, set directly for the states a screenshot cannot bring about.
fixwatch::StatusLine* StatusOf(const fixwatch::MainForm& form)
{
    return Control<fixwatch::StatusLine>(form, QStringLiteral("StatusLine"));
}

bool Save(const QPixmap& picture, const QString& path)
{
    const bool saved = picture.save(path);
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << "\n";
    return saved;
}

// Saves the window in the light palette to `light` and in the dark one to `dark`, bringing
// the view up to date with `redraw` in each, and goes back to the light palette.
bool SaveLightAndDark(QWidget& form, const QString& light, const QString& dark, const std::function<void()>& redraw)
{
    bool ok = true;
    for (const bool isDark : {false, true}) {
        if (isDark)
            QApplication::setPalette(fixwatch::DarkPalette());
        QApplication::processEvents();
        redraw();
        QApplication::processEvents();
        ok = Save(form.grab(), isDark ? dark : light) && ok;
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
    return ok;
}

// Lets the window read what was sent: the event loop runs, then one tick.
void Tick(fixwatch::MainForm& form)
{
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    fixwatch::test::Tick(Control<QTimer>(form, "Timer_Lett"));
}

// Start (0) or Stop (1), as the buttons do.
void StartStop(fixwatch::MainForm& form, std::size_t index)
{
    Control<QPushButton>(form, "Cmd_StartStop", index)->click();
}

QTabWidget* Tabs(const fixwatch::MainForm& form) { return Control<QTabWidget>(form, "SSTab"); }

void Feed(fixwatch::MainForm& form, fixwatch::PseudoTerminal& receiver, const std::string& text)
{
    for (std::size_t at = 0; at < text.size(); at += 1024) {
        receiver.Write(text.substr(at, 1024));
        Tick(form);
    }
    Tick(form);
}

// One second of a receiver at 45°06' N 7°36' E, `north` thousandths of a minute further north
// (one is 1.85 m), with GGA fix quality `quality` (0 is no fix, without a position).
std::string AlarmSecond(int second, int quality, int north)
{
    char gga[160];
    if (quality == 0)
        std::snprintf(gga, sizeof gga, "GPGGA,1200%02d.00,,,,,0,00,99.9,,M,,M,,", second);
    else
        std::snprintf(gga, sizeof gga, "GPGGA,1200%02d.00,4506.%03d,N,00736.000,E,%d,12,0.8,250.0,M,47.0,M,1.0,0000",
                      second, north, quality);
    return std::string("$") + gga + "*" + fixwatch::NmeaChecksum(gga) + "\r\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    const QString capture = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                     : QStringLiteral(FIXWATCH_NMEA_LOGS "/ublox-zed-f9p-nmea.nmea");
    if (!QDir().mkpath(folder)) {
        std::cerr << "fixwatch-screenshot: cannot create " << folder.toStdString() << "\n";
        return 1;
    }
    auto path = [&folder](const char* name) { return folder + QLatin1Char('/') + QLatin1String(name); };
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("FIXWATCH_LOG_DIR", (home.path() + "/.local/share/fixwatch").toLocal8Bit());
    QDir().mkpath(home.path() + "/.local/share/fixwatch");
    bool ok = true;

    // The tabs, with a receiver that sends a second of sentences and the logger running.
    {
        fixwatch::PseudoTerminal receiver;
        qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
        fixwatch::MainForm form;
        fixwatch::frmAbout about(&form);
        form.today = [] { return QDate(2026, 12, 7); };
        form.show();
        Control<QAction>(form, "MenuSalvaDL")->trigger();
        StartStop(form, 0);
        Feed(form, receiver, fixwatch::SampleSecondText());
        receiver.Write(fixwatch::SampleSecondText()); // the status bar as it reads while sentences arrive
        Tick(form);
        const char* names[] = {"position.png", "general-info.png", "satellites.png", "communication.png"};
        for (int tab = 0; tab < 4; ++tab) {
            Tabs(form)->setCurrentIndex(tab);
            QApplication::processEvents();
            ok = Save(form.grab(), path(names[tab])) && ok;
        }
        ok = Save(form.statusBar()->grab(), path("status-receiving.png")) && ok;

        // The Position tab as View > Coordinates > UTM shows it.
        Tabs(form)->setCurrentIndex(0);
        Control<QAction>(form, "MenuCoordinate", 3)->trigger();
        QApplication::processEvents();
        ok = Save(form.grab(), path("position-utm.png")) && ok;
        Control<QAction>(form, "MenuCoordinate", 0)->trigger();

        // Lines that end in LF alone, and text lost to a receiver faster than the window.
        std::string lfOnly = fixwatch::SampleSecondText();
        std::erase(lfOnly, '\r');
        Feed(form, receiver, lfOnly);
        ok = Save(form.statusBar()->grab(), path("status-lf-only.png")) && ok;
        StatusOf(form)->BytesDropped(212 * 1024);
        StatusOf(form)->Polled(true, 10, 0);
        ok = Save(form.statusBar()->grab(), path("status-overload.png")) && ok;

        // Silent, then unplugged.
        qint64 now = 0;
        StatusOf(form)->clock = [&now] { return now; };
        StatusOf(form)->Started();
        now = 7000;
        fixwatch::test::Tick(Control<QTimer>(form, "Timer_Lett"));
        ok = Save(form.statusBar()->grab(), path("status-no-data.png")) && ok;
        receiver.CloseMaster();
        const QLabel* state = Control<QLabel>(form, "Lab_Status", fixwatch::StatusLine::kLinkPane);
        for (int i = 0; i < 5 && !state->text().startsWith(QLatin1String("Receiver lost")); ++i)
            Tick(form);
        ok = Save(form.statusBar()->grab(), path("status-lost.png")) && ok;
        StartStop(form, 1);

        about.show();
        QApplication::processEvents();
        ok = Save(about.grab(), path("about.png")) && ok;
        about.hide();
        form.hide();
        fixwatch::frmSplash splash(&form, &about);
        splash.show();
        QApplication::processEvents();
        ok = Save(splash.grab(), path("splash.png")) && ok;
    }

    // A Start that fails, and what it says.
    {
        qputenv("FIXWATCH_COM1", "/dev/ttyUSB0");
        fixwatch::MainForm form;
        form.show();
        StatusOf(form)->StartFailed(QStringLiteral("Cannot open /dev/ttyUSB0: permission denied. Add "
                                                   "your user to the dialout group and log in again."));
        StatusOf(form)->ShowSource(QStringLiteral("/dev/ttyUSB0 \u00B7 4800 8N1"));
        QApplication::processEvents();
        ok = Save(form.statusBar()->grab(), path("status-failed.png")) && ok;
    }

    // A multi-system receiver: without All GNSS the status bar says what is missing; with it
    // the columns and the Sky tab show every system.
    if (QFile::exists(capture)) {
        const std::string text = fixwatch::CaptureText(capture.toStdString(), 400);
        for (const bool allGnss : {false, true}) {
            fixwatch::PseudoTerminal receiver;
            qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
            fixwatch::MainForm form(allGnss ? "/S38400,N,8,1 /G+" : "/S38400,N,8,1");
            form.show();
            StartStop(form, 0);
            Feed(form, receiver, text.substr(0, text.size() - 2048));
            receiver.Write(text.substr(text.size() - 2048));
            Tick(form);
            if (!allGnss) {
                ok = Save(form.statusBar()->grab(), path("status-hint.png")) && ok;
                continue;
            }
            Tabs(form)->setCurrentIndex(fixwatch::MainForm::kSatellitesTab);
            QApplication::processEvents();
            ok = Save(form.grab(), path("satellites-gnss.png")) && ok;
            Tabs(form)->setCurrentIndex(fixwatch::MainForm::kSkyTab);
            QApplication::processEvents();
            ok = Save(form.grab(), path("sky.png")) && ok;
            Tabs(form)->setCurrentIndex(fixwatch::MainForm::kHistoryTab);
            Control<QComboBox>(form, "Cmb_HistoryWindow")->setCurrentIndex(0);
            QApplication::processEvents();
            ok = Save(form.grab(), path("history.png")) && ok;
            // Dark before the console's lines, which go back in time, reach the History tab.
            Tabs(form)->setCurrentIndex(fixwatch::MainForm::kSkyTab);
            QApplication::setPalette(fixwatch::DarkPalette());
            QApplication::processEvents();
            ok = Save(form.grab(), path("sky-dark.png")) && ok;
            Tabs(form)->setCurrentIndex(fixwatch::MainForm::kHistoryTab);
            QApplication::processEvents();
            ok = Save(form.grab(), path("history-dark.png")) && ok;
            QApplication::setPalette(QApplication::style()->standardPalette());
            // A satellite followed on the C/N0 chart, with a line per band it sends.
            auto* history = Control<fixwatch::HistoryView>(form, "Frm_History");
            history->ToggleSatellite(fixwatch::GnssSystem::GPS, 27, QStringLiteral("G27"));
            history->Redraw();
            QApplication::processEvents();
            ok = Save(form.grab(), path("history-bands.png")) && ok;
            history->ToggleSatellite(fixwatch::GnssSystem::GPS, 27, QStringLiteral("G27"));
            // The console, with a few lines damaged as a noisy cable would.
            auto* console = Control<fixwatch::ConsoleView>(form, "Frm_Console");
            Tabs(form)->setCurrentWidget(console);
            std::string damaged = fixwatch::CaptureText(capture.toStdString(), 40);
            for (std::size_t end = damaged.find("\r\n"), n = 0; end != std::string::npos;
                 end = damaged.find("\r\n", end + 2), ++n) {
                if (n % 9 == 4 && end >= 3 && damaged[end - 3] == '*')
                    damaged[end - 1] = damaged[end - 1] == '0' ? '1' : '0';
            }
            Feed(form, receiver, damaged);
            QApplication::processEvents();
            // Scrolled back to the last damaged line, so that the shot shows how one is marked.
            const fixwatch::ConsoleModel& lines = console->Model();
            int lastDamaged = lines.rowCount() - 1;
            while (lastDamaged > 0 && !lines.LineOf(lastDamaged).badChecksum)
                --lastDamaged;
            console->Lst_Console->scrollTo(lines.index(lastDamaged), QAbstractItemView::PositionAtCenter);
            QApplication::processEvents();
            ok = Save(form.grab(), path("console.png")) && ok;
            StartStop(form, 1);
        }

        // The Signals tab on two multi-band receivers (L1 with L2 and E5b; L1 with L5), light
        // and dark.
        const QString um621 = QFileInfo(capture).dir().filePath(QStringLiteral("unicore-um621.nmea"));
        for (const auto& [file, name] : {std::pair(capture, QStringLiteral("signals")),
                                         std::pair(um621, QStringLiteral("signals-um621"))}) {
            if (!QFile::exists(file))
                continue;
            fixwatch::PseudoTerminal receiver;
            qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
            fixwatch::MainForm form("/S38400,N,8,1 /G+");
            form.show();
            Tabs(form)->setCurrentIndex(fixwatch::MainForm::kSignalsTab);
            StartStop(form, 0);
            Feed(form, receiver, fixwatch::CaptureText(file.toStdString(), 100000));
            auto* signalBars = Control<fixwatch::SignalsView>(form, "Frm_Signals");
            ok = SaveLightAndDark(form, path(qPrintable(name + QStringLiteral(".png"))),
                                  path(qPrintable(name + QStringLiteral("-dark.png"))), [signalBars] { signalBars->Redraw(); })
                 && ok;
            StartStop(form, 1);
        }

        // The Compare tab: receiver A on the capture, receiver B on a copy of it moved north
        // with weaker signals, each on a pseudo-terminal of its own; light and dark.
        {
            fixwatch::PseudoTerminal receiverA, receiverB;
            qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiverA.Device()));
            qputenv("FIXWATCH_COM2", QByteArray::fromStdString(receiverB.Device()));
            fixwatch::MainForm form("/S38400,N,8,1 /G+");
            form.show();
            Tabs(form)->setCurrentIndex(fixwatch::MainForm::kCompareTab);
            Control<QComboBox>(form, "Cmb_CompareCOM")->setCurrentIndex(2);
            StartStop(form, 0);
            const fixwatch::ComparePair pair = fixwatch::CompareScenario(capture.toStdString());
            const std::string& a = pair.a;
            const std::string& b = pair.b;
            // Both receivers' lines of the same moment arrive within the same tick.
            for (std::size_t at = 0, bt = 0; at < a.size() || bt < b.size(); at += 1024, bt += 1024) {
                if (at < a.size())
                    receiverA.Write(a.substr(at, 1024));
                if (bt < b.size())
                    receiverB.Write(b.substr(bt, 1024));
                Tick(form);
            }
            auto* compare = Control<fixwatch::CompareView>(form, "Frm_Compare");
            ok = SaveLightAndDark(form, path("compare-tab.png"), path("compare-tab-dark.png"), [compare] { compare->Redraw(); })
                 && ok;
            StartStop(form, 1);
            qunsetenv("FIXWATCH_COM2");
        }

        // With All GNSS, what RTK and dual-antenna receivers send beyond the fix texts: the
        // ellipsoid height, the integrity check and the RTK captions; the true heading.
        const QDir logs = QFileInfo(capture).dir();
        for (const auto& [file, tabs] :
             {std::pair(logs.filePath(QStringLiteral("ublox-zed-f9r.nmea")),
                        std::vector<std::pair<int, const char*>>{{0, "position-rtk.png"}, {1, "general-info-rtk.png"}}),
              std::pair(logs.filePath(QStringLiteral("skytraq-PX1172RH_DS.nmea")),
                        std::vector<std::pair<int, const char*>>{{1, "general-info-heading.png"}})}) {
            if (!QFile::exists(file))
                continue;
            fixwatch::PseudoTerminal receiver;
            qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
            fixwatch::MainForm form("/S38400,N,8,1 /G+");
            form.show();
            StartStop(form, 0);
            Feed(form, receiver, fixwatch::CaptureText(file.toStdString(), 100000));
            for (const auto& [tab, name] : tabs) {
                Tabs(form)->setCurrentIndex(tab);
                QApplication::processEvents();
                ok = Save(form.grab(), path(name)) && ok;
            }
            StartStop(form, 1);
        }

        // The same capture replayed in the window with "Open recording...", twelve seconds in
        // at twice real time, on the window's own clock.
        {
            fixwatch::MainForm form("/G+");
            std::int64_t now = 0;
            Control<fixwatch::CommControl>(form, QStringLiteral("MSComm"))->ReplayClock([&now] { return now; });
            form.askRecordingFile = [&capture] { return QDir::cleanPath(capture); };
            form.show();
            Control<QAction>(form, "MenuOpenRecording")->trigger();
            Control<QComboBox>(form, "Cmb_ReplaySpeed")->setCurrentIndex(1);
            StartStop(form, 0);
            for (int second = 0; second <= 6; ++second, now += 1000)
                fixwatch::test::Tick(Control<QTimer>(form, "Timer_Lett"));
            QApplication::processEvents();
            ok = Save(form.grab(), path("replay-bar.png")) && ok;
            StartStop(form, 1);
        }
    } else {
        std::cerr << "fixwatch-screenshot: no capture at " << capture.toStdString() << "\n";
    }

    // Alarms: a receiver that falls from RTK fixed to float, drifts 50 m from its anchor, falls
    // silent and comes back without a fix, on the test's clock; the Alarms tab.
    {
        fixwatch::PseudoTerminal receiver;
        qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
        fixwatch::MainForm form;
        double now = 0;
        const QDateTime utc(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC);
        form.alarmClock = [&now] { return now; };
        form.utcNow = [&] { return utc.addMSecs(static_cast<qint64>(now * 1000)); };
        // Armed from the Alarms menu with their usual bounds: 5 s without data, 30 m around the
        // position when armed.
        for (const fixwatch::AlarmKind kind : {fixwatch::AlarmKind::NoData, fixwatch::AlarmKind::FixDegraded,
                                               fixwatch::AlarmKind::FixLost, fixwatch::AlarmKind::Anchor})
            Control<QAction>(form, "MenuAlarm", fixwatch::AlarmIndex(kind))->trigger();
        form.show();
        StartStop(form, 0);
        for (int second = 0; second < 20; ++second) {
            now = second;
            if (second < 10)
                Feed(form, receiver, AlarmSecond(second, second < 3 ? 4 : 5, second < 6 ? 0 : 27));
            else if (second > 15)
                Feed(form, receiver, AlarmSecond(second, 0, 0));
            else
                fixwatch::test::Tick(Control<QTimer>(form, "Timer_Lett"));
        }
        Tabs(form)->setCurrentWidget(Control<fixwatch::AlarmList>(form, "Frm_Alarms"));
        QApplication::processEvents();
        ok = Save(form.grab(), path("alarms.png")) && ok;
        StartStop(form, 1);
    }

    // The Accuracy tab on a receiver that stood still for a few minutes, light and dark.
    const QString stationary = argc > 3 ? QString::fromLocal8Bit(argv[3])
                                        : QStringLiteral(FIXWATCH_NMEA_LOGS "/quectel-l76k-nmea.nmea");
    if (QFile::exists(stationary)) {
        fixwatch::PseudoTerminal receiver;
        qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
        fixwatch::MainForm form("/S38400,N,8,1 /G+");
        form.show();
        StartStop(form, 0);
        Feed(form, receiver, fixwatch::CaptureText(stationary.toStdString(), 1000000));
        Tabs(form)->setCurrentIndex(fixwatch::MainForm::kAccuracyTab);
        auto* accuracy = Control<fixwatch::AccuracyView>(form, "Frm_Accuracy");
        ok = SaveLightAndDark(form, path("accuracy.png"), path("accuracy-dark.png"), [accuracy] { accuracy->Redraw(); }) && ok;
        StartStop(form, 1);
    } else {
        std::cerr << "fixwatch-screenshot: no capture at " << stationary.toStdString() << "\n";
    }
    return ok ? 0 : 1;
}
