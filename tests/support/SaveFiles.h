// Saved-game files as tests read and write them: whole files, and the records of a slot file by id.
#pragma once
#include "foundation/SDatabase.h"
#include "os/Files.h"

#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace testsaves {

using Bytes = std::vector<u8>;

inline Bytes ReadFile(const std::string& path) {
  Bytes bytes;
  Os::ReadWholeFile(path.c_str(), 64u << 20, &bytes);
  return bytes;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Every record of a slot file by id.
inline std::map<u16, Bytes> Records(const std::string& path) {
  std::map<u16, Bytes> out;
  const Bytes file = ReadFile(path);
  if (file.size() < kDatabaseHeaderSize) return out;
  const u32 n = u32(file[76]) << 8 | file[77];
  for (u32 i = 0; i < n && kDatabaseHeaderSize + 8 * (i + 1) <= file.size(); ++i) {
    const u8* e = file.data() + kDatabaseHeaderSize + 8 * i;
    const u32 at = u32(e[0]) << 24 | u32(e[1]) << 16 | u32(e[2]) << 8 | e[3];
    const u8* next = e + 8;
    const u32 end =
        i + 1 < n ? u32(next[0]) << 24 | u32(next[1]) << 16 | u32(next[2]) << 8 | next[3] : u32(file.size());
    out[u16(e[6] << 8 | e[7])] = Bytes(file.begin() + at, file.begin() + end);
  }
  return out;
}

}  // namespace testsaves
