#include "skin/sSkinManager.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <set>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/MessageWindow.h"
#include "framework/Screen.h"
#include "framework/dialogs/Dialogs.h"
#include "platform/Platform.h"
#include "skin/sSkinLoader.h"

namespace tv {

namespace fs = std::filesystem;

namespace {

TsSkinManager* g_defaultManager = nullptr;
int g_loadingCount = 0;
bool g_diagnostics = false;

const char* const kNewerSkinWarning =
    "This skin was made for a newer version of the skin engine than this program supports.\n"
    "Please update the components to use it.";
const char* const kOutdatedSkinNotice = "This skin was made for an outdated version of the skin engine.";

struct LoadingFlag {
  LoadingFlag() { ++g_loadingCount; }
  ~LoadingFlag() { --g_loadingCount; }
};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string ToSlashes(std::string s) {
  std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

std::string WithSeparator(std::string s) {
  if (!s.empty() && !IsSeparator(s.back())) s += '/';
  return s;
}

std::string DefaultProgramDirectory() {
  std::string exe;
  if (platform::HasPlatform()) exe = platform::GetPlatform().ExecutablePath();
  if (exe.empty()) {
    std::error_code ec;
    exe = fs::read_symlink("/proc/self/exe", ec).string();
  }
  return WithSeparator(fs::path(exe).parent_path().string());
}

std::string ProgramDirectory() {
  if (SkinHost().ProgramDirectory) return WithSeparator(ToSlashes(SkinHost().ProgramDirectory()));
  return DefaultProgramDirectory();
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// Skin folders written for Windows name their files in any case: fall back to a case-blind match.
std::string FindFileIgnoringCase(const std::string& path) {
  if (FileExists(path)) return path;
  const fs::path p(path);
  std::error_code ec;
  const std::string wanted = UpperCaseAscii(p.filename().string());
  for (fs::directory_iterator it(p.parent_path(), ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec) && UpperCaseAscii(it->path().filename().string()) == wanted) return it->path().string();
  return {};
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
  TMemoryStream s;
  try {
    s.LoadFromFile(path);
  } catch (const Exception&) {
    return std::nullopt;
  }
  return std::move(s.Bytes());
}

// A modal box with an OK button: kind 0 error, 1 warning, 2 information.
void ShowSkinMessage(const std::string& text, int kind) {
  if (SkinHost().ShowMessage) {
    SkinHost().ShowMessage(text, kind);
  } else if (Application) {
    const UINT icon = kind == 0 ? MB_ICONERROR : kind == 1 ? MB_ICONWARNING : MB_ICONINFORMATION;
    MessageBox(text, Application->Title(), MB_OK | icon);
  }
}

// Depth first: each control, then its children; windowed ones by a sent message, the others by a
// direct call of their window procedure.
void SendToControls(TWinControl* parent, TMessage& message) {
  std::vector<TControl*> children;
  for (int i = 0; i < parent->ControlCount(); ++i) children.push_back(parent->Controls(i));
  std::vector<ComponentGuard> guards(children.begin(), children.end());
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (!guards[i]) continue;
    TControl* c = children[i];
    if (c->IsWindowed()) {
      SendMessage(static_cast<TWinControl*>(c)->Handle(), message.Msg, message.WParam, message.LParam);
    } else {
      TMessage copy = message;
      c->WindowProc()(copy);
    }
    if (guards[i] && c->IsWindowed()) SendToControls(static_cast<TWinControl*>(c), message);
  }
}

void BroadcastToForms(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!Screen) return;
  std::vector<TForm*> forms;
  for (int i = 0; i < Screen->FormCount(); ++i) forms.push_back(Screen->Forms(i));
  std::vector<ComponentGuard> guards(forms.begin(), forms.end());
  for (std::size_t i = 0; i < forms.size(); ++i) {
    if (!guards[i] || forms[i]->HasState(csLoading | csDestroying)) continue;
    SendMessage(forms[i]->Handle(), msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    if (guards[i]) SendToControls(forms[i], message);
  }
}

}  // namespace

TsSkinHost& SkinHost() {
  static TsSkinHost host;
  return host;
}

void TacThirdPartyList::FillDefaults() {
  auto fill = [](std::string& list, const char* def) {
    if (list.empty()) list = def;
  };
  fill(ThirdEdits, "TEdit\r\nTMemo\r\nTMaskEdit\r\nTLabeledEdit\r\nTRichEdit\r\nTHotKey\r\nTListBox\r\nTCheckListBox\r\n"
                   "TDBEdit\r\nTDBMemo\r\nTDBListBox\r\nTDBLookupListBox\r\nTDBRichEdit\r\nTDBCtrlGrid");
  fill(ThirdButtons, "TButton");
  fill(ThirdBitBtns, "TBitBtn");
  fill(ThirdCheckBoxes, "TCheckBox\r\nTRadioButton\r\nTDBCheckBox\r\nTGroupButton");
  fill(ThirdGroupBoxes, "TGroupBox\r\nTRadioGroup\r\nTDBRadioGroup");
  fill(ThirdListViews, "TListView");
  fill(ThirdPanels, "TPanel\r\nTDBNavigator\r\nTGridPanel\r\nTFlowPanel");
  fill(ThirdGrids, "TStringGrid\r\nTDrawGrid\r\nTDBGrid");
  fill(ThirdTreeViews, "TTreeView");
  fill(ThirdComboBoxes, "TComboBox\r\nTColorBox\r\nTDBComboBox\r\nTDBLookupComboBox\r\nTComboBoxEx");
  fill(ThirdWWEdits, " ");
  fill(ThirdVirtualTrees, " ");
  fill(ThirdGridEh, " ");
  fill(ThirdPageControl, "TPageControl");
  fill(ThirdTabControl, "TTabControl");
  fill(ThirdToolBar, "TToolBar");
  fill(ThirdStatusBar, "TStatusBar");
  fill(ThirdSpeedButton, "TSpeedButton");
  fill(ThirdScrollControl, "TScrollBox\r\nTDBCtrlPanel");
  fill(ThirdUpDown, "TUpDown\r\nTSpinButton");
  fill(ThirdScrollBar, "TScrollBar");
}

// ---- life ------------------------------------------------------------------------------------

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner) {
  if (!g_defaultManager) g_defaultManager = this;
  internalSkins_.OnChange = [this](TsStoredSkins*) {
    RaiseEvent(OnSkinListChanged, this);
  };
  thirdParty_.FillDefaults();
  ResolveDirectory();
}

TsSkinManager::~TsSkinManager() {
  internalSkins_.OnChange = nullptr;
  if (!sections_.empty()) Broadcast(AC_REMOVESKIN);
  if (g_defaultManager == this) g_defaultManager = nullptr;
}

TsSkinManager* TsSkinManager::DefaultManager() { return g_defaultManager; }
bool TsSkinManager::SkinLoading() { return g_loadingCount > 0; }
void TsSkinManager::SetDiagnostics(bool on) { g_diagnostics = on; }

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (skinDirectory_.empty()) skinDirectory_ = "c:\\Skins";
  ResolveDirectory();
  thirdParty_.FillDefaults();
  if (menuSupport_.IcoLineSkin.empty()) menuSupport_.IcoLineSkin = "ICOLINE";
  if (active_ && !skinName_.empty()) {
    ApplySkin();
    RaiseEvent(OnActivate, this);
  }
}

// ---- properties ------------------------------------------------------------------------------

void TsSkinManager::SetActive(bool value) {
  if (value) {
    active_ = true;
    SetSkinName(skinName_);
    return;
  }
  if (!active_) return;
  active_ = false;
  if (!skinName_.empty()) RemoveSkin();
}

void TsSkinManager::SetSkinName(const std::string& value) {
  if (!active_) {
    skinName_ = value;
    return;
  }
  const std::string previous = skinName_;
  skinName_ = value;
  RaiseEvent(OnBeforeChange, this);
  skinData_.Active = false;
  LoadSkin(previous);
}

void TsSkinManager::SetSkinDirectory(const std::string& value) {
  skinDirectory_ = value;
  ResolveDirectory();
  RaiseEvent(OnSkinListChanged, this);
}

void TsSkinManager::ResolveDirectory() {
  const std::string& d = skinDirectory_;
  std::string r;
  if (d.rfind("..", 0) == 0) {
    const fs::path parent = fs::path(ProgramDirectory()).parent_path().parent_path();
    std::string rest = d.substr(2);
    while (!rest.empty() && IsSeparator(rest.front())) rest.erase(0, 1);
    r = WithSeparator(parent.string()) + rest;
  } else if (d.size() >= 2 && d[0] == '.' && IsSeparator(d[1])) {
    r = ProgramDirectory() + d.substr(2);
  } else if (d.find(':') == std::string::npos && d.find('\\') == std::string::npos && d.find('/') == std::string::npos) {
    r = ProgramDirectory() + d;
  } else {
    r = d;
  }
  r = ToSlashes(r);
  if (r.size() == 1 && r != "/") r += ":";
  resolvedDirectory_ = WithSeparator(r);
}

std::string TsSkinManager::SkinInfo() const {
  if (!skinData_.Active) return "N/A";
  char buf[32];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, skinData_.Version);
  return ec == std::errc() ? std::string(buf, p) : std::string("N/A");
}

std::string TsSkinManager::Version() const { return "1.0"; }

void TsSkinManager::SetIsDefault(bool value) {
  if (!value || g_defaultManager == this) return;
  g_defaultManager = this;
  if (active_ && !sections_.empty())
    ApplySkin();
  else
    RemoveSkin();
}

void TsSkinManager::SetHueOffset(int value) {
  if (value == hueOffset_) return;
  hueOffset_ = value;
  if (active_ && !Loading()) {
    LoadSkin(skinName_);
    RepaintForms();
  }
}

void TsSkinManager::SetSaturation(int value) {
  if (value == saturation_) return;
  saturation_ = value;
  if (active_ && !Loading()) {
    LoadSkin(skinName_);
    RepaintForms();
  }
}

// ---- loading ---------------------------------------------------------------------------------

void TsSkinManager::LoadSkin(const std::string& previousName) {
  LoadingFlag flag;
  if (skinName_.size() > 4 && UpperCaseAscii(skinName_.substr(skinName_.size() - 4)) == ".MVK")
    skinName_.erase(skinName_.size() - 4);
  ResolveDirectory();

  try {
    std::unique_ptr<TacSkinConvertor> reader;
    std::string optionsText;
    bool haveOptions = false;
    std::string newSkinPath;
    bool folder = false;

    const std::string packed = resolvedDirectory_ + skinName_ + ".mvk";
    if (FileExists(packed)) {
      auto r = TacSkinConvertor::LoadPackageFile(packed, reader, true);
      if (!r) throw ESkinLoadError(r.error().code, r.error().message);
      newSkinPath = resolvedDirectory_;
    } else if (newSkinPath = resolvedDirectory_ + skinName_ + "/"; FileExists(newSkinPath + "Options.dat")) {
      folder = true;
      auto bytes = ReadWholeFile(newSkinPath + "Options.dat");
      if (!bytes) throw ESkinLoadError(SkinError::ReadError, "Cannot open file \"" + newSkinPath + "Options.dat\"");
      optionsText.assign(bytes->begin(), bytes->end());
      haveOptions = true;
    } else {
      newSkinPath.clear();
      int index = internalSkins_.IndexOf(skinName_);
      if (index < 0) {
        if (internalSkins_.Count() == 0) {
          SetActive(false);
          return;
        }
        index = 0;
        skinName_ = internalSkins_.Items(0).Name();
      }
      TsStoredSkin& stored = internalSkins_.Items(index);
      if (stored.Data().Size() == 0) {
        SetActive(false);
        return;
      }
      reader = std::make_unique<TacSkinConvertor>();
      reader->SetSource(&stored.Data());
      auto r = TacSkinConvertor::ReadPackage(reader);
      if (!r) throw ESkinLoadError(r.error().code, r.error().message);
      reader->DetachSource();
    }
    if (reader && reader->Options()) {
      const auto& bytes = reader->Options()->Bytes();
      optionsText.assign(bytes.begin(), bytes.end());
      haveOptions = true;
    }
    if (!haveOptions) {
      // Nothing to read the skin from: stay off, as with no stored skin at all.
      SetActive(false);
      return;
    }

    TsSkinIni ini(optionsText);
    std::map<std::string, std::vector<std::uint8_t>> files;
    TsSkinLoader loader{ini, nullptr, this, hueOffset_, saturation_, commonSections_};
    loader.Fetch = [&](const std::string& name, bool wholeUpper) -> const std::vector<std::uint8_t>* {
      if (!folder) {
        if (!reader) return nullptr;
        TMemoryStream* s = reader->ImageStream(wholeUpper ? UpperCaseAscii(name) : name);
        return s ? &s->Bytes() : nullptr;
      }
      const bool full = name.find(':') != std::string::npos || (!name.empty() && IsSeparator(name.front()));
      const std::string path = FindFileIgnoringCase(full ? ToSlashes(name) : newSkinPath + ToSlashes(name));
      if (path.empty()) return nullptr;
      auto it = files.find(path);
      if (it == files.end()) {
        auto bytes = ReadWholeFile(path);
        if (!bytes) return nullptr;
        it = files.emplace(path, std::move(*bytes)).first;
      }
      return &it->second;
    };

    TsSkinTables tables;
    loader.ReadGlobalInfo(tables.SkinData);
    const double version = tables.SkinData.Version;
    if (version > 8.99) {
      ShowSkinMessage(kNewerSkinWarning, 1);
    } else if (version < 7 && g_diagnostics) {
      ShowSkinMessage(kOutdatedSkinNotice, 2);
    }
    loader.LoadAll(tables);

    skinData_ = tables.SkinData;
    skinData_.Active = false;
    sections_ = std::move(tables.Sections);
    masks_ = std::move(tables.Masks);
    patterns_ = std::move(tables.Patterns);
    master_ = std::move(tables.Master);
    palette_ = tables.Palette;
    skinPath_ = newSkinPath;

    // Per-section masks and textures, with inheritance.
    for (int i = 0; i < static_cast<int>(sections_.size()); ++i) {
      TsGeneralData& g = sections_[static_cast<std::size_t>(i)];
      if (g.SectionName == "GLOBALINFO") continue;
      g.BorderMask = MaskIndexOf(i, g.SectionName, "BORDERSMASK");
      static const char* const kCorners[4] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
      for (std::size_t c = 0; c < 4; ++c) g.CornerMasks[c] = MaskIndexOf(i, g.SectionName, kCorners[c]);
      g.TextureMask = TextureIndexOf(i, g.SectionName, "PATTERN");
      g.Props[0].TextureIndex = g.TextureMask;
      if (g.States > 1) {
        g.HotTextureMask = TextureIndexOf(i, g.SectionName, "HOTPATTERN");
        g.Props[1].TextureIndex = g.HotTextureMask;
      } else {
        g.Props[1].TextureIndex = g.TextureMask;
      }
    }
    UpdateConstData();
  } catch (const ESkinLoadError& e) {
    skinName_ = previousName;
    ShowSkinMessage(e.what(), 0);
  } catch (const Exception& e) {
    skinName_ = previousName;
    ShowSkinMessage(e.what(), 0);
  }

  if (active_) {
    ApplySkin();
    if (!Loading()) RaiseEvent(OnActivate, this);
  } else {
    RemoveSkin();
    RaiseEvent(OnActivate, this);
  }
  RaiseEvent(OnAfterChange, this);
}

void TsSkinManager::ApplySkin() {
  if (Loading()) return;
  UpdateConstData();
  skinData_.Active = false;
  Broadcast(AC_SETNEWSKIN);
  skinData_.Active = !sections_.empty();
  Broadcast(AC_PREPARING);
  Broadcast(AC_REFRESH);
}

void TsSkinManager::RemoveSkin() {
  if (!Loading()) Broadcast(AC_REMOVESKIN);
  sections_.clear();
  masks_.clear();
  patterns_.clear();
  master_.reset();
  skinData_.Active = false;
  UpdateConstData();
  RaiseEvent(OnDeactivate, this);
}

void TsSkinManager::SendNewSkin() { ApplySkin(); }
void TsSkinManager::SendRemoveSkin() { Broadcast(AC_REMOVESKIN); }
void TsSkinManager::RepaintForms() { Broadcast(AC_REFRESH); }

void TsSkinManager::Broadcast(int command) {
  const LPARAM self = reinterpret_cast<LPARAM>(this);
  if (SkinHost().Broadcast)
    SkinHost().Broadcast(SM_ALPHACMD, MakeAlphaCmd(command), self);
  else
    BroadcastToForms(SM_ALPHACMD, MakeAlphaCmd(command), self);
}

// ---- lookups ---------------------------------------------------------------------------------

int TsSkinManager::SectionIndexOf(const std::string& name) const {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < sections_.size(); ++i)
    if (sections_[i].SectionName == name) return static_cast<int>(i);
  return -1;
}

namespace {
template <class Table, class Accept>
int SearchWithParents(const TsSkinManager& m, const TsGeneralDataArray& sections, const Table& table,
                      int sectionIndex, std::string sectionName, const std::string& key, Accept accept) {
  std::set<std::string> visited;
  while (true) {
    for (std::size_t i = 0; i < table.size(); ++i)
      if (table[i].SectionName == sectionName && table[i].KeyName == key && accept(table[i]))
        return static_cast<int>(i);
    if (sectionIndex < 0 || sectionIndex >= static_cast<int>(sections.size())) return -1;
    visited.insert(sectionName);
    const std::string parent = sections[static_cast<std::size_t>(sectionIndex)].ParentSection;
    if (parent.empty() || parent == sectionName || visited.count(parent)) return -1;
    sectionIndex = m.SectionIndexOf(parent);
    if (sectionIndex < 0) return -1;
    sectionName = parent;
  }
}
}  // namespace

int TsSkinManager::MaskIndexOf(int sectionIndex, const std::string& sectionName, const std::string& key) const {
  return SearchWithParents(*this, sections_, masks_, sectionIndex, sectionName, key, [](const TsMaskData&) { return true; });
}

int TsSkinManager::OwnMaskIndexOf(const std::string& sectionName, const std::string& key) const {
  return MaskIndexOf(-1, sectionName, key);
}

int TsSkinManager::TextureIndexOf(int sectionIndex, const std::string& sectionName, const std::string& key) const {
  return SearchWithParents(*this, sections_, masks_, sectionIndex, sectionName, key,
                           [](const TsMaskData& m) { return m.Kind == mkTexture; });
}

int TsSkinManager::PatternIndexOf(int sectionIndex, const std::string& sectionName, const std::string& key) const {
  return SearchWithParents(*this, sections_, patterns_, sectionIndex, sectionName, key,
                           [](const TsPatternData&) { return true; });
}

void TsSkinManager::UpdateConstData() {
  TsConstData c;
  c.IndexGlobalInfo = SectionIndexOf("GLOBALINFO");
  if (!sections_.empty()) {
    auto gi = [&](const char* key) { return MaskIndexOf(c.IndexGlobalInfo, "GLOBALINFO", key); };
    c.CheckBoxChecked = gi("BOXCHECKED");
    c.CheckBoxUnChecked = gi("BOXUNCHECKED");
    c.CheckBoxGrayed = gi("BOXGRAYED");
    c.RadioButtonChecked = gi("RADIOCHECKED");
    c.RadioButtonUnChecked = gi("RADIOUNCHECKED");
    c.RadioButtonGrayed = gi("RADIOGRAYED");
    c.SmallCheckBoxChecked = gi("SMALLCHECKED");
    c.SmallCheckBoxUnChecked = gi("SMALLUNCHECKED");
    c.SmallCheckBoxGrayed = gi("SMALLGRAYED");
    c.GripImage = gi("GRIPIMAGE");
    c.GripHorizontal = gi("GRIPHORZ");
    c.GripVertical = gi("GRIPVERT");
    static const char* const kTitle[11] = {"BICONCLOSE", "BICLOSEALONE", "BICONMAX",  "BICONNORM",
                                           "BICONMIN",   "BICONHELP",    "SICONCLOSE", "SICONMAX",
                                           "SICONNORM",  "SICONMIN",     "SICONHELP"};
    for (std::size_t i = 0; i < 11; ++i) c.TitleButtons[i] = gi(kTitle[i]);

    auto section = [&](const std::string& name, bool glyph) {
      TsSkinSectionMasks s;
      s.Index = SectionIndexOf(name);
      if (s.Index < 0) return s;
      s.BorderMask = MaskIndexOf(s.Index, name, "BORDERSMASK");
      if (glyph) s.GlyphMask = MaskIndexOf(s.Index, name, "GLYPHMASK");
      s.Texture = TextureIndexOf(s.Index, name, "PATTERN");
      s.HotTexture = TextureIndexOf(s.Index, name, "HOTPATTERN");
      return s;
    };
    c.ComboBtn = section("COMBOBTN", false);
    c.ComboBoxGlyph = MaskIndexOf(SectionIndexOf("COMBOBOX"), "COMBOBOX", "GLYPHMASK");
    static const char* const kTabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    for (std::size_t i = 0; i < 4; ++i) {
      c.Tabs[i].Index = SectionIndexOf(kTabs[i]);
      if (c.Tabs[i].Index >= 0) c.Tabs[i].BorderMask = MaskIndexOf(c.Tabs[i].Index, kTabs[i], "BORDERSMASK");
    }
    static const char* const kBtns[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
    for (std::size_t i = 0; i < 4; ++i) c.ScrollBtns[i] = section(kBtns[i], true);
    c.ScrollSliderV = section("SCROLLSLIDERV", true);
    c.ScrollSliderH = section("SCROLLSLIDERH", true);
    static const char* const kBars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (std::size_t i = 0; i < 4; ++i) c.ScrollBars[i] = section(kBars[i], false);
    c.IndexWebButton = SectionIndexOf("WEBBUTTON");
    if (extendedBorders_) c.ExBorder = gi("EXBORDER");
  }
  constData_ = c;
}

// ---- measurements ----------------------------------------------------------------------------

namespace {
bool Valid(const TsMaskArray& masks, int i) { return i >= 0 && i < static_cast<int>(masks.size()); }
}  // namespace

int TsSkinManager::WidthOfImage(int i) const { return Valid(masks_, i) ? MaskFrameWidth(masks_[static_cast<std::size_t>(i)]) : 0; }
int TsSkinManager::HeightOfImage(int i) const { return Valid(masks_, i) ? MaskFrameHeight(masks_[static_cast<std::size_t>(i)]) : 0; }
int TsSkinManager::MaskWidthLeft(int i) { return Valid(masks_, i) ? MaskLeftMargin(masks_[static_cast<std::size_t>(i)]) : 0; }
int TsSkinManager::MaskWidthTop(int i) const { return Valid(masks_, i) ? MaskTopMargin(masks_[static_cast<std::size_t>(i)]) : 0; }
int TsSkinManager::MaskWidthRight(int i) const { return Valid(masks_, i) ? MaskRightMargin(masks_[static_cast<std::size_t>(i)]) : 0; }
int TsSkinManager::MaskWidthBottom(int i) const { return Valid(masks_, i) ? MaskBottomMargin(masks_[static_cast<std::size_t>(i)]) : 0; }

std::string TsSkinManager::GetSkinNames(std::vector<std::string>& names) const {
  names.clear();
  for (int i = 0; i < internalSkins_.Count(); ++i) names.push_back(internalSkins_.Items(i).Name());
  std::error_code ec;
  for (fs::directory_iterator it(resolvedDirectory_, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (it->is_directory(ec) && FileExists((p / "Options.dat").string()))
      names.push_back(p.filename().string());
    else if (it->is_regular_file(ec) && UpperCaseAscii(p.extension().string()) == ".MVK")
      names.push_back(p.stem().string());
  }
  const std::string first = names.empty() ? std::string() : names.front();
  std::sort(names.begin(), names.end());
  return first;
}

}  // namespace tv
