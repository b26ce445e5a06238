#include "alarm_log.h"

#include "log_record.h"

#include <QLoggingCategory>
#include <QTimeZone>

namespace fixwatch {
namespace {

// fixwatch.alarms as the alarm file writes it: which file each line went to, and why one
// could not be written. The desktop's notifications (desktop/desktop_log.h) share the name,
// so that one rule shows both. Off by default; never logs the alarm's text.
Q_LOGGING_CATEGORY(lcAlarmLog, "fixwatch.alarms", QtWarningMsg)

QString OneLine(QString text)
{
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return text;
}

} // namespace

QString AlarmLogFileName(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".alarms.log");
}

QByteArray AlarmLogLine(const QDateTime& at, bool raised, const QString& kind, const QString& text)
{
    const QString time = at.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
    return (QStringList{time, raised ? QStringLiteral("raised") : QStringLiteral("cleared"), OneLine(kind),
                        OneLine(text)}
                .join(QLatin1Char('\t'))
            + QLatin1Char('\n'))
        .toUtf8();
}

bool AppendAlarmLog(const QString& folder, const QDateTime& at, bool raised, const QString& kind,
                    const QString& text, QString* reason)
{
    const QString what = (raised ? QStringLiteral("raised ") : QStringLiteral("cleared ")) + OneLine(kind);
    if (!at.isValid()) {
        if (reason != nullptr)
            *reason = QStringLiteral("the computer's date is not valid");
        qCDebug(lcAlarmLog).noquote() << QStringLiteral("alarm file not written for %1: the computer's date is not valid").arg(what);
        return false;
    }
    const QString path = folder + QLatin1Char('/') + AlarmLogFileName(at.toLocalTime().date());
    QString why;
    const bool written = AppendLogLine(path, AlarmLogLine(at, raised, kind, text), &why);
    if (written)
        qCDebug(lcAlarmLog).noquote() << QStringLiteral("alarm file %1: %2").arg(path, what);
    else
        qCDebug(lcAlarmLog).noquote() << QStringLiteral("alarm file not written for %1: %2").arg(what, why);
    if (!written && reason != nullptr)
        *reason = why;
    return written;
}

} // namespace fixwatch
