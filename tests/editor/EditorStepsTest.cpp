// Step numbers: which lines are steps and sequence headers, the numbering of event and sequence
// parts, and the gutter and printout that follow every change of the text.
#include "EditorTestFixture.h"

#include "editor/EditFind.h"
#include "editor/EditSteps.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

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
    EXPECT_EQ(GutterRows(), QStringList({"     "}));
    TypeText(")");
    EXPECT_EQ(GutterRows(), QStringList({"    1"}));
    TypeText("\rB=1]");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "     "})); // no "[": not a step
    Press(Qt::Key_Home);
    TypeText("[");
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

class EditorChangeTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        frmEdit->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frmEdit));
        frmEdit->memMain2->setFocus();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(frmEdit->memMain2, key, modifiers);
    }
    // Counts the triggers of a menu item.
    static std::shared_ptr<int> Count(QAction* item) {
        auto count = std::make_shared<int>(0);
        QObject::connect(item, &QAction::triggered, item, [count] { ++*count; });
        return count;
    }
    // A drag from elsewhere dropped at the start of the pane's first row.
    static void Drop(const QString& text) {
        QMimeData mime;
        mime.setText(text);
        Drop(mime);
    }
    static void Drop(const QMimeData& mime) {
        QWidget* viewport = frmEdit->memMain2->viewport();
        const QPoint at =
            frmEdit->memMain2->cursorRect(QTextCursor(frmEdit->memMain2->document())).center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
    }
};

TEST_F(EditorChangeTest, EveryKindOfChangeLeavesTheGutterNumberingTheText) {
    TypeText("A=(1)\rB=(2)");
    ASSERT_EQ(GutterRows(), QStringList({"    1", "    2"}));

    // Typing over a selection.
    for (int i = 0; i < 3; ++i)
        Key(Qt::Key_Left, Qt::ShiftModifier);
    TypeText("x");
    ASSERT_EQ(PaneText(), "A=(1)\nB=x");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "     "}));

    // Undo and redo by key.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(PaneText(), "A=(1)\nB=(2)");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "    2"}));
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(PaneText(), "A=(1)\nB=x");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "     "}));

    // Paste with Shift+Insert.
    QApplication::clipboard()->setText("[3]");
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(PaneText(), "A=(1)\nB=x[3]");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "    2"}));

    // Replace all.
    frmEdit->FindReplace->trigger();
    frmEdit->ReplaceDialog->edtFind->setText("(");
    frmEdit->ReplaceDialog->edtReplace->setText("");
    frmEdit->ReplaceDialog->btnReplaceAll->click();
    EXPECT_EQ(PaneText(), "A=1)\nB=x[3]");
    EXPECT_EQ(GutterRows(), QStringList({"     ", "    1"}));
    frmEdit->ReplaceDialog->close();

    // A drop.
    Drop("()");
    EXPECT_EQ(PaneText(), "()A=1)\nB=x[3]");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "    2"}));

    EXPECT_EQ(frmEdit->DocModified[0], 1);
}

TEST_F(EditorChangeTest, ControlKeysReachTheEditItemsNotTheTransferItems) {
    const auto paste = Count(frmEdit->EditPasteItem);
    const auto cut = Count(frmEdit->EditCutItem);
    const auto undo = Count(frmEdit->EditUndoItem);
    const auto transfers = std::make_shared<int>(0);
    for (QAction* item :
         {frmEdit->RunDownloadItem, frmEdit->RunUpLoadLogData, frmEdit->RunUpLoadData})
        QObject::connect(item, &QAction::triggered, item, [transfers] { ++*transfers; });

    TypeText("A=1");
    QApplication::clipboard()->setText("()B");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(PaneText(), "A=1()B");
    EXPECT_EQ(GutterRows(), QStringList({"    1"}));

    for (int i = 0; i < 3; ++i)
        Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(PaneText(), "A=1");
    EXPECT_EQ(QApplication::clipboard()->text(), "()B");
    EXPECT_EQ(GutterRows(), QStringList({"     "}));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(PaneText(), "A=1()B");
    EXPECT_EQ(GutterRows(), QStringList({"    1"}));

    EXPECT_EQ(*paste, 1);
    EXPECT_EQ(*cut, 1);
    EXPECT_EQ(*undo, 1);
    EXPECT_EQ(*transfers, 0);
}

// A clipboard that holds nothing (no program owns it on a fresh X session) or nothing of text
// (a picture) pastes nothing by any road, and a drop of no text drops nothing: the document
// stays as it was and unmodified.
TEST_F(EditorChangeTest, APasteOfNothingOrNoTextPastesNothing) {
    QToolButton* pasteButton = nullptr;
    for (QToolButton* button : frmEdit->findChildren<QToolButton*>())
        if (button->text() == "貼り付け") pasteButton = button;
    ASSERT_NE(pasteButton, nullptr);
    const auto clipboards = {
        +[] { QApplication::clipboard()->setMimeData(new QMimeData); },
        +[] { QApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32)); },
        +[] {
            auto* mime = new QMimeData;
            mime->setData("application/octet-stream", "\x01\x02");
            QApplication::clipboard()->setMimeData(mime);
        }};
    for (const QString& before : {QString(), QString("A=1\n[]B")}) {
        frmEdit->memMain2->SetText(before);
        frmEdit->memMain2->SetModified(false);
        for (const auto& fill : clipboards) {
            fill();
            frmEdit->memMain2->selectAll();
            pasteButton->click();
            frmEdit->EditPasteItem->trigger();
            Key(Qt::Key_V, Qt::ControlModifier);
            Key(Qt::Key_Insert, Qt::ShiftModifier);
            Drop(*QApplication::clipboard()->mimeData());
            EXPECT_EQ(PaneText(), before);
            EXPECT_FALSE(frmEdit->memMain2->Modified());
        }
    }
    // The search text stays too.
    frmEdit->FindSearch->trigger();
    QLineEdit* searched = frmEdit->FindDialog->edtFind;
    searched->setText("[]B");
    searched->setFocus();
    searched->selectAll();
    QTest::keySequence(searched, QKeySequence::Paste);
    EXPECT_EQ(searched->text(), "[]B");
    frmEdit->FindDialog->close();
    EXPECT_TRUE(messages.empty());
    QApplication::clipboard()->setText("()C");
    frmEdit->memMain2->SetRowCol(0, 0);
    frmEdit->memMain2->setFocus();
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(PaneText(), "()CA=1\n[]B");
}

TEST_F(EditorChangeTest, ThePrintoutCarriesTheNumbersOfTheTextAsItStands) {
    TypeText("SQ1\r()A\r\tX=(1)\r[]B");
    // Typing over the selected ")" of the third line unmakes its step.
    Key(Qt::Key_Up, Qt::NoModifier);
    Key(Qt::Key_End, Qt::NoModifier);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    TypeText("x");
    printFile = workDir.filePath("steps.pdf");
    frmEdit->FilePrintItem->trigger();
    ASSERT_TRUE(messages.empty());

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", *printFile, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(10000)) << "pdftotext (poppler-utils) is needed";
    QStringList printed;
    for (const QString& line : QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\n'))
        if (!line.trimmed().isEmpty()) printed.append(line.trimmed().simplified());
    EXPECT_EQ(printed, QStringList({"ファイル名 : 新規ﾌｧｲﾙ", "SQ1", "1 ()A", "X=(1x", "2 []B"}));
}

} // namespace
