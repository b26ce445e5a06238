#include "alarm_sound.h"

#include <QSoundEffect>
#include <QUrl>

namespace fixwatch {

const QString AlarmSound::kSource = QStringLiteral("qrc:/fixwatch/alarm.wav");

AlarmSound::AlarmSound(QObject* parent) : QObject(parent), effect_(new QSoundEffect(this))
{
    effect_->setSource(QUrl(kSource));
}

void AlarmSound::Play()
{
    effect_->play();
}

bool AlarmSound::Ready() const
{
    return effect_->status() == QSoundEffect::Ready;
}

} // namespace fixwatch
