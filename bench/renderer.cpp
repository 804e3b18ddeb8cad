// Renderer benchmarks: whole frames (DrawView) per scene, view size, facing and fog, and the span
// routines' throughput per family and format. Counters report polygons, drops and a pixel checksum that
// guards against a faster but different result.
#include <benchmark/benchmark.h>

// The scenes are the renderer tests' text-described views.
#include "../tests/renderer/Scene.cpp"
#include "graphics/renderer/SpanRoutines.h"

#include <algorithm>
#include <memory>

namespace {

const std::vector<std::string> kField(24, std::string(24, '.'));
const std::vector<std::string> kCorridor = {"##########", "#..w.....#", "###U#w####", "  #...#   ", "  #L.L#   ",
                                            "  #w.U#   ", "  ##.##   ", "  #...#   ", "  #####   "};
const std::vector<std::string> kLayers = {"mmm333mmm333", "mmm333mmm333", "444555444555", "444555444555",
                                          "....p...p...", "..p...4.....", "............", "....5.......",
                                          "............", "......3....."};

std::vector<std::string> Checkerboard() {
  std::vector<std::string> rows;
  for (int y = 0; y < 27; ++y) {
    std::string row;
    for (int x = 0; x < 27; ++x) row += ((x + y) % 2) ? 'p' : '.';
    rows.push_back(row);
  }
  return rows;
}
const std::vector<std::string> kPitField = Checkerboard();

struct SceneDef {
  const char* name;
  const std::vector<std::string>* rows;
  double x, y;
};
// The last one is the worst case: far more polygons than the 300-polygon store holds.
const SceneDef kScenes[] = {{"field", &kField, 12.5, 20.5},
                            {"corridor", &kCorridor, 4.5, 7.5},
                            {"layers", &kLayers, 6.5, 9.5},
                            {"pits-cap", &kPitField, 13.5, 26.5}};
struct Size {
  i32 w, h;
};
const Size kSizes[] = {{240, 200}, {380, 240}, {480, 400}, {800, 480}};

void BM_DrawView(benchmark::State& state) {
  const SceneDef& sd = kScenes[state.range(0)];
  const Size sz = kSizes[state.range(1)];
  scene::Options o;
  o.rows = *sd.rows;
  o.camX = sd.x;
  o.camY = sd.y;
  o.angle16 = i32(state.range(2) * 65536 / 10);  // tenths of a degree
  o.viewWidth = sz.w;
  o.viewHeight = sz.h;
  o.fogStart = state.range(3) ? 300 : 1680;
  if (state.range(0) == 3) o.far = 4300;
  o.lightScale = state.range(3) ? 400 : 2048;
  scene::Scene sc(o);
  auto r = std::make_unique<SRenderer>();
  for (auto _ : state) {
    sc.Render(*r);
    benchmark::ClobberMemory();
  }
  u32 sum = 0;
  for (u16 p : sc.frame) sum = sum * 31 + p;
  state.counters["polygons"] = r->stats.polygonsEmitted;
  state.counters["visible"] = r->stats.polygonsVisible;
  state.counters["dropped"] = r->stats.droppedPolygons;
  state.counters["vertices"] = r->stats.vertexHighWater;
  state.counters["runs"] = r->stats.runHighWater;
  state.counters["checksum"] = double(sum);
  state.counters["px/s"] =
      benchmark::Counter(double(sz.w) * sz.h * double(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(std::string(sd.name) + " " + std::to_string(sz.w) + "x" + std::to_string(sz.h));
}
// Facings 0 and 90 take the axis floor fillers, 45 and 30.5 the any-angle ones. Run with
// --benchmark_repetitions=N for the median and p99 of the frame time.
double P99(const std::vector<double>& v) {
  std::vector<double> s = v;
  std::sort(s.begin(), s.end());
  return s.empty() ? 0 : s[std::min(s.size() - 1, size_t(double(s.size()) * 0.99))];
}
BENCHMARK(BM_DrawView)
    ->ComputeStatistics("p99", P99)
    ->ArgNames({"scene", "size", "angle10", "fog"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2, 3}, {0, 900, 450, 305}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// A busy town street built by hand (the sample world has no maps yet): houses of both storeys with doors,
// decorations and banners, trees, creatures, items on the floor, shapes, an upper-storey gate, rain and the
// first-person images. Frames at the handheld's 240x320 and 480x640 portrait views, facing up the street and
// at an angle.
std::vector<u16> TownObject(int type, int shape, std::vector<u16> images, std::vector<u16> xs = {},
                            std::vector<u16> zs = {}) {
  std::vector<u16> w(31, 0);
  w[0] = u16(type | shape << 8);
  for (size_t i = 0; i < images.size(); ++i) w[1 + i] = images[i];
  for (size_t i = 0; i < 7; ++i) {
    w[15 + i] = i < xs.size() ? xs[i] : 32768;
    w[22 + i] = i < zs.size() ? zs[i] : 32768;
  }
  return w;
}

void BuildTown(scene::Scene& s) {
  using namespace scene;
  const u16 tree = s.AddObject(TownObject(1, 0, {kTree, kShield}, {32768, 20}, {32768, 40}));
  const u16 group =
      s.AddObject(TownObject(5, 0, {kGhost, kItem, kCreature}, {16000, 50000, 32768}, {20000, 24000, 50000}));
  const u16 door = s.AddObject(TownObject(3, 0, {0, kDoor, kHandle, kArch}, {0, 32, 80}, {0, 0, 60}));
  const u16 banner = s.AddObject(TownObject(10, 0, {kBanner}));
  const u16 plinth = s.AddObject(TownObject(11, 15, {kFloor2}));
  const u16 gate = s.AddObject(TownObject(8, 0, {kBanner}));
  const u16 beast = s.AddCreature({kCreature, 0, 32768, 32768, 0, 2, kGhost});
  const u16 other = s.AddCreature({kGhost, 0, 12000, 50000, 0, 1, 0});
  const u16 items = s.AddFloorItems({kItem, kItem, 0, kItem, kItem, kItem});
  std::vector<u16> face(36, 0);
  face[1] = u16(31 | 16 << 5 | 10 << 10);
  face[5] = face[9] = kShield;
  face[3] = u16(1 | 16 << 5 | 12 << 10);
  face[7] = face[11] = kBanner;
  const u16 walls = s.AddWallFace(face);
  const int w = s.view.mapWidth, h = s.view.mapHeight;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (x == 7 || x == 12) continue;  // house fronts
      if (x < 7 || x > 12) continue;
      const int k = (x * 7 + y * 13) % 9;
      if (x == 8 || x == 11) s.SetCell(x, y, 2, walls);
      if (k == 0)
        s.SetCell(x, y, 1, tree);
      else if (k == 1)
        s.SetCell(x, y, 1, group);
      else if (k == 2)
        s.SetCell(x, y, 1, banner);
      else if (k == 3)
        s.SetCell(x, y, 1, plinth);
      if (k == 4 || k == 6) s.SetCell(x, y, 9, beast);
      if (k == 5 || k == 6) s.SetCell(x, y, 10, other);
      if (k == 7 || k == 8) s.SetCell(x, y, 3, items);
      if (y % 4 == 0) s.SetSide(x, y, 0, gate);
    }
  for (int y = 2; y < h; y += 5) {
    s.SetCell(7, y, 1, door);
    s.SetCell(12, y, 1, door);
  }
  s.view.handRightImage = kHand;
  s.view.handLeftImage = kHand;
  s.view.handLeftMirrored = 1;
  s.view.altImageB = s.view.images[kGhost];
  s.view.flags |= 4;
}

std::vector<std::string> TownRows() {
  std::vector<std::string> rows;
  for (int y = 0; y < 24; ++y) {
    std::string r = "######L" + std::string(6, '.') + "L######";
    if (y % 5 == 2) r[6] = r[13] = '.';  // doorways
    rows.push_back(r);
  }
  return rows;
}
const std::vector<std::string> kTown = TownRows();

void BM_DrawViewTown(benchmark::State& state) {
  scene::Options o;
  o.rows = kTown;
  o.camX = 9.5;
  o.camY = 21.5;
  o.angle16 = i32(state.range(1) * 65536 / 10);
  const bool large = state.range(0) != 0;
  o.viewWidth = large ? 480 : 240;
  o.viewHeight = large ? 640 : 320;
  scene::Scene sc(o);
  BuildTown(sc);
  SRandom rng;
  rng.Seed(nullptr, 99);
  auto r = std::make_unique<SRenderer>();
  r->random = &rng;
  r->view = &sc.view;
  r->ResetRain(300, 0xA534);
  for (auto _ : state) {
    r->UpdateRain((40 << 16) / 1000);
    sc.Render(*r);
    benchmark::ClobberMemory();
  }
  state.counters["polygons"] = r->stats.polygonsEmitted;
  state.counters["visible"] = r->stats.polygonsVisible;
  state.counters["dropped"] = r->stats.droppedPolygons;
  state.SetLabel(std::string("town ") + (large ? "480x640" : "240x320"));
}
BENCHMARK(BM_DrawViewTown)
    ->ComputeStatistics("p99", P99)
    ->ArgNames({"large", "angle10"})
    ->ArgsProduct({{0, 1}, {0, 300}})
    ->Unit(benchmark::kMicrosecond);

// Span throughput: one span of 256 pixels per family, format and fog.
template <int Family, int Fmt, bool Fog>
void BM_Span(benchmark::State& state) {
  static std::vector<u16> floor1 = scene::Scene::MakeImage(scene::kFloor, Fmt);
  static std::vector<u16> floor2 = scene::Scene::MakeImage(scene::kFloor2, Fmt);
  static std::vector<u16> floor3 = scene::Scene::MakeImage(scene::kFloor3, Fmt);
  static std::vector<u16> mask = scene::Scene::MakeImage(scene::kMask1, 0);
  SSpanTexture t1, t2, t3;
  SSpanTexture::FromImage(t1, reinterpret_cast<const SImage*>(floor1.data()));
  SSpanTexture::FromImage(t2, reinterpret_cast<const SImage*>(floor2.data()));
  SSpanTexture::FromImage(t3, reinterpret_cast<const SImage*>(floor3.data()));
  std::vector<u16> dst(256 * 8);
  Spans::SSpan sp{};
  sp.step = 1;
  sp.data[0] = t1.data;
  sp.data[1] = t2.data;
  sp.data[2] = t3.data;
  sp.palette[0] = t1.palette;
  sp.palette[1] = t2.palette;
  sp.palette[2] = t3.palette;
  sp.mask[0] = sp.mask[1] = reinterpret_cast<const u8*>(mask.data()) + 8;
  sp.rowLength = 256;
  sp.u = 0;
  sp.du = 255 << 4;  // a little under a texel per pixel
  sp.v = 3 << 12;
  sp.dv = 1 << 10;
  sp.constant = 17;
  sp.light = 1024;
  sp.lightStep = -4;
  sp.fog = Spans::SpreadColor(0x8410);
  sp.fogFactor = 20;
  int row = 0;
  for (auto _ : state) {
    sp.dst = dst.data() + (row & 7) * 256;
    sp.end = sp.dst + 256;
    if constexpr (Family == 0)
      Spans::SpanOneAxis<Spans::kOne, Fmt, Fog, 0, 0>(sp);  // walls (kind 7)
    else if constexpr (Family == 1)
      Spans::SpanOneAxis<Spans::kWallKey2, Fmt, Fog, 0, 0>(sp);  // kind 9
    else if constexpr (Family == 2)
      Spans::SpanPit<Fmt>(sp);  // kind 8
    else if constexpr (Family == 3)
      Spans::SpanKeyed<Fmt, Fog, 1, true>(sp);  // kinds 13, 14
    else if constexpr (Family == 4)
      Spans::SpanOneAxis<Spans::kOne, Fmt, Fog, 0, 256>(sp);  // floor on an axis
    else if constexpr (Family == 5)
      Spans::SpanTwoAxes<Spans::kOne, Fmt, Fog, 256>(sp);  // floor any angle
    else if constexpr (Family == 6)
      Spans::SpanTwoAxes<Spans::kKey3, Fmt, Fog, 256>(sp);  // kind 5, any angle
    else if constexpr (Family == 7) {                       // kind 10 pictures
      sp.u = 1 << 20;
      sp.du = 200 << 10;
      sp.ddu = 0;
      sp.v = 3 << 20;
      sp.dv = 1 << 16;
      sp.ddv = 0;
      Spans::SpanQuadratic<Fmt, Fog>(sp);
    } else {  // the rotated 2D image
      sp.u = 0;
      sp.v = 3 << 12;
      Spans::SpanRotated<Fmt>(sp);
    }
    ++row;
    benchmark::DoNotOptimize(dst.data());
  }
  state.counters["Mpx/s"] = benchmark::Counter(256.0 * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

#define SPAN_FORMATS(family, name)                                      \
  BENCHMARK_TEMPLATE(BM_Span, family, 0, false)->Name(name "/fmt0");    \
  BENCHMARK_TEMPLATE(BM_Span, family, 0, true)->Name(name "/fmt0/fog"); \
  BENCHMARK_TEMPLATE(BM_Span, family, 1, false)->Name(name "/fmt1");    \
  BENCHMARK_TEMPLATE(BM_Span, family, 1, true)->Name(name "/fmt1/fog"); \
  BENCHMARK_TEMPLATE(BM_Span, family, 2, false)->Name(name "/fmt2");    \
  BENCHMARK_TEMPLATE(BM_Span, family, 2, true)->Name(name "/fmt2/fog");

SPAN_FORMATS(0, "Span/wall")
SPAN_FORMATS(1, "Span/wall2")
SPAN_FORMATS(3, "Span/keyedColumn")
SPAN_FORMATS(4, "Span/floorAxis")
SPAN_FORMATS(5, "Span/floorAny")
SPAN_FORMATS(6, "Span/floorKind5Any")
SPAN_FORMATS(7, "Span/picture")
BENCHMARK_TEMPLATE(BM_Span, 8, 0, false)->Name("Span/rotated/fmt0");
BENCHMARK_TEMPLATE(BM_Span, 8, 1, false)->Name("Span/rotated/fmt1");
BENCHMARK_TEMPLATE(BM_Span, 8, 2, false)->Name("Span/rotated/fmt2");
BENCHMARK_TEMPLATE(BM_Span, 2, 0, true)->Name("Span/pit/fmt0");
BENCHMARK_TEMPLATE(BM_Span, 2, 1, true)->Name("Span/pit/fmt1");
BENCHMARK_TEMPLATE(BM_Span, 2, 2, true)->Name("Span/pit/fmt2");

}  // namespace
