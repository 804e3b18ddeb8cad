// The game core's panel drawing, compact amounts and number glyphs.
#include "core/SGameCore.h"
#include "foundation/SString.h"
#include "graphics/SDisplay.h"

#include <algorithm>

namespace {

// One piece of a picture set: its image (null for an empty slot) and size (0 x 0 then).
struct Piece {
  const SImage* image = nullptr;
  i32 w = 0, h = 0;
  explicit Piece(const SImageEntry* entry) {
    image = entry ? entry->image : nullptr;
    if (image) {
      w = image->width;
      h = image->height;
    }
  }
};

class PanelPainter {
 public:
  PanelPainter(SDisplay* display, u32 keyed) : display_(display), keyed_(keyed != 0) {}
  void Whole(const Piece& p, i32 x, i32 y) {
    if (!p.image) return;
    if (keyed_) {
      display_->DrawImage(p.image, x, y);
    } else {
      display_->DrawImageOpaque(p.image, x, y);
    }
  }
  // Tiles nothing for an empty area: callers count a negative inner size as 0.
  void Tiled(const Piece& p, i32 x, i32 y, i32 w, i32 h) {
    if (!p.image || w <= 0 || h <= 0) return;
    if (keyed_) {
      display_->TileImageKeyed(x, y, w, h, p.image);
    } else {
      display_->TileImage(x, y, w, h, p.image);
    }
  }

 private:
  SDisplay* display_;
  bool keyed_;
};

// The nine pieces of a set and the inner size of a panel drawn from them.
struct NineSet {
  Piece tl, l, bl, t, c, b, tr, r, br;
  i32 innerW, innerH;
  NineSet(SImageEntry* const* set, i32 width, i32 height)
      : tl(set[0]), l(set[1]), bl(set[2]), t(set[3]), c(set[4]), b(set[5]), tr(set[6]), r(set[7]), br(set[8]) {
    // A panel narrower or lower than its corners has no inner area: its edges and centre draw nothing.
    innerW = std::max(0, width - tl.w - tr.w);
    innerH = std::max(0, height - tl.h - bl.h);
  }
};

u32 ConvertGlyphs(SString& text, i32 digitOffset, const u8 (&signs)[2], const u8 (&suffixes)[4]) {
  char* s = text.Buffer();
  const u32 length = text.Length();
  if (!s) return 0;
  bool afterNumber = false;
  for (u32 i = 0; i < length; ++i) {
    const char c = s[i];
    const char n = i + 1 < length ? s[i + 1] : 0;
    if (c >= '0' && c <= '9') {
      s[i] = char(i32(u8(c)) + digitOffset);
      afterNumber = true;
      continue;
    }
    if (n >= '0' && n <= '9' && (c == '+' || c == '-')) s[i] = char(c == '+' ? signs[0] : signs[1]);
    if (afterNumber) {
      static constexpr char kSuffix[4] = {'K', 'M', 'B', '%'};
      for (u32 k = 0; k < 4; ++k)
        if (s[i] == kSuffix[k]) s[i] = char(suffixes[k]);
    }
    afterNumber = s[i] == ')';
  }
  return length;
}

}  // namespace

void SGameCore::DrawPanel9(SImageEntry* const* set, u32 keyed, i32 x, i32 y, i32 width, i32 height, u32 sides,
                           u32 colour) {
  if (!display || !set) return;
  const NineSet p(set, width, height);
  PanelPainter paint(display, keyed);
  if (sides & 128) display->FillRect(x + p.tl.w, y + p.tl.h, p.innerW, p.innerH, MakeColor565(colour));
  const i32 xr = x + width - p.tr.w, yb = y + height - p.bl.h;
  if (sides & 1) {
    paint.Whole(p.tl, x, y);
    paint.Tiled(p.t, x + p.tl.w, y, p.innerW, p.tl.h);
    paint.Whole(p.tr, xr, y);
  }
  if (sides & 4) {
    paint.Whole(p.bl, x, yb);
    paint.Tiled(p.b, x + p.tl.w, yb, p.innerW, p.bl.h);
    paint.Whole(p.br, xr, yb);
  }
  if (sides & 2) {
    if (!(sides & 1)) paint.Whole(p.tl, x, y);
    paint.Tiled(p.l, x, y + p.tl.h, p.tl.w, p.innerH);
    if (!(sides & 4)) paint.Whole(p.bl, x, yb);
  }
  if (sides & 8) {
    if (!(sides & 1)) paint.Whole(p.tr, xr, y);
    paint.Tiled(p.r, xr, y + p.tl.h, p.tr.w, p.innerH);
    if (!(sides & 4)) paint.Whole(p.br, xr, yb);
  }
}

void SGameCore::DrawPanel3H(SImageEntry* const* set, u32 keyed, i32 x, i32 y, i32 width, i32 height) {
  if (!display || !set) return;
  const NineSet p(set, width, height);
  PanelPainter paint(display, keyed);
  const i32 xi = x + p.tl.w, yi = y + p.tl.h, xr = x + width - p.tr.w, yb = y + height - p.bl.h;
  paint.Whole(p.tl, x, y);
  paint.Tiled(p.t, xi, y, p.innerW, p.tl.h);
  paint.Whole(p.tr, xr, y);
  paint.Tiled(p.l, x, yi, p.tl.w, p.innerH);
  paint.Tiled(p.c, xi, yi, p.innerW, p.innerH);
  paint.Tiled(p.r, xr, yi, p.tr.w, p.innerH);
  paint.Whole(p.bl, x, yb);
  paint.Tiled(p.b, xi, yb, p.innerW, p.bl.h);
  paint.Whole(p.br, xr, yb);
}

void SGameCore::DrawPanel3V(SImageEntry* const* set, u32 keyed, i32 x, i32 y, i32 width, i32 height) {
  if (!display || !set) return;
  const Piece left(set[0]), middle(set[1]), right(set[2]);
  PanelPainter paint(display, keyed);
  paint.Whole(left, x, y);
  paint.Tiled(middle, x + left.w, y, std::max(0, width - left.w - right.w), height);
  paint.Whole(right, x + width - right.w, y);
}

u32 SGameCore::ConvertNumberGlyphs(SString& text) { return ConvertGlyphs(text, -34, {29, 28}, {24, 25, 26, 27}); }

u32 SGameCore::ConvertNumberGlyphsAlt(SString& text) {
  return ConvertGlyphs(text, 112, {135, 134}, {130, 131, 132, 133});
}

void FormatCompactNumber(u32 amount, SString& out) {
  if (amount >= 1000000) {
    out.Format("%luM", static_cast<unsigned long>(amount / 1000000));
  } else if (amount < 10000) {
    out.Format("%lu", static_cast<unsigned long>(amount));
  } else {
    out.Format("%luK", static_cast<unsigned long>(amount / 1000));
  }
}

void FormatMoneyText(u32 amount, SString& out) {
  if (amount >= 1000000000u) {
    out.Format("%luB", static_cast<unsigned long>(amount / 1000000000u));
  } else {
    FormatCompactNumber(amount, out);
  }
}

const SImage* SGameCore::Picture(u32 slot) const {
  if (slot < kPictureSlots) return pictures[slot] ? pictures[slot]->image : nullptr;
  const u32 role = slot - RolePicture::kFirstRoleSlot;
  return slot >= RolePicture::kFirstRoleSlot && role < RolePicture::kCount && rolePictures[role]
             ? rolePictures[role]->image
             : nullptr;
}
