// The Qt backend's pure parts: key tables, layered-window blending, double-click detection and
// the autostart desktop entries.
#include <gtest/gtest.h>

#include <Qt>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/qt/DesktopEntry.h"
#include "platform/qt/KeyMap.h"
#include "platform/qt/LayerBlend.h"
#include "platform/qt/QtPlatform.h"

using namespace tv;
using namespace tv::platform;
using namespace tv::platform::qt;

TEST(QtKeyMapTest, QtKeysBecomeWindowsVirtualKeys) {
  struct Case {
    int qt;
    bool keypad;
    UINT vk;
  };
  const Case cases[] = {
      {Qt::Key_A, false, 'A'},           {Qt::Key_Z, false, 'Z'},         {Qt::Key_0, false, '0'},
      {Qt::Key_9, false, '9'},           {Qt::Key_F1, false, VK_F1},      {Qt::Key_F7, false, VK_F7},
      {Qt::Key_F24, false, 0x87},        {Qt::Key_Left, false, VK_LEFT},  {Qt::Key_Down, false, VK_DOWN},
      {Qt::Key_Home, false, VK_HOME},    {Qt::Key_End, false, VK_END},    {Qt::Key_PageUp, false, VK_PRIOR},
      {Qt::Key_PageDown, false, VK_NEXT}, {Qt::Key_Insert, false, VK_INSERT}, {Qt::Key_Delete, false, VK_DELETE},
      {Qt::Key_Return, false, VK_RETURN}, {Qt::Key_Enter, true, VK_RETURN}, {Qt::Key_Escape, false, VK_ESCAPE},
      {Qt::Key_Tab, false, VK_TAB},      {Qt::Key_Backtab, false, VK_TAB}, {Qt::Key_Backspace, false, VK_BACK},
      {Qt::Key_Space, false, VK_SPACE},  {Qt::Key_Shift, false, VK_SHIFT}, {Qt::Key_Control, false, VK_CONTROL},
      {Qt::Key_Alt, false, VK_MENU},     {Qt::Key_Pause, false, VK_PAUSE}, {Qt::Key_ScrollLock, false, VK_SCROLL},
      {Qt::Key_NumLock, false, VK_NUMLOCK}, {Qt::Key_5, true, 0x65},     {Qt::Key_Exclam, false, '1'},
      {Qt::Key_unknown, false, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromQtKey(c.qt, c.keypad), c.vk) << std::hex << c.qt;
}

TEST(QtKeyMapTest, HotKeyCandidatesHaveKeysyms) {
  struct Case {
    UINT vk;
    std::uint32_t keysym;
  };
  const Case cases[] = {
      {VK_F4, 0xffc1},   {VK_F7, 0xffc4},     {VK_F12, 0xffc9}, {VK_F1 + 23, 0xffd5}, {VK_SCROLL, 0xff14},
      {VK_PAUSE, 0xff13}, {'A', 'a'},         {'7', '7'},       {VK_NUMLOCK, 0xff7f}, {VK_ESCAPE, 0xff1b},
      {0, 0},            {VK_LBUTTON, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(KeysymFromVirtualKey(c.vk), c.keysym) << c.vk;
}

namespace {
PixelBuffer Filled(int w, int h, std::uint32_t px) {
  PixelBuffer b;
  b.width = w;
  b.height = h;
  b.pixels.assign(static_cast<std::size_t>(w) * h, px);
  return b;
}
PixelView ViewOf(const PixelBuffer& b) {
  return {reinterpret_cast<const std::uint8_t*>(b.pixels.data()), b.width, b.height, b.width * 4};
}
}  // namespace

TEST(LayerBlendTest, BlendsAtAlphaAndLetsTheKeyColourThrough) {
  PixelBuffer screen = Filled(3, 2, 0xFF000000);
  screen.pixels[1] = 0xFF204060;
  PixelBuffer layer = Filled(3, 2, 0xFFC0C0C0);  // silver
  layer.pixels[2] = 0xFF808080;                   // the key colour
  layer.pixels[3] = 0x00FFFFFF;                   // the layer's own alpha byte plays no part

  const PixelBuffer out = BlendLayer(screen, ViewOf(layer), 150, TColor{0x808080});
  ASSERT_EQ(out.width, 3);
  ASSERT_EQ(out.height, 2);
  // 0xC0 * 150 / 255 = 112.9 -> 0x71 over black.
  EXPECT_EQ(out.pixels[0], 0xFF717171u);
  // Each channel: (0xC0 * 150 + s * 105) / 255, rounded.
  const auto mix = [](std::uint32_t s) { return (0xC0u * 150 + s * 105 + 127) / 255; };
  EXPECT_EQ(out.pixels[1], 0xFF000000u | mix(0x20) << 16 | mix(0x40) << 8 | mix(0x60));
  EXPECT_EQ(out.pixels[2], 0xFF000000u);  // keyed: the screen, unblended
  EXPECT_EQ(out.pixels[3], 0xFF969696u);  // white at 150/255

  // The key is a 0x00BBGGRR colour: blue-ish key 0xFF0000 means RGB 0x0000FF.
  PixelBuffer blue = Filled(1, 1, 0xFF0000FF);
  EXPECT_EQ(BlendLayer(Filled(1, 1, 0xFF123456), ViewOf(blue), 150, TColor{0xFF0000}).pixels[0], 0xFF123456u);
  EXPECT_NE(BlendLayer(Filled(1, 1, 0xFF123456), ViewOf(blue), 150, TColor{0x0000FF}).pixels[0], 0xFF123456u);

  // Alpha 255 without a key shows the layer alone; alpha 0 shows the screen.
  EXPECT_EQ(BlendLayer(screen, ViewOf(layer), 255, std::nullopt).pixels[2], 0xFF808080u);
  EXPECT_EQ(BlendLayer(screen, ViewOf(layer), 0, std::nullopt).pixels[1], 0xFF204060u);
}

TEST(LayerBlendTest, ALayerOfAnotherSizeCoversOnlyWhatItHas) {
  const PixelBuffer screen = Filled(4, 3, 0xFF000000);
  const PixelBuffer small = Filled(2, 1, 0xFFFFFFFF);
  const PixelBuffer out = BlendLayer(screen, ViewOf(small), 255, std::nullopt);
  EXPECT_EQ(out.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(out.At(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(out.At(2, 0), 0xFF000000u);
  EXPECT_EQ(out.At(0, 1), 0xFF000000u);

  const PixelBuffer big = Filled(9, 9, 0xFFFFFFFF);
  const PixelBuffer out2 = BlendLayer(screen, ViewOf(big), 255, std::nullopt);
  EXPECT_EQ(out2.width, 4);
  EXPECT_EQ(out2.height, 3);
  EXPECT_EQ(out2.At(3, 2), 0xFFFFFFFFu);

  EXPECT_EQ(BlendLayer(screen, PixelView{}, 150, std::nullopt).pixels, screen.pixels);
}

TEST(ClickTrackerTest, SecondPressCloseInTimeAndPlaceIsADoubleClick) {
  ClickTracker t;
  const Point at{10, 10};
  EXPECT_FALSE(t.Press(MouseButton::Left, at, 1000, 500, 2));
  EXPECT_TRUE(t.Press(MouseButton::Left, {11, 9}, 1300, 500, 2));
  // The third press starts a new pair.
  EXPECT_FALSE(t.Press(MouseButton::Left, at, 1400, 500, 2));
  EXPECT_TRUE(t.Press(MouseButton::Left, at, 1500, 500, 2));

  EXPECT_FALSE(t.Press(MouseButton::Left, at, 5000, 500, 2));
  EXPECT_FALSE(t.Press(MouseButton::Left, at, 5501, 500, 2)) << "too late";
  EXPECT_FALSE(t.Press(MouseButton::Left, {20, 10}, 5600, 500, 2)) << "too far";
  EXPECT_FALSE(t.Press(MouseButton::Right, {20, 10}, 5700, 500, 2)) << "another button";
  EXPECT_TRUE(t.Press(MouseButton::Right, {20, 10}, 5800, 500, 2));

  t.Press(MouseButton::Left, at, 9000, 500, 2);
  t.Reset();
  EXPECT_FALSE(t.Press(MouseButton::Left, at, 9100, 500, 2));
}

TEST(DesktopEntryTest, ExecValuesRoundTripWhateverThePathHolds) {
  const std::string paths[] = {
      "/usr/bin/Tovalin",
      "/opt/my apps/Tovalin",
      "/home/u/we$ird/`x`/Tovalin",
      "/home/u/quote\"d/back\\slash/100%/Tovalin",
      "/tmp/tab\there",
      " leading space",
      "/tmp/\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82/Tovalin",
  };
  for (const auto& p : paths) {
    const std::string enc = EncodeExecValue(p);
    EXPECT_EQ(enc.find('\n'), std::string::npos) << p;
    EXPECT_EQ(DecodeExecValue(enc), p) << p << " -> " << enc;
  }
  EXPECT_EQ(EncodeExecValue("/usr/bin/Tovalin"), "/usr/bin/Tovalin");
  EXPECT_EQ(EncodeExecValue("/opt/my apps/Tovalin"), "\"/opt/my apps/Tovalin\"");
  // A literal backslash inside quotes takes four in the file.
  EXPECT_EQ(EncodeExecValue("a b\\c"), "\"a b\\\\\\\\c\"");
  EXPECT_EQ(EncodeExecValue("/x/100%"), "/x/100%%");
}

TEST(DesktopEntryTest, ReadsEntriesWrittenByOthers) {
  struct Case {
    const char* text;
    std::optional<std::string> command;
  };
  const Case cases[] = {
      {"[Desktop Entry]\nType=Application\nExec=/usr/bin/foo %u\n", "/usr/bin/foo"},
      {"[Desktop Entry]\nExec=foo --flag \"an arg\"\n", "foo --flag \"an arg\""},
      {"# comment\n[Desktop Entry]\r\nName=x\r\nExec = /a/b \r\n", "/a/b"},
      {"[Desktop Entry]\nExec=/a/b\nHidden=true\n", std::nullopt},
      {"[Desktop Entry]\nName=no exec\n", std::nullopt},
      {"[Other Group]\nExec=/not/this\n[Desktop Entry]\nType=Application\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(DesktopEntryCommand(c.text), c.command) << c.text;

  const std::string entry = DesktopEntryText("Tovalin", "/opt/my apps/Tovalin");
  EXPECT_NE(entry.find("\nName=Tovalin\n"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=\"/opt/my apps/Tovalin\"\n"), std::string::npos);
  EXPECT_EQ(DesktopEntryCommand(entry), "/opt/my apps/Tovalin");
}

class AutorunStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("tovalin-autorun-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved_ = old;
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    static int argc = 1;
    static char name[] = "test_x11";
    static char* argv[] = {name, nullptr};
    platform_ = std::make_unique<QtPlatform>(argc, argv);
  }
  void TearDown() override {
    platform_.reset();
    if (saved_) setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(root_);
  }
  std::filesystem::path Entry(const std::string& name) { return root_ / "config" / "autostart" / (name + ".desktop"); }

  std::filesystem::path root_;
  std::optional<std::string> saved_;
  std::unique_ptr<QtPlatform> platform_;
};

TEST_F(AutorunStoreTest, SetGetDeleteThroughTheAutostartFolder) {
  QtPlatform& p = *platform_;
  EXPECT_FALSE(p.AutorunOpen(false)) << "no autostart folder yet";
  EXPECT_FALSE(p.AutorunGet("Tovalin").has_value());
  EXPECT_TRUE(p.AutorunOpen(true));
  EXPECT_TRUE(std::filesystem::is_directory(root_ / "config" / "autostart"));
  EXPECT_TRUE(p.AutorunOpen(false));

  ASSERT_TRUE(p.AutorunSet("Tovalin", "/opt/my apps/Tovalin"));
  EXPECT_EQ(p.AutorunGet("Tovalin"), "/opt/my apps/Tovalin");
  std::ifstream in(Entry("Tovalin"));
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Exec=\"/opt/my apps/Tovalin\"\n"), std::string::npos) << text.str();

  // Overwriting leaves exactly one file and no temporary behind.
  ASSERT_TRUE(p.AutorunSet("Tovalin", "/usr/bin/Tovalin"));
  EXPECT_EQ(p.AutorunGet("Tovalin"), "/usr/bin/Tovalin");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(root_ / "config" / "autostart")) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);

  EXPECT_TRUE(p.AutorunDelete("Tovalin"));
  EXPECT_FALSE(std::filesystem::exists(Entry("Tovalin")));
  EXPECT_FALSE(p.AutorunGet("Tovalin").has_value());
  EXPECT_FALSE(p.AutorunDelete("Tovalin")) << "nothing left to delete";
}

TEST_F(AutorunStoreTest, NamesThatAreNotPlainFileNamesAreRefused) {
  QtPlatform& p = *platform_;
  ASSERT_TRUE(p.AutorunOpen(true));
  for (const char* bad : {"", ".", "..", "../escape", "a/b", "line\nbreak"}) {
    EXPECT_FALSE(p.AutorunSet(bad, "/bin/true")) << bad;
    EXPECT_FALSE(p.AutorunGet(bad).has_value()) << bad;
    EXPECT_FALSE(p.AutorunDelete(bad)) << bad;
  }
  EXPECT_FALSE(std::filesystem::exists(root_ / "config" / "escape.desktop"));
}

TEST_F(AutorunStoreTest, RelativeConfigHomeFallsBackToHome) {
  setenv("XDG_CONFIG_HOME", "relative/dir", 1);
  const char* home = std::getenv("HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(AutostartDirectory(), std::string(home) + "/.config/autostart");
}
