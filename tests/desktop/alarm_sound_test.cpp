#include "alarm_sound.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

// The sound is linked into the program from a static library, where a resource is easily
// lost: it must be there, a WAV file, and short.
TEST(AlarmSound, IsShippedWithTheProgramAsAShortWav)
{
    QFile sound(QStringLiteral(":") + QUrl(AlarmSound::kSource).path());
    ASSERT_TRUE(sound.open(QIODevice::ReadOnly)) << AlarmSound::kSource.toStdString();
    const QByteArray bytes = sound.readAll();
    ASSERT_GT(bytes.size(), 44);
    EXPECT_TRUE(bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE");
    const auto le32 = [&bytes](int at) {
        return static_cast<quint32>(static_cast<uchar>(bytes[at])) | static_cast<quint32>(static_cast<uchar>(bytes[at + 1])) << 8
               | static_cast<quint32>(static_cast<uchar>(bytes[at + 2])) << 16
               | static_cast<quint32>(static_cast<uchar>(bytes[at + 3])) << 24;
    };
    const quint32 bytesPerSecond = le32(28);
    ASSERT_GT(bytesPerSecond, 0u);
    EXPECT_LT(static_cast<double>(bytes.size() - 44) / bytesPerSecond, 1.0) << "a short sound, not a tune";
}

} // namespace
} // namespace fixwatch
