#include "support/RepaintCheck.h"

#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SItemsCtrl.h"
#include "core/ui/SSceneTextCtrl.h"
#include "foundation/SRandom.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/renderer/SRenderer.h"
#include "os/headless/MemoryFiles.h"
#include "platform/hal/Game.h"
#include "support/Png.h"
#include "support/ScreenTour.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
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
    // Named by the process too: the copies EachControl makes count from the same number.
    const std::string file = folder + "/" + std::to_string(::getpid()) + "-" + std::to_string(++written) + ".png";
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

namespace {

struct Operation {
  std::string what;
  std::function<void(GameHarness&)> act;
};

void Tap(GameHarness& game, i32 x, i32 y) {
  game.penDown(x, y);
  game.penUp(x, y);
}

// A point of the control that no later control of its dialog taking the pen lies over (its centre when free),
// so that the tap reaches it; false when every point is covered.
bool FreePoint(const SDialog& dialog, const SCtrl& control, i32& x, i32& y) {
  const i32 index = dialog.controls.IndexOf(&control);
  auto covered = [&](i32 px, i32 py) {
    for (i32 i = index + 1; i < i32(dialog.controls.Count()); ++i) {
      const SCtrl* c = dialog.controls.At(i);
      if (c && c->IsVisible() && c->IsEnabled() && c->TakesInput(SCtrl::kInputPen) && px >= c->left && py >= c->top &&
          px < c->left + c->width && py < c->top + c->height)
        return true;
    }
    return false;
  };
  x = control.left + control.width / 2;
  y = control.top + control.height / 2;
  if (!covered(x, y)) return true;
  for (i32 py = control.top + 1; py < control.top + control.height; py += 2)
    for (i32 px = control.left + 1; px < control.left + control.width; px += 2)
      if (!covered(px, py)) {
        x = px;
        y = py;
        return true;
      }
  return false;
}

std::string Name(const SCtrl& c) {
  std::ostringstream out;
  out << GameHarness::className(typeid(c)) << " " << c.id << " at " << c.left << "," << c.top;
  return out.str();
}

// What a player does once with each control of the innermost dialog.
std::vector<Operation> Operations(GameHarness& game) {
  std::vector<Operation> ops;
  const std::vector<SDialog*> chain = ScreenTour::dialogs(game);
  if (chain.empty()) return ops;
  const SDialog& dialog = *chain.back();
  bool lists = false;
  for (u32 i = 0; i < dialog.controls.Count(); ++i) {
    const SCtrl* c = dialog.controls.At(i32(i));
    if (!c || !c->IsVisible() || !c->IsEnabled() || !c->TakesInput(SCtrl::kInputPen)) continue;
    if (const auto* list = dynamic_cast<const SDialogListCtrl*>(c)) {
      lists = true;
      // Another row of its page (the selected one when it shows no other).
      i32 row = -1;
      for (i32 r = list->firstRow;
           r < i32(list->RowCount()) && (r - list->firstRow + 1) * list->rowHeight <= list->height; ++r)
        if (row < 0 || (r != list->selected && row == list->selected)) row = r;
      if (row < 0 || list->rowHeight <= 0) continue;
      const i32 x = list->left + list->width / 2,
                y = list->top + (row - list->firstRow) * list->rowHeight + list->rowHeight / 2;
      ops.push_back(
          {"row " + std::to_string(row) + " of " + Name(*c) + " tapped", [=](GameHarness& g) { Tap(g, x, y); }});
      continue;
    }
    if (const auto* grid = dynamic_cast<const SItemsCtrl*>(c)) {
      // Another cell of its page.
      const i32 onPage = std::min<i32>(grid->PageSize(), i32(grid->SlotCount()) - grid->firstVisible);
      i32 cell = -1;
      for (i32 k = 0; k < onPage; ++k)
        if (cell < 0 || (grid->firstVisible + k != grid->selected && grid->firstVisible + cell == grid->selected))
          cell = k;
      if (cell < 0 || grid->columns <= 0) continue;
      i32 x = 0, y = 0;
      grid->CellOrigin(cell % grid->columns, cell / grid->columns, x, y);
      x += grid->cellWidth / 2;
      y += grid->cellHeight / 2;
      ops.push_back({"cell " + std::to_string(grid->firstVisible + cell) + " of " + Name(*c) + " tapped",
                     [=](GameHarness& g) { Tap(g, x, y); }});
      continue;
    }
    i32 x = 0, y = 0;
    if (!FreePoint(dialog, *c, x, y)) continue;
    ops.push_back({Name(*c) + " tapped", [=](GameHarness& g) { Tap(g, x, y); }});
  }
  ops.push_back(
      {std::string("the down key") + (lists ? " (a list moved)" : ""), [](GameHarness& g) { g.press(kActionBack); }});
  return ops;
}

// Runs the operation and the check in a copy of the process; the lines it found, or why it gave none.
std::vector<std::string> InACopy(GameHarness& game, const Operation& op) {
  int pipe_[2];
  if (::pipe(pipe_) != 0) return {"no pipe to a copy of the game"};
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(pipe_[0]);
    ::close(pipe_[1]);
    return {"no copy of the game could be made"};
  }
  if (pid == 0) {
    ::close(pipe_[0]);
    // The copy says nothing of its own (the harness's complaints would read as the suite's), keeps what it
    // writes in memory, and gives up after a while.
    if (const int null = ::open("/dev/null", O_WRONLY); null >= 0) {
      ::dup2(null, 1);
      ::dup2(null, 2);
    }
    ::alarm(120);
    static Os::MemoryFileSystem files(true);
    Os::InstallFiles(&files);
    op.act(game);
    // The pair of frames DUSKMIRE_REPAINT_FRAMES asks for goes to the disk, for a person to look at.
    Os::InstallFiles(nullptr);
    std::string out;
    if (!game.ended())
      for (std::string line : RepaintCheck::Stale(game)) {
        std::replace(line.begin(), line.end(), '\n', ' ');
        out += line + "\n";
      }
    for (size_t done = 0; done < out.size();) {
      const ssize_t n = ::write(pipe_[1], out.data() + done, out.size() - done);
      if (n <= 0) break;
      done += size_t(n);
    }
    ::_exit(0);
  }
  ::close(pipe_[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipe_[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
  ::close(pipe_[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  if (WIFSIGNALED(status))
    lines.push_back(WTERMSIG(status) == SIGALRM ? "the game did not come back within 120 s"
                                                : "the game crashed (signal " + std::to_string(WTERMSIG(status)) + ")");
  else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    lines.push_back("the game ended with status " + std::to_string(WEXITSTATUS(status)));
  return lines;
}

}  // namespace

std::vector<std::string> RepaintCheck::EachControl(GameHarness& game) {
  std::vector<std::string> out;
  for (const Operation& op : Operations(game))
    for (const std::string& line : InACopy(game, op)) out.push_back(op.what + ": " + line);
  return out;
}
