// Step numbers: which lines are steps and sequence headers, the numbering of event and sequence
// parts, and the keys after which the gutter is renumbered.
#include "EditorTestFixture.h"

#include "editor/EditSteps.h"

#include <QApplication>
#include <QClipboard>

namespace {

using editor::NumberSteps;

TEST(StepLines, BracketsOutsideCommentsMakeSteps) {
    for (const QString line : {"A=(1)", "A=(1) 'x", "B=[2]", "SQON(1)", "(#RDY=1)JOG"})
        EXPECT_TRUE(editor::IsStepLine(line)) << line.toStdString();
    for (const QString line : {"'(1)", "A=)(", "A=(1", "C=(1 [2]", "X=1 'a(b)", "PLAIN"})
        EXPECT_FALSE(editor::IsStepLine(line)) << line.toStdString();
}

TEST(StepLines, SequenceHeadersStandOutsideCommentsAndCommands) {
    for (const QString line : {"SQ1", "SQ 'start", "sq", "X|SQ", "SQ(1)"})
        EXPECT_TRUE(editor::IsSequenceHeader(line)) << line.toStdString();
    for (const QString line : {"'x SQ", "SQ|X", "SQON(1)", "/SQ", "()SQWK", "A)SQ", "EV"})
        EXPECT_FALSE(editor::IsSequenceHeader(line)) << line.toStdString();
}

TEST(StepLines, SequencePartsRestartWhileEventStepsCountOn) {
    const editor::StepNumbering n = NumberSteps(
        {"EV", "()A", "()B", "SQ", "[]C", "[]D", "/SQ", "()E", "SQ(1)", "()F", "(/SQ)", "()G"});
    EXPECT_EQ(n.gutterRows, QStringList({"     ", "    1", "    2", "     ", "    1", "    2",
                                         "     ", "    3", "    1", "    2", "    4", "    5"}));
    EXPECT_EQ(n.eventSteps, 5);
    EXPECT_EQ(n.sequenceSteps, 2);
}

TEST(StepLines, NumbersOfFiveDigitsShowBlank) {
    EXPECT_EQ(editor::GutterRow(1), "    1");
    EXPECT_EQ(editor::GutterRow(9999), " 9999");
    EXPECT_EQ(editor::GutterRow(10000), "     ");
    const QStringList rows = NumberSteps(QStringList(10001, "()X")).gutterRows;
    EXPECT_EQ(rows[9998], " 9999");
    EXPECT_EQ(rows[9999], "     ");
    EXPECT_EQ(rows[10000], "     ");
}

TEST_F(EditorTest, ClosingCharactersAndLineEndsRenumber) {
    TypeText("A=(1");
    EXPECT_EQ(GutterRows(), QStringList());
    TypeText(")");
    EXPECT_EQ(GutterRows(), QStringList({"    1"}));
    TypeText("\rB=1]");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "     "})); // no "[": not a step
    Press(Qt::Key_Home);
    TypeText("[");
    // An opening bracket alone does not renumber; the next closing one does.
    EXPECT_EQ(GutterRows(), QStringList({"    1", "     "}));
    Press(Qt::Key_End);
    TypeText("]");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "    2"}));
}

TEST_F(EditorTest, BackspaceAndDeleteOfStepCharactersRenumber) {
    TypeText("A=(1)\rB=(2)");
    ASSERT_EQ(GutterRows(), QStringList({"    1", "    2"}));
    Press(Qt::Key_Backspace); // the ")" before the caret
    EXPECT_EQ(GutterRows(), QStringList({"    1", "     "}));
    TypeText(")");
    Press(Qt::Key_Up);
    Press(Qt::Key_Home);
    for (int i = 0; i < 2; ++i)
        Press(Qt::Key_Right);
    Press(Qt::Key_Delete); // the "(" under the caret
    EXPECT_EQ(GutterRows(), QStringList({"     ", "    1"}));

    Press(Qt::Key_End);
    Press(Qt::Key_Delete); // joins the lines: the line count changes
    EXPECT_EQ(PaneText(), "A=1)B=(2)");
    EXPECT_EQ(GutterRows(), QStringList({"     "}));
}

TEST_F(EditorTest, PastedStepsAreNumberedAndMarkTheDocument) {
    QApplication::clipboard()->setText("SQ\n[]X\n[]Y\n/SQ\n()Z");
    frmEdit->EditPasteItem->trigger();
    EXPECT_EQ(GutterRows(), QStringList({"     ", "    1", "    2", "     ", "    1"}));
    EXPECT_EQ(frmEdit->DocModified[0], 1);
    EXPECT_EQ(frmEdit->SequenceStepCount, 2);
    EXPECT_EQ(frmEdit->EventStepCount, 1);
    frmEdit->EditUndoItem->trigger();
    EXPECT_EQ(PaneText(), "");
    EXPECT_EQ(GutterRows(), QStringList());
}

} // namespace
