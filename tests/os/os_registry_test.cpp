#include "os/Files.h"
#include "os/Registry.h"
#include "os/headless/MemoryFiles.h"
#include "os/headless/MemoryRegistry.h"
#include "os/host/HostRegistry.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kKey = "HKLM\\SOFTWARE\\Duskmire\\";

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A fresh folder, and the host registry pointed at a file in it (so that it reads that file anew).
struct HostRegistryTest : ::testing::Test {
  HostRegistryTest() {
    static std::atomic<int> serial{0};
    folder = std::filesystem::temp_directory_path() /
             ("duskmire-registry-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(folder);
  }
  ~HostRegistryTest() override {
    Os::SetRegistryFile("");
    std::filesystem::remove_all(folder);
  }
  Os::RegKey Open(const std::string& file) {
    Os::SetRegistryFile(file);
    return Os::Reg().CreateKey(Os::RegistryRoot::LocalMachine, "SOFTWARE\\Duskmire");
  }
  u32 Value(Os::RegKey key, const char* name) {
    u32 v = 0xDEAD;
    Os::Reg().QueryDword(key, name, &v);
    return v;
  }
  std::filesystem::path folder;
};

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

// Sets change the file once per batch, and never when the values are as stored.
TEST_F(HostRegistryTest, WritesOncePerBatchAndNotWhenUnchanged) {
  Os::MemoryFileSystem files;
  Os::InstallFiles(&files);
  Os::Registry& reg = Os::Reg();
  Os::RegKey key = Open((folder / "registry").string());
  u32 writes = files.WriteCount();
  {
    Os::RegistryBatch batch;
    EXPECT_TRUE(reg.SetDword(key, "A", 1));
    {
      Os::RegistryBatch inner;
      EXPECT_TRUE(reg.SetDword(key, "B", 2));
    }
    EXPECT_EQ(files.WriteCount(), writes) << "nothing before the outermost batch ends";
    EXPECT_TRUE(reg.SetDword(key, "C", 3));
  }
  EXPECT_EQ(files.WriteCount(), writes + 1);
  {
    Os::RegistryBatch batch;
    EXPECT_TRUE(reg.SetDword(key, "A", 1));
    EXPECT_TRUE(reg.SetDword(key, "B", 2));
  }
  EXPECT_TRUE(reg.SetDword(key, "C", 3));
  EXPECT_EQ(files.WriteCount(), writes + 1) << "unchanged values write nothing";
  EXPECT_TRUE(reg.SetDword(key, "C", 4));
  EXPECT_EQ(files.WriteCount(), writes + 2) << "a set outside a batch writes at once";
  std::vector<u8> bytes;
  ASSERT_TRUE(files.Get((folder / "registry").string(), &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), kKey + "A=1\n" + kKey + "B=2\n" + kKey + "C=4\n");
  reg.CloseKey(key);
  Os::InstallFiles(nullptr);
}

// Lines that would not read back as written are passed over and the rest kept; what cannot be read back
// is never written.
TEST_F(HostRegistryTest, RefusesLinesThatDoNotReadBack) {
  const std::string file = (folder / "registry").string();
  const std::string longName(1100, 'a');
  {
    std::ofstream out(file);
    out << kKey << "Good=7\n"
        << kKey << "Huge=4294967296\n"
        << kKey << "Negative=-1\n"
        << kKey << "Blank= 5\n"
        << kKey << "Plus=+5\n"
        << kKey << "Hex=0x10\n"
        << "=5\n"
        << kKey
        << "Empty=\n"
        // Past 1,023 characters; its tail looks like a value of its own.
        << kKey << longName << "\\" << kKey << "Tail=5\n"
        << kKey << "Max=4294967295\n"
        << kKey << "Last=9";  // no newline at the end
  }
  Os::Registry& reg = Os::Reg();
  Os::RegKey key = Open(file);
  EXPECT_EQ(Value(key, "Good"), 7u);
  EXPECT_EQ(Value(key, "Max"), 4294967295u);
  EXPECT_EQ(Value(key, "Last"), 9u);
  for (const char* refused : {"Huge", "Negative", "Blank", "Plus", "Hex", "Empty", "Tail"})
    EXPECT_EQ(Value(key, refused), 0xDEADu) << refused;

  EXPECT_FALSE(reg.SetDword(key, longName.c_str(), 1)) << "its line would be too long to read back";
  EXPECT_FALSE(reg.SetDword(key, "Two\nLines", 1));
  EXPECT_TRUE(reg.SetDword(key, "New", 3));
  EXPECT_EQ(ReadText(file), kKey + "Good=7\n" + kKey + "Last=9\n" + kKey + "Max=4294967295\n" + kKey + "New=3\n");
  reg.CloseKey(key);
}

// A settings file that cannot be read is never replaced, and one that cannot be written is not either;
// both are said once on standard error and the values live on in memory.
TEST_F(HostRegistryTest, UnusableFilesAreSaidOnceAndValuesKeptInMemory) {
  const std::string fifo = (folder / "fifo").string(), big = (folder / "big").string();
  const std::string notFolder = (folder / "plain").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  std::ofstream(notFolder) << "a file, not a folder";
  std::ofstream(big) << kKey << "A=1\n";
  ASSERT_EQ(truncate(big.c_str(), (4 << 20) + 1), 0);
  const struct {
    std::string path;
    std::string says;
  } cases[] = {
      {fifo, "cannot read the settings file " + fifo + ": not a regular file"},
      {"/dev/zero", "cannot read the settings file /dev/zero: not a regular file"},
      {big, "cannot read the settings file " + big + ": larger than the limit of 4 MB"},
      {notFolder + "/registry", "cannot write " + notFolder + "/registry: "},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    Os::RegKey key = Open(c.path);
    const bool first = Os::Reg().SetDword(key, "SoundVolume", 3);
    const bool second = Os::Reg().SetDword(key, "MusicVolume", 4);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(first || second) << c.path;
    EXPECT_EQ(Value(key, "SoundVolume"), 3u) << c.path;
    EXPECT_EQ(Value(key, "MusicVolume"), 4u) << c.path;
    EXPECT_EQ(said.rfind("duskmire: " + c.says, 0), 0u) << said;
    EXPECT_NE(said.find("the settings are kept in memory for this run\n"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    Os::Reg().CloseKey(key);
  }
  struct stat st;
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(stat(big.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, (4 << 20) + 1);
  EXPECT_EQ(ReadText(notFolder), "a file, not a folder");
}

}  // namespace
