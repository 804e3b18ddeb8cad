// The token bytes of a compiled script, as the world stores them and the interpreter reads them. Some
// carry an operand after padding that counts from the start of the record holding the script.
#pragma once
#include "os/Types.h"

namespace tok {
inline constexpr u8 kEnd = 0;
inline constexpr u8 kSemicolon = 3;
inline constexpr u8 kDot = 6;       // between a target name and a function
inline constexpr u8 kVariable = 8;  // pad to 2, i16 string index
inline constexpr u8 kName = 10;     // pad to 2, i16 string index: a call's target, else a string constant
inline constexpr u8 kComma = 11;
inline constexpr u8 kFiller = 12;  // skipped
inline constexpr u8 kLine = 13;    // pad to 2, an unused word, i16 line number
inline constexpr u8 kInt8 = 30;    // i8, no padding
inline constexpr u8 kInt16 = 31;   // pad to 2, i16
inline constexpr u8 kInt32 = 32;   // pad to 4, i32
inline constexpr u8 kString = 33;  // pad to 2, i16 string index
inline constexpr u8 kOpenBrace = 50;
inline constexpr u8 kCloseBrace = 51;
inline constexpr u8 kOpenParen = 60;
inline constexpr u8 kCloseParen = 61;
inline constexpr u8 kNotEqual = 70;
inline constexpr u8 kAnd = 71;
inline constexpr u8 kIncrement = 72;
inline constexpr u8 kDecrement = 73;
inline constexpr u8 kLessOrEqual = 74;
inline constexpr u8 kLess = 75;
inline constexpr u8 kEqual = 76;
inline constexpr u8 kGreaterOrEqual = 77;
inline constexpr u8 kGreater = 78;
inline constexpr u8 kOr = 79;
inline constexpr u8 kNot = 80;
inline constexpr u8 kAssign = 81;
inline constexpr u8 kAdd = 82;
inline constexpr u8 kSub = 83;
inline constexpr u8 kMul = 84;
inline constexpr u8 kDiv = 85;
inline constexpr u8 kMod = 86;
inline constexpr u8 kAddAssign = 87;
inline constexpr u8 kSubAssign = 88;
inline constexpr u8 kMulAssign = 89;
inline constexpr u8 kDivAssign = 90;
inline constexpr u8 kModAssign = 91;
inline constexpr u8 kBitAnd = 92;
inline constexpr u8 kBitOr = 93;
inline constexpr u8 kIf = 95;
inline constexpr u8 kElse = 96;
inline constexpr u8 kReturn = 97;
inline constexpr u8 kFirstFunction = 100;  // 100 to 254: a script function by its id

// The text of an operator token (70 to 93), or null.
constexpr const char* OperatorText(u8 t) {
  constexpr const char* kTexts[] = {"!=", "&&", "++", "--", "<=", "<",  "==", ">=", ">",  "||", "!", "=",
                                    "+",  "-",  "*",  "/",  "%",  "+=", "-=", "*=", "/=", "%=", "&", "|"};
  return t >= kNotEqual && t <= kBitOr ? kTexts[t - kNotEqual] : nullptr;
}
}  // namespace tok
