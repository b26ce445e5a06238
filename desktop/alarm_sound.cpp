#include "alarm_sound.h"

#include <QSoundEffect>
#include <QUrl>

namespace fixwatch {

const QString AlarmSound::kSource = QStringLiteral("qrc:/fixwatch/alarm.wav");

AlarmSound::AlarmSound(QObject* parent) : QObject(parent) {}

void AlarmSound::Play()
{
    if (effect_ == nullptr) {
        effect_ = new QSoundEffect(this);
        effect_->setSource(QUrl(kSource));
    }
    effect_->play();
}

} // namespace fixwatch
