// A plug-in shaped like fieldwarp that only creates and returns its output:
// what a whole call costs in the host before any kernel runs.
#include "host/mex_host.h"

extern "C" void mexFunction(int, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs < 1) host::fail("Usage: create_output_only(in, ...).");
  plhs[0] = host::create_numeric_like(prhs[0], mxDOUBLE_CLASS, false);
}
