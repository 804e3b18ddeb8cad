// The stored form of a compiled script: layout at a record offset, and a listing of any stored blob.
#include "ScriptCompiler.h"
#include "script/SScriptCatalogue.h"
#include "script/SScriptTokens.h"

namespace scriptc {

Bytes Serialize(const std::vector<Token>& tokens, const std::vector<std::string>& strings, u32 recordOffsetMod4) {
  Bytes b = {0, 0, 0, 0};  // the unused word, then the string table's offset
  const u32 base = recordOffsetMod4 & 3;
  auto pad = [&](u32 to) {
    while ((base + b.size()) % to) b.push_back(0);
  };
  auto put16 = [&](u32 v) {
    b.push_back(u8(v));
    b.push_back(u8(v >> 8));
  };
  for (const Token& t : tokens) {
    b.push_back(t.byte);
    switch (t.byte) {
      case tok::kLine:
        pad(2);
        put16(0);
        put16(u32(t.operand));
        break;
      case tok::kInt8: b.push_back(u8(t.operand)); break;
      case tok::kInt16:
      case tok::kString:
      case tok::kVariable:
      case tok::kName:
        pad(2);
        put16(u32(t.operand));
        break;
      case tok::kInt32:
        pad(4);
        put16(u32(t.operand));
        put16(u32(t.operand) >> 16);
        break;
      default: break;
    }
  }
  b.push_back(tok::kEnd);
  const size_t table = b.size();
  put16(u32(strings.size()));
  for (const std::string& s : strings) {
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
  }
  if (b.size() > kMaxBlobBytes || table > 0xFFFF || strings.size() > kMaxStrings) return {};
  b[2] = u8(table);
  b[3] = u8(table >> 8);
  return b;
}

namespace {

bool IsIdentifier(const std::string& s) {
  if (s.empty()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    if (!letter && !(i > 0 && c >= '0' && c <= '9')) return false;
  }
  return true;
}

// A string in the language's own notation.
std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\' && i + 1 < s.size() && s[i + 1] == 'g') {
      out += "\\g";
      ++i;
    } else if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\r') {
      out += "\\r";
    } else if (u8(c) < 32) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[u8(c) >> 4];
      out += kHex[u8(c) & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string Disassemble(const u8* blob, size_t size, u32 recordOffsetMod4) {
  if (!blob || size < 4) return "(no program: shorter than its header)";
  const u32 base = recordOffsetMod4 & 3;
  // The string table, read with bounds.
  std::vector<std::string> strings;
  const size_t table = size_t(blob[2]) | size_t(blob[3]) << 8;
  bool tableOk = table + 2 <= size;
  if (tableOk) {
    const u32 count = u32(blob[table]) | u32(blob[table + 1]) << 8;
    size_t at = table + 2;
    for (u32 n = 0; n < count; ++n) {
      size_t end = at;
      while (end < size && blob[end]) ++end;
      if (end >= size) {
        tableOk = false;
        break;
      }
      strings.emplace_back(reinterpret_cast<const char*>(blob + at), end - at);
      at = end + 1;
    }
  }

  std::string out;
  bool lineStart = true, glueNext = false;
  auto piece = [&](const std::string& p, bool glueBefore) {
    if (!lineStart && !glueNext && !glueBefore) out += ' ';
    out += p;
    lineStart = false;
    glueNext = false;
  };
  auto text = [&](i32 index) -> std::string {
    return index >= 0 && size_t(index) < strings.size() ? strings[size_t(index)]
                                                        : "<string " + std::to_string(index) + " missing>";
  };
  size_t pos = 4;
  auto aligned = [&](u32 to) {
    while ((base + pos) % to) ++pos;
  };
  auto read16 = [&](i32& v) {
    if (pos + 2 > size) return false;
    v = i16(u16(blob[pos] | blob[pos + 1] << 8));
    pos += 2;
    return true;
  };
  auto finish = [&](const char* note) {
    if (note) out += note;
    if (!tableOk) out += " <string table out of bounds>";
    return out;
  };
  bool afterFunction = false;
  u32 depth = 0;  // of braces, to indent the lines
  while (pos < size) {
    const u8 t = blob[pos++];
    const bool wasFunction = afterFunction;
    afterFunction = false;
    i32 v = 0;
    if (t == tok::kEnd) return finish(nullptr);
    if (t == tok::kFiller) continue;
    if (t == tok::kLine) {
      aligned(2);
      i32 unused = 0;
      if (!read16(unused) || !read16(v)) return finish(" <cut short>");
      if (!out.empty()) out += '\n';
      out += std::to_string(v) + ":" + std::string(2 * depth, ' ');
      lineStart = false;
      continue;
    }
    switch (t) {
      case tok::kInt8:
        if (pos + 1 > size) return finish(" <cut short>");
        piece(std::to_string(i8(blob[pos++])), false);
        break;
      case tok::kInt16:
        aligned(2);
        if (!read16(v)) return finish(" <cut short>");
        piece(std::to_string(v), false);
        break;
      case tok::kInt32:
        aligned(4);
        if (pos + 4 > size) return finish(" <cut short>");
        v = i32(u32(blob[pos]) | u32(blob[pos + 1]) << 8 | u32(blob[pos + 2]) << 16 | u32(blob[pos + 3]) << 24);
        pos += 4;
        piece(std::to_string(v), false);
        break;
      case tok::kString:
      case tok::kVariable:
      case tok::kName: {
        aligned(2);
        if (!read16(v)) return finish(" <cut short>");
        const std::string s = text(v);
        if (t == tok::kString)
          piece(Quoted(s), false);
        else if (t == tok::kVariable)
          piece(IsIdentifier(s) ? s : "<variable " + Quoted(s) + ">", false);
        else
          piece("@" + (IsIdentifier(s) ? s : Quoted(s)), false);
        break;
      }
      case tok::kSemicolon: piece(";", true); break;
      case tok::kDot:
        piece(".", true);
        glueNext = true;
        break;
      case tok::kComma: piece(",", true); break;
      case tok::kOpenBrace:
        piece("{", false);
        ++depth;
        break;
      case tok::kCloseBrace:
        piece("}", false);
        if (depth) --depth;
        break;
      case tok::kOpenParen:
        piece("(", wasFunction);
        glueNext = true;
        break;
      case tok::kCloseParen: piece(")", true); break;
      case tok::kIf: piece("if", false); break;
      case tok::kElse: piece("else", false); break;
      case tok::kReturn: piece("return", false); break;
      default:
        if (const SScriptCatalogueRow* row = FindScriptFunction(t)) {
          piece(row->name, false);
          afterFunction = true;
        } else if (const char* op = tok::OperatorText(t)) {
          piece(op, false);
          if (t == tok::kNot) glueNext = true;
        } else {
          piece("<token " + std::to_string(t) + ">", false);
        }
        break;
    }
  }
  return finish(" <no end byte>");
}

}  // namespace scriptc
