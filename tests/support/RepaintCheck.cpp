#include "support/RepaintCheck.h"

#include "core/SGameCore.h"
#include "core/ui/SDialog.h"
#include "core/ui/SSceneTextCtrl.h"
#include "foundation/SRandom.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/renderer/SRenderer.h"
#include "platform/hal/Game.h"
#include "support/Png.h"
#include "support/ScreenTour.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

namespace {

// No picture of the game uses it; a pixel left at it is one that painting whole does not reach.
constexpr u16 kGround = 0xF81F;

struct Rect {
  i32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 past the last pixel
  bool Holds(i32 x, i32 y) const { return x >= x0 && y >= y0 && x < x1 && y < y1; }
};

// What painting whole changes besides the pixels, kept to be put back.
class Keep {
 public:
  explicit Keep(GameHarness& game) : core_(game.core()), game_(core_.stateGame) {
    for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) controls_.emplace_back(s.control, s.control->flags);
    for (SDialog* d : ScreenTour::dialogs(game)) {
      dialogs_.emplace_back(d, d->flags);
      // Hidden controls too: a paint may show one (the message box's buttons of its last page).
      for (u32 i = 0; i < d->controls.Count(); ++i)
        if (SCtrl* c = d->controls.At(i32(i))) controls_.emplace_back(c, c->flags);
    }
    if (core_.random) random_ = std::make_unique<SRandom>(*core_.random);
    if (game_) {
      lastRainTick_ = game_->lastRainTick;
      frameBuffer_ = game_->view.frameBuffer;
    }
    if (SRenderer* r = core_.display ? core_.display->Renderer() : nullptr) {
      rainCount_ = r->rainCount;
      drops_.assign(r->raindrops, r->raindrops + SRenderer::kMaxRaindrops);
    }
  }
  ~Keep() {
    for (auto& [d, flags] : dialogs_) d->flags = flags;
    for (auto& [c, flags] : controls_) c->flags = flags;
    if (random_) *core_.random = *random_;
    if (game_) {
      game_->lastRainTick = lastRainTick_;
      game_->view.frameBuffer = frameBuffer_;
    }
    if (SRenderer* r = core_.display ? core_.display->Renderer() : nullptr) {
      r->rainCount = rainCount_;
      std::copy(drops_.begin(), drops_.end(), r->raindrops);
    }
  }
  Keep(const Keep&) = delete;
  Keep& operator=(const Keep&) = delete;

 private:
  SGameCore& core_;
  SStateGame* game_;
  std::vector<std::pair<SDialog*, u32>> dialogs_;
  std::vector<std::pair<SCtrl*, u16>> controls_;
  std::unique_ptr<SRandom> random_;
  u32 lastRainTick_ = 0;
  u16* frameBuffer_ = nullptr;
  i32 rainCount_ = 0;
  std::vector<SRaindrop> drops_;
};

std::vector<u16> Read(const SSurface& s) {
  std::vector<u16> out(size_t(s.width) * size_t(s.height));
  for (i32 y = 0; y < s.height; ++y)
    for (i32 x = 0; x < s.width; ++x) out[size_t(y) * size_t(s.width) + size_t(x)] = *s.Pixel(x, y);
  return out;
}

void Write(const SSurface& s, const std::vector<u16>& pixels) {
  for (i32 y = 0; y < s.height; ++y)
    for (i32 x = 0; x < s.width; ++x) *s.Pixel(x, y) = pixels[size_t(y) * size_t(s.width) + size_t(x)];
}

// The game state's view shows while the state is current (under a dialog that covers the screen, as it
// was last drawn).
bool DrawsView(const GameHarness& game) {
  const SStateGame* g = game.core().stateGame;
  return g && static_cast<const SDialog*>(g) == game.core().currentState;
}

// Who owns a pixel on the screen as painted: the topmost visible control over it, or the ground of the
// innermost dialog over it.
struct Owner {
  std::string name;
  Rect bounds;  // of the pixels that differ
  u32 pixels = 0;
};

std::string Describe(const SDialog& d, const SCtrl* c) {
  std::ostringstream out;
  out << GameHarness::className(typeid(d)) << " ";
  if (c) {
    out << GameHarness::className(typeid(*c)) << " " << c->id << " at " << c->left << "," << c->top << " " << c->width
        << "x" << c->height;
  } else {
    out << "ground at " << d.left << "," << d.top << " " << d.width << "x" << d.height;
  }
  return out.str();
}

}  // namespace

std::vector<std::string> RepaintCheck::Stale(GameHarness& game) {
  SGameCore& core = game.core();
  SDisplay* display = core.display;
  if (!display || !display->BeginFrame()) return {"the display holds no frame to compare"};
  const SSurface& screen = display->Screen();
  const std::vector<SDialog*> chain = ScreenTour::dialogs(game);
  if (chain.empty()) return {};
  const std::vector<u16> shown = Read(screen);
  std::vector<u16> fresh;
  {
    Keep keep(game);
    std::vector<u16> ground(shown.size(), kGround);
    if (DrawsView(game)) {
      // The view as the frame drew it; the renderer draws nothing this time.
      const SWorldView& v = core.stateGame->view;
      for (i32 y = std::max(0, v.viewY); y < std::min(screen.height, v.viewY + v.viewHeight); ++y)
        for (i32 x = std::max(0, v.viewX); x < std::min(screen.width, v.viewX + v.viewWidth); ++x)
          ground[size_t(y) * size_t(screen.width) + size_t(x)] = shown[size_t(y) * size_t(screen.width) + size_t(x)];
      core.stateGame->view.frameBuffer = nullptr;
      core.stateGame->lastRainTick = Hal::GetTime();
    }
    Write(screen, ground);
    // A scene's lines stand where its last step drew them, unless its owner has painted over them since.
    std::vector<std::pair<SSceneTextCtrl*, u32>> scenes;
    for (const ScreenTour::Shown& s : ScreenTour::shownControls(game))
      if (auto* scene = dynamic_cast<SSceneTextCtrl*>(s.control)) scenes.emplace_back(scene, scene->linesShown);
    for (SDialog* d : chain) d->SetFullRepaint();
    chain.front()->Paint();
    for (auto& [scene, shownLines] : scenes) {
      if (shownLines) {
        SCtrl::Drawing drawing(scene);
        scene->DrawLines();
      }
      scene->linesShown = shownLines;
    }
    fresh = Read(screen);
    Write(screen, shown);
  }

  // Each differing pixel goes to the topmost thing over it.
  const std::vector<ScreenTour::Shown> shownControls = ScreenTour::shownControls(game);
  std::map<std::string, Owner> owners;
  std::vector<std::string> order;
  const i32 w = screen.width;
  for (i32 y = 0; y < screen.height; ++y)
    for (i32 x = 0; x < w; ++x) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      if (shown[i] == fresh[i]) continue;
      std::string name;
      for (size_t k = chain.size(); k-- > 0 && name.empty();) {
        for (auto s = shownControls.rbegin(); s != shownControls.rend(); ++s) {
          const SCtrl& c = *s->control;
          if (s->dialog != chain[k] || x < c.left || y < c.top || x >= c.left + c.width || y >= c.top + c.height)
            continue;
          name = Describe(*chain[k], &c);
          break;
        }
        const SDialog& d = *chain[k];
        if (name.empty() && x >= d.left && y >= d.top && x < d.left + d.width && y < d.top + d.height)
          name = Describe(d, nullptr);
      }
      if (name.empty()) name = "outside every dialog";
      auto [it, added] = owners.try_emplace(name);
      Owner& o = it->second;
      if (added) {
        o.name = name;
        o.bounds = {x, y, x + 1, y + 1};
        order.push_back(name);
      }
      o.bounds = {std::min(o.bounds.x0, x), std::min(o.bounds.y0, y), std::max(o.bounds.x1, x + 1),
                  std::max(o.bounds.y1, y + 1)};
      ++o.pixels;
    }
  std::vector<std::string> out;
  const char* frames = std::getenv("DUSKMIRE_REPAINT_FRAMES");
  if (frames && (!order.empty() || std::string(frames) == "all")) {
    // For a person to look at: the frame shown and the state painted whole, side by side.
    static u32 written = 0;
    const std::string folder = std::string(DUSKMIRE_BIN_DIR) + "/frames/repaint";
    std::filesystem::create_directories(folder);
    std::vector<u16> pair(shown.size() * 2);
    for (i32 y = 0; y < screen.height; ++y)
      for (i32 x = 0; x < w; ++x) {
        const size_t i = size_t(y) * size_t(w) + size_t(x);
        pair[size_t(y) * size_t(2 * w) + size_t(x)] = shown[i];
        pair[size_t(y) * size_t(2 * w) + size_t(w + x)] = fresh[i];
      }
    const std::string file = folder + "/" + std::to_string(++written) + ".png";
    testpng::WriteRgb565(file, pair.data(), 2 * w, screen.height, 2 * w);
    if (!order.empty()) out.push_back("the frame shown (left) and the state painted whole (right): " + file);
  }
  for (const std::string& name : order) {
    const Owner& o = owners[name];
    std::ostringstream line;
    line << name << ": " << o.pixels << " pixels differ from the state painted whole, within " << o.bounds.x0 << ","
         << o.bounds.y0 << " " << (o.bounds.x1 - o.bounds.x0) << "x" << (o.bounds.y1 - o.bounds.y0);
    out.push_back(line.str());
  }
  return out;
}
