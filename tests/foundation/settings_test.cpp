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

TEST_F(SettingsTest, KeyboardDeviceGetsCharacterBindingsUnderItsOwnNames) {
  SSettings s;
  s.LoadAndStore(14);  // 800x480
  EXPECT_EQ(s.keys[0], 119u);
  EXPECT_EQ(Stored("KeyboardKey1"), 119u);
  EXPECT_EQ(Stored("KeyboardKey7"), 13u);
  EXPECT_EQ(Stored("KeyboardKey10"), 0u);
  EXPECT_EQ(Stored("KeyboardKey12"), 1u);
  // The other devices' tables are neither read nor written: StartMode, 12 keys, 5 shared values.
  EXPECT_EQ(registry.Size(), 18u);
}

// One settings file, starts on both kinds of device in turn: each keeps its own bindings, and the
// shared values follow every start.
TEST_F(SettingsTest, KeyTablesOfBothKindsLiveSideBySide) {
  SSettings small;
  small.LoadAndStore(7);  // 240x320
  small.keys[4] = 3000;
  small.soundVolume = 3;
  small.Save();
  for (i32 mode : {14, 15, 16}) {
    SSettings keyboard;
    keyboard.LoadAndStore(mode);
    EXPECT_EQ(keyboard.keys[2], 113u) << mode;  // 'q' turns left, not action 1004 read as a character
    EXPECT_EQ(keyboard.soundVolume, 3u) << mode;
    keyboard.keys[0] = 38;  // the player binds the up arrow to forward
    keyboard.Save();
  }
  EXPECT_EQ(Stored("Key1"), 1000u);
  EXPECT_EQ(Stored("Key5"), 3000u);
  SSettings again;
  again.LoadAndStore(6);
  EXPECT_EQ(again.keys[0], 1000u);
  EXPECT_EQ(again.keys[4], 3000u);
  SSettings keyboardAgain;
  keyboardAgain.Load(15);
  EXPECT_EQ(keyboardAgain.keys[0], 38u);
  EXPECT_EQ(keyboardAgain.keys[1], 115u);
}

// Files written before the keyboard devices had names of their own: "Key1".."Key12" hold characters when
// a keyboard device wrote them last. Whichever kind starts first, the keyboard keeps its bindings and the
// other devices get working ones.
TEST_F(SettingsTest, AFileFromBeforeTheSplitKeepsWorking) {
  const u32 custom[12] = {38, 115, 113, 101, 32, 99, 13, 97, 100, 0, 0, 1};  // forward on the up arrow
  const std::vector<i32> orders[] = {{14, 7}, {7, 14}, {7, 7, 14}};
  for (const std::vector<i32>& order : orders) {
    registry.Clear();
    for (int i = 0; i < 12; ++i) Put("Key" + std::to_string(i + 1), custom[i]);
    Put("RKey12", 1);
    for (i32 mode : order) {
      SSettings s;
      s.LoadAndStore(mode);
      if (mode == 14) {
        EXPECT_EQ(s.keys[0], 38u) << order.front();
        EXPECT_EQ(s.keys[3], 101u) << order.front();
      } else {
        EXPECT_EQ(s.keys[0], 1000u) << order.front();
        EXPECT_EQ(s.keys[3], 1006u) << order.front();
        EXPECT_EQ(Stored("Key1"), 1000u);
      }
    }
    EXPECT_EQ(Stored("KeyboardKey1"), 38u);
  }

  // Written last by a small screen: its action codes are no characters; the keyboard starts from its own.
  registry.Clear();
  SSettings small;
  small.LoadAndStore(7);
  SSettings keyboard;
  keyboard.LoadAndStore(16);
  EXPECT_EQ(keyboard.keys[0], 119u);
  EXPECT_EQ(Stored("Key1"), 1000u);
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
