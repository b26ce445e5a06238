// fixwatch-screenshot: draws the main window's tabs as a person sees them, with a receiver
// on a pseudo-terminal, its status bar in each of its states, the Sky tab on a real
// multi-system capture, and the splash and About windows, into PNG files of a folder.
// Usage: fixwatch-screenshot [folder] [multi-system capture]
#include "frm_about.h"
#include "frm_splash.h"
#include "main_form.h"
#include "sample_sentences.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>

#include <fstream>
#include <iostream>
#include <string>

#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool Save(const QPixmap& picture, const QString& path)
{
    const bool saved = picture.save(path);
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << "\n";
    return saved;
}

// A receiver on a pseudo-terminal: what is written to it is what the window reads.
class Receiver {
public:
    Receiver()
    {
        termios raw{};
        ::cfmakeraw(&raw);
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, &raw, nullptr) == 0)
            device_ = name;
    }
    ~Receiver() { Hangup(); ::close(slave_); }
    const std::string& Device() const { return device_; }
    void Send(const std::string& text)
    {
        for (std::size_t at = 0; at < text.size();) {
            const ssize_t n = ::write(master_, text.data() + at, text.size() - at);
            if (n <= 0)
                return;
            at += static_cast<std::size_t>(n);
        }
    }
    void Hangup()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
};

// Lets the window read what was sent: the event loop runs, then one tick.
void Tick(fixwatch::MainForm& form)
{
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    form.Timer_Lett_Timer();
}

std::string SampleSecond()
{
    std::string text;
    for (const std::string& sentence : fixwatch::SampleSentences())
        text += sentence + "\r\n";
    return text;
}

// The sentence lines of a capture, CR LF ended, from the first line on, until `count`.
std::string Capture(const QString& path, int count)
{
    std::ifstream file(path.toStdString(), std::ios::binary);
    std::string text;
    for (std::string line; count > 0 && std::getline(file, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        if (line.back() == '\r')
            line.pop_back();
        text += line + "\r\n";
        --count;
    }
    return text;
}

void Feed(fixwatch::MainForm& form, Receiver& receiver, const std::string& text)
{
    for (std::size_t at = 0; at < text.size(); at += 1024) {
        receiver.Send(text.substr(at, 1024));
        Tick(form);
    }
    Tick(form);
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
        Receiver receiver;
        qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
        fixwatch::MainForm form;
        fixwatch::frmAbout about(&form);
        form.today = [] { return QDate(2026, 12, 7); };
        form.show();
        form.MenuSalvaDL_Click();
        form.Cmd_StartStop_Click(0);
        Feed(form, receiver, SampleSecond());
        receiver.Send(SampleSecond()); // the status bar as it reads while sentences arrive
        Tick(form);
        const char* names[] = {"position.png", "general-info.png", "satellites.png", "communication.png"};
        for (int tab = 0; tab < 4; ++tab) {
            form.SSTab->setCurrentIndex(tab);
            QApplication::processEvents();
            ok = Save(form.grab(), path(names[tab])) && ok;
        }
        ok = Save(form.statusBar()->grab(), path("status-receiving.png")) && ok;

        // Silent, then unplugged.
        qint64 now = 0;
        form.Status->clock = [&now] { return now; };
        form.Status->Started();
        now = 7000;
        form.Timer_Lett_Timer();
        ok = Save(form.statusBar()->grab(), path("status-no-data.png")) && ok;
        receiver.Hangup();
        for (int i = 0; i < 5 && form.MSComm.LinkState() != fixwatch::CommControl::State::Lost; ++i)
            Tick(form);
        ok = Save(form.statusBar()->grab(), path("status-lost.png")) && ok;
        form.Cmd_StartStop_Click(1);

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
        form.Status->StartFailed(QStringLiteral("Cannot open /dev/ttyUSB0: permission denied. Add "
                                                "your user to the dialout group and log in again."));
        form.Status->ShowSource(QStringLiteral("/dev/ttyUSB0 \u00B7 4800 8N1"));
        QApplication::processEvents();
        ok = Save(form.statusBar()->grab(), path("status-failed.png")) && ok;
    }

    // A multi-system receiver: without All GNSS the status bar says what is missing; with it
    // the columns and the Sky tab show every system.
    if (QFile::exists(capture)) {
        const std::string text = Capture(capture, 90);
        for (const bool allGnss : {false, true}) {
            Receiver receiver;
            qputenv("FIXWATCH_COM1", QByteArray::fromStdString(receiver.Device()));
            fixwatch::MainForm form(allGnss ? "/S38400,N,8,1 /G+" : "/S38400,N,8,1");
            form.show();
            form.Cmd_StartStop_Click(0);
            Feed(form, receiver, text.substr(0, text.size() - 2048));
            receiver.Send(text.substr(text.size() - 2048));
            Tick(form);
            if (!allGnss) {
                ok = Save(form.statusBar()->grab(), path("status-hint.png")) && ok;
                continue;
            }
            form.SSTab->setCurrentIndex(2);
            QApplication::processEvents();
            ok = Save(form.grab(), path("satellites-gnss.png")) && ok;
            form.SSTab->setCurrentIndex(4);
            QApplication::processEvents();
            ok = Save(form.grab(), path("sky.png")) && ok;
            QPalette dark;
            dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
            dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
            dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
            dark.setColor(QPalette::AlternateBase, QColor(0x2f, 0x2f, 0x2f));
            dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
            dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
            dark.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
            dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
            QApplication::setPalette(dark);
            QApplication::processEvents();
            ok = Save(form.grab(), path("sky-dark.png")) && ok;
            QApplication::setPalette(QApplication::style()->standardPalette());
            form.Cmd_StartStop_Click(1);
        }
    } else {
        std::cerr << "fixwatch-screenshot: no capture at " << capture.toStdString() << "\n";
    }
    return ok ? 0 : 1;
}
