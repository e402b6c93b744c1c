#pragma once
// The skin package: "MVpk", a member count, then records of name, inflated size and one zlib
// stream each. TacSkinConvertor reads a package into memory; TsStoredSkins holds skins that travel
// inside the program.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Streams.h"
#include "framework/graphics/TBitmap.h"
#include "platform/Result.h"

struct z_stream_s;

namespace tv {

// Errors of the skin engine's loading code.
enum class SkinError {
  BadMagic,       // "Loaded data is not a packed Murvane file"
  ReadError,      // a package cut short, or a count or size outside the data
  Decompression,  // corrupt zlib data; the message is zlib's text
  BadValue,       // a number field of the options or of a reference that is not a number
  BadImage,       // an image member that cannot be decoded
  NoSkin,         // no source holds the skin
};

struct SkinFailure {
  SkinError code = SkinError::ReadError;
  std::string message;
};

// Raised inside the loader and turned into SkinFailure at its boundary.
class ESkinLoadError : public Exception {
 public:
  ESkinLoadError(SkinError code, const std::string& message) : Exception(message), code_(code) {}
  SkinError Code() const { return code_; }

 private:
  SkinError code_;
};
class EZStreamError : public ESkinLoadError {
 public:
  explicit EZStreamError(const std::string& message) : ESkinLoadError(SkinError::ReadError, message) {}
};
class EZDecompressionError : public ESkinLoadError {
 public:
  explicit EZDecompressionError(const std::string& message)
      : ESkinLoadError(SkinError::Decompression, message) {}
};

inline constexpr const char* kNotPackedMessage = "Loaded data is not a packed Murvane file";
inline constexpr const char* kInvalidZStreamMessage = "Invalid ZStream operation!";

// Read-only stream that inflates one zlib stream from another stream's current position. When the
// zlib stream ends it moves the source back to the first byte after the Adler-32 trailer.
class TacInflateStream : public TStream {
 public:
  static constexpr std::int64_t kChunkSize = 65536;

  explicit TacInflateStream(TStream& source);
  ~TacInflateStream() override;
  TacInflateStream(const TacInflateStream&) = delete;
  TacInflateStream& operator=(const TacInflateStream&) = delete;

  // Serves up to count bytes, fewer only when the input runs dry or the stream ends.
  // Throws EZDecompressionError on corrupt data.
  std::int64_t Read(void* buffer, std::int64_t count) override;
  // Always throws EZStreamError.
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  // Rewind to 0, skip forward, or go to the end (offset 0); anything else throws EZStreamError.
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  bool Finished() const { return finished_; }

 private:
  void Restart();
  void Skip(std::int64_t count);

  TStream& source_;
  std::int64_t start_;     // source position of the zlib header
  std::int64_t expected_;  // source position the next chunk is read from
  std::int64_t position_ = 0;
  bool finished_ = false;
  std::unique_ptr<z_stream_s> z_;
  std::vector<std::uint8_t> buffer_;
};

struct TacImageItem {
  std::string FileName;
  bool IsBmp = false;
  std::unique_ptr<TMemoryStream> Stream;
};

class TacSkinConvertor {
 public:
  TacSkinConvertor() = default;
  ~TacSkinConvertor();
  TacSkinConvertor(const TacSkinConvertor&) = delete;
  TacSkinConvertor& operator=(const TacSkinConvertor&) = delete;

  int ImageTotal() const { return imageTotal_; }
  const std::vector<TacImageItem>& Images() const { return images_; }
  TMemoryStream* Options() const { return options_.get(); }

  TStream* Source() const { return source_; }
  bool OwnsSource() const { return ownedSource_ != nullptr; }
  // A borrowed source is never freed by the reader.
  void SetSource(TStream* source);
  void SetOwnedSource(std::unique_ptr<TStream> source);
  // Lets go of the source without freeing it (borrowed) or frees it (owned).
  void DetachSource();

  // Frees the members, the options and an owned source.
  void ClearPackage();

  // First of Images[0 .. ImageTotal-1] whose upper-cased name equals reference; -1 when none.
  // The reference is compared as given.
  int IndexOfImage(const std::string& reference) const;
  // The member's stream rewound to 0, or null.
  TMemoryStream* ImageStream(const std::string& reference) const;

  // Parses the package in Source. On any failure the reader is cleared and destroyed and the
  // variable set to null; a borrowed source stays intact.
  static Result<void, SkinFailure> ReadPackage(std::unique_ptr<TacSkinConvertor>& reader);
  // Does nothing when no file exists at path. Otherwise reads the file as the owned source of the
  // reader in the variable (created when null) and parses it.
  static Result<void, SkinFailure> LoadPackageFile(const std::string& path,
                                                   std::unique_ptr<TacSkinConvertor>& reader,
                                                   bool releaseSource);

 private:
  void Parse();

  int imageTotal_ = 0;
  std::vector<TacImageItem> images_;
  std::unique_ptr<TMemoryStream> options_;
  TStream* source_ = nullptr;
  std::unique_ptr<TStream> ownedSource_;
};

// ASCII upper case, as the engine compares names.
std::string UpperCaseAscii(std::string s);

// A skin stored inside the program.
class TsStoredSkins;
class TsStoredSkin {
 public:
  TsStoredSkin() = default;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& v);
  std::uint32_t Shadow1Color() const { return shadow1Color_; }
  void SetShadow1Color(std::uint32_t v) { shadow1Color_ = v; }
  int Shadow1Offset() const { return shadow1Offset_; }
  void SetShadow1Offset(int v) { shadow1Offset_ = v; }
  int Shadow1Blur() const { return shadow1Blur_; }
  void SetShadow1Blur(int v) { shadow1Blur_ = v; }
  int Shadow1Transparency() const { return shadow1Transparency_; }
  void SetShadow1Transparency(int v) { shadow1Transparency_ = v; }
  std::uint32_t BorderColor() const { return borderColor_; }
  void SetBorderColor(std::uint32_t v) { borderColor_ = v; }
  double Version() const { return version_; }
  void SetVersion(double v) { version_ = v; }
  const std::string& Author() const { return author_; }
  void SetAuthor(const std::string& v) { author_ = v; }
  const std::string& Description() const { return description_; }
  void SetDescription(const std::string& v) { description_ = v; }
  // Descriptive only; empty by default.
  const TBitmap& MasterBitmap() const { return masterBitmap_; }
  void SetMasterBitmap(const TBitmap& v) { masterBitmap_.Assign(v); }

  // The package bytes, persisted verbatim.
  TMemoryStream& Data() { return data_; }
  const TMemoryStream& Data() const { return data_; }
  void SetData(const void* bytes, std::size_t size);

  // Copies every property and the data bytes.
  void Assign(const TsStoredSkin& other);

 private:
  friend class TsStoredSkins;
  void Changed();

  TsStoredSkins* collection_ = nullptr;
  std::string name_;
  std::uint32_t shadow1Color_ = 0;
  int shadow1Offset_ = 0;
  int shadow1Blur_ = -1;
  int shadow1Transparency_ = 0;
  std::uint32_t borderColor_ = 0xFF00FF;
  double version_ = 0;
  std::string author_;
  std::string description_;
  TBitmap masterBitmap_;
  TMemoryStream data_;
};

class TsStoredSkins {
 public:
  TsStoredSkins() = default;
  TsStoredSkins(const TsStoredSkins&) = delete;
  TsStoredSkins& operator=(const TsStoredSkins&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TsStoredSkin& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  const TsStoredSkin& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  TsStoredSkin& Add();
  void Delete(int index);
  void Clear();
  // Exact, case-sensitive; the first match or -1.
  int IndexOf(const std::string& name) const;

  // Raised on every change of the collection or of an item's name.
  std::function<void(TsStoredSkins* sender)> OnChange;

 private:
  friend class TsStoredSkin;
  void Changed();
  std::vector<std::unique_ptr<TsStoredSkin>> items_;
};

}  // namespace tv
