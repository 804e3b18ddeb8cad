// The character system's code-made tables: the five attributes, the twenty skills with their cost curve,
// the races and the classes. A world's base may replace the texts of attributes, skills and races.
#pragma once
#include "foundation/SDatabase.h"
#include "foundation/SPtrArray.h"
#include "foundation/SString.h"
#include "world/SWorldTable.h"

inline constexpr u32 kAttributeCount = 5;
inline constexpr u32 kSkillCount = 20;
inline constexpr u32 kRaceRows = 7;   // rows 0..5 filled
inline constexpr u32 kClassRows = 7;  // rows 1..6 filled
inline constexpr u32 kUndeadRace = 1;
inline constexpr u32 kSkillHealMagic = 8;
inline constexpr u32 kSkillUndeadMagic = 12;
inline constexpr u32 kSkillAlchemy = 16;

// The skill a race cannot have: heal magic for the undead race, undead magic for every other.
inline u32 BarredSkill(u32 race) { return race == kUndeadRace ? kSkillHealMagic : kSkillUndeadMagic; }

// Tables whose rows are made in code and may be replaced by one archive record: marker, u16 count, and
// when the count is nonzero a fixed number of rows read over the code-made ones (the record is kept).
class SCodeRowTable : public SWorldTable {
 public:
  SCodeRowTable() : rawRecords(true, 4) {}
  bool Load(SDatabase& db, u16& record, u32 version) override;
  // Drops the kept records and restores the code-made rows.
  void Clear() override {
    Fill();
    rawRecords.DeleteAll();
  }
  virtual void Fill() = 0;

  SPtrArray<SRecordData> rawRecords;

 protected:
  virtual u8 Marker() const = 0;
  // Reads (or writes) the fixed rows; the stream's error says whether they were whole.
  virtual void SerializeRows(SStream& s, u32 version) = 0;

 public:
  // The block as one record: marker, count and, when `withRows`, the rows.
  void SerializeBlock(SStream& s, u32 version, bool withRows);
};

struct SAttributeRow {
  SName id;
  const char* name = nullptr;
  const char* shortName = nullptr;
};

class SAttributeTable : public SCodeRowTable {
 public:
  SAttributeTable() { Fill(); }
  void Fill() override;
  // The attribute whose id equals the text, or whose name or short name equals it ignoring case; 0 none.
  u32 FindByKey(const char* text) const;
  const char* Name(u32 n) const { return n >= 1 && n <= kAttributeCount ? rows[n].name : nullptr; }

  SAttributeRow rows[kAttributeCount + 1];

 protected:
  u8 Marker() const override { return 'R'; }
  void SerializeRows(SStream& s, u32 version) override;
};

struct SSkillRow {
  SName id;
  const char* fullName = nullptr;
  const char* mediumName = nullptr;
  const char* shortName = nullptr;
  const char* fourth = nullptr;
  u8 attribute = 1;
  u8 second = 10;
};

class SSkillTable : public SCodeRowTable {
 public:
  SSkillTable() { Fill(); }
  void Fill() override;
  // The skill whose id equals the text exactly, or whose full name equals it ignoring case; 0 none.
  u32 FindByName(const char* text) const;
  const SSkillRow* Row(u32 n) const { return n >= 1 && n <= kSkillCount ? &rows[n] : nullptr; }
  const char* FullName(u32 n) const { return Row(n) ? rows[n].fullName : nullptr; }
  const char* MediumName(u32 n) const { return Row(n) ? rows[n].mediumName : nullptr; }
  const char* ShortName(u32 n) const { return Row(n) ? rows[n].shortName : nullptr; }
  u32 Attribute(u32 n) const { return Row(n) ? rows[n].attribute : 0; }
  // The cost of a skill level 0..100 (levels above 100 cost as 100).
  u32 LevelCost(u32 level) const;

  SSkillRow rows[kSkillCount + 1];
  u32 curve[11] = {};

 protected:
  u8 Marker() const override { return 'P'; }
  void SerializeRows(SStream& s, u32 version) override;
};

struct SRaceRow {
  SName id;
  SString name;
  const char* texts[3] = {};
};

class SRaceTable : public SCodeRowTable {
 public:
  SRaceTable() { Fill(); }
  void Fill() override;
  const SRaceRow* Row(u32 n) const { return n < kRaceRows ? &rows[n] : nullptr; }
  // The race's ability name: the archive's first text; null when made in code.
  const char* AbilityName(u32 n) const { return n < kRaceRows ? rows[n].texts[0] : nullptr; }
  // The race's description: the archive's second text.
  const char* Description(u32 n) const { return n < kRaceRows ? rows[n].texts[1] : nullptr; }

  SRaceRow rows[kRaceRows];

 protected:
  u8 Marker() const override { return 'N'; }
  void SerializeRows(SStream& s, u32 version) override;
};

struct SClassRow {
  SName id;
  const char* name = nullptr;
  const char* descriptionId = nullptr;
  u8 skills[6] = {};
  u32 flag = 0;
};

class SClassTable {
 public:
  SClassTable() { Fill(); }
  void Fill();
  const SClassRow* Row(u32 n) const { return n >= 1 && n < kClassRows ? &rows[n] : nullptr; }

  SClassRow rows[kClassRows];
};
