#include "framework/dialogs/TPopupMenu.h"

#include <algorithm>
#include <cctype>

#include "framework/Application.h"
#include "framework/MessageWindow.h"
#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"
#include "platform/Platform.h"

namespace tv {

namespace {

UINT NextCommand() {
  static UINT next = 1;
  return next++;
}

constexpr int kBorder = 3;
constexpr int kGutter = 20;
constexpr int kRightMargin = 20;
constexpr int kSeparatorHeight = 8;

// The accelerator letter of a caption ('&' before it), folded to lower case; 0 when none.
char32_t AccelOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const auto c = static_cast<unsigned char>(caption[i + 1]);
    return c < 0x80 ? static_cast<char32_t>(std::tolower(c)) : 0;
  }
  return 0;
}

}  // namespace

// ---- TMenuItem -------------------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  while (!items_.empty()) delete items_.back();
}

void TMenuItem::SetDefault(bool v) {
  if (v && parent_)
    for (TMenuItem* sibling : parent_->items_) sibling->default_ = false;
  default_ = v;
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<std::size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) return;
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(UINT command) {
  if (command_ == command) return this;
  for (TMenuItem* i : items_)
    if (TMenuItem* found = i->Find(command)) return found;
  return nullptr;
}

void TMenuItem::Click() {
  if (enabled_) RaiseEvent(OnClick, this);
}

// ---- TPopupMenu ---------------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {
  window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TPopupMenu::~TPopupMenu() {
  DeallocateHWnd(window_);
  window_ = 0;
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
  if (operation == opRemove && component == form_) form_ = nullptr;
}

void TPopupMenu::DoPopup() { RaiseEvent(OnPopup, this); }

void TPopupMenu::WndProc(TMessage& m) {
  if (m.Msg == WM_COMMAND) {
    if (TMenuItem* item = items_->Find(static_cast<UINT>(m.WParam)); item && item != items_) item->Click();
    return;
  }
  m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
}

void TPopupMenu::CloseMenu() {
  if (form_) form_->Finish(nullptr);
}

void TPopupMenu::Popup(int x, int y) {
  if (form_ || !Application) return;
  ComponentGuard guard(this);
  DoPopup();
  if (!guard) return;
  auto* form = Create<TPopupMenuForm>(this, this);
  if (form->Entries().empty()) {
    delete form;
    return;
  }
  form_ = form;
  ComponentGuard formGuard(form);
  // At the point, or flipped to its left / above it when there is no room, and on the screen.
  const platform::Size screen = platform::GetPlatform().PrimaryScreenSize();
  const int w = form->Width();
  const int h = form->Height();
  int left = x, top = y;
  if (left + w > screen.width) left = x - w >= 0 ? x - w : screen.width - w;
  if (top + h > screen.height) top = y - h >= 0 ? y - h : screen.height - h;
  form->SetBounds(std::max(0, left), std::max(0, top), w, h);
  TMenuItem* picked = nullptr;
  try {
    form->Show();
    if (formGuard && !form->Closed()) platform::GetPlatform().SetCapture(form->Handle());
    Application->RunModalLoop([&] { return !guard || !formGuard || form->Closed(); });
    if (formGuard) {
      picked = form->Picked();
      form->Finish(nullptr);
    }
  } catch (...) {
    if (formGuard) {
      form->Finish(nullptr);
      delete form;
    }
    if (guard) form_ = nullptr;
    throw;
  }
  if (formGuard) delete form;
  if (!guard) return;
  form_ = nullptr;
  if (picked && window_) PostMessage(window_, WM_COMMAND, picked->Command(), 0);
}

// ---- TPopupMenuForm -----------------------------------------------------------------------------------

TPopupMenuForm::TPopupMenuForm(TComponent* owner, TPopupMenu* menu) : TForm(owner), menu_(menu) {
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetColor(clMenu);
  TMenuItem* root = menu->Items();
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (!item->Visible()) continue;
    entries_.push_back(item);
    guards_.emplace_back(item);
  }
  Measure();
}

void TPopupMenuForm::Measure() {
  itemHeight_ = std::max(classic::FontLineHeight(Font()) + 6, 17);
  TFont bold = Font();
  bold.SetStyle(fsBold);
  int width = 0;
  int y = kBorder;
  tops_.clear();
  for (TMenuItem* item : entries_) {
    tops_.push_back(y);
    if (item->IsLine()) {
      y += kSeparatorHeight;
      continue;
    }
    const TSize s = classic::MeasureText(item->Default() ? bold : Font(), item->Caption(), DT_SINGLELINE);
    width = std::max(width, s.cx);
    y += itemHeight_;
  }
  SetBounds(Left(), Top(), kBorder * 2 + kGutter + width + kRightMargin, y + kBorder);
}

TRect TPopupMenuForm::EntryRect(int index) const {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return {};
  const int top = tops_[static_cast<std::size_t>(index)];
  const int h = entries_[static_cast<std::size_t>(index)]->IsLine() ? kSeparatorHeight : itemHeight_;
  return {kBorder, top, ClientWidth() - kBorder, top + h};
}

int TPopupMenuForm::EntryAt(TPoint p) const {
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i)
    if (EntryRect(i).Contains(p)) return i;
  return -1;
}

void TPopupMenuForm::SetHotIndex(int index) {
  if (index >= 0 && (index >= static_cast<int>(entries_.size()) || entries_[static_cast<std::size_t>(index)]->IsLine()))
    index = -1;
  if (index == hot_) return;
  hot_ = index;
  Invalidate();
}

void TPopupMenuForm::Finish(TMenuItem* picked) {
  if (closed_) return;
  closed_ = true;
  picked_ = picked;
  platform::GetPlatform().ReleaseCapture();
  if (Visible()) Hide();
}

void TPopupMenuForm::Step(int direction) {
  const int n = static_cast<int>(entries_.size());
  if (n == 0) return;
  int i = hot_;
  for (int tries = 0; tries < n; ++tries) {
    i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
    if (!entries_[static_cast<std::size_t>(i)]->IsLine()) {
      SetHotIndex(i);
      return;
    }
  }
}

void TPopupMenuForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // A press outside the menu (the menu holds the mouse) closes it.
  if (!ClientRect().Contains({x, y})) {
    Finish(nullptr);
    return;
  }
  TForm::MouseDown(button, shift, x, y);
}

void TPopupMenuForm::MouseMove(TShiftState shift, int x, int y) {
  SetHotIndex(EntryAt({x, y}));
  TForm::MouseMove(shift, x, y);
}

void TPopupMenuForm::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const int i = EntryAt({x, y});
  if (i >= 0 && guards_[static_cast<std::size_t>(i)]) {
    TMenuItem* item = entries_[static_cast<std::size_t>(i)];
    if (!item->IsLine() && item->Enabled()) {
      Finish(item);
      return;
    }
  }
  TForm::MouseUp(button, shift, x, y);
}

void TPopupMenuForm::KeyDown(std::uint16_t& key, TShiftState shift) {
  switch (key) {
    case VK_ESCAPE:
    case VK_LEFT:
      Finish(nullptr);
      break;
    case VK_UP:
      Step(-1);
      break;
    case VK_DOWN:
      Step(1);
      break;
    case VK_HOME:
      hot_ = -1;
      Step(1);
      break;
    case VK_END:
      hot_ = -1;
      Step(-1);
      break;
    case VK_RETURN:
    case VK_SPACE:
      if (hot_ >= 0 && guards_[static_cast<std::size_t>(hot_)] && entries_[static_cast<std::size_t>(hot_)]->Enabled())
        Finish(entries_[static_cast<std::size_t>(hot_)]);
      break;
    default:
      TForm::KeyDown(key, shift);
      return;
  }
  key = 0;
}

void TPopupMenuForm::WndProc(TMessage& m) {
  if (m.Msg == WM_CHAR) {
    // The accelerator letter picks its item.
    const auto ch = static_cast<char32_t>(m.WParam);
    const char32_t want = ch < 0x80 ? static_cast<char32_t>(std::tolower(static_cast<int>(ch))) : ch;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (!guards_[i] || entries_[i]->IsLine() || !entries_[i]->Enabled()) continue;
      if (AccelOf(entries_[i]->Caption()) == want && want != 0) {
        Finish(entries_[i]);
        break;
      }
    }
    m.Result = 1;
    return;
  }
  TForm::WndProc(m);
}

void TPopupMenuForm::Deactivate() {
  TForm::Deactivate();
  Finish(nullptr);
}

void TPopupMenuForm::Paint(TCanvas& canvas) {
  TForm::Paint(canvas);
  TRect r = ClientRect();
  canvas.Brush().SetColor(clMenu);
  canvas.FillRect(r);
  classic::Frame3D(canvas, r, cl3DLight, cl3DDkShadow);
  classic::Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    if (!guards_[static_cast<std::size_t>(i)]) continue;
    TMenuItem* item = entries_[static_cast<std::size_t>(i)];
    const TRect er = EntryRect(i);
    if (item->IsLine()) {
      classic::EtchedHLine(canvas, er.Left + 1, er.Right - 1, er.Top + er.Height() / 2 - 1);
      continue;
    }
    const bool hot = i == hot_;
    if (hot) {
      canvas.Brush().SetColor(clHighlight);
      canvas.FillRect(er);
    }
    canvas.Font().Assign(Font());
    if (item->Default()) canvas.Font().SetStyle(fsBold);
    const TColor text = hot ? clHighlightText : clMenuText;
    if (item->Checked()) classic::DrawCheck(canvas, {er.Left, er.Top, er.Left + kGutter, er.Bottom}, text);
    TRect tr{er.Left + kGutter, er.Top, er.Right - kRightMargin, er.Bottom};
    if (!item->Enabled() && hot) {
      classic::DrawCaption(canvas, item->Caption(), tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE, true, clGrayText);
    } else {
      classic::DrawCaption(canvas, item->Caption(), tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE, item->Enabled(), text);
    }
  }
}

}  // namespace tv
