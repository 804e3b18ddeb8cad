// The enchanting of one chosen item: the effect entries the user adds, edits and removes, bounded by the
// item's enchant storage, priced when an enchanter does the work, and stored on the item at the end. The
// item picker holds one and opens it as its modal child; it receives 25 when the dialog ends, with or
// without an enchantment stored, and 26 on cancel. The two entry editors and the message box are this
// dialog's own modal children.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"
#include "dialogs/enchant/SDialogEnchantEntryOther.h"
#include "dialogs/enchant/SDialogEnchantEntryWandScroll.h"

class SEffectList;
class SItem;
class SNpc;
struct SEffect;

class SDialogEnchant : public SDialog {
 public:
  static constexpr u32 kLayout = 26;
  // Layout ids, which are also the command codes.
  static constexpr u16 kFrameId = 19, kFrame2Id = 567, kFrame3Id = 568, kTitleId = 16, kItemLabel = 280,
                       kItemName = 277, kStorageLabel = 249, kStorageText = 250, kPriceLabel = 284, kPriceText = 285,
                       kGoldLabel = 286, kGoldText = 22, kEntriesLabel = 255, kEntries = 257, kAdd = 281, kModify = 282,
                       kRemove = 283, kOk = 25, kCancel = 26;
  enum SubMode : u32 { kMain = 0, kEditing = 1, kRefusal = 2, kDone = 3 };

  SDialogEnchant() = default;
  ~SDialogEnchant() override;
  void Attach(SGameCore* gameCore) override;
  // The enchanter (null: the player alone, for nothing), the item, and the picker's storage limit.
  void Open(const SNpc* enchanter, SItem* target, i32 storageLimit);
  u32 OnCommand(u16 code) override;

  const SNpc* person = nullptr;
  SItem* item = nullptr;
  u32 itemKind = 0;
  SEffectList* entries = nullptr;  // owned until stored on the item
  i32 capacity = 0;
  i32 available = 0;
  i32 storageNeed = 0;
  u32 price = 0;
  u32 subMode = kMain;
  SEffect* edited = nullptr;  // out of the list while an editor has it
  i32 editedIndex = 0;
  bool editedIsNew = false;

  SBorderCtrl frame, frame2, frame3;
  STextCtrl title, itemLabel, itemName, storageLabel, storageText, priceLabel, priceText, goldLabel, goldText,
      entriesLabel;
  SDialogListCtrl list;
  SButtonCtrl add, modify, remove, ok, cancel;
  SDialogEnchantEntryWandScroll wandEditor;
  SDialogEnchantEntryOther otherEditor;
  SDialogMessage box;
  SDialogTextCtrl boxText;

 private:
  void UpdatePrice();
  void RebuildEntryList();
  void AddEntry();
  void ModifyEntry();
  // The editor of the item kind on the edited entry.
  void OpenEditor();
  void RemoveEntry();
  // Puts the edited entry back (kept: with the editor's fields) or lets a new one go.
  void CloseEditor(bool kept);
  u32 Commit();
  u32 Refuse(const char* text);
  // Forgets the entry list and any entry out for editing.
  void DropEntries();
  u32 HandOn(u16 code) { return parent ? parent->OnCommand(code) : code; }
};
