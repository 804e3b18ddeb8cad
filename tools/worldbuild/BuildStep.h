// The world builder's steps: each source file registers one step that reads its part of data/sample and
// adds records to the archives being built. Steps run in ascending order of their rank.
#pragma once
#include "os/Types.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace worldbuild {

// One record-database file being built: its records by id, written whole at the end.
struct Archive {
  std::string name;     // file name without ".pdb", e.g. "DuskmireData"
  std::string type;     // four-character database type
  std::string creator;  // four-character creator code
  std::map<u16, std::vector<u8>> records;
};

class Context {
 public:
  Context(std::filesystem::path source, std::filesystem::path out) : source_(std::move(source)), out_(std::move(out)) {}
  const std::filesystem::path& source() const { return source_; }
  const std::filesystem::path& out() const { return out_; }
  // The archive of that name, created empty on first use.
  Archive& archive(const std::string& name);
  const std::map<std::string, Archive>& archives() const { return archives_; }
  // Stores record `id` of `archive`, written by the source `where`. The records are a map, so a second write
  // would silently replace the first: an id written before is refused as a fault naming both writers.
  bool put(Archive& archive, u16 id, std::vector<u8> bytes, const std::string& where);
  // Reports a fault in the sources; the build fails at the end of the step that reported it.
  void fail(const std::string& where, const std::string& what);
  // Reports something in the sources that is probably wrong; the build goes on.
  void warn(const std::string& where, const std::string& what);
  bool failed() const { return failures_ > 0; }
  int warnings() const { return warnings_; }

 private:
  std::filesystem::path source_, out_;
  std::map<std::string, Archive> archives_;
  std::map<std::pair<std::string, u16>, std::string> writers_;  // who wrote each record, for the refusal
  int failures_ = 0;
  int warnings_ = 0;
};

using StepFn = void (*)(Context&);

// Registers a step at static initialisation; use through WORLDBUILD_STEP.
struct StepRegistrar {
  StepRegistrar(int rank, const char* name, StepFn fn);
};

#define WORLDBUILD_STEP_CAT2(a, b) a##b
#define WORLDBUILD_STEP_CAT(a, b) WORLDBUILD_STEP_CAT2(a, b)
#define WORLDBUILD_STEP(rank, name, fn) \
  static ::worldbuild::StepRegistrar WORLDBUILD_STEP_CAT(worldbuildStep_, __LINE__)(rank, name, fn)

// Writes one archive as a record-database file; false with a message on failure.
bool WriteArchive(const Archive& archive, const std::filesystem::path& file, std::string& error);

}  // namespace worldbuild
