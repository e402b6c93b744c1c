#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "framework/graphics/TJPEGImage.h"
#include "skin/SkinTestSupport.h"
#include "skin/sSkinLoader.h"
#include "skin/sSkinManager.h"

namespace tv {
namespace {

using test::AddStoredSkin;
using test::Bytes;
using test::PackageMember;

const std::string kBasic =
    "[GLOBALINFO]\r\nVERSION=8.12\r\nCOLOR=5066061\r\n"
    "[EDIT]\r\nCOLOR=255\r\nFONTCOLOR=65280\r\n"
    "[SELECTION]\r\nSTATES=2\r\nCOLOR=100\r\nHOTCOLOR=200\r\nFONTCOLOR=300\r\nHOTFONTCOLOR=400\r\n";

class SkinManagerTest : public ::testing::Test {
 protected:
  SkinManagerTest() { SkinHost().ProgramDirectory = [] { return std::string("/opt/tovalin/bin/"); }; }
  test::RecordingHost host;
  TsSkinManager manager;

  const TsGeneralData& Section(const char* name) {
    const int i = manager.SectionIndexOf(name);
    EXPECT_GE(i, 0) << name;
    return manager.gd().at(static_cast<std::size_t>(std::max(i, 0)));
  }
};

TEST_F(SkinManagerTest, MvkExtensionIsStrippedFromTheName) {
  AddStoredSkin(manager, "Dark", kBasic);
  manager.SetSkinName("Dark.MVK");
  EXPECT_EQ(manager.SkinName(), "Dark");
  EXPECT_EQ(manager.SkinInfo(), "8.12");
  manager.SetSkinName(".mvk");  // not longer than 4 characters: kept, and unknown
  EXPECT_EQ(manager.SkinName(), "Dark");
}

TEST_F(SkinManagerTest, EmptyCollectionSwitchesTheManagerOff) {
  int deactivated = 0;
  manager.OnDeactivate = [&](TObject*) { ++deactivated; };
  manager.SetSkinName("Anything");
  EXPECT_FALSE(manager.Active());
  EXPECT_EQ(manager.SkinInfo(), "N/A");
  EXPECT_EQ(deactivated, 1);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SkinManagerTest, UnknownNameTakesTheFirstStoredSkin) {
  AddStoredSkin(manager, "First", kBasic);
  AddStoredSkin(manager, "Second", "[GLOBALINFO]\r\nVERSION=8.5\r\n");
  manager.SetSkinName("No such skin");
  EXPECT_EQ(manager.SkinName(), "First");
  EXPECT_EQ(manager.SkinInfo(), "8.12");
  manager.SetSkinName("Second");
  EXPECT_EQ(manager.SkinInfo(), "8.5");
}

TEST_F(SkinManagerTest, StoredSkinWithoutDataOrOptionsLeavesTheManagerOff) {
  manager.InternalSkins().Add().SetName("Empty");
  manager.SetSkinName("Empty");
  EXPECT_FALSE(manager.Active());

  TsSkinManager other;
  auto bytes = test::BuildPackage({{"image.bmp", test::BmpBytes(2, 2, 0)}});
  TsStoredSkin& s = other.InternalSkins().Add();
  s.SetName("NoOptions");
  s.SetData(bytes.data(), bytes.size());
  other.SetSkinName("NoOptions");
  EXPECT_FALSE(other.Active());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SkinManagerTest, BrokenSkinShowsTheErrorAndKeepsThePreviousNameAndTables) {
  AddStoredSkin(manager, "Good", kBasic);
  manager.SetSkinName("Good");
  ASSERT_EQ(manager.gd().size(), 3u);
  TsStoredSkin& bad = manager.InternalSkins().Add();
  bad.SetName("Bad");
  bad.SetData("not a package", 13);
  AddStoredSkin(manager, "BadNumber", "[GLOBALINFO]\r\nSHADOW1OFFSET=one\r\n");
  AddStoredSkin(manager, "BadMask", "[GLOBALINFO]\r\n[BUTTON]\r\nBORDERSMASK=^0010^00x6\r\n");

  struct Case {
    const char* name;
    const char* message;
  } cases[] = {{"Bad", "Loaded data is not a packed Murvane file"},
               {"BadNumber", "'one' is not a valid integer value"},
               {"BadMask", ""}};
  for (const auto& c : cases) {
    host.messages.clear();
    manager.SetSkinName(c.name);
    EXPECT_EQ(manager.SkinName(), "Good") << c.name;
    ASSERT_EQ(host.messages.size(), 1u) << c.name;
    if (*c.message) {
      EXPECT_EQ(host.messages[0].first, c.message);
    }
    EXPECT_EQ(host.messages[0].second, 0);  // an error box
    EXPECT_EQ(manager.gd().size(), 3u) << c.name;
    EXPECT_EQ(manager.SkinInfo(), "8.12");
    EXPECT_TRUE(manager.Active());
  }
  EXPECT_EQ(bad.Data().Size(), 13);  // the borrowed source is untouched
}

TEST_F(SkinManagerTest, InheritanceThroughParentClass) {
  AddStoredSkin(manager, "S",
                "[GLOBALINFO]\r\n"
                "[BASE]\r\nCOLOR=255\r\nHOTCOLOR=-2147483632\r\nFONTCOLOR=-2147483640\r\nSTATES=2\r\nGRADIENTDATA=1;2;3;0;0\r\nGRADIENTPERCENT=50\r\n"
                "[CHILD]\r\nPARENTCLASS=BASE\r\nCOLOR=-1\r\nTRANSPARENCY=abc\r\n"
                "[SELF]\r\nPARENTCLASS=SELF\r\n"
                "[A]\r\nPARENTCLASS=B\r\n"
                "[B]\r\nPARENTCLASS=A\r\n"
                "[ONE]\r\nPARENTCLASS=BASE\r\nSTATES=1\r\nHOTCOLOR=65280\r\n"
                "[SHORT]\r\nGRADIENTDATA=x\r\nGRADIENTPERCENT=80\r\n");
  manager.SetSkinName("S");
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].first;

  const TsGeneralData& child = Section("CHILD");
  EXPECT_EQ(child.ParentSection, "BASE");
  EXPECT_EQ(child.Props[0].Color, 255);                                // COLOR=-1 is not set: inherited
  EXPECT_EQ(child.Props[1].Color, GetSysColor(COLOR_BTNSHADOW));       // clBtnShadow, converted
  EXPECT_EQ(child.Props[0].FontColor, GetSysColor(COLOR_WINDOWTEXT));  // converted when inherited
  EXPECT_EQ(Section("BASE").Props[0].FontColor, clWindowText);        // not converted where it is set
  EXPECT_EQ(child.Props[0].Transparency, 0);                           // not a number: not set, default
  EXPECT_EQ(child.States, 2);
  EXPECT_EQ(child.Props[0].GradientPercent, 50);
  EXPECT_EQ(child.Props[0].GradientArray.size(), 1u);

  for (const char* loop : {"SELF", "A", "B"}) {
    const TsGeneralData& g = Section(loop);
    EXPECT_EQ(g.Props[0].Color, 0xFFFFFF) << loop;
    EXPECT_EQ(g.States, 3) << loop;
    EXPECT_EQ(g.Props[0].TextContour[0], -1) << loop;
  }

  const TsGeneralData& one = Section("ONE");
  EXPECT_EQ(one.States, 1);
  EXPECT_EQ(one.Props[1].Color, one.Props[0].Color);  // STATES=1: the hot look is the normal one
  EXPECT_EQ(one.Props[1].Color, 255);

  EXPECT_EQ(Section("SHORT").Props[0].GradientPercent, 0);  // gradient data under 2 characters
  EXPECT_TRUE(Section("SHORT").Props[0].GradientArray.empty());
}

TEST_F(SkinManagerTest, PaletteFallbacks) {
  struct Case {
    const char* what;
    std::string options;
    TColor selection, selectionText, editText, editBackground;
  } cases[] = {
      {"own selection", kBasic, 100, 300, 65280, 255},
      {"menu item instead",
       "[GLOBALINFO]\r\n[MENUITEM]\r\nSTATES=2\r\nHOTCOLOR=77\r\nHOTFONTCOLOR=88\r\n", 77, 88,
       GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)},
      {"menu item with magenta text",
       "[GLOBALINFO]\r\n[SELECTION]\r\nFONTCOLOR=16711935\r\n[MENUITEM]\r\nSTATES=2\r\nHOTCOLOR=77\r\nHOTFONTCOLOR=16711935\r\n",
       77, GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)},
      {"system colours", "[GLOBALINFO]\r\n", GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
       GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)},
  };
  for (const auto& c : cases) {
    TsSkinManager m;
    AddStoredSkin(m, "S", c.options);
    m.SetSkinName("S");
    EXPECT_EQ(m.GetHighLightColor(false), c.selection) << c.what;
    EXPECT_EQ(m.GetHighLightColor(true), c.what == std::string("own selection") ? 200 : c.selection) << c.what;
    EXPECT_EQ(m.GetHighLightFontColor(false), c.selectionText) << c.what;
    EXPECT_EQ(m.GetActiveEditFontColor(), c.editText) << c.what;
    EXPECT_EQ(m.GetActiveEditColor(), c.editBackground) << c.what;
  }
  TsSkinManager m;
  AddStoredSkin(m, "S", "[GLOBALINFO]\r\nEDITTEXT_ALERT=5\r\n[EDIT]\r\nCOLOR=0\r\nFONTCOLOR=16777215\r\n");
  m.SetSkinName("S");
  const TsSkinPalette& p = m.Palette();
  EXPECT_EQ(p.GlobalColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(p.TCBottom, 0xFF0000);
  EXPECT_EQ(p.TCTop, 0x0000FF);
  EXPECT_EQ(p.EditStateText, (std::array<TColor, 5>{0x008000, 0x008484, 5, 5, 5}));
  EXPECT_EQ(p.EditStateBackground[4], 0x4AB28F);
  EXPECT_EQ(p.InverseText, 0);
  EXPECT_EQ(p.InverseBackground, 0xFFFFFF);
  EXPECT_EQ(p.OddRow, 0);
  EXPECT_EQ(p.EvenRow, 0x0D0D0D);  // 5 % of white into black
}

TEST_F(SkinManagerTest, AppliesWithCommandsAndDefersWhileLoading) {
  AddStoredSkin(manager, "S", kBasic);
  int activated = 0, after = 0;
  manager.OnActivate = [&](TObject*) { ++activated; };
  manager.OnAfterChange = [&](TObject*) { ++after; };
  manager.BeginLoading();
  manager.SetSkinName("S");
  EXPECT_TRUE(host.commands.empty());
  EXPECT_EQ(manager.SkinInfo(), "N/A");
  EXPECT_EQ(activated, 0);
  manager.EndLoading();
  EXPECT_EQ(host.commands, (std::vector<int>{AC_SETNEWSKIN, AC_PREPARING, AC_REFRESH}));
  EXPECT_EQ(activated, 1);
  EXPECT_EQ(after, 1);
  EXPECT_EQ(manager.SkinInfo(), "8.12");
  EXPECT_EQ(manager.MenuSupport().IcoLineSkin, "ICOLINE");

  host.commands.clear();
  manager.SetActive(false);
  EXPECT_EQ(host.commands, (std::vector<int>{AC_REMOVESKIN}));
  EXPECT_EQ(manager.SkinInfo(), "N/A");
  EXPECT_TRUE(manager.gd().empty());
  EXPECT_EQ(manager.ConstData().IndexGlobalInfo, -1);
  host.commands.clear();
  manager.SetActive(true);
  EXPECT_EQ(host.commands, (std::vector<int>{AC_SETNEWSKIN, AC_PREPARING, AC_REFRESH}));
  EXPECT_EQ(manager.SkinInfo(), "8.12");
}

TEST_F(SkinManagerTest, VersionChecks) {
  struct Case {
    const char* version;
    bool diagnostics;
    std::size_t messages;
  } cases[] = {{"9.0", false, 1}, {"8.99", false, 0}, {"7", false, 0}, {"6.9", false, 0}, {"6.9", true, 1}};
  for (const auto& c : cases) {
    TsSkinManager::SetDiagnostics(c.diagnostics);
    TsSkinManager m;
    host.messages.clear();
    AddStoredSkin(m, "S", std::string("[GLOBALINFO]\r\nVERSION=") + c.version + "\r\n");
    m.SetSkinName("S");
    EXPECT_EQ(host.messages.size(), c.messages) << c.version;
    EXPECT_TRUE(m.Active());
  }
  TsSkinManager::SetDiagnostics(false);
}

TEST_F(SkinManagerTest, SkinDirectoryRules) {
  struct Case {
    const char* value;
    const char* resolved;
  } cases[] = {{"Skins", "/opt/tovalin/bin/Skins/"},
               {".\\Skins", "/opt/tovalin/bin/Skins/"},
               {"./Skins/", "/opt/tovalin/bin/Skins/"},
               {"..\\Skins", "/opt/tovalin/Skins/"},
               {"../share/skins", "/opt/tovalin/share/skins/"},
               {"/usr/share/tovalin/skins", "/usr/share/tovalin/skins/"},
               {"c:\\Skins", "c:/Skins/"},
               {"c:\\Skins\\", "c:/Skins/"},
               {"d", "/opt/tovalin/bin/d/"}};
  int changes = 0;
  manager.OnSkinListChanged = [&](TObject*) { ++changes; };
  for (const auto& c : cases) {
    manager.SetSkinDirectory(c.value);
    EXPECT_EQ(manager.SkinsDirectory(), c.resolved) << c.value;
  }
  EXPECT_EQ(changes, 9);
  EXPECT_EQ(TsSkinManager().SkinDirectory(), "c:\\Skins");
}

class SkinFilesTest : public SkinManagerTest {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("tovalin-skin-files-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "Folder skin");
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  static void Write(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream(bytes).SaveToFile(p.string());
  }
  std::filesystem::path dir;
};

TEST_F(SkinFilesTest, PackedFileThenFolderThenStoredSkin) {
  AddStoredSkin(manager, "Folder skin", "[GLOBALINFO]\r\nVERSION=7.5\r\n");
  const std::string folderOptions =
      "[GLOBALINFO]\r\nVERSION=8.1\r\nMASTERBITMAP=MASTER.BMP\r\n[BUTTON]\r\nBORDERSMASK=FRAME.BMP\r\n";
  Write(dir / "Folder skin" / "Options.dat", Bytes(folderOptions));
  Write(dir / "Folder skin" / "Master.bmp", test::BmpBytes(40, 20, 0x101010));
  Write(dir / "Folder skin" / "frame.BMP", test::BmpBytes(9, 6, 0x202020));
  manager.SetSkinDirectory((dir.string() + "\\"));
  manager.SetSkinName("Folder skin");
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].first;
  EXPECT_EQ(manager.SkinInfo(), "8.1");
  EXPECT_EQ(manager.SkinPath(), dir.string() + "/Folder skin/");
  ASSERT_NE(manager.MasterBitmap(), nullptr);
  EXPECT_EQ(manager.MasterBitmap()->Width(), 40);
  const int frame = manager.OwnMaskIndexOf("BUTTON", "BORDERSMASK");
  ASSERT_GE(frame, 0);
  EXPECT_EQ(manager.ma()[static_cast<std::size_t>(frame)].Rect, (TRect{0, 0, 9, 6}));
  EXPECT_EQ(manager.ma()[static_cast<std::size_t>(frame)].Margins[0], 1);

  // A packed file of the same name wins over the folder.
  Write(dir / "Folder skin.mvk", test::BuildPackage({{"Options.dat", Bytes("[GLOBALINFO]\r\nVERSION=8.2\r\n")}}));
  manager.SetSkinName("Folder skin.mvk");
  EXPECT_EQ(manager.SkinName(), "Folder skin");
  EXPECT_EQ(manager.SkinInfo(), "8.2");
  EXPECT_EQ(manager.SkinPath(), dir.string() + "/");

  std::vector<std::string> names;
  EXPECT_EQ(manager.GetSkinNames(names), "Folder skin");
  EXPECT_EQ(names, (std::vector<std::string>{"Folder skin", "Folder skin", "Folder skin"}));

  std::filesystem::remove(dir / "Folder skin.mvk");
  std::filesystem::remove(dir / "Folder skin" / "Options.dat");
  manager.SetSkinName("Folder skin");
  EXPECT_EQ(manager.SkinInfo(), "7.5");
  EXPECT_EQ(manager.SkinPath(), "");
}

std::vector<std::uint8_t> JpegBytes(int w, int h) {
  TBitmap picture(w, h, pf24bit);
  auto bytes = TJPEGImage::Encode(picture, 75);
  EXPECT_TRUE(bytes);
  return bytes ? bytes.value() : std::vector<std::uint8_t>{};
}

TEST_F(SkinManagerTest, JpegTexturesBecomeMasksUnderNineHundredThousandPixels) {
  AddStoredSkin(manager, "S",
                "[GLOBALINFO]\r\n[PANEL]\r\nPATTERN=small.jpg\r\nHOTPATTERN=BIG.JPEG\r\nSTATES=2\r\n"
                "GLOW0=!GLOWEDIT.JPG!1!0!3\r\n[Other]\r\nPATTERN=MISSING.JPG\r\n",
                {{"SMALL.JPG", JpegBytes(999, 900)}, {"big.jpeg", JpegBytes(1000, 900)}});
  manager.SetSkinName("S");
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].first;
  ASSERT_EQ(manager.pa().size(), 1u);
  EXPECT_EQ(manager.pa()[0].SectionName, "PANEL");
  EXPECT_EQ(manager.pa()[0].KeyName, "HOTPATTERN");
  EXPECT_EQ(manager.pa()[0].Image->Width(), 1000);
  EXPECT_EQ(manager.PatternIndexOf(manager.SectionIndexOf("PANEL"), "PANEL", "HOTPATTERN"), 0);

  const int texture = manager.TextureIndexOf(manager.SectionIndexOf("PANEL"), "PANEL", "PATTERN");
  ASSERT_GE(texture, 0);
  const TsMaskData& m = manager.ma()[static_cast<std::size_t>(texture)];
  EXPECT_EQ(m.Kind, mkTexture);
  EXPECT_EQ(m.FrameCount, 1);
  EXPECT_EQ(m.Image->Width(), 999);
  EXPECT_EQ(m.Image->PixelFormat(), pf32bit);
  EXPECT_EQ(Section("PANEL").TextureMask, texture);
  EXPECT_EQ(Section("PANEL").Props[0].TextureIndex, texture);
  EXPECT_EQ(Section("PANEL").HotTextureMask, -1);
  EXPECT_EQ(manager.ma().size(), 1u);  // the ".JPG" glow is no mask, and no pattern either
}

TEST_F(SkinManagerTest, MasterBitmapNameAndMaskImagesAndInheritedMasks) {
  const auto master = test::BmpBytes(30, 12, 0x202020, {{{29, 11}, 0xFF00FF}, {{0, 0}, 0xFE00FF}});
  struct Case {
    const char* masterName;
    bool found;
  } cases[] = {{"MASTER COPY.BMP", true}, {"Master copy.bmp", false}};
  for (const auto& c : cases) {
    TsSkinManager m;
    AddStoredSkin(m, "S",
                  std::string("[GLOBALINFO]\r\nVERSION=7.3\r\nMASTERBITMAP=") + c.masterName +
                      "\r\n[BASE]\r\nBORDERSMASK=^0000^0000^0030^0012^0000^0000^0000^0000^3^1^0^0\r\n"
                      "CORNER=^0000^0000^0010^0012^0002^0002^0002^0002^1^0^0^0\r\n"
                      "[KID]\r\nPARENTCLASS=BASE\r\n[X]\r\nPARENTCLASS=Y\r\n[Y]\r\nPARENTCLASS=X\r\n",
                  {{"Master copy.bmp", master}});
    m.SetSkinName("S");
    ASSERT_TRUE(host.messages.empty()) << host.messages[0].first;
    EXPECT_EQ(m.MasterBitmap() != nullptr, c.found) << c.masterName;
    if (!c.found) continue;
    const TBitmap& b = *m.MasterBitmap();
    EXPECT_EQ(b.ScanLine(11)[29 * 4 + 3], 0);
    EXPECT_EQ(b.ScanLine(0)[3], 255);
    const int base = m.OwnMaskIndexOf("BASE", "BORDERSMASK");
    ASSERT_GE(base, 0);
    const TsMaskData& frame = m.ma()[static_cast<std::size_t>(base)];
    // Computed margins: 30 / (3 * 3) and 12 / (2 * 3); a frame 10 wide minus 3 + 3 is not 1: fill
    // bit 0 is cleared for a skin older than 7.4.
    EXPECT_EQ(frame.Margins[0], 3);
    EXPECT_EQ(frame.Margins[1], 2);
    EXPECT_EQ(frame.FillMode, 0);
    EXPECT_EQ(frame.CornerFlag, 0);  // the magenta pixel is in the third frame
    const int corner = m.OwnMaskIndexOf("BASE", "CORNER");
    EXPECT_EQ(m.ma()[static_cast<std::size_t>(corner)].CornerFlag, 0);
    // KID inherits BASE's frame; X and Y point at each other and find nothing.
    EXPECT_EQ(m.gd()[static_cast<std::size_t>(m.SectionIndexOf("KID"))].BorderMask, base);
    EXPECT_EQ(m.MaskIndexOf(m.SectionIndexOf("X"), "X", "BORDERSMASK"), -1);
    EXPECT_EQ(m.OwnMaskIndexOf("KID", "BORDERSMASK"), -1);
    EXPECT_EQ(m.WidthOfImage(base), 10);
    EXPECT_EQ(m.HeightOfImage(base), 6);
    EXPECT_EQ(m.MaskWidthLeft(base), 3);
    EXPECT_EQ(m.MaskWidthBottom(base), 2);
    EXPECT_EQ(m.WidthOfImage(-1), 0);
  }
}

TEST_F(SkinManagerTest, CommonSectionsReplaceAndAppend) {
  AddStoredSkin(manager, "S", "[GLOBALINFO]\r\n[PANEL]\r\nCOLOR=1\r\nFONTCOLOR=2\r\n");
  manager.CommonSections() = {"[PANEL]", "COLOR=10", "[EXTRA]", "STATES=1"};
  manager.SetSkinName("S");
  ASSERT_EQ(manager.gd().size(), 3u);
  EXPECT_EQ(Section("PANEL").Props[0].Color, 10);
  EXPECT_EQ(Section("PANEL").Props[0].FontColor, 2);
  EXPECT_EQ(manager.gd()[2].SectionName, "EXTRA");
  EXPECT_EQ(Section("EXTRA").Props[0].Color, 0xFFFFFF);
}

TEST_F(SkinManagerTest, DefaultManagerIsTheFirstOne) {
  TsSkinManager second;
  EXPECT_TRUE(manager.IsDefault());
  EXPECT_FALSE(second.IsDefault());
  second.SetIsDefault(true);
  EXPECT_TRUE(second.IsDefault());
  EXPECT_FALSE(manager.IsDefault());
  manager.SetIsDefault(true);
}

}  // namespace
}  // namespace tv

namespace tv {
namespace {

TEST_F(SkinManagerTest, HueOffsetReloadsWithShiftedColoursAndImages) {
  AddStoredSkin(manager, "S",
                "[GLOBALINFO]\r\nVERSION=8\r\nMASTERBITMAP=M.BMP\r\nCOLOR=255\r\n[PANEL]\r\nCOLOR=255\r\nFONTCOLOR=16711935\r\n",
                {{"m.bmp", test::BmpBytes(2, 1, 0x0000FF, {{{1, 0}, 0xFF00FF}})}});
  manager.SetSkinName("S");
  int changes = 0;
  manager.OnAfterChange = [&](TObject*) { ++changes; };
  host.commands.clear();
  manager.SetHueOffset(120);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(host.commands.back(), AC_REFRESH);
  EXPECT_EQ(Section("PANEL").Props[0].Color, 0x00FF00);      // red turned green
  EXPECT_EQ(Section("PANEL").Props[0].FontColor, 0x00FFFF);  // magenta turned yellow
  EXPECT_EQ(manager.Palette().GlobalColor, 0x00FF00);
  const TBitmap* master = manager.MasterBitmap();
  ASSERT_NE(master, nullptr);
  EXPECT_EQ(master->PixelColor(0, 0), 0x00FF00);
  EXPECT_EQ(master->PixelColor(1, 0), 0xFF00FF);  // the transparent key stays
  manager.SetHueOffset(0);
  EXPECT_EQ(Section("PANEL").Props[0].Color, 255);
  EXPECT_EQ(ChangeHueSaturation(0x336699, 0, 0), 0x336699);
  EXPECT_EQ(ChangeHueSaturation(0x808080, 0, -100), 0x808080);
}

}  // namespace
}  // namespace tv
