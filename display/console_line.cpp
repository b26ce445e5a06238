#include "console_line.h"

#include "sentence_stats.h"
#include "sentence_view.h"

#include <array>

namespace fixwatch {

void ConsoleLine::Assign(std::string_view line, bool bad, Talkers talkers, std::int64_t nowMs)
{
    // assign() reuses the slot's capacity: keeping a sentence costs no allocation once the ring
    // is full. A long line's storage is not kept for short ones: under a stream of noise every
    // slot would otherwise grow to the longest line that ever came through it.
    const std::string_view kept = line.substr(0, kMaxKeptLength);
    if (text.capacity() > kReusedCapacity && kept.size() * 2 <= text.capacity())
        std::string().swap(text);
    text.assign(kept);
    cutCharacters = line.size() > kMaxKeptLength ? line.size() - kMaxKeptLength : 0;
    receivedMs = nowMs;
    badChecksum = bad;
    const SentenceView sentence(line);
    talker.assign(sentence.Talker());
    type.assign(sentence.Type());
    unread = !WindowReads(talkers, sentence.Talker(), sentence.Type());
    hasSentChecksum = line.size() >= 3 && line[line.size() - 3] == '*';
    computedChecksum = sentence.ComputedChecksum();
    if (hasSentChecksum && cutCharacters > 0) // the kept text must still end with what was sent
        text.replace(text.size() - 3, 3, line.substr(line.size() - 3));
}

QString VisibleText(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    QString shown;
    shown.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            shown.append(QLatin1Char(c));
        } else {
            shown.append(QLatin1String("\\x"));
            shown.append(QLatin1Char(kHex[byte >> 4]));
            shown.append(QLatin1Char(kHex[byte & 0xF]));
        }
    }
    return shown;
}

QString ChecksumNote(const ConsoleLine& line)
{
    if (!line.badChecksum)
        return {};
    const QString expected = QStringLiteral("%1").arg(line.computedChecksum, 2, 16, QLatin1Char('0')).toUpper();
    if (!line.hasSentChecksum)
        return QStringLiteral("  no checksum, expected %1").arg(expected);
    const QString sent = VisibleText(std::string_view(line.text).substr(line.text.size() - 2));
    // The right sum in lower-case digits is no wrong sum: only the case is refused.
    if (sent != expected && sent.toUpper() == expected)
        return QStringLiteral("  checksum in lower case (%1)").arg(sent);
    return QStringLiteral("  checksum %1, expected %2").arg(sent, expected);
}

QString CutNote(const ConsoleLine& line)
{
    if (line.cutCharacters == 0)
        return {};
    return QStringLiteral(" (%1 more characters not kept)").arg(line.cutCharacters);
}

QColor TypeColour(std::string_view type)
{
    struct Entry {
        std::string_view type;
        QColor colour;
    };
    static const std::array<Entry, 6> kColours{{{"GGA", QColor(0x00, 0x55, 0xAA)},
                                                {"GLL", QColor(0x00, 0x80, 0x80)},
                                                {"GSA", QColor(0x80, 0x40, 0x00)},
                                                {"GSV", QColor(0x6A, 0x1B, 0x9A)},
                                                {"RMC", QColor(0x1B, 0x5E, 0x20)},
                                                {"VTG", QColor(0x8B, 0x00, 0x5A)}}};
    for (const Entry& entry : kColours) {
        if (entry.type == type)
            return entry.colour;
    }
    return QColor(0x30, 0x30, 0x30);
}

} // namespace fixwatch
