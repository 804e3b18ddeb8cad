// The world's scripts from readable sources: named scripts from data/sample/scripts/*.script, one
// named-script record each; dialog-entry scripts written inline in the dialog sources, laid out at their
// final record offsets; and the checks on what scripts, scene pages and map objects name.
#pragma once
#include "BuildStep.h"
#include "ScriptCompiler.h"
#include "WorldWriter.h"

#include <nlohmann/json.hpp>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct SDialogEntry;
struct SDialogEntryList;
struct SDialogEntryListPair;
struct SGameWorld;

namespace worldbuild {

class WorldScripts {
 public:
  // Compiles every data/sample/scripts/*.script file (in name order); false after reporting.
  bool CompileNamed(Context& ctx);
  // The scripts block: the header record, then one named-script record per script (flag 5), each blob
  // laid out for the offset it has in its record.
  std::vector<Bytes> NamedRecords(Context& ctx);

  // Compiles a dialog entry's inline script (a JSON string) from `file`; `what` says which entry. Null,
  // after reporting, when it does not compile. The program lives as long as this object.
  const scriptc::Program* CompileEntry(Context& ctx, const std::string& file, const std::string& what,
                                       const nlohmann::json& script);

  // A scene page or map object names a script: `where` is "file:line".
  void NameScript(const std::string& name, const std::string& where) { references_.push_back({name, where}); }
  // The script on the map object `object`, which a monster is bound to, runs for that monster.
  void NameMonsterScript(const std::string& name, const std::string& where, const std::string& object) {
    monsterScripts_.push_back({name, where, object});
  }
  // A map object leads to the person of that name (a city door's target): `where` is "file:line".
  void NameSpeaker(const std::string& name, const std::string& where) { speakers_.push_back({name, where}); }
  // Every named script exists, and a monster's script lets the monster die (default() on every way its
  // death takes); false after reporting the ones that do not.
  bool CheckReferences(Context& ctx) const;
  // After the world is read back: the literal names that scripts hand to functions, and the people map
  // objects lead to. A script global the world lacks is an error (scripts never create globals); other
  // unknown names, and a person who does not answer, are warnings.
  bool CheckLiterals(Context& ctx, SGameWorld& world) const;

  bool HasNamed(const std::string& name) const;

 private:
  struct Compiled {
    scriptc::Program program;
    std::string file;  // for messages
    u32 fileLine = 0;  // the line of the file where the script's line 1 stands
    std::string what;  // which entry, for inline scripts
  };
  void Report(Context& ctx, const Compiled& c, const scriptc::Diagnostic& d) const;
  std::string Where(const Compiled& c, u32 line, u32 column) const;

  std::deque<Compiled> named_, inline_;
  std::vector<std::pair<std::string, std::string>> references_;
  std::vector<std::pair<std::string, std::string>> speakers_;  // (person, where)
  struct MonsterScript {
    std::string name, where, object;
  };
  std::vector<MonsterScript> monsterScripts_;
};

// The one set of scripts of a builder run.
WorldScripts& Scripts();

// A dialog entry whose script is to be laid out where the entry lands in its record.
struct EntryScript {
  SDialogEntry* entry = nullptr;
  const scriptc::Program* program = nullptr;
  Bytes blob;
  u32 offsetMod4 = 0;
};

// Each dialog entry's compiled script.
using EntryPrograms = std::map<const SDialogEntry*, const scriptc::Program*>;

// A dialog entry list from its source: {"name", "text" (its title), "playerText" (the player's line),
// "condition", "entries"}, an entry being its text alone or {"text", "conditions" (up to five), "choices"
// (up to four: an answer, {"text", "condition"}, or null for an empty slot), "script" (statements)}.
// Conditions are written as they stand. Scripts are compiled into `programs`; null after reporting a fault.
SDialogEntryList* DialogListFromJson(Context& ctx, const std::string& file, const nlohmann::json& list,
                                     EntryPrograms& programs);

// Writes a record that holds `pair` (through `write`), each entry script laid out at its final offset;
// `read` reads such a record back into `into` and says whether it could. Empty when it does not fit.
Bytes WriteDialogRecord(SDialogEntryListPair& pair, const EntryPrograms& programs, const std::function<Bytes()>& write,
                        const std::function<bool(const Bytes&, std::vector<u32>& offsets)>& read);

// The script offsets of a pair's entries that carry a script, in record order.
std::vector<u32> ScriptOffsets(SDialogEntryListPair& pair);

// The entries of a pair in the order the record holds them (lists of the first array, then the second;
// references to base lists hold none).
std::vector<SDialogEntry*> EntriesInRecordOrder(SDialogEntryListPair& pair);

// Writes a record that holds `scripts` (in record order): lays every blob out for the offset it was
// found at by reading the record back, and writes again until each blob sits where it was laid out for.
// `readBack` returns the script offsets of the record's entries that carry a script, in record order.
Bytes WriteWithEntryScripts(std::vector<EntryScript>& scripts, const std::function<Bytes()>& write,
                            const std::function<std::vector<u32>(const Bytes&)>& readBack);

// "file:line" of the first place in a source file (relative to the source folder) where `pattern`
// (a regular expression) matches; "file" alone when it does not.
std::string SourcePlace(Context& ctx, const std::string& relative, const std::string& pattern);
// A JSON string as the sources write it, escaped for a regular expression.
std::string JsonPattern(const std::string& text);

}  // namespace worldbuild
