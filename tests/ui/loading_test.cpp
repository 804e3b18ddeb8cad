// The loading dialog on a real (headless) screen, where every begin and step reaches the panel, and the
// core's three loading phases on the built sample world: what each bar step has done, what unloading
// leaves, and the game state's music.
#include "UiRig.h"
#include "core/ui/SDialogLoading.h"
#include "game/SStateGame.h"
#include "platform/Rig.h"
#include "world/SWorldRules.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// A core drawing to the headless panel of a 240 x 320 device, with the sample world's layouts, fonts and
// pictures and a game state; the panel counts what is presented.
struct ScreenCore : VirtualTime {
  ScreenCore() : screen(240, 320) {
    core.SetDisplayMode(7);
    core.fileStore.SetFolder(DUSKMIRE_DATA_DIR);
    core.world.SetFileStore(&core.fileStore);
    if (core.data.Open("DuskmireData"))
      if (auto record = core.data.ReadRecord(u16(SLayoutTable::RecordForMode(7))))
        core.layouts.Load(record->data, record->size);
    core.display = new SDisplay;
    core.display->SetGameCore(&core);
    ready = core.display->Init(screen.NewWindow(), 240, 320);
    core.font = new SFont;
    ready = ready && core.font->Create(&core, core.display, &core.data);
    core.LoadPictures();
    // Loading runs inside a frame the game loop has begun.
    ready = ready && core.BeginFrame();
    core.stateGame = &game;
    game.Attach(&core);
    loading.Attach(&core);
  }
  ~ScreenCore() {
    core.UnloadWorld();
    core.stateGame = nullptr;
  }
  u32 Presents() const { return screen.gdi->PanelUpdates(); }
  bool OpenSampleWorld() { return core.world.modules.OpenGameArchives(nullptr); }

  ScreenRig screen;
  SGameCore core;
  SStateGame game;
  bool ready = false;
  // A loading dialog that notes, at each step, what the probe says has been done.
  struct Recording : SDialogLoading {
    void Step() override {
      if (probe) seen.push_back(probe());
      SDialogLoading::Step();
    }
    std::function<std::string()> probe;
    std::vector<std::string> seen;
  } loading;
};

TEST(LoadingDialog, BeginAndStepPaintAndPresent) {
  ScreenCore s;
  ASSERT_TRUE(s.ready);
  SDialogLoading& d = s.loading;
  d.Layout();
  EXPECT_EQ(d.controls.Count(), 7);
  d.ShowLoadingText();
  EXPECT_STREQ(d.text.text.CStr(), "Loading...");
  const u32 before = s.Presents();
  d.Begin(3);
  EXPECT_EQ(s.Presents(), before + 1);
  EXPECT_EQ(d.bar.total, 3);
  EXPECT_EQ(d.bar.done, 0);
  for (int i = 0; i < 5; ++i) d.Step();
  EXPECT_EQ(s.Presents(), before + 6);
  EXPECT_EQ(d.bar.done, 3) << "steps past the total leave the bar full";
  EXPECT_EQ(s.game.frameBase, s.core.display->GetFrameBase()) << "the game view draws into the new back buffer";
  d.Begin(0);
  EXPECT_EQ(d.bar.total, 1);
  EXPECT_EQ(d.bar.done, 0);

  // The bar sits in the frame, under the text, in the middle of the text area.
  const SLayoutItem* area = s.core.GetLayoutItem(SDialogLoading::kLayout, 12);
  ASSERT_NE(area, nullptr);
  s.core.font->Select(1, 0, 0);
  const i32 glyph = s.core.font->LineHeight();
  EXPECT_EQ(d.text.top, area->y + area->h / 2);
  EXPECT_EQ(d.text.height, glyph + 1);
  EXPECT_EQ(d.frame.width, 5 * glyph);
  EXPECT_EQ(d.frame.left, area->x + (area->w - 5 * glyph) / 2);
  EXPECT_EQ(d.frame.top, area->y + area->h / 2 + glyph + 10);
  EXPECT_EQ(d.bar.left, d.frame.left + 4);
  EXPECT_EQ(d.bar.width, d.frame.width - 8);
}

// A loading screen whose layout has the pictures but no text area: no text, frame or bar, and the screen
// is still presented.
TEST(LoadingDialog, ALayoutWithoutTheTextArea) {
  ScreenCore s;
  ASSERT_TRUE(s.ready);
  // One screen (3), one variant for mode 7: 240 x 320 with the four pictures.
  const std::vector<u16> record = {1, 6,   3,   1,   12, 7,   240, 320, 4,   10, 0,  0,  240, 128, 13,
                                   0, 128, 120, 192, 14, 120, 128, 120, 192, 11, 60, 32, 120, 64};
  ASSERT_TRUE(s.core.layouts.Load(reinterpret_cast<const u8*>(record.data()), u32(record.size() * 2)));
  SDialogLoading& d = s.loading;
  d.Layout();
  EXPECT_EQ(d.controls.Count(), 4);
  for (SCtrl* c : std::initializer_list<SCtrl*>{&d.text, &d.frame, &d.bar}) EXPECT_LT(d.controls.IndexOf(c), 0);
  const u32 before = s.Presents();
  d.Begin(2);
  d.Step();
  EXPECT_EQ(s.Presents(), before + 2);
}

TEST(LoadingPhases, StepsFallWhereTheWorkIsDone) {
  ScreenCore s;
  ASSERT_TRUE(s.ready);
  ASSERT_TRUE(s.OpenSampleWorld()) << s.core.world.modules.LastError();
  SGameWorld& w = s.core.world;
  auto resident = [&](const char* image) {
    const SImageEntry* e = w.images.FindImage(image);
    return e && e->IsResident();
  };
  s.loading.probe = [&] {
    std::string done;
    for (SResource* r : w.sounds.sounds)
      if (r->IsLoaded()) {
        done += 'S';
        break;
      }
    if (resident("bres_animfire") && resident("bres_fpscastself")) done += 'F';
    if (resident("bres_sky-thunder")) done += 'T';
    if (resident("base_itemlongsword")) done += 'I';
    const u16 fire = w.images.FindImageIndex("bres_animfire");
    if (fire && w.images.ImagePointers()[fire]) done += 'P';
    if (w.items.FindType("base_weap_axe")->picture) done += 'R';
    if (const SSpellEffect* e = w.rules.spellEffects.FindByName("base_fx_fire"); e && e->frames.Count()) done += 'E';
    return done;
  };
  s.loading.Layout();
  s.loading.Begin(9);
  const u32 before = s.Presents();
  s.core.PrepareWorldTables(&s.loading);
  EXPECT_EQ(s.loading.seen, (std::vector<std::string>{"S", "SF", "SFT", "SFT"}));
  EXPECT_EQ(s.loading.probe(), "SFTI") << "the item pictures load after the last step";
  EXPECT_EQ(s.loading.bar.done, 4);
  s.loading.seen.clear();
  s.core.BindWorldResources(&s.loading);
  EXPECT_EQ(s.loading.seen, (std::vector<std::string>{"SFTIP", "SFTIP", "SFTIP", "SFTIPR", "SFTIPRE"}));
  EXPECT_EQ(s.loading.bar.done, 9);
  EXPECT_EQ(s.Presents(), before + 9);
}

TEST(LoadingPhases, WithoutADialogTheSameWorkIsDone) {
  ScreenCore s;
  ASSERT_TRUE(s.ready);
  ASSERT_TRUE(s.OpenSampleWorld());
  const u32 before = s.Presents();
  s.core.PrepareWorldTables(nullptr);
  s.core.BindWorldResources(nullptr);
  EXPECT_EQ(s.Presents(), before);
  SGameWorld& w = s.core.world;
  EXPECT_TRUE(w.images.FindImage("bres_animfire")->IsResident()) << "spell-effect frames are resident";
  EXPECT_NE(w.items.FindType("base_weap_axe")->picture, 0);
  EXPECT_GT(w.rules.spellEffects.FindByName("base_fx_fire")->frames.Count(), 0u);
}

TEST(LoadingPhases, UnloadingLeavesOnlyWhatCodeMade) {
  // With a sound manager that has no speaker, and with none at all.
  for (bool manager : {true, false}) {
    ScreenCore s;
    ASSERT_TRUE(s.ready);
    if (manager) s.core.soundManager = new SSoundManager;
    ASSERT_TRUE(s.OpenSampleWorld());
    s.core.PrepareWorldTables(nullptr);
    s.core.BindWorldResources(nullptr);
    SGameWorld& w = s.core.world;
    ASSERT_GT(w.items.types.Count(), 0u);
    s.game.musicChannel = 3;

    s.core.UnloadWorld();
    EXPECT_EQ(s.game.musicChannel, -1) << "the game state's music is stopped";
    EXPECT_EQ(w.modules.Count(), 0);
    EXPECT_EQ(w.modules.current, nullptr);
    EXPECT_EQ(s.core.CurrentWorld(), nullptr);
    EXPECT_EQ(w.images.ImageCount(), 1);
    EXPECT_EQ(w.images.PaletteCount(), 1);
    SWorldRules& r = w.rules;
    const u32 left[] = {w.sounds.sounds.Count(),        w.sounds.songs.Count(),         w.items.types.Count(),
                        w.items.pictures.Count(),       w.mapObjectTypes.types.Count(), r.spells.records.Count(),
                        r.spellEffects.records.Count(), r.people.records.Count(),       r.scenes.records.Count(),
                        r.quests.records.Count(),       r.diseases.records.Count(),     r.abilities.records.Count(),
                        r.alchemy.records.Count(),      r.interiors.records.Count(),    r.skies.records.Count(),
                        w.monsters.monsters.Count(),    w.monsters.baseTypes.Count(),   w.faces.faces.Count()};
    for (u32 i = 0; i < std::size(left); ++i) EXPECT_EQ(left[i], 0u) << "table " << i;
    // The code-made rows stay.
    EXPECT_STREQ(w.rules.attributes.Name(1), "Strength");
    EXPECT_NE(w.rules.skills.FullName(1), nullptr);
    // A second world loads as the first did.
    ASSERT_TRUE(s.OpenSampleWorld());
    s.core.PrepareWorldTables(nullptr);
    s.core.BindWorldResources(nullptr);
    EXPECT_GT(w.items.types.Count(), 0u);
  }
}

}  // namespace
