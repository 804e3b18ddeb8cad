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
// How far past a control's area OutOfReach looks.
constexpr i32 kBand = 16;

struct Rect {
  i32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 past the last pixel
  bool Holds(i32 x, i32 y) const { return x >= x0 && y >= y0 && x < x1 && y < y1; }
};

// What painting whole changes besides the pixels, kept to be put back.
class Keep {
 public:
  explicit Keep(GameHarness& game) : core_(game.core()), game_(core_.stateGame) {
    for (const ScreenTour::Shown& s : ScreenTour::shownControls(game))
      controls_.emplace_back(s.control, s.control->flags);
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

// The surface's pixels into `out`, row after row (kept from call to call: the check runs at every frame
// the copies present, and a buffer made afresh each time is cleared, grown and given back each time).
void Read(const SSurface& s, std::vector<u16>& out) {
  out.resize(size_t(s.width) * size_t(s.height));
  for (i32 y = 0; y < s.height; ++y) {
    u16* row = out.data() + size_t(y) * size_t(s.width);
    if (s.xStep == 1) {
      std::copy_n(s.Pixel(0, y), s.width, row);
      continue;
    }
    for (i32 x = 0; x < s.width; ++x) row[x] = *s.Pixel(x, y);
  }
}

void Write(const SSurface& s, const std::vector<u16>& pixels) {
  for (i32 y = 0; y < s.height; ++y) {
    const u16* row = pixels.data() + size_t(y) * size_t(s.width);
    if (s.xStep == 1) {
      std::copy_n(row, s.width, s.Pixel(0, y));
      continue;
    }
    for (i32 x = 0; x < s.width; ++x) *s.Pixel(x, y) = row[x];
  }
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
  static std::vector<u16> shown, fresh;
  Read(screen, shown);
  {
    Keep keep(game);
    std::vector<u16>& ground = fresh;
    ground.assign(shown.size(), kGround);
    if (DrawsView(game)) {
      // The view as the frame drew it; the renderer draws nothing this time.
      const SWorldView& v = core.stateGame->view;
      const i32 x0 = std::max(0, v.viewX), x1 = std::min(screen.width, v.viewX + v.viewWidth);
      for (i32 y = std::max(0, v.viewY); y < std::min(screen.height, v.viewY + v.viewHeight) && x1 > x0; ++y) {
        const size_t row = size_t(y) * size_t(screen.width);
        std::copy(shown.begin() + row + x0, shown.begin() + row + x1, ground.begin() + row + x0);
      }
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
    Read(screen, fresh);
    Write(screen, shown);
  }

  // Each differing pixel goes to the topmost thing over it.
  const std::vector<ScreenTour::Shown> shownControls = ScreenTour::shownControls(game);
  std::map<std::string, Owner> owners;
  std::vector<std::string> order;
  const i32 w = screen.width;
  for (i32 y = 0; y < screen.height; ++y) {
    const size_t row = size_t(y) * size_t(w);
    if (std::equal(shown.begin() + row, shown.begin() + row + w, fresh.begin() + row)) continue;
    for (i32 x = 0; x < w; ++x) {
      const size_t i = row + size_t(x);
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

// The screen's pixels in a rectangle, put back when it goes.
class Saved {
 public:
  Saved(const SSurface& screen, const Rect& r) : screen_(screen), r_(r) {
    for (i32 y = r.y0; y < r.y1; ++y)
      for (i32 x = r.x0; x < r.x1; ++x) pixels_.push_back(*screen.Pixel(x, y));
  }
  ~Saved() {
    size_t i = 0;
    for (i32 y = r_.y0; y < r_.y1; ++y)
      for (i32 x = r_.x0; x < r_.x1; ++x) *screen_.Pixel(x, y) = pixels_[i++];
  }
  Saved(const Saved&) = delete;
  Saved& operator=(const Saved&) = delete;

 private:
  const SSurface& screen_;
  Rect r_;
  std::vector<u16> pixels_;
};

// The control's area grown by `margin` on each side, cut to the screen.
Rect OnScreen(const SSurface& screen, const SCtrl::Area& a, i32 margin) {
  return {std::max(0, a.x0 - margin), std::max(0, a.y0 - margin), std::min(screen.width, a.x1 + margin),
          std::min(screen.height, a.y1 + margin)};
}

// Whether painting the control over a fill of `colour` leaves every pixel of the rectangle that colour.
bool LeavesFill(SDisplay& display, SCtrl& control, const Rect& r, u16 colour) {
  display.FillRect(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0, colour);
  control.PaintCurrent();
  const SSurface& screen = display.Screen();
  for (i32 y = r.y0; y < r.y1; ++y)
    for (i32 x = r.x0; x < r.x1; ++x)
      if (*screen.Pixel(x, y) != colour) return false;
  return true;
}

// Each shown control painted alone by `look` (which says what it found, empty for nothing), the screen put
// back after each; a line per control named.
std::vector<std::string> EachAlone(GameHarness& game,
                                   const std::function<std::string(SDisplay&, const SSurface&, SCtrl&)>& look) {
  SDisplay* display = game.core().display;
  if (!display || !display->BeginFrame()) return {"the display holds no frame to look at"};
  std::vector<std::string> out;
  for (const ScreenTour::Shown& shown : ScreenTour::shownControls(game)) {
    // The scene's text draws its scrolling lines from its ticks, over its owner's repaint, never in Paint.
    if (dynamic_cast<const SSceneTextCtrl*>(shown.control)) continue;
    if (const std::string found = look(*display, display->Screen(), *shown.control); !found.empty())
      out.push_back(Describe(*shown.dialog, shown.control) + found);
  }
  return out;
}

}  // namespace

std::vector<std::string> RepaintCheck::Silent(GameHarness& game) {
  return EachAlone(game, [](SDisplay& display, const SSurface& screen, SCtrl& c) -> std::string {
    if (!c.IsEnabled() || !c.TakesInput(SCtrl::kInputPen)) return "";
    // A list without rows holds nothing to show; the frame around it is its dialog's.
    if (auto* list = dynamic_cast<const SDialogListCtrl*>(&c); list && list->RowCount() == 0) return "";
    const Rect r = OnScreen(screen, {c.left, c.top, c.left + c.width, c.top + c.height}, 0);
    if (r.x1 <= r.x0 || r.y1 <= r.y0) return "";
    // What it draws past its rectangle (a frame, a label) is put back with the rest.
    Saved saved(screen, OnScreen(screen, c.PaintedArea(), 0));
    return LeavesFill(display, c, r, 0xF81F) && LeavesFill(display, c, r, 0x07E0) ? " paints nothing" : "";
  });
}

std::vector<std::string> RepaintCheck::OutOfReach(GameHarness& game) {
  return EachAlone(game, [](SDisplay& display, const SSurface& screen, SCtrl& c) -> std::string {
    const SCtrl::Area area = c.PaintedArea();
    const Rect band = OnScreen(screen, area, kBand);
    if (band.x1 <= band.x0 || band.y1 <= band.y0) return "";
    Saved saved(screen, band);
    display.FillRect(band.x0, band.y0, band.x1 - band.x0, band.y1 - band.y0, kGround);
    c.PaintCurrent();
    Rect past{band.x1, band.y1, band.x0, band.y0};
    u32 pixels = 0;
    for (i32 y = band.y0; y < band.y1; ++y)
      for (i32 x = band.x0; x < band.x1; ++x)
        if (!(x >= area.x0 && y >= area.y0 && x < area.x1 && y < area.y1) && *screen.Pixel(x, y) != kGround) {
          ++pixels;
          past = {std::min(past.x0, x), std::min(past.y0, y), std::max(past.x1, x + 1), std::max(past.y1, y + 1)};
        }
    if (!pixels) return "";
    std::ostringstream line;
    line << ": " << pixels << " pixels drawn past the area its paint covers (" << area.x0 << "," << area.y0 << " "
         << (area.x1 - area.x0) << "x" << (area.y1 - area.y0) << "), within " << past.x0 << "," << past.y0 << " "
         << (past.x1 - past.x0) << "x" << (past.y1 - past.y0);
    return line.str();
  });
}

namespace {

// How long a copy may take over one operation before it counts as hung.
constexpr unsigned kCopyTimeout = 120;

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

// Where a player taps the control as the game stands, and what the tap is called: another row of a list's
// page (the selected one when the page shows no other), another cell of a grid's page, any other control
// at a point no later control of its dialog lies over. Empty when there is nothing to tap.
std::string TapPoint(const SDialog& dialog, const SCtrl& c, i32& x, i32& y) {
  if (const auto* list = dynamic_cast<const SDialogListCtrl*>(&c)) {
    i32 row = -1;
    for (i32 r = list->firstRow;
         r < i32(list->RowCount()) && (r - list->firstRow + 1) * list->rowHeight <= list->height; ++r)
      if (row < 0 || (r != list->selected && row == list->selected)) row = r;
    if (row < 0 || list->rowHeight <= 0) return "";
    x = list->left + list->width / 2;
    y = list->top + (row - list->firstRow) * list->rowHeight + list->rowHeight / 2;
    return "row " + std::to_string(row) + " of " + Name(c) + " tapped";
  }
  if (const auto* grid = dynamic_cast<const SItemsCtrl*>(&c)) {
    const i32 onPage = std::min<i32>(grid->PageSize(), i32(grid->SlotCount()) - grid->firstVisible);
    i32 cell = -1;
    for (i32 k = 0; k < onPage; ++k)
      if (cell < 0 || (grid->firstVisible + k != grid->selected && grid->firstVisible + cell == grid->selected))
        cell = k;
    if (cell < 0 || grid->columns <= 0) return "";
    grid->CellOrigin(cell % grid->columns, cell / grid->columns, x, y);
    x += grid->cellWidth / 2;
    y += grid->cellHeight / 2;
    return "cell " + std::to_string(grid->firstVisible + cell) + " of " + Name(c) + " tapped";
  }
  if (!FreePoint(dialog, c, x, y)) return "";
  return Name(c) + " tapped";
}

// What a player does once at a stop: a control of the innermost dialog tapped, or a key pressed.
struct Operation {
  SDialog* dialog = nullptr;  // the innermost dialog when the operations were listed
  SCtrl* control = nullptr;   // null for a key
  u16 action = 0;             // the key's action
};

std::string KeyName(u16 action) {
  return action == kActionBack ? "the down key" : action == kActionForward ? "the up key" : "the use key";
}

// The operations of the innermost dialog: each enabled control that takes the pen and shows something to
// tap, and with `keys` the down, up and use keys.
std::vector<Operation> Operations(const GameHarness& game, bool keys) {
  std::vector<Operation> ops;
  const std::vector<SDialog*> chain = ScreenTour::dialogs(game);
  if (chain.empty()) return ops;
  SDialog& dialog = *chain.back();
  for (u32 i = 0; i < dialog.controls.Count(); ++i) {
    SCtrl* c = dialog.controls.At(i32(i));
    i32 x = 0, y = 0;
    if (c && c->IsVisible() && c->IsEnabled() && c->TakesInput(SCtrl::kInputPen) && !TapPoint(dialog, *c, x, y).empty())
      ops.push_back({&dialog, c, 0});
  }
  if (keys)
    for (u16 action : {kActionBack, kActionForward, kActionUse}) ops.push_back({&dialog, nullptr, action});
  return ops;
}

// Does the operation on the game as it stands: what was done, or empty when it cannot be done there (its
// dialog no longer the innermost, its control hidden, disabled or with nothing to tap). The tap's point is
// kept for a second one.
std::string Act(GameHarness& game, const Operation& op, i32& x, i32& y) {
  const std::vector<SDialog*> chain = ScreenTour::dialogs(game);
  if (chain.empty() || chain.back() != op.dialog) return "";
  if (!op.control) {
    game.press(op.action);
    return KeyName(op.action);
  }
  const SCtrl& c = *op.control;
  if (!c.IsVisible() || !c.IsEnabled()) return "";
  const std::string what = TapPoint(*op.dialog, c, x, y);
  if (!what.empty()) Tap(game, x, y);
  return what;
}

// What a copy saves or deletes stays in it.
Os::MemoryFileSystem& CopyFiles() {
  static Os::MemoryFileSystem files(true);
  return files;
}

// Stale, with the pair of frames DUSKMIRE_REPAINT_FRAMES asks for written to the disk, for a person to look at.
std::vector<std::string> StaleToDisk(GameHarness& game) {
  Os::InstallFiles(nullptr);
  std::vector<std::string> lines = RepaintCheck::Stale(game);
  Os::InstallFiles(&CopyFiles());
  return lines;
}

// Holds each frame the game presents during an operation against the state painted whole, at the end of the
// game's pass that presented it (a message or a frame handled, where no handler runs); the first that
// differs is kept. A pass that changed the state or its dialogs is passed over: what changed shows from the
// next frame on.
class Watch {
 public:
  explicit Watch(GameHarness& game) : game_(game), presents_(game.presents()), chain_(ScreenTour::dialogs(game)) {
    game.onPass = [this] { Pass(); };
  }
  ~Watch() { game_.onPass = nullptr; }
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

  void Begin() {
    during_.clear();
    clean_ = false;
  }
  // After the operation: the state as it stands against the state painted whole, or when they agree, what a
  // frame presented during it showed.
  std::vector<std::string> Result() {
    if (game_.ended()) return {};
    std::vector<std::string> lines = clean_ ? std::vector<std::string>() : StaleToDisk(game_);
    if (!lines.empty()) return lines;
    for (const std::string& line : during_) lines.push_back("in a frame presented during it, " + line);
    return lines;
  }

 private:
  void Pass() {
    const u32 n = game_.presents();
    if (n == presents_) return;
    presents_ = n;
    clean_ = false;
    std::vector<SDialog*> chain = ScreenTour::dialogs(game_);
    if (chain != chain_) {
      chain_ = std::move(chain);
      return;
    }
    if (!during_.empty() || game_.ended()) return;
    // A frame that shows what the last one checked showed shows nothing new (a change painted only with a
    // later frame is late, not left behind).
    const std::vector<u16>& panel = game_.panel().pixels;
    if (panel == checked_) return;
    checked_ = panel;
    during_ = StaleToDisk(game_);
    clean_ = during_.empty();
  }

  GameHarness& game_;
  u32 presents_;
  std::vector<SDialog*> chain_;
  std::vector<std::string> during_;
  std::vector<u16> checked_;  // the panel at the last check
  bool clean_ = false;        // the last frame presented was checked as the state now stands, and agreed
};

void Send(int fd, std::string line) {
  std::replace(line.begin(), line.end(), '\n', ' ');
  line += '\n';
  for (size_t done = 0; done < line.size();) {
    const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n <= 0) return;
    done += size_t(n);
  }
}

std::vector<std::string> InCopies(GameHarness& game, const std::vector<Operation>& ops, bool second);

// In a copy: the operations from `first`, one after another while the screen stays as it was (the same state
// and dialogs, the game running), each followed by its check; the first that changes the screen ends the
// copy, and the next operation starts in a fresh one. With `second`, a tap is followed by another: at the
// same point when it opened nothing (a row or card tapped again, a value stepped twice), or on each control
// of the dialog it opened, each in a copy of its own. Sends "@k" as operation k begins, "!line" for a
// fault and "+k" for the operation a fresh copy goes on with.
[[noreturn]] void RunInCopy(GameHarness& game, const std::vector<Operation>& ops, size_t first, bool second, int fd) {
  Os::InstallFiles(&CopyFiles());
  game.clearFrames();
  game.keepFrames = false;  // nobody looks at them here
  Watch watch(game);
  const std::vector<SDialog*> stop = ScreenTour::dialogs(game);
  for (size_t k = first; k < ops.size(); ++k) {
    Send(fd, "@" + std::to_string(k));
    ::alarm(kCopyTimeout);
    i32 x = 0, y = 0;
    watch.Begin();
    const std::string what = Act(game, ops[k], x, y);
    if (what.empty()) {
      if (k == first) continue;  // not to be done from the stop either
      Send(fd, "+" + std::to_string(k));
      ::_exit(0);
    }
    if (std::getenv("RC_TRACE")) Send(fd, "!trace " + what + " depth " + std::to_string(second));
    for (const std::string& line : watch.Result()) Send(fd, "!" + what + ": " + line);
    if (second && ops[k].control && !game.ended()) {
      const std::vector<SDialog*> now = ScreenTour::dialogs(game);
      if (now == stop) {
        watch.Begin();
        Tap(game, x, y);
        for (const std::string& line : watch.Result()) Send(fd, "!" + what + " twice: " + line);
      } else if (now.size() > stop.size() && std::equal(stop.begin(), stop.end(), now.begin())) {
        ::alarm(0);  // each of those copies keeps its own time
        for (const std::string& line : InCopies(game, Operations(game, false), false))
          Send(fd, "!" + what + ", then " + line);
      }
    }
    if (game.ended() || ScreenTour::dialogs(game) != stop) {
      Send(fd, "+" + std::to_string(k + 1));
      ::_exit(0);
    }
  }
  ::_exit(0);
}

std::string Describe(const Operation& op) { return op.control ? Name(*op.control) + " tapped" : KeyName(op.action); }

// Runs the operations in copies of the process (RunInCopy), each copy going on from where the one before
// stopped; the state here stays as it was. A line per fault, naming what was operated; an operation that
// crashes or hangs its copy is a fault too.
std::vector<std::string> InCopies(GameHarness& game, const std::vector<Operation>& ops, bool second) {
  std::vector<std::string> out;
  for (size_t first = 0; first < ops.size();) {
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
      // The copy says nothing of its own: the harness's complaints would read as the suite's.
      if (const int null = ::open("/dev/null", O_WRONLY); null >= 0) {
        ::dup2(null, 1);
        ::dup2(null, 2);
      }
      RunInCopy(game, ops, first, second, pipe_[1]);
    }
    ::close(pipe_[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipe_[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    ::close(pipe_[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    size_t current = first, next = ops.size();
    for (size_t at = 0; at < text.size();) {
      const size_t end = std::min(text.find('\n', at), text.size());
      const std::string line = text.substr(at, end - at);
      at = end + 1;
      if (line.empty()) continue;
      if (line[0] == '@') current = std::stoul(line.substr(1));
      if (line[0] == '+') next = std::stoul(line.substr(1));
      if (line[0] == '!') out.push_back(line.substr(1));
    }
    std::string failed;
    if (WIFSIGNALED(status))
      failed = WTERMSIG(status) == SIGALRM ? "the game did not come back within " + std::to_string(kCopyTimeout) + " s"
                                           : "the game crashed (signal " + std::to_string(WTERMSIG(status)) + ")";
    else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      failed = "the game ended with status " + std::to_string(WEXITSTATUS(status));
    if (!failed.empty()) {
      out.push_back(Describe(ops[current]) + ": " + failed);
      next = current + 1;
    }
    first = std::max(next, first + 1);
  }
  return out;
}

}  // namespace

std::vector<std::string> RepaintCheck::EachControl(GameHarness& game) {
  // The pictures the harness kept of the way here are of no use to the copies, and a copy of a smaller
  // process is made sooner.
  game.clearFrames();
  return InCopies(game, Operations(game, true), true);
}
