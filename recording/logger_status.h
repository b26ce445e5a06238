#pragma once

#include <QString>

namespace fixwatch {

class SentenceRecorder;

// "…/track.gpx": a file's name, as the status bar names files.
QString ShortPath(const QString& path);

// What the sentence recorder is doing, for the status bar: "Recording to …/x.nmea · 12 KiB",
// "Recording stopped: <why>", and, while `recordedShown`, "Recorded …/x.nmea · 12 KiB" after
// it ended; empty otherwise.
QString RecorderStatusText(const SentenceRecorder& recorder, bool recordedShown);

// What the data logger is doing, with what else writes files beside it, for the status bar.
struct LoggerStatus {
    QString logError;        // why the last record was not written; empty after a written one
    QString logFile;         // the day's log file while the logger runs; empty while it does not
    int intervalSeconds = 0; // between two records while it runs
    QString recorder;        // RecorderStatusText
    QString written;         // what was just written ("Position saved to …/2026-12-09.log")
};

// "Log not written: <why>" or "Logging every 5 s to ~/...", then the recorder's text and what
// was just written, "; " between them; empty when nothing is said. A log file under the home
// folder is named from "~".
QString LoggerStatusText(const LoggerStatus& status, const QString& homeFolder);

} // namespace fixwatch
