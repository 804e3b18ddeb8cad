#include "script/SDialogEntry.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"

#include <new>

namespace {
// A presence byte, then the record when nonzero. Writing stores 1 for a filled slot.
template <class T, class F>
void SerializeSlot(SStream& s, T*& slot, F&& transfer) {
  u8 present = slot ? 1 : 0;
  s.SerializeByte(present);
  if (s.IsReading()) {
    delete slot;
    slot = nullptr;
    if (!present || s.Failed()) return;
    slot = new (std::nothrow) T;
    if (!slot) {
      s.SetFailed();
      return;
    }
  }
  if (slot) transfer(*slot);
}
}  // namespace

void SCondition::Serialize(SStream& s) {
  s.SerializeMarker(' ');
  s.SerializeString(text);
  s.SerializeI16(value);
  s.SerializeByte(kind);
  s.SerializeByte(op);
  s.SerializeByte(parameter);
}

void SChoice::Serialize(SStream& s) {
  s.SerializeMarker('!');
  SerializeSlot(s, condition, [&](SCondition& c) { c.Serialize(s); });
  s.SerializeString(answer);
}

void SDialogEntry::Clear() {
  for (SCondition*& c : conditions) {
    delete c;
    c = nullptr;
  }
  for (SChoice*& c : choices) {
    delete c;
    c = nullptr;
  }
}

void SDialogEntry::Serialize(SStream& s) {
  s.SerializeMarker('"');
  for (SCondition*& c : conditions) SerializeSlot(s, c, [&](SCondition& x) { x.Serialize(s); });
  s.SerializeString(text);
  for (SChoice*& c : choices) SerializeSlot(s, c, [&](SChoice& x) { x.Serialize(s); });
  s.SerializeSizedBlock(script, scriptLength);
  if (s.IsReading()) scriptOffset = script ? u32(script - s.Data()) : 0;
}

void SDialogEntryList::Serialize(SStream& s, u32 version, bool reference) {
  s.SerializeMarker('#');
  s.SerializeU32(baseFlag);
  s.SerializeName(name);
  if (reference && baseFlag) return;
  if (version > 37) s.SerializeString(text);
  if (version > 36) SerializeSlot(s, condition, [&](SCondition& c) { c.Serialize(s); });
  if (version > 59) s.SerializeString(secondText);
  entries.SerializeList(s, [](SDialogEntry& e, SStream& st) { e.Serialize(st); });
}

bool SDialogEntryListPair::Serialize(SStream& s, u32 version, bool reference, const SDialogEntryListTable* table) {
  s.SerializeMarker('$');
  auto transfer = [version, reference](SDialogEntryList& l, SStream& st) { l.Serialize(st, version, reference); };
  const bool ok = first.SerializeList(s, transfer) && second.SerializeList(s, transfer) && s.Ok();
  if (s.IsReading() && reference) {
    for (u32 k = 0; k < 2; ++k) {
      SPtrArray<SDialogEntryList>& lists = k == 0 ? first : second;
      for (u32 i = 0; i < lists.Count(); ++i) {
        SDialogEntryList* placeholder = lists[i32(i)];
        if (!placeholder->baseFlag) continue;
        SDialogEntryList* found = nullptr;
        if (ok && table)
          found = k == 0 ? table->FindFirst(placeholder->name.Text()) : table->FindSecond(placeholder->name.Text());
        // A placeholder left standing (a name the table lacks, or a record cut short before the table was
        // asked) was made by this read: the pair owns it, so clearing the pair frees it.
        if (!found) {
          placeholder->baseFlag = 0;
          continue;
        }
        lists.Data()[i] = found;
        delete placeholder;
      }
    }
  }
  return ok;
}

void SDialogEntryListPair::Clear() {
  for (SPtrArray<SDialogEntryList>* lists : {&first, &second}) {
    for (u32 i = 0; i < lists->Count(); ++i) {
      SDialogEntryList* l = (*lists)[i32(i)];
      if (l && !l->baseFlag) delete l;
    }
    lists->Clear();
  }
}

bool SDialogEntryListTable::Load(SDatabase& db, u16& record, u32 version) {
  std::unique_ptr<SRecordData> r = db.TakeRecord(record);
  if (!r) return false;
  SStream s(version);
  s.OpenForRead(*r);
  // Read into a scratch pair: the table's lists accumulate over the archives.
  SDialogEntryListPair read;
  if (!read.Serialize(s, version, false, nullptr)) {
    // The lists point into the record, which is dropped.
    read.first.DeleteAll();
    read.second.DeleteAll();
    return false;
  }
  for (SPtrArray<SDialogEntryList>* lists : {&read.first, &read.second}) {
    SPtrArray<SDialogEntryList>& into = lists == &read.first ? base.first : base.second;
    for (u32 i = 0; i < lists->Count(); ++i) {
      SDialogEntryList* l = (*lists)[i32(i)];
      l->baseFlag = 1;
      if (!into.Add(l)) delete l;
    }
    lists->Clear();
  }
  rawRecords.Add(r.release());
  return true;
}

void SDialogEntryListTable::Clear() {
  for (SPtrArray<SDialogEntryList>* lists : {&base.first, &base.second}) {
    lists->DeleteAll();
  }
  rawRecords.DeleteAll();
}
