// The editor's documents: tabs and slots, new, open, save, save as, close and the window's close,
// with the files on disk.
#include "EditorTestFixture.h"

#include "editor/EditFind.h"
#include "shell/UnitMain.h"
#include "ui/Codec.h"
#include "ui/Wait.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace {

using ui::MsgResult;

TEST_F(EditorTest, FirstDocumentSavesUnderItsBareNameAsShiftJisWithCrLf) {
    EXPECT_EQ(frmEdit->TabCaption(0), "新規ﾌｧｲﾙ");
    EXPECT_EQ(frmEdit->DocFileName[0], "新規ﾌｧｲﾙ");
    EXPECT_FALSE(frmEdit->pgeEdit->isTabVisible(1));
    EXPECT_EQ(frmEdit->UsedSlots, 1);

    TypeText("A=(1) 'ｶﾅ漢字\rB");
    EXPECT_EQ(frmEdit->DocModified[0], 1);
    EXPECT_EQ(frmEdit->PanelText(1), "変更あり");
    EXPECT_TRUE(frmEdit->HasUnsavedDocuments());

    frmEdit->FileSaveItem->trigger();
    EXPECT_EQ(ReadFile("新規ﾌｧｲﾙ"), ui::cp932::Encode("A=(1) 'ｶﾅ漢字\r\nB\r\n"));
    EXPECT_EQ(frmEdit->DocModified[0], 0);
    EXPECT_EQ(frmEdit->PanelText(1), "");
    EXPECT_FALSE(frmEdit->HasUnsavedDocuments());
}

TEST_F(EditorTest, LaterNewDocumentRefusesToSaveWithoutAName) {
    frmEdit->FileNewItem->trigger();
    EXPECT_EQ(frmEdit->CurrentDoc, 1);
    EXPECT_EQ(frmEdit->TabCaption(1), "新規ﾌｧｲﾙ");
    EXPECT_EQ(frmEdit->PanelText(1), " ");
    TypeText("X");
    frmEdit->FileSaveItem->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().text, "ファイル名を変更して保存してください。");
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Exclamation);
    EXPECT_EQ(frmEdit->DocModified[1], 1); // never reported as saved
    EXPECT_EQ(QDir(workDir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(EditorTest, OpenReusesTheUntouchedFirstTabThenTakesNewSlots) {
    WriteFile("A.MB", "EV\r\n()SVON\r\n");
    WriteFile("B.dat", "1\n2"); // LF and no final line end are read alike
    Open("A.MB");
    EXPECT_EQ(frmEdit->CurrentDoc, 0);
    EXPECT_EQ(frmEdit->TabCaption(0), "A.MB");
    EXPECT_EQ(frmEdit->DocFileName[0], Path("A.MB"));
    EXPECT_EQ(PaneText(), "EV\n()SVON");
    EXPECT_EQ(GutterRows(), QStringList({"     ", "    1"}));

    Open("B.dat");
    EXPECT_EQ(frmEdit->CurrentDoc, 1);
    EXPECT_EQ(frmEdit->pgeEdit->currentIndex(), 1);
    EXPECT_EQ(frmEdit->UsedSlots, 3);
    EXPECT_EQ(PaneText(), "1\n2");
    EXPECT_EQ(frmEdit->DocText[0], "EV\n()SVON");
    EXPECT_EQ(frmEdit->PanelText(1), " ");

    Open("A.MB");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().text, "このﾌｧｲﾙは既に開かれています。");
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::None);
    EXPECT_EQ(frmEdit->UsedSlots, 3);

    // Saving writes CR LF after every line, the last one too.
    TypeText("0");
    frmEdit->FileSaveItem->trigger();
    EXPECT_EQ(ReadFile("B.dat"), "01\r\n2\r\n");
}

TEST_F(EditorTest, UnreadableFileTakesNoSlot) {
    Open("missing.MB");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        LastMessage().text,
        "ファイルが見つかりませんでした。\n指定したファイル名が正しいかどうか確認してください。");
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Exclamation);
    EXPECT_EQ(frmEdit->UsedSlots, 1);
    EXPECT_EQ(frmEdit->TabCaption(0), "新規ﾌｧｲﾙ");
    EXPECT_EQ(frmEdit->DocFileName[0], "新規ﾌｧｲﾙ");
}

TEST_F(EditorTest, EndOfFileMarkIsDroppedWithoutLosingText) {
    WriteFile("dos.MB", "A\r\nB\r\n\x1A");
    Open("dos.MB");
    EXPECT_EQ(PaneText(), "A\nB");
    WriteFile("tight.MB", "A\r\nB\x1A");
    Open("tight.MB");
    EXPECT_EQ(PaneText(), "A\nB");
}

TEST_F(EditorTest, OpenAndSaveWithoutEditsWritesTheBytesThatWereRead) {
    // A byte-order mark, undefined bytes, codes that repeat a character, a lone lead byte, the
    // user-defined area and control characters.
    const QByteArray first("\xEF\xBB\xBF()A\x80\xED\x40\x87\x90\xFA\x5C\x81\xE0\r\n"
                           "\t\x81 \xFF\xFD\xFE\xA0\xF0\x40\x85\x40\r\n");
    const QByteArray last("\x00\x01\x0C\x1B\x7F\x1A\x1A\x81\x5C\x5C\r\n", 12);
    const QByteArray bytes = first + "\r\n" + last;
    WriteFile("K.MB", bytes);
    Open("K.MB");
    EXPECT_EQ(frmEdit->DocModified[0], 0);
    EXPECT_FALSE(frmEdit->HasUnsavedDocuments());
    frmEdit->FileSaveItem->trigger();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadFile("K.MB").toHex(' ').toStdString(), bytes.toHex(' ').toStdString());

    // An edit keeps the codes of the characters it kept.
    frmEdit->memMain2->SetRowCol(0, 3); // after the byte-order mark's three bytes
    TypeText("X");
    frmEdit->FileSaveItem->trigger();
    EXPECT_EQ(ReadFile("K.MB").toHex(' ').toStdString(),
              (first.left(3) + "X" + first.mid(3) + "\r\n" + last).toHex(' ').toStdString());

    // Line ends become CR LF and a final end-of-file mark goes, as documented.
    WriteFile("L.MB", "\x87\x90\n\x80\x1A");
    Open("L.MB");
    frmEdit->FileSaveItem->trigger();
    EXPECT_EQ(ReadFile("L.MB").toHex(' ').toStdString(),
              QByteArray("\x87\x90\r\n\x80\r\n").toHex(' ').toStdString());
}

// The editor writes the characters its pane shows, or nothing. A row that holds a character
// without a CP932 code (an emoji typed, a no-break space that a replace put in) refuses the save
// before the file is touched, naming the document, the row and the character; nothing is ever
// written as "?" or as a blank. Pasted or dropped, such a character is refused as it would
// enter the pane, which keeps what it had.
TEST_F(EditorTest, ACharacterWithoutACodeIsNeverWrittenChanged) {
    const auto refusal = [](const QString& place, const QString& named) {
        return (place.isEmpty() ? "保存できない文字「" + named + "」が含まれています。"
                                : place + " に保存できない文字「" + named + "」があります。") +
               "\n入力内容を確認してください。";
    };
    WriteFile("P.MB", "AB\r\nC\r\n");
    Open("P.MB");
    frmEdit->memMain2->setFocus();
    frmEdit->memMain2->SetRowCol(0, 1);
    TypeText("x");
    QTest::sendKeyEvent(QTest::Click, frmEdit->memMain2, Qt::Key_unknown, QString::fromUtf8("😀"),
                        Qt::NoModifier);
    ASSERT_EQ(PaneText(), QString::fromUtf8("Ax😀B\nC"));
    frmEdit->FileSaveItem->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, refusal("P.MB の 1行目", QString::fromUtf8("😀")));
    EXPECT_EQ(messages[0].caption, "入力エラー");
    EXPECT_EQ(ReadFile("P.MB"), "AB\r\nC\r\n");
    EXPECT_EQ(frmEdit->DocModified[0], 1);
    chosenFile = Path("Q.MB");
    messages.clear();
    fileDialogRuns = 0;
    frmEdit->FileSaveAsItem->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(fileDialogRuns, 0); // refused before a file is chosen
    EXPECT_FALSE(FileExists("Q.MB"));
    Press(Qt::Key_Backspace);
    ASSERT_EQ(PaneText(), "AxB\nC");

    const std::pair<QString, QString> pastes[] = {
        {QString("e") + QChar(0x0301), "U+0301"},
        {QString("1") + QChar(0x00A0) + "2", "U+00A0"},
        {QString::fromUtf8("X😀"), QString::fromUtf8("😀")},
    };
    for (const auto& [pasted, named] : pastes) {
        SCOPED_TRACE(named.toStdString());
        messages.clear();
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(frmEdit->memMain2, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, refusal({}, named));
        EXPECT_EQ(PaneText(), "AxB\nC");

        messages.clear();
        QMimeData dropped;
        dropped.setText(pasted);
        const QPoint at = frmEdit->memMain2->cursorRect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frmEdit->memMain2->viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frmEdit->memMain2->viewport(), &drop);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, refusal({}, named));
        EXPECT_EQ(PaneText(), "AxB\nC");
    }
    messages.clear();
    frmEdit->FileSaveItem->trigger();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadFile("P.MB"), "AxB\r\nC\r\n");

    // A replace puts what its box holds into the pane; a no-break space stays itself there.
    frmEdit->FindReplace->trigger();
    frmEdit->ReplaceDialog->edtFind->setText("C");
    frmEdit->ReplaceDialog->edtReplace->setText(QString("C") + QChar(0x00A0) + "D");
    frmEdit->ReplaceDialog->btnReplaceAll->click();
    frmEdit->ReplaceDialog->hide();
    ASSERT_EQ(PaneText(), QString("AxB\nC") + QChar(0x00A0) + "D");
    messages.clear();
    frmEdit->FileSaveItem->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, refusal("P.MB の 2行目", "U+00A0"));
    EXPECT_EQ(ReadFile("P.MB"), "AxB\r\nC\r\n");
}

TEST_F(EditorTest, SixteenDocumentsRefuseNewAndOpen) {
    for (int i = 1; i < TfrmEdit::kMaxDocuments; ++i)
        frmEdit->FileNewItem->trigger();
    EXPECT_EQ(frmEdit->UsedSlots, 0xFFFF);
    EXPECT_TRUE(messages.empty());
    frmEdit->FileNewItem->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().text, "これ以上ﾌｧｲﾙを開けません。");
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Exclamation);
    Open("any.MB");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(LastMessage().text, "これ以上ﾌｧｲﾙを開けません。");
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::None);
    EXPECT_EQ(fileDialogRuns, 0);
}

TEST_F(EditorTest, TabChangesBringBackEachTextExactly) {
    TypeText("A\rB");
    frmEdit->FileNewItem->trigger();
    TypeText("X=(1)\r");
    PickTab(0);
    EXPECT_EQ(frmEdit->CurrentDoc, 0);
    EXPECT_EQ(PaneText(), "A\nB");
    PickTab(1);
    EXPECT_EQ(PaneText(), "X=(1)\n");
    EXPECT_EQ(GutterRows(), QStringList({"    1", "     "}));
    EXPECT_EQ(frmEdit->PanelText(1), "変更あり");

    // Undo stays with its own document.
    frmEdit->EditUndoItem->trigger();
    EXPECT_EQ(PaneText(), "X=(1)\n");
    PickTab(0);
    frmEdit->EditUndoItem->trigger();
    EXPECT_EQ(PaneText(), "A\nB");
}

TEST_F(EditorTest, CloseAsksAndKeepsWorkOnCancel) {
    WriteFile("P.MB", "OLD\r\n");
    Open("P.MB");
    frmEdit->FileNewItem->trigger();
    PickTab(0);
    TypeText("NEW ");
    Answer(MsgResult::Cancel);
    frmEdit->FileCloseItem->trigger();
    EXPECT_EQ(LastMessage().text, "このﾌｧｲﾙは保存されていません。 保存しますか？");
    EXPECT_EQ(LastMessage().buttons, ui::MsgButtons::YesNoCancel);
    EXPECT_EQ(PaneText(), "NEW OLD");

    Answer(MsgResult::No);
    frmEdit->FileCloseItem->trigger();
    EXPECT_EQ(ReadFile("P.MB"), "OLD\r\n");
    // Tab 0 stays as an empty new document; the highest occupied slot becomes current.
    EXPECT_TRUE(frmEdit->pgeEdit->isTabVisible(0));
    EXPECT_EQ(frmEdit->TabCaption(0), "新規ﾌｧｲﾙ");
    EXPECT_EQ(frmEdit->DocFileName[0], "");
    EXPECT_EQ(frmEdit->CurrentDoc, 1);
    EXPECT_EQ(frmEdit->pgeEdit->currentIndex(), 1);
}

TEST_F(EditorTest, TextTypedIntoClosedTabZeroSurvivesNewDocuments) {
    frmEdit->FileNewItem->trigger();
    PickTab(0);
    frmEdit->FileCloseItem->trigger();
    PickTab(0);
    TypeText("keep");
    frmEdit->FileNewItem->trigger();
    EXPECT_EQ(frmEdit->CurrentDoc, 2);
    PickTab(0);
    EXPECT_EQ(PaneText(), "keep");
}

TEST_F(EditorTest, CloseWithYesSavesOrStaysWhenItCannot) {
    WriteFile("P.MB", "OLD\r\n");
    Open("P.MB");
    frmEdit->FileNewItem->trigger();
    TypeText("unnamed");
    frmEdit->FileCloseItem->trigger(); // Yes: no name, the close stops
    EXPECT_EQ(LastMessage().text, "ファイル名を変更して保存してください。");
    EXPECT_TRUE(frmEdit->pgeEdit->isTabVisible(1));
    EXPECT_EQ(PaneText(), "unnamed");

    PickTab(0);
    TypeText("NEW ");
    frmEdit->FileCloseItem->trigger();
    EXPECT_EQ(ReadFile("P.MB"), "NEW OLD\r\n");
    EXPECT_EQ(frmEdit->CurrentDoc, 1);
    EXPECT_EQ(PaneText(), "unnamed");
    EXPECT_EQ(frmEdit->PanelText(1), "変更あり");
}

TEST_F(EditorTest, FailedSaveAsKeepsNameAndModifiedMark) {
    WriteFile("P.MB", "OLD\r\n");
    Open("P.MB");
    TypeText("X");
    chosenFile = Path("no-such-folder/Q.MB");
    frmEdit->FileSaveAsItem->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Error);
    EXPECT_EQ(frmEdit->DocFileName[0], Path("P.MB"));
    EXPECT_EQ(frmEdit->TabCaption(0), "P.MB");
    EXPECT_EQ(frmEdit->DocModified[0], 1);

    chosenFile = Path("Q.MB");
    frmEdit->FileSaveAsItem->trigger();
    EXPECT_EQ(ReadFile("Q.MB"), "XOLD\r\n");
    EXPECT_EQ(ReadFile("P.MB"), "OLD\r\n");
    EXPECT_EQ(frmEdit->TabCaption(0), "Q.MB");
    EXPECT_EQ(frmEdit->DocModified[0], 0);
}

TEST_F(EditorTest, FailedSaveLeavesTheDocumentModified) {
    WriteFile("P.MB", "OLD\r\n");
    Open("P.MB");
    TypeText("X");
    QDir(workDir.path()).remove("P.MB");
    QDir(workDir.path()).mkdir("P.MB"); // the name is now taken by a folder
    frmEdit->FileSaveItem->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().icon, ui::MsgIcon::Error);
    EXPECT_EQ(frmEdit->DocModified[0], 1);
    EXPECT_EQ(frmEdit->PanelText(1), "変更あり");
}

TEST_F(EditorTest, WindowCloseSavesNamedDocumentsAndNamesTheOthers) {
    WriteFile("P.MB", "OLD\r\n");
    TypeText("first");
    Open("P.MB");
    TypeText("NEW ");
    frmEdit->FileNewItem->trigger();
    TypeText("unnamed");

    Answer(MsgResult::Cancel);
    EXPECT_FALSE(frmEdit->close());
    EXPECT_TRUE(frmEdit->isVisible());
    EXPECT_EQ(LastMessage().text, "保存されていないﾌｧｲﾙがあります。保存しますか？");

    Answer(MsgResult::Yes);
    EXPECT_TRUE(frmEdit->close());
    EXPECT_FALSE(frmEdit->isVisible());
    EXPECT_EQ(ReadFile("新規ﾌｧｲﾙ"), "first\r\n");
    EXPECT_EQ(ReadFile("P.MB"), "NEW OLD\r\n");
    EXPECT_EQ(LastMessage().text, "新規ﾌｧｲﾙ(ファイル名)は保存されません。");
    EXPECT_EQ(frmEdit->DocModified[2], 1);
    EXPECT_EQ(PaneText(), "unnamed");
    EXPECT_TRUE(frmEdit->HasUnsavedDocuments());
}

TEST_F(EditorTest, QuittingWithUnsavedDocumentsAsksOnceAndSavesNothing) {
    const QString question = "編集画面にて保存されていないﾌｧｲﾙがあります。それでも終了しますか？";
    WriteFile("Q.MB", "()A\r\n");
    Open("Q.MB");
    TypeText("X");
    frmEdit->FileNewItem->trigger();
    TypeText("()B");
    frmMain->show();

    answer = MsgResult::No;
    EXPECT_FALSE(frmMain->close());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, question);
    EXPECT_FALSE(ui::QuitRequested());
    EXPECT_TRUE(frmEdit->Showing());
    EXPECT_TRUE(frmEdit->HasUnsavedDocuments());

    // Yes: the program's message loop ends, then its end deletes the windows.
    answer = MsgResult::Yes;
    QTimer::singleShot(0, frmMain, [] { frmMain->close(); });
    QTimer stuck; // ends a loop that did not end by itself
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(ui::QuitRequested());
    StopProgram();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, question);
    EXPECT_EQ(ReadFile("Q.MB"), "()A\r\n");
    EXPECT_EQ(QDir(workDir.path()).entryList(QDir::Files), QStringList({"Q.MB"}));
}

} // namespace
