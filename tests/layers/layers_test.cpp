// The layers of the sources, lowest first: os < foundation < platform < graphics < world < the game layer.
// A file may include headers of its own layer and those below, never of a higher one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::map<std::string, int> kLayerOf = {
    {"os", 0},     {"foundation", 1}, {"platform", 2}, {"graphics", 3}, {"world", 4},   {"core", 5},
    {"player", 5}, {"game", 5},       {"script", 5},   {"screens", 5},  {"dialogs", 5}, {"app", 5},
};

int LayerOf(const std::string& folder) {
  auto it = kLayerOf.find(folder);
  return it == kLayerOf.end() ? -1 : it->second;
}

// "file:line: includes <header> of a higher layer" for every upward include below `root`; a file in a folder
// that is no layer is reported too, so that a new folder is given its place.
std::vector<std::string> UpwardIncludes(const fs::path& root) {
  std::vector<std::string> found;
  const std::regex include(R"(^\s*#\s*include\s*"([A-Za-z_]+)/[^"]*")");
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    const fs::path rel = fs::relative(entry.path(), root);
    const std::string folder = rel.begin()->string();
    const int own = LayerOf(folder);
    if (own < 0) {
      found.push_back(rel.string() + ": lies in a folder that belongs to no layer");
      continue;
    }
    std::ifstream in(entry.path());
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch m;
      if (!std::regex_search(line, m, include)) continue;
      const int target = LayerOf(m[1].str());
      if (target > own) {
        std::ostringstream out;
        out << rel.string() << ":" << number << ": includes \"" << m[1].str() << "/...\", a higher layer";
        found.push_back(out.str());
      }
    }
  }
  return found;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

}  // namespace

TEST(Layers, NoSourceIncludesAHigherLayer) {
  const std::vector<std::string> found = UpwardIncludes(fs::path(DUSKMIRE_SOURCE_DIR) / "src");
  EXPECT_TRUE(found.empty()) << Join(found);
}

TEST(Layers, APlantedUpwardIncludeIsNamedByFileAndLine) {
  const fs::path root = fs::temp_directory_path() /
                        ("duskmire-layers-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(root);
  fs::create_directories(root / "world");
  fs::create_directories(root / "game");
  std::ofstream(root / "world" / "SLow.cpp")
      << "#include \"world/SLow.h\"\n#include \"os/Types.h\"\n#include \"game/SHigh.h\"\n";
  std::ofstream(root / "game" / "SHigh.h") << "#include \"world/SLow.h\"\n#include \"core/SGameCore.h\"\n";
  const std::vector<std::string> found = UpwardIncludes(root);
  fs::remove_all(root);
  ASSERT_EQ(found.size(), 1u) << Join(found);
  EXPECT_EQ(found[0], "world/SLow.cpp:3: includes \"game/...\", a higher layer");
}
