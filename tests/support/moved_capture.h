#pragma once

// A second receiver made of a real capture: the same sentences with every position moved a
// known distance north and every C/N0 changed by a known number of dB, so that a comparison
// of the two has a known answer.
#include "sealed.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fixwatch::test {

// `lines` (a capture's, as CaptureLines gives them) with every latitude of GGA, RMC, GLL and
// GNS moved `degreesNorth` (written to 8 decimals of a minute, finer than any receiver, so
// the move stays exact to a fraction of a millimetre) and every C/N0 of GSV changed by
// `cn0Db`; a C/N0 that would fall below 0 becomes empty (not tracked). Other lines as they
// were; each changed sentence sealed anew.
inline std::string MovedCapture(const std::vector<std::string>& lines, double degreesNorth, int cn0Db)
{
    std::string out;
    for (const std::string& line : lines) {
        const auto star = line.rfind('*');
        if (line.empty() || line[0] != '$' || star == std::string::npos) {
            out += line + '\n';
            continue;
        }
        std::vector<std::string> f(1);
        for (char c : line.substr(1, star - 1)) {
            if (c == ',')
                f.emplace_back();
            else
                f.back() += c;
        }
        const std::string type = f[0].size() == 5 ? f[0].substr(2) : "";
        const std::size_t latitude = type == "GGA" || type == "GNS" ? 2 : type == "RMC" ? 3
                                                                      : type == "GLL"   ? 1
                                                                                        : 0;
        if (latitude != 0 && latitude + 1 < f.size() && f[latitude].size() > 4) {
            const double field = std::stod(f[latitude]);
            const double sign = f[latitude + 1] == "S" ? -1 : 1;
            const double degrees = sign * (std::floor(field / 100) + std::fmod(field, 100) / 60) + degreesNorth;
            const double whole = std::floor(std::abs(degrees));
            char moved[32];
            std::snprintf(moved, sizeof moved, "%02.0f%011.8f", whole, (std::abs(degrees) - whole) * 60);
            f[latitude] = moved;
            f[latitude + 1] = degrees < 0 ? "S" : "N";
        }
        for (std::size_t c = 7; type == "GSV" && c < f.size(); c += 4) {
            if (!f[c].empty()) {
                const int cn0 = std::atoi(f[c].c_str()) + cn0Db;
                f[c] = cn0 < 0 ? std::string() : std::to_string(cn0);
            }
        }
        std::string body = f[0];
        for (std::size_t k = 1; k < f.size(); ++k)
            body += ',' + f[k];
        out += Sealed("$" + body) + '\n';
    }
    return out;
}

} // namespace fixwatch::test
