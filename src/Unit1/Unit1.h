#pragma once
// The main window: the tool bar, the scrolling picture, the settings panel; the hot key; the
// editor's tools and undo history; saving.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Form.h"

namespace tv {

class TBitmap;
class TButton;
class TCheckBox;
class TComboBox;
class TGroupBox;
class TImage;
class TImageList;
class TLabel;
class TSaveDialog;
class TScrollBox;
class TToolBar;
class TToolButton;
class TsColorSelect;
class TsSkinManager;

// ---- process-wide state shared by the handlers of both windows ---------------------------------
extern bool OverlayHidden;
extern std::int32_t StrokeCount;
extern std::int32_t UndoCount;
extern bool StartupCheckDone;
extern bool UpdatePending;
extern std::uint16_t HotKeyCode;

constexpr int kHotKeyId = 1;

// Maps a name of the hot-key list to its virtual-key code; any other text yields 0.
std::uint16_t HotKeyEx(const std::string& name);

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);
  ~TForm1() override;

  // ---- controls ---------------------------------------------------------------------------------
  TButton* RectScreen = nullptr;
  TToolBar* sToolBar1 = nullptr;
  TToolButton* ToolButton1 = nullptr;   // "Pen"
  TToolButton* ToolButton2 = nullptr;   // "Line"
  TToolButton* ToolButton3 = nullptr;   // "Text"
  TLabel* sLabel3 = nullptr;            // "Color"
  TsColorSelect* sColorSelect1 = nullptr;
  TToolButton* ToolButton11 = nullptr;  // "Undo"
  TToolButton* ToolButton4 = nullptr;   // "Send Image"
  TToolButton* ToolButton14 = nullptr;  // "Save Image"
  TScrollBox* sScrollBox1 = nullptr;
  TImage* Image1 = nullptr;
  TToolBar* sToolBar2 = nullptr;
  TToolButton* ToolButton12 = nullptr;  // settings panel toggle
  TImageList* SystemImg = nullptr;
  TGroupBox* sGroupBox1 = nullptr;      // "Settings"
  TLabel* sLabel1 = nullptr;            // "Hotkey"
  TComboBox* sComboBox1 = nullptr;
  TLabel* HotKeyTakenLabel = nullptr;   // shown while the chosen key could not be registered
  TButton* sButton1 = nullptr;          // "Help"
  TLabel* sLabel2 = nullptr;            // "Language"
  TLabel* sLabel4 = nullptr;            // "Close to tray"
  TCheckBox* sCheckBox1 = nullptr;
  TLabel* sLabel5 = nullptr;            // "Autorun"
  TCheckBox* sCheckBox2 = nullptr;
  TGroupBox* sGroupBox2 = nullptr;      // "About us"
  TLabel* sLabel6 = nullptr;            // link to the service
  TImageList* ImageList1 = nullptr;     // the undo snapshots
  TSaveDialog* sSavePictureDialog1 = nullptr;
  TsSkinManager* sSkinManager1 = nullptr;  // the internal skin "DarkMetro (internal)"

  // ---- drawing-tool state -----------------------------------------------------------------------
  bool PenActive = false;
  bool LineActive = false;
  bool TextActive = false;
  std::int32_t LineStartX = 0;
  std::int32_t LineStartY = 0;

  // ---- handlers ---------------------------------------------------------------------------------
  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormResize(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void ToolButton12Click(TObject* Sender);
  void sComboBox1Change(TObject* Sender);
  void RectScreenClick(TObject* Sender);
  void WMHotKey(TMessage& Message);

  // Editor.
  void ToolButton1Click(TObject* Sender);
  void ToolButton2Click(TObject* Sender);
  void ToolButton3Click(TObject* Sender);
  void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void sScrollBox1MouseWheelDown(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled);
  void sScrollBox1MouseWheelUp(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled);
  void ToolButton11Click(TObject* Sender);
  void ToolButton14Click(TObject* Sender);

  // Undo history.
  void RestartHistory();
  void CheckHistoryLimit();
  void RecordSnapshot();

  // ---- capture hand-off -------------------------------------------------------------------------
  // The Picture: Image1's bitmap.
  TBitmap& Picture();
  void LoadPicture(const std::string& bmpPath);
  // Scroll ranges, focus and the undo restart after a new picture arrived.
  void CaptureArrived();

  // Whether the interface is English (the language switch is on).
  virtual bool English() const;

  // Registers the hot key HotKeyCode for this window; shows whether it could be.
  void RegisterCaptureHotKey();
  // Shows or hides the note that another program holds the chosen key, in the current language.
  void SetHotKeyTaken(bool taken);

  void WndProc(TMessage& Message) override;

 private:
  std::unique_ptr<TImageList> systemImg_;
  std::unique_ptr<TImageList> imageList1_;
  void BuildControls();
  void CreateSkinManager();
  void BuildSettingsPanel();
};

extern TForm1* Form1;

// Brings the main window back from the tray (or wherever it is) to the front.
void ShowMainWindow();

}  // namespace tv
