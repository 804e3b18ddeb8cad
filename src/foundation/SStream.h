// One two-way serialisation stream over a memory buffer: the mode selects reading or writing, so each
// record type has a single transfer routine for both directions.
//
// Record convention: a one-byte tag (written; consumed on reading only when present), u16 counts aligned
// to 2, numbers aligned to their size and little-endian, texts zero-terminated and unaligned. Alignment
// counts from the start of the buffer (the start of the record).
//
// Every transfer is checked against the buffer: reading past the end yields zeros, writing past the
// capacity writes nothing, and either sets a sticky error flag that loaders test (Failed()).
#pragma once
#include "foundation/SName.h"
#include "foundation/SRecordData.h"
#include "foundation/SString.h"

class SStream {
 public:
  static constexpr u32 kWriteBufferSize = 64000;
  static constexpr u32 kThumbnailSize = 8002;  // a u16 and an 80x50 picture of 16-bit pixels

  explicit SStream(u32 version = 0) : version_(version) {}
  SStream(const SStream&) = delete;
  SStream& operator=(const SStream&) = delete;
  ~SStream() { Close(); }

  void OpenForRead(const SRecordData& record) { OpenForRead(record.data, record.size); }
  void OpenForRead(const void* data, u32 size);
  // Over a caller's buffer (borrowed).
  void OpenForWrite(void* buffer, u32 size = kWriteBufferSize);
  // Over a buffer of the stream's own, freed by Close.
  bool OpenForWriteOwned(u32 size = kWriteBufferSize);
  void Close();
  void Rewind() { cursor_ = 0; }
  void Seek(u32 offset);  // past the end: the cursor stops at the end and the error is set
  u32 BytesUsed() const { return cursor_; }
  u32 Position() const { return cursor_; }
  u32 Size() const { return size_; }
  u32 Remaining() const { return size_ - cursor_; }
  bool IsWriting() const { return mode_ == 1; }
  bool IsReading() const { return mode_ == 0; }
  u32 Version() const { return version_; }
  void SetVersion(u32 version) { version_ = version; }
  const u8* Data() const { return start_; }
  bool Failed() const { return failed_; }
  bool Ok() const { return !failed_; }
  void SetFailed() { failed_ = true; }  // a record reader that finds bad contents says so too

  void SkipThumbnail();
  void Skip(u32 n);
  void Align(u32 n);

  void SerializeByte(u8& b);
  void SerializeByte(i8& b);
  void SerializeByte(char& b);
  void SerializeBytes(void* p, u32 n);
  void SerializeU16(u16& v);
  void SerializeI16(i16& v);
  void SerializeU32(u32& v);
  void SerializeI32(i32& v);
  // Writing: stores b, true. Reading: consumes the byte and returns true when it equals b, else leaves
  // the cursor and returns false (also at the end of the data, without setting the error).
  bool SerializeMarker(u8 b);
  bool CheckMarker(u8 b) { return SerializeMarker(b); }
  // Reading points p into the buffer (null for an empty text, or when the text has no terminator
  // inside the buffer: then the error is set).
  void SerializeString(const char*& p);
  void SerializeString(char*& p);
  // Reading frees p's old text (delete[]) and stores a heap copy (null for an empty text).
  void SerializeStringAlloc(char*& p);
  void SerializeSString(SString& s);
  // Align 2, u16 length, the bytes. Reading points p into the buffer (null when n is 0 or the block
  // runs past the end: then n is 0 and the error is set).
  void SerializeSizedBlock(const u8*& p, u16& n);
  void SerializeName(SName& name) { name.Serialize(*this); }
  // The script value's stored form (the value type lives with the script interpreter).
  template <class V>
  void SerializeScriptValue(V& v) {
    v.Serialize(*this);
  }

 private:
  bool Take(u32 n);  // room for n more bytes? sets the error when not

  u32 version_ = 0;
  u32 size_ = 0;
  u8 mode_ = 0;      // 1 writing, 0 reading
  u8 borrowed_ = 1;  // 0: the buffer is the stream's own
  bool failed_ = false;
  u8* start_ = nullptr;
  u32 cursor_ = 0;
};
