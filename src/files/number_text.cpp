#include "files/number_text.h"

#include "model/rounding.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tessik {

namespace {

QString framed(const QString &magnitude, bool negative)
{
    return (negative ? QLatin1Char('-') : QLatin1Char(' ')) + magnitude + QLatin1Char(' ');
}

// The exact decimal digits of a whole value; a float above 2^24 is still whole, however long.
QString wholeDigits(double magnitude)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 0);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString generalMagnitude(double magnitude, const QString &separator)
{
    // Seven significant digits, rounded once, decide both the form and the digits.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 6);
    const std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    const int exponent = std::stoi(text.substr(e + 1));
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (exponent < -4 || exponent >= 7) {
        QString mantissa = QString::fromLatin1(digits.substr(0, 1));
        if (digits.size() > 1)
            mantissa += separator + QString::fromLatin1(digits.substr(1));
        const int absExponent = std::abs(exponent);
        return mantissa + QLatin1Char('E') + QLatin1Char(exponent < 0 ? '-' : '+') +
               QString::number(absExponent).rightJustified(2, QLatin1Char('0'));
    }
    std::string whole;
    std::string fraction;
    if (exponent >= 0) {
        digits.resize(std::max<size_t>(digits.size(), size_t(exponent) + 1), '0');
        whole = digits.substr(0, size_t(exponent) + 1);
        fraction = digits.substr(size_t(exponent) + 1);
    } else {
        fraction = std::string(size_t(-exponent - 1), '0') + digits;
    }
    QString out = QString::fromLatin1(whole);
    if (!fraction.empty())
        out += separator + QString::fromLatin1(fraction);
    return out.isEmpty() ? QStringLiteral("0") : out;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

struct ParsedNumber {
    double value = 0;
    NumberFault fault = NumberFault::None;
};

ParsedNumber parseNumber(const QString &text, const QLocale &locale)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == end)
        return {0, NumberFault::Empty};

    const ParsedNumber notANumber{0, NumberFault::NotANumber};
    qsizetype i = begin;
    bool negative = false;
    if (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))
        negative = text[i++] == QLatin1Char('-');

    // The significant digits (from the first non-zero one) and where the decimal point
    // falls among them: value = 0.digits x 10^pointPosition.
    std::string digits;
    long long pointPosition = 0;
    qsizetype digitCount = 0;
    constexpr size_t kKeptDigits = 40; // far more than a double can tell apart
    for (; i < end && isDigit(text[i]); ++i, ++digitCount) {
        if (digits.empty() && text[i] == QLatin1Char('0'))
            continue;
        if (digits.size() < kKeptDigits)
            digits.push_back(char(text[i].unicode()));
        ++pointPosition;
    }
    const QString separator = locale.decimalPoint();
    const auto atSeparator = [&](qsizetype at) -> qsizetype {
        if (!separator.isEmpty() && QStringView(text).mid(at, end - at).startsWith(separator))
            return separator.size();
        return text[at] == QLatin1Char('.') ? 1 : 0;
    };
    if (i < end) {
        if (const qsizetype width = atSeparator(i); width > 0) {
            i += width;
            for (; i < end && isDigit(text[i]); ++i, ++digitCount) {
                if (digits.empty() && text[i] == QLatin1Char('0')) {
                    --pointPosition;
                    continue;
                }
                if (digits.size() < kKeptDigits)
                    digits.push_back(char(text[i].unicode()));
            }
        }
    }
    if (digitCount == 0)
        return notANumber;

    long long exponent = 0;
    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
            negativeExponent = text[i++] == QLatin1Char('-');
        if (i == end || !isDigit(text[i]))
            return notANumber;
        for (; i < end && isDigit(text[i]); ++i)
            exponent = std::min<long long>(exponent * 10 + (text[i].unicode() - '0'), 1'000'000'000);
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != end)
        return notANumber;
    if (digits.empty())
        return {0, NumberFault::None};

    // Beyond these the value is certainly out of every range, or certainly zero; within them
    // the exponent is small enough for from_chars.
    const long long magnitude = pointPosition + exponent;
    if (magnitude > 400)
        return {0, NumberFault::OutOfRange};
    if (magnitude < -400)
        return {0, NumberFault::None};
    const std::string normal = "0." + digits + "e" + std::to_string(magnitude);
    double value = 0;
    const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return magnitude > 0 ? ParsedNumber{0, NumberFault::OutOfRange} : ParsedNumber{0, NumberFault::None};
    if (result.ec != std::errc() || result.ptr != normal.data() + normal.size())
        return notANumber;
    return {negative ? -value : value, NumberFault::None};
}

} // namespace

QString integerNumberText(std::int16_t value)
{
    const int wide = value;
    return framed(QString::number(std::abs(wide)), wide < 0);
}

QString singleGeneralForm(float value, const QLocale &locale)
{
    if (!std::isfinite(value) || value == 0.0f)
        return QStringLiteral("0");
    const double magnitude = std::fabs(double(value));
    const QString digits = std::trunc(magnitude) == magnitude ? wholeDigits(magnitude)
                                                              : generalMagnitude(magnitude, locale.decimalPoint());
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString singleNumberText(float value, const QLocale &locale)
{
    const QString text = singleGeneralForm(value, locale);
    if (text.startsWith(QLatin1Char('-')))
        return framed(text.mid(1), true);
    return framed(text, false);
}

IntegerFromText integerFromText(const QString &text, const QLocale &locale)
{
    const ParsedNumber parsed = parseNumber(text, locale);
    if (parsed.fault != NumberFault::None)
        return {0, parsed.fault};
    const double rounded = roundHalfEven(parsed.value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return {0, NumberFault::OutOfRange};
    return {static_cast<std::int16_t>(rounded), NumberFault::None};
}

SingleFromText singleFromText(const QString &text, const QLocale &locale)
{
    const ParsedNumber parsed = parseNumber(text, locale);
    if (parsed.fault != NumberFault::None)
        return {0, parsed.fault};
    if (std::fabs(parsed.value) > double(std::numeric_limits<float>::max()))
        return {0, NumberFault::OutOfRange};
    return {static_cast<float>(parsed.value), NumberFault::None};
}

} // namespace tessik
