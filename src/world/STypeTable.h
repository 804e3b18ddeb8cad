// What the loaded type tables share: a record list kept in name-hash order, the raw archive records the
// records point into, find by name, clear, and the two block shapes the world base uses.
//
// A record type T has a default constructor, an `SName name` and `void Serialize(SStream&, u32 version)`
// (its tagged record, both directions), and is deleted through its destructor.
#pragma once
#include "foundation/SDatabase.h"
#include "foundation/SPtrArray.h"
#include "world/SPaletteHolder.h"
#include "world/SWorldTable.h"

#include <new>
#include <type_traits>

template <class T>
class STypeTable : public SWorldTable {
 public:
  STypeTable() : records(true, 4), rawRecords(true, 4) {}

  T* FindByName(const char* name) const { return records.FindByName(name); }
  void* FindForIndex(const char* name) override { return FindByName(name); }
  void Clear() override {
    records.DeleteAll();
    rawRecords.DeleteAll();
  }
  u16 Count() const { return records.Count(); }

  SPtrArray<T> records;
  SPtrArray<SRecordData> rawRecords;

 protected:
  // Keeps a record the table's texts point into (also after a fault: what was read before stays valid).
  void Keep(std::unique_ptr<SRecordData> r) {
    // When even the list cannot grow the record is let go of rather than freed: records point into it.
    SRecordData* kept = r.release();
    if (!rawRecords.Add(kept)) return;
  }
  // Reads the one record that holds the whole block through serializeBlock(SStream&) and keeps it.
  template <class SerializeBlock>
  bool LoadBlockRecord(SDatabase& db, u16& record, u32 version, SerializeBlock&& serializeBlock) {
    std::unique_ptr<SRecordData> r = db.TakeRecord(record);
    if (!r) return false;
    SStream s(version);
    s.OpenForRead(*r);
    bool ok = serializeBlock(s);
    Keep(std::move(r));
    return ok;
  }
};

// One record holds the whole block: marker, u16 count, the tagged records, and for tables of pictures the
// palette block (data above version 41).
template <class T>
class SOneRecordTable : public STypeTable<T> {
 public:
  SOneRecordTable(u8 marker, bool paletteBlock) : marker_(marker), paletteBlock_(paletteBlock) {}

  bool SerializeBlock(SStream& s, u32 version) {
    s.SerializeMarker(marker_);
    if (!this->records.SerializeNamed(s, [version](T& t, SStream& st) { t.Serialize(st, version); })) return false;
    if (!paletteBlock_ || version <= 41) return s.Ok();
    if (s.IsWriting()) {
      // The records carry their palette lists themselves: the block stays empty.
      u16 none = 0;
      s.SerializeU16(none);
      return s.Ok();
    }
    if constexpr (std::is_base_of_v<SPaletteHolder, T>) {
      return ReadPaletteBlock(s, version, [this](const char* n) -> SPaletteHolder* { return this->FindByName(n); });
    } else {
      // Records without palettes: the block is read and dropped.
      return ReadPaletteBlock(s, version, [](const char*) -> SPaletteHolder* { return nullptr; });
    }
  }
  bool Load(SDatabase& db, u16& record, u32 version) override {
    return this->LoadBlockRecord(db, record, version, [&](SStream& s) { return SerializeBlock(s, version); });
  }

 private:
  u8 marker_;
  bool paletteBlock_;
};

// A header record (marker, u16 count N) and then one archive record per element; the header is freed.
template <class T>
class SHeaderTable : public STypeTable<T> {
 public:
  explicit SHeaderTable(u8 marker) : marker_(marker) {}

  bool SerializeHeader(SStream& s, u16& count) {
    s.SerializeMarker(marker_);
    s.SerializeU16(count);
    return s.Ok();
  }
  bool Load(SDatabase& db, u16& record, u32 version) override {
    return LoadRecords(db, record, version, [version](T& t, SStream& s) { t.Serialize(s, version); });
  }

 protected:
  // The header, then each record read through transfer(T&, SStream&), for a table whose records need more
  // than the version to read.
  template <class Transfer>
  bool LoadRecords(SDatabase& db, u16& record, u32 version, Transfer&& transfer) {
    u16 n = 0;
    {
      std::unique_ptr<SRecordData> header = db.ReadRecord(record);
      if (!header) return false;
      SStream s(version);
      s.OpenForRead(*header);
      if (!SerializeHeader(s, n)) return false;
    }
    ++record;
    for (u32 i = 0; i < n; ++i) {
      std::unique_ptr<SRecordData> r = db.TakeRecord(record);
      if (!r) return false;
      T* t = new (std::nothrow) T;
      if (!t) return false;
      SStream s(version);
      s.OpenForRead(*r);
      transfer(*t, s);
      if (s.Failed() || !this->records.InsertByNameHash(t)) {
        delete t;
        return false;
      }
      this->Keep(std::move(r));
    }
    return true;
  }

 private:
  u8 marker_;
};
