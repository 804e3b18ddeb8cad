// The world builder refuses monster sources the game could not use, naming the place: a template whose
// kind is not its base type's, a missile without its first-person pictures, a cast palette the world lacks.
#include "support/SampleBuild.h"

#include <gtest/gtest.h>

namespace {

TEST(MonsterSources, TheBuilderRefusesWhatTheGameCouldNotUse) {
  const struct Case {
    const char* what;
    const char* file;
    const char* find;
    const char* replace;
    const char* says;
  } cases[] = {
      {"a person on a creature's base type", "world/base.json", R"("base": "bres_merchant", "label": "Townswoman")",
       R"("base": "bres_rat", "label": "Townswoman")",
       "base_townswoman: kind 4 is not kind 2 of its base type bres_rat"},
      {"a missile without its pictures", "world/res.json", R"("missile": "base_fpsspit")",
       R"("missile": "base_fpsspat")", "bres_spitter: no first-person picture base_fpsspat for its missile"},
      {"a cast palette the world lacks", "world/base.json", R"("castPalette": "bres_pal-spit")",
       R"("castPalette": "bres_pal-spat")", "base_spitter: no palette bres_pal-spat to cast with"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const testbuild::Result r = testbuild::BuildEditedSample("duskmire-monsters", c.file, c.find, c.replace);
    ASSERT_TRUE(r.edited);
    EXPECT_NE(r.status, 0) << r.output;
    EXPECT_FALSE(r.wrote);
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
}

}  // namespace
