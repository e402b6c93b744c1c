#pragma once
// Byte streams: an abstract TStream with a memory and a file implementation.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace tv {

enum class SeekOrigin { Beginning, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to count bytes; returns how many were read (0 at the end).
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Returns the new position, or -1 when the stream cannot seek there.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual std::int64_t Size();
  virtual bool SetSize(std::int64_t size);

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t pos) { Seek(pos, SeekOrigin::Beginning); }

  // Throw EReadError / EWriteError when fewer bytes move than asked.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes from source's position (count 0: the whole source from its start).
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
  bool SetSize(std::int64_t size) override;
  void Clear();

  const std::uint8_t* Memory() const { return data_.data(); }
  std::vector<std::uint8_t>& Bytes() { return data_; }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }

  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& dest);
  void LoadFromFile(const std::string& path);  // throws EFOpenError / EReadError
  void SaveToFile(const std::string& path);    // throws EFCreateError / EWriteError

 private:
  std::vector<std::uint8_t> data_;
  std::int64_t pos_ = 0;
};

// A view over bytes owned elsewhere (for example a blob compiled into the program). Read-only.
class TReadOnlyMemoryStream : public TStream {
 public:
  TReadOnlyMemoryStream(const void* data, std::int64_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void*, std::int64_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return size_; }

 private:
  const std::uint8_t* data_;
  std::int64_t size_;
  std::int64_t pos_ = 0;
};

// File open modes and share modes, as flags combined with |.
enum FileMode : std::uint32_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,  // create or truncate, read/write
};

enum class FileError { NotFound, AccessDenied, SharingViolation, Other };

class TFileStream : public TStream {
 public:
  // Opens `path`; share modes are honoured between streams of this process.
  static Result<std::unique_ptr<TFileStream>, FileError> Open(const std::string& path, std::uint32_t mode);
  // Throwing form: EFOpenError "Cannot open file ..." or EFCreateError "Cannot create file ...".
  TFileStream(const std::string& path, std::uint32_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  bool SetSize(std::int64_t size) override;
  const std::string& FileName() const { return path_; }

 private:
  TFileStream() = default;
  std::string path_;
  std::FILE* file_ = nullptr;
  std::uint32_t mode_ = 0;
};

}  // namespace tv
