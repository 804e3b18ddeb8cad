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

  // The operators; `this` is the left operand. Integer arithmetic wraps around in 32 bits, and a
  // division or remainder by zero gives 0.
  void Increment();
  void Decrement();
  void LogicalNot();
  // A string appends the other's text (and reads its integer again); an integer adds the other's integer.
  void AddAssign(const SScriptValue& other);
  void SubAssign(const SScriptValue& other);
  void MulAssign(const SScriptValue& other);
  void DivAssign(const SScriptValue& other);
  void ModAssign(const SScriptValue& other);
  void AndAssign(const SScriptValue& other);
  void OrAssign(const SScriptValue& other);
  // Merges a literal: a string appends the text, an integer adds the text read as a signed 16-bit number.
  // Unlike the others it leaves the form it does not change as it was.
  void AppendText(const char* text);

  // 1 or 0. The left operand's type decides: a string compares texts ignoring ASCII case (the right's
  // text whatever its type) and tests texts for emptiness; an integer compares and tests integers.
  i32 Equal(const SScriptValue& other) const { return Compare(other) == 0; }
  i32 NotEqual(const SScriptValue& other) const { return Compare(other) != 0; }
  i32 Less(const SScriptValue& other) const { return Compare(other) < 0; }
  i32 LessOrEqual(const SScriptValue& other) const { return Compare(other) <= 0; }
  i32 Greater(const SScriptValue& other) const { return Compare(other) > 0; }
  i32 GreaterOrEqual(const SScriptValue& other) const { return Compare(other) >= 0; }
  i32 LogicalAnd(const SScriptValue& other) const;
  i32 LogicalOr(const SScriptValue& other) const;

  bool IsString() const { return type_ == kString; }
  u8 GetType() const { return type_; }
  i32 Int() const { return integer_; }
  // Never null.
  const char* Text() const { return text_.CStr() ? text_.CStr() : ""; }
  SString& TextString() { return text_; }

  // Stored form (no tag byte): the type byte, then the text zero-terminated, or zero bytes to the next
  // 4-byte boundary and the integer. Reading rebuilds the other form; an unknown type fails the stream.
  void Serialize(SStream& stream);

 private:
  // Below, equal to or above zero, by the left operand's rule.
  int Compare(const SScriptValue& other) const;

  SString text_;
  i32 integer_ = 0;
  u8 type_ = kInteger;
};
