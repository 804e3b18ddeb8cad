// A monster's own rules on a window filled by hand, with the game's generator seeded: the scores of its
// spells by effect kind, the reach of a spell and the first of equal scores, the damage of its blow, its
// resistances and spell power within their bounds, a template made from a base type, the act of each
// behaviour, the picture of each animation state and side, and the one generator the game hands out.
#include "MonsterWindow.h"
#include "core/SGameCore.h"
#include "player/SPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

// Which effects the monster holds, and how hurt it is, for a spell's score.
struct Holds {
  i8 effect = 0;  // an active effect of this kind (0: none)
  bool disease = false;
  i16 hp = 20;  // of 20
  bool undead = false;
};

TEST(MonsterRules, SpellScoresByEffectKind) {
  const struct Case {
    const char* what;
    u8 kind, sub, target;
    Holds holds;
    u32 race;
    i32 least, most;
  } cases[] = {
      {"fortify attribute on another", 2, 1, 3, {}, 2, 23, 68},
      {"fortify attribute on itself", 2, 1, 1, {}, 2, 26, 78},
      {"fortify attribute it has", 2, 1, 1, {2}, 2, 0, 0},
      {"fortify skill on itself", 1, 3, 1, {}, 2, 26, 78},
      {"restore hp at full health", 3, 0, 1, {}, 2, 3, 8},
      {"restore hp below a half", 3, 0, 1, {0, false, 9}, 2, 10, 29},
      {"restore hp below a third", 3, 0, 1, {0, false, 5}, 2, 13, 38},
      {"restore hp below a quarter", 3, 0, 1, {0, false, 4}, 2, 16, 48},
      {"restore hp for the undead", 3, 0, 1, {0, false, 4, true}, 2, 0, 0},
      {"restore full hp below a half", 4, 0, 1, {0, false, 9}, 2, 3, 8},
      {"restore full hp below a third", 4, 0, 1, {0, false, 5}, 2, 10, 29},
      {"restore full hp below a quarter", 4, 0, 1, {0, false, 4}, 2, 13, 38},
      {"restore unholy for the undead", 6, 0, 1, {0, false, 4, true}, 2, 16, 48},
      {"restore unholy for the living", 6, 0, 1, {0, false, 4}, 2, 0, 0},
      {"restore full unholy for the undead", 7, 0, 1, {0, false, 20, true}, 2, 3, 8},
      {"fortify ac", 11, 0, 1, {}, 2, 13, 38},
      {"fortify ac again", 11, 0, 1, {11}, 2, 26, 78},
      {"cure poison unpoisoned", 12, 0, 1, {}, 2, 0, 0},
      {"cure poison poisoned", 12, 0, 1, {26}, 2, 30, 89},
      {"cure paralysis paralysed", 13, 0, 1, {28}, 2, 30, 89},
      {"remove curse cursed", 21, 0, 1, {27}, 2, 30, 89},
      {"cure disease it carries", 14, 0, 1, {0, true}, 2, 30, 89},
      {"cure disease it lacks", 14, 0, 1, {}, 2, 0, 0},
      {"resist poison", 15, 0, 1, {}, 2, 23, 68},
      {"resist poison it has", 15, 0, 1, {15}, 2, 0, 0},
      {"resist magic", 22, 0, 1, {}, 2, 23, 68},
      {"dispel while cursed", 19, 0, 1, {27}, 2, 30, 89},
      {"dispel while paralysed", 19, 0, 1, {28}, 2, 30, 89},
      {"dispel with nothing to dispel", 19, 0, 1, {}, 2, 0, 0},
      {"harm undead at an undead player", 24, 3, 3, {}, 1, 26, 78},
      {"harm undead at a living player", 24, 3, 3, {}, 2, 0, 0},
      {"harm the living at a living player", 24, 1, 3, {}, 2, 26, 78},
      {"harm the living at an undead player", 24, 1, 3, {}, 1, 0, 0},
      {"damage", 25, 0, 3, {}, 2, 26, 78},
      {"drain hp", 29, 0, 3, {}, 2, 26, 78},
      {"crush", 40, 0, 3, {}, 2, 26, 78},
      {"level drops", 53, 0, 3, {}, 2, 26, 78},
      {"paralyze", 28, 0, 3, {}, 2, 20, 59},
      {"feather", 20, 0, 1, {}, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MonsterWindow w;
    w.Seed(11);
    w.core.player.race = c.race;
    SMonster& t = w.Template(c.holds.undead ? 3 : 2, 3);
    SSpell* spell = w.Spell("base_spelltest", {{c.kind, c.sub, 0}}, c.target);
    spell->effects.Entry(0)->SetName("base_rot");
    SMapMonster* m = w.Place(t, 17, 15);
    ASSERT_NE(m, nullptr);
    m->hp = c.holds.hp;
    if (c.holds.effect) w.area->AddMonsterEffect(m->id, 10, 5, c.holds.effect, 0, nullptr);
    if (c.holds.disease) w.area->InfectMonster(m->id, "base_rot");
    i32 least = INT_MAX, most = INT_MIN;
    for (int i = 0; i < 3000; ++i) {
      const i32 s = t.ScoreSpell(w.state, *spell, *w.area, *m, true, true, false);
      least = std::min(least, s);
      most = std::max(most, s);
    }
    EXPECT_EQ(least, c.least);
    EXPECT_EQ(most, c.most);
  }
}

TEST(MonsterRules, ASpellReachesByItsTargetAndTheAreaFlag) {
  MonsterWindow w;
  w.Seed(3);
  SMonster& t = w.Template(2, 3);
  w.Spell("base_spelltouch", {{25, 0, 0}}, 2);
  w.Spell("base_spellbolt", {{25, 0, 0}}, 3);
  w.Spell("base_spellball", {{25, 0, 2}}, 3);
  w.Spell("base_spellskin", {{11, 0, 0}}, 1);
  // The player at (17, 17): (17, 16) is next to it, (17, 14) in line, (19, 14) off the lines.
  const struct Case {
    const char* spell;
    i32 x, y;
    bool areaOnly, reaches;
  } cases[] = {
      {"base_spelltouch", 17, 16, false, true},  {"base_spelltouch", 17, 14, false, false},
      {"base_spelltouch", 18, 16, false, false}, {"base_spellbolt", 17, 14, false, true},
      {"base_spellbolt", 19, 14, false, false},  {"base_spellbolt", 17, 14, true, false},
      {"base_spellball", 19, 14, true, true},    {"base_spellball", 19, 14, false, false},
      {"base_spellskin", 19, 14, false, true},   {"base_spellskin", 19, 14, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.spell) + " from " + std::to_string(c.x) + "," + std::to_string(c.y));
    t.effects.DeleteAll();
    MonsterWindow::Know(t, c.spell);
    SMapMonster* m = w.Place(t, c.x, c.y);
    ASSERT_NE(m, nullptr);
    const SSpell* chosen = t.ChooseSpell(w.state, c.x, c.y, *w.area, *m, c.areaOnly);
    EXPECT_EQ(chosen, c.reaches ? w.core.world.rules.spells.FindByName(c.spell) : nullptr);
    w.state.UnlinkMonsterFromCell(c.x, c.y, m->id);
  }
  // A spell that scores nothing is never chosen.
  t.effects.DeleteAll();
  w.Spell("base_spellcure", {{12, 0, 0}}, 1);
  MonsterWindow::Know(t, "base_spellcure");
  SMapMonster* m = w.Place(t, 17, 14);
  EXPECT_EQ(t.ChooseSpell(w.state, 17, 14, *w.area, *m, false), nullptr) << "nothing to cure";
}

TEST(MonsterRules, TheFirstOfEqualBestSpellsIsChosen) {
  MonsterWindow w;
  SMonster& t = w.Template(2, 3);
  const SSpell* first = w.Spell("base_spellfirst", {{28, 0, 0}});
  const SSpell* second = w.Spell("base_spellsecond", {{28, 0, 0}});
  MonsterWindow::Know(t, "base_spellfirst");
  MonsterWindow::Know(t, "base_spellsecond");
  SMapMonster* m = w.Place(t, 17, 14);
  int ties = 0, seconds = 0;
  for (u32 seed = 1; seed <= 400; ++seed) {
    w.Seed(seed);
    // The same draws on a copy of the generator give both scores in advance.
    const SRandom saved = *w.core.random;
    const i32 a = t.ScoreSpell(w.state, *first, *w.area, *m, false, true, false);
    const i32 b = t.ScoreSpell(w.state, *second, *w.area, *m, false, true, false);
    *w.core.random = saved;
    ties += a == b;
    seconds += b > a;
    EXPECT_EQ(t.ChooseSpell(w.state, 17, 14, *w.area, *m, false), b > a ? second : first) << seed;
  }
  EXPECT_GT(ties, 0);
  EXPECT_GT(seconds, 0);
}

TEST(MonsterRules, TheBlowsDamage) {
  const struct Case {
    const char* what;
    u16 least, most;
    i16 melee;  // a Fortify melee bonus (0: none)
    bool cursed;
    i32 from, to;
  } cases[] = {
      {"a fixed blow", 7, 7, 0, false, 7, 7},
      {"a fixed blow, cursed", 7, 7, 0, true, 7, 7},
      {"the range", 10, 20, 0, false, 10, 20},
      {"cursed: halved toward the least", 10, 20, 0, true, 10, 15},
      {"fortified by 20 percent", 10, 20, 120, false, 12, 24},
      {"weakened by half", 10, 20, -150, false, 5, 10},
      {"fortified and cursed", 10, 20, 150, true, 15, 22},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MonsterWindow w;
    w.Seed(5);
    SMonster& t = w.Template();
    t.minDamage = c.least;
    t.maxDamage = c.most;
    if (c.melee) {
      auto* e = new SEffect;
      e->kind = 38;
      e->mode = 3;
      e->base = c.melee;
      t.effects.Add(e);
    }
    SMapMonster* m = w.Place(t, 17, 14);
    if (c.cursed) w.area->AddMonsterEffect(m->id, 1, 5, SMapArea::kCursed, 0, nullptr);
    i32 least = INT_MAX, most = INT_MIN;
    for (int i = 0; i < 500; ++i) {
      const i32 d = t.RollDamage(*w.area, *m, *w.core.random);
      least = std::min(least, d);
      most = std::max(most, d);
    }
    EXPECT_EQ(least, c.from);
    EXPECT_EQ(most, c.to);
  }
}

TEST(MonsterRules, ResistancesAndSpellPowerStayInTheirBounds) {
  const struct Case {
    const char* what;
    u16 endurance, intelligence;
    i16 bonus;       // a constant bonus of the resistance's kind (0: none)
    i16 areaEffect;  // an effect on the monster of that kind
    i32 paralysis, poison, magic, disease, power;
  } cases[] = {
      {"plain", 10, 10, 0, 0, 20, 10, 10, 5, 20},
      {"attributes of 0 count as 1", 0, 0, 0, 0, 2, 1, 1, 0, 2},
      {"a bonus and an effect", 10, 10, 120, 15, 55, 45, 45, 40, 20},
      {"above 100", 90, 90, 150, 0, 100, 100, 100, 95, 100},
      {"below -100", 1, 1, -180, -60, -100, -100, -100, -100, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MonsterWindow w;
    SMonster& t = w.Template();
    t.attribute3 = c.endurance;
    t.attribute4 = c.intelligence;
    SMapMonster* m = w.Place(t, 17, 14);
    for (u8 kind : {16, 15, 22, 33}) {
      if (c.bonus) {
        auto* e = new SEffect;
        e->kind = kind;
        e->mode = 3;
        e->base = c.bonus;
        t.effects.Add(e);
      }
      if (c.areaEffect) w.area->AddMonsterEffect(m->id, c.areaEffect, 5, i8(kind), 0, nullptr);
    }
    EXPECT_EQ(t.GetParalysisResistance(*w.area, *m), c.paralysis);
    EXPECT_EQ(t.GetPoisonResistance(*w.area, *m), c.poison);
    EXPECT_EQ(t.GetMagicResistance(*w.area, *m), c.magic);
    EXPECT_EQ(t.GetDiseaseResistance(*w.area, *m), c.disease);
    EXPECT_EQ(t.GetSpellPower(*w.area, *m), c.power);
  }
  // Fortify attribute on the monster, and Fortify magic raising the power by its percentage.
  MonsterWindow w;
  SMonster& t = w.Template();
  t.attribute4 = 10;
  SMapMonster* m = w.Place(t, 17, 14);
  w.area->AddMonsterEffect(m->id, 5, 5, 2, 4, nullptr);
  EXPECT_EQ(t.GetAttribute4(*w.area, *m), 15);
  EXPECT_EQ(t.GetAttribute1(*w.area, *m), 1) << "at least 1";
  w.area->AddMonsterEffect(m->id, 150, 5, 36, 0, nullptr);
  EXPECT_EQ(t.GetSpellPower(*w.area, *m), 45) << "30 and half of it";
  w.area->AddMonsterEffect(m->id, 1, 5, 39, 0, nullptr);
  EXPECT_TRUE(t.HasMagicImmunity(*w.area, *m));
}

TEST(MonsterRules, ATemplateFromABaseType) {
  SMonsterBaseType base;
  base.kind = 4;
  base.text1 = "bres_townsman1";
  for (u32 i = 0; i < 10; ++i) base.stats[i] = u16(100 * (i + 1) + 99);
  base.behaviour = 3;
  base.p2 = 1;
  base.p3 = 1;
  SMonster t;
  t.theftDifficulty = 40;
  t.castPalette = "bres_pal-x";
  t.SetType(&base);
  EXPECT_EQ(t.baseType, &base);
  EXPECT_STREQ(t.normalLookName, "bres_townsman1");
  const u16 values[10] = {t.minDamage,  t.maxDamage,  t.armourClass, t.maxHp,      t.experience,
                          t.attribute1, t.attribute2, t.attribute3,  t.attribute4, t.spareValue};
  for (u32 i = 0; i < 10; ++i) EXPECT_EQ(values[i], i + 1) << "hundredths, cut";
  EXPECT_EQ(t.kind, 4);
  EXPECT_EQ(t.level, 1);
  EXPECT_EQ(t.flags, 8) << "people";
  EXPECT_EQ(t.behaviour, 3);
  EXPECT_EQ(t.widePlacement, 1);
  EXPECT_EQ(t.layer2Blocking, 1);
  EXPECT_EQ(t.theftDifficulty, 0);
  EXPECT_EQ(t.castPalette, nullptr);
  base.kind = 2;
  t.SetType(&base);
  EXPECT_EQ(t.flags, 12);
}

TEST(MonsterRules, EachBehaviourActsItsOwnWay) {
  const struct Case {
    u8 behaviour;
    i32 x, y;
    u8 lineFlag;
    bool knowsBall;
    u32 act;
    const char* spell;  // the spell cast, if any
  } cases[] = {
      {1, 17, 16, 0, false, SMonster::kActMelee, nullptr},
      {2, 17, 14, 0, false, SMonster::kActMissile, nullptr},
      {3, 17, 14, 0, false, SMonster::kActSpell, "base_spellbolt"},
      {3, 19, 14, 1, true, SMonster::kActSpell, "base_spellball"},  // along its line: area spells only
      {3, 19, 14, 0, true, SMonster::kActSpell, nullptr},           // off the lines without one: none reaches
      {4, 17, 16, 0, false, SMonster::kActMelee, nullptr},
      {4, 17, 14, 0, false, SMonster::kActSpell, "base_spellbolt"},
      {5, 17, 16, 0, false, SMonster::kActNone, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.behaviour) + " from " + std::to_string(c.x) + "," + std::to_string(c.y));
    MonsterWindow w;
    w.Seed(2);
    w.Spell("base_spellbolt", {{25, 0, 0}}, 3);
    w.Spell("base_spellball", {{40, 0, 2}}, 3);
    SMonster& t = w.Template(2, c.behaviour);
    MonsterWindow::Know(t, "base_spellbolt");
    if (c.knowsBall) MonsterWindow::Know(t, "base_spellball");
    SMapMonster* m = w.Place(t, c.x, c.y);
    auto* r = new SFightRecord;
    r->monster = m;
    r->area = w.area;
    r->currentX = i8(c.x);
    r->currentY = i8(c.y);
    r->kind = kFightActed;
    r->lineFlag = c.lineFlag;
    w.state.fightList.Add(r);
    const SSpell* spell = nullptr;
    EXPECT_EQ(t.Act(w.state, *w.area, *m, &spell), c.act);
    EXPECT_EQ(spell, c.spell ? w.core.world.rules.spells.FindByName(c.spell) : nullptr);
    EXPECT_TRUE(w.state.fightList.IsEmpty()) << "an act ends the monster's turn";
  }
}

// The picture (image 100 + n) and mirroring of a creature in each state, and of people by their side.
TEST(MonsterDraw, PicturesOfEachStateAndSide) {
  MonsterWindow w;
  SMonster& creature = w.Template(2);
  SMonster& person = w.Template(4, 1, 8);
  const struct Case {
    const char* what;
    bool people;
    u8 state, countdown;
    u32 frame;
    i32 playerFacing;
    u32 picture, frameAfter;
    bool mirrored;
  } cases[] = {
      {"idle, frame 0", false, 0, 0, 0, 0, 100, 0, false},
      {"idle, frame 3 shows 1", false, 0, 0, 3, 0, 101, 3, false},
      {"idle, frame 2", false, 0, 0, 2, 0, 102, 2, false},
      {"walking steps on", false, 96, 0, 1, 0, 102, 2, false},
      {"walking, frame 0 again", false, 96, 0, 3, 0, 100, 0, false},
      {"recoil", false, 128, 10, 0, 0, 105, 0, false},
      {"wind-up, late", false, 32, 3, 0, 0, 103, 0, false},
      {"wind-up, early", false, 32, 6, 1, 0, 101, 1, false},
      {"stroke", false, 64, 4, 0, 0, 104, 0, false},
      // People by the side they show: facing the player (r = 2 seen from the north) and so on.
      {"person facing north, player north", true, 0 << 3, 0, 0, 0, 100, 0, false},
      {"person facing west, player north", true, 1 << 3, 0, 0, 0, 103, 0, false},
      {"person facing south, player north", true, 2 << 3, 0, 0, 0, 106, 0, false},
      {"person facing east, player north", true, 3 << 3, 0, 0, 0, 103, 0, true},
      {"person facing north, player east", true, 0 << 3, 0, 0, 270, 103, 0, false},
      {"person facing north, player at 44", true, 0 << 3, 0, 0, 44, 100, 0, false},
      {"person facing north, player at 46", true, 0 << 3, 0, 0, 46, 103, 0, true},
      {"person facing north, player at -90", true, 0 << 3, 0, 0, -90, 103, 0, false},
      {"person walking, countdown 8", true, 96 | (2 << 3), 8, 1, 0, 108, 2, false},
      {"person walking, countdown 7", true, 96 | (2 << 3), 7, 1, 0, 107, 1, false},
      {"person walking, countdown 1", true, 96 | (2 << 3), 1, 2, 0, 107, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SMapMonster m;
    m.monster = c.people ? &person : &creature;
    m.flags = c.state;
    m.poisonShown = c.countdown;
    u16 record[14] = {};
    record[MonsterDraw::kFrame] = u16(c.frame << 8);
    m.monster->StepAnimation(m, record, c.playerFacing);
    EXPECT_EQ(record[MonsterDraw::kPicture], c.picture);
    EXPECT_EQ((record[MonsterDraw::kFrame] >> 8) & 7, c.frameAfter);
    EXPECT_EQ(record[MonsterDraw::kFlags] & 1, c.mirrored ? 1 : 0);
  }
  // Without its second picture the creature mirrors its first instead.
  w.creature.frames[2] = 0;
  SMapMonster m;
  m.monster = &creature;
  u16 record[14] = {};
  record[MonsterDraw::kFrame] = u16(2 << 8);
  creature.StepAnimation(m, record, 0);
  EXPECT_EQ(record[MonsterDraw::kPicture], 100);
  EXPECT_EQ(record[MonsterDraw::kFlags] & 1, 1);
}

TEST(MonsterDraw, ANewRecordAndTheMendedMissingPictures) {
  MonsterWindow w;
  w.creature.p1 = 31;
  SMonster& t = w.Template(2);
  SMapMonster* m = w.Place(t, 17, 14);
  w.Number();
  const u16* record = w.Draw(*m);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record[MonsterDraw::kPicture], 100);
  EXPECT_EQ(record[MonsterDraw::kLook], 90);
  EXPECT_EQ(record[MonsterDraw::kHeight], 65535) << "a full cell's height, as far as the word goes";
  // Paralysed: the paralysed look.
  w.area->AddMonsterEffect(m->id, 1, 5, SMapArea::kParalysis, 0, nullptr);
  t.RefreshPicture(w.area, *m, w.Draw(*m), 0);
  EXPECT_EQ(record[MonsterDraw::kLook], 91);
  // The paralysis wears off with the monster's turns: its normal look comes back.
  w.area->TickMonsterEffects(m->id, 5);
  EXPECT_EQ(record[MonsterDraw::kLook], 90);

  // A template without a base type shows nothing and says nothing.
  SMonster& lost = w.Template(2);
  lost.baseType = nullptr;
  SMapMonster* ghost = w.Place(lost, 17, 12);
  w.Number();
  EXPECT_EQ(w.Draw(*ghost)[MonsterDraw::kPicture], 0);
  w.Seed(1);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(lost.PickVoice(*w.core.random), nullptr);
  lost.PlayTypeSound1(w.state, 10);  // nothing to play, nothing to crash on
  // A template of kind 4 on a seven-picture base type asks for pictures beyond them: none is drawn.
  SMonster& misfit = w.Template(2);
  misfit.kind = 4;
  SMapMonster walking;
  walking.monster = &misfit;
  walking.flags = 2 << 3;  // facing south, seen from the north: pictures 6 to 8
  u16 r[14] = {};
  r[MonsterDraw::kFrame] = u16(1 << 8);
  misfit.StepAnimation(walking, r, 0);
  EXPECT_EQ(r[MonsterDraw::kPicture], 0) << "picture 7 of 7: the missing picture";
}

TEST(MonsterRules, TheGameTheWindowAndTheKindsDrawFromOneGenerator) {
  MonsterWindow w;
  EXPECT_EQ(&w.state.Random(), w.core.random);
  EXPECT_EQ(w.state.window.Random(), w.core.random);
  EXPECT_EQ(&w.state.kindServices.Rng(), w.core.random);
  // Two runs from one seed draw the same voices.
  SMonster& person = w.Template(4, 1, 8);
  std::vector<const char*> first, second;
  w.Seed(9);
  for (int i = 0; i < 20; ++i) first.push_back(person.PickVoice(w.state.Random()));
  w.Seed(9);
  for (int i = 0; i < 20; ++i) second.push_back(person.PickVoice(*w.state.window.Random()));
  EXPECT_EQ(first, second);
}

}  // namespace
