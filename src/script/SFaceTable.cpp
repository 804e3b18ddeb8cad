#include "script/SFaceTable.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"

void SFace::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('&');
  if (s.IsWriting()) {
    const char* n = name.Text();
    s.SerializeString(n);
  } else {
    const char* n = nullptr;
    s.SerializeString(n);
    name.Set(n);
  }
  if (version > 10) s.SerializeByte(selectable);
}

