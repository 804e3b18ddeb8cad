#include "WorldScripts.h"

#include "WorldRules.h"

#include "WorldSources.h"
#include "core/SGameWorld.h"
#include "script/SDialogEntry.h"
#include "script/SScriptCatalogue.h"
#include "script/SScriptTable.h"
#include "world/SItemTable.h"
#include "world/SSoundTable.h"
#include "world/SWorldModule.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace worldbuild {
namespace {

// Every blob starts at an even offset: only 0 and 2 are possible modulo 4.
u32 Mod4(u32 offset) { return offset & 3; }

std::string ReadText(const std::filesystem::path& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = bool(in);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// What the literal arguments of functions name, for the checks after the world is read back.
enum class Names { kGlobal, kQuest, kItemType, kSpell, kSound, kMusic, kScene, kMap, kMapObject, kPerson };
struct NameRule {
  u8 function;
  i8 argument;
  Names names;
};
constexpr NameRule kNameRules[] = {
    {100, 0, Names::kGlobal},    {101, 0, Names::kGlobal},    {252, 0, Names::kGlobal},    {253, 0, Names::kGlobal},
    {131, 0, Names::kQuest},     {132, 0, Names::kQuest},     {133, 0, Names::kQuest},     {134, 0, Names::kQuest},
    {135, 0, Names::kQuest},     {136, 0, Names::kQuest},     {137, 0, Names::kQuest},     {130, 0, Names::kItemType},
    {138, 0, Names::kItemType},  {139, 0, Names::kItemType},  {140, 0, Names::kItemType},  {141, 0, Names::kItemType},
    {142, 0, Names::kItemType},  {129, 0, Names::kSpell},     {154, 0, Names::kSpell},     {155, 0, Names::kSpell},
    {156, 0, Names::kSpell},     {195, 0, Names::kSpell},     {211, 0, Names::kSound},     {212, 0, Names::kMusic},
    {219, 0, Names::kScene},     {168, 0, Names::kMap},       {190, 0, Names::kMap},       {191, 0, Names::kMap},
    {151, 0, Names::kMapObject}, {162, 0, Names::kMapObject}, {163, 0, Names::kMapObject}, {228, 0, Names::kMapObject},
    {207, 1, Names::kMapObject}, {189, 0, Names::kPerson},
};
const char* NamesWord(Names n) {
  switch (n) {
    case Names::kGlobal: return "script global";
    case Names::kQuest: return "quest";
    case Names::kItemType: return "item type";
    case Names::kSpell: return "spell";
    case Names::kSound: return "sound";
    case Names::kMusic: return "music";
    case Names::kScene: return "scene";
    case Names::kMap: return "map";
    case Names::kMapObject: return "map object";
    case Names::kPerson: return "person";
  }
  return "";
}

bool MapObjectExists(SGameWorld& world, const char* name) {
  for (u32 i = 0; i < world.modules.Count(); ++i) {
    SMapArea* where = nullptr;
    if (world.modules.modules[i32(i)]->FindObjectByName(name, where)) return true;
  }
  return false;
}

bool Exists(SGameWorld& world, Names kind, const char* name) {
  switch (kind) {
    case Names::kGlobal: return world.globals.Find(name) != nullptr;
    case Names::kQuest: return world.rules.quests.FindByName(name) != nullptr;
    case Names::kItemType: return world.items.FindType(name) != nullptr;
    case Names::kSpell: return world.rules.spells.FindByName(name) != nullptr;
    case Names::kSound: return world.sounds.FindSound(name) != nullptr;
    case Names::kMusic: return world.sounds.FindSong(name) != nullptr;
    case Names::kScene: return world.rules.scenes.FindByName(name) != nullptr;
    case Names::kMap: return world.modules.FindMap(name) != nullptr;
    case Names::kMapObject: return MapObjectExists(world, name);
    case Names::kPerson: return world.rules.people.FindByName(name) != nullptr;
  }
  return false;
}

}  // namespace

WorldScripts& Scripts() {
  static WorldScripts scripts;
  return scripts;
}

std::string WorldScripts::Where(const Compiled& c, u32 line, u32 column) const {
  if (c.what.empty()) return c.file + ":" + std::to_string(line) + ":" + std::to_string(column);
  // An inline script: the place of its text in the source file, then the place inside the script.
  return c.file + (c.fileLine ? ":" + std::to_string(c.fileLine) : "") + ": " + c.what + ", script line " +
         std::to_string(line) + " column " + std::to_string(column);
}

void WorldScripts::Report(Context& ctx, const Compiled& c, const scriptc::Diagnostic& d) const {
  if (d.error)
    ctx.fail(Where(c, d.line, d.column), d.text);
  else
    ctx.warn(Where(c, d.line, d.column), d.text);
}

bool WorldScripts::CompileNamed(Context& ctx) {
  const std::filesystem::path folder = ctx.source() / "scripts";
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    if (e.path().extension() == ".script") files.push_back(e.path());
  if (ec) return ctx.fail(folder.string(), "cannot be read"), false;
  std::sort(files.begin(), files.end());
  bool ok = true;
  for (const std::filesystem::path& path : files) {
    bool read = false;
    const std::string text = ReadText(path, read);
    if (!read) {
      ctx.fail(path.string(), "cannot be read");
      ok = false;
      continue;
    }
    // Named scripts run for map objects and monsters, whose output goes to the game's message line; there a
    // list the script started and showed gives its choice when the script runs again.
    scriptc::Options options;
    options.messageLine = true;
    scriptc::Result r = scriptc::CompileFile(text, options);
    Compiled where{{}, path.string(), 0, {}};
    for (const scriptc::Diagnostic& d : r.diagnostics) Report(ctx, where, d);
    if (!r.Ok()) {
      ok = false;
      continue;
    }
    for (scriptc::Program& p : r.programs) {
      if (HasNamed(p.name)) {
        ctx.fail(Where(where, p.line, p.column), "a second script named " + p.name);
        ok = false;
        continue;
      }
      named_.push_back(Compiled{std::move(p), path.string(), 0, {}});
    }
  }
  return ok;
}

bool WorldScripts::HasNamed(const std::string& name) const {
  for (const Compiled& c : named_)
    if (c.program.name == name) return true;
  return false;
}

std::vector<Bytes> WorldScripts::NamedRecords(Context& ctx) {
  std::vector<Bytes> records;
  records.push_back(SampleRecord([&](SStream& s) {
    s.SerializeMarker('\'');
    u16 n = u16(named_.size());
    s.SerializeU16(n);
  }));
  for (const Compiled& c : named_) {
    SNamedScript script;
    script.name.Set(KeepText(c.program.name));
    script.flag = 5;  // stored and never read
    std::vector<EntryScript> one(1);
    one[0].program = &c.program;
    Bytes record = WriteWithEntryScripts(
        one,
        [&] {
          script.program = one[0].blob.data();
          script.length = u16(one[0].blob.size());
          return SampleRecord([&](SStream& s) { script.Serialize(s, kSampleVersion); });
        },
        [](const Bytes& bytes) {
          SNamedScript back;
          SStream s(kSampleVersion);
          s.OpenForRead(bytes.data(), u32(bytes.size()));
          back.Serialize(s, kSampleVersion);
          return s.Ok() && back.program ? std::vector<u32>{back.programOffset} : std::vector<u32>{};
        });
    if (record.empty()) ctx.fail(Where(c, c.program.line, c.program.column), "the script does not fit its record");
    records.push_back(record);
  }
  return records;
}

const scriptc::Program* WorldScripts::CompileEntry(Context& ctx, const std::string& file, const std::string& what,
                                                   const nlohmann::json& script) {
  const std::string where = (ctx.source() / file).string();
  if (!script.is_string()) {
    ctx.fail(where, what + ": a script is a string");
    return nullptr;
  }
  const std::string text = script.get<std::string>();
  const std::string place = SourcePlace(ctx, file, JsonPattern(text));
  const size_t colon = place.rfind(':');
  Compiled c{{}, where, colon == std::string::npos ? 0u : u32(std::stoul(place.substr(colon + 1))), what};
  scriptc::Options options;
  options.conversation = true;
  scriptc::Result r = scriptc::CompileStatements(text, options);
  for (const scriptc::Diagnostic& d : r.diagnostics) Report(ctx, c, d);
  if (!r.Ok()) return nullptr;
  c.program = std::move(r.programs[0]);
  return &inline_.emplace_back(std::move(c)).program;
}

bool WorldScripts::CheckReferences(Context& ctx) const {
  bool ok = true;
  for (const auto& [name, where] : references_)
    if (!HasNamed(name)) {
      ctx.fail(where, "names the script " + name + ", which no file in scripts/ defines");
      ok = false;
    }
  // The game hands a monster's death to its script, and only default() carries it out: a death the
  // script answers without it leaves the monster standing, its death told again at every killing blow.
  for (const MonsterScript& m : monsterScripts_)
    for (const Compiled& c : named_) {
      if (c.program.name != m.name) continue;
      const scriptc::DefaultRun run = scriptc::RunsDefault(c.program, 64);
      if (run == scriptc::DefaultRun::kAlways) continue;
      ctx.fail(Where(c, c.program.line, c.program.column),
               m.name + " runs for the monster bound to " + m.object + " (" + m.where + ") and answers its death " +
                   (run == scriptc::DefaultRun::kNever ? "without default()" : "without default() on some way") +
                   ": the monster would not die; call default() where evtdie() is answered");
      ok = false;
    }
  return ok;
}

bool WorldScripts::CheckLiterals(Context& ctx, SGameWorld& world) const {
  bool ok = true;
  auto check = [&](const Compiled& c) {
    for (const scriptc::NameUse& use : c.program.names) {
      // A call's target is a map object (or the monster placed on one).
      bool checked = use.argument < 0;
      Names kind = Names::kMapObject;
      for (const NameRule& rule : kNameRules)
        if (!checked && rule.function == use.function && rule.argument == use.argument) {
          kind = rule.names;
          checked = true;
        }
      if (!checked || Exists(world, kind, use.text.c_str())) continue;
      const std::string what = std::string(use.argument < 0 ? "the target " : "the ") + NamesWord(kind) + " " +
                               use.text + " is not in the world";
      if (kind == Names::kGlobal) {
        ctx.fail(Where(c, use.line, use.column), what + " (scripts never create globals)");
        ok = false;
      } else {
        ctx.warn(Where(c, use.line, use.column), what);
      }
    }
  };
  for (const Compiled& c : named_) check(c);
  for (const Compiled& c : inline_) check(c);
  for (const auto& [person, where] : speakers_)
    if (!PersonAnswers(world.rules, person.c_str()))
      ctx.warn(where, "leads to " + (person.empty() ? std::string("no person") : "the person " + person) +
                          ", who does not answer");
  return ok;
}

std::vector<SDialogEntry*> EntriesInRecordOrder(SDialogEntryListPair& pair) {
  std::vector<SDialogEntry*> out;
  for (SPtrArray<SDialogEntryList>* lists : {&pair.first, &pair.second})
    for (u32 i = 0; i < lists->Count(); ++i) {
      SDialogEntryList* l = (*lists)[i32(i)];
      if (!l || l->baseFlag) continue;
      for (u32 k = 0; k < l->entries.Count(); ++k) out.push_back(l->entries[i32(k)]);
    }
  return out;
}

namespace {

// A condition from its source: {"kind", "op" ("==", "!=", ">", ">=", "<", "<=" or the number), "value",
// "parameter", "text"}; written as it stands.
SCondition* ConditionFromJson(Context& ctx, const std::string& where, const nlohmann::json& cj) {
  if (!cj.is_object() || !cj.contains("kind")) {
    ctx.fail(where, "a condition is an object with a \"kind\"");
    return nullptr;
  }
  auto* c = new SCondition;
  c->kind = i8(cj["kind"].get<int>());
  c->value = i16(cj.value("value", 0));
  c->parameter = u8(cj.value("parameter", 0));
  if (cj.contains("text")) c->text = KeepText(cj["text"].get<std::string>());
  if (cj.contains("op")) {
    static const char* const kOps[] = {"==", "!=", ">", ">=", "<", "<="};
    const nlohmann::json& op = cj["op"];
    if (op.is_number()) {
      c->op = u8(op.get<int>());
    } else {
      c->op = 0;
      for (u8 i = 0; i < 6; ++i)
        if (op.get<std::string>() == kOps[i]) c->op = u8(i + 1);
      if (!c->op) ctx.fail(where, "unknown operator " + op.get<std::string>());
    }
  }
  return c;
}

}  // namespace

SDialogEntryList* DialogListFromJson(Context& ctx, const std::string& file, const nlohmann::json& lj,
                                     EntryPrograms& programs) {
  auto* list = new SDialogEntryList;
  const std::string name = lj.value("name", "");
  const std::string where = (ctx.source() / file).string();
  list->name.Set(KeepText(name));
  if (lj.contains("text")) list->text = KeepText(lj["text"].get<std::string>());
  if (lj.contains("playerText")) list->secondText = KeepText(lj["playerText"].get<std::string>());
  if (lj.contains("condition")) list->condition = ConditionFromJson(ctx, where + " (" + name + ")", lj["condition"]);
  u32 index = 0;
  for (const nlohmann::json& ej : lj["entries"]) {
    ++index;
    auto* e = new SDialogEntry;
    list->entries.Add(e);
    if (ej.is_string()) {
      e->text = KeepText(ej.get<std::string>());
      continue;
    }
    const std::string what = "dialog list " + name + ", entry " + std::to_string(index);
    e->text = KeepText(ej.value("text", ""));
    if (ej.contains("conditions")) {
      if (ej["conditions"].size() > 5) ctx.fail(where, what + ": at most five conditions");
      u32 i = 0;
      for (const nlohmann::json& cj : ej["conditions"])
        if (i < 5) e->conditions[i++] = ConditionFromJson(ctx, where + " (" + what + ")", cj);
    }
    if (ej.contains("choices")) {
      if (ej["choices"].size() > 4) ctx.fail(where, name + ": at most four choices");
      u32 i = 0;
      for (const nlohmann::json& c : ej["choices"]) {
        if (i >= 4) break;
        // null leaves the slot empty; a choice is its answer, or {"text", "condition"}.
        if (!c.is_null()) {
          e->choices[i] = new SChoice;
          if (c.is_string()) {
            e->choices[i]->answer = KeepText(c.get<std::string>());
          } else {
            e->choices[i]->answer = KeepText(c.value("text", ""));
            if (c.contains("condition"))
              e->choices[i]->condition = ConditionFromJson(ctx, where + " (" + what + ")", c["condition"]);
          }
        }
        ++i;
      }
    }
    if (ej.contains("script")) {
      const scriptc::Program* p = Scripts().CompileEntry(ctx, file, what, ej["script"]);
      if (!p) {
        delete list;
        return nullptr;
      }
      programs[e] = p;
    }
  }
  return list;
}

std::vector<u32> ScriptOffsets(SDialogEntryListPair& pair) {
  std::vector<u32> out;
  for (SDialogEntry* e : EntriesInRecordOrder(pair))
    if (e->scriptLength) out.push_back(e->scriptOffset);
  return out;
}

Bytes WriteDialogRecord(SDialogEntryListPair& pair, const EntryPrograms& programs, const std::function<Bytes()>& write,
                        const std::function<bool(const Bytes&, std::vector<u32>& offsets)>& read) {
  std::vector<EntryScript> scripts;
  for (SDialogEntry* e : EntriesInRecordOrder(pair)) {
    auto it = programs.find(e);
    if (it != programs.end()) scripts.push_back(EntryScript{e, it->second, {}, 0});
  }
  return WriteWithEntryScripts(scripts, write, [&](const Bytes& record) {
    std::vector<u32> offsets;
    return read(record, offsets) ? offsets : std::vector<u32>{};
  });
}

Bytes WriteWithEntryScripts(std::vector<EntryScript>& scripts, const std::function<Bytes()>& write,
                            const std::function<std::vector<u32>(const Bytes&)>& readBack) {
  // Fixing the first misplaced blob can move only the ones after it, so each pass settles one more.
  for (size_t pass = 0; pass <= scripts.size(); ++pass) {
    for (EntryScript& e : scripts) {
      e.blob = scriptc::Serialize(*e.program, e.offsetMod4);
      if (e.entry) {
        e.entry->script = e.blob.data();
        e.entry->scriptLength = u16(e.blob.size());
      }
    }
    Bytes record = write();
    if (record.empty()) return {};
    const std::vector<u32> offsets = readBack(record);
    if (offsets.size() != scripts.size()) return {};
    size_t i = 0;
    while (i < scripts.size() && Mod4(offsets[i]) == scripts[i].offsetMod4) ++i;
    if (i == scripts.size()) return record;
    scripts[i].offsetMod4 = Mod4(offsets[i]);
  }
  return {};
}

std::string SourcePlace(Context& ctx, const std::string& relative, const std::string& pattern) {
  static std::map<std::string, std::string> texts;
  const std::string path = (ctx.source() / relative).string();
  auto it = texts.find(path);
  if (it == texts.end()) {
    bool ok = false;
    it = texts.emplace(path, ReadText(path, ok)).first;
  }
  std::smatch m;
  if (!std::regex_search(it->second, m, std::regex(pattern))) return path;
  const auto at = it->second.begin() + m.position(0);
  return path + ":" + std::to_string(1 + std::count(it->second.begin(), at, '\n'));
}

std::string JsonPattern(const std::string& text) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return std::regex_replace(nlohmann::json(text).dump(), special, R"(\$&)");
}

}  // namespace worldbuild
