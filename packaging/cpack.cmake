# The Debian package: dependencies worked out from the binaries by dpkg-shlibdeps, plus the
# plugins that are only loaded at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fixwatch)
set(CPACK_PACKAGE_VENDOR "Fixwatch developers")
set(CPACK_PACKAGE_CONTACT "${FIXWATCH_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "NMEA-0183 GPS monitor for the Linux desktop")
# The long description without the synopsis (CPack puts that first); CPack indents each line
# and writes an empty line as a paragraph break. Lines stay under 80 columns.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Fixwatch listens to a GPS receiver on a serial port, behind gpsd, on TCP or
on UDP (it never transmits) and shows the current fix: time and date,
position, altitude, speeds, tracks, fix quality, satellites in view and in
use, dilutions of precision, twelve satellite channels with signal bars and a
sky plot of every satellite system. It can log the fix to a daily file, save
the current position on request and compute the checksum of a typed sentence.

Also contains fixwatch-events, which prints what the interpreter makes of a
stream of sentences, and fixwatch-sim, a simulated receiver on a
pseudo-terminal.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG image plugin draws the logo of the splash and About windows; it is loaded at run
# time, so dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
