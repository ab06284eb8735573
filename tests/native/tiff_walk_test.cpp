#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tiff/tiff_walk.h"

namespace {

using Bytes = std::vector<unsigned char>;
using tiff::FileState;

constexpr std::uint16_t SHORT = 3;
constexpr std::uint16_t LONG = 4;

struct Entry {
  std::uint16_t tag, type;
  std::uint32_t count, value;
};

// A small TIFF-structured file built byte by byte. Directories are appended
// and chained in the order they are added; a SHORT value sits in the first
// two bytes of its field and a LONG fills it, as writers lay them out.
struct Tiff {
  bool big;
  Bytes b;
  std::size_t last_link = 4;  // where the next directory's offset is written

  explicit Tiff(bool big_endian, std::uint16_t version = 42) : big(big_endian), b(8, 0) {
    b[0] = b[1] = big ? 'M' : 'I';
    put16(2, version);
  }
  void put16(std::size_t at, std::uint32_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at + (big ? 0 : 1)] = static_cast<unsigned char>(v >> 8);
    b[at + (big ? 1 : 0)] = static_cast<unsigned char>(v);
  }
  void put32(std::size_t at, std::uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    for (int k = 0; k < 4; ++k)
      b[at + static_cast<std::size_t>(big ? 3 - k : k)] = static_cast<unsigned char>(v >> (8 * k));
  }
  // Appends a directory and links it into the chain; returns its offset.
  std::uint32_t directory(const std::vector<Entry>& entries) {
    const auto D = static_cast<std::uint32_t>(b.size());
    put32(last_link, D);
    put16(D, static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::size_t e = D + 2 + 12 * i;
      put16(e, entries[i].tag);
      put16(e + 2, entries[i].type);
      put32(e + 4, entries[i].count);
      if (entries[i].type == SHORT) {
        put16(e + 8, entries[i].value);
        put16(e + 10, 0);
      } else {
        put32(e + 8, entries[i].value);
      }
    }
    last_link = D + 2 + 12 * entries.size();
    put32(last_link, 0);
    return D;
  }
};

std::size_t value_field(std::uint32_t D, std::size_t i) { return D + 10 + 12 * i; }

// Typical entries of a striped 8-bit image around the photometric entry.
std::vector<Entry> image_entries(std::uint32_t photometric) {
  return {{256, SHORT, 1, 8},   {257, SHORT, 1, 6},   {258, SHORT, 3, 200},
          {262, SHORT, 1, photometric}, {273, LONG, 1, 300}, {277, SHORT, 1, 3}};
}

struct Outcome {
  Bytes bytes;
  FileState state;
  std::vector<std::string> messages;
};

void collect(void* context, const char* text) {
  static_cast<std::vector<std::string>*>(context)->push_back(text);
}

Outcome run_on(std::FILE* f, Bytes bytes, bool verbose) {
  Outcome out;
  tiff::MessageSink sink{collect, &out.messages};
  tiff::Settings settings;
  settings.verbose = verbose;
  tiff::walk_tiff_file(f, sink, settings, out.state);
  out.bytes = std::move(bytes);
  return out;
}

Outcome walk_memory(Bytes bytes, bool verbose = true, const char* mode = "r+") {
  if (bytes.empty()) bytes.reserve(1);  // fmemopen needs a buffer, even of length 0
  std::FILE* f = fmemopen(bytes.data(), bytes.size(), mode);
  if (f == nullptr) {
    ADD_FAILURE() << "fmemopen failed";
    return {};
  }
  Outcome out = run_on(f, Bytes{}, verbose);
  std::fclose(f);
  out.bytes = std::move(bytes);
  return out;
}

Outcome walk_file(const Bytes& bytes, bool verbose = true) {
  std::FILE* f = std::tmpfile();
  if (f == nullptr) {
    ADD_FAILURE() << "tmpfile failed";
    return {};
  }
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fflush(f);
  Outcome out = run_on(f, Bytes{}, verbose);
  std::fseek(f, 0, SEEK_END);
  Bytes after(static_cast<std::size_t>(std::ftell(f)));
  std::rewind(f);
  EXPECT_EQ(std::fread(after.data(), 1, after.size(), f), after.size());
  std::fclose(f);
  out.bytes = std::move(after);
  return out;
}

// Walks `bytes` in memory and in a real file, verbose and not, and checks
// that all four agree on the file's new content and state, and that only the
// verbose runs said anything. Returns the verbose in-memory outcome.
Outcome walk(const Bytes& bytes) {
  Outcome mem = walk_memory(bytes);
  for (const Outcome& other : {walk_memory(bytes, false), walk_file(bytes), walk_file(bytes, false)}) {
    EXPECT_EQ(other.bytes, mem.bytes);
    EXPECT_EQ(other.state.failed, mem.state.failed);
    EXPECT_EQ(other.state.fixed, mem.state.fixed);
    EXPECT_EQ(other.state.swap_bytes, mem.state.swap_bytes);
  }
  EXPECT_TRUE(walk_memory(bytes, false).messages.empty());
  EXPECT_EQ(walk_file(bytes).messages, mem.messages);
  return mem;
}

std::vector<std::size_t> changed(const Bytes& before, const Bytes& after) {
  std::vector<std::size_t> at;
  EXPECT_EQ(before.size(), after.size());
  for (std::size_t k = 0; k < before.size() && k < after.size(); ++k)
    if (before[k] != after[k]) at.push_back(k);
  return at;
}

// Positions of the bytes a patch of the fields at `fields` changes: the
// first (II) or second (MM) byte goes from 3 to 2, the rest stay 0.
std::vector<std::size_t> patched_bytes(bool big, std::vector<std::size_t> fields) {
  for (auto& f : fields) f += big ? 1 : 0;
  return fields;
}

void expect_rgb_at(const Outcome& out, bool big, std::size_t field) {
  const unsigned char want[4] = {static_cast<unsigned char>(big ? 0 : 2),
                                 static_cast<unsigned char>(big ? 2 : 0), 0, 0};
  ASSERT_LE(field + 4, out.bytes.size());
  EXPECT_EQ(0, std::memcmp(out.bytes.data() + field, want, 4)) << "field at " << field;
}

Bytes text(const char* s, std::size_t n) { return Bytes(s, s + n); }

TEST(TiffWalk, HeaderProblemsFailAndTouchNothing) {
  Tiff big_tiff(false, 43);
  big_tiff.directory(image_entries(3));
  Tiff mm_with_ii_version(true, 0x2a00);  // 2A 00 read big-endian
  mm_with_ii_version.directory(image_entries(3));
  const struct {
    Bytes bytes;
    const char* message;
  } cases[] = {
      {{}, "Could not read header.\n"},
      {text("II*\0\10\0\0", 7), "Could not read header.\n"},
      {text("IM*\0\10\0\0\0", 8), "Not a TIFF file, bad magic number 19785 (0x4d49)\n"},
      {text("\0\0\0\0\0\0\0\0", 8), "Not a TIFF file, bad magic number 0 (0)\n"},
      {text("ii*\0\10\0\0\0", 8), "Not a TIFF file, bad magic number 26985 (0x6969)\n"},
      {big_tiff.b, "Not a TIFF file, bad version number 43 (0x2b)\n"},
      {mm_with_ii_version.b, "Not a TIFF file, bad version number 10752 (0x2a00)\n"},
      {text("II\0\0\10\0\0\0", 8), "Not a TIFF file, bad version number 0 (0)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const Outcome out = walk(c.bytes);
    EXPECT_TRUE(out.state.failed);
    EXPECT_FALSE(out.state.fixed);
    EXPECT_EQ(out.bytes, c.bytes);
    EXPECT_EQ(out.messages, std::vector<std::string>{c.message});
  }
}

TEST(TiffWalk, RewritesEveryPaletteValueInBothByteOrders) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "MM" : "II");
    Tiff t(big);
    const std::uint32_t d0 = t.directory(image_entries(3));
    const std::uint32_t d1 = t.directory(image_entries(2));  // already RGB
    const std::uint32_t d2 = t.directory(image_entries(3));
    t.b.resize(t.b.size() + 40, 0xAB);  // image data after the last directory
    (void)d1;
    const Outcome out = walk(t.b);
    EXPECT_FALSE(out.state.failed);
    EXPECT_TRUE(out.state.fixed);
    EXPECT_EQ(out.state.swap_bytes, big);
    EXPECT_TRUE(out.messages.empty());
    EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(big, {value_field(d0, 3), value_field(d2, 3)}));
    expect_rgb_at(out, big, value_field(d0, 3));
    expect_rgb_at(out, big, value_field(d2, 3));
  }
}

TEST(TiffWalk, OnlyTag262WithThreeInItsFirstTwoBytesIsRewritten) {
  // The entry's type and count are not looked at: a LONG 3 is rewritten in
  // an II file (03 00 00 00) but not in an MM file (00 00 00 03).
  const struct {
    bool big;
    Entry entry;
    bool rewritten;
    const char* why;
  } cases[] = {
      {false, {262, SHORT, 1, 3}, true, "palette"},
      {true, {262, SHORT, 1, 3}, true, "palette, big-endian"},
      {false, {262, LONG, 1, 3}, true, "LONG 3 little-endian: 03 00 00 00"},
      {true, {262, LONG, 1, 3}, false, "LONG 3 big-endian: 00 00 00 03"},
      {true, {262, LONG, 1, 3u << 16}, true, "LONG 0x30000 big-endian: 00 03 00 00"},
      {false, {262, SHORT, 2, 3}, true, "count is not examined"},
      {false, {262, 7, 1, 3}, true, "type is not examined"},
      {false, {262, SHORT, 1, 2}, false, "already RGB"},
      {false, {262, SHORT, 1, 1}, false, "grey"},
      {false, {262, SHORT, 1, 0x0300}, false, "00 03: 768 in file order"},
      {false, {262, LONG, 1, 0x30003}, true, "03 00 03 00: first two bytes say 3"},
      {false, {263, SHORT, 1, 3}, false, "another tag with value 3"},
      {false, {6, SHORT, 1, 3}, false, "262's low byte as a tag"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Tiff t(c.big);
    const std::uint32_t D = t.directory({{256, SHORT, 1, 8}, c.entry});
    const Outcome out = walk(t.b);
    EXPECT_FALSE(out.state.failed);
    EXPECT_EQ(out.state.fixed, c.rewritten);
    if (c.rewritten) {
      for (std::size_t k : changed(t.b, out.bytes)) EXPECT_TRUE(k >= value_field(D, 1) && k < value_field(D, 1) + 4);
      expect_rgb_at(out, c.big, value_field(D, 1));
    } else {
      EXPECT_EQ(out.bytes, t.b);
    }
  }
}

TEST(TiffWalk, SeveralPaletteEntriesInOneDirectoryAreAllRewritten) {
  Tiff t(true);
  const std::uint32_t D = t.directory({{262, SHORT, 1, 3}, {258, SHORT, 1, 8}, {262, SHORT, 1, 3}});
  const Outcome out = walk(t.b);
  EXPECT_TRUE(out.state.fixed);
  EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(true, {value_field(D, 0), value_field(D, 2)}));
}

TEST(TiffWalk, EmptyDirectoryIsValidAndItsNextIsFollowed) {
  Tiff t(false);
  t.directory({});
  const std::uint32_t D = t.directory(image_entries(3));
  const Outcome out = walk(t.b);
  EXPECT_FALSE(out.state.failed);
  EXPECT_TRUE(out.state.fixed);
  EXPECT_TRUE(out.messages.empty());
  EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(false, {value_field(D, 3)}));
}

TEST(TiffWalk, TruncatedDirectoryIsRewrittenAsFarAsEntriesArrive) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "MM" : "II");
    Tiff t(big);
    const std::uint32_t D = t.directory({{256, SHORT, 1, 8}, {262, SHORT, 1, 3}, {262, SHORT, 1, 3}});
    t.b.resize(value_field(D, 2) - 1);  // third entry cut after 7 of its 12 bytes
    const Outcome out = walk(t.b);
    EXPECT_FALSE(out.state.failed);
    EXPECT_TRUE(out.state.fixed);
    EXPECT_EQ(out.messages, std::vector<std::string>{"Could only read 2 of 3 entries in directory at offset 0x8\n"});
    EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(big, {value_field(D, 1)}));
  }
}

TEST(TiffWalk, CountTheFileCannotHoldReadsOnlyWhatIsThere) {
  // 65535 entries announced, one present, then junk that must not be taken
  // as a next-directory offset.
  Tiff t(false);
  const std::uint32_t D = t.directory({{262, SHORT, 1, 3}});
  t.put16(D, 65535);
  t.put32(D + 14, 8);  // would loop back if it were read as a next offset
  const Outcome out = walk(t.b);
  EXPECT_FALSE(out.state.failed);
  EXPECT_TRUE(out.state.fixed);
  EXPECT_EQ(out.messages, std::vector<std::string>{"Could only read 1 of 65535 entries in directory at offset 0x8\n"});
  EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(false, {value_field(D, 0)}));

  Tiff none(true);
  const std::uint32_t E = none.directory({});
  none.put16(E, 4000);
  const Outcome empty = walk(none.b);
  EXPECT_FALSE(empty.state.failed);
  EXPECT_FALSE(empty.state.fixed);
  EXPECT_EQ(empty.messages, std::vector<std::string>{"Could only read 0 of 4000 entries in directory at offset 0x8\n"});
}

TEST(TiffWalk, UnreadableNextOffsetEndsTheChainSilently) {
  Tiff t(false);
  const std::uint32_t D = t.directory(image_entries(3));
  t.b.resize(t.b.size() - 2);  // two of the four next-offset bytes remain
  const Outcome out = walk(t.b);
  EXPECT_FALSE(out.state.failed);
  EXPECT_TRUE(out.state.fixed);
  EXPECT_TRUE(out.messages.empty());
  EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(false, {value_field(D, 3)}));
}

TEST(TiffWalk, DirectoryPastTheEndFailsButEarlierRewritesStay) {
  Tiff t(true);
  const std::uint32_t D = t.directory(image_entries(3));
  t.put32(t.last_link, 5000);
  // A file seeks past its end and then cannot read the count; a memory
  // stream refuses the seek itself.
  const Outcome in_file = walk_file(t.b);
  EXPECT_EQ(in_file.messages, std::vector<std::string>{"Could not read directory count.\n"});
  const Outcome in_memory = walk_memory(t.b);
  EXPECT_EQ(in_memory.messages, std::vector<std::string>{"Seek error accessing TIFF directory.\n"});
  for (const Outcome* out : {&in_file, &in_memory}) {
    EXPECT_TRUE(out->state.failed);
    EXPECT_TRUE(out->state.fixed);
    EXPECT_EQ(changed(t.b, out->bytes), patched_bytes(true, {value_field(D, 3)}));
  }
  // The count itself cut in half.
  Tiff half(false);
  half.put32(4, 8);
  half.b.push_back(1);
  const Outcome cut = walk(half.b);
  EXPECT_TRUE(cut.state.failed);
  EXPECT_EQ(cut.messages, std::vector<std::string>{"Could not read directory count.\n"});
}

TEST(TiffWalk, ChainThatComesBackStopsAsAFailure) {
  const struct {
    std::size_t directories, back_to;
  } cases[] = {{1, 0}, {2, 0}, {3, 1}, {64, 0}, {65, 64}, {129, 127}, {3000, 1234}, {3000, 2999}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.directories) + " directories, back to " + std::to_string(c.back_to));
    Tiff t(false);
    std::vector<std::uint32_t> dirs;
    for (std::size_t k = 0; k < c.directories; ++k) dirs.push_back(t.directory({{262, SHORT, 1, 3}}));
    t.put32(t.last_link, dirs[c.back_to]);
    const Outcome out = walk(t.b);
    EXPECT_TRUE(out.state.failed);
    EXPECT_TRUE(out.state.fixed);
    char expected[128];
    std::snprintf(expected, sizeof expected,
                  "TIFF directory chain loops back to the directory at offset %#lx\n",
                  static_cast<unsigned long>(dirs[c.back_to]));
    EXPECT_EQ(out.messages, std::vector<std::string>{expected});
    std::vector<std::size_t> fields;
    for (std::uint32_t D : dirs) fields.push_back(value_field(D, 0));
    EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(false, fields));
  }
}

TEST(TiffWalk, LoopIsFoundWhateverOrderTheChainVisitsOffsetsIn) {
  // The chain jumps around the file in a seeded random order, then comes
  // back to a random directory it already handled.
  std::mt19937 rng(6);
  for (int trial = 0; trial < 20; ++trial) {
    Tiff t(trial % 2 == 1);
    const std::size_t n = 1 + rng() % 1500;
    std::vector<std::uint32_t> dirs;
    for (std::size_t k = 0; k < n; ++k) dirs.push_back(t.directory({{262, SHORT, 1, 3}}));
    std::vector<std::uint32_t> order = dirs;
    std::shuffle(order.begin(), order.end(), rng);
    const std::uint32_t back = order[rng() % n];
    t.put32(4, order[0]);
    for (std::size_t k = 0; k < n; ++k) t.put32(order[k] + 14, k + 1 < n ? order[k + 1] : back);
    const Outcome out = walk_memory(t.b);
    EXPECT_TRUE(out.state.failed);
    char expected[128];
    std::snprintf(expected, sizeof expected,
                  "TIFF directory chain loops back to the directory at offset %#lx\n",
                  static_cast<unsigned long>(back));
    EXPECT_EQ(out.messages, std::vector<std::string>{expected}) << n << " directories";
    std::vector<std::size_t> fields;
    for (std::uint32_t D : dirs) fields.push_back(value_field(D, 0));
    EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(t.big, fields));
  }
}

TEST(TiffWalk, ChainLongerThanTheLimitStopsAsAFailure) {
  // Empty directories, 6 bytes each, back to back.
  for (std::uint32_t n : {tiff::kMaxDirectories, tiff::kMaxDirectories + 1}) {
    Tiff t(false);
    t.b.reserve(8 + 6 * std::size_t{n} + 12);
    for (std::uint32_t k = 0; k < n; ++k) t.directory({});
    const std::uint32_t D = t.directory({{262, SHORT, 1, 3}});  // one more, beyond the limit
    const Outcome out = walk_memory(t.b);
    EXPECT_TRUE(out.state.failed);
    EXPECT_FALSE(out.state.fixed) << "the directory past the limit is never reached";
    EXPECT_EQ(out.bytes[value_field(D, 0)], 3);
    EXPECT_EQ(out.messages, std::vector<std::string>{"TIFF directory chain longer than 1048576 directories\n"});
  }
  Tiff t(false);
  for (std::uint32_t k = 0; k + 1 < tiff::kMaxDirectories; ++k) t.directory({});
  const std::uint32_t last = t.directory({{262, SHORT, 1, 3}});
  const Outcome out = walk_memory(t.b);
  EXPECT_FALSE(out.state.failed) << "exactly the limit is still walked";
  EXPECT_TRUE(out.state.fixed);
  EXPECT_EQ(changed(t.b, out.bytes), patched_bytes(false, {value_field(last, 0)}));
}

TEST(TiffWalk, WriteRefusedByTheStreamIsAFailure) {
  Tiff t(false);
  t.directory({{262, SHORT, 1, 3}, {262, SHORT, 1, 3}});
  const Outcome out = walk_memory(t.b, true, "r");
  EXPECT_TRUE(out.state.failed);
  EXPECT_FALSE(out.state.fixed);
  EXPECT_EQ(out.bytes, t.b);
  EXPECT_EQ(out.messages, std::vector<std::string>{"Could not write new PhotometricInterpretation value.\n"});
}

// A stream over a byte vector whose seeks to one position fail, or whose
// writes fail when they reach the device (after fwrite has buffered them).
struct Faulty {
  Bytes bytes;
  off_t pos = 0;
  off_t refuse_seek_to = -1;
  bool refuse_writes = false;
  bool unbuffered = false;  // so that every seek reaches the device, none is served from the buffer

  static ssize_t read(void* c, char* buf, size_t n) {
    auto* f = static_cast<Faulty*>(c);
    const auto at = static_cast<std::size_t>(f->pos);
    const std::size_t k = at >= f->bytes.size() ? 0 : std::min(n, f->bytes.size() - at);
    std::memcpy(buf, f->bytes.data() + at, k);
    f->pos += static_cast<off_t>(k);
    return static_cast<ssize_t>(k);
  }
  static ssize_t write(void* c, const char* buf, size_t n) {
    auto* f = static_cast<Faulty*>(c);
    if (f->refuse_writes) return -1;
    const auto at = static_cast<std::size_t>(f->pos);
    if (at + n > f->bytes.size()) f->bytes.resize(at + n);
    std::memcpy(f->bytes.data() + at, buf, n);
    f->pos += static_cast<off_t>(n);
    return static_cast<ssize_t>(n);
  }
  static int seek(void* c, off64_t* offset, int whence) {
    auto* f = static_cast<Faulty*>(c);
    const off_t target = whence == SEEK_SET   ? *offset
                         : whence == SEEK_CUR ? f->pos + *offset
                                              : static_cast<off_t>(f->bytes.size()) + *offset;
    if (target == f->refuse_seek_to || target < 0) return -1;
    f->pos = target;
    *offset = target;
    return 0;
  }
  Outcome walk() {
    cookie_io_functions_t io{read, write, seek, nullptr};
    std::FILE* s = fopencookie(this, "r+", io);
    if (unbuffered) setvbuf(s, nullptr, _IONBF, 0);
    Outcome out = run_on(s, Bytes{}, true);
    std::fclose(s);
    out.bytes = bytes;
    return out;
  }
};

TEST(TiffWalk, SeekOrWriteFailureAtAValueFieldStopsTheDirectory) {
  Tiff t(false);
  const std::uint32_t D = t.directory({{262, SHORT, 1, 3}, {262, SHORT, 1, 3}});
  t.directory({{262, SHORT, 1, 3}});

  Faulty seek_fails{t.b};
  seek_fails.refuse_seek_to = static_cast<off_t>(value_field(D, 1));
  seek_fails.unbuffered = true;
  const Outcome a = seek_fails.walk();
  EXPECT_TRUE(a.state.failed);
  EXPECT_TRUE(a.state.fixed) << "the first entry was written before the second failed";
  EXPECT_EQ(a.messages, std::vector<std::string>{"Seek error accessing TIFF tag for writing.\n"});
  EXPECT_EQ(changed(t.b, a.bytes), patched_bytes(false, {value_field(D, 0)}));

  Faulty write_fails{t.b};
  write_fails.refuse_writes = true;
  const Outcome b = write_fails.walk();
  EXPECT_TRUE(b.state.failed);
  EXPECT_FALSE(b.state.fixed) << "a write lost in the buffer is not a repair";
  EXPECT_EQ(b.messages, std::vector<std::string>{"Could not write new PhotometricInterpretation value.\n"});
}

TEST(TiffWalk, PatchDirectoryReturnsTheNextOffsetOrZero) {
  Tiff t(true);
  const std::uint32_t d0 = t.directory({{262, SHORT, 1, 3}});
  const std::uint32_t d1 = t.directory({});
  std::FILE* f = fmemopen(t.b.data(), t.b.size(), "r+");
  ASSERT_NE(f, nullptr);
  FileState state;
  state.swap_bytes = true;
  tiff::MessageSink quiet_sink;
  tiff::Settings settings;
  EXPECT_EQ(tiff::patch_directory(f, d0, quiet_sink, settings, state), d1);
  EXPECT_TRUE(state.fixed);
  EXPECT_EQ(tiff::patch_directory(f, d1, quiet_sink, settings, state), 0u);
  EXPECT_FALSE(state.failed);
  EXPECT_EQ(tiff::patch_directory(f, 0xFFFFFFFFu, quiet_sink, settings, state), 0u);
  EXPECT_TRUE(state.failed);
  std::fclose(f);
}

TEST(TiffWalk, ReachesPositionsBeyondTwoToThe31) {
  // A sparse file whose only directory sits near the top of the 32-bit range,
  // so its value field lies past 2^32 - 1 - 12 and its next offset past 2^32.
  char path[] = "/tmp/tiff_walk_testXXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  unlink(path);
  const std::uint32_t D = 0xFFFFFFF0u;
  Tiff t(false);
  t.put32(4, D);
  Tiff dir(false);
  dir.b.clear();
  dir.put16(0, 1);
  dir.put16(2, 262);
  dir.put16(4, SHORT);
  dir.put32(6, 1);
  dir.put16(10, 3);
  dir.put16(12, 0);
  dir.put32(14, 0);
  const bool made = ftruncate(fd, static_cast<off_t>(D) + 18) == 0 &&
                    pwrite(fd, t.b.data(), 8, 0) == 8 &&
                    pwrite(fd, dir.b.data(), dir.b.size(), static_cast<off_t>(D)) ==
                        static_cast<ssize_t>(dir.b.size());
  if (!made) {
    close(fd);
    GTEST_SKIP() << "no room for a sparse 4 GiB file here";
  }
  std::FILE* f = fdopen(fd, "r+b");
  ASSERT_NE(f, nullptr);
  Outcome out = run_on(f, Bytes{}, true);
  EXPECT_FALSE(out.state.failed);
  EXPECT_TRUE(out.state.fixed);
  EXPECT_TRUE(out.messages.empty());
  unsigned char field[4] = {9, 9, 9, 9};
  EXPECT_EQ(pread(fd, field, 4, static_cast<off_t>(D) + 10), 4);
  const unsigned char rgb[4] = {2, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(field, rgb, 4));
  std::fclose(f);
}

}  // namespace
