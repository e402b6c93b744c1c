#include "skin/sSkinLoader.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "framework/graphics/TJPEGImage.h"

namespace tv {

namespace {

const std::string kGlobalInfo = "GLOBALINFO";

std::string ExtensionOf(const std::string& upperName) {
  const std::size_t dot = upperName.rfind('.');
  return dot == std::string::npos ? std::string() : upperName.substr(dot);
}

// GLOBALINFO numbers that abandon the load when they are not numbers.
std::int16_t StrictShort(const TsSkinIni& ini, const char* key, int def) {
  auto v = ini.Find(kGlobalInfo, key);
  if (!v) return static_cast<std::int16_t>(def);
  auto n = TryStrToInt(*v);
  if (!n) throw ESkinLoadError(SkinError::BadValue, "'" + *v + "' is not a valid integer value");
  return static_cast<std::int16_t>(*n);
}

std::int16_t Short(const TsSkinIni& ini, const char* key, int def) {
  return static_cast<std::int16_t>(ini.ReadInteger(kGlobalInfo, key, def));
}

}  // namespace

TColor SkinColorToRGB(int value) { return value < 0 ? GetSysColor(value & 0xFF) : value; }

TColor MixColors(TColor a, TColor b, double percentOfA) {
  auto mix = [&](int shift) {
    const double ca = (a >> shift) & 0xFF;
    const double cb = (b >> shift) & 0xFF;
    return static_cast<int>(std::lround(ca * percentOfA / 100.0 + cb * (100.0 - percentOfA) / 100.0)) & 0xFF;
  };
  return mix(0) | (mix(8) << 8) | (mix(16) << 16);
}

TColor ChangeHueSaturation(TColor color, int hue, int saturation) {
  if (hue == 0 && saturation == 0) return color;
  if (color < 0) color = SkinColorToRGB(color);
  double r = (color & 0xFF) / 255.0, g = ((color >> 8) & 0xFF) / 255.0, b = ((color >> 16) & 0xFF) / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const double l = (mx + mn) / 2;
  double h = 0, s = 0;
  if (mx != mn) {
    const double d = mx - mn;
    s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    if (mx == r)
      h = (g - b) / d + (g < b ? 6 : 0);
    else if (mx == g)
      h = (b - r) / d + 2;
    else
      h = (r - g) / d + 4;
    h *= 60;
  }
  h = std::fmod(h + hue + 360.0 * 16, 360.0);
  s = std::clamp(s * (100.0 + saturation % 101) / 100.0, 0.0, 1.0);
  auto conv = [](double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
  };
  if (s == 0) {
    r = g = b = l;
  } else {
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const double hk = h / 360;
    r = conv(p, q, hk + 1.0 / 3);
    g = conv(p, q, hk);
    b = conv(p, q, hk - 1.0 / 3);
  }
  return static_cast<int>(std::lround(r * 255)) | (static_cast<int>(std::lround(g * 255)) << 8) |
         (static_cast<int>(std::lround(b * 255)) << 16);
}

TBitmap DecodeSkinJpeg(const std::uint8_t* data, std::size_t size) {
  auto r = TJPEGImage::Decode(data, size);
  if (!r) throw ESkinLoadError(SkinError::BadImage, std::string("JPEG error: ") + JpegErrorText(r.error()));
  return std::move(r.value());
}

// ---- inherited lookups -------------------------------------------------------------------------

std::string TsSkinLoader::InheritedString(const TsSkinIni& ini, const std::string& section, const std::string& key,
                                          const std::string& def) const {
  std::set<std::string> visited{section};
  std::string current = section;
  while (true) {
    std::string v = ini.ReadString(current, key, "?");
    if (v != "?") return v;
    std::string parent = ini.ReadString(current, "PARENTCLASS", "?");
    if (parent.empty() || parent == "?" || parent == current || !visited.insert(parent).second) return def;
    current = parent;
  }
}

int TsSkinLoader::InheritedInteger(const TsSkinIni& ini, const std::string& section, const std::string& key,
                                   int def) const {
  const int own = ini.ReadInteger(section, key, -1);
  if (own != -1) return own;
  std::set<std::string> visited{section};
  std::string current = section;
  while (true) {
    std::string parent = ini.ReadString(current, "PARENTCLASS", "?");
    if (parent.empty() || parent == "?" || parent == current || !visited.insert(parent).second) return def;
    const int v = ini.ReadInteger(parent, key, -1);
    if (v != -1) return SkinColorToRGB(v);
    current = parent;
  }
}

// ---- GLOBALINFO -------------------------------------------------------------------------------

void TsSkinLoader::ReadGlobalInfo(TsSkinData& d) const {
  const TsSkinIni& ini = Ini;
  d.Version = ini.ReadFloat(kGlobalInfo, "VERSION", 0);
  d.Author = ini.ReadString(kGlobalInfo, "AUTHOR", "");
  d.Description = ini.ReadString(kGlobalInfo, "DESCRIPTION", "");
  d.MasterBitmap = ini.ReadString(kGlobalInfo, "MASTERBITMAP", "");
  d.BorderWidth = Short(ini, "BORDERWIDTH", 4);
  d.TitleHeight = Short(ini, "TITLEHEIGHT", 30);
  if (d.TitleHeight == 0) d.TitleHeight = 30;
  d.MaxHeight = Short(ini, "MAXHEIGHT", 0);
  if (d.MaxHeight == 0) d.MaxHeight = d.TitleHeight;
  d.FormOffset = Short(ini, "FORMOFFSET", 4);
  d.AlignOffset = Short(ini, "ALIGNOFFSET", 0);
  d.CenterOffset = Short(ini, "CENTEROFFSET", 0);
  d.BorderMode = Short(ini, "BORDERMODE", 0);
  d.Shadow1Color = static_cast<std::uint32_t>(ini.ReadInteger(kGlobalInfo, "SHADOW1COLOR", 0));
  d.Shadow1Offset = StrictShort(ini, "SHADOW1OFFSET", 0);
  d.Shadow1Blur = StrictShort(ini, "SHADOW1BLUR", -1);
  d.Shadow1Transparency = StrictShort(ini, "SHADOW1TRANSPARENCY", 0);
  d.BISpacing = Short(ini, "BISPACE", 0);
  d.BIVAlign = Short(ini, "BIVALIGN", 0);
  d.BIRightMargin = Short(ini, "BIRIGHT", 0);
  d.BILeftMargin = Short(ini, "BILEFT", 0);
  d.BITopMargin = Short(ini, "BITOP", 0);
  d.BIKeepHUE = Short(ini, "BIKEEPHUE", 0);
  d.BICloseGlow = StrictShort(ini, "BICONCLOSEGLOW", 0);
  d.BICloseGlowMargin = StrictShort(ini, "BICONCLOSEGLOWMARGIN", 0);
  d.BIMaxGlow = StrictShort(ini, "BICONMAXGLOW", 0);
  d.BIMaxGlowMargin = StrictShort(ini, "BICONMAXGLOWMARGIN", 0);
  d.BIMinGlow = StrictShort(ini, "BICONMINGLOW", 0);
  d.BIMinGlowMargin = StrictShort(ini, "BICONMINGLOWMARGIN", 0);
  d.AeroBlur = ini.ReadInteger(kGlobalInfo, "AEROBLUR", 0) != 0;
}

// ---- images and masks -------------------------------------------------------------------------

std::unique_ptr<TBitmap> TsSkinLoader::LoadImage(const std::string& name, double version) const {
  const std::vector<std::uint8_t>* bytes = Fetch(name, false);
  if (!bytes || bytes->empty()) return nullptr;
  const std::string ext = ExtensionOf(UpperCaseAscii(name));
  std::unique_ptr<TBitmap> bmp;
  if (ext == ".PNG") {
    bmp = std::make_unique<TBitmap>(DecodeSkinPng(bytes->data(), bytes->size(), version > 7.45));
  } else {
    auto r = TBitmap::ReadBmp(bytes->data(), bytes->size());
    if (!r) throw ESkinLoadError(SkinError::BadImage, std::string("Bitmap image is not valid: ") + BmpErrorText(r.error()));
    bmp = std::make_unique<TBitmap>(std::move(r.value()));
  }
  if (bmp->Width() == 0) return nullptr;
  if (bmp->PixelFormat() != pf32bit) MakeMasterBitmap(*bmp);
  return bmp;
}

void TsSkinLoader::LoadMasks(TsSkinTables& t) const {
  t.Masks.clear();
  t.Master.reset();
  const double version = t.SkinData.Version;
  const std::string masterName = Ini.ReadString(kGlobalInfo, "MASTERBITMAP", "");
  if (!masterName.empty()) {
    t.Master = LoadImage(masterName, version);
    if (t.Master) MakeMasterBitmap(*t.Master);
  }
  for (const TsIniSection& section : Ini.Sections()) {
    for (const TsIniEntry& entry : section.Entries) {
      if (!entry.HasValue || entry.Value.empty()) continue;
      if (section.Name == kGlobalInfo && entry.Key == "MASTERBITMAP") continue;
      auto ref = ParseMaskReference(entry.Value, section.Name, entry.Key);
      if (!ref) continue;
      TsMaskData& m = ref->Mask;
      m.Manager = Manager;
      if (ref->From == TsMaskReference::Source::Member) {
        m.Image = LoadImage(ref->ImageName, version);
        if (!m.Image) continue;
        m.Rect = {0, 0, m.Image->Width(), m.Image->Height()};
      }
      if (ref->ComputeMargins) ComputeMaskMargins(m);
      if (version < 7.4 && ref->Notation == '^' && m.RowMode > 0) {
        const bool thin = MaskFrameWidth(m) - m.Margins[0] - m.Margins[2] == 1 &&
                          MaskFrameHeight(m) - m.Margins[1] - m.Margins[3] == 1;
        m.FillMode = static_cast<std::int16_t>(thin ? (m.FillMode | fmStretch) : (m.FillMode & ~fmStretch));
      }
      const bool border = ref->Notation == '^' || ref->Notation == '#' || ref->Notation == 'B' ||
                          (ref->Notation == '!' && m.Kind == mkBorder);
      if (border) m.CornerFlag = ComputeCornerFlag(m, t.Master.get());
      t.Masks.push_back(std::move(m));
    }
  }
}

void TsSkinLoader::LoadPatterns(TsSkinTables& t) const {
  t.Patterns.clear();
  for (const TsIniSection& section : Ini.Sections()) {
    for (const TsIniEntry& entry : section.Entries) {
      if (!entry.HasValue) continue;
      const std::string upper = UpperCaseAscii(entry.Value);
      if (!IsJpegName(upper)) continue;
      const std::vector<std::uint8_t>* bytes = Fetch(entry.Value, true);
      if (!bytes || bytes->empty()) continue;
      auto jpeg = std::make_unique<TBitmap>(DecodeSkinJpeg(bytes->data(), bytes->size()));
      if (jpeg->Width() == 0) continue;
      if (static_cast<std::int64_t>(jpeg->Width()) * jpeg->Height() > 899999) {
        t.Patterns.push_back({std::move(jpeg), UpperCaseAscii(section.Name), UpperCaseAscii(entry.Key)});
        continue;
      }
      TsMaskData m;
      m.Manager = Manager;
      m.SectionName = UpperCaseAscii(section.Name);
      m.KeyName = UpperCaseAscii(entry.Key);
      m.Kind = mkTexture;
      m.FrameCount = 1;
      // The whole picture is the texture's source area.
      m.Rect = {0, 0, jpeg->Width(), jpeg->Height()};
      MakeMasterBitmap(*jpeg);
      m.Image = std::move(jpeg);
      t.Masks.push_back(std::move(m));
    }
  }
}

// ---- sections ---------------------------------------------------------------------------------

TsGeneralData TsSkinLoader::BuildSection(const TsSkinIni& ini, const std::string& name) const {
  TsGeneralData g;
  g.SectionName = name;
  g.ParentSection = ini.ReadString(name, "PARENTCLASS", "");
  auto str = [&](const char* key, const std::string& def) { return InheritedString(ini, name, key, def); };
  auto num = [&](const char* key, int def) { return InheritedInteger(ini, name, key, def); };
  auto flag = [&](const char* key) { return StrToBoolean(str(key, "0")); };
  g.GiveOwnFont = flag("GIVEOWNFONT");
  g.ReservedBoolean = flag("RESERVEDBOOLEAN");
  g.ShowFocus = flag("SHOWFOCUS");
  g.FadingEnabled = flag("FADINGENABLED");
  g.FadingIterations = num("FADINGITERATIONS", 5);
  g.Glow = num("GLOW", 0);
  g.GlowMargin = num("GLOWMARGIN", 0);

  static const char* const kKeys[2][12] = {
      {"COLOR", "FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM", "GRADIENTPERCENT", "GRADIENTDATA",
       "IMAGEPERCENT", "GCOL", "GSIZE", "TRANSPARENCY"},
      {"HOTCOLOR", "HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM", "HOTGRADIENTPERCENT",
       "HOTGRADIENTDATA", "HOTIMAGEPERCENT", "HGCOL", "HGSIZE", "HOTTRANSPARENCY"}};
  auto build = [&](int s) {
    const char* const* k = kKeys[s];
    TsGenStateValues& v = g.Values[static_cast<std::size_t>(s)];
    v.Color = num(k[0], 0xFFFFFF);
    if (s == 0) v.Color = SkinColorToRGB(v.Color);
    v.FontColor = num(k[1], 0);
    for (int i = 0; i < 4; ++i) v.TextContour[static_cast<std::size_t>(i)] = num(k[2 + i], -1);
    v.GradientPercent = num(k[6], 0);
    v.GradientData = str(k[7], " ");
    v.ImagePercent = num(k[8], 0);
    v.GlowColor = SkinColorToRGB(num(k[9], 0xFFFFFF));
    v.GlowSize = num(k[10], 0);
    v.Transparency = num(k[11], 0);

    TsGenState& st = g.Props[static_cast<std::size_t>(s)];
    st.Color = v.Color;
    st.FontColor = v.FontColor;
    st.TextContour = v.TextContour;
    st.GradientPercent = v.GradientPercent;
    st.GradientData = v.GradientData;
    if (st.GradientData.size() < 2) {
      st.GradientPercent = 0;
      st.GradientArray.clear();
    } else {
      st.GradientArray = ParseGradientData(st.GradientData);
    }
    st.ImagePercent = v.ImagePercent;
    st.TextureIndex = -1;
    st.GlowColor = v.GlowColor;
    st.GlowSize = static_cast<std::uint8_t>(v.GlowSize);
    st.Transparency = std::clamp(v.Transparency, 0, 100);
  };
  build(0);
  g.States = num("STATES", 3);
  if (g.States >= 2) {
    build(1);
  } else {
    g.Values[1] = g.Values[0];
    g.Props[1] = g.Props[0];
  }
  return g;
}

void TsSkinLoader::LoadSections(TsSkinTables& t) const {
  ReadGlobalInfo(t.SkinData);
  t.Sections.clear();
  const TsSkinIni* ini = &Ini;
  TsSkinIni merged;
  if (!CommonSections.empty()) {
    std::string text;
    for (const auto& line : CommonSections) text += line + "\r\n";
    merged = Ini;
    merged.Merge(TsSkinIni(text));
    ini = &merged;
  }
  for (const TsIniSection& section : ini->Sections()) t.Sections.push_back(BuildSection(*ini, section.Name));
  DerivePalette(t);
}

void TsSkinLoader::DerivePalette(TsSkinTables& t) const {
  TsSkinPalette& p = t.Palette;
  auto global = [&](const char* key, TColor def) {
    const int v = Ini.ReadInteger(kGlobalInfo, key, -1);
    return v == -1 ? def : SkinColorToRGB(v);
  };
  auto find = [&](const char* name) -> const TsGeneralData* {
    for (const auto& g : t.Sections)
      if (g.SectionName == name) return &g;
    return nullptr;
  };
  p.GlobalColor = global("COLOR", GetSysColor(COLOR_BTNFACE));
  p.GlobalFontColor = global("FONTCOLOR", 0);
  p.TCBottom = global("TCBOTTOM", 0xFF0000);
  p.TCTop = global("TCTOP", 0x0000FF);
  p.BorderColor = global("BORDERCOLOR", 0);
  if (const TsGeneralData* edit = find("EDIT")) {
    p.EditText = edit->Props[0].FontColor;
    p.EditBackground = edit->Props[0].Color;
  } else {
    p.EditText = GetSysColor(COLOR_WINDOWTEXT);
    p.EditBackground = GetSysColor(COLOR_WINDOW);
  }
  const TsGeneralData* sel = find("SELECTION");
  if (sel && sel->Props[0].FontColor != -1 && sel->Props[0].FontColor != 0xFF00FF) {
    for (std::size_t i = 0; i < 2; ++i) {
      p.SelectionColor[i] = sel->Props[i].Color;
      p.SelectionTextColor[i] = sel->Props[i].FontColor;
    }
  } else if (const TsGeneralData* item = find("MENUITEM")) {
    TColor text = item->Props[1].FontColor;
    if (text == -1 || text == 0xFF00FF) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    p.SelectionColor = {item->Props[1].Color, item->Props[1].Color};
    p.SelectionTextColor = {text, text};
  } else {
    p.SelectionColor = {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHT)};
    p.SelectionTextColor = {GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT)};
  }
  static const char* const kText[5] = {"EDITTEXT_OK", "EDITTEXT_WARN", "EDITTEXT_ALERT", "EDITTEXT_ALERT",
                                       "EDITTEXT_ALERT"};
  static const char* const kBg[5] = {"EDITBG_OK", "EDITBG_WARN", "EDITBG_ALERT", "EDITBG_ALERT", "EDITBG_ALERT"};
  const TsSkinPalette defaults;
  for (std::size_t i = 0; i < 5; ++i) {
    p.EditStateText[i] = global(kText[i], defaults.EditStateText[i]);
    p.EditStateBackground[i] = global(kBg[i], defaults.EditStateBackground[i]);
  }
  p.HeadingText = {global("EDITTEXT_H1", 0), global("EDITTEXT_H2", 0), global("EDITTEXT_H3", 0)};
  p.InverseText = global("EDITTEXT_INV", p.EditBackground);
  p.InverseBackground = global("EDITBG_INV", p.EditText);
  p.OddRow = global("EDITBG_ODD", p.EditBackground);
  p.EvenRow = global("EDITBG_EVEN", MixColors(p.EditText, p.EditBackground, 5));

  if (HueOffset != 0 || Saturation != 0) {
    auto shift = [&](TColor& c) { c = ChangeHueSaturation(c, HueOffset, Saturation); };
    for (auto& g : t.Sections)
      for (auto& st : g.Props) {
        shift(st.Color);
        shift(st.FontColor);
        for (auto& group : st.GradientArray) {
          TColor c1 = static_cast<TColor>(group.Color1), c2 = static_cast<TColor>(group.Color2);
          shift(c1);
          shift(c2);
          group.Color1 = static_cast<std::uint32_t>(c1);
          group.Color2 = static_cast<std::uint32_t>(c2);
        }
      }
    shift(p.GlobalColor);
    shift(p.GlobalFontColor);
    shift(p.EditText);
    shift(p.EditBackground);
    for (auto& c : p.SelectionColor) shift(c);
    for (auto& c : p.SelectionTextColor) shift(c);
  }
}

namespace {
// Hue and saturation of a 32-bit image in place.
void ShiftImage(TBitmap& bmp, int hue, int saturation, const TRect* keep, int keepCount) {
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x, p += 4) {
      bool kept = false;
      for (int k = 0; k < keepCount && !kept; ++k) kept = keep[k].Contains({x, y});
      if (kept || (p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF)) continue;
      const TColor c = ChangeHueSaturation(p[2] | (p[1] << 8) | (p[0] << 16), hue, saturation);
      p[2] = static_cast<std::uint8_t>(c & 0xFF);
      p[1] = static_cast<std::uint8_t>((c >> 8) & 0xFF);
      p[0] = static_cast<std::uint8_t>((c >> 16) & 0xFF);
    }
  }
}
}  // namespace

void TsSkinLoader::LoadAll(TsSkinTables& t) const {
  ReadGlobalInfo(t.SkinData);
  LoadMasks(t);
  LoadPatterns(t);
  if ((HueOffset != 0 || Saturation != 0) && t.Master) {
    // Title bar buttons keep their hue as BIKEEPHUE asks.
    std::vector<TRect> keep;
    const int keepHue = t.SkinData.BIKeepHUE;
    if (keepHue != 0)
      for (const auto& m : t.Masks)
        if (!m.Image && m.SectionName == kGlobalInfo &&
            (m.KeyName.rfind("BICON", 0) == 0 || m.KeyName.rfind("SICON", 0) == 0 || m.KeyName == "BICLOSEALONE") &&
            (keepHue == 1 || m.KeyName.find("CLOSE") != std::string::npos))
          keep.push_back(m.Rect);
    ShiftImage(*t.Master, HueOffset, Saturation, keep.data(), static_cast<int>(keep.size()));
    for (auto& m : t.Masks)
      if (m.Image && m.Image->PixelFormat() == pf32bit) ShiftImage(*m.Image, HueOffset, Saturation, nullptr, 0);
  }
  LoadSections(t);
}

}  // namespace tv
