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

    void Play();
    // Whether the sound was read and can be played.
    bool Ready() const;

private:
    QSoundEffect* effect_ = nullptr;
};

} // namespace fixwatch
