#include "script/SScriptValue.h"

#include "foundation/SStream.h"

namespace {
// Two's-complement wrap-around: the scripts' arithmetic never traps and is never undefined.
i32 Wrap(u32 n) { return i32(n); }
}  // namespace

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

void SScriptValue::Increment() { SetInt(Wrap(u32(integer_) + 1u)); }
void SScriptValue::Decrement() { SetInt(Wrap(u32(integer_) - 1u)); }
void SScriptValue::LogicalNot() { SetInt(integer_ == 0 ? 1 : 0); }

void SScriptValue::AddAssign(const SScriptValue& other) {
  if (type_ == kString) {
    text_.Append(other.Text());
    text_.ReplaceAll("\\g", "\t");
    integer_ = StrToInt(text_.CStr());
    return;
  }
  SetInt(Wrap(u32(integer_) + u32(other.integer_)));
}

void SScriptValue::SubAssign(const SScriptValue& other) { SetInt(Wrap(u32(integer_) - u32(other.integer_))); }
void SScriptValue::MulAssign(const SScriptValue& other) { SetInt(Wrap(u32(integer_) * u32(other.integer_))); }

void SScriptValue::DivAssign(const SScriptValue& other) {
  // Only INT_MIN / -1 leaves the range; it wraps to INT_MIN.
  i64 d = other.integer_;
  SetInt(d == 0 ? 0 : Wrap(u32(i64(integer_) / d)));
}

void SScriptValue::ModAssign(const SScriptValue& other) {
  i64 d = other.integer_;
  SetInt(d == 0 ? 0 : i32(i64(integer_) % d));
}

void SScriptValue::AndAssign(const SScriptValue& other) { SetInt(integer_ & other.integer_); }
void SScriptValue::OrAssign(const SScriptValue& other) { SetInt(integer_ | other.integer_); }

void SScriptValue::AppendText(const char* text) {
  if (type_ == kString) {
    text_.Append(text);
    text_.ReplaceAll("\\g", "\t");
    return;
  }
  integer_ = Wrap(u32(integer_) + u32(i32(StrToShort(text))));
}

int SScriptValue::Compare(const SScriptValue& other) const {
  if (type_ == kString) return StrCompareNoCase(Text(), other.Text());
  return integer_ < other.integer_ ? -1 : integer_ > other.integer_ ? 1 : 0;
}

i32 SScriptValue::LogicalAnd(const SScriptValue& other) const {
  if (type_ == kString) return *Text() && *other.Text() ? 1 : 0;
  return integer_ && other.integer_ ? 1 : 0;
}

i32 SScriptValue::LogicalOr(const SScriptValue& other) const {
  if (type_ == kString) return *Text() || *other.Text() ? 1 : 0;
  return integer_ || other.integer_ ? 1 : 0;
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
