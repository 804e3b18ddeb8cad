// Reads arbitrary bytes as a saved game's header record, and as a whole slot file through the slot
// description: either none, or a version of at most 116 with texts that end inside what was read and a
// picture, when one is kept, of 8,000 bytes inside the record; the load screen's row is built from what
// the description gives.
#include "common/Outcome.h"
#include "common/Check.h"
#include "foundation/SDatabase.h"
#include "os/headless/MemoryFiles.h"
#include "player/SSaveGame.h"
#include "screens/SStateLoadSave.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A text that begins inside the block and ends there.
bool Inside(const char* text, const u8* block, u32 size) {
  if (!text) return true;
  const u8* p = reinterpret_cast<const u8*>(text);
  return p >= block && p < block + size && std::memchr(p, 0, size_t(block + size - p)) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size > (1u << 20)) return 0;
  SRecordData record(new u8[size ? size : 1], u32(size));
  if (size) std::memcpy(record.data, data, size);
  SSaveHeader header;
  if (SSaveGame::ParseHeader(record, &header)) {
    CHECK(header.version <= kSaveVersion);
    CHECK(Inside(header.place, record.data, record.size) && Inside(header.date, record.data, record.size));
    CHECK(!header.thumbnail ||
          (header.thumbnail >= record.data && header.thumbnail + kThumbnailBytes <= record.data + record.size));
  }

  static Os::MemoryFileSystem files;
  FuzzOutcome outcome;
  Os::InstallFiles(&files);
  files.Put("/fuzz/DuskmireSave0.pdb", std::vector<u8>(data, data + size));
  SFileStore store("/fuzz/");
  SSaveGame saves;
  saves.Bind(&store, nullptr, nullptr, nullptr);
  if (SSaveSlotInfo* info = saves.ReadSlotInfo(0)) {
    CHECK(info->version <= kSaveVersion && info->database && info->header);
    CHECK(!info->thumbnail || info->thumbnail + kThumbnailBytes <= info->header->data + info->header->size);
    // The screen owns the description from here on.
    auto screen = std::make_unique<SStateLoadSave>();
    screen->slots[0] = info;
    screen->SlotText(0);
    outcome.AddValue(info->version);
    outcome.Add(screen->rowTexts[0].text.CStr(), screen->rowTexts[0].text.Length());
    const std::string expected = std::string(info->place.CStr()) + "\r" + info->date.CStr();
    CHECK(screen->rowTexts[0].text.CStr() && expected == screen->rowTexts[0].text.CStr());
    CHECK((screen->rowPictures[0].rawPixels != nullptr) == (info->thumbnail != nullptr));
  }
  Os::InstallFiles(nullptr);
  return 0;
}
