// Writes a PNG of the whole X screen: e2e_x11shot FILE.png
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  QGuiApplication app(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return 1;
  const QImage image = screen->grabWindow(0).toImage();
  if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "x11shot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
