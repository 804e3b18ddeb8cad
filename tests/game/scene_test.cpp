// Scene preparation as tables on a window filled by hand: connection masks of every neighbour pattern,
// ground records, the cells in view by facing, light spreading and the dark map, the automap cone, the
// faced label, and the sky and view numbers.
#include "HandWindow.h"
#include "game/SConnectionVariants.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

namespace {

// The corner rule written out again: a diagonal counts only with both its straight neighbours.
u32 CornerRule(u32 mask) {
  const u32 north = 1, east = 4, south = 16, west = 64;
  const struct {
    u32 a, b, corner;
  } corners[] = {{north, east, 2}, {east, south, 8}, {south, west, 32}, {west, north, 128}};
  for (const auto& c : corners)
    if (!((mask & c.a) && (mask & c.b))) mask &= ~c.corner;
  return mask;
}

constexpr i32 kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr i32 kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

TEST(ConnectionMasks, EveryNeighbourPatternGivesItsVariant) {
  std::set<u16> variants;
  for (u32 pattern = 0; pattern < 256; ++pattern) {
    HandWindow h;
    SMapObjectType* wall = h.Make(5, "wall", {7});
    SMapObjectType* style = h.Make(1, "style", {8});
    SMapObjectType* other = h.Make(1, "other", {9});
    auto place = [&](i32 x, i32 y, SMapObjectType* s) {
      h.Cell(x, y).centreType = wall;
      h.Cell(x, y).styleType = s;
    };
    place(10, 10, style);
    for (u32 k = 0; k < 8; ++k) place(10 + kDx[k], 10 + kDy[k], (pattern >> k) & 1 ? style : other);
    EXPECT_EQ(h.state.WallMask(10, 10), pattern);
    const u32 canonical = CornerRule(pattern);
    EXPECT_EQ(SStateGame::ApplyCornerRules(pattern), canonical) << pattern;
    u16 expected = 0;
    for (const auto& e : ConnectionVariants::kTable)
      if (e[0] == canonical) expected = e[1];
    EXPECT_EQ(h.state.Variant(pattern), expected) << pattern;
    variants.insert(h.state.Variant(pattern));
    // The wall's first render word carries the variant in its upper byte.
    h.state.RebuildCell(10, 10);
    EXPECT_EQ(h.state.scene.Words(10 + 35 * 10, 1)[0] >> 8, expected) << pattern;
  }
  // The rule leaves 47 masks: 46 give their own variants, all eight neighbours give 0.
  EXPECT_EQ(variants.size(), 47u);
  EXPECT_EQ(ConnectionVariants::MaskOf(0), 255u);
  EXPECT_EQ(ConnectionVariants::MaskOf(15), 0u);
}

TEST(ConnectionMasks, AnInactiveNeighbourDoesNotJoin) {
  HandWindow h;
  SMapObjectType* wall = h.Make(5, "wall", {7});
  SMapObjectType* style = h.Make(1, "style", {8});
  for (i32 x = 9; x <= 11; ++x) {
    h.Cell(x, 10).centreType = wall;
    h.Cell(x, 10).styleType = style;
  }
  h.Cell(11, 10).centreObjectId = 4;
  SMapObjectInst* gone = h.AddObject(4, 11, 10, 0);
  EXPECT_EQ(h.state.WallMask(10, 10), 64u);  // west only
  gone->state = 1;
  EXPECT_EQ(h.state.WallMask(10, 10), 64u | 4u);
}

// A base's transition type: 48 frames, images 100 to 147.
SMapObjectType* Transitions(HandWindow& h, const char* name) {
  std::vector<u16> frames;
  for (u16 i = 0; i < 48; ++i) frames.push_back(u16(100 + i));
  return h.Make(2, name, frames);
}
void FillFirstBase(HandWindow& h, SMapObjectType* type) {
  for (i32 y = 0; y < 35; ++y)
    for (i32 x = 0; x < 35; ++x) h.Cell(x, y).base1Type = type;
}

TEST(GroundRecords, WallBasesLayersDefaultsAndWater) {
  HandWindow h;
  SMapObjectType* pit = h.Make(5, "pit", {11});
  SMapObjectType* grass = h.Make(1, "grass", {21});
  SMapObjectType* water = h.Make(3, "water", {31, 32, 33});
  SMapObjectType* shore = Transitions(h, "shore");
  h.area->textureType = grass;
  // Grass everywhere but for a block of water with shore frames at 10..14 x 10..14 and a pit at (3, 3).
  FillFirstBase(h, grass);
  for (i32 y = 10; y <= 14; ++y)
    for (i32 x = 10; x <= 14; ++x) {
      h.Cell(x, y).base2Type = water;
      h.Cell(x, y).base2Type2 = shore;
    }
  h.Cell(3, 3).base1Type = pit;
  h.Cell(20, 20).base1Type = nullptr;  // no base: the area's default ground
  h.state.RebuildAllCells();
  const struct Case {
    i32 x, y;
    u16 textures[3];
    u16 masks[2];
    u16 flags;
    u16 kind;
    const char* what;
  } cases[] = {
      {3, 3, {11, 0, 0}, {0, 0}, 1, 0, "a wall base: a pit walled with its picture, nothing else"},
      {5, 5, {21, 0, 0}, {0, 0}, 0, 60, "grass all round: its own picture"},
      {12, 12, {31, 0, 0}, {0, 0}, 0, 59, "water in the middle of water: water alone"},
      // Water joins east, south-east and south at its north-west corner (mask 28, variant 3), and all
      // but the north at its north edge (mask 124, variant 1).
      {10, 10, {21, 31, 0}, {100 + 3, 0}, 0, 59, "water's north-west corner over the grass beneath"},
      {12, 10, {21, 31, 0}, {100 + 1, 0}, 0, 59, "its north edge"},
      {20, 20, {21, 0, 0}, {0, 0}, 0, 54, "no base: the default ground"},
  };
  for (const Case& c : cases) {
    const u16* g = h.state.scene.Ground(u32(c.x + 35 * c.y));
    for (u32 k = 0; k < 3; ++k) EXPECT_EQ(g[GroundRecord::kTexture + k], c.textures[k]) << c.what;
    EXPECT_EQ(g[GroundRecord::kMask], c.masks[0]) << c.what;
    EXPECT_EQ(g[GroundRecord::kMask + 1], c.masks[1]) << c.what;
    EXPECT_EQ(g[GroundRecord::kFlags], c.flags) << c.what;
    EXPECT_EQ(h.state.scene.Cell(u32(c.x + 35 * c.y))[RenderCell::kKind], c.kind) << c.what;
  }
}

TEST(GroundRecords, ANeighboursDefaultGroundJoinsWhateverBasesItHas) {
  HandWindow h;
  SMapObjectType* grass = h.Make(1, "grass", {21});
  SMapObjectType* stone = h.Make(1, "stone", {41});
  h.area->textureType = grass;
  // One cell of grass (the area's own ground) with edge frames, in a field of stone.
  FillFirstBase(h, stone);
  h.Cell(17, 17).base1Type = grass;
  h.Cell(17, 17).base1Type2 = Transitions(h, "edges");
  h.state.RebuildAllCells();
  // Every neighbour's ground lies on grass: the grass covers its cell whole, and the stone draws the edges.
  const u16* g = h.state.scene.Ground(17 + 35 * 17);
  EXPECT_EQ(std::vector<u16>(g + GroundRecord::kTexture, g + GroundRecord::kTexture + 3), std::vector<u16>({21, 0, 0}));
  EXPECT_EQ(g[GroundRecord::kMask], 0);
}

TEST(GroundRecords, AnimatedWaterStepsThroughItsFrames) {
  HandWindow h;
  SMapObjectType* water = h.Make(3, "water", {31, 32, 33});
  water->frameCountA = 3;
  h.state.animatedTypes.Add(water);
  h.state.animatedFrames.Add(0);
  for (i32 x = 0; x < 35; ++x) h.Cell(x, 5).base1Type = water;
  h.state.RebuildAllCells();
  const u16* g = h.state.scene.Ground(5 * 35 + 4);
  const u16 expected[] = {32, 33, 31, 32};
  for (u16 e : expected) {
    h.state.AnimateTextures();
    EXPECT_EQ(g[GroundRecord::kTexture], e);
  }
}

TEST(VisibleCells, TheSideBehindReachesThreeCells) {
  const struct Case {
    i32 facing, west, north, east, south;
  } cases[] = {{0, 6, 6, 6, 3},  {90, 6, 6, 3, 6},  {180, 6, 3, 6, 6}, {270, 3, 6, 6, 6}, {360, 6, 6, 6, 3},
               {45, 6, 6, 3, 3}, {135, 6, 3, 3, 6}, {225, 3, 3, 6, 6}, {315, 3, 6, 6, 3}, {10, 6, 6, 6, 3}};
  for (const Case& c : cases) {
    i32 w, n, e, s;
    SStateGame::VisibleReach(c.facing, w, n, e, s);
    EXPECT_EQ(std::vector<i32>({w, n, e, s}), std::vector<i32>({c.west, c.north, c.east, c.south})) << c.facing;
  }
}

// A kind whose cells shine with a chosen light.
class LampType : public SMapObjectType {
 public:
  void BuildCell(SMapObjectInst*, SMapCell*, u16* record, u16& l) override {
    record[0] = 1;
    l = u16(built);
  }
  void RefreshCell(SMapObjectInst*, SMapCell*, u16*, u16& l) override { l = u16(light); }
  i32 light = 1000;
  i32 built = 256;
};

TEST(VisibleCells, BrightCellsShareAFifthPastNoWall) {
  HandWindow h;
  LampType lamp;
  lamp.animated = true;
  SMapObjectType* wall = h.Make(5, "wall", {7});
  h.Cell(17, 14).centreType = &lamp;
  h.Cell(16, 13).centreType = wall;  // shields its diagonal (15, 12) ... and (16, 12) beyond it
  h.state.RebuildAllCells();
  h.state.CollectVisibleCells(true, false);
  auto light = [&](i32 x, i32 y) { return h.state.scene.Cell(u32(x + 35 * y))[RenderCell::kLight]; };
  EXPECT_EQ(light(17, 14), 1000 + 200);  // the source takes its own share too
  EXPECT_EQ(light(18, 15), 256 + 200);
  EXPECT_EQ(light(18, 13), 256 + 200);
  EXPECT_EQ(light(16, 15), 256 + 200);
  EXPECT_EQ(light(16, 13), 256) << "a wall takes no share";
  EXPECT_EQ(light(19, 14), 256) << "two cells away";

  // A dark map: lights of 256 and more lose 64.
  h.area->flags |= 256;
  h.state.CollectVisibleCells(true, false);
  EXPECT_EQ(light(18, 15), 256 + 200 - 64);
  EXPECT_EQ(light(20, 20), 192);
  EXPECT_EQ(light(16, 13), 192) << "a wall in view darkens as it was built";
  // Built darker than normal, a cell keeps its light.
  lamp.built = 255;
  h.state.RebuildCell(17, 14);
  EXPECT_EQ(light(17, 14), 255);
  lamp.built = 256;
  h.state.RebuildCell(17, 14);
  EXPECT_EQ(light(17, 14), 192);
}

TEST(ShelfBags, TheNumberRidesInTheSideWordOnlyBelowItsPlainWhiteBit) {
  // A shelf on the south side of the wall at (17, 15), seen from (17, 16), its bag numbered after the
  // bags lying in row 0.
  for (u32 before : {2u, 6u, 7u}) {
    SCOPED_TRACE(before);
    HandWindow h;
    h.Cell(17, 15).centreType = h.Make(5, "wall", {7});
    h.Cell(17, 15).sideType[2] = h.Make(17, "shelf", {5, 6});
    SItemContainer* bag = h.area->AddContainer();
    h.AddObject(9, 17, 15)->containerId = bag->id;
    h.Cell(17, 15).sideObjectId[2] = 9;
    SItemType cup;
    cup.picture = 77;
    auto* item = new SItem;
    item->type = &cup;
    bag->AddItem(item);
    for (u32 k = 0; k < before; ++k) h.Cell(i32(k), 0).bagId = h.area->AddContainer()->id;
    h.state.window.ResolveCellObjects();
    h.state.RebuildAllCells();
    ASSERT_EQ(bag->serial, before + 1);
    const u16 word = h.state.scene.Lights(17 + 35 * 16, 1)[MapRecord::kSideFlags + 0];
    // Bit 15 draws the shelf's overlay in plain white: a number of 8 or more is not written there.
    EXPECT_EQ(word >> 12, bag->serial < 8 ? bag->serial : 0);
    EXPECT_EQ(h.state.scene.Bag(bag->serial)[0], 77) << "the bag's pictures are there all the same";
  }
}

TEST(Automap, TheConeStopsAtWalls) {
  // The cells seen from (17, 17), given as offsets from the player, for walls placed in the cone.
  using Offsets = std::set<std::pair<i32, i32>>;
  const Offsets open = {{0, 0},  {0, -1}, {0, -2}, {0, -3},  {-1, -1}, {-1, -2}, {-1, -3},
                        {1, -1}, {1, -2}, {1, -3}, {-2, -2}, {-2, -3}, {2, -2},  {2, -3}};
  const struct Case {
    i32 facing;
    std::vector<std::pair<i32, i32>> walls;
    Offsets seen;
    const char* what;
  } cases[] = {
      {0, {}, open, "an open field: the whole cone"},
      {0, {{0, -1}}, {{0, 0}, {0, -1}}, "a wall straight ahead closes every column"},
      {0,
       {{-1, -1}},
       {{0, 0}, {0, -1}, {0, -2}, {0, -3}, {-1, -1}, {1, -1}, {1, -2}, {1, -3}, {2, -2}, {2, -3}},
       "a wall ahead on the left closes its column and the outer one"},
      {0,
       {{0, -2}},
       {{0, 0},
        {0, -1},
        {0, -2},
        {-1, -1},
        {-1, -2},
        {-1, -3},
        {1, -1},
        {1, -2},
        {1, -3},
        {-2, -2},
        {-2, -3},
        {2, -2},
        {2, -3}},
       "a wall two ahead closes only its own column"},
      {90,
       {},
       {{0, 0},
        {-1, 0},
        {-2, 0},
        {-3, 0},
        {-1, -1},
        {-2, -1},
        {-3, -1},
        {-1, 1},
        {-2, 1},
        {-3, 1},
        {-2, -2},
        {-3, -2},
        {-2, 2},
        {-3, 2}},
       "facing west: the cone turned"},
  };
  for (const Case& c : cases) {
    HandWindow h;
    SMapObjectType* wall = h.Make(5, "wall", {7});
    for (auto [dx, dy] : c.walls) h.Cell(17 + dx, 17 + dy).centreType = wall;
    h.state.facing = c.facing;
    h.state.MarkAutomapSeen();
    Offsets seen;
    for (i32 y = 0; y < 35; ++y)
      for (i32 x = 0; x < 35; ++x)
        if (h.state.window.IsCellSeen(x, y)) seen.insert({x - 17, y - 17});
    EXPECT_EQ(seen, c.seen) << c.what;
  }
}

TEST(FacedLabel, PersonBesideMonstersAheadAndWalls) {
  HandWindow h;
  SMonster person, rat;
  person.kind = 4;
  person.maxHp = 10;
  person.label = "Merchant";
  rat.kind = 2;
  rat.maxHp = 0;  // a maximum of 0 shows an empty bar rather than dividing by it
  rat.label = "Rat";
  rat.flags = 4;
  auto add = [&](SMonster* t, u8 id, u8 x, u8 y, i16 hp) {
    auto* m = new SMapMonster;
    m->monster = t;
    m->id = id;
    m->cellX = x;
    m->cellY = y;
    m->hp = hp;
    h.area->AddMonsterEntry(m);
    SMapCell& c = h.Cell(x, y);
    (c.monsterId[0] ? c.monsterId[1] : c.monsterId[0]) = id;
    return m;
  };
  SMapMonster* merchant = add(&person, 1, 17, 17, 10);
  add(&rat, 2, 17, 15, 4);
  SMapMonster* angry = add(&rat, 3, 17, 15, 4);
  h.state.visibleCells = 5;
  h.state.window.ResolveCellObjects();
  h.state.RebuildAllCells();
  // The person shares the player's cell at its centre: not in front, so the rats two cells ahead count.
  h.state.UpdateFacedLabel();
  EXPECT_TRUE(h.state.labels[0].shown);
  EXPECT_EQ(std::string(h.state.labels[0].text.CStr()), "Rat");
  EXPECT_EQ(h.state.labels[0].percent, 0);
  EXPECT_TRUE(h.state.labels[0].hostile) << "a template that attacks on sight";
  EXPECT_TRUE(h.state.labels[1].shown);
  angry->flags = SMapMonster::kAggressive;
  // Moved to the northern half of the cell, the person stands in front of the player.
  h.state.scene.Monster(merchant->displayIndex)[MonsterDraw::kY] = 20000;
  h.state.UpdateFacedLabel();
  EXPECT_EQ(std::string(h.state.labels[0].text.CStr()), "Merchant");
  EXPECT_EQ(h.state.labels[0].percent, 100);
  EXPECT_FALSE(h.state.labels[0].hostile) << "people are never hostile";
  EXPECT_FALSE(h.state.labels[1].shown);
  // A wall between: nothing beyond it.
  h.state.scene.Monster(merchant->displayIndex)[MonsterDraw::kY] = 32768;
  h.Cell(17, 16).centreType = h.Make(5, "wall", {7});
  h.state.UpdateFacedLabel();
  EXPECT_FALSE(h.state.labels[0].shown);
}

TEST(SkyAndView, DistancesFromVisibilityAndLight) {
  const struct Case {
    bool joined;
    i32 visibility;  // the sky's, or the map's light byte
    u32 hour;
    i32 fogDistance, cells;
  } cases[] = {
      {true, 100, 12, 672, 7},  {true, 100, 23, 336, 7}, {true, 50, 12, 336, 5}, {true, 0, 12, 0, 3},
      {false, 100, 12, 336, 6}, {false, 60, 12, 0, 3},   {false, 0, 12, 0, 1},   {false, 250, 12, 672, 15},
  };
  for (const Case& c : cases) {
    HandWindow h;
    if (c.joined) {
      h.Joined();
      for (u8 period : {1, 2, 4}) {
        auto* sky = new SSkyType;
        sky->period = period;
        sky->visibility = u8(c.visibility);
        h.core.world.rules.skies.records.Add(sky);
      }
    } else {
      h.area->visibility = u8(c.visibility);
    }
    h.state.window.minutes = c.hour * 60;
    h.state.UpdateSkyAndLight(false);
    EXPECT_EQ(h.state.farDistance, c.fogDistance) << c.joined << " " << c.visibility << " at " << c.hour;
    EXPECT_EQ(h.state.visibleCells, c.cells) << c.joined << " " << c.visibility;
    EXPECT_EQ(h.state.nearDistance, c.cells * 336);
    // The renderer ends the view at the visible cells and starts the fog at the fog distance.
    EXPECT_EQ(h.state.view.far, c.cells * 336);
    EXPECT_EQ(h.state.view.fogStart, c.fogDistance);
    EXPECT_EQ(h.state.view.flags & 1, c.joined ? 1 : 0);
  }
}

}  // namespace
