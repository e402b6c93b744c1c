#include "framework/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

#include "framework/Exceptions.h"

namespace tv {

std::int64_t TStream::Size() {
  const std::int64_t pos = Seek(0, SeekOrigin::Current);
  const std::int64_t end = Seek(0, SeekOrigin::End);
  Seek(pos, SeekOrigin::Beginning);
  return end;
}

bool TStream::SetSize(std::int64_t) { return false; }

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<std::uint8_t> buf(static_cast<std::size_t>(std::min<std::int64_t>(count, 1 << 16)));
  std::int64_t left = count;
  while (left > 0) {
    const std::int64_t n = std::min<std::int64_t>(left, static_cast<std::int64_t>(buf.size()));
    source.ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    left -= n;
  }
  return count;
}

// ---- TMemoryStream ----------------------------------------------------------------------------

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t size = Size();
  if (count <= 0 || pos_ >= size) return 0;
  const std::int64_t n = std::min(count, size - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<std::size_t>(n));
  pos_ += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  const std::int64_t end = pos_ + count;
  if (end > Size()) data_.resize(static_cast<std::size_t>(end));
  std::memcpy(data_.data() + pos_, buffer, static_cast<std::size_t>(count));
  pos_ = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = pos_;
  if (origin == SeekOrigin::End) base = Size();
  const std::int64_t target = base + offset;
  if (target < 0) return -1;
  pos_ = target;
  return pos_;
}

bool TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) return false;
  data_.resize(static_cast<std::size_t>(size));
  pos_ = std::min(pos_, size);
  return true;
}

void TMemoryStream::Clear() {
  data_.clear();
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const std::int64_t n = source.Size();
  data_.resize(static_cast<std::size_t>(n));
  source.ReadBuffer(data_.data(), n);
  pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) { dest.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::LoadFromFile(const std::string& path) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& path) {
  TFileStream file(path, fmCreate);
  SaveToStream(file);
}

// ---- TReadOnlyMemoryStream --------------------------------------------------------------------

std::int64_t TReadOnlyMemoryStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || pos_ >= size_) return 0;
  const std::int64_t n = std::min(count, size_ - pos_);
  std::memcpy(buffer, data_ + pos_, static_cast<std::size_t>(n));
  pos_ += n;
  return n;
}

std::int64_t TReadOnlyMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = pos_;
  if (origin == SeekOrigin::End) base = size_;
  const std::int64_t target = base + offset;
  if (target < 0) return -1;
  pos_ = target;
  return pos_;
}

// ---- TFileStream ------------------------------------------------------------------------------

namespace {

// Open files of this process and their access and share modes, keyed by canonical path.
struct OpenEntry {
  std::uint32_t access;  // fmOpenRead / fmOpenWrite / fmOpenReadWrite
  std::uint32_t share;
};
std::mutex gOpenMutex;
std::multimap<std::string, OpenEntry> gOpenFiles;

std::string KeyOf(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
  return ec ? path : p.string();
}

bool Reads(std::uint32_t access) { return access == fmOpenRead || access == fmOpenReadWrite; }
bool Writes(std::uint32_t access) { return access == fmOpenWrite || access == fmOpenReadWrite; }

// Whether an open with (access, share) may coexist with an existing one.
bool Compatible(const OpenEntry& existing, std::uint32_t access, std::uint32_t share) {
  auto denies = [](std::uint32_t sh, std::uint32_t acc) {
    if (sh == fmShareExclusive || sh == fmShareCompat) return true;
    if (sh == fmShareDenyWrite) return Writes(acc);
    if (sh == fmShareDenyRead) return Reads(acc);
    return false;
  };
  return !denies(existing.share, access) && !denies(share, existing.access);
}

}  // namespace

Result<std::unique_ptr<TFileStream>, FileError> TFileStream::Open(const std::string& path,
                                                                   std::uint32_t mode) {
  const bool create = (mode & 0xFF00) == fmCreate;
  const std::uint32_t access = create ? fmOpenReadWrite : (mode & 0x3);
  std::uint32_t share = create ? fmShareExclusive : (mode & 0xF0);
  if (create && (mode & 0xF0)) share = mode & 0xF0;
  const std::string key = KeyOf(path);

  std::lock_guard lock(gOpenMutex);
  auto range = gOpenFiles.equal_range(key);
  for (auto it = range.first; it != range.second; ++it)
    if (!Compatible(it->second, access, share)) return Err{FileError::SharingViolation};

  const char* how = create ? "w+b" : access == fmOpenRead ? "rb" : "r+b";
  std::FILE* f = std::fopen(path.c_str(), how);
  if (!f) {
    const int e = errno;
    if (e == ENOENT || e == ENOTDIR) return Err{FileError::NotFound};
    if (e == EACCES || e == EPERM || e == EROFS || e == EISDIR) return Err{FileError::AccessDenied};
    return Err{FileError::Other};
  }
  std::unique_ptr<TFileStream> s(new TFileStream());
  s->path_ = path;
  s->file_ = f;
  s->mode_ = (access & 0x3) | (share & 0xF0);
  gOpenFiles.emplace(key, OpenEntry{access, share});
  return s;
}

TFileStream::TFileStream(const std::string& path, std::uint32_t mode) {
  auto r = Open(path, mode);
  if (!r) {
    if ((mode & 0xFF00) == fmCreate) throw EFCreateError("Cannot create file \"" + path + "\"");
    throw EFOpenError("Cannot open file \"" + path + "\"");
  }
  std::swap(path_, r.value()->path_);
  std::swap(file_, r.value()->file_);
  std::swap(mode_, r.value()->mode_);
  // The entry in the open-file table stays; the moved-from object releases nothing.
  r.value()->path_.clear();
}

TFileStream::~TFileStream() {
  if (!file_) return;
  std::fclose(file_);
  std::lock_guard lock(gOpenMutex);
  auto range = gOpenFiles.equal_range(KeyOf(path_));
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second.access == (mode_ & 0x3) && it->second.share == (mode_ & 0xF0)) {
      gOpenFiles.erase(it);
      break;
    }
  }
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), file_));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0 || (mode_ & 0x3) == fmOpenRead) return 0;
  const auto n = static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), file_));
  if (std::fflush(file_) != 0) return 0;
  return n;
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Beginning ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  if (std::fseek(file_, static_cast<long>(offset), whence) != 0) return -1;
  return static_cast<std::int64_t>(std::ftell(file_));
}

bool TFileStream::SetSize(std::int64_t size) {
  if (size < 0 || (mode_ & 0x3) == fmOpenRead) return false;
  std::fflush(file_);
  std::error_code ec;
  std::filesystem::resize_file(path_, static_cast<std::uintmax_t>(size), ec);
  if (ec) return false;
  if (Position() > size) Seek(size, SeekOrigin::Beginning);
  return true;
}

}  // namespace tv
