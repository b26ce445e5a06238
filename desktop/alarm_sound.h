#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;

namespace fixwatch {

// The short sound played when an alarm is raised, shipped with the program. Playing never
// waits; a machine without sound simply stays quiet.
class AlarmSound : public QObject {
    Q_OBJECT

public:
    // Where the sound lives among the program's resources.
    static const QString kSource;

    explicit AlarmSound(QObject* parent = nullptr);

    // The first Play opens the sound device: a user who never asks for the sound never
    // touches it.
    void Play();

private:
    QSoundEffect* effect_ = nullptr;
};

} // namespace fixwatch
