#include "dialogs/SDialogSpellbook.h"

void SDialogSpellbook::Open() { Show("Spell book", false); }
