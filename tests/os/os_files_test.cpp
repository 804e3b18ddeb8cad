#include "os/Files.h"
#include "os/Process.h"
#include "os/headless/MemoryFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string TempFolder() {
  char pattern[] = "/tmp/duskmire-files-XXXXXX";
  const char* dir = mkdtemp(pattern);
  return dir ? std::string(dir) + "/" : std::string("/tmp/");
}

// The same behaviour from the host and the in-memory store.
void ExerciseFileSystem(Os::FileSystem& fs, const std::string& folder) {
  const std::string a = folder + "a.bin", b = folder + "b.bin";
  EXPECT_EQ(fs.OpenRead(a.c_str()), nullptr);
  {
    auto f = fs.Create(a.c_str());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Write("hello ", 6), 6);
    EXPECT_EQ(f->Write("world", 5), 5);
    EXPECT_EQ(f->Size(), 11u);
  }
  EXPECT_TRUE(fs.Exists(a.c_str()));
  auto r = fs.OpenRead(a.c_str());
  ASSERT_NE(r, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(r->ReadAt(6, buffer, 16), 5);  // fewer at the end
  EXPECT_STREQ(buffer, "world");
  EXPECT_EQ(r->ReadAt(50, buffer, 4), 0);
  r.reset();
  {
    auto t = fs.Create(a.c_str());  // truncates
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Size(), 0u);
    t->Write("x", 1);
  }
  EXPECT_TRUE(fs.Rename(a.c_str(), b.c_str()));
  EXPECT_FALSE(fs.Exists(a.c_str()));
  EXPECT_EQ(fs.OpenRead(b.c_str())->Size(), 1u);
  EXPECT_TRUE(fs.Delete(b.c_str()));
  EXPECT_FALSE(fs.Delete(b.c_str()));
  EXPECT_EQ(fs.Create((folder + "missing/dir/x").c_str()) == nullptr, &fs == &Os::Files());
}

TEST(OsFiles, HostFiles) {
  std::string folder = TempFolder();
  ExerciseFileSystem(Os::Files(), folder);
  rmdir(folder.c_str());
}

TEST(OsFiles, MemoryFiles) {
  Os::MemoryFileSystem fs;
  Os::InstallFiles(&fs);
  EXPECT_EQ(&Os::Files(), &fs);
  Os::InstallFiles(nullptr);
  ExerciseFileSystem(fs, "/mem/");
}

TEST(OsFiles, MemoryFaults) {
  Os::MemoryFileSystem fs;
  fs.Put("/d/data", {1, 2, 3, 4, 5, 6});
  fs.FailCreate(".sav");
  EXPECT_EQ(fs.Create("/d/game.sav"), nullptr);
  EXPECT_NE(fs.Create("/d/game.txt"), nullptr);
  fs.LimitReads(2);
  u8 buffer[6];
  EXPECT_EQ(fs.OpenRead("/d/data")->ReadAt(0, buffer, 6), 2);
  fs.LimitWrites(3);
  auto w = fs.Create("/d/out");
  EXPECT_EQ(w->Write("abcde", 5), 3);
  EXPECT_EQ(w->Write("f", 1), 0);
  fs.FailRename(true);
  EXPECT_FALSE(fs.Rename("/d/out", "/d/out2"));
  fs.ClearFaults();
  EXPECT_EQ(fs.OpenRead("/d/data")->ReadAt(0, buffer, 6), 6);
  EXPECT_NE(fs.Create("/d/game.sav"), nullptr);
}

TEST(OsFiles, ReadThroughKeepsHostFilesUntouched) {
  std::string folder = TempFolder();
  std::string path = folder + "world.pdb";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("host", f);
  std::fclose(f);

  Os::MemoryFileSystem fs(true);
  EXPECT_TRUE(fs.Exists(path.c_str()));
  EXPECT_EQ(fs.OpenRead(path.c_str())->Size(), 4u);
  fs.Create(path.c_str())->Write("memory!", 7);
  EXPECT_EQ(fs.OpenRead(path.c_str())->Size(), 7u);
  EXPECT_TRUE(fs.Delete(path.c_str()));
  EXPECT_FALSE(fs.Exists(path.c_str()));
  EXPECT_EQ(Os::Files().OpenRead(path.c_str())->Size(), 4u);  // the host file is as it was
  std::remove(path.c_str());
  rmdir(folder.c_str());
}

TEST(OsProcess, ProgramFolder) {
  const std::string exe = Os::ProgramFolder();
  EXPECT_EQ(exe.back(), '/');
  EXPECT_TRUE(std::filesystem::equivalent(exe, DUSKMIRE_BIN_DIR));  // the executable's folder
  Os::SetProgramFolder("/data/world");
  EXPECT_EQ(Os::ProgramFolder(), "/data/world/");
  Os::SetProgramFolder("");
  EXPECT_EQ(Os::ProgramFolder(), exe);
}

}  // namespace
