#include "support/SampleBuild.h"

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testbuild {

namespace fs = std::filesystem;

Result BuildEditedSample(const std::string& folder, const std::string& file, const std::string& find,
                         const std::string& replace, const std::string& options) {
  Result result;
  // Named after the process: other builds may run the same test at the same time.
  const fs::path base = fs::temp_directory_path() / (folder + "-" + std::to_string(getpid()));
  const fs::path source = base / "source", out = base / "out";
  std::error_code ignored;
  fs::remove_all(base, ignored);
  fs::create_directories(out);
  fs::copy(std::string(DUSKMIRE_SOURCE_DIR) + "/data/sample", source, fs::copy_options::recursive);
  std::ostringstream text;
  text << std::ifstream(source / file, std::ios::binary).rdbuf();
  std::string edited = text.str();
  const size_t at = edited.find(find);
  result.edited = at != std::string::npos;
  if (result.edited) {
    edited.replace(at, find.size(), replace);
    std::ofstream(source / file, std::ios::binary) << edited;
    const std::string command =
        std::string(DUSKMIRE_BIN_DIR) + "/worldbuild --source " + source.string() + " --out " + out.string() + " " + options + " 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[512];
      while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
      result.status = pclose(pipe);
    }
    result.wrote = fs::exists(out / "DuskmireBase.pdb");
  }
  fs::remove_all(base, ignored);
  return result;
}

}  // namespace testbuild
