#include "host/mex_host.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace host {
namespace {

constexpr long long kLimit = std::numeric_limits<int32_t>::max();

const char* const kTooLarge =
    "Array too large: every dimension and the number of elements must be below 2^31.";

// The host may hand over lengths wider than 32 bits; the plug-ins count in
// int32_t, so anything that would wrap is refused before it is used.
void require_32bit(const Array* a) {
  const mwSize n = mxGetNumberOfDimensions(a);
  const mwSize* lengths = mxGetDimensions(a);
  if (static_cast<long long>(n) > kLimit) fail(kTooLarge);
  long long total = 1;
  bool zero = false;
  for (mwSize k = 0; k < n; ++k) {
    const long long len = static_cast<long long>(lengths[k]);
    if (len > kLimit) fail(kTooLarge);
    if (len == 0) zero = true;
    if (!zero) {
      total *= len;  // both factors below 2^31, so the product fits 62 bits
      if (total > kLimit) fail(kTooLarge);
    }
  }
}

mxComplexity complexity(bool complex) { return complex ? mxCOMPLEX : mxREAL; }

}  // namespace

void fail(const char* text) {
  mexErrMsgTxt(text);
  std::abort();  // mexErrMsgTxt does not return; this only tells the compiler
}

void print(const char* format, ...) {
  char small[512];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    va_end(again);
    mexPrintf("%s", small);
    return;
  }
  std::vector<char> big(static_cast<std::size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), format, again);
  va_end(again);
  mexPrintf("%s", big.data());
}

ClassId class_id(const Array* a) { return mxGetClassID(a); }
bool is_double(const Array* a) { return mxIsDouble(a); }
bool is_complex(const Array* a) { return mxIsComplex(a); }
bool is_numeric(const Array* a) { return mxIsNumeric(a); }
bool is_sparse(const Array* a) { return mxIsSparse(a); }
bool is_cell(const Array* a) { return mxIsCell(a); }
bool is_char(const Array* a) { return mxIsChar(a); }
bool is_empty(const Array* a) { return mxIsEmpty(a); }

int32_t dimension_count(const Array* a) {
  require_32bit(a);
  return static_cast<int32_t>(mxGetNumberOfDimensions(a));
}

int32_t length(const Array* a, int32_t dimension) {
  require_32bit(a);
  if (dimension < 0) return 0;
  const mwSize n = mxGetNumberOfDimensions(a);
  if (static_cast<mwSize>(dimension) >= n) return 1;
  return static_cast<int32_t>(mxGetDimensions(a)[dimension]);
}

int32_t rows(const Array* a) { return length(a, 0); }

int32_t columns(const Array* a) {
  require_32bit(a);
  return static_cast<int32_t>(mxGetN(a));
}

int32_t element_count(const Array* a) {
  require_32bit(a);
  return static_cast<int32_t>(mxGetNumberOfElements(a));
}

bool element_count_fits(const Array* a, int32_t* count) {
  // The total alone decides here; asking for the dimension vector would make
  // some hosts build one per call, which a per-cell loop cannot afford.
  const std::size_t total = mxGetNumberOfElements(a);
  if (total > static_cast<std::size_t>(kLimit)) return false;
  *count = static_cast<int32_t>(total);
  return true;
}

const char* too_large_message() { return kTooLarge; }

std::size_t element_size(const Array* a) { return mxGetElementSize(a); }

Array* create_numeric_like(const Array* shape, ClassId cls, bool complex) {
  require_32bit(shape);
  return mxCreateNumericArray(mxGetNumberOfDimensions(shape), mxGetDimensions(shape), cls,
                              complexity(complex));
}

Array* create_numeric(int32_t count, const int32_t* lengths, ClassId cls, bool complex) {
  std::vector<mwSize> dims(static_cast<std::size_t>(count < 2 ? 2 : count), 1);
  for (int32_t k = 0; k < count; ++k) dims[static_cast<std::size_t>(k)] = static_cast<mwSize>(lengths[k]);
  return mxCreateNumericArray(static_cast<mwSize>(dims.size()), dims.data(), cls, complexity(complex));
}

Array* create_double_matrix(int32_t m, int32_t n, bool complex) {
  return mxCreateDoubleMatrix(static_cast<mwSize>(m), static_cast<mwSize>(n), complexity(complex));
}

double* real_data(const Array* a) { return mxGetPr(a); }
double* imag_data(const Array* a) { return mxIsComplex(a) ? mxGetPi(a) : nullptr; }
void* data(const Array* a) { return mxGetData(a); }
double scalar(const Array* a) { return mxGetScalar(a); }

const Array* cell(const Array* a, int32_t index) {
  return mxGetCell(a, static_cast<mwIndex>(index));
}

void get_string(const Array* a, char* buffer, int32_t size) {
  if (size <= 0) return;
  buffer[0] = '\0';
  if (mxGetString(a, buffer, static_cast<mwSize>(size)) == 0 || !mxIsChar(a)) return;
  // Octave copies nothing at all when the text does not fit, where MATLAB
  // cuts it; cut it here so that callers see the same on both hosts.
  const char* whole = mxArrayToString(a);  // host memory, reclaimed by the host
  if (whole == nullptr) return;
  std::strncpy(buffer, whole, static_cast<std::size_t>(size) - 1);
  buffer[size - 1] = '\0';
}

double nan() { return mxGetNaN(); }

void* allocate(std::size_t bytes) { return mxMalloc(bytes); }
void* allocate_zeroed(std::size_t count, std::size_t element_bytes) {
  return mxCalloc(count, element_bytes);
}

void lock() { mexLock(); }
void unlock() { mexUnlock(); }
bool is_locked() { return mexIsLocked(); }

void call_host(int32_t output_count, Array** outputs, int32_t input_count, Array** inputs,
               const char* function_name) {
  mexCallMATLAB(output_count, outputs, input_count, inputs, function_name);
}

}  // namespace host
