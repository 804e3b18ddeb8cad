// The world builder refuses monster sources the game could not use, naming the place: a template whose
// kind is not its base type's, a missile without its first-person pictures, a cast palette the world lacks,
// sounds borrowed from a type that has none, a base type without its label.
#include "support/SampleBuild.h"

#include <gtest/gtest.h>

namespace {

TEST(MonsterSources, TheBuilderRefusesWhatTheGameCouldNotUse) {
  const testbuild::Refusal cases[] = {
      {"a person on a creature's base type", "world/base.json", R"("base": "bres_townswoman", "label": "Townswoman")",
       R"("base": "bres_rat", "label": "Townswoman")",
       "base_townswoman: kind 4 is not kind 2 of its base type bres_rat"},
      {"a missile without its pictures", "world/res.json", R"("missile": "base_fpsspit")",
       R"("missile": "base_fpsspat")", "bres_spitter: no first-person picture base_fpsspat for its missile"},
      {"a cast palette the world lacks", "world/base.json", R"("castPalette": "bres_pal-spit")",
       R"("castPalette": "bres_pal-spat")", "base_spitter: no palette bres_pal-spat to cast with"},
      {"sounds of a type that has none", "world/res.json", R"("sounds": "townswoman")", R"("sounds": "townsman")",
       "bres_ysolde: no sound bsnd_townsmanattack"},
      {"a base type without the name a player reads", "world/res.json", R"("bres_wraith", "label": "Wraith", )",
       R"("bres_wraith", )", "bres_wraith: no label"},
  };
  for (const testbuild::Refusal& c : cases) testbuild::ExpectRefused("duskmire-monsters", c);
}

}  // namespace
