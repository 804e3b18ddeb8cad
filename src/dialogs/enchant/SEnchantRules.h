// What the enchanting dialogs share: the enchanter's prices, the wand's spell entry, the money texts, the
// click sounds and the look of their controls.
#pragma once
#include "foundation/SString.h"
#include "os/Types.h"

class SBorderCtrl;
class SButtonCtrl;
class SDialog;
class SDialogListCtrl;
class SGameCore;
class STextCtrl;
class SItem;
class SItemType;
class SNpc;
struct SEffect;

namespace Enchanting {

inline constexpr u32 kMaxPrice = 1000000000;
inline constexpr char kCoin = 9;

// The enchanter's price factor in tenths: its global when that exists and is above 0, else its own byte.
i32 PriceFactor(SGameCore* core, const SNpc* enchanter);
// A base amount scaled by a factor in tenths, the quotient truncated toward zero, kept within
// 0..1,000,000,000 whatever the factor: a huge factor never turns a price negative.
u32 ScalePrice(i64 amount, i64 factor);
// Class 9, subtype 4 or 5.
bool IsWand(const SItemType* type);
// The first entry of the item's own enchantment, or of its type's when the item has none with entries;
// null when neither list has one.
const SEffect* FirstEntry(const SItem& item);
// "%lu" below 10,000, then thousands "K", millions "M" and billions "B".
void FormatMoney(u32 amount, SString& out);
// The game's first (0) or second (1) click at volume 10.
void Click(SGameCore* core, u32 which);
// Takes the amount from the player's gold (never below 0, never above the cap).
void Pay(SGameCore* core, u32 amount);

// The dialogs' controls, each placed at its layout entry (absent: left out, hidden and inert). True when
// placed. Labels are body text, titles white and centred, values the value colour.
bool PlaceLabel(SDialog* dialog, STextCtrl& text, u16 id, const char* value);
bool PlaceTitle(SDialog* dialog, STextCtrl& text, u16 id, const char* value);
bool PlaceValue(SDialog* dialog, STextCtrl& text, u16 id);
bool PlaceFrame(SDialog* dialog, SBorderCtrl& frame, u16 id, bool outer);
bool PlaceList(SDialog* dialog, SDialogListCtrl& list, u16 id);
// A captioned panel button.
bool PlaceTextButton(SDialog* dialog, SButtonCtrl& button, u16 id, const char* caption);
// The entry editors' storage lines (247 and 248 needed, 249 and 250 available) and keep (25) and discard
// (26).
void PlaceEditorFooter(SDialog* dialog, STextCtrl& neededLabel, STextCtrl& neededText, STextCtrl& availableLabel,
                       STextCtrl& availableText, SButtonCtrl& keep, SButtonCtrl& discard);
// Lays a dialog out on its screen, centred, over the game's background tile.
void LayOut(SDialog* dialog, u32 layout);

}  // namespace Enchanting
