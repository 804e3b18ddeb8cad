// People, scenes, quests and diseases: records through the base loader at old and new versions, a
// person's conversation against the base dialog lists, willingness, values, and diseases on the player.
#include "RulesFixture.h"

namespace {
class People : public RulesFixture {
 protected:
  std::vector<worldbuild::Bytes> PeopleBlock(u32 v, std::vector<SNpc*> people) {
    std::vector<worldbuild::Bytes> block{Rec(v, [&](SStream& s) {
      s.SerializeMarker('+');
      u16 n = u16(people.size());
      s.SerializeU16(n);
    })};
    for (SNpc* p : people) {
      block.push_back(Rec(v, [&](SStream& s) { p->Serialize(s, v, &world.conversations); }));
      p->conversation = nullptr;
      delete p;
    }
    return block;
  }
  static SNpc* Person(const char* name) {
    auto* p = new SNpc;
    p->name.Set(name);
    return p;
  }
};
}  // namespace

TEST_F(People, RecordsWithPairsAndAConversation) {
  // The base table's lists, then a person whose greeting refers to one of them by name.
  auto* greeting = new SDialogEntryList;
  greeting->name.Set("base_hello");
  greeting->entries.Add(new SDialogEntry);
  SDialogEntryListPair base;
  base.second.Add(greeting);
  for (u32 v : {48u, 49u, 56u, 57u, 67u, 68u, 69u, 80u, 81u, 103u, 104u, 114u}) {
    auto spec = Spec("base", u8(v));
    spec.blocks[kBlockDialogLists] = {Rec(v, [&](SStream& s) { base.Serialize(s, v, false, nullptr); })};
    SNpc* p = Person("base_merchant");
    const char* texts[6] = {"Hobb", "bres_head35", "base_inn", "Welcome", "t5", "base_price"};
    for (u32 i = 0; i < 6; ++i) p->texts[i] = texts[i];
    p->value32 = 5000;
    p->shopLevel = 2;
    p->categories = 0x81;
    p->race = 3;
    p->value = 12;
    p->params[3] = 7;
    p->param16 = -4;
    p->flag1 = 0;
    p->flag2 = 0;
    p->topicPairs = new SValueArray<STextPair>(4);
    p->topicPairs->Add({"first", "second"});
    SDialogEntryListPair talk;
    auto* own = new SDialogEntryList;
    own->name.Set("base_merchant_own");
    talk.first.Add(own);
    auto* ref = new SDialogEntryList;
    ref->name.Set("base_hello");
    ref->baseFlag = 1;
    talk.second.Add(ref);
    p->conversation = &talk;
    spec.blocks[kBlockPeople] = PeopleBlock(v, {p, Person("base_quiet")});
    ASSERT_EQ(OpenBase(spec), "") << v;
    SNpc* back = rules.people.FindByName("base_merchant");
    ASSERT_NE(back, nullptr) << v;
    EXPECT_STREQ(back->texts[2], "base_inn");
    EXPECT_EQ(back->texts[3] != nullptr, v >= 49) << v;
    EXPECT_EQ(back->texts[4] != nullptr, v >= 56) << v;
    EXPECT_EQ(back->texts[5] != nullptr, v >= 81) << v;
    EXPECT_EQ(back->value32, 5000u);
    EXPECT_EQ(back->shopLevel, v >= 69 ? 2 : 0) << v;
    EXPECT_EQ(back->categories, 0x81);
    EXPECT_EQ(back->race, 3);
    EXPECT_EQ(back->value, 12);
    EXPECT_EQ(back->params[3], 7);
    EXPECT_EQ(back->param16, v >= 104 ? -4 : 10) << v;
    EXPECT_EQ(back->flag1, v >= 57 ? 0 : 1) << v;
    EXPECT_EQ(back->flag2, v >= 67 ? 0 : 1) << v;
    ASSERT_NE(back->topicPairs, nullptr);
    EXPECT_STREQ((*back->topicPairs)[0].first, "first");
    EXPECT_STREQ((*back->topicPairs)[0].second, "second");
    auto* conversation = static_cast<SDialogEntryListPair*>(back->conversation);
    ASSERT_NE(conversation, nullptr);
    EXPECT_STREQ(conversation->first[0]->name.Text(), "base_merchant_own");
    EXPECT_EQ(conversation->second[0], dialogs.FindSecond("base_hello"));  // shared with the base table
    EXPECT_EQ(rules.people.FindByName("base_quiet")->conversation, nullptr);
    modules.Clear();
    tables.ClearAll();  // the base lists go first; the conversations let go of them unseen
    for (auto* l : {&talk.first, &talk.second}) l->DeleteAll();
  }
  base.second.DeleteAll();
}

TEST_F(People, AConversationWithoutAReaderFailsCleanly) {
  SNpc* p = Person("base_talker");
  SDialogEntryListPair talk;
  talk.first.Add(new SDialogEntryList);
  p->conversation = &talk;
  auto spec = Spec("base");
  spec.blocks[kBlockPeople] = PeopleBlock(114, {p});
  rules.people.conversationReader = nullptr;
  EXPECT_NE(OpenBase(spec), "");
  EXPECT_EQ(rules.people.Count(), 0);
  talk.first.DeleteAll();
}

// A person's record cut anywhere, inside the conversation too, is refused, and whatever the read made of
// the conversation so far is freed exactly once: the sanitizer build reports a leak or a double free.
TEST_F(People, ACutConversationFreesWhatWasRead) {
  auto* hello = new SDialogEntryList;
  hello->name.Set("base_hello");
  SDialogEntryListPair base;
  base.first.Add(hello);
  SDialogEntryListPair talk;
  auto* ref = new SDialogEntryList;  // read as a placeholder, then shared with the base table
  ref->name.Set("base_hello");
  ref->baseFlag = 1;
  talk.first.Add(ref);
  auto* own = new SDialogEntryList;
  own->name.Set("base_own");
  own->text = "own words";
  own->entries.Add(new SDialogEntry);
  own->entries[0]->text = "an entry";
  talk.first.Add(own);
  auto* later = new SDialogEntryList;
  later->name.Set("base_later");
  talk.second.Add(later);
  SNpc* p = Person("base_talker");
  p->conversation = &talk;
  auto spec = Spec("base");
  spec.blocks[kBlockDialogLists] = {Rec(114, [&](SStream& s) { base.Serialize(s, 114, false, nullptr); })};
  spec.blocks[kBlockPeople] = PeopleBlock(114, {p});
  ASSERT_EQ(OpenBase(spec), "");
  ASSERT_NE(rules.people.FindByName("base_talker"), nullptr);
  modules.Clear();
  tables.ClearAll();

  // The conversation follows the person's fields and comes before the two flag bytes at the end.
  SNpc silent;
  silent.name.Set("base_talker");
  const size_t talkStart = Rec(114, [&](SStream& s) { silent.Serialize(s, 114); }).size() - 2;
  const worldbuild::Bytes whole = spec.blocks[kBlockPeople][1];
  for (size_t cut = 1; cut < whole.size(); ++cut) {
    spec.blocks[kBlockPeople][1].assign(whole.begin(), whole.begin() + std::ptrdiff_t(cut));
    const std::string error = OpenBase(spec);
    // The archive's zero padding after a record completes a few cuts near the ends of fields.
    const bool mustFail = cut > talkStart && cut + 3 < whole.size();
    if (mustFail || !error.empty()) {
      EXPECT_NE(error.find("people malformed"), std::string::npos) << "cut at " << cut << ": " << error;
      EXPECT_EQ(rules.people.Count(), 0) << cut;
    }
    modules.Clear();
    tables.ClearAll();
  }
  talk.first.DeleteAll();
  talk.second.DeleteAll();
  base.first.DeleteAll();
}

TEST_F(People, WillingnessAndValue) {
  struct Case {
    i16 fame;
    u16 personality;
    u32 crime;
    u32 playerRace, personRace, hour;
    u32 willing;
  } cases[] = {
      {20, 30, 0, 2, 3, 12, 1}, {20, 30, 0, 2, 3, 23, 0},  // a living person at night
      {20, 30, 0, 2, 3, 5, 0},  {20, 30, 0, 2, 3, 6, 1},
      {20, 40, 0, 2, 3, 23, 1},                            // personality 40 is always talked to
      {50, 5, 9, 1, 3, 23, 1},                             // so is fame 50
      {20, 30, 0, 1, 1, 23, 1},                            // the undead talk to the undead at night
      {20, 30, 0, 1, 3, 12, 0},                            // but not across undeadness
      {-1, 30, 0, 2, 3, 12, 0}, {20, 30, 1, 2, 3, 12, 0},  // crime owed
      {20, 9, 0, 2, 3, 12, 0},
  };
  SNpc npc;
  for (const Case& c : cases) {
    player.fame = c.fame;
    player.attributes[5] = c.personality;
    player.crime = c.crime;
    player.race = c.playerRace;
    npc.race = u8(c.personRace);
    hooks.hour = c.hour;
    npc.UpdateWillingness(rules);
    EXPECT_EQ(npc.willing, c.willing) << c.fame << " " << c.personality << " hour " << c.hour;
  }
  // Personality as drink leaves it: 11, less 10 / 10 + 1 for drunkenness 10, is below 10.
  player.fame = 20;
  player.crime = 0;
  player.race = 2;
  npc.race = 3;
  hooks.hour = 12;
  player.attributes[5] = 11;
  npc.UpdateWillingness(rules);
  EXPECT_EQ(npc.willing, 1u);
  player.AddEffect(kSourceItem, nullptr, 110, 0, 57, 0, nullptr);
  npc.UpdateWillingness(rules);
  EXPECT_EQ(npc.willing, 0u);
  player.ClearEffects();
  npc.value = 10;
  EXPECT_EQ(npc.GetValue(rules), 10);
  npc.texts[5] = "base_price";
  EXPECT_EQ(npc.GetValue(rules), 10);
  hooks.globals["base_price"] = 0;
  EXPECT_EQ(npc.GetValue(rules), 10);
  hooks.globals["base_price"] = 17;
  EXPECT_EQ(npc.GetValue(rules), 17);
  for (u8 level : {0, 1, 5, 6, 255}) {
    npc.shopLevel = level;
    EXPECT_EQ(npc.StockLevel(), level <= 5 ? level : 0u);
  }
}

TEST_F(People, ScenesAndQuestsAtEachVersion) {
  for (u32 v : {100u, 101u, 102u, 112u, 113u}) {
    SWorldRules data;
    data.scenes.names.Add("bres_intro");
    auto* scene = new SScene;
    scene->name.Set("bres_intro");
    scene->text = "Intro";
    scene->music = "bmus_main";
    scene->pages.Add(SScenePage{{"bres_pic", "Page one", "base_script"}});
    scene->pages.Add(SScenePage{{nullptr, "Page two", nullptr}});
    data.scenes.records.Add(scene);
    auto* quest = new SQuest;
    quest->name.Set("base_quest");
    quest->texts[0] = "Title";
    quest->texts[1] = "Story";
    data.quests.records.Add(quest);
    auto spec = Spec("base", u8(v));
    spec.blocks[kBlockScenes] = {Rec(v, [&](SStream& s) { data.scenes.SerializeBlock(s, v); })};
    spec.blocks[kBlockQuests] = {Rec(v, [&](SStream& s) { data.quests.SerializeBlock(s, v); })};
    ASSERT_EQ(OpenBase(spec), "") << v;
    SScene* back = rules.scenes.FindByName("bres_intro");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(rules.scenes.names.Count(), v >= 101 ? 1u : 0u) << v;
    EXPECT_EQ(back->music != nullptr, v >= 113) << v;
    ASSERT_EQ(back->pages.Count(), 2u);
    EXPECT_STREQ(back->pages[0].texts[1], "Page one");
    EXPECT_EQ(back->pages[0].texts[2] != nullptr, v >= 102) << v;
    EXPECT_EQ(back->pages[1].texts[0], nullptr);
    SQuest* q = rules.quests.FindByName("base_quest");
    ASSERT_NE(q, nullptr);
    EXPECT_STREQ(q->texts[1], "Story");
    modules.Clear();
    tables.ClearAll();
    EXPECT_EQ(rules.scenes.names.Count(), 0u);
  }
}

TEST_F(People, DiseasesLoadDescribeAndApply) {
  SWorldRules data;
  auto* d = new SDisease;
  d->name.Set("base_rot");
  d->text = "Grave rot";
  d->strength = 3;
  d->effects.Add(MakeEffect(2, -5, 3, 3));
  d->effects.Add(MakeEffect(26, 2, 3));
  data.diseases.records.Add(d);
  auto spec = Spec("base");
  spec.blocks[kBlockDiseases] = {Rec(114, [&](SStream& s) { data.diseases.SerializeBlock(s, 114); })};
  ASSERT_EQ(OpenBase(spec), "");
  SDisease* rot = rules.diseases.FindByName("base_rot");
  ASSERT_NE(rot, nullptr);
  EXPECT_EQ(rot->strength, 3);
  hooks.glyphMark = "#";
  SString text;
  rot->Describe(rules, text);
  EXPECT_STREQ(text.CStr(), "-5 Endurance\r#");  // poison has no disease text; then the glyph conversion

  player.attributes[3] = 20;
  rot->ApplyToPlayer(rules);
  EXPECT_EQ(player.GetAttribute(3), 15);
  EXPECT_EQ(player.GetPoisonStrength(), 2);
  // Applying it again adds nothing; a stronger entry raises the magnitude.
  rot->ApplyToPlayer(rules);
  EXPECT_EQ(player.effects[2].Count(), 1);
  EXPECT_EQ(player.effects[23].Count(), 1);
  rot->effects.Entry(1)->base = 6;
  rot->ApplyToPlayer(rules);
  EXPECT_EQ(player.GetPoisonStrength(), 6);
  EXPECT_EQ(player.effects[23][0]->sourceType, kSourceDisease);
  // The player's disease list re-applies through RecalculateDiseases.
  player.diseases.Add(rot);
  player.RecalculateDiseases();
  EXPECT_EQ(player.GetPoisonStrength(), 6);
  EXPECT_EQ(player.effects[2].Count(), 1);
  player.diseases.Clear();
}
