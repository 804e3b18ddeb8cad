#include "dialogs/SDialogShipTravel.h"

void SDialogShipTravel::Open(const char* text, const char* destinationName) {
  voyage.Assign(text ? text : "");
  if (destinationName) destination.Assign(destinationName);
  Show(voyage.CStr(), true);
}
