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
const std::vector<std::string> kCorridor = {
    "##########", "#..w.....#", "###U#w####", "  #...#   ", "  #L.L#   ", "  #w.U#   ", "  ##.##   ",
    "  #...#   ", "  #####   "};
const std::vector<std::string> kLayers = {
    "mmm333mmm333", "mmm333mmm333", "444555444555", "444555444555", "....p...p...", "..p...4.....",
    "............", "....5.......", "............", "......3....."};

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
struct Size { i32 w, h; };
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
  state.counters["px/s"] = benchmark::Counter(double(sz.w) * sz.h * double(state.iterations()), benchmark::Counter::kIsRate);
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
    if constexpr (Family == 0) Spans::SpanOneAxis<Spans::kOne, Fmt, Fog, 0, 0>(sp);       // walls (kind 7)
    else if constexpr (Family == 1) Spans::SpanOneAxis<Spans::kWallKey2, Fmt, Fog, 0, 0>(sp);  // kind 9
    else if constexpr (Family == 2) Spans::SpanPit<Fmt>(sp);                               // kind 8
    else if constexpr (Family == 3) Spans::SpanKeyed<Fmt, Fog, 1, true>(sp);             // kinds 13, 14
    else if constexpr (Family == 4) Spans::SpanOneAxis<Spans::kOne, Fmt, Fog, 0, 256>(sp);  // floor on an axis
    else if constexpr (Family == 5) Spans::SpanTwoAxes<Spans::kOne, Fmt, Fog, 256>(sp);     // floor any angle
    else Spans::SpanTwoAxes<Spans::kKey3, Fmt, Fog, 256>(sp);                               // kind 5, any angle
    ++row;
    benchmark::DoNotOptimize(dst.data());
  }
  state.counters["Mpx/s"] = benchmark::Counter(256.0 * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

#define SPAN_FORMATS(family, name)                                  \
  BENCHMARK_TEMPLATE(BM_Span, family, 0, false)->Name(name "/fmt0");     \
  BENCHMARK_TEMPLATE(BM_Span, family, 0, true)->Name(name "/fmt0/fog");  \
  BENCHMARK_TEMPLATE(BM_Span, family, 1, false)->Name(name "/fmt1");     \
  BENCHMARK_TEMPLATE(BM_Span, family, 1, true)->Name(name "/fmt1/fog");  \
  BENCHMARK_TEMPLATE(BM_Span, family, 2, false)->Name(name "/fmt2");     \
  BENCHMARK_TEMPLATE(BM_Span, family, 2, true)->Name(name "/fmt2/fog");

SPAN_FORMATS(0, "Span/wall")
SPAN_FORMATS(1, "Span/wall2")
SPAN_FORMATS(3, "Span/keyedColumn")
SPAN_FORMATS(4, "Span/floorAxis")
SPAN_FORMATS(5, "Span/floorAny")
SPAN_FORMATS(6, "Span/floorKind5Any")
BENCHMARK_TEMPLATE(BM_Span, 2, 0, true)->Name("Span/pit/fmt0");
BENCHMARK_TEMPLATE(BM_Span, 2, 1, true)->Name("Span/pit/fmt1");
BENCHMARK_TEMPLATE(BM_Span, 2, 2, true)->Name("Span/pit/fmt2");

}  // namespace
