// The editor of one enchantment entry on equipment (item kinds 2, 3, 4, 14, 15 and 16): constant or on a
// strike (weapons and staves choose), the effect kind among those the item kind allows, the datum the
// kind needs (a skill, an attribute, a disease, a monster type or a kind of creature) and its value, beside
// the storage the entry needs and the storage still available. The enchanting dialog holds one and opens
// it as its modal child; keep (25) and discard (26) go to the owner, which reads the edited copy.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialog.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/STextCtrl.h"

class SNpc;
struct SEffect;

class SDialogEnchantEntryOther : public SDialog {
 public:
  static constexpr u32 kLayout = 24;
  // Layout ids, which are also the command codes.
  static constexpr u16 kFrameId = 19, kTitleId = 16, kTypeLabel = 266, kConstant = 267, kStrike = 268,
                       kKindsLabel = 255, kKinds = 257, kKindsUp = 259, kKindsDown = 260, kDataLabel = 269, kData = 270,
                       kDataUp = 271, kDataDown = 272, kValueLabel = 256, kValueFrame = 263, kValueText = 258,
                       kValueUp = 261, kValueDown = 262, kValueUp10 = 264, kValueDown10 = 265, kNeededLabel = 247,
                       kNeededText = 248, kAvailableLabel = 249, kAvailableText = 250, kKeep = 25, kDiscard = 26;
  // Trigger types.
  static constexpr u8 kModeStrike = 1, kModeConstant = 3;
  // What an effect kind needs of the editor.
  enum DataList { kNoData = 0, kSkills, kAttributes, kDiseases, kMonsterTypes, kCreatureKinds };
  struct KindRule {
    DataList data = kNoData;
    bool hasValue = false;
    bool offset = false;  // the value is stored as 100 + the shown value
    i32 least = 1, most = 100;
  };
  static KindRule RuleFor(u32 kind);

  SDialogEnchantEntryOther();
  ~SDialogEnchantEntryOther() override;
  void Attach(SGameCore* gameCore) override;
  void Open(const SEffect* entry, i32 availableStorage, const SNpc* enchanter, u32 kindOfItem);
  u32 OnCommand(u16 code) override;

  // The shown value of the edited copy's magnitude.
  i32 ShownValue() const;

  SEffect* edited = nullptr;  // the copy being edited; the owner reads it on 25
  u32 itemKind = 0;
  i32 available = 0;
  const SNpc* person = nullptr;
  KindRule rule;

  SBorderCtrl frame, valueFrame;
  STextCtrl title, typeLabel, kindsLabel, dataLabel, valueLabel, valueText, neededLabel, neededText, availableLabel,
      availableText;
  STopicButtonCtrl constant, strike;
  SDialogListCtrl kinds, data;
  SButtonCtrl kindsUp, kindsDown, dataUp, dataDown, valueUp, valueDown, valueUp10, valueDown10, keep, discard;

 private:
  // The kind list for the trigger type; the entry takes the row of its kind or the first.
  void FillKinds();
  // The data list, value range and controls of the entry's kind; the magnitude carried over.
  void ApplyKind();
  void FillData();
  // The selected data row's code and key become the entry's.
  void TakeDataRow(bool fromList);
  void SetShownValue(i32 shown);
  void ShowValue();
  void ShowNeededStorage();
  void ShowTypeToggles();
  void UpdatePaging();
};
