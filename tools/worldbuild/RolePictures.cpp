// Writes the role pictures of "DuskmireData" (core/SRolePictures.h): for every device display mode, each
// button's up, pressed and disabled pictures at the size of its place on that mode's layout (read back
// from the layout records the layout step wrote), the reading and list pages' tiles, and the placeholder
// and default faces (from the pixel art). Buttons carry a light symbol on a dark slate face, so that they read on every
// backdrop, and a dark one on a lit face while pressed or chosen. Each record is checked as the game checks
// pictures.
#include "ArtSources.h"
#include "BuildStep.h"
#include "ImageEncode.h"
#include "PictureRecord.h"

#include "core/SLayoutTable.h"
#include "core/SRolePictures.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace worldbuild {
namespace {

using imageenc::Picture;
using imageenc::Rgb565;

enum class Sym {
  Bag, Person, Scroll, Star, Menu, Cross, Pen, Face, Grid, Sword, Shield, Ring, Book, Flask, Bottle, Wand, Coin,
  Left, Right, Up, Down, TakeIn, DropOut, Letter, Hammer, Eye, Shut, Tick, Heart, Leaf, Skull, Bolt, Globe, Map
};

// Where a role's picture sits: a control of a screen layout (the smallest place of the list wins).
struct Place {
  u16 layout, control;
};

struct ButtonRole {
  u16 role;
  Sym symbol;
  std::vector<Place> places;
};

// Shape drawing on a picture, clipped to it.
struct Pen {
  Picture& p;
  u16 colour;
  void Dot(int x, int y) const {
    if (x >= 0 && y >= 0 && x < p.width && y < p.height) p.at(x, y) = colour;
  }
  void Box(int x, int y, int w, int h) const {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) Dot(i, j);
  }
  // A line `t` pixels thick.
  void Line(int x0, int y0, int x1, int y1, int t) const {
    const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int k = 0; k <= n; ++k) {
      const int x = n ? x0 + (x1 - x0) * k / n : x0, y = n ? y0 + (y1 - y0) * k / n : y0;
      Box(x - t / 2, y - t / 2, t, t);
    }
  }
  // A disc, or a ring `t` thick when t > 0.
  void Circle(int cx, int cy, int r, int t = 0) const {
    for (int y = -r; y <= r; ++y)
      for (int x = -r; x <= r; ++x) {
        const int d = x * x + y * y;
        if (d <= r * r && (t <= 0 || d >= (r - t) * (r - t))) Dot(cx + x, cy + y);
      }
  }
  // The pixels of the square (x, y, s) whose centres, as offsets from the square's middle in its sides
  // (-0.5 to 0.5), satisfy `inside`.
  template <class Inside>
  void Shape(int x, int y, int s, Inside inside) const {
    for (int j = 0; j < s; ++j)
      for (int i = 0; i < s; ++i)
        if (inside((i + 0.5) / s - 0.5, (j + 0.5) / s - 0.5)) Dot(x + i, y + j);
  }
  // A filled triangle pointing in direction d (0 up, 1 right, 2 down, 3 left) inside the square.
  void Arrow(int x, int y, int s, int d) const {
    for (int a = 0; a < s; ++a)  // rows from the tip, widening by a pixel on each side every second row
      for (int b = s / 2 - a / 2; b <= (s - 1) / 2 + a / 2; ++b) {
        const int i = d == 0 || d == 2 ? b : d == 1 ? s - 1 - a : a;
        const int j = d == 1 || d == 3 ? b : d == 0 ? a : s - 1 - a;
        Dot(x + i, y + j);
      }
  }
};

// Outlines of the shapes the symbols share, in offsets from the square's middle (-0.5 to 0.5).
bool InHeart(double u, double v) {
  auto lobe = [&](double cx) { return (u - cx) * (u - cx) + (v + 0.16) * (v + 0.16) <= 0.23 * 0.23; };
  return lobe(-0.2) || lobe(0.2) || (v >= -0.16 && std::abs(u) <= 0.43 * (0.44 - v) / 0.6);
}
bool InShield(double u, double v) {  // a heater shield
  const double half = 0.4, top = -0.42, shoulder = 0.04, tip = 0.46;
  if (v < top || v > tip) return false;
  if (v <= shoulder) return std::abs(u) <= half;
  const double k = (v - shoulder) / (tip - shoulder);
  return std::abs(u) <= half * std::pow(1 - k, 0.6);  // convex sides meeting in a point
}
bool InAlmond(double u, double v, double inset) {  // an eye's outline, lying
  const double a = 0.47 - inset, b = 0.3 - inset;
  return std::abs(u) <= a && std::abs(v) <= b * (1 - (u / a) * (u / a));
}
bool InLeaf(double u, double v) {  // a leaf rising to the upper right
  const double p = (u - v) * 0.7071, q = (u + v) * 0.7071, a = 0.4, b = 0.2;
  return std::abs(p) <= a && std::abs(q) <= b * (1 - (p / a) * (p / a));
}

// The symbol inside the square (x, y, s); `hole` draws in the button's face, to cut shapes out.
void DrawSymbol(const Pen& pen, const Pen& hole, Sym sym, int x, int y, int s) {
  const int t = std::max(1, s / 7), m = s / 2;
  const double edge = double(t) / s;  // an outline's width, in the square's sides
  auto X = [&](int f) { return x + s * f / 12; };
  auto Y = [&](int f) { return y + s * f / 12; };
  switch (sym) {
    case Sym::Bag:
      pen.Box(X(2), Y(5), s * 8 / 12, s * 6 / 12);
      pen.Circle(x + m, Y(4), s / 4, t);
      break;
    case Sym::Person:
      pen.Circle(x + m, Y(3), s / 5);
      pen.Box(X(3), Y(7), s / 2, s * 4 / 12);
      break;
    case Sym::Scroll:
      pen.Box(X(3), Y(2), s / 2, s * 8 / 12);
      pen.Box(X(2), Y(1), s * 8 / 12, t);
      pen.Box(X(2), Y(10), s * 8 / 12, t);
      break;
    case Sym::Star:
      pen.Line(x + m, Y(1), x + m, Y(11), t);
      pen.Line(X(1), y + m, X(11), y + m, t);
      pen.Line(X(3), Y(3), X(9), Y(9), t);
      pen.Line(X(9), Y(3), X(3), Y(9), t);
      break;
    case Sym::Menu:
      for (int k : {3, 6, 9}) pen.Box(X(2), Y(k) - t / 2, s * 8 / 12, t);
      break;
    case Sym::Cross:
      pen.Line(X(2), Y(2), X(10), Y(10), t + 1);
      pen.Line(X(10), Y(2), X(2), Y(10), t + 1);
      break;
    case Sym::Pen:
      pen.Line(X(3), Y(9), X(10), Y(2), t + 1);
      pen.Box(X(2), Y(10), s * 8 / 12, t);
      break;
    case Sym::Face:
      pen.Circle(x + m, y + m, s * 5 / 12, t);
      pen.Box(X(4), Y(4), t, t);
      pen.Box(X(8) - t, Y(4), t, t);
      pen.Box(X(4), Y(8), s / 3, t);
      break;
    case Sym::Grid:
      for (int j : {2, 7})
        for (int i : {2, 7}) pen.Box(X(i), Y(j), s / 4, s / 4);
      break;
    case Sym::Sword:
      pen.Line(X(3), Y(9), X(10), Y(2), t + 1);
      pen.Line(X(2), Y(6), X(6), Y(10), t);
      break;
    case Sym::Shield: pen.Shape(x, y, s, InShield); break;
    case Sym::Ring:
      pen.Circle(x + m, Y(7), s / 3, t);
      pen.Box(x + m - t, Y(1), 2 * t, t + 1);
      break;
    case Sym::Book:
      pen.Box(X(2), Y(3), s / 3, s / 2);
      pen.Box(X(7), Y(3), s / 3, s / 2);
      break;
    case Sym::Flask:
      pen.Box(X(5), Y(1), s / 6, s / 3);
      pen.Arrow(X(2), Y(4), s * 8 / 12, 0);
      break;
    case Sym::Bottle:
      pen.Box(X(5), Y(1), s / 6, s / 4);
      pen.Box(X(3), Y(4), s / 2, s * 7 / 12);
      break;
    case Sym::Wand:
      pen.Line(X(2), Y(10), X(8), Y(4), t);
      pen.Circle(X(9), Y(3), s / 8);
      break;
    case Sym::Coin: pen.Circle(x + m, y + m, s / 3); break;
    case Sym::Left: pen.Arrow(X(2), Y(2), s * 8 / 12, 3); break;
    case Sym::Right: pen.Arrow(X(2), Y(2), s * 8 / 12, 1); break;
    case Sym::Up: pen.Arrow(X(2), Y(2), s * 8 / 12, 0); break;
    case Sym::Down: pen.Arrow(X(2), Y(2), s * 8 / 12, 2); break;
    case Sym::TakeIn:
      pen.Box(x + m - t / 2, Y(1), t, s / 3);
      pen.Arrow(X(3), Y(4), s / 2, 2);
      pen.Box(X(2), Y(10), s * 8 / 12, t);
      break;
    case Sym::DropOut:
      pen.Box(X(2), Y(10), s * 8 / 12, t);
      pen.Arrow(X(3), Y(1), s / 2, 0);
      pen.Box(x + m - t / 2, Y(6), t, s / 4);
      break;
    case Sym::Letter:
      pen.Box(X(2), Y(3), s * 8 / 12, t);
      pen.Box(X(2), Y(9), s * 8 / 12, t);
      pen.Box(X(2), Y(3), t, s / 2);
      pen.Box(X(10) - t, Y(3), t, s / 2);
      pen.Line(X(2), Y(3), x + m, Y(7), t);
      pen.Line(X(10), Y(3), x + m, Y(7), t);
      break;
    case Sym::Hammer:
      pen.Box(X(2), Y(2), s * 7 / 12, s / 4);
      pen.Box(X(5), Y(5), s / 6, s / 2);
      break;
    case Sym::Eye:  // open: the lids and the pupil
      pen.Shape(x, y, s, [&](double u, double v) { return InAlmond(u, v, 0) && !InAlmond(u, v, edge); });
      pen.Circle(x + m, y + m, s / 6);
      break;
    case Sym::Shut:  // closed: the lids meet
      pen.Shape(x, y, s, [&](double u, double v) { return InAlmond(u, v, 0) && !InAlmond(u, v, edge); });
      pen.Box(X(1), y + m - t / 2, s * 10 / 12, t);
      break;
    case Sym::Tick:
      pen.Line(X(2), Y(6), X(5), Y(9), t + 1);
      pen.Line(X(5), Y(9), X(10), Y(2), t + 1);
      break;
    case Sym::Heart: pen.Shape(x, y, s, InHeart); break;
    case Sym::Leaf:  // a leaf with its midrib and stalk
      pen.Shape(x, y, s, [](double u, double v) { return InLeaf(u + 0.04, v - 0.04); });
      hole.Line(X(4), Y(8), X(9), Y(3), 1);
      pen.Line(X(1), Y(11), X(4), Y(8), t);
      break;
    case Sym::Skull:  // the cranium, two eyes and the teeth
      pen.Shape(x, y, s, [](double u, double v) {
        return u * u + (v + 0.08) * (v + 0.08) <= 0.37 * 0.37 || (std::abs(u) <= 0.22 && v >= 0.1 && v <= 0.44);
      });
      hole.Shape(x, y, s, [](double u, double v) {
        const double ex = std::abs(u) - 0.16, ey = v + 0.02;
        return ex * ex + ey * ey <= 0.1 * 0.1 || (v >= 0.3 && std::abs(std::abs(u) - 0.07) <= 0.025);
      });
      break;
    case Sym::Bolt:
      pen.Line(X(8), Y(1), X(4), Y(6), t + 1);
      pen.Line(X(4), Y(6), X(8), Y(6), t + 1);
      pen.Line(X(8), Y(6), X(4), Y(11), t + 1);
      break;
    case Sym::Globe:
      pen.Circle(x + m, y + m, s * 5 / 12, t);
      pen.Box(X(1), y + m - t / 2, s * 10 / 12, t);
      pen.Box(x + m - t / 2, Y(1), t, s * 10 / 12);
      break;
    case Sym::Map:
      pen.Box(X(1), Y(2), s * 10 / 12, t);
      pen.Box(X(1), Y(10), s * 10 / 12, t);
      pen.Box(X(1), Y(2), t, s * 8 / 12);
      pen.Box(X(11) - t, Y(2), t, s * 8 / 12);
      pen.Line(X(3), Y(8), X(6), Y(5), t);
      pen.Line(X(6), Y(5), X(9), Y(7), t);
      break;
  }
}

// Slate faces up and disabled: caption text 0xC8C8C8 keeps at least 4.5:1 on both. Pressed, and latched
// (the chosen tab, category or school), the face is lit gold under a dark symbol, so that the choice reads
// at a glance beside its neighbours; a slightly darker slate did not.
const u16 kFaceUp = Rgb565(52, 60, 78), kFaceDown = Rgb565(214, 176, 84), kFaceOff = Rgb565(48, 50, 56);
const u16 kLight = Rgb565(124, 138, 164), kDark = Rgb565(14, 16, 22), kLitEdge = Rgb565(250, 228, 150);
const u16 kInk = Rgb565(236, 222, 172), kInkDown = Rgb565(44, 30, 12), kInkOff = Rgb565(118, 118, 118);

// A button picture: 0 up, 1 pressed or chosen (lit, the symbol one pixel down and right), 2 disabled.
Picture Button(int w, int h, Sym sym, int state) {
  Picture p(w, h, state == 0 ? kFaceUp : state == 1 ? kFaceDown : kFaceOff);
  const u16 top = state == 1 ? kDark : kLight, bottom = state == 1 ? kLitEdge : kDark;
  Pen{p, top}.Box(0, 0, w, 1);
  Pen{p, top}.Box(0, 0, 1, h);
  Pen{p, bottom}.Box(0, h - 1, w, 1);
  Pen{p, bottom}.Box(w - 1, 0, 1, h);
  const int s = std::max(4, std::min(w, h) - 4), shift = state == 1 ? 1 : 0;
  DrawSymbol(Pen{p, state == 0 ? kInk : state == 1 ? kInkDown : kInkOff}, Pen{p, p.at(w / 2, h / 2)}, sym,
             (w - s) / 2 + shift, (h - s) / 2 + shift, s);
  return p;
}

// A face of the pixel art (32 x 40) at the largest whole scale that fits w x h, centred on the face's own
// ground colour (its top-left pixel). False after reporting a fault.
bool FacePicture(Context& context, const char* name, int w, int h, Picture& out) {
  Picture face;
  if (!DrawArt(context, "role pictures", name, face)) return false;
  const int k = std::max(1, std::min(w / face.width, h / face.height));
  out = Picture(w, h, face.at(0, 0));
  const int x0 = (w - face.width * k) / 2, y0 = (h - face.height * k) / 2;
  for (int y = 0; y < face.height * k; ++y)
    for (int x = 0; x < face.width * k; ++x)
      if (x0 + x >= 0 && y0 + y >= 0 && x0 + x < w && y0 + y < h) out.at(x0 + x, y0 + y) = face.at(x / k, y / k);
  return true;
}

// A tile: parchment for the reading page (dark text reads on it), dusky stone for the list pages.
Picture Tile(int s, bool parchment) {
  Picture p(s, s, parchment ? Rgb565(214, 198, 158) : Rgb565(34, 36, 46));
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x)
      if ((x * 7 + y * 13) % 23 == 0) p.at(x, y) = parchment ? Rgb565(204, 186, 146) : Rgb565(40, 42, 54);
  return p;
}

std::vector<ButtonRole> Buttons() {
  using namespace RolePicture;
  std::vector<ButtonRole> b = {
      {kTabs + 0, Sym::Bag, {{33, 325}}},        {kTabs + 3, Sym::Person, {{33, 326}}},
      {kTabs + 6, Sym::Scroll, {{33, 327}}},     {kTabs + 9, Sym::Star, {{33, 328}}},
      {kTabs + 12, Sym::Menu, {{33, 329}}},      {kTabs + 15, Sym::Cross, {{33, 330}}},
      {kRename, Sym::Pen, {{36, 355}}},          {kFace, Sym::Face, {{36, 356}}},
      {kGridPrevious, Sym::Up, {{33, 320}}},     {kGridNext, Sym::Down, {{33, 319}}},
      {kTake, Sym::TakeIn, {{33, 306}}},         {kDrop, Sym::DropOut, {{33, 307}}},
      {kUse, Sym::Book, {{33, 309}}},            {kUseLetter, Sym::Letter, {{33, 309}}},
      {kUseAlchemy, Sym::Flask, {{33, 309}}},    {kUseRepair, Sym::Hammer, {{33, 309}}},
      {kShowDescription, Sym::Eye, {{33, 323}}}, {kHideDescription, Sym::Shut, {{33, 321}}},
      {kDescriptionPrevious, Sym::Up, {{33, 331}}}, {kDescriptionNext, Sym::Down, {{33, 332}}},
      {kReadPrevious, Sym::Left, {{31, 303}, {32, 303}}}, {kReadNext, Sym::Right, {{31, 304}, {32, 304}}},
      {kReadClose, Sym::Cross, {{31, 25}, {32, 25}}},     {kFacePrevious, Sym::Left, {{6, 37}}},
      {kFaceNext, Sym::Right, {{6, 38}}},        {kFaceOk, Sym::Tick, {{6, 25}}},
      {kFaceCancel, Sym::Cross, {{6, 26}}},      {kWorldView, Sym::Globe, {{8, 49}}},
      {kLocalView, Sym::Map, {{8, 50}}},
  };
  const Sym categories[] = {Sym::Grid, Sym::Sword, Sym::Shield, Sym::Ring, Sym::Book,
                            Sym::Flask, Sym::Bottle, Sym::Wand, Sym::Coin};
  for (u16 i = 0; i < 9; ++i) b.push_back({u16(kCategories + 3 * i), categories[i], {{33, u16(310 + i)}}});
  // Heal, protection, attack, mind, undead and environment spells, and the magic items.
  const Sym schools[] = {Sym::Heart, Sym::Shield, Sym::Bolt, Sym::Eye, Sym::Skull, Sym::Leaf, Sym::Wand};
  for (u16 i = 0; i < 7; ++i) b.push_back({u16(kSchools + 3 * i), schools[i], {{35, u16(208 + i)}}});
  return b;
}

// The smallest place of the role on the mode's layout; false when the layout places it nowhere.
bool SizeOf(const SLayoutTable& layouts, i32 mode, const std::vector<Place>& places, int& w, int& h) {
  bool found = false;
  for (const Place& place : places)
    if (const SLayoutItem* item = layouts.GetItem(place.layout, mode, place.control); item && item->w && item->h) {
      w = found ? std::min<int>(w, item->w) : item->w;
      h = found ? std::min<int>(h, item->h) : item->h;
      found = true;
    }
  return found;
}

void BuildRolePictures(Context& context) {
  Archive& data = context.archive("DuskmireData");
  const std::vector<ButtonRole> buttons = Buttons();
  for (i32 mode : RolePicture::DeviceModes()) {
    const u32 layoutRecord = SLayoutTable::RecordForMode(mode);
    const auto found = data.records.find(u16(layoutRecord));
    SLayoutTable layouts;
    if (found == data.records.end() ||
        !layouts.Load(found->second.data(), static_cast<u32>(found->second.size()))) {
      return context.fail("role pictures", "no layout record " + std::to_string(layoutRecord) + " to size them by");
    }
    const bool small = mode == 6 || mode == 7 || mode == 8 || mode == 16;
    auto put = [&](u16 role, const Picture& p) {
      const u16 id = RolePicture::RecordFor(role, mode);
      return PutPicture(context, data, id, p, 0,
                   "role pictures: role " + std::to_string(role) + " mode " + std::to_string(mode) + " record " +
                       std::to_string(id));
    };
    for (const ButtonRole& b : buttons) {
      // A place the mode's layout lacks is never shown: a small picture keeps the record there all the same.
      int w = small ? 16 : 32, h = w;
      SizeOf(layouts, mode, b.places, w, h);
      for (int state = 0; state < 3; ++state)
        if (!put(u16(b.role + state), Button(w, h, b.symbol, state))) return;
    }
    int fw = small ? 40 : 80, fh = fw;
    SizeOf(layouts, mode, {{6, 36}}, fw, fh);
    // The placeholder is the face of someone not known; the default face the first new player's face.
    Picture face;
    if (!FacePicture(context, "bres_headunknown", fw, fh, face) || !put(RolePicture::kPlaceholderFace, face)) return;
    fw = small ? 40 : 80, fh = fw;
    SizeOf(layouts, mode, {{36, 36}}, fw, fh);
    if (!FacePicture(context, "bres_head34", fw, fh, face) || !put(RolePicture::kDefaultFace, face)) return;
    if (!put(RolePicture::kReadingPage, Tile(small ? 16 : 32, true))) return;
    if (!put(RolePicture::kListPage, Tile(small ? 16 : 32, false))) return;
  }
}

}  // namespace

WORLDBUILD_STEP(13, "role pictures", BuildRolePictures);

}  // namespace worldbuild
