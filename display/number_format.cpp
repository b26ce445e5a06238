#include "number_format.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace fixwatch {
namespace {

// `value` rounded to at most `maxDecimals` and written with at least `minDecimals`, using
// "." as the separator; see the header for the rounding rule.
std::string RoundedFixed(double value, int minDecimals, int maxDecimals)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");

    // The shortest round-trip text in fixed notation: at most 309 integer digits for the
    // largest double, 1074 decimals for the smallest.
    std::array<char, 1100> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                      std::chars_format::fixed);
    std::string text(buffer.data(), result.ptr);

    const auto point = text.find('.');
    std::string whole = point == std::string::npos ? text : text.substr(0, point);
    std::string decimals = point == std::string::npos ? std::string() : text.substr(point + 1);

    if (static_cast<int>(decimals.size()) > maxDecimals) {
        const bool roundUp = decimals[static_cast<std::size_t>(maxDecimals)] >= '5';
        decimals.resize(static_cast<std::size_t>(maxDecimals));
        if (roundUp) {
            // Carry through the kept decimals, then through the whole part.
            int at = maxDecimals - 1;
            for (; at >= 0 && decimals[static_cast<std::size_t>(at)] == '9'; --at)
                decimals[static_cast<std::size_t>(at)] = '0';
            if (at >= 0) {
                ++decimals[static_cast<std::size_t>(at)];
            } else {
                int digit = static_cast<int>(whole.size()) - 1;
                for (; digit >= 0 && whole[static_cast<std::size_t>(digit)] == '9'; --digit)
                    whole[static_cast<std::size_t>(digit)] = '0';
                if (digit >= 0)
                    ++whole[static_cast<std::size_t>(digit)];
                else
                    whole.insert(whole.begin(), '1');
            }
        }
    }
    while (static_cast<int>(decimals.size()) > minDecimals && decimals.back() == '0')
        decimals.pop_back();
    while (static_cast<int>(decimals.size()) < minDecimals)
        decimals.push_back('0');

    // A value that rounds to zero is shown without a sign.
    const bool zero = whole.find_first_not_of('0') == std::string::npos
                      && decimals.find_first_not_of('0') == std::string::npos;
    std::string out = (value < 0 && !zero) ? "-" : "";
    out += whole;
    if (!decimals.empty())
        out += "." + decimals;
    return out;
}

QString WithSeparator(const std::string& text, const QString& decimalPoint)
{
    QString shown = QString::fromLatin1(text);
    const auto point = shown.indexOf(QLatin1Char('.'));
    if (point >= 0)
        shown.replace(point, 1, decimalPoint);
    return shown;
}

} // namespace

QString FormatUpToThreeDecimals(double value, const QString& decimalPoint)
{
    return WithSeparator(RoundedFixed(value, 1, 3), decimalPoint);
}

QString FormatOneDecimal(double value, const QString& decimalPoint)
{
    return WithSeparator(RoundedFixed(value, 1, 1), decimalPoint);
}

QString FormatDecimals(double value, int decimals, const QString& decimalPoint)
{
    const int kept = std::clamp(decimals, 0, 3);
    return WithSeparator(RoundedFixed(value, kept, kept), decimalPoint);
}

int DecimalsCarried(double value)
{
    if (!std::isfinite(value))
        return 0;
    std::array<char, 1100> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                      std::chars_format::fixed);
    const std::string text(buffer.data(), result.ptr);
    const auto point = text.find('.');
    if (point == std::string::npos)
        return 0;
    return std::min(static_cast<int>(text.size() - point - 1), 3);
}

QString FormatInteger(std::int16_t value)
{
    return QString::number(value);
}

QString FormatTwoDigits(int value)
{
    const QString digits = QString::number(std::abs(value)).rightJustified(2, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString FormatDate(const QString& satDate)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})$"));
    const auto match = form.match(satDate);
    if (!match.hasMatch())
        return satDate;

    const int day = match.captured(1).toInt();
    const int month = match.captured(2).toInt();
    int year = match.captured(3).toInt();
    if (match.captured(3).size() == 2)
        year += year <= 68 ? 2000 : 1900;

    const QDate date(year, month, day);
    if (!date.isValid())
        return satDate;
    return FormatTwoDigits(day) + QLatin1Char('/') + FormatTwoDigits(month) + QLatin1Char('/')
           + QString::number(year);
}

} // namespace fixwatch
