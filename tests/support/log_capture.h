#pragma once

#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>

namespace fixwatch::test {

// Collects what the program logs while it lives, "category: message" a line, with the given
// QT_LOGGING_RULES-style rules in force (none: the defaults); the handler and the rules before
// it come back when it goes. One at a time; messages from any thread are caught.
class LogCapture {
public:
    explicit LogCapture(const QString& rules = QString())
    {
        current_ = this;
        previous_ = qInstallMessageHandler(&LogCapture::Handle);
        QLoggingCategory::setFilterRules(rules);
    }
    ~LogCapture()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList Lines() const
    {
        const QMutexLocker lock(&mutex_);
        return lines_;
    }
    QString Text() const { return Lines().join(QLatin1Char('\n')); }

private:
    static void Handle(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        if (current_ == nullptr)
            return;
        const QMutexLocker lock(&current_->mutex_);
        current_->lines_ << QString::fromLatin1(context.category) + QStringLiteral(": ") + message;
    }

    static inline LogCapture* current_ = nullptr;
    static inline QtMessageHandler previous_ = nullptr;
    mutable QMutex mutex_;
    QStringList lines_;
};

} // namespace fixwatch::test
