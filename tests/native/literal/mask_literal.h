// The mask written as documented, one byte at a time: only non-zero input
// bytes write, and they write 1.
#pragma once

#include <cstdint>

namespace literal {

inline void mark_nonzero(const uint8_t* in, int32_t count, uint8_t* out) {
  for (int32_t i = 0; i < count; ++i)
    if (in[i] != 0) out[i] = 1;
}

}  // namespace literal
