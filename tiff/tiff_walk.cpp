#include "tiff/tiff_walk.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace tiff {
namespace {

constexpr std::uint16_t kPhotometricTag = 262;
constexpr std::uint16_t kPalette = 3;
constexpr std::uint64_t kEntryBytes = 12;
constexpr std::uint64_t kUnknownLength = std::numeric_limits<std::uint64_t>::max();

void say(const MessageSink& sink, const Settings& settings, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void say(const MessageSink& sink, const Settings& settings, const char* format, ...) {
  if (!settings.verbose || sink.emit == nullptr) return;
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  sink.emit(sink.context, text);
}

std::uint16_t get16(const unsigned char* b, bool big_endian) {
  return big_endian ? static_cast<std::uint16_t>(b[0] << 8 | b[1])
                    : static_cast<std::uint16_t>(b[1] << 8 | b[0]);
}

std::uint32_t get32(const unsigned char* b, bool big_endian) {
  if (big_endian)
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
  return std::uint32_t{b[3]} << 24 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[1]} << 8 | b[0];
}

// Offsets are at most 2^32 - 1 + 10 + 12 * 65535, well inside a 64-bit off_t.
static_assert(sizeof(off_t) >= 8, "file positions must reach 2^32 - 1");

bool seek_to(std::FILE* stream, std::uint64_t position) {
  return fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0;
}

// Bytes the stream holds from `position` on, or kUnknownLength when the
// stream cannot tell its length.
std::uint64_t bytes_from(std::FILE* stream, std::uint64_t position) {
  if (fseeko(stream, 0, SEEK_END) != 0) return kUnknownLength;
  const off_t end = ftello(stream);
  if (end < 0) return kUnknownLength;
  const auto length = static_cast<std::uint64_t>(end);
  return length > position ? length - position : 0;
}

struct FreeBlock {
  void operator()(unsigned char* p) const { std::free(p); }
};

// Directory offsets already walked. The latest few sit unsorted in a small
// inline buffer, so that the usual chain of one to a few directories costs
// no allocation; full buffers are sorted into runs whose sizes are distinct
// multiples of the buffer size by powers of two, merged like the digits of a
// binary counter. Insertion costs O(log n) amortised and a look-up O(log^2 n)
// whatever order a crafted chain chooses, and memory stays near 4 bytes per
// offset.
class VisitedOffsets {
 public:
  bool contains(std::uint32_t offset) const {
    if (std::find(recent_, recent_ + recent_count_, offset) != recent_ + recent_count_) return true;
    for (const auto& run : runs_)
      if (std::binary_search(run.begin(), run.end(), offset)) return true;
    return false;
  }

  void insert(std::uint32_t offset) {
    ++size_;
    recent_[recent_count_++] = offset;
    if (recent_count_ < kRecent) return;
    std::vector<std::uint32_t> carry(recent_, recent_ + kRecent);
    recent_count_ = 0;
    std::sort(carry.begin(), carry.end());
    for (auto& run : runs_) {
      if (run.empty()) {
        run.swap(carry);
        return;
      }
      std::vector<std::uint32_t> merged(run.size() + carry.size());
      std::merge(run.begin(), run.end(), carry.begin(), carry.end(), merged.begin());
      std::vector<std::uint32_t>().swap(run);
      carry.swap(merged);
    }
    runs_.push_back(std::move(carry));
  }

  std::size_t size() const { return size_; }

 private:
  static constexpr std::size_t kRecent = 64;
  std::uint32_t recent_[kRecent];
  std::size_t recent_count_ = 0;
  std::vector<std::vector<std::uint32_t>> runs_;
  std::size_t size_ = 0;
};

}  // namespace

std::uint32_t patch_directory(std::FILE* stream, std::uint32_t position, const MessageSink& sink,
                              const Settings& settings, FileState& state) {
  const std::uint64_t D = position;
  const bool big = state.swap_bytes;
  // Measured first, because it moves the stream; the seek below puts it back.
  const std::uint64_t held = bytes_from(stream, D + 2);

  if (!seek_to(stream, D)) {
    say(sink, settings, "Seek error accessing TIFF directory.\n");
    state.failed = true;
    return 0;
  }
  unsigned char raw[4];
  if (std::fread(raw, 2, 1, stream) != 1) {
    say(sink, settings, "Could not read directory count.\n");
    state.failed = true;
    return 0;
  }
  const std::uint16_t count = get16(raw, big);

  // Entries past the end of the stream could never be read, so a count the
  // file cannot hold reserves and reads only what is there: at most the
  // file's size, and the read comes out exactly as short as it would anyway.
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, held / kEntryBytes));
  std::unique_ptr<unsigned char, FreeBlock> block;
  std::size_t n = 0;
  if (wanted > 0) {
    block.reset(static_cast<unsigned char*>(std::malloc(wanted * kEntryBytes)));
    if (!block) {
      say(sink, settings, "No space for TIFF directory\n");
      state.failed = true;
      return 0;
    }
    n = std::fread(block.get(), kEntryBytes, wanted, stream);
  }
  std::uint32_t next = 0;
  if (n < count) {
    // The directory runs past the end of the file, so its next-directory
    // offset is not there either and the chain ends with this directory.
    say(sink, settings, "Could only read %u of %u entries in directory at offset %#lx\n",
        static_cast<unsigned>(n), static_cast<unsigned>(count), static_cast<unsigned long>(D));
  } else if (std::fread(raw, 4, 1, stream) == 1) {
    next = get32(raw, big);
  }

  const unsigned char rgb_le[4] = {2, 0, 0, 0};
  const unsigned char rgb_be[4] = {0, 2, 0, 0};
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char* entry = block.get() + i * kEntryBytes;
    if (get16(entry, big) != kPhotometricTag || get16(entry + 8, big) != kPalette) continue;
    if (!seek_to(stream, D + 10 + kEntryBytes * i)) {
      say(sink, settings, "Seek error accessing TIFF tag for writing.\n");
      state.failed = true;
      return 0;
    }
    // Flushed at once: a buffered write that fails only at fclose would
    // otherwise be reported as fixed.
    if (std::fwrite(big ? rgb_be : rgb_le, 4, 1, stream) != 1 || std::fflush(stream) != 0) {
      say(sink, settings, "Could not write new PhotometricInterpretation value.\n");
      state.failed = true;
      return 0;
    }
    state.fixed = true;
  }
  return next;
}

void walk_tiff_file(std::FILE* stream, const MessageSink& sink, const Settings& settings,
                    FileState& state) {
  unsigned char header[8];
  if (!seek_to(stream, 0) || std::fread(header, 8, 1, stream) != 1) {
    say(sink, settings, "Could not read header.\n");
    state.failed = true;
    return;
  }
  if (header[0] == 'M' && header[1] == 'M') {
    state.swap_bytes = true;
  } else if (!(header[0] == 'I' && header[1] == 'I')) {
    const unsigned magic = get16(header, false);
    say(sink, settings, "Not a TIFF file, bad magic number %u (%#x)\n", magic, magic);
    state.failed = true;
    return;
  }
  const unsigned version = get16(header + 2, state.swap_bytes);
  if (version != 42) {
    say(sink, settings, "Not a TIFF file, bad version number %u (%#x)\n", version, version);
    state.failed = true;
    return;
  }

  try {
    VisitedOffsets visited;
    std::uint32_t D = get32(header + 4, state.swap_bytes);
    while (D != 0) {
      if (visited.contains(D)) {
        say(sink, settings, "TIFF directory chain loops back to the directory at offset %#lx\n",
            static_cast<unsigned long>(D));
        state.failed = true;
        return;
      }
      if (visited.size() >= kMaxDirectories) {
        say(sink, settings, "TIFF directory chain longer than %u directories\n",
            static_cast<unsigned>(kMaxDirectories));
        state.failed = true;
        return;
      }
      visited.insert(D);
      D = patch_directory(stream, D, sink, settings, state);
      if (state.failed) return;
    }
  } catch (const std::bad_alloc&) {
    // Only the record of visited offsets allocates here; failing it must not
    // unwind through the host's C interface.
    say(sink, settings, "No space for TIFF directory\n");
    state.failed = true;
  }
}

}  // namespace tiff
