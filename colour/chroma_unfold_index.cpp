#include "colour/chroma_unfold_index.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "colour/chroma_unfold_steps.h"

namespace colour {
namespace {

const double kPi = 3.141592653589793;
const double kTwoPi = 2 * kPi;
const double kInf = std::numeric_limits<double>::infinity();

// Radius of the disc about the axis, relative to the triangle's largest
// |a| or |b|: the rounding of a cut is about 1e-14 of that, so points
// outside the disc sit on their hue to within 1e-9 rad, well inside the
// widening of each hue interval.
const double kAxisRadius = 1e-5;
const double kHueWidening = 1e-6;
// Widening of a triangle's chroma range, relative to the same scale.
const double kChromaSlack = 1e-9;
// Beyond these scales the relative error argument above does not hold
// (subnormal products, overflowing differences).
const double kSmallestScale = 1e-100;
const double kLargestScale = 1e100;

struct Point {
  double a, b;
};

double norm(Point p) { return std::sqrt(p.a * p.a + p.b * p.b); }

// An arc of hue from `start` (as atan2 gives it) running `width` radians
// counter-clockwise.
struct Arc {
  double start, width;
};

// The hues a segment sweeps, seen from the axis. The segment stays clear of
// the axis, so it sweeps less than half a turn; when the two ends are so
// nearly opposite that rounding could pick the wrong way round, false.
bool segment_arc(Point p, Point q, Arc* arc) {
  const double alpha = std::atan2(p.b, p.a);
  const double beta = std::atan2(q.b, q.a);
  double diff = beta - alpha;
  if (diff < 0) diff += kTwoPi;
  if (std::fabs(diff - kPi) < 1e-9) return false;
  *arc = diff <= kPi ? Arc{alpha, diff} : Arc{beta, kTwoPi - diff};
  return true;
}

// Distance from the axis to the segment p-q, and the parameter of the
// nearest point.
double segment_distance(Point p, Point q, double* t_nearest) {
  const Point w{q.a - p.a, q.b - p.b};
  const double A = w.a * w.a + w.b * w.b;
  double t = 0;
  if (A > 0) t = std::min(1.0, std::max(0.0, -(p.a * w.a + p.b * w.b) / A));
  *t_nearest = t;
  return norm({p.a + t * w.a, p.b + t * w.b});
}

// Adds the arcs of the parts of edge p-q outside radius `clip`. The parts
// cut away lie within 1.5 * clip of the axis. False if an arc is ambiguous.
bool edge_arcs(Point p, Point q, double clip, std::vector<Arc>* arcs) {
  double t;
  const double d = segment_distance(p, q, &t);
  Arc arc;
  if (d >= clip) {
    if (!segment_arc(p, q, &arc)) return false;
    arcs->push_back(arc);
    return true;
  }
  const Point w{q.a - p.a, q.b - p.b};
  const double length = norm(w);
  if (length == 0) return true;  // a point inside the disc
  // Half of the chord's half-length, so that what is cut away lies well
  // inside the disc whatever the rounding.
  const double half = 0.5 * std::sqrt(clip * clip - d * d) / length;
  const double t1 = t - half, t2 = t + half;
  if (t1 > 0) {
    if (!segment_arc(p, {p.a + t1 * w.a, p.b + t1 * w.b}, &arc)) return false;
    arcs->push_back(arc);
  }
  if (t2 < 1) {
    if (!segment_arc({p.a + t2 * w.a, p.b + t2 * w.b}, q, &arc)) return false;
    arcs->push_back(arc);
  }
  return true;
}

double cross(Point p, Point q) { return p.a * q.b - p.b * q.a; }

struct ChromaRange {
  double low, high;
};

class HueIndex {
 public:
  HueIndex(const double* mesh, int32_t K, int32_t bins);

  int32_t hue_bin(double h) const {
    const double f = (h + kPi) * hue_bins_per_radian_;
    if (!(f > 0)) return 0;
    return f >= hue_bins_ ? hue_bins_ - 1 : static_cast<int32_t>(f);
  }
  int32_t chroma_bin(double r) const {
    const double f = r * chroma_bins_per_unit_;
    if (!(f > 0)) return 0;
    return f >= chroma_bins_ ? chroma_bins_ - 1 : static_cast<int32_t>(f);
  }
  // Both bin functions only ever grow with their argument, which is what
  // makes filing by the bins of a range's two ends sound.
  std::size_t cell(double h, double r) const {
    return static_cast<std::size_t>(hue_bin(h)) * static_cast<std::size_t>(chroma_bins_) +
           static_cast<std::size_t>(chroma_bin(r));
  }

  int32_t hue_bins_;
  double hue_bins_per_radian_;
  int32_t chroma_bins_ = 1;
  double chroma_bins_per_unit_ = 0;
  std::vector<ChromaRange> chroma_;  // per column
  std::vector<std::size_t> offsets_;  // one more than cells, into entries_
  std::vector<int32_t> entries_;     // columns by cell (hue bin, chroma bin), ascending
  std::vector<int32_t> always_;      // columns cut for every colour, ascending
  std::vector<int32_t> near_axis_;   // columns cut for colours near the axis, ascending
  double near_radius_ = -1;          // colours with chroma up to this use near_axis_

 private:
  // Bin ranges [first, last] a triangle is filed under; false if it is to
  // be cut for every colour.
  bool file_triangle(const double* column, ChromaRange* chroma, double* near_radius,
                     std::vector<std::pair<int32_t, int32_t>>* ranges, std::vector<Arc>* arcs) const;
};

bool HueIndex::file_triangle(const double* column, ChromaRange* chroma, double* near_radius,
                             std::vector<std::pair<int32_t, int32_t>>* ranges,
                             std::vector<Arc>* arcs) const {
  *chroma = {-kInf, kInf};
  *near_radius = -1;
  ranges->clear();
  arcs->clear();
  Point v[3];
  double scale = 0;
  for (int i = 0; i < 3; ++i) {
    v[i] = {column[3 * i + 1], column[3 * i + 2]};
    if (!std::isfinite(v[i].a) || !std::isfinite(v[i].b)) return false;
    scale = std::max(scale, std::max(std::fabs(v[i].a), std::fabs(v[i].b)));
  }
  if (!(scale >= kSmallestScale && scale <= kLargestScale)) return false;

  const double radius = kAxisRadius * scale;
  const double slack = kChromaSlack * scale;

  // The axis is surely outside the triangle when two of the three corner
  // areas it spans with the edges have opposite signs, each too large for
  // rounding to have flipped it; otherwise it is taken to be inside.
  const double tiny = 1e-12 * scale * scale;
  bool positive = false, negative = false;
  for (int i = 0; i < 3; ++i) {
    const double c = cross(v[i], v[(i + 1) % 3]);
    if (c > tiny) positive = true;
    if (c < -tiny) negative = true;
  }
  const bool encloses = !(positive && negative);
  double distance = kInf;
  for (int i = 0; i < 3; ++i) {
    double t;
    distance = std::min(distance, segment_distance(v[i], v[(i + 1) % 3], &t));
  }
  if (encloses) distance = 0;
  const double highest = std::max(norm(v[0]), std::max(norm(v[1]), norm(v[2])));
  *chroma = {distance - slack, highest + slack};
  // Near the axis: the triangle may give segments of chroma below `radius`
  // at hues outside its arcs.
  if (distance <= 1.5 * radius) *near_radius = 2 * radius;

  for (int i = 0; i < 3; ++i)
    if (!edge_arcs(v[i], v[(i + 1) % 3], 0.25 * radius, arcs)) return false;

  double covered = 0;
  for (const Arc& arc : *arcs) {
    const double lo = arc.start - kHueWidening;
    const double hi = arc.start + arc.width + kHueWidening;
    if (hi - lo >= kTwoPi) return false;
    if (hi > kPi) {
      ranges->push_back({hue_bin(lo), hue_bins_ - 1});
      ranges->push_back({0, hue_bin(hi - kTwoPi)});
    } else if (lo < -kPi) {
      ranges->push_back({hue_bin(lo + kTwoPi), hue_bins_ - 1});
      ranges->push_back({0, hue_bin(hi)});
    } else {
      ranges->push_back({hue_bin(lo), hue_bin(hi)});
    }
    covered += hi - lo;
  }
  if (covered > kPi) return false;
  // Merge into disjoint ascending ranges, so each bin lists a column once.
  std::sort(ranges->begin(), ranges->end());
  std::size_t n = 0;
  for (const auto& r : *ranges) {
    if (n > 0 && r.first <= (*ranges)[n - 1].second + 1)
      (*ranges)[n - 1].second = std::max((*ranges)[n - 1].second, r.second);
    else
      (*ranges)[n++] = r;
  }
  ranges->resize(n);
  return true;
}

HueIndex::HueIndex(const double* mesh, int32_t K, int32_t bins) {
  // About eight hue bins to the typical triangle of a closed surface around
  // the axis, whose meridians hold about sqrt(K) triangles, and chroma bins
  // a few times finer than its rings.
  hue_bins_ = 16;
  while (hue_bins_ < 4096 && hue_bins_ < 8 * std::sqrt(static_cast<double>(K))) hue_bins_ *= 2;
  if (bins > 0) hue_bins_ = std::min(bins, 1 << 20);
  // (With very fine hue bins, fewer chroma bins keep the cell table small.)
  hue_bins_per_radian_ = hue_bins_ / kTwoPi;
  const std::size_t K_size = static_cast<std::size_t>(K);
  chroma_.resize(K_size);

  // Hue ranges of every filed triangle, in column order.
  std::vector<std::pair<int32_t, int32_t>> ranges;
  std::vector<Arc> arcs;
  std::vector<std::size_t> first(K_size + 1, 0);
  std::vector<std::pair<int32_t, int32_t>> all_ranges;
  std::vector<char> filed(K_size, 0);
  double highest = 0;
  for (int32_t k = 0; k < K; ++k) {
    const std::size_t kk = static_cast<std::size_t>(k);
    double near_radius;
    filed[kk] = file_triangle(mesh + 14 * static_cast<std::ptrdiff_t>(k), &chroma_[kk], &near_radius,
                              &ranges, &arcs);
    if (filed[kk]) {
      all_ranges.insert(all_ranges.end(), ranges.begin(), ranges.end());
      highest = std::max(highest, chroma_[kk].high);
      if (near_radius >= 0) {
        near_axis_.push_back(k);
        near_radius_ = std::max(near_radius_, near_radius);
      }
    }
    first[kk + 1] = all_ranges.size();
  }
  if (highest > 0) {
    chroma_bins_ = std::max(1, std::min(32, (1 << 18) / hue_bins_));
    chroma_bins_per_unit_ = chroma_bins_ / highest;
  }

  // Cells each filed triangle would occupy. Should they add up to more
  // than a small multiple of the mesh's size, the most spread-out triangles
  // are cut for every colour instead, which bounds the index's memory.
  const std::size_t cells = static_cast<std::size_t>(hue_bins_) * static_cast<std::size_t>(chroma_bins_);
  std::vector<std::size_t> spread(K_size, 0);
  std::size_t total = 0;
  for (std::size_t kk = 0; kk < K_size; ++kk) {
    if (!filed[kk]) continue;
    const std::size_t chroma_span = static_cast<std::size_t>(chroma_bin(chroma_[kk].high) -
                                                             chroma_bin(chroma_[kk].low)) + 1;
    for (std::size_t j = first[kk]; j < first[kk + 1]; ++j)
      spread[kk] += static_cast<std::size_t>(all_ranges[j].second - all_ranges[j].first + 1) * chroma_span;
    total += spread[kk];
  }
  const std::size_t budget = 32 * K_size + (std::size_t{1} << 20);
  std::size_t cutoff = std::numeric_limits<std::size_t>::max();
  if (total > budget) {
    std::vector<std::size_t> widest(spread);
    std::sort(widest.begin(), widest.end(), std::greater<std::size_t>());
    for (std::size_t j = 0; j < widest.size() && total > budget; ++j) {
      total -= widest[j];
      cutoff = widest[j];
    }
  }
  std::vector<std::size_t> count(cells + 1, 0);
  for (int32_t k = 0; k < K; ++k) {
    const std::size_t kk = static_cast<std::size_t>(k);
    if (filed[kk] && spread[kk] >= cutoff) filed[kk] = 0;
    if (!filed[kk]) {
      always_.push_back(k);
      continue;
    }
    const std::size_t c0 = static_cast<std::size_t>(chroma_bin(chroma_[kk].low));
    const std::size_t c1 = static_cast<std::size_t>(chroma_bin(chroma_[kk].high));
    for (std::size_t j = first[kk]; j < first[kk + 1]; ++j)
      for (int32_t h = all_ranges[j].first; h <= all_ranges[j].second; ++h)
        for (std::size_t c = c0; c <= c1; ++c)
          ++count[static_cast<std::size_t>(h) * static_cast<std::size_t>(chroma_bins_) + c + 1];
  }
  offsets_.assign(cells + 1, 0);
  for (std::size_t c = 1; c <= cells; ++c) offsets_[c] = offsets_[c - 1] + count[c];
  entries_.resize(offsets_.back());
  std::vector<std::size_t> fill(offsets_.begin(), offsets_.end() - 1);
  for (int32_t k = 0; k < K; ++k) {
    const std::size_t kk = static_cast<std::size_t>(k);
    if (!filed[kk]) continue;
    const std::size_t c0 = static_cast<std::size_t>(chroma_bin(chroma_[kk].low));
    const std::size_t c1 = static_cast<std::size_t>(chroma_bin(chroma_[kk].high));
    for (std::size_t j = first[kk]; j < first[kk + 1]; ++j)
      for (int32_t h = all_ranges[j].first; h <= all_ranges[j].second; ++h)
        for (std::size_t c = c0; c <= c1; ++c)
          entries_[fill[static_cast<std::size_t>(h) * static_cast<std::size_t>(chroma_bins_) + c]++] = k;
  }
}

// Boundary lightness remembered for recent colours, keyed by the exact bits
// of a, b and pivot_L, which decide it completely.
class BoundaryCache {
 public:
  BoundaryCache() : slots_(kSize) {}

  bool find(double a, double b, double pivot_L, double* L_upper, double* L_lower) {
    Slot& s = slots_[slot(a, b, pivot_L)];
    if (!s.used || s.a != bits(a) || s.b != bits(b) || s.p != bits(pivot_L)) return false;
    *L_upper = s.L_upper;
    *L_lower = s.L_lower;
    return true;
  }

  void store(double a, double b, double pivot_L, double L_upper, double L_lower) {
    slots_[slot(a, b, pivot_L)] = {bits(a), bits(b), bits(pivot_L), L_upper, L_lower, true};
  }

 private:
  static constexpr std::size_t kSize = 4096;
  struct Slot {
    uint64_t a = 0, b = 0, p = 0;
    double L_upper = 0, L_lower = 0;
    bool used = false;
  };
  static uint64_t bits(double v) {
    uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
  }
  static std::size_t slot(double a, double b, double pivot_L) {
    uint64_t h = bits(a) * 0x9E3779B97F4A7C15ull;
    h ^= bits(b) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= bits(pivot_L) + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
    h ^= h >> 29;
    return static_cast<std::size_t>(h * 0xBF58476D1CE4E5B9ull >> 52) & (kSize - 1);
  }
  std::vector<Slot> slots_;
};

// Walks up to three ascending column lists as one, each column once.
template <class Visit>
void merged(const int32_t* p0, const int32_t* e0, const int32_t* p1, const int32_t* e1,
            const int32_t* p2, const int32_t* e2, Visit visit) {
  const int32_t end = std::numeric_limits<int32_t>::max();
  for (;;) {
    const int32_t k0 = p0 != e0 ? *p0 : end;
    const int32_t k1 = p1 != e1 ? *p1 : end;
    const int32_t k2 = p2 != e2 ? *p2 : end;
    const int32_t k = std::min(k0, std::min(k1, k2));
    if (k == end) return;
    if (k0 == k) ++p0;
    if (k1 == k) ++p1;
    if (k2 == k) ++p2;
    visit(k);
  }
}

}  // namespace

void unfold_indexed(const double* x, const double* a, const double* b, const double* mesh,
                    int32_t K, const double* pivot_L, const double* pivot_C, const double* top_L,
                    const double* bottom_L, int64_t count, double* out, int32_t hue_bins) {
  if (count <= 0) return;
  const HueIndex index(mesh, K, hue_bins);
  BoundaryCache cache;
  const int32_t* always = index.always_.data();
  const int32_t* always_end = always + index.always_.size();
  const int32_t* near = index.near_axis_.data();
  const int32_t* near_end = near + index.near_axis_.size();

  for (int64_t i = 0; i < count; ++i) {
    const double ai = a[i], bi = b[i], pL = pivot_L[i];
    const double r = std::sqrt(ai * ai + bi * bi);
    double L_upper = 100.0;
    double L_lower = 0.0;
    if (!cache.find(ai, bi, pL, &L_upper, &L_lower)) {
      const double h = std::atan2(bi, ai);
      const double s = std::sin(h);
      const double c = std::cos(h);
      auto cut = [&](int32_t k) {
        const ChromaRange& range = index.chroma_[static_cast<std::size_t>(k)];
        if (r < range.low || r > range.high) return;
        Segment g;
        if (cut_triangle(s, c, mesh + 14 * static_cast<std::ptrdiff_t>(k), &g))
          apply_segment(g, r, pL, &L_upper, &L_lower);
      };
      // A NaN hue makes every plane distance NaN, so no triangle is cut at
      // all; whichever bin it lands in gives the same bounds.
      const std::size_t cell = index.cell(h, r);
      const int32_t* first = index.entries_.data() + index.offsets_[cell];
      const int32_t* last = index.entries_.data() + index.offsets_[cell + 1];
      const bool by_axis = r <= index.near_radius_;
      if (always == always_end && !by_axis) {
        for (const int32_t* p = first; p != last; ++p) cut(*p);
      } else {
        merged(first, last, always, always_end, by_axis ? near : near_end, near_end, cut);
      }
      cache.store(ai, bi, pL, L_upper, L_lower);
    }
    out[i] = stretch_lightness(x[i], r, pL, pivot_C[i], top_L[i], bottom_L[i], L_upper, L_lower);
  }
}

}  // namespace colour
