// Scripted input for headless runs: a small text file of events, each due at a virtual time or after a
// number of presented frames, fired in file order.
//
//   # comment
//   100ms keydown up          keydown <key> [repeat] | keyup <key>
//   f10 pendown 120 160       pendown | penmove | penup <x> <y>   (panel coordinates)
//   f20 deactivate            activate | deactivate | paint | close
//   f30 capture name          writes the panel to <capture dir>/name.png
//
// Keys: up down left right enter space app1..app4, a letter or digit, or a decimal key code.
#pragma once
#include "os/Types.h"

#include <string>
#include <vector>

namespace Os {

struct ScriptEvent {
  enum Kind : u8 { KeyDown, KeyUp, PenDown, PenMove, PenUp, Activate, Deactivate, Paint, Close, Capture };
  bool byFrame = false;  // due after `when` presented frames, else at `when` milliseconds
  u32 when = 0;
  Kind kind = KeyDown;
  i32 key = 0;
  bool repeat = false;
  i32 x = 0, y = 0;
  std::string name;  // capture
  u32 line = 0;
};

// A script is a few hundred lines; anything this large is not one.
inline constexpr u64 kMaxInputScriptBytes = 4u << 20;

class InputScript {
 public:
  // Parses the text; on failure returns false and describes the first bad line in *error.
  bool Parse(const char* text, size_t size, std::string* error);
  // Reads and parses a regular file of at most kMaxInputScriptBytes.
  bool Load(const std::string& path, std::string* error);
  const std::vector<ScriptEvent>& Events() const { return events_; }

 private:
  std::vector<ScriptEvent> events_;
};

// The key code of a key name, or -1.
i32 KeyCodeFromName(const std::string& name);

}  // namespace Os
