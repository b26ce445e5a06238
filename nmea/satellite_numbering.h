#pragma once

#include "gnss_system.h"

#include <optional>
#include <string_view>

namespace fixwatch {

// The system a talker stands for on its own: GL GLONASS, GA Galileo, GB and BD BeiDou, GQ and
// QZ QZSS, GI NavIC. Nothing for GP and GN, whose satellite numbers tell the system, and for
// any other text.
std::optional<GnssSystem> TalkerSystem(std::string_view talker);

// The system of a satellite number as GP and GN sentences send it: 1-32 GPS, 33-64 SBAS,
// 65-96 GLONASS, 120-158 SBAS, 193-199 QZSS, 201-237 BeiDou, 301-336 Galileo, 401-437 BeiDou
// (the extended numbering of NMEA 4.x, as gpsd reads it). Nothing for any other number,
// IMES's 173-182 included.
std::optional<GnssSystem> SystemOfNumber(int number);

// The system a GSA's system ID names (NMEA 4.10 and later): 1 GPS, 2 GLONASS, 3 Galileo,
// 4 BeiDou, 5 QZSS, 6 NavIC. Nothing for any other value.
std::optional<GnssSystem> SystemOfId(int id);

// The satellite's number within its own system, whichever numbering a sentence used, so that
// two sentences numbering one satellite differently agree on it: GLONASS 65-96 are slots
// 1-32, SBAS 33-64 are PRNs 120-151, QZSS 193-202 are 1-10, BeiDou 201-263 and 401-463 are
// 1-63, Galileo 101-136 and 301-336 are 1-36. Other numbers are already their own.
int NativeNumber(GnssSystem system, int number);

} // namespace fixwatch
