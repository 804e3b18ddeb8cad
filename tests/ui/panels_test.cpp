// The game core's panels on a small screen drawn as letters (each piece of a fixture set has a colour of
// its own), the compact amounts, the number glyphs, and a clipping check: panels and controls partly or
// wholly off every edge draw only inside the screen.
#include "ImageEncode.h"
#include "UiRig.h"
#include "core/ui/SAnimCtrl.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SSceneTextCtrl.h"
#include "core/ui/STextCtrl.h"

#include <functional>
#include <map>

namespace {

// Piece letters: a nine-piece set in slots 0 to 8 (upper case corners, lower case edges and centre) and a
// three-piece bar in slots 10 to 12.
struct PieceSpec {
  u32 slot;
  char letter;
  int w, h;
};
constexpr PieceSpec kPieces[] = {
    {0, 'A', 2, 2}, {1, 'l', 2, 1}, {2, 'B', 2, 2}, {3, 't', 1, 2},  {4, 'c', 1, 1},  {5, 'b', 1, 2},
    {6, 'C', 3, 2}, {7, 'r', 3, 1}, {8, 'D', 3, 2}, {10, 'L', 2, 3}, {11, 'm', 1, 2}, {12, 'R', 2, 3},
};
constexpr char kFillLetter = 'x';
constexpr u32 kFillWord = 0x102030;

u16 ColourOf(char letter) { return u16(0x0821 * u32(letter - 'A' + 2)); }

struct LetterScreen {
  LetterScreen() : rig(7, 12, 8) {
    for (const PieceSpec& p : kPieces)
      rig.core.pictures[p.slot] =
          MakePictureEntry(imageenc::Encode(imageenc::Picture(p.w, p.h, ColourOf(p.letter)), 0));
  }
  std::vector<std::string> Rows() const {
    std::map<u16, char> letters{{0, '.'}, {MakeColor565(kFillWord), kFillLetter}};
    for (const PieceSpec& p : kPieces) letters[ColourOf(p.letter)] = p.letter;
    std::vector<std::string> rows;
    for (int y = 0; y < 8; ++y) {
      std::string row;
      for (int x = 0; x < 12; ++x) {
        auto it = letters.find(rig.Pixel(x, y));
        row += it == letters.end() ? '?' : it->second;
      }
      rows.push_back(row);
    }
    return rows;
  }
  SImageEntry* const* Nine() const { return &rig.core.pictures[0]; }
  SImageEntry* const* Three() const { return &rig.core.pictures[10]; }
  CoreRig rig;
};

TEST(Panels, PiecesAndSidesAsDrawn) {
  const struct Case {
    const char* name;
    std::function<void(LetterScreen&)> draw;
    std::vector<std::string> rows;
  } cases[] = {
      {"full nine-piece panel",
       [](LetterScreen& s) { s.rig.core.DrawPanel3H(s.Nine(), 0, 1, 1, 9, 6); },
       {"............", ".AAttttCCC..", ".AAttttCCC..", ".llccccrrr..", ".llccccrrr..", ".BBbbbbDDD..", ".BBbbbbDDD..",
        "............"}},
      {"frame of all four sides: no centre",
       [](LetterScreen& s) { s.rig.core.DrawPanel9(s.Nine(), 0, 1, 1, 9, 6, 15, 0); },
       {"............", ".AAttttCCC..", ".AAttttCCC..", ".ll....rrr..", ".ll....rrr..", ".BBbbbbDDD..", ".BBbbbbDDD..",
        "............"}},
      {"sides 0 without fill draw nothing",
       [](LetterScreen& s) { s.rig.core.DrawPanel9(s.Nine(), 0, 1, 1, 9, 6, 0, kFillWord); },
       {"............", "............", "............", "............", "............", "............", "............",
        "............"}},
      {"the left side alone: its corners and edge",
       [](LetterScreen& s) { s.rig.core.DrawPanel9(s.Nine(), 0, 1, 1, 9, 6, 2, 0); },
       {"............", ".AA.........", ".AA.........", ".ll.........", ".ll.........", ".BB.........", ".BB.........",
        "............"}},
      {"top and right: the right side draws the bottom-right corner",
       [](LetterScreen& s) { s.rig.core.DrawPanel9(s.Nine(), 0, 1, 1, 9, 6, 1 | 8, 0); },
       {"............", ".AAttttCCC..", ".AAttttCCC..", ".......rrr..", ".......rrr..", ".......DDD..", ".......DDD..",
        "............"}},
      {"fill only",
       [](LetterScreen& s) { s.rig.core.DrawPanel9(s.Nine(), 0, 1, 1, 9, 6, 128, kFillWord); },
       {"............", "............", "............", "...xxxx.....", "...xxxx.....", "............", "............",
        "............"}},
      {"exactly as wide as the corners: no inner width",
       [](LetterScreen& s) { s.rig.core.DrawPanel3H(s.Nine(), 0, 1, 1, 5, 6); },
       {"............", ".AACCC......", ".AACCC......", ".llrrr......", ".llrrr......", ".BBDDD......", ".BBDDD......",
        "............"}},
      {"narrower and lower than the corners: only corners, drawn where the rules put them",
       [](LetterScreen& s) {
         s.rig.core.DrawPanel3H(s.Nine(), 0, 1, 1, 4, 3);
         s.rig.core.DrawPanel9(s.Nine(), 0, 6, 4, 4, 3, 15 | 128, kFillWord);
       },
       {"............", ".ACCC.......", ".BDDD.......", ".BDDD.......", "......ACCC..", "......BDDD..", "......BDDD..",
        "............"}},
      {"three-piece bar: caps keep their height, the middle tiles",
       [](LetterScreen& s) { s.rig.core.DrawPanel3V(s.Three(), 0, 1, 1, 7, 2); },
       {"............", ".LLmmmRR....", ".LLmmmRR....", ".LL...RR....", "............", "............", "............",
        "............"}},
      {"a bar narrower than its caps tiles nothing",
       [](LetterScreen& s) { s.rig.core.DrawPanel3V(s.Three(), 0, 1, 1, 3, 2); },
       {"............", ".LRR........", ".LRR........", ".LRR........", "............", "............", "............",
        "............"}},
      {"empty slots draw nothing and count as 0 x 0",
       [](LetterScreen& s) {
         delete s.rig.core.pictures[0];
         s.rig.core.pictures[0] = nullptr;
         s.rig.core.DrawPanel9(s.Nine(), 0, 1, 1, 9, 6, 1 | 2, 0);
       },
       {"............", ".......CCC..", ".......CCC..", "............", "............", ".BB.........", ".BB.........",
        "............"}},  // without a top-left corner the top and left borders are 0 wide
  };
  for (const Case& c : cases) {
    LetterScreen s;
    c.draw(s);
    EXPECT_EQ(s.Rows(), c.rows) << c.name;
  }
}

TEST(Panels, CompactAmounts) {
  const struct {
    u32 amount;
    const char* text;
  } cases[] = {{0, "0"},         {1500, "1500"},  {9999, "9999"},        {10000, "10K"},
               {999999, "999K"}, {1000000, "1M"}, {4294967295u, "4294M"}};
  for (const auto& c : cases) {
    SString out;
    FormatCompactNumber(c.amount, out);
    EXPECT_STREQ(out.CStr(), c.text) << c.amount;
  }
}

TEST(Panels, NumberGlyphs) {
  const struct {
    const char* text;
    std::vector<int> small, second;
  } cases[] = {
      {"+12K", {29, 15, 16, 24}, {135, 161, 162, 130}},
      {"K12", {'K', 15, 16}, {'K', 161, 162}},
      {"5)%", {19, ')', 27}, {165, ')', 133}},
      {"a-b", {'a', '-', 'b'}, {'a', '-', 'b'}},
      {"7-", {21, '-'}, {167, '-'}},
      {"-3%", {28, 17, 27}, {134, 163, 133}},
      {"2 M", {16, ' ', 'M'}, {162, ' ', 'M'}},
      {"9B0M", {23, 26, 14, 25}, {169, 132, 160, 131}},
      {"", {}, {}},
  };
  for (const auto& c : cases) {
    for (int set = 0; set < 2; ++set) {
      SString text(c.text);
      const u32 length = set ? SGameCore::ConvertNumberGlyphsAlt(text) : SGameCore::ConvertNumberGlyphs(text);
      const std::vector<int>& want = set ? c.second : c.small;
      EXPECT_EQ(length, want.size()) << c.text;
      std::vector<int> got;
      for (u32 i = 0; i < text.Length(); ++i) got.push_back(u8(text.CharAt(i)));
      EXPECT_EQ(got, want) << c.text << " set " << set;
    }
  }
}

// The screen lies inside a larger block whose margins must stay untouched.
struct GuardedScreen {
  static constexpr u16 kGuard = 0xA5A5;
  static constexpr size_t kMargin = 4096;
  GuardedScreen(i32 mode, u16 w, u16 h) : rig(mode, w, h), block(size_t(w) * h + 2 * kMargin, kGuard) {
    rig.ready = rig.ready && rig.core.display->UseMemory(block.data() + kMargin, w, h);
    std::fill(block.begin() + kMargin, block.end() - kMargin, 0);
  }
  bool GuardsIntact() const {
    for (size_t i = 0; i < kMargin; ++i)
      if (block[i] != kGuard || block[block.size() - 1 - i] != kGuard) return false;
    return true;
  }
  UiRig rig;
  std::vector<u16> block;
};

TEST(Panels, ControlsAndPanelsOffEveryEdgeDrawOnlyOnTheScreen) {
  for (i32 mode : {7, 10}) {
    const u16 w = mode == 7 ? 240 : 480, h = mode == 7 ? 320 : 640;
    GuardedScreen g(mode, w, h);
    ASSERT_TRUE(g.rig.ready);
    SGameCore& core = g.rig.core;
    SDialog owner;
    owner.Attach(&core);
    const i32 xs[] = {-500, -20, 0, w - 10, w, w + 300, 65530};
    const i32 ys[] = {-500, -15, 0, h - 8, h, h + 200, 65530};
    for (i32 x : xs)
      for (i32 y : ys) {
        core.DrawPanel9(&core.pictures[16], 1, x, y, 60, 40, 15 | 128, 0x4080C0);
        core.DrawPanel9(&core.pictures[77], 0, x, y, 3, 2, 15 | 128, 0x4080C0);  // negative inner size
        core.DrawPanel3H(&core.pictures[1], 1, x, y, 90, 70);
        core.DrawPanel3H(&core.pictures[1], 1, x, y, 5, 5);
        core.DrawPanel3V(&core.pictures[10], 1, x, y, 70, 20);
        core.DrawPanel3V(&core.pictures[10], 1, x, y, 4, 20);

        SButtonCtrl button;
        button.Attach(&owner);
        button.CreatePanel(&core.pictures[13], &core.pictures[10], "Label", 5, 1, 0xFFFFFF, 0, 0xFFFFFF, 0, 0);
        button.SetRect(u16(x), u16(y), 2, 30);
        button.SetPressed(true);
        button.Paint();
        SPicCtrl picture;
        picture.Attach(&owner);
        picture.SetRect(u16(x), u16(y), 100, 60);
        picture.SetFrame(&core.pictures[77]);
        picture.SetPicture(core.Picture(277), 0, 1);
        picture.Paint();
        picture.SetPicture(core.Picture(0), 1, 0);  // keyed and of another size: not drawn
        picture.Paint();
        picture.picture = nullptr;
        picture.Paint();  // the placeholder, centred
        const u16 raw[6] = {1, 2, 3, 4, 5, 6};
        picture.SetRawPixels(raw, 3, 2);
        picture.Paint();
        SGradientCtrl gradient;
        gradient.Attach(&owner);
        gradient.SetDefaults();
        gradient.SetRect(u16(x), u16(y), 3, 2);  // negative inner sizes
        gradient.SetValue(50);
        gradient.Paint();
        gradient.SetRect(u16(x), u16(y), 120, 14);
        gradient.Paint();
        SProgressCtrl progress;
        progress.Attach(&owner);
        progress.SetRect(u16(x), u16(y), 80, 6);
        progress.SetTotal(3);
        progress.Step();
        progress.Paint();
        SFaceCtrl face;
        face.Attach(&owner);
        face.SetRect(u16(x), u16(y), 30, 30);
        face.SetPicture(core.Picture(277));
        face.SetBadge(1, 0);
        face.Paint();
        STextCtrl text;
        text.Attach(&owner);
        text.SetRect(u16(x), u16(y), 70, 30);
        text.outline = 1;
        text.SetTextStyled("Off the edge of the screen", STextCtrl::kCentred | STextCtrl::kMiddle, 1, 0xFFFFFF, 0);
        text.Paint();
        STextCursorCtrl cursor;
        cursor.Attach(&owner);
        cursor.SetDefaults();
        cursor.SetRect(u16(x), u16(y), 90, 16);
        cursor.SetText("Name");
        cursor.Paint();
        SFillBmpCtrl tiles;
        tiles.Attach(&owner);
        tiles.SetRect(u16(x), u16(y), 50, 50);
        tiles.tileMode = 1;
        tiles.SetPicture(core.Picture(262));
        tiles.Paint();
        tiles.SetPanel(&core.pictures[1]);
        tiles.tileMode = 0;
        tiles.Paint();
      }
    EXPECT_TRUE(g.GuardsIntact()) << "mode " << mode;
  }
}

}  // namespace
