// Renders the font strips of "DuskmireData" (records 3010 to 3014) with FreeType into the fixed glyph
// columns of the game's compiled-in glyph tables: format 0 images whose pixels are 0 (transparent), 1 to 3
// (the three shades of the selected text colour, from solid to faint) or an index into the strip's own
// palette for fixed colours (the coin).
#include "BuildStep.h"
#include "ImageEncode.h"

#include "foundation/SDatabase.h"
#include "graphics/SFont.h"
#include "graphics/SFontTables.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <utility>

namespace worldbuild {
namespace {

constexpr const char* kFontDir = DUSKMIRE_FONT_DIR;

// Palette entries of the fixed colours; 0 to 3 are never read (transparency and the shades).
constexpr u8 kGold = 4, kGoldDark = 5, kGoldLight = 6;

struct Face {
  FT_Face face = nullptr;
  ~Face() {
    if (face) FT_Done_Face(face);
  }
};

// Unicode of a character code of the game's 8-bit texts (Windows-1252 above 127), with the game's own
// special glyphs mapped to symbols.
u32 CodePoint(u32 code) {
  static const u16 k1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2190, 0x2192, 0x201C, 0x2022, 0x2013,
                                0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, 0};
  switch (code) {
    case 11: return 0;        // a narrow blank: it shares the blank's columns
    case 145: return 0x2190;  // backspace
    case 146: return 0x2192;
    case 147: return 0x21B5;
    case 148: return 0x2022;  // bullet
    case 141: return 0x2191;
    case 143: return 0x2193;
    case 176: return 0x2665;
    case 177: return 0x2666;
    case 178: return 0x2663;
    case 179: return 0x2660;
    case 180: return 0x263C;
    case 181: return 0x2605;  // the magic-item marks
    case 182: return 0x25C6;
    default: break;
  }
  if (code >= 32 && code < 127) return code;
  if (code >= 128 && code < 160) return k1252[code - 128];
  if (code >= 160) return code;
  return 0;
}

// The character a small-number glyph stands for (codes 14 to 29, 130 to 135 and 160 to 169), or 0.
u32 NumberGlyph(u32 code) {
  static const char kSigns[] = "KMB%-+";
  if (code >= 14 && code <= 23) return '0' + (code - 14);
  if (code >= 24 && code <= 29) return static_cast<u8>(kSigns[code - 24]);
  if (code >= 160 && code <= 169) return '0' + (code - 160);
  if (code >= 130 && code <= 135) return static_cast<u8>(kSigns[code - 130]);
  return 0;
}

u8 ShadeOf(u8 coverage) {
  if (coverage >= 160) return 1;
  if (coverage >= 96) return 2;
  if (coverage >= 48) return 3;
  return 0;
}

// A glyph rendered into its own cell: shades row by row, `width` columns a row.
struct Cell {
  int width = 0, height = 0;
  std::vector<u8> shades;
  u8& at(int x, int y) { return shades[static_cast<size_t>(y) * width + x]; }
  // The first and one past the last column (or row) with ink; first == last when there is none.
  std::pair<int, int> InkColumns() const { return InkSpan(false); }
  std::pair<int, int> InkRows() const { return InkSpan(true); }
  std::pair<int, int> InkSpan(bool rows) const {
    int first = rows ? height : width, last = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (shades[static_cast<size_t>(y) * width + x]) {
          first = std::min(first, rows ? y : x);
          last = std::max(last, (rows ? y : x) + 1);
        }
    return first < last ? std::make_pair(first, last) : std::make_pair(0, 0);
  }
};

// The capital I and its accented forms.
bool IsCapitalI(u32 codePoint) { return codePoint == 'I' || (codePoint >= 0xCC && codePoint <= 0xCF); }

// Whether a character is drawn across its whole cell: letters and digits. The game sets glyphs one column
// apart in cells of its own fixed widths, most capitals far wider than the face draws them: ink kept to its
// natural width leaves blank columns that read as a gap inside a word ("L oad", "E xit"). Strokes (i, l,
// the capital I, which gets serifs instead), signs and symbols keep their shape and are centred.
bool FillsItsCell(u32 codePoint) {
  if (codePoint == 'i' || codePoint == 'l' || IsCapitalI(codePoint) || (codePoint >= 0xEC && codePoint <= 0xEF))
    return false;
  if ((codePoint >= '0' && codePoint <= '9') || (codePoint >= 'A' && codePoint <= 'Z') ||
      (codePoint >= 'a' && codePoint <= 'z'))
    return true;
  if (codePoint >= 0xC0 && codePoint <= 0xFF) return codePoint != 0xD7 && codePoint != 0xF7;
  for (u32 c : {0x152u, 0x153u, 0x160u, 0x161u, 0x178u, 0x17Du, 0x17Eu, 0x192u})
    if (codePoint == c) return true;
  return false;
}

// Loads and renders the character narrowed or widened by `scale`; false when the face cannot.
bool LoadScaled(FT_Face face, u32 codePoint, double scale) {
  FT_Matrix m = {static_cast<FT_Fixed>(scale * 65536), 0, 0, 0x10000};
  FT_Set_Transform(face, &m, nullptr);
  return !FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL);
}

// The first and one past the last column of the rendered glyph's ink as it will show (the faintest
// coverage is left out); first >= last when there is none.
std::pair<int, int> SlotInk(const FT_Bitmap& bm) {
  int first = static_cast<int>(bm.width), last = 0;
  for (int r = 0; r < static_cast<int>(bm.rows); ++r)
    for (int c = 0; c < static_cast<int>(bm.width); ++c)
      if (ShadeOf(bm.buffer[r * bm.pitch + c])) first = std::min(first, c), last = std::max(last, c + 1);
  return {first, last};
}

// How far a glyph may be widened to fill its cell (the capitals of the small sans face need twice their
// width), and how far narrowed when the face draws it wider than its cell.
constexpr double kMostWidened = 2.5, kMostNarrowed = 0.5;

// Renders one character into a cell `width` wide with its baseline at row `baseline`. A glyph that fills
// its cell is widened or narrowed until its ink spans the cell; any other is stretched or narrowed so that
// its advance fits the cell. A glyph whose ink then leaves two or more columns of its cell blank is
// centred in it.
Cell RenderGlyph(FT_Face face, u32 codePoint, int width, int height, int baseline) {
  Cell cell{width, height, std::vector<u8>(static_cast<size_t>(width) * height, 0)};
  if (!codePoint) return cell;
  FT_Set_Transform(face, nullptr, nullptr);
  if (FT_Load_Char(face, codePoint, FT_LOAD_DEFAULT)) return cell;
  const double advance = face->glyph->advance.x / 64.0;
  double scale = std::clamp(advance > 0 ? (width + 1) / advance : 1.0, 0.6, 1.6);
  // A glyph that fills its cell keeps one blank column in front when the face gives it a left bearing of a
  // pixel or more, so that a stem after a stem, and a word after a frame's line, keep the face's spacing.
  int lead = -1;
  if (FillsItsCell(codePoint) && width > 0 && LoadScaled(face, codePoint, 1.0)) {
    const auto [first, last] = SlotInk(face->glyph->bitmap);
    lead = width >= 4 && first < last && face->glyph->bitmap_left + first >= 1 ? 1 : 0;
    const int target = width - lead;
    // The widest rendering whose ink still fits, by halving: the ink's width follows the scale only roughly
    // (rounding, the faint edge columns), but it does not shrink as the scale grows.
    double best = 0, lo = kMostNarrowed, hi = kMostWidened;
    for (int step = 0; step < 12 && first < last; ++step) {
      const double s = (lo + hi) / 2;
      if (!LoadScaled(face, codePoint, s)) break;
      const auto [f, l] = SlotInk(face->glyph->bitmap);
      if (l - f <= target) {
        best = s;
        lo = s;
      } else {
        hi = s;
      }
    }
    if (best > 0) scale = best;
  }
  if (!LoadScaled(face, codePoint, scale)) return cell;
  const FT_GlyphSlot g = face->glyph;
  const FT_Bitmap& bm = g->bitmap;
  const int top = baseline - g->bitmap_top;
  const auto [inkFirst, inkLast] = SlotInk(bm);
  if (inkFirst >= inkLast) return cell;
  const int ink = inkLast - inkFirst;
  // Keep the glyph's own left bearing (or its one blank column) when the ink fits the cell with at most one
  // column to spare, else centre the ink (a glyph wider than the cell loses its right edge).
  int left = lead >= 0 ? std::min(lead, width - ink) : g->bitmap_left + inkFirst;
  if (ink > width || left < 0 || left + ink > width || width - ink >= 2) left = std::max(0, (width - ink) / 2);
  for (int r = 0; r < static_cast<int>(bm.rows); ++r) {
    const int y = top + r;
    if (y < 0 || y >= height) continue;
    for (int c = inkFirst; c < inkLast; ++c) {
      const int x = left + c - inkFirst;
      if (x >= width) break;
      if (const u8 v = ShadeOf(bm.buffer[r * bm.pitch + c])) cell.at(x, y) = v;
    }
  }
  return cell;
}

// The capital I and its accented forms are a bare stem in the sans faces, much narrower than the cells the
// game gives them: they get serifs across the cell at the top and the foot of the stem (the rows of the
// face's plain I), as thick as a third of the stem, so that the letter fills its cell. An I that fills its
// cell already is left as it is.
void AddSerifs(Cell& cell, const Cell& plainI) {
  const auto [first, last] = cell.InkColumns();
  const auto [top, foot] = plainI.InkRows();
  const auto [stemFirst, stemLast] = plainI.InkColumns();
  if (first >= last || top >= foot || cell.width - (last - first) < 2) return;
  const int thick = std::max(1, (stemLast - stemFirst) / 3);
  for (int t = 0; t < thick; ++t)
    for (int x = 0; x < cell.width; ++x) {
      cell.at(x, top + t) = 1;
      cell.at(x, foot - 1 - t) = 1;
    }
}

void PutCell(const Cell& cell, std::vector<u8>& pixels, int stripWidth, int start) {
  for (int y = 0; y < cell.height; ++y)
    for (int x = 0; x < cell.width; ++x)
      if (const u8 v = cell.shades[static_cast<size_t>(y) * cell.width + x])
        pixels[static_cast<size_t>(y) * stripWidth + start + x] = v;
}

void DrawCoin(std::vector<u8>& pixels, int stripWidth, int stripHeight, int start, int width, int baseline) {
  const int d = std::min(width, std::max(4, baseline - 2));
  const double r = d / 2.0, cx = start + (width - d) / 2.0 + r, cy = baseline - r;
  for (int y = 0; y < stripHeight; ++y) {
    for (int x = start; x < start + width; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, q = std::sqrt(dx * dx + dy * dy);
      if (q > r) continue;
      u8 v = q > r - 1.2 ? kGoldDark : (dx + dy < -r / 2 ? kGoldLight : kGold);
      pixels[static_cast<size_t>(y) * stripWidth + x] = v;
    }
  }
}

std::vector<u16> StripPalette() {
  std::vector<u16> palette(256);
  palette[0] = 0;
  palette[1] = 0xFFFF;
  palette[2] = imageenc::Rgb565(170, 170, 170);
  palette[3] = imageenc::Rgb565(85, 85, 85);
  palette[kGold] = imageenc::Rgb565(232, 184, 48);
  palette[kGoldDark] = imageenc::Rgb565(140, 96, 16);
  palette[kGoldLight] = imageenc::Rgb565(255, 236, 140);
  for (int i = 7; i < 256; ++i) palette[i] = imageenc::Rgb565(i, i, i);
  return palette;
}

void BuildFonts(Context& context) {
  const auto source = context.source() / "fonts" / "fonts.json";
  const std::string where = source.string();
  std::ifstream in(source);
  if (!in) return context.fail(where, "cannot be read");
  nlohmann::json doc = nlohmann::json::parse(in, nullptr, false);
  if (doc.is_discarded() || !doc.contains("strips") || !doc["strips"].is_array())
    return context.fail(where, "not JSON with a \"strips\" array");

  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library)) return context.fail(where, "FreeType cannot start");
  Archive& data = context.archive("DuskmireData");
  if (data.type.empty()) data.type = "Data";
  if (data.creator.empty()) data.creator = kDataCreator;

  bool seen[5] = {};
  for (const auto& strip : doc["strips"]) {
    const u32 record = strip.value("record", 0u);
    const SFontStripInfo* info = FontStripInfo(record);
    const std::string at = where + ": strip " + std::to_string(record);
    if (!info) {
      context.fail(at, "\"record\" must be one of 3010 to 3014");
      continue;
    }
    seen[record - 3010] = true;
    Face text, numbers;
    const std::string faceName = strip.value("face", ""), numberName = strip.value("numbers", faceName);
    const int size = strip.value("size", 0), numberSize = strip.value("numberSize", size);
    if (size <= 0 || size > info->lineHeight || numberSize <= 0 || numberSize > info->lineHeight) {
      context.fail(at, "\"size\" and \"numberSize\" must be 1 to the line height " + std::to_string(info->lineHeight));
      continue;
    }
    if (FT_New_Face(library, (std::string(kFontDir) + "/" + faceName).c_str(), 0, &text.face) ||
        FT_New_Face(library, (std::string(kFontDir) + "/" + numberName).c_str(), 0, &numbers.face)) {
      context.fail(at, "font face \"" + faceName + "\" or \"" + numberName + "\" not found in " + kFontDir);
      continue;
    }
    FT_Set_Pixel_Sizes(text.face, 0, static_cast<FT_UInt>(size));
    FT_Set_Pixel_Sizes(numbers.face, 0, static_cast<FT_UInt>(numberSize));

    // The strip is exactly as tall as a line (glyphs are drawn with all strip rows) and as wide as the
    // widest glyph end of the table, raised to even.
    const int height = info->lineHeight;
    int width = static_cast<int>(FontStripMinWidth(*info));
    width += width & 1;
    const int ascender = static_cast<int>(text.face->size->metrics.ascender >> 6);
    const int descender = static_cast<int>(-(text.face->size->metrics.descender >> 6));
    const int baseline = std::min(height - 1, std::max(1, (height - ascender - descender) / 2 + ascender));
    std::vector<u8> pixels(static_cast<size_t>(width) * height, 0);
    // The plain I in the cell the table gives it: its stem's rows and width place the serifs.
    const GlyphEntry* plain = nullptr;
    for (u32 i = 0; i < info->count; ++i)
      if (info->entries[i].code == 'I') plain = &info->entries[i];
    const Cell plainI = RenderGlyph(text.face, 'I', plain ? plain->width : 0, height, baseline);
    for (u32 i = 0; i < info->count; ++i) {
      const GlyphEntry& e = info->entries[i];
      if (!e.width) continue;
      if (e.code == 9) {
        DrawCoin(pixels, width, height, e.start, e.width, baseline);
      } else if (u32 n = NumberGlyph(e.code)) {
        PutCell(RenderGlyph(numbers.face, n, e.width, height, baseline), pixels, width, e.start);
      } else if (e.code != 12) {
        Cell cell = RenderGlyph(text.face, CodePoint(e.code), e.width, height, baseline);
        if (IsCapitalI(CodePoint(e.code))) AddSerifs(cell, plainI);
        PutCell(cell, pixels, width, e.start);
      }
    }
    std::vector<u8> bytes = imageenc::EncodeIndexed(width, height, pixels, StripPalette());
    // The game's own check of a strip, on an aligned copy as the game reads it.
    std::vector<u16> aligned((bytes.size() + 1) / 2);
    std::memcpy(aligned.data(), bytes.data(), bytes.size());
    const SImage* image =
        SFont::CheckStrip(reinterpret_cast<const u8*>(aligned.data()), static_cast<u32>(bytes.size()));
    if (!image || static_cast<u32>(image->width) < FontStripMinWidth(*info) || image->height > info->lineHeight) {
      context.fail(at, "the rendered strip does not pass the game's strip check");
      continue;
    }
    context.put(data, static_cast<u16>(record), std::move(bytes), at);
  }
  FT_Done_FreeType(library);
  for (int i = 0; i < 5; ++i)
    if (!seen[i]) context.fail(where, "no strip for record " + std::to_string(3010 + i));
}

}  // namespace

WORLDBUILD_STEP(10, "font strips", BuildFonts);

}  // namespace worldbuild
