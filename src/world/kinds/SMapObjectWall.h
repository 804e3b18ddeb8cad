// Walls, blocks, surfaces and wall-mounted objects.
// Each kind is a map-object type with its own reactions; the kinds add no fields.
#pragma once
#include "world/SMapObjectType.h"

class SMapObjectTexture : public SMapObjectType {};
class SMapObjectTextureDecor : public SMapObjectType {};
class SMapObjectWall : public SMapObjectType {};
class SMapObjectWallLine : public SMapObjectType {};
class SMapObjectBlock : public SMapObjectType {};
class SMapObjectBlockAnim : public SMapObjectType {};
class SMapObjectWallDecor : public SMapObjectType {};
class SMapObjectWallFloorDecor : public SMapObjectType {};
class SMapObjectCityWindow : public SMapObjectType {};
class SMapObjectNpc : public SMapObjectType {};
class SMapObjectContainer : public SMapObjectType {};
class SMapObjectShelf : public SMapObjectType {};
class SMapObjectSign : public SMapObjectType {};
