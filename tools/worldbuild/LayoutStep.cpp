// Writes the screen layout tables of "DuskmireData" (record 3001 for the 240x320, 320x240, 480x640 and
// 640x480 screens, 3003 for the square and wide ones) from every data/sample/layout/*.json, and checks
// them by reading every entry back through the game's own reader. A variant either lists its controls or
// names the mode of a drawn variant of the same screen ("from") and its own size: its controls are the
// drawn ones scaled to that size, each edge rounded to the nearest pixel, less the ids it omits ("omit"), with
// the rectangles it gives in place of scaled ones ("replace": a picture cell keeps the size its mode draws).
// Any variant may give picture buttons the size of their pictures ("fit": [[id, w, h], ...]): each takes that
// size centred on the place drawn or scaled for it, or centred across it at its top or its bottom ([id, w, h,
// "top"], "bottom": a list's arrows at its ends, a picture beside texts that sit at the top of their places). A
// picture button draws its picture from its place's corner at the picture's own size, so a larger place would
// leave the picture off the row of its neighbours. A width of 0 keeps the place's width: a text button takes the
// height of its bar's caps ([id, 0, h]), whose middle would otherwise fill a taller place as a second bar.
// A drawn variant may let controls run past its right and bottom edges ("bleed": [ids]): a filled panel open at
// the screen's edge, whose frame's unseen side lies beyond it so that the fill reaches the edge. Any variant may
// stand in a larger panel ("panel" [width, height]): its controls are centred in it, and one
// that spans the whole variant along a side (its outer frame) spans the panel; so a dialog can cover what
// lies beneath it without its content being stretched. Variants that come out equal share one copy in the
// record.
#include "BuildStep.h"

#include "core/SLayoutTable.h"
#include "foundation/SDatabase.h"
#include "platform/hal/DisplayModes.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace worldbuild {
namespace {

struct Variant {
  i32 mode;
  u16 width, height;
  std::vector<SLayoutItem> controls;
  u16 panelWidth = 0, panelHeight = 0;  // 0: no panel round the variant
};

// The variant centred in its panel, its full-spanning controls spanning the panel.
void PlaceInPanel(Variant& v) {
  if (!v.panelWidth) return;
  const u16 dx = static_cast<u16>((v.panelWidth - v.width) / 2), dy = static_cast<u16>((v.panelHeight - v.height) / 2);
  for (SLayoutItem& c : v.controls) {
    if (c.x == 0 && c.w == v.width) {
      c.w = v.panelWidth;
    } else {
      c.x = static_cast<u16>(c.x + dx);
    }
    if (c.y == 0 && c.h == v.height) {
      c.h = v.panelHeight;
    } else {
      c.y = static_cast<u16>(c.y + dy);
    }
  }
  v.width = v.panelWidth;
  v.height = v.panelHeight;
}
struct Screen {
  u16 id;
  std::vector<Variant> variants;
  std::string where;
};

// A coordinate of a `from`-sized screen on a `to`-sized one, rounded to the nearest pixel.
u16 Scale(int c, int from, int to) { return static_cast<u16>((2 * c * to + from) / (2 * from)); }

SLayoutItem ScaleItem(const SLayoutItem& c, int fromW, int fromH, int toW, int toH) {
  const u16 x = Scale(c.x, fromW, toW), y = Scale(c.y, fromH, toH);
  return {c.id, x, y, static_cast<u16>(Scale(c.x + c.w, fromW, toW) - x),
          static_cast<u16>(Scale(c.y + c.h, fromH, toH) - y)};
}

bool SameVariant(const std::vector<u8>& out, size_t at, const Variant& v) {
  auto word = [&](size_t i) { return static_cast<u16>(out[i] | out[i + 1] << 8); };
  if (at + 6 + 10 * v.controls.size() > out.size() || word(at) != v.width || word(at + 2) != v.height ||
      word(at + 4) != v.controls.size())
    return false;
  return std::memcmp(out.data() + at + 6, v.controls.data(), 10 * v.controls.size()) == 0;
}

void Put(std::vector<u8>& out, size_t at, u16 v) {
  out[at] = static_cast<u8>(v & 255);
  out[at + 1] = static_cast<u8>(v >> 8);
}

std::vector<u8> BuildRecord(const std::vector<Screen>& screens, u32 record) {
  std::vector<const Screen*> used;
  for (const auto& s : screens)
    if (std::any_of(s.variants.begin(), s.variants.end(),
                    [&](const Variant& v) { return SLayoutTable::RecordForMode(v.mode) == record; }))
      used.push_back(&s);
  std::vector<u8> out(2 + 4 * used.size(), 0);
  Put(out, 0, static_cast<u16>(used.size()));
  for (size_t i = 0; i < used.size(); ++i) {
    std::vector<const Variant*> vs;
    for (const auto& v : used[i]->variants)
      if (SLayoutTable::RecordForMode(v.mode) == record) vs.push_back(&v);
    const size_t list = out.size();
    Put(out, 2 + 4 * i, static_cast<u16>(list));
    Put(out, 4 + 4 * i, used[i]->id);
    out.resize(list + 2 + 4 * vs.size(), 0);
    Put(out, list, static_cast<u16>(vs.size()));
    for (size_t j = 0; j < vs.size(); ++j) {
      Put(out, list + 4 + 4 * j, static_cast<u16>(vs[j]->mode));
      // A variant equal to one written before for this screen points at that one.
      bool shared = false;
      for (size_t k = 0; k < j && !shared; ++k) {
        const size_t earlier = static_cast<size_t>(out[list + 2 + 4 * k] | out[list + 3 + 4 * k] << 8);
        if (SameVariant(out, earlier, *vs[j])) {
          Put(out, list + 2 + 4 * j, static_cast<u16>(earlier));
          shared = true;
        }
      }
      if (shared) continue;
      const size_t at = out.size();
      Put(out, list + 2 + 4 * j, static_cast<u16>(at));
      out.resize(at + 6 + 10 * vs[j]->controls.size(), 0);
      Put(out, at, vs[j]->width);
      Put(out, at + 2, vs[j]->height);
      Put(out, at + 4, static_cast<u16>(vs[j]->controls.size()));
      for (size_t k = 0; k < vs[j]->controls.size(); ++k) {
        const SLayoutItem& c = vs[j]->controls[k];
        const size_t e = at + 6 + 10 * k;
        Put(out, e, c.id);
        Put(out, e + 2, c.x);
        Put(out, e + 4, c.y);
        Put(out, e + 6, c.w);
        Put(out, e + 8, c.h);
      }
    }
  }
  return out;
}

// A list of [id, x, y, w, h] rectangles, each inside the variant's size, or, for the ids of `bleed`, starting
// inside it.
bool ReadControls(Context& context, const std::string& where, const nlohmann::json& list, const std::vector<int>& size,
                  std::vector<SLayoutItem>& out, const std::vector<int>& bleed = {}) {
  for (const auto& c : list) {
    std::vector<int> f = c.get<std::vector<int>>();
    if (f.size() != 5 || std::any_of(f.begin(), f.end(), [](int x) { return x < 0 || x > 65535; })) {
      context.fail(where, "a control must be [id, x, y, w, h] of numbers 0 to 65535");
      return false;
    }
    const bool bleeds = std::find(bleed.begin(), bleed.end(), f[0]) != bleed.end();
    if (bleeds ? f[1] >= size[0] || f[2] >= size[1] : f[1] + f[3] > size[0] || f[2] + f[4] > size[1]) {
      context.fail(where, "control " + std::to_string(f[0]) + " lies outside the screen size");
      return false;
    }
    out.push_back({static_cast<u16>(f[0]), static_cast<u16>(f[1]), static_cast<u16>(f[2]), static_cast<u16>(f[3]),
                   static_cast<u16>(f[4])});
  }
  for (int id : bleed)
    if (std::none_of(out.begin(), out.end(), [&](const SLayoutItem& c) { return c.id == id; })) {
      context.fail(where, "\"bleed\" names control " + std::to_string(id) + ", which is not drawn");
      return false;
    }
  return true;
}

// A picture button's size and where it sits in its place.
struct Fit {
  enum Align { kCentre, kTop, kBottom };
  u16 id, w, h;
  Align align;
};

// A list of [id, w, h] picture sizes, each with an optional "top" or "bottom".
bool ReadFits(Context& context, const std::string& where, const nlohmann::json& list, std::vector<Fit>& out) {
  for (const auto& c : list) {
    const bool shaped =
        c.is_array() && (c.size() == 3 || (c.size() == 4 && c[3].is_string())) &&
        std::all_of(c.begin(), c.begin() + 3, [](const nlohmann::json& n) { return n.is_number_integer(); });
    const int id = shaped ? c[0].get<int>() : -1, w = shaped ? c[1].get<int>() : 0, h = shaped ? c[2].get<int>() : 0;
    const std::string align = shaped && c.size() == 4 ? c[3].get<std::string>() : "";
    if (id < 0 || id > 65535 || w < 0 || w > 65535 || h <= 0 || h > 65535 ||
        (!align.empty() && align != "top" && align != "bottom")) {
      context.fail(where,
                   "a \"fit\" entry must be [id, w, h] with an id of 0 to 65535, a width of 0 (the place's) to "
                   "65535 and a height of 1 to 65535, and may add \"top\" or \"bottom\"");
      return false;
    }
    out.push_back({static_cast<u16>(id), static_cast<u16>(w), static_cast<u16>(h),
                   align == "top"      ? Fit::kTop
                   : align == "bottom" ? Fit::kBottom
                                       : Fit::kCentre});
  }
  return true;
}

// Each fitted control takes its size in its place, which must then still lie inside the variant.
bool ApplyFits(Context& context, const std::string& where, const std::vector<Fit>& fits, int width, int height,
               std::vector<SLayoutItem>& controls) {
  for (const Fit& f : fits) {
    const auto at = std::find_if(controls.begin(), controls.end(), [&](const SLayoutItem& c) { return c.id == f.id; });
    if (at == controls.end()) {
      context.fail(where, "\"fit\" names control " + std::to_string(f.id) + ", which is not drawn");
      return false;
    }
    const u16 w = f.w ? f.w : at->w;
    const int x = at->x + (at->w - w) / 2;
    const int y = f.align == Fit::kTop      ? at->y
                  : f.align == Fit::kBottom ? at->y + at->h - f.h
                                            : at->y + (at->h - f.h) / 2;
    if (x < 0 || y < 0 || x + w > width || y + f.h > height) {
      context.fail(where, "\"fit\" puts control " + std::to_string(f.id) + " outside the screen size");
      return false;
    }
    *at = {f.id, static_cast<u16>(x), static_cast<u16>(y), w, f.h};
  }
  return true;
}

bool ReadScreens(Context& context, const std::filesystem::path& file, std::vector<Screen>& screens) {
  const std::string where = file.string();
  std::ifstream in(file);
  nlohmann::json doc = nlohmann::json::parse(in, nullptr, false);
  if (doc.is_discarded() || !doc.contains("screens") || !doc["screens"].is_array()) {
    context.fail(where, "not JSON with a \"screens\" array");
    return false;
  }
  for (const auto& s : doc["screens"]) {
    Screen screen;
    const int id = s.value("id", -1);
    screen.where = where + ": screen " + std::to_string(id);
    if (id < 0 || id > 65535 || !s.contains("variants") || !s["variants"].is_array()) {
      context.fail(screen.where, "needs an \"id\" of 0 to 65535 and a \"variants\" array");
      return false;
    }
    screen.id = static_cast<u16>(id);
    // Drawn variants first, so that the scaled ones can name any of them.
    struct Scaled {
      std::vector<int> modes, size, omit, panel;
      int from;
      std::vector<SLayoutItem> replace;
      std::vector<Fit> fit;
    };
    std::vector<Scaled> scaled;
    for (const auto& v : s["variants"]) {
      const auto modes = v.value("modes", std::vector<int>{});
      const auto size = v.value("size", std::vector<int>{});
      if (modes.empty() || size.size() != 2 || size[0] <= 0 || size[1] <= 0 || size[0] > 65535 || size[1] > 65535) {
        context.fail(screen.where, "each variant needs \"modes\" and a \"size\" [width, height]");
        return false;
      }
      const auto panel = v.value("panel", std::vector<int>{});
      if (v.contains("panel") &&
          (panel.size() != 2 || panel[0] < size[0] || panel[1] < size[1] || panel[0] > 65535 || panel[1] > 65535)) {
        context.fail(screen.where, "a \"panel\" is a [width, height] no smaller than the variant's size");
        return false;
      }
      std::vector<Fit> fit;
      if (!ReadFits(context, screen.where, v.value("fit", nlohmann::json::array()), fit)) return false;
      if (v.contains("from")) {
        if (v.contains("controls") || v.contains("bleed") || !v["from"].is_number_integer()) {
          context.fail(screen.where, "a variant with \"from\" names one drawn mode and lists no controls");
          return false;
        }
        std::vector<SLayoutItem> replace;
        if (!ReadControls(context, screen.where, v.value("replace", nlohmann::json::array()), size, replace))
          return false;
        scaled.push_back({modes, size, v.value("omit", std::vector<int>{}), panel, v["from"].get<int>(),
                          std::move(replace), std::move(fit)});
        continue;
      }
      std::vector<SLayoutItem> controls;
      if (!ReadControls(context, screen.where, v.value("controls", nlohmann::json::array()), size, controls,
                        v.value("bleed", std::vector<int>{})) ||
          !ApplyFits(context, screen.where, fit, size[0], size[1], controls))
        return false;
      for (int m : modes)
        screen.variants.push_back({m, static_cast<u16>(size[0]), static_cast<u16>(size[1]), controls,
                                   static_cast<u16>(panel.empty() ? 0 : panel[0]),
                                   static_cast<u16>(panel.empty() ? 0 : panel[1])});
    }
    for (const Scaled& v : scaled) {
      const auto drawn = std::find_if(screen.variants.begin(), screen.variants.end(),
                                      [&](const Variant& d) { return d.mode == v.from; });
      if (drawn == screen.variants.end()) {
        context.fail(screen.where, "\"from\": " + std::to_string(v.from) + " names no drawn variant");
        return false;
      }
      std::vector<SLayoutItem> controls;
      for (const SLayoutItem& c : drawn->controls)
        if (std::find(v.omit.begin(), v.omit.end(), c.id) == v.omit.end())
          controls.push_back(ScaleItem(c, drawn->width, drawn->height, v.size[0], v.size[1]));
      for (const SLayoutItem& r : v.replace) {
        const auto at =
            std::find_if(controls.begin(), controls.end(), [&](const SLayoutItem& c) { return c.id == r.id; });
        if (at == controls.end()) {
          context.fail(screen.where, "\"replace\" names control " + std::to_string(r.id) + ", which is not drawn");
          return false;
        }
        *at = r;
      }
      if (!ApplyFits(context, screen.where, v.fit, v.size[0], v.size[1], controls)) return false;
      for (int m : v.modes)
        screen.variants.push_back({m, static_cast<u16>(v.size[0]), static_cast<u16>(v.size[1]), controls,
                                   static_cast<u16>(v.panel.empty() ? 0 : v.panel[0]),
                                   static_cast<u16>(v.panel.empty() ? 0 : v.panel[1])});
    }
    // Scaled variants are drawn from the drawings as they are listed; the panels come last.
    for (Variant& v : screen.variants) PlaceInPanel(v);
    screens.push_back(std::move(screen));
  }
  return true;
}

void BuildLayouts(Context& context) {
  const auto folder = context.source() / "layout";
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.path().extension() == ".json") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  if (files.empty()) return context.fail(folder.string(), "no layout files");
  std::vector<Screen> screens;
  for (const auto& f : files)
    if (!ReadScreens(context, f, screens)) return;

  Archive& data = context.archive("DuskmireData");
  if (data.type.empty()) data.type = "Data";
  if (data.creator.empty()) data.creator = kDataCreator;
  for (u32 record : {SLayoutTable::kRecordSmall, SLayoutTable::kRecordWide}) {
    std::vector<u8> bytes = BuildRecord(screens, record);
    // Faults of the record as a whole are reported at the game screen's file (or the folder without one).
    std::string origin = folder.string();
    for (const auto& s : screens)
      if (s.id == SLayoutTable::kGameScreen) {
        origin = s.where;
        break;
      }
    const std::string where = origin + ": layout record " + std::to_string(record);
    if (bytes.size() > 65535) return context.fail(where, "too large for 16-bit offsets");
    // Read everything back through the game's reader: the first entry for a screen, mode and control id
    // must be the one written (a duplicate would be hidden).
    SLayoutTable table;
    table.Load(bytes.data(), static_cast<u32>(bytes.size()));
    for (const auto& s : screens) {
      for (const auto& v : s.variants) {
        if (SLayoutTable::RecordForMode(v.mode) != record) continue;
        u32 w = 0, h = 0;
        if (!table.GetSize(s.id, v.mode, w, h) || w != v.width || h != v.height)
          return context.fail(s.where, "mode " + std::to_string(v.mode) + " is listed twice");
        for (const auto& c : v.controls) {
          const SLayoutItem* item = table.GetItem(s.id, v.mode, c.id);
          if (!item || std::memcmp(item, &c, sizeof c) != 0)
            return context.fail(s.where, "control " + std::to_string(c.id) + " is listed twice");
        }
      }
    }
    // The game screen's 3D view must exist, no wider than 800, for every mode of the record that a screen runs.
    for (const Hal::DisplayModeRow& row : Hal::DisplayModeRows()) {
      const i32 mode = row.mode;
      if (!row.screenWidth || SLayoutTable::RecordForMode(mode) != record) continue;
      const SLayoutItem* view = table.GetItem(SLayoutTable::kGameScreen, mode, SLayoutTable::kViewControl);
      if (!view)
        return context.fail(where, "screen 43 has no control 550 (the 3D view) for mode " + std::to_string(mode));
      if (view->w > 800 || view->w == 0 || view->h == 0)
        return context.fail(where, "the 3D view of mode " + std::to_string(mode) + " must be 1 to 800 pixels wide");
    }
    if (!context.put(data, static_cast<u16>(record), std::move(bytes), where)) return;
  }
}

}  // namespace

WORLDBUILD_STEP(11, "screen layouts", BuildLayouts);

}  // namespace worldbuild
