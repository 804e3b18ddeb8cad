// What the people's services share: a person's price factor, prices kept within the purse's cap, the
// short gold amount of the trade screens, and paying and being paid.
#pragma once
#include "foundation/SString.h"
#include "os/Types.h"

class SGameCore;
class SNpc;
class SPlayer;

namespace ServicePrices {

// The value of the script global the person names for it when that global is above 0, else the record's
// own factor; 10 without a person.
i32 PriceFactor(SGameCore* core, const SNpc* person);
// A price figured in 64 bits, kept within 0 .. the money cap: a huge factor never wraps to a small or
// negative price.
u32 Clamp(i64 price);
// The money as it is below 10,000, then in thousands ("K"), millions ("M") and billions ("B").
void FormatGold(u32 money, SString& out);
// The price leaves the purse (never below 0); the purse stays within the cap.
void Pay(SPlayer& player, u32 price);
// The amount joins the purse, which stays within the cap.
void Receive(SPlayer& player, u32 amount);

}  // namespace ServicePrices
