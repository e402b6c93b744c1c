#pragma once
// The control tree. TControl is a windowless control: bounds in its parent's client coordinates,
// visibility, enabling, caption, font, colour, cursor, painting into its form's back buffer, and the
// mouse protocol of the VCL (Click before the release event, capture while a button is down).
// TWinControl is what the Windows original makes a window: it holds children, takes the focus, has
// a handle that receives sent messages, and navigates with Tab.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/MessageWindow.h"
#include "framework/graphics/Colors.h"
#include "framework/graphics/Geometry.h"
#include "framework/graphics/TCanvas.h"
#include "platform/WinDefs.h"

namespace tv {

class TCanvas;
class TFont;
class TWinControl;
class TForm;

// ---- basic types -------------------------------------------------------------------------------

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Same bits as the platform's shift state.
using TShiftState = std::uint16_t;
constexpr TShiftState ssShift = 1 << 0;
constexpr TShiftState ssAlt = 1 << 1;
constexpr TShiftState ssCtrl = 1 << 2;
constexpr TShiftState ssLeft = 1 << 3;
constexpr TShiftState ssRight = 1 << 4;
constexpr TShiftState ssMiddle = 1 << 5;
constexpr TShiftState ssDouble = 1 << 6;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

using TAnchors = std::uint8_t;
constexpr TAnchors akLeft = 1;
constexpr TAnchors akTop = 2;
constexpr TAnchors akRight = 4;
constexpr TAnchors akBottom = 8;

// Cursor ids, VCL values.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;

using TControlStyle = std::uint32_t;
constexpr TControlStyle csAcceptsControls = 1u << 0;
constexpr TControlStyle csCaptureMouse = 1u << 1;
constexpr TControlStyle csClickEvents = 1u << 3;
constexpr TControlStyle csFramed = 1u << 4;
constexpr TControlStyle csSetCaption = 1u << 5;
constexpr TControlStyle csOpaque = 1u << 6;
constexpr TControlStyle csDoubleClicks = 1u << 7;
constexpr TControlStyle csNoStdEvents = 1u << 11;

using TControlState = std::uint32_t;
constexpr TControlState csLButtonDown = 1u << 0;
constexpr TControlState csClicked = 1u << 1;
constexpr TControlState csFocusing = 1u << 5;
constexpr TControlState csAlignmentNeeded = 1u << 7;

// Framework messages (CM_BASE + n, VCL numbering).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;

// ---- events ------------------------------------------------------------------------------------

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
// Key is a Unicode code point; setting it to 0 swallows the character.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;

// The modifier keys at the time of the message being handled (as GetKeyState reads them).
TShiftState KeyboardStateToShiftState();

// WM_MOUSEMOVE and the button down, up and double-click messages (not the wheel).
constexpr bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }

// ---- TControl ----------------------------------------------------------------------------------

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form this control sits on (itself for a form), or nullptr.
  TForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const { return {0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientWidth(int v);
  virtual void SetClientHeight(int v);
  // Screen position of the client area's top-left.
  virtual TPoint ClientOrigin() const;
  TPoint ScreenToClient(TPoint p) const;
  TPoint ClientToScreen(TPoint p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors a);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent visible up to a showing form.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  // Enabled and every parent enabled.
  bool IsEnabledInTree() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  const std::string& Text() const { return caption_; }
  void SetText(const std::string& text) { SetCaption(text); }

  TFont& Font();
  const TFont& Font() const;
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor c);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& h) { hint_ = h; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v) { showHint_ = v; }

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle s) { controlStyle_ = s; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState s) { controlState_ = s; }

  // Painting: Invalidate schedules a repaint of the form before the loop waits; Repaint paints
  // now; Update paints now only what was invalidated.
  virtual void Invalidate();
  void Repaint();
  void Update();
  // Paints this control at (0,0) of the canvas, which the form has offset and clipped to the
  // control's bounds.
  virtual void Paint(TCanvas& canvas);

  // The window procedure: replaceable (interception), defaulting to WndProc.
  const TWndMethod& WindowProc() const { return windowProc_; }
  void SetWindowProc(TWndMethod proc);
  void RestoreWindowProc();
  virtual void WndProc(TMessage& message);
  // Calls WindowProc with the message; returns its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  void BringToFront();
  void SendToBack();
  // Whether the point (client coordinates) belongs to the control (hit testing).
  virtual bool HitTest(TPoint p) const { return ClientRect().Contains(p); }
  bool MouseCapture() const;
  void SetMouseCapture(bool v);

  // Events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TNotifyEvent OnResize;

  // Raisers
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Wheel: OnMouseWheel first, then OnMouseWheelDown/Up; true when handled. Unhandled wheel
  // messages go to the parent.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
  virtual void Resize();

  virtual bool IsWindowed() const { return false; }

 protected:
  virtual void Changed() {}
  // Property-change hooks: the CM_ notifications reach WndProc; these run for the defaults.
  virtual void VisibleChanging() {}
  void SetParentInternal(TWinControl* p) { parent_ = p; }
  // Moves and sizes without anchoring children; used by alignment.
  void SetBoundsRaw(int left, int top, int width, int height);
  // Remembers the anchor distances to the parent's client edges.
  void UpdateAnchorRules();
  friend class TWinControl;
  friend class TForm;

 private:
  void FontChanged();
  void HandleMouseMessage(TMessage& m);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_ = akLeft | akTop;
  // Distances to the parent's right and bottom client edges when anchored there.
  int anchorRight_ = 0, anchorBottom_ = 0;
  bool anchorsKnown_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  TCursor cursor_ = crDefault;
  std::string hint_;
  bool showHint_ = false;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState controlState_ = 0;
  TWndMethod windowProc_;
};

// ---- TWinControl -------------------------------------------------------------------------------

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  bool IsWindowed() const override { return true; }

  // Children: windowless ones first, then windowed ones, each in z-order (bottom first).
  int ControlCount() const;
  TControl* Controls(int index) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;  // a descendant, or itself

  // The topmost visible child under `pos` (client coordinates); with allLevels, the deepest one.
  // Disabled children are skipped unless allowDisabled.
  TControl* ControlAtPos(TPoint pos, bool allowDisabled = false, bool allowWinControls = true,
                         bool allLevels = false) const;

  // Handle of the window: a framework handle whose procedure is WindowProc (forms have a platform
  // window). Allocated on first use.
  virtual HWND Handle();
  bool HandleAllocated() const { return handle_ != 0; }

  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  virtual bool CanFocus() const;
  virtual void SetFocus();
  bool Focused() const;
  // The next control in tab order after `current` among this control's descendants.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const;
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // Sends the message to every child (windowed children through their handle, windowless ones by a
  // direct call of WindowProc), stopping at the first non-zero result.
  void Broadcast(TMessage& message);
  // Positions aligned and anchored children inside the client area.
  void Realign();
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();

  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& message) override;
  void Paint(TCanvas& canvas) override;  // fills the client area with Color

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(std::uint16_t& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  virtual void KeyUp(std::uint16_t& key, TShiftState shift);

 protected:
  virtual void AlignControls(TRect& rect);
  // Which keys the control handles itself (Tab, arrows) rather than the form's navigation.
  virtual bool WantsKey(std::uint16_t /*key*/) const { return false; }
  friend class TControl;
  friend class TForm;

 private:
  void CollectTabList(std::vector<TWinControl*>& list) const;
  void Restack(TControl* c, bool toFront);

  std::vector<TControl*> controls_;     // windowless
  std::vector<TWinControl*> winControls_;  // windowed, in z-order
  std::vector<TWinControl*> tabList_;      // windowed, in tab order
  HWND handle_ = 0;
  bool tabStop_ = false;
  int alignDisabled_ = 0;
  bool aligning_ = false;
};

}  // namespace tv
