// The fixed glyph tables of the game's bitmap fonts, shared by the font engine and the world builder that
// renders the strips into these columns.
#pragma once
#include "os/Types.h"

struct GlyphEntry {
  u8 code;
  u16 start;
  u8 width;
};

struct SFontStripInfo {
  u32 recordId;  // record of "DuskmireData" holding the strip
  u8 lineHeight;
  const GlyphEntry* entries;
  u32 count;
};

// The strip of that record id (3010 to 3014), or null.
const SFontStripInfo* FontStripInfo(u32 recordId);
// The narrowest strip that holds every glyph of the table.
u32 FontStripMinWidth(const SFontStripInfo& info);
// Strip record of font 0, 1 or 2 for a display mode's font family (0 for another index).
u32 FontRecordFor(i32 fontIndex, i32 displayMode);
