// The world builder refuses bad sources of the graphics data with a message naming the file and the fault,
// and writes nothing.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct BuildRun {
  int status;
  std::string output;
};

BuildRun Build(const fs::path& source, const fs::path& out) {
  const std::string command = std::string(DUSKMIRE_BIN_DIR) + "/worldbuild --source '" + source.string() + "' --out '" +
                              out.string() + "' 2>&1";
  BuildRun run{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 512> buffer;
  while (fgets(buffer.data(), buffer.size(), pipe)) run.output += buffer.data();
  run.status = pclose(pipe);
  return run;
}

// A copy of the sample sources with one file replaced.
fs::path SourcesWith(const std::string& name, const std::string& file, const std::string& text) {
  // Named after the process: other builds may run this test at the same time.
  const fs::path dir = fs::temp_directory_path() / ("duskmire_wb_" + std::to_string(getpid()) + "_" + name);
  fs::remove_all(dir);
  fs::copy(fs::path(DUSKMIRE_SOURCE_DIR) / "data/sample", dir, fs::copy_options::recursive);
  std::ofstream(dir / file) << text;
  return dir;
}

TEST(WorldBuilder, BadGraphicsSourcesFailWithTheirFileNamed) {
  ASSERT_TRUE(fs::exists(std::string(DUSKMIRE_BIN_DIR) + "/worldbuild")) << "build the worldbuild target first";
  struct Case {
    const char* name;
    const char* file;
    const char* text;
    const char* message;
  } cases[] = {
      {"noview", "layout/game.json",
       R"({"screens": [{"id": 43, "variants": [{"modes": [6, 7, 9, 10, 8, 11, 14, 15], "size": [320, 240],
          "controls": [[550, 0, 0, 320, 176]]}]}]})",
       "no control 550 (the 3D view) for mode 16"},
      {"wideview", "layout/game.json",
       R"({"screens": [{"id": 43, "variants": [{"modes": [6, 7, 9, 10, 8, 11, 14, 15, 16], "size": [900, 480],
          "controls": [[550, 0, 0, 900, 400]]}]}]})",
       "1 to 800 pixels wide"},
      {"outside", "layout/game.json",
       R"({"screens": [{"id": 43, "variants": [{"modes": [7], "size": [240, 320], "controls": [[550, 0, 0, 241, 10]]}]}]})",
       "control 550 lies outside the screen size"},
      {"scaledfromnothing", "layout/game.json",
       R"({"screens": [{"id": 43, "variants": [{"modes": [7], "size": [240, 320], "from": 10}]}]})",
       "\"from\": 10 names no drawn variant"},
      {"smallpanel", "layout/game.json",
       R"({"screens": [{"id": 43, "variants": [{"modes": [7], "size": [240, 320], "panel": [240, 300],
          "controls": [[550, 0, 0, 240, 200]]}]}]})",
       "no smaller than the variant's size"},
      {"replacenothing", "layout/game.json",
       R"({"screens": [{"id": 43, "variants": [{"modes": [7], "size": [240, 320], "controls": [[550, 0, 0, 240, 200]]},
          {"modes": [6], "from": 7, "size": [320, 240], "replace": [[551, 0, 0, 10, 10]]}]}]})",
       "\"replace\" names control 551"},
      {"fitoutside", "layout/game.json",
       R"({"screens": [{"id": 43, "variants": [{"modes": [7], "size": [240, 320], "controls": [[550, 0, 0, 240, 200]],
          "fit": [[550, 250, 100]]}]}]})",
       "\"fit\" puts control 550 outside the screen size"},
      {"bleednothing", "layout/game.json",
       R"({"screens": [{"id": 43, "variants": [{"modes": [7], "size": [240, 320], "bleed": [551],
          "controls": [[550, 0, 0, 240, 200]]}]}]})",
       "\"bleed\" names control 551"},
      {"fontsize", "fonts/fonts.json", R"({"strips": [{"record": 3010, "face": "DejaVuSans.ttf", "size": 40}]})",
       "line height 15"},
      {"fontface", "fonts/fonts.json", R"({"strips": [{"record": 3010, "face": "NoSuchFace.ttf", "size": 10}]})",
       "NoSuchFace.ttf"},
      {"pictures", "pictures/3015.png", "not a picture", "3015.png"},
  };
  for (const auto& c : cases) {
    const fs::path source = SourcesWith(c.name, c.file, c.text);
    const fs::path out = source / "out";
    const BuildRun run = Build(source, out);
    EXPECT_NE(run.status, 0) << c.name;
    EXPECT_NE(run.output.find(c.file), std::string::npos) << c.name << ": " << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.name << ": " << run.output;
    EXPECT_FALSE(fs::exists(out / "DuskmireData.pdb")) << c.name;
    fs::remove_all(source);
  }
}

}  // namespace
