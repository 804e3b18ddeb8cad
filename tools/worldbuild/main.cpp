// Entry of the world builder: runs every registered step, then writes the archives they filled.
#include "BuildStep.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>

namespace worldbuild {
namespace {
struct Step {
  int rank;
  const char* name;
  StepFn fn;
};
std::vector<Step>& Steps() {
  static std::vector<Step> steps;
  return steps;
}
}  // namespace

StepRegistrar::StepRegistrar(int rank, const char* name, StepFn fn) { Steps().push_back({rank, name, fn}); }

}  // namespace worldbuild

int main(int argc, char** argv) {
  std::filesystem::path source = "data/sample", out = ".";
  // The world a player gets is built strictly: what would only be a warning for a world being written
  // (a script naming an object that is not there) fails its build.
  bool strict = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--source") && i + 1 < argc) {
      source = argv[++i];
    } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
      out = argv[++i];
    } else if (!std::strcmp(argv[i], "--strict")) {
      strict = true;
    } else {
      std::fprintf(stderr, "usage: worldbuild --source DIR --out DIR [--strict]\n");
      return 2;
    }
  }
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  worldbuild::Context context(source, out);
  auto steps = worldbuild::Steps();
  std::stable_sort(steps.begin(), steps.end(), [](const auto& a, const auto& b) { return a.rank < b.rank; });
  for (const auto& step : steps) {
    step.fn(context);
    if (context.failed()) {
      std::fprintf(stderr, "worldbuild: step '%s' failed; nothing was written\n", step.name);
      return 1;
    }
  }
  if (strict && context.warnings() > 0) {
    std::fprintf(stderr, "worldbuild: %d warning%s with --strict; nothing was written\n", context.warnings(),
                 context.warnings() == 1 ? "" : "s");
    return 1;
  }
  for (const auto& [name, archive] : context.archives()) {
    std::string error;
    if (!worldbuild::WriteArchive(archive, out / (name + ".pdb"), error)) {
      std::fprintf(stderr, "worldbuild: %s.pdb: %s\n", name.c_str(), error.c_str());
      return 1;
    }
  }
  return 0;
}
