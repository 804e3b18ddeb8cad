#include "graphics/SFont.h"

#include "foundation/SDatabase.h"
#include "foundation/SString.h"
#include "graphics/SDisplay.h"
#include "graphics/SDisplayHost.h"
#include "graphics/SFontTables.h"
#include "platform/hal/DisplayModes.h"

#include <algorithm>
#include <cstring>

SFont::SFont() { shadeCache_.reserve(4); }

SFont::~SFont() = default;

const SImage* SFont::CheckStrip(const u8* data, u32 size) {
  const SImage* image = SImage::FromRecord(data, size);
  if (!image || image->format != kImagePalette8) return nullptr;
  const u32 most = image->MaxIndex();
  // Values 0 to 3 are transparency and the shades; anything above reads the strip's own palette.
  if (most >= 4 && image->OwnTableEntries(size) <= most) return nullptr;
  return image;
}

void SFont::BuildTables(i32 displayMode) {
  for (i32 f = 0; f < 3; ++f) {
    SGlyphTable& t = fonts_[f];
    t = SGlyphTable{};
    const SFontStripInfo* info = FontStripInfo(FontRecordFor(f, displayMode));
    for (u32 c = 0; c < 256; ++c) {
      t.start[c] = 0;
      t.width[c] = 5;
    }
    if (!info) continue;
    t.recordId = info->recordId;
    t.lineHeight = info->lineHeight;
    for (u32 i = 0; i < info->count; ++i) {
      t.start[info->entries[i].code] = info->entries[i].start;
      t.width[info->entries[i].code] = info->entries[i].width;
    }
  }
  current_ = &fonts_[1];
  record_ = STextRecord{};
  record_.font = current_;
  record_.text = lineBuffer_;
  lineBuffer_[0] = 0;
  textColour_ = edgeColour_ = 0;
  shades_[0] = shades_[1] = shades_[2] = 0;
}

bool SFont::AdoptStrip(i32 index, SRecordData& record) {
  SRecordData& mine = records_[index];
  delete[] mine.data;
  mine.data = record.data;
  mine.size = record.size;
  record.data = nullptr;
  record.size = 0;
  const SImage* strip = CheckStrip(mine.data, mine.size);
  fonts_[index].strip = strip;
  fonts_[index].palette = strip ? strip->GetPalette() : nullptr;
  return strip != nullptr;
}

bool SFont::CreateWithStrips(SDisplayHost* host, SDisplay* display, SRecordData* strips[3]) {
  host_ = host;
  display_ = display;
  lineSpacing_ = 0;
  BuildTables(host ? host->DisplayMode() : 0);
  bool ok = true;
  for (i32 f = 0; f < 3; ++f) {
    if (strips && strips[f]) {
      ok = AdoptStrip(f, *strips[f]) && ok;
    } else {
      ok = false;
    }
  }
  return ok;
}

bool SFont::Create(SDisplayHost* host, SDisplay* display, SDatabase* data) {
  host_ = host;
  display_ = display;
  lineSpacing_ = 0;
  BuildTables(host ? host->DisplayMode() : 0);
  bool ok = true;
  for (i32 f = 0; f < 3; ++f) {
    if (!LoadStrip(f, data)) ok = false;
  }
  return ok;
}

bool SFont::LoadStrip(i32 index, SDatabase* data) {
  if (index < 0 || index > 2) return false;
  if (fonts_[index].strip) return true;
  if (!data) return false;
  std::unique_ptr<SRecordData> record = data->ReadRecord(static_cast<u16>(fonts_[index].recordId));
  if (!record) return false;
  return AdoptStrip(index, *record);
}

bool SFont::IsUsable() const {
  for (const auto& f : fonts_)
    if (!f.strip) return false;
  return true;
}

void SFont::Select(i32 index, u32 textColour, u32 edgeColour) {
  if (host_) {
    const Hal::DisplayModeRow* row = Hal::FindDisplayMode(host_->DisplayMode());
    if (row && row->font == Hal::FontFamily::LargeBiggest) index = 2;
  }
  if (index < 0 || index > 2) index = 1;
  current_ = &fonts_[index];
  record_.font = current_;
  if (textColour != textColour_ || edgeColour != edgeColour_) {
    textColour_ = textColour;
    edgeColour_ = edgeColour;
    ComputeShades();
  }
  record_.shade1 = shades_[0];
  record_.shade2 = shades_[1];
  record_.shade3 = shades_[2];
}

void SFont::ComputeShades() {
  for (const auto& e : shadeCache_) {
    if (e.text == textColour_ && e.edge == edgeColour_) {
      std::memcpy(shades_, e.shade, sizeof shades_);
      return;
    }
  }
  auto toward = [this](i32 k) {
    i32 c[3];
    for (i32 ch = 0; ch < 3; ++ch) {
      const i32 a = static_cast<i32>((textColour_ >> (8 * ch)) & 255),
                b = static_cast<i32>((edgeColour_ >> (8 * ch)) & 255);
      c[ch] = a + (b - a) * k / 256;
    }
    return MakeColor565(static_cast<u32>(c[0]), static_cast<u32>(c[1]), static_cast<u32>(c[2]));
  };
  shades_[0] = MakeColor565(textColour_);
  shades_[1] = toward(83);
  shades_[2] = toward(171);
  ShadeEntry e{textColour_, edgeColour_, {shades_[0], shades_[1], shades_[2]}};
  shadeCache_.push_back(e);
}

i32 SFont::FitText(const char* text, i32 start, i32 maxWidth, i32* outWidth, bool wordWrap, i32* outStop) const {
  const i32 n = text ? static_cast<i32>(std::strlen(text)) : 0;
  i32 width = 0, stop = 0, result = start;
  if (start < 0) start = 0;
  if (start >= n) {
    result = start;
  } else {
    i32 i = start;
    bool broke = false;
    for (;; ++i) {
      if (text[i] == '\r') {
        result = i;
        goto done;
      }
      if (text[i] == '\n') {
        stop = 1;
        result = i;
        goto done;
      }
      width += Advance(text, i);
      if (width >= maxWidth) {
        broke = true;
        break;
      }
      if (i + 1 == n) {
        result = n;
        goto done;
      }
    }
    if (broke && !wordWrap) {
      result = i;  // the width still includes the glyph that did not fit
    } else {
      result = n;  // no blank to break at: the rest of the text is one line
      for (i32 j = i; j > start; --j) {
        width -= Advance(text, j);
        if (text[j] == ' ') {
          result = j;
          break;
        }
      }
    }
  }
done:
  if (outWidth) *outWidth = width;
  if (outStop) *outStop = stop;
  return result;
}

void SFont::MeasureText(const char* text, i32 width, i32* outWidest, i32* outLines) const {
  i32 widest = 0, lines = 0;
  if (text && width != 0) {
    const i32 n = static_cast<i32>(std::strlen(text));
    i32 index = 0;
    while (index < n) {
      i32 w = 0, stop = 0;
      const i32 end = FitText(text, index, width, &w, true, &stop);
      if (w != 0) {
        ++lines;
        if (w + 1 > widest) widest = w + 1;
        if (stop) break;
      }
      if (end < n && (text[end] == '\r' || text[end] == '\n')) {
        if (w == 0) ++lines;
        index = end + 1;
      } else if (end < n && text[end] == ' ') {
        index = end;
        while (index < n && text[index] == ' ') ++index;
      } else {
        index = end > index ? end : index + 1;
      }
    }
  }
  if (outWidest) *outWidest = widest;
  if (outLines) *outLines = lines;
}

i32 SFont::TextWidth(const char* text) const {
  i32 width = 0;
  FitText(text, 0, 1000, &width, false, nullptr);
  return width;
}

void SFont::WrapText(const char* text, i32 width, SString& out) const {
  out.Assign("");
  if (!text) return;
  const i32 n = static_cast<i32>(std::strlen(text));
  i32 index = 0;
  while (index < n) {
    i32 w = 0, stop = 0;
    const i32 end = FitText(text, index, width, &w, true, &stop);
    if (end < n && text[end] == '\r') {
      if (end > index) out.AppendN(text + index, static_cast<u32>(end - index + 1));
      index = end + 1;
      continue;
    }
    if (end > index) {
      out.AppendN(text + index, static_cast<u32>(end - index));
      out.AppendChar('\r');
    }
    if (end >= n) break;
    index = end > index ? end : index;
    if (text[index] == '\n') {
      ++index;  // a "\n" ends the line like a wrap point
    } else {
      while (index < n && text[index] == ' ') ++index;
    }
  }
}

i32 SFont::DrawText(i32 x1, i32 y, i32 x2, i32 y2, const char* text, u32 flags) {
  const i32 n = text ? static_cast<i32>(std::strlen(text)) : 0;
  if (n < 1) return 1;
  const i32 box = x2 - x1;
  i32 lines = 1, index = 0;
  const i32 height = LineHeight();
  STextDrawn drawn;
  drawn.y1 = y;
  i32 rest = n;  // where the undrawn rest of the text begins (n: none; a "\n" ends a text on purpose)
  for (;;) {
    i32 w = 0, stop = 0;
    const i32 end = FitText(text, index, box, &w, !(flags & 1), &stop);
    i32 x = x1;
    if (flags & 4) {
      x = box > w ? x1 + (box - w) / 2 : x1;
    } else if (flags & 2) {
      x = x1 + box - w;
    }
    // The line buffer holds at most 999 characters; a longer line is cut (the box shows far fewer).
    i32 count = end - index;
    if (count < 0) count = 0;
    if (count > static_cast<i32>(kLineBufferSize) - 1) count = kLineBufferSize - 1;
    std::memcpy(lineBuffer_, text + index, static_cast<std::size_t>(count));
    lineBuffer_[count] = 0;
    record_.x = x;
    record_.y = y;
    record_.text = lineBuffer_;
    if (display_) display_->DrawText(record_);
    if (observer_) NoteLine(drawn, x, y, count);
    if (end >= n) break;
    if (flags & 1) {
      if (!stop) rest = end;
      break;
    }
    ++lines;
    index = end;
    if (text[index] == '\r' || text[index] == '\n') {
      ++index;
    } else {
      while (index < n && text[index] == ' ') ++index;
    }
    if (stop) break;
    y += height + lineSpacing_;
    if (y + height > y2 + 3) {
      rest = index;
      break;
    }
    if (index >= n) break;
  }
  if (observer_) {
    drawn.text = text;
    drawn.flags = flags;
    drawn.x1 = x1;
    drawn.x2 = x2;
    drawn.y2 = y2;
    drawn.font = current_ ? static_cast<i32>(current_ - fonts_) : 0;
    drawn.lineHeight = height;
    drawn.textColour = textColour_;
    drawn.edgeColour = edgeColour_;
    drawn.shade = record_.shade1;
    for (i32 i = rest; i < n && text[i] != '\n' && !drawn.cut; ++i) drawn.cut = text[i] != ' ' && text[i] != '\r';
    observer_->OnText(drawn);
  }
  return lines;
}

void SFont::NoteLine(STextDrawn& drawn, i32 x, i32 y, i32 count) const {
  i32 w = 0;  // the glyphs and the pixel between each two
  for (i32 i = 0; i < count; ++i) w += Advance(lineBuffer_, i);
  if (w > 0) --w;
  const i32 height = LineHeight();
  if (drawn.lines == 0) {
    drawn.left = x;
    drawn.top = y;
    drawn.right = x + w;
    drawn.bottom = y + height;
  } else {
    if (x < drawn.left) drawn.left = x;
    if (x + w > drawn.right) drawn.right = x + w;
    drawn.bottom = y + height;
  }
  if (w > drawn.widest) drawn.widest = w;
  ++drawn.lines;
  // The glyphs' drawn pixels, as SDraw2D::BlitGlyph draws them (value 0 is clear).
  const SImage* strip = current_ ? current_->strip : nullptr;
  const u8* pixels = strip ? strip->Pixels() : nullptr;
  if (!pixels) return;
  for (i32 i = 0, gx = x; i < count; gx += Advance(lineBuffer_, i), ++i) {
    const u8 code = static_cast<u8>(lineBuffer_[i]);
    const i32 start = current_->start[code], gw = std::min<i32>(current_->width[code], strip->width - start);
    for (i32 row = 0; row < strip->height; ++row)
      for (i32 col = 0; col < gw; ++col) {
        if (!pixels[static_cast<std::ptrdiff_t>(row) * strip->width + start + col]) continue;
        const bool first = drawn.inkRight == drawn.inkLeft;
        const i32 px = gx + col, py = y + row;
        drawn.inkLeft = first ? px : std::min(drawn.inkLeft, px);
        drawn.inkTop = first ? py : std::min(drawn.inkTop, py);
        drawn.inkRight = first ? px + 1 : std::max(drawn.inkRight, px + 1);
        drawn.inkBottom = first ? py + 1 : std::max(drawn.inkBottom, py + 1);
      }
  }
}
