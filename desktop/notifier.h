#pragma once

#include "alarm_kind.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QThread;
class QTimer;

namespace fixwatch {

// Desktop notifications of alarms through the freedesktop notification service on the
// session bus (org.freedesktop.Notifications.Notify), as application "Fixwatch". Nothing
// here ever waits for the bus: the connection is made on a thread of its own and every call
// is asynchronous. Notifications of one kind go out at most every kMinimumGapMs; one that
// comes sooner waits for the end of that gap and is replaced by any later one of its kind,
// so the last word on each alarm ("Fix back: RTK fixed") is always sent.
class Notifier : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kMinimumGapMs = 10000;
    // A server that has not answered by then is taken as absent.
    static constexpr int kCallTimeoutMs = 5000;

    explicit Notifier(QObject* parent = nullptr);
    ~Notifier() override;

    // `summary` is the alarm's text, `body` its details; both plain text, whatever they hold.
    void Notify(AlarmKind kind, const QString& summary, const QString& body, bool critical);

    // Monotonic milliseconds; replaceable so that tests can let time pass.
    std::function<qint64()> clock;
    // Still waiting for the bus to answer the connection; what is notified meanwhile waits.
    bool Connecting() const { return connecting_; }
    // Sends what waited for its gap to end, when it has; the notifier's timer calls it.
    void SendDue();

    // Told once, with the reason, the first time a notification cannot be delivered:
    // "Desktop notifications unavailable: no notification server on the session bus".
    std::function<void(const QString&)> onUnavailable;
    // Told when a server took a notification, with the id it gave it.
    std::function<void(uint)> onDelivered;

    // The body as sent: the protocol lets servers read it as markup, so &, < and > are
    // escaped, and it is kept short.
    static QString EscapedBody(const QString& body);

private:
    struct Pending {
        QString summary;
        QString body;
        bool critical = false;
    };

    void Connected(const QDBusConnection& connection);
    void Send(const Pending& note);
    void Unavailable(const QString& reason);
    qint64 Now() const;
    void ScheduleDue();

    QString connectionName_;
    std::optional<QDBusConnection> bus_;
    bool connecting_ = true;
    bool saidUnavailable_ = false;
    QThread* connector_ = nullptr;
    QTimer* dueTimer_ = nullptr;
    std::array<std::optional<qint64>, kAlarmKinds.size()> lastSentMs_{};
    std::array<std::optional<Pending>, kAlarmKinds.size()> pending_{};
};

} // namespace fixwatch
