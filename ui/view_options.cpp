#include "view_options.h"

#include <string_view>

namespace fixwatch {

ViewOptions TakeViewOptions(int& argc, char** argv)
{
    constexpr std::string_view kCoordinates = "--coordinates=";
    constexpr std::string_view kUnits = "--units=";
    ViewOptions options;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(kCoordinates)) {
            const auto value = argument.substr(kCoordinates.size());
            if (const auto format = CoordinateFormatNamed(value))
                options.coordinates = *format;
            else
                options.error = "fixwatch: --coordinates takes sent, dd, dms, utm, mgrs or locator, not \""
                                + std::string(value) + "\"";
        } else if (argument.starts_with(kUnits)) {
            const auto value = argument.substr(kUnits.size());
            if (const auto units = UnitSystemNamed(value))
                options.units = *units;
            else
                options.error = "fixwatch: --units takes metric, imperial or nautical, not \""
                                + std::string(value) + "\"";
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return options;
}

} // namespace fixwatch
