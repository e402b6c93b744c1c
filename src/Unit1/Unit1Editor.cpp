// The editor: drawing tools, the undo history and saving the picture.
#include <algorithm>
#include <filesystem>

#include "Unit1/Unit1.h"
#include "controls/sColorSelect.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Streams.h"
#include "framework/controls/TImage.h"
#include "framework/controls/TScrollBox.h"
#include "framework/controls/TToolBar.h"
#include "framework/dialogs/Dialogs.h"
#include "framework/dialogs/TSaveDialog.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"
#include "framework/graphics/TImageList.h"
#include "framework/graphics/TJPEGImage.h"

namespace tv {

namespace {

constexpr int kPenWidth = 3;
constexpr int kWheelStep = 5;
constexpr int kHistoryLimit = 9;

void RedisplayImage(TImage* image) {
  image->Hide();
  image->Show();
}

// Writes bytes to `path` through a temporary file beside it, so a failed write never leaves a
// damaged file in place of the old one. A link is followed and the file it names replaced; an
// existing file keeps its permissions, and one that cannot be written is not replaced.
void WriteFileReplacing(const std::string& path, TMemoryStream& bytes) {
  namespace fs = std::filesystem;
  fs::path target(path);
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  const bool exists = fs::exists(target, ec);
  if (exists) {
    if (fs::is_directory(target, ec)) throw EFCreateError("Cannot create file \"" + path + "\"");
    // Opening for writing (without truncating) asks the system whether we may change the file.
    if (!TFileStream::Open(target.string(), fmOpenWrite).ok())
      throw EFCreateError("Cannot create file \"" + path + "\"");
  }
  fs::path temp;
  for (int n = 0;; ++n) {
    temp = target.parent_path() / ("." + target.filename().string() + ".part" + (n ? std::to_string(n) : ""));
    if (!fs::exists(fs::symlink_status(temp, ec))) break;
  }
  try {
    bytes.SaveToFile(temp.string());
    if (exists) {
      const fs::perms perms = fs::status(target, ec).permissions();
      if (!ec) fs::permissions(temp, perms, ec);
    }
    fs::rename(temp, target);
  } catch (...) {
    fs::remove(temp, ec);
    throw;
  }
}

}  // namespace

// ---- tools -------------------------------------------------------------------------------------

void TForm1::ToolButton1Click(TObject*) {
  ToolButton2->SetDown(false);
  ToolButton3->SetDown(false);
}

void TForm1::ToolButton2Click(TObject*) {
  ToolButton1->SetDown(false);
  ToolButton3->SetDown(false);
}

void TForm1::ToolButton3Click(TObject*) {
  ToolButton1->SetDown(false);
  ToolButton2->SetDown(false);
}

void TForm1::Image1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  TCanvas& canvas = Picture().Canvas();
  const TColor color = sColorSelect1->ColorValue();
  if (ToolButton1->Down()) {
    canvas.MoveTo(X, Y);
    canvas.Pen().SetMode(pmCopy);
    canvas.Pen().SetColor(color);
    canvas.Pen().SetWidth(kPenWidth);
    PenActive = true;
    LineActive = false;
    TextActive = false;
  } else if (ToolButton2->Down()) {
    canvas.Pen().SetMode(pmCopy);
    canvas.Pen().SetColor(color);
    canvas.Pen().SetWidth(kPenWidth);
    canvas.MoveTo(X, Y);
    LineStartX = X;
    LineStartY = Y;
    LineActive = true;
    PenActive = false;
    TextActive = false;
  } else if (ToolButton3->Down()) {
    PenActive = false;
    LineActive = false;
    TextActive = true;
    const bool english = English();
    ComponentGuard guard(this);
    const std::string text = InputBox(english ? "Input text" : "Текст для вставки",
                                      english ? "Insert text there:" : "Введите текст:", "");
    // A new capture while the box was open ended this stamp with the picture it was meant for.
    if (!guard || !TextActive) return;
    // The modal box takes the mouse capture, so the release of this press usually never reaches
    // the picture: the stamp ends here. A cancelled or empty text is no stroke and records nothing.
    TextActive = false;
    if (text.empty()) return;
    TCanvas& c = Picture().Canvas();
    c.Font().SetColor(sColorSelect1->ColorValue());
    c.Pen().SetWidth(kPenWidth);
    c.TextOut(X, Y, text);
    Image1->Invalidate();
    CheckHistoryLimit();
    RecordSnapshot();
  }
}

void TForm1::Image1MouseMove(TObject*, TShiftState, int X, int Y) {
  TCanvas& canvas = Picture().Canvas();
  if (PenActive) {
    canvas.LineTo(X, Y);
    Image1->Invalidate();
  }
  if (LineActive) {
    canvas.Pen().SetColor(sColorSelect1->ColorValue());
    const TPoint last = canvas.PenPos();
    canvas.Pen().SetMode(TPenMode::pmNot);
    canvas.MoveTo(LineStartX, LineStartY);
    canvas.LineTo(last.X, last.Y);
    canvas.MoveTo(LineStartX, LineStartY);
    canvas.LineTo(X, Y);
    Image1->Invalidate();
  }
}

void TForm1::Image1MouseUp(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (LineActive) {
    CheckHistoryLimit();
    TCanvas& canvas = Picture().Canvas();
    // Take the band off first: the release may come at another point than the last move.
    const TPoint band = canvas.PenPos();
    canvas.Pen().SetMode(TPenMode::pmNot);
    canvas.MoveTo(LineStartX, LineStartY);
    canvas.LineTo(band.X, band.Y);
    canvas.Pen().SetMode(TPenMode::pmCopy);
    canvas.Pen().SetColor(sColorSelect1->ColorValue());
    canvas.MoveTo(LineStartX, LineStartY);
    canvas.LineTo(X, Y);
    Image1->Invalidate();
    LineActive = false;
    RecordSnapshot();
  }
  if (PenActive) {
    CheckHistoryLimit();
    PenActive = false;
    RecordSnapshot();
  }
  if (TextActive) {
    CheckHistoryLimit();
    TextActive = false;
    RecordSnapshot();
  }
}

void TForm1::sScrollBox1MouseWheelDown(TObject*, TShiftState, TPoint, bool& Handled) {
  auto& bar = sScrollBox1->VertScrollBar();
  bar.SetPosition(bar.Position() + kWheelStep);
  Handled = true;
}

void TForm1::sScrollBox1MouseWheelUp(TObject*, TShiftState, TPoint, bool& Handled) {
  auto& bar = sScrollBox1->VertScrollBar();
  bar.SetPosition(bar.Position() - kWheelStep);
  Handled = true;
}

// ---- undo history ------------------------------------------------------------------------------

void TForm1::RestartHistory() {
  // A stroke in progress belonged to the picture being replaced.
  PenActive = false;
  LineActive = false;
  TextActive = false;
  StrokeCount = 0;
  UndoCount = 0;
  ImageList1->Clear();
  ImageList1->SetSize(Picture().Width(), Picture().Height());
  ImageList1->Insert(0, Picture());
}

void TForm1::CheckHistoryLimit() {
  if (StrokeCount <= kHistoryLimit) return;
  ImageList1->Clear();
  RedisplayImage(Image1);
  StrokeCount = 0;
  ImageList1->Insert(0, Picture());
  UndoCount = 0;
}

void TForm1::RecordSnapshot() {
  StrokeCount = StrokeCount + 1;
  RedisplayImage(Image1);
  // The picture is taken before pending messages run: input among them (a quick second click, a
  // new capture) would otherwise change it first and leave this stroke without its own entry.
  // After a failed insertion the count runs ahead of the list; the next entry goes to its end.
  const int index = std::min(StrokeCount, ImageList1->Count());
  const bool inserted = ImageList1->Insert(index, Picture());
  ComponentGuard guard(this);
  Application->ProcessMessages();
  if (!guard || inserted) return;
  MessageBox(English() ? "Exceeded the number of available image saves\r\nError #9"
                       : "Превышено количество возможных сохранений.\r\nError #9",
             Application->Title(), MB_OK);
}

void TForm1::ToolButton11Click(TObject*) {
  if (UndoCount + 1 > StrokeCount) return;
  UndoCount = UndoCount + 1;
  Image1->Hide();
  ImageList1->Draw(Picture().Canvas(), 0, 0, StrokeCount - UndoCount);
  Image1->Show();
  Image1->Invalidate();
  if (StrokeCount == UndoCount) RestartHistory();
}

// ---- save --------------------------------------------------------------------------------------

void TForm1::ToolButton14Click(TObject*) {
  if (Picture().Width() == 0) return;
  if (!sSavePictureDialog1->Execute()) return;
  try {
    TMemoryStream bmp;
    Picture().SaveToStream(bmp);
    bmp.SetPosition(0);
    TBitmap copy;
    copy.LoadFromStream(bmp);
    TJPEGImage jpeg;
    jpeg.Assign(copy);
    jpeg.SetCompressionQuality(100);
    TMemoryStream encoded;
    jpeg.SaveToStream(encoded);
    WriteFileReplacing(sSavePictureDialog1->FileName(), encoded);
  } catch (const std::exception&) {
    MessageBox(English() ? "Saving file error #1" : "Ошибка сохранения файла #1", Application->Title(), MB_OK);
  }
}

}  // namespace tv
