// out = chroma_unfold(x, a, b, mesh, pivot_L, pivot_C, top_L, bottom_L):
// lightness of each colour mapped from a triangular source gamut onto a
// triangle-mesh gamut surface.
#include <cstdint>
#include <new>

#include "colour/chroma_unfold_index.h"
#include "host/mex_host.h"

namespace {

// Inputs 2 to 8 are read by element index up to M*N, and the mesh by column
// up to 14*K, so anything that is not plain real double data of that size
// is refused before it is touched.
bool is_real_full_double(const host::Array* v) {
  return host::is_double(v) && !host::is_complex(v) && !host::is_sparse(v);
}

struct PerElementInput {
  int position;  // 0-based
  const char* not_double;
  const char* too_short;
};

constexpr PerElementInput kPerElement[] = {
    {1, "input a must be a real, full double array.",
     "input a must have at least as many elements as x."},
    {2, "input b must be a real, full double array.",
     "input b must have at least as many elements as x."},
    {4, "input pivot_L must be a real, full double array.",
     "input pivot_L must have at least as many elements as x."},
    {5, "input pivot_C must be a real, full double array.",
     "input pivot_C must have at least as many elements as x."},
    {6, "input top_L must be a real, full double array.",
     "input top_L must have at least as many elements as x."},
    {7, "input bottom_L must be a real, full double array.",
     "input bottom_L must have at least as many elements as x."},
};

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nlhs > 1) host::fail("only five output arguments allowed.");
  if (nrhs < 8)
    host::fail("Usage: out = chroma_unfold(x, a, b, mesh, pivot_L, pivot_C, top_L, bottom_L).");

  const host::Array* x = prhs[0];
  const host::Array* mesh = prhs[3];
  const int32_t K = host::columns(mesh);
  const int32_t M = host::rows(x);
  const int32_t N = host::columns(x);

  if (!host::is_numeric(x)) host::fail("input x must be a matrix of scalars.");
  if (host::is_complex(x)) host::fail("input x must be a matrix of scalars.");
  if (host::is_sparse(x)) host::fail("input x must be a matrix of scalars.");
  if (!host::is_double(x)) host::fail("input x must be a matrix of scalars.");

  // Both lengths are below 2^31, so the product fits comfortably.
  const int64_t count = static_cast<int64_t>(M) * N;
  for (int position = 1; position < 8; ++position) {
    const host::Array* v = prhs[position];
    if (position == 3) {
      if (!is_real_full_double(v)) host::fail("input mesh must be a real, full double array.");
      if (host::rows(v) != 14) host::fail("input mesh must have 14 rows, one triangle per column.");
      continue;
    }
    const PerElementInput& rule = kPerElement[position < 3 ? position - 1 : position - 2];
    if (!is_real_full_double(v)) host::fail(rule.not_double);
    if (host::element_count(v) < count) host::fail(rule.too_short);
  }

  host::Array* out = host::create_double_matrix(M, N, false);
  plhs[0] = out;

  bool out_of_memory = false;
  try {
    colour::unfold_indexed(host::real_data(x), host::real_data(prhs[1]), host::real_data(prhs[2]),
                           host::real_data(mesh), K, host::real_data(prhs[4]),
                           host::real_data(prhs[5]), host::real_data(prhs[6]),
                           host::real_data(prhs[7]), count, host::real_data(out));
  } catch (const std::bad_alloc&) {
    out_of_memory = true;
  }
  // Raised only once the kernel's scratch has been released.
  if (out_of_memory) host::fail("not enough memory to map the colours.");
}
