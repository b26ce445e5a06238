#include "epochs.h"

#include "field_reading.h"
#include "minimum_fields.h"
#include "satellite_numbering.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <span>

namespace fixwatch {

namespace {

constexpr std::size_t kMaxFields = 40;
constexpr std::size_t kGsaVdop = 17; // the last of the three DOPs that follow twelve satellites
constexpr std::int32_t kDayMs = 24 * 60 * 60 * 1000;
constexpr std::int32_t kHalfDayMs = kDayMs / 2;

// The fields of a sentence whose checksum matches and stands after a "*", the identifier
// first and the "*hh" cut off; empty when the checksum does not match or there are more than
// kMaxFields fields.
std::span<const std::string_view> SealedFields(const SentenceView& sentence)
{
    if (sentence.Text().size() < 4 || !sentence.Sealed() || sentence.FieldCount() > kMaxFields)
        return {};
    return sentence.StoredFields();
}
static_assert(kMaxFields <= SentenceView::kStoredFields);

// Field k, or an empty one when the sentence stops before it: the fields after those that
// kMinimumFields asks for are optional.
std::string_view Optional(std::span<const std::string_view> f, std::size_t k)
{
    return k < f.size() ? f[k] : std::string_view{};
}

// Two times of day that are one instant as far as the coarser of them goes: a receiver that
// sends GLL to the millisecond and GGA to the hundredth (200619.295 and 200619.30).
bool SameInstant(std::int32_t a, int aDecimals, std::int32_t b, int bDecimals)
{
    static constexpr std::int32_t kStepMs[] = {1000, 100, 10, 1};
    const std::int32_t step = kStepMs[std::min(aDecimals, bDecimals)];
    return (a + step / 2) / step == (b + step / 2) / step;
}

// GNS's mode indicator as GGA's quality: one letter per system, the best of them, since the
// position is the one solution they make together ("NDD", GPS without a fix and GLONASS and
// Galileo differential, is a differential fix, as the receiver's own GGA says). Letters no
// edition of NMEA defines are passed over; nothing when no letter is known.
std::optional<int> GnsQuality(std::string_view mode)
{
    // From the best to the least: RTK fixed, RTK float, precise, differential, autonomous,
    // estimated, manual, simulator, no fix; each with GGA's quality.
    static constexpr std::string_view kByRank = "RFPDAEMSN";
    static constexpr std::array<int, 9> kQuality{4, 5, 3, 2, 1, 6, 7, 8, 0};
    std::size_t best = kByRank.size();
    for (char letter : mode)
        best = std::min(best, kByRank.find(letter));
    return best < kByRank.size() ? std::optional(kQuality[best]) : std::nullopt;
}

std::optional<UtcDate> ValidDate(int year, int month, int day)
{
    const std::chrono::year_month_day ymd{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                          std::chrono::day(static_cast<unsigned>(day))};
    if (month < 1 || month > 12 || day < 1 || day > 31 || !ymd.ok())
        return std::nullopt;
    return UtcDate{year, month, day};
}

// The sentence's formatter ("GGA") once its talker is one that `talkers` reads.
std::string_view Formatter(std::string_view identifier, Talkers talkers)
{
    if (identifier.size() != 6 || identifier[0] != '$'
        || !ReadsSentence(talkers, identifier.substr(1, 2), identifier.substr(3)))
        return {};
    return identifier.substr(3);
}

} // namespace

static UtcDate AddDays(const UtcDate& date, int count)
{
    using namespace std::chrono;
    const year_month_day next{sys_days{year_month_day{std::chrono::year(date.year), month(static_cast<unsigned>(date.month)),
                                                      day(static_cast<unsigned>(date.day))}}
                              + days{count}};
    return UtcDate{static_cast<int>(next.year()), static_cast<int>(static_cast<unsigned>(next.month())),
                   static_cast<int>(static_cast<unsigned>(next.day()))};
}

UtcDate UtcDate::NextDay() const { return AddDays(*this, 1); }
UtcDate UtcDate::PreviousDay() const { return AddDays(*this, -1); }

std::optional<UtcDate> ReadIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto year = field::Whole(text.substr(0, 4));
    const auto month = field::Whole(text.substr(5, 2));
    const auto day = field::Whole(text.substr(8, 2));
    if (!year || !month || !day || *year < 1)
        return std::nullopt;
    return ValidDate(*year, *month, *day);
}

bool Epoch::HasFix() const
{
    return latitude && longitude && ((fixQuality && *fixQuality > 0) || rmcStatus == 'A' || (GllOnly() && gllStatus == 'A'));
}

std::optional<GgaFix> ReadGgaFix(std::string_view sentence, Talkers talkers)
{
    return ReadGgaFix(SentenceView(sentence, talkers), talkers);
}

std::optional<GgaFix> ReadGgaFix(const SentenceView& sentence, Talkers talkers)
{
    // $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
    //  0     1      2        3 4         5 6 7  8   9     10 11  12
    const auto f = SealedFields(sentence);
    if (!HasMinimumFields("GGA", f.size()) || Formatter(f[0], talkers) != "GGA")
        return std::nullopt;
    const auto quality = field::Whole(f[6]);
    const auto latitude = field::Coordinate(f[2], f[3], 90);
    const auto longitude = field::Coordinate(f[4], f[5], 180);
    if (!quality || *quality <= 0 || !latitude || !longitude)
        return std::nullopt;
    return GgaFix{field::TimeOfDayMs(f[1]), *latitude, *longitude, field::Decimal(Optional(f, 9)), *quality};
}

EpochHistory::EpochHistory(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

void EpochHistory::Push(const Epoch& epoch)
{
    // A deque grows and drops in blocks: no reallocation copies the whole history, so memory
    // never goes past the capacity's worth, even while it grows.
    if (ring_.size() == capacity_)
        ring_.pop_front();
    ring_.push_back(epoch);
}

void EpochHistory::Clear() { ring_ = {}; }

EpochModel::EpochModel(Talkers talkers, std::size_t capacity, const Sky* sharedSky)
    : talkers_(talkers), sky_(talkers), sharedSky_(sharedSky), ownSky_(sharedSky == nullptr), history_(capacity)
{
}

void EpochModel::Reset()
{
    if (ownSky_)
        sky_.Clear();
    history_.Clear();
    open_ = Epoch{};
    openHasData_ = false;
    gsaDops_ = false;
    ggaTaken_ = false;
    ggaPosition_ = false;
    gnsTaken_ = false;
    gnsPosition_ = false;
    date_ = assumedDate_;
    dateTimeMs_.reset();
    closed_ = 0;
}

bool EpochModel::Feed(std::string_view sentence)
{
    return Feed(SentenceView(sentence, talkers_));
}

bool EpochModel::Feed(const SentenceView& view)
{
    // The formatter first, from the raw text: a GSV goes to the sky alone, which reads it
    // itself, and sentences of no interest cost nothing more.
    const std::string_view sentence = view.Text();
    if (sentence.size() < 7 || sentence[6] != ',')
        return false;
    const std::string_view formatter = Formatter(sentence.substr(0, 6), talkers_);
    if (formatter == "GSV") {
        if (ownSky_)
            sky_.Feed(view);
        return false;
    }
    if (formatter.empty())
        return false;
    using Reader = void (EpochModel::*)(Fields);
    struct Route {
        std::string_view formatter;
        Reader reader;
        bool everySystemOnly; // read only by every system's reading
    };
    static constexpr std::array<Route, 11> kRoutes{{
        {"GGA", &EpochModel::ReadGga, false},
        {"RMC", &EpochModel::ReadRmc, false},
        {"GLL", &EpochModel::ReadGll, false},
        {"VTG", &EpochModel::ReadVtg, false},
        {"GSA", &EpochModel::ReadGsa, false},
        {"GST", &EpochModel::ReadGst, false},
        {"ZDA", &EpochModel::ReadZda, false},
        {"GNS", &EpochModel::ReadGns, true},
        {"GBS", &EpochModel::ReadGbs, true},
        {"HDT", &EpochModel::ReadHdt, true},
        {"THS", &EpochModel::ReadThs, true},
    }};
    const auto route = std::find_if(kRoutes.begin(), kRoutes.end(),
                                    [formatter](const Route& r) { return r.formatter == formatter; });
    if (route == kRoutes.end() || (route->everySystemOnly && talkers_ != Talkers::AllSystems))
        return false;
    const auto fields = SealedFields(view);
    if (fields.empty())
        return false;
    if (formatter == "GSA" && ownSky_)
        sky_.Feed(view);
    if (!HasMinimumFields(formatter, fields.size()))
        return false;
    const std::uint64_t closedBefore = closed_;
    (this->*route->reader)(fields);
    return closed_ != closedBefore;
}

bool EpochModel::Finish()
{
    if (!openHasData_)
        return false;
    Close();
    open_ = Epoch{};
    openHasData_ = false;
    gsaDops_ = false;
    ggaTaken_ = false;
    ggaPosition_ = false;
    gnsTaken_ = false;
    gnsPosition_ = false;
    return true;
}

// A time opens a new epoch unless it is the open epoch's own; the first time of a session
// goes to the epoch that the untimed sentences before it began.
bool EpochModel::TakeTime(std::string_view field)
{
    const auto time = field::TimeOfDayMs(field);
    if (!time)
        return false;
    const int decimals = field::TimeDecimals(field);
    if (open_.timeMs == time || (open_.timeMs && SameInstant(*open_.timeMs, openTimeDecimals_, *time, decimals)))
        return true;
    openTimeDecimals_ = decimals;
    if (open_.timeMs) {
        Finish();
        OpenAt(*time);
    } else {
        OpenAt(*time);
    }
    return true;
}

// The date at `timeMs`, from the date as it stands at its own time of day: a time more than
// twelve hours before it is on the next day (midnight passed), more than twelve after it on
// the day before (a ZDA of just after midnight, ahead of the last epoch of the old day).
std::optional<UtcDate> EpochModel::DateAt(std::int32_t timeMs) const
{
    if (!date_ || !dateTimeMs_)
        return date_;
    if (timeMs < *dateTimeMs_ - kHalfDayMs)
        return date_->NextDay();
    if (timeMs > *dateTimeMs_ + kHalfDayMs)
        return date_->PreviousDay();
    return date_;
}

void EpochModel::OpenAt(std::int32_t timeMs)
{
    date_ = DateAt(timeMs);
    if (date_)
        dateTimeMs_ = timeMs;
    open_.timeMs = timeMs;
    open_.date = date_;
    openHasData_ = true;
}

void EpochModel::TakeDate(const UtcDate& date, std::optional<std::int32_t> timeMs)
{
    date_ = date;
    dateTimeMs_ = timeMs ? timeMs : open_.timeMs;
    if (open_.timeMs)
        open_.date = DateAt(*open_.timeMs);
}

void EpochModel::Close()
{
    const auto& satellites = (ownSky_ ? sky_ : *sharedSky_).Satellites();
    int cn0Count = 0;
    int cn0Sum = 0;
    for (const SkySatellite& s : satellites) {
        const auto system = static_cast<std::size_t>(s.system);
        open_.inViewBySystem[system] = static_cast<std::uint8_t>(std::min(255, open_.inViewBySystem[system] + 1));
        if (!s.used)
            continue;
        open_.usedBySystem[system] = static_cast<std::uint8_t>(std::min(255, open_.usedBySystem[system] + 1));
        if (s.signal) {
            ++cn0Count;
            cn0Sum += *s.signal;
            open_.cn0Max = std::max(open_.cn0Max.value_or(*s.signal), *s.signal);
        }
    }
    if (cn0Count > 0)
        open_.cn0Mean = static_cast<double>(cn0Sum) / cn0Count;
    history_.Push(open_);
    ++closed_;
}

void EpochModel::ReadGga(Fields f)
{
    // $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
    //  0     1      2        3 4         5 6 7  8   9     10 11  12
    TakeTime(f[1]);
    openHasData_ = true;
    const auto latitude = field::Coordinate(f[2], f[3], 90);
    const auto longitude = field::Coordinate(f[4], f[5], 180);
    const bool position = latitude && longitude;
    // The epoch's first GGA gives its values, unless a later one has the position it lacked;
    // they replace whatever a GNS gave.
    if (ggaTaken_ && (ggaPosition_ || !position))
        return;
    ggaTaken_ = true;
    ggaPosition_ = position;
    const auto quality = field::Whole(f[6]);
    open_.fixQuality = quality && *quality >= 0 && *quality <= 9 ? quality : std::nullopt;
    if (position) {
        // GGA's position wins over RMC's or GLL's: it comes with the altitude.
        open_.latitude = latitude;
        open_.longitude = longitude;
    }
    const auto used = field::Whole(Optional(f, 7));
    open_.satellitesUsed = used && *used >= 0 && *used < 256 ? used : std::nullopt;
    if (!gsaDops_)
        open_.hdop = field::NonNegativeDecimal(Optional(f, 8));
    open_.altitude = field::Decimal(Optional(f, 9));
    open_.geoidSeparation = field::Decimal(Optional(f, 11));
}

void EpochModel::ReadRmc(Fields f)
{
    // $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
    //  0     1      2 3        4 5         6 7     8     9      10    11
    TakeTime(f[1]);
    openHasData_ = true;
    if (f[9].size() == 6) {
        const auto day = field::Whole(f[9].substr(0, 2));
        const auto month = field::Whole(f[9].substr(2, 2));
        const auto year = field::Whole(f[9].substr(4, 2));
        if (day && month && year && *year >= 0) {
            // Two-digit years: 80 to 99 are the 1900s, the rest this century.
            if (const auto date = ValidDate(*year >= 80 ? 1900 + *year : 2000 + *year, *month, *day))
                TakeDate(*date, field::TimeOfDayMs(f[1]));
        }
    }
    if (f[2] == "A" || f[2] == "V")
        open_.rmcStatus = f[2][0];
    const auto latitude = field::Coordinate(f[3], f[4], 90);
    const auto longitude = field::Coordinate(f[5], f[6], 180);
    if (latitude && longitude && !open_.latitude) {
        open_.latitude = latitude;
        open_.longitude = longitude;
    }
    if (!open_.speedKnots)
        open_.speedKnots = field::NonNegativeDecimal(f[7]);
    if (!open_.course)
        open_.course = field::NonNegativeDecimal(f[8]);
}

void EpochModel::ReadGll(Fields f)
{
    // $GPGLL,4916.45,N,12311.12,W,225444,A*31
    //  0     1       2 3        4 5      6
    TakeTime(f[5]);
    openHasData_ = true;
    // The status came with NMEA 2.3; GLL without it says nothing of the fix.
    if (const std::string_view status = Optional(f, 6); status == "A" || status == "V")
        open_.gllStatus = status[0];
    const auto latitude = field::Coordinate(f[1], f[2], 90);
    const auto longitude = field::Coordinate(f[3], f[4], 180);
    if (latitude && longitude && !open_.latitude && open_.gllStatus == 'A') {
        open_.latitude = latitude;
        open_.longitude = longitude;
    }
}

void EpochModel::ReadVtg(Fields f)
{
    // $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48
    //  0     1     2 3     4 5     6 7     8
    openHasData_ = true;
    if (!open_.course)
        open_.course = field::NonNegativeDecimal(f[1]);
    if (!open_.speedKnots)
        open_.speedKnots = field::NonNegativeDecimal(f[5]);
}

void EpochModel::ReadGsa(Fields f)
{
    // $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39
    //  0     1 2 3..14                  15  16  17
    openHasData_ = true;
    if (const auto mode = field::Whole(f[2]); mode && *mode >= 1 && *mode <= 3)
        open_.gsaMode = std::max(open_.gsaMode.value_or(1), *mode);
    if (f.size() <= kGsaVdop)
        return; // cut off before its DOPs
    // One GSA per system repeats the same DOPs: the first of the epoch gives them.
    if (!gsaDops_) {
        open_.pdop = field::NonNegativeDecimal(f[kGsaVdop - 2]);
        open_.hdop = field::NonNegativeDecimal(f[kGsaVdop - 1]);
        open_.vdop = field::NonNegativeDecimal(f[kGsaVdop]);
        gsaDops_ = true;
    }
}

void EpochModel::ReadGst(Fields f)
{
    // $GPGST,024603.00,3.2,6.6,4.7,47.3,5.8,5.6,22.0*58
    //  0     1         2   3   4   5    6   7   8
    openHasData_ = true;
    open_.sigmaLatitude = field::NonNegativeDecimal(f[6]);
    open_.sigmaLongitude = field::NonNegativeDecimal(f[7]);
    open_.sigmaAltitude = field::NonNegativeDecimal(f[8]);
}

void EpochModel::ReadZda(Fields f)
{
    // $GPZDA,201530.00,04,07,2002,00,00*60
    //  0     1         2  3  4
    const auto day = field::Whole(f[2]);
    const auto month = field::Whole(f[3]);
    const auto year = field::Whole(f[4]);
    if (day && month && year && *year >= 1980 && *year <= 9999)
        if (const auto date = ValidDate(*year, *month, *day))
            TakeDate(*date, field::TimeOfDayMs(f[1]));
}

void EpochModel::ReadGns(Fields f)
{
    // $GNGNS,213712.000,4111.59903,N,11156.54809,W,AANN,13,0.93,01482.5,-016.5,,*52
    //  0     1          2          3 4           5 6    7  8    9       10     11 12 13
    //  6: one mode letter per system (GPS, GLONASS, Galileo, BeiDou, ...); 11 age and
    //  12 station of the corrections; 13 navigational status (NMEA 4.10)
    TakeTime(f[1]);
    openHasData_ = true;
    const auto latitude = field::Coordinate(f[2], f[3], 90);
    const auto longitude = field::Coordinate(f[4], f[5], 180);
    const bool position = latitude && longitude;
    // GGA says all of this and more: a GNS gives way to the epoch's GGA, whichever came first,
    // and otherwise gives its values as GGA does.
    if (ggaTaken_ || (gnsTaken_ && (gnsPosition_ || !position)))
        return;
    gnsTaken_ = true;
    gnsPosition_ = position;
    open_.fixQuality = GnsQuality(f[6]);
    if (position) {
        open_.latitude = latitude;
        open_.longitude = longitude;
    }
    const auto used = field::Count(Optional(f, 7));
    open_.satellitesUsed = used && *used < 256 ? used : std::nullopt;
    if (!gsaDops_)
        open_.hdop = field::NonNegativeDecimal(Optional(f, 8));
    open_.altitude = field::Decimal(Optional(f, 9));
    open_.geoidSeparation = field::Decimal(Optional(f, 10));
}

void EpochModel::ReadGbs(Fields f)
{
    // $GNGBS,181141.00,4.7,1.9,5.3,87,,-54902.0,57.5*41
    //  0     1         2   3   4   5  6 7        8    9 10
    //  2-4 expected errors of latitude, longitude, altitude; 5 the satellite most likely
    //  failed; 6 its probability of missed detection; 7-8 the bias and its standard
    //  deviation; 9 system ID and 10 signal ID (NMEA 4.10)
    openHasData_ = true;
    open_.gbsLatitudeError = field::NonNegativeDecimal(f[2]);
    open_.gbsLongitudeError = field::NonNegativeDecimal(f[3]);
    open_.gbsAltitudeError = field::NonNegativeDecimal(f[4]);
    const auto suspect = field::Whole(Optional(f, 5));
    open_.gbsSuspectNumber = suspect && *suspect > 0 ? suspect : std::nullopt;
    open_.gbsSuspectSystem.reset();
    if (open_.gbsSuspectNumber) {
        const auto systemId = field::Whole(Optional(f, 9));
        const auto talkerSystem = TalkerSystem(f[0].substr(1, 2));
        open_.gbsSuspectSystem = systemId       ? SystemOfId(*systemId)
                                 : talkerSystem ? talkerSystem
                                                : SystemOfNumber(*open_.gbsSuspectNumber);
    }
}

void EpochModel::ReadHdt(Fields f)
{
    // $GNHDT,244.28,T*13
    //  0     1      2
    openHasData_ = true;
    if (!open_.trueHeading && f[2] == "T")
        open_.trueHeading = field::Direction(f[1]);
}

void EpochModel::ReadThs(Fields f)
{
    // $GNTHS,244.28,A*11
    //  0     1      2 mode: A autonomous, E estimated, M manual, S simulator, V not valid
    openHasData_ = true;
    const std::string_view mode = f[2];
    if (!open_.trueHeading && (mode == "A" || mode == "E" || mode == "M" || mode == "S"))
        open_.trueHeading = field::Direction(f[1]);
}

} // namespace fixwatch
