#include "world/SPeopleTables.h"

#include "foundation/SRandom.h"
#include "world/SItemTable.h"
#include "world/SWorldRules.h"

#include <memory>
#include <new>

// ---- people

bool SNpc::ChooseGreeting(SWorldRules& rules, void*& list, void*& entry) const {
  SConversationOpening o;
  for (u32 i = 0; conversation && rules.Hooks().ConversationList(*this, 1, i, o); ++i)
    if (o.entry) {
      list = o.list;
      entry = o.entry;
      return true;
    }
  return false;
}

void SNpc::CollectTopics(SWorldRules& rules, SValueArray<SNpcTopic>& topics) const {
  SConversationOpening o;
  for (u32 i = 0; conversation && rules.Hooks().ConversationList(*this, 0, i, o); ++i)
    if (o.entry) topics.Add(SNpcTopic{o.title, o.list, o.entry});
}

void SNpc::Clear() {
  name.Free();
  for (const char*& t : texts) t = nullptr;
  delete topicPairs;
  topicPairs = nullptr;
  if (conversation && reader_) reader_->Free(conversation);
  conversation = nullptr;
  reader_ = nullptr;
  shopLevel = 0;
  categories = 0;
  value32 = 0;
  willing = 0;
}

void SNpc::Serialize(SStream& s, u32 version, SConversationReader* reader) {
  s.SerializeMarker('*');
  s.SerializeName(name);
  for (u32 i = 0; i < 3; ++i) s.SerializeString(texts[i]);
  if (version >= 49) s.SerializeString(texts[3]);
  if (version >= 56) s.SerializeString(texts[4]);
  if (version >= 81) s.SerializeString(texts[5]);
  s.Align(4);
  s.SerializeU32(value32);
  if (version >= 69) s.SerializeByte(shopLevel);
  s.SerializeU16(categories);
  s.SerializeByte(race);
  s.SerializeByte(value);
  for (u8& p : params) s.SerializeByte(p);
  if (version >= 104) s.SerializeI16(param16);

  if (s.IsWriting()) {
    u8 present = topicPairs ? 1 : 0;
    s.SerializeByte(present);
    if (present) {
      s.Align(2);
      u16 n = u16(topicPairs->Count());
      s.SerializeU16(n);
      for (u32 i = 0; i < n; ++i) {
        STextPair pair = (*topicPairs)[i];
        s.SerializeMarker(')');
        s.SerializeString(pair.second);
        s.SerializeString(pair.first);
      }
    }
    present = conversation && reader ? 1 : 0;
    s.SerializeByte(present);
    if (present && !reader->Write(s, version, conversation)) s.SetFailed();
  } else {
    u8 present = 0;
    s.SerializeByte(present);
    if (present && s.Ok()) {
      topicPairs = new (std::nothrow) SValueArray<STextPair>(4);
      if (!topicPairs) return s.SetFailed();
      s.Align(2);
      u16 n = 0;
      s.SerializeU16(n);
      for (u32 i = 0; i < n && s.Ok(); ++i) {
        STextPair pair;
        s.SerializeMarker(')');
        s.SerializeString(pair.second);
        s.SerializeString(pair.first);
        if (s.Ok() && !topicPairs->Add(pair)) s.SetFailed();
      }
    }
    present = 0;
    s.SerializeByte(present);
    if (present && s.Ok()) {
      // Without the scripting layer's reader the record's length is unknown: the person cannot be read.
      if (!reader) return s.SetFailed();
      conversation = reader->Read(s, version);
      if (!conversation) return s.SetFailed();
      reader_ = reader;
    }
  }
  if (version >= 57) s.SerializeByte(flag1);
  if (version >= 67) s.SerializeByte(flag2);
}

void SNpc::UpdateWillingness(SWorldRules& rules) {
  SPlayerAccess* player = rules.player;
  if (!player) {
    willing = 0;
    return;
  }
  const i32 fame = player->Fame();
  const i32 personality = player->GetAttributeEffective(5);
  if (fame >= 50 || personality >= 40) {
    willing = 1;
    return;
  }
  const u32 hour = rules.Hooks().HourOfDay();
  const bool night = hour < 6 || hour >= 22;
  willing = fame >= 0 && player->CrimeOwed() <= 0 && personality >= 10 && IsUndead() == player->IsUndead() &&
                    (IsUndead() || !night)
                ? 1
                : 0;
}

i32 SNpc::GetValue(SWorldRules& rules) const {
  i32 v = 0;
  if (texts[5] && rules.Hooks().GlobalValue(texts[5], v) && v > 0) return v;
  return value;
}

bool SNpcTable::Load(SDatabase& db, u16& record, u32 version) {
  return LoadRecords(db, record, version,
                     [this, version](SNpc& npc, SStream& s) { npc.Serialize(s, version, conversationReader); });
}

// ---- scenes

void SScene::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('6');
  s.SerializeName(name);
  s.SerializeString(text);
  if (version >= 113) s.SerializeString(music);
  s.Align(2);
  u16 n = u16(pages.Count());
  s.SerializeU16(n);
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    SScenePage p = s.IsReading() ? SScenePage{} : pages[i];
    s.SerializeMarker('7');
    s.SerializeString(p.texts[0]);
    s.SerializeString(p.texts[1]);
    if (version >= 102) s.SerializeString(p.texts[2]);
    if (s.IsReading() && s.Ok() && !pages.Add(p)) s.SetFailed();
  }
}

bool SSceneTable::SerializeBlock(SStream& s, u32 version) {
  s.SerializeMarker('5');
  if (version >= 101) {
    s.Align(2);
    u16 n = u16(names.Count());
    s.SerializeU16(n);
    for (u32 i = 0; i < n && s.Ok(); ++i) {
      const char* text = s.IsReading() ? nullptr : names[i];
      s.SerializeString(text);
      if (s.IsReading() && s.Ok() && !names.Add(text)) s.SetFailed();
    }
  }
  if (s.Failed()) return false;
  return records.SerializeNamed(s, [version](SScene& scene, SStream& st) { scene.Serialize(st, version); }) && s.Ok();
}

bool SSceneTable::Load(SDatabase& db, u16& record, u32 version) {
  return LoadBlockRecord(db, record, version, [&](SStream& s) { return SerializeBlock(s, version); });
}

// ---- diseases

void SDisease::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(13);
  s.SerializeName(name);
  s.SerializeString(text);
  s.SerializeByte(strength);
  effects.Serialize(s, version);
}

void SDisease::Describe(SWorldRules& rules, SString& out) const {
  out.Assign("");
  SString line;
  for (u32 i = 0; i < effects.Count(); ++i) {
    effects.Entry(i32(i))->Describe(rules, kItemKindDisease, 0, line, false, false);
    if (i) out.Append("\r");
    out.Append(line.CStr());
  }
  rules.Hooks().ConvertNumberGlyphs(out);
}

void SDisease::ApplyToPlayer(SWorldRules& rules) const {
  SPlayerAccess* player = rules.player;
  if (!player) return;
  for (const SEffect* e : effects.entries) {
    const u32 category = player->EffectCategory(e->kind);
    if (SPlayerEffect* active = player->FindEffect(category, this, e->sub, e->name)) {
      if (active->strength < e->base) {
        active->strength = e->base;
        active->duration = 0;
      }
      continue;
    }
    // A new effect: the player's AddEffect also says "You're poisoned!" or "You're paralyzed!" when the
    // player had no such condition yet.
    player->AddEffect(kSourceDisease, this, e->base, 0, e->kind, e->sub, e->name);
  }
}

// ---- shops

void SNpc::RestockShop(SWorldRules& rules, SItemContainer* container, u8& stockByte, SRandom& random) const {
  if (stockByte & 0x80) return;
  stockByte = u8(stockByte | 0x80);
  if (!container) return;
  container->DeleteAllItems();
  const u32 level = StockLevel();
  const SItemTable* items = rules.items;
  if (!level || !items) return;
  // Picks from the (level, class) list; an empty list adds nothing.
  auto pick = [&](u32 l, u32 c) {
    const u32 n = items->LevelClassCount(l, c);
    if (n == 0) return;
    SItemType* type = items->TypeAt(l, c, u32(random.Next(i32(n))));
    if (type) container->AddItemsOfType(type, 1, random);
  };
  // Every entry of the list, thinning out the types already held.
  auto whole = [&](u32 l, u32 c, i32 skipBelow) {
    const u32 n = items->LevelClassCount(l, c);
    for (u32 i = 0; i < n; ++i) {
      SItemType* type = items->TypeAt(l, c, i);
      if (!type) continue;
      if (container->FindItemOfType(type) && random.Next(100) < skipBelow) continue;
      container->AddItemsOfType(type, 1, random);
    }
  };
  for (u32 c = 1; c < kItemClasses; ++c) {
    if (!(categories & SItemTable::kClassFlags[c])) continue;
    if (categories & 128) {
      whole(level, c, 51);
      if (level < 5) whole(level + 1, c, 61);
      continue;
    }
    const i32 n = SItemTable::kClassStock[c];
    const i32 k = level == 5 ? n + random.Next(n) : n / 3 + random.Next(n / 3);
    for (i32 i = 0; i <= k; ++i) pick(level, c);
    if (level < 5) {
      const i32 more = (2 * n) / 3 + random.Next((2 * n) / 3) + 1;
      for (i32 i = 0; i < more; ++i) pick(level + 1, c);
    }
  }
}
