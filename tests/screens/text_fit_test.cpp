// Texts that fit and controls that do not overlap, on every screen and dialog the tour reaches, in every display
// mode a device selects. A text drawn by a control fits it when nothing of it was left out, it has no more lines
// than the control holds (the font lets a line reach 3 pixels below its box) and no line is wider than the control.
// Two visible controls of one dialog overlap when their rectangles meet and neither lies inside the other;
// backgrounds and pictures may lie under anything. A frame draws its line as pictures of their own size inward from
// its rectangle: the glyphs of a text of its dialog keep two pixels clear of every piece it draws, inside the frame
// or out (a piece drawn over a text's first columns, a text on the line or one pixel from it, all lie inside the
// frame's rectangle), and a picture button of its dialog keeps off every piece; on a filled frame a text keeps two
// pixels inside the fill where the frame draws no line. A picture button's picture lies within two pixels of the
// centre of its layout place wherever the place is larger, and a text button is as tall as its bar's caps. A paper
// doll's place holds the picture and the slots it draws. A description shows whole unless the player can turn its
// pages (a book), and its body follows the lines its title is drawn in; the pack shows the description of every
// item it holds whole, the race picker each race's ability with an effect to a line, the skill picker each
// skill's name on one line in rows level across its columns, and the alchemy dialog what every ingredient of the
// world does.
#include "SaveScreens.h"
#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SPlayerEquipCtrl.h"
#include "core/ui/SSceneTextCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "dialogs/SDialogAlchemy.h"
#include "dialogs/SDialogRaceSelect.h"
#include "game/SStateGame.h"
#include "graphics/SFont.h"
#include "graphics/SImage.h"
#include "screens/SStateInventory.h"
#include "screens/SStateSettings.h"
#include "support/ScreenTour.h"
#include "support/TextRecord.h"
#include "world/SImageCache.h"
#include "world/SItem.h"
#include "world/SItemTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Fault {
  std::string key;     // mode, stop, kind and the controls' classes and ids: stable across runs
  std::string detail;  // what was drawn where
};

std::string Name(const SCtrl& c) {
  std::ostringstream out;
  out << GameHarness::className(typeid(c)) << " " << c.id;
  return out.str();
}

std::string Rect(const SCtrl& c) {
  std::ostringstream out;
  out << " at " << c.left << "," << c.top << " " << c.width << "x" << c.height;
  return out.str();
}

bool Inside(i32 x0, i32 y0, i32 x1, i32 y1, const SCtrl& out) {
  return x0 >= out.left && y0 >= out.top && x1 <= out.left + out.width && y1 <= out.top + out.height;
}

bool Meet(i32 x0, i32 y0, i32 x1, i32 y1, const SCtrl& b) {
  return x0 < b.left + b.width && b.left < x1 && y0 < b.top + b.height && b.top < y1;
}

// The pixels a text's glyphs keep clear of a frame's line: one reads as touching it.
constexpr i32 kFrameGap = 2;
// How far a picture button's picture may lie from the centre of its place before it reads as floating in it: a
// place at most 4 pixels larger than the picture it draws from its corner.
constexpr i32 kPlaceSlack = 2;

struct Box {
  i32 x0, y0, x1, y1;  // right and bottom exclusive
};

// The pieces a frame draws, as SGameCore::DrawPanel9 lays them: the corners whole, the edges between them.
std::vector<Box> FramePieces(const SBorderCtrl& frame) {
  std::vector<Box> out;
  if (!frame.frameSet) return out;
  auto size = [&](u32 i) {
    const SImageEntry* e = frame.frameSet[i];
    const SImage* image = e ? e->image : nullptr;
    return image ? std::pair<i32, i32>(image->width, image->height) : std::pair<i32, i32>(0, 0);
  };
  const auto [tlw, tlh] = size(0);
  const auto [blw, blh] = size(2);
  const auto [trw, trh] = size(6);
  const auto [brw, brh] = size(8);
  const i32 x = frame.left, y = frame.top, w = frame.width, h = frame.height;
  const i32 innerW = std::max(0, w - tlw - trw), innerH = std::max(0, h - tlh - blh);
  const i32 xr = x + w - trw, yb = y + h - blh;
  auto add = [&](i32 bx, i32 by, i32 bw, i32 bh) {
    if (bw > 0 && bh > 0) out.push_back({bx, by, bx + bw, by + bh});
  };
  const u32 sides = frame.sides;
  if (sides & 1) add(x, y, tlw, tlh), add(x + tlw, y, innerW, tlh), add(xr, y, trw, trh);
  if (sides & 4) add(x, yb, blw, blh), add(x + tlw, yb, innerW, blh), add(xr, yb, brw, brh);
  if (sides & 2) add(x, y, tlw, tlh), add(x, y + tlh, tlw, innerH), add(x, yb, blw, blh);
  if (sides & 8) add(xr, y, trw, trh), add(xr, y + tlh, trw, innerH), add(xr, yb, brw, brh);
  return out;
}

// The area a filled frame paints, as SGameCore::DrawPanel9 fills it: inside its corners, whichever sides it draws.
bool FillOf(const SBorderCtrl& frame, Box& out) {
  if (!frame.fill || !frame.frameSet) return false;
  auto size = [&](u32 i) {
    const SImageEntry* e = frame.frameSet[i];
    return e && e->image ? std::pair<i32, i32>(e->image->width, e->image->height) : std::pair<i32, i32>(0, 0);
  };
  const auto [tlw, tlh] = size(0);
  const auto [blw, blh] = size(2);
  const auto [trw, trh] = size(6);
  out = {frame.left + tlw, frame.top + tlh, frame.left + std::max(tlw, frame.width - trw),
         frame.top + std::max(tlh, frame.height - blh)};
  return out.x1 > out.x0 && out.y1 > out.y0;
}

enum class Kind { kControl, kFrame, kBackground };

Kind KindOf(const SCtrl& c) {
  const std::string n = GameHarness::className(typeid(c));
  if (n == "SBorderCtrl") return Kind::kFrame;
  if (n == "SFillBmpCtrl" || n == "SPicCtrl") return Kind::kBackground;
  return Kind::kControl;
}

// Repaints the screen whole with the recorder listening and judges what was drawn.
std::vector<Fault> FaultsOf(GameHarness& game, const std::string& where) {
  TextRecord texts(game);
  const std::vector<SDialog*> dialogs = ScreenTour::dialogs(game);
  for (SDialog* d : dialogs) d->SetFullRepaint();
  if (!dialogs.empty()) dialogs.front()->Paint();
  // A scene's text draws itself only on its steps: one falls due while the recorder listens, and before it the
  // first step of the text, whose first line comes in through the bottom of the text's place and hangs below it.
  for (const ScreenTour::Shown& s : ScreenTour::shownControls(game))
    if (auto* scene = dynamic_cast<SSceneTextCtrl*>(s.control); scene && scene->position < scene->endPosition) {
      const i32 position = scene->position;
      for (const i32 from : {0, position}) {
        scene->position = from;
        scene->Pause(false);
        scene->lastStep -= scene->stepTime;
        game.frame();
        scene->Pause(true);
      }
      scene->position = position;
    }

  std::vector<Fault> faults;
  std::set<std::string> seen;
  auto add = [&](const std::string& key, const std::string& detail) {
    if (seen.insert(key).second) faults.push_back({where + " " + key, detail});
  };
  for (const TextRecord::Text& t : texts.texts()) {
    if (!t.control || t.lines == 0) continue;
    // A description that scrolls by lines shows a window of them; its arrows reach the rest.
    const auto* scrolled = dynamic_cast<const STitleTextCtrl*>(t.control);
    const bool window = scrolled && scrolled->lineScroll;
    const char* kind = t.cut && !window                         ? "cut"
                       : t.lines * t.lineHeight > t.ch + 3      ? "tall"
                       : t.left < t.cx || t.right > t.cx + t.cw ? "wide"
                                                                : nullptr;
    if (kind) add(std::string(kind) + " " + Name(*t.control), t.describe());
  }
  // A titled text's body follows the lines its title is drawn in: no blank line between them, but for the
  // second title row the larger screens keep under a one-line title.
  for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) {
    const auto* titled = dynamic_cast<const STitleTextCtrl*>(s.control);
    if (!titled || (!titled->lineScroll && titled->currentPage != 0)) continue;
    const std::vector<TextRecord::Text> drawn = texts.byControl(titled);
    if (drawn.size() < 2 || drawn[0].lines == 0 || drawn[1].lines == 0) continue;
    const TextRecord::Text &title = drawn[0], &body = drawn[1];
    const bool reserved = titled->twoLineTitle && title.lines < 2 && !game.core().IsCompact();
    if (body.top - title.bottom >= (reserved ? 2 : 1) * title.lineHeight)
      add("blank " + Name(*titled), title.describe() + " above " + body.describe());
  }
  // A text's glyphs keep clear of the pieces every frame of its dialog draws.
  for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) {
    const auto* frame = dynamic_cast<const SBorderCtrl*>(s.control);
    if (!frame || !frame->width || !frame->height) continue;
    const std::vector<Box> pieces = FramePieces(*frame);
    for (const TextRecord::Text& t : texts.texts()) {
      if (!t.control || t.inkRight == t.inkLeft || t.dialog != s.dialog || t.control == frame) continue;
      for (const Box& p : pieces)
        if (t.inkLeft - kFrameGap < p.x1 && p.x0 < t.inkRight + kFrameGap && t.inkTop - kFrameGap < p.y1 &&
            p.y0 < t.inkBottom + kFrameGap) {
          add("frame " + Name(*t.control) + " / " + Name(*frame),
              t.describe() + " meets the line of " + Name(*frame) + Rect(*frame) + " drawn at " + std::to_string(p.x0) +
                  "," + std::to_string(p.y0) + "-" + std::to_string(p.x1) + "," + std::to_string(p.y1));
          break;
        }
    }
  }
  // A text on a filled frame keeps two pixels inside the fill's edges where the frame draws no line (the lines are
  // judged above): there the edge is where the fill meets what lies around it, as on the pack's gold panel, which
  // draws some of its sides only.
  for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) {
    const auto* frame = dynamic_cast<const SBorderCtrl*>(s.control);
    Box fill{};
    if (!frame || !FillOf(*frame, fill)) continue;
    for (const TextRecord::Text& t : texts.texts()) {
      if (!t.control || t.inkRight == t.inkLeft || t.dialog != s.dialog || t.control == frame) continue;
      const bool on = t.inkLeft < fill.x1 && fill.x0 < t.inkRight && t.inkTop < fill.y1 && fill.y0 < t.inkBottom;
      const u32 lines = frame->sides;
      const bool inside =
          ((lines & 2) || t.inkLeft >= fill.x0 + kFrameGap) && ((lines & 8) || t.inkRight <= fill.x1 - kFrameGap) &&
          ((lines & 1) || t.inkTop >= fill.y0 + kFrameGap) && ((lines & 4) || t.inkBottom <= fill.y1 - kFrameGap);
      if (on && !inside)
        add("fill " + Name(*t.control) + " / " + Name(*frame),
            t.describe() + " leaves the fill of " + Name(*frame) + Rect(*frame) + " at " + std::to_string(fill.x0) +
                "," + std::to_string(fill.y0) + "-" + std::to_string(fill.x1) + "," + std::to_string(fill.y1));
    }
  }
  // A picture button keeps off the lines of its dialog's frames: one drawn across a line reads as part of the
  // frame, or as cut by it.
  for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) {
    const auto* frame = dynamic_cast<const SBorderCtrl*>(s.control);
    if (!frame || !frame->width || !frame->height) continue;
    const std::vector<Box> pieces = FramePieces(*frame);
    for (const ScreenTour::Shown& b : ScreenTour::shownControls(game)) {
      const auto* button = dynamic_cast<const SButtonCtrl*>(b.control);
      if (!button || !button->pictureMode || b.dialog != s.dialog || !button->width || !button->height) continue;
      for (const Box& p : pieces)
        if (Meet(p.x0, p.y0, p.x1, p.y1, *button)) {
          add("button " + Name(*button) + " / " + Name(*frame),
              Name(*button) + Rect(*button) + " crosses the line of " + Name(*frame) + Rect(*frame) + " drawn at " +
                  std::to_string(p.x0) + "," + std::to_string(p.y0) + "-" + std::to_string(p.x1) + "," +
                  std::to_string(p.y1));
          break;
        }
    }
  }
  // A picture button draws its picture from its place's corner at the picture's own size: in a place much larger
  // than the picture (unless its dialog centres it there) the picture floats off the row of its neighbours. Hidden
  // buttons are judged too: a player sees them when the dialog shows them.
  for (const SDialog* d : dialogs)
    for (u32 i = 0; i < d->controls.Count(); ++i) {
      const auto* button = dynamic_cast<const SButtonCtrl*>(d->controls.At(i32(i)));
      const SImageEntry* entry = button && button->pictureMode && button->pictures ? button->pictures[0] : nullptr;
      const SLayoutItem* place = entry && entry->image ? game.core().GetLayoutItem(d->layoutId, button->id) : nullptr;
      if (!place) continue;
      const SImage& picture = *entry->image;
      // Twice the distance from the place's centre to the picture's, across and down.
      const i32 across = std::abs(2 * (button->left - d->left - place->x) + picture.width - place->w);
      const i32 down = std::abs(2 * (button->top - d->top - place->y) + picture.height - place->h);
      if ((place->w > picture.width && across > 2 * kPlaceSlack) ||
          (place->h > picture.height && down > 2 * kPlaceSlack))
        add("place " + GameHarness::className(typeid(*d)) + " " + Name(*button),
            Name(*button) + Rect(*button) + " draws its " + std::to_string(picture.width) + "x" +
                std::to_string(picture.height) + " picture in a place of " + std::to_string(place->w) + "x" +
                std::to_string(place->h));
    }
  // A text button draws its bar's caps at their own height and its middle over its whole place: in a place of
  // another height the middle shows a second bar under the caps, or the caps hang below it.
  for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) {
    const auto* button = dynamic_cast<const SButtonCtrl*>(s.control);
    const SImageEntry* cap = button && !button->pictureMode && button->upPanel ? button->upPanel[0] : nullptr;
    if (cap && cap->image && cap->image->height != i32(button->height))
      add("bar " + Name(*button),
          Name(*button) + Rect(*button) + " draws caps " + std::to_string(cap->image->height) + " pixels high");
  }
  // A text's glyphs stay off the pictures of its dialog: the controls that draw no text of their own (picture
  // buttons, faces, the item grid, the doll), unless the text's control lies inside one. A label with no text
  // draws nothing (the spell book's message in its list, for a list with rows).
  std::set<const SCtrl*> speaking;
  for (const TextRecord::Text& t : texts.texts()) speaking.insert(t.control);
  for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) {
    const SCtrl& picture = *s.control;
    if (!picture.width || !picture.height || KindOf(picture) != Kind::kControl || speaking.count(&picture) ||
        dynamic_cast<const STextCtrl*>(&picture))
      continue;
    for (const TextRecord::Text& t : texts.texts()) {
      if (!t.control || t.inkRight == t.inkLeft || t.dialog != s.dialog) continue;
      const SCtrl& c = *t.control;
      if (Inside(c.left, c.top, c.left + c.width, c.top + c.height, picture)) continue;
      if (Meet(t.inkLeft, t.inkTop, t.inkRight, t.inkBottom, picture))
        add("onto " + Name(c) + " / " + Name(picture), t.describe() + " over " + Name(picture) + Rect(picture));
    }
  }
  // The paper doll draws its picture and its slots from its place's corner whatever the place's size, so a
  // place smaller than them lets the doll run over its neighbours unseen by the overlap check below.
  for (const ScreenTour::Shown& s : ScreenTour::shownControls(game)) {
    const auto* doll = dynamic_cast<const SPlayerEquipCtrl*>(s.control);
    if (!doll) continue;
    const SImage* picture = game.core().Picture(PictureRole::kPaperDoll);
    i32 w = picture ? picture->width : 0, h = picture ? picture->height : 0;
    for (u32 slot = 1; slot < SPlayerEquipCtrl::kSlots; ++slot)
      if (slot != 12) {
        w = std::max(w, doll->slotX[slot] + doll->SlotSize());
        h = std::max(h, doll->slotY[slot] + doll->SlotSize());
      }
    if (doll->width < w || doll->height < h)
      add("doll " + Name(*doll), Name(*doll) + Rect(*doll) + " draws " + std::to_string(w) + "x" + std::to_string(h));
  }
  // A description split into pages shows only its first unless the screen turns them: the reading dialog
  // turns a book's pages, and one that scrolls by lines has arrows. The pack's page buttons serve what
  // enchantments add to a description, and on the small panels that do not grow over the doll (240x320's,
  // 240x240's) what the reading notes of books and spellbooks add; an ordinary pack's items show whole in
  // the description view (PackFaults selects each), and beside the paper doll a glimpse of it, a tap from
  // the whole.
  for (const SDialog* d : dialogs) {
    if (GameHarness::className(typeid(*d)) == "SDialogItemRead") continue;
    const auto* pack = dynamic_cast<const SStateInventory*>(d);
    for (u32 i = 0; i < d->controls.Count(); ++i)
      if (const auto* t = dynamic_cast<const STitleTextCtrl*>(d->controls.At(i32(i))); t && t->IsVisible()) {
        if (t->lineScroll || (pack && t == &pack->description && !pack->descriptionView && !pack->containerView))
          continue;
        const i32 mode = d->core ? d->core->displayMode : 0;
        if (pack && t == &pack->description && (mode == 5 || mode == 7 || mode == 8) &&
            pack->descriptionNext.IsVisible() && pack->grid.selectedSlot && pack->grid.selectedSlot->type &&
            (pack->grid.selectedSlot->type->itemClass == kItemBook ||
             (pack->grid.selectedSlot->type->itemClass == kItemMagic && pack->grid.selectedSlot->type->subtype == 2)))
          continue;
        if (t->PageCount() > 1)
          add("paged " + Name(*t), Name(*t) + Rect(*t) + " has " + std::to_string(t->PageCount()) + " pages");
      }
  }
  for (const SDialog* d : dialogs) {
    std::vector<const SCtrl*> shown;
    for (u32 i = 0; i < d->controls.Count(); ++i)
      if (const SCtrl* c = d->controls.At(i32(i)); c && c->IsVisible() && c->width && c->height) shown.push_back(c);
    for (size_t i = 0; i < shown.size(); ++i)
      for (size_t j = i + 1; j < shown.size(); ++j) {
        const SCtrl &a = *shown[i], &b = *shown[j];
        if (!Meet(a.left, a.top, a.left + a.width, a.top + a.height, b)) continue;
        if (Inside(a.left, a.top, a.left + a.width, a.top + a.height, b) ||
            Inside(b.left, b.top, b.left + b.width, b.top + b.height, a))
          continue;
        const Kind ka = KindOf(a), kb = KindOf(b);
        if (ka == Kind::kBackground || kb == Kind::kBackground) continue;
        // A frame's line and the texts near it are judged above.
        if (ka == Kind::kFrame || kb == Kind::kFrame) continue;
        add("overlap " + Name(a) + " / " + Name(b),
            Name(a) + Rect(a) + " and " + Name(b) + Rect(b) + " of " + GameHarness::className(typeid(*d)));
      }
  }
  return faults;
}

// The items page with each item of the pack selected in turn, as a player taps through it: each
// description judged as the page shows it. A fault of the description names the item's type.
std::vector<Fault> PackFaults(GameHarness& game, const std::string& where) {
  std::vector<Fault> faults;
  std::set<std::string> seen;
  auto& inventory = *static_cast<SStateInventory*>(game.core().states[kStateInventory]);
  const std::string description = Name(inventory.description);
  const i32 selected = inventory.grid.selected;
  for (u32 i = 0; i < inventory.grid.SlotCount(); ++i) {
    inventory.grid.Select(i32(i));
    inventory.RefreshDescription();
    for (Fault f : FaultsOf(game, where)) {
      if (f.key.find(description) != std::string::npos)
        f.key += std::string(" ") + inventory.grid.Slot(i32(i))->type->name.Text();
      if (seen.insert(f.key).second) faults.push_back(f);
    }
  }
  if (selected >= 0) inventory.grid.Select(selected);
  inventory.RefreshDescription();
  return faults;
}

// The race picker with each race chosen in turn, as a player looks through them: its texts judged for each,
// each effect of the race's ability on one line of its column (a wrapped effect once left "res." alone on a
// line and pushed the next effect out of the column), and no blank row among the effect lines.
std::vector<Fault> RaceFaults(GameHarness& game, const std::string& where) {
  std::vector<Fault> faults;
  auto* picker = dynamic_cast<SDialogRaceSelect*>(ScreenTour::dialogs(game).back());
  if (!picker) return {{where + " no race picker", ""}};
  for (u32 race = 1; race <= 5; ++race) {
    picker->list.Select(i32(race) - 1);
    picker->OnCommand(SDialogRaceSelect::kListId);
    const std::string at = where + " race " + std::to_string(race);
    for (const Fault& f : FaultsOf(game, at)) faults.push_back(f);
    TextRecord texts(game);
    picker->SetFullRepaint();
    picker->Paint();
    std::set<i32> rows;  // the tops of the effect lines of both columns
    i32 step = 0;
    for (const STextCtrl* column : {&picker->leftEffects, &picker->rightEffects})
      for (const TextRecord::Text& t : texts.byControl(column)) {
        i32 effects = 0;
        for (size_t from = 0; from < t.text.size();) {
          const size_t end = std::min(t.text.find('\r', from), t.text.size());
          effects += end > from;
          from = end + 1;
        }
        if (t.lines != effects) faults.push_back({at + " wrapped " + Name(*column), t.describe()});
        for (i32 line = 0; line < t.lines; ++line) rows.insert(t.top + line * t.lineHeight);
        step = t.lineHeight;
      }
    // The columns side by side, or the right one right under the left where they cannot stand side by side:
    // no blank row among the effect lines (the two texts once stood one above the other in boxes of a fixed
    // height, so one effect stood a line apart from the next and another right under it).
    if (!rows.empty() && *rows.rbegin() - *rows.begin() != step * i32(rows.size() - 1))
      faults.push_back({at + " effect rows", std::to_string(rows.size()) + " rows of effects from y " +
                                                 std::to_string(*rows.begin()) + " to " +
                                                 std::to_string(*rows.rbegin())});
  }
  return faults;
}

// The alchemy dialog with every ingredient of the world in its three slots in turn, each told whole by a
// master's skill, as a player steps through them: the slot texts (up to three effects joined by ", ") judged
// as the dialog shows them. A fault names the ingredient.
std::vector<Fault> AlchemyFaults(GameHarness& game, const std::string& where) {
  auto& inventory = *static_cast<SStateInventory*>(game.core().states[kStateInventory]);
  SDialogAlchemy& alchemy = inventory.alchemy;
  SPlayer& player = game.core().player;
  SItem* tool = alchemy.apparatusIndex >= 0 ? alchemy.apparatus[size_t(alchemy.apparatusIndex)] : nullptr;
  for (SItemType* t : game.core().world.items.types)
    if (t->itemClass == SDialogAlchemy::kIngredientClass && !player.inventory.FindItemOfType(t)) player.AddItems(t, 1);
  const u16 skill = player.skills[SDialogAlchemy::kSkill];
  player.skills[SDialogAlchemy::kSkill] = 100;
  alchemy.Open(tool);
  std::vector<Fault> faults;
  std::set<std::string> seen;
  for (const SDialogAlchemy::Ingredient& ingredient : alchemy.ingredients) {
    for (u16 next : SDialogAlchemy::kSlotNextIds) alchemy.OnCommand(next);
    for (Fault f : FaultsOf(game, where)) {
      f.key += std::string(" ") + ingredient.type->name.Text();
      if (seen.insert(f.key).second) faults.push_back(f);
    }
  }
  player.skills[SDialogAlchemy::kSkill] = skill;
  return faults;
}

// The skill picker: its texts judged, each skill's name on one line, and the rows of its columns level (a name
// wrapped onto two lines once took a row and a half of its column, whose last skill then sat on the frame's line).
std::vector<Fault> SkillFaults(GameHarness& game, const std::string& where) {
  std::vector<Fault> faults = FaultsOf(game, where);
  SDialog* picker = ScreenTour::dialogs(game).back();
  TextRecord texts(game);
  picker->SetFullRepaint();
  picker->Paint();
  std::map<i32, u32> perColumn;  // buttons by left edge
  std::set<i32> rows;            // tops
  for (u32 i = 0; i < picker->controls.Count(); ++i) {
    const auto* button = dynamic_cast<const STopicButtonCtrl*>(picker->controls.At(i32(i)));
    if (!button) continue;
    ++perColumn[button->left];
    rows.insert(button->top);
    for (const TextRecord::Text& t : texts.byControl(button))
      if (t.lines != 1) faults.push_back({where + " wrapped " + Name(*button), t.describe()});
  }
  u32 longest = 0;
  for (const auto& [left, count] : perColumn) longest = std::max(longest, count);
  if (rows.size() != longest)
    faults.push_back({where + " rows", std::to_string(rows.size()) + " rows of buttons in columns of at most " +
                                           std::to_string(longest)});
  return faults;
}

}  // namespace

// The judge itself, on the settings screen with two of its controls moved: one label narrowed so that it is
// cut, and a value put over its neighbour; and on the load screen with a slot's text moved toward its frame's
// line.
TEST(TextFit, CutTextsAndOverlapsAreNamed) {
  GameHarness game;
  ASSERT_TRUE(game.boot()) << game.startError();
  ASSERT_TRUE(savescreens::OpenOverCurrent(game, kStateSettings));
  EXPECT_EQ(FaultsOf(game, "settings").size(), 0u);
  SDialog& screen = *game.core().currentState;
  SCtrl *label = nullptr, *box = nullptr, *next = nullptr;
  for (u32 i = 0; i < screen.controls.Count(); ++i) {
    SCtrl* c = screen.controls.At(i32(i));
    if (c->id == 595) label = c;  // "Sound volume:"
    if (c->id == 607) box = c;
    if (c->id == 596) next = c;
  }
  ASSERT_TRUE(label && box && next);
  label->width = 40;
  box->left = u16(next->left - 4);
  std::set<std::string> keys;
  for (const Fault& f : FaultsOf(game, "settings")) keys.insert(f.key);
  EXPECT_EQ(keys, (std::set<std::string>{"settings cut STextCtrl 595",
                                         "settings overlap SFillColorCtrl 607 / SFillColorCtrl 596"}));

  // The first slot's "- empty -", whose first glyph's pixels start a column in from the text, inside the slot's
  // frame (its line 4 pixels wide from x 4): 2 pixels clear of the line at x 9, 1 at x 8.
  ASSERT_TRUE(savescreens::OpenOverCurrent(game, kStateLoadSave, 1));
  EXPECT_EQ(FaultsOf(game, "load").size(), 0u);
  STextCtrl* empty = nullptr;
  for (u32 i = 0; i < game.core().currentState->controls.Count(); ++i)
    if (SCtrl* c = game.core().currentState->controls.At(i32(i)); c->id == 87) empty = dynamic_cast<STextCtrl*>(c);
  ASSERT_TRUE(empty);
  const SString text = empty->text;
  for (const auto& [x, named] : {std::pair<u16, bool>(9, false), std::pair<u16, bool>(8, true)}) {
    empty->SetRect(x, empty->top, empty->width, empty->height);
    empty->SetText(text.CStr());  // the text takes its place from the control's
    keys.clear();
    for (const Fault& f : FaultsOf(game, "load")) keys.insert(f.key);
    EXPECT_EQ(keys, named ? std::set<std::string>{"load frame STextCtrl 87 / SBorderCtrl 96"} : std::set<std::string>{})
        << "at x " << x;
  }
  empty->SetRect(9, empty->top, empty->width, empty->height);
  empty->SetText(text.CStr());

  // The cancel button moved up to the last slot's frame, whose bottom line ends at y 286: named from the pixel
  // it crosses the line, not while it only touches it.
  SCtrl* cancel = nullptr;
  for (u32 i = 0; i < game.core().currentState->controls.Count(); ++i)
    if (SCtrl* c = game.core().currentState->controls.At(i32(i)); c->id == 26) cancel = c;
  ASSERT_TRUE(cancel);
  for (const auto& [y, named] : {std::pair<u16, bool>(286, false), std::pair<u16, bool>(285, true)}) {
    cancel->SetPos(cancel->left, y);
    keys.clear();
    for (const Fault& f : FaultsOf(game, "load")) keys.insert(f.key);
    EXPECT_EQ(keys,
              named ? std::set<std::string>{"load button SButtonCtrl 26 / SBorderCtrl 99"} : std::set<std::string>{})
        << "at y " << y;
  }
}

// The judge of picture buttons' places, on the game screen with a head-up button's place made larger than its
// picture (our layouts give every such place its picture's size): a picture at the place's corner floats there
// and is named, one a pixel off the centre is not.
TEST(TextFit, APictureFloatingInItsPlaceIsNamed) {
  GameHarness::Options options;
  options.newGame = true;
  GameHarness game(options);
  ASSERT_TRUE(game.boot()) << game.startError();
  SDialog& screen = *game.core().currentState;
  ASSERT_EQ(FaultsOf(game, "game").size(), 0u);
  SCtrl* button = nullptr;
  for (u32 i = 0; i < screen.controls.Count(); ++i)
    if (SCtrl* c = screen.controls.At(i32(i)); c->id == 536) button = c;
  auto* place = const_cast<SLayoutItem*>(game.core().GetLayoutItem(screen.layoutId, 536));
  ASSERT_TRUE(button && place);
  place->w = u16(button->width + 6);
  place->h = u16(button->height + 6);
  const std::string key = "game place " + GameHarness::className(typeid(screen)) + " SButtonCtrl 536";
  for (const auto& [offset, named] : {std::pair<i32, bool>(1, false), std::pair<i32, bool>(0, true)}) {
    button->SetPos(u16(screen.left + place->x + offset), u16(screen.top + place->y + (place->h - button->height) / 2));
    std::set<std::string> keys;
    for (const Fault& f : FaultsOf(game, "game")) keys.insert(f.key);
    EXPECT_EQ(keys, named ? std::set<std::string>{key} : std::set<std::string>{}) << "at " << offset;
  }
}

// The judge of texts on filled frames, on the pack's gold panel at 240x320: its frame draws its left line only, so
// the fill's right edge meets the stone. A text whose glyphs end two pixels inside that edge passes; one pixel
// further right it is named.
TEST(TextFit, ATextLeavingAFillIsNamed) {
  GameHarness::Options options;
  options.newGame = true;
  GameHarness game(options);
  ASSERT_TRUE(game.boot()) << game.startError();
  game.core().player.ClearLists();  // an empty grid: only the gold text is judged
  game.tapControl(SStateGame::kPortraitId);
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateInventory), 10));
  auto& pack = *static_cast<SStateInventory*>(game.core().states[kStateInventory]);
  ASSERT_EQ(FaultsOf(game, "pack").size(), 0u);
  Box fill{};
  ASSERT_TRUE(FillOf(pack.goldFrame, fill));
  ASSERT_EQ(pack.goldFrame.sides & 8, 0u) << "no line on the right";
  STextCtrl& gold = pack.goldText;
  i32 inkRight = 0;
  {
    TextRecord texts(game);
    pack.SetFullRepaint();
    pack.Paint();
    for (const TextRecord::Text& t : texts.byControl(&gold)) inkRight = std::max(inkRight, t.inkRight);
  }
  ASSERT_GT(inkRight, 0);
  // The centred text moved right by narrowing its place from the left: its right edge stays off the tabs.
  const i32 x = gold.left, w = gold.width;
  for (const auto& [past, named] : {std::pair<i32, bool>(-2, false), std::pair<i32, bool>(-1, true)}) {
    const i32 shift = fill.x1 + past - inkRight;
    gold.SetRect(u16(x + 2 * shift), gold.top, u16(w - 2 * shift), gold.height);
    gold.UpdateLayout();
    std::set<std::string> keys;
    for (const Fault& f : FaultsOf(game, "pack")) keys.insert(f.key);
    EXPECT_EQ(keys, named ? std::set<std::string>{"pack fill STextCtrl 22 / SBorderCtrl 294"} : std::set<std::string>{})
        << "ending " << past << " from the fill's edge";
  }
}

// The judge of a titled text's body, on the pack's description at 240x320: the body moved down by a line
// leaves a blank line under the title and is named.
TEST(TextFit, ABlankLineUnderATitleIsNamed) {
  GameHarness::Options options;
  options.newGame = true;
  GameHarness game(options);
  ASSERT_TRUE(game.boot()) << game.startError();
  game.tapControl(SStateGame::kPortraitId);
  ASSERT_TRUE(game.waitUntil(GameHarness::stateIs(kStateInventory), 10));
  auto& pack = *static_cast<SStateInventory*>(game.core().states[kStateInventory]);
  ASSERT_GT(pack.grid.SlotCount(), 0u);
  pack.grid.Select(0);
  pack.RefreshDescription();
  ASSERT_TRUE(pack.description.IsVisible());
  // Only what the moved body adds is judged here.
  std::set<std::string> before, keys;
  for (const Fault& f : FaultsOf(game, "pack")) before.insert(f.key);
  game.core().font->Select(1, 0, 0);
  pack.description.bodyTop += game.core().font->LineHeight() + 1;
  for (const Fault& f : FaultsOf(game, "pack"))
    if (!before.count(f.key)) keys.insert(f.key);
  EXPECT_EQ(keys, std::set<std::string>{"pack blank STitleTextCtrl 322"});
}

TEST(TextFit, EveryTextFitsItsControlAndNoControlsOverlap) {
  for (i32 mode : GameHarness::deviceModes()) {
    // A seasoned character's numbers, lists and pack are as wide as a player meets them.
    ScreenTour tour(mode);
    tour.seasoned();
    const std::vector<std::string> missed = tour.run([&](const std::string& stop, GameHarness& game) {
      const std::string where = std::to_string(mode) + " " + stop;
      const std::vector<Fault> faults = stop == "inventory/items"       ? PackFaults(game, where)
                                        : stop == "dialog/race-select"  ? RaceFaults(game, where)
                                        : stop == "dialog/skill-select" ? SkillFaults(game, where)
                                        : stop == "dialog/alchemy"      ? AlchemyFaults(game, where)
                                                                        : FaultsOf(game, where);
      for (const Fault& f : faults) {
        ADD_FAILURE() << f.key << ": " << f.detail;
      }
    });
    EXPECT_EQ(missed, std::vector<std::string>{}) << "mode " << mode;
  }
}
