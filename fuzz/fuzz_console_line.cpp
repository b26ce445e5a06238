// Feeds arbitrary text, line by line, to the Console tab's line model as the session hands
// lines on: each kept, its row's text made as the view shows it. Any crash or sanitizer report
// is a bug, and so is a kept line past its bound, a ring past its capacity, or a shown text
// with a character that is not printable ASCII (received text must never reach the screen as
// control characters or markup).
#include "console_line.h"
#include "console_model.h"
#include "sentence_view.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool promise)
{
    if (!promise)
        std::abort();
}

void CheckPrintable(const QString& text)
{
    for (const QChar c : text)
        Check(c.unicode() >= 0x20 && c.unicode() < 0x7F);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fixwatch::ConsoleModel model;
    std::int64_t nowMs = 1'000'000;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        for (const auto talkers : {fixwatch::Talkers::GpsOnly, fixwatch::Talkers::AllSystems}) {
            const bool bad = !fixwatch::SentenceView(line, talkers).ChecksumMatches();
            fixwatch::ConsoleLine kept;
            kept.Assign(line, bad, talkers, nowMs);
            Check(kept.text.size() <= fixwatch::ConsoleLine::kMaxKeptLength);
            Check(kept.text.size() + kept.cutCharacters == line.size());
            CheckPrintable(fixwatch::VisibleText(kept.text));
            CheckPrintable(fixwatch::ChecksumNote(kept));
            CheckPrintable(fixwatch::CutNote(kept));
            model.Keep(line, bad, talkers, nowMs);
        }
        nowMs += 7;
        start = end + 1;
    }
    Check(model.KeptLines() <= fixwatch::ConsoleModel::kMaxLines);
    model.CatchUp([](const fixwatch::ConsoleLine& line) { return !line.text.empty(); });
    for (int row = 0; row < model.rowCount(); ++row)
        CheckPrintable(model.RowText(row)); // the time, then the line as visible text
    return 0;
}
