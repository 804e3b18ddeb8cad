#include "dialogs/SDialogMarkRecall.h"

void SDialogMarkRecall::Open(u32 markMode) {
  mode = markMode;
  Show(markMode ? "Mark" : "Recall", false);
}
