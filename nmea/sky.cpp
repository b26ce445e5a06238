#include "sky.h"

#include "field_reading.h"
#include "minimum_fields.h"
#include "satellite_numbering.h"

#include <algorithm>
#include <bit>
#include <tuple>

namespace fixwatch {
namespace {

constexpr std::size_t kMaxFields = 32; // data fields of one GSV or GSA, more is not NMEA
static_assert(kMaxFields < SentenceView::kStoredFields);
constexpr std::size_t kMaxGsvFields = 3 + 4 * 4 + 1;
constexpr std::uint8_t kNoSignalId = 0;
constexpr std::uint8_t kUnreadableSignalId = 17;

// The signal ID field as a signal key: 1 to 16 for the hexadecimal digits 0 to F,
// kUnreadableSignalId for anything else, an empty field included.
std::uint8_t SignalKey(std::string_view field)
{
    if (field.size() != 1)
        return kUnreadableSignalId;
    const char c = field[0];
    if (c >= '0' && c <= '9')
        return static_cast<std::uint8_t>(1 + (c - '0'));
    if (c >= 'A' && c <= 'F')
        return static_cast<std::uint8_t>(11 + (c - 'A'));
    return kUnreadableSignalId;
}

// The signal ID as sent for a signal key.
char SignalIdText(std::uint8_t key)
{
    if (key == kNoSignalId)
        return 0;
    if (key == kUnreadableSignalId)
        return '?';
    return "0123456789ABCDEF"[key - 1];
}

// The system of a satellite that a sentence of a talker of `talkerSystem` (nothing for GP and
// GN) lists as `number`.
std::optional<GnssSystem> SatelliteSystem(std::optional<GnssSystem> talkerSystem, int number)
{
    return talkerSystem ? talkerSystem : SystemOfNumber(number);
}

} // namespace

Sky::Sky(Talkers talkers) : talkers_(talkers) {}

void Sky::Clear()
{
    *this = Sky(talkers_);
}

bool Sky::Feed(std::string_view sentence)
{
    return Feed(SentenceView(sentence));
}

bool Sky::Feed(const SentenceView& sentence)
{
    if (!sentence.Sealed())
        return false;

    // "$" talker formatter "," fields "*" checksum; any other sentence ends a GSA run.
    const std::string_view formatter = sentence.Type();
    const auto talker = sentence.GnssTalker();
    const std::size_t count = sentence.FieldCount() - 1; // data fields
    if (!talker || !ReadsTalker(talkers_, sentence.Talker()) || (formatter != "GSV" && formatter != "GSA")
        || !HasMinimumFields(formatter, count + 1) || count > kMaxFields) {
        gsaRunTalker_ = -1;
        return false;
    }
    const std::string_view* fields = sentence.StoredFields().data() + 1;
    const auto talkerSystem = TalkerSystem(sentence.Talker());
    if (formatter == "GSA")
        return FeedGsa(*talker, talkerSystem, fields, count);
    gsaRunTalker_ = -1;
    return FeedGsv(*talker, talkerSystem, fields, count);
}

// $GPGSV,3,1,12,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11,1*60
//        1 2 3  satellite blocks 4-7, 8-11, 12-15, 16-19: number, elevation, azimuth, SNR;
//               then the signal ID (NMEA 4.10) when the field count is 3 + 4n + 1
bool Sky::FeedGsv(std::size_t talker, std::optional<GnssSystem> talkerSystem, const std::string_view* f,
                  std::size_t count)
{
    // At least the three fields before the satellites, as kMinimumFields asks.
    if (count > kMaxGsvFields || (count - 3) % 4 > 1)
        return false;
    const bool hasSignalId = (count - 3) % 4 == 1;
    const std::size_t blocks = (count - 3) / 4;
    const int total = field::TruncatedWhole(f[0], kMaxMessages).value_or(-1);
    const int message = field::TruncatedWhole(f[1], kMaxMessages).value_or(-1);
    if (total < 1 || message < 1 || message > total)
        return false;
    const std::uint8_t signal = hasSignalId ? SignalKey(f[count - 1]) : kNoSignalId;

    // Listings change here and there; the sky is rebuilt once at the end, so that Feed says
    // whether it changed from before the call.
    TalkerState& state = states_[talker];
    state.lastSeen[signal] = ++gsvMessages_;
    state.seenSignals |= 1u << signal;
    SystemSet changed = 0;
    if (message == 1) {
        if (state.startBefore[signal] != 0)
            changed = DropSilentSignals(state.startBefore[signal]);
        state.startBefore[signal] = state.lastStart[signal];
        state.lastStart[signal] = gsvMessages_;
        state.total = total;
        state.next = 1;
        state.sequenceSignals = 0;
        state.gathering.clear();
    } else if (state.total != total || state.next != message) {
        state.total = 0; // a message is missing or out of place: the sequence is cut off
        state.gathering.clear();
        return false;
    }

    state.sequenceSignals |= 1u << signal;
    for (std::size_t block = 0; block < blocks; ++block) {
        const std::string_view* b = f + 3 + 4 * block;
        const int number = field::TruncatedWhole(b[0], kMaxNumber).value_or(-1);
        if (number < 1)
            continue; // an empty block pads the last message
        const auto system = SatelliteSystem(talkerSystem, number);
        if (!system)
            continue;
        Listing listing;
        listing.key = static_cast<std::uint16_t>(static_cast<int>(*system) * kNumbersPerSystem
                                                 + NativeNumber(*system, number) % kNumbersPerSystem);
        listing.number = static_cast<std::uint16_t>(number);
        listing.elevation = static_cast<std::int16_t>(field::TruncatedWhole(b[1], 90).value_or(-1));
        listing.azimuth = static_cast<std::int16_t>(field::TruncatedWhole(b[2], 359).value_or(-1));
        listing.snr = static_cast<std::int16_t>(field::TruncatedWhole(b[3], 99).value_or(-1));
        listing.signal = signal;
        state.gathering.push_back(listing);
    }
    state.next = message + 1;
    if (message == total)
        changed |= Commit(state);
    return changed != 0 && Rebuild(changed);
}

// Drops what every talker's signal listed when none of its messages came since `since`; the
// systems of what went.
Sky::SystemSet Sky::DropSilentSignals(std::uint64_t since)
{
    SystemSet dropped = 0;
    for (TalkerState& state : states_) {
        if (state.listed.empty())
            continue;
        std::uint32_t silent = 0;
        for (std::uint32_t seen = state.seenSignals; seen != 0; seen &= seen - 1) {
            const int signal = std::countr_zero(seen);
            if (state.lastSeen[static_cast<std::size_t>(signal)] < since)
                silent |= 1u << signal;
        }
        if (silent == 0)
            continue;
        std::erase_if(state.listed, [silent, &dropped](const Listing& l) {
            const bool silenced = (silent >> l.signal) & 1u;
            if (silenced)
                dropped |= SystemOfKey(l.key);
            return silenced;
        });
    }
    return dropped;
}

// Replaces what the talker listed for the signals of the sequence just completed; the systems
// of what went and what came, whose satellites this can change.
Sky::SystemSet Sky::Commit(TalkerState& state)
{
    const std::uint32_t signals = state.sequenceSignals;
    if ((signals & (signals - 1)) != 0)
        state.numbersAcrossSignals = true;
    std::uint32_t replaced = signals;
    if (state.numbersAcrossSignals || (state.gathering.empty() && signals == (1u << kNoSignalId)))
        replaced = ~0u;
    SystemSet touched = 0;
    std::erase_if(state.listed, [replaced, &touched](const Listing& l) {
        const bool gone = (replaced >> l.signal) & 1u;
        if (gone)
            touched |= SystemOfKey(l.key);
        return gone;
    });

    ++commits_;
    const std::size_t added = std::min(state.gathering.size(), kMaxListed - state.listed.size());
    for (std::size_t i = 0; i < added; ++i) {
        state.gathering[i].stamp = commits_;
        touched |= SystemOfKey(state.gathering[i].key);
    }
    state.listed.insert(state.listed.end(), state.gathering.begin(),
                        state.gathering.begin() + static_cast<std::ptrdiff_t>(added));
    state.gathering.clear();
    state.total = 0;
    return touched;
}

// $GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1*03
//        1 2 3-14 satellites used             15   16   17   18 system ID (NMEA 4.10)
// Some receivers send more than twelve satellite fields; the three DOPs are always last.
bool Sky::FeedGsa(std::size_t talker, std::optional<GnssSystem> talkerSystem, const std::string_view* f,
                  std::size_t count)
{
    // A system ID is one character; SiRF receivers send a fourth DOP in the same place.
    int systemId = 0;
    std::size_t lastSatellite = count >= 6 ? count - 4 : 1; // 0-based index of the last satellite field
    if (count == 18) {
        lastSatellite = 13;
        if (f[17].size() == 1) {
            systemId = field::TruncatedWhole(f[17], 9).value_or(-1);
            if (!SystemOfId(systemId)) {
                gsaRunTalker_ = -1;
                return false; // a system this program does not know
            }
        }
    }
    ++gsaSentences_;

    if (f[1] == "1") { // the fix mode, there as kMinimumFields asks
        // No fix: no satellite is used, whatever any GSA said before.
        for (TalkerState& state : states_) {
            for (auto& slot : state.used)
                slot.clear();
        }
        gsaRunTalker_ = -1;
        return RefreshUsed();
    }

    TalkerState& state = states_[talker];
    const auto slot = static_cast<std::size_t>(systemId);
    std::vector<std::uint16_t>& used = state.used[slot];
    // A receiver that uses more than twelve satellites of one system sends its GSA twice in a
    // row: the second adds to the first. Anything else between them starts afresh.
    if (gsaRunTalker_ != static_cast<int>(talker) || gsaRunSlot_ != systemId) {
        if (state.usedBefore[slot] != 0)
            DropSilentUsed(state.usedBefore[slot]);
        state.usedBefore[slot] = state.usedSince[slot];
        state.usedSince[slot] = gsaSentences_;
        used.clear();
    }
    gsaRunTalker_ = static_cast<int>(talker);
    gsaRunSlot_ = systemId;

    for (std::size_t i = 2; i <= lastSatellite && i < count; ++i) {
        const int number = field::TruncatedWhole(f[i], kMaxNumber).value_or(-1);
        if (number < 1)
            continue;
        std::optional<GnssSystem> system;
        if (systemId == 1) {
            system = SystemOfNumber(number); // GPS with its SBAS and QZSS satellites
            if (system != GnssSystem::GPS && system != GnssSystem::SBAS && system != GnssSystem::QZSS)
                continue;
        } else if (systemId != 0) {
            system = SystemOfId(systemId);
        } else {
            system = SatelliteSystem(talkerSystem, number);
        }
        if (!system)
            continue;
        const auto key = static_cast<std::uint16_t>(static_cast<int>(*system) * kNumbersPerSystem
                                                    + NativeNumber(*system, number) % kNumbersPerSystem);
        if (used.size() < kMaxListed && std::find(used.begin(), used.end(), key) == used.end())
            used.push_back(key);
    }
    return RefreshUsed();
}

// Forgets what a talker and system's GSA said when none came since `since`.
void Sky::DropSilentUsed(std::uint64_t since)
{
    for (TalkerState& state : states_) {
        for (std::size_t slot = 0; slot < state.used.size(); ++slot) {
            if (state.usedSince[slot] < since)
                state.used[slot].clear();
        }
    }
}

bool Sky::RefreshUsed()
{
    usedKeys_.reset();
    for (const TalkerState& state : states_) {
        for (const auto& slot : state.used) {
            for (std::uint16_t key : slot)
                usedKeys_.set(key);
        }
    }
    bool changed = false;
    for (std::size_t i = 0; i < satellites_.size(); ++i) {
        const bool used = usedKeys_.test(keys_[i]);
        if (satellites_[i].used != used) {
            satellites_[i].used = used;
            changed = true;
        }
    }
    return changed;
}

// True when listing a of a satellite goes before listing b: the latest first; the rest only
// makes the order complete.
bool Sky::Before(const Listing& a, const Listing& b)
{
    if (a.stamp != b.stamp)
        return a.stamp > b.stamp;
    return std::tie(a.signal, a.elevation, a.azimuth, a.snr, a.number)
           < std::tie(b.signal, b.elevation, b.azimuth, b.snr, b.number);
}

// Merges every talker's listings of `systems` into the sky: one satellite per system and
// number within its system, with its strongest signal and the position of its latest listing
// that had one. The satellites of other systems cannot have changed and are kept.
bool Sky::Rebuild(SystemSet systems)
{
    // One pass over the listings, gathering per satellite key.
    merges_.clear();
    mergeKeys_.clear();
    for (const TalkerState& state : states_) {
        for (const Listing& l : state.listed) {
            if ((SystemOfKey(l.key) & systems) == 0)
                continue;
            std::uint16_t& slot = mergeSlots_[l.key];
            if (slot == 0) {
                merges_.emplace_back();
                mergeKeys_.push_back(l.key);
                slot = static_cast<std::uint16_t>(merges_.size());
            }
            Merge& m = merges_[slot - 1u];
            const std::size_t signalsAt = (slot - 1u) * std::size_t{kSignalKeys};
            if (mergeSignals_.size() < signalsAt + kSignalKeys)
                mergeSignals_.resize(signalsAt + kSignalKeys);
            const Listing*& bySignal = mergeSignals_[signalsAt + l.signal];
            if (!m.latest || Before(l, *m.latest))
                m.latest = &l;
            if (l.elevation >= 0 && (!m.elevated || Before(l, *m.elevated)))
                m.elevated = &l;
            if (l.azimuth >= 0 && (!m.placed || Before(l, *m.placed)))
                m.placed = &l;
            m.snr = std::max(m.snr, l.snr);
            const std::uint32_t bit = 1u << l.signal;
            if ((m.signalKeys & bit) == 0 || Before(l, *bySignal)) {
                m.signalKeys |= bit;
                bySignal = &l;
            }
        }
    }
    std::sort(mergeKeys_.begin(), mergeKeys_.end());

    rebuilt_.resize(mergeKeys_.size());
    rebuiltKeys_.assign(mergeKeys_.begin(), mergeKeys_.end());
    for (std::size_t k = 0; k < mergeKeys_.size(); ++k) {
        const std::uint16_t key = mergeKeys_[k];
        const std::size_t position = mergeSlots_[key] - 1u;
        const Merge& m = merges_[position];
        mergeSlots_[key] = 0;
        // Written field by field over what the slot held: a whole new satellite, built and
        // copied each time, is what a rebuild would spend most of its time on.
        SkySatellite& satellite = rebuilt_[k];
        const std::uint8_t signalsBefore = satellite.signalCount;
        satellite.system = static_cast<GnssSystem>(key / kNumbersPerSystem);
        satellite.number = m.latest->number;
        satellite.elevation = m.elevated ? std::optional<int>(m.elevated->elevation) : std::nullopt;
        satellite.azimuth = m.placed ? std::optional<int>(m.placed->azimuth) : std::nullopt;
        satellite.signal = m.snr >= 0 ? std::optional<int>(m.snr) : std::nullopt;
        satellite.used = usedKeys_.test(key);
        satellite.signalCount = 0;
        for (std::uint32_t left = m.signalKeys; left != 0 && satellite.signalCount < SkySatellite::kMaxSignals;
             left &= left - 1) {
            const Listing& l = *mergeSignals_[position * kSignalKeys + static_cast<std::size_t>(std::countr_zero(left))];
            SkySignal& signal = satellite.perSignal[satellite.signalCount++];
            signal.id = SignalIdText(l.signal);
            signal.cn0 = l.snr;
            signal.listed = static_cast<std::uint32_t>(l.stamp);
        }
        // Signals past the count stay as in a new satellite, so that satellites compare equal
        // when they list the same.
        std::fill(satellite.perSignal.begin() + satellite.signalCount,
                  satellite.perSignal.begin() + std::max(signalsBefore, satellite.signalCount), SkySignal{});
    }

    // Keys follow the numbers within a system except where one system mixes numberings.
    auto bySystemThenNumber = [](const SkySatellite& a, const SkySatellite& b) {
        return a.system != b.system ? a.system < b.system : a.number < b.number;
    };
    if (!std::is_sorted(rebuilt_.begin(), rebuilt_.end(), bySystemThenNumber)) {
        std::vector<std::size_t> order(rebuilt_.size());
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return bySystemThenNumber(rebuilt_[a], rebuilt_[b]);
        });
        std::vector<SkySatellite> satellites;
        std::vector<std::uint16_t> keys;
        for (std::size_t k : order) {
            satellites.push_back(rebuilt_[k]);
            keys.push_back(rebuiltKeys_[k]);
        }
        rebuilt_.swap(satellites);
        rebuiltKeys_.swap(keys);
    }

    // The satellites of the rebuilt systems usually stand together (one system, or neighbours):
    // compare and replace them in place.
    const auto first = static_cast<GnssSystem>(std::countr_zero(systems));
    const auto last = static_cast<GnssSystem>(31 - std::countl_zero(systems));
    const auto from = std::partition_point(satellites_.begin(), satellites_.end(),
                                           [first](const SkySatellite& s) { return s.system < first; });
    const auto to = std::partition_point(from, satellites_.end(), [last](const SkySatellite& s) { return s.system <= last; });
    const auto rebuiltSystem = [systems](const SkySatellite& s) { return ((systems >> static_cast<int>(s.system)) & 1u) != 0; };
    if (std::all_of(from, to, rebuiltSystem)) {
        if (std::equal(from, to, rebuilt_.begin(), rebuilt_.end())) {
            // Only when each signal was last listed moved on.
            for (auto shown = from; const SkySatellite& now : rebuilt_) {
                for (std::size_t i = 0; i < now.signalCount; ++i)
                    shown->perSignal[i].listed = now.perSignal[i].listed;
                ++shown;
            }
            return false;
        }
        const auto at = from - satellites_.begin();
        const auto keysFrom = keys_.begin() + at, keysTo = keys_.begin() + (to - satellites_.begin());
        satellites_.insert(satellites_.erase(from, to), rebuilt_.begin(), rebuilt_.end());
        keys_.insert(keys_.erase(keysFrom, keysTo), rebuiltKeys_.begin(), rebuiltKeys_.end());
        return true;
    }

    // Otherwise both lists are in system order and each system comes from one of them: merge
    // by system.
    nextSatellites_.clear();
    nextKeys_.clear();
    std::size_t kept = 0, fresh = 0;
    while (kept < satellites_.size() || fresh < rebuilt_.size()) {
        if (kept < satellites_.size() && (SystemOfKey(keys_[kept]) & systems) != 0) {
            ++kept; // replaced by what was just merged
        } else if (fresh < rebuilt_.size()
                   && (kept == satellites_.size() || rebuilt_[fresh].system < satellites_[kept].system)) {
            nextSatellites_.push_back(rebuilt_[fresh]);
            nextKeys_.push_back(rebuiltKeys_[fresh]);
            ++fresh;
        } else {
            nextSatellites_.push_back(satellites_[kept]);
            nextKeys_.push_back(keys_[kept]);
            ++kept;
        }
    }

    const bool changed = nextSatellites_ != satellites_;
    satellites_.swap(nextSatellites_);
    keys_.swap(nextKeys_);
    return changed;
}

} // namespace fixwatch
