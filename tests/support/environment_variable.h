#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace fixwatch::test {

// Sets an environment variable for the life of the object, restoring what was there, so that
// a test that stops early leaves no setting behind for the next one.
class Variable {
public:
    Variable(const QByteArray& name, const QByteArray& value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name.constData()))
            old_ = qgetenv(name.constData());
        qputenv(name.constData(), value);
    }
    ~Variable() { old_ ? qputenv(name_.constData(), *old_) : qunsetenv(name_.constData()); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

private:
    QByteArray name_;
    std::optional<QByteArray> old_;
};

} // namespace fixwatch::test
