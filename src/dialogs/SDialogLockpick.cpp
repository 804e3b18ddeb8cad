#include "dialogs/SDialogLockpick.h"

void SDialogLockpick::Open() {
  FillPickList();
  UpdateConditionText();
  UpdateChanceText();
  Show("Pick the lock", false);
}
