// Pixel art sources: text grids with a colour legend, drawn and derived as the file says, every fault
// named by file and line; and the builder that draws the sample world from them, refusing test patterns.
#include "PixelArt.h"
#include "support/SampleBuild.h"

#include <gtest/gtest.h>

namespace {

using imageenc::Picture;
using imageenc::PixelArt;
using imageenc::Rgb565;

std::vector<u16> Pixels(const PixelArt& art, const char* name) {
  const Picture* p = art.Find(name);
  return p ? p->pixels : std::vector<u16>{};
}

TEST(PixelArt, GridsAndDerivedPicturesTakeTheLegendInForce) {
  PixelArt art;
  std::string error;
  ASSERT_TRUE(art.Read(R"(# a comment
colour . clear
colour r #ff0000
colour w #ffffff
picture two
r.w

picture big scale 2
r.

colour r #0000ff
derive turned from two mirror swap rw wr
derive moved from two shift 1 0 flip
derive small from big scale 1
)",
                       "t.art", error))
      << error;
  const u16 red = Rgb565(255, 0, 0), clear = 0xFFFF, blue = Rgb565(0, 0, 255);
  const u16 white = Pixels(art, "two")[2];
  EXPECT_NE(white, clear);  // white stays opaque
  EXPECT_EQ(Pixels(art, "two"), (std::vector<u16>{red, clear, white}));
  EXPECT_EQ(Pixels(art, "big"), (std::vector<u16>{red, red, clear, clear, red, red, clear, clear}));
  // Derived pictures look their characters up in the legend of their own line: r is blue by then.
  EXPECT_EQ(Pixels(art, "turned"), (std::vector<u16>{blue, clear, white}));
  EXPECT_EQ(Pixels(art, "moved"), (std::vector<u16>{clear, blue, clear}));
  EXPECT_EQ(Pixels(art, "small"), (std::vector<u16>{blue, clear}));
  EXPECT_EQ(art.Where("big"), "t.art:8");
}

TEST(PixelArt, FaultsAreNamedByFileAndLine) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"colour . clear\nsketch a\n", "f.art:2: unknown directive sketch"},
      {"colour a #12345\n", "f.art:1: write a colour as"},
      {"colour a #000000\npicture p\naa\nab\n", "f.art:4: p: the character 'b' has no colour"},
      {"colour a #000000\npicture p\naa\na\n", "f.art:4: p: this row is 1 wide, the first 2"},
      {"colour a #000000\npicture p\na\n\npicture p\na\n", "f.art:5: p: drawn twice (first at f.art:2)"},
      {"colour a #000000\npicture p scale 17\na\n", "f.art:2: write a picture as"},
      {"colour a #000000\npicture p\n\n", "f.art:2: p: no rows follow"},
      {"colour a #000000\nderive q from p\n", "f.art:2: q: no picture p before it"},
      {"colour a #000000\npicture p\na\n\nderive q from p shift 1 0\n", "f.art:5: q: shifting needs a clear colour"},
      {"colour a #000000\npicture p\na\n\nderive q from p spin\n", "f.art:5: q: unknown change spin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    PixelArt art;
    std::string error;
    EXPECT_FALSE(art.Read(c.text, "f.art", error));
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

// The shipped world's pictures: a checkerboard or a flat gradient is refused (a sky may be a gradient), and
// so is a picture the art lacks or one of the wrong size, each named with the source that asks for it.
TEST(PixelArt, TheBuilderRefusesTestPatternsAndMissingOrMisfitArt) {
  const testbuild::Refusal cases[] = {
      {"a checkered floor", "world/res.json", R"("bres_floorstone", "gen": "flagstones")",
       R"("bres_floorstone", "gen": "checker")", "bres_floorstone: the checker is a test pattern"},
      {"a face as a gradient", "world/res.json", R"({"name": "bres_head34", "format": 0})",
       R"({"name": "bres_head34", "gen": "gradient", "format": 0})", "bres_head34: the gradient is a test pattern"},
      {"a creature without its frames", "world/res.json", R"({"name": "bres_rat", )", R"({"name": "bres_bat", )",
       "bres_bat1: no such picture in data/sample/art"},
      {"an item picture of the wrong size", "art/items_arms.art", "picture base_itemlongsword\n",
       "picture base_itemlongsword scale 2\n", "base_itemlongsword is 100 x 100, wanted 50 x 50"},
      {"a bad legend line", "art/items_arms.art", "colour k #1c140e", "colour k #1c140",
       "items_arms.art:11: write a colour as"},
      {"an item ground that is no colour", "world/items.json", R"("ground": "#2a2520")", R"("ground": "dark")",
       "ground: write the slot's ground colour as #rrggbb"},
      {"a card without its picture", "art/cards.art", "derive card_fang from", "derive card_fangs from",
       "card pictures: Fang: card_fang: no such picture in data/sample/art"},
      {"a card's symbol of the wrong size", "art/cards.art", "picture cardsym_heal\n", "picture cardsym_heal scale 2\n",
       "card_remedy is 40 x 56, wanted 20 x 28"},
      {"a scene button the art lacks", "art/scenebuttons.art", "picture scene_pause16\n", "picture scene_stop16\n",
       "record 3854: scene_pause16: no such picture in data/sample/art"},
  };
  for (const testbuild::Refusal& c : cases) testbuild::ExpectRefused("duskmire-art", c);
}

}  // namespace
