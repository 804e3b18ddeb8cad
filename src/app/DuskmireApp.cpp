#include "app/DuskmireApp.h"

#include "core/SGameCore.h"
#include "core/ui/SDialogLoading.h"
#include "foundation/SSettings.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "os/Clock.h"
#include "platform/hal/Blit.h"
#include "platform/hal/DisplayModes.h"
#include "platform/sound/SSoundManager.h"
#include "platform/video/VideoDetect.h"

#include <cstdlib>
#include <new>

namespace {

DuskmireApp* application = nullptr;
u32 freeMemory = 0;
bool quitFlag = false;

bool SaveSlot(SGameCore* core, u32 slot) { return core->saveGame.Write(slot) == 1; }
void ExitProcess(int code) { std::exit(code); }
DuskmireApp::SaveGameFn saveGame = SaveSlot;
DuskmireApp::ExitFn exitProcess = ExitProcess;
SGameObserver* coreObserver = nullptr;

// The nine hardware keys, in the order of the binding entries.
constexpr u32 kHardwareKeys[9] = {38, 40, 37, 39, 13, 193, 194, 195, 196};
// Actions of the binding entries on keyboard devices, where the entries hold characters.
constexpr u16 kKeyboardActions[9] = {kActionForward,   kActionBack,   kActionTurnLeft, kActionTurnRight, kActionUse,
                                     kActionMagicBook, kActionAttack, kActionSideLeft, kActionSideRight};

bool IsMovement(u16 action) {
  return action == kActionForward || action == kActionBack || action == kActionTurnLeft || action == kActionTurnRight ||
         action == kActionSideLeft || action == kActionSideRight;
}

}  // namespace

DuskmireApp::DuskmireApp() {
  title = kDuskmireTitle;
  freeMemory = Hal::GetFreeMemory();
}

DuskmireApp::~DuskmireApp() {
  delete core;
  if (application == this) application = nullptr;
}

DuskmireApp* DuskmireApp::Application() { return application; }
u32 DuskmireApp::FreeMemory() { return freeMemory; }
void DuskmireApp::SetSaveGame(SaveGameFn save) { saveGame = save ? save : SaveSlot; }
void DuskmireApp::SetExit(ExitFn exit) { exitProcess = exit ? exit : ExitProcess; }
void DuskmireApp::SetObserver(SGameObserver* observer) { coreObserver = observer; }

bool DuskmireApp::PickDisplayMode(u32 w, u32 h, u32 startMode, DisplayModeChoice* out) {
  const Hal::DisplayModeRow* row = Hal::FindScreenMode(w, h, startMode);
  if (!row) return false;
  out->mode = row->mode;
  out->landscape = row->landscape;
  out->keyboard = row->keyboard;
  out->fastFrames = row->fastFrames;
  out->height = row->usedHeight;
  return true;
}

bool DuskmireApp::Refuse(const char* text) {
  Os::Windows().MessageBox(window, text, "Error", 0);
  return false;
}

void DuskmireApp::EndWith(const char* text) {
  startError = text ? text : "";
  Refuse(startError.c_str());
  quit = 1;
}

bool DuskmireApp::OnInitialize() {
  startTime = Hal::GetTime();
  windowCopy = window;
  screenWidth = u32(Os::Windows().GetSystemMetrics(0));
  screenHeight = u32(Os::Windows().GetSystemMetrics(1));
  if (freeMemory < kMinimumMemory) {
    startError = "You have less than 12 MB free program memory available. Check Settings->Memory Settings.";
    return Refuse(startError.c_str());
  }
  application = this;
  const u32 startMode = RegGetDword("StartMode", 0);
  DisplayModeChoice choice;
  if (!PickDisplayMode(screenWidth, screenHeight, startMode, &choice)) {
    startError = "The screen resolution isn't supported.";
    return Refuse(startError.c_str());
  }
  landscape = choice.landscape;
  keyboard = choice.keyboard;
  fastFrames = choice.fastFrames;
  screenHeight = choice.height;
  core = new (std::nothrow) SGameCore;
  if (!core) {
    startError = "Out of memory.";
    return Refuse(startError.c_str());
  }
  core->landscapeScreen = landscape;
  core->observer = coreObserver;
  if (!core->Startup(choice.mode, window, screenWidth, screenHeight, &startError)) return Refuse(startError.c_str());
  if (newGame && !StartNewGame()) {
    startError = "The new game could not be started: the world's archives or its start position are missing.";
    return Refuse(startError.c_str());
  }
  ShareKeyOrientation();
  return true;
}

bool DuskmireApp::StartNewGame() {
  if (!core || !core->stateGame) return false;
  SDialogLoading loading;
  loading.Attach(core);
  loading.Layout();
  // Loading runs inside a frame, as the screens that start a game do.
  if (!core->BeginFrame()) return false;
  const bool started = core->saveGame.StartNewGame(&loading) == 1;
  if (started) {
    // The game state is entered with word 0 set: it puts the player on the start position.
    if (SState* current = core->currentState) {
      current->params[0] = 1;
      current->params[1] = current->params[2] = current->params[3] = 0;
    }
    core->SetState(kStateGame);
  }
  core->Present();
  return started;
}

bool DuskmireApp::StateGameHasSubDialog() const { return core->stateGame && core->stateGame->subDialog != nullptr; }

bool DuskmireApp::InputRepeatAllowed() const {
  const SStateGame* game = core->stateGame;
  return game && static_cast<const SState*>(game) == core->currentState && !game->turning && !game->stepping &&
         !game->IsBusy();
}

void DuskmireApp::TickUnlessSubDialog() {
  if (!StateGameHasSubDialog()) core->Tick();
}

u32 DuskmireApp::KeyOrientation() const {
  if (keyboard || !core || !core->display) return 0;
  const u32 orientation = core->display->Orientation();
  return orientation <= 1 ? orientation : 2;
}

const u32* DuskmireApp::OrientationTable() const {
  const u32 orientation = KeyOrientation();
  if (orientation == 0) return core->settings.keys;
  return orientation == 1 ? core->settings.lKeys : core->settings.rKeys;
}

void DuskmireApp::ShareKeyOrientation() const {
  if (core) Os::Windows().SetKeyOrientation(KeyOrientation());
}

u16 DuskmireApp::PolledAction() const {
  if (!keyboard || !core) return 0;
  for (int i = 0; i < 9; ++i) {
    u32 c = core->settings.keys[i] & 0xFF;
    if (!core->settings.keys[i]) continue;
    if (c >= 'a' && c <= 'z') c -= 32;
    if (Os::Windows().GetKeyState(i32(c)) < 0) return kKeyboardActions[i];
  }
  return 0;
}

bool DuskmireApp::OnFrame() {
  // The settings may have turned the screen since the last pass.
  ShareKeyOrientation();
  const u32 now = Hal::GetTime();
  if (now - lastFrame >= (fastFrames ? 30u : 40u)) {
    lastFrame = now;
    if (core && core->BeginFrame()) {
      if (core->stateGame) core->stateGame->frameBase = core->display->GetFrameBase();
      bool finished = false;
      if (InputRepeatAllowed()) {
        if (stylusHeld && now - lastStylusRepeat >= 30) {
          lastStylusRepeat = now;
          core->OnStylus(i32(heldX), i32(heldY), 1, 0);
          TickUnlessSubDialog();
          core->Present();
          finished = true;
        } else {
          const u16 action = keyboard ? PolledAction() : heldAction;
          if (action && now - lastKeyRepeat >= 30) {
            lastKeyRepeat = now;
            core->OnKey(action);
            TickUnlessSubDialog();
            core->Present();
            finished = true;
          }
        }
      }
      if (!finished) {
        core->Tick();
        core->Present();
        Os::Clocks().Sleep(1);
      }
    }
  }
  const u32 fresh = Hal::GetTime();
  if (fresh - lastIdleReset >= 5000) {
    lastIdleReset = fresh;
    KeepAwake();
  }
  return !quit;
}

u16 DuskmireApp::MapKey(u32 key) const {
  if (!core) return 0;
  if (keyboard) {
    u32 folded = key;
    if (folded >= 'A' && folded <= 'Z') folded += 32;
    folded &= 0xFF;
    for (int i = 0; i < 9; ++i) {
      const u32 entry = core->settings.keys[i];
      // An unbound entry (0) matches nothing, not even a key whose low byte is 0.
      if (entry && (entry == key || entry == folded)) return kKeyboardActions[i];
    }
    return 0;
  }
  for (int i = 0; i < 9; ++i)
    if (kHardwareKeys[i] == key) return u16(OrientationTable()[i] & 0xFFFF);
  return 0;
}

void DuskmireApp::OnKeyDown(u32 key) {
  if (!core) return;
  const u16 action = MapKey(key);
  if (!action) return;
  if (!keyboard) heldAction = IsMovement(action) ? action : 0;
  lastKeyRepeat = Hal::GetTime();
  if (!core->BeginFrame()) return;
  core->OnKey(action);
  if (core->stateGame && static_cast<SState*>(core->stateGame) == core->currentState && !StateGameHasSubDialog())
    core->Tick();
  core->Present();
}

void DuskmireApp::OnKeyUp(u32 key) {
  if (keyboard || !core) return;
  for (int i = 0; i < 9; ++i) {
    if (kHardwareKeys[i] != key) continue;
    if (OrientationTable()[i] != 0) {
      heldAction = 0;
      lastKeyRepeat = 0;
    }
    return;
  }
}

void DuskmireApp::Pen(i32 x, i32 y, u32 touching, u32 moving) {
  heldX = u32(x);
  heldY = u32(y);
  lastStylusRepeat = Hal::GetTime();
  if (!core || !core->BeginFrame()) return;
  // Toward zero, to even.
  core->OnStylus(x / 2 * 2, y / 2 * 2, touching, moving);
  if (core->stateGame && static_cast<SState*>(core->stateGame) == core->currentState && !StateGameHasSubDialog())
    core->Tick();
  core->Present();
}

void DuskmireApp::OnPenDown(i32 x, i32 y) {
  stylusHeld = 1;
  Pen(x, y, 1, 0);
}

void DuskmireApp::OnPenMove(i32 x, i32 y) { Pen(x, y, 1, 1); }

void DuskmireApp::OnPenUp(i32 x, i32 y) {
  stylusHeld = 0;
  Pen(x, y, 0, 0);
}

void DuskmireApp::OnSuspend() {
  if (core && core->soundManager && core->soundManager->Speaker() && core->soundManager->Speaker()->IsOpen() &&
      core->soundManager->Speaker()->Driver())
    core->soundManager->Speaker()->Driver()->Pause();
}

void DuskmireApp::OnResume() {
  Hal::Game::OnResume();
  if (core && core->soundManager && core->soundManager->Speaker() && core->soundManager->Speaker()->IsOpen() &&
      core->soundManager->Speaker()->Driver())
    core->soundManager->Speaker()->Driver()->Resume();
}

void DuskmireApp::Quit() {
  quitFlag = true;
  quit = 1;
  if (core && core->stateGame && core->stateGame->gameInProgress && !saveGame(core, 0)) {
    // The previous automatic save is still whole; the player decides whether this game may be lost.
    const i32 answer =
        Os::Windows().MessageBox(window, "The game could not be saved. Exit anyway?", "Error", Os::kMessageBoxYesNo);
    if (answer != Os::kAnswerYes) {
      quitFlag = false;
      quit = 0;
      return;
    }
  }
  // A quit the player chose is a success to the shell and to scripts, whatever the handheld made of it.
  exitProcess(0);
}

bool DuskmireApp::OnClose() {
  if (!core || !core->stateGame || !core->stateGame->gameInProgress) return true;
  Quit();
  return quit != 0;
}

void QuitGame() {
  quitFlag = true;
  if (DuskmireApp* app = DuskmireApp::Application())
    app->Quit();
  else
    exitProcess(0);
}

int WinMain(std::string* refusal, bool newGame) {
  // Before anything is drawn, as the handheld's start-up code did: the block copies for this processor.
  Hal::SelectBlockRoutines(Hal::GetProcessorType());
  DuskmireApp app;
  app.applicationId = DuskmireApp::kApplicationId;
  app.quit = 0;
  app.newGame = newGame ? 1 : 0;
  if (app.Create(app.title)) {
    app.lastIdleReset = Hal::GetTime();
    if (app.OnInitialize()) app.Run();
    // A start refused, or a game ended because its screen could no longer be made: both are failures.
    if (refusal) *refusal = app.startError;
  }
  Hal::Game::ClearInstance();
  return 0;
}
