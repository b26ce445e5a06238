#include "notifier.h"

#include "desktop_log.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include <algorithm>

namespace fixwatch {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The urgency hint a notification server reads: 1 normal, 2 critical.
constexpr uchar kUrgencyNormal = 1;
constexpr uchar kUrgencyCritical = 2;
// Expire as the server sees fit.
constexpr int kServerTimeout = -1;
// A body longer than this says nothing more a popup could show.
constexpr qsizetype kMaxBodyCharacters = 1000;

QString KindName(AlarmKind kind)
{
    const std::string_view name = AlarmKindName(kind);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QElapsedTimer& ProcessClock()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return timer;
}

} // namespace

Notifier::Notifier(QObject* parent)
    : QObject(parent), connectionName_(QStringLiteral("fixwatch-notifier-") + QUuid::createUuid().toString())
{
    clock = [] { return ProcessClock().elapsed(); };
    dueTimer_ = new QTimer(this);
    dueTimer_->setSingleShot(true);
    connect(dueTimer_, &QTimer::timeout, this, &Notifier::SendDue);

    // Connecting says hello to the bus and waits for its answer: never on the window's thread.
    const QString name = connectionName_;
    connector_ = QThread::create([name] { QDBusConnection::connectToBus(QDBusConnection::SessionBus, name); });
    connect(connector_, &QThread::finished, this, [this] { Connected(QDBusConnection(connectionName_)); });
    connector_->start();
}

Notifier::~Notifier()
{
    if (connector_ != nullptr) {
        connector_->disconnect(this);
        connector_->wait();
        delete connector_;
    }
    QDBusConnection::disconnectFromBus(connectionName_);
}

QString Notifier::EscapedBody(const QString& body)
{
    return body.left(kMaxBodyCharacters).toHtmlEscaped();
}

qint64 Notifier::Now() const
{
    return clock ? clock() : ProcessClock().elapsed();
}

void Notifier::Notify(AlarmKind kind, const QString& summary, const QString& body, bool critical)
{
    auto& pending = pending_[AlarmIndex(kind)];
    if (pending)
        qCDebug(lcAlarms).noquote() << KindName(kind) << "notification replaces the one still waiting";
    pending = Pending{summary, body, critical};
    SendDue();
    if (!pending)
        return;
    if (connecting_) {
        qCDebug(lcAlarms).noquote() << KindName(kind) << "notification waits for the session bus";
    } else if (const auto& last = lastSentMs_[AlarmIndex(kind)]) {
        qCDebug(lcAlarms).noquote() << KindName(kind) << "notification waits"
                                    << *last + kMinimumGapMs - Now() << "ms for the end of its gap";
    }
}

void Notifier::SendDue()
{
    if (connecting_)
        return; // sent once the bus answers
    const qint64 now = Now();
    for (const AlarmKind kind : kAlarmKinds) {
        auto& pending = pending_[AlarmIndex(kind)];
        auto& last = lastSentMs_[AlarmIndex(kind)];
        if (!pending || (last && now - *last < kMinimumGapMs))
            continue;
        last = now;
        qCDebug(lcAlarms).noquote() << "sending" << KindName(kind) << "notification"
                                    << (pending->critical ? "(critical)" : "(normal)");
        Send(*pending);
        pending.reset();
    }
    ScheduleDue();
}

void Notifier::ScheduleDue()
{
    std::optional<qint64> next;
    for (std::size_t i = 0; i < pending_.size(); ++i)
        if (pending_[i] && lastSentMs_[i])
            next = std::min(next.value_or(*lastSentMs_[i] + kMinimumGapMs), *lastSentMs_[i] + kMinimumGapMs);
    if (next)
        dueTimer_->start(static_cast<int>(std::max<qint64>(0, *next - Now())));
    else
        dueTimer_->stop();
}

void Notifier::Connected(const QDBusConnection& connection)
{
    connecting_ = false;
    connector_->wait();
    connector_->deleteLater();
    connector_ = nullptr;
    if (connection.isConnected()) {
        bus_ = connection;
        qCDebug(lcAlarms).noquote() << "session bus connected as" << connection.baseService();
    } else {
        const QDBusError error = connection.lastError();
        Unavailable(error.isValid() && !error.message().isEmpty()
                        ? QStringLiteral("no session bus (%1)").arg(error.message())
                        : QStringLiteral("no session bus"));
    }
    SendDue();
}

void Notifier::Send(const Pending& note)
{
    if (!bus_) {
        qCDebug(lcAlarms) << "not sent: there is no session bus";
        return; // said once already; the alarm is in the window and the list
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(static_cast<uchar>(note.critical ? kUrgencyCritical : kUrgencyNormal)));
    call << QStringLiteral("Fixwatch") << 0u << QString() << note.summary << EscapedBody(note.body) << QStringList()
         << hints << kServerTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        const QDBusPendingReply<uint> reply = *finished;
        if (reply.isError()) {
            const QDBusError error = reply.error();
            qCDebug(lcAlarms).noquote() << "notification refused:" << error.name() << error.message();
            Unavailable(error.type() == QDBusError::ServiceUnknown
                            ? QStringLiteral("no notification server on the session bus")
                            : error.message());
        } else {
            qCDebug(lcAlarms) << "notification delivered as id" << reply.value();
            if (onDelivered)
                onDelivered(reply.value());
        }
    });
}

void Notifier::Unavailable(const QString& reason)
{
    if (saidUnavailable_)
        return;
    saidUnavailable_ = true;
    qCDebug(lcAlarms).noquote() << "notifications unavailable:" << reason;
    if (onUnavailable)
        onUnavailable(QStringLiteral("Desktop notifications unavailable: ") + reason);
}

} // namespace fixwatch
