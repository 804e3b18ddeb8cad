#include "os/Registry.h"
#include "os/headless/MemoryRegistry.h"
#include "os/host/HostRegistry.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

TEST(OsRegistry, MemoryRegistryKeysValuesAndFailures) {
  Os::MemoryRegistry reg;
  Os::RegKey key = reg.CreateKey(Os::RegistryRoot::LocalMachine, "SOFTWARE\\Duskmire");
  ASSERT_NE(key, Os::kNoKey);
  u32 v = 0;
  EXPECT_FALSE(reg.QueryDword(key, "StartMode", &v));
  EXPECT_TRUE(reg.SetDword(key, "StartMode", 2));
  EXPECT_TRUE(reg.QueryDword(key, "StartMode", &v));
  EXPECT_EQ(v, 2u);
  Os::RegKey user = reg.CreateKey(Os::RegistryRoot::CurrentUser, "SOFTWARE\\Duskmire");
  EXPECT_FALSE(reg.QueryDword(user, "StartMode", &v));  // another root
  reg.CloseKey(key);
  EXPECT_FALSE(reg.QueryDword(key, "StartMode", &v));  // a closed handle
  EXPECT_FALSE(reg.QueryDword(12345, "StartMode", &v));
  reg.FailSet(true);
  EXPECT_FALSE(reg.SetDword(user, "X", 1));
  reg.FailOpen(true);
  EXPECT_EQ(reg.CreateKey(Os::RegistryRoot::LocalMachine, "A"), Os::kNoKey);
}

TEST(OsRegistry, HostRegistryFilePersists) {
  char pattern[] = "/tmp/duskmire-reg-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string file = std::string(pattern) + "/sub/registry";
  Os::SetRegistryFile(file);
  Os::Registry& reg = Os::Reg();
  Os::RegKey key = reg.CreateKey(Os::RegistryRoot::LocalMachine, "SOFTWARE\\Duskmire");
  ASSERT_NE(key, Os::kNoKey);
  EXPECT_TRUE(reg.SetDword(key, "SoundVolume", 7));
  EXPECT_TRUE(reg.SetDword(key, "Key1", 4000000000u));
  reg.CloseKey(key);

  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("HKLM\\SOFTWARE\\Duskmire\\SoundVolume=7\n"), std::string::npos);

  // Another file, then back: the values are read from the file again.
  Os::SetRegistryFile(std::string(pattern) + "/other");
  key = reg.CreateKey(Os::RegistryRoot::LocalMachine, "SOFTWARE\\Duskmire");
  u32 v = 0;
  EXPECT_FALSE(reg.QueryDword(key, "SoundVolume", &v));
  reg.CloseKey(key);
  Os::SetRegistryFile(file);
  key = reg.CreateKey(Os::RegistryRoot::LocalMachine, "SOFTWARE\\Duskmire");
  EXPECT_TRUE(reg.QueryDword(key, "Key1", &v));
  EXPECT_EQ(v, 4000000000u);
  reg.CloseKey(key);
  Os::SetRegistryFile("");
  EXPECT_NE(Os::RegistryFile().find("duskmire/registry"), std::string::npos);

  std::remove(file.c_str());
  rmdir((std::string(pattern) + "/sub").c_str());
  rmdir(pattern);
}

}  // namespace
