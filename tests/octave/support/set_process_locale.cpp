// Test support, never installed: lets an Octave test run plug-ins under a
// chosen C-library locale, which Octave itself never sets for numbers.
//
//   r = set_process_locale (NAME)  sets every category to NAME and remembers
//                                  the locale it replaced; r(1) is 1 when NAME
//                                  was accepted, r(2) what plain strtod now
//                                  makes of "1,5" (1.5 in a comma locale).
//   set_process_locale ()          puts the remembered locale back.
#include <clocale>
#include <cstdlib>
#include <string>

#include "host/mex_host.h"

namespace {

std::string remembered;

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs > 1 || nlhs > 1 || (nrhs == 1 && !host::is_char(prhs[0])))
    host::fail("Usage: set_process_locale(name) or set_process_locale()");
  if (nrhs == 0) {
    if (!remembered.empty()) std::setlocale(LC_ALL, remembered.c_str());
    return;
  }
  char name[256];
  host::get_string(prhs[0], name, static_cast<int32_t>(sizeof name));
  const char* previous = std::setlocale(LC_ALL, nullptr);
  if (remembered.empty() && previous != nullptr) remembered = previous;
  const bool ok = std::setlocale(LC_ALL, name) != nullptr;
  host::Array* out = host::create_double_matrix(1, 2, false);
  plhs[0] = out;
  host::real_data(out)[0] = ok ? 1.0 : 0.0;
  host::real_data(out)[1] = std::strtod("1,5", nullptr);
}
