#pragma once
// A single-line edit field over UTF-8 text. Positions and lengths (SelStart, SelLength,
// MaxLength) count characters, and no edit ever splits a character. Keys: arrows, Home/End
// (with Shift to select, Ctrl to move by words), Backspace/Delete, Ctrl+A/C/X/V and
// Ctrl+Insert/Shift+Insert/Shift+Delete through the platform clipboard; typing arrives as
// characters. OnChange is raised on every change of the text.
#include <cstddef>
#include <string>

#include "framework/Control.h"
#include "framework/Form.h"

namespace tv {

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);

  // 0 = no limit. Existing text is not cut when the limit is lowered.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v) { maxLength_ = v < 0 ? 0 : v; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s);
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }

  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  std::string SelText() const;
  // Replaces the selection (within MaxLength).
  void SetSelText(const std::string& text);
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(std::string()); }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  // Caret position in characters.
  int CaretPos() const;
  // The character position nearest to a client x coordinate.
  int CharPosFromX(int x) const;
  // Number of characters of the text.
  int CharCount() const;

  TNotifyEvent OnChange;
  virtual void Change();

  void Paint(TCanvas& canvas) override;
  void WndProc(TMessage& message) override;

 protected:
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;
  bool WantsKey(std::uint16_t key) const override;
  void DoEnter() override;
  void DoExit() override;

 private:
  TRect TextArea() const;
  int TextX(std::size_t bytePos) const;
  std::size_t ByteFromChar(int charPos) const;
  int CharFromByte(std::size_t bytePos) const;
  std::size_t SelStartByte() const { return caret_ < anchor_ ? caret_ : anchor_; }
  std::size_t SelEndByte() const { return caret_ < anchor_ ? anchor_ : caret_; }
  void SetCaretByte(std::size_t pos, bool extend);
  // Replaces the selection with `text`, cut to the room MaxLength leaves; false when nothing changed.
  bool ReplaceSelection(const std::string& text);
  void SetTextFromEdit(const std::string& text);
  void EnsureCaretVisible();
  std::size_t WordLeft(std::size_t pos) const;
  std::size_t WordRight(std::size_t pos) const;
  void AdjustHeight();

  int maxLength_ = 0;
  bool readOnly_ = false;
  bool autoSelect_ = true;
  bool autoSize_ = true;
  TFormBorderStyle borderStyle_ = bsSingle;
  bool modified_ = false;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  int scrollX_ = 0;
  bool selecting_ = false;
  bool mouseFocusing_ = false;
  bool syncing_ = false;
};

// UTF-8 helpers: stepping never splits a character; a malformed byte counts as one character.
namespace utf8 {
std::size_t Next(const std::string& s, std::size_t pos);
std::size_t Prev(const std::string& s, std::size_t pos);
int Count(const std::string& s);
// The first `chars` characters of s.
std::string Head(const std::string& s, int chars);
std::string Encode(char32_t cp);
}  // namespace utf8

}  // namespace tv
