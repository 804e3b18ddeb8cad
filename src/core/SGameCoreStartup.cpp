// The game core's start-up: from a freshly constructed core to the maker's logo state, in the order the
// parts depend on each other. The start-up text is on the screen before the interface pictures load.
#include "core/SGameCore.h"
#include "core/SGameObserver.h"
#include "core/SPictureTable.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "os/Process.h"
#include "platform/hal/Display.h"
#include "platform/sound/SSoundManager.h"
#include "screens/SStateAddWorlds.h"
#include "screens/SStateCard.h"
#include "screens/SStateCorvanth.h"
#include "screens/SStateDeath.h"
#include "screens/SStateDialog.h"
#include "screens/SStateDialogInterior.h"
#include "screens/SStateGenerate.h"
#include "screens/SStateInventory.h"
#include "screens/SStateLoadSave.h"
#include "screens/SStateMain.h"
#include "screens/SStateScene.h"
#include "screens/SStateSettings.h"
#include "screens/SStateShop.h"
#include "script/SScriptContext.h"
#include "script/SScriptInterpreter.h"

#include <new>

namespace {

constexpr char kOutOfMemory[] = "Out of memory.";

// Where a refused record lies, for the player: the file and the folder it was read from.
std::string InDataArchive(const std::string& folder) { return "of the game data \"DuskmireData.pdb\" in " + folder; }

}  // namespace

template <class State>
State* SGameCore::CreateState(i32 number) {
  State* state = new (std::nothrow) State;
  if (!state) return nullptr;
  ownStates_[number] = state;
  states[number] = state;
  return state;
}

template <class State>
bool SGameCore::AddState(i32 number) {
  State* state = CreateState<State>(number);
  if (state) state->Attach(this);
  return state != nullptr;
}

bool SGameCore::Startup(i32 mode, Os::WindowId window, u32 screenWidth, u32 screenHeight, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  // The direction tables and group offsets are constants of the class; the saved-game manager is tied to
  // the core when the core is made. The game state exists from here on, attached only once everything
  // else does.
  stateGame = CreateState<SStateGame>(kStateGame);
  if (!stateGame) return fail(kOutOfMemory);
  programFolder = Os::ProgramFolder();
  // Worlds are read from the program folder, as the data archive is.
  world.SetFileStore(&fileStore);
  random = new (std::nothrow) SRandom;
  if (!random) return fail(kOutOfMemory);
  random->SeedFromTime(this);
  if (!data.Open("DuskmireData"))
    return fail("The game data \"DuskmireData.pdb\" is missing or damaged in " + programFolder);
  displayMode = mode;
  LoadSettings();
  archiveBinding = new (std::nothrow) SArchiveBinding{this, &data};
  if (!archiveBinding) return fail(kOutOfMemory);
  if (auto record = data.ReadRecord(u16(SLayoutTable::RecordForMode(displayMode))))
    layouts.Load(record->data, record->size);
  // Every screen draws around the 3D view: without its rectangle nothing could be laid out.
  if (!layouts.GetItem(SLayoutTable::kGameScreen, displayMode, SLayoutTable::kViewControl))
    return fail("The screen layout of the game data has no 3D view for this screen.");

  display = new (std::nothrow) SDisplay;
  if (!display) return fail(kOutOfMemory);
  display->SetGameCore(this);
  const u32 wanted = settings.startMode <= 2 ? settings.startMode : 0;
  display->SetOrientation(wanted);
  // The display is made for the screen's size and the orientation setting. A picture that does not fit
  // its frame buffer that way (a portrait picture on a landscape panel, a turned picture the panel does
  // not offer) would be drawn out of bounds: make the display again for the picture, in the first
  // orientation in which it fits, or refuse.
  auto fits = [&] { return DisplayFitsPicture(); };
  bool ok = display->Init(window, screenWidth, screenHeight) && fits();
  if (!ok) {
    if (!display->CreateRenderer()) return fail(kOutOfMemory);
    const u32 order[4] = {wanted, 0, 1, 2};
    for (u32 i = 0; i < 4 && !ok; ++i) {
      if (i > 0 && order[i] == wanted) continue;
      display->SetOrientation(order[i]);
      ok = display->ApplyScreenMode(false) && fits();
    }
  }
  if (!ok) return fail("The screen resolution isn't supported.");

  soundManager = new (std::nothrow) SSoundManager;
  if (!soundManager) return fail(kOutOfMemory);
  soundManager->SetObserver(observer);
  soundManager->Init(&settings);
  // Both volumes clamped to 0..10 and written back, whatever the registry held.
  soundManager->SetVolumes(i32(settings.soundVolume), i32(settings.musicVolume));
  world.SetSoundManager(soundManager);
  startTime = new (std::nothrow) SStartTime{this, u32(GetLocalTimeSeconds())};
  if (!startTime) return fail(kOutOfMemory);

  font = new (std::nothrow) SFont;
  if (!font) return fail(kOutOfMemory);
  if (!font->Create(this, display, &data)) {
    std::string why = "The fonts of the game data could not be read";
    for (i32 f = 0; f < 3; ++f)
      if (const SGlyphTable* table = font->Font(f); table && !table->strip) {
        why += ": font record " + std::to_string(table->recordId) + " " + InDataArchive(programFolder) +
               " is missing or damaged";
        break;
      }
    return fail(why + ".");
  }
  // The start-up text shows while the pictures load.
  if (display->BeginFrame()) {
    stateGame->frameBase = display->GetFrameBase();
    display->Clear();
    font->Select(1, 0xFFFFFF, 0);
    font->DrawText(30, 40, 300, 120, "Starting\rDuskmire...", 0);
    display->Present();
  }
  stackCount = 0;
  if (!LoadInterfaceResources(error)) return false;
  cards.Build(this);
  world.items.InitFlagValues();
  if (!CreateStates()) return fail(kOutOfMemory);

  frameCounter = 0;
  currentState = nullptr;
  // The music is the world's; a missing or damaged music archive leaves the game silent, not stopped.
  if (world.modules.OpenArchive("DuskmireMusic") == SArchiveResult::kBadData)
    Os::Warn(std::string("passed over a damaged archive: ") + world.modules.LastError());
  display->SetupProjection();
  SetState(kStateCorvanth);
  return true;
}

bool SGameCore::LoadInterfaceResources(std::string* error) {
  LoadPictures();
  // Data built before the role pictures lacks them: their controls then work unseen, as they did.
  LoadRolePictures();
  // Every screen draws from these slots: a picture the display mode lacks would leave holes everywhere.
  for (u32 slot = 0; slot < kPictureSlots; ++slot) {
    const u16 id = SPictureTable::RecordFor(slot, displayMode);
    if (id && !pictures[slot]) {
      if (error)
        *error =
            "Picture record " + std::to_string(id) + " " + InDataArchive(programFolder) + " is missing or damaged.";
      return false;
    }
  }
  LoadClickSounds();
  static constexpr u16 kClickRecords[2] = {4031, 4032};
  for (u32 i = 0; i < 2; ++i)
    if (!clickSounds[i]) {
      if (error)
        *error = "Sound record " + std::to_string(kClickRecords[i]) + " " + InDataArchive(programFolder) +
                 " is missing or is no wave the game can play.";
      return false;
    }
  return true;
}

bool SGameCore::CreateStates() {
  scriptInterpreter = new (std::nothrow) SScriptInterpreter;
  if (!scriptInterpreter) return false;
  scriptInterpreter->Init(this);
  ownContext_ = new (std::nothrow) SScriptContext;
  if (!ownContext_) return false;
  scriptContext = ownContext_;
  scriptContext->Bind(this);
  world.scripts.core = this;
  world.scripts.interpreter = scriptInterpreter;
  world.scripts.context = scriptContext;

  // Each state is attached right after it is made; the game state last, once every other state, table
  // and the player exist.
  const bool made = AddState<SStateDialog>(kStateDialog) && AddState<SStateDialogInterior>(kStateDialogInterior) &&
                    AddState<SStateInventory>(kStateInventory) && AddState<SStateShop>(kStateShop) &&
                    AddState<SStateDeath>(kStateDeath) && AddState<SStateCorvanth>(kStateCorvanth) &&
                    AddState<SStateLoadSave>(kStateLoadSave) && AddState<SStateMain>(kStateMain) &&
                    AddState<SStateGenerate>(kStateGenerate) && AddState<SStateScene>(kStateScene) &&
                    AddState<SStateCard>(kStateCard) && AddState<SStateSettings>(kStateSettings) &&
                    AddState<SStateAddWorlds>(kStateAddWorlds);
  if (!made) return false;
  player.Attach(this);
  for (SFrameTimer& timer : frameTimers) timer = SFrameTimer{};
  stateGame->Attach(this);
  return true;
}
