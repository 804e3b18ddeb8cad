// Writes an archive the world builder filled as a record-database file, with the game's own writer; and the
// builder's context, which the steps fill archives through.
#include "BuildStep.h"

#include "foundation/SDatabase.h"
#include "foundation/StrUtil.h"

#include <cstdio>
#include <cstring>

namespace worldbuild {

Archive& Context::archive(const std::string& name) {
  auto [it, added] = archives_.try_emplace(name);
  if (added) it->second.name = name;
  return it->second;
}

bool Context::put(Archive& archive, u16 id, std::vector<u8> bytes, const std::string& where) {
  const auto [it, added] = writers_.try_emplace({archive.name, id}, where);
  if (!added || archive.records.count(id)) {
    fail(where, archive.name + " record " + std::to_string(id) + " is already written by " + it->second);
    return false;
  }
  archive.records[id] = std::move(bytes);
  return true;
}

void Context::fail(const std::string& where, const std::string& what) {
  std::fprintf(stderr, "worldbuild: %s: %s\n", where.c_str(), what.c_str());
  ++failures_;
}

void Context::warn(const std::string& where, const std::string& what) {
  std::fprintf(stderr, "worldbuild: %s: warning: %s\n", where.c_str(), what.c_str());
  ++warnings_;
}

bool WriteArchive(const Archive& archive, const std::filesystem::path& file, std::string& error) {
  const std::string type = archive.type.empty() ? std::string(kBlankCode) : archive.type;
  const std::string creator = archive.creator.empty() ? std::string(kDataCreator) : archive.creator;
  if (type.size() != 4 || creator.size() != 4) {
    error = "type and creator codes must have four characters";
    return false;
  }
  if (archive.records.size() > 0xFFFF) {
    error = "more than 65,535 records";
    return false;
  }
  SFileStore store;
  SDatabaseWriter writer(&store);
  SDatabaseHeader& header = writer.Header();
  std::memset(header.name, 0, sizeof header.name);
  StrCopyN(header.name, sizeof header.name, archive.name.c_str(), 31);
  // Fixed dates keep the built world byte-for-byte reproducible.
  header.creationDate = header.modificationDate = 0;
  std::memcpy(header.type, type.data(), 4);
  std::memcpy(header.creator, creator.data(), 4);
  for (const auto& [id, bytes] : archive.records) {
    if (!writer.AddRecord(id, bytes.data(), u32(bytes.size()))) {
      error = "record " + std::to_string(id) + " cannot be added";
      return false;
    }
  }
  std::string path = std::filesystem::absolute(file).string();
  if (!writer.Write(path.c_str())) {
    error = "cannot write " + path;
    return false;
  }
  // Read it back as the game will: every record must come out whole.
  SDatabase check(&store);
  if (!check.Open(path.c_str(), creator.c_str()) || check.RecordCount() != archive.records.size()) {
    error = "the written file does not read back";
    return false;
  }
  for (const auto& [id, bytes] : archive.records) {
    auto record = check.ReadRecord(id);
    if (!record || record->size < bytes.size() ||
        (!bytes.empty() && std::memcmp(record->data, bytes.data(), bytes.size()) != 0)) {
      error = "record " + std::to_string(id) + " does not read back";
      return false;
    }
  }
  return true;
}

}  // namespace worldbuild
