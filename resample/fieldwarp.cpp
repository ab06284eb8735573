// fieldwarp(in, sv): linear pull-warp of a 2-D image along a displacement field.
#include "resample/fieldwarp_kernel.h"
#include "resample/warp_gateway.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  resample::warp_gateway(nlhs, plhs, nrhs, prhs,
                         "fieldwarp needs full arrays: convert sparse input with full().",
                         resample::fieldwarp_linear);
}
