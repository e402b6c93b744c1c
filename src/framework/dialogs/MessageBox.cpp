#include <algorithm>

#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "framework/Exceptions.h"
#include "framework/controls/TButton.h"
#include "framework/controls/TEdit.h"
#include "framework/controls/TImage.h"
#include "framework/controls/TLabel.h"
#include "framework/dialogs/TMessageForm.h"
#include "framework/graphics/TCanvas.h"
#include "platform/Platform.h"

namespace tv {

namespace {

constexpr int kMargin = 11;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

struct ButtonSpec {
  int id;
  const char* caption;
};

std::vector<ButtonSpec> ButtonsFor(UINT type) {
  switch (type) {
    case MB_OKCANCEL:
      return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL:
      return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
      return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL:
      return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default:
      return {{IDOK, "OK"}};
  }
}

// The classic 32 x 32 message icons, drawn.
void DrawIcon(TCanvas& c, UINT icon) {
  c.Brush().SetColor(clBtnFace);
  c.FillRect({0, 0, kIconSize, kIconSize});
  c.Pen().SetColor(clBlack);
  c.Font().SetName("Tahoma");
  c.Font().SetHeight(-22);
  c.Font().SetStyle(fsBold);
  auto glyph = [&](const char* text, TColor color) {
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(color);
    TRect r{0, 0, kIconSize, kIconSize};
    c.DrawText(text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  };
  switch (icon) {
    case MB_ICONERROR:
      c.Brush().SetColor(clRed);
      c.Ellipse(1, 1, 31, 31);
      c.Pen().SetColor(clWhite);
      c.Pen().SetWidth(3);
      c.MoveTo(10, 10);
      c.LineTo(22, 22);
      c.MoveTo(22, 10);
      c.LineTo(10, 22);
      break;
    case MB_ICONWARNING:
      c.Brush().SetColor(clYellow);
      c.Polygon({{16, 1}, {31, 29}, {1, 29}});
      glyph("!", clBlack);
      break;
    case MB_ICONQUESTION:
      c.Brush().SetColor(clWhite);
      c.Ellipse(1, 1, 31, 31);
      glyph("?", clBlue);
      break;
    case MB_ICONINFORMATION:
      c.Brush().SetColor(clWhite);
      c.Ellipse(1, 1, 31, 31);
      glyph("i", clBlue);
      break;
    default:
      break;
  }
}

// Words wider than the text column (long paths) are broken where they reach its edge, so that
// they wrap instead of widening the box past the screen.
std::string BreakLongWords(const TFont& font, const std::string& text, int maxWidth) {
  std::string out;
  std::string word;
  auto flush = [&] {
    if (classic::TextWidthOf(font, word) <= maxWidth) {
      out += word;
    } else {
      std::string line;
      for (std::size_t i = 0; i < word.size();) {
        const std::size_t next = utf8::Next(word, i);
        const std::string ch = word.substr(i, next - i);
        if (!line.empty() && classic::TextWidthOf(font, line + ch) > maxWidth) {
          out += line + "\n";
          line.clear();
        }
        line += ch;
        i = next;
      }
      out += line;
    }
    word.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
      flush();
      out += c;
    } else {
      word += c;
    }
  }
  flush();
  return out;
}

}  // namespace

TMessageForm::TMessageForm(TComponent* owner, const std::string& text, const std::string& caption, UINT flags)
    : TDialogForm(owner) {
  SetCaption(caption);
  const UINT icon = flags & MB_ICONMASK;
  const std::vector<ButtonSpec> specs = ButtonsFor(flags & MB_TYPEMASK);
  const platform::Size screen = platform::GetPlatform().PrimaryScreenSize();

  int textLeft = kMargin;
  if (icon == MB_ICONERROR || icon == MB_ICONWARNING || icon == MB_ICONQUESTION || icon == MB_ICONINFORMATION) {
    icon_ = new TImage(this);
    icon_->SetParent(this);
    icon_->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
    icon_->Picture()->Bitmap()->SetSize(kIconSize, kIconSize);
    DrawIcon(icon_->Picture()->Bitmap()->Canvas(), icon);
    icon_->Picture()->Changed();
    textLeft = kMargin + kIconSize + kMargin + 4;
  }

  label_ = new TLabel(this);
  label_->SetParent(this);
  label_->SetShowAccelChar(false);
  label_->SetAutoSize(false);
  const int maxText = std::max(120, std::min(screen.width * 5 / 8, 600) - textLeft - kMargin);
  const std::string shown = BreakLongWords(Font(), text, maxText);
  TSize size = classic::MeasureText(Font(), shown.empty() ? std::string(" ") : shown, DT_NOPREFIX | DT_EXPANDTABS, maxText);
  label_->SetWordWrap(true);
  label_->SetCaption(shown);
  const int iconHeight = icon_ ? kIconSize : 0;
  const int textTop = kMargin + (size.cy < iconHeight ? (iconHeight - size.cy) / 2 : 0);
  label_->SetBounds(textLeft, textTop, size.cx + 1, size.cy);

  const int rowWidth = static_cast<int>(specs.size()) * kButtonWidth + static_cast<int>(specs.size() - 1) * kButtonGap;
  const int clientWidth = std::max(textLeft + size.cx + 1 + kMargin, rowWidth + 2 * kMargin);
  const int buttonTop = std::max(textTop + size.cy, kMargin + iconHeight) + kMargin + 4;
  SetClientWidth(clientWidth);
  SetClientHeight(buttonTop + kButtonHeight + kMargin);

  std::size_t defIndex = ((flags & MB_DEFMASK) >> 8);
  if (defIndex >= specs.size()) defIndex = 0;
  // Escape answers Cancel, or OK in an OK-only box; otherwise the box must be answered.
  for (const ButtonSpec& s : specs)
    if (s.id == IDCANCEL) cancelId_ = IDCANCEL;
  if (specs.size() == 1 && specs[0].id == IDOK) cancelId_ = IDOK;

  int x = (clientWidth - rowWidth) / 2;
  for (std::size_t i = 0; i < specs.size(); ++i) {
    auto* b = new TButton(this);
    b->SetParent(this);
    b->SetCaption(specs[i].caption);
    b->SetBounds(x, buttonTop, kButtonWidth, kButtonHeight);
    b->SetModalResult(specs[i].id);
    b->SetDefault(i == defIndex);
    b->SetCancel(specs[i].id == cancelId_);
    buttons_.push_back(b);
    ids_.push_back(specs[i].id);
    x += kButtonWidth + kButtonGap;
  }
  // The default button has the focus when the box opens.
  buttons_[defIndex]->SetTabOrder(0);
  // Ctrl+C copies the box as text, laid out as the Windows message box lays it out.
  SetKeyPreview(true);
  OnKeyDown = [this, text, caption](TObject*, std::uint16_t& key, TShiftState shift) {
    if (key != 'C' || (shift & (ssCtrl | ssAlt | ssShift)) != ssCtrl) return;
    const std::string rule = "---------------------------\r\n";
    std::string buttons;
    for (TButton* b : buttons_) {
      std::string c = b->Caption();
      c.erase(std::remove(c.begin(), c.end(), '&'), c.end());
      buttons += (buttons.empty() ? "" : "   ") + c;
    }
    Clipboard()->SetAsText(rule + caption + "\r\n" + rule + text + "\r\n" + rule + buttons + "\r\n" + rule);
    key = 0;
  };
  OnCloseQuery = [this](TObject*, bool& canClose) {
    // Closing the window (not a button) is refused when nothing answers it.
    if (ModalResult() == mrCancel && !ButtonFor(IDCANCEL) && cancelId_ == 0) canClose = false;
  };
}

TButton* TMessageForm::ButtonFor(int id) const {
  for (std::size_t i = 0; i < ids_.size(); ++i)
    if (ids_[i] == id) return buttons_[i];
  return nullptr;
}

int MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  if (!Application) return 0;
  TMessageForm* form = Create<TMessageForm>(Application, text, caption, flags);
  ComponentGuard guard(form);
  int result = 0;
  try {
    const TModalResult r = form->ShowModal();
    // A closed window answers as Escape does.
    result = (r == mrCancel && !form->ButtonFor(IDCANCEL)) ? form->CancelId() : r;
  } catch (...) {
    if (guard) delete form;
    throw;
  }
  if (guard) delete form;
  return result;
}

void ShowMessage(const std::string& text) {
  MessageBox(text, Application ? Application->Title() : std::string(), MB_OK);
}

void InstallDialogs() {
  if (!Application) return;
  Application->SetExceptionPresenter([](const std::string& text) {
    MessageBox(text, Application ? Application->Title() : std::string(), MB_OK | MB_ICONERROR);
  });
}

}  // namespace tv
