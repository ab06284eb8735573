// Walking the directory chain of a TIFF-structured file and rewriting, in
// place, every PhotometricInterpretation entry that says "palette" (3) so
// that it says "RGB" (2).
//
// The stream is any standard stream opened for update in binary mode: a file
// from fopen(name, "r+b"), or an in-memory buffer from fmemopen(buf, n, "r+").
// Positions are file offsets counted from 0 and reach 2^32 - 1 (the range of
// the format's 32-bit offset fields), because every seek goes through fseeko
// with a 64-bit off_t.
//
// The only bytes ever written are the 4-byte value fields of tag-262 entries
// whose first two value bytes, read in the file's byte order, are 3; they
// become 02 00 00 00 ("II" files) or 00 02 00 00 ("MM" files). The stream is
// repositioned by a seek before every read and before every write, and every
// write is flushed at once so that a write failure is seen where it happens.
//
// Detail messages go to the sink, each one complete line, only when
// `verbose` is set. The walker keeps no state between calls: everything it
// learns about a file lives in the FileState the caller passes in.
#pragma once

#include <cstdint>
#include <cstdio>

namespace tiff {

// Receives one formatted detail message (with its trailing newline).
struct MessageSink {
  void (*emit)(void* context, const char* text) = nullptr;
  void* context = nullptr;
};

struct Settings {
  bool verbose = false;
  bool quiet = false;  // the walker itself never looks at it; quiet callers clear verbose
};

struct FileState {
  bool swap_bytes = false;  // the file is big-endian ("MM")
  bool fixed = false;       // at least one value field was rewritten
  bool failed = false;      // an error ended the walk
};

// A chain longer than this many directories is taken as damaged and stops
// the walk as a failure, so that a crafted file cannot keep the walk (or the
// record of visited directories, 4 bytes each) growing without bound.
constexpr std::uint32_t kMaxDirectories = 1u << 20;

// Reads the 8-byte header and follows the directory chain from the first
// directory, calling patch_directory on each. Sets state.swap_bytes from the
// byte order mark, state.fixed after a successful rewrite and state.failed on
// any error, including a chain that comes back to a directory it already
// handled or runs past kMaxDirectories. Does not reset `state`: the caller
// clears it for each new file.
void walk_tiff_file(std::FILE* stream, const MessageSink& sink, const Settings& settings,
                    FileState& state);

// Handles the directory at `position`: reads its entry count, its entries in
// one read and its next-directory offset, and rewrites the matching value
// fields. Returns the next directory's position, or 0 at the end of the chain
// and on any failure (then state.failed is set). A directory cut short by the
// end of the file is handled as far as whole entries were read; that is not
// a failure, and the chain ends there. Uses state.swap_bytes for the byte
// order. The entry block is taken from the heap, never larger than what the
// stream holds after the count, and released before returning.
std::uint32_t patch_directory(std::FILE* stream, std::uint32_t position, const MessageSink& sink,
                              const Settings& settings, FileState& state);

}  // namespace tiff
