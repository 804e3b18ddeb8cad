// Slot files as the save manager writes, describes and deletes them: the order of the records and the
// ids of the modules' records, the description of a slot from its header record alone, and deletion that
// says whether the file is gone.
#include "PlayerFixture.h"
#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "os/headless/MemoryFiles.h"
#include "player/SSaveGame.h"
#include "world/SWorldModule.h"

#include <cstring>

namespace {

using Bytes = std::vector<u8>;

// A core whose files live in memory under /saves/.
class SaveSlots : public PlayerTest {
 protected:
  SaveSlots() {
    Os::InstallFiles(&files);
    core.fileStore.SetFolder("/saves/");
  }
  ~SaveSlots() override { Os::InstallFiles(nullptr); }

  // A module of the world with maps named <name>_0, <name>_1, ...
  SWorldModule* Module(const char* name, u32 maps) {
    SWorldModule* m = core.world.modules.Add();
    m->name.Assign(name);
    for (u32 i = 0; i < maps; ++i) {
      auto* map = new SMapArea;
      map->name.SetOwns();
      map->name.Set((std::string(name) + "_" + std::to_string(i)).c_str());
      map->module = m;
      m->maps.Add(map);
    }
    return m;
  }
  void PlayOn(SWorldModule* m) {
    core.SetCurrentWorld(m);
    m->SetCurrentMap(m->maps[0]);
  }
  // The record ids of a slot file in file order.
  std::vector<u16> RecordIds(u32 slot) {
    SDatabase db(&core.fileStore);
    std::vector<u16> ids;
    if (!db.Open(("DuskmireSave" + std::to_string(slot)).c_str(), kSavedGameCode)) return ids;
    for (u32 i = 0; i < db.RecordCount(); ++i) ids.push_back(db.Entries()[i].id);
    return ids;
  }
  // Record 3001 in words.
  std::string ModuleList(u32 slot) {
    SDatabase db(&core.fileStore);
    if (!db.Open(("DuskmireSave" + std::to_string(slot)).c_str(), kSavedGameCode)) return "";
    auto r = db.ReadRecord(kSaveModulesRecord);
    if (!r) return "";
    SStream s;
    s.OpenForRead(*r);
    u32 n = 0;
    SString module, map;
    s.SerializeU32(n);
    s.SerializeSString(module);
    s.SerializeSString(map);
    std::string out = std::to_string(n) + " " + module.CStr() + " " + (map.CStr() ? map.CStr() : "");
    for (u32 i = 0; i < n && s.Ok(); ++i) {
      SString name;
      u32 first = 0;
      s.SerializeSString(name);
      s.SerializeU32(first);
      out += std::string(" ") + name.CStr() + "@" + std::to_string(first);
    }
    return out;
  }
  // A slot file holding only the header record's bytes.
  // The file ends with the record (without the zeros the writer puts after each record).
  void PutSlot(u32 slot, const Bytes& header, const char* type = kSavedGameCode, const char* creator = kSavedGameCode,
               u16 id = kSaveHeaderRecord) {
    SDatabaseWriter w(&core.fileStore);
    w.InitSavedGameHeader(("DuskmireSave" + std::to_string(slot)).c_str());
    std::memcpy(w.Header().type, type, 4);
    std::memcpy(w.Header().creator, creator, 4);
    w.AddRecord(id, header.data(), u32(header.size()));
    Bytes image;
    ASSERT_TRUE(w.BuildImage(image));
    image.resize(image.size() - 2);
    files.Put("/saves/DuskmireSave" + std::to_string(slot) + ".pdb", image);
  }

  Os::MemoryFileSystem files;
};

// A well-formed header record: markers, version, the thumbnail's count and bytes, place and date.
Bytes Header(u8 version = 116, u16 count = 8000, const char* place = "Town", const char* date = "Day 2, 9:05 am") {
  Bytes b = {2, 3, 255, version, u8(count), u8(count >> 8)};
  for (u32 i = 0; i < count; ++i) b.push_back(u8(i));
  for (const char* t : {place, date}) b.insert(b.end(), t, t + std::strlen(t) + 1);
  return b;
}

}  // namespace

// Records 3000 and 3001, each module's record at its first id with its maps after it, then 3002 to 3006;
// the resource, music and sound archives are not saved, and a module's first id is the previous one's
// plus its map count plus 1.
TEST_F(SaveSlots, RecordOrderAndModuleIds) {
  core.world.modules.Clear();
  Module("bres", 0);
  SWorldModule* three = Module("three", 3);
  Module("bmus", 0);
  Module("five", 5);
  Module("bsnd", 0);
  PlayOn(three);
  ASSERT_EQ(core.saveGame.Write(1), 1);
  EXPECT_EQ(RecordIds(1), (std::vector<u16>{3000, 3001, 3010, 3011, 3012, 3013, 3014, 3015, 3016, 3017, 3018, 3019,
                                            3002, 3003, 3004, 3005, 3006}));
  EXPECT_EQ(ModuleList(1), "2 three three_0 three@3010 five@3014");

  // With only the archives that are never saved there is no module record at all.
  core.world.modules.Clear();
  SWorldModule* resources = Module("bres", 1);
  Module("bmus", 0);
  Module("bsnd", 0);
  PlayOn(resources);
  ASSERT_EQ(core.saveGame.Write(2), 1);
  EXPECT_EQ(RecordIds(2), (std::vector<u16>{3000, 3001, 3002, 3003, 3004, 3005, 3006}));
  EXPECT_EQ(ModuleList(2), "0 bres bres_0");
  core.world.modules.Clear();
}

// Without a map to come back to there is nothing to save: the slot keeps what it had.
TEST_F(SaveSlots, NoGameNoSave) {
  core.world.modules.Clear();
  core.SetCurrentWorld(Module("three", 3));
  PutSlot(1, Header());
  Bytes before;
  ASSERT_TRUE(files.Get("/saves/DuskmireSave1.pdb", &before));
  EXPECT_EQ(core.saveGame.Write(1), 0);
  Bytes after;
  ASSERT_TRUE(files.Get("/saves/DuskmireSave1.pdb", &after));
  EXPECT_EQ(after, before);
  core.world.modules.Clear();
}

// The description of a slot comes from its header record alone; a file that is no saved game, a header
// whose markers, version or texts are wrong gives none; a thumbnail of another size is left out while the
// slot keeps its texts.
TEST_F(SaveSlots, SlotDescriptions) {
  const Bytes good = Header();
  Bytes cutThumbnail = good;
  cutThumbnail.resize(5000);
  Bytes unended = Header(116, 8000, "Town", "");
  unended.pop_back();  // the date's terminator
  unended.pop_back();
  const struct Case {
    const char* what;
    Bytes header;
    const char* type;
    const char* creator;
    u16 id;
    bool described;
    bool thumbnail;
  } cases[] = {
      {"a saved game", good, kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, true, true},
      {"version 86", Header(86), kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, true, true},
      {"another creator", good, kSavedGameCode, "DkMr", kSaveHeaderRecord, false, false},
      {"another type", good, "DkMr", kSavedGameCode, kSaveHeaderRecord, false, false},
      {"no header record", good, kSavedGameCode, kSavedGameCode, kSaveModulesRecord, false, false},
      {"a wrong marker", Bytes{2, 4, 255, 116}, kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, false, false},
      {"a newer version", Header(117), kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, false, false},
      {"a smaller picture", Header(116, 7999), kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, true, false},
      {"no picture", Header(116, 0), kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, true, false},
      {"a picture past the record", cutThumbnail, kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, false, false},
      {"a text without its end", unended, kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, false, false},
      {"markers only", Bytes{2, 3, 255}, kSavedGameCode, kSavedGameCode, kSaveHeaderRecord, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files.Delete("/saves/DuskmireSave3.pdb");
    PutSlot(3, c.header, c.type, c.creator, c.id);
    SSaveSlotInfo* info = core.saveGame.ReadSlotInfo(3);
    EXPECT_EQ(info != nullptr, c.described);
    if (!info) continue;
    EXPECT_EQ(info->slot, 3u);
    EXPECT_EQ(info->version, c.header[3]);
    EXPECT_STREQ(info->place.CStr(), "Town");
    EXPECT_STREQ(info->date.CStr(), "Day 2, 9:05 am");
    EXPECT_EQ(info->thumbnail != nullptr, c.thumbnail);
    if (info->thumbnail) {
      EXPECT_EQ(info->thumbnail[7999], u8(7999));
    }
    EXPECT_EQ(info->width, 80);
    EXPECT_EQ(info->height, 50);
    info->Free();
    delete info;
  }
  EXPECT_EQ(core.saveGame.ReadSlotInfo(4), nullptr) << "no file";
  files.Put("/saves/DuskmireSave4.pdb", Bytes(40, 7));
  EXPECT_EQ(core.saveGame.ReadSlotInfo(4), nullptr) << "no record database";
}

// Deleting says whether the file is gone: 1 with no file or a deleted one, 0 for one that stays.
TEST_F(SaveSlots, DeletingASlot) {
  EXPECT_EQ(core.saveGame.DeleteSlot(1), 1);
  PutSlot(1, Header());
  EXPECT_EQ(core.saveGame.DeleteSlot(1), 1);
  EXPECT_FALSE(files.Exists("/saves/DuskmireSave1.pdb"));
  PutSlot(2, Header());
  files.FailDelete("DuskmireSave2.pdb");
  EXPECT_EQ(core.saveGame.DeleteSlot(2), 0);
  EXPECT_TRUE(files.Exists("/saves/DuskmireSave2.pdb"));
  SSaveSlotInfo* info = core.saveGame.ReadSlotInfo(2);
  EXPECT_NE(info, nullptr) << "the slot still shows";
  if (info) info->Free();
  delete info;
}

// A record that does not fit the first buffer (a great inventory) is built again in a larger one: the
// game is saved whole, and the record reads back.
TEST_F(SaveSlots, ALargeRecordIsSavedWhole) {
  core.world.modules.Clear();
  PlayOn(Module("three", 3));
  SItemType* candle = Type({"base_candle", "Candle", 13, 1});
  ASSERT_TRUE(player.inventory.AddItemsOfType(candle, 20000, *core.random));
  ASSERT_EQ(core.saveGame.Write(1), 1);
  SDatabase db(&core.fileStore);
  ASSERT_TRUE(db.Open("DuskmireSave1", kSavedGameCode));
  auto names = db.ReadRecord(kSaveNamesRecord);
  auto record = db.ReadRecord(kSavePlayerRecord);
  ASSERT_TRUE(names && record);
  EXPECT_GT(record->size, SStream::kWriteBufferSize);
  SStream n(kSaveVersion);
  n.OpenForRead(*names);
  ASSERT_TRUE(core.saveGame.ReadNameTables(n));
  SStream s(kSaveVersion);
  s.OpenForRead(*record);
  ASSERT_TRUE(player.Read(s, kSaveVersion, core.saveGame));
  core.saveGame.ClearNameTables();
  EXPECT_EQ(player.inventory.GetItemCount(), 20000);
  EXPECT_EQ(player.GetInventoryItem(19999)->type, candle);
  player.ClearLists();
  core.world.modules.Clear();
}
