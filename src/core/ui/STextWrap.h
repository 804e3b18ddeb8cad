// How the longer texts are cut into lines: as many characters as fit the width with the font's current
// selection, at the last blank (a word wider than the line takes the whole rest of the text), then every
// blank, line break and tab that follows is skipped, so consecutive breaks give no empty lines.
#pragma once
#include "graphics/SFont.h"

#include <cstring>

// Calls line(start, length) for each line, in order.
template <class LineFn>
void ForEachWrappedLine(const SFont& font, const char* text, i32 width, LineFn line) {
  if (!text) return;
  const i32 n = i32(std::strlen(text));
  i32 start = 0;
  while (start < n) {
    i32 lineWidth = 0, stop = 0;
    i32 end = font.FitText(text, start, width, &lineWidth, true, &stop);
    if (end < start) end = start;
    line(start, end - start);
    // Every line moves on: a line that holds nothing still skips the break it stopped at.
    start = end;
    while (start < n && (text[start] == ' ' || text[start] == '\r' || text[start] == '\n' || text[start] == '\t'))
      ++start;
    if (start == end && start < n) ++start;
  }
}
