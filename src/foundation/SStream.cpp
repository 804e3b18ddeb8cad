#include "foundation/SStream.h"

#include <cstring>
#include <new>

void SStream::OpenForRead(const void* data, u32 size) {
  Close();
  start_ = static_cast<u8*>(const_cast<void*>(data));
  size_ = data ? size : 0;
  mode_ = 0;
  borrowed_ = 1;
  cursor_ = 0;
  failed_ = false;
}

void SStream::OpenForWrite(void* buffer, u32 size) {
  Close();
  start_ = static_cast<u8*>(buffer);
  size_ = buffer ? size : 0;
  mode_ = 1;
  borrowed_ = 1;
  cursor_ = 0;
  failed_ = false;
}

bool SStream::OpenForWriteOwned(u32 size) {
  u8* buffer = new (std::nothrow) u8[size ? size : 1];
  OpenForWrite(buffer, buffer ? size : 0);
  borrowed_ = 0;
  if (!buffer) failed_ = true;
  return buffer != nullptr;
}

void SStream::Close() {
  if (!borrowed_) delete[] start_;
  start_ = nullptr;
  cursor_ = 0;
  size_ = 0;
  borrowed_ = 1;
}

bool SStream::Take(u32 n) {
  if (!failed_ && n <= size_ - cursor_) return true;
  failed_ = true;
  return false;
}

void SStream::Seek(u32 offset) {
  if (offset > size_) {
    failed_ = true;
    offset = size_;
  }
  cursor_ = offset;
}

void SStream::Skip(u32 n) {
  if (Take(n))
    cursor_ += n;
  else
    cursor_ = size_;
}

void SStream::SkipThumbnail() { Skip(kThumbnailSize); }

void SStream::Align(u32 n) {
  if (n < 2) return;
  u32 pad = (n - cursor_ % n) % n;
  if (!pad) return;
  if (!Take(pad)) {
    cursor_ = size_;
    return;
  }
  if (mode_ == 1) std::memset(start_ + cursor_, 0, pad);
  cursor_ += pad;
}

void SStream::SerializeBytes(void* p, u32 n) {
  if (!n) return;
  if (!Take(n)) {
    // Reading past the end yields zeros; writing past the capacity writes nothing.
    if (mode_ == 0 && p) std::memset(p, 0, n);
    cursor_ = size_;
    return;
  }
  if (mode_ == 1)
    std::memcpy(start_ + cursor_, p, n);
  else
    std::memcpy(p, start_ + cursor_, n);
  cursor_ += n;
}

void SStream::SerializeByte(u8& b) { SerializeBytes(&b, 1); }
void SStream::SerializeByte(i8& b) { SerializeBytes(&b, 1); }
void SStream::SerializeByte(char& b) { SerializeBytes(&b, 1); }

void SStream::SerializeU16(u16& v) {
  Align(2);
  u8 b[2] = {u8(v), u8(v >> 8)};
  SerializeBytes(b, 2);
  if (mode_ == 0) v = u16(b[0] | b[1] << 8);
}

void SStream::SerializeI16(i16& v) {
  u16 u = u16(v);
  SerializeU16(u);
  v = i16(u);
}

void SStream::SerializeU32(u32& v) {
  Align(4);
  u8 b[4] = {u8(v), u8(v >> 8), u8(v >> 16), u8(v >> 24)};
  SerializeBytes(b, 4);
  if (mode_ == 0) v = u32(b[0]) | u32(b[1]) << 8 | u32(b[2]) << 16 | u32(b[3]) << 24;
}

void SStream::SerializeI32(i32& v) {
  u32 u = u32(v);
  SerializeU32(u);
  v = i32(u);
}

bool SStream::SerializeMarker(u8 b) {
  if (mode_ == 1) {
    SerializeByte(b);
    return !failed_;
  }
  if (failed_ || cursor_ >= size_ || start_[cursor_] != b) return false;
  ++cursor_;
  return true;
}

void SStream::SerializeString(const char*& p) {
  if (mode_ == 1) {
    u32 n = StrLength(p);
    if (n) SerializeBytes(const_cast<char*>(p), n);
    u8 zero = 0;
    SerializeByte(zero);
    return;
  }
  p = nullptr;
  if (failed_ || cursor_ >= size_) {
    failed_ = true;
    cursor_ = size_;
    return;
  }
  const u8* at = start_ + cursor_;
  const void* end = std::memchr(at, 0, size_ - cursor_);
  if (!end) {  // no terminator inside the buffer
    failed_ = true;
    cursor_ = size_;
    return;
  }
  u32 n = u32(static_cast<const u8*>(end) - at);
  if (n) p = reinterpret_cast<const char*>(at);
  cursor_ += n + 1;
}

void SStream::SerializeString(char*& p) {
  const char* q = p;
  SerializeString(q);
  p = const_cast<char*>(q);
}

void SStream::SerializeStringAlloc(char*& p) {
  const char* q = p;
  SerializeString(q);
  if (mode_ == 0) {
    delete[] p;
    p = StrDup(q);
  }
}

void SStream::SerializeSString(SString& s) {
  const char* q = s.CStr();
  SerializeString(q);
  if (mode_ == 0) s.Assign(q ? q : "");
}

void SStream::SerializeSizedBlock(const u8*& p, u16& n) {
  SerializeU16(n);
  if (mode_ == 1) {
    if (n) SerializeBytes(const_cast<u8*>(p), n);
    return;
  }
  p = nullptr;
  if (failed_) {
    n = 0;
    return;
  }
  if (!n) return;
  if (!Take(n)) {
    n = 0;
    cursor_ = size_;
    return;
  }
  p = start_ + cursor_;
  cursor_ += n;
}
