// Named scripts run by name: -1 for a name no script has, 0 for a record without a script or a failed run
// (with "Script error!" once), 1 for a run to the end or to a "return"; and two names of one hash both
// kept, each found by its own name.
#include "ScriptRig.h"
#include "foundation/SName.h"
#include "script/SScriptTable.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>

namespace {

struct Table {
  explicit Table(ScriptRig& rig) { table.interpreter = &rig.interpreter; }
  // A record of that name holding the statements compiled (none: no script).
  SNamedScript* Add(const char* name, const char* statements) {
    auto* s = new SNamedScript;
    s->name.SetOwns();
    s->name.Set(name);
    if (statements) {
      scriptc::Options o;
      o.lineMarkers = false;
      const scriptc::Result r = scriptc::CompileStatements(statements, o);
      EXPECT_TRUE(r.Ok()) << statements;
      blobs.push_back(scriptc::Serialize(r.programs.at(0), 0));
      s->program = blobs.back().data();
      s->length = u16(blobs.back().size());
    }
    EXPECT_TRUE(table.scripts.InsertByNameHash(s));
    return s;
  }
  SScriptTable table;
  std::deque<scriptc::Bytes> blobs;
};

TEST(ScriptTable, RunByName) {
  ScriptRig rig;
  rig.context.hook = [](u32, const SScriptValue& first, const SScriptValue&, const SScriptValue&) {
    return first.Text() == std::string("fail") ? 12u : 0u;
  };
  Table t(rig);
  t.Add("base_plain", "x = 1;");
  t.Add("base_returns", "x = 2; return; x = 3;");
  t.Add("base_empty", nullptr);
  t.Add("base_fails", "x = 4; message(\"fail\"); x = 5;");
  t.Add("base_broken", "x = 6;");
  t.blobs.back()[3] = 0x7F;  // its string table lies past its end: it cannot be loaded
  const struct {
    const char* name;
    i32 result;
    const char* x;  // the variable afterwards
    u32 errors;
  } cases[] = {
      {"base_missing", -1, "none", 0}, {"base_empty", 0, "none", 0}, {"base_plain", 1, "1", 0},
      {"base_returns", 1, "2", 0},     {"base_fails", 0, "4", 1},    {"base_broken", 0, "4", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(t.table.RunByName(c.name), c.result) << c.name;
    EXPECT_EQ(rig.Var("x"), c.x) << c.name;
    EXPECT_EQ(rig.ScriptErrors(), c.errors) << c.name;
  }
}

TEST(ScriptTable, TwoNamesOfOneHashAreBothKept) {
  // Two names of the sample prefix whose hashes collide.
  std::string first, second;
  std::map<u16, std::string> seen;
  for (u32 i = 0; second.empty(); ++i) {
    const std::string name = "base_s" + std::to_string(i);
    auto [it, added] = seen.emplace(HashResourceName(name.c_str()), name);
    if (!added) {
      first = it->second;
      second = name;
    }
  }
  ScriptRig rig;
  Table t(rig);
  t.Add("base_zz", "x = 0;");
  SNamedScript* a = t.Add(first.c_str(), "x = 1;");
  SNamedScript* b = t.Add(second.c_str(), "x = 2;");
  ASSERT_EQ(t.table.scripts.Count(), 3);
  EXPECT_EQ(t.table.scripts.IndexOf(b), t.table.scripts.IndexOf(a) + 1) << "the later after the earlier";
  EXPECT_EQ(t.table.Find(first.c_str()), a);
  EXPECT_EQ(t.table.Find(second.c_str()), b);
  EXPECT_EQ(t.table.RunByName(second.c_str()), 1);
  EXPECT_EQ(rig.Var("x"), "2");
}

}  // namespace
