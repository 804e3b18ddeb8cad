#include "world/SImageCache.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "graphics/renderer/SWorldView.h"

#include <cstring>
#include <new>

namespace {
// Bytes before the image or the colours in a world image or palette record.
constexpr u32 kRecordHeader = 4;

template <class T>
T* NewCleared(u32 n) {
  T* p = new (std::nothrow) T[n ? n : 1];
  if (p) std::memset(static_cast<void*>(p), 0, sizeof(T) * (n ? n : 1));
  return p;
}

// The image a record holds 4 bytes in, when the record holds the whole image and a colour table that
// covers every index its pixels use; else null.
const SImage* CheckImageRecord(const SRecordData* record) {
  if (!record || !record->data || record->size < kRecordHeader) return nullptr;
  u32 size = record->size - kRecordHeader;
  const SImage* image = SImage::FromRecord(record->data + kRecordHeader, size);
  if (!image || !image->TableCovers(image->OwnTableEntries(size))) return nullptr;
  return image;
}
}  // namespace

bool SImageEntry::LoadRaw() {
  if (image) return true;
  if (!database) return false;
  SRecordData* r = database->ReadRecord(recordId).release();
  const SImage* checked = CheckImageRecord(r);
  if (!checked) {
    delete r;
    return false;
  }
  record = r;
  image = checked;
  tableNeed = checked->TableNeed();
  return true;
}

void SImageEntry::Unload() {
  delete record;
  record = nullptr;
  image = nullptr;
  tableNeed = 0;
}

bool SImageEntry::Bind(SDatabase* db, u16 id) {
  Unload();
  database = db;
  recordId = id;
  return LoadRaw();
}

bool SPaletteEntry::LoadRaw() {
  if (colours) return true;
  if (!database) return false;
  SRecordData* r = database->ReadRecord(recordId).release();
  // Any whole number of colours from one on (the record's size says how many; an odd last byte is no
  // colour). Whoever draws with the palette checks the indices it reads against that count.
  if (!r || !r->data || r->size < kRecordHeader + 2) {
    delete r;
    return false;
  }
  record = r;
  colours = reinterpret_cast<const u16*>(r->data + kRecordHeader);
  return true;
}

void SPaletteEntry::Unload() {
  delete record;
  record = nullptr;
  colours = nullptr;
}

SImageCache::SImageCache() : rawRecords_(true, 4) {}

SImageCache::~SImageCache() { Clear(); }

void SImageCache::Init() {
  if (imageCapacity_ < kStartImages) GrowImageTable(u16(kStartImages - imageCapacity_));
  if (paletteCapacity_ < kStartPalettes) GrowPaletteTable(u16(kStartPalettes - paletteCapacity_));
}

void SImageCache::GrowImageTable(u16 n) {
  u32 capacity = u32(imageCapacity_) + n;
  if (capacity > 0xFFFF) capacity = 0xFFFF;
  if (capacity <= imageCapacity_) return;
  SImageEntry** table = NewCleared<SImageEntry*>(capacity);
  const SImage** pointers = NewCleared<const SImage*>(capacity);
  u16* widths = NewCleared<u16>(capacity);
  u16* heights = NewCleared<u16>(capacity);
  u8* flags = NewCleared<u8>(capacity);
  u32* bytes = NewCleared<u32>(capacity);
  u32* needs = NewCleared<u32>(capacity);
  if (!table || !pointers || !widths || !heights || !flags || !bytes || !needs) {
    delete[] table;
    delete[] pointers;
    delete[] widths;
    delete[] heights;
    delete[] flags;
    delete[] bytes;
    delete[] needs;
    return;
  }
  if (images_) std::memcpy(static_cast<void*>(table), images_, sizeof(SImageEntry*) * imageCapacity_);
  delete[] images_;
  delete[] imagePointers_;
  delete[] imageWidths_;
  delete[] imageHeights_;
  delete[] imageFlags_;
  delete[] imageBytes_;
  delete[] imageTableNeeds_;
  images_ = table;
  imagePointers_ = pointers;
  imageWidths_ = widths;
  imageHeights_ = heights;
  imageFlags_ = flags;
  imageBytes_ = bytes;
  imageTableNeeds_ = needs;
  imageCapacity_ = u16(capacity);
}

void SImageCache::GrowPaletteTable(u16 n) {
  u32 capacity = u32(paletteCapacity_) + n;
  if (capacity > 0xFFFF) capacity = 0xFFFF;
  if (capacity <= paletteCapacity_) return;
  SPaletteEntry** table = NewCleared<SPaletteEntry*>(capacity);
  const u16** colours = NewCleared<const u16*>(capacity);
  u32* sizes = NewCleared<u32>(capacity);
  if (!table || !colours || !sizes) {
    delete[] table;
    delete[] colours;
    delete[] sizes;
    return;
  }
  if (palettes_) std::memcpy(static_cast<void*>(table), palettes_, sizeof(SPaletteEntry*) * paletteCapacity_);
  delete[] palettes_;
  delete[] paletteColours_;
  delete[] paletteSizes_;
  palettes_ = table;
  paletteColours_ = colours;
  paletteSizes_ = sizes;
  paletteCapacity_ = u16(capacity);
}

bool SImageCache::AddImage(SImageEntry* entry) {
  if (imageCount_ + 1 >= imageCapacity_) GrowImageTable(100);
  if (imageCount_ >= imageCapacity_) return false;
  images_[imageCount_++] = entry;
  return true;
}

bool SImageCache::AddPalette(SPaletteEntry* entry) {
  if (paletteCount_ + 1 >= paletteCapacity_) GrowPaletteTable(100);
  if (paletteCount_ >= paletteCapacity_) return false;
  palettes_[paletteCount_++] = entry;
  return true;
}

bool SImageCache::ReadDirectory(SDatabase& db, u16& record) {
  // Image directory.
  SRecordData* dir = db.ReadRecord(record).release();
  if (!dir) return false;
  SStream s;
  s.OpenForRead(*dir);
  s.SerializeMarker('<');
  u16 n = 0;
  s.Align(2);
  s.SerializeU16(n);
  u32 added = 0;
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    const char* name = nullptr;
    u32 size = 0;
    u16 id = 0;
    s.SerializeString(name);
    s.SerializeU32(size);
    s.SerializeU16(id);
    if (s.Failed()) break;
    SImageEntry* e = new (std::nothrow) SImageEntry;
    if (!e) {
      s.SetFailed();
      break;
    }
    e->name.Set(name);
    e->size = size;
    e->recordId = id;
    e->database = &db;
    if (!AddImage(e)) {
      delete e;
      s.SetFailed();
    } else {
      ++added;
    }
  }
  s.Close();
  const bool imagesOk = s.Ok() && u32(record) + n + 1 <= 0xFFFF;
  // Entries already added point their names into the directory: it stays with them even after a fault.
  if (added > 0)
    rawRecords_.Add(dir);
  else
    delete dir;
  if (!imagesOk) return false;
  record = u16(record + n + 1);

  // Palette directory.
  dir = db.ReadRecord(record).release();
  if (!dir) return false;
  s.OpenForRead(*dir);
  s.SerializeMarker('=');
  u16 p = 0;
  s.Align(2);
  s.SerializeU16(p);
  added = 0;
  for (u32 i = 0; i < p && s.Ok(); ++i) {
    const char* name = nullptr;
    const char* second = nullptr;
    u16 value = 0, id = 0;
    s.SerializeString(name);
    s.SerializeString(second);
    s.SerializeU16(value);
    s.SerializeU16(id);
    if (s.Failed()) break;
    SPaletteEntry* e = new (std::nothrow) SPaletteEntry;
    if (!e) {
      s.SetFailed();
      break;
    }
    e->name.Set(name);
    e->secondText = second;
    e->value = value;
    e->recordId = id;
    e->database = &db;
    if (!AddPalette(e)) {
      delete e;
      s.SetFailed();
    } else {
      ++added;
    }
  }
  s.Close();
  const bool palettesOk = s.Ok() && u32(record) + p + 1 <= 0xFFFF;
  if (added > 0)
    rawRecords_.Add(dir);
  else
    delete dir;
  if (!palettesOk) return false;
  record = u16(record + p + 1);
  return true;
}

void SImageCache::PublishIndexTables() {
  for (u32 i = 0; i < imageCapacity_; ++i) {
    SImageEntry* e = i < imageCount_ ? images_[i] : nullptr;
    if (e) {
      e->slot = u16(i);
      imagePointers_[i] = e->image;
      imageWidths_[i] = e->image ? u16(e->image->width) : 0;
      imageHeights_[i] = e->image ? u16(e->image->height) : 0;
      imageBytes_[i] = ImageBytesOf(e);
      imageTableNeeds_[i] = e->image ? e->tableNeed : 0;
    } else {
      imagePointers_[i] = nullptr;
      imageWidths_[i] = imageHeights_[i] = 0;
      imageBytes_[i] = 0;
      imageTableNeeds_[i] = 0;
    }
    imageFlags_[i] = 0;
  }
  for (u32 i = 0; i < paletteCapacity_; ++i) {
    SPaletteEntry* e = i < paletteCount_ ? palettes_[i] : nullptr;
    if (e) e->slot = u16(i);
    paletteColours_[i] = e ? e->colours : nullptr;
    paletteSizes_[i] = e && e->colours ? e->ColourCount() : 0;
  }
}

SImageEntry* SImageCache::FindImage(const char* name) const {
  if (!name || !images_) return nullptr;
  u16 h = HashResourceName(name);
  for (u32 i = 1; i < imageCount_; ++i)
    if (images_[i] && images_[i]->name.Equals(name, h)) return images_[i];
  return nullptr;
}

u16 SImageCache::FindImageIndex(const char* name) const {
  if (!name || !images_) return 0;
  u16 h = HashResourceName(name);
  for (u32 i = 1; i < imageCount_; ++i)
    if (images_[i] && images_[i]->name.Equals(name, h)) return u16(i);
  return 0;
}

SPaletteEntry* SImageCache::FindPalette(const char* name) const {
  u16 i = FindPaletteIndex(name);
  return i ? palettes_[i] : nullptr;
}

u16 SImageCache::FindPaletteIndex(const char* name) const {
  if (!name || !palettes_) return 0;
  u16 h = HashResourceName(name);
  for (u32 i = 0; i < paletteCount_; ++i)
    if (palettes_[i] && palettes_[i]->name.Equals(name, h)) return u16(i);
  return 0;
}

void SImageCache::GetImageSize(const SImageEntry* entry, i32& width, i32& height) {
  width = height = 0;
  if (entry && entry->image) {
    width = entry->image->width;
    height = entry->image->height;
  }
}

bool SImageCache::LoadImage(SImageEntry* entry) {
  if (!entry) return false;
  if (!entry->IsResident()) {
    if (!entry->LoadRaw()) return false;
    imageMemory_ += entry->size;
    RefreshImageSlot(entry);
  }
  if (entry->users < 0xFFFF) ++entry->users;
  return true;
}

void SImageCache::ReleaseImage(SImageEntry* entry) {
  if (!entry || !entry->IsResident()) return;
  if (entry->users > 1) {
    --entry->users;
    return;
  }
  entry->users = 0;
  imageMemory_ -= entry->size <= imageMemory_ ? entry->size : imageMemory_;
  entry->Unload();
  RefreshImageSlot(entry);
}

bool SImageCache::LoadPalette(SPaletteEntry* entry) {
  if (!entry) return false;
  if (!entry->IsResident()) {
    if (!entry->LoadRaw()) return false;
    paletteMemory_ += entry->record->size;
    RefreshPaletteSlot(entry);
  }
  if (entry->users < 0xFFFF) ++entry->users;
  return true;
}

void SImageCache::ReleasePalette(SPaletteEntry* entry) {
  if (!entry || !entry->IsResident()) return;
  if (entry->users > 1) {
    --entry->users;
    return;
  }
  entry->users = 0;
  u32 size = entry->record->size;
  paletteMemory_ -= size <= paletteMemory_ ? size : paletteMemory_;
  entry->Unload();
  RefreshPaletteSlot(entry);
}

void SImageCache::PublishTo(SWorldView& view) const {
  view.images = imagePointers_;
  view.imageCount = imageCapacity_;
  view.imageSizes = imageBytes_;
  view.palettes = paletteColours_;
  view.paletteCount = paletteCapacity_;
  view.imageTableNeeds = imageTableNeeds_;
  view.paletteSizes = paletteSizes_;
}

void SImageCache::RefreshImageSlot(const SImageEntry* entry) {
  if (!entry || !entry->slot || entry->slot >= imageCapacity_) return;
  u16 s = entry->slot;
  imagePointers_[s] = entry->image;
  imageWidths_[s] = entry->image ? u16(entry->image->width) : 0;
  imageHeights_[s] = entry->image ? u16(entry->image->height) : 0;
  imageBytes_[s] = ImageBytesOf(entry);
  imageTableNeeds_[s] = entry->image ? entry->tableNeed : 0;
}

u32 SImageCache::ImageBytesOf(const SImageEntry* entry) {
  if (!entry || !entry->image || !entry->record || !entry->record->data) return 0;
  const u8* start = reinterpret_cast<const u8*>(entry->image);
  const u8* data = entry->record->data;
  if (start < data || start >= data + entry->record->size) return 0;
  return entry->record->size - u32(start - data);
}

void SImageCache::RefreshPaletteSlot(const SPaletteEntry* entry) {
  if (!entry || !entry->slot || entry->slot >= paletteCapacity_) return;
  paletteColours_[entry->slot] = entry->colours;
  paletteSizes_[entry->slot] = entry->colours ? entry->ColourCount() : 0;
}

void SImageCache::FreeTables() {
  delete[] images_;
  delete[] imagePointers_;
  delete[] imageWidths_;
  delete[] imageHeights_;
  delete[] imageFlags_;
  delete[] imageBytes_;
  delete[] imageTableNeeds_;
  delete[] palettes_;
  delete[] paletteColours_;
  delete[] paletteSizes_;
  images_ = nullptr;
  imagePointers_ = nullptr;
  imageWidths_ = imageHeights_ = nullptr;
  imageFlags_ = nullptr;
  imageBytes_ = nullptr;
  imageTableNeeds_ = nullptr;
  palettes_ = nullptr;
  paletteColours_ = nullptr;
  paletteSizes_ = nullptr;
}

void SImageCache::Clear() {
  for (u32 i = 0; i < imageCount_ && images_; ++i) delete images_[i];
  for (u32 i = 0; i < paletteCount_ && palettes_; ++i) delete palettes_[i];
  FreeTables();
  imageCount_ = paletteCount_ = 1;
  imageCapacity_ = paletteCapacity_ = 0;
  imageMemory_ = paletteMemory_ = 0;
  rawRecords_.DeleteAll();
}
