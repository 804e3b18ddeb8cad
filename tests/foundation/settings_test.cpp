#include "foundation/SSettings.h"
#include "os/headless/MemoryFiles.h"
#include "os/headless/MemoryRegistry.h"
#include "os/host/HostRegistry.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <string>
#include <vector>

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { Os::InstallRegistry(&registry); }
  void TearDown() override { Os::InstallRegistry(nullptr); }
  u32 Stored(const std::string& name) {
    u32 v = 0xDEAD;
    EXPECT_TRUE(registry.Get("HKLM\\SOFTWARE\\Duskmire\\" + name, &v)) << name;
    return v;
  }
  void Put(const std::string& name, u32 v) { registry.Put("HKLM\\SOFTWARE\\Duskmire\\" + name, v); }
  Os::MemoryRegistry registry;
};

TEST_F(SettingsTest, FirstStartStoresTheDefaultsInOrder) {
  SSettings s;
  s.LoadAndStore(6);  // 240x320
  EXPECT_EQ(s.keys[0], 1000u);
  EXPECT_EQ(s.rKeys[8], 3001u);
  EXPECT_EQ(s.soundVolume, 10u);
  EXPECT_EQ(s.musicVolume, 5u);
  EXPECT_EQ(Stored("Key12"), 1u);
  EXPECT_EQ(Stored("RKey12"), 1u);
  EXPECT_EQ(Stored("LKey12"), 0u);
  EXPECT_EQ(Stored("Key1"), 1000u);
  EXPECT_EQ(Stored("LKey1"), 1004u);
  EXPECT_EQ(registry.Size(), 42u);

  std::vector<std::string> order = {"StartMode"};
  for (const char* prefix : {"Key", "LKey", "RKey"})
    for (int i = 1; i <= 12; ++i) order.push_back(prefix + std::to_string(i));
  for (const char* name : {"SoundVolume", "MusicVolume", "ViewSize", "LViewSize", "RViewSize"}) order.push_back(name);
  std::vector<std::string> written;
  for (const std::string& full : registry.SetLog()) written.push_back(full.substr(full.rfind('\\') + 1));
  EXPECT_EQ(written, order);
}

TEST_F(SettingsTest, KeyboardDeviceGetsCharacterBindings) {
  SSettings s;
  s.LoadAndStore(14);  // 800x480
  EXPECT_EQ(Stored("Key1"), 119u);
  EXPECT_EQ(Stored("Key7"), 13u);
  EXPECT_EQ(Stored("Key10"), 0u);
  EXPECT_EQ(Stored("LKey1"), 1004u);  // the landscape tables keep their defaults
}

TEST_F(SettingsTest, StoredValuesAreReadBack) {
  SSettings first;
  first.LoadAndStore(6);
  first.soundVolume = 3;
  first.keys[4] = 3002;
  first.lKeys[0] = 1234;
  first.rKeys[2] = 4321;
  first.viewSize = 2;
  first.Save();

  registry.ClearLog();
  registry.Put("HKLM\\SOFTWARE\\Duskmire\\Key3", 0);
  SSettings second;
  second.Load(6);
  EXPECT_EQ(second.soundVolume, 3u);
  EXPECT_EQ(second.keys[4], 3002u);
  EXPECT_EQ(second.lKeys[0], 1234u);
  EXPECT_EQ(second.rKeys[2], 4321u);
  EXPECT_EQ(second.viewSize, 2u);
  EXPECT_TRUE(registry.SetLog().empty());  // Load alone writes nothing
}

TEST_F(SettingsTest, MissingValuesAfterTheMarkerReadAsZero) {
  Put("Key12", 1);
  Put("Key1", 1002);
  SSettings s;
  s.Load(6);
  EXPECT_EQ(s.keys[0], 1002u);
  EXPECT_EQ(s.keys[2], 0u);      // Key3 missing: 0, not its default
  EXPECT_EQ(s.lKeys[0], 0u);     // LKey* read because Key12 is stored
  EXPECT_EQ(s.rKeys[0], 1006u);  // RKey12 missing: right table keeps its defaults
  EXPECT_EQ(s.rKeys[11], 1u);
}

TEST_F(SettingsTest, FailingRegistryGivesDefaults) {
  Put("SoundVolume", 2);
  registry.FailQuery(true);
  SSettings s;
  s.Load(6);
  EXPECT_EQ(s.soundVolume, 10u);
  registry.FailOpen(true);
  EXPECT_EQ(RegGetDword("SoundVolume", 7), 7u);
  EXPECT_FALSE(RegSetDword("SoundVolume", 1));
  s.Save();  // nothing reported, nothing crashes
}

// Starts against the settings file: the first writes it once, a start with the values unchanged never,
// and a change of the settings once.
TEST(SettingsFile, OneWriteForAFirstStartAndNoneForAnUnchangedOne) {
  Os::MemoryFileSystem files;
  Os::InstallFiles(&files);
  const std::string path = "/tmp/duskmire-settings-" + std::to_string(::getpid());
  auto start = [&](SSettings& s) {
    Os::SetRegistryFile(path + ".elsewhere");  // the registry reads its file anew, as a new start does
    RegGetDword("StartMode", 0);
    Os::SetRegistryFile(path);
    const u32 before = files.WriteCount();
    s.LoadAndStore(6);
    return files.WriteCount() - before;
  };
  SSettings first;
  EXPECT_EQ(start(first), 1u);
  SSettings second;
  EXPECT_EQ(start(second), 0u);
  EXPECT_EQ(second.keys[11], 1u);
  second.soundVolume = 4;
  const u32 before = files.WriteCount();
  second.Save();
  EXPECT_EQ(files.WriteCount(), before + 1);
  SSettings third;
  EXPECT_EQ(start(third), 0u);
  EXPECT_EQ(third.soundVolume, 4u);
  Os::SetRegistryFile("");
  Os::InstallFiles(nullptr);
}

}  // namespace
