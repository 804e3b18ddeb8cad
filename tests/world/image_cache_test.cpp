// The image cache over a built archive: directories, residency counted per acquisition, published slots,
// and records that cannot hold what their header promises.
#include "WorldFixture.h"

#include "game/SMonster.h"
#include "graphics/renderer/SRenderer.h"
#include "world/SPaletteHolder.h"

namespace {
worldbuild::WorldArchiveSpec ResWithArt() {
  worldbuild::WorldArchiveSpec spec;
  spec.name = "bres";
  spec.images.push_back({"bres_wall", imageenc::Encode(imageenc::MakeChecker(16, 8, 2, 0x001F, 0xF800), 0)});
  spec.images.push_back({"bres_floor", imageenc::Encode(imageenc::MakeChecker(256, 4, 4, 0x07E0, 0x0000), 1)});
  spec.images.push_back({"bres_door", imageenc::Encode(imageenc::MakeNoise(8, 8, 0x8410, 40, 7), 2)});
  for (int i = 0; i < 3; ++i)
    spec.palettes.push_back({"bres_pal" + std::to_string(i), std::vector<u16>(256, u16(0x1000 * i))});
  return spec;
}
}  // namespace

using ImageCache = WorldFixture;

TEST_F(ImageCache, EmptyCacheFindsNothing) {
  SImageCache empty;
  EXPECT_EQ(empty.FindImage("bres_wall"), nullptr);
  EXPECT_EQ(empty.FindPaletteIndex("bres_pal0"), 0);
  EXPECT_EQ(empty.FindImage(nullptr), nullptr);
  // After Clear the first entry grows the table by 100 and lands in slot 1.
  auto* e = new SImageEntry;
  e->name.Set("x");
  ASSERT_TRUE(empty.AddImage(e));
  EXPECT_EQ(empty.ImageCapacity(), 100);
  EXPECT_EQ(empty.GetImageEntry(1), e);
}

TEST_F(ImageCache, DirectoriesResidencyAndSlots) {
  Save(ResWithArt(), "Res");
  ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened) << modules.LastError();
  ASSERT_EQ(images.ImageCount(), 4);
  ASSERT_EQ(images.PaletteCount(), 4);
  SImageEntry* wall = images.FindImage("bres_wall");
  SImageEntry* floor = images.FindImage("bres_floor");
  ASSERT_TRUE(wall && floor);
  EXPECT_FALSE(wall->IsResident());
  EXPECT_EQ(images.FindPaletteIndex("bres_pal2"), 3);

  // Before publishing (slot 0) loads and releases leave the tables alone.
  ASSERT_TRUE(images.LoadImage(wall));
  EXPECT_EQ(images.ImageMemory(), wall->size);
  images.ReleaseImage(wall);
  EXPECT_EQ(images.ImageMemory(), 0u);

  images.PublishIndexTables();
  EXPECT_EQ(wall->slot, 1);
  EXPECT_EQ(images.ImagePointers()[1], nullptr);

  // Two users: the data stays until both have released; the total counts it once.
  ASSERT_TRUE(images.LoadImage(wall));
  ASSERT_TRUE(images.LoadImage(wall));
  EXPECT_EQ(images.ImageMemory(), wall->size);
  EXPECT_EQ(images.ImagePointers()[1], wall->image);
  EXPECT_EQ(images.SlotWidth(1), 16);
  EXPECT_EQ(images.SlotHeight(1), 8);
  images.ReleaseImage(wall);
  EXPECT_TRUE(wall->IsResident());
  images.ReleaseImage(wall);
  EXPECT_FALSE(wall->IsResident());
  EXPECT_EQ(images.ImagePointers()[1], nullptr);
  EXPECT_EQ(images.SlotWidth(1), 0);
  // A release without a load changes nothing.
  images.ReleaseImage(wall);
  EXPECT_EQ(images.ImageMemory(), 0u);

  // Every format loads; an image reloads after release.
  for (const char* name : {"bres_wall", "bres_floor", "bres_door"}) EXPECT_TRUE(images.LoadImageByName(name)) << name;
  EXPECT_EQ(images.ImageMemory(), wall->size + floor->size + images.FindImage("bres_door")->size);
  EXPECT_EQ(floor->image->format, 1);

  // Palettes: a never-loaded release leaves the total alone; loaded ones publish their colours.
  images.ReleasePaletteByName("bres_pal1");
  EXPECT_EQ(images.PaletteMemory(), 0u);
  ASSERT_TRUE(images.LoadPaletteByName("bres_pal1"));
  SPaletteEntry* pal1 = images.FindPalette("bres_pal1");
  EXPECT_EQ(images.PaletteColours()[pal1->slot], pal1->colours);
  EXPECT_EQ(pal1->colours[255], 0x1000);
  EXPECT_EQ(images.PaletteMemory(), pal1->record->size);
}

// Palette holders acquire once and release once, and a palette two holders share stays while either
// still holds it.
TEST_F(ImageCache, HoldersShareCountedPalettes) {
  Save(ResWithArt(), "Res");
  ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened);
  images.PublishIndexTables();
  SPaletteHolder a, b;
  a.palettes.AddText("bres_pal0");
  a.palettes.AddText("bres_missing");
  b.palettes.AddText("bres_pal0");
  b.palettes.AddText("bres_pal2");
  SPaletteEntry* shared = images.FindPalette("bres_pal0");

  b.ReleasePalettes(images);  // never acquired
  EXPECT_EQ(images.PaletteMemory(), 0u);
  a.AcquirePalettes(images);
  a.AcquirePalettes(images);  // counted once per holder
  b.AcquirePalettes(images);
  const u32 one = shared->record->size;
  EXPECT_EQ(images.PaletteMemory(), 2 * one);
  a.ReleasePalettes(images);
  EXPECT_TRUE(shared->IsResident());
  EXPECT_NE(images.PaletteColours()[shared->slot], nullptr);
  b.ReleasePalettes(images);
  EXPECT_FALSE(shared->IsResident());
  EXPECT_EQ(images.PaletteMemory(), 0u);
  EXPECT_EQ(images.PaletteColours()[shared->slot], nullptr);
}

// A record that cannot hold its image or palette leaves the entry non-resident and its slot empty.
TEST_F(ImageCache, ShortOrMissingRecordsStayUnloaded) {
  worldbuild::WorldArchiveSpec spec = ResWithArt();
  Save(spec, "Res", [](worldbuild::Archive& a) {
    a.records[4001].resize(a.records[4001].size() - 40);  // bres_wall: colour table cut
    a.records[4002].resize(10);                           // bres_floor: shorter than its header demands
    a.records.erase(4003);                                // bres_door: missing
    a.records[4006].resize(1);                            // bres_pal1: not even its header
  });
  ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened) << modules.LastError();
  images.PublishIndexTables();
  for (const char* name : {"bres_wall", "bres_floor", "bres_door"}) {
    SCOPED_TRACE(name);
    SImageEntry* e = images.FindImage(name);
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(images.LoadImage(e));
    EXPECT_FALSE(e->IsResident());
    EXPECT_EQ(images.ImagePointers()[e->slot], nullptr);
  }
  EXPECT_EQ(images.ImageMemory(), 0u);
  EXPECT_FALSE(images.LoadPaletteByName("bres_pal1"));
  EXPECT_TRUE(images.LoadPaletteByName("bres_pal0"));
}

// A directory whose entries run past its record fails the archive, but the entries read before the fault
// stay in the cache (their archive is kept open until Clear), so the names they point at must stay readable.
TEST_F(ImageCache, CutDirectoryKeepsNamesOfEntriesReadBeforeIt) {
  for (u16 cut : {u16(4000), u16(4004)}) {
    SCOPED_TRACE(cut);
    // One entry more than the record holds (the count sits after the marker, aligned to 2).
    Save(ResWithArt(), "Res", [cut](worldbuild::Archive& a) { ++a.records[cut][2]; });
    ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kBadData);
    SImageEntry* wall = images.FindImage("bres_wall");
    ASSERT_NE(wall, nullptr);
    EXPECT_STREQ(wall->name.Text(), "bres_wall");
    if (cut == 4004) {
      SPaletteEntry* pal = images.FindPalette("bres_pal0");
      ASSERT_NE(pal, nullptr);
      EXPECT_STREQ(pal->name.Text(), "bres_pal0");
    }
    modules.Clear();
    images.Clear();
    images.Init();
  }
}

// A monster base type's pictures and palettes go with it, but what another holder keeps stays resident.
TEST_F(ImageCache, ABaseTypeReleasedLeavesWhatOthersHold) {
  Save(ResWithArt(), "Res");
  ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened);
  images.PublishIndexTables();
  SMonsterBaseType rat, bat;
  rat.frameNames[0] = "bres_wall";
  rat.frameNames[1] = "bres_floor";
  rat.palettes.AddText("bres_pal0");
  rat.palettes.AddText("bres_pal1");
  bat.frameNames[0] = "bres_wall";
  bat.palettes.AddText("bres_pal0");
  rat.LoadImages(images);
  rat.LoadImages(images);  // once per type
  bat.LoadImages(images);
  ASSERT_TRUE(rat.ImagesLoaded());
  rat.ReleaseImages(images);
  EXPECT_FALSE(rat.ImagesLoaded());
  EXPECT_TRUE(images.FindImage("bres_wall")->IsResident()) << "the bat still shows it";
  EXPECT_FALSE(images.FindImage("bres_floor")->IsResident());
  EXPECT_TRUE(images.FindPalette("bres_pal0")->IsResident());
  EXPECT_FALSE(images.FindPalette("bres_pal1")->IsResident());
  bat.ReleaseImages(images);
  EXPECT_FALSE(images.FindImage("bres_wall")->IsResident());
  EXPECT_FALSE(images.FindPalette("bres_pal0")->IsResident());
  EXPECT_EQ(images.ImageMemory(), 0u);
}


// Palettes of any whole number of colours from 1 to 256 load and keep their size (an odd last byte is no
// colour); the renderer draws an image with a palette only when the palette holds every index the image
// uses. Images: index 0 and one top index, with their own table.
TEST_F(ImageCache, PalettesOfAnySizeCoverWhatTheyHold) {
  const u32 counts[] = {1, 16, 255, 256};
  const u32 tops[] = {0, 1, 15, 16, 254, 255};
  worldbuild::WorldArchiveSpec spec;
  spec.name = "bres";
  for (u32 top : tops)
    spec.images.push_back({"bres_top" + std::to_string(top),
                           imageenc::EncodeIndexed(2, 1, {0, u8(top)}, std::vector<u16>(top + 1, 0x1234))});
  for (u32 n : counts) spec.palettes.push_back({"bres_pal" + std::to_string(n), std::vector<u16>(n, u16(n))});
  const u16 firstPalette = u16(4000 + std::size(tops) + 2);
  const worldbuild::Archive archive =
      Save(spec, "Res", [&](worldbuild::Archive& a) { a.records[u16(firstPalette + 1)].push_back(0x7F); });
  PackRecords(dir / "Res.pdb", archive);
  ASSERT_EQ(modules.OpenArchive("Res"), SArchiveResult::kOpened) << modules.LastError();
  images.PublishIndexTables();
  for (u32 top : tops) ASSERT_TRUE(images.LoadImageByName(("bres_top" + std::to_string(top)).c_str())) << top;
  for (u32 n : counts) ASSERT_TRUE(images.LoadPaletteByName(("bres_pal" + std::to_string(n)).c_str())) << n;

  SWorldView view;
  images.PublishTo(view);
  auto renderer = std::make_unique<SRenderer>();
  renderer->view = &view;
  for (u32 n : counts) {
    const u16 palette = images.FindPaletteIndex(("bres_pal" + std::to_string(n)).c_str());
    EXPECT_EQ(images.PaletteSizes()[palette], n);
    EXPECT_EQ(images.PaletteColours()[palette][n - 1], u16(n));
    for (u32 top : tops) {
      const u16 image = images.FindImageIndex(("bres_top" + std::to_string(top)).c_str());
      SSpanTexture t;
      EXPECT_EQ(renderer->GetTexture(image, palette, t), top < n) << n << " colours, index " << top;
      if (top < n) {
        EXPECT_EQ(t.palette, images.PaletteColours()[palette]);
      }
    }
  }
}
