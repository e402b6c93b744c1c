#pragma once
// A form: a top-level platform window with a back buffer that its controls paint into.
//
// Create forms with Application->CreateForm<T>() or tv::Create<T>(owner): the constructor builds the
// controls (the form is loading meanwhile), then creation completes: Loaded, OnCreate, and the form
// shows if it was made visible. Painting is coalesced: Invalidate marks the form, and the loop
// paints and presents it before it waits. Drawing on Canvas() draws on the back buffer, which is
// presented the same way.
//
// Bordered forms have a frame of kFrameWidth pixels on the left, right and bottom and a caption
// bar of kCaptionHeight pixels above the client area: Width = ClientWidth + 2 * kFrameWidth,
// Height = ClientHeight + kCaptionHeight + 2 * kFrameWidth. Borderless forms have none.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Control.h"
#include "platform/Platform.h"

namespace tv {

class TBitmap;

enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition : std::uint8_t { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                                poDesktopCenter, poMainFormCenter, poOwnerFormCenter };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;
constexpr TModalResult mrClose = 11;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
 public:
  static constexpr int kFrameWidth = 3;
  static constexpr int kCaptionHeight = 19;

  explicit TForm(TComponent* owner);
  ~TForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  // Completes creation if that has not happened yet (idempotent; AfterConstruction calls it).
  void CompleteCreation();

  // ---- window ------------------------------------------------------------------------------------
  HWND Handle() override { return handle_; }
  HWND Handle() const { return handle_; }
  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() const override;
  void SetClientWidth(int v) override;
  void SetClientHeight(int v) override;
  TPoint ClientOrigin() const override;
  int FrameLeft() const;    // outer left to client left
  int FrameTop() const;     // outer top to client top
  int FrameExtraWidth() const;
  int FrameExtraHeight() const;

  void SetVisible(bool v) override;
  bool Showing() const override;
  void SetEnabled(bool v) override;

  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState s);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle s);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition p) { position_ = p; }
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool v);
  std::uint8_t AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(std::uint8_t v);
  bool TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(bool v);
  TColor TransparentColorValue() const { return transparentColorValue_; }
  void SetTransparentColorValue(TColor c);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }

  // The back buffer's canvas. Whatever is drawn on it is presented before the loop waits.
  TCanvas& Canvas();
  TBitmap& BackBuffer();

  // ---- focus and activation -------------------------------------------------------------------
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  bool Active() const { return active_; }
  void SetFocus() override;
  bool CanFocus() const override;
  void BringToFront();
  // Moves the focus from the active control to `control` (OnExit / OnEnter), used by SetFocus.
  bool SetFocusedControl(TWinControl* control);

  // ---- closing and modality -------------------------------------------------------------------
  void Close();
  virtual bool CloseQuery();
  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult r) { modalResult_ = r; }
  bool Modal() const { return modal_; }
  // Destroys the form once the messages already queued have been handled.
  void Release();

  // ---- painting ---------------------------------------------------------------------------------
  void Invalidate() override;
  // Paints (if invalid) and presents (if anything changed) now.
  void UpdateWindow();
  bool NeedsPaint() const { return invalid_ || presentPending_; }
  // Paints the whole form (background, OnPaint, controls) into the back buffer.
  void PaintWindow();
  void Paint(TCanvas& canvas) override;

  void WndProc(TMessage& message) override;

  // ---- events -----------------------------------------------------------------------------------
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Raisers
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoClose(TCloseAction& action);

 protected:
  // Runs the form's message handling for mouse and key input: dispatch into the control tree.
  void DispatchMouse(TMessage& m);
  void DispatchKey(TMessage& m);
  void UpdateLayered();
  void ApplyGeometry();
  void ResizeBuffer();

 private:
  void ShowingChanged(bool show);
  void PaintControl(TCanvas& canvas, TControl* control, const TRect& parentClip, TPoint origin);
  void SetHover(TControl* control);
  void CloseModal();

  HWND handle_ = 0;
  std::unique_ptr<TBitmap> buffer_;
  bool created_ = false;
  bool shownOnce_ = false;
  bool invalid_ = true;
  bool presentPending_ = false;
  bool active_ = false;
  bool hiddenByParent_ = false;
  bool modal_ = false;
  bool releasing_ = false;
  TModalResult modalResult_ = mrNone;
  TWindowState windowState_ = wsNormal;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  bool alphaBlend_ = false;
  std::uint8_t alphaBlendValue_ = 255;
  bool transparentColor_ = false;
  TColor transparentColorValue_ = clBlack;
  bool keyPreview_ = false;
  TWinControl* activeControl_ = nullptr;
  TControl* hover_ = nullptr;
  std::weak_ptr<void> hoverToken_;
  bool destructionStarted_ = false;
  bool inWheelDispatch_ = false;
  platform::Cursor shownCursor_ = platform::Cursor::Default;
  friend class TApplication;
  friend class TScreen;
  friend class TWinControl;
};

// The control holding the mouse (capture while a button is down), or nullptr.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

}  // namespace tv
