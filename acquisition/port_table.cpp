#include "port_table.h"

#include <QString>
#include <QStringList>

#include <algorithm>

namespace fixwatch {

namespace {

QString Printable(QString text)
{
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

std::string PortTable(const std::vector<PortEntry>& entries)
{
    if (entries.empty()) {
        return "No serial port found on this machine, and no gpsd on localhost.\n"
               "Set FIXWATCH_COMn to a device or an address to give port n one "
               "(see fixwatch --help).\n";
    }
    const QStringList heading = {QStringLiteral("Port"), QStringLiteral("Device"),
                                 QStringLiteral("Description"), QStringLiteral("USB id")};
    std::vector<QStringList> rows{heading};
    for (const PortEntry& entry : entries) {
        const QString address =
            entry.address.isEmpty() ? QStringLiteral("(none)") : Printable(entry.address);
        QString description = Printable(entry.description);
        if (entry.configured)
            description = QStringLiteral("set by ") + description;
        rows.push_back({QString::number(entry.number), address, description,
                        entry.usbId.isEmpty() ? QStringLiteral("-") : entry.usbId});
    }
    std::vector<qsizetype> width(heading.size(), 0);
    for (const QStringList& row : rows) {
        for (qsizetype column = 0; column < row.size(); ++column)
            width[column] = std::max(width[column], row[column].size());
    }
    QString table;
    for (const QStringList& row : rows) {
        QString line = row[0].rightJustified(width[0]);
        for (qsizetype column = 1; column < row.size(); ++column)
            line += QStringLiteral("  ") + row[column].leftJustified(width[column]);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        table += line + QLatin1Char('\n');
    }
    return table.toStdString();
}

} // namespace fixwatch
