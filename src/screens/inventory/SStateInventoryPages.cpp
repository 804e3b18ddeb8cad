// The inventory's character sheet sub-pages, quests page and spells page. Until they are built each page
// shows the common controls (and the sheet its header and tabs) and takes no commands of its own.
#include "screens/SStateInventory.h"

void SStateInventory::BuildSheetSubPage() {}
void SStateInventory::BuildQuestsPage() {}
void SStateInventory::BuildSpellsPage() {}
void SStateInventory::RefillPageLists() {}
u32 SStateInventory::OnSheetPageCommand(u16) { return 0; }
u32 SStateInventory::OnQuestsCommand(u16) { return 0; }
u32 SStateInventory::OnSpellsCommand(u16) { return 0; }
void SStateInventory::DiscardSheetPoints() {}
