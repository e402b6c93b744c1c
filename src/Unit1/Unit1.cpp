#include "Unit1/Unit1.h"

#include <array>

#include "Unit2/Unit2.h"
#include "controls/sColorSelect.h"
#include "framework/Application.h"
#include "framework/controls/TButton.h"
#include "framework/controls/TCheckBox.h"
#include "framework/controls/TComboBox.h"
#include "framework/controls/TGroupBox.h"
#include "framework/controls/TImage.h"
#include "framework/controls/TLabel.h"
#include "framework/controls/TScrollBox.h"
#include "framework/controls/TToolBar.h"
#include "framework/dialogs/TSaveDialog.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"
#include "framework/graphics/TImageList.h"
#include "net/ServiceContract.h"
#include "platform/Platform.h"

namespace tv {

bool OverlayHidden = true;
std::int32_t StrokeCount = 0;
std::int32_t UndoCount = 0;
bool StartupCheckDone = false;
bool UpdatePending = false;
std::uint16_t HotKeyCode = 0;

TForm1* Form1 = nullptr;

namespace {

struct HotKeyName {
  const char* name;
  std::uint16_t vk;
};
constexpr std::array<HotKeyName, 11> kHotKeys{{
    {"F4", 115}, {"F5", 116}, {"F6", 117}, {"F7", 118}, {"F8", 119}, {"F9", 120},
    {"F10", 121}, {"F11", 122}, {"F12", 123}, {"Scr Lk", 145}, {"Pause", 19},
}};
constexpr int kDefaultHotKeyIndex = 3;  // F7

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* c = Create<T>(owner);
  c->SetName(name);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

TToolButton* AddToolButton(TForm1* form, TToolBar* bar, const char* name, const char* caption,
                           TToolButtonStyle style, int width) {
  auto* b = Create<TToolButton>(form);
  b->SetName(name);
  b->SetStyle(style);
  if (caption) b->SetCaption(caption);
  b->SetParent(bar);
  if (width > 0) b->SetWidth(width);
  return b;
}

void SetSettingsLabelFont(TLabel* label) {
  label->SetParentFont(false);
  label->Font().SetName("MS Sans Serif");
  label->Font().SetSize(8);
  label->Font().SetStyle(fsBold);
}

// The settings button's picture: a small gear-like wheel.
void DrawSettingsGlyph(TBitmap& bmp) {
  TCanvas& c = bmp.Canvas();
  c.Brush().SetColor(clFuchsia);
  c.FillRect({0, 0, 21, 21});
  c.Pen().SetColor(RGB(0x70, 0x70, 0x70));
  c.Pen().SetWidth(3);
  for (auto [x1, y1, x2, y2] : std::array<std::array<int, 4>, 4>{{{10, 2, 10, 18}, {2, 10, 18, 10},
                                                                   {4, 4, 16, 16}, {16, 4, 4, 16}}}) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
  }
  c.Pen().SetWidth(1);
  c.Brush().SetColor(RGB(0x70, 0x70, 0x70));
  c.Ellipse(5, 5, 16, 16);
  c.Brush().SetColor(clFuchsia);
  c.Pen().SetColor(clFuchsia);
  c.Ellipse(8, 8, 13, 13);
}

}  // namespace

std::uint16_t HotKeyEx(const std::string& name) {
  for (const auto& k : kHotKeys)
    if (name == k.name) return k.vk;
  return 0;
}

void ShowMainWindow() {
  if (!Form1) return;
  if (Form1->WindowState() == wsMinimized) Form1->SetWindowState(wsNormal);
  Form1->Show();
  Form1->BringToFront();
  Application->BringToFront();
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  SetName("Form1");
  SetCaption("Tovalin");
  SetBorderStyle(bsSingle);
  SetPosition(poScreenCenter);
  SetClientWidth(741);
  SetClientHeight(419);
  BuildControls();
  CreateSkinManager();
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnResize = [this](TObject* s) { FormResize(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::BuildControls() {
  // Lies under the scroll panel: never seen, only carries the show-overlay action.
  RectScreen = Make<TButton>(this, this, "RectScreen", 8, 40, 75, 25);
  RectScreen->SetCaption("RectScreen");
  RectScreen->SetTabStop(false);
  RectScreen->OnClick = [this](TObject* s) { RectScreenClick(s); };

  sToolBar1 = Make<TToolBar>(this, this, "sToolBar1", 0, 0, 741, 29);
  sToolBar1->SetAlign(alTop);
  sToolBar1->SetButtonWidth(75);
  sToolBar1->SetButtonHeight(21);
  sToolBar1->SetShowCaptions(true);
  sToolBar1->SetParentFont(false);
  sToolBar1->Font().SetStyle(fsBold);

  AddToolButton(this, sToolBar1, "ToolButton5", nullptr, tbsSeparator, 8);
  ToolButton1 = AddToolButton(this, sToolBar1, "ToolButton1", "Pen", tbsCheck, 0);
  AddToolButton(this, sToolBar1, "ToolButton6", nullptr, tbsSeparator, 8);
  ToolButton2 = AddToolButton(this, sToolBar1, "ToolButton2", "Line", tbsCheck, 0);
  AddToolButton(this, sToolBar1, "ToolButton7", nullptr, tbsSeparator, 8);
  ToolButton3 = AddToolButton(this, sToolBar1, "ToolButton3", "Text", tbsCheck, 0);
  AddToolButton(this, sToolBar1, "ToolButton8", nullptr, tbsSeparator, 8);
  sLabel3 = Make<TLabel>(this, sToolBar1, "sLabel3", 257, 2, 38, 21);
  sLabel3->SetAutoSize(false);
  sLabel3->SetCaption("Color");
  sLabel3->SetLayout(tlCenter);
  sLabel3->SetParentFont(false);
  sLabel3->Font().SetStyle(fsBold);
  sLabel3->Font().SetHeight(-13);
  AddToolButton(this, sToolBar1, "ToolButton9", nullptr, tbsSeparator, 4);
  sColorSelect1 = Make<TsColorSelect>(this, sToolBar1, "sColorSelect1", 299, 2, 23, 21);
  sColorSelect1->SetColorValue(clRed);
  AddToolButton(this, sToolBar1, "ToolButton10", nullptr, tbsSeparator, 7);
  ToolButton11 = AddToolButton(this, sToolBar1, "ToolButton11", "Undo", tbsButton, 0);
  AddToolButton(this, sToolBar1, "ToolButton13", nullptr, tbsDivider, 21);
  ToolButton4 = AddToolButton(this, sToolBar1, "ToolButton4", "Send Image", tbsButton, 0);
  ToolButton14 = AddToolButton(this, sToolBar1, "ToolButton14", "Save Image", tbsButton, 0);
  sToolBar1->LayoutButtons();

  ToolButton1->OnClick = [this](TObject* s) { ToolButton1Click(s); };
  ToolButton2->OnClick = [this](TObject* s) { ToolButton2Click(s); };
  ToolButton3->OnClick = [this](TObject* s) { ToolButton3Click(s); };
  ToolButton11->OnClick = [this](TObject* s) { ToolButton11Click(s); };
  ToolButton14->OnClick = [this](TObject* s) { ToolButton14Click(s); };

  sScrollBox1 = Make<TScrollBox>(this, this, "sScrollBox1", 0, 29, 741, 390);
  sScrollBox1->SetAlign(alClient);
  sScrollBox1->OnMouseWheelDown = [this](TObject* s, TShiftState sh, TPoint p, bool& h) {
    sScrollBox1MouseWheelDown(s, sh, p, h);
  };
  sScrollBox1->OnMouseWheelUp = [this](TObject* s, TShiftState sh, TPoint p, bool& h) {
    sScrollBox1MouseWheelUp(s, sh, p, h);
  };

  Image1 = Make<TImage>(this, sScrollBox1, "Image1", 0, 0, 105, 105);
  Image1->SetAutoSize(true);
  Image1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Image1MouseDown(s, b, sh, x, y);
  };
  Image1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Image1MouseMove(s, sh, x, y); };
  Image1->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Image1MouseUp(s, b, sh, x, y);
  };

  systemImg_ = std::make_unique<TImageList>(21, 21);
  SystemImg = systemImg_.get();
  {
    TBitmap glyph(21, 21);
    DrawSettingsGlyph(glyph);
    TBitmap mask(21, 21);  // white = transparent
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 21; ++x) mask.SetPixelColor(x, y, glyph.PixelColor(x, y) == clFuchsia ? clWhite : clBlack);
    SystemImg->Add(glyph, &mask);
  }

  sToolBar2 = Make<TToolBar>(this, this, "sToolBar2", 714, 29, 28, 29);
  sToolBar2->SetAlign(alNone);
  sToolBar2->SetBounds(714, 29, 28, 29);
  sToolBar2->SetAnchors(akTop | akRight);
  sToolBar2->SetButtonWidth(28);
  sToolBar2->SetButtonHeight(27);
  sToolBar2->SetImages(SystemImg);
  ToolButton12 = AddToolButton(this, sToolBar2, "ToolButton12", nullptr, tbsCheck, 0);
  ToolButton12->SetImageIndex(0);
  ToolButton12->OnClick = [this](TObject* s) { ToolButton12Click(s); };
  sToolBar2->LayoutButtons();

  BuildSettingsPanel();

  imageList1_ = std::make_unique<TImageList>();
  ImageList1 = imageList1_.get();

  sSavePictureDialog1 = Create<TSaveDialog>(this);
  sSavePictureDialog1->SetName("sSavePictureDialog1");
  sSavePictureDialog1->SetDefaultExt(".jpg");
  sSavePictureDialog1->SetFilter("JPEG Image File (*.jpg)|*.jpg");
}

void TForm1::BuildSettingsPanel() {
  sGroupBox1 = Make<TGroupBox>(this, this, "sGroupBox1", 553, 29, 161, 180);
  sGroupBox1->SetCaption("Settings");
  sGroupBox1->SetVisible(false);

  sLabel1 = Make<TLabel>(this, sGroupBox1, "sLabel1", 8, 24, 40, 13);
  sLabel1->SetCaption("Hotkey");
  SetSettingsLabelFont(sLabel1);

  sComboBox1 = Make<TComboBox>(this, sGroupBox1, "sComboBox1", 56, 19, 35, 21);
  for (const auto& k : kHotKeys) sComboBox1->Items().Add(k.name);
  sComboBox1->SetItemIndex(kDefaultHotKeyIndex);
  sComboBox1->OnChange = [this](TObject* s) { sComboBox1Change(s); };

  HotKeyTakenLabel = Make<TLabel>(this, sGroupBox1, "HotKeyTakenLabel", 8, 39, 150, 11);
  HotKeyTakenLabel->SetParentFont(false);
  HotKeyTakenLabel->Font().SetHeight(-9);
  HotKeyTakenLabel->Font().SetColor(RGB(0xE0, 0x40, 0x40));
  HotKeyTakenLabel->SetVisible(false);

  sButton1 = Make<TButton>(this, sGroupBox1, "sButton1", 96, 19, 57, 21);
  sButton1->SetCaption("Help");

  sLabel2 = Make<TLabel>(this, sGroupBox1, "sLabel2", 9, 51, 50, 13);
  sLabel2->SetCaption("Language");
  SetSettingsLabelFont(sLabel2);
  // The language switch takes its place at (96, 48), 57 x 21.

  sLabel4 = Make<TLabel>(this, sGroupBox1, "sLabel4", 8, 80, 80, 13);
  sLabel4->SetCaption("Close to tray");
  SetSettingsLabelFont(sLabel4);
  sCheckBox1 = Make<TCheckBox>(this, sGroupBox1, "sCheckBox1", 114, 76, 20, 18);
  sCheckBox1->SetChecked(true);

  sLabel5 = Make<TLabel>(this, sGroupBox1, "sLabel5", 8, 104, 50, 13);
  sLabel5->SetCaption("Autorun");
  SetSettingsLabelFont(sLabel5);
  sCheckBox2 = Make<TCheckBox>(this, sGroupBox1, "sCheckBox2", 114, 103, 20, 18);
  sCheckBox2->SetChecked(true);

  sGroupBox2 = Make<TGroupBox>(this, sGroupBox1, "sGroupBox2", 0, 128, 161, 57);
  sGroupBox2->SetCaption("About us");
  sLabel6 = Make<TLabel>(this, sGroupBox2, "sLabel6", 16, 24, 128, 16);
  sLabel6->SetAutoSize(false);
  sLabel6->SetCaption(ServiceBaseUrl());
  sLabel6->SetParentFont(false);
  sLabel6->Font().SetName("Tahoma");
  sLabel6->Font().SetHeight(-13);
  sLabel6->Font().SetStyle(fsBold);
  sLabel6->SetCursor(crHandPoint);
}

// ---- start-up, window lifetime -----------------------------------------------------------------

void TForm1::FormCreate(TObject*) {
  HotKeyCode = HotKeyEx(sComboBox1->Text());
  FileSearchFlag = true;
  OverlayHidden = true;
  RegisterCaptureHotKey();

  StrokeCount = 0;
  StartupCheckDone = false;
  UpdatePending = false;
}

void TForm1::RegisterCaptureHotKey() {
  const bool ok = platform::GetPlatform().RegisterHotKey(Handle(), kHotKeyId, 0, HotKeyCode);
  // An empty choice registers nothing and is no conflict.
  SetHotKeyTaken(!ok && HotKeyCode != 0);
}

void TForm1::SetHotKeyTaken(bool taken) {
  HotKeyTakenLabel->SetCaption(English() ? "Taken by another program" : "Занята другой программой");
  HotKeyTakenLabel->SetVisible(taken);
}

bool TForm1::English() const { return true; }

void TForm1::FormActivate(TObject*) {
  if (Form2) Form2->Hide();
}

void TForm1::FormResize(TObject*) {
  sGroupBox1->SetLeft(Width() - sToolBar2->Width() - sGroupBox1->Width() - 5);
}

void TForm1::ToolButton12Click(TObject*) { sGroupBox1->SetVisible(!sGroupBox1->Visible()); }

void TForm1::FormClose(TObject*, TCloseAction&) {
  platform::GetPlatform().UnregisterHotKey(Handle(), kHotKeyId);
}

// ---- hot key -----------------------------------------------------------------------------------

void TForm1::sComboBox1Change(TObject*) {
  HotKeyCode = HotKeyEx(sComboBox1->Text());
  platform::GetPlatform().UnregisterHotKey(Handle(), kHotKeyId);
  RegisterCaptureHotKey();
}

void TForm1::RectScreenClick(TObject*) {
  Form2->Show();
  Form2->SetFocus();
  Form2->SetFormStyle(fsStayOnTop);
}

void TForm1::WMHotKey(TMessage& Message) {
  if (Message.WParam != static_cast<WPARAM>(kHotKeyId)) return;
  if (OverlayHidden)
    RectScreenClick(RectScreen);
  else
    Form2->FullScreenGrab();
}

void TForm1::WndProc(TMessage& Message) {
  if (Message.Msg == WM_HOTKEY) {
    WMHotKey(Message);
    return;
  }
  TForm::WndProc(Message);
}

// ---- capture hand-off --------------------------------------------------------------------------

TBitmap& TForm1::Picture() { return *Image1->Picture()->Bitmap(); }

void TForm1::LoadPicture(const std::string& bmpPath) { Image1->Picture()->LoadFromFile(bmpPath); }

void TForm1::CaptureArrived() {
  sScrollBox1->HorzScrollBar().SetRange(Picture().Width());
  sScrollBox1->VertScrollBar().SetRange(Picture().Height());
  SetFocus();
  sScrollBox1->SetFocus();
  RestartHistory();
}

}  // namespace tv
