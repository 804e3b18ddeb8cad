// A token assembler for the streams the compiler never writes: mnemonics to a stored blob, laid out at a
// record offset (modulo 4) as the world stores it. Words are separated by blanks:
//   ; . , { } ( )             punctuation
//   if else return != && ++ -- <= == >= || ! = += -= *= /= %= + - * / % & | < >
//   getglobal                 a script function by its catalogue name
//   x                         a variable: any other name
//   @gate                     a name token: a call's target, else a string constant
//   "some text"               a string literal (\" and \\ inside)
//   12  -5                    an integer literal in its smallest form; i8:N, i16:N and i32:N force one
//   line:N                    a line marker
//   str:N  var:N  name:N      a string literal, variable or name with the raw string index N
//   #N                        the byte N alone
// Strings are stored once each, in order of first use.
#pragma once
#include "ScriptCompiler.h"

#include <initializer_list>
#include <string_view>

// A word it does not know fails the test and is left out.
scriptc::Bytes Assemble(std::string_view text, u32 recordOffsetMod4 = 0);

// A blob with an empty string table and the bytes as its stream, which runs to the blob's end: the
// table's count is the unused word of a line marker that leads the stream.
scriptc::Bytes StreamWithoutStrings(std::initializer_list<u8> bytes);
