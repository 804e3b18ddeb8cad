#include "script/SFaceTable.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"

void SFace::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('&');
  s.SerializeName(name);
  if (version > 10) s.SerializeByte(selectable);
}
