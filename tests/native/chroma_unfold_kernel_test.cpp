#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "colour/chroma_unfold_index.h"
#include "colour/chroma_unfold_kernel.h"
#include "tests/native/literal/chroma_unfold_literal.h"
#include "tests/native/fixtures.h"

namespace {

using namespace fixtures;

struct Vertex {
  double L, a, b;
};

// A 14-row mesh. The five trailing rows of each column are NaN: they are
// carried in the format but never read, so any use of them would show.
struct Mesh {
  std::vector<double> data;
  void add(Vertex v0, Vertex v1, Vertex v2) {
    for (const Vertex& v : {v0, v1, v2}) data.insert(data.end(), {v.L, v.a, v.b});
    data.insert(data.end(), 5, kNaN);
  }
  int32_t K() const { return static_cast<int32_t>(data.size() / 14); }
  const double* ptr() const { return data.data(); }
};

// A triangle whose cut by the hue-0 half-plane is exactly the segment from
// (chroma C1, lightness L1) to (C2, L2): V0 lies in the plane, V1 and V2 sit
// on either side of the far end, and all the arithmetic is exact.
void add_segment(Mesh& m, double C1, double L1, double C2, double L2) {
  m.add({L1, C1, 0}, {L2, C2, 1}, {L2, C2, -1});
}

struct Source {
  double pivot_L, pivot_C, top_L, bottom_L;
};
const Source kSource{50, 50, 100, 0};

// Lightness x of the colour at hue 0 and chroma r.
double map(const Mesh& m, double x, double r, Source s = kSource) {
  colour::SegmentLists lists;
  return colour::unfold_lightness(x, r, 0.0, s.pivot_L, s.pivot_C, s.top_L, s.bottom_L, m.ptr(),
                                  m.K(), &lists);
}

TEST(MeshHueSlice, CutsOfSingleTriangles) {
  struct Case {
    Vertex v0, v1, v2;
    int64_t n;
    double C_first, L_first, C_second, L_second;
    const char* why;
  } cases[] = {
      {{100, 10, 10}, {0, 10, -10}, {20, 30, -10}, 1, 10, 50, 20, 60,
       "first end from V1->V0, second from V2->V0; V2->V1 lies parallel to the plane"},
      {{40, 20, 0}, {50, 25, 1}, {50, 25, -1}, 1, 20, 40, 25, 50,
       "V0 in the plane is found twice; the third point is the far end"},
      {{100, 20, 10}, {40, 20, 0}, {0, 30, -10}, 1, 20, 40, 25, 50,
       "V1 in the plane: the third point repeats the first, so the second is used"},
      {{40, -20, 0}, {50, -25, 1}, {50, -25, -1}, 0, 0, 0, 0, 0,
       "crossing on the opposite side of the axis"},
      {{40, 20, 1}, {50, 25, 2}, {50, 25, 3}, 0, 0, 0, 0, 0, "all on one side: no crossing"},
      {{50, 1, 2e-17}, {50, 2, 0.3}, {50, 3, 0.1}, 0, 0, 0, 0, 0,
       "one crossing point: 2e-17 - 0.3 rounds to -0.3 (t = 1) but 2e-17 - 0.1 does not (t > 1)"},
      {{50, 1, 0}, {50, 2, 0.3}, {50, 3, 0.1}, 1, 1, 50, 1, 50,
       "the same triangle touching the plane at V0 gives V0 twice"},
      {{kNaN, 10, 10}, {0, 10, -10}, {20, 30, -10}, 1, 10, kNaN, 20, kNaN,
       "a NaN lightness is carried into the segment"},
      {{100, kNaN, 10}, {0, 10, -10}, {20, 30, -10}, 0, 0, 0, 0, 0,
       "a NaN opponent coordinate leaves at most the edge V2->V1, one point at most"},
  };
  for (const Case& k : cases) {
    Mesh m;
    m.add(k.v0, k.v1, k.v2);
    colour::SegmentLists lists;
    ASSERT_EQ(colour::mesh_hue_slice(0.0, m.ptr(), m.K(), &lists), k.n) << k.why;
    ASSERT_EQ(lists.C_first.size(), static_cast<size_t>(k.n)) << k.why;
    if (k.n == 0) continue;
    EXPECT_TRUE(same_bits(lists.C_first[0], k.C_first)) << k.why;
    EXPECT_TRUE(same_bits(lists.L_first[0], k.L_first)) << k.why;
    EXPECT_TRUE(same_bits(lists.C_second[0], k.C_second)) << k.why;
    EXPECT_TRUE(same_bits(lists.L_second[0], k.L_second)) << k.why;
  }
}

TEST(MeshHueSlice, ListsGrowPastAThousandSegments) {
  Mesh m;
  for (int k = 0; k < 1499; ++k) add_segment(m, 0, 80, 40, 60);
  add_segment(m, 0, 90, 40, 90);
  colour::SegmentLists lists;
  ASSERT_EQ(colour::mesh_hue_slice(0.0, m.ptr(), m.K(), &lists), 1500);
  EXPECT_EQ(lists.L_first.back(), 90.0);
  // The last triangle, number 1500, decides the upper bound: 50 + 15*40/30.
  EXPECT_EQ(map(m, 65, 20), 70.0);
}

TEST(UnfoldLightness, EdgeCases) {
  struct Case {
    std::vector<std::vector<double>> segments;  // C1, L1, C2, L2 in mesh order
    double x, r;
    Source source;
    double expected;
    const char* why;
  } cases[] = {
      {{}, 60, 25, kSource, 70, "no mesh: upper bound 100; 50 + 10*50/25"},
      {{}, 40, 25, kSource, 30, "no mesh: lower bound 0; 50 + (-10)(-50)/(-25)"},
      {{}, 50, 25, kSource, 50, "x at the pivot takes the lower branch and stays"},
      {{}, 50, 50, kSource, kNaN, "x at the pivot with E_bottom = pivot_L: 0/0"},
      {{}, 60, 50, kSource, kInf, "r = pivot_C puts E_top on the pivot: 10*50/0"},
      {{}, 40, 50, kSource, kInf, "and E_bottom too: (-10)(-50)/0"},
      {{}, 60, 25, {50, 50, 50, 0}, kInf, "top_L = pivot_L: E_top is the pivot at every chroma"},
      {{}, 40, 25, {50, 50, 100, 50}, kInf, "bottom_L = pivot_L: (-10)(-50)/0"},
      {{{0, 80, 40, 60}}, 65, 20, kSource, 60, "upper segment: L_upper = 70; 50 + 15*20/30"},
      {{{0, 80, 40, 60}}, 35, 20, kSource, 25, "it leaves the lower bound at 0"},
      {{{40, 60, 0, 80}}, 65, 20, kSource, 60, "the ends may come in either chroma order"},
      {{{0, 80, 40, 60}}, 65, 45, kSource, 200, "r beyond the segment: L_upper stays 100"},
      {{{0, 80, 40, 60}}, 65, 40, kSource, 65, "the chroma range includes its ends: Lk = 60, 50 + 15*10/10"},
      {{{0, 80, 40, 20}}, 65, 10, kSource, 55.625, "ends on both sides set both bounds to 65"},
      {{{0, 80, 40, 20}}, 35, 10, kSource, 55.625, "... and the lower branch sees 65 as well"},
      {{{30, 80, 30, 60}}, 65, 30, kSource, kNaN, "equal-chroma segment: 0*(-20)/0 decides L_upper"},
      {{{30, 80, 30, 60}}, 35, 30, kSource, 12.5, "it does not touch the lower bound"},
      {{{0, 80, 40, 60}, {0, 90, 40, 90}}, 65, 20, kSource, 70, "the later segment wins: 90"},
      {{{0, 90, 40, 90}, {0, 80, 40, 60}}, 65, 20, kSource, 60, "in the other order: 70"},
      {{{0, 80, 40, 60}, {0, 90, 10, 90}}, 65, 20, kSource, 60, "a later one that misses r does not"},
      {{{0, 50.00005, 40, 49.99995}}, 65, 20, kSource, 75, "within the margin: neither bound"},
      {{{0, 0.0001, 40, 0.0001}}, 30, 20, {0, 50, 100, -100}, 50,
       "exactly 0.0001 above the pivot is not above the margin: L_upper stays 100"},
  };
  for (const Case& k : cases) {
    Mesh m;
    for (const auto& g : k.segments) add_segment(m, g[0], g[1], g[2], g[3]);
    const double got = map(m, k.x, k.r, k.source);
    EXPECT_TRUE(same_bits(got, k.expected)) << k.why << ": got " << got;
  }
}

TEST(UnfoldLightness, OppositeSideOfTheAxisCountsOnlyAtTheOppositeHue) {
  Mesh m;
  m.add({80, -20, 0}, {60, -40, 1}, {60, -40, -1});  // the segment (20, 80)-(40, 60) at hue pi
  colour::SegmentLists lists;
  // Hue 0 sees no boundary: 50 + 15*50/20.
  EXPECT_EQ(colour::unfold_lightness(65, 30, 0, 50, 50, 100, 0, m.ptr(), m.K(), &lists), 87.5);
  // Hue pi (a < 0, b = +0): L_upper = 70 within rounding of sin(pi).
  EXPECT_NEAR(colour::unfold_lightness(65, -30, 0, 50, 50, 100, 0, m.ptr(), m.K(), &lists),
              50 + 15.0 * 20 / 20, 1e-12);
}

// An octahedron about the lightness axis: poles at lightness 0 and 100, four
// equator corners at lightness 50 and chroma 70 on the a and b axes. At a
// hue with (cos, sin) = (0.6, 0.8) the equator edge between (70, 0) and
// (0, 70) lies at chroma 70/1.4 = 50, so the boundary in that plane runs
// from (0, 100) to (50, 50) above and from (0, 0) to (50, 50) below:
// L_upper = 100 - r and L_lower = r. With pivot (50, 100), top 100 and
// bottom 0, the source edges are E_top = 100 - r/2 and E_bottom = r/2.
Mesh octahedron() {
  const Vertex top{100, 0, 0}, bottom{0, 0, 0};
  const Vertex ring[4] = {{50, 70, 0}, {50, 0, 70}, {50, -70, 0}, {50, 0, -70}};
  Mesh m;
  for (int k = 0; k < 4; ++k) {
    m.add(top, ring[k], ring[(k + 1) % 4]);
    m.add(ring[k], bottom, ring[(k + 1) % 4]);
  }
  return m;
}

TEST(UnfoldLightness, OctahedronWorkedByHand) {
  const Mesh m = octahedron();
  struct Case {
    double x, a, b, expected;
    const char* why;
  } cases[] = {
      {90, 12, 16, 80, "r = 20 on the source top edge lands on the mesh: 100 - 20"},
      {80, 24, 32, 60, "r = 40 on the source top edge: 100 - 40"},
      {65, 24, 32, 55, "halfway between pivot and edge: 50 + 15*10/30"},
      {10, 12, 16, 20, "r = 20 on the source bottom edge lands on L_lower = 20"},
      {30, 12, 16, 35, "50 + (-20)(20 - 50)/(10 - 50)"},
      {50, 12, 16, 50, "the pivot maps to itself"},
      {75, 36, 48, 112.5, "r = 60 lies outside the mesh: L_upper = 100, 50 + 25*50/20"},
      {90, -12, -16, 80, "the opposite hue sees the mirrored faces"},
      {90, 16, -12, 80, "and so does a hue in the fourth quadrant"},
  };
  colour::SegmentLists lists;
  for (const Case& k : cases)
    EXPECT_NEAR(colour::unfold_lightness(k.x, k.a, k.b, 50, 100, 100, 0, m.ptr(), m.K(), &lists),
                k.expected, 1e-9)
        << k.why;
}

TEST(UnfoldLightness, EmptyInputWritesNothing) {
  const Mesh m = octahedron();
  double out = -7;
  colour::unfold_per_element(nullptr, nullptr, nullptr, m.ptr(), m.K(), nullptr, nullptr, nullptr,
                             nullptr, 0, &out);
  EXPECT_EQ(out, -7);
}

}  // namespace

namespace {

// Seeded random meshes that reach every branch: a gamut-like closed surface
// with its poles on the axis, scattered triangles, triangles touching or
// straddling the axis, triangles with vertices in the planes of hue 0,
// +-pi/2 and pi, degenerate ones (repeated or collinear vertices, all on the
// axis), tiny and huge coordinates, and a few non-finite values. Columns are
// shuffled, since their order decides which segment wins.
Mesh random_mesh(std::mt19937& rng, int rings, int sectors, int scattered) {
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<std::vector<Vertex>> tris;
  auto surface = [&](double lat, double lon) {
    const double radius = 40 + 30 * u(rng) * 0.2 + 20 * std::cos(3 * lon);
    return Vertex{50 - 50 * std::cos(lat), radius * std::sin(lat) * std::cos(lon),
                  radius * std::sin(lat) * std::sin(lon)};
  };
  const double pi = std::acos(-1.0);
  std::vector<std::vector<Vertex>> grid(static_cast<size_t>(rings) + 1);
  for (int i = 0; i <= rings; ++i)
    for (int j = 0; j < sectors; ++j) {
      const double lat = pi * i / rings, lon = 2 * pi * j / sectors;
      Vertex v = surface(lat, lon);
      if (i == 0 || i == rings) v.a = v.b = 0;  // poles exactly on the axis
      grid[static_cast<size_t>(i)].push_back(v);
    }
  for (int i = 0; i < rings; ++i)
    for (int j = 0; j < sectors; ++j) {
      const size_t i0 = static_cast<size_t>(i), i1 = i0 + 1;
      const size_t j0 = static_cast<size_t>(j), j1 = static_cast<size_t>((j + 1) % sectors);
      if (i > 0) tris.push_back({grid[i0][j0], grid[i1][j0], grid[i0][j1]});
      if (i + 1 < rings) tris.push_back({grid[i0][j1], grid[i1][j0], grid[i1][j1]});
    }
  // Near-axis coordinates from rounding noise up to about the radius within
  // which an index may treat a triangle as touching the axis.
  auto coord = [&]() {
    const double pick = u(rng);
    if (pick < 0.1) return 0.0;
    if (pick < 0.15) return -0.0;
    if (pick < 0.3) return (u(rng) - 0.5) * std::pow(10.0, -12 + 10 * u(rng));
    return (u(rng) - 0.5) * 200;
  };
  for (int k = 0; k < scattered; ++k) {
    const double pick = u(rng);
    Vertex v[3];
    for (Vertex& w : v) w = {100 * u(rng), coord(), coord()};
    if (pick < 0.1) {
      v[2] = v[0];  // repeated vertex
    } else if (pick < 0.15) {
      v[1] = v[0];
      v[2] = v[0];  // a point
    } else if (pick < 0.2) {
      v[2] = {v[0].L, 2 * v[1].a - v[0].a, 2 * v[1].b - v[0].b};  // collinear
    } else if (pick < 0.25) {
      for (Vertex& w : v) w.a = w.b = 0;  // on the axis
    } else if (pick < 0.4) {
      // Vertices in the planes of the special hues.
      for (Vertex& w : v)
        if (u(rng) < 0.5) (u(rng) < 0.5 ? w.a : w.b) = 0;
    } else if (pick < 0.45) {
      const double scale = u(rng) < 0.5 ? 1e-150 : 1e150;
      for (Vertex& w : v) w.a *= scale, w.b *= scale;
    } else if (pick < 0.48) {
      const double odd[] = {kInf, -kInf, kNaN};
      double* slots[] = {&v[0].L, &v[0].a, &v[1].b, &v[2].a};
      *slots[rng() % 4] = odd[rng() % 3];
    }
    tris.push_back({v[0], v[1], v[2]});
  }
  std::shuffle(tris.begin(), tris.end(), rng);
  Mesh m;
  for (auto& t : tris) {
    std::rotate(t.begin(), t.begin() + static_cast<long>(rng() % 3), t.end());
    m.add(t[0], t[1], t[2]);
  }
  return m;
}

struct Colours {
  std::vector<double> x, a, b, pivot_L, pivot_C, top_L, bottom_L;
  size_t size() const { return x.size(); }
};

// Colours of every kind: scattered, on the axis with either sign of zero,
// at hues of exactly 0, +-pi/2 and +-pi, at the hue and chroma of mesh
// vertices, repeated, non-finite, and lightness on the pivot.
Colours random_colours(std::mt19937& rng, const Mesh& m, size_t count) {
  std::uniform_real_distribution<double> u(0, 1);
  Colours c;
  for (size_t i = 0; i < count; ++i) {
    double a = (u(rng) - 0.5) * 220, b = (u(rng) - 0.5) * 220;
    const double pick = u(rng);
    if (pick < 0.05) {
      a = u(rng) < 0.5 ? 0.0 : -0.0;
      b = u(rng) < 0.5 ? 0.0 : -0.0;
    } else if (pick < 0.1) {
      b = u(rng) < 0.5 ? 0.0 : -0.0;  // hue 0 or +-pi
    } else if (pick < 0.15) {
      a = u(rng) < 0.5 ? 0.0 : -0.0;  // hue +-pi/2
    } else if (pick < 0.3 && m.K() > 0) {
      const size_t col = 14 * (rng() % static_cast<size_t>(m.K())) + 3 * (rng() % 3);
      a = m.data[col + 1];
      b = m.data[col + 2];
      if (u(rng) < 0.5) {
        const double f = 1 + (u(rng) - 0.5) * 1e-9;
        a *= f;
        b *= f;
      }
    } else if (pick < 0.45 && m.K() > 0) {
      // Small chroma, at a hue on or just beside that of a mesh vertex.
      const size_t col = 14 * (rng() % static_cast<size_t>(m.K())) + 3 * (rng() % 3);
      double hue = std::atan2(m.data[col + 2], m.data[col + 1]);
      if (u(rng) < 0.8) hue += (u(rng) < 0.5 ? -1 : 1) * std::pow(10.0, -6 + 6 * u(rng));
      const double chroma = std::pow(10.0, -7 + 7 * u(rng));
      a = chroma * std::cos(hue);
      b = chroma * std::sin(hue);
    } else if (pick < 0.5 && i > 0) {
      const size_t j = rng() % i;
      a = c.a[j];
      b = c.b[j];
    } else if (pick < 0.52) {
      const double odd[] = {kInf, -kInf, kNaN, 1e-200, 1e200};
      (u(rng) < 0.5 ? a : b) = odd[rng() % 5];
    }
    double pivot_L = 50, pivot_C = 60, top_L = 100, bottom_L = 0;
    if (u(rng) < 0.3) {
      pivot_L = 100 * u(rng);
      pivot_C = 120 * u(rng);
      top_L = pivot_L + 50 * u(rng);
      bottom_L = pivot_L - 50 * u(rng);
    }
    double x = 100 * u(rng);
    if (u(rng) < 0.05) x = pivot_L;
    if (u(rng) < 0.01) x = kNaN;
    c.x.push_back(x);
    c.a.push_back(a);
    c.b.push_back(b);
    c.pivot_L.push_back(pivot_L);
    c.pivot_C.push_back(pivot_C);
    c.top_L.push_back(top_L);
    c.bottom_L.push_back(bottom_L);
  }
  return c;
}

using Unfold = void (*)(const double*, const double*, const double*, const double*, int32_t,
                        const double*, const double*, const double*, const double*, int64_t,
                        double*);

// Runs `kernel` and the literal loop on seeded random meshes and colours and
// requires every output to have the same bits (any NaN matching any NaN).
void expect_literal_agreement(Unfold kernel, int rounds) {
  std::mt19937 rng(4711);
  const int shapes[][3] = {{0, 3, 0}, {1, 3, 5}, {4, 6, 20}, {8, 12, 60}, {16, 24, 200}, {3, 40, 10}};
  for (int round = 0; round < rounds; ++round)
    for (const auto& s : shapes) {
      const Mesh m = random_mesh(rng, s[0] > 0 ? s[0] : 2, s[1], s[2]);
      const Mesh empty;
      const Mesh& mesh = s[0] == 0 ? empty : m;
      const Colours c = random_colours(rng, mesh, 1500);
      const int64_t n = static_cast<int64_t>(c.size());
      std::vector<double> expected(c.size()), got(c.size(), -7.0);
      literal::chroma_unfold(c.x.data(), c.a.data(), c.b.data(), mesh.ptr(), mesh.K(),
                             c.pivot_L.data(), c.pivot_C.data(), c.top_L.data(),
                             c.bottom_L.data(), n, expected.data());
      kernel(c.x.data(), c.a.data(), c.b.data(), mesh.ptr(), mesh.K(), c.pivot_L.data(),
             c.pivot_C.data(), c.top_L.data(), c.bottom_L.data(), n, got.data());
      for (size_t i = 0; i < c.size(); ++i)
        ASSERT_TRUE(same_bits(got[i], expected[i]))
            << "round " << round << ", K = " << mesh.K() << ", element " << i << " (x " << c.x[i]
            << ", a " << c.a[i] << ", b " << c.b[i] << "): " << got[i] << " vs " << expected[i];
    }
}

TEST(ChromaUnfold, PerElementKernelMatchesLiteral) {
  expect_literal_agreement(colour::unfold_per_element, 2);
}

void indexed_auto(const double* x, const double* a, const double* b, const double* mesh, int32_t K,
                  const double* pivot_L, const double* pivot_C, const double* top_L,
                  const double* bottom_L, int64_t count, double* out) {
  colour::unfold_indexed(x, a, b, mesh, K, pivot_L, pivot_C, top_L, bottom_L, count, out);
}

// With 65536 hue bins (a tenth of a milliradian each) every triangle is
// listed only near its own hues, so one filed too narrowly would be missed.
void indexed_fine(const double* x, const double* a, const double* b, const double* mesh, int32_t K,
                  const double* pivot_L, const double* pivot_C, const double* top_L,
                  const double* bottom_L, int64_t count, double* out) {
  colour::unfold_indexed(x, a, b, mesh, K, pivot_L, pivot_C, top_L, bottom_L, count, out, 1 << 16);
}

TEST(ChromaUnfold, IndexedKernelMatchesLiteral) { expect_literal_agreement(indexed_auto, 8); }

TEST(ChromaUnfold, IndexedKernelWithFineBinsMatchesLiteral) {
  expect_literal_agreement(indexed_fine, 2);
}

}  // namespace

namespace {

// Triangles with a corner just off the axis (closer than an index may
// treat as touching it) and the axis just outside the triangle: at hues
// slightly past the far corner's, the hue plane enters the triangle next to
// the axis and leaves it far out, through the edge from the near corner.
// Colours swept over those hues and over chroma from 1e-6 to 10 must come
// out as in the literal loop, for every order of the corners, both
// directions round the triangle and both orientations.
TEST(ChromaUnfold, IndexedKernelFindsEdgesLeavingFromNearTheAxis) {
  for (double offset : {1e-6, 1e-5, 1e-4, 3e-4})
    for (double mirror : {1.0, -1.0})
      for (int rotation = 0; rotation < 6; ++rotation) {
        Vertex v[3] = {{80, 0, -offset * mirror}, {80, 100, 0}, {80, 100, 100 * mirror}};
        if (rotation >= 3) std::swap(v[1], v[2]);
        std::rotate(v, v + rotation % 3, v + 3);
        Mesh m;
        m.add(v[0], v[1], v[2]);
        m.add({20, 100, 0}, {20, 100, 10}, {20, 120, 5});  // a far one, for company
        Colours c;
        for (int i = 0; i <= 40; ++i)
          for (int j = 0; j <= 28; ++j) {
            const double hue = mirror * (-0.02 + 0.001 * i);
            const double chroma = std::pow(10.0, -6 + 0.25 * j);
            c.x.push_back(65);
            c.a.push_back(chroma * std::cos(hue));
            c.b.push_back(chroma * std::sin(hue));
            c.pivot_L.push_back(50);
            c.pivot_C.push_back(60);
            c.top_L.push_back(100);
            c.bottom_L.push_back(0);
          }
        const int64_t n = static_cast<int64_t>(c.size());
        std::vector<double> expected(c.size()), got(c.size());
        literal::chroma_unfold(c.x.data(), c.a.data(), c.b.data(), m.ptr(), m.K(), c.pivot_L.data(),
                               c.pivot_C.data(), c.top_L.data(), c.bottom_L.data(), n,
                               expected.data());
        colour::unfold_indexed(c.x.data(), c.a.data(), c.b.data(), m.ptr(), m.K(), c.pivot_L.data(),
                               c.pivot_C.data(), c.top_L.data(), c.bottom_L.data(), n, got.data(),
                               1 << 16);
        int differing = 0;
        for (size_t i = 0; i < c.size(); ++i) differing += !same_bits(got[i], expected[i]);
        EXPECT_EQ(differing, 0) << "offset " << offset << ", mirror " << mirror << ", rotation "
                                << rotation;
      }
}

}  // namespace
