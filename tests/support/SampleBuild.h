// Runs the world builder over a copy of the sample sources with one text of one file replaced, in a
// fresh folder of its own, for tests of what the builder refuses.
#pragma once
#include <string>

namespace testbuild {

struct Result {
  bool edited = false;  // the text to replace was found
  int status = -1;      // the builder's exit status
  std::string output;   // what it said (stdout and stderr)
  bool wrote = false;   // it wrote the base archive
};

// `file` is relative to data/sample; `find` is replaced once by `replace`; `options` go on the builder's
// command line. The folder is removed after.
Result BuildEditedSample(const std::string& folder, const std::string& file, const std::string& find,
                         const std::string& replace, const std::string& options = "");

}  // namespace testbuild
