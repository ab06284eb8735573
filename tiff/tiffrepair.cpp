// tiffrepair(option or file name, ...): rewrites palette PhotometricInterpretation
// values to RGB in place in each named TIFF file and prints a line per file.
#include <cstdio>

#include "host/mex_host.h"
#include "tiff/tiff_walk.h"

namespace {

void print_detail(void*, const char* text) { host::print("%s", text); }

// An option argument: "-" followed by letters; q or Q silences everything,
// v or V asks for detail messages, anything else is ignored. Silence, once
// asked for, wins over detail for the rest of the call.
void apply_option(const char* letters, tiff::Settings& settings) {
  for (const char* c = letters; *c != '\0'; ++c) {
    if (*c == 'q' || *c == 'Q') settings.quiet = true;
    if (*c == 'v' || *c == 'V') settings.verbose = true;
  }
  if (settings.quiet) settings.verbose = false;
}

}  // namespace

extern "C" void mexFunction(int, mxArray*[], int nrhs, const mxArray* prhs[]) {
  tiff::Settings settings;  // fresh for every call
  if (nrhs < 1) host::fail("Expected at least one input file name.");

  const tiff::MessageSink sink{print_detail, nullptr};
  char name[1024];
  for (int k = 0; k < nrhs; ++k) {
    // A number or a cell has no text to take as a name; it names no file, so
    // nothing is opened for it and the walk goes on with the next argument.
    if (!host::is_char(prhs[k])) {
      if (!settings.quiet) host::print("Skipping argument %d: not a character array\n", k + 1);
      continue;
    }
    host::get_string(prhs[k], name, static_cast<int32_t>(sizeof name));
    if (name[0] == '-') {
      apply_option(name + 1, settings);
      continue;
    }

    std::FILE* stream = std::fopen(name, "r+b");
    if (stream == nullptr) {
      if (!settings.quiet) host::print("Problem opening file %s\n", name);
      continue;
    }
    tiff::FileState state;  // fresh for every file
    tiff::walk_tiff_file(stream, sink, settings, state);
    std::fclose(stream);

    if (settings.quiet) continue;
    if (state.failed)
      host::print("Problem reading the file %s\n", name);
    else if (state.fixed)
      host::print("Fixed the file %s\n", name);
    else
      host::print("Nothing to fix in %s\n", name);
  }
}
