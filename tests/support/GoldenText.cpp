#include "support/GoldenText.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace testgolden {

std::string CompareText(const std::string& name, const std::string& text) {
  const std::string golden = std::string(DUSKMIRE_GOLDEN_DIR) + "/" + name + ".txt";
  const char* update = std::getenv("DUSKMIRE_UPDATE_GOLDEN");
  if (update && update[0] == '1') {
    std::ofstream out(golden, std::ios::binary);
    out << text;
    return out ? "" : "cannot write " + golden;
  }
  std::ifstream in(golden, std::ios::binary);
  if (!in) return "cannot read " + golden;
  const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (expected == text) return "";
  std::istringstream a(expected), b(text);
  std::string lineA, lineB;
  for (int line = 1;; ++line) {
    const bool moreA = bool(std::getline(a, lineA)), moreB = bool(std::getline(b, lineB));
    if (!moreA && !moreB) return "the texts differ in their line ends";
    if (!moreA || !moreB || lineA != lineB)
      return golden + ":" + std::to_string(line) + ": expected \"" + (moreA ? lineA : "(end)") + "\", got \"" +
             (moreB ? lineB : "(end)") + "\"";
  }
}

}  // namespace testgolden
