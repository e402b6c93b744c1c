// The overlay, the two ways of marking a rectangle, the region and full-screen grabs and the
// hand-off to the main window, on the fake platform.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "app/ProgramFixture.h"
#include "framework/controls/TImage.h"
#include "framework/controls/TScrollBox.h"

namespace tv::testing {
namespace {

namespace fs = std::filesystem;
using platform::MouseButton;

constexpr TColor kSilver = 0xC0C0C0;
constexpr TColor kKeyGrey = 0x808080;

::testing::AssertionResult PictureIsPattern(const TBitmap& pic, int left, int top, int width, int height) {
  if (pic.Width() != width || pic.Height() != height)
    return ::testing::AssertionFailure() << "picture is " << pic.Width() << " x " << pic.Height() << ", expected "
                                         << width << " x " << height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (pic.PixelColor(x, y) != PatternColor(left + x, top + y))
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is not the screen's ("
                                             << left + x << ", " << top + y << ")";
  return ::testing::AssertionSuccess();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Capture : public ProgramFixture {
 protected:
  // The grab ended well: the picture is the screen's (left, top, width, height), the overlay is
  // gone, the main window is in front with the scroll panel focused, no file of the grab is left.
  void ExpectHandedOff(int left, int top, int width, int height) {
    EXPECT_TRUE(PictureIsPattern(Form1->Picture(), left, top, width, height));
    EXPECT_TRUE(OverlayHidden);
    EXPECT_FALSE(Form2->Visible());
    EXPECT_TRUE(Form1->Visible());
    EXPECT_EQ(fake->ActiveWindow(), Form1->Handle());
    EXPECT_EQ(Form1->ActiveControl(), Form1->sScrollBox1);
    EXPECT_EQ(Form1->sScrollBox1->HorzScrollBar().Range(), width);
    EXPECT_EQ(Form1->sScrollBox1->VertScrollBar().Range(), height);
    EXPECT_EQ(Form1->Image1->Width(), width);
    EXPECT_EQ(Form1->Image1->Height(), height);
    EXPECT_TRUE(WorkFiles().empty()) << "left behind: " << ::testing::PrintToString(WorkFiles());
    EXPECT_TRUE(errors.empty()) << errors.front();
  }

  // Records the working directory's files at the moment the overlay hides.
  void WatchHide() {
    auto previous = Form2->OnHide;
    Form2->OnHide = [this, previous](TObject* sender) {
      filesAtHide = WorkFiles();
      styleAtHide = Form2->FormStyle();
      pictureWidthAtHide = Form1->Picture().Width();
      if (previous) previous(sender);
    };
  }

  // Records, when the error box shows, whether the overlay still shows and which files exist.
  void WatchErrors() {
    app->SetExceptionPresenter([this](const std::string& text) {
      errors.push_back(text);
      overlayShownAtError.push_back(Form2->Visible());
      filesAtError.push_back(WorkFiles());
    });
  }

  std::vector<std::string> filesAtHide;
  TFormStyle styleAtHide = fsNormal;
  int pictureWidthAtHide = -1;
  std::vector<bool> overlayShownAtError;
  std::vector<std::vector<std::string>> filesAtError;
};

TEST_F(Capture, TheOverlayIsAStayOnTopSilverLayerOverThePrimaryScreen) {
  PressHotKey();
  ASSERT_TRUE(Form2->Visible());
  EXPECT_FALSE(OverlayHidden);
  EXPECT_EQ(Form2->Caption(), "ScreenWindow");
  EXPECT_EQ(Form2->BorderStyle(), bsNone);
  EXPECT_TRUE(Form2->AlphaBlend());
  EXPECT_EQ(Form2->AlphaBlendValue(), 150);
  EXPECT_TRUE(Form2->TransparentColor());
  EXPECT_EQ(Form2->TransparentColorValue(), kKeyGrey);
  EXPECT_EQ(Form2->Color(), kSilver);
  EXPECT_EQ(Form2->FormStyle(), fsStayOnTop);
  EXPECT_FALSE(Form2->Dragging);
  EXPECT_FALSE(Form2->Selected);

  const auto* w = fake->Window(Form2->Handle());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->geometry, (platform::Rect{0, 0, kScreenWidth, kScreenHeight}));
  EXPECT_EQ(w->title, "ScreenWindow");
  EXPECT_TRUE(w->borderless);
  EXPECT_TRUE(w->stayOnTop);
  EXPECT_EQ(w->alpha, 150);
  EXPECT_EQ(w->colorKey, std::optional<TColor>(kKeyGrey));
  EXPECT_EQ(fake->ActiveWindow(), Form2->Handle());
  for (auto [x, y] : {std::pair{0, 0}, {kScreenWidth - 1, kScreenHeight - 1}, {320, 240}})
    EXPECT_EQ(PresentedPixel(Form2->Handle(), x, y), kSilver) << x << ", " << y;
}

TEST_F(Capture, TheOverlayCoversTheScreenAgainAfterTheScreenChanged) {
  PressHotKey();
  PressHotKey();
  fake->SetScreenImage(PatternScreen(800, 600));
  PressHotKey();
  EXPECT_EQ(fake->Window(Form2->Handle())->geometry, (platform::Rect{0, 0, 800, 600}));
  EXPECT_EQ(Form2->ClientWidth(), 800);
  EXPECT_EQ(Form2->ClientHeight(), 600);
}

TEST_F(Capture, ADragGrabsTheRectangleAndHandsItToTheMainWindow) {
  PressHotKey();
  WatchHide();
  OverlayDrag(100, 100, 300, 250);
  ExpectHandedOff(100, 100, 200, 150);
  ASSERT_EQ(fake->GrabRects().size(), 1u);
  EXPECT_EQ(fake->GrabRects()[0], (platform::Rect{100, 100, 300, 250}));
  // The overlay hides after the picture is loaded and before the files are deleted.
  EXPECT_EQ(filesAtHide, (std::vector<std::string>{"screenshot1.bmp", "screenshot1.jpg"}));
  EXPECT_EQ(pictureWidthAtHide, 200);
  EXPECT_EQ(styleAtHide, fsStayOnTop);
}

TEST_F(Capture, EveryDragDirectionGrabsTheSameRectangle) {
  struct Case {
    const char* name;
    int x1, y1, x2, y2;
  };
  for (const Case& c : {Case{"top-left to bottom-right", 40, 30, 140, 90}, Case{"bottom-right to top-left", 140, 90, 40, 30},
                        Case{"top-right to bottom-left", 140, 30, 40, 90}, Case{"bottom-left to top-right", 40, 90, 140, 30}}) {
    SCOPED_TRACE(c.name);
    PressHotKey();
    OverlayDrag(c.x1, c.y1, c.x2, c.y2);
    ExpectHandedOff(40, 30, 100, 60);
    EXPECT_EQ(fake->GrabRects().back(), (platform::Rect{40, 30, 140, 90}));
  }
}

TEST_F(Capture, ClickMoveAndClickAgainGrabs) {
  PressHotKey();
  OverlayClick(100, 100);
  EXPECT_TRUE(Form2->Visible());
  OverlayMove(200, 170);
  OverlayMove(300, 250);
  EXPECT_EQ(fake->GrabCount(), 0);
  OverlayClick(300, 250);
  ExpectHandedOff(100, 100, 200, 150);
}

TEST_F(Capture, ASingleClickNeitherGrabsNorHides) {
  PressHotKey();
  OverlayClick(50, 60);
  OverlayClick(50, 60);
  EXPECT_TRUE(Form2->Visible());
  EXPECT_FALSE(OverlayHidden);
  EXPECT_EQ(fake->GrabCount(), 0);
  EXPECT_FALSE(Form2->Selected);
  // The release keeps the rubber band alive: it follows the pointer without a button held.
  EXPECT_TRUE(Form2->Dragging);
  EXPECT_TRUE(errors.empty());
  OverlayMove(90, 100);
  EXPECT_TRUE(Form2->Selected);
  EXPECT_EQ(PresentedPixel(Form2->Handle(), 70, 80), clWhite);
  EXPECT_EQ(PresentedPixel(Form2->Handle(), 45, 55), kSilver);
  EXPECT_EQ(PresentedPixel(Form2->Handle(), 95, 105), kSilver);
  // Above and left of the start the band is the same white rectangle, the old one erased.
  OverlayMove(20, 30);
  EXPECT_EQ(PresentedPixel(Form2->Handle(), 35, 45), clWhite);
  EXPECT_EQ(PresentedPixel(Form2->Handle(), 70, 80), kSilver);
  EXPECT_EQ(PresentedPixel(Form2->Handle(), 15, 25), kSilver);
}

TEST_F(Capture, APressInsideAnExistingRectangleDoesNotRestartIt) {
  PressHotKey();
  OverlayClick(50, 60);
  OverlayMove(150, 160);
  OverlayDown(100, 100);  // inside the rectangle
  EXPECT_EQ(SelStartX, 50);
  EXPECT_EQ(SelStartY, 60);
  // The end corner follows the pointer until the click.
  OverlayMove(200, 210);
  EXPECT_EQ(fake->GrabCount(), 0);
  OverlayUp(200, 210);
  ExpectHandedOff(50, 60, 150, 150);
}

TEST_F(Capture, OnlyALeftClickGrabs) {
  PressHotKey();
  OverlayDown(100, 100, MouseButton::Right);
  OverlayMove(180, 150);
  OverlayUp(180, 150, MouseButton::Right);
  EXPECT_TRUE(Form2->Visible());
  EXPECT_EQ(fake->GrabCount(), 0);
  EXPECT_TRUE(Form2->Selected);
  OverlayMove(220, 230);
  OverlayClick(220, 230);
  ExpectHandedOff(100, 100, 120, 130);
}

TEST_F(Capture, TheOverlayIsFullyTransparentWhenTheScreenIsGrabbed) {
  PressHotKey();
  bool checked = false;
  fake->SetGrabObserver([&](const platform::Rect&) {
    checked = true;
    EXPECT_EQ(Form2->Color(), kKeyGrey);
    EXPECT_EQ(Form2->TransparentColorValue(), kKeyGrey);
    // The rubber band is painted over with the key colour too.
    for (auto [x, y] : {std::pair{0, 0}, {150, 150}, {kScreenWidth - 1, kScreenHeight - 1}})
      EXPECT_EQ(Form2->BackBuffer().PixelColor(x, y), kKeyGrey) << x << ", " << y;
  });
  OverlayDrag(100, 100, 300, 250);
  EXPECT_TRUE(checked);
  // The overlay is not in the picture: it is the screen's own pixels.
  ExpectHandedOff(100, 100, 200, 150);
  // The next show is silver again.
  PressHotKey();
  EXPECT_EQ(Form2->Color(), kSilver);
  EXPECT_EQ(PresentedPixel(Form2->Handle(), 150, 150), kSilver);
}

TEST_F(Capture, KeysOnTheOverlayDoNothing) {
  PressHotKey();
  OverlayClick(100, 100);
  OverlayMove(150, 140);
  for (UINT key : {VK_ESCAPE, VK_RETURN, VK_SPACE, VK_TAB, VK_DELETE, UINT('A'), VK_F4}) {
    SCOPED_TRACE(key);
    fake->KeyDown(Form2->Handle(), key);
    fake->KeyUp(Form2->Handle(), key);
    app->ProcessMessages();
    EXPECT_TRUE(Form2->Visible());
    EXPECT_FALSE(OverlayHidden);
    EXPECT_TRUE(Form2->Selected);
    EXPECT_TRUE(Form2->Dragging);
  }
  fake->KeyDown(Form2->Handle(), VK_F4, platform::kAlt);
  app->ProcessMessages();
  EXPECT_TRUE(Form2->Visible());
  EXPECT_EQ(fake->GrabCount(), 0);
  OverlayClick(150, 140);
  ExpectHandedOff(100, 100, 50, 40);
}

class FullScreenCapture : public Capture {
 protected:
  void BeforeForms() override { fake->SetScreenImage(PatternScreen(1920, 1080)); }
};

TEST_F(FullScreenCapture, ASecondPressGrabsTheWholeScreenAndIgnoresADrawnRectangle) {
  PressHotKey();
  OverlayClick(100, 100);
  OverlayMove(300, 250);
  ASSERT_TRUE(Form2->Selected);
  WatchHide();
  PressHotKey();
  ExpectHandedOff(0, 0, 1920, 1080);
  ASSERT_EQ(fake->GrabRects().size(), 1u);
  EXPECT_EQ(fake->GrabRects()[0], (platform::Rect{0, 0, 1920, 1080}));
  // Back from stay-on-top before it hides.
  EXPECT_EQ(styleAtHide, fsNormal);
  EXPECT_FALSE(fake->Window(Form2->Handle())->stayOnTop);
  EXPECT_EQ(filesAtHide, (std::vector<std::string>{"screenshot1.bmp", "screenshot1.jpg"}));
  // The next press shows the overlay on top again.
  PressHotKey();
  EXPECT_TRUE(Form2->Visible());
  EXPECT_EQ(Form2->FormStyle(), fsStayOnTop);
  EXPECT_TRUE(fake->Window(Form2->Handle())->stayOnTop);
}

TEST_F(Capture, StaleFilesPushTheGrabToTheNextFreeNumberAndAreLeftAlone) {
  struct Case {
    std::vector<std::string> stale;
    int expected;
  };
  for (const Case& c : {Case{{"screenshot1.jpg"}, 2}, Case{{"screenshot1.jpg", "screenshot2.jpg"}, 3},
                        Case{{"screenshot2.jpg"}, 1}, Case{{"screenshot1.bmp"}, 2}}) {
    SCOPED_TRACE(::testing::PrintToString(c.stale));
    for (const auto& name : c.stale) WriteFile(name, "stale " + name);
    PressHotKey();
    WatchHide();
    OverlayDrag(10, 10, 60, 50);
    const std::string n = std::to_string(c.expected);
    std::vector<std::string> during = c.stale;
    during.push_back("screenshot" + n + ".bmp");
    during.push_back("screenshot" + n + ".jpg");
    std::sort(during.begin(), during.end());
    EXPECT_EQ(filesAtHide, during);
    EXPECT_TRUE(PictureIsPattern(Form1->Picture(), 10, 10, 50, 40));
    EXPECT_EQ(WorkFiles(), c.stale);
    for (const auto& name : c.stale) {
      EXPECT_EQ(ReadFile(name), "stale " + name);
      fs::remove(name);
    }
    EXPECT_TRUE(errors.empty());
  }
}

TEST_F(Capture, EveryGrabStartsTheSearchAgainAndLeavesNoFile) {
  for (int i = 0; i < 3; ++i) {
    PressHotKey();
    WatchHide();
    if (i == 1) {
      PressHotKey();
    } else {
      OverlayDrag(5, 5, 25, 35);
    }
    EXPECT_EQ(filesAtHide, (std::vector<std::string>{"screenshot1.bmp", "screenshot1.jpg"}));
    EXPECT_TRUE(WorkFiles().empty());
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(Capture, AnEmptyRectangleEndsInTheErrorBoxAndTheNextPressWorks) {
  struct Case {
    const char* name;
    int x1, y1, x2, y2;
  };
  WatchErrors();
  for (const Case& c : {Case{"no height", 100, 100, 300, 100}, Case{"no width", 120, 80, 120, 200}}) {
    SCOPED_TRACE(c.name);
    errors.clear();
    overlayShownAtError.clear();
    PressHotKey();
    const int grabs = fake->GrabCount();
    OverlayDrag(c.x1, c.y1, c.x2, c.y2);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_FALSE(overlayShownAtError[0]) << "the overlay hides before the error box shows";
    // The user is not left behind the overlay, and nothing of the grab stays.
    EXPECT_FALSE(Form2->Visible());
    EXPECT_TRUE(OverlayHidden);
    EXPECT_EQ(fake->GrabCount(), grabs);
    EXPECT_TRUE(WorkFiles().empty());
    errors.clear();
    PressHotKey();
    EXPECT_TRUE(Form2->Visible());
    OverlayDrag(30, 40, 90, 70);
    ExpectHandedOff(30, 40, 60, 30);
  }
}

TEST_F(Capture, AnUnwritableWorkingDirectoryEndsInTheErrorBoxAndTheProgramGoesOn) {
  PressHotKey();
  OverlayDrag(10, 20, 110, 70);
  ExpectHandedOff(10, 20, 100, 50);

  // Nothing can be created in a directory that no longer exists, not even by root.
  const fs::path gone = workDir / "gone";
  fs::create_directory(gone);
  fs::current_path(gone);
  fs::remove(gone);

  WatchErrors();
  PressHotKey();
  OverlayDrag(100, 100, 300, 250);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(overlayShownAtError[0]);
  EXPECT_NE(errors[0].find("screenshot1.jpg"), std::string::npos) << errors[0];
  EXPECT_FALSE(Form2->Visible());
  EXPECT_TRUE(OverlayHidden);
  EXPECT_TRUE(PictureIsPattern(Form1->Picture(), 10, 20, 100, 50)) << "the previous picture stays";

  // The full-screen grab fails the same way and also leaves the overlay a normal window.
  PressHotKey();
  PressHotKey();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_FALSE(overlayShownAtError[1]);
  EXPECT_FALSE(Form2->Visible());
  EXPECT_EQ(Form2->FormStyle(), fsNormal);
  EXPECT_TRUE(PictureIsPattern(Form1->Picture(), 10, 20, 100, 50));

  // Once the directory is usable again, the next press works and starts from N = 1.
  fs::current_path(workDir);
  errors.clear();
  PressHotKey();
  EXPECT_TRUE(Form2->Visible());
  WatchHide();
  OverlayDrag(100, 100, 300, 250);
  EXPECT_EQ(filesAtHide, (std::vector<std::string>{"screenshot1.bmp", "screenshot1.jpg"}));
  ExpectHandedOff(100, 100, 200, 150);
}

TEST_F(Capture, AGrabThatFailsHalfwayRemovesItsFilesBeforeTheErrorShows) {
  PressHotKey();
  OverlayDrag(10, 20, 110, 70);
  ExpectHandedOff(10, 20, 100, 50);
  WatchErrors();

  // Files may grow to 60000 bytes: the JPEG of 200 x 150 pixels fits, its 90054-byte BMP does not.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 60000;
  auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  PressHotKey();
  WatchHide();
  OverlayDrag(100, 100, 300, 250);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);

  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("screenshot1.bmp"), std::string::npos) << errors[0];
  EXPECT_FALSE(overlayShownAtError[0]);
  EXPECT_TRUE(filesAtError[0].empty()) << ::testing::PrintToString(filesAtError[0]);
  EXPECT_TRUE(WorkFiles().empty());
  EXPECT_TRUE(PictureIsPattern(Form1->Picture(), 10, 20, 100, 50)) << "the previous picture stays";

  // The next grab searches again and works.
  errors.clear();
  PressHotKey();
  OverlayDrag(100, 100, 300, 250);
  EXPECT_EQ(filesAtHide, (std::vector<std::string>{"screenshot1.bmp", "screenshot1.jpg"}));
  ExpectHandedOff(100, 100, 200, 150);
}

}  // namespace
}  // namespace tv::testing
