#include "os/Files.h"
#include "os/Process.h"
#include "os/headless/MemoryFiles.h"
#include "os/headless/PngCapture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

// A FIFO, a device and a folder are refused at once, without blocking or reading without end; a regular
// file past the limit is refused with the limit named.
TEST(OsFiles, OnlyRegularFilesOfBoundedSize) {
  const std::string folder = TempFolder();
  const std::string fifo = folder + "fifo", big = folder + "big";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  std::FILE* f = std::fopen(big.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ASSERT_EQ(truncate(big.c_str(), (4 << 20) + 1), 0);  // sparse: one byte past the limit
  const struct {
    std::string path;
    Os::FileFault fault;
  } cases[] = {
      {fifo, Os::FileFault::NotAFile},   {"/dev/zero", Os::FileFault::NotAFile},
      {folder, Os::FileFault::NotAFile}, {folder + "missing", Os::FileFault::Missing},
      {big, Os::FileFault::TooLarge},
  };
  for (const auto& c : cases) {
    std::vector<u8> bytes{1};
    EXPECT_EQ(Os::ReadWholeFile(c.path.c_str(), 4 << 20, &bytes), c.fault) << c.path;
    EXPECT_EQ(bytes.size(), 1u) << c.path;
    if (c.fault != Os::FileFault::TooLarge) {
      Os::FileFault fault = Os::FileFault::None;
      EXPECT_EQ(Os::Files().OpenRead(c.path.c_str(), &fault), nullptr) << c.path;
      EXPECT_EQ(fault, c.fault) << c.path;
    }
    EXPECT_EQ(Os::Files().Exists(c.path.c_str()), c.fault == Os::FileFault::TooLarge) << c.path;
  }
  EXPECT_EQ(Os::DescribeFileFault(Os::FileFault::TooLarge, 4 << 20), "larger than the limit of 4 MB");
  EXPECT_EQ(Os::DescribeFileFault(Os::FileFault::NotAFile, 0), "not a regular file");
  // Writing: a FIFO is neither opened for writing nor replaced; nor is a folder.
  EXPECT_EQ(Os::Files().Create(fifo.c_str()), nullptr);
  std::string error;
  EXPECT_FALSE(Os::Files().WriteAtomic(fifo.c_str(), "x", 1, &error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_FALSE(Os::Files().WriteAtomic(folder.c_str(), "x", 1, &error));
  struct stat st;
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  std::filesystem::remove_all(folder);
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Contents(const std::string& path) {
  std::vector<u8> bytes;
  Os::ReadWholeFile(path.c_str(), 1 << 20, &bytes);
  return std::string(bytes.begin(), bytes.end());
}

// The atomic write replaces the file whole, keeps its permissions and a link to it, leaves no temporary
// behind, and removes temporaries whose writer has died while keeping those of a live one.
TEST(OsFiles, AtomicWriteOnTheHost) {
  const std::string folder = TempFolder();
  const std::string file = folder + "settings";
  std::string error;
  ASSERT_TRUE(Os::Files().WriteAtomic(file.c_str(), "first", 5, &error)) << error;
  EXPECT_EQ(Contents(file), "first");
  ASSERT_EQ(chmod(file.c_str(), 0600), 0);
  ASSERT_TRUE(Os::Files().WriteAtomic(file.c_str(), "second", 6, &error)) << error;
  EXPECT_EQ(Contents(file), "second");
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"settings"});

  // Through a link: the link stays, its target changes.
  const std::string link = folder + "link";
  ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
  ASSERT_TRUE(Os::Files().WriteAtomic(link.c_str(), "third", 5, &error)) << error;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Contents(file), "third");

  // Left by killed writes: one of a process that no longer exists, one of a live process (pid 1), one
  // of another file, and a file that only looks similar.
  const std::string dead = Os::TemporaryName("settings", 99999999, 3);
  const std::string live = Os::TemporaryName("settings", 1, 4);
  const std::string other = Os::TemporaryName("other", 99999999, 5);
  for (const std::string& name : {dead, live, other, std::string(".settings.x-1.tmp")}) {
    std::FILE* f = std::fopen((folder + name).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  ASSERT_TRUE(Os::Files().WriteAtomic(file.c_str(), "fourth", 6, &error)) << error;
  EXPECT_EQ(Contents(file), "fourth");
  std::vector<std::string> left = {".settings.x-1.tmp", live, other, "link", "settings"};
  std::sort(left.begin(), left.end());
  EXPECT_EQ(Names(folder), left);

  // A write that cannot finish leaves the old file and no temporary.
  EXPECT_FALSE(Os::Files().WriteAtomic((folder + "no/such/folder/file").c_str(), "x", 1, &error));
  EXPECT_NE(error.find("temporary"), std::string::npos) << error;
  EXPECT_EQ(Names(folder), left);
  std::filesystem::remove_all(folder);
}

// The in-memory store goes through the same steps, so its faults hit the atomic write.
TEST(OsFiles, AtomicWriteInMemory) {
  Os::MemoryFileSystem fs;
  fs.Put("/d/file", {'o', 'l', 'd'});
  std::string error;
  fs.LimitWrites(2);
  EXPECT_FALSE(fs.WriteAtomic("/d/file", "new!", 4, &error));
  fs.ClearFaults();
  fs.FailRename(true);
  EXPECT_FALSE(fs.WriteAtomic("/d/file", "new!", 4, &error));
  fs.ClearFaults();
  EXPECT_EQ(fs.List(), std::vector<std::string>{"/d/file"});
  std::vector<u8> bytes;
  ASSERT_TRUE(fs.Get("/d/file", &bytes));
  EXPECT_EQ(bytes, (std::vector<u8>{'o', 'l', 'd'}));
  const u32 before = fs.WriteCount();
  EXPECT_TRUE(fs.WriteAtomic("/d/file", "new!", 4, &error));
  EXPECT_EQ(fs.WriteCount(), before + 1);
  ASSERT_TRUE(fs.Get("/d/file", &bytes));
  EXPECT_EQ(bytes.size(), 4u);
}

// A capture is written whole or not at all: a write that fails midway leaves the old picture.
TEST(OsFiles, CapturesAreWrittenWhole) {
  Os::MemoryFileSystem fs;
  Os::InstallFiles(&fs);
  const std::vector<u8> old = {1, 2, 3};
  fs.Put("/shots/final.png", old);
  const std::vector<u16> pixels(16 * 8, 0xF800);
  std::string error;
  fs.LimitWrites(40);
  EXPECT_FALSE(Os::WriteRgb565Png("/shots/final.png", pixels.data(), 16, 8, 16, &error));
  EXPECT_NE(error.find("/shots/final.png"), std::string::npos) << error;
  std::vector<u8> bytes;
  ASSERT_TRUE(fs.Get("/shots/final.png", &bytes));
  EXPECT_EQ(bytes, old);
  EXPECT_EQ(fs.List(), std::vector<std::string>{"/shots/final.png"});
  fs.ClearFaults();
  EXPECT_TRUE(Os::WriteRgb565Png("/shots/final.png", pixels.data(), 16, 8, 16, &error)) << error;
  ASSERT_TRUE(fs.Get("/shots/final.png", &bytes));
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(std::vector<u8>(bytes.begin() + 1, bytes.begin() + 4), (std::vector<u8>{'P', 'N', 'G'}));
  Os::InstallFiles(nullptr);
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
