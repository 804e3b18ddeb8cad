// Doors and city doors: the door kinds (classes 20 and 22) and the city door (11).
// Each kind is a map-object type with its own reactions; the kinds add no fields.
#pragma once
#include "world/SMapObjectType.h"

class SMapObjectDoor : public SMapObjectType {};
class SMapObjectCityDoor : public SMapObjectType {};
