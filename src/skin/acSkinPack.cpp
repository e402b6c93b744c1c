#include "skin/acSkinPack.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace tv {

namespace {

// Deflate cannot expand data by more than about 1032:1; a member claiming more than that from the
// bytes left in the package is corrupt, and is refused before any memory is spent on it.
constexpr std::int64_t kMaxInflateRatio = 1040;

[[noreturn]] void ThrowRead() { throw ESkinLoadError(SkinError::ReadError, "Stream read error"); }

std::int32_t ReadInt32(TStream& s) {
  std::uint8_t b[4];
  if (s.Read(b, 4) != 4) ThrowRead();
  const std::uint32_t v = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                          (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  return static_cast<std::int32_t>(v);
}

}  // namespace

std::string UpperCaseAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// ---- TacInflateStream -------------------------------------------------------------------------

TacInflateStream::TacInflateStream(TStream& source)
    : source_(source), start_(source.Position()), expected_(start_), z_(std::make_unique<z_stream_s>()) {
  std::memset(z_.get(), 0, sizeof(z_stream_s));
  if (inflateInit(z_.get()) != Z_OK) throw EZDecompressionError("insufficient memory");
}

TacInflateStream::~TacInflateStream() { inflateEnd(z_.get()); }

std::int64_t TacInflateStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || finished_) return 0;
  z_->next_out = static_cast<Bytef*>(buffer);
  std::int64_t left = count;
  while (left > 0 && !finished_) {
    if (z_->avail_in == 0) {
      if (source_.Position() != expected_) source_.Seek(expected_, SeekOrigin::Beginning);
      if (buffer_.empty()) buffer_.resize(kChunkSize);
      const std::int64_t n = source_.Read(buffer_.data(), kChunkSize);
      if (n <= 0) break;  // input ran dry
      expected_ += n;
      z_->next_in = buffer_.data();
      z_->avail_in = static_cast<uInt>(n);
    }
    const uInt want = static_cast<uInt>(std::min<std::int64_t>(left, 1 << 30));
    z_->avail_out = want;
    const int ret = inflate(z_.get(), Z_NO_FLUSH);
    const std::int64_t produced = want - z_->avail_out;
    left -= produced;
    position_ += produced;
    if (ret == Z_STREAM_END) {
      finished_ = true;
      if (z_->avail_in > 0) {
        // Stand exactly after the trailer.
        expected_ -= z_->avail_in;
        z_->avail_in = 0;
        source_.Seek(expected_, SeekOrigin::Beginning);
      }
    } else if (ret == Z_NEED_DICT) {
      throw EZDecompressionError(zError(Z_NEED_DICT));
    } else if (ret != Z_OK && ret != Z_BUF_ERROR) {
      throw EZDecompressionError(z_->msg ? z_->msg : zError(ret));
    }
  }
  return count - left;
}

std::int64_t TacInflateStream::Write(const void*, std::int64_t) { throw EZStreamError(kInvalidZStreamMessage); }

void TacInflateStream::Restart() {
  inflateReset(z_.get());
  z_->avail_in = 0;
  expected_ = start_;
  position_ = 0;
  finished_ = false;
}

void TacInflateStream::Skip(std::int64_t count) {
  std::uint8_t scratch[4096];
  while (count > 0) {
    const std::int64_t n = Read(scratch, std::min<std::int64_t>(count, sizeof scratch));
    if (n <= 0) break;
    count -= n;
  }
}

std::int64_t TacInflateStream::Seek(std::int64_t offset, SeekOrigin origin) {
  if (origin == SeekOrigin::Beginning && offset == 0) {
    Restart();
  } else if ((origin == SeekOrigin::Current && offset >= 0) ||
             (origin == SeekOrigin::Beginning && offset >= position_)) {
    Skip(origin == SeekOrigin::Current ? offset : offset - position_);
  } else if (origin == SeekOrigin::End && offset == 0) {
    while (!finished_) {
      const std::int64_t before = position_;
      Skip(1 << 16);
      if (position_ == before) break;
    }
  } else {
    throw EZStreamError(kInvalidZStreamMessage);
  }
  return position_;
}

// ---- TacSkinConvertor -------------------------------------------------------------------------

TacSkinConvertor::~TacSkinConvertor() { ClearPackage(); }

void TacSkinConvertor::SetSource(TStream* source) {
  ownedSource_.reset();
  source_ = source;
}

void TacSkinConvertor::SetOwnedSource(std::unique_ptr<TStream> source) {
  ownedSource_ = std::move(source);
  source_ = ownedSource_.get();
}

void TacSkinConvertor::DetachSource() {
  ownedSource_.reset();
  source_ = nullptr;
}

void TacSkinConvertor::ClearPackage() {
  images_.clear();
  options_.reset();
  imageTotal_ = 0;
  if (ownedSource_) DetachSource();
}

int TacSkinConvertor::IndexOfImage(const std::string& reference) const {
  const int n = std::min<int>(imageTotal_, static_cast<int>(images_.size()));
  for (int i = 0; i < n; ++i)
    if (UpperCaseAscii(images_[static_cast<std::size_t>(i)].FileName) == reference) return i;
  return -1;
}

TMemoryStream* TacSkinConvertor::ImageStream(const std::string& reference) const {
  const int i = IndexOfImage(reference);
  if (i < 0) return nullptr;
  TMemoryStream* s = images_[static_cast<std::size_t>(i)].Stream.get();
  s->SetPosition(0);
  return s;
}

void TacSkinConvertor::Parse() {
  TStream& src = *source_;
  if (src.Seek(0, SeekOrigin::Beginning) != 0) ThrowRead();
  char magic[4];
  if (src.Read(magic, 4) != 4 || std::memcmp(magic, "MVpk", 4) != 0)
    throw ESkinLoadError(SkinError::BadMagic, kNotPackedMessage);
  const std::int64_t total = src.Size();
  const std::int32_t count = ReadInt32(src);
  // Every record takes at least its two length fields.
  if (count < 0 || count > (total - src.Position()) / 8) ThrowRead();
  imageTotal_ = count - 1;

  for (std::int32_t m = 0; m < count; ++m) {
    const std::int32_t nameLength = ReadInt32(src);
    if (nameLength < 0 || nameLength > total - src.Position()) ThrowRead();
    std::string name(static_cast<std::size_t>(nameLength), '\0');
    if (nameLength > 0 && src.Read(name.data(), nameLength) != nameLength) ThrowRead();
    const std::int32_t size = ReadInt32(src);
    const std::int64_t remaining = total - src.Position();
    if (size < 0 || size > remaining * kMaxInflateRatio) ThrowRead();

    auto content = std::make_unique<TMemoryStream>();
    {
      TacInflateStream inflater(src);
      // Grow with the data actually inflated rather than trusting the size field up front.
      std::vector<std::uint8_t>& bytes = content->Bytes();
      std::int64_t done = 0;
      while (done < size) {
        const std::int64_t chunk = std::min<std::int64_t>(size - done, 1 << 18);
        bytes.resize(static_cast<std::size_t>(done + chunk));
        const std::int64_t n = inflater.Read(bytes.data() + done, chunk);
        if (n != chunk) ThrowRead();
        done += n;
      }
      // Consume the rest of the stream (its trailer) so the next record starts in the right place.
      if (!inflater.Finished()) {
        std::uint8_t extra;
        if (inflater.Read(&extra, 1) != 0) ThrowRead();  // more content than the size says
        if (!inflater.Finished()) ThrowRead();
      }
    }
    content->SetPosition(0);

    const std::string upper = UpperCaseAscii(name);
    if (upper == "OPTIONS.DAT") {
      options_ = std::move(content);
    } else {
      TacImageItem item;
      item.FileName = name;
      item.IsBmp = std::filesystem::path(upper).extension() == ".BMP";
      item.Stream = std::move(content);
      images_.push_back(std::move(item));
    }
  }
}

Result<void, SkinFailure> TacSkinConvertor::ReadPackage(std::unique_ptr<TacSkinConvertor>& reader) {
  if (!reader) return Err{SkinFailure{SkinError::ReadError, "Stream read error"}};
  SkinFailure failure;
  try {
    if (!reader->source_) ThrowRead();
    reader->images_.clear();
    reader->options_.reset();
    reader->Parse();
    return {};
  } catch (const ESkinLoadError& e) {
    failure = {e.Code(), e.what()};
  } catch (const EReadError& e) {
    failure = {SkinError::ReadError, e.what()};
  } catch (const std::bad_alloc&) {
    failure = {SkinError::ReadError, "Out of memory"};
  }
  reader.reset();  // clears the members and an owned source; a borrowed one is left alone
  return Err{failure};
}

Result<void, SkinFailure> TacSkinConvertor::LoadPackageFile(const std::string& path,
                                                            std::unique_ptr<TacSkinConvertor>& reader,
                                                            bool releaseSource) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return {};
  if (reader)
    reader->ClearPackage();
  else
    reader = std::make_unique<TacSkinConvertor>();
  auto bytes = std::make_unique<TMemoryStream>();
  try {
    bytes->LoadFromFile(path);
  } catch (const Exception& e) {
    reader.reset();
    return Err{SkinFailure{SkinError::ReadError, e.what()}};
  }
  reader->SetOwnedSource(std::move(bytes));
  auto result = ReadPackage(reader);
  if (result && releaseSource) reader->DetachSource();
  return result;
}

// ---- TsStoredSkin(s) --------------------------------------------------------------------------

void TsStoredSkin::SetName(const std::string& v) {
  if (v == name_) return;
  name_ = v;
  Changed();
}

void TsStoredSkin::SetData(const void* bytes, std::size_t size) {
  data_.Clear();
  if (size > 0) data_.WriteBuffer(bytes, static_cast<std::int64_t>(size));
  data_.SetPosition(0);
}

void TsStoredSkin::Assign(const TsStoredSkin& other) {
  if (&other == this) return;
  name_ = other.name_;
  shadow1Color_ = other.shadow1Color_;
  shadow1Offset_ = other.shadow1Offset_;
  shadow1Blur_ = other.shadow1Blur_;
  shadow1Transparency_ = other.shadow1Transparency_;
  borderColor_ = other.borderColor_;
  version_ = other.version_;
  author_ = other.author_;
  description_ = other.description_;
  masterBitmap_.Assign(other.masterBitmap_);
  data_.Bytes() = other.data_.Bytes();
  data_.SetPosition(0);
  Changed();
}

void TsStoredSkin::Changed() {
  if (collection_) collection_->Changed();
}

TsStoredSkin& TsStoredSkins::Add() {
  items_.push_back(std::make_unique<TsStoredSkin>());
  items_.back()->collection_ = this;
  Changed();
  return *items_.back();
}

void TsStoredSkins::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  Changed();
}

void TsStoredSkins::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TsStoredSkins::IndexOf(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)]->name_ == name) return i;
  return -1;
}

void TsStoredSkins::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace tv
