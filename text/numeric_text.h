// One cell's text read as a single number, identically in every process locale.
//
// text    `length` bytes followed by a zero byte (text[length] == 0). The bytes
//         may themselves contain zeros; a zero is an ordinary character here,
//         never the end of the text.
// classic the "C" locale object from classic_locale(), never null.
// nan     the value returned when the text is not exactly one number.
//
// Leading classic white space (space, \t, \n, \v, \f, \r) is skipped, then the
// longest prefix that strtod converts in the "C" locale is read. The result
// is that value if only classic white space follows it, and `nan` when
// nothing converts or any other byte follows (bytes above 127 included).
// Accepted notations are exactly those of the C library's strtod in the "C"
// locale: decimal numbers with optional sign, optional '.' fraction and
// optional e/E exponent; hexadecimal numbers ("0x1.8p3", "0X10"); "inf",
// "infinity", "nan" and "nan(chars)" in any letter case. A value too large
// for a double gives an infinity of its sign, one too small a subnormal or a
// zero of its sign, as strtod gives them.
//
// Decimal text goes through a correctly rounded parser that needs no locale;
// only the other notations go through strtod_l with `classic`. Both give the
// double nearest to the written value, ties to even, so the split never
// shows in a result.
//
// Reads nothing outside text[0..length], allocates nothing, calls no host.
#pragma once

#include <clocale>
#include <cstddef>
#include <locale.h>

namespace text {

double to_number(const char* text, std::size_t length, locale_t classic, double nan);

// The "C" locale object, made on first use and kept for the life of the
// process; null if the C library could not make it.
locale_t classic_locale();

}  // namespace text
