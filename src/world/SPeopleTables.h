// People (texts, shop stock rules, willingness to talk, the conversation record), scenes of pages, quests
// and diseases: four loaded tables of the world base.
#pragma once
#include "foundation/SValueArray.h"
#include "world/SEffect.h"
#include "world/STypeTable.h"

#include <new>

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
template <class Pair, class Table>
class SConversationReaderOf : public SConversationReader {
 public:
  explicit SConversationReaderOf(const Table* table) : table_(table) {}
  void* Read(SStream& s, u32 version) override {
    Pair* pair = new (std::nothrow) Pair;
    if (!pair) {
      s.SetFailed();
      return nullptr;
    }
    if (!pair->Serialize(s, version, true, table_) || s.Failed()) {
      delete pair;
      s.SetFailed();
      return nullptr;
    }
    return pair;
  }
  bool Write(SStream& s, u32 version, void* conversation) override {
    return static_cast<Pair*>(conversation)->Serialize(s, version, true, table_);
  }
  void Free(void* conversation) override { delete static_cast<Pair*>(conversation); }

 private:
  const Table* table_;
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
  i32 GetValue(SWorldRules& rules) const;
  bool IsUndead() const { return race == 1; }
  // The item level the shop stocks: levels outside 1..5 stock nothing.
  u32 StockLevel() const { return shopLevel >= 1 && shopLevel <= 5 ? shopLevel : 0; }

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

 private:
  SConversationReader* reader_ = nullptr;
};

class SNpcTable : public STypeTable<SNpc> {
 public:
  // A header record (marker "+", u16 count), then one record per person.
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
