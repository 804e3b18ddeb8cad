#include "PictureRecord.h"

#include "graphics/SImage.h"

#include <cstring>
#include <vector>

namespace worldbuild {

bool PutPicture(Context& context, Archive& data, u16 id, const imageenc::Picture& picture, int format,
                const std::string& where) {
  std::vector<u8> bytes = imageenc::Encode(picture, format);
  std::vector<u16> aligned((bytes.size() + 1) / 2);
  std::memcpy(aligned.data(), bytes.data(), bytes.size());
  if (!SImage::FromRecordWithOwnTable(aligned.data(), static_cast<u32>(bytes.size()))) {
    context.fail(where, "the encoded picture does not pass the game's image check");
    return false;
  }
  return context.put(data, id, std::move(bytes), where);
}

}  // namespace worldbuild
