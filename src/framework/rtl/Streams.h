// Byte streams with seeking: the abstract TStream, memory streams and file streams.
// Read/Write move what they can and return the count; ReadBuffer/WriteBuffer are all-or-error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace rtl {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  virtual long long Read(void* buffer, long long count) = 0;
  virtual long long Write(const void* buffer, long long count) = 0;
  virtual long long Seek(long long offset, SeekOrigin origin) = 0;
  virtual void SetSize(long long size) = 0;

  long long Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(long long pos) { Seek(pos, SeekOrigin::Begin); }
  long long Size();

  // Reads exactly count bytes or throws EReadError "Stream read error".
  void ReadBuffer(void* buffer, long long count);
  // Writes exactly count bytes or throws EWriteError "Stream write error".
  void WriteBuffer(const void* buffer, long long count);
  // Copies count bytes from source (0: all of source from its start); returns the count.
  long long CopyFrom(TStream& source, long long count);

  template <class T>
  T ReadValue() {
    T v;
    ReadBuffer(&v, sizeof v);
    return v;
  }
  template <class T>
  void WriteValue(const T& v) {
    WriteBuffer(&v, sizeof v);
  }
};

// A growable in-memory stream.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  long long Read(void* buffer, long long count) override;
  long long Write(const void* buffer, long long count) override;
  long long Seek(long long offset, SeekOrigin origin) override;
  void SetSize(long long size) override;
  void Clear();

  const uint8_t* Memory() const { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& dest) const;
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

 private:
  std::vector<uint8_t> data_;
  long long pos_ = 0;
};

// A read-only view over memory the stream does not own (a resource, say).
class TReadOnlyMemoryStream : public TStream {
 public:
  TReadOnlyMemoryStream(const void* data, long long size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  long long Read(void* buffer, long long count) override;
  long long Write(const void*, long long) override { return 0; }
  long long Seek(long long offset, SeekOrigin origin) override;
  void SetSize(long long) override { throw EStreamError(msg::kWriteError); }

 private:
  const uint8_t* data_;
  long long size_;
  long long pos_ = 0;
};

class TFileStream : public TStream {
 public:
  enum class Mode { Open, Create, ReadWrite };
  TFileStream(const std::string& path, Mode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  long long Read(void* buffer, long long count) override;
  long long Write(const void* buffer, long long count) override;
  long long Seek(long long offset, SeekOrigin origin) override;
  void SetSize(long long size) override;

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace rtl
