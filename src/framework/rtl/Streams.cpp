#include "Streams.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace rtl {

long long TStream::Size() {
  long long pos = Seek(0, SeekOrigin::Current);
  long long size = Seek(0, SeekOrigin::End);
  Seek(pos, SeekOrigin::Begin);
  return size;
}

void TStream::ReadBuffer(void* buffer, long long count) {
  if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError(msg::kReadError);
}

void TStream::WriteBuffer(const void* buffer, long long count) {
  if (count < 0 || (count != 0 && Write(buffer, count) != count))
    throw EWriteError(msg::kWriteError);
}

long long TStream::CopyFrom(TStream& source, long long count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  long long left = count;
  char buf[8192];
  while (left > 0) {
    long long n = std::min<long long>(left, sizeof buf);
    source.ReadBuffer(buf, n);
    WriteBuffer(buf, n);
    left -= n;
  }
  return count;
}

long long TMemoryStream::Read(void* buffer, long long count) {
  long long size = static_cast<long long>(data_.size());
  if (count <= 0 || pos_ >= size) return 0;
  long long n = std::min(count, size - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

long long TMemoryStream::Write(const void* buffer, long long count) {
  if (count <= 0) return 0;
  if (pos_ + count > static_cast<long long>(data_.size())) data_.resize(static_cast<size_t>(pos_ + count));
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ += count;
  return count;
}

static long long SeekIn(long long pos, long long size, long long offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Begin: pos = offset; break;
    case SeekOrigin::Current: pos += offset; break;
    case SeekOrigin::End: pos = size + offset; break;
  }
  return pos < 0 ? 0 : pos;
}

long long TMemoryStream::Seek(long long offset, SeekOrigin origin) {
  pos_ = SeekIn(pos_, static_cast<long long>(data_.size()), offset, origin);
  return pos_;
}

void TMemoryStream::SetSize(long long size) {
  data_.resize(static_cast<size_t>(std::max(0LL, size)));
  if (pos_ > size) pos_ = size;
}

void TMemoryStream::Clear() {
  data_.clear();
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  long long n = source.Size();
  data_.resize(static_cast<size_t>(n));
  source.ReadBuffer(data_.data(), n);
  pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) const {
  dest.WriteBuffer(data_.data(), static_cast<long long>(data_.size()));
}

void TMemoryStream::LoadFromFile(const std::string& path) {
  TFileStream f(path, TFileStream::Mode::Open);
  LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const std::string& path) const {
  TFileStream f(path, TFileStream::Mode::Create);
  SaveToStream(f);
}

long long TReadOnlyMemoryStream::Read(void* buffer, long long count) {
  if (count <= 0 || pos_ >= size_) return 0;
  long long n = std::min(count, size_ - pos_);
  std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

long long TReadOnlyMemoryStream::Seek(long long offset, SeekOrigin origin) {
  pos_ = SeekIn(pos_, size_, offset, origin);
  return pos_;
}

TFileStream::TFileStream(const std::string& path, Mode mode) {
  const char* m = mode == Mode::Open ? "rb" : mode == Mode::Create ? "w+b" : "r+b";
  file_ = std::fopen(path.c_str(), m);
  if (!file_)
    throw EFOpenError(Format(mode == Mode::Create ? msg::kFCreateError : msg::kFOpenError, path.c_str()));
}

TFileStream::~TFileStream() {
  if (file_) std::fclose(file_);
}

long long TFileStream::Read(void* buffer, long long count) {
  if (count <= 0) return 0;
  return static_cast<long long>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

long long TFileStream::Write(const void* buffer, long long count) {
  if (count <= 0) return 0;
  return static_cast<long long>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
}

long long TFileStream::Seek(long long offset, SeekOrigin origin) {
  int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
#ifdef _WIN32
  _fseeki64(file_, offset, whence);
  return _ftelli64(file_);
#else
  fseeko(file_, offset, whence);
  return ftello(file_);
#endif
}

void TFileStream::SetSize(long long size) {
  std::fflush(file_);
#ifdef _WIN32
  _chsize_s(_fileno(file_), size);
#else
  if (ftruncate(fileno(file_), size) != 0) throw EWriteError(msg::kWriteError);
#endif
}

}  // namespace rtl
