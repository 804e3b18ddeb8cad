// The game's text engine: three proportional bitmap fonts cut from strip images of "DuskmireData", a choice
// of font and colours with three shades from the text colour toward an edge colour, measuring, word
// wrapping and boxed drawing of 8-bit texts whose line break is "\r".
#pragma once
#include "foundation/SRecordData.h"
#include "graphics/SDraw2D.h"
#include "graphics/STextObserver.h"

#include <vector>

class SDatabase;
class SDisplay;
class SDisplayHost;
class SString;

class SFont {
 public:
  static constexpr u32 kLineBufferSize = 1000;

  SFont();
  ~SFont();
  SFont(const SFont&) = delete;
  SFont& operator=(const SFont&) = delete;

  // Builds the three fonts for the host's display mode and loads their strips from the database. False
  // when a strip is missing or unusable: the game cannot show text then.
  bool Create(SDisplayHost* host, SDisplay* display, SDatabase* data);
  // Builds the tables as Create, taking the strips from records given by the caller (tools and tests).
  // Each record is adopted; false when one is unusable.
  bool CreateWithStrips(SDisplayHost* host, SDisplay* display, SRecordData* strips[3]);
  bool IsUsable() const;
  // Reads font index's strip record from the database unless it is loaded; false when it is unusable.
  bool LoadStrip(i32 index, SDatabase* data);

  void Select(i32 index, u32 textColour, u32 edgeColour);
  void ComputeShades();
  i32 GlyphWidth(u32 c) const { return current_ ? current_->width[c & 255] : 0; }
  i32 LineHeight() const { return current_ ? current_->lineHeight : 0; }
  i32 LineSpacing() const { return lineSpacing_; }
  void SetLineSpacing(i32 spacing) { lineSpacing_ = spacing; }

  // Where the line that begins at start ends; its width in outWidth; outStop set at a "\n".
  i32 FitText(const char* text, i32 start, i32 maxWidth, i32* outWidth, bool wordWrap, i32* outStop) const;
  void MeasureText(const char* text, i32 width, i32* outWidest, i32* outLines) const;
  i32 TextWidth(const char* text) const;
  void WrapText(const char* text, i32 width, SString& out) const;
  // Draws in the box; flags 1 single line, 2 right-aligned, 4 centred. Returns the lines begun.
  i32 DrawText(i32 x1, i32 y, i32 x2, i32 y2, const char* text, u32 flags);
  i32 DrawTextCentred(i32 x1, i32 y, i32 x2, i32 y2, const char* text) { return DrawText(x1, y, x2, y2, text, 4); }

  const SGlyphTable* Font(i32 index) const { return index >= 0 && index < 3 ? &fonts_[index] : nullptr; }
  const SGlyphTable* Current() const { return current_; }
  const STextRecord& TextRecord() const { return record_; }
  u16 Shade(i32 i) const { return shades_[i]; }
  // Tells the observer about every boxed text drawn from now on (null: nobody; the default).
  void SetObserver(STextObserver* observer) { observer_ = observer; }

  // Checks a strip record: a format 0 image whose palette covers every value above the three shades.
  static const SImage* CheckStrip(const u8* data, u32 size);

 private:
  struct ShadeEntry {
    u32 text, edge;
    u16 shade[3];
  };
  void BuildTables(i32 displayMode);
  bool AdoptStrip(i32 index, SRecordData& record);
  i32 Advance(const char* text, i32 i) const { return GlyphWidth(static_cast<u8>(text[i])) + 1; }
  // Adds the line of count characters just drawn from the line buffer at (x, y) to what the observer hears.
  void NoteLine(STextDrawn& drawn, i32 x, i32 y, i32 count) const;

  SGlyphTable fonts_[3];
  SRecordData records_[3];
  SGlyphTable* current_ = nullptr;
  u32 textColour_ = 0, edgeColour_ = 0;
  u16 shades_[3] = {0, 0, 0};
  SDisplayHost* host_ = nullptr;
  SDisplay* display_ = nullptr;
  std::vector<ShadeEntry> shadeCache_;
  i32 lineSpacing_ = 0;
  char lineBuffer_[kLineBufferSize] = {};
  STextRecord record_;
  STextObserver* observer_ = nullptr;
};
