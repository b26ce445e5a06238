#include "view_options.h"

#include "program_arguments.h"

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
    return options;
}

} // namespace fixwatch
