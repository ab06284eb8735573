// One cell's text read as a number exactly as documented, for comparison
// with the fast converter: strtod_l in the "C" locale from the start of the
// text, NaN when it converts nothing, then every remaining byte up to the
// text's length must be classic white space.
#pragma once

#include <clocale>
#include <cstddef>
#include <cstdlib>
#include <locale.h>

namespace literal {

inline double to_number(const char* text, std::size_t length, locale_t classic, double nan) {
  char* stop = nullptr;
  const double value = strtod_l(text, &stop, classic);
  if (stop == text) return nan;
  for (const char* p = stop; p != text + length; ++p) {
    const bool space = *p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r';
    if (!space) return nan;
  }
  return value;
}

}  // namespace literal
