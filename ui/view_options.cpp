#include "view_options.h"

#include "main_form.h"
#include "program_arguments.h"

#include <QTabWidget>

namespace fixwatch {

ViewOptions ReadViewOptions(const ProgramArguments& arguments)
{
    ViewOptions options;
    if (arguments.IsSet(QStringLiteral("coordinates"))) {
        const std::string value = arguments.Value(QStringLiteral("coordinates")).toStdString();
        if (const auto format = CoordinateFormatNamed(value))
            options.coordinates = *format;
        else
            options.error = "fixwatch: --coordinates takes sent, dd, dms, utm, mgrs or locator, not \""
                            + value + "\"";
    }
    if (arguments.IsSet(QStringLiteral("units"))) {
        const std::string value = arguments.Value(QStringLiteral("units")).toStdString();
        if (const auto units = UnitSystemNamed(value))
            options.units = *units;
        else
            options.error = "fixwatch: --units takes metric, imperial or nautical, not \"" + value + "\"";
    }
    if (arguments.IsSet(QStringLiteral("tab")))
        options.tab = arguments.Value(QStringLiteral("tab")).toLower().toStdString();
    options.start = arguments.IsSet(QStringLiteral("start"));
    return options;
}

namespace {

// A tab's short name: the first word of its title in lower case ("General Info": general).
QString TabName(const QTabWidget& tabs, int index)
{
    return tabs.tabText(index).section(QLatin1Char(' '), 0, 0).toLower();
}

} // namespace

bool ApplyViewOptions(MainForm& form, ViewOptions& options)
{
    int tab = -1;
    if (!options.tab.empty()) {
        QStringList names;
        for (int i = 0; i < form.SSTab->count(); ++i) {
            names << TabName(*form.SSTab, i);
            if (names.back() == QString::fromStdString(options.tab))
                tab = i;
        }
        if (tab < 0) {
            const QString last = names.takeLast();
            options.error = "fixwatch: --tab takes " + names.join(QStringLiteral(", ")).toStdString()
                            + " or " + last.toStdString() + ", not \"" + options.tab + "\"";
            return false;
        }
    }
    form.MenuCoordinate_Click(static_cast<int>(options.coordinates));
    form.MenuUnit_Click(static_cast<int>(options.units));
    if (tab >= 0)
        form.SSTab->setCurrentIndex(tab);
    if (options.start)
        form.Cmd_StartStop_Click(0);
    return true;
}

} // namespace fixwatch
