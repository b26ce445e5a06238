// Notifications on a real session bus with a real notification server (dunst), read back by
// dbus-monitor on the same bus; a bus without a server; and no bus at all. The CTest entries
// start the bus and the server (with-notification-server).
#include "log_capture.h"
#include "notifier.h"
#include "notify_monitor.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace fixwatch {
namespace {

using test::Await;
using test::NotifyMonitor;

struct Notes {
    std::vector<uint> delivered;
    std::vector<QString> unavailable;
    void Watch(Notifier& notifier)
    {
        notifier.onDelivered = [this](uint id) { delivered.push_back(id); };
        notifier.onUnavailable = [this](const QString& reason) { unavailable.push_back(reason); };
    }
};

TEST(NotifierOnServer, SendsTheAlarmAsFixwatchWithItsUrgencyAndAnEscapedBody)
{
    NotifyMonitor monitor;
    Notifier notifier;
    Notes notes;
    notes.Watch(notifier);
    notifier.Notify(AlarmKind::FixLost, "Fix lost", "/dev/pts/3 <b>&amp;</b> 12:00:01", true);
    notifier.Notify(AlarmKind::Hdop, "HDOP 3.1 above 2.5", "HDOP 3.1", false);
    ASSERT_TRUE(Await([&] { return notes.delivered.size() == 2; })) << "the server did not answer";
    EXPECT_GT(notes.delivered[0], 0u);
    EXPECT_TRUE(notes.unavailable.empty());

    ASSERT_TRUE(Await([&] { return monitor.Calls() == 2; })) << monitor.Text().toStdString();
    const QString seen = monitor.Text();
    EXPECT_TRUE(seen.contains("string \"Fixwatch\"")) << seen.toStdString();
    EXPECT_TRUE(seen.contains("string \"Fix lost\""));
    EXPECT_TRUE(seen.contains("string \"/dev/pts/3 &lt;b&gt;&amp;amp;&lt;/b&gt; 12:00:01\""))
        << "markup in a body is shown, never obeyed: " << seen.toStdString();
    const QString calls = seen.simplified();
    const qsizetype hdop = calls.indexOf("HDOP 3.1 above 2.5");
    EXPECT_TRUE(calls.left(hdop).contains("string \"urgency\" variant byte 2")) << "fix lost is critical";
    EXPECT_TRUE(calls.mid(hdop).contains("string \"urgency\" variant byte 1")) << "HDOP is not";
}

// A second notification of one kind within ten seconds waits for the end of them; a later
// one of that kind replaces it, and another kind is not held back.
TEST(NotifierOnServer, SendsOneKindAtMostEveryTenSecondsAndNeverLosesTheLastWord)
{
    NotifyMonitor monitor;
    Notifier notifier;
    qint64 now = 0;
    notifier.clock = [&now] { return now; };
    Notes notes;
    notes.Watch(notifier);
    ASSERT_TRUE(Await([&] {
        notifier.SendDue();
        notifier.Notify(AlarmKind::FixLost, "Fix lost", "", true);
        return !notes.delivered.empty();
    }));
    now = 1000;
    notifier.Notify(AlarmKind::FixLost, "Fix back: GPS", "", false);
    notifier.Notify(AlarmKind::NoData, "No data for 5 s", "", true);
    now = 2000;
    notifier.Notify(AlarmKind::FixLost, "Fix back: RTK float", "", false);
    ASSERT_TRUE(Await([&] { return notes.delivered.size() == 2; }));
    now = 9999;
    notifier.SendDue();
    Await([&] { return false; }, 300);
    EXPECT_EQ(notes.delivered.size(), 2u) << "nothing more within the ten seconds";
    now = 10000;
    notifier.SendDue();
    ASSERT_TRUE(Await([&] { return notes.delivered.size() == 3; }));
    ASSERT_TRUE(Await([&] { return monitor.Calls() == 3; }));
    const QString seen = monitor.Text();
    EXPECT_FALSE(seen.contains("Fix back: GPS"));
    EXPECT_TRUE(seen.contains("Fix back: RTK float"));
}

// Without a server it says once that notifications are unavailable; switched on, the alarms'
// log says what was sent and why the server refused it, without the alarm's text.
TEST(NotifierWithoutServer, SaysOnceThatNotificationsAreUnavailableAndLogsTheRefusal)
{
    test::LogCapture capture(QStringLiteral("fixwatch.alarms.debug=true"));
    Notifier notifier;
    Notes notes;
    notes.Watch(notifier);
    notifier.Notify(AlarmKind::Anchor, "42 m from the anchor point (limit 30 m)", "", true);
    notifier.Notify(AlarmKind::FixLost, "Fix lost", "", true);
    ASSERT_TRUE(Await([&] { return !notes.unavailable.empty(); }));
    Await([&] { return false; }, 300);
    ASSERT_EQ(notes.unavailable.size(), 1u);
    EXPECT_EQ(notes.unavailable[0], "Desktop notifications unavailable: no notification server on the session bus");
    EXPECT_TRUE(notes.delivered.empty());
    const QString text = capture.Text();
    EXPECT_TRUE(text.contains("fixwatch.alarms: sending anchor notification (critical)")) << text.toStdString();
    EXPECT_TRUE(text.contains("fixwatch.alarms: notification refused: org.freedesktop.DBus.Error.ServiceUnknown"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("fixwatch.alarms: notifications unavailable: no notification server on the session bus"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("42 m")) << "the alarm's text logged";
}

TEST(NotifierWithoutBus, SaysOnceThatNotificationsAreUnavailable)
{
    Notifier notifier;
    Notes notes;
    notes.Watch(notifier);
    notifier.Notify(AlarmKind::NoData, "No data for 5 s", "", true);
    notifier.Notify(AlarmKind::FixLost, "Fix lost", "", true);
    ASSERT_TRUE(Await([&] { return !notes.unavailable.empty(); }));
    Await([&] { return false; }, 300);
    ASSERT_EQ(notes.unavailable.size(), 1u);
    EXPECT_TRUE(notes.unavailable[0].startsWith("Desktop notifications unavailable: no session bus"))
        << notes.unavailable[0].toStdString();
}

} // namespace
} // namespace fixwatch
