// The parameter list and lock windows against the simulated driver: reading every parameter,
// writing them back, cancelling, lost lines, the difference marks and the locks.
#include "AppTest.h"

#include "catalogue/PrmListLauncher.h"
#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "parameters/PrmGuide.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"

#include "ui/FileDialogs.h"

#include <QLineEdit>
#include <QLocale>
#include <QStyledItemDelegate>
#include <QTest>

namespace {

class ParameterWindowsTest : public AppTest {
protected:
    // Starts on a series and opens the parameter window the launcher chooses for the model.
    void OpenOnSeries(int series, const QByteArray& model) {
        StartOnSeries(series, model);
        frmMain->btnPopupPrm->trigger();
        TakeSentLines();
    }
    // Reads with the window's button and waits for the progress window's end.
    void Read(TPrmWindow* window) {
        window->btnReadPrm->click();
        ASSERT_TRUE(
            WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
        frmCommCancel->btnCancel->click(); // "OK"
    }
    QList<QByteArray> Queries(int count) {
        QList<QByteArray> lines{"VER", "VER", "#0"};
        for (int n = 0; n < count; ++n)
            lines.append("#" + QByteArray::number(n));
        return lines;
    }
};

TEST_F(ParameterWindowsTest, ReadFillsEveryValueAsTheDriverHoldsIt) {
    OpenOnSeries(2, "QWC50A_C1");
    driver->setParameter('X', 5, -12345);
    frmPrm->btnReadPrm->click();
    EXPECT_TRUE(frmCommCancel->isVisible());
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
    EXPECT_EQ(frmCommCancel->btnCancel->text(), "OK");
    EXPECT_EQ(frmCommCancel->ProgressBar1->value(), 100);
    EXPECT_EQ(frmPrm->grdPrm->RowCount(), 98);
    for (int n = 0; n < 97; ++n)
        ASSERT_EQ(frmPrm->grdPrm->Cell(1, n + 1), QString::number(driver->parameter('X', n))) << n;
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 6), "-12345");
    EXPECT_EQ(frmPrm->Busy, 0);
    EXPECT_EQ(frmPrm->ModelText, "QWC50A_C1");
    EXPECT_EQ(frmPrm->grdPrm->Row(), 1);
    EXPECT_EQ(TakeSentLines(), Queries(97));
}

TEST_F(ParameterWindowsTest, ParameterZeroIsAskedUntilTwoRepliesAgree) {
    OpenOnSeries(0, "QWA-D56");
    int zeroQueries = 0;
    driver->setParameter('X', 0, 999);
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [&](const QByteArray& line) {
                         if (line == "#0" && ++zeroQueries == 2) driver->setParameter('X', 0, 1000);
                     });
    Read(frmPrm);
    EXPECT_EQ(zeroQueries, 3);
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 1), "1000");
    EXPECT_EQ(frmPrm->grdPrm->RowCount(), 65);
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 64), QString::number(driver->parameter('X', 63)));
}

TEST_F(ParameterWindowsTest, WriteChangesExactlyTheEditedParameter) {
    OpenOnSeries(1, "QWB20");
    Read(frmPrm);
    TakeSentLines();
    const int before30 = driver->parameter('X', 30);
    // The user edits #007 and, by mistake, #030 and #059 (never written).
    for (auto [row, text] : {std::pair{8, "12"}, std::pair{31, "777"}, std::pair{60, "5"}})
        frmPrm->grdPrm->SetCell(1, row, text);
    // A value with a line end in it is named, and nothing is written.
    frmPrm->grdPrm->SetCell(1, 10, "3\r#1=9");
    frmPrm->btnSendPrm->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#009 に送信できない文字「U+000D」があります。\n入力内容を確認してください。");
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    frmPrm->grdPrm->SetCell(1, 10, "3");
    frmPrm->btnSendPrm->click();
    EXPECT_EQ(frmCommCancel->Label1->text(), "ダウンロード完了");
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() >= 2 + 2 * 86; }));
    Pause(100);
    const QList<QByteArray> sent = TakeSentLines();
    EXPECT_EQ(sent.size(), 2 + 2 * 86); // the model queries, then each value and its settling one
    EXPECT_EQ(sent.count("VER"), 2 + 86);
    EXPECT_TRUE(sent.contains("#7=12"));
    EXPECT_TRUE(sent.contains("#9=3"));
    for (const QByteArray& line : sent)
        EXPECT_FALSE(line.startsWith("#30=") || line.startsWith("#59=") ||
                     line.startsWith("#61=") || line.startsWith("#63="))
            << line.toStdString();
    EXPECT_EQ(driver->parameter('X', 7), 12);
    EXPECT_EQ(driver->parameter('X', 30), before30);
    EXPECT_EQ(driver->parameter('X', 1), 1001);
    EXPECT_EQ(frmPrm->Busy, 0);
}

// A driver that refuses some writes, at once and late: every refusal is told by its parameter
// and marked, and the write does not end as complete. A write cancelled while its values are
// out names the last one sent.
TEST_F(ParameterWindowsTest, RefusedWritesAreToldAndMarkedAndACutWriteNamesItsLastValue) {
    OpenOnSeries(1, "QWB20");
    Read(frmPrm);
    frmPrm->grdPrm->SetCell(1, 8, "12");
    frmPrm->grdPrm->SetCell(1, 21, "5");
    frmPrm->grdPrm->SetCell(1, 41, "6");
    driver->refuse("#7=12");
    driver->refuse("#20=5", 300);
    frmPrm->btnSendPrm->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_TRUE(messages[0].text.startsWith("ドライバが受け付けなかった値が 2 件あります: "
                                            "#007 (E-S)、#020 (E-S)"))
        << messages[0].text.toStdString();
    EXPECT_NE(frmCommCancel->Label1->text(), "ダウンロード完了");
    EXPECT_EQ(frmPrm->grdPrm->CellTextColor(1, 8), QColor(255, 0, 0));
    EXPECT_EQ(frmPrm->grdPrm->CellTextColor(1, 21), QColor(255, 0, 0));
    EXPECT_EQ(frmPrm->grdPrm->CellTextColor(1, 41), QColor(Qt::black));
    EXPECT_EQ(driver->parameter('X', 40), 6);
    EXPECT_EQ(frmPrm->Busy, 0);

    messages.clear();
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [](const QByteArray& line) {
                         if (line.startsWith("#50=") && frmCommCancel->isVisible())
                             frmCommCancel->btnCancel->click();
                     });
    frmPrm->btnSendPrm->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    Pause(100);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("書き込みを中止しました。最後に送った値は #"))
        << messages[0].text.toStdString();
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_EQ(frmPrm->Busy, 0);
}

// An answer longer than the line can read ends the read at its parameter, with a word.
TEST_F(ParameterWindowsTest, AnAnswerTooLongToReadEndsTheReadAtItsParameter) {
    OpenOnSeries(1, "QWB20");
    driver->setStatusReply('X', "#5", QByteArray(60, '7'));
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    EXPECT_EQ(messages[0].text,
              "ドライバの応答が長すぎて読めませんでした。\n#005 から後は読んでいません。");
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_EQ(frmPrm->Busy, 0);
    EXPECT_TRUE(frmPrm->btnReadPrm->isEnabled());
}

TEST_F(ParameterWindowsTest, CancelWithASilentDriverEndsTheReadAtOnce) {
    OpenOnSeries(2, "QWC50A_C3");
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#3") driver->setFault(sim::Fault::Silent);
                     });
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("#3"); }));
    Pause(100);
    frmCommCancel->btnCancel->click();
    EXPECT_EQ(frmPrm->Busy, 0);
    EXPECT_FALSE(frmCommCancel->isVisible());
    // A late reply lands nowhere.
    frmPrm->grdPrm->SetCell(1, 5, "");
    driver->setFault(sim::Fault::None);
    mdlGeneral->ReceiveChunk("4242\r");
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 5), "");
    EXPECT_FALSE(TakeSentLines().contains("#4"));
}

TEST_F(ParameterWindowsTest, ALostLineMidReadPutsTheWindowBack) {
    OpenOnSeries(2, "QWC50A_C3");
    // The port fails once the reply to #5 has been read: the next query cannot be sent.
    mdlGeneral->PortForTests().OnCommReceive = [this](QObject*, std::uint16_t count) {
        QByteArray bytes(count, '\0');
        bytes.resize(mdlGeneral->PortForTests().Read(bytes.data(), count));
        if (driver->receivedLines().contains("#5")) mdlGeneral->PortForTests().Close();
        mdlGeneral->ReceiveChunk(bytes);
    };
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([this] { return HasMessage("ドライバと通信できませんでした。"); }));
    EXPECT_EQ(frmPrm->Busy, 0);
    EXPECT_FALSE(frmCommCancel->isVisible());
}

TEST_F(ParameterWindowsTest, NoAnswerToTheModelQuerySendsNoQuery) {
    OpenOnSeries(2, "QWC50A_C3");
    driver->setFault(sim::Fault::Silent);
    frmPrm->btnReadPrm->click();
    EXPECT_EQ(frmPrm->Busy, 0);
    EXPECT_TRUE(HasMessage("ドライバと通信できませんでした。"));
    EXPECT_EQ(messages.back().caption, "ｴﾗ-");
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"VER"});
    EXPECT_FALSE(frmCommCancel->isVisible());
}

TEST_F(ParameterWindowsTest, AValueThatCannotBeSentIsNamedAndNothingIsWritten) {
    OpenOnSeries(1, "QWB20");
    Read(frmPrm);
    TakeSentLines();
    ui::StringGrid* grid = frmPrm->grdPrm;
    frmPrm->Show();
    grid->setCurrentCell(4, 1); // the value of #004
    grid->editItem(grid->currentItem());
    auto* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    Type(editor, "1€\r");
    ASSERT_EQ(grid->Cell(1, 5), "1€");
    frmPrm->btnSendPrm->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#004 に送信できない文字「€」があります。\n入力内容を確認してください。");
    EXPECT_EQ(messages[0].caption, "入力エラー");
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_EQ(driver->parameter('X', 4), 1004);
    EXPECT_EQ(frmPrm->Busy, 0);
    EXPECT_TRUE(frmPrm->btnSendPrm->isEnabled());
}

// A driver that answers every "#n" with "1<TAB>2": each cell holds the answer as it came, the
// tab shown by its sign, and neither the send nor the save takes the cell: they name the row and
// the character by its code. Nothing merges the answer into 12, on the line or in a file.
TEST_F(ParameterWindowsTest, AnAnswerWithAControlCharacterIsKeptShownAndRefused) {
    OpenOnSeries(1, "QWB20");
    for (int n = 0; n < 90; ++n)
        driver->setStatusReply('X', "#" + QByteArray::number(n), "1\t2");
    Read(frmPrm);
    ui::StringGrid* grid = frmPrm->grdPrm;
    for (int row = 1; row <= 90; ++row)
        ASSERT_EQ(grid->Cell(1, row), "1\t2") << row;
    const auto* cells = static_cast<QStyledItemDelegate*>(grid->itemDelegate());
    EXPECT_EQ(cells->displayText(grid->Cell(1, 5), QLocale()), "1␉2");

    TakeSentLines();
    messages.clear();
    frmPrm->btnSendPrm->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#000 に送信できない文字「U+0009」があります。\n入力内容を確認してください。");
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_EQ(driver->parameter('X', 5), 1005);

    int dialogs = 0;
    ui::SetFileDialogResponder([&dialogs](const ui::FileDialog&) -> std::optional<QString> {
        ++dialogs;
        return std::nullopt;
    });
    messages.clear();
    frmPrm->btnSavePrm->click();
    ui::SetFileDialogResponder({});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#000 に保存できない文字「U+0009」があります。\n入力内容を確認してください。");
    EXPECT_EQ(dialogs, 0);
}

TEST_F(ParameterWindowsTest, DifferingReferencesAreRedExceptTheUnwrittenRows) {
    OpenOnSeries(2, "QWC50A_C3");
    ui::StringGrid* grid = frmPrm->grdPrm;
    const std::tuple<int, const char*, const char*, QColor> cases[] = {
        {2, "100", "0100", QColor(255, 0, 0)}, {3, "100", "100", QColor(Qt::black)},
        {4, "", "5", QColor(Qt::black)},       {5, "100", "100 ", QColor(255, 0, 0)},
        {60, "1", "2", QColor(Qt::black)},     {62, "1", "2", QColor(Qt::black)}};
    for (auto [row, value, reference, colour] : cases) {
        grid->SetCell(1, row, value);
        grid->SetCell(2, row, reference);
    }
    frmPrm->RefreshMarks();
    for (auto [row, value, reference, colour] : cases)
        EXPECT_EQ(grid->CellTextColor(2, row), colour) << row;
    // Typing into a value cell re-marks its reference at each keystroke.
    frmPrm->Show();
    grid->setCurrentCell(2, 1);
    grid->editItem(grid->currentItem());
    auto* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(grid->Cell(1, 3), "");
    EXPECT_EQ(grid->CellTextColor(2, 3), QColor(Qt::black));
    QTest::keyClicks(editor, "99");
    EXPECT_EQ(grid->CellTextColor(2, 3), QColor(255, 0, 0));
}

TEST_F(ParameterWindowsTest, LockWindowRefusesEditsOfLockedValues) {
    OpenOnSeries(3, "QWD50A");
    ASSERT_TRUE(frmPrmLock->isVisible());
    frmPrmLock->clbPrm->SetChecked(5, true);
    frmPrmLock->RefreshMarks();
    ui::StringGrid* grid = frmPrmLock->grdPrm;
    grid->SetCell(1, 6, "77");
    grid->setFocus();
    grid->SetRow(6);
    EXPECT_EQ(frmPrmLock->clbPrm->ItemIndex(), 5);
    QTest::keyClicks(grid, "1");
    EXPECT_TRUE(HasMessage("このパラメータはロックされていますので\n書き換えることはできません。"));
    EXPECT_EQ(grid->Cell(1, 6), "77");
    EXPECT_FALSE(grid->Editing());
    QTest::keyClick(grid, Qt::Key_F2);
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->CellTextColor(1, 6), ui::clGray);

    // A user's toggle of a lock box is taken back.
    QListWidgetItem* item = frmPrmLock->clbPrm->item(9);
    item->setCheckState(Qt::Checked);
    EXPECT_FALSE(frmPrmLock->clbPrm->Checked(9));

    // The lock window's write sends locked values like the others.
    Read(frmPrmLock);
    TakeSentLines();
    grid->SetCell(1, 6, "55");
    EXPECT_EQ(driver->parameter('X', 5), 1005);
    frmPrmLock->btnSendPrm->click();
    ASSERT_TRUE(WaitFor([this] { return driver->parameter('X', 5) == 55; }));
    EXPECT_TRUE(frmPrmLock->clbPrm->isEnabled());
}

TEST_F(ParameterWindowsTest, LockWindowOfTheFirstSeriesWritesNothing) {
    OpenOnSeries(0, "QWA-D56");
    frmPrmLock->btnSendPrm->click();
    EXPECT_EQ(frmCommCancel->Label1->text(), "ダウンロード完了");
    Pause(100);
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"VER", "VER"}));
}

} // namespace

namespace {

class GuidePaneTest : public ParameterWindowsTest {};

TEST_F(GuidePaneTest, TheLauncherOpensWithItsOwnLinesAndSelectionShowsTheRowsGuide) {
    WriteSetting("Model", "ModelType", 3);
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    driver->setModelText('X', "QWC50A_B0");
    frmPrm->grdPrm->SetRow(17);
    frmMain->btnPopupPrm->trigger();
    const QStringList opening = frmPrm->RichEdit1->toPlainText().split('\n');
    ASSERT_GE(opening.size(), 3);
    EXPECT_EQ(opening[2], "約1[mV]単位で設定できます。");

    frmPrm->grdPrm->SetRow(18);
    frmPrm->grdPrm->SetRow(17);
    const QStringList selected = frmPrm->RichEdit1->toPlainText().split('\n');
    EXPECT_EQ(selected, PrmGuideLines(2, "QWC50A_B0", 17));
    EXPECT_EQ(selected[2], "設定値の単位については、ﾄﾞﾗｲﾊﾞ本体の取扱説明書をご覧ください。");

    // A click on a reference cell is refused but still shows its row's guide.
    frmPrm->grdPrm->setCurrentCell(39, 2);
    EXPECT_EQ(frmPrm->grdPrm->Col(), 1);
    EXPECT_EQ(frmPrm->RichEdit1->toPlainText().split('\n'), PrmGuideLines(2, "QWC50A_B0", 40));

    // While a transfer runs, selecting rows leaves the pane alone.
    frmPrm->Busy = 1;
    frmPrm->grdPrm->SetRow(5);
    EXPECT_EQ(frmPrm->RichEdit1->toPlainText().split('\n'), PrmGuideLines(2, "QWC50A_B0", 40));
    frmPrm->Busy = 0;

    // The lock window shows its own guide.
    frmPrmLock->grdPrm->SetRow(26);
    EXPECT_EQ(frmPrmLock->RichEdit1->toPlainText().split('\n'), PrmLockGuideLines(26));
    EXPECT_EQ(frmPrmLock->clbPrm->ItemIndex(), 25);

    // Unchecking the guide in one window hides both panes.
    frmPrmLock->PrmGuide_Checkbox->click();
    EXPECT_FALSE(frmPrm->PrmGuide_Checkbox->Checked());
    EXPECT_TRUE(frmPrm->RichEdit1->isHidden());
    EXPECT_TRUE(frmPrmLock->RichEdit1->isHidden());
}

} // namespace
