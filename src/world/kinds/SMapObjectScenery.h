// Standing scenery, groups and markers.
// Each kind is a map-object type with its own reactions; the kinds add no fields.
#pragma once
#include "world/SMapObjectType.h"

class SMapObjectTable : public SMapObjectType {};
class SMapObjectFootbridge : public SMapObjectType {};
class SMapObjectTree : public SMapObjectType {};
class SMapObjectBush : public SMapObjectType {};
class SMapObjectPillar : public SMapObjectType {};
class SMapObjectFlower : public SMapObjectType {};
class SMapObjectStand : public SMapObjectType {};
class SMapObjectGroup : public SMapObjectType {};
class SMapObjectPosition : public SMapObjectType {};
class SMapObjectAmbientSound : public SMapObjectType {};
