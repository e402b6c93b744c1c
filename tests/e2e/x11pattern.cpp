// A known picture on the X screen and checks of screenshots against it.
//
//   e2e_x11pattern root
//       makes the pattern the root window's background (the whole screen)
//   e2e_x11pattern check SHOT.png X Y W H PX PY
//       the W x H block of the screenshot at (X, Y) equals the pattern's block at (PX, PY)
//   e2e_x11pattern blended SHOT.png X Y W H ALPHA RRGGBB
//       the block at (X, Y) is the pattern's block at (X, Y) under a layer of colour RRGGBB at
//       ALPHA/255 (within 3 per channel)
//
// Every pixel of the pattern tells its position: red = x mod 256, green = y mod 256,
// blue = (x / 256) + 16 * (y / 256).
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::uint32_t Pattern(int x, int y) {
  const std::uint32_t r = static_cast<std::uint32_t>(x) & 0xFF;
  const std::uint32_t g = static_cast<std::uint32_t>(y) & 0xFF;
  const std::uint32_t b = ((static_cast<std::uint32_t>(x) >> 8) & 0xF) | (((static_cast<std::uint32_t>(y) >> 8) & 0xF) << 4);
  return (r << 16) | (g << 8) | b;
}

int SetRoot() {
  int screenNum = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNum);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "x11pattern: cannot connect to the display\n");
    return 1;
  }
  const xcb_setup_t* setup = xcb_get_setup(c);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
  for (int i = 0; i < screenNum && it.rem; ++i) xcb_screen_next(&it);
  xcb_screen_t* screen = it.data;
  if (screen->root_depth != 24 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
    std::fprintf(stderr, "x11pattern: needs a 24-bit, LSB-first screen\n");
    return 1;
  }
  int bpp = 0;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == 24) bpp = f.data->bits_per_pixel;
  if (bpp != 32) {
    std::fprintf(stderr, "x11pattern: depth 24 is stored in %d bits\n", bpp);
    return 1;
  }
  const int w = screen->width_in_pixels;
  const int h = screen->height_in_pixels;
  const xcb_pixmap_t pixmap = xcb_generate_id(c);
  xcb_create_pixmap(c, 24, pixmap, screen->root, static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h));
  const xcb_gcontext_t gc = xcb_generate_id(c);
  xcb_create_gc(c, gc, pixmap, 0, nullptr);
  // Bands of rows that fit in one request.
  const std::size_t maxBytes = static_cast<std::size_t>(xcb_get_maximum_request_length(c)) * 4 - 64;
  const int band = std::max(1, static_cast<int>(maxBytes / (static_cast<std::size_t>(w) * 4)));
  std::vector<std::uint32_t> rows;
  for (int y0 = 0; y0 < h; y0 += band) {
    const int n = std::min(band, h - y0);
    rows.resize(static_cast<std::size_t>(w) * n);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < w; ++x) rows[static_cast<std::size_t>(y) * w + x] = Pattern(x, y0 + y);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(n), 0,
                  static_cast<std::int16_t>(y0), 0, 24, static_cast<std::uint32_t>(rows.size() * 4),
                  reinterpret_cast<const std::uint8_t*>(rows.data()));
  }
  const std::uint32_t value = pixmap;
  xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXMAP, &value);
  xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
  // The root keeps its own reference to the picture.
  xcb_free_gc(c, gc);
  xcb_free_pixmap(c, pixmap);
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  const bool ok = !xcb_connection_has_error(c);
  xcb_disconnect(c);
  return ok ? 0 : 1;
}

bool Load(const char* path, QImage& image) {
  image = QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) std::fprintf(stderr, "x11pattern: cannot read %s\n", path);
  return !image.isNull();
}

std::uint32_t Pixel(const QImage& img, int x, int y) {
  return reinterpret_cast<const std::uint32_t*>(img.constScanLine(y))[x] & 0xFFFFFF;
}

int Check(const QImage& img, int x0, int y0, int w, int h, int px, int py) {
  if (x0 < 0 || y0 < 0 || x0 + w > img.width() || y0 + h > img.height()) {
    std::fprintf(stderr, "x11pattern: block outside the screenshot\n");
    return 1;
  }
  int bad = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t got = Pixel(img, x0 + x, y0 + y);
      const std::uint32_t want = Pattern(px + x, py + y);
      if (got != want && bad++ < 5)
        std::fprintf(stderr, "at (%d, %d): %06x, the pattern's (%d, %d) is %06x\n", x0 + x, y0 + y, got, px + x,
                     py + y, want);
    }
  if (bad) std::fprintf(stderr, "%d of %d pixels differ\n", bad, w * h);
  return bad ? 1 : 0;
}

int Blended(const QImage& img, int x0, int y0, int w, int h, int alpha, std::uint32_t layer) {
  if (x0 < 0 || y0 < 0 || x0 + w > img.width() || y0 + h > img.height()) {
    std::fprintf(stderr, "x11pattern: block outside the screenshot\n");
    return 1;
  }
  int bad = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t got = Pixel(img, x0 + x, y0 + y);
      const std::uint32_t under = Pattern(x0 + x, y0 + y);
      for (int shift : {0, 8, 16}) {
        const int u = static_cast<int>((under >> shift) & 0xFF);
        const int l = static_cast<int>((layer >> shift) & 0xFF);
        const int want = (l * alpha + u * (255 - alpha) + 127) / 255;
        if (std::abs(static_cast<int>((got >> shift) & 0xFF) - want) > 3) {
          if (bad++ < 5) std::fprintf(stderr, "at (%d, %d): %06x is not the blend of %06x\n", x0 + x, y0 + y, got, under);
          break;
        }
      }
    }
  if (bad) std::fprintf(stderr, "%d of %d pixels differ\n", bad, w * h);
  return bad ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "root" && argc == 2) return SetRoot();
  if ((mode == "check" || mode == "blended") && argc == 9) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QImage img;
    if (!Load(argv[2], img)) return 1;
    const int x = std::atoi(argv[3]), y = std::atoi(argv[4]), w = std::atoi(argv[5]), h = std::atoi(argv[6]);
    if (mode == "check") return Check(img, x, y, w, h, std::atoi(argv[7]), std::atoi(argv[8]));
    return Blended(img, x, y, w, h, std::atoi(argv[7]), static_cast<std::uint32_t>(std::strtoul(argv[8], nullptr, 16)));
  }
  std::fprintf(stderr,
               "usage: %s root | check SHOT.png X Y W H PX PY | blended SHOT.png X Y W H ALPHA RRGGBB\n", argv[0]);
  return 2;
}
