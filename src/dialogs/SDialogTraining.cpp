#include "dialogs/SDialogTraining.h"

void SDialogTraining::Open(const SNpc* trainer) {
  person = trainer;
  Show("Training", true);
}
