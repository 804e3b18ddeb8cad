#include "os/headless/InputScript.h"

#include "os/Files.h"
#include "os/Window.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace Os {
namespace {

bool ParseNumber(const std::string& s, i64 lo, i64 hi, i64* out) {
  if (s.empty() || s.size() > 10) return false;
  size_t i = 0;
  bool negative = false;
  if (s[0] == '-') {
    negative = true;
    i = 1;
  }
  if (i == s.size()) return false;
  i64 v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
  }
  if (negative) v = -v;
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

}  // namespace

i32 KeyCodeFromName(const std::string& name) {
  static const struct {
    const char* name;
    i32 code;
  } kNames[] = {{"up", kKeyUp},         {"down", kKeyDown},    {"left", kKeyLeft}, {"right", kKeyRight},
                {"enter", kKeyEnter},   {"space", kKeySpace},  {"app1", kKeyApp1}, {"app2", kKeyApp1 + 1},
                {"app3", kKeyApp1 + 2}, {"app4", kKeyApp1 + 3}};
  for (const auto& k : kNames)
    if (name == k.name) return k.code;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    return std::toupper(static_cast<unsigned char>(name[0]));
  i64 v;
  if (ParseNumber(name, 1, 255, &v)) return i32(v);
  return -1;
}

bool InputScript::Parse(const char* text, size_t size, std::string* error) {
  events_.clear();
  std::string all(text, size);
  std::istringstream in(all);
  std::string line;
  u32 number = 0;
  auto fail = [&](const char* why) {
    if (error) *error = "input script line " + std::to_string(number) + ": " + why;
    events_.clear();
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    if (w.size() < 2) return fail("expected a time or frame and an event");
    ScriptEvent e;
    e.line = number;
    const std::string& when = w[0];
    i64 v;
    if (when.size() > 2 && when.compare(when.size() - 2, 2, "ms") == 0 &&
        ParseNumber(when.substr(0, when.size() - 2), 0, 0x7FFFFFFF, &v)) {
      e.when = u32(v);
    } else if (when.size() > 1 && when[0] == 'f' && ParseNumber(when.substr(1), 0, 0x7FFFFFFF, &v)) {
      e.byFrame = true;
      e.when = u32(v);
    } else {
      return fail("the first word must be <N>ms or f<N>");
    }
    const std::string& ev = w[1];
    const size_t args = w.size() - 2;
    if (ev == "keydown" || ev == "keyup") {
      if (args < 1 || args > 2) return fail("expected a key");
      e.kind = ev == "keydown" ? ScriptEvent::KeyDown : ScriptEvent::KeyUp;
      e.key = KeyCodeFromName(w[2]);
      if (e.key < 0) return fail("unknown key");
      if (args == 2) {
        if (w[3] != "repeat" || e.kind != ScriptEvent::KeyDown) return fail("unexpected word after the key");
        e.repeat = true;
      }
    } else if (ev == "pendown" || ev == "penmove" || ev == "penup") {
      i64 x, y;
      if (args != 2 || !ParseNumber(w[2], -32768, 65535, &x) || !ParseNumber(w[3], -32768, 65535, &y))
        return fail("expected x and y");
      e.kind = ev == "pendown" ? ScriptEvent::PenDown : ev == "penmove" ? ScriptEvent::PenMove : ScriptEvent::PenUp;
      e.x = i32(x);
      e.y = i32(y);
    } else if (ev == "activate" || ev == "deactivate" || ev == "paint" || ev == "close") {
      if (args != 0) return fail("unexpected words after the event");
      e.kind = ev == "activate"     ? ScriptEvent::Activate
               : ev == "deactivate" ? ScriptEvent::Deactivate
               : ev == "paint"      ? ScriptEvent::Paint
                                    : ScriptEvent::Close;
    } else if (ev == "capture") {
      if (args != 1) return fail("expected a capture name");
      for (char c : w[2])
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_')
          return fail("capture names use letters, digits, - and _");
      e.kind = ScriptEvent::Capture;
      e.name = w[2];
    } else {
      return fail("unknown event");
    }
    events_.push_back(e);
  }
  return true;
}

bool InputScript::Load(const std::string& path, std::string* error) {
  std::vector<u8> bytes;
  const FileFault fault = ReadWholeFile(path.c_str(), kMaxInputScriptBytes, &bytes);
  if (fault != FileFault::None) {
    if (error) *error = "cannot read input script " + path + ": " + DescribeFileFault(fault, kMaxInputScriptBytes);
    return false;
  }
  return Parse(reinterpret_cast<const char*>(bytes.data()), bytes.size(), error);
}

}  // namespace Os
