// Stores a picture as a record of an archive, encoded in the given format and checked as the game checks
// pictures: the one way every builder step writes its interface pictures.
#pragma once
#include "BuildStep.h"
#include "ImageEncode.h"

#include <string>

namespace worldbuild {

// False (with the fault reported at `where`) when the encoded picture fails the game's check or the
// record was written before.
bool PutPicture(Context& context, Archive& data, u16 id, const imageenc::Picture& picture, int format,
                const std::string& where);

}  // namespace worldbuild
