// Writes the fixed interface pictures of "DuskmireData" that start-up reads into the game core's picture
// slots, the two click sounds, and the card game's pictures. The records come from the game's own picture
// tables: for every slot, the record of the compact modes and the record of the large modes (with mode
// 8's own records), each drawn at the size its family's screens need; for the card game, every card and
// the card screen's own pictures, by the card set and the card screen's table. A record another step
// wrote is refused. The death screen's and the race choice's pictures, the cards' symbols and the deck
// backs' emblems are pixel art (data/sample/art).
// data/sample/pictures/<id>.png replaces a generated picture. Each record is checked as the game checks
// images from files.
#include "ArtSources.h"
#include "BuildStep.h"
#include "ImageEncode.h"
#include "PictureRecord.h"
#include "WorldSources.h"

#include "core/SPictureRoles.h"
#include "core/SPictureTable.h"
#include "core/ui/SDollPlaces.h"
#include "dialogs/SDialogShipTravel.h"
#include "foundation/SDatabase.h"
#include "graphics/SImage.h"
#include "screens/SLogoStrokes.h"
#include "screens/cards/SCardPictures.h"
#include "screens/cards/SCardSet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace worldbuild {
namespace {

using imageenc::Picture;
using imageenc::Rgb565;

constexpr u16 kClear = 0xFFFF;  // transparent in keyed drawing

// Display modes whose records a family's pictures are drawn for.
constexpr i32 kCompactMode = 7, kLargeMode = 10, kSquareSmallMode = 8;

struct Art {
  Picture picture;
  int format = 0;
};

// ---- drawing ----

void Fill(Picture& p, int x, int y, int w, int h, u16 c) {
  for (int j = std::max(0, y); j < std::min(p.height, y + h); ++j)
    for (int i = std::max(0, x); i < std::min(p.width, x + w); ++i) p.at(i, j) = c;
}

void Outline(Picture& p, int x, int y, int w, int h, u16 c) {
  Fill(p, x, y, w, 1, c);
  Fill(p, x, y + h - 1, w, 1, c);
  Fill(p, x, y, 1, h, c);
  Fill(p, x + w - 1, y, 1, h, c);
}

void Set(Picture& p, int x, int y, u16 c) {
  if (x >= 0 && y >= 0 && x < p.width && y < p.height) p.at(x, y) = c;
}

u16 Shade(int r, int g, int b, int delta) { return Rgb565(r + delta, g + delta, b + delta); }

// A 3 x 5 pixel font for the numbers and letters on the generated pictures.
const char* GlyphRows(char c) {
  switch (c) {
    case '0': return "111101101101111";
    case '1': return "010110010010111";
    case '2': return "111001111100111";
    case '3': return "111001111001111";
    case '4': return "101101111001001";
    case '5': return "111100111001111";
    case '6': return "111100111101111";
    case '7': return "111001010010010";
    case '8': return "111101111101111";
    case '9': return "111101111001111";
    case 'N': return "101111111111101";
    case 'E': return "111100110100111";
    case 'S': return "111100111001111";
    case 'W': return "101101111111101";
    case '?': return "111001011000010";
    case 'D': return "110101101101110";
    case 'U': return "101101101101111";
    case 'K': return "101101110101101";
    case 'M': return "101111111101101";
    case 'I': return "111010010010111";
    case 'R': return "110101110101101";
    case 'A': return "010101111101101";
    case 'B': return "110101110101110";
    case 'C': return "011100100100011";
    case 'F': return "111100110100100";
    case 'G': return "011100101101011";
    case 'H': return "101101111101101";
    case 'J': return "001001001101010";
    case 'L': return "100100100100111";
    case 'O': return "010101101101010";
    case 'P': return "110101110100100";
    case 'Q': return "010101101011001";
    case 'T': return "111010010010010";
    case 'V': return "101101101101010";
    case 'X': return "101101010101101";
    case 'Y': return "101101010010010";
    case 'Z': return "111001010100111";
    case '-': return "000000111000000";
    case '\'': return "010010000000000";
    default: return nullptr;
  }
}

// The compass's headings, 5 x 7: in the 3 x 5 cell N and W can only be two bars joined in the middle, and
// a player misread one for the other. Here N's diagonal falls from the top and W's notch rises from the foot.
const char* CompassLetterRows(char c) {
  // clang-format off
  switch (c) {
    case 'N': return "10001" "11001" "10101" "10101" "10011" "10001" "10001";
    case 'E': return "11111" "10000" "10000" "11110" "10000" "10000" "11111";
    case 'S': return "01111" "10000" "10000" "01110" "00001" "00001" "11110";
    case 'W': return "10001" "10001" "10001" "10101" "10101" "11011" "10001";
    default: return nullptr;
  }
  // clang-format on
}

// One glyph of `columns` x `lines` cells ('1' set), each cell `scale` pixels square.
void DrawGlyph(Picture& p, int x, int y, const char* rows, int columns, int lines, u16 c, int scale) {
  if (!rows) return;
  for (int j = 0; j < lines; ++j)
    for (int i = 0; i < columns; ++i)
      if (rows[j * columns + i] == '1') Fill(p, x + i * scale, y + j * scale, scale, scale, c);
}

int TextWidth(const std::string& text, int scale) { return int(text.size()) * 4 * scale - scale; }

void DrawText(Picture& p, int x, int y, const std::string& text, u16 c, int scale) {
  for (char ch : text) {
    DrawGlyph(p, x, y, GlyphRows(ch), 3, 5, c, scale);
    x += 4 * scale;
  }
}

void DrawCentredText(Picture& p, const std::string& text, u16 c, int scale) {
  DrawText(p, (p.width - TextWidth(text, scale)) / 2, (p.height - 5 * scale) / 2, text, c, scale);
}

// A filled triangle pointing in direction d (0 up, 1 right, 2 down, 3 left) inside the box.
void Arrow(Picture& p, int x, int y, int size, int d, u16 c) {
  const int half = size / 2;
  for (int a = 0; a <= half; ++a)
    for (int b = -a; b <= a; ++b) {
      const int along = a + (size - half) / 2, across = half + b;
      switch (d) {
        case 0: Set(p, x + across, y + along, c); break;
        case 1: Set(p, x + size - 1 - along, y + across, c); break;
        case 2: Set(p, x + across, y + size - 1 - along, c); break;
        default: Set(p, x + along, y + across, c); break;
      }
    }
}

// A framed tile in a colour of its own with the slot number on it: readable wherever it shows.
Art NumberedTile(u32 slot, bool large) {
  const u32 h = slot * 2654435761u;
  const int r = 60 + int((h >> 8) & 127), g = 60 + int((h >> 16) & 127), b = 60 + int((h >> 24) & 127);
  const int size = large ? 32 : 24;
  Art art{Picture(size, size, Shade(r, g, b, 0)), 0};
  Outline(art.picture, 0, 0, size, size, Shade(r / 3, g / 3, b / 3, 0));
  DrawCentredText(art.picture, std::to_string(slot), 0xFFFF - 1, large ? 2 : 1);
  return art;
}

// A light page with faint fibres, for dark texts.
Picture Parchment(int w, int h) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int fibre = (x * 7 + y * 3) % 23 == 0 || (x * 5 + y * 11) % 29 == 0 ? 12 : 0;
      const int cloud = ((x / 8 + y / 8) % 2) * 4;
      p.at(x, y) = Rgb565(238 - fibre - cloud, 226 - fibre - cloud, 192 - fibre - cloud);
    }
  return p;
}

// The screen background: dark slate flagstones in staggered rows, with thin joints a little darker, quiet
// enough that light texts read anywhere on it.
Picture Flagstones(int w, int h) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y) {
    const int row = y / 16, shift = row % 2 ? 8 : 0;
    for (int x = 0; x < w; ++x) {
      const int column = (x + shift) / 16;
      const bool joint = y % 16 == 15 || (x + shift) % 16 == 15;
      const int tone = joint ? -8 : ((row * 5 + column * 3) % 4) * 2 + ((x * 13 + y * 7) % 5 == 0 ? 2 : 0);
      p.at(x, y) = Rgb565(30 + tone, 32 + tone, 42 + tone);
    }
  }
  return p;
}

// ---- panels and frames ----

struct Style {
  u16 outline, light, body, shadow, centre;
};

// Colour of a pixel d pixels in from the outer side of a band b pixels wide.
u16 Band(const Style& s, int d, int b) {
  if (d <= 0) return s.outline;
  if (d == 1) return s.light;
  if (d >= b - 1) return s.shadow;
  return s.body;
}

// Piece k of a nine-piece set (column by column: 0 top-left, 1 left, 2 bottom-left, 3 top, 4 centre,
// 5 bottom, 6 top-right, 7 right, 8 bottom-right). Corners are band x band, edges band thick and `run`
// long, the centre run x run: every edge and the centre tile seamlessly. Keyed sets round their outer
// corners. With `through`, the top and bottom bands run straight through the corners (the sides butt
// against them), so that two frames drawn side by side without the side they share join in one band.
Picture NinePiece(int k, int band, int run, const Style& s, bool keyed, bool through = false) {
  const bool corner = k == 0 || k == 2 || k == 6 || k == 8;
  const bool vertical = k == 1 || k == 7, horizontal = k == 3 || k == 5;
  const int w = corner || vertical ? band : run, h = corner || horizontal ? band : run;
  Picture p(w, h, s.centre);
  if (k == 4) {
    // A faint weave shows how the centre tiles.
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((x + y) % run == 0) p.at(x, y) = s.light;
    return p;
  }
  const bool right = k >= 6, bottom = k == 2 || k == 5 || k == 8;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int dx = right ? w - 1 - x : x, dy = bottom ? h - 1 - y : y;
      int d = corner ? (through ? dy : std::min(dx, dy)) : vertical ? dx : dy;
      p.at(x, y) = Band(s, d, band);
      if (corner && keyed && !through && dx + dy < 2) p.at(x, y) = kClear;
    }
  // A stud in the middle of each edge piece marks the tiling period.
  if (!corner && band >= 5) {
    const int along = run / 2, across = band / 2;
    Set(p, vertical ? across : along, vertical ? along : across, s.light);
  }
  return p;
}

// Piece k (0 left cap, 1 middle, 2 right cap) of a three-piece bar: a rounded, shaded button face, light
// under dark captions or dark under light ones. A dark bar pressed, or standing chosen (a latched tab, the
// chosen sex), is lit: a deep amber face in a gold rim, which its light caption still reads on (at least
// 5:1 for 0xC8C8C8), where a slate a shade darker than its neighbours did not show the choice.
Picture ThreePiece(int k, int cap, int run, int height, bool down, bool keyed, bool dark = false) {
  const int w = k == 1 ? run : cap;
  const bool lit = dark && down;
  Picture p(w, height);
  for (int y = 0; y < height; ++y) {
    const int t = height > 1 ? 255 * y / (height - 1) : 0;
    const int base = dark ? 62 - t / 12 : (down ? 120 - t / 5 : 210 - t / 3);
    const u16 c = lit    ? Rgb565(104 - t / 10, 62 - t / 16, 16 - t / 64)
                  : dark ? Rgb565(base, base + 4, base + 14)
                         : Rgb565(base - 20, base, base + 10);
    for (int x = 0; x < w; ++x) p.at(x, y) = c;
  }
  const u16 outline = lit ? Rgb565(40, 24, 6) : dark ? Rgb565(10, 12, 18) : Rgb565(40, 50, 60);
  const u16 light = lit    ? Rgb565(236, 196, 100)
                    : dark ? Rgb565(120, 132, 156)
                           : (down ? Rgb565(90, 100, 110) : Rgb565(245, 250, 255));
  // The lit rim runs all round, two pixels on the large bars; the others have a light top and sides only.
  const int rim = lit ? std::max(1, height / 15) : 1;
  Fill(p, 0, 0, w, 1, outline);
  Fill(p, 0, height - 1, w, 1, outline);
  Fill(p, 0, 1, w, rim, light);
  if (lit) Fill(p, 0, height - 1 - rim, w, rim, light);
  if (k != 1) {
    const int edge = k == 0 ? 0 : w - 1, inner = k == 0 ? 1 : w - 1 - rim;
    Fill(p, edge, 0, 1, height, outline);
    Fill(p, inner, 1, rim, height - 2, light);
    if (keyed) {
      Set(p, edge, 0, kClear);
      Set(p, edge, height - 1, kClear);
    }
  }
  return p;
}

// ---- buttons and small pictures ----

enum class Symbol {
  UpArrow,
  DownArrow,
  LeftArrow,
  RightArrow,
  DoubleLeft,
  DoubleRight,
  Cross,
  Tick,
  Minus,
  TurnLeft,
  TurnRight,
  Book,
  Flask,
  Moon,
  Sword
};

// The symbol inside a margin of `inset` pixels (below 0: a quarter of the picture's width).
void DrawSymbol(Picture& p, Symbol symbol, int offset, u16 c, int inset = -1) {
  const int size = p.width;
  if (inset < 0) inset = size / 4;
  const int span = size - 2 * inset;
  const int x0 = inset + offset, y0 = inset + offset;
  switch (symbol) {
    case Symbol::UpArrow: Arrow(p, x0, y0, span, 0, c); break;
    case Symbol::RightArrow: Arrow(p, x0, y0, span, 1, c); break;
    case Symbol::DownArrow: Arrow(p, x0, y0, span, 2, c); break;
    case Symbol::LeftArrow: Arrow(p, x0, y0, span, 3, c); break;
    case Symbol::DoubleLeft:
    case Symbol::DoubleRight: {
      // Two heads one after the other: a page at a time, or a long way, beside the single arrows.
      const int d = symbol == Symbol::DoubleRight ? 1 : 3, shift = span / 4 + 1;
      Arrow(p, x0 - shift, y0, span, d, c);
      Arrow(p, x0 + shift, y0, span, d, c);
      break;
    }
    case Symbol::Cross:
      for (int i = 0; i < span; ++i) {
        Fill(p, x0 + i, y0 + i, 2, 1, c);
        Fill(p, x0 + span - 1 - i, y0 + i, 2, 1, c);
      }
      break;
    case Symbol::Tick:
      for (int i = 0; i < span / 3; ++i) Fill(p, x0 + i, y0 + span / 2 + i, 2, 2, c);
      for (int i = 0; i < span - span / 3; ++i) Fill(p, x0 + span / 3 + i, y0 + span / 2 + span / 3 - i, 2, 2, c);
      break;
    case Symbol::Minus: Fill(p, x0, y0 + span / 2 - 1, span, 3, c); break;
    case Symbol::TurnLeft:
    case Symbol::TurnRight: {
      // A quarter arc with an arrow head at its end.
      const bool right = symbol == Symbol::TurnRight;
      const int r = span / 2;
      for (int a = 0; a <= r; ++a) {
        const int b = r - (a * a) / (r > 0 ? r : 1);
        const int ax = right ? x0 + a : x0 + span - 1 - a;
        Fill(p, ax, y0 + span - 1 - b - r / 2, 2, 2, c);
      }
      Arrow(p, right ? x0 + r : x0, y0 + span - r, r, right ? 1 : 3, c);
      break;
    }
    case Symbol::Book: {
      // A closed spell book standing face on: a red cover with a dark spine and a gold gem, and the
      // pages' cream edges showing at the side and foot.
      const int t = std::max(1, span / 8), coverW = span - 2 * t, coverH = span - t;
      for (int y = 0; y < span; ++y)  // the pages' edges, a line between every other leaf
        for (int x = t; x < span; ++x) Set(p, x0 + x, y0 + y, (x + y) % 2 ? c : Rgb565(200, 186, 150));
      Fill(p, x0, y0, coverW, coverH, Rgb565(60, 14, 14));
      Fill(p, x0 + 1, y0 + 1, coverW - 2, coverH - 2, Rgb565(168, 36, 34));
      Fill(p, x0 + 1, y0 + 1, std::max(1, coverW / 5), coverH - 2, Rgb565(110, 20, 20));  // the spine
      const int cx = x0 + coverW / 2 + coverW / 10, cy = y0 + coverH / 2, r = std::max(1, coverW / 4);
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
          if (std::abs(dx) + std::abs(dy) <= r) Set(p, cx + dx, cy + dy, Rgb565(250, 214, 90));
      break;
    }
    case Symbol::Sword: {
      // A blade rising to the upper right over its cross-guard and grip: strike (a plain cross read as close).
      const int g = std::max(2, span / 4), t = std::max(2, span / 6), h = y0 + span - 1;
      for (int i = g; i < span - t + 1; ++i) Fill(p, x0 + i, h - i - t + 1, t, t, c);
      for (int i = -g; i <= g; ++i) Fill(p, x0 + g + i, h - g + i, t, t - 1, c);
      for (int i = 0; i < g; ++i) Fill(p, x0 + i, h - i - t / 2, t / 2 + 1, t / 2 + 1, c);
      break;
    }
    case Symbol::Flask:
      Fill(p, x0 + span / 3, y0, span / 3, span / 3, c);
      Fill(p, x0 + 1, y0 + span / 3, span - 2, span - span / 3, c);
      break;
    case Symbol::Moon:
      for (int y = 0; y < span; ++y)
        for (int x = 0; x < span; ++x) {
          const int dx = 2 * x - span, dy = 2 * y - span, ex = dx - span / 2;
          if (dx * dx + dy * dy < span * span && ex * ex + dy * dy >= span * span / 2) Set(p, x0 + x, y0 + y, c);
        }
      break;
  }
}

// A square picture button, up or pressed, its symbol inside a margin of `inset` pixels (below 0: a quarter of
// its size).
Picture SymbolButton(int size, Symbol symbol, bool down, int inset = -1) {
  Picture p(size, size, down ? Rgb565(70, 80, 96) : Rgb565(120, 134, 156));
  const u16 light = Rgb565(200, 210, 230), dark = Rgb565(30, 34, 44);
  Fill(p, 0, 0, size, 1, down ? dark : light);
  Fill(p, 0, 0, 1, size, down ? dark : light);
  Fill(p, 0, size - 1, size, 1, down ? light : dark);
  Fill(p, size - 1, 0, 1, size, down ? light : dark);
  DrawSymbol(p, symbol, down ? 1 : 0, Rgb565(250, 240, 200), inset);
  return p;
}

// A bar of a gauge: caps and body of one colour, across `thick` pixels; vertical bars shade left to
// right, horizontal ones top to bottom.
Picture GaugePiece(int length, int thick, bool vertical, int r, int g, int b, bool cap) {
  Picture p(vertical ? thick : length, vertical ? length : thick);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const int across = vertical ? x : y, along = vertical ? y : x;
      int delta = across == 0 ? 50 : across == thick - 1 ? -50 : 0;
      if (cap) delta -= 40;
      if (!cap && along % 8 == 7) delta -= 20;  // marks along the body show its length
      p.at(x, y) = Shade(r, g, b, delta);
    }
  return p;
}

// ---- marks over the view and the map ----

// Whether (x, y) lies inside the closed polygon.
bool InPolygon(const std::vector<std::pair<double, double>>& pts, double x, double y) {
  bool in = false;
  for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    const auto [xi, yi] = pts[i];
    const auto [xj, yj] = pts[j];
    if ((yi > y) != (yj > y) && x < xi + (xj - xi) * (y - yi) / (yj - yi)) in = !in;
  }
  return in;
}

// The mark of a hit, keyed: a burst of jagged spikes of uneven length round a lighter core, ringed in a
// dark edge so that it reads on the sky and on the ground. A plus of one colour read as healing.
Picture HitBurst(int s, u16 edge, u16 body, u16 core) {
  static const double kSpikes[] = {1.0, 0.78, 0.94, 0.7, 0.98, 0.82, 0.9, 0.72, 0.96, 0.8, 0.88};
  constexpr int n = int(std::size(kSpikes));
  const double c = s / 2.0, r = s / 2.0 - 0.5;
  std::vector<std::pair<double, double>> outer, inner;
  for (int k = 0; k < 2 * n; ++k) {
    const double a = 3.14159265358979 * k / n - 1.3, f = k % 2 ? 0.56 : kSpikes[k / 2];
    outer.emplace_back(c + r * f * std::cos(a), c + r * f * std::sin(a));
    inner.emplace_back(c + r * 0.5 * f * std::cos(a), c + r * 0.5 * f * std::sin(a));
  }
  Picture p(s, s, kClear);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x)
      if (InPolygon(outer, x + 0.5, y + 0.5)) p.at(x, y) = InPolygon(inner, x + 0.5, y + 0.5) ? core : body;
  std::vector<std::pair<int, int>> rim;
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x)
      if (p.at(x, y) != kClear)
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
          if (x + dx < 0 || y + dy < 0 || x + dx >= s || y + dy >= s || p.at(x + dx, y + dy) == kClear) {
            rim.emplace_back(x, y);
            break;
          }
  for (const auto& [x, y] : rim) p.at(x, y) = edge;
  return p;
}

// The world map's mark of where the player stands, keyed: a red dot in a light ring, the same from every
// side (the map tells the position, not the way the player faces).
Picture PositionMark(int s) {
  Picture p(s, s, kClear);
  const double c = (s - 1) / 2.0, r = s / 2.0;
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      const double d = std::hypot(x - c, y - c);
      if (d <= r - 0.3)
        p.at(x, y) = d <= r * 0.45 ? Rgb565(250, 60, 40) : d <= r - 1.3 ? Rgb565(250, 240, 220) : Rgb565(60, 20, 16);
    }
  return p;
}

// ---- what each slot shows ----

// The nine-piece sets: first slot, band width on the compact and the large screens, edge length, style,
// keyed corners. Sets whose centre slot is left empty by start-up simply have no centre record.
struct NineSetArt {
  u16 first;
  int compactBand, largeBand, run;
  Style style;
  bool keyed;
};

const Style kWood{Rgb565(58, 34, 18), Rgb565(196, 150, 92), Rgb565(140, 96, 52), Rgb565(84, 54, 28),
                  Rgb565(232, 218, 180)};
const Style kBronze{Rgb565(40, 28, 10), Rgb565(232, 196, 120), Rgb565(176, 132, 60), Rgb565(96, 66, 24),
                    Rgb565(0, 0, 0)};
const Style kSteel{Rgb565(20, 24, 32), Rgb565(200, 210, 224), Rgb565(120, 132, 150), Rgb565(60, 66, 80),
                   Rgb565(36, 40, 52)};
const Style kSlate{Rgb565(16, 20, 28), Rgb565(120, 150, 180), Rgb565(70, 90, 120), Rgb565(40, 52, 70),
                   Rgb565(24, 30, 44)};

const NineSetArt kNineSets[] = {
    {1, 12, 16, 8, kWood, true},   // the message box and the list dialog
    {16, 8, 8, 8, kBronze, true},  // the large frame set
    {25, 3, 4, 8, kSteel, true},   {34, 6, 6, 8, kSlate, true},  // 25: thin, so a selected cell's price shows
    {51, 3, 3, 8, kSteel, false},                                 // the list frame, 3 pixels outside the list
    {68, 6, 6, 8, kBronze, true},  {77, 4, 4, 8, kBronze, true},  // the small frame set
    {86, 6, 6, 8, kSlate, true},   {95, 6, 6, 8, kWood, true},
    {104, 6, 6, 8, kSteel, true},  {113, 6, 6, 8, kSlate, false},
    {122, 6, 6, 8, kWood, true},   {224, 8, 12, 8, kSlate, false},
    {233, 8, 12, 8, kWood, false},
};

struct ThreeSetArt {
  u16 up, down;
  int compactCap, largeCap, run, compactHeight, largeHeight;
};

const ThreeSetArt kThreeSets[] = {
    {10, 13, 6, 8, 8, 20, 30},    // the message buttons: as high as slot 13
    {256, 259, 4, 6, 8, 20, 41},  // the keyboard's keys
};

struct ButtonArt {
  u16 up;  // the pressed picture is the next slot
  int compactSize, largeSize;
  Symbol symbol;
  int inset = -1;  // the symbol's margin; below 0 a quarter of the size
};

const ButtonArt kButtons[] = {
    {60, 16, 16, Symbol::UpArrow},    {62, 16, 16, Symbol::DownArrow},    // list scrolling
    // The page buttons: page back and on, but also a step of ten, the least and the most, the previous and
    // the next choice, often beside the single arrows of 449 and 451; double heads tell them apart.
    {135, 20, 32, Symbol::DoubleLeft}, {137, 20, 32, Symbol::DoubleRight},
    {143, 18, 36, Symbol::Cross},     {145, 18, 36, Symbol::Tick},       {147, 18, 36, Symbol::Minus},
    // Decrease and increase: one record serves every screen, so they are as large as the smallest place a screen
    // gives them (the settings' key rows, 16 pixels apart on the small screens), their heads filling the button
    // so that they read beside the larger page buttons.
    {449, 16, 16, Symbol::LeftArrow, 2}, {451, 16, 16, Symbol::RightArrow, 2},
};

// Slots whose number a part of the game names: a role never takes one of them.
struct SlotRange {
  u16 first, last;
};
const SlotRange kNamedSlots[] = {
    {0, 63},    {68, 130},  {135, 138}, {143, 148}, {224, 241}, {256, 262}, {277, 278},
    {301, 396}, {417, 423}, {437, 442}, {449, 452}, {457, 457},
};

bool IsNamedSlot(u32 slot) {
  for (const SlotRange& r : kNamedSlots)
    if (slot >= r.first && slot <= r.last) return true;
  return false;
}

// The automap: cells of 8 pixels on the compact screens, 16 on the large ones. Picture n of slot 320 + n:
// 0 the background, 54 default floor, 59 water, 60 other ground; the map-object kinds write the others:
// whole-cell overlays (41 a wall, 1 a block, 15 and 16 doors across a north-south or east-west passage,
// 33 and 34 the same for secret passages, 38 a decorated floor, and a few small marks) and, in runs of
// four by side (north, east, south, west), the things on walls. All but the floors are keyed.
Art Automap(u32 n, bool large) {
  const int s = large ? 16 : 8, t = large ? 2 : 1;
  Art art{Picture(s, s, kClear), 1};
  Picture& p = art.picture;
  auto floor = [&](int r, int g, int b) {
    for (int y = 0; y < s; ++y)
      for (int x = 0; x < s; ++x) p.at(x, y) = Shade(r, g, b, ((x * 7 + y * 3) % 5) * 4);
  };
  auto bar = [&](bool across, u16 c) {
    if (across)
      Fill(p, 0, s / 2 - t, s, 2 * t, c);
    else
      Fill(p, s / 2 - t, 0, 2 * t, s, c);
  };
  static const struct {
    u32 first;
    int r, g, b;
  } kSideRuns[] = {{3, 200, 140, 60},   {7, 120, 200, 240}, {11, 220, 180, 80},  {20, 240, 240, 120},
                   {24, 240, 120, 200}, {29, 170, 120, 70}, {42, 230, 230, 230}, {46, 160, 220, 160}};
  for (const auto& run : kSideRuns)
    if (n >= run.first && n < run.first + 4) {
      const int side = int(n - run.first);
      const u16 c = Rgb565(run.r, run.g, run.b);
      if (side == 0) Fill(p, 0, 0, s, t, c);
      if (side == 1) Fill(p, s - t, 0, t, s, c);
      if (side == 2) Fill(p, 0, s - t, s, t, c);
      if (side == 3) Fill(p, 0, 0, t, s, c);
      return art;
    }
  switch (n) {
    case 0: floor(196, 180, 142); break;
    case 54: floor(120, 116, 104); break;
    case 59: floor(40, 80, 170); break;
    case 60: floor(70, 120, 60); break;
    case 41:
      for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) p.at(x, y) = Shade(150, 140, 130, ((x + y) % 3) * 8);
      Outline(p, 0, 0, s, s, Rgb565(90, 84, 78));
      break;
    case 1: Fill(p, t, t, s - 2 * t, s - 2 * t, Rgb565(130, 110, 90)); break;
    case 15: bar(false, Rgb565(180, 110, 50)); break;
    case 16: bar(true, Rgb565(180, 110, 50)); break;
    case 33: bar(false, Rgb565(150, 140, 130)); break;
    case 34: bar(true, Rgb565(150, 140, 130)); break;
    case 38:
      for (int y = t; y < s; y += 3 * t)
        for (int x = t; x < s; x += 3 * t) Fill(p, x, y, t, t, Rgb565(200, 190, 150));
      break;
    default: Fill(p, s / 2 - t, s / 2 - t, 2 * t, 2 * t, Rgb565(230, 200, 90)); break;
  }
  return art;
}

// The paper doll and the marks over its slots 7 to 9, drawn for the family of places the mode reads.
Art DollArt(u32 slot, i32 mode) {
  namespace R = PictureRole;
  const doll::Family family = doll::FamilyOf(mode);
  const int s = doll::kSlotSizes[family];
  const int k = family == doll::kLarge ? 2 : 1;  // scale of the small details
  if (slot == R::kPaperDoll) {
    // Just past the farthest slot; the figure is drawn for 30-pixel slots and scaled with them.
    static constexpr int kSize[4][2] = {{216, 250}, {130, 150}, {88, 100}, {170, 196}};
    Art a{Picture(kSize[family][0], kSize[family][1], Rgb565(34, 30, 40)), 0};
    Picture& p = a.picture;
    const u16 body = Rgb565(90, 80, 100);
    const int cx = p.width / 2;
    auto at = [&](int v) { return family == doll::kTiny ? v * 2 / 3 : v * k; };
    Fill(p, cx - at(8), at(4), at(16), at(16), body);    // head
    Fill(p, cx - at(16), at(22), at(32), at(44), body);  // body
    Fill(p, cx - at(26), at(24), at(8), at(36), body);   // arms
    Fill(p, cx + at(18), at(24), at(8), at(36), body);
    Fill(p, cx - at(14), at(68), at(10), at(44), body);  // legs
    Fill(p, cx + at(4), at(68), at(10), at(44), body);
    for (int i = 0; i < 13; ++i)
      if (i != 11) Outline(p, doll::kPlaces[family][i][0], doll::kPlaces[family][i][1], s, s, Rgb565(150, 140, 170));
    return a;
  }
  Art a{Picture(s, s, kClear), 0};
  const u16 c = Rgb565(230, 200, 90);
  const int n = family == doll::kTiny ? 4 : 6 * k;  // corner brackets
  for (int cy : {0, s - 1})
    for (int cx : {0, s - 1}) {
      Fill(a.picture, cx == 0 ? 0 : s - n, cy, n, 1, c);
      Fill(a.picture, cx, cy == 0 ? 0 : s - n, 1, n, c);
    }
  if (family != doll::kTiny)
    DrawText(a.picture, s - 4 * k - 1, s - 6 * k - 1, std::to_string(slot - R::kDollOverlay7 + 7), c, k);
  return a;
}

Art RoleArt(u32 slot, bool large) {
  namespace R = PictureRole;
  const int k = large ? 2 : 1;  // scale of the small details
  auto keyed = [](int w, int h) { return Art{Picture(w, h, kClear), 0}; };
  if (slot == R::kPlaceholder) {
    Art a = keyed(12 * k + 4, 12 * k + 4);
    Outline(a.picture, 0, 0, a.picture.width, a.picture.height, Rgb565(200, 200, 210));
    DrawCentredText(a.picture, "?", Rgb565(240, 220, 120), k + 1);
    return a;
  }
  if (slot == R::kBadge0 || slot == R::kBadge1) {
    const int s = large ? 24 : 16;
    Art a = keyed(s, s);
    const u16 c = slot == R::kBadge0 ? Rgb565(220, 180, 60) : Rgb565(190, 200, 210);
    for (int y = 0; y < s; ++y) {
      const int inset = y < s / 2 ? 0 : (y - s / 2) * 2 / 3;  // a shield
      Fill(a.picture, inset, y, s - 2 * inset, 1, c);
    }
    DrawText(a.picture, (s - 3 * k) / 2, 2 * k, slot == R::kBadge0 ? "0" : "1", Rgb565(60, 30, 10), k);
    return a;
  }
  if (slot == R::kCompassBand || slot == R::kCompassOverlay) {
    // A heading every 120 columns (3 degrees each), twice over, so that the widest compass plus a whole
    // turn fits: "a" = 0 (north) shows at column 10, east at 40, south 70, west 100, and again 120 on.
    const int h = large ? 31 : 17;
    const bool band = slot == R::kCompassBand;
    Art a{Picture(2 * 120, h, band ? Rgb565(60, 70, 90) : kClear), 0};
    Picture& p = a.picture;
    for (int turn = 0; turn < 2; ++turn) {
      const int at = 120 * turn;
      if (band) {
        for (int x = 0; x < 120; ++x) {
          const int tick = (x + 110) % 5 == 0 ? 2 : 0;
          Fill(p, at + x, h - 1 - tick * k, 1, tick * k, Rgb565(180, 190, 210));
        }
        for (int i = 0; i < 4; ++i)
          DrawGlyph(p, at + 10 + 30 * i - (5 * k) / 2, (h - 7 * k) / 2, CompassLetterRows("NESW"[i]), 5, 7,
                    Rgb565(250, 240, 200), k);
      } else {
        for (int i = 0; i < 4; ++i) Arrow(p, at + 10 + 30 * i - 2, 0, 5, 2, Rgb565(220, 60, 40));
      }
    }
    return a;
  }
  if (slot == R::kCompassLeftCap || slot == R::kCompassRightCap) {
    const int h = large ? 31 : 17, w = 6;
    Art a{Picture(w, h), 0};
    for (int x = 0; x < w; ++x) {
      const int edge = slot == R::kCompassLeftCap ? x : w - 1 - x;
      Fill(a.picture, x, 0, 1, h, Shade(10, 12, 16, edge * 12));
    }
    return a;
  }
  const int cell = large ? 16 : 8;
  if (slot >= R::kAutomapArrowNorth && slot <= R::kAutomapArrowWest) {
    Art a = keyed(cell, cell);
    Arrow(a.picture, 0, 0, cell, int(slot - R::kAutomapArrowNorth), Rgb565(250, 60, 40));
    return a;
  }
  const u16 frame = Rgb565(230, 210, 120);
  const int t = large ? 2 : 1;
  if (slot >= R::kAutomapCornerNW && slot <= R::kAutomapCornerSE) {
    Art a = keyed(cell, cell);
    const bool east = slot == R::kAutomapCornerNE || slot == R::kAutomapCornerSE;
    const bool south = slot == R::kAutomapCornerSW || slot == R::kAutomapCornerSE;
    Fill(a.picture, 0, south ? cell - t : 0, cell, t, frame);
    Fill(a.picture, east ? cell - t : 0, 0, t, cell, frame);
    return a;
  }
  if (slot >= R::kAutomapEdgeWest && slot <= R::kAutomapEdgeSouth) {
    Art a = keyed(cell, cell);
    if (slot == R::kAutomapEdgeWest) Fill(a.picture, 0, 0, t, cell, frame);
    if (slot == R::kAutomapEdgeEast) Fill(a.picture, cell - t, 0, t, cell, frame);
    if (slot == R::kAutomapEdgeNorth) Fill(a.picture, 0, 0, cell, t, frame);
    if (slot == R::kAutomapEdgeSouth) Fill(a.picture, 0, cell - t, cell, t, frame);
    return a;
  }
  if (slot == R::kLabelAttackIcon) {
    const int s = large ? 16 : 12;
    Art a = keyed(s, s);
    DrawSymbol(a.picture, Symbol::Cross, 0, Rgb565(240, 80, 60));
    return a;
  }
  if (slot == R::kLabelBackground) {  // light, under the labels' dark green names
    Art a{Picture(16, 16), 0};
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) a.picture.at(x, y) = Shade(236, 230, 206, -((x / 4 + y / 4) % 2) * 6);
    return a;
  }
  if (slot >= R::kMenuButtonUp && slot < R::kMenuButtonDown + 3) {
    const bool down = slot >= R::kMenuButtonDown;
    const int piece = int(slot - (down ? R::kMenuButtonDown : R::kMenuButtonUp));
    return {ThreePiece(piece, large ? 8 : 6, 8, large ? 30 : 20, down, true, true), 0};
  }
  if (slot == R::kParchment) return {Parchment(32, 32), 0};
  if (slot == R::kHudTile) {
    Art a{Picture(16, 16), 0};
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) a.picture.at(x, y) = Shade(52, 44, 36, ((x * 3 + y * 5) % 7) * 3);
    return a;
  }
  if (slot >= R::kHudButtons && slot < R::kHudButtons + 2 * R::kHudButtonCount) {
    // Attack, magic book, potions, rest, turn left, forward, turn right, side step left, back, side step
    // right; the second of each pair is the pressed picture.
    static const Symbol kHudSymbols[R::kHudButtonCount] = {
        Symbol::Sword,   Symbol::Book,      Symbol::Flask,     Symbol::Moon,      Symbol::TurnLeft,
        Symbol::UpArrow, Symbol::TurnRight, Symbol::LeftArrow, Symbol::DownArrow, Symbol::RightArrow};
    const u32 n = slot - R::kHudButtons;
    return {SymbolButton(large ? 35 : 19, kHudSymbols[n / 2], (n & 1) != 0), 0};
  }
  if (slot >= R::kHudFrame && slot < R::kHudFrame + 9) {
    const Style bronze{Rgb565(40, 28, 10), Rgb565(232, 196, 120), Rgb565(176, 132, 60), Rgb565(96, 66, 24),
                       Rgb565(0, 0, 0)};
    // Drawn opaque; the bands run through the corners, so the strip's two halves join without a seam.
    return {NinePiece(int(slot - R::kHudFrame), large ? 4 : 2, 8, bronze, false, true), 0};
  }
  if (slot >= R::kRaise && slot < R::kRaise + 2)
    return {SymbolButton(large ? 24 : 12, Symbol::UpArrow, slot != R::kRaise), 0};
  if (slot >= R::kCannotRaise && slot < R::kCannotRaise + 2)
    return {SymbolButton(large ? 24 : 12, Symbol::Cross, slot != R::kCannotRaise), 0};
  if (slot >= R::kQuestStatus && slot < R::kQuestStatus + 3) {
    static const Symbol kStatus[3] = {Symbol::Tick, Symbol::Cross, Symbol::Minus};
    return {SymbolButton(large ? 18 : 14, kStatus[slot - R::kQuestStatus], false), 0};
  }
  if (slot == R::kHitBlow)  // a blow: red round a yellow heart
    return {HitBurst(large ? 64 : 40, Rgb565(90, 10, 6), Rgb565(226, 40, 28), Rgb565(252, 210, 70)), 0};
  if (slot == R::kHitDamage)  // poison: sickly green round a pale heart
    return {HitBurst(large ? 64 : 40, Rgb565(20, 50, 10), Rgb565(96, 176, 40), Rgb565(214, 236, 120)), 0};
  return NumberedTile(slot, large);
}

Art ArtFor(u32 slot, i32 mode) {
  const bool large = mode == kLargeMode;
  if (slot >= PictureRole::kPaperDoll && slot <= PictureRole::kDollOverlay9) return DollArt(slot, mode);
  for (u16 role : PictureRole::kAll)
    if (slot == role) return RoleArt(slot, large);
  for (const NineSetArt& set : kNineSets)
    if (slot >= set.first && slot < set.first + 9u)
      return {NinePiece(int(slot - set.first), large ? set.largeBand : set.compactBand, set.run, set.style, set.keyed),
              0};
  for (const ThreeSetArt& set : kThreeSets)
    for (u16 first : {set.up, set.down})
      if (slot >= first && slot < first + 3u)
        return {ThreePiece(int(slot - first), large ? set.largeCap : set.compactCap, set.run,
                           large ? set.largeHeight : set.compactHeight, first == set.down, true),
                0};
  for (const ButtonArt& b : kButtons)
    if (slot == b.up || slot == b.up + 1u)
      return {SymbolButton(large ? b.largeSize : b.compactSize, b.symbol, slot != b.up, b.inset), 0};
  if (slot == 0) return {Flagstones(32, 32), 2};
  if (slot == 262) return {imageenc::MakeNoise(16, 16, Rgb565(40, 44, 56), 8, 262), 0};  // the keyboard's tile
  if (slot == 277) {                                                                     // the empty item cell
    const int s = large ? 50 : 40;
    Art art{Picture(s, s, Rgb565(28, 26, 24)), 0};
    Outline(art.picture, 0, 0, s, s, Rgb565(90, 80, 70));
    Outline(art.picture, 1, 1, s - 2, s - 2, Rgb565(12, 10, 8));
    return art;
  }
  if (slot == 278) {  // the item marker, keyed
    Art art{Picture(10, 10, kClear), 0};
    for (int y = 0; y < 10; ++y) {
      const int half = y < 5 ? y : 9 - y;
      Fill(art.picture, 4 - half, y, 2 + 2 * half, 1, Rgb565(250, 220, 60));
    }
    return art;
  }
  if (slot >= 301 && slot <= 312) {
    // Gauges: moving cap, body, fixed cap; vertical hit points (301) and spell points (304), then the
    // horizontal ones (307, 310). The body outlasts the longest track of any screen.
    const bool vertical = slot <= 306, spell = (slot - 301) / 3 % 2 == 1;
    const int piece = int((slot - 301) % 3);
    const int r = spell ? 50 : 200, g = spell ? 90 : 40, b = spell ? 220 : 40;
    return {GaugePiece(piece == 1 ? 120 : 3, 4, vertical, r, g, b, piece != 1), 0};
  }
  if (slot >= 313 && slot <= 315) {  // equipped, equippable, not usable
    const int s = large ? 10 : 8;
    const u16 colours[3] = {Rgb565(60, 200, 80), Rgb565(230, 200, 60), Rgb565(220, 50, 40)};
    Art art{Picture(s, s, colours[slot - 313]), 0};
    Outline(art.picture, 0, 0, s, s, Rgb565(0, 0, 0));
    return art;
  }
  if (slot >= 320 && slot <= 388) return Automap(slot - 320, large);
  if (slot == 395 || slot == 396) {  // the world map's player and target markers
    const int s = large ? 12 : 8;
    if (slot == 395) return {PositionMark(s), 0};
    Art art{Picture(s, s, kClear), 0};
    DrawSymbol(art.picture, Symbol::Cross, 0, Rgb565(250, 230, 60));
    return art;
  }
  return NumberedTile(slot, large);
}

// ---- the main menu's pictures ----

// A vertical blend from the top colour to the bottom one.
void Gradient(Picture& p, int r0, int g0, int b0, int r1, int g1, int b1) {
  for (int y = 0; y < p.height; ++y) {
    const int t = p.height > 1 ? 256 * y / (p.height - 1) : 0;
    Fill(p, 0, y, p.width, 1, Rgb565(r0 + (r1 - r0) * t / 256, g0 + (g1 - g0) * t / 256, b0 + (b1 - b0) * t / 256));
  }
}

// A ridge of hills across the picture: its height at column x follows a few overlaid waves.
void Ridge(Picture& p, int base, int amplitude, int seed, u16 c) {
  for (int x = 0; x < p.width; ++x) {
    const int a = (x * 3 + seed * 17) % 97, b = (x * 7 + seed * 31) % 61;
    const int wave = (a < 49 ? a : 97 - a) + (b < 31 ? b : 61 - b);
    Fill(p, x, base - wave * amplitude / 80, 1, p.height, c);
  }
}

// The four pictures of the main menu and the loading screen (slots 420 to 423): a dusk over the marsh
// across the top, a watchtower and reeds below it, and the keyed title with the moon over them.
Art MenuArt(u32 slot, bool large) {
  if (slot == 420) {
    Art art{Picture(320, 128), 0};
    Picture& p = art.picture;
    Gradient(p, 24, 20, 60, 190, 96, 70);
    Ridge(p, 100, 40, 1, Rgb565(60, 44, 70));
    Ridge(p, 118, 24, 2, Rgb565(30, 26, 40));
    return art;
  }
  if (slot == 421 || slot == 422) {
    Art art{Picture(160, 192), 0};
    Picture& p = art.picture;
    Gradient(p, 190, 96, 70, 40, 36, 46);
    Fill(p, 0, 150, 160, 42, Rgb565(30, 44, 40));  // the marsh
    for (int x = 4; x < 160; x += 9) Fill(p, x, 150 + (x * 7) % 9, 1, 20, Rgb565(50, 70, 48));
    if (slot == 421) {
      // The watchtower stands at the far left, beside the menu's framed list, which is centred on every
      // layout: its lit window stays in sight.
      Fill(p, 4, 40, 30, 120, Rgb565(36, 30, 34));
      for (int x = 0; x < 40; x += 10) Fill(p, x, 32, 6, 10, Rgb565(36, 30, 34));
      Fill(p, 15, 70, 8, 12, Rgb565(240, 200, 90));
    } else {  // reeds and a pool
      Fill(p, 20, 164, 120, 12, Rgb565(60, 80, 110));
      for (int x = 10; x < 150; x += 6) Fill(p, x, 110 + (x * 13) % 30, 2, 60, Rgb565(24, 34, 24));
    }
    return art;
  }
  // The title, keyed over the others; as large as the control that shows it on its family's screens. The
  // moon rises by its last letter: drawn here, at the title's own size, it stays round on every layout,
  // where the sky is stretched to each layout's shape.
  const int w = large ? 320 : 160, h = large ? 96 : 48, scale = large ? 8 : 4;
  Art art{Picture(w, h, kClear), 0};
  Picture& p = art.picture;
  const int r = large ? 14 : 7, cx = w - r - 2, cy = r + 2;
  for (int y = -r; y <= r; ++y)  // a waxing crescent: the disc less a disc to its left
    for (int x = -r; x <= r; ++x) {
      const int sx = x + r * 3 / 5, sy = y + r / 5;
      if (x * x + y * y <= r * r && sx * sx + sy * sy > r * r * 7 / 10)
        Set(p, cx + x, cy + y,
            x * x + y * y > (r - 2) * (r - 2) && x > 0 ? Rgb565(214, 196, 150) : Rgb565(246, 236, 196));
    }
  DrawCentredText(p, "DUSKMIRE", Rgb565(20, 12, 8), scale);
  DrawText(p, (w - TextWidth("DUSKMIRE", scale)) / 2 - scale / 2, (h - 5 * scale) / 2 - scale / 2, "DUSKMIRE",
           Rgb565(240, 200, 110), scale);
  return art;
}

// ---- the card game's pictures ----

// Sizes by family: a card (its frame and back), the picture on the frame (also a marker), the give-up
// button, and the scale at which the art sources' card symbols and deck emblems are drawn; the marks, the
// hit picture and the background tile serve both.
struct CardSizes {
  int cardW, cardH, artW, artH, buttonW, buttonH, symbolScale;
};
constexpr CardSizes kCompactCards{40, 56, 24, 36, 48, 18, 1};
constexpr CardSizes kLargeCards{64, 88, 44, 64, 80, 28, 2};

// A card's symbol in the art sources (card_<name>) and its border on the card's picture.
constexpr int kCardSymbolW = 20, kCardSymbolH = 28, kCardBorder = 2;
static_assert(kCompactCards.artW >= kCardSymbolW * kCompactCards.symbolScale + 2 * kCardBorder &&
              kCompactCards.artH >= kCardSymbolH * kCompactCards.symbolScale + 2 * kCardBorder);
static_assert(kLargeCards.artW >= kCardSymbolW * kLargeCards.symbolScale + 2 * kCardBorder &&
              kLargeCards.artH >= kCardSymbolH * kLargeCards.symbolScale + 2 * kCardBorder);

// The deck's colours: warrior rust, sorcerer blue, necromancer green.
constexpr int kDeckColours[SCardSet::kDecks][3] = {{150, 70, 40}, {50, 80, 170}, {60, 120, 70}};

// The art sources' name of a card's symbol: "card_" and the card's name in lower case, each run of other
// characters than letters and digits one underscore ("Will-o'-the-wisp": card_will_o_the_wisp).
std::string CardSymbolName(const char* name) {
  std::string out = "card_";
  bool gap = false;
  for (const char* c = name; *c; ++c) {
    const char ch = *c;
    if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z')) {
      if (gap && out.back() != '_') out += '_';
      out += ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch;
      gap = false;
    } else {
      gap = true;
    }
  }
  return out;
}

// Draws a picture of the art sources over p at (x, y), each pixel k x k; its clear pixels leave p.
void Stamp(Picture& p, const Picture& art, int x, int y, int k) {
  for (int j = 0; j < art.height * k; ++j)
    for (int i = 0; i < art.width * k; ++i)
      if (const u16 c = art.at(i / k, j / k); c != kClear) Set(p, x + i, y + j, c);
}

// A card's own picture: the symbol of what it does (data/sample/art/cards.art), centred on a pale ground
// of the deck's colour inside a border of that colour, so that a hand shows at a glance what each card
// does and the deck it belongs to; the name and text show when the card is tapped.
bool CardArt(Context& context, u32 deck, u32 index, const CardSizes& z, Art& out) {
  const SCardRow* row = SCardSet::Row(deck, index);
  const int* c = kDeckColours[deck];
  Picture symbol;
  if (!DrawArt(context, "card pictures: " + std::string(row->name), CardSymbolName(row->name), symbol, kCardSymbolW,
               kCardSymbolH))
    return false;
  out = Art{Picture(z.artW, z.artH,
                    Rgb565(c[0] + (255 - c[0]) * 3 / 5, c[1] + (255 - c[1]) * 3 / 5, c[2] + (255 - c[2]) * 3 / 5)),
            0};
  for (int b = 0; b < kCardBorder; ++b)
    Outline(out.picture, b, b, z.artW - 2 * b, z.artH - 2 * b, Rgb565(c[0], c[1], c[2]));
  const int k = z.symbolScale;
  Stamp(out.picture, symbol, (z.artW - kCardSymbolW * k) / 2, (z.artH - kCardSymbolH * k) / 2, k);
  return true;
}

// A keyed card-sized picture with rounded corners, filled.
Picture CardShape(int w, int h, u16 fill, u16 edge) {
  Picture p(w, h, fill);
  Outline(p, 0, 0, w, h, edge);
  for (int cx : {0, w - 1})
    for (int cy : {0, h - 1}) Set(p, cx, cy, kClear);
  return p;
}

// The ship travel dialog's voyage picture: a ship under sail between sky and sea, in the shape of the
// picture's place on the upright screens (216 x 160), so that it is scaled evenly there.
Art ShipArt() {
  const int w = 108, h = 80;
  Art a{Picture(w, h), 0};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      a.picture.at(x, y) =
          y < 54 ? Shade(90, 140, 200, y / 4) : Shade(20, 60, 110, ((x * 3 + y * 7) % 13 < 3) ? 12 : 0);
  Fill(a.picture, 24, 46, 60, 10, Rgb565(110, 70, 40));  // the hull
  Fill(a.picture, 30, 56, 48, 4, Rgb565(80, 50, 30));
  Fill(a.picture, 53, 12, 3, 34, Rgb565(70, 45, 25));                                                // the mast
  for (int y = 14; y < 44; ++y) Fill(a.picture, 56, y, (y - 12) * 2 / 3, 1, Rgb565(235, 230, 210));  // the sail
  return a;
}

// A deck's back: the deck's colour with its emblem from the art sources (cardback_<deck>: crossed swords,
// a star, a skull).
bool CardBackArt(Context& context, u32 deck, const CardSizes& z, Art& out) {
  const int* c = kDeckColours[deck];
  out = Art{CardShape(z.cardW, z.cardH, Shade(c[0], c[1], c[2], -30), Rgb565(240, 220, 150)), 0};
  Picture& p = out.picture;
  for (int y = 3; y < z.cardH - 3; ++y)
    for (int x = 3; x < z.cardW - 3; ++x)
      if ((x + y) % 6 == 0 || (x - y + 600) % 6 == 0) p.at(x, y) = Shade(c[0], c[1], c[2], 10);
  Picture emblem;
  if (!DrawArt(context, "card pictures: the backs", std::string("cardback_") + SCardSet::DeckName(deck), emblem))
    return false;
  const int k = z.symbolScale, x = (z.cardW - emblem.width * k) / 2, y = (z.cardH - emblem.height * k) / 2;
  Fill(p, x - k, y - k, (emblem.width + 2) * k, (emblem.height + 2) * k, Shade(c[0], c[1], c[2], -30));
  Stamp(p, emblem, x, y, k);
  return true;
}

Art CardScreenArt(u32 role, const CardSizes& z, bool large) {
  const int k = large ? 2 : 1;
  switch (role) {
    case kCardBackground: {
      Art a{Picture(32, 32), 0};
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) a.picture.at(x, y) = Shade(24, 60, 40, ((x * 5 + y * 3) % 11 < 2) ? 10 : 0);
      return a;
    }
    case kCardMarkerFrame:
    case kCardPlainFrame: {
      const bool plain = role == kCardPlainFrame;
      const u16 metal = plain ? Rgb565(210, 170, 70) : Rgb565(170, 180, 195);
      Art a{CardShape(z.cardW, z.cardH, metal, Rgb565(40, 30, 20)), 0};
      // Marks under the picture tell instant and combo cards (one) from markers (three).
      const int marks = plain ? 1 : 3, y = z.cardH - 4 * k - 2;
      for (int i = 0; i < marks; ++i)
        Fill(a.picture, z.cardW / 2 - (marks * 4 * k) / 2 + i * 4 * k, y, 3 * k, 3 * k, Rgb565(60, 40, 20));
      return a;
    }
    case kCardEmptyPile:
    case kCardEmptyMarker: {
      const bool pile = role == kCardEmptyPile;
      const int w = pile ? z.cardW : z.artW, h = pile ? z.cardH : z.artH;
      Art a{Picture(w, h, kClear), 0};
      for (int x = 0; x < w; ++x)
        if (x % 4 < 2) Set(a.picture, x, 0, Rgb565(120, 160, 130)), Set(a.picture, x, h - 1, Rgb565(120, 160, 130));
      for (int y = 0; y < h; ++y)
        if (y % 4 < 2) Set(a.picture, 0, y, Rgb565(120, 160, 130)), Set(a.picture, w - 1, y, Rgb565(120, 160, 130));
      return a;
    }
    case kCardGiveUpUp:
    case kCardGiveUpDown: {
      const bool down = role == kCardGiveUpDown;
      Art a{Picture(z.buttonW, z.buttonH, down ? Rgb565(90, 40, 30) : Rgb565(150, 60, 40)), 0};
      Outline(a.picture, 0, 0, z.buttonW, z.buttonH, down ? Rgb565(40, 20, 10) : Rgb565(230, 180, 150));
      const int scale = large ? 2 : 1;
      DrawText(a.picture, (z.buttonW - TextWidth("GIVE UP", scale)) / 2 + (down ? 1 : 0),
               (z.buttonH - 5 * scale) / 2 + (down ? 1 : 0), "GIVE UP", Rgb565(250, 240, 210), scale);
      return a;
    }
    case kCardStruckMark: {
      Art a{Picture(12, 12, kClear), 0};
      for (int i = 0; i < 12; ++i) {
        Fill(a.picture, i, i, 2, 1, Rgb565(240, 50, 40));
        Fill(a.picture, 10 - i, i, 2, 1, Rgb565(240, 50, 40));
      }
      return a;
    }
    case kCardActiveMark: {
      Art a{Picture(12, 12, kClear), 0};
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
          const int dx = 2 * x - 11, dy = 2 * y - 11;
          if (dx * dx + dy * dy <= 100) a.picture.at(x, y) = Rgb565(250, 220, 60);
        }
      return a;
    }
    default: {  // the hit picture: a red burst
      const int s = 32;
      Art a{Picture(s, s, kClear), 0};
      for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
          const int dx = 2 * x - s + 1, dy = 2 * y - s + 1;
          const int r2 = dx * dx + dy * dy, spike = (std::abs(dx) < s / 5 || std::abs(dy) < s / 5) ? s * s : s * s / 4;
          if (r2 < spike) a.picture.at(x, y) = r2 < s * s / 10 ? Rgb565(250, 230, 120) : Rgb565(220, 40, 30);
        }
      return a;
    }
  }
}

// ---- the front door's pictures: logo, death, scene frame and buttons, race pictures ----

// The logo written along its strokes with a three-pixel pen, so that uncovering the points reveals it.
Picture LogoPicture(bool compact, bool finished) {
  auto at = [&](i16 c) { return compact ? CompactLogoCoordinate(c) : c; };
  const int w = at(248) + 3, h = at(81) + 3;
  Picture p(w, h, 0);
  const u16 gold = Rgb565(236, 196, 96), deep = Rgb565(150, 96, 40);
  for (const SLogoStroke& stroke : LogoStrokes())
    for (u32 i = 0; i < stroke.count; ++i) {
      // The pen joins a point to the next, so the revealed blocks meet along the line.
      const int x0 = at(stroke.points[i][0]), y0 = at(stroke.points[i][1]);
      const int x1 = i + 1 < stroke.count ? at(stroke.points[i + 1][0]) : x0;
      const int y1 = i + 1 < stroke.count ? at(stroke.points[i + 1][1]) : y0;
      const int n = std::max({std::abs(x1 - x0), std::abs(y1 - y0), 1});
      for (int k = 0; k <= n; ++k) {
        const int x = x0 + (x1 - x0) * k / n, y = y0 + (y1 - y0) * k / n;
        if (finished) Fill(p, x + 1, y + 1, 3, 3, deep);
        Fill(p, x, y, 3, 3, gold);
      }
    }
  return p;
}

Art FrontDoorArt(u16 id) {
  const bool compact = id >= 4033 && id <= 4035;
  if (id == 3521 || id == 4033) return {LogoPicture(compact, true), 0};
  if (id == 3522 || id == 4034) return {LogoPicture(compact, false), 0};
  if (id == 3523 || id == 4035) {
    const int scale = compact ? 2 : 3;
    Art art{Picture(TextWidth("A TALE OF THE MARSH", scale) + 8, 5 * scale + 8, 0), 0};
    DrawCentredText(art.picture, "A TALE OF THE MARSH", Rgb565(170, 170, 180), scale);
    return art;
  }
  if (id >= 3524 && id <= 3527) {  // sparkles: small stars, keyed
    static const u16 colours[4] = {Rgb565(255, 255, 255), Rgb565(255, 240, 160), Rgb565(200, 230, 255),
                                   Rgb565(255, 200, 120)};
    Art art{Picture(7, 7, kClear), 0};
    const u16 c = colours[id - 3524];
    Fill(art.picture, 3, 0, 1, 7, c);
    Fill(art.picture, 0, 3, 7, 1, c);
    for (int d = 1; d < 3; ++d) {
      Set(art.picture, 3 - d, 3 - d, c);
      Set(art.picture, 3 + d, 3 + d, c);
      Set(art.picture, 3 - d, 3 + d, c);
      Set(art.picture, 3 + d, 3 - d, c);
    }
    return art;
  }
  if (id >= 3540 && id <= 3548) {  // the scene frame: nine pieces
    const Style style{Rgb565(20, 16, 12), Rgb565(200, 170, 110), Rgb565(140, 110, 70), Rgb565(80, 60, 40),
                      Rgb565(16, 16, 24)};
    return {NinePiece(int(id - 3540), 8, 16, style, false), 0};
  }
  return {Picture(2, 2), 0};
}

// The scene screen's buttons, pixel art of data/sample/art: the scene reads them as the faster scroll (up,
// down, disabled), the slower scroll (the same three), then the automatic turning's picture while it is
// off and while it is on. 16 pixels square on the compact screens, 24 on the large ones; no name for
// other records.
struct SceneButton {
  std::string name;
  int size = 0;
};

SceneButton SceneButtonArt(u16 id) {
  const bool compact = id >= 3847 && id <= 3854;
  if (!compact && (id < 3560 || id > 3567)) return {};
  static const char* const kNames[8][2] = {{"faster", ""}, {"faster", "_pressed"}, {"faster", "_disabled"},
                                           {"slower", ""}, {"slower", "_pressed"}, {"slower", "_disabled"},
                                           {"play", ""},   {"pause", ""}};
  const int size = compact ? 16 : 24;
  const auto& n = kNames[id - (compact ? 3847 : 3560)];
  return {std::string("scene_") + n[0] + std::to_string(size) + n[1], size};
}

// The rest dialog's fire: eight frames of flames over embers whose tongues rise and fall in turn, in a
// sooty hearth of stone. Opaque: the dialog draws its frames without a colour key.
Art FireArt(u16 id) {
  const int frame = int(id - 3062), w = 48, h = 48;
  Art art{Picture(w, h, Rgb565(22, 16, 14)), 0};
  Picture& p = art.picture;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool stone = x < 4 || x >= w - 4 || y < 4;
      if (!stone) continue;
      const int course = y / 4, offset = (course % 2) * 4;
      const bool joint = y % 4 == 3 || (x + offset) % 8 == 7 || (y < 4 && x % 8 == 7);
      p.at(x, y) = joint ? Rgb565(60, 56, 52) : Shade(130, 124, 116, ((x * 5 + y * 3) % 4) * 6);
    }
  Fill(p, 4, h - 3, w - 8, 3, Rgb565(46, 40, 36));  // the hearth stone
  Fill(p, 6, h - 8, w - 12, 6, Rgb565(90, 40, 20));
  for (int t = 0; t < 5; ++t) {
    // Each tongue's height follows the frame, out of step with its neighbours.
    const int height = 14 + ((frame + 3 * t) % 8) * 3, x = 8 + t * 7;
    for (int y = 0; y < height; ++y) {
      const int half = std::max(1, 4 - y * 4 / height);
      const u16 c = y < height / 3       ? Rgb565(255, 220, 90)
                    : y < 2 * height / 3 ? Rgb565(250, 140, 40)
                                         : Rgb565(200, 60, 20);
      Fill(p, x + 3 - half, h - 9 - y, 2 * half, 1, c);
    }
  }
  return art;
}

// Every record the front door reads by id: logo, death, scene frame and buttons, race pictures.
std::vector<u16> FrontDoorRecords() {
  std::vector<u16> ids;
  for (u16 id = 3518; id <= 3527; ++id) ids.push_back(id);
  for (u16 id = 4033; id <= 4035; ++id) ids.push_back(id);
  for (u16 id = 3540; id <= 3548; ++id) ids.push_back(id);
  for (u16 id = 3560; id <= 3567; ++id) ids.push_back(id);
  for (u16 id = 3847; id <= 3854; ++id) ids.push_back(id);
  for (u16 id = 3070; id <= 3074; ++id) ids.push_back(id);
  return ids;
}

// Encodes a picture as record id, unless data/sample/pictures/<id>.png replaces it, and checks it as the
// game checks pictures. False (with the fault reported) when it cannot be written.
bool WritePicture(Context& context, Archive& data, const std::filesystem::path& folder, u16 id, Art art) {
  const std::string at = "picture table: record " + std::to_string(id);
  const auto png = folder / (std::to_string(id) + ".png");
  if (std::filesystem::exists(png)) {
    std::string error;
    if (!imageenc::ReadPng(png.string(), art.picture, error)) {
      context.fail(png.string(), error);
      return false;
    }
    if (art.format != 0 && (art.picture.width % 2 || art.picture.height % 2)) {
      context.fail(png.string(), "block formats need even sizes");
      return false;
    }
  }
  return PutPicture(context, data, id, art.picture, art.format, at);
}

bool CheckRoles(Context& context, const std::string& where) {
  bool ok = true;
  for (u16 role : PictureRole::kAll) {
    const std::string at = where + ": role slot " + std::to_string(role);
    if (IsNamedSlot(role)) {
      context.fail(at, "is a slot the game names by number");
      ok = false;
    }
    if (!SPictureTable::RecordFor(role, kCompactMode) || !SPictureTable::RecordFor(role, kLargeMode)) {
      context.fail(at, "has no record in the picture table");
      ok = false;
    }
  }
  return ok;
}

void BuildPictures(Context& context) {
  const auto folder = context.source() / "pictures";
  const std::string where = "picture table";
  if (!CheckRoles(context, where)) return;
  Archive& data = context.archive("DuskmireData");
  if (data.type.empty()) data.type = "Data";
  if (data.creator.empty()) data.creator = kDataCreator;

  // Each record once, with the slot and family it is drawn for.
  std::map<u16, std::pair<u32, i32>> wanted;
  for (const SPictureRun& run : SPictureTable::Runs())
    for (u32 slot = run.firstSlot; slot < u32(run.firstSlot) + run.count; ++slot)
      for (i32 mode : {kCompactMode, kSquareSmallMode, kLargeMode}) {
        const u16 id = SPictureTable::RecordFor(slot, mode);
        const auto [it, added] = wanted.emplace(id, std::make_pair(slot, mode));
        if (!added && it->second.first != slot)
          return context.fail(where + ": record " + std::to_string(id),
                              "serves slots " + std::to_string(it->second.first) + " and " + std::to_string(slot));
      }

  for (const auto& [id, use] : wanted) {
    if (!WritePicture(context, data, folder, id, ArtFor(use.first, use.second))) return;
  }

  // The main menu's pictures, written as the picture table's are (one record may serve both families).
  std::set<u16> menuRecords;
  for (const SPictureRun& run : SPictureTable::MenuRuns())
    for (i32 mode : {kCompactMode, kLargeMode}) {
      const u16 id = SPictureTable::MenuRecordFor(run.firstSlot, mode);
      if (!menuRecords.insert(id).second) continue;
      if (!WritePicture(context, data, folder, id, MenuArt(run.firstSlot, mode == kLargeMode))) return;
    }

  // The click sounds, waves from their first byte: the first for selections and "Continue", the second
  // for confirming, cancelling and closing.
  const struct {
    u16 id;
    const char* name;
    double hz;
    int ms;
  } clicks[] = {{4031, "click-select", 1760.0, 25}, {4032, "click-confirm", 660.0, 45}};
  for (const auto& c : clicks) {
    if (!context.put(data, c.id, Wave({{"name", c.name}, {"hz", c.hz}, {"ms", c.ms}, {"bits", 16}}),
                     "click sounds: record " + std::to_string(c.id)))
      return;
  }

  // The card game: the 75 cards for both families, then the card screen's own pictures, each record once.
  std::set<u16> cardRecords;
  auto writeCard = [&](u16 id, const Art& art) {
    if (!cardRecords.insert(id).second) return true;
    return WritePicture(context, data, folder, id, art);
  };
  for (bool large : {false, true}) {
    const CardSizes& z = large ? kLargeCards : kCompactCards;
    const i32 mode = large ? kLargeMode : kCompactMode;
    for (u32 deck = 0; deck < SCardSet::kDecks; ++deck)
      for (u32 index = 0; index < SCardSet::kCardsPerDeck; ++index)
        if (Art art;
            !CardArt(context, deck, index, z, art) || !writeCard(SCardSet::PictureRecord(deck, index, mode), art))
          return;
    for (u32 role = 0; role < kCardScreenPictures; ++role) {
      Art art;
      if (role >= kCardBackFirst && role < kCardBackFirst + SCardSet::kDecks) {
        if (!CardBackArt(context, role - kCardBackFirst, z, art)) return;
      } else {
        art = CardScreenArt(role, z, large);
      }
      if (!writeCard(CardScreenRecord(role, !large), art)) return;
    }
  }

  // The death screen's banners and grave and the race pictures are pixel art of data/sample/art.
  static const struct {
    u16 id;
    const char* name;
    int width, height;
  } kDrawn[] = {{3518, "death_bannertop", 240, 112},   {3519, "death_grave", 240, 128},
                {3520, "death_bannerbottom", 240, 80}, {3070, "race_rasvim", 64, 80},
                {3071, "race_etherim", 64, 80},        {3072, "race_seiry", 64, 80},
                {3073, "race_derth", 64, 80},          {3074, "race_nogur", 64, 80}};
  for (u16 id : FrontDoorRecords()) {
    Art art = FrontDoorArt(id);
    for (const auto& d : kDrawn)
      if (d.id == id &&
          !DrawArt(context, where + ": record " + std::to_string(id), d.name, art.picture, d.width, d.height))
        return;
    if (const SceneButton b = SceneButtonArt(id);
        !b.name.empty() &&
        !DrawArt(context, where + ": record " + std::to_string(id), b.name, art.picture, b.size, b.size))
      return;
    if (!WritePicture(context, data, folder, id, art)) return;
  }
  for (u16 id = 3062; id <= 3069; ++id)
    if (!WritePicture(context, data, folder, id, FireArt(id))) return;
  // The ship travel dialog's picture, one record for every screen.
  if (!WritePicture(context, data, folder, SDialogShipTravel::kShipPictureRecord, ShipArt())) return;
}

}  // namespace

WORLDBUILD_STEP(12, "interface pictures", BuildPictures);

}  // namespace worldbuild
