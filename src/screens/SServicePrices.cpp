#include "screens/SServicePrices.h"

#include "core/SGameCore.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SPeopleTables.h"

namespace ServicePrices {

i32 PriceFactor(SGameCore* core, const SNpc* person) {
  if (!person) return 10;
  if (core && core->scriptContext && person->texts[5] && *person->texts[5]) {
    const i32 global = core->scriptContext->GetGlobalValue(person->texts[5]);
    if (global > 0) return global;
  }
  return person->value;
}

u32 Clamp(i64 price) { return price < 0 ? 0 : price > i64(kMoneyCap) ? kMoneyCap : u32(price); }

void FormatGold(u32 money, SString& out) {
  if (money >= kMoneyCap)
    out.Format("%luB", static_cast<unsigned long>(money / kMoneyCap));
  else
    FormatCompactNumber(money, out);
}

void Pay(SPlayer& player, u32 price) {
  player.money = player.money > price ? player.money - price : 0;
  if (player.money > kMoneyCap) player.money = kMoneyCap;
}

void Receive(SPlayer& player, u32 amount) {
  const u64 sum = u64(player.money) + amount;
  player.money = sum > kMoneyCap ? kMoneyCap : u32(sum);
}

}  // namespace ServicePrices
