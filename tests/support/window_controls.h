#pragma once

// Finding a window's controls as its user and its code name them: by object name,
// "Timer_Lett" or "Lab_Posizione(3)". Tests and tools reach a window through these names and
// its signals, never through its members, so that the window keeps a small face.
#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace fixwatch::test {

// The name of element `index` of the control array `name`.
inline QString ElementName(const QString& name, std::size_t index)
{
    return QStringLiteral("%1(%2)").arg(name).arg(index);
}

// The one child of `window` named `name` that is a T. A missing control is a fault of the
// test or of the window, so it throws (a test reports it and stops) rather than answering null.
template <class T>
T* Control(const QObject& window, const QString& name)
{
    const auto found = window.findChildren<T*>(name);
    if (found.size() != 1) {
        throw std::logic_error(std::to_string(found.size()) + " controls named " + name.toStdString()
                               + " of the type asked for");
    }
    return found.front();
}

template <class T>
T* Control(const QObject& window, const QString& name, std::size_t index)
{
    return Control<T>(window, ElementName(name, index));
}

// Elements 0 to `count` - 1 of the control array `name`, in their order.
template <class T>
std::vector<T*> Controls(const QObject& window, const QString& name, std::size_t count)
{
    std::vector<T*> found;
    for (std::size_t i = 0; i < count; ++i)
        found.push_back(Control<T>(window, name, i));
    return found;
}

// Runs what a timer's tick runs, now, without waiting for its interval.
inline void Tick(QTimer* timer)
{
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

// Accepts each message box that opens while it lives, from inside the box's own event loop,
// and keeps what the last one said: a question the window may or may not ask never hangs
// the caller, and is over when the answerer goes.
class BoxAnswerer {
public:
    BoxAnswerer()
    {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                said_ = box->text();
                box->accept();
            }
        });
        poll_.start();
    }
    const QString& Said() const { return said_; }

private:
    QTimer poll_;
    QString said_;
};

} // namespace fixwatch::test
