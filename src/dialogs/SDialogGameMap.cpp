#include "dialogs/SDialogGameMap.h"

void SDialogGameMap::Open() { Show("World map", true); }
