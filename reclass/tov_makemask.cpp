// tov_makemask(in): a uint8 array as a uint8 mask, 1 where a byte is non-zero.
#include <cstdint>

#include "host/mex_host.h"
#include "reclass/mask_kernel.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  // The class is asked for only once there is exactly one input to ask.
  if (nrhs != 1 || nlhs > 1 || host::class_id(prhs[0]) != mxUINT8_CLASS)
    host::fail("Illegal call to TOV_MAKEMASK.");
  const host::Array* in = prhs[0];

  host::Array* out = host::create_numeric_like(in, mxUINT8_CLASS, false);
  plhs[0] = out;
  // Only the real bytes of a complex input are read.
  reclass::mark_nonzero(static_cast<const uint8_t*>(host::data(in)), host::element_count(out),
                        static_cast<uint8_t*>(host::data(out)));
}
