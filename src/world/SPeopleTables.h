// People (texts, shop stock rules, willingness to talk, the conversation record), scenes of pages, quests
// and diseases: four loaded tables of the world base.
#pragma once
#include "foundation/SValueArray.h"
#include "world/SEffect.h"
#include "world/STypeTable.h"

#include <new>
#include <vector>

class SItemContainer;
class SRandom;
class SWorldRules;

// Reads, writes and frees a person's conversation record. The record's lists belong to the scripting
// layer, which installs its reader in the people table (`SConversationReaderOf` below); without one a
// person that carries a conversation cannot be read.
class SConversationReader {
 public:
  virtual ~SConversationReader() = default;
  // Reads the record at the cursor (tag "$"); null with the stream's error set when it is bad.
  virtual void* Read(SStream& s, u32 version) = 0;
  virtual bool Write(SStream& s, u32 version, void* conversation) = 0;
  virtual void Free(void* conversation) = 0;
};

// The reader over the scripting layer's pair of dialog entry lists, read in reference mode against the
// world's base table of lists: SConversationReaderOf<SDialogEntryListPair, SDialogEntryListTable>.
// Lists shared with the base table are remembered when read and never touched when the pair is freed,
// so people and the base table may be cleared in either order.
template <class Pair, class Table>
class SConversationReaderOf : public SConversationReader {
 public:
  explicit SConversationReaderOf(const Table* table) : table_(table) {}
  void* Read(SStream& s, u32 version) override {
    Held* held = new (std::nothrow) Held;
    if (!held) {
      s.SetFailed();
      return nullptr;
    }
    // The base table stands while reading: what came from it carries the base flag.
    const bool ok = held->Serialize(s, version, true, table_) && s.Ok();
    for (u32 k = 0; k < 2; ++k) {
      auto& lists = k == 0 ? held->first : held->second;
      held->shared[k].assign(lists.Count(), 0);
      for (u32 i = 0; i < lists.Count(); ++i) held->shared[k][i] = lists[i32(i)] && lists[i32(i)]->baseFlag;
    }
    if (!ok) {
      Forget(held);
      s.SetFailed();
      return nullptr;
    }
    return static_cast<Pair*>(held);
  }
  bool Write(SStream& s, u32 version, void* conversation) override {
    return static_cast<Pair*>(conversation)->Serialize(s, version, true, table_);
  }
  void Free(void* conversation) override { Forget(static_cast<Held*>(static_cast<Pair*>(conversation))); }

 private:
  struct Held : Pair {
    std::vector<u8> shared[2];  // per list: 1 when it came from the base table
  };
  // Drops the shared lists unseen (the base table may be gone already), then deletes the pair with the
  // lists of its own.
  static void Forget(Held* held) {
    for (u32 k = 0; k < 2; ++k) {
      auto& lists = k == 0 ? held->first : held->second;
      for (u32 i = 0; i < lists.Count() && i < held->shared[k].size(); ++i)
        if (held->shared[k][i]) lists.Data()[i] = nullptr;
    }
    delete held;
  }

  const Table* table_;
};

// A topic a person offers now: its list's title, the list and its first entry whose conditions hold.
struct SNpcTopic {
  const char* title = nullptr;
  void* list = nullptr;
  void* entry = nullptr;
};

struct STextPair {
  const char* first = nullptr;
  const char* second = nullptr;
};

class SNpc {
 public:
  SNpc() = default;
  SNpc(const SNpc&) = delete;
  SNpc& operator=(const SNpc&) = delete;
  ~SNpc() { Clear(); }

  // Tag "*". Writing stores the text pairs and, with a reader, the conversation that the record holds.
  void Serialize(SStream& s, u32 version, SConversationReader* reader);
  void Serialize(SStream& s, u32 version) { Serialize(s, version, nullptr); }
  void Clear();
  void UpdateWillingness(SWorldRules& rules);
  // The first greeting list (in order) whose own condition holds or is absent and which has an entry whose
  // conditions hold, and that entry; false, with the outs unchanged, when none does.
  bool ChooseGreeting(SWorldRules& rules, void*& list, void*& entry) const;
  // Appends a topic for every topic list, in order, whose own condition holds or is absent and which has an
  // entry whose conditions hold; nothing without a conversation.
  void CollectTopics(SWorldRules& rules, SValueArray<SNpcTopic>& topics) const;
  i32 GetValue(SWorldRules& rules) const;
  bool IsUndead() const { return race == 1; }
  // The item level the shop stocks: levels outside 1..5 stock nothing.
  u32 StockLevel() const { return shopLevel >= 1 && shopLevel <= 5 ? shopLevel : 0; }
  // Fills the shop's container once. `stockByte` is the shop placement's byte after its container
  // number: bit 7 says the shop is stocked. A null container (the area has none of that number) only
  // sets the flag.
  void RestockShop(SWorldRules& rules, SItemContainer* container, u8& stockByte, SRandom& random) const;

  SName name;
  const char* texts[6] = {};  // text 1..6; text 6 names a script global variable
  u8 flag1 = 1;               // from version 57
  u32 value32 = 0;
  u8 shopLevel = 0;  // 0 no shop, else item level 1..5
  SValueArray<STextPair>* topicPairs = nullptr;
  void* conversation = nullptr;
  u16 categories = 0;  // item-class flag bits; 128 = whole-list shop
  u8 race = 1;
  u8 value = 10;
  u8 params[4] = {16, 10, 10, 0};
  i16 param16 = 10;  // from version 104
  u8 flag2 = 1;      // from version 67
  u32 willing = 0;
  u32 runWord = 0;  // measured by dialog conditions; not stored, and nothing sets it yet

 private:
  SConversationReader* reader_ = nullptr;
};

class SNpcTable : public SHeaderTable<SNpc> {
 public:
  SNpcTable() : SHeaderTable<SNpc>('+') {}
  // A header record (marker "+", u16 count), then one record per person, read with their conversations.
  bool Load(SDatabase& db, u16& record, u32 version) override;
  SConversationReader* conversationReader = nullptr;
};

struct SScenePage {
  const char* texts[3] = {};  // picture name, text, script name (the third from version 102)
};

class SScene {
 public:
  SScene() : pages(4) {}
  void Serialize(SStream& s, u32 version);

  SName name;
  const char* text = nullptr;
  const char* music = nullptr;  // from version 113
  SValueArray<SScenePage> pages;
};

class SSceneTable : public STypeTable<SScene> {
 public:
  SSceneTable() : names(4) {}
  bool Load(SDatabase& db, u16& record, u32 version) override;
  // The block as one record: marker "5", (from version 101) the names, the scenes.
  bool SerializeBlock(SStream& s, u32 version);
  void Clear() override {
    names.Clear();
    STypeTable<SScene>::Clear();
  }

  SValueArray<const char*> names;
};

struct SQuest {
  SName name;
  const char* texts[2] = {};
  void Serialize(SStream& s, u32) {
    s.SerializeMarker(9);
    s.SerializeName(name);
    s.SerializeString(texts[0]);
    s.SerializeString(texts[1]);
  }
};

class SQuestTable : public SOneRecordTable<SQuest> {
 public:
  SQuestTable() : SOneRecordTable<SQuest>(8, false) {}
};

class SDisease {
 public:
  // Tag 13: name, text, strength, the effect entries.
  void Serialize(SStream& s, u32 version);
  void Describe(SWorldRules& rules, SString& text) const;
  void ApplyToPlayer(SWorldRules& rules) const;

  SName name;
  const char* text = nullptr;
  SEffectList effects;
  u8 strength = 1;
};

class SDiseaseTable : public SOneRecordTable<SDisease> {
 public:
  SDiseaseTable() : SOneRecordTable<SDisease>(12, false) {}
};
