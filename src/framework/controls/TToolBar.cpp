#include "framework/controls/TToolBar.h"

#include <algorithm>

#include "framework/controls/ClassicPaint.h"
#include "framework/graphics/TCanvas.h"
#include "framework/graphics/TImageList.h"

namespace tv {

namespace {
constexpr int kButtonTop = 2;
constexpr int kDefaultSpacerWidth = 8;
}  // namespace

// ---- TToolButton ---------------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* owner) : TPressControl(owner) {
  SetBounds(0, 0, 23, 22);
  SetControlStyle(ControlStyle() & ~csClickEvents);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetStyle(TToolButtonStyle s) {
  if (s == style_) return;
  const bool wasSpacer = IsSpacer();
  style_ = s;
  if (IsSpacer() && !wasSpacer) SetWidth(kDefaultSpacerWidth);
  if (style_ != tbsCheck) down_ = false;
  if (TToolBar* bar = ToolBar()) bar->LayoutButtons();
  Invalidate();
}

void TToolButton::SetDown(bool v) {
  if (v == down_) return;
  down_ = v;
  Invalidate();
}

void TToolButton::SetImageIndex(int v) {
  if (v == imageIndex_) return;
  imageIndex_ = v;
  Invalidate();
}

void TToolButton::SetBoundsFromBar(int left, int top, int width, int height) {
  placing_ = true;
  TControl::SetBounds(left, top, width, height);
  placing_ = false;
}

void TToolButton::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  if (!placing_)
    if (TToolBar* bar = ToolBar()) bar->LayoutButtons();
}

bool TToolButton::CanPress() const { return !IsSpacer() && TPressControl::CanPress(); }

void TToolButton::Released() {
  if (style_ == tbsCheck) SetDown(!down_);
}

void TToolButton::Paint(TCanvas& canvas) {
  const TRect r = ClientRect();
  if (style_ == tbsDivider) {
    classic::EtchedVLine(canvas, r.Width() / 2 - 1, r.Top, r.Bottom);
    return;
  }
  if (style_ == tbsSeparator) return;
  TToolBar* bar = ToolBar();
  const bool flat = !bar || bar->Flat();
  const bool sunk = pressed_ || down_;
  if (down_ && !pressed_) {
    canvas.Brush().SetColor(cl3DLight);
    canvas.FillRect(r.Inflated(-1, -1));
  }
  TRect face = r;
  if (sunk) {
    classic::Frame3D(canvas, face, clBtnShadow, clBtnHighlight);
  } else if (!flat || (hot_ && IsEnabledInTree())) {
    classic::Frame3D(canvas, face, clBtnHighlight, clBtnShadow);
  } else {
    face = face.Inflated(-1, -1);
  }
  if (sunk) face.Offset(1, 1);
  canvas.Font().Assign(Font());
  const bool showCaption = bar && bar->ShowCaptions() && !Caption().empty();
  TImageList* images = bar ? bar->Images() : nullptr;
  const bool hasImage = images && imageIndex_ >= 0 && imageIndex_ < images->Count();
  int textTop = face.Top;
  if (hasImage) {
    const int ix = face.Left + (face.Width() - images->Width()) / 2;
    const int iy = showCaption ? face.Top + 1 : face.Top + (face.Height() - images->Height()) / 2;
    images->Draw(canvas, ix, iy, imageIndex_);
    textTop = iy + images->Height() + 1;
  }
  if (showCaption) {
    TRect tr = face;
    tr.Top = textTop;
    const UINT format = DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | (hasImage ? DT_TOP : DT_VCENTER);
    classic::DrawCaption(canvas, Caption(), tr, format, IsEnabledInTree(), Font().Color());
  }
}

// ---- TToolBar ------------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

void TToolBar::SetShowCaptions(bool v) {
  if (v == showCaptions_) return;
  showCaptions_ = v;
  Invalidate();
}

void TToolBar::SetButtonWidth(int v) {
  if (v == buttonWidth_) return;
  buttonWidth_ = v;
  LayoutButtons();
}

void TToolBar::SetButtonHeight(int v) {
  if (v == buttonHeight_) return;
  buttonHeight_ = v;
  LayoutButtons();
}

void TToolBar::SetFlat(bool v) {
  if (v == flat_) return;
  flat_ = v;
  Invalidate();
}

void TToolBar::SetImages(TImageList* images) {
  images_ = images;
  Invalidate();
}

int TToolBar::ButtonCount() const {
  return static_cast<int>(std::count_if(order_.begin(), order_.end(),
                                        [](TControl* c) { return dynamic_cast<TToolButton*>(c) != nullptr; }));
}

TToolButton* TToolBar::Buttons(int index) const {
  for (TControl* c : order_) {
    auto* b = dynamic_cast<TToolButton*>(c);
    if (b && index-- == 0) return b;
  }
  return nullptr;
}

void TToolBar::LayoutButtons() {
  if (layingOut_ || HasState(csLoading)) return;
  layingOut_ = true;
  std::vector<TControl*> others;
  for (TControl* c : order_)
    if (!dynamic_cast<TToolButton*>(c) && c->Visible()) others.push_back(c);
  int x = 0;
  for (TControl* c : order_) {
    auto* b = dynamic_cast<TToolButton*>(c);
    if (!b || !b->Visible()) continue;
    const int w = b->IsSpacer() ? b->Width() : buttonWidth_;
    // Skip past any other control the button would cover.
    for (bool moved = true; moved;) {
      moved = false;
      for (TControl* o : others) {
        if (x < o->Left() + o->Width() && o->Left() < x + w) {
          x = o->Left() + o->Width();
          moved = true;
        }
      }
    }
    b->SetBoundsFromBar(x, kButtonTop, w, buttonHeight_);
    x += w;
  }
  layingOut_ = false;
}

void TToolBar::Loaded() {
  TWinControl::Loaded();
  LayoutButtons();
}

void TToolBar::WndProc(TMessage& m) {
  if (m.Msg == CM_CONTROLLISTCHANGE) {
    auto* c = reinterpret_cast<TControl*>(m.WParam);
    std::erase(order_, c);
    if (m.LParam) order_.push_back(c);
    LayoutButtons();
  }
  TWinControl::WndProc(m);
}

void TToolBar::Paint(TCanvas& canvas) {
  // Other controls may have moved since the last layout.
  LayoutButtons();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
}

}  // namespace tv
