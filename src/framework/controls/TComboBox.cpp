#include "framework/controls/TComboBox.h"

#include <algorithm>
#include <cctype>

#include "framework/Application.h"
#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"
#include "platform/Platform.h"

namespace tv {

namespace {
constexpr int kButtonWidth = 16;
constexpr int kListScrollWidth = 16;

char32_t FoldAscii(char32_t c) { return c < 128 ? static_cast<char32_t>(std::tolower(static_cast<int>(c))) : c; }

// The first code point of a UTF-8 string (0 when empty or malformed).
char32_t FirstCodePoint(const std::string& s) {
  if (s.empty()) return 0;
  const auto b0 = static_cast<unsigned char>(s[0]);
  if (b0 < 0x80) return b0;
  int len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0 || static_cast<int>(s.size()) < len) return 0;
  char32_t cp = b0 & (0x7F >> len);
  for (int i = 1; i < len; ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[static_cast<std::size_t>(i)]) & 0x3F);
  return cp;
}

}  // namespace

// ---- TComboBox -----------------------------------------------------------------------------------------

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  items_.OnChange = [this] {
    // The text follows the item it shows; an index past the end selects nothing.
    if (itemIndex_ >= items_.Count()) {
      Select(-1);
    } else if (itemIndex_ >= 0) {
      syncing_ = true;
      SetCaption(items_[itemIndex_]);
      syncing_ = false;
    }
    if (list_ && list_->Visible()) list_->OpenBelow();
    Invalidate();
  };
}

TComboBox::~TComboBox() = default;

void TComboBox::BeforeDestruction() {
  if (list_ && list_->Visible()) {
    list_->closing_ = true;
    list_->Hide();
  }
  TWinControl::BeforeDestruction();
}

bool TComboBox::Select(int index) {
  if (index < 0 || index >= items_.Count()) index = -1;
  const bool changed = index != itemIndex_;
  itemIndex_ = index;
  syncing_ = true;
  SetCaption(index >= 0 ? items_[index] : std::string());
  syncing_ = false;
  if (changed) Invalidate();
  return changed;
}

void TComboBox::SetItemIndex(int index) { Select(index); }

void TComboBox::UserSelect(int index) {
  if (Select(index)) Change();
}

int TComboBox::ItemHeight() const { return classic::FontLineHeight(Font()); }

bool TComboBox::DroppedDown() const { return list_ && list_->Visible(); }

void TComboBox::SetDroppedDown(bool v) {
  if (v == DroppedDown()) return;
  if (!v) {
    CloseList(false, true);
    return;
  }
  if (!Showing() || !IsEnabledInTree()) return;
  ComponentGuard guard(this);
  DropDown();
  if (!guard) return;
  if (!list_) list_ = Create<TComboListForm>(this);
  list_->hotIndex_ = itemIndex_;
  list_->topIndex_ = 0;
  list_->OpenBelow();
  Invalidate();
}

void TComboBox::CloseList(bool pick, bool refocus) {
  if (!list_ || !list_->Visible() || list_->closing_) return;
  ComponentGuard guard(this);
  list_->closing_ = true;
  const int picked = list_->hotIndex_;
  list_->Hide();
  list_->closing_ = false;
  Invalidate();
  if (refocus) {
    if (TForm* form = ParentForm(); form && form->Showing()) platform::GetPlatform().ActivateWindow(form->Handle());
  }
  if (pick && picked >= 0) {
    UserSelect(picked);
    if (!guard) return;
  }
  CloseUp();
}

void TComboBox::Change() { RaiseEvent(OnChange, this); }
void TComboBox::DropDown() { RaiseEvent(OnDropDown, this); }
void TComboBox::CloseUp() { RaiseEvent(OnCloseUp, this); }

TRect TComboBox::ButtonRect() const {
  const TRect r = ClientRect().Inflated(-2, -2);
  return {r.Right - kButtonWidth, r.Top, r.Right, r.Bottom};
}

void TComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && IsEnabledInTree()) {
    ComponentGuard guard(this);
    if (CanFocus() && !Focused()) {
      SetFocus();
      if (!guard) return;
    }
    if (suppressDrop_) {
      // This click closed the list (it took the activation away); it does not open it again.
      suppressDrop_ = false;
    } else {
      SetDroppedDown(!DroppedDown());
    }
    if (!guard) return;
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TComboBox::MouseEnter() {
  hot_ = true;
  Invalidate();
  TWinControl::MouseEnter();
}

void TComboBox::MouseLeave() {
  hot_ = false;
  Invalidate();
  TWinControl::MouseLeave();
}

bool TComboBox::WantsKey(std::uint16_t key) const {
  return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT;
}

void TComboBox::KeyDown(std::uint16_t& key, TShiftState shift) {
  ComponentGuard guard(this);
  TWinControl::KeyDown(key, shift);
  if (!guard || key == 0 || !IsEnabledInTree()) return;
  if (DroppedDown()) {
    // The list normally has the keys; pass them on if they come here.
    list_->KeyDown(key, shift);
    return;
  }
  if (key == VK_F4 || ((shift & ssAlt) && (key == VK_DOWN || key == VK_UP))) {
    key = 0;
    SetDroppedDown(true);
    return;
  }
  if (shift & (ssAlt | ssCtrl)) return;
  const int last = items_.Count() - 1;
  if (last < 0) return;
  const int page = std::max(1, dropDownCount_ - 1);
  int next = itemIndex_;
  switch (key) {
    case VK_UP:
    case VK_LEFT:
      next = itemIndex_ < 0 ? 0 : std::max(0, itemIndex_ - 1);
      break;
    case VK_DOWN:
    case VK_RIGHT:
      next = itemIndex_ < 0 ? 0 : std::min(last, itemIndex_ + 1);
      break;
    case VK_HOME:
      next = 0;
      break;
    case VK_END:
      next = last;
      break;
    case VK_PRIOR:
      next = std::max(0, itemIndex_ - page);
      break;
    case VK_NEXT:
      next = std::min(last, std::max(0, itemIndex_) + page);
      break;
    default:
      return;
  }
  key = 0;
  UserSelect(next);
}

void TComboBox::KeyPress(char32_t& key) {
  ComponentGuard guard(this);
  TWinControl::KeyPress(key);
  if (!guard || key < 0x20 || key == 0x7F || !IsEnabledInTree()) return;
  // Typing selects the next item that starts with the character.
  const int n = items_.Count();
  const char32_t want = FoldAscii(key);
  for (int step = 1; step <= n; ++step) {
    const int i = ((itemIndex_ < 0 ? -1 : itemIndex_) + step) % n;
    if (FoldAscii(FirstCodePoint(items_[i])) == want) {
      key = 0;
      if (DroppedDown()) {
        list_->SetHotIndex(i);
      } else {
        UserSelect(i);
      }
      return;
    }
  }
}

void TComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
      // Text set by the program selects the item with that text, or nothing.
      if (!syncing_) {
        const int index = items_.IndexOf(Caption());
        if (index < 0 && !Caption().empty()) {
          itemIndex_ = -1;
          syncing_ = true;
          SetCaption(std::string());
          syncing_ = false;
        } else {
          itemIndex_ = index;
        }
      }
      break;
    case CM_EXIT:
      CloseList(false, false);
      break;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      if (!Visible() || !Enabled()) CloseList(false, false);
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TComboBox::Paint(TCanvas& canvas) {
  TRect r = ClientRect();
  const bool enabled = IsEnabledInTree();
  classic::SunkenFrame(canvas, r);
  canvas.Brush().SetColor(enabled ? Color() : clBtnFace);
  canvas.FillRect(r);
  const TRect button = ButtonRect();
  classic::ButtonFace(canvas, button, DroppedDown());
  TRect arrow = button;
  if (DroppedDown()) arrow.Offset(1, 1);
  classic::DrawArrow(canvas, arrow, classic::Arrow::Down, enabled ? clBtnText : clGrayText);
  TRect field{r.Left + 1, r.Top + 1, button.Left - 1, r.Bottom - 1};
  canvas.Font().Assign(Font());
  const bool focused = Focused() && !DroppedDown();
  if (focused) {
    canvas.Brush().SetColor(clHighlight);
    canvas.FillRect(field);
  }
  TRect text = field;
  text.Left += 2;
  classic::DrawCaption(canvas, Caption(), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS,
                       enabled, focused ? clHighlightText : Font().Color());
  if (focused) canvas.DrawFocusRect(field);
}

// ---- TComboListForm --------------------------------------------------------------------------------------

TComboListForm::TComboListForm(TComboBox* combo) : TForm(combo), combo_(combo) {
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetColor(clWindow);
}

int TComboListForm::VisibleCount() const {
  return std::max(1, std::min(combo_->Items().Count(), combo_->DropDownCount()));
}

bool TComboListForm::HasScrollBar() const { return combo_->Items().Count() > combo_->DropDownCount(); }

TRect TComboListForm::ItemRect(int index) const {
  const int h = combo_->ItemHeight();
  const int right = ClientWidth() - 1 - (HasScrollBar() ? kListScrollWidth : 0);
  const int top = 1 + (index - topIndex_) * h;
  return {1, top, right, top + h};
}

int TComboListForm::ItemAt(TPoint p) const {
  const int h = combo_->ItemHeight();
  const int right = ClientWidth() - 1 - (HasScrollBar() ? kListScrollWidth : 0);
  if (p.X < 1 || p.X >= right || p.Y < 1 || h <= 0) return -1;
  const int row = (p.Y - 1) / h;
  if (row >= VisibleCount()) return -1;
  const int index = topIndex_ + row;
  return index < combo_->Items().Count() ? index : -1;
}

void TComboListForm::ScrollTo(int top) {
  const int maxTop = std::max(0, combo_->Items().Count() - VisibleCount());
  top = std::clamp(top, 0, maxTop);
  if (top == topIndex_) return;
  topIndex_ = top;
  Invalidate();
}

void TComboListForm::SetHotIndex(int index) {
  if (index < -1 || index >= combo_->Items().Count()) return;
  if (index != hotIndex_) {
    hotIndex_ = index;
    Invalidate();
  }
  if (index >= 0) {
    if (index < topIndex_) ScrollTo(index);
    if (index >= topIndex_ + VisibleCount()) ScrollTo(index - VisibleCount() + 1);
  }
}

void TComboListForm::OpenBelow() {
  Font().Assign(combo_->Font());
  const int h = VisibleCount() * combo_->ItemHeight() + 2;
  // As wide as the box, or wider when an item would not fit.
  int widest = 0;
  for (const std::string& item : combo_->Items().Items()) widest = std::max(widest, classic::TextWidthOf(combo_->Font(), item));
  const int w = std::max(combo_->Width(), widest + 8 + (HasScrollBar() ? kListScrollWidth : 0));
  const TPoint below = combo_->ClientToScreen({0, combo_->Height()});
  const platform::Size screen = platform::GetPlatform().PrimaryScreenSize();
  int top = below.Y;
  if (top + h > screen.height) {
    const int above = combo_->ClientToScreen({0, 0}).Y - h;
    top = above >= 0 ? above : std::max(0, screen.height - h);
  }
  const int left = std::clamp(below.X, 0, std::max(0, screen.width - w));
  SetBounds(left, top, w, h);
  SetHotIndex(hotIndex_);
  Invalidate();
  if (!Visible()) Show();
}

void TComboListForm::Paint(TCanvas& canvas) {
  TForm::Paint(canvas);
  const TRect r = ClientRect();
  canvas.Brush().SetColor(clWindow);
  canvas.FillRect(r);
  canvas.Brush().SetColor(clWindowFrame);
  canvas.FrameRect(r);
  canvas.Font().Assign(combo_->Font());
  const int count = combo_->Items().Count();
  for (int i = topIndex_; i < count && i < topIndex_ + VisibleCount(); ++i) {
    const TRect ir = ItemRect(i);
    const bool hot = i == hotIndex_;
    if (hot) {
      canvas.Brush().SetColor(clHighlight);
      canvas.FillRect(ir);
    }
    TRect text = ir;
    text.Left += 2;
    classic::DrawCaption(canvas, combo_->Items()[i], text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, true,
                         hot ? clHighlightText : clWindowText);
  }
  if (HasScrollBar()) {
    // A plain bar: the upper half scrolls up, the lower half down; the thumb shows the place.
    const TRect bar{r.Right - 1 - kListScrollWidth, 1, r.Right - 1, r.Bottom - 1};
    canvas.Brush().SetColor(cl3DLight);
    canvas.FillRect(bar);
    const TRect up{bar.Left, bar.Top, bar.Right, bar.Top + kListScrollWidth};
    const TRect down{bar.Left, bar.Bottom - kListScrollWidth, bar.Right, bar.Bottom};
    classic::ButtonFace(canvas, up, false);
    classic::DrawArrow(canvas, up, classic::Arrow::Up, clBtnText);
    classic::ButtonFace(canvas, down, false);
    classic::DrawArrow(canvas, down, classic::Arrow::Down, clBtnText);
    const int track = down.Top - up.Bottom;
    const int thumb = std::max(8, track * VisibleCount() / count);
    const int maxTop = count - VisibleCount();
    const int pos = maxTop > 0 ? (track - thumb) * topIndex_ / maxTop : 0;
    classic::ButtonFace(canvas, {bar.Left, up.Bottom + pos, bar.Right, up.Bottom + pos + thumb}, false);
  }
}

void TComboListForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  ComponentGuard guard(this);
  if (!ClientRect().Contains({x, y})) {
    // A press outside the list (the window holds the mouse) closes it.
    combo_->CloseList(false, true);
    return;
  }
  if (HasScrollBar() && x >= ClientWidth() - 1 - kListScrollWidth) {
    ScrollTo(topIndex_ + (y < ClientHeight() / 2 ? -1 : 1));
    return;
  }
  if (int i = ItemAt({x, y}); i >= 0) SetHotIndex(i);
  if (guard) TForm::MouseDown(button, shift, x, y);
}

void TComboListForm::MouseMove(TShiftState shift, int x, int y) {
  if (int i = ItemAt({x, y}); i >= 0) SetHotIndex(i);
  TForm::MouseMove(shift, x, y);
}

void TComboListForm::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const int i = ItemAt({x, y});
  if (i >= 0) {
    hotIndex_ = i;
    combo_->CloseList(true, true);
    return;
  }
  TForm::MouseUp(button, shift, x, y);
}

bool TComboListForm::DoMouseWheelDown(TShiftState, TPoint) {
  ScrollTo(topIndex_ + 1);
  return true;
}

bool TComboListForm::DoMouseWheelUp(TShiftState, TPoint) {
  ScrollTo(topIndex_ - 1);
  return true;
}

void TComboListForm::KeyDown(std::uint16_t& key, TShiftState shift) {
  const int count = combo_->Items().Count();
  const int page = std::max(1, VisibleCount() - 1);
  switch (key) {
    case VK_ESCAPE:
      key = 0;
      combo_->CloseList(false, true);
      return;
    case VK_RETURN:
    case VK_TAB:
    case VK_F4:
      key = 0;
      combo_->CloseList(true, true);
      return;
    case VK_UP:
    case VK_DOWN:
      if (shift & ssAlt) {
        key = 0;
        combo_->CloseList(true, true);
        return;
      }
      if (count > 0) {
        const int next = key == VK_UP ? std::max(0, hotIndex_ - 1) : std::min(count - 1, hotIndex_ + 1);
        SetHotIndex(hotIndex_ < 0 ? 0 : next);
      }
      key = 0;
      return;
    case VK_HOME:
      if (count > 0) SetHotIndex(0);
      key = 0;
      return;
    case VK_END:
      if (count > 0) SetHotIndex(count - 1);
      key = 0;
      return;
    case VK_PRIOR:
      if (count > 0) SetHotIndex(std::max(0, hotIndex_ - page));
      key = 0;
      return;
    case VK_NEXT:
      if (count > 0) SetHotIndex(std::min(count - 1, std::max(0, hotIndex_) + page));
      key = 0;
      return;
    default:
      TForm::KeyDown(key, shift);
  }
}

void TComboListForm::WndProc(TMessage& m) {
  if (m.Msg == WM_CHAR) {
    // Typing while the list is open moves the highlight.
    auto ch = static_cast<char32_t>(m.WParam);
    combo_->KeyPress(ch);
    m.Result = 1;
    return;
  }
  TForm::WndProc(m);
}

void TComboListForm::Deactivate() {
  TForm::Deactivate();
  if (closing_ || !Visible()) return;
  // A click on the box itself took the activation away: that click only closes the list.
  const platform::Point cursor = platform::GetPlatform().CursorPos();
  const TPoint local = combo_->ScreenToClient({cursor.x, cursor.y});
  combo_->suppressDrop_ = combo_->ClientRect().Contains(local) && platform::GetPlatform().IsKeyDown(VK_LBUTTON);
  combo_->CloseList(false, false);
}

}  // namespace tv
