// The script compiler: the stored bytes of the worked examples at both record alignments, the lowering
// rules seen through the listing, and the sources it refuses with their positions.
#include "ScriptCompiler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using scriptc::Bytes;

std::string Hex(const Bytes& b) {
  std::string out;
  char buf[4];
  for (u8 x : b) {
    std::snprintf(buf, sizeof buf, "%02X ", x);
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

scriptc::Program Compile(const std::string& source, bool lineMarkers = false) {
  scriptc::Options options;
  options.lineMarkers = lineMarkers;
  scriptc::Result r = scriptc::CompileStatements(source, options);
  EXPECT_TRUE(r.Ok()) << source << "\n" << (r.diagnostics.empty() ? "" : r.diagnostics[0].text);
  return r.programs.empty() ? scriptc::Program() : r.programs[0];
}

TEST(ScriptCompiler, WorkedExamplesByteForByte) {
  const scriptc::Program lever = Compile(
      "if (getglobal(\"base_lever\") == 0) { setglobal(\"base_lever\", 1); message(\"The gate opens.\"); }");
  const std::string tokens =
      "00 00 26 00 5F 3C 64 3C 21 00 00 00 3D 4C 1E 00 3D 32 65 3C 21 00 00 00 0B 1E 01 3D 03 BB 3C 21 01 00 3D 03 33 "
      "00 02 00 "
      "62 61 73 65 5F 6C 65 76 65 72 00 54 68 65 20 67 61 74 65 20 6F 70 65 6E 73 2E 00";
  EXPECT_EQ(Hex(scriptc::Serialize(lever, 0)), tokens);
  EXPECT_EQ(Hex(scriptc::Serialize(lever, 2)), tokens);
  EXPECT_EQ(scriptc::Serialize(lever, 0).size(), 67u);

  const scriptc::Program big = Compile("x = 100000;");
  EXPECT_EQ(Hex(scriptc::Serialize(big, 0)), "00 00 12 00 08 00 00 00 51 20 00 00 A0 86 01 00 03 00 01 00 78 00");
  EXPECT_EQ(Hex(scriptc::Serialize(big, 2)), "00 00 10 00 08 00 00 00 51 20 A0 86 01 00 03 00 01 00 78 00");
}

}  // namespace
