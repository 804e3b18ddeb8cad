// Writes the fixed interface pictures of "DuskmireData" that start-up reads into the picture slots: every
// record id of data/sample/pictures/slots.json gets <id>.png of that folder when there is one, else a
// placeholder tile. Each record is checked as the game checks images from files.
#include "BuildStep.h"
#include "ImageEncode.h"

#include "foundation/SDatabase.h"
#include "graphics/SImage.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <fstream>

namespace worldbuild {
namespace {

// A framed tile whose colour follows from the record id, so that neighbouring pictures differ.
imageenc::Picture Placeholder(u32 id, int width, int height) {
  const u32 h = id * 2654435761u;
  const int r = 64 + static_cast<int>((h >> 8) & 127), g = 64 + static_cast<int>((h >> 16) & 127),
            b = 64 + static_cast<int>((h >> 24) & 127);
  imageenc::Picture p = imageenc::MakeGradient(width, height, imageenc::Rgb565(r + 40, g + 40, b + 40),
                                               imageenc::Rgb565(r - 40, g - 40, b - 40));
  const u16 edge = imageenc::Rgb565(r / 3, g / 3, b / 3);
  for (int x = 0; x < width; ++x) p.at(x, 0) = p.at(x, height - 1) = edge;
  for (int y = 0; y < height; ++y) p.at(0, y) = p.at(width - 1, y) = edge;
  return p;
}

struct Shape {
  int width, height, format;
};

bool ReadShape(const nlohmann::json& j, Shape& s) {
  const auto size = j.value("size", std::vector<int>{s.width, s.height});
  if (size.size() != 2) return false;
  s.width = size[0];
  s.height = size[1];
  s.format = j.value("format", s.format);
  if (s.width <= 0 || s.height <= 0 || s.width > 1024 || s.height > 1024 || s.format < 0 || s.format > 2) return false;
  return s.format == 0 || (s.width % 2 == 0 && s.height % 2 == 0);
}

void BuildPictures(Context& context) {
  const auto folder = context.source() / "pictures";
  const std::string where = (folder / "slots.json").string();
  std::ifstream in(folder / "slots.json");
  if (!in) return context.fail(where, "cannot be read");
  nlohmann::json doc = nlohmann::json::parse(in, nullptr, false);
  if (doc.is_discarded() || !doc.contains("records") || !doc["records"].is_array())
    return context.fail(where, "not JSON with a \"records\" array of [first, last] runs");
  Shape defaults{16, 16, 0};
  if (doc.contains("defaults") && !ReadShape(doc["defaults"], defaults))
    return context.fail(where, "\"defaults\" needs a size of 1 to 1024 and a format 0 to 2 (even sizes for 1 and 2)");
  struct Override {
    u32 first, last;
    Shape shape;
  };
  std::vector<Override> overrides;
  for (const auto& o : doc.value("overrides", nlohmann::json::array())) {
    const auto run = o.value("records", std::vector<u32>{});
    Override ov{0, 0, defaults};
    if (run.size() != 2 || run[0] > run[1] || !ReadShape(o, ov.shape))
      return context.fail(where, "an override needs \"records\" [first, last] and a valid size and format");
    ov.first = run[0];
    ov.last = run[1];
    overrides.push_back(ov);
  }

  Archive& data = context.archive("DuskmireData");
  if (data.type.empty()) data.type = "Data";
  if (data.creator.empty()) data.creator = kDataCreator;
  for (const auto& run : doc["records"]) {
    const auto r = run.get<std::vector<u32>>();
    if (r.size() != 2 || r[0] > r[1] || r[1] > 65535) return context.fail(where, "a run must be [first, last] ids");
    for (u32 id = r[0]; id <= r[1]; ++id) {
      const std::string at = where + ": record " + std::to_string(id);
      if (data.records.count(static_cast<u16>(id))) return context.fail(at, "is already used by another record");
      Shape shape = defaults;
      for (const auto& o : overrides)
        if (id >= o.first && id <= o.last) shape = o.shape;
      imageenc::Picture picture;
      const auto png = folder / (std::to_string(id) + ".png");
      if (std::filesystem::exists(png)) {
        std::string error;
        if (!imageenc::ReadPng(png.string(), picture, error)) return context.fail(png.string(), error);
        if (shape.format != 0 && (picture.width % 2 || picture.height % 2))
          return context.fail(png.string(), "block formats need even sizes");
      } else {
        picture = Placeholder(id, shape.width, shape.height);
      }
      std::vector<u8> bytes = imageenc::Encode(picture, shape.format);
      std::vector<u16> aligned((bytes.size() + 1) / 2);
      std::memcpy(aligned.data(), bytes.data(), bytes.size());
      if (!SImage::FromRecordWithOwnTable(aligned.data(), static_cast<u32>(bytes.size())))
        return context.fail(at, "the encoded picture does not pass the game's image check");
      data.records[static_cast<u16>(id)] = std::move(bytes);
    }
  }
}

}  // namespace

WORLDBUILD_STEP(12, "interface pictures", BuildPictures);

}  // namespace worldbuild
