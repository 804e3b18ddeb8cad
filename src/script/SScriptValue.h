// A value of the script language: both its text and its integer form are kept at all times; the type
// says which one the value is.
#pragma once
#include "foundation/SString.h"

class SStream;

class SScriptValue {
 public:
  enum Type : u8 { kInteger = 0, kString = 1 };

  SScriptValue();  // the integer 0, text "0"
  SScriptValue(const SScriptValue& other) = default;
  SScriptValue& operator=(const SScriptValue& other) = default;

  // New values, owned by the caller.
  static SScriptValue* MakeInt(i32 n);
  static SScriptValue* MakeString(const char* text);

  void SetInt(i32 n);
  // A string: the text copied with every backslash-g turned into character 9 (the coin glyph), its
  // integer read from the text. A null text leaves the text empty and the integer 0.
  void SetText(const char* text);
  void Assign(const SScriptValue& other) { *this = other; }

  bool IsString() const { return type_ == kString; }
  u8 GetType() const { return type_; }
  i32 Int() const { return integer_; }
  const char* Text() const { return text_.CStr(); }
  SString& TextString() { return text_; }

  // Stored form (no tag byte): the type byte, then the text zero-terminated, or zero bytes to the next
  // 4-byte boundary and the integer. Reading rebuilds the other form; an unknown type fails the stream.
  void Serialize(SStream& stream);

 private:
  SString text_;
  i32 integer_ = 0;
  u8 type_ = kInteger;
};
