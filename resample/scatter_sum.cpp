// scatter_sum(in, transx, transy): adds every pixel of a 2-D image into a new
// image at its own translated position, rounded to whole pixels. The usage
// text names the function the toolbox calls it through.
#include "host/mex_host.h"
#include "resample/scatter_sum_kernel.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 3) host::fail("Usage: pre_scatter_sum(in, transx, transy).");
  if (nlhs > 1) host::fail("Too many output arguments");
  // Each argument is examined completely before the next one.
  for (int k = 0; k < 3; ++k) {
    if (host::dimension_count(prhs[k]) != 2) host::fail("2D image expected.");
    if (host::class_id(prhs[k]) != mxDOUBLE_CLASS) host::fail("Image of unexpected data type.");
  }
  const host::Array* in = prhs[0];
  const host::Array* transx = prhs[1];
  const host::Array* transy = prhs[2];
  for (int32_t d = 0; d < 2; ++d) {
    if (host::length(in, d) != host::length(transx, d) || host::length(in, d) != host::length(transy, d))
      host::fail("Image sizes do not match.");
  }
  if (host::is_sparse(in) || host::is_sparse(transx) || host::is_sparse(transy))
    host::fail("scatter_sum needs full arrays: convert sparse input with full().");

  const int32_t M = host::rows(in);
  const int32_t N = host::length(in, 1);
  host::Array* out = host::create_numeric_like(in, mxDOUBLE_CLASS, false);
  plhs[0] = out;
  resample::scatter_sum(host::real_data(in), host::real_data(transx), host::real_data(transy), M, N,
                        host::real_data(out));
}
