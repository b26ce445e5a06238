#pragma once

// What reached the notification server: every Notify call on the session bus, as dbus-monitor
// prints it. The test runs on a bus of its own (tests/desktop/with-notification-server).
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

#include <functional>

namespace fixwatch::test {

// Runs the event loop until `done` or a deadline far beyond what a bus takes to answer.
inline bool Await(const std::function<bool()>& done, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

class NotifyMonitor {
public:
    NotifyMonitor()
    {
        monitor_.start("dbus-monitor",
                       {"--session", "type='method_call',interface='org.freedesktop.Notifications',member='Notify'"});
        monitor_.waitForStarted();
        // It says it became a monitor before it prints anything it saw.
        Await([this] { return Text().contains("NameLost") || Text().contains("NameAcquired"); });
    }
    ~NotifyMonitor()
    {
        monitor_.kill();
        monitor_.waitForFinished();
    }
    NotifyMonitor(const NotifyMonitor&) = delete;
    NotifyMonitor& operator=(const NotifyMonitor&) = delete;

    QString Text()
    {
        seen_ += QString::fromUtf8(monitor_.readAllStandardOutput());
        return seen_;
    }
    int Calls() { return static_cast<int>(Text().count("member=Notify")); }
    // The summaries notified, in order.
    QStringList Summaries()
    {
        QStringList summaries;
        for (const QString& call : Text().split("member=Notify").mid(1)) {
            // app_name, replaces_id, app_icon, then the summary.
            const QStringList lines = call.split('\n');
            if (lines.size() > 4)
                summaries << lines[4].trimmed().mid(8).chopped(1); // string "..."
        }
        return summaries;
    }

private:
    QProcess monitor_;
    QString seen_;
};

} // namespace fixwatch::test
