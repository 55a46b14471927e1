#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace tessik {

// Numbers in an analysis file stand between one leading place (a blank, or the minus sign of
// a negative number) and one trailing blank: " 7 ", "-1 ", " .5 ".
QString integerNumberText(std::int16_t value);

// Whole values as plain digits, exactly ("15", "-3"); others in the general form of at most
// seven significant digits, trailing zeros dropped, no zero before the decimal separator and
// an exponent below 1E-04 (".5", "-.25", "1.5E-05"; a float of 1E+07 or more is always whole).
// The separator is the locale's. A value that is not finite cannot be read back and is
// written as 0.
QString singleNumberText(float value, const QLocale &locale = QLocale());

// The same number without the framing blanks.
QString singleGeneralForm(float value, const QLocale &locale = QLocale());

enum class NumberFault {
    None,
    Empty,      // nothing but blanks (also what a missing element reads as)
    NotANumber, // some text that is no number
    OutOfRange, // a number the type cannot hold
};

struct IntegerFromText {
    std::int16_t value = 0; // 0 whenever there is a fault
    NumberFault fault = NumberFault::None;
};

struct SingleFromText {
    float value = 0; // 0 whenever there is a fault
    NumberFault fault = NumberFault::None;
};

// Text to number the way the user's locale reads it: blanks at both ends ignored, a leading
// sign, the locale's decimal separator and also "." (never taken for a group separator), a
// missing zero before the separator, an exponent. No group separators, no "inf" or "nan".
// An Integer takes the nearest whole number, ties to the even one, and must fit 16 bits;
// a Single must be a finite 32-bit float.
IntegerFromText integerFromText(const QString &text, const QLocale &locale = QLocale());
SingleFromText singleFromText(const QString &text, const QLocale &locale = QLocale());

} // namespace tessik
