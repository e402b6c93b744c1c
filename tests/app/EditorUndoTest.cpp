// The undo history: snapshots after each stroke, steps back, restarts.
#include <gtest/gtest.h>

#include <set>

#include "app/EditorFixture.h"

namespace tv::testing {
namespace {

class EditorUndo : public EditorFixture {
 protected:
  // Pen stroke number k: a short vertical zigzag in its own column.
  static std::vector<TPoint> Stroke(int k) {
    const int x = 20 + 50 * k;
    return {{x, 20}, {x + 10, 60}, {x, 100}};
  }

  // Runs the letters of `ops`: 'A'..'K' draw stroke 0..10 with the pen, 'U' clicks Undo.
  void Run(const std::string& ops) {
    for (char op : ops) {
      if (op == 'U')
        ClickControl(Form1->ToolButton11);
      else if (op >= 'A' && op <= 'K')
        Drag(Stroke(op - 'A'));
    }
  }

  // The capture with the given strokes drawn on it.
  TBitmap With(const std::string& strokes) {
    TBitmap b(base);
    for (char s : strokes) DrawStroke(b, Stroke(s - 'A'));
    return b;
  }

  void SetUpHistory() {
    Capture();
    base = Snapshot();
    if (!Form1->ToolButton1->Down()) ClickControl(Form1->ToolButton1);
  }

  TBitmap base;
};

TEST_F(EditorUndo, UndoSequences) {
  struct Case {
    std::string ops;
    std::string visible;  // the strokes the picture shows afterwards
    int strokeCount;
    int undoCount;
  };
  const std::vector<Case> cases = {
      {"U", "", 0, 0},
      {"ABC", "ABC", 3, 0},
      {"ABCU", "AB", 3, 1},
      {"ABCUUU", "", 0, 0},  // the capture is back and the history restarted
      {"ABCUUUU", "", 0, 0},
      {"UAU", "", 0, 0},
      {"UABU", "A", 2, 1},
      {"ABUCU", "A", 3, 2},
      {"ABUCUU", "", 0, 0},
      {"ABCDEFGHIJ", "ABCDEFGHIJ", 10, 0},
      {"ABCDEFGHIJK", "ABCDEFGHIJK", 1, 0},  // the eleventh stroke restarted the history
      {"ABCDEFGHIJKU", "ABCDEFGHIJK", 0, 0},
      {"ABCDEFGHIJKUU", "ABCDEFGHIJK", 0, 0},
      {"ABCDEFGHIJKLU", "ABCDEFGHIJK", 0, 0},  // 'L' is no stroke
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ops);
    SetUpHistory();
    Run(c.ops);
    TBitmap expected = With(c.visible);
    TBitmap shown = Snapshot();
    EXPECT_EQ(FirstDifference(shown, expected), "");
    EXPECT_EQ(StrokeCount, c.strokeCount);
    EXPECT_EQ(UndoCount, c.undoCount);
    // The picture on screen is always entry StrokeCount - UndoCount.
    TBitmap entry;
    ASSERT_TRUE(Form1->ImageList1->GetBitmap(StrokeCount - UndoCount, entry));
    EXPECT_EQ(FirstDifference(entry, expected), "");
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(EditorUndo, TheHistoryHoldsTheBaseAndAtMostTenSnapshots) {
  SetUpHistory();
  EXPECT_EQ(Form1->ImageList1->Count(), 1);
  EXPECT_EQ(Form1->ImageList1->Width(), kScreenWidth);
  EXPECT_EQ(Form1->ImageList1->Height(), kScreenHeight);
  Run("ABCDEFGHIJ");
  EXPECT_EQ(Form1->ImageList1->Count(), 11);
  Run("K");
  EXPECT_EQ(Form1->ImageList1->Count(), 2);
  TBitmap newBase;
  ASSERT_TRUE(Form1->ImageList1->GetBitmap(0, newBase));
  TBitmap all = With("ABCDEFGHIJK");
  EXPECT_EQ(FirstDifference(newBase, all), "");
}

// The eleventh line restarts the history before its final line is drawn: the new base holds the
// band as it was shown last.
TEST_F(EditorUndo, TheEleventhLineRestartsWithTheBandInTheBase) {
  SetUpHistory();
  Run("ABCDEFGHIJ");
  ClickControl(Form1->ToolButton2);
  Drag({{30, 200}, {200, 260}});
  EXPECT_EQ(StrokeCount, 1);
  TBitmap newBase;
  ASSERT_TRUE(Form1->ImageList1->GetBitmap(0, newBase));
  TBitmap withoutBand = With("ABCDEFGHIJ");
  EXPECT_NE(newBase.PixelColor(115, 230), withoutBand.PixelColor(115, 230));
  EXPECT_NE(newBase.PixelColor(115, 230), clRed);
  TBitmap expected = With("ABCDEFGHIJ");
  DrawStroke(expected, {{30, 200}, {200, 260}});
  TBitmap shown = Snapshot();
  EXPECT_EQ(FirstDifference(shown, expected), "");
}

TEST_F(EditorUndo, ANewCaptureRestartsTheHistory) {
  SetUpHistory();
  Run("ABU");
  EXPECT_EQ(StrokeCount, 2);
  Capture();
  EXPECT_EQ(StrokeCount, 0);
  EXPECT_EQ(UndoCount, 0);
  EXPECT_EQ(Form1->ImageList1->Count(), 1);
  Run("U");
  TBitmap shown = Snapshot();
  EXPECT_EQ(FirstDifference(shown, base), "");
}

// A capture that arrives in the middle of a drag ends the stroke: nothing of it lands on the new
// picture and nothing is recorded.
TEST_F(EditorUndo, ACaptureDuringALineDragEndsTheStroke) {
  SetUpHistory();
  ClickControl(Form1->ToolButton2);
  Down(30, 30);
  Move(200, 100);
  Capture();
  Move(220, 120);
  Up(220, 120);
  TBitmap shown = Snapshot();
  EXPECT_EQ(FirstDifference(shown, base), "");
  EXPECT_EQ(StrokeCount, 0);
  EXPECT_FALSE(Form1->LineActive);
}

// Input that arrives while a snapshot lets pending messages run (a quick second click) makes a
// stroke of its own, with no error.
TEST_F(EditorUndo, AStrokeInsideTheSnapshotsMessagePassIsRecordedWithoutError) {
  SetUpHistory();
  const std::vector<TPoint> first = Stroke(0), second = Stroke(1);
  auto at = [&](TPoint p) { return AtPicture(p.X, p.Y); };
  fake->MouseDown(Form1->Handle(), platform::MouseButton::Left, at(first[0]).X, at(first[0]).Y);
  fake->MouseMove(Form1->Handle(), at(first[1]).X, at(first[1]).Y);
  fake->MouseMove(Form1->Handle(), at(first[2]).X, at(first[2]).Y);
  fake->MouseUp(Form1->Handle(), platform::MouseButton::Left, at(first[2]).X, at(first[2]).Y);
  fake->MouseDown(Form1->Handle(), platform::MouseButton::Left, at(second[0]).X, at(second[0]).Y);
  fake->MouseMove(Form1->Handle(), at(second[1]).X, at(second[1]).Y);
  fake->MouseMove(Form1->Handle(), at(second[2]).X, at(second[2]).Y);
  fake->MouseUp(Form1->Handle(), platform::MouseButton::Left, at(second[2]).X, at(second[2]).Y);
  app->ProcessMessages();
  EXPECT_EQ(StrokeCount, 2);
  EXPECT_EQ(Form1->ImageList1->Count(), 3);
  Run("U");
  TBitmap shown = Snapshot();
  TBitmap onlyFirst = With("A");
  EXPECT_EQ(FirstDifference(shown, onlyFirst), "");
  Run("U");
  shown = Snapshot();
  EXPECT_EQ(FirstDifference(shown, base), "");
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace tv::testing
