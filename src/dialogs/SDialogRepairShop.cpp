#include "dialogs/SDialogRepairShop.h"

void SDialogRepairShop::Open(i32 factor) {
  priceFactor = factor;
  Show("Repair", true);
}
