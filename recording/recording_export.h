#pragma once

#include "talkers.h"

#include <QString>

namespace fixwatch {

// Writes the track of the recording `source` to `target`, as GPX, KML or CSV by the target
// name's extension (.gpx, .kml, .csv). The target is replaced only once it is written whole.
// False with the reason in the user's words, the target then left as it was.
bool ExportRecordingTrack(const QString& source, const QString& target, Talkers talkers, QString* reason);

} // namespace fixwatch
