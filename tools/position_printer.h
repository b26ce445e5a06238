#pragma once

#include "coordinate_text.h"
#include "nmea_events.h"

#include <string>

namespace fixwatch {

// A receiver that writes one line per position event, "position: TEXT", TEXT being what the
// window's latitude and longitude labels show in `format`, joined by one blank (an empty
// label adds nothing), as UTF-8. A control character the receiver sent inside a field is
// written as \xNN, so that one event is always one line.
class PositionPrinter : public NmeaEvents {
public:
    PositionPrinter(std::string& out, CoordinateFormat format) : out_(out), format_(format) {}

    void PositionReceived(std::string latitude, std::string longitude) override;

private:
    std::string& out_;
    CoordinateFormat format_;
};

} // namespace fixwatch
