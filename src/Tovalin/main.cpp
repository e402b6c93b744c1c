// Program entry: installs the Qt platform, shows the main window and runs the message loop until
// the window is closed.
#include <cstdint>
#include <vector>

#include "platform/Platform.h"
#include "platform/qt/QtPlatform.h"

using namespace tv;
using namespace tv::platform;

namespace {

constexpr int kClientWidth = 741;
constexpr int kClientHeight = 419;
constexpr std::uint32_t kDarkGrey = 0xFF2B2B2B;

}  // namespace

int main(int argc, char** argv) {
  SetPlatform(CreateQtPlatform(argc, argv));
  Platform& p = GetPlatform();

  const HWND main = p.CreateWindow(WindowKind::TopLevel);
  p.SetWindowTitle(main, "Tovalin");
  const Size screen = p.PrimaryScreenSize();
  p.SetWindowGeometry(main, {(screen.width - kClientWidth) / 2, (screen.height - kClientHeight) / 2,
                             (screen.width + kClientWidth) / 2, (screen.height + kClientHeight) / 2});

  PixelBuffer face;
  auto present = [&] {
    const Rect g = p.WindowGeometry(main);
    face.width = g.Width();
    face.height = g.Height();
    face.pixels.assign(static_cast<std::size_t>(face.width) * face.height, kDarkGrey);
    p.PresentWindow(main, {reinterpret_cast<const std::uint8_t*>(face.pixels.data()), face.width, face.height,
                           face.width * 4});
  };

  bool done = false;
  p.SetEventHandler([&](const Event& e) {
    if (e.window != main) return;
    switch (e.kind) {
      case EventKind::CloseRequest: done = true; break;
      case EventKind::Resized: present(); break;
      default: break;
    }
  });

  present();
  p.ShowWindow(main, ShowMode::Normal);
  p.ActivateWindow(main);
  while (!done) p.ProcessEvents(true);

  p.DestroyWindow(main);
  SetPlatform(nullptr);
  return 0;
}
