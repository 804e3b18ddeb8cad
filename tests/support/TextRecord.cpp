#include "TextRecord.h"

#include "GameHarness.h"
#include "core/SGameCore.h"
#include "core/ui/SCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SState.h"
#include "graphics/SFont.h"

#include <sstream>

namespace {

// RGB565 widened to 0xRRGGBB, the low bits copied from the high ones as a display does.
u32 Rgb(u16 c) {
  const u32 r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
  return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

}  // namespace

bool TextRecord::Text::overflowsControl() const {
  return control && lines > 0 && (left < cx || right > cx + cw || top < cy || bottom > cy + ch);
}

std::string TextRecord::Text::describe() const {
  std::ostringstream out;
  out << "\"" << text << "\" box " << x1 << "," << y1 << "-" << x2 << "," << y2 << " drawn " << left << "," << top
      << "-" << right << "," << bottom << " (ink " << inkLeft << "," << inkTop << "-" << inkRight << "," << inkBottom
      << ") in " << lines << (lines == 1 ? " line" : " lines");
  if (cut) out << ", cut";
  out << " colour 0x" << std::hex << rgb << std::dec << " by ";
  if (!controlType.empty()) {
    out << controlType << " " << controlId << " at " << cx << "," << cy << " " << cw << "x" << ch << " of ";
  }
  out << (dialogType.empty() ? "no dialog" : dialogType) << " layout " << layoutId;
  return out.str();
}

TextRecord::TextRecord(GameHarness& game) : game_(game) {
  if (game_.core().font) game_.core().font->SetObserver(this);
}

TextRecord::~TextRecord() {
  if (game_.core().font) game_.core().font->SetObserver(nullptr);
}

std::vector<TextRecord::Text> TextRecord::byControl(const SCtrl* control) const {
  std::vector<Text> out;
  for (const Text& t : texts_)
    if (t.control == control) out.push_back(t);
  return out;
}

std::vector<TextRecord::Text> TextRecord::byDialog(const SDialog* dialog) const {
  std::vector<Text> out;
  for (const Text& t : texts_)
    if (t.dialog == dialog) out.push_back(t);
  return out;
}

void TextRecord::OnText(const STextDrawn& d) {
  Text t;
  t.text = d.text ? d.text : "";
  t.flags = d.flags;
  t.x1 = d.x1;
  t.y1 = d.y1;
  t.x2 = d.x2;
  t.y2 = d.y2;
  t.left = d.left;
  t.top = d.top;
  t.right = d.right;
  t.bottom = d.bottom;
  t.inkLeft = d.inkLeft;
  t.inkTop = d.inkTop;
  t.inkRight = d.inkRight;
  t.inkBottom = d.inkBottom;
  t.lines = d.lines;
  t.widest = d.widest;
  t.lineHeight = d.lineHeight;
  t.font = d.font;
  t.textColour = d.textColour;
  t.edgeColour = d.edgeColour;
  t.shade = d.shade;
  t.rgb = Rgb(d.shade);
  t.cut = d.cut;
  t.presents = game_.presents();
  t.control = SCtrl::Painting();
  if (t.control) {
    t.dialog = t.control->owner;
    t.controlType = GameHarness::className(typeid(*t.control));
    t.controlId = t.control->id;
    t.cx = t.control->left;
    t.cy = t.control->top;
    t.cw = t.control->width;
    t.ch = t.control->height;
    t.controlVisible = t.control->IsVisible();
  } else {
    t.dialog = game_.openChild();
    if (!t.dialog) t.dialog = game_.core().currentState;
  }
  if (t.dialog) {
    t.dialogType = GameHarness::className(typeid(*t.dialog));
    t.layoutId = t.dialog->layoutId;
  }
  texts_.push_back(std::move(t));
}
