// The editor: drawing tools, the undo history and saving the picture.
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
// damaged file in place of the old one.
void WriteFileReplacing(const std::string& path, TMemoryStream& bytes) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temp = target;
  temp += ".part";
  try {
    bytes.SaveToFile(temp.string());
    fs::rename(temp, target);
  } catch (...) {
    std::error_code ec;
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
    canvas.Pen().SetColor(color);
    canvas.Pen().SetWidth(kPenWidth);
    PenActive = true;
    LineActive = false;
    TextActive = false;
  } else if (ToolButton2->Down()) {
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
    const std::string text = InputBox(english ? "Input text" : "Текст для вставки",
                                      english ? "Insert text there:" : "Введите текст:", "");
    if (!text.empty()) {
      TCanvas& c = Picture().Canvas();
      c.Font().SetColor(sColorSelect1->ColorValue());
      c.Pen().SetWidth(kPenWidth);
      c.TextOut(X, Y, text);
      Image1->Invalidate();
    }
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
  Application->ProcessMessages();
  if (!ImageList1->Insert(StrokeCount, Picture())) {
    MessageBox(English() ? "Exceeded the number of available image saves\r\nError #9"
                         : "Превышено количество возможных сохранений.\r\nError #9",
               Application->Title(), MB_OK);
  }
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
