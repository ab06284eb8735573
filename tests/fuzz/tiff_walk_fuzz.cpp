// libFuzzer target: the TIFF directory walker on an in-memory update stream.
//
// Beyond what AddressSanitizer and UndefinedBehaviorSanitizer catch, every
// input is checked for the walker's promise about writes: each byte that
// changed lies in the 4-byte value field of a tag-262 entry whose first two
// value bytes said 3, and that field now says 2; and the walk reports a
// repair exactly when something changed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tiff/tiff_walk.h"

namespace {

std::size_t message_bytes = 0;

void count_message(void*, const char* text) { message_bytes += std::strlen(text); }

unsigned get16(const unsigned char* b, bool big) {
  return big ? (b[0] << 8 | b[1]) : (b[1] << 8 | b[0]);
}

bool rewritten_field(const std::vector<unsigned char>& before, const std::vector<unsigned char>& after,
                     std::size_t p, bool big) {
  if (p < 8 || p + 4 > before.size()) return false;
  if (get16(&before[p - 8], big) != 262 || get16(&before[p], big) != 3) return false;
  const unsigned char want[4] = {static_cast<unsigned char>(big ? 0 : 2),
                                 static_cast<unsigned char>(big ? 2 : 0), 0, 0};
  return std::memcmp(&after[p], want, 4) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;  // fmemopen needs at least one byte
  const std::vector<unsigned char> before(data, data + size);
  std::vector<unsigned char> after = before;
  std::FILE* stream = fmemopen(after.data(), after.size(), "r+");
  if (stream == nullptr) return 0;

  tiff::MessageSink sink{count_message, nullptr};
  tiff::Settings settings;
  settings.verbose = (data[size - 1] & 1) != 0;
  tiff::FileState state;
  tiff::walk_tiff_file(stream, sink, settings, state);
  std::fclose(stream);

  const bool big = state.swap_bytes;
  bool any_change = false;
  for (std::size_t j = 0; j < size; ++j) {
    if (before[j] == after[j]) continue;
    any_change = true;
    bool explained = false;
    for (std::size_t back = 0; back < 4 && back <= j && !explained; ++back)
      explained = rewritten_field(before, after, j - back, big);
    if (!explained) {
      std::fprintf(stderr, "byte %zu changed outside a palette value field\n", j);
      std::abort();
    }
  }
  if (any_change != state.fixed) {
    std::fprintf(stderr, "fixed=%d but the bytes %s\n", state.fixed, any_change ? "changed" : "did not");
    std::abort();
  }
  return 0;
}
