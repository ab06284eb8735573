#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "reclass/mask_kernel.h"
#include "tests/native/literal/mask_literal.h"

namespace {

TEST(MaskKernel, Table) {
  const std::vector<uint8_t> in = {0, 1, 2, 255, 0, 128, 0, 0};
  const std::vector<uint8_t> expected = {0, 1, 1, 1, 0, 1, 0, 0};
  std::vector<uint8_t> out(in.size(), 0);
  reclass::mark_nonzero(in.data(), static_cast<int32_t>(in.size()), out.data());
  EXPECT_EQ(out, expected);
}

// Bit-exact against the byte loop on seeded inputs of every density, at
// every length from 0 to 300 and from odd starting offsets; the bytes
// around the range show that nothing outside it is written.
TEST(MaskKernel, SameAsLiteralLoop) {
  std::mt19937 rng(42);
  for (double zero_share : {0.0, 0.5, 0.9, 0.99, 1.0}) {
    std::bernoulli_distribution is_zero(zero_share);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int32_t n = 0; n <= 300; ++n) {
      for (size_t offset : {size_t(0), size_t(1), size_t(7)}) {
        std::vector<uint8_t> in(offset + static_cast<size_t>(n) + 1);
        for (uint8_t& b : in) b = is_zero(rng) ? 0 : static_cast<uint8_t>(byte(rng));
        std::vector<uint8_t> fast(in.size() + 1, 0), slow(in.size() + 1, 0);
        reclass::mark_nonzero(in.data() + offset, n, fast.data() + offset);
        literal::mark_nonzero(in.data() + offset, n, slow.data() + offset);
        ASSERT_EQ(fast, slow) << "n=" << n << " offset=" << offset << " zeros=" << zero_share;
      }
    }
  }
}

TEST(MaskKernel, NonPositiveCountTouchesNothing) {
  uint8_t in[4] = {1, 1, 1, 1};
  uint8_t out[4] = {0, 0, 0, 0};
  reclass::mark_nonzero(in, 0, out);
  reclass::mark_nonzero(in, -5, out);
  for (uint8_t b : out) EXPECT_EQ(b, 0);
}

}  // namespace
