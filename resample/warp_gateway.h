// The gateway both displacement warps share: the same calling form, checks,
// messages and usage text, then one kernel call on a fresh output.
#pragma once

#include <cstdint>

#include "host/mex_host.h"

namespace resample {

using WarpKernel = void (*)(const double* in, const double* sv, int32_t M, int32_t N, double* out);

inline void warp_gateway(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                         const char* sparse_message, WarpKernel kernel) {
  if (nrhs != 2) host::fail("Usage: fieldwarp(in, sv).");
  if (nlhs > 1) host::fail("Too many output arguments");
  const host::Array* in = prhs[0];
  const host::Array* sv = prhs[1];
  if (!host::is_double(in) || host::dimension_count(in) != 2)
    host::fail("Input must be 2D double array.");
  if (!host::is_double(sv) || host::dimension_count(sv) != 3)
    host::fail("Shift must be 3D double array.");
  if (host::length(sv, 0) != host::length(in, 0) || host::length(sv, 1) != host::length(in, 1))
    host::fail("Shift image and input image must have same dimensions.");
  if (host::length(sv, 2) != 2)
    host::fail("Shift image must have two elements along 3rd dimension.");
  // Sparse arrays pass the class test, but the kernels need full storage.
  if (host::is_sparse(in) || host::is_sparse(sv)) host::fail(sparse_message);

  const int32_t M = host::rows(in);
  const int32_t N = host::length(in, 1);
  host::Array* out = host::create_numeric_like(in, mxDOUBLE_CLASS, false);
  plhs[0] = out;
  kernel(host::real_data(in), host::real_data(sv), M, N, host::real_data(out));
}

}  // namespace resample
