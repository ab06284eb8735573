// tov_reclass(in): signed integer arrays as the unsigned class of the same
// width, bytes unchanged; every other numeric class as it is.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/mex_host.h"

namespace {

const char* const kIllegal = "Illegal call to TOV_RECLASS.";

host::ClassId unsigned_of_same_width(host::ClassId cls) {
  switch (cls) {
    case mxINT8_CLASS: return mxUINT8_CLASS;
    case mxINT16_CLASS: return mxUINT16_CLASS;
    case mxINT32_CLASS: return mxUINT32_CLASS;
    default: return cls;
  }
}

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 1 || nlhs > 1) host::fail(kIllegal);
  const host::Array* in = prhs[0];
  // A byte copy of anything but dense numbers would duplicate pointers
  // (cells, structures, handles) or index arrays (sparse), and a numeric
  // class cannot hold characters or logicals without a conversion.
  if (!host::is_numeric(in) || host::is_sparse(in)) host::fail(kIllegal);

  const int32_t count = host::element_count(in);
  host::Array* out = host::create_numeric_like(in, unsigned_of_same_width(host::class_id(in)), false);
  plhs[0] = out;
  const std::size_t bytes = static_cast<std::size_t>(count) * host::element_size(in);
  // Only the real data of a complex input is copied.
  if (bytes != 0) std::memcpy(host::data(out), host::data(in), bytes);
}
