// Where scripts sit in their records: a named-script record and a dialog entry keep the offset of their
// blob, at both alignments the blob can have, and a script longer than what is left of its record fails
// the archive.
#include "ScriptCompiler.h"
#include "world/WorldFixture.h"

#include <cstring>

namespace {
using worldbuild::Bytes;
constexpr u32 kVersion = 114;

// A 32-bit literal: the only token whose layout differs between offsets 0 and 2 modulo 4.
scriptc::Program Program() {
  scriptc::Options o;
  o.lineMarkers = false;
  scriptc::Result r = scriptc::CompileStatements("x = 100000;", o);
  EXPECT_TRUE(r.Ok());
  return r.programs.at(0);
}

Bytes ScriptsHeader(u16 n) {
  return Rec(kVersion, [&](SStream& s) {
    s.SerializeMarker('\'');
    s.SerializeU16(n);
  });
}

// The length word of a blob that starts at `offset`, raised past the end of the record (and of the
// few bytes the archive writer pads records with).
void Lengthen(Bytes& record, u32 offset) {
  const u16 n = u16(record.size() - offset + 64);
  record[offset - 2] = u8(n);
  record[offset - 1] = u8(n >> 8);
}

class ScriptStorage : public WorldFixture {
 protected:
  // A named-script record whose blob lands at offset `mod4` modulo 4 (the name's length decides).
  Bytes NamedRecord(const char* name, u32 mod4, const Bytes& blob, u32& offset) {
    SNamedScript script;
    script.name.Set(name);
    script.program = blob.data();
    script.length = u16(blob.size());
    Bytes record = Rec(kVersion, [&](SStream& s) { script.Serialize(s, kVersion); });
    SNamedScript back;
    SStream s(kVersion);
    s.OpenForRead(record.data(), u32(record.size()));
    back.Serialize(s, kVersion);
    offset = back.programOffset;
    EXPECT_EQ(offset % 4, mod4) << name;
    return record;
  }

  // A base dialog record of one list of one entry; the entry's text moves its script.
  Bytes DialogRecord(const char* text, u32 mod4, const Bytes& blob, u32& offset) {
    SDialogEntryListPair pair;
    auto* list = new SDialogEntryList;
    list->name.Set("bres_talk");
    auto* entry = new SDialogEntry;
    entry->text = text;
    entry->script = blob.data();
    entry->scriptLength = u16(blob.size());
    list->entries.Add(entry);
    pair.first.Add(list);
    Bytes record = Rec(kVersion, [&](SStream& s) { pair.Serialize(s, kVersion, false, nullptr); });
    pair.first.DeleteAll();
    SDialogEntryListPair back;
    SStream s(kVersion);
    s.OpenForRead(record.data(), u32(record.size()));
    EXPECT_TRUE(back.Serialize(s, kVersion, false, nullptr));
    offset = back.first[0]->entries[0]->scriptOffset;
    back.first.DeleteAll();
    EXPECT_EQ(offset % 4, mod4) << text;
    return record;
  }
};

TEST_F(ScriptStorage, BlobsKeepTheirOffsetsAtBothAlignments) {
  const scriptc::Program program = Program();
  struct Case {
    const char* name;  // also the entry's text
    u32 mod4;
  } cases[] = {{"base_ab", 0}, {"base_abcd", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Each blob laid out for the offset the record gives it.
    const Bytes blob = scriptc::Serialize(program, c.mod4);
    u32 scriptAt = 0, entryAt = 0;
    auto spec = Spec("base");
    spec.blocks[kBlockScripts] = {ScriptsHeader(1), NamedRecord(c.name, c.mod4, blob, scriptAt)};
    spec.blocks[kBlockDialogLists] = {DialogRecord(c.name, c.mod4, blob, entryAt)};
    Save(spec, c.name);
    ASSERT_EQ(modules.OpenArchive(c.name), SArchiveResult::kOpened) << modules.LastError();

    const SNamedScript* script = scripts.Find(c.name);
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->programOffset, scriptAt);
    ASSERT_EQ(script->length, blob.size());
    EXPECT_EQ(std::memcmp(script->program, blob.data(), blob.size()), 0);
    const SDialogEntry* entry = dialogs.FindFirst("bres_talk")->entries[0];
    EXPECT_EQ(entry->scriptOffset, entryAt);
    ASSERT_EQ(entry->scriptLength, blob.size());
    EXPECT_EQ(std::memcmp(entry->script, blob.data(), blob.size()), 0);
    // The 32-bit literal sits on a 4-byte boundary of the record in memory, for both carriers.
    const u32 literal = c.mod4 == 0 ? 12 : 10;
    EXPECT_EQ((script->programOffset + literal) % 4, 0u);
    EXPECT_EQ((entry->scriptOffset + literal) % 4, 0u);
    EXPECT_EQ(scriptc::Disassemble(script->program, script->length, script->programOffset), "x = 100000;");
    EXPECT_EQ(scriptc::Disassemble(entry->script, entry->scriptLength, entry->scriptOffset), "x = 100000;");
    modules.Clear();
    tables.ClearAll();
  }
}

// A length that runs past the record is refused with the archive, for a named script and for an entry.
TEST_F(ScriptStorage, AScriptLongerThanItsRecordFailsTheArchive) {
  const Bytes blob = scriptc::Serialize(Program(), 0);
  u32 at = 0;
  Bytes script = NamedRecord("base_ab", 0, blob, at);
  Lengthen(script, at);
  auto spec = Spec("base");
  spec.blocks[kBlockScripts] = {ScriptsHeader(1), script};
  Save(spec, "LongScript");
  EXPECT_NE(modules.OpenArchive("LongScript"), SArchiveResult::kOpened);
  EXPECT_EQ(scripts.Find("base_ab"), nullptr);

  Bytes dialog = DialogRecord("base_ab", 0, blob, at);
  Lengthen(dialog, at);
  auto spec2 = Spec("base");
  spec2.blocks[kBlockDialogLists] = {dialog};
  Save(spec2, "LongEntry");
  EXPECT_NE(modules.OpenArchive("LongEntry"), SArchiveResult::kOpened);
  EXPECT_EQ(dialogs.FindFirst("bres_talk"), nullptr);
}

}  // namespace
