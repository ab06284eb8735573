#include "text/numeric_text.h"

#include <cstdlib>
#include <system_error>

#include <fast_float/fast_float.h>

namespace text {
namespace {

// isspace() of the "C" locale; every byte above 127 is not white space.
inline bool is_classic_space(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

locale_t classic_locale() {
  // A process-wide constant, not call state: every call wants the same object.
  static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return classic;
}

double to_number(const char* text, std::size_t length, locale_t classic, double nan) {
  const char* p = text;
  const char* const end = text + length;
  while (p != end && is_classic_space(*p)) ++p;
  const char* const start = p;

  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  double value = 0.0;
  const char* stop = nullptr;
  // The fast parser reads only decimal syntax; "0x..." and the words go to
  // strtod_l. The sign is taken here because the parser refuses a '+' and
  // must not see a second sign ("+-5" converts nothing).
  const bool decimal = p != end && (is_digit(*p) || *p == '.') &&
                       !(p[0] == '0' && p + 1 != end && (p[1] == 'x' || p[1] == 'X'));
  if (decimal) {
    const fast_float::from_chars_result r = fast_float::from_chars(p, end, value);
    if (r.ec != std::errc()) return nan;  // no digit at all, as in "." or "-.e1"
    stop = r.ptr;
    // Rounding to nearest is symmetric, so negating the rounded magnitude is
    // the rounded negative value, -0 included.
    if (negative) value = -value;
  } else {
    char* e = nullptr;
    // Stops at text[length] at the latest, since that byte is zero.
    value = strtod_l(start, &e, classic);
    if (e == start) return nan;
    stop = e;
  }
  while (stop != end && is_classic_space(*stop)) ++stop;
  return stop == end ? value : nan;
}

}  // namespace text
