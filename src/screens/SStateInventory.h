// Game state 4: the inventory and character sheet. One state with four pages chosen by tabs: the items
// page (the pack or an open bag or chest, the equipment and the item actions), the character sheet with
// its sub-pages, the quests and the spells. Children opened from a page (reading, alchemy, repair, the
// face choice, the name editor, the hand question) take over the page word until they close. The state
// with the sheet's header (SStateInventory.cpp), the items page with its actions
// (inventory/SStateInventoryItems.cpp), the other pages' building and routing
// (inventory/SStateInventoryPages.cpp), the sheet's Main and Skills sub-pages
// (inventory/SStateInventorySheet.cpp) and the list pages (inventory/SStateInventoryLists.cpp) are one
// class over five files.
#pragma once
#include "core/ui/SButtonCtrl.h"
#include "core/ui/SDialogListCtrl.h"
#include "core/ui/SDialogMessage.h"
#include "core/ui/SDialogTextCtrl.h"
#include "core/ui/SDialogTextEdit.h"
#include "core/ui/SFaceCtrl.h"
#include "core/ui/SGameCtrls.h"
#include "core/ui/SItemsCtrl.h"
#include "core/ui/SPicCtrl.h"
#include "core/ui/SPlayerEquipCtrl.h"
#include "core/ui/SState.h"
#include "core/ui/STextCtrl.h"
#include "dialogs/SDialogAlchemy.h"
#include "dialogs/SDialogFaceSelect.h"
#include "dialogs/SDialogItemRead.h"
#include "dialogs/SDialogRepair.h"
#include "player/SPlayer.h"

class SItem;
class SItemContainer;
class SMapArea;
class SStream;
struct SMapObjectInst;

class SStateInventory : public SState {
 public:
  static constexpr u32 kViewFields = 8;

  // Page words: the four pages, then the children that hold the page word while they are open.
  static constexpr u32 kItemsPage = 0, kSheetPage = 1, kQuestsPage = 2, kSpellsPage = 3, kFacePage = 4, kNamePage = 5,
                       kReadingPage = 6, kAlchemyPage = 7, kRepairPage = 8, kHandPage = 9;
  // Screen layouts: the items, quests and spells pages, and the sheet's by sub-page (Main, Skills,
  // Abilities, Diseases, Active effects).
  static constexpr u32 kItemsLayout = 33, kQuestsLayout = 34, kSpellsLayout = 35;
  static constexpr u32 kSheetLayouts[5] = {36, 37, 41, 40, 39};
  static constexpr u32 kSubPages = 5;

  // Common controls, whose ids are also their command codes.
  static constexpr u16 kPageFrameId = 19, kGoldFrameId = 294, kTabFrameId = 324, kGoldTextId = 22, kItemsTab = 325,
                       kSheetTab = 326, kQuestsTab = 327, kSpellsTab = 328, kMainMenuId = 329, kCloseId = 330,
                       kContentFrameId = 293;
  static constexpr u32 kCloseAction = 3007;
  // The sheet header.
  static constexpr u16 kHeaderFrameId = 357, kPortraitId = 36, kNameId = 358, kRenameId = 355, kFaceId = 356,
                       kSheetStripFrameId = 359, kSubPageFrameId = 557;
  static constexpr u16 kSubPageIds[kSubPages] = {360, 361, 363, 364, 362};
  // The items page.
  static constexpr u16 kGridId = 274, kEquipId = 308, kDescriptionId = 322, kShowDescriptionId = 323,
                       kHideDescriptionId = 321, kDescriptionPrevId = 331, kDescriptionNextId = 332, kGridPrevId = 320,
                       kGridNextId = 319, kTakeId = 306, kDropId = 307, kUseId = 309, kFirstCategoryId = 310,
                       kItemsFrameIds[3] = {557, 305, 562};
  static constexpr u32 kCategories = 9;
  // The hand question's answers.
  static constexpr u16 kLeftHand = SDialogMessage::kLeft, kRightHand = SDialogMessage::kRight;
  static constexpr u32 kTimedMessageMs = 3000;
  static constexpr u32 kDoubleTapMs = 400;
  static constexpr u32 kMoneyCap = 1000000000;

  SStateInventory();

  // ---- the state (SStateInventory.cpp)
  // What the opener hands over beside the words of Enter, which cannot carry places: the container to
  // show (null: none), the map object it belongs to (null: a bag) and its map area. Taken by the next
  // Enter, which forgets it afterwards.
  void PrepareEntry(SItemContainer* container, SMapObjectInst* object, SMapArea* area);

  void Attach(SGameCore* gameCore) override;
  // (opened by the bag button: 1, and three words not read; the places come from PrepareEntry)
  void Enter(u32 w0, u32 w1, u32 w2, u32 w3) override;
  void Leave(u32 next) override;
  void Resume() override;
  u32 OnCommand(u16 code) override;
  u32 OnTick(u32 frameCounter, SDisplay* screen) override;

  // Builds the current page afresh: the common controls, the page's own, the gold and pack text, the
  // page's lists, the marked tab.
  void Rebuild();
  void SetGoldPackText();
  // Closing (code 330, action 3007): the container's use action, the load warning; always 99.
  u32 Close();

  // The view's part of a saved game: marker 'X', then the eight fields. Load is false when the record
  // ends early; values that no view can show are brought into range.
  void SerializeViewOnSave(SStream& s, u32 version);
  bool SerializeViewOnLoad(SStream& s, u32 version);

  // ---- the items page (inventory/SStateInventoryItems.cpp)
  void BuildItemsPage(u32 frameStyle);
  u32 OnItemsCommand(u16 code);
  void RebuildItemGrid(bool keepPlace);
  void RefreshDescription();
  void SelectCategory(u16 code);
  void OnGridTap();
  void ToggleEquip();
  u32 OnHandChosen(u16 code);
  void UseSelected();
  void DropSelected();
  void TakeSelected();
  void ShowEquippedItem();
  void ApplyDescriptionView();
  void ShowTimedMessage(const char* text);
  void UpdatePageButtons();
  void UpdateCategoryButtons();
  void UpdateUseButton();
  void UpdateDescriptionScroll();
  // The list the grid shows: the container in container view, else the pack; null when there is none.
  SItemContainer* ShownList() const;
  // The category that enables the button of an item class and subtype (0 for none).
  static u32 CategoryOfClass(u32 itemClass);
  // Closing a reading, alchemy or repair child.
  u32 OnChildClosed();

  // ---- the character sheet's Main and Skills sub-pages (inventory/SStateInventorySheet.cpp)
  static constexpr u16 kAttributeRaiseIds[5] = {373, 374, 377, 385, 388};
  static constexpr u16 kAttributeUndoId = 411, kFameGaugeId = 379, kAttributesFrameId = 400;
  static constexpr u16 kFirstPrimaryRaiseId = 454, kFirstOtherRaiseId = 460, kSkillUndoId = 474;
  static constexpr u32 kPrimarySkills = 6, kOtherSkills = 14, kSheetTexts = 24;
  void BuildCharacterPage();
  void RefreshCharacterValues();
  void RaiseAttribute(u16 code);
  void UndoAttributes();
  void BuildSkillsPage();
  void RefreshSkillValues();
  void RaisePrimarySkill(u16 code);
  void RaiseOtherSkill(u16 code);
  // The skill of a row of the page (primary skills first): raised, or the refusal shown.
  void RaiseSkillRow(u32 row);
  void UndoSkills();
  void ClearAttributeUndo();
  void ClearSkillUndo();
  // The raise refused by the skill's limit: the message box over the page.
  void RefuseSkillRaise(u32 skill);

  // Raises not yet made permanent: per attribute and per skill, what to give back.
  u32 attributeUndoCount = 0;
  u32 attributeUndo[6] = {};
  u32 skillUndoCount = 0;  // points spent
  u32 skillUndoPoints[kPlayerSkills + 1] = {};
  u32 skillUndoRaises[kPlayerSkills + 1] = {};
  // The Main and Skills sub-pages' labels and values, by the order of their pages' tables.
  STextCtrl sheetLabels[kSheetTexts], sheetValues[kSheetTexts];
  SButtonCtrl raiseButtons[kPrimarySkills + kOtherSkills];  // the attributes' are the first five
  STopicButtonCtrl undoButton;
  SGradientCtrl fameGauge;
  SBorderCtrl attributesFrame;
  SDialogMessage raiseBox;
  SDialogTextCtrl raiseText;

  // ---- the list pages: abilities, diseases, active effects, quests, spells (inventory/SStateInventoryLists.cpp)
  enum ListPage : u32 { kNoList, kAbilitiesList, kDiseasesList, kEffectsList, kQuestsList, kSpellsList };
  static constexpr u16 kEffectsFilterIds[3] = {508, 507, 509};
  static constexpr u16 kQuestsFilterIds[4] = {344, 345, 346, 347};
  static constexpr u16 kFirstSchoolId = 208, kSchoolNameId = 353;
  static constexpr u32 kSchools = 7;
  // The list page the current page and sub-page show (kNoList for the others).
  u32 CurrentListPage() const;
  void BuildListPage(u32 which);
  void FillList();
  void ShowSelectedRow();
  void UpdateListButtons();
  void UpdateDescriptionButtons();
  u32 OnListCommand(u16 code);
  // One effect's line of the Active effects page, without its line end.
  static void DescribePlayerEffect(SWorldRules& rules, const SPlayerEffect& effect, u32 category, SString& out);

  STextCtrl listHeading, descriptionHeading, showLabel, schoolName;
  SBorderCtrl listFrame, descriptionFrame;
  SDialogListCtrl pageList;
  SButtonCtrl listUp, listDown, descriptionUp, descriptionDown;
  STitleTextCtrl pageDescription;
  STopicButtonCtrl filterButtons[4];
  SButtonCtrl schoolButtons[kSchools];
  SFillBmpCtrl pageFill;
  const SImage* questIcons[3] = {};

  // ---- the view (record 3005) and the entry record
  u32 page = kItemsPage;
  u32 previousPage = kItemsPage;
  u32 sheetSubPage = 0;
  u32 descriptionView = 1;  // the items page's option word
  u32 category = 0;         // the items page's list position
  u32 effectsFilter = 0;    // 0 dynamic, 1 constant, 2 all
  u32 questsFilter = 0;     // 0 all, 1 active, 2 solved, 3 failed
  u32 spellsSchool = 1;     // 1..7
  u32 openedByBagButton = 0;
  SItemContainer* container = nullptr;
  SMapObjectInst* mapObject = nullptr;
  SMapArea* mapArea = nullptr;
  u32 statusTimer = 0;  // the timed message shows until statusDeadline
  u32 statusDeadline = 0;
  u32 containerView = 0;
  i32 lastTapped = -1;
  u32 lastTapTick = 0;

  // ---- children
  SDialogItemRead reading;
  SDialogAlchemy alchemy;
  SDialogRepair repair;
  SDialogFaceSelect faceSelect;
  SDialogTextEdit nameEdit;
  SDialogMessage handBox;
  SDialogTextCtrl handText;

  // ---- controls of every page
  SBorderCtrl pageFrame, goldFrame, tabFrame, contentFrame;
  STextCtrl goldText;
  SButtonCtrl tabs[4];
  SButtonCtrl mainMenu, closeButton;
  // The sheet header.
  SBorderCtrl headerFrame, sheetStripFrame, subPageFrame;
  SFaceCtrl portrait;
  STextCtrl nameText;
  SButtonCtrl renameButton, faceButton;
  STopicButtonCtrl subPageButtons[kSubPages];
  // The items page.
  SBorderCtrl itemsFrames[3];
  SItemsCtrl grid;
  SPlayerEquipCtrl equipment;
  STitleTextCtrl description;
  SButtonCtrl showDescription, hideDescription, descriptionPrev, descriptionNext, gridPrev, gridNext;
  SButtonCtrl takeButton, dropButton, useButton;
  SButtonCtrl categoryButtons[kCategories];

 private:
  // The pages' own parts; the sheet sub-pages, quests and spells are built by their own pages.
  void BuildPage();
  void BuildCommonControls();
  void BuildSheetHeader();
  u32 OnSheetCommand(u16 code);
  // ---- the sheet's sub-pages, the quests and spells pages (inventory/SStateInventoryPages.cpp): built
  // after the common controls (and the sheet's header), their lists refilled by Rebuild, their commands
  // (the sheet's beyond the header's), and the sheet's undo records emptied on every rebuild and on
  // leaving, which makes the raises made so far permanent.
  void BuildSheetSubPage();
  void BuildQuestsPage();
  void BuildSpellsPage();
  void RefillPageLists();
  u32 OnSheetPageCommand(u16 code);
  u32 OnQuestsCommand(u16 code);
  u32 OnSpellsCommand(u16 code);
  void DiscardSheetPoints();
  void AttachPageControls();
  u32 OnNameEditClosed(u16 code);
  u32 OnFaceSelectClosed(u16 code);
  void MarkPageTab();
  // Sets the child's page word and opens it.
  void OpenPageChild(u32 childPage, SDialog* dialog);
  void ClosePageChild(u32 nextPage);
  // The reading, alchemy and repair children.
  void OpenReading(const SItemType& type);
  void ReadBook(SItem& item);
  void ReadSpellbook(SItem& item);
  void WieldInHand(u32 secondHand);
  // After a drop or take: the grid from its list, the message, the texts and buttons.
  void AfterTransfer(const char* message, const char* sound);
  void Click(u32 which);
  void PlaySound(const char* name);
  void ItemName(const SItem& item, SString& out) const;
  bool Threatened() const;
  void RefusalMessage(const char* text, bool rebuild);

  SItemContainer* pendingContainer_ = nullptr;
  SMapObjectInst* pendingObject_ = nullptr;
  SMapArea* pendingArea_ = nullptr;
  u32 pendingSet_ = 0;
};
