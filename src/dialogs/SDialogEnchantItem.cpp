#include "dialogs/SDialogEnchantItem.h"

void SDialogEnchantItem::Open(const SNpc* enchanter, u32 storage, u32 recharge) {
  person = enchanter;
  storageValue = storage;
  rechargeMode = recharge;
  Show(recharge ? "Recharge" : "Enchant", true);
}
