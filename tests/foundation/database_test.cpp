#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "os/Process.h"
#include "os/headless/MemoryFiles.h"
#include "os/headless/VirtualClock.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Every test runs on an in-memory file store with the program folder "/game/".
class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Os::InstallFiles(&files);
    Os::SetProgramFolder("/game");
  }
  void TearDown() override {
    Os::InstallFiles(nullptr);
    Os::SetProgramFolder("");
  }
  std::vector<u8> File(const std::string& path) {
    std::vector<u8> bytes;
    EXPECT_TRUE(files.Get(path, &bytes)) << path;
    return bytes;
  }
  // The worked example: records of 5 and 3 bytes under ids 3000 and 3001.
  bool WriteExample(const char* name, const char* code = kDataCreator) {
    SDatabaseWriter writer;
    std::memcpy(writer.Header().creator, code, 4);
    writer.AddRecord(3000, "abcde", 5);
    writer.AddRecord(3001, "xyz", 3);
    return writer.Write(name);
  }
  static u32 BE32(const std::vector<u8>& b, size_t at) {
    return u32(b[at]) << 24 | u32(b[at + 1]) << 16 | u32(b[at + 2]) << 8 | b[at + 3];
  }

  Os::MemoryFileSystem files;
};

TEST_F(DatabaseTest, WorkedExampleLayoutAndReadBack) {
  ASSERT_TRUE(WriteExample("DuskmireData"));
  std::vector<u8> bytes = File("/game/DuskmireData.pdb");
  ASSERT_EQ(bytes.size(), 109u);
  EXPECT_EQ(bytes[77], 2);          // record count
  EXPECT_EQ(BE32(bytes, 78), 96u);  // 78 + 16 = 94, rounded to 96
  EXPECT_EQ(bytes[84], 3000 >> 8);
  EXPECT_EQ(bytes[85], 3000 & 0xFF);
  EXPECT_EQ(BE32(bytes, 86), 104u);  // 96 + 5 + 2 = 103, rounded to 104
  EXPECT_EQ(std::memcmp(&bytes[96], "abcde\0\0", 7), 0);
  EXPECT_EQ(std::memcmp(&bytes[34], "\0\1", 2), 0);  // version 1
  EXPECT_EQ(std::memcmp(&bytes[60], "    DkMr", 8), 0);

  SDatabase db;
  ASSERT_TRUE(db.Open("DuskmireData"));  // the default creator
  EXPECT_EQ(db.RecordCount(), 2);
  auto first = db.ReadRecord(3000);
  auto second = db.ReadRecord(3001);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->size, 8u);  // the record, its padding and the two zero bytes
  EXPECT_EQ(second->size, 5u);
  EXPECT_EQ(std::memcmp(first->data, "abcde", 5), 0);
  EXPECT_EQ(db.ReadRecord(3002), nullptr);
  EXPECT_FALSE(db.IsSavedGame());
}

TEST_F(DatabaseTest, FileNamesAndCreatorCheck) {
  ASSERT_TRUE(WriteExample("World.pdb"));
  EXPECT_TRUE(files.Get("/game/World.pdb", nullptr));  // not extended again
  ASSERT_TRUE(WriteExample("World.PDB"));
  EXPECT_TRUE(files.Get("/game/World.PDB.pdb", nullptr));  // the test is case-sensitive
  ASSERT_TRUE(WriteExample("sub\\Other", kSavedGameCode));
  EXPECT_TRUE(files.Get("sub/Other.pdb", nullptr));  // a backslash makes a path

  SDatabase db;
  EXPECT_FALSE(db.Open("sub\\Other"));  // creator "DkMS", not the data creator
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(db.RecordCount(), 0);
  EXPECT_EQ(db.ReadRecord(3000), nullptr);
  EXPECT_TRUE(db.Open("sub/Other", kSavedGameCode));
  EXPECT_FALSE(db.Open("Missing"));
  EXPECT_TRUE(SDatabase::DeleteFile(nullptr, "World"));
  EXPECT_FALSE(files.Get("/game/World.pdb", nullptr));
}

TEST_F(DatabaseTest, SavedGameHeaderAndDuplicateIds) {
  SDatabaseWriter writer;
  writer.InitSavedGameHeader("DuskmireSave3");
  writer.AddRecord(3000, "first", 5);
  writer.AddRecord(3000, "second", 6);
  ASSERT_TRUE(writer.Write("DuskmireSave3"));
  SDatabase db;
  ASSERT_TRUE(db.Open("DuskmireSave3", kSavedGameCode));
  EXPECT_TRUE(db.IsSavedGame());
  EXPECT_TRUE(db.HasCreator(kSavedGameCode));
  EXPECT_STREQ(db.Header().name, "DuskmireSave3");
  EXPECT_EQ(db.Header().attributes, 8);
  auto record = db.ReadRecord(3000);
  ASSERT_TRUE(record);
  EXPECT_EQ(std::memcmp(record->data, "first", 5), 0);  // the first of equal ids
}

TEST_F(DatabaseTest, CorruptFilesAreRefused) {
  ASSERT_TRUE(WriteExample("Good"));
  const std::vector<u8> good = File("/game/Good.pdb");
  struct Case {
    const char* what;
    std::vector<u8> bytes;
  };
  auto with = [&](size_t at, std::initializer_list<u8> patch) {
    std::vector<u8> b = good;
    std::copy(patch.begin(), patch.end(), b.begin() + long(at));
    return b;
  };
  std::vector<Case> cases = {
      {"empty file", {}},
      {"truncated header", std::vector<u8>(good.begin(), good.begin() + 50)},
      {"truncated entry table", std::vector<u8>(good.begin(), good.begin() + 90)},
      {"count beyond the file", with(76, {0xFF, 0xFF})},
      {"decreasing offsets", with(78, {0, 0, 0, 105})},
      {"offset past the end", with(86, {0, 0, 1, 0})},
      {"offset inside the entry table", with(78, {0, 0, 0, 80})},
      {"wrong creator", with(64, {'X', 'X', 'X', 'X'})},
  };
  for (const Case& c : cases) {
    files.Put("/game/Bad.pdb", c.bytes);
    SDatabase db;
    EXPECT_FALSE(db.Open("Bad")) << c.what;
    EXPECT_FALSE(db.IsOpen()) << c.what;
    EXPECT_EQ(db.RecordCount(), 0) << c.what;
    EXPECT_EQ(db.ReadRecord(3000), nullptr) << c.what;
  }
  // A short read of a record fails the read rather than handing out garbage.
  SDatabase db;
  ASSERT_TRUE(db.Open("Good"));
  files.LimitReads(4);
  EXPECT_EQ(db.ReadRecord(3000), nullptr);
  files.ClearFaults();
  EXPECT_NE(db.ReadRecord(3000), nullptr);
  // A file cut inside its last record still opens: the record is shorter.
  files.Put("/game/Cut.pdb", std::vector<u8>(good.begin(), good.begin() + 105));
  ASSERT_TRUE(db.Open("Cut"));
  EXPECT_EQ(db.ReadRecord(3001)->size, 1u);
}

TEST_F(DatabaseTest, FailedWritesReportFailureAndKeepTheOldFile) {
  ASSERT_TRUE(WriteExample("Save"));
  const std::vector<u8> before = File("/game/Save.pdb");

  files.FailCreate(".tmp");
  SDatabaseWriter writer;
  writer.AddRecord(1, "new", 3);
  EXPECT_FALSE(writer.Write("Save"));
  files.ClearFaults();

  files.LimitWrites(50);
  EXPECT_FALSE(writer.Write("Save"));
  files.ClearFaults();
  for (const std::string& name : files.List()) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;

  files.FailRename(true);
  EXPECT_FALSE(writer.Write("Save"));
  files.ClearFaults();
  EXPECT_EQ(File("/game/Save.pdb"), before);

  EXPECT_TRUE(writer.Write("Save"));
  EXPECT_NE(File("/game/Save.pdb"), before);
}

TEST_F(DatabaseTest, RecordsFromStreams) {
  u8 buffer[SStream::kWriteBufferSize];
  SStream s;
  s.OpenForWrite(buffer);
  u32 v = 0x12345678;
  s.SerializeU32(v);
  SDatabaseWriter writer;
  EXPECT_TRUE(writer.AddRecordFromStream(7, s));
  SStream full;
  full.OpenForWrite(buffer, 2);
  full.SerializeU32(v);                               // does not fit
  EXPECT_FALSE(writer.AddRecordFromStream(8, full));  // a truncated record is never written
  EXPECT_EQ(writer.RecordCount(), 1);
}

TEST(SecondsSince1904Test, CountsLocalTimeFrom1904) {
  Os::SystemTime epoch;
  epoch.year = 1970;
  Os::VirtualClock clock(epoch);
  Os::InstallClock(&clock);
  EXPECT_EQ(SecondsSince1904(), 2082844800u);
  clock.Advance(90'000);
  EXPECT_EQ(SecondsSince1904(), 2082844890u);
  Os::InstallClock(nullptr);
}

}  // namespace
