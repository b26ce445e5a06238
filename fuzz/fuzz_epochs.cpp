// Feeds arbitrary text, line by line, to the epoch model behind the History and Accuracy tabs,
// to the accuracy figures of its fixes and to the Console tab's sentence inventory, in both
// readings. Each line also goes in with its checksum made right, so the fuzzer gets past the
// check into the fields. Any crash or sanitizer report is a bug, and so is a history past its
// capacity, an inventory past its row cap, or a rate or figure that is negative or not finite,
// and so is a heading outside 0 to 360 degrees or an expected error below zero.
#include "accuracy_report.h"
#include "epochs.h"
#include "fuzz_lines.h"
#include "sentence_stats.h"
#include "sentence_view.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kCapacity = 64;

void Check(bool promise)
{
    if (!promise)
        std::abort();
}

void CheckFigure(const std::optional<double>& value)
{
    Check(!value || (std::isfinite(*value) && *value >= 0));
}

struct Reading {
    explicit Reading(fixwatch::Talkers t) : talkers(t), epochs(t, kCapacity), stats(t) {}

    void Feed(std::string_view line, std::int64_t nowMs)
    {
        if (epochs.Feed(line))
            CheckEpoch(epochs.History().Newest());
        Check(epochs.History().Size() <= kCapacity);
        if (const auto fix = fixwatch::ReadGgaFix(line, talkers)) {
            Check(std::isfinite(fix->latitude) && std::fabs(fix->latitude) <= 90);
            Check(std::isfinite(fix->longitude) && std::fabs(fix->longitude) <= 180);
            if (fixes.size() < kCapacity)
                fixes.push_back(*fix);
        }
        stats.Count(fixwatch::SentenceView(line, talkers), nowMs);
        Check(stats.Rows().size() <= fixwatch::SentenceStats::kMaxRows);
        for (const auto& row : stats.Rows()) {
            const double rate = stats.Rate(row, nowMs);
            Check(std::isfinite(rate) && rate >= 0);
            Check(!stats.UseOf(row).empty());
        }
    }

    static void CheckEpoch(const fixwatch::Epoch& e)
    {
        Check(!e.trueHeading || (*e.trueHeading >= 0 && *e.trueHeading < 360));
        for (const auto& error : {e.gbsLatitudeError, e.gbsLongitudeError, e.gbsAltitudeError})
            CheckFigure(error);
        Check(!e.gbsSuspectNumber || *e.gbsSuspectNumber > 0);
        Check(!e.fixQuality || (*e.fixQuality >= 0 && *e.fixQuality <= 9));
        if (const auto height = e.EllipsoidHeight())
            Check(std::isfinite(*height));
    }

    void Finish()
    {
        if (epochs.Finish())
            CheckEpoch(epochs.History().Newest());
        Check(epochs.History().Size() <= kCapacity);
        if (const auto report = fixwatch::ReportAccuracy(fixes, std::nullopt)) {
            const auto& f = report->figures;
            for (const double figure : {f.cep50, f.cep95, f.twoDrms, f.sdEast, f.sdNorth})
                CheckFigure(figure);
            CheckFigure(f.r95Altitude);
            CheckFigure(f.sdUp);
        }
    }

    fixwatch::Talkers talkers;
    fixwatch::EpochModel epochs;
    fixwatch::SentenceStats stats;
    std::vector<fixwatch::GgaFix> fixes;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Reading all(fixwatch::Talkers::AllSystems);
    Reading gps(fixwatch::Talkers::GpsOnly);
    std::int64_t nowMs = 0;
    fixwatch::fuzz::ForEachLineAndSealed(text, [&](std::string_view line, bool asSent) {
        // The caller's clock moves on by the line's length, so that rates see seconds pass.
        if (asSent)
            nowMs += static_cast<std::int64_t>(line.size()) * 37;
        all.Feed(line, nowMs);
        gps.Feed(line, nowMs);
    });
    all.Finish();
    gps.Finish();
    return 0;
}
