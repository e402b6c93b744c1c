// The program's own skin, as compiled into the program.
#include <gtest/gtest.h>

#include "skin/DarkMetroSkin.h"
#include "skin/SkinTestSupport.h"
#include "skin/acSkinPack.h"
#include "skin/sSkinLoader.h"
#include "skin/sSkinManager.h"

namespace tv {
namespace {

std::int32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24));
}

TEST(ProgramSkin, PackageHoldsOptionsAndFiveImagesAndEndsOnTheLastByte) {
  TReadOnlyMemoryStream blob(kDarkMetroPackage, static_cast<std::int64_t>(kDarkMetroPackageSize));
  auto reader = std::make_unique<TacSkinConvertor>();
  reader->SetSource(&blob);
  ASSERT_TRUE(TacSkinConvertor::ReadPackage(reader));
  EXPECT_EQ(blob.Position(), blob.Size());  // the sixth stream ends on the blob's last byte
  ASSERT_NE(reader->Options(), nullptr);
  EXPECT_EQ(reader->ImageTotal(), 5);

  struct Member {
    const char* name;
    bool bmp;
    int width, height;
  } expected[] = {{"BtnHuge.bmp", true, 192, 128},
                  {"Master copy.bmp", true, 400, 152},
                  {"ExtBord.png", false, 100, 80},
                  {"GlowEdit.png", false, 22, 22},
                  {"GlowH.png", false, 108, 108}};
  ASSERT_EQ(reader->Images().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    const TacImageItem& item = reader->Images()[i];
    const auto& bytes = item.Stream->Bytes();
    EXPECT_EQ(item.FileName, expected[i].name);
    EXPECT_EQ(item.IsBmp, expected[i].bmp);
    if (expected[i].bmp) {
      // 24 bits per pixel behind the 12-byte core header.
      ASSERT_GT(bytes.size(), 26u);
      EXPECT_EQ(Le32(bytes, 14), 12) << item.FileName;
      EXPECT_EQ(bytes[18] | (bytes[19] << 8), expected[i].width);
      EXPECT_EQ(bytes[20] | (bytes[21] << 8), expected[i].height);
      EXPECT_EQ(bytes[24], 24);
      auto bmp = TBitmap::ReadBmp(bytes.data(), bytes.size());
      ASSERT_TRUE(bmp) << item.FileName;
      EXPECT_EQ(bmp->Width(), expected[i].width);
    } else {
      // 8-bit RGBA: bit depth 8, colour type 6.
      ASSERT_GT(bytes.size(), 26u);
      EXPECT_EQ((bytes[16] << 24 | bytes[17] << 16 | bytes[18] << 8 | bytes[19]), expected[i].width);
      EXPECT_EQ((bytes[20] << 24 | bytes[21] << 16 | bytes[22] << 8 | bytes[23]), expected[i].height);
      EXPECT_EQ(bytes[24], 8);
      EXPECT_EQ(bytes[25], 6);
    }
  }

  // Every stream starts with 0x78 0x9C; the PNG members are stored, 11 bytes longer than their content.
  const std::vector<std::uint8_t> pkg(kDarkMetroPackage, kDarkMetroPackage + kDarkMetroPackageSize);
  std::size_t pos = 8;
  for (int m = 0; m < 6; ++m) {
    const std::size_t nameLength = static_cast<std::size_t>(Le32(pkg, pos));
    const std::string name(pkg.begin() + static_cast<std::ptrdiff_t>(pos + 4),
                           pkg.begin() + static_cast<std::ptrdiff_t>(pos + 4 + nameLength));
    const std::int32_t size = Le32(pkg, pos + 4 + nameLength);
    const std::size_t start = pos + 8 + nameLength;
    EXPECT_EQ(pkg[start], 0x78) << name;
    EXPECT_EQ(pkg[start + 1], 0x9C) << name;
    TReadOnlyMemoryStream s(pkg.data(), static_cast<std::int64_t>(pkg.size()));
    s.SetPosition(static_cast<std::int64_t>(start));
    {
      TacInflateStream in(s);
      in.Seek(0, SeekOrigin::End);
    }
    const std::size_t end = static_cast<std::size_t>(s.Position());
    if (name.size() > 4 && name.substr(name.size() - 4) == ".png") {
      EXPECT_EQ(end - start, static_cast<std::size_t>(size) + 11) << name;
    }
    pos = end;
  }
  EXPECT_EQ(pos, pkg.size());
}

class ProgramSkinLoaded : public ::testing::Test {
 protected:
  void SetUp() override {
    AddDarkMetroSkin(manager);
    manager.SetSkinDirectory("/nonexistent-skin-directory");
    EXPECT_EQ(manager.SkinInfo(), "N/A");
    manager.SetSkinName(kDarkMetroSkinName);
    ASSERT_TRUE(host.messages.empty()) << host.messages.front().first;
  }
  test::RecordingHost host;
  TsSkinManager manager;

  const TsGeneralData& Section(const char* name) {
    const int i = manager.SectionIndexOf(name);
    EXPECT_GE(i, 0) << name;
    return manager.gd().at(static_cast<std::size_t>(i));
  }
};

TEST_F(ProgramSkinLoaded, HasTheSixtyEightSectionsInOrder) {
  const char* names[] = {
      "GLOBALINFO",       "CHECKBOX",        "DIVIDER",          "EDIT",          "EXTRALINE",
      "GRIPH",            "GROUPBOX",        "HINT",             "MENULINE",      "PANEL",
      "PANEL_LOW",        "SCROLLBAR1H",     "SCROLLBAR1V",      "SCROLLBAR2H",   "SCROLLBAR2V",
      "SCROLLBTNBOTTOM",  "SCROLLBTNLEFT",   "SCROLLBTNRIGHT",   "SCROLLBTNTOP",  "SCROLLSLIDERH",
      "SCROLLSLIDERV",    "STATUSBAR",       "TRACKBAR",         "WEBBUTTON",     "RIBBONPAGE",
      "TB_TAB",           "BARPANEL",        "UPDOWNBTN",        "COLHEADER",     "GAUGE",
      "BAR",              "RIBBONTAB",       "FORMTITLE",        "FORM",          "MENUBTN",
      "SELECTION",        "MENUITEM",        "PROGRESSH",        "BUTTON",        "BUTTON_HUGE",
      "SPEEDBUTTON",      "COMBOBOX",        "MENUCAPTION",      "TB_BTN",        "TOOLBAR",
      "MAINMENU",         "TB_MENUBTN",      "DRAGBAR",          "PROGRESSV",     "ALPHAEDIT",
      "ALPHACOMBOBOX",    "BUTTON_BIG",      "SPLITTER",         "TOOLBUTTON",    "DIALOG",
      "SPEEDBUTTON_SMALL", "ICOLINE",        "TABTOP",           "BARTITLE",      "DIVIDERV",
      "RADIOBUTTON",      "PAGECONTROLRIGHT", "PAGECONTROLLEFT", "PAGECONTROLBOTTOM", "PAGECONTROL",
      "TABLEFT",          "TABBOTTOM",       "TABRIGHT"};
  ASSERT_EQ(manager.gd().size(), 68u);
  for (std::size_t i = 0; i < 68; ++i) EXPECT_EQ(manager.gd()[i].SectionName, names[i]) << i;
}

TEST_F(ProgramSkinLoaded, GlobalInfoAndSkinInfo) {
  EXPECT_EQ(manager.SkinInfo(), "8.12");
  const TsSkinData& d = manager.SkinData();
  EXPECT_EQ(d.MasterBitmap, "MASTER COPY.BMP");
  EXPECT_EQ(d.BorderWidth, 6);
  EXPECT_EQ(d.TitleHeight, 32);
  EXPECT_EQ(d.MaxHeight, 28);
  EXPECT_EQ(d.FormOffset, 15);
  EXPECT_EQ(d.BorderMode, 1);
  EXPECT_EQ(d.CenterOffset, -2);
  EXPECT_EQ(d.BISpacing, -1);
  EXPECT_EQ(d.BIRightMargin, -1);
  EXPECT_EQ(d.BILeftMargin, 1);
  EXPECT_EQ(d.BIVAlign, 1);
  EXPECT_EQ(d.Shadow1Offset, 1);
  EXPECT_EQ(d.Shadow1Blur, 3);
  EXPECT_FALSE(d.AeroBlur);
  EXPECT_EQ(manager.Palette().GlobalColor, 0x4D4D4D);
  EXPECT_EQ(manager.Palette().GlobalFontColor, 0xADADAD);
  EXPECT_EQ(manager.Palette().BorderColor, 0xCCC6B7);
  ASSERT_NE(manager.MasterBitmap(), nullptr);
  EXPECT_EQ(manager.MasterBitmap()->Width(), 400);
  EXPECT_EQ(manager.MasterBitmap()->Height(), 152);
}

TEST_F(ProgramSkinLoaded, SectionsOfTheProgramsControls) {
  const TsGeneralData& panel = Section("PANEL_LOW");
  EXPECT_EQ(panel.States, 1);
  EXPECT_EQ(panel.Props[0].Color, 0x141414);
  EXPECT_EQ(panel.Props[0].FontColor, 0xADADAD);
  EXPECT_EQ(panel.Props[1].Color, 0x141414);  // one state: the hot look is the normal one
  EXPECT_EQ(panel.Props[0].GradientPercent, 0);
  EXPECT_EQ(panel.Props[0].ImagePercent, 0);
  EXPECT_EQ(panel.Props[0].Transparency, 0);

  const TsGeneralData& button = Section("BUTTON");
  EXPECT_EQ(button.States, 3);
  EXPECT_EQ(button.Props[0].Color, 0x444444);
  EXPECT_EQ(button.Props[1].Color, 0xE2A11B);
  EXPECT_EQ(button.Props[0].FontColor, 0xADADAD);
  EXPECT_EQ(button.Props[1].FontColor, 0xFFFFFF);
  EXPECT_EQ(button.Props[0].GradientPercent, 100);
  EXPECT_EQ(button.Props[0].GradientData, "5263440;5066061;97;0;0;5066061;5066061;0;0;0");
  const std::vector<TsGradientGroup> groups{{5263440, 5066061, 97, 0}, {5066061, 5066061, 0, 0}};
  EXPECT_EQ(button.Props[0].GradientArray, groups);
  EXPECT_TRUE(button.FadingEnabled);
  EXPECT_EQ(button.FadingIterations, 10);
  EXPECT_EQ(button.Glow, 1);
  ASSERT_GE(button.BorderMask, 0);
  const TsMaskData& frame = manager.ma()[static_cast<std::size_t>(button.BorderMask)];
  EXPECT_EQ(frame.Rect, (TRect{10, 16, 19, 22}));
  EXPECT_EQ(frame.FrameCount, 3);
  EXPECT_EQ(frame.FillMode, 5);

  EXPECT_EQ(Section("TOOLBAR").Props[0].FontColor, static_cast<TColor>(0xFBF6F1));
  EXPECT_EQ(Section("GROUPBOX").Props[0].Transparency, 100);
  EXPECT_EQ(Section("CHECKBOX").Props[1].FontColor, static_cast<TColor>(0xFFBB3B));
  EXPECT_EQ(Section("CHECKBOX").Props[1].Transparency, 100);
  EXPECT_EQ(Section("SPEEDBUTTON").Props[0].Transparency, 100);
  EXPECT_EQ(Section("SPEEDBUTTON").Props[1].Transparency, 0);
  EXPECT_EQ(Section("COMBOBOX").Props[0].Color, static_cast<TColor>(0xE7DDC6));
  EXPECT_EQ(Section("COMBOBOX").Props[0].FontColor, 0);
  EXPECT_EQ(Section("FORMTITLE").Props[1].FontColor, static_cast<TColor>(0xFFBB3B));
  EXPECT_EQ(Section("MENUITEM").Props[1].GlowSize, 2);
  EXPECT_EQ(Section("MENUITEM").Props[1].GlowColor, static_cast<TColor>(0xD4A858));
  EXPECT_EQ(Section("ICOLINE").Props[0].GradientArray.front().Mode, 1);
  EXPECT_EQ(Section("ICOLINE").Props[0].GradientArray.front().Color1, 0x232323u);
  EXPECT_EQ(Section("ICOLINE").Props[0].GradientArray.front().Color2, 0x363636u);
  // Inherited through PARENTCLASS.
  EXPECT_EQ(Section("RADIOBUTTON").Props[0].Transparency, 100);
  EXPECT_EQ(Section("BUTTON_BIG").BorderMask, Section("BUTTON_HUGE").BorderMask);
}

TEST_F(ProgramSkinLoaded, SelectionKeepsBlackTextWithoutMenuItemFallback) {
  const TsGeneralData& sel = Section("SELECTION");
  EXPECT_EQ(sel.Props[0].FontColor, 0);
  EXPECT_EQ(manager.GetHighLightFontColor(false), 0);
  EXPECT_EQ(manager.GetHighLightColor(false), sel.Props[0].Color);
  EXPECT_NE(manager.GetHighLightFontColor(false), Section("MENUITEM").Props[1].FontColor);
}

TEST_F(ProgramSkinLoaded, QuotedReferencesAreWhereTheyAreQuoted) {
  auto mask = [&](const char* section, const char* key) -> const TsMaskData& {
    const int i = manager.OwnMaskIndexOf(section, key);
    EXPECT_GE(i, 0) << section << " " << key;
    return manager.ma().at(static_cast<std::size_t>(i));
  };
  EXPECT_EQ(mask("GLOBALINFO", "BOXCHECKED").Rect, (TRect{78, 17, 126, 33}));
  EXPECT_EQ(mask("COMBOBOX", "GLYPHMASK").Rect, (TRect{156, 51, 189, 71}));
  EXPECT_EQ(mask("PROGRESSH", "PATTERN").Rect, (TRect{293, 37, 323, 67}));
  EXPECT_EQ(mask("FORM", "BORDERSMASK").Rect, (TRect{1, 131, 19, 140}));
  const TsMaskData& huge = mask("BUTTON_HUGE", "BORDERSMASK");
  ASSERT_NE(huge.Image, nullptr);
  EXPECT_EQ(huge.Image->Width(), 192);
  EXPECT_EQ(huge.CornerFlag, 2);
  EXPECT_EQ(mask("GLOBALINFO", "EXBORDER").Image->Width(), 100);
  const TsMaskData& glow = mask("EDIT", "GLOW0");
  EXPECT_EQ(glow.Kind, 3);
  EXPECT_EQ(glow.Image->Width(), 22);
  EXPECT_EQ(manager.ConstData().CheckBoxChecked, manager.OwnMaskIndexOf("GLOBALINFO", "BOXCHECKED"));
  EXPECT_EQ(manager.ConstData().ComboBoxGlyph, manager.OwnMaskIndexOf("COMBOBOX", "GLYPHMASK"));
  EXPECT_GE(manager.ConstData().ScrollBtns[0].GlyphMask, 0);
  EXPECT_EQ(manager.ConstData().ComboBtn.Index, -1);  // the skin has no COMBOBTN section
  EXPECT_GE(Section("PROGRESSH").TextureMask, 0);
}

TEST_F(ProgramSkinLoaded, EveryMaskAndTextureLiesInsideItsImage) {
  const TBitmap* master = manager.MasterBitmap();
  ASSERT_NE(master, nullptr);
  ASSERT_GT(manager.ma().size(), 40u);
  for (const TsMaskData& m : manager.ma()) {
    const TBitmap* image = m.Image ? m.Image.get() : master;
    SCOPED_TRACE(m.SectionName + " " + m.KeyName);
    EXPECT_GE(m.Rect.Left, 0);
    EXPECT_GE(m.Rect.Top, 0);
    EXPECT_LE(m.Rect.Right, image->Width());
    EXPECT_LE(m.Rect.Bottom, image->Height());
    EXPECT_GT(m.Rect.Width(), 0);
    EXPECT_GT(m.Rect.Height(), 0);
    EXPECT_GE(m.FrameCount, 1);
    EXPECT_EQ(m.Rect.Width() % m.FrameCount, 0);
    const int rows = m.RowMode + 1;
    EXPECT_EQ(m.Rect.Height() % rows, 0);
    if (m.Kind == mkBorder) {
      EXPECT_LE(m.Margins[0] + m.Margins[2], MaskFrameWidth(m));
      EXPECT_LE(m.Margins[1] + m.Margins[3], MaskFrameHeight(m));
    }
  }
  EXPECT_TRUE(manager.pa().empty());
}

TEST_F(ProgramSkinLoaded, TransparentMagentaInTheMasterBitmap) {
  const TBitmap* master = manager.MasterBitmap();
  ASSERT_EQ(master->PixelFormat(), pf32bit);
  EXPECT_TRUE(master->Transparent());
  // (399, 151) is background magenta; (11, 4) the centre of the edit frame.
  EXPECT_EQ(master->ScanLine(151)[399 * 4 + 3], 0);
  EXPECT_EQ(master->ScanLine(4)[11 * 4 + 3], 255);
}

}  // namespace
}  // namespace tv
