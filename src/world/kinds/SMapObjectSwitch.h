// Switches, traps, webs and passages: levers, secret and floor switches, traps, webs, holes,
// teleports, stairs and walls of force.
// Each kind is a map-object type with its own reactions; the kinds add no fields.
#pragma once
#include "world/SMapObjectType.h"

class SMapObjectLever : public SMapObjectType {};
class SMapObjectSecretSwitch : public SMapObjectType {};
class SMapObjectFloorSwitch : public SMapObjectType {};
class SMapObjectTrap : public SMapObjectType {};
class SMapObjectWeb : public SMapObjectType {};
class SMapObjectHole : public SMapObjectType {};
class SMapObjectTeleport : public SMapObjectType {};
class SMapObjectStair : public SMapObjectType {};
class SMapObjectWallOfForce : public SMapObjectType {};
