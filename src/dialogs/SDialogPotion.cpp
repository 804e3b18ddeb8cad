#include "dialogs/SDialogPotion.h"

void SDialogPotion::Open() {
  potionCount = 0;
  Show("Select a potion:", false);
}

SItem* SDialogPotion::GetSelectedItem() { return nullptr; }
