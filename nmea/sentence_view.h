#pragma once

#include "talkers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace fixwatch {

// One received line read once, for every reader of sentences: the checksum verdict, the
// identifier with its talker and type, and the fields. It holds views into the line, which
// must outlive it, and allocates nothing.
//
// The line is taken as the interpreter takes it: the checksum is the exclusive or of every
// character skipping each "$" and stopping at the first "*", and it matches when its two
// upper-case hexadecimal digits equal the line's last two characters. The fields are what
// remains once the last three characters are cut off (a line of three characters or fewer
// stays whole), split at every ","; field 0 is the identifier ("$GPGGA").
//
// The identifier is found at once, the other fields when first asked for, so that a line no
// reader takes costs only its checksum. The first kStoredFields fields are kept as views; a
// line with more fields still has all of them, the later ones found again when asked for.
class SentenceView {
public:
    static constexpr std::size_t kStoredFields = 40;

    // With Talkers::AllSystems a checksum sent in lower-case digits ("*4f") is accepted as
    // well, as other NMEA readers accept it; by default it is a bad checksum.
    explicit SentenceView(std::string_view line, Talkers talkers = Talkers::GpsOnly);

    std::string_view Text() const { return text_; }

    // The interpreter's acceptance test; a line for which it is false has a bad checksum.
    bool ChecksumMatches() const { return checksumMatches_; }
    // The checksum matches and stands where a sentence has it, after a "*" third from the end.
    bool Sealed() const { return checksumMatches_ && text_.size() >= 3 && text_[text_.size() - 3] == '*'; }
    // The line ends with the right checksum in lower-case hexadecimal digits (whether or not
    // that was accepted).
    bool LowerCaseChecksum() const { return lowerCase_; }
    // The checksum of the text as computed, whatever the line ends with.
    std::uint8_t ComputedChecksum() const { return checksum_; }

    // Field 0: "$", the talker and the type when the line is a sentence.
    std::string_view Identifier() const { return identifier_; }
    // The two letters after "$" and the three after them when the identifier is "$" and five
    // characters; empty otherwise.
    std::string_view Talker() const { return HasAddress() ? identifier_.substr(1, 2) : std::string_view{}; }
    std::string_view Type() const { return HasAddress() ? identifier_.substr(3) : std::string_view{}; }
    // The talker's position in kGnssTalkers, or nothing.
    std::optional<std::size_t> GnssTalker() const
    {
        return gnssTalker_ < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(gnssTalker_));
    }

    // Fields 0 to FieldCount() - 1; there is always at least one.
    std::size_t FieldCount() const { return Split(), count_; }
    // Field k, which must exist.
    std::string_view Field(std::size_t k) const
    {
        Split();
        return k < kStoredFields ? stored_[k] : FarField(k);
    }
    // Field k, or nothing when the line has fewer fields: a missing field is not an empty one.
    std::optional<std::string_view> FieldAt(std::size_t k) const
    {
        return k < FieldCount() ? std::optional(Field(k)) : std::nullopt;
    }
    // Field k, a missing one read as empty.
    std::string_view FieldOrEmpty(std::size_t k) const { return k < FieldCount() ? Field(k) : std::string_view{}; }
    // The fields kept as views: all of them when FieldCount() <= kStoredFields.
    std::span<const std::string_view> StoredFields() const
    {
        Split();
        return {stored_.data(), count_ < kStoredFields ? count_ : kStoredFields};
    }

private:
    bool HasAddress() const { return identifier_.size() == 6 && identifier_[0] == '$'; }
    void Split() const
    {
        if (count_ == 0)
            SplitFields();
    }
    void SplitFields() const;
    std::string_view FarField(std::size_t k) const;

    std::string_view text_;
    std::string_view body_; // the text the fields are split from
    std::string_view identifier_;
    // Filled by the first reader of a field; count_ is 0 until then. A union member is left
    // uninitialised, which spares clearing the whole array for every line.
    union {
        mutable std::array<std::string_view, kStoredFields> stored_;
    };
    mutable std::size_t count_ = 0;
    std::int8_t gnssTalker_ = -1;
    std::uint8_t checksum_ = 0;
    bool checksumMatches_ = false;
    bool lowerCase_ = false;
};

} // namespace fixwatch
