// Dialog entries as the world stores them: named lists of entries, each gated by up to five conditions,
// carrying a text, up to four choices and a script. Read here; evaluated by the conversation code.
#pragma once
#include "foundation/SPtrArray.h"
#include "world/SWorldTable.h"

struct SCondition {
  const char* text = nullptr;
  i16 value = 0;
  i8 kind = 0;
  u8 op = 1;
  u8 parameter = 0;

  void Serialize(SStream& s);
};

struct SChoice {
  SCondition* condition = nullptr;
  const char* answer = nullptr;

  SChoice() = default;
  SChoice(const SChoice&) = delete;
  SChoice& operator=(const SChoice&) = delete;
  ~SChoice() { delete condition; }
  void Serialize(SStream& s);
};

struct SDialogEntry {
  SCondition* conditions[5] = {};
  SChoice* choices[4] = {};
  const char* text = nullptr;
  const u8* script = nullptr;
  u16 scriptLength = 0;
  u32 scriptOffset = 0;  // where the script sits in its record as read (always even), as for named scripts

  SDialogEntry() = default;
  SDialogEntry(const SDialogEntry&) = delete;
  SDialogEntry& operator=(const SDialogEntry&) = delete;
  ~SDialogEntry() { Clear(); }
  void Clear();
  void Serialize(SStream& s);
  bool HasChoices() const { return choices[0] || choices[1] || choices[2] || choices[3]; }
};

// Entries are kept in order, never looked up by name.
template <>
struct SNameOf<SDialogEntry> {
  static const SName& Get(const SDialogEntry&) {
    static const SName none;
    return none;
  }
};

struct SDialogEntryList {
  SName name;
  u32 baseFlag = 0;  // 1: the list belongs to the world's base table and is referred to by name
  const char* text = nullptr;
  SCondition* condition = nullptr;
  const char* secondText = nullptr;
  SPtrArray<SDialogEntry> entries{true, 4};

  SDialogEntryList() = default;
  SDialogEntryList(const SDialogEntryList&) = delete;
  SDialogEntryList& operator=(const SDialogEntryList&) = delete;
  ~SDialogEntryList() { delete condition; }
  // Reference mode: a base-owned list is written and read as its name only.
  void Serialize(SStream& s, u32 version, bool reference);
};

class SDialogEntryListTable;

// Two arrays of lists: a person's conversation record, or the world's base table.
struct SDialogEntryListPair {
  SPtrArray<SDialogEntryList> first{true, 4};
  SPtrArray<SDialogEntryList> second{true, 4};

  SDialogEntryListPair() = default;
  SDialogEntryListPair(const SDialogEntryListPair&) = delete;
  SDialogEntryListPair& operator=(const SDialogEntryListPair&) = delete;
  ~SDialogEntryListPair() { Clear(); }
  // Tag '$' and both arrays. In reference mode, after reading, each base-owned placeholder is replaced by
  // the table's list of the same name (a name the table lacks keeps its placeholder, which the pair then
  // owns). A failed read shares nothing: every list it made is the pair's own.
  bool Serialize(SStream& s, u32 version, bool reference, const SDialogEntryListTable* table);
  // Deletes the lists that are not base-owned; forgets the others.
  void Clear();
};

// A person's conversation record: an empty pair, and its transfer in reference mode (lists of the base
// table are written and read by name and shared with the table).
inline void InitDialogEntryListPair(SDialogEntryListPair& pair) { pair.Clear(); }
inline bool SerializeDialogEntryListRefs(SDialogEntryListPair& pair, SStream& s, u32 version,
                                         const SDialogEntryListTable* table) {
  return pair.Serialize(s, version, true, table);
}

class SDialogEntryListTable : public SWorldTable {
 public:
  SDialogEntryListTable() : rawRecords(true, 4) {}
  ~SDialogEntryListTable() override { Clear(); }
  // One record (tag '$') read in full mode; every list read is base-owned.
  bool Load(SDatabase& db, u16& record, u32 version) override;
  void Clear() override;
  SDialogEntryList* FindFirst(const char* name) const { return base.first.FindByName(name); }
  SDialogEntryList* FindSecond(const char* name) const { return base.second.FindByName(name); }

  SDialogEntryListPair base;
  SPtrArray<SRecordData> rawRecords;
};
