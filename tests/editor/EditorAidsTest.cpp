// The editing aids: caret and typing-mode panels, the wheel, the gutter beside the rows, find and
// replace, the font, the printout and the window's caption.
#include "EditorTestFixture.h"

#include "editor/EditFind.h"
#include "editor/EditPrint.h"
#include "shell/UnitMain.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QWheelEvent>

namespace {

void Wheel(int delta) {
    QWidget* viewport = frmEdit->memMain2->viewport();
    const QPointF at(10, 10);
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

// The leftmost x of `area` with a pixel unlike `background`; -1 when there is none.
int FirstInkedX(const QImage& image, const QRect& area, const QColor& background) {
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (image.pixelColor(x, y) != background) return x;
    return -1;
}

// Where the caret stands at a row's start, or at a column of it, in the coordinates of `in`.
QRect CaretPlace(ui::EditorPane* pane, int row, int column, QWidget* in) {
    QTextCursor cursor(pane->document()->findBlockByNumber(row));
    cursor.setPosition(cursor.position() + column);
    const QRect rect = pane->cursorRect(cursor);
    return QRect(pane->viewport()->mapTo(in, rect.topLeft()), rect.size());
}

TEST_F(EditorTest, CaretPanelAndInsertKeyFollowTheUser) {
    EXPECT_EQ(frmEdit->PanelText(0), "   1:  1 ");
    EXPECT_EQ(frmEdit->PanelText(2), "挿入");
    TypeText("ab\r\tcd");
    EXPECT_EQ(frmEdit->PanelText(0), "2:  11 "); // the tab reaches column 9
    Press(Qt::Key_Insert);
    EXPECT_EQ(frmEdit->PanelText(2), "上書き");
    Press(Qt::Key_Left);
    Press(Qt::Key_Left);
    TypeText("X");
    EXPECT_EQ(PaneText(), "ab\n\tXd");
    Press(Qt::Key_Insert);
    EXPECT_EQ(frmEdit->PanelText(2), "挿入");
    TypeText("Y");
    EXPECT_EQ(PaneText(), "ab\n\tXYd");
    // Punctuation is text, not the key that shares its character code ("-" Insert, "." Delete).
    TypeText("-.-");
    EXPECT_EQ(frmEdit->PanelText(2), "挿入");
    EXPECT_EQ(PaneText(), "ab\n\tXY-.-d");
}

TEST_F(EditorTest, WheelScrollsTwoLinesOnlyWhenTheTextIsTaller) {
    frmEdit->memMain2->SetLines({"()A", "()B"});
    Wheel(-120);
    EXPECT_EQ(frmEdit->memMain2->TopRow(), 0);

    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines.append(QString("(%1)X").arg(i));
    frmEdit->memMain2->SetLines(lines);
    frmEdit->RenumberSteps();
    frmEdit->memMain2Change(frmEdit);
    Wheel(-120);
    EXPECT_EQ(frmEdit->memMain2->TopRow(), 2);
    Wheel(-120);
    Wheel(120);
    EXPECT_EQ(frmEdit->memMain2->TopRow(), 2);
    // The gutter shows the numbers of the rows beside it.
    EXPECT_EQ(frmEdit->memMain->TopRow(), 2);
    EXPECT_EQ(frmEdit->memMain2->GetScrollBars(), ui::EditorPane::ScrollBars::Vertical);
}

TEST_F(EditorTest, TypingPastTheRightEdgeKeepsTheCaretInView) {
    TypeText(QString(300, 'X'));
    EXPECT_EQ(frmEdit->memMain2->GetScrollBars(), ui::EditorPane::ScrollBars::Horizontal);
    EXPECT_GT(frmEdit->memMain2->TopCol(), 0);
    EXPECT_LE(frmEdit->memMain2->cursorRect().right(), frmEdit->memMain2->viewport()->width());
}

TEST_F(EditorTest, FindSelectsOrSaysNotFound) {
    TypeText("abc ABC abc");
    Press(Qt::Key_Home);
    frmEdit->FindSearch->trigger();
    TFindDialog* dialog = frmEdit->FindDialog;
    EXPECT_TRUE(dialog->isVisible());
    dialog->edtFind->setText("ABC");
    dialog->chkMatchCase->setChecked(true);
    dialog->btnFindNext->click();
    EXPECT_EQ(frmEdit->memMain2->textCursor().selectionStart(), 4);
    dialog->btnFindNext->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().text, "検索文字列は見つかりませんでした。");
    EXPECT_EQ(LastMessage().caption, "情報");
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Information);
}

TEST_F(EditorTest, ReplaceAllMakesOnePassAndMarksTheDocument) {
    WriteFile("R.MB", "A=(1)\r\nB=A\r\n");
    Open("R.MB");
    frmEdit->FindReplace->trigger();
    TReplaceDialog* dialog = frmEdit->ReplaceDialog;
    dialog->edtFind->setText("A");
    dialog->edtReplace->setText("AA");
    dialog->btnReplaceAll->click();
    EXPECT_EQ(PaneText(), "AA=(1)\nB=AA");
    EXPECT_EQ(frmEdit->DocModified[0], 1);
    EXPECT_EQ(frmEdit->PanelText(1), "変更あり");

    // A single replace takes the match a find has selected.
    frmEdit->memMain2->SetSelStart(0);
    dialog->edtFind->setText("B");
    dialog->edtReplace->setText("C");
    dialog->btnFindNext->click();
    dialog->btnReplace->click();
    EXPECT_EQ(PaneText(), "AA=(1)\nC=AA");
    dialog->btnReplace->click();
    EXPECT_EQ(LastMessage().text, "検索文字列は見つかりませんでした。");
}

// The dialog shows the pane's font in points and the pane takes the chosen points at 96 dpi.
TEST_F(EditorTest, FontDialogSetsPaneAndGutterAlike) {
    QFont font(ui::kMonospaceFont);
    font.setPointSize(14);
    font.setBold(true);
    QFont shown;
    ui::SetFontDialogResponder([&](const QFont& initial) {
        shown = initial;
        return font;
    });
    frmEdit->FontName->trigger();
    EXPECT_EQ(shown.pointSize(), 9);
    EXPECT_EQ(frmEdit->memMain2->font().pixelSize(), 19);
    EXPECT_FALSE(frmEdit->memMain2->font().bold());
    EXPECT_EQ(frmEdit->memMain->font(), frmEdit->memMain2->font());
    EXPECT_EQ(frmEdit->memMain->width(), 5 * frmEdit->memMain2->CharWidth() + 8);
    EXPECT_GT(frmEdit->memMain2->LeftMargin(), frmEdit->memMain->width());
    EXPECT_FALSE(frmEdit->HasUnsavedDocuments()); // a font is no change of the text
}

// The row numbers count from 1, as the compile listing's line numbers do, and scroll with the
// rows; the ruler's tenth-column marks stand where those columns of the text start, also when
// it scrolls sideways; the step-number gutter keeps beside its rows below the ruler, in the
// window's font and in another.
TEST_F(EditorTest, RowNumbersRulerAndGutterKeepToTheTextsRowsAndColumns) {
    QByteArray file;
    for (int i = 1; i <= 150; ++i)
        file += (i == 100 ? QByteArray(300, 'X') : "(" + QByteArray::number(i) + ")X") + "\r\n";
    WriteFile("N.MB", file);
    Open("N.MB");
    ui::EditorPane* pane = frmEdit->memMain2;
    for (int i = 0; i < 49; ++i)
        Wheel(-120);
    ASSERT_EQ(pane->TopRow(), 98);
    const int frame = pane->frameWidth();
    const QRect margin = pane->LeftMarginRect();
    ASSERT_GT(margin.top(), frame + 4); // the ruler's room
    const int width = pane->CharWidth();
    QImage image = pane->grab().toImage();

    const QRect bar(frame, margin.top(), margin.left() - frame, margin.height());
    const QColor barBackground = image.pixelColor(bar.left() + 1, bar.top() + 1);
    auto numberStart = [&](int row) {
        const QRect place = CaretPlace(pane, row, 0, pane);
        return FirstInkedX(image, QRect(bar.left(), place.top(), bar.width(), place.height()),
                           barBackground);
    };
    ASSERT_GT(numberStart(99), bar.left());
    const int widening = numberStart(98) - numberStart(99); // "99", then "100"
    EXPECT_GT(widening, width / 2);
    EXPECT_LT(widening, width * 3 / 2);
    EXPECT_EQ(numberStart(100), numberStart(99)); // "101"

    const QColor rulerBackground = image.pixelColor(frame + 1, frame + 1);
    auto longMarkAt = [&](int x) {
        for (int y = frame; y < margin.top(); ++y)
            if (image.pixelColor(x, y) == rulerBackground) return false;
        return true;
    };
    const int shift = 3 * width;
    for (int scrolled : {0, shift}) {
        pane->horizontalScrollBar()->setValue(scrolled);
        ASSERT_EQ(pane->horizontalScrollBar()->value(), scrolled);
        image = pane->grab().toImage();
        for (int column : {10, 20}) {
            const int x = CaretPlace(pane, 99, column, pane).left();
            EXPECT_TRUE(longMarkAt(x)) << column << " " << scrolled;
            EXPECT_FALSE(longMarkAt(x - 1)) << column << " " << scrolled;
            EXPECT_FALSE(longMarkAt(x + width)) << column << " " << scrolled;
        }
    }

    auto expectGutterBesideRows = [&] {
        for (int row = pane->TopRow(); row < pane->TopRow() + pane->VisibleRows(); ++row) {
            const QRect step = CaretPlace(frmEdit->memMain, row, 0, frmEdit);
            const QRect text = CaretPlace(pane, row, 0, frmEdit);
            EXPECT_EQ(step.top(), text.top()) << row;
            EXPECT_EQ(step.height(), text.height()) << row;
        }
    };
    expectGutterBesideRows();
    QFont font("DejaVu Sans Mono");
    font.setPointSize(14);
    chosenFont = font;
    frmEdit->FontName->trigger();
    Wheel(-120);
    ASSERT_GT(pane->LeftMarginRect().top(), margin.top()); // a taller ruler
    expectGutterBesideRows();
}

TEST(EditorPrintout, RowsStandAtTheirLinePitchAndBreakPages) {
    const auto printout = editor::LayOutPrintout("P.MB", {"    1", "     ", "    2", "    3"},
                                                 {"()A", "\tX", "()B", "()C"}, 100, 500);
    ASSERT_EQ(printout.size(), 5u);
    EXPECT_EQ(printout[0].text, "ファイル名 : P.MB");
    EXPECT_EQ(printout[0].y, 0);
    EXPECT_EQ(printout[1].text, "    1 ()A");
    EXPECT_EQ(printout[2].text, QString(14, ' ') + "X");
    const int expectedY[] = {185, 295, 405, 185};
    const int expectedPage[] = {0, 0, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(printout[i + 1].x, 200);
        EXPECT_EQ(printout[i + 1].y, expectedY[i]) << i;
        EXPECT_EQ(printout[i + 1].page, expectedPage[i]) << i;
    }
    // y = 75 + trunc(1.1 h n) with the product h n taken first.
    EXPECT_EQ(editor::LayOutPrintout("", {}, {"a", "b", "c"}, 33, 10000)[3].y, 183);
}

TEST_F(EditorTest, PrintWritesTheDocumentOrNothingWhenCancelled) {
    TypeText("()A\r()B");
    frmEdit->FilePrintItem->trigger();
    printFile = workDir.filePath("doc.pdf");
    frmEdit->FilePrintItem->trigger();
    EXPECT_TRUE(messages.empty());
    QFile pdf(*printFile);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    EXPECT_EQ(QDir(workDir.path()).entryList({"*.pdf"}), QStringList({"doc.pdf"}));
}

TEST_F(EditorTest, CaptionNamesTheDesignatedAxisOnActivation) {
    frmMain->lblAxis->setText("B");
    frmEdit->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frmEdit));
    EXPECT_EQ(frmEdit->windowTitle(), "B軸の編集");
}

} // namespace
