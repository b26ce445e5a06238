#include "logger_status.h"

#include "sentence_recorder.h"

#include <QFileInfo>

namespace fixwatch {

QString ShortPath(const QString& path)
{
    return QStringLiteral("\u2026/") + QFileInfo(path).fileName();
}

QString RecorderStatusText(const SentenceRecorder& recorder, bool recordedShown)
{
    if (recorder.Recording())
        return QStringLiteral("Recording to \u2026/%1 \u00b7 %2")
            .arg(QFileInfo(recorder.Path()).fileName(), SizeText(recorder.BytesWritten()));
    if (!recorder.Error().isEmpty())
        return QStringLiteral("Recording stopped: ") + recorder.Error();
    if (recordedShown && !recorder.Path().isEmpty())
        return QStringLiteral("Recorded %1 \u00b7 %2").arg(ShortPath(recorder.Path()), SizeText(recorder.BytesWritten()));
    return {};
}

QString LoggerStatusText(const LoggerStatus& status, const QString& homeFolder)
{
    QString text;
    if (!status.logError.isEmpty()) {
        text = QStringLiteral("Log not written: ") + status.logError;
    } else if (!status.logFile.isEmpty()) {
        QString path = status.logFile;
        if (!homeFolder.isEmpty() && homeFolder != QLatin1String("/") && path.startsWith(homeFolder + QLatin1Char('/')))
            path = QLatin1Char('~') + path.mid(homeFolder.size());
        text = QStringLiteral("Logging every %1 s to %2").arg(status.intervalSeconds).arg(path);
    }
    for (const QString& more : {status.recorder, status.written})
        if (!more.isEmpty())
            text = text.isEmpty() ? more : text + QStringLiteral("; ") + more;
    return text;
}

} // namespace fixwatch
