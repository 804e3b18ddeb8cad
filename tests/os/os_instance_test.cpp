// The host's single-instance lock trusts only a plain lock file of this user.
#include "os/Window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

class RuntimeDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("duskmire-lock-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    Os::Instances().Release();
    if (hadOld_) {
      ::setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_;
  std::string old_;
  bool hadOld_ = false;
};

TEST_F(RuntimeDir, LockFileThatIsALinkIsNeitherWrittenNorSignalled) {
  // A link planted where the lock goes: following it would overwrite the file it points at.
  const auto target = dir_ / "victim";
  { std::ofstream(target) << "keep me\n"; }
  std::filesystem::create_symlink(target, dir_ / "TEST_CLASS.lock");

  Os::Instances().RaiseHolder("TEST_CLASS");
  EXPECT_FALSE(Os::Instances().TakeRaiseRequest());
  EXPECT_TRUE(Os::Instances().TryAcquire("TEST_CLASS"));  // no trusted lock: the player is not kept out
  std::ifstream in(target);
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "keep me");
}

TEST_F(RuntimeDir, PlainLockFileIsHeld) {
  ASSERT_TRUE(Os::Instances().TryAcquire("TEST_CLASS"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "TEST_CLASS.lock"));
}

}  // namespace
