// The register of every image and palette the opened world archives hold. Directories are read while a
// world loads; the data stays in the archive until first use and leaves again on release or when the
// world is unloaded. Entries get slot numbers, and per-slot index tables let the renderer reach an image
// or palette without a name lookup.
#pragma once
#include "foundation/SName.h"
#include "foundation/SPtrArray.h"
#include "foundation/SRecordData.h"
#include "graphics/SImage.h"
#include "os/Types.h"

class SDatabase;
class SStream;
struct SWorldView;

// One image of a directory (or the unregistered world-map picture of a module).
struct SImageEntry {
  SName name;
  SRecordData* record = nullptr;  // the archive record while resident
  SDatabase* database = nullptr;
  const SImage* image = nullptr;  // 4 bytes into the record; non-null means resident
  u32 size = 0;                   // from the directory: the amount counted in the image memory total
  u16 slot = 0;                   // position in the image table once published (0 = none)
  u16 recordId = 0;
  u16 users = 0;      // acquisitions not yet released
  u32 tableNeed = 0;  // colour-table entries the resident image reads (a palette put in its place needs them)

  SImageEntry() = default;
  SImageEntry(const SImageEntry&) = delete;
  SImageEntry& operator=(const SImageEntry&) = delete;
  ~SImageEntry() { Unload(); }

  bool IsResident() const { return image != nullptr; }
  // Reads the record and points the image 4 bytes in, without accounting. False (and not resident)
  // when the record is missing or does not hold a whole image with its colour table.
  bool LoadRaw();
  void Unload();
  // Binds to a record and reads it at once (the world-map picture).
  bool Bind(SDatabase* db, u16 id);
};

struct SPaletteEntry {
  SName name;
  const u16* colours = nullptr;  // 4 bytes into the record; non-null means resident
  const char* secondText = nullptr;
  SRecordData* record = nullptr;
  SDatabase* database = nullptr;
  u16 recordId = 0;
  u16 value = 0;
  u16 slot = 0;
  u16 users = 0;

  SPaletteEntry() = default;
  SPaletteEntry(const SPaletteEntry&) = delete;
  SPaletteEntry& operator=(const SPaletteEntry&) = delete;
  ~SPaletteEntry() { Unload(); }

  bool IsResident() const { return colours != nullptr; }
  u32 ColourCount() const { return record && record->size > 4 ? (record->size - 4) / 2 : 0; }
  bool LoadRaw();
  void Unload();
};

class SImageCache {
 public:
  static constexpr u16 kStartImages = 1500;
  static constexpr u16 kStartPalettes = 1000;

  SImageCache();
  SImageCache(const SImageCache&) = delete;
  SImageCache& operator=(const SImageCache&) = delete;
  ~SImageCache();

  void Init();  // sizes the tables to 1,500 images and 1,000 palettes
  void GrowImageTable(u16 n);
  void GrowPaletteTable(u16 n);
  bool AddImage(SImageEntry* entry);
  bool AddPalette(SPaletteEntry* entry);

  // Reads the image and palette directories from record R on; R advances past both directories and the
  // records they list. False when a directory record is missing or malformed.
  bool ReadDirectory(SDatabase& db, u16& record);
  void PublishIndexTables();
  // Hands the renderer's view the published tables: images, palettes and the sizes it checks them by.
  void PublishTo(SWorldView& view) const;

  SImageEntry* FindImage(const char* name) const;
  SPaletteEntry* FindPalette(const char* name) const;
  u16 FindImageIndex(const char* name) const;
  u16 FindPaletteIndex(const char* name) const;
  SImageEntry* GetImageEntry(u16 slot) const { return images_ && slot < imageCount_ ? images_[slot] : nullptr; }
  SPaletteEntry* GetPaletteEntry(u16 slot) const {
    return palettes_ && slot < paletteCount_ ? palettes_[slot] : nullptr;
  }
  static void GetImageSize(const SImageEntry* entry, i32& width, i32& height);

  // Residency is counted: each load is one acquisition, and the data goes only with the last release.
  // A release without a matching load changes nothing. A record that cannot be read or checked leaves
  // the entry non-resident and LoadImage false.
  bool LoadImage(SImageEntry* entry);
  bool LoadImageByName(const char* name) { return LoadImage(FindImage(name)); }
  void ReleaseImage(SImageEntry* entry);
  void ReleaseImageByName(const char* name) { ReleaseImage(FindImage(name)); }
  bool LoadPalette(SPaletteEntry* entry);
  bool LoadPaletteByName(const char* name) { return LoadPalette(FindPalette(name)); }
  void ReleasePalette(SPaletteEntry* entry);
  void ReleasePaletteByName(const char* name) { ReleasePalette(FindPalette(name)); }
  void RefreshImageSlot(const SImageEntry* entry);
  void RefreshPaletteSlot(const SPaletteEntry* entry);

  void Clear();

  u32 ImageMemory() const { return imageMemory_; }
  u32 PaletteMemory() const { return paletteMemory_; }
  u16 ImageCount() const { return imageCount_; }  // slot 0 is never used: entries are 1..count-1
  u16 PaletteCount() const { return paletteCount_; }
  u16 ImageCapacity() const { return imageCapacity_; }
  u16 PaletteCapacity() const { return paletteCapacity_; }

  // The published per-slot tables the renderer reads (null for a slot without resident data).
  const SImage* const* ImagePointers() const { return imagePointers_; }
  const u16* const* PaletteColours() const { return paletteColours_; }
  u8* ImageFlags() const { return imageFlags_; }
  const u16* ImageWidths() const { return imageWidths_; }
  const u16* ImageHeights() const { return imageHeights_; }
  // Bytes of each resident image from its header to the end of its record (0 for none).
  const u32* ImageBytes() const { return imageBytes_; }
  // Colour-table entries each resident image reads, and colours each resident palette holds (0 for none):
  // a palette drawn in place of an image's own table must hold what the image reads.
  const u32* ImageTableNeeds() const { return imageTableNeeds_; }
  const u32* PaletteSizes() const { return paletteSizes_; }
  static u32 ImageBytesOf(const SImageEntry* entry);
  u16 SlotWidth(u16 slot) const { return slot < imageCapacity_ && imagePointers_[slot] ? imageWidths_[slot] : 0; }
  u16 SlotHeight(u16 slot) const { return slot < imageCapacity_ && imagePointers_[slot] ? imageHeights_[slot] : 0; }

 private:
  void FreeTables();

  u32 imageMemory_ = 0;
  u32 paletteMemory_ = 0;
  SImageEntry** images_ = nullptr;
  const SImage** imagePointers_ = nullptr;
  u16* imageWidths_ = nullptr;
  u16* imageHeights_ = nullptr;
  u8* imageFlags_ = nullptr;
  u32* imageBytes_ = nullptr;
  u32* imageTableNeeds_ = nullptr;
  u16 imageCount_ = 1;
  u16 imageCapacity_ = 0;
  SPaletteEntry** palettes_ = nullptr;
  const u16** paletteColours_ = nullptr;
  u32* paletteSizes_ = nullptr;
  u16 paletteCount_ = 1;
  u16 paletteCapacity_ = 0;
  SPtrArray<SRecordData> rawRecords_;
};
