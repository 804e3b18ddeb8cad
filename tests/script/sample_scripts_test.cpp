// The sample world's scripts: written from readable sources, loaded by the game core as a new game loads
// the world, stored byte for byte as the compiler lays them out at their record offsets, and saying
// what their sources say. The world builder refuses broken sources naming the place.
#include "ScriptCompiler.h"
#include "ScriptRig.h"
#include "support/SampleBuild.h"
#include "world/SampleCore.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

nlohmann::json SourceJson(const std::string& relative) {
  return nlohmann::json::parse(ReadFile(std::string(DUSKMIRE_SOURCE_DIR) + "/data/sample/" + relative), nullptr, false);
}

std::string Listing(const u8* blob, u16 length, u32 offset) { return scriptc::Disassemble(blob, length, offset); }

// The stored blob is the source compiled and laid out for where it sits.
void ExpectCompiledFrom(const std::string& source, bool named, const u8* blob, u16 length, u32 offset) {
  scriptc::Result r = named ? scriptc::CompileFile(source) : scriptc::CompileStatements(source);
  ASSERT_TRUE(r.Ok());
  ASSERT_EQ(r.programs.size(), 1u);
  const scriptc::Bytes expected = scriptc::Serialize(r.programs[0], offset % 4);
  ASSERT_EQ(length, expected.size());
  EXPECT_EQ(scriptc::Bytes(blob, blob + length), expected);
}

class SampleScripts : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(SampleDataFolder() + "DuskmireBase.pdb"))
        << "build the sample_world target first";
    SWorld& world = w.core.world;
    ASSERT_TRUE(world.modules.OpenGameArchives(nullptr)) << world.modules.LastError();
    w.core.PrepareWorldTables(nullptr);
    w.core.BindWorldResources(nullptr);
  }
  SampleCore w;
};

// Each named script, from data/sample/scripts, in the words of its source.
TEST_F(SampleScripts, NamedScriptsAsTheirSourcesSay) {
  const std::map<std::string, std::string> intent = {
      {"base_script_lever",
       "7: if (!evtuse()) {\n"
       "8:   return; }\n"
       "10: if (getglobal(\"base_gateopen\") == 1) {\n"
       "11:   message(\"The lever does not move any more.\");\n"
       "12:   return; }\n"
       "14: if (answer() == 0) {\n"
       "15:   questionyesno(\"Pull the rusty lever?\");\n"
       "16:   return; }\n"
       "18: if (answer() == 4) {\n"
       "19:   default();\n"
       "20:   @base_obj_gate.open();\n"
       "21:   setglobal(\"base_gateopen\", 1);\n"
       "22:   message(\"Somewhere in the cellar a gate grinds open.\");\n"
       "23:   if (@player.hasquest(\"base_quest_cellar\")) {\n"
       "24:     @player.solvequest(\"base_quest_cellar\"); } }"},
      {"base_script_chest",
       "32: if (!evtuse()) {\n"
       "33:   default();\n"
       "34:   return; }\n"
       "36: if (getglobal(\"base_chestasked\") == 1) {\n"
       "37:   setglobal(\"base_chestasked\", 0);\n"
       "38:   chosen = getobjectlistresult();\n"
       "39:   if (chosen == \"base_chest_open\") {\n"
       "40:     default(); } else {\n"
       "41:     if (chosen == \"base_chest_knock\") {\n"
       "42:       message(\"The lid sounds hollow.\"); } }\n"
       "44:   return; }\n"
       "46: setglobal(\"base_chestasked\", 1);\n"
       "47: createobjectlist(\"The old chest\");\n"
       "48: addobjecttolist(\"base_chest_open\", (\"Open it\"));\n"
       "49: addobjecttolist(\"base_chest_knock\", (\"Knock on the lid\"));\n"
       "50: showobjectlist();"},
      {"base_script_fogstone",
       "55: if (!evtuse()) {\n"
       "56:   return; }\n"
       "58: if (getglobal(\"base_fogon\") == 0) {\n"
       "59:   setmapfog(\"base_dungeon1\", 30, (\"203040\"));\n"
       "60:   setglobal(\"base_fogon\", 1);\n"
       "61:   message(\"A cold fog rises from the stone.\"); } else {\n"
       "63:   resetmapfog(\"base_dungeon1\");\n"
       "64:   setglobal(\"base_fogon\", 0);\n"
       "65:   message(\"The fog sinks back into the stone.\"); }"},
      {"base_script_crate",
       "72: if (!evtuse()) {\n"
       "73:   return; }\n"
       "75: if (getglobal(\"base_crateopen\") == 1) {\n"
       "76:   message(\"The crate is empty.\"); } else {\n"
       "77:   if (@player.hasitem(\"base_repair_hammerapprentice\", 1) || @player.hasitem(\"base_repair_hammer\", 1)) "
       "{\n"
       "78:     @base_obj_crate.setoff();\n"
       "79:     setglobal(\"base_crateopen\", 1);\n"
       "80:     @player.receiveitem(\"base_food_bread\", 1);\n"
       "81:     message(\"You prise the crate open with the hammer and find a loaf of bread.\"); } else {\n"
       "83:     message(\"The crate is nailed shut. A hammer would prise it open.\"); } }"},
      {"base_script_cyclops",
       "91: if (evtuse()) {\n"
       "92:   message(\"The cyclops grunts: \\\"The gold is mine, %PCName%.\\\"\"); } else {\n"
       "93:   if (evtdie()) {\n"
       "94:     setglobal(\"base_cyclopsdead\", 1);\n"
       "95:     if (@player.hasquest(\"base_quest_cyclops\")) {\n"
       "96:       @player.solvequest(\"base_quest_cyclops\"); }\n"
       "98:     message(\"The cyclops falls, and its gold is free.\");\n"
       "99:     default(); } else {\n"
       "101:     default(); } }"},
      {"base_script_islechest",
       "5: if (!evtuse()) {\n"
       "6:   default();\n"
       "7:   return; }\n"
       "9: if (getglobal(\"base_islechesttrap\") == 1) {\n"
       "10:   setglobal(\"base_islechesttrap\", 0);\n"
       "11:   playsound(\"bsnd_trap\", 10);\n"
       "12:   @player.addhp(-5);\n"
       "13:   message(\"A needle springs from the lock and pricks your hand!\"); }\n"
       "15: default();"},
      {"base_script_guard",
       "52: if (!evtuse()) {\n"
       "53:   default();\n"
       "54:   return; }\n"
       "56: if (@player.getcrime() > 0) {\n"
       "57:   message(\"\\\"Thief! You will sit in the cells for that, %PCName%.\\\"\");\n"
       "58:   @player.movetojail(\"\");\n"
       "59:   return; }\n"
       "61: default();"},
      {"base_script_jailbench",
       "66: if (evtuse()) {\n"
       "67:   message(\"You sit on the hard bench and wait.\");\n"
       "68:   passtime(0, 0, 10); }"},
      {"base_script_ferry",
       "74: if (!evtuse()) {\n"
       "75:   return; }\n"
       "77: if (answer() == 0) {\n"
       "78:   questionyesno(\"Take the ferry for 20 gold?\");\n"
       "79:   return; }\n"
       "81: if (answer() != 4) {\n"
       "82:   return; }\n"
       "84: if (@player.getgold() < 20) {\n"
       "85:   message(\"You cannot pay the fare.\");\n"
       "86:   return; }\n"
       "88: @player.removegold(20);\n"
       "89: if (iscurrentmap(\"base_out0302\")) {\n"
       "90:   @player.movebyship(\"base_pos_harbour\", (\"The ferry beats back across the grey water to Duskmire.\")); "
       "} else {\n"
       "92:   @player.movebyship(\"base_pos_isle\", (\"The ferry crosses the grey water to Gull Isle.\")); }"},
      {"base_script_table",
       "5: if (evtuse()) {\n"
       "6:   message(\"A note on the table reads: \\\"%PCName%, on day %Day% %Global:base_innkeepername% keeps %AAN% "
       "apple and %AAN% pear for you at the inn.\\\"\"); }"},
      {"base_script_bell",
       "12: if (evtuse()) {\n"
       "13:   playsound(\"bsnd_clicks\", 8);\n"
       "14:   talknpc(\"base_merchant\"); }"},
      {"base_script_weatherstone",
       "20: if (!evtuse()) {\n"
       "21:   return; }\n"
       "23: if (getweathercloud() < 50) {\n"
       "24:   setweathercloud(\"\", 90);\n"
       "25:   setweatherrain(600);\n"
       "26:   message(\"Clouds gather over the town.\"); } else {\n"
       "28:   setweathercloud(\"\", 10);\n"
       "29:   setweatherrain(0);\n"
       "30:   message(\"The sky clears.\"); }"},
      {"base_script_storyteller",
       "36: if (evtuse()) {\n"
       "37:   playmusic(\"bmus_credits\");\n"
       "38:   playscene(\"bres_intro\"); }"},
      {"base_script_shrine",
       "44: if (evtstepon()) {\n"
       "45:   passtimeto(\"7pm\");\n"
       "46:   message(\"You doze on the shrine's warm stones until the evening.\"); }"},
      {"base_script_ratnest",
       "5: if (evtstepon()) {\n"
       "6:   createmonsterpos(\"base_rat\", 11, 8);\n"
       "7:   createmonsterdir(\"base_rat\", (\"east\"), 3);\n"
       "8:   message(\"Rats scurry out of the nest!\"); }"},
      {"base_script_ratbane",
       "14: if (evtuse()) {\n"
       "15:   removemonstertypes(\"base_rat\");\n"
       "16:   message(\"The rats from the nest flee the smell.\"); }"},
      {"base_script_intropage",
       "6: message(\"The innkeeper waves you in off the road.\");\n"
       "7: playmusic(\"bmus_main\");\n"
       "8: setglobalstr(\"base_innkeepername\", (\"Mara\"));"},
  };
  u32 compiled = 0;
  for (const auto& file :
       std::filesystem::directory_iterator(std::string(DUSKMIRE_SOURCE_DIR) + "/data/sample/scripts")) {
    scriptc::Result r = scriptc::CompileFile(ReadFile(file.path()));
    ASSERT_TRUE(r.Ok()) << file.path();
    for (const scriptc::Program& p : r.programs) {
      SCOPED_TRACE(p.name);
      ++compiled;
      const SNamedScript* s = w.scripts.Find(p.name.c_str());
      ASSERT_NE(s, nullptr);
      EXPECT_EQ(s->flag, 5);
      EXPECT_EQ(s->program[0] | s->program[1], 0);  // the unused first word
      EXPECT_EQ(scriptc::Bytes(s->program, s->program + s->length), scriptc::Serialize(p, s->programOffset % 4));
      ASSERT_TRUE(intent.count(p.name));
      EXPECT_EQ(Listing(s->program, s->length, s->programOffset), intent.at(p.name));
    }
  }
  EXPECT_EQ(compiled, w.scripts.scripts.Count());
  EXPECT_EQ(compiled, intent.size());
}

// The merchant's conversation as the person table reads it: its own topic list and a greeting shared with
// the base table, entries carrying inline scripts, each stored as compiled from its source.
TEST_F(SampleScripts, TheMerchantsConversationIsRead) {
  SNpc* merchant = w.core.world.rules.people.FindByName("base_merchant");
  ASSERT_NE(merchant, nullptr);
  auto* talk = static_cast<SDialogEntryListPair*>(merchant->conversation);
  ASSERT_NE(talk, nullptr);
  ASSERT_EQ(talk->second.Count(), 1);
  SDialogEntryList* greeting = talk->second[0];
  EXPECT_EQ(greeting, w.dialogs.FindSecond("base_merchantgreeting"));  // the base table's own list
  ASSERT_EQ(greeting->entries.Count(), 2);
  EXPECT_STREQ(greeting->entries[0]->text, "Welcome, traveller.");
  const SDialogEntry* welcome = greeting->entries[0];
  EXPECT_EQ(Listing(welcome->script, welcome->scriptLength, welcome->scriptOffset), "1: gonext();");
  EXPECT_EQ(greeting->entries[1]->scriptLength, 0);

  // His own topic, then the base table's rumours, which give the cyclops quest.
  ASSERT_EQ(talk->first.Count(), 2);
  EXPECT_EQ(talk->first[1], w.dialogs.FindFirst("base_merchantrumours"));
  SDialogEntryList* cellar = talk->first[0];
  EXPECT_STREQ(cellar->name.Text(), "base_merchant_cellar");
  ASSERT_EQ(cellar->entries.Count(), 2);
  const SDialogEntry* rumour = cellar->entries[1];
  EXPECT_EQ(Listing(rumour->script, rumour->scriptLength, rumour->scriptOffset),
            "1: if (getglobal(\"base_gateopen\") == 1) {\n1:   message(\"\\rSo you found it already.\"); }");

  // The rumour of a cyclops already felled gives nothing; the other gives the quest.
  const SDialogEntryList* rumours = w.dialogs.FindFirst("base_merchantrumours");
  ASSERT_EQ(rumours->entries.Count(), 2);
  EXPECT_EQ(rumours->entries[0]->scriptLength, 0);
  const SDialogEntry* cyclops = rumours->entries[1];
  EXPECT_EQ(Listing(cyclops->script, cyclops->scriptLength, cyclops->scriptOffset),
            "1: if (!@player.hasquest(\"base_quest_cyclops\")) {\n1:   @player.addquest(\"base_quest_cyclops\"); }");

  // Every inline script of the sources, where the tables hold it.
  u32 scripted = 0;
  auto check = [&](const nlohmann::json& list, SDialogEntryList* read) {
    ASSERT_NE(read, nullptr) << list["name"];
    for (size_t i = 0; i < list["entries"].size(); ++i) {
      const nlohmann::json& e = list["entries"][i];
      if (!e.is_object() || !e.contains("script")) continue;
      const SDialogEntry* entry = read->entries[i32(i)];
      SCOPED_TRACE(e["script"].get<std::string>());
      EXPECT_EQ(entry->scriptOffset % 2, 0u);
      ExpectCompiledFrom(e["script"].get<std::string>(), false, entry->script, entry->scriptLength,
                         entry->scriptOffset);
      ++scripted;
    }
  };
  const nlohmann::json baseSource = SourceJson("world/base.json"), resSource = SourceJson("world/res.json"),
                       rulesSource = SourceJson("world/rules.json");
  // Greetings and monsters' lists are in the second array, topics in the first.
  auto inTable = [&](const nlohmann::json& l) {
    const std::string name = l["name"].get<std::string>();
    return l.value("greeting", false) ? w.dialogs.FindSecond(name.c_str()) : w.dialogs.FindFirst(name.c_str());
  };
  for (const auto& l : baseSource["dialogLists"]) check(l, inTable(l));
  for (const auto& l : resSource["dialogLists"]) check(l, inTable(l));
  for (const auto& p : rulesSource["people"]) {
    if (!p.contains("conversation")) continue;
    SNpc* person = w.core.world.rules.people.FindByName(p["name"].get<std::string>().c_str());
    auto* pair = static_cast<SDialogEntryListPair*>(person->conversation);
    for (const auto& l : p["conversation"]["topics"])
      if (l.is_object()) check(l, pair->first.FindByName(l["name"].get<std::string>().c_str()));
  }
  EXPECT_EQ(scripted, 14u);
}

// What scene pages and map objects name exists: the intro's page script and the cellar lever's, whose
// gate opens by no other way (method 3 in its cell), and the town table's.
TEST_F(SampleScripts, PagesAndObjectsNameTheirScripts) {
  SScene* intro = w.core.world.rules.scenes.FindByName("bres_intro");
  ASSERT_NE(intro, nullptr);
  EXPECT_STREQ(intro->pages[2].texts[2], "base_script_intropage");
  EXPECT_NE(w.scripts.Find(intro->pages[2].texts[2]), nullptr);
  struct Object {
    const char* map;
    const char* name;
    const char* script;
  } objects[] = {{"base_dungeon1", "base_obj_lever", "base_script_lever"},
                 {"base_out0101", "base_obj_table", "base_script_table"}};
  for (const Object& o : objects) {
    SMapArea* map = w.core.world.modules.FindMap(o.map);
    ASSERT_NE(map, nullptr);
    SMapObjectInst* inst = map->FindObjectByName(o.name);
    ASSERT_NE(inst, nullptr) << o.name;
    EXPECT_STREQ(inst->scriptName, o.script);
    EXPECT_NE(w.scripts.Find(inst->scriptName), nullptr);
  }
  SMapArea* cellar = w.core.world.modules.FindMap("base_dungeon1");
  EXPECT_EQ(cellar->FindObjectByName("base_obj_towndoor"), nullptr);
  EXPECT_EQ(w.core.world.modules.FindMap("base_out0101")->FindObjectByName("base_obj_towndoor")->scriptName, nullptr);
  ASSERT_NE(cellar->FindObjectByName("base_obj_gate"), nullptr);
  EXPECT_EQ(w.globals.GetValue("base_gateopen"), 0);
}

// Every script of the sample world, named or in a dialog entry, as the world assembly loaded it, runs to
// its end with calls answered from a table, whichever way the answers go; the lever's "yes" path makes
// the calls its source says.
TEST_F(SampleScripts, EveryScriptRunsToItsEnd) {
  struct Blob {
    std::string what;
    const u8* program;
    u16 length;
    u32 offset;
  };
  std::vector<Blob> blobs;
  for (const SNamedScript* s : w.scripts.scripts)
    blobs.push_back({s->name.Text(), s->program, s->length, s->programOffset});
  auto entries = [&](const SPtrArray<SDialogEntryList>& lists) {
    for (const SDialogEntryList* list : lists)
      for (const SDialogEntry* e : list->entries)
        if (e->scriptLength) blobs.push_back({list->name.Text(), e->script, e->scriptLength, e->scriptOffset});
  };
  entries(w.dialogs.base.first);
  entries(w.dialogs.base.second);
  for (const SNpc* person : w.core.world.rules.people.records)
    if (auto* pair = static_cast<SDialogEntryListPair*>(person->conversation)) {
      entries(pair->first);
      entries(pair->second);
    }
  ASSERT_GE(blobs.size(), 7u);  // three named scripts, four entry scripts

  for (i32 answer : {0, 1, 4}) {
    for (const Blob& b : blobs) {
      SCOPED_TRACE(b.what + " with answers " + std::to_string(answer));
      ScriptRig rig;
      rig.context.answer = [answer](u32 id, const SScriptValue&, const SScriptValue&, const SScriptValue&) {
        const SScriptCatalogueRow* row = FindScriptFunction(id);
        if (!row || !row->GivesValue()) return static_cast<SScriptValue*>(nullptr);
        return row->answers & ScriptTarget::kAnswersText ? SScriptValue::MakeString("") : SScriptValue::MakeInt(answer);
      };
      ASSERT_TRUE(rig.interpreter.LoadProgram(b.program, b.length, b.offset));
      const u32 code = rig.interpreter.Execute();
      EXPECT_TRUE(code == 0 || code == SScriptInterpreter::kReturn) << code << " " << rig.interpreter.LastErrorText();
      EXPECT_EQ(rig.ScriptErrors(), 0u);
      EXPECT_FALSE(rig.context.calls.empty());
    }
  }

  const SNamedScript* lever = w.scripts.Find("base_script_lever");
  ASSERT_NE(lever, nullptr);
  ScriptRig rig;
  // evtuse, getglobal, answer, hasquest
  rig.context.answers = {{226, Int(1)}, {100, Int(0)}, {232, Int(4)}, {134, Int(1)}};
  ASSERT_TRUE(rig.interpreter.LoadProgram(lever->program, lever->length, lever->programOffset));
  EXPECT_TRUE(rig.interpreter.Run());
  std::string calls;
  for (const std::string& c : rig.context.calls) calls += c + "\n";
  EXPECT_EQ(calls,
            "evtuse(\"\",\"\",\"\")\n"
            "getglobal(\"base_gateopen\",\"\",\"\")\n"
            "answer(\"\",\"\",\"\")\n"
            "answer(\"\",\"\",\"\")\n"
            "default(\"\",\"\",\"\")\n"
            "base_obj_gate.open(\"\",\"\",\"\")\n"
            "setglobal(\"base_gateopen\",1,\"\")\n"
            "message(\"Somewhere in the cellar a gate grinds open.\",\"\",\"\")\n"
            "player.hasquest(\"base_quest_cellar\",\"\",\"\")\n"
            "player.solvequest(\"base_quest_cellar\",\"\",\"\")\n");
}

// The world builder on a copy of the sample sources with one fault each: what it says and whether it
// still writes the world.
TEST(SampleScriptSources, BrokenSourcesFailTheBuildNamingThePlace) {
  struct Case {
    const char* what;
    const char* file;  // relative to the source folder
    const char* find;
    const char* replace;
    bool builds;
    const char* says;
    const char* options = "";
  } cases[] = {
      {"a compile error", "scripts/town.script", "if (evtuse())", "if (evtuse() {", false,
       "scripts/town.script:5:16: expected ) after the condition"},
      {"an inline script's error", "world/base.json", "\"script\": \"gonext();\"", "\"script\": \"gonext(;\"", false,
       "world/base.json:100: dialog list base_merchantgreeting, entry 1, script line 1 column 8: expected a value"},
      {"a map object names a missing script", "maps/maps.json", "\"base_script_lever\"", "\"base_script_levr\"", false,
       "maps/maps.json:914: names the script base_script_levr, which no file in scripts/ defines"},
      {"a scene page names a missing script", "world/rules.json", "\"base_script_intropage\"", "\"base_script_nopage\"",
       false, "world/rules.json:95: names the script base_script_nopage"},
      {"a global the world lacks", "scripts/cellar.script", "setglobal(\"base_gateopen\", 1)",
       "setglobal(\"base_gateopened\", 1)", false,
       "scripts/cellar.script:21:15: the script global base_gateopened is not in the world"},
      {"an unknown quest only warns", "world/base.json", "base_quest_cyclops\\\"); }", "base_quest_cyclopes\\\"); }",
       true, "script line 1 column 63: warning: the quest base_quest_cyclopes is not in the world"},
      {"an unknown target only warns", "scripts/cellar.script", "base_obj_gate.open", "base_obj_grate.open", true,
       "scripts/cellar.script:20:5: warning: the target map object base_obj_grate is not in the world"},
      {"two map objects of one name", "maps/maps.json", "\"name\": \"base_obj_crate\"", "\"name\": \"base_obj_table\"",
       false, "base_dungeon1: a second map object named base_obj_table (the first is in base_out0101)"},
      {"a monster's script that answers its death alone", "scripts/cellar.script",
       "its gold is free.\");\n    default();", "its gold is free.\");", false,
       "scripts/cellar.script:90:8: base_script_cyclops runs for the monster bound to base_obj_cyclops ("},
      {"a script on a sign only warns", "maps/maps.json", "\"centre\": \"base_table\"", "\"centre\": \"base_sign\"",
       true, "base_obj_table: its type base_sign (class 18) reacts to no event, so the script never runs"},
      // The shipped world is built strictly: a warning fails it.
      {"a warning fails a strict build", "scripts/cellar.script", "base_obj_gate.open", "base_obj_grate.open", false,
       "1 warning with --strict; nothing was written", "--strict"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const testbuild::Result r = testbuild::BuildEditedSample("duskmire-scripts", c.file, c.find, c.replace, c.options);
    ASSERT_TRUE(r.edited);
    EXPECT_EQ(r.status == 0, c.builds) << r.output;
    EXPECT_EQ(r.wrote, c.builds);
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
}

}  // namespace

// The interpreter's program points into the script table's records: unloading the world lets go of it, so a
// run after the unload runs nothing instead of reading freed records.
TEST(ScriptsAndWorlds, UnloadingTheWorldDropsTheLoadedProgram) {
  ScriptRig rig;
  SFileStore files(SampleDataFolder());
  rig.core.world.SetFileStore(&files);
  ASSERT_TRUE(rig.core.world.modules.OpenGameArchives(nullptr)) << rig.core.world.modules.LastError();
  const SNamedScript* lever = rig.core.world.scripts.Find("base_script_lever");
  ASSERT_NE(lever, nullptr);
  ASSERT_TRUE(rig.interpreter.LoadProgram(lever->program, lever->length, lever->programOffset));
  rig.core.UnloadWorld();
  rig.interpreter.Execute();
  EXPECT_TRUE(rig.context.calls.empty());
  EXPECT_EQ(rig.ScriptErrors(), 0u);
}
