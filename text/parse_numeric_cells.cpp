// parse_numeric_cells(in): each cell of a cell array read as one number, NaN
// where a cell is not exactly one number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "host/mex_host.h"
#include "text/numeric_text.h"

namespace {

const char* const kNoMemory = "Could not allocate memory";

// One heap buffer for the text of every cell in turn: 100 bytes hold any
// string of up to 99 characters, and it grows to exactly what a longer one
// needs, never shrinking, so a call reallocates at most once per new longest
// string.
struct TextBuffer {
  char* bytes = nullptr;
  std::size_t size = 0;

  // False when the memory could not be had; the old buffer is released
  // either way, so nothing is left to free but what `bytes` holds.
  bool reserve(std::size_t need) {
    if (need <= size) return true;
    std::free(bytes);
    bytes = static_cast<char*>(std::malloc(need));
    size = bytes != nullptr ? need : 0;
    return bytes != nullptr;
  }
};

// Fills out[0..count) and returns null, or returns the message to end the
// call with; the caller frees the buffer before raising it.
const char* convert_cells(const host::Array* in, int32_t count, double nan, locale_t classic,
                          TextBuffer& buffer, double* out) {
  for (int32_t i = 0; i < count; ++i) {
    const host::Array* cell = host::cell(in, i);
    if (cell == nullptr || !host::is_char(cell)) {
      out[i] = nan;
      continue;
    }
    int32_t chars = 0;
    // The text and its terminating zero must fit a 32-bit size.
    if (!host::element_count_fits(cell, &chars) || chars == INT32_MAX)
      return host::too_large_message();
    if (!buffer.reserve(static_cast<std::size_t>(chars) + 1)) return kNoMemory;
    host::get_string(cell, buffer.bytes, static_cast<int32_t>(buffer.size));
    // The converter reads exactly `chars` bytes and wants a zero after them,
    // whatever the host copied (a host that widens characters may stop early
    // or late).
    buffer.bytes[chars] = '\0';
    out[i] = text::to_number(buffer.bytes, static_cast<std::size_t>(chars), classic, nan);
  }
  return nullptr;
}

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 1) host::fail("Usage: low_parse_numeric_cells(in)");
  if (nlhs > 1) host::fail("Too many output arguments");
  const host::Array* in = prhs[0];
  if (!host::is_cell(in)) host::fail("Argument must be a cell array");

  const int32_t count = host::element_count(in);
  host::Array* out = host::create_numeric_like(in, mxDOUBLE_CLASS, false);
  plhs[0] = out;
  double* values = host::real_data(out);

  const locale_t classic = text::classic_locale();
  TextBuffer buffer;
  if (classic == static_cast<locale_t>(nullptr) || !buffer.reserve(100)) host::fail(kNoMemory);
  const double nan = host::nan();

  const char* problem = convert_cells(in, count, nan, classic, buffer, values);
  std::free(buffer.bytes);
  if (problem != nullptr) host::fail(problem);
}
