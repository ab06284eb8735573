// Byte image to 0/1 mask.
//
// in    `count` bytes.
// out   `count` bytes, zero-filled by the caller (the host creates arrays
//       that way). Byte i becomes 1 where in[i] is not 0; where in[i] is 0 it
//       keeps the 0 it had.
//
// One pass. Runs of zero input bytes leave the matching output bytes
// untouched, so the zero pages of a fresh output stay unwritten there.
// Never reads or writes outside the two ranges, allocates nothing, calls no
// host; `in` and `out` must not overlap.
#pragma once

#include <cstdint>

namespace reclass {

void mark_nonzero(const uint8_t* in, int32_t count, uint8_t* out);

}  // namespace reclass
