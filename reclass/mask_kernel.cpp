#include "reclass/mask_kernel.h"

#include <cstddef>
#include <cstring>

namespace reclass {
namespace {

// A block is tested for any non-zero byte as four 64-bit words and, when it
// has one, written whole with 0/1 bytes; both loops vectorise.
constexpr std::size_t kBlock = 32;

}  // namespace

void mark_nonzero(const uint8_t* in, int32_t count, uint8_t* out) {
  const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
  std::size_t i = 0;
  for (; i + kBlock <= n; i += kBlock) {
    uint64_t w[kBlock / 8];
    std::memcpy(w, in + i, kBlock);
    if ((w[0] | w[1] | w[2] | w[3]) == 0) continue;
    for (std::size_t j = 0; j < kBlock; ++j) out[i + j] = in[i + j] != 0 ? 1 : 0;
  }
  for (; i < n; ++i)
    if (in[i] != 0) out[i] = 1;
}

}  // namespace reclass
