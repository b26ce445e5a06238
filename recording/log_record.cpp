#include "log_record.h"

#include <QCoreApplication>
#include <QFile>

namespace fixwatch {

QString LogFileName(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
}

QByteArray LogRecordLine(const QStringList& fields)
{
    return fields.join(QLatin1Char(';')).toLatin1() + QByteArrayLiteral("\r\n");
}

QString LogFolder()
{
    const QString configured = qEnvironmentVariable("FIXWATCH_LOG_DIR");
    return configured.isEmpty() ? QCoreApplication::applicationDirPath() : configured;
}

bool AppendLogRecord(const QString& folder, const QDate& date, const QStringList& fields)
{
    if (!date.isValid())
        return false;
    const QByteArray line = LogRecordLine(fields);
    QFile file(folder + QLatin1Char('/') + LogFileName(date));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 sizeBefore = file.size();
    const qint64 written = file.write(line);
    const bool flushed = file.flush();
    if (written != line.size() || !flushed) {
        // A disk that filled up mid-line: take the fragment back out.
        file.resize(sizeBefore);
        file.close();
        return false;
    }
    file.close();
    return file.error() == QFileDevice::NoError;
}

} // namespace fixwatch
