#include "alarm_log.h"

#include "log_record.h"

#include <QTimeZone>

namespace fixwatch {
namespace {

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
    if (!at.isValid()) {
        if (reason != nullptr)
            *reason = QStringLiteral("the computer's date is not valid");
        return false;
    }
    const QString path = folder + QLatin1Char('/') + AlarmLogFileName(at.toLocalTime().date());
    return AppendLogLine(path, AlarmLogLine(at, raised, kind, text), reason);
}

} // namespace fixwatch
