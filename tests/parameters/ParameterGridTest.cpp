// The parameter grids as the user works them with the mouse and the keyboard: a reference cell
// that is clicked shows its row's guide but never takes the highlight, typed keys edit the
// current cell in sight, and the paging keys keep to the value column in both windows.
#include "AppTest.h"

#include "link/UnitCommCancel.h"
#include "parameters/PrmGuide.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {

constexpr char kLockedWarning[] =
    "このパラメータはロックされていますので\n書き換えることはできません。";

class ParameterGridTest : public AppTest {
protected:
    // Opens the parameter window that the launcher chooses for a series and model.
    void Open(int series, const QByteArray& model) {
        StartOnSeries(series, model);
        frmMain->btnPopupPrm->trigger();
    }
    // Activation is asynchronous on the offscreen platform: it waits until the window has it.
    static bool Activate(TPrmWindow* window) {
        window->activateWindow();
        const bool active = WaitFor([window] { return QApplication::activeWindow() == window; });
        window->grdPrm->setFocus();
        return active;
    }
    static QModelIndex Index(ui::StringGrid* grid, int col, int row) {
        return grid->model()->index(row - 1, col);
    }
    static void ClickCell(ui::StringGrid* grid, int col, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(Index(grid, col, row)).center());
    }
    // Each key goes to the widget that has the focus at that moment (the cell editor, once open),
    // and what it posts (the editor's commit on Return) is handled before the next, as between
    // a user's keystrokes.
    static void TypeKeys(const QString& text) {
        for (const QChar ch : text) {
            Type(QApplication::focusWidget(), QString(ch));
            QCoreApplication::processEvents();
        }
    }
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static bool InView(ui::StringGrid* grid, int col, int row) {
        return grid->viewport()->rect().contains(grid->visualRect(Index(grid, col, row)));
    }
    // What the grid shows of its current cell: where it is, which cells are highlighted, and
    // whether it is in sight.
    static std::string Highlight(ui::StringGrid* grid) {
        QStringList selected;
        for (const QModelIndex& index : grid->selectionModel()->selectedIndexes())
            selected << QString("%1:%2").arg(index.row() + 1).arg(index.column());
        return QString("current %1:%2 selected %3%4")
            .arg(grid->Row())
            .arg(grid->Col())
            .arg(selected.join(' '))
            .arg(InView(grid, grid->Col(), grid->Row()) ? " in view" : " out of view")
            .toStdString();
    }
    static std::string Current(int row) {
        return QString("current %1:1 selected %1:1 in view").arg(row).toStdString();
    }
    static std::string Guide(TPrmWindow* window) {
        return window->RichEdit1->toPlainText().toStdString();
    }
    static std::string ListGuide(int row) {
        return PrmGuideLines(2, frmMain->VersionText, row).join('\n').toStdString();
    }
    static std::string LockGuide(int row) {
        return PrmLockGuideLines(row).join('\n').toStdString();
    }
};

TEST_F(ParameterGridTest,
       AClickedReferenceCellShowsItsGuideWhileTypedKeysEditTheCurrentCellInSight) {
    Open(2, "QWC50A_C3");
    ASSERT_TRUE(frmPrm->isVisible());
    ASSERT_TRUE(Activate(frmPrm));
    ui::StringGrid* grid = frmPrm->grdPrm;
    grid->SetCell(1, 5, "4");
    grid->SetCell(2, 5, "9");

    ClickCell(grid, 1, 1);
    ClickCell(grid, 2, 5);
    EXPECT_EQ(Highlight(grid), Current(1));
    EXPECT_EQ(Guide(frmPrm), ListGuide(5));
    TypeKeys("12\r");
    EXPECT_EQ(grid->Cell(1, 1), "12");
    EXPECT_EQ(grid->Cell(1, 5), "4");
    EXPECT_EQ(grid->Cell(2, 5), "9");
    EXPECT_EQ(Highlight(grid), Current(1));
    // A double click does not open the reference cell either.
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                       grid->visualRect(Index(grid, 2, 5)).center());
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(Highlight(grid), Current(1));

    // The current cell scrolled out of sight comes back into view when typing starts.
    ClickCell(grid, 1, 3);
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    ASSERT_FALSE(InView(grid, 1, 3));
    TypeKeys("77");
    EXPECT_TRUE(grid->Editing());
    EXPECT_EQ(Highlight(grid), Current(3));
    TypeKeys("\r");
    EXPECT_EQ(grid->Cell(1, 3), "77");
    frmPrm->btnSendPrm->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("#2=77"); }));
    EXPECT_EQ(driver->parameter('X', 2), 77);
}

TEST_F(ParameterGridTest, TheLockTestOfATypedKeyIsMadeForTheCurrentCellNotAClickedReference) {
    WriteSetting("Model", "ModelType", 4);
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    driver->setModelText('X', "QWD50A");
    driver->setLockMask('X', 0, ~(1 << 5)); // #005 locked
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrmLock->isVisible());
    ASSERT_TRUE(frmPrmLock->clbPrm->Checked(5));
    ASSERT_TRUE(Activate(frmPrmLock));
    ui::StringGrid* grid = frmPrmLock->grdPrm;
    grid->SetCell(1, 6, "55");

    // #000 is free: what is typed after a click on #005's reference goes into #000 unhindered.
    ClickCell(grid, 1, 1);
    ClickCell(grid, 2, 6);
    EXPECT_EQ(Highlight(grid), Current(1));
    EXPECT_EQ(Guide(frmPrmLock), LockGuide(6));
    TypeKeys("12\r");
    EXPECT_FALSE(HasMessage(kLockedWarning));
    EXPECT_EQ(grid->Cell(1, 1), "12");

    // #005 is locked: a click on #000's reference does not open it to typing.
    ClickCell(grid, 1, 6);
    ClickCell(grid, 2, 1);
    EXPECT_EQ(Highlight(grid), Current(6));
    TypeKeys("3");
    EXPECT_TRUE(HasMessage(kLockedWarning));
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->Cell(1, 6), "55");
    EXPECT_EQ(grid->Cell(1, 1), "12");

    // A key typed while the locked cell is scrolled away brings it into view before the warning,
    // so that the user sees which cell is locked; the key moves it nowhere.
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    ASSERT_FALSE(InView(grid, 1, 6));
    bool inViewAtWarning = false;
    ui::SetMessageResponder([&](const ui::MessageRecord& record) {
        inViewAtWarning = InView(grid, 1, 6);
        messages.push_back(record);
        return ui::MsgResult::Ok;
    });
    messages.clear();
    TypeKeys("1");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, kLockedWarning);
    EXPECT_TRUE(inViewAtWarning);
    EXPECT_EQ(Highlight(grid), Current(6));
    EXPECT_EQ(grid->Cell(1, 6), "55");
}

// A paste into a value cell that holds a character the line or a file cannot carry is refused as
// it is pasted, in both windows: the cell keeps its value, the message names the character by its
// code and the row, and the write sends the value the cell kept, never two pasted numbers as one.
TEST_F(ParameterGridTest, APasteThatAValueCellCannotHoldIsRefusedAndTheCellKeepsItsValue) {
    Open(2, "QWC50A_C3");
    const std::pair<QString, QString> pastes[] = {{"12\t34", "U+0009"},
                                                  {"12\n34", "U+000A"},
                                                  {"12\r34", "U+000D"},
                                                  {"12\x01"
                                                   "34",
                                                   "U+0001"},
                                                  {"12\x7f"
                                                   "34",
                                                   "U+007F"}};
    const auto pasteInto = [&](TPrmWindow* window, int row, const QString& place) {
        SCOPED_TRACE(window->metaObject()->className());
        ASSERT_TRUE(Activate(window));
        ui::StringGrid* grid = window->grdPrm;
        grid->SetCell(1, row, "5");
        ClickCell(grid, 1, row); // a double click: the first click, then the second
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                           grid->visualRect(Index(grid, 1, row)).center());
        ASSERT_TRUE(grid->Editing());
        for (const auto& [pasted, named] : pastes) {
            SCOPED_TRACE(named.toStdString());
            ASSERT_TRUE(PasteIsRefused(pasted, named, place));
            EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), "5");
        }
        Press(Qt::Key_Return);
        EXPECT_EQ(grid->Cell(1, row), "5");
        TakeSentLines();
        window->btnSendPrm->click();
        ASSERT_TRUE(WaitFor([] { return frmCommCancel->btnCancel->text() == "OK"; }));
        Pause(100);
        const QList<QByteArray> sent = TakeSentLines();
        EXPECT_TRUE(sent.contains(QString("#%1=5").arg(row - 1).toLatin1()));
        EXPECT_FALSE(sent.contains(QString("#%1=1234").arg(row - 1).toLatin1()));
        frmCommCancel->btnCancel->click();
    };
    pasteInto(frmPrm, 3, "#002");
    // The lock window, on a free parameter.
    driver->setModelText('X', "QWD50A");
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrmLock->isVisible());
    ASSERT_FALSE(frmPrmLock->clbPrm->Checked(8));
    pasteInto(frmPrmLock, 9, "#008");
}

// A refused paste leaves the cell's edit as it was, whatever the box that refuses it does to the
// focus (a real one takes it while it is up): the half-typed text and the caret stay, and the
// next key goes on with the edit instead of starting a new one that replaces it.
TEST_F(ParameterGridTest, ARefusedPasteLeavesTheEditOpenWithItsTextAndCaret) {
    Open(2, "QWC50A_C3");
    ui::SetMessageResponder([this](const ui::MessageRecord& record) {
        messages.push_back(record);
        QWidget* window = QApplication::activeWindow();
        QWidget box;
        box.show();
        QApplication::setActiveWindow(&box);
        box.setFocus();
        QCoreApplication::processEvents();
        box.close();
        if (window) QApplication::setActiveWindow(window);
        QCoreApplication::processEvents();
        return ui::MsgResult::Ok;
    });
    ASSERT_TRUE(Activate(frmPrm));
    ui::StringGrid* grid = frmPrm->grdPrm;
    grid->SetCell(1, 4, "1003");
    ClickCell(grid, 1, 4);
    TypeKeys("5");
    ASSERT_TRUE(grid->Editing());
    QGuiApplication::clipboard()->setText("12\t34");
    Press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#003 に送信できない文字「U+0009」があります。\n入力内容を確認してください。");
    EXPECT_TRUE(grid->Editing());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "5");
    EXPECT_EQ(editor->cursorPosition(), 1);
    TypeKeys("6");
    EXPECT_EQ(editor->text(), "56");
    Press(Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->Cell(1, 4), "56");
}

TEST_F(ParameterGridTest, PagingKeysMoveTheCurrentCellWithinTheValueColumnOfBothWindows) {
    Open(2, "QWC50A_C3");
    frmPrmLock->Show();
    for (TPrmWindow* window : std::initializer_list<TPrmWindow*>{frmPrm, frmPrmLock}) {
        SCOPED_TRACE(window == frmPrm ? "list" : "lock");
        ASSERT_TRUE(Activate(window));
        ui::StringGrid* grid = window->grdPrm;
        const int last = grid->RowCount() - 1;
        auto guide = [window](int row) {
            return window == frmPrm ? ListGuide(row) : LockGuide(row);
        };
        ClickCell(grid, 1, 4);
        Press(Qt::Key_End);
        EXPECT_EQ(Highlight(grid), Current(4));
        EXPECT_EQ(Guide(window), guide(4));

        Press(Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(Highlight(grid), Current(last));
        EXPECT_EQ(Guide(window), guide(last));

        Press(Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(Highlight(grid), Current(1));
        EXPECT_EQ(Guide(window), guide(1));

        // End first: a page key goes on from the current cell, not from where End aimed.
        Press(Qt::Key_End);
        Press(Qt::Key_PageDown);
        const int pageRow = grid->Row();
        EXPECT_GT(pageRow, 5);
        EXPECT_EQ(Highlight(grid), Current(pageRow));
        EXPECT_EQ(Guide(window), guide(pageRow));

        Press(Qt::Key_End);
        Press(Qt::Key_PageUp);
        EXPECT_EQ(Highlight(grid), Current(1));
        EXPECT_EQ(Guide(window), guide(1));

        // The lock list follows the current row.
        if (window == frmPrmLock) {
            Press(Qt::Key_End, Qt::ControlModifier);
            EXPECT_EQ(frmPrmLock->clbPrm->ItemIndex(), last - 1);
        }
    }
}

} // namespace
