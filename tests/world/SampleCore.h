// A game core with the tables of the higher layers registered, reading world archives from a folder: by
// default the built sample world. The sample tests load it through the core's own loading phases.
#pragma once
#include "WorldFixture.h"
#include "core/SGameCore.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <string>

inline std::string SampleDataFolder() { return std::string(DUSKMIRE_DATA_DIR) + "/"; }

// A source file of the sample world (data/sample/world/<file>); discarded when it does not parse.
inline nlohmann::json SampleSource(const char* file) {
  std::ifstream in(std::string(DUSKMIRE_SOURCE_DIR) + "/data/sample/world/" + file);
  return nlohmann::json::parse(in, nullptr, false);
}

struct SampleCore {
  explicit SampleCore(const std::string& folder = SampleDataFolder()) : files(folder) {
    core.world.SetFileStore(&files);
  }
  ~SampleCore() { core.UnloadWorld(); }
  SampleCore(const SampleCore&) = delete;
  SampleCore& operator=(const SampleCore&) = delete;

  SFileStore files;
  SGameCore core;
  SGlobalVariables& globals = core.world.globals;
  SFaceTable& faces = core.world.faces;
  SScriptTable& scripts = core.world.scripts;
  SDialogEntryListTable& dialogs = core.world.dialogs;
  SMonsterTable& monsters = core.world.monsters;
};
