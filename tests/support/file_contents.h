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

// Writes `contents` as the whole file at `path`; whether all of it was written.
inline bool WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

} // namespace fixwatch::test
