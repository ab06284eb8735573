// knotspectrum(in, knots, dim): Gaussian gridding of a periodic complex grid
// at real knots, in 2-D (dim = -1) or line by line along dim 0 or 1.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "fourier/gridding.h"
#include "fourier/knot_order.h"
#include "host/mex_host.h"

namespace {

// Host scratch, reclaimed by the host when the call ends.
template <class T>
T* scratch(std::size_t count, bool zeroed = false) {
  void* p = zeroed ? host::allocate_zeroed(count, sizeof(T)) : host::allocate(count * sizeof(T));
  if (p == nullptr && count > 0) host::fail("Out of memory.");
  return static_cast<T*>(p);
}

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 3) host::fail("Usage: knotspectrum(in,knots,dim).");
  if (nlhs > 1) host::fail("Too many output arguments");
  const host::Array* in = prhs[0];
  const host::Array* knots = prhs[1];
  const host::Array* dim = prhs[2];
  if (host::class_id(in) != mxDOUBLE_CLASS) host::fail("Image of unexpected data type.");
  if (host::dimension_count(in) != 2) host::fail("Input image must be 2d");
  if (host::class_id(knots) != mxDOUBLE_CLASS) host::fail("Knots matrix needs to be doubles.");
  if (host::dimension_count(knots) != 2) host::fail("Knots matrix must be 2d");
  if (host::element_count(dim) != 1) host::fail("dim must be a scalar.");
  if (host::class_id(dim) != mxDOUBLE_CLASS) host::fail("dim needs to be of type double.");
  // Sparse arrays pass the class checks, but their data is not a full grid.
  if (host::is_sparse(in) || host::is_sparse(knots) || host::is_sparse(dim))
    host::fail("knotspectrum needs full arrays: convert sparse input with full().");

  const double* in_re = host::real_data(in);
  const double* in_im =
      host::is_complex(in)
          ? host::imag_data(in)
          : scratch<double>(static_cast<std::size_t>(host::element_count(in)), true);
  const double* knot_data = host::real_data(knots);
  const double dim_value = host::real_data(dim)[0];
  // Truncation toward zero is only defined for values inside the int32
  // range, and only -1, 0 and 1 name a mode (NaN fails this test too). It is
  // checked before any length is read, as the mode decides which are needed.
  if (!(dim_value > -2.0 && dim_value < 2.0)) host::fail("dim must be -1, 0 or 1.");
  const int32_t M0 = host::length(in, 0);
  const int32_t M1 = host::length(in, 1);
  const int32_t knot_rows = host::length(knots, 0);
  const int32_t knot_columns = host::length(knots, 1);

  const int32_t d = static_cast<int32_t>(dim_value);

  if (d == -1) {
    if (knot_rows != 2) host::fail("Knots matrix must be 2xN");
    host::Array* out = host::create_double_matrix(knot_columns, 1, true);
    plhs[0] = out;
    const int32_t N = knot_columns;
    if (fourier::tile_order_pays(M0, M1, N)) {
      const std::size_t n = static_cast<std::size_t>(N);
      const std::size_t tiles = static_cast<std::size_t>(fourier::tile_count(M0, M1, N)) + 1;
      const fourier::TileOrderScratch room{scratch<int32_t>(tiles), scratch<int32_t>(n),
                                           scratch<double>(2 * n), scratch<double>(n),
                                           scratch<double>(n)};
      fourier::gather_2d_in_tile_order(in_re, in_im, M0, M1, knot_data, N, host::real_data(out),
                                       host::imag_data(out), room);
    } else {
      fourier::gather_2d(in_re, in_im, M0, M1, knot_data, N, host::real_data(out),
                         host::imag_data(out));
    }
    return;
  }

  const bool shared = knot_rows == 1 || knot_columns == 1;
  const int32_t linked_in = d == 0 ? M1 : M0;
  const int32_t linked_knots = d == 0 ? knot_columns : knot_rows;
  if (!shared && linked_knots != linked_in)
    host::fail("size of image and knots array does not match on linked dimension");
  const fourier::LinkedLayout layout = fourier::linked_layout(M0, M1, d, knot_rows, knot_columns);
  // Shared knots make a result of (knots) x (lines), which can outgrow the
  // 32-bit element count that every array here keeps to.
  if (static_cast<int64_t>(layout.out_rows) * layout.out_columns >
      std::numeric_limits<int32_t>::max())
    host::fail("Result too large: it must have fewer than 2^31 elements.");
  host::Array* out = host::create_double_matrix(layout.out_rows, layout.out_columns, true);
  plhs[0] = out;
  if (fourier::transpose_pays(layout)) {
    const std::size_t grid = static_cast<std::size_t>(M0) * static_cast<std::size_t>(M1);
    const std::size_t result = static_cast<std::size_t>(layout.out_rows) *
                               static_cast<std::size_t>(layout.out_columns);
    const fourier::TransposeScratch room{scratch<double>(grid), scratch<double>(grid),
                                         scratch<double>(result), scratch<double>(result),
                                         scratch<double>(result)};
    fourier::gather_lines_transposed(in_re, in_im, knot_data, layout, host::real_data(out),
                                     host::imag_data(out), room);
    return;
  }
  fourier::gather_lines(in_re, in_im, knot_data, layout, host::real_data(out),
                        host::imag_data(out));
}
