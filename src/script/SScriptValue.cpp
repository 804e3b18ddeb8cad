#include "script/SScriptValue.h"

#include "foundation/SStream.h"

SScriptValue::SScriptValue() : text_("0") {}

SScriptValue* SScriptValue::MakeInt(i32 n) {
  SScriptValue* v = new SScriptValue();
  v->SetInt(n);
  return v;
}

SScriptValue* SScriptValue::MakeString(const char* text) {
  SScriptValue* v = new SScriptValue();
  v->SetText(text);
  return v;
}

void SScriptValue::SetInt(i32 n) {
  type_ = kInteger;
  integer_ = n;
  text_.Format("%ld", n);
}

void SScriptValue::SetText(const char* text) {
  type_ = kString;
  if (!text) {
    text_.Assign("");
    integer_ = 0;
    return;
  }
  text_.Assign(text);
  text_.ReplaceAll("\\g", "\t");
  integer_ = StrToInt(text_.CStr());
}

void SScriptValue::Serialize(SStream& stream) {
  stream.SerializeByte(type_);
  if (type_ == kString) {
    stream.SerializeSString(text_);
    if (stream.IsReading()) integer_ = StrToInt(text_.CStr());
  } else if (type_ == kInteger) {
    stream.Align(4);
    stream.SerializeI32(integer_);
    if (stream.IsReading()) text_.Format("%ld", integer_);
  } else {
    stream.SetFailed();
    type_ = kInteger;
    integer_ = 0;
    text_.Assign("0");
  }
}
