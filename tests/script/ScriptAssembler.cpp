#include "ScriptAssembler.h"

#include "script/SScriptCatalogue.h"
#include "script/SScriptInterpreter.h"
#include "script/SScriptTokens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <string>
#include <vector>

namespace {

bool ParseNumber(const std::string& text, i64& n) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, n);
  return !text.empty() && error == std::errc() && at == end;
}

}  // namespace

scriptc::Bytes Assemble(std::string_view text, u32 recordOffsetMod4) {
  std::vector<scriptc::Token> tokens;
  std::vector<std::string> strings;
  std::map<std::string, i32> index;
  auto intern = [&](const std::string& s) {
    auto it = index.find(s);
    if (it != index.end()) return it->second;
    strings.push_back(s);
    return index[s] = i32(strings.size() - 1);
  };
  auto literal = [&](i64 n) {
    const u8 byte = n >= -128 && n <= 127 ? tok::kInt8 : n >= -32768 && n <= 32767 ? tok::kInt16 : tok::kInt32;
    tokens.push_back({byte, i32(n)});
  };

  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\n' || text[i] == '\t') {
      ++i;
      continue;
    }
    if (text[i] == '"') {
      std::string s;
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) ++i;
        s += text[i];
      }
      ++i;
      tokens.push_back({tok::kString, intern(s)});
      continue;
    }
    size_t end = i;
    while (end < text.size() && text[end] != ' ' && text[end] != '\n' && text[end] != '\t') ++end;
    const std::string word(text.substr(i, end - i));
    i = end;

    i64 n = 0;
    const size_t colon = word.find(':');
    const std::string head = colon == std::string::npos ? word : word.substr(0, colon);
    const std::string tail = colon == std::string::npos ? "" : word.substr(colon + 1);
    if (colon != std::string::npos && ParseNumber(tail, n)) {
      const std::map<std::string, u8> forms = {{"i8", tok::kInt8},   {"i16", tok::kInt16},  {"i32", tok::kInt32},
                                               {"line", tok::kLine}, {"str", tok::kString}, {"var", tok::kVariable},
                                               {"name", tok::kName}};
      auto form = forms.find(head);
      if (form != forms.end()) {
        tokens.push_back({form->second, i32(n)});
        continue;
      }
    }
    if (word[0] == '#' && ParseNumber(word.substr(1), n) && n >= 0 && n <= 255) {
      tokens.push_back({u8(n), 0});
      continue;
    }
    if (ParseNumber(word, n)) {
      literal(n);
      continue;
    }
    const std::map<std::string, u8> punctuation = {
        {";", tok::kSemicolon},  {".", tok::kDot},       {",", tok::kComma},     {"{", tok::kOpenBrace},
        {"}", tok::kCloseBrace}, {"(", tok::kOpenParen}, {")", tok::kCloseParen}};
    if (auto p = punctuation.find(word); p != punctuation.end()) {
      tokens.push_back({p->second, 0});
      continue;
    }
    bool known = false;
    for (const SScriptKeyword& k : SScriptInterpreter::kKeywords)
      if (word == k.text) {
        tokens.push_back({k.token, 0});
        known = true;
        break;
      }
    if (known) continue;
    if (const SScriptCatalogueRow* row = FindScriptFunction(word.c_str())) {
      tokens.push_back({row->id, 0});
      continue;
    }
    if (word[0] == '@' && word.size() > 1) {
      tokens.push_back({tok::kName, intern(word.substr(1))});
      continue;
    }
    const bool identifier = (word[0] >= 'a' && word[0] <= 'z') || (word[0] >= 'A' && word[0] <= 'Z') || word[0] == '_';
    if (identifier) {
      tokens.push_back({tok::kVariable, intern(word)});
      continue;
    }
    ADD_FAILURE() << "the assembler does not know \"" << word << "\"";
  }
  return scriptc::Serialize(tokens, strings, recordOffsetMod4);
}

scriptc::Bytes StreamWithoutStrings(std::initializer_list<u8> bytes) {
  // Offset 6 holds the marker's unused word, which reads as a table of no strings.
  scriptc::Bytes blob(10 + bytes.size());
  const u8 head[10] = {0, 0, 6, 0, tok::kLine, 0, 0, 0, 1, 0};
  std::copy(head, head + 10, blob.begin());
  std::copy(bytes.begin(), bytes.end(), blob.begin() + 10);
  return blob;
}
