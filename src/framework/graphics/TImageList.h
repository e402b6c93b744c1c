#pragma once
// A list of same-sized images. Entries are stored in 64 x 64 tiles; a tile equal to the same tile
// of a neighbouring entry is shared rather than copied, so snapshots of a picture that differ by a
// stroke cost little more than the stroke. Storage is lossless.
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TIcon.h"

namespace tv {

class TImageList {
 public:
  TImageList() = default;
  TImageList(int width, int height) : width_(width), height_(height) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size empties the list.
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  void SetSize(int width, int height);

  int Count() const { return static_cast<int>(entries_.size()); }
  // Adds a copy at the end; returns its index, or -1 when memory runs out. The picture is cropped
  // or padded (black) to the list's size. Mask: white = transparent.
  int Add(const TBitmap& image, const TBitmap* mask = nullptr);
  // Inserts before `index` (0..Count); false when the index is out of range or memory runs out.
  bool Insert(int index, const TBitmap& image, const TBitmap* mask = nullptr);
  bool Delete(int index);
  void Clear() { entries_.clear(); }

  // Draws the entry with its top-left at (x, y); nothing for an index out of range.
  void Draw(TCanvas& canvas, int x, int y, int index) const;
  // The entry as a bitmap of the list's size (in the pixel format it was added in).
  bool GetBitmap(int index, TBitmap& out) const;
  bool GetIcon(int index, TIcon& out) const;

  // Bytes held by the pixel tiles, each shared tile counted once (for tests and benchmarks).
  std::size_t StoredBytes() const;

 private:
  static constexpr int kTile = 64;
  using Tile = std::shared_ptr<const std::vector<std::uint8_t>>;
  struct Entry {
    TPixelFormat pf = pf24bit;
    std::vector<Tile> tiles;             // row-major, tile rows of kTile pixel rows
    std::vector<std::uint8_t> mask;      // one byte per pixel, 1 = transparent; empty = opaque
  };

  Entry Pack(const TBitmap& image, const TBitmap* mask, int index) const;
  TBitmap Unpack(const Entry& e) const;
  int TilesAcross() const { return (width_ + kTile - 1) / kTile; }
  int TilesDown() const { return (height_ + kTile - 1) / kTile; }

  int width_ = 16;
  int height_ = 16;
  std::vector<Entry> entries_;
};

}  // namespace tv
