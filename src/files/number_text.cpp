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
        return mantissa + QString::asprintf("E%+03d", exponent); // a sign and at least two digits
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

// A number with a fault has no value: its callers give the field their own.
struct ParsedNumber {
    double value = 0;
    NumberFault fault = NumberFault::None;
};

// Far more significant digits than a double can tell apart.
constexpr size_t kKeptDigits = 40;

// Reads a number text from left to right: sign, digits, decimal separator, digits, exponent.
class NumberScanner {
public:
    NumberScanner(const QString &text, const QLocale &locale) : m_text(text), m_separator(locale.decimalPoint())
    {
        m_end = text.size();
        while (m_at < m_end && isBlank(text[m_at]))
            ++m_at;
        while (m_end > m_at && isBlank(text[m_end - 1]))
            --m_end;
    }

    ParsedNumber parse()
    {
        if (m_at == m_end)
            return {.fault = NumberFault::Empty};
        const bool negative = readSign();
        readWholeDigits();
        readFraction();
        if (m_digitCount == 0 || !readExponent() || m_at != m_end)
            return {.fault = NumberFault::NotANumber};
        const ParsedNumber magnitude = value();
        // A zero stays a plain zero, whatever its sign.
        return {negative && magnitude.value != 0 ? -magnitude.value : magnitude.value, magnitude.fault};
    }

private:
    bool readSign()
    {
        const QChar c = m_text[m_at];
        if (c != QLatin1Char('-') && c != QLatin1Char('+'))
            return false;
        ++m_at;
        return c == QLatin1Char('-');
    }

    // The significant digits (from the first non-zero one) and where the decimal point falls
    // among them: value = 0.digits x 10^pointPosition.
    void readWholeDigits()
    {
        for (; m_at < m_end && isDigit(m_text[m_at]); ++m_at, ++m_digitCount) {
            if (m_digits.empty() && m_text[m_at] == QLatin1Char('0'))
                continue;
            keepDigit(m_text[m_at]);
            ++m_pointPosition;
        }
    }

    void readFraction()
    {
        const qsizetype width = separatorWidth();
        if (width == 0)
            return;
        for (m_at += width; m_at < m_end && isDigit(m_text[m_at]); ++m_at, ++m_digitCount) {
            if (m_digits.empty() && m_text[m_at] == QLatin1Char('0'))
                --m_pointPosition;
            else
                keepDigit(m_text[m_at]);
        }
    }

    // The locale's separator, or "." (never taken for a group separator).
    qsizetype separatorWidth() const
    {
        if (m_at >= m_end)
            return 0;
        if (!m_separator.isEmpty() && QStringView(m_text).mid(m_at, m_end - m_at).startsWith(m_separator))
            return m_separator.size();
        return m_text[m_at] == QLatin1Char('.') ? 1 : 0;
    }

    bool readExponent()
    {
        if (m_at == m_end || (m_text[m_at] != QLatin1Char('e') && m_text[m_at] != QLatin1Char('E')))
            return true;
        ++m_at;
        const bool negative = m_at < m_end && readSign();
        if (m_at == m_end || !isDigit(m_text[m_at]))
            return false;
        for (; m_at < m_end && isDigit(m_text[m_at]); ++m_at)
            m_exponent = std::min<long long>(m_exponent * 10 + (m_text[m_at].unicode() - '0'), 1'000'000'000);
        if (negative)
            m_exponent = -m_exponent;
        return true;
    }

    void keepDigit(QChar c)
    {
        if (m_digits.size() < kKeptDigits)
            m_digits.push_back(char(c.unicode()));
    }

    ParsedNumber value() const
    {
        if (m_digits.empty())
            return {0, NumberFault::None};
        const long long magnitude = m_pointPosition + m_exponent;
        const std::string normal = "0." + m_digits + "e" + std::to_string(magnitude);
        double result = 0;
        const auto parsed = std::from_chars(normal.data(), normal.data() + normal.size(), result);
        if (parsed.ec == std::errc::result_out_of_range)
            return {0, magnitude > 0 ? NumberFault::OutOfRange : NumberFault::None};
        if (parsed.ec != std::errc() || parsed.ptr != normal.data() + normal.size())
            return {.fault = NumberFault::NotANumber};
        return {result, NumberFault::None};
    }

    const QString &m_text;
    const QString m_separator;
    qsizetype m_at = 0;
    qsizetype m_end = 0;
    std::string m_digits;
    long long m_pointPosition = 0;
    long long m_exponent = 0;
    qsizetype m_digitCount = 0;
};

ParsedNumber parseNumber(const QString &text, const QLocale &locale)
{
    return NumberScanner(text, locale).parse();
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
