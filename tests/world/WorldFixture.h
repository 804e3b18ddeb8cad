// Builds world archives in a temporary folder with the world builder's writer and opens them with the
// game's loader, through the game's world assembly (map-object types stand in by their names).
#pragma once
#include "ImageEncode.h"
#include "WorldWriter.h"
#include "core/SGameWorld.h"
#include "foundation/SDatabase.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// One record written through its own transfer routine `fn` at `version`, as the world builder writes it.
template <class F>
worldbuild::Bytes Rec(u32 version, F&& fn, u32 capacity = SStream::kWriteBufferSize) {
  worldbuild::Bytes out;
  EXPECT_TRUE(worldbuild::StreamRecord(out, version, fn, capacity));
  return out;
}

// A stand-in for the map-object type table: names only, enough for the "C" list and the water type.
class FakeTypeTable : public SWorldTable {
 public:
  bool Load(SDatabase& db, u16& record, u32 version) override {
    if (!db.HasRecord(record)) return false;
    ++record;
    return true;
  }
  void Clear() override {}
  void* FindForIndex(const char* name) override {
    for (std::string& n : names)
      if (name && n == name) return &n;
    return nullptr;
  }
  std::vector<std::string> names;
};

class WorldFixture : public ::testing::Test {
 protected:
  WorldFixture() {
    static std::atomic<int> serial{0};
    dir = std::filesystem::temp_directory_path() /
          ("duskmire-world-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(dir);
    files.SetFolder(dir.string() + "/");
    world.SetFileStore(&files);
    // Names of map-object types are all these tests need of them.
    tables[kBlockMapObjectTypes] = &types;
  }
  ~WorldFixture() override {
    modules.Clear();
    images.Clear();
    tables.ClearAll();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  static worldbuild::WorldArchiveSpec Spec(const std::string& name, u8 version = 114) {
    worldbuild::WorldArchiveSpec spec;
    spec.name = name;
    spec.version = version;
    return spec;
  }
  // Lays the archive description out, lets `edit` change the records, and writes "<file>.pdb".
  template <class Edit>
  worldbuild::Archive Save(const worldbuild::WorldArchiveSpec& spec, const std::string& file, Edit&& edit,
                           worldbuild::WorldLayout* layout = nullptr) {
    worldbuild::Archive archive;
    archive.name = file;
    std::string error;
    EXPECT_TRUE(worldbuild::WriteWorldArchive(archive, spec, layout, error)) << error;
    edit(archive);
    EXPECT_TRUE(worldbuild::WriteArchive(archive, dir / (file + ".pdb"), error)) << error;
    return archive;
  }
  worldbuild::Archive Save(const worldbuild::WorldArchiveSpec& spec, const std::string& file,
                           worldbuild::WorldLayout* layout = nullptr) {
    return Save(
        spec, file, [](worldbuild::Archive&) {}, layout);
  }

  // Rewrites an archive with its records end to end, without the gap the game's writer leaves after each:
  // every record then reads back exactly as long as it was written, as an archive of another writer may
  // hold it.
  static void PackRecords(const std::filesystem::path& file, const worldbuild::Archive& archive) {
    std::vector<u8> bytes;
    {
      std::ifstream in(file, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GE(bytes.size(), 78u);
    const u32 n = u32(bytes[76]) << 8 | bytes[77];
    ASSERT_GE(bytes.size(), 78u + 8 * n);
    std::vector<u8> out(bytes.begin(), bytes.begin() + 78 + 8 * n);
    for (u32 i = 0; i < n; ++i) {
      u8* e = out.data() + 78 + 8 * i;
      const u32 offset = u32(out.size());
      for (int k = 0; k < 4; ++k) e[k] = u8(offset >> (24 - 8 * k));
      const std::vector<u8>& record = archive.records.at(u16(e[6] << 8 | e[7]));
      out.insert(out.end(), record.begin(), record.end());
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(out.data()),
                                                                 std::streamsize(out.size()));
  }

  std::filesystem::path dir;
  SFileStore files;
  FakeTypeTable types;
  SGameWorld world;
  SImageCache& images = world.images;
  SWorldTables& tables = world.tables;
  SGlobalVariables& globals = world.globals;
  SFaceTable& faces = world.faces;
  SScriptTable& scripts = world.scripts;
  SDialogEntryListTable& dialogs = world.dialogs;
  SMonsterTable& monsters = world.monsters;
  SSoundTable& sounds = world.sounds;
  SWorldModuleList& modules = world.modules;
};
