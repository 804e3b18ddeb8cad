#include "core/ui/SPlaceControls.h"

#include "core/SGameCore.h"
#include "core/SRolePictures.h"
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "foundation/SDatabase.h"
#include "graphics/SImage.h"
#include "world/SImageCache.h"

#include <memory>

bool PlaceButton(SDialog& dialog, SButtonCtrl& button, u16 id, u32 slot, u32 key) {
  if (!dialog.AddLayoutControl(&button, id)) return false;
  const u16 x = button.left, y = button.top, w = button.width, h = button.height;
  SImageEntry* const* set = dialog.core ? dialog.core->PictureSet(slot) : nullptr;
  button.SetPicture(set, id, key);
  button.hasDisabledPicture = set && slot >= RolePicture::kFirstRoleSlot;
  // A button without its picture keeps its whole place: it paints nothing there, but a tap still presses it.
  if (!button.width || !button.height) button.SetRect(x, y, w, h);
  return true;
}

bool LoadDataPicture(SDatabase* data, u16 id, SImageEntry& holder) {
  holder.Unload();
  holder.database = data;
  holder.recordId = id;
  std::unique_ptr<SRecordData> record = data && id ? data->ReadRecord(id) : nullptr;
  const SImage* image = record ? SImage::FromRecordWithOwnTable(record->data, record->size) : nullptr;
  if (!image) return false;
  holder.size = record->size;
  holder.image = image;
  holder.record = record.release();
  return true;
}
