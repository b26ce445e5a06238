// A second writer for the shared-file tests: appends numbered records through the real record
// writer and prints the number of each one it was told was written, one per line.
// Usage: log_append_helper <folder> <writer name> <records>
#include "log_record.h"

#include <QDate>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: log_append_helper <folder> <writer name> <records>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString writer = QString::fromLocal8Bit(argv[2]);
    const int records = std::atoi(argv[3]);
    for (int i = 0; i < records; ++i) {
        const QStringList fields{writer, QString::number(i), QStringLiteral("048\u00B0 07.038' N"),
                                 QStringLiteral("011\u00B0 31.000' E"), QStringLiteral("545.4"),
                                 QStringLiteral("41.5")};
        if (fixwatch::AppendLogRecord(folder, QDate(2026, 12, 7), fields))
            std::printf("%d\n", i);
    }
    return 0;
}
