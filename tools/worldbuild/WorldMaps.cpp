#include "WorldMaps.h"

#include "WorldScripts.h"
#include "WorldSources.h"
#include "world/SImageCache.h"
#include "world/SItem.h"
#include "world/SMapObjectType.h"
#include "world/kinds/SMapObjectDoor.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>

namespace worldbuild {

// --- the sample world -------------------------------------------------------------------------------

namespace {

using json = nlohmann::json;

// A kept text, or null for an empty one.
const char* TextOrNull(const std::string& text) { return text.empty() ? nullptr : KeepText(text); }

}  // namespace

bool BuildMapBlocks(Context& ctx, WorldArchiveSpec& spec) {
  constexpr u32 v = kSampleVersion;
  json types, maps;
  if (!ReadSourceJson(ctx, "maps/types.json", types) || !ReadSourceJson(ctx, "maps/maps.json", maps)) return false;
  const std::string where = "maps/types.json";
  bool ok = true;

  // The type block: the named types, then one plain sample of every class none of them has.
  SMapObjectTypeTable table;
  bool hasClass[44] = {};
  auto addType = [&](const json& t) {
    const std::string name = t.value("name", "");
    const int c = t.value("class", 0);
    SMapObjectType* type = SMapObjectType::Create(&table, u32(c));
    if (!type) {
      ctx.fail(where, name + ": class must be 1..43");
      ok = false;
      return;
    }
    type->name.Set(TextOrNull(name));
    type->typeFlags = u16(t.value("flags", int(type->typeFlags)));
    type->defaultState = u8(t.value("state", 0));
    type->linkedTypeName = TextOrNull(t.value("linked", ""));
    std::vector<int> placement = t.value("placement", std::vector<int>{});
    for (size_t i = 0; i < placement.size() && i < 4; ++i) type->placement[i] = i16(placement[i]);
    // Where a wall-mounted picture stands on its wall, in 32nds of the free room (16 = centred).
    std::vector<int> decal = t.value("decal", std::vector<int>{});
    if (decal.size() > 0) type->decalX = i16(decal[0]);
    if (decal.size() > 1) type->decalY = i16(decal[1]);
    std::vector<std::string> texts = t.value("texts", std::vector<std::string>{});
    for (size_t i = 0; i < texts.size() && i < 4; ++i) type->texts[i] = TextOrNull(texts[i]);
    for (const std::string& image : t.value("images", std::vector<std::string>{}))
      type->imageNames.Add(const_cast<char*>(TextOrNull(image)));
    for (const std::string& palette : t.value("palettes", std::vector<std::string>{}))
      type->palettes.AddText(palette.c_str());
    if (name.rfind("base_", 0) != 0 || table.FindType(name.c_str())) {
      ctx.fail(where, name + ": type names are unique and begin with \"base_\"");
      ok = false;
      delete type;
      return;
    }
    hasClass[c] = true;
    table.AddType(type);
  };
  for (const json& t : types["types"]) addType(t);
  for (int c = SMapObjectType::kFirstClass; c <= SMapObjectType::kLastClass; ++c)
    if (!hasClass[c]) {
      char name[32];
      std::snprintf(name, sizeof name, "base_class%02d", c);
      addType(json{{"name", name}, {"class", c}});
    }
  if (!ok) return false;
  spec.blocks[kBlockMapObjectTypes] = {TypeBlockRecord(table, v)};

  auto position = [](const std::vector<std::string>& list, const std::string& name) -> u16 {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i] == name) return u16(i + 1);
    return 0;
  };

  // Every map's content, by the map's name. Scripts find map objects by name in any map of the world, so
  // a name stands for one object.
  const std::string mapsWhere = "maps/maps.json";
  std::map<std::string, std::string> objectMaps;
  for (MapDef& d : spec.maps) {
    if (!maps.contains(d.name)) continue;
    const json& m = maps[d.name];
    auto typeAt = [&](const json& e, const char* key) -> u16 {
      if (!e.contains(key)) return 0;
      std::string n = e[key].get<std::string>();
      u16 p = position(spec.typeList, n);
      if (!p) {
        ctx.fail(mapsWhere, d.name + ": type " + n + " is not in the type list");
        ok = false;
      }
      return p;
    };
    auto paletteAt = [&](const json& e, const char* key) -> u16 {
      if (!e.contains(key)) return 0;
      std::string n = e[key].get<std::string>();
      u16 p = position(spec.paletteList, n);
      if (!p) {
        ctx.fail(mapsWhere, d.name + ": palette " + n + " is not in the palette list");
        ok = false;
      }
      return p;
    };
    std::map<char, CellDef> legend;
    for (auto it = m["legend"].begin(); it != m["legend"].end(); ++it) {
      const json& e = it.value();
      CellDef c;
      c.base1 = typeAt(e, "base");
      c.base1Palette = paletteAt(e, "basePalette");
      c.base1Second = typeAt(e, "baseSecond");
      c.base2 = typeAt(e, "base2");
      c.base2Palette = paletteAt(e, "base2Palette");
      c.base2Second = typeAt(e, "base2Second");
      c.centre = typeAt(e, "centre");
      c.centrePalette = paletteAt(e, "centrePalette");
      c.centreId = u8(e.value("id", 0));
      c.cellFlags = u8(e.value("cellFlags", 0));
      c.style = typeAt(e, "style");
      c.stylePalette = paletteAt(e, "stylePalette");
      c.faceCentre = typeAt(e, "faceCentre");
      c.faceCentreId = u8(e.value("faceId", 0));
      // One side object ("side") or several ("sides"), each at a side 0 north .. 3 west of the cell; the
      // second layer's side types ("side2", "sides2") are drawn beside them and carry no object, so nothing
      // of them reacts.
      for (const bool second : {false, true}) {
        const char* one = second ? "side2" : "side";
        const char* many = second ? "sides2" : "sides";
        json sides = e.contains(many) ? e[many] : json::array();
        if (e.contains(one)) sides.push_back(e[one]);
        for (const json& sj : sides) {
          const int side = sj.value("at", 0) & 3;
          (second ? c.side2 : c.side)[side] = typeAt(sj, "type");
          (second ? c.side2Palette : c.sidePalette)[side] = paletteAt(sj, "palette");
          if (!second) c.sideId[side] = u8(sj.value("id", 0));
        }
      }
      legend[it.key().empty() ? ' ' : it.key()[0]] = c;
    }
    std::vector<std::string> rows = m.value("rows", std::vector<std::string>{});
    std::vector<CellDef> cells;
    if (rows.size() != d.storedHeight) {
      ctx.fail(mapsWhere, d.name + ": one row per stored row");
      ok = false;
    }
    for (const std::string& row : rows) {
      if (row.size() != d.storedWidth) {
        ctx.fail(mapsWhere, d.name + ": every row is as wide as the stored rectangle");
        ok = false;
      }
      for (char ch : row) {
        auto it = legend.find(ch);
        if (it == legend.end() && ch != ' ') {
          ctx.fail(mapsWhere, d.name + std::string(": no legend for '") + ch + "'");
          ok = false;
        }
        cells.push_back(it == legend.end() ? CellDef{} : it->second);
      }
    }
    std::vector<u16> offsets;
    d.content[0] = CellRecord(cells, v, &offsets);
    if (d.flags & SMapArea::kOutdoor) d.content[1] = OffsetRecord(offsets);
    std::vector<MonsterDef> monsters;
    u8 highest = 0;
    for (const json& mj : m.value("monsters", json::array())) {
      MonsterDef md;
      md.templatePosition = position(spec.monsterList, mj.value("template", ""));
      md.id = u8(mj.value("id", 0));
      md.x = u8(mj.value("x", 0));
      md.y = u8(mj.value("y", 0));
      md.flags = u8(mj.value("flags", 2));
      // The way a person stands facing: a quarter (north, west, south, east) in bits 3 and 4 of the flags.
      if (mj.contains("facing")) {
        static const char* const kFacings[4] = {"north", "west", "south", "east"};
        const std::string facing = mj["facing"].is_string() ? mj["facing"].get<std::string>() : "";
        const auto at = std::find(std::begin(kFacings), std::end(kFacings), facing);
        if (at == std::end(kFacings)) {
          ctx.fail(mapsWhere, d.name + ": monster " + std::to_string(md.id) + " faces \"" + facing +
                                  "\", not north, west, south or east");
          ok = false;
        } else {
          md.flags = u8((md.flags & ~0x18) | ((at - std::begin(kFacings)) << 3));
        }
      }
      md.objectId = u8(mj.value("object", 0));
      md.containerId = u8(mj.value("container", 0));
      monsters.push_back(md);
      if (md.id > highest) highest = md.id;
    }
    d.content[2] = MonsterRecord(monsters, u8(highest + 1), v);
    // The type an object is placed with in its cell, if any.
    auto placedType = [&](const SMapObjectInst& o) -> const SMapObjectType* {
      const i32 x = i32(o.cellX) - d.storedX, y = i32(o.cellY) - d.storedY;
      if (x < 0 || y < 0 || x >= d.storedWidth || y >= d.storedHeight) return nullptr;
      const CellDef& c = cells[size_t(y * d.storedWidth + x)];
      u16 placed = 0;
      if (c.centreId == o.id) placed = c.centre;
      if (c.faceCentreId == o.id && c.faceCentre) placed = c.faceCentre;
      for (u32 k = 0; k < 4; ++k)
        if (c.sideId[k] == o.id && c.side[k]) placed = c.side[k];
      return placed ? table.FindType(spec.typeList[placed - 1].c_str()) : nullptr;
    };
    // An object's script must exist, and runs only when the class of the type the object is placed
    // with reacts to some event.
    auto scriptedObjects = [&](const SMapObjectInst& o) {
      const std::string place =
          SourcePlace(ctx, mapsWhere, std::string(R"("script"\s*:\s*)") + JsonPattern(o.scriptName));
      Scripts().NameScript(o.scriptName, place);
      // On the object a monster is bound to, the script answers for the monster.
      for (const MonsterDef& md : monsters)
        if (md.objectId && md.objectId == o.id) Scripts().NameMonsterScript(o.scriptName, place, o.name.Text());
      const SMapObjectType* type = placedType(o);
      if (type && table.ClassRow(type->classNumber).eventMask == 0)
        ctx.warn(place, std::string(o.name.Text()) + ": its type " + type->name.Text() + " (class " +
                            std::to_string(type->classNumber) + ") reacts to no event, so the script never runs");
    };
    std::vector<SMapObjectInst*> objects;
    for (const json& oj : m.value("objects", json::array())) {
      auto* o = new SMapObjectInst;
      o->name.SetOwns();
      o->name.Set(oj.value("name", "").c_str());
      o->targetText = TextOrNull(oj.value("target", ""));
      o->scriptName = TextOrNull(oj.value("script", ""));
      o->packed = i16(oj.value("packed", 0));
      o->id = u8(oj.value("id", 0));
      o->containerId = u8(oj.value("container", 0));
      o->cellX = u8(oj.value("x", 255));
      o->cellY = u8(oj.value("y", 255));
      o->state = u8(oj.value("state", 1));
      const std::string objectName = oj.value("name", "");
      if (!objectName.empty() && !objectMaps.emplace(objectName, d.name).second) {
        ctx.fail(SourcePlace(ctx, mapsWhere, R"("name"\s*:\s*)" + JsonPattern(objectName)),
                 d.name + ": a second map object named " + objectName + " (the first is in " + objectMaps[objectName] +
                     "); scripts find objects by name, so names are unique in the world");
        ok = false;
      }
      if (o->scriptName) scriptedObjects(*o);
      // A city door leads in to the person its target names, who must answer.
      if (dynamic_cast<const SMapObjectCityDoor*>(placedType(*o)))
        Scripts().NameSpeaker(o->targetText ? o->targetText : "",
                              SourcePlace(ctx, mapsWhere, R"("name"\s*:\s*)" + JsonPattern(objectName)));
      objects.push_back(o);
    }
    d.content[3] = ObjectRecord(objects, v);
    for (SMapObjectInst* o : objects) delete o;
    std::vector<SItemContainer*> bags;
    u8 highestBag = 0;
    for (const json& cj : m.value("containers", json::array())) {
      auto* c = new SItemContainer;
      c->id = u8(cj.value("id", 0));
      c->flags = cj.value("persistent", false) ? SItemContainer::kPersistent : 0;
      c->cellX = u8(cj.value("x", 255));
      c->cellY = u8(cj.value("y", 255));
      for (const json& ej : cj.value("items", json::array())) {
        auto* e = new SItemSpawn;
        const std::string item = ej.value("item", "");
        e->index = item.empty() ? 0 : position(spec.itemList, item);
        if (!item.empty() && !e->index) {
          ctx.fail(mapsWhere, d.name + ": item " + item + " is not in the item list");
          ok = false;
        }
        e->count = u8(ej.value("count", 1));
        e->level = u8(ej.value("level", 1));
        e->chance = u8(ej.value("chance", 100));
        c->entries.Add(e);
      }
      if (c->id > highestBag) highestBag = c->id;
      bags.push_back(c);
    }
    d.content[4] = ContainerRecord(bags, u8(highestBag + 1), v);
    for (SItemContainer* c : bags) delete c;
  }
  return ok;
}

bool CheckMapTypes(Context& ctx, SMapObjectTypeTable& types, SImageCache& images) {
  bool ok = true;
  types.ResolveNames(images, images.ImageFlags());
  for (SMapObjectType* t : types.types)
    for (u32 i = 0; i < t->ImageCount(); ++i)
      if (t->ImageName(i) && *t->ImageName(i) && !t->ImageAt(i)) {
        ctx.fail("maps/types.json",
                 std::string(t->name.Text()) + ": image " + t->ImageName(i) + " is not in an archive");
        ok = false;
      }
  return ok;
}

}  // namespace worldbuild
