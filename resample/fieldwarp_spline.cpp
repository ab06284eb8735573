// fieldwarp_spline(in, sv): cubic-spline pull-warp of a 2-D image along a
// displacement field. It shares the linear warp's calling form, checks and
// messages, usage text included.
#include "resample/fieldwarp_spline_kernel.h"
#include "resample/warp_gateway.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  resample::warp_gateway(nlhs, plhs, nrhs, prhs,
                         "fieldwarp_spline needs full arrays: convert sparse input with full().",
                         resample::fieldwarp_spline);
}
