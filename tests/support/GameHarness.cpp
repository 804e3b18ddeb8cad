#include "support/GameHarness.h"

#include "app/DuskmireApp.h"
#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SDialogTextEdit.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SSceneTextCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "foundation/SDatabase.h"
#include "game/SStateGame.h"
#include "os/Backend.h"
#include "os/Process.h"
#include "os/headless/HeadlessWindows.h"
#include "os/headless/SimWaveOut.h"
#include "platform/hal/DisplayModes.h"
#include "platform/hal/Game.h"
#include "platform/video/VideoDetect.h"
#include "screens/SStateInventory.h"
#include "script/SScriptInterpreter.h"
#include "world/SItemTable.h"
#include "world/SSoundTable.h"

#include <cxxabi.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <typeinfo>

namespace fs = std::filesystem;

namespace {

// Distinct pictures kept; the oldest go first.
constexpr size_t kMaxFrames = 256;

const char* const kArchives[] = {"DuskmireData", "DuskmireMusic", "DuskmireSound", "DuskmireRes", "DuskmireBase"};

std::string ClassName(const std::type_info& type) { return GameHarness::className(type); }

std::string Text(const SString& s) { return s.CStr() ? s.CStr() : ""; }

// The caption or text a control shows, when it is one that shows text.
std::string ControlText(const SCtrl& c) {
  if (auto* b = dynamic_cast<const SButtonCtrl*>(&c)) return Text(b->label);
  if (auto* b = dynamic_cast<const SCtrlMessageButton*>(&c)) return Text(b->label);
  if (auto* t = dynamic_cast<const STextCtrl*>(&c)) return Text(t->text);
  if (auto* t = dynamic_cast<const SNameTextCtrl*>(&c)) return Text(t->label) + " " + Text(t->value);
  if (auto* t = dynamic_cast<const STitleTextCtrl*>(&c)) return Text(t->title);
  if (auto* t = dynamic_cast<const SSceneTextCtrl*>(&c)) {
    std::string out;
    for (u32 i = 0; i < t->lines.Count(); ++i) out += (i ? "\r" : "") + Text(t->lines[i]);
    return out;
  }
  if (auto* t = dynamic_cast<const STopicButtonCtrl*>(&c)) return Text(t->caption);
  if (auto* t = dynamic_cast<const SDialogTextCtrl*>(&c)) {
    // The lines on the page, then those still waiting for it.
    std::string out;
    auto line = [&](const STextLine& l) {
      if (!Text(l.text).empty()) out += (out.empty() ? "" : "\r") + Text(l.text);
    };
    for (u32 i = 0; i < t->page.Count(); ++i) line(t->page[i]);
    for (u32 i = t->firstWaiting; i < t->waiting.Count(); ++i) line(t->waiting[i]);
    return out;
  }
  return "";
}

// The dialogs input reaches: the current state, then each open child in turn.
std::vector<SDialog*> DialogChain(const SGameCore& core) {
  std::vector<SDialog*> chain;
  for (SDialog* d = core.currentState; d && chain.size() < 16; d = d->child) chain.push_back(d);
  return chain;
}

}  // namespace

GameHarness::ProgramResult GameHarness::shell(const std::string& command) {
  ProgramResult r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.output.append(buffer, n);
  const int raw = pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

class GameHarness::Observer : public SGameObserver {
 public:
  explicit Observer(GameHarness* harness) : harness_(harness) {}

  void OnMessage(const char* source, const char* destination, const char* text, u32 detail) override {
    harness_->messages_.push_back(Message{source, destination, text ? text : "", detail});
  }

  void OnSoundRequest(const SSoundRequest& request) override {
    static const char* const kWhat[] = {"sound",       "loop",  "music",  "stop music",
                                        "stop sounds", "pause", "resume", "stop"};
    Sound sound;
    sound.what = kWhat[request.kind];
    if (request.music) sound.name = request.music;
    if (auto* resource = dynamic_cast<const SResource*>(request.sound))
      sound.name = resource->name.Text() ? resource->name.Text() : "#" + std::to_string(resource->recordId);
    sound.step = request.step;
    sound.handle = request.handle;
    harness_->sounds_.push_back(sound);
  }

 private:
  GameHarness* harness_;
};

GameHarness::GameHarness(const Options& options) : options_(options) {
  std::string folder = options.dataFolder.empty() ? std::string(DUSKMIRE_DATA_DIR) : options.dataFolder;
  if (options.copyData) {
    static int copies = 0;
    tempData_ = makeDataFolder("copy-" + std::to_string(::getpid()) + "-" + std::to_string(++copies), nullptr);
    folder = tempData_;
  }
  dataFolder_ = folder;
  Os::SetProgramFolder(folder);
  Os::BackendOptions b;
  b.screenWidth = options.width;
  b.screenHeight = options.height;
  b.availableMemory = options.memory;
  b.frameLimit = options.frameLimit;
  b.timeLimit = options.timeLimit;
  if (!options.inputScript.empty()) {
    // One file per harness: suites run side by side.
    static int scripts = 0;
    b.inputFile = std::string(DUSKMIRE_BIN_DIR) + "/harness_input_" + std::to_string(::getpid()) + "_" +
                  std::to_string(++scripts) + ".txt";
    std::ofstream(b.inputFile) << options.inputScript;
  }
  std::string error;
  EXPECT_TRUE(Os::UseHeadless(b, &error)) << error;
  if (options.soundDevice) {
    soundDevice_ = std::make_unique<Os::SimWaveOut>(1);
    Os::InstallWaveOut(soundDevice_.get());
  }
  if (!b.inputFile.empty()) std::remove(b.inputFile.c_str());
  Hal::ResetTimer();
  Hal::VideoDetect::ResetInstance();
  RegSetDword("StartMode", options.startMode);
  for (const auto& [name, value] : options.settings) RegSetDword(name.c_str(), value);
  if (Os::PanelGdi* gdi = Os::HeadlessGraphics()) gdi->SetPanelWatcher([this](const Os::Panel& p) { record(p); });
  observer_ = std::make_unique<Observer>(this);
  DuskmireApp::SetObserver(observer_.get());
  app_ = std::make_unique<DuskmireApp>();
  app_->applicationId = DuskmireApp::kApplicationId;
  app_->newGame = options.newGame ? 1 : 0;
}

GameHarness::~GameHarness() {
  DuskmireApp::SetObserver(nullptr);
  if (Os::PanelGdi* gdi = Os::HeadlessGraphics()) gdi->SetPanelWatcher(nullptr);
  app_.reset();
  if (soundDevice_) Os::InstallWaveOut(nullptr);
  soundDevice_.reset();
  Hal::VideoDetect::ResetInstance();
  std::string error;
  Os::FinishBackend(&error);
  Hal::ResetTimer();
  Os::SetProgramFolder("");
  if (!tempData_.empty()) {
    std::error_code ignored;
    fs::remove_all(tempData_, ignored);
  }
}

bool GameHarness::boot() {
  if (!app_->Create(kDuskmireTitle)) return false;
  app_->lastIdleReset = Hal::GetTime();
  booted_ = app_->OnInitialize();
  return booted_;
}

const std::string& GameHarness::startError() const { return app_->startError; }

SGameCore& GameHarness::core() const { return *app_->core; }

// ---- driving

void GameHarness::pumpUntil(const std::function<bool()>& done) {
  for (u32 passes = 0; !ended_ && !done(); ++passes) {
    // A frame comes every 30 or 40 virtual milliseconds, one idle pass each: far fewer passes than this.
    if (passes > 1000000) {
      ADD_FAILURE() << "the game loop makes no progress";
      return;
    }
    if (!app_->Pump()) {
      ended_ = true;
    } else if (onPass) {
      onPass();
    }
  }
}

void GameHarness::frame(u32 count) {
  if (!booted_) {
    ADD_FAILURE() << "frame() before a successful boot()";
    return;
  }
  for (u32 i = 0; i < count && !ended_; ++i) {
    const u32 before = app_->lastFrame;
    pumpUntil([&] { return app_->lastFrame != before; });
  }
}

void GameHarness::post(u32 message, u64 wParam, u64 lParam) {
  Os::Windows().PostMessage(app_->window, message, Os::WParam(wParam), Os::LParam(lParam));
}

std::string GameHarness::switchMark(bool withSubMode) const {
  std::ostringstream mark;
  mark << state();
  for (const SDialog* d : DialogChain(core())) mark << " " << d;
  if (const SStateGame* game = core().stateGame; game && withSubMode)
    mark << " " << game->subDialog << " " << game->subMode;
  return mark.str();
}

void GameHarness::settle() {
  Os::HeadlessWindows* windows = Os::HeadlessWindowSystem();
  pumpUntil([&] { return windows->QueuedMessages() == 0; });
  // Input in the frame of a switch is ignored by design: let a frame pass, and one more when that frame
  // itself switched.
  const std::string before = switchMark();
  frame();
  if (!ended_ && switchMark() != before) frame();
}

void GameHarness::press(u16 action) {
  u32 key = 0;
  for (u32 k = 1; k < 256 && !key; ++k)
    if (app_->MapKey(k) == action) key = k;
  if (!key) {
    ADD_FAILURE() << "no key is bound to action " << action;
    return;
  }
  post(Os::kMsgKeyDown, key, 1);
  post(Os::kMsgKeyUp, key, 0xC0000001u);
  settle();
}

void GameHarness::pen(u32 message, i32 x, i32 y) {
  // The panel point that the application (rounding to even) and the core (turning) bring to (x, y).
  const Os::HeadlessWindows* windows = Os::HeadlessWindowSystem();
  i32 bestX = 0, bestY = 0;
  i64 best = -1;
  for (i32 py = 0; py < windows->ScreenHeight() && best != 0; py += 2)
    for (i32 px = 0; px < windows->ScreenWidth() && best != 0; px += 2) {
      i32 tx = px, ty = py;
      core().TurnStylus(&tx, &ty);
      const i64 distance = std::abs(tx - x) + std::abs(ty - y);
      if (best < 0 || distance < best) {
        best = distance;
        bestX = px;
        bestY = py;
      }
    }
  post(message, message == Os::kMsgLButtonUp ? 0 : 1, Os::PackPoint(bestX, bestY));
  settle();
}

void GameHarness::penDown(i32 x, i32 y) { pen(Os::kMsgLButtonDown, x, y); }
void GameHarness::penMove(i32 x, i32 y) { pen(Os::kMsgMouseMove, x, y); }
void GameHarness::penUp(i32 x, i32 y) { pen(Os::kMsgLButtonUp, x, y); }

void GameHarness::tap(u32 layout, u32 control) {
  const SLayoutItem* item = core().GetLayoutItem(layout, control);
  if (!item) {
    ADD_FAILURE() << "layout " << layout << " has no control " << control << " on display mode " << core().displayMode;
    return;
  }
  // Controls are placed relative to the dialog laid out from the layout (the innermost, when several are).
  i32 x = 0, y = 0;
  for (const SDialog* d : DialogChain(core()))
    if (d->layoutId == layout) {
      x = d->left;
      y = d->top;
    }
  x += item->x + item->w / 2;
  y += item->y + item->h / 2;
  penDown(x, y);
  penUp(x, y);
}

SCtrl* GameHarness::findControl(u32 id) const {
  const std::vector<SDialog*> chain = DialogChain(core());
  if (chain.empty()) return nullptr;
  const SDialog* deepest = chain.back();
  for (u32 i = 0; i < deepest->controls.Count(); ++i)
    if (SCtrl* c = deepest->controls.At(i); c && c->id == id && c->IsVisible()) return c;
  return nullptr;
}

void GameHarness::tapControl(u32 id) {
  const SCtrl* c = findControl(id);
  if (!c) {
    const SDialog* deepest = DialogChain(core()).empty() ? nullptr : DialogChain(core()).back();
    ADD_FAILURE() << (deepest ? ClassName(typeid(*deepest)) : std::string("no dialog")) << " shows no control " << id
                  << " on display mode " << core().displayMode;
    return;
  }
  const i32 x = c->left + c->width / 2, y = c->top + c->height / 2;
  penDown(x, y);
  penUp(x, y);
}

void GameHarness::tapLabel(const std::string& text) {
  const std::vector<SDialog*> chain = DialogChain(core());
  if (!chain.empty())
    for (u32 i = 0; i < chain.back()->controls.Count(); ++i) {
      const SCtrl* c = chain.back()->controls.At(i);
      if (!c || !c->IsVisible() || ControlText(*c) != text) continue;
      const i32 x = c->left + c->width / 2, y = c->top + c->height / 2;
      penDown(x, y);
      penUp(x, y);
      return;
    }
  ADD_FAILURE() << "the deepest dialog shows no control \"" << text << "\"";
}

void GameHarness::tapRow(u32 list, u32 row) {
  const std::vector<SDialog*> chain = DialogChain(core());
  for (auto d = chain.rbegin(); d != chain.rend(); ++d)
    for (u32 i = 0; i < (*d)->controls.Count(); ++i) {
      auto* l = dynamic_cast<const SDialogListCtrl*>((*d)->controls.At(i));
      if (!l || l->id != list || !l->IsVisible()) continue;
      const i32 onPage = i32(row) - l->firstRow;
      if (row >= l->RowCount() || onPage < 0 || (onPage + 1) * l->rowHeight > l->height) {
        ADD_FAILURE() << "list " << list << " does not show row " << row << " (rows " << l->RowCount() << ", first "
                      << l->firstRow << ")";
        return;
      }
      const i32 x = l->left + l->width / 2, y = l->top + onPage * l->rowHeight + l->rowHeight / 2;
      penDown(x, y);
      penUp(x, y);
      return;
    }
  ADD_FAILURE() << "no open dialog shows a list " << list;
}

void GameHarness::typeText(const std::string& text) {
  for (char c : text) {
    const std::vector<SDialog*> chain = DialogChain(core());
    auto* keyboard = chain.empty() ? nullptr : dynamic_cast<const SDialogTextEdit*>(chain.back());
    if (!keyboard) {
      ADD_FAILURE() << "no keyboard is open to type '" << c << "' on";
      return;
    }
    if (c == ' ') {
      tapControl(SDialogTextEdit::kSpace);
      continue;
    }
    if (c == '\b') {
      tapControl(SDialogTextEdit::kBackspace);
      continue;
    }
    static const std::string kKeys = "qwertyuiopasdfghjklzxcvbnm1234567890";
    const char lower = char(std::tolower(static_cast<unsigned char>(c)));
    const size_t key = kKeys.find(lower);
    if (key == std::string::npos) {
      ADD_FAILURE() << "the keyboard has no key for '" << c << "'";
      return;
    }
    // Letters come out as the shift state says: tap shift until it gives the case wanted.
    const bool capital = c != lower;
    for (u32 taps = 0; key < 26 && (keyboard->shiftState != SDialogTextEdit::kLower) != capital && taps < 3; ++taps)
      tapControl(SDialogTextEdit::kShift);
    tapControl(SDialogTextEdit::kFirstKey + u32(key));
  }
}

void GameHarness::setState(i32 next, u32 w0, u32 w1, u32 w2, u32 w3) {
  SGameCore& c = core();
  // A screen switching hands its own words on, and does so inside a frame.
  if (SState* current = c.currentState) {
    current->params[0] = w0;
    current->params[1] = w1;
    current->params[2] = w2;
    current->params[3] = w3;
  }
  if (c.BeginFrame()) {
    c.SetState(next);
    c.Present();
  }
  settle();
}

testing::AssertionResult GameHarness::waitUntil(const Condition& condition, u32 maxFrames) {
  bool switched = false;
  for (u32 waited = 0;; ++waited) {
    if (condition.holds(*this)) {
      if (switched && !ended_) frame();
      return testing::AssertionSuccess();
    }
    if (waited == maxFrames || ended_) break;
    // Only a state or dialog switch: the game's own sub-modes take input in their first frame.
    const std::string before = switchMark(false);
    frame();
    switched = switchMark(false) != before;
  }
  return testing::AssertionFailure() << condition.what << ": not within " << maxFrames << " frames (state " << state()
                                     << ", sub-mode " << subMode() << (ended_ ? ", the program ended" : "") << ")";
}

GameHarness::Condition GameHarness::stateIs(i32 number) {
  return {"state " + std::to_string(number) + " is current",
          [number](const GameHarness& h) { return h.state() == number; }};
}

GameHarness::Condition GameHarness::gameIdle() {
  return {"the game state is idle", [](const GameHarness& h) {
            const SStateGame* g = h.core().stateGame;
            return g && h.state() == kStateGame && g->subMode == 1 && !g->IsBusy() && g->events.Count() == 0;
          }};
}

GameHarness::Condition GameHarness::subModeIs(i32 mode) {
  return {"the game state's sub-mode is " + std::to_string(mode), [mode](const GameHarness& h) {
            return h.core().stateGame && h.state() == kStateGame && h.subMode() == mode;
          }};
}

// ---- observing

i32 GameHarness::state() const {
  const SGameCore& c = core();
  if (!c.currentState) return 0;
  for (i32 n = 1; n < i32(kStateCount); ++n)
    if (c.states[n] == c.currentState) return n;
  return -1;
}

std::vector<i32> GameHarness::stateStack() const {
  const SGameCore& c = core();
  std::vector<i32> out;
  for (u32 i = 0; i < c.stackCount; ++i) {
    i32 number = -1;
    for (i32 n = 1; n < i32(kStateCount); ++n)
      if (c.states[n] && c.states[n] == c.stateStack[i]) number = n;
    out.push_back(number);
  }
  return out;
}

std::string GameHarness::className(const std::type_info& type) {
  int status = 0;
  char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
  std::string out = status == 0 && name ? name : type.name();
  std::free(name);
  return out;
}

SDialog* GameHarness::openChild() const {
  const std::vector<SDialog*> chain = DialogChain(core());
  return chain.size() > 1 ? chain.back() : nullptr;
}

i32 GameHarness::subMode() const { return core().stateGame ? core().stateGame->subMode : 0; }

std::vector<GameHarness::Control> GameHarness::controls() const {
  std::vector<Control> out;
  auto add = [&](const SDialog& d, const SCtrl& c) {
    out.push_back(Control{ClassName(typeid(d)), ClassName(typeid(c)), c.id, c.left, c.top, c.width, c.height, c.flags,
                          ControlText(c)});
  };
  for (const SDialog* d : DialogChain(core())) {
    // The message box draws its body text itself, outside its list.
    if (auto* box = dynamic_cast<const SDialogMessage*>(d); box && box->text) add(*d, *box->text);
    for (u32 i = 0; i < d->controls.Count(); ++i) {
      const SCtrl* c = d->controls.At(i);
      if (c && c->IsVisible()) add(*d, *c);
    }
  }
  return out;
}

std::string GameHarness::describeUi() const {
  std::ostringstream out;
  for (const SDialog* d : DialogChain(core())) {
    out << ClassName(typeid(*d)) << " layout " << d->layoutId << " at " << d->left << "," << d->top << " " << d->width
        << "x" << d->height << "\n";
    auto line = [&](const SCtrl& c) {
      out << "  " << ClassName(typeid(c)) << " " << c.id << " at " << c.left << "," << c.top << " " << c.width << "x"
          << c.height << " flags " << c.flags;
      const std::string text = ControlText(c);
      if (!text.empty()) out << " \"" << text << "\"";
      if (auto* l = dynamic_cast<const SDialogListCtrl*>(&c)) {
        out << " rows";
        for (u32 r = 0; r < l->RowCount(); ++r) out << " [" << Text(l->Row(i32(r))->text) << "]";
        out << " selected " << l->selected << " first " << l->firstRow;
      }
      out << "\n";
    };
    if (auto* box = dynamic_cast<const SDialogMessage*>(d); box && box->text) line(*box->text);
    for (u32 i = 0; i < d->controls.Count(); ++i)
      if (const SCtrl* c = d->controls.At(i); c && c->IsVisible()) line(*c);
  }
  return out.str();
}

u32 GameHarness::scriptError() const { return core().scriptInterpreter ? core().scriptInterpreter->LastError() : 0; }

GameHarness::Options GameHarness::forMode(i32 mode) {
  Options options;
  const Hal::DisplayModeRow* natural = nullptr;
  for (const Hal::DisplayModeRow& row : Hal::DisplayModeRows()) {
    if (row.mode != mode || !row.screenWidth) continue;
    const bool wide = row.width ? row.width > row.height : row.screenWidth > row.usedHeight;
    if (!natural || (row.screenWidth > row.screenHeight) == wide) natural = &row;
    if ((row.screenWidth > row.screenHeight) == wide) break;
  }
  if (!natural) {
    ADD_FAILURE() << "no device runs display mode " << mode;
    return options;
  }
  options.width = natural->screenWidth;
  options.height = natural->screenHeight;
  for (u32 startMode = 0; startMode < 2; ++startMode) {
    const Hal::DisplayModeRow* found = Hal::FindScreenMode(options.width, options.height, startMode);
    if (found && found->mode == mode) {
      options.startMode = startMode;
      return options;
    }
  }
  ADD_FAILURE() << "no StartMode gives display mode " << mode << " on " << options.width << "x" << options.height;
  return options;
}

std::vector<i32> GameHarness::deviceModes() {
  std::vector<i32> modes;
  for (const Hal::DisplayModeRow& row : Hal::DisplayModeRows())
    if (row.screenWidth && std::find(modes.begin(), modes.end(), row.mode) == modes.end()) modes.push_back(row.mode);
  std::sort(modes.begin(), modes.end());
  return modes;
}

GameHarness::Player GameHarness::player() const {
  SPlayer& p = core().player;
  Player out;
  out.name = Text(p.name);
  out.race = p.race;
  out.raceName = p.GetRaceName();
  out.level = p.level;
  out.xp = p.xp;
  out.hp = p.hp;
  out.maxHp = p.GetMaxHp();
  out.mana = p.mana;
  out.maxMana = p.GetMaxMana();
  out.money = p.money;
  out.fame = p.fame;
  out.crime = p.crime;
  for (u32 a = 1; a <= 5; ++a) out.attributes.push_back(p.GetAttribute(a));
  for (u32 s = 1; s <= kPlayerSkills; ++s)
    if (p.skills[s]) out.skills.emplace_back(s, p.skills[s]);
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot)
    if (const SItem* item = p.Equipped(slot))
      out.equipped.emplace_back(slot, item->type && item->type->name.Text() ? item->type->name.Text() : "?");
  for (u32 category = 0; category < kEffectCategories; ++category)
    for (const SPlayerEffect* e : p.effects[category]) {
      if (!e) continue;
      std::ostringstream line;
      line << u32(e->category) << "/" << u32(e->sub) << " " << e->strength << " " << u32(e->duration) << " "
           << u32(e->sourceType) << (e->text ? std::string(" ") + e->text : "");
      out.effects.push_back(line.str());
    }
  return out;
}

std::vector<u32> GameHarness::eventKinds() const {
  std::vector<u32> out;
  if (const SStateGame* g = core().stateGame)
    for (const SGameEvent* e : g->events)
      if (e) out.push_back(e->kind);
  return out;
}

const Os::Panel& GameHarness::panel() const { return Os::HeadlessGraphics()->GetPanel(); }

u32 GameHarness::presents() const { return Os::HeadlessGraphics()->PanelUpdates(); }

void GameHarness::record(const Os::Panel& panel) {
  if (onPresent) onPresent(panel);
  if (!keepFrames) return;
  const u32 n = presents();
  if (!frames_.empty() && frames_.back().pixels == panel.pixels) {
    frames_.back().last = n;
    return;
  }
  frames_.push_back(Frame{n, n, panel.pixels});
  while (frames_.size() > kMaxFrames) frames_.pop_front();
}

std::string GameHarness::summaryOf(const Player& p) {
  std::ostringstream out;
  out << "player \"" << p.name << "\" race " << p.race << " " << p.raceName << " level " << p.level << " xp " << p.xp
      << " hp " << p.hp << "/" << p.maxHp << " mana " << p.mana << "/" << p.maxMana << " money " << p.money << " fame "
      << p.fame << " crime " << p.crime << "\n";
  out << "attributes";
  for (i32 a : p.attributes) out << " " << a;
  out << "\nskills";
  for (const auto& [id, level] : p.skills) out << " " << id << ":" << level;
  if (p.skills.empty()) out << " -";
  out << "\nequipped";
  for (const auto& [slot, name] : p.equipped) out << " " << slot << ":" << name;
  if (p.equipped.empty()) out << " -";
  out << "\neffects";
  for (const std::string& e : p.effects) out << " [" << e << "]";
  if (p.effects.empty()) out << " -";
  out << "\n";
  return out.str();
}

std::string GameHarness::summary() const {
  std::ostringstream out;
  out << "state " << state() << " stack";
  for (i32 n : stateStack()) out << " " << n;
  if (stateStack().empty()) out << " -";
  const SDialog* child = openChild();
  out << " child " << (child ? ClassName(typeid(*child)) : "-") << "\n";
  out << summaryOf(player());
  if (const SStateGame* g = core().stateGame) {
    const SMapArea* map = g->window.CurrentArea();
    const u32 minutes = g->window.minutes;
    char clock[32];
    std::snprintf(clock, sizeof clock, "day %u %02u:%02u", minutes / 1440 + 1, minutes / 60 % 24, minutes % 60);
    out << "game map " << (map && map->name.Text() ? map->name.Text() : "-") << " cell " << g->window.playerX << ","
        << g->window.playerY << " in cell " << g->offsetX << "," << g->offsetY << " facing " << g->facing << " clock "
        << clock << "\n";
    out << "weather " << g->weather << " rain " << g->rainIntensity << " target " << g->rainTarget << " step "
        << g->rainStep << " sub-mode " << g->subMode << (g->IsBusy() ? " busy" : " idle") << " events";
    for (u32 kind : eventKinds()) out << " " << kind;
    if (eventKinds().empty()) out << " -";
    out << "\n";
    out << "monsters fighting " << g->fightList.Count() << " danger " << g->dangerCountdown << " walkers "
        << g->activeMonsters.Count() << "\n";
  } else {
    out << "game -\n";
  }
  if (state() == kStateInventory) {
    const auto* inv = static_cast<const SStateInventory*>(core().currentState);
    const SItemSlot* slot = inv->grid.selectedSlot;
    out << "inventory page " << inv->page << " sub-page " << inv->sheetSubPage << " category " << inv->category
        << " description " << inv->descriptionView << " view " << (inv->containerView ? "container" : "pack")
        << " slots " << inv->grid.SlotCount() << " selected "
        << (slot && slot->type && slot->type->name.Text() ? slot->type->name.Text() : "-") << "\n";
  }
  return out.str();
}

// ---- the program as a process

GameHarness::ProgramResult GameHarness::runProgram(const ProgramRun& run) {
  const std::string folder = std::string(DUSKMIRE_BIN_DIR) + "/harness_runs/" + run.name;
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  std::string command = "XDG_RUNTIME_DIR='" + folder + "' timeout 300 '" + std::string(DUSKMIRE_BIN_DIR) +
                        "/duskmire' --backend headless --capture '" + folder + "/shots' " + run.args;
  // The built world, never the program's own folder, where a game played from the build saves.
  if (run.args.find("--data") == std::string::npos) command += " --data '" + std::string(DUSKMIRE_DATA_DIR) + "'";
  if (!run.input.empty()) {
    std::ofstream(folder + "/input.txt") << run.input;
    command += " --input '" + folder + "/input.txt'";
  }
  ProgramResult result = shell(command);
  result.folder = folder;
  return result;
}

// ---- game data

std::string GameHarness::makeDataFolder(const std::string& name,
                                        const std::function<bool(u16 id, std::vector<u8>& bytes)>& edit) {
  const std::string folder = std::string(DUSKMIRE_BIN_DIR) + "/harness_data/" + name;
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  const std::string from = DUSKMIRE_DATA_DIR;
  for (const char* archive : kArchives) {
    const std::string file = std::string(archive) + ".pdb";
    if (archive != kArchives[0] || !edit) {
      fs::copy_file(from + "/" + file, folder + "/" + file, fs::copy_options::overwrite_existing, ignored);
      EXPECT_FALSE(ignored) << "cannot copy " << file << ": " << ignored.message();
      continue;
    }
    SFileStore source(from), target(folder);
    SDatabase in(&source);
    if (!in.Open(archive)) {
      ADD_FAILURE() << "cannot open the built " << file;
      continue;
    }
    SDatabaseWriter out(&target);
    out.Header() = in.Header();
    out.Header().numRecords = 0;
    for (u16 i = 0; i < in.RecordCount(); ++i) {
      const u16 id = in.Entries()[i].id;
      std::unique_ptr<SRecordData> record = in.ReadRecord(id);
      if (!record) continue;
      std::vector<u8> bytes(record->data, record->data + record->size);
      if (edit(id, bytes)) out.AddRecord(id, bytes.data(), u32(bytes.size()));
    }
    EXPECT_TRUE(out.Write(archive)) << "cannot write " << folder << "/" << file;
  }
  return folder;
}
