// The one door between the plug-ins and the MEX host.
//
// Gateways include this header and nothing else of the host's. Every length,
// dimension count and element count leaves this layer as a 32-bit signed
// integer; an array whose lengths or element count do not fit is refused
// here with a clear message, so no gateway or kernel ever sees a wrapped
// size. The error operation never returns.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mex.h"

namespace host {

using Array = mxArray;
using ClassId = mxClassID;

// Ends the call with `text` as the error message. Never returns.
[[noreturn]] void fail(const char* text);

// Prints to the host's command window with a printf-style format.
void print(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Inspection.
ClassId class_id(const Array* a);
bool is_double(const Array* a);
bool is_complex(const Array* a);
bool is_numeric(const Array* a);
bool is_sparse(const Array* a);
bool is_cell(const Array* a);
bool is_char(const Array* a);
bool is_empty(const Array* a);

// Lengths, all checked to fit 32 bits (see above).
int32_t dimension_count(const Array* a);              // never below 2
int32_t length(const Array* a, int32_t dimension);   // 0-based; 1 past the last dimension
int32_t rows(const Array* a);                          // length along dimension 0
int32_t columns(const Array* a);                       // product of all lengths after the first
int32_t element_count(const Array* a);
// The number of elements when it fits 32 bits; otherwise false instead of
// ending the call, for callers that must release memory of their own first
// and then end it with too_large_message().
bool element_count_fits(const Array* a, int32_t* count);
const char* too_large_message();
std::size_t element_size(const Array* a);              // bytes per element of the real data

// Creation. New arrays are zero-filled by the host.
// A new array with the dimension vector of `shape`, unchanged.
Array* create_numeric_like(const Array* shape, ClassId cls, bool complex);
Array* create_numeric(int32_t dimension_count, const int32_t* lengths, ClassId cls, bool complex);
Array* create_double_matrix(int32_t rows, int32_t columns, bool complex);

// Data.
double* real_data(const Array* a);   // null for an empty array
double* imag_data(const Array* a);   // null unless complex
void* data(const Array* a);
double scalar(const Array* a);
const Array* cell(const Array* a, int32_t index);  // null for a cell never set
// Copies at most size - 1 characters and a terminating zero: longer text is
// cut, on every host; anything but a character array gives "".
void get_string(const Array* a, char* buffer, int32_t size);
double nan();

// Host memory, reclaimed by the host when the call ends; never freed here.
void* allocate(std::size_t bytes);
void* allocate_zeroed(std::size_t count, std::size_t element_bytes);

// Keeping a plug-in loaded, and calling back into the host.
void lock();
void unlock();
bool is_locked();
void call_host(int32_t output_count, Array** outputs, int32_t input_count, Array** inputs,
               const char* function_name);

}  // namespace host
