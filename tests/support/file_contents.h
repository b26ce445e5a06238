#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace fixwatch::test {

// Everything in the file at `path`, or nothing when it cannot be read.
inline QByteArray FileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace fixwatch::test
