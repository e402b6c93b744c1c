#include "framework/graphics/TImageList.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>

namespace tv {

void TImageList::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  entries_.clear();
}

TImageList::Entry TImageList::Pack(const TBitmap& image, const TBitmap* mask, int index) const {
  Entry e;
  e.pf = image.PixelFormat();
  const int bpp = e.pf == pf32bit ? 4 : 3;
  const int across = TilesAcross(), down = TilesDown();
  e.tiles.reserve(static_cast<std::size_t>(across) * down);
  // Neighbours whose tiles may be shared: the entries on either side of the new one.
  const Entry* near[2] = {nullptr, nullptr};
  if (index - 1 >= 0 && index - 1 < Count() && entries_[static_cast<std::size_t>(index - 1)].pf == e.pf)
    near[0] = &entries_[static_cast<std::size_t>(index - 1)];
  if (index < Count() && entries_[static_cast<std::size_t>(index)].pf == e.pf) near[1] = &entries_[static_cast<std::size_t>(index)];

  std::vector<std::uint8_t> buf;
  for (int ty = 0; ty < down; ++ty) {
    for (int tx = 0; tx < across; ++tx) {
      const int x0 = tx * kTile, y0 = ty * kTile;
      const int tw = std::min(kTile, width_ - x0), th = std::min(kTile, height_ - y0);
      const std::size_t rowBytes = static_cast<std::size_t>(tw) * bpp;
      buf.assign(rowBytes * th, 0);
      const int copyW = std::clamp(image.Width() - x0, 0, tw);
      for (int y = 0; y < th && y0 + y < image.Height(); ++y) {
        if (copyW > 0)
          std::memcpy(buf.data() + rowBytes * y, image.ScanLine(y0 + y) + static_cast<std::size_t>(x0) * bpp,
                      static_cast<std::size_t>(copyW) * bpp);
      }
      Tile shared;
      const std::size_t slot = e.tiles.size();
      for (const Entry* n : near) {
        if (n && slot < n->tiles.size() && *n->tiles[slot] == buf) {
          shared = n->tiles[slot];
          break;
        }
      }
      e.tiles.push_back(shared ? shared : std::make_shared<const std::vector<std::uint8_t>>(buf));
    }
  }
  if (mask) {
    e.mask.assign(static_cast<std::size_t>(width_) * height_, 0);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const TColor c = mask->PixelColor(x, y);
        e.mask[static_cast<std::size_t>(y) * width_ + x] = (c != clInvalid && c != clBlack) ? 1 : 0;
      }
  }
  return e;
}

TBitmap TImageList::Unpack(const Entry& e) const {
  TBitmap out(width_, height_, e.pf);
  const int bpp = e.pf == pf32bit ? 4 : 3;
  const int across = TilesAcross();
  for (std::size_t i = 0; i < e.tiles.size(); ++i) {
    const int tx = static_cast<int>(i) % across, ty = static_cast<int>(i) / across;
    const int x0 = tx * kTile, y0 = ty * kTile;
    const int tw = std::min(kTile, width_ - x0), th = std::min(kTile, height_ - y0);
    const std::size_t rowBytes = static_cast<std::size_t>(tw) * bpp;
    for (int y = 0; y < th; ++y)
      std::memcpy(out.ScanLine(y0 + y) + static_cast<std::size_t>(x0) * bpp, e.tiles[i]->data() + rowBytes * y, rowBytes);
  }
  return out;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
  return Insert(Count(), image, mask) ? Count() - 1 : -1;
}

bool TImageList::Insert(int index, const TBitmap& image, const TBitmap* mask) {
  if (index < 0 || index > Count()) return false;
  try {
    Entry e = Pack(image, mask, index);
    entries_.insert(entries_.begin() + index, std::move(e));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool TImageList::Delete(int index) {
  if (index < 0 || index >= Count()) return false;
  entries_.erase(entries_.begin() + index);
  return true;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
  if (index < 0 || index >= Count()) return;
  const Entry& e = entries_[static_cast<std::size_t>(index)];
  TBitmap picture = Unpack(e);
  if (!e.mask.empty()) {
    TIcon icon;
    TBitmap m(width_, height_);
    for (int py = 0; py < height_; ++py)
      for (int px = 0; px < width_; ++px)
        if (!e.mask[static_cast<std::size_t>(py) * width_ + px]) m.SetPixelColor(px, py, clBlack);
    icon.AssignBitmap(picture, &m);
    icon.Draw(canvas, x, y);
    return;
  }
  canvas.Draw(x, y, picture);
}

bool TImageList::GetBitmap(int index, TBitmap& out) const {
  if (index < 0 || index >= Count()) return false;
  out = Unpack(entries_[static_cast<std::size_t>(index)]);
  return true;
}

bool TImageList::GetIcon(int index, TIcon& out) const {
  if (index < 0 || index >= Count()) return false;
  const Entry& e = entries_[static_cast<std::size_t>(index)];
  const TBitmap picture = Unpack(e);
  if (e.mask.empty()) {
    out.AssignBitmap(picture);
    return true;
  }
  TBitmap m(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (!e.mask[static_cast<std::size_t>(y) * width_ + x]) m.SetPixelColor(x, y, clBlack);
  out.AssignBitmap(picture, &m);
  return true;
}

std::size_t TImageList::StoredBytes() const {
  std::unordered_set<const void*> seen;
  std::size_t total = 0;
  for (const Entry& e : entries_) {
    for (const Tile& t : e.tiles)
      if (seen.insert(t.get()).second) total += t->size();
    total += e.mask.size();
  }
  return total;
}

}  // namespace tv
