// The world builder's script tools on arbitrary bytes: the listing of a stored blob at both alignments,
// and the compiler on the bytes as source text (both forms), laying out whatever compiles.
#include "ScriptCompiler.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  for (u32 mod4 : {0u, 2u}) (void)scriptc::Disassemble(data, size, mod4);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const scriptc::Result& r : {scriptc::CompileStatements(text), scriptc::CompileFile(text)})
    for (const scriptc::Program& p : r.programs) {
      const scriptc::Bytes blob = scriptc::Serialize(p, 2);
      (void)scriptc::Disassemble(blob, 2);
    }
  return 0;
}
