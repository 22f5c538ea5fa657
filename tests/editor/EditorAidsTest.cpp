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
#include <QTest>
#include <QWheelEvent>

namespace {

void Wheel(int delta) {
    QWidget* viewport = frmEdit->memMain2->viewport();
    const QPointF at(10, 10);
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
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

TEST_F(EditorTest, FontDialogSetsPaneAndGutterAlike) {
    QFont font(ui::kMonospaceFont);
    font.setPointSize(14);
    font.setBold(true);
    chosenFont = font;
    frmEdit->FontName->trigger();
    EXPECT_EQ(frmEdit->memMain2->font().pointSize(), 14);
    EXPECT_FALSE(frmEdit->memMain2->font().bold());
    EXPECT_EQ(frmEdit->memMain->font(), frmEdit->memMain2->font());
    EXPECT_EQ(frmEdit->memMain->width(), 5 * frmEdit->memMain2->CharWidth() + 8);
    EXPECT_GT(frmEdit->memMain2->LeftMargin(), frmEdit->memMain->width());
    EXPECT_FALSE(frmEdit->HasUnsavedDocuments()); // a font is no change of the text
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
