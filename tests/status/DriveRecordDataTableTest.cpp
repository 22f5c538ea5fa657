// The data table window against the simulated driver: the launcher's model and type queries,
// reading every entry, writing the values back, cancelling, lost lines and the reference marks.
#include "AppTest.h"

#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "status/UnitDataTable.h"
#include "ui/FileDialogs.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>

#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(Qt::black);

class DataTableTest : public AppTest {
protected:
    // Starts on a series (0..3) with the driver's model text and opens the window from the menu.
    void Open(int series, const QByteArray& model) {
        StartOnSeries(series, model);
        frmMain->btnPopupDataTable->trigger();
        ASSERT_TRUE(frmDataTable->isVisible());
        TakeSentLines();
    }
    ui::StringGrid* Grid() const { return frmDataTable->grdDataTable; }
    void ReadAll() {
        frmDataTable->btnReadDataTable->click();
        ASSERT_TRUE(
            WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 30000));
    }
    // The lines a read of `count` entries sends after its probe: a selection and a query each,
    // and between them the model query whose known answer settles the selection's.
    static QList<QByteArray> ReadLines(int count) {
        QList<QByteArray> lines;
        for (int i = 0; i < count; ++i)
            lines << "#DTPT=" + QByteArray::number(i) << "VER"
                  << "*DTPT";
        return lines;
    }
    // The probe that opens every transfer, and the model query that settles it.
    static QList<QByteArray> ProbeLines() { return {"#DTPT=0", "VER"}; }
    // Writes as the line's step sends them, each with the model query that settles it.
    static QList<QByteArray> EachSettled(const QList<QByteArray>& writes) {
        QList<QByteArray> lines;
        for (const QByteArray& write : writes)
            lines << write << "VER";
        return lines;
    }
    // Makes the port fail once the driver has received `line`: the next send raises.
    void FailAfter(const QByteArray& line) {
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                         [line](const QByteArray& received) {
                             if (received == line) mdlGeneral->PortForTests().Close();
                         });
    }
    // Makes the port fail when a reply comes after the driver has received `line`, before the
    // reply is handled: the send that the reply starts raises.
    void FailOnReplyAfter(const QByteArray& line) {
        mdlGeneral->PortForTests().OnCommReceive = [this, line](QObject*, std::uint16_t count) {
            QByteArray bytes(count, '\0');
            bytes.resize(mdlGeneral->PortForTests().Read(bytes.data(), count));
            // The model text answers the query that settles the selection; the entry's answer
            // is the reply whose handling sends.
            if (driver->receivedLines().contains(line) && !bytes.startsWith("QW"))
                mdlGeneral->PortForTests().Close();
            mdlGeneral->ReceiveChunk(bytes);
        };
    }
};

TEST_F(DataTableTest, FirstSeriesReadsFortyEightEntriesAfterOnlyTheModelQuery) {
    WriteSetting("Model", "ModelType", 1);
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    driver->setModelText('X', "QWA-D56");
    driver->axis('X').setDataTableEntry(47, -250);
    frmMain->btnPopupDataTable->trigger();
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"VER", "VER"}));
    EXPECT_EQ(frmMain->VersionText, "QWA-D56");
    EXPECT_EQ(Grid()->RowCount(), 49);
    EXPECT_FALSE(frmDataTable->Label3->isVisibleTo(frmDataTable));

    Grid()->SetCell(1, 0, "old.dat");
    ReadAll();
    EXPECT_EQ(frmCommCancel->ProgressBar1->value(), 100);
    EXPECT_EQ(frmCommCancel->btnCancel->text(), "OK");
    EXPECT_EQ(Grid()->Cell(1, 0), "     KASO");
    EXPECT_EQ(Grid()->Cell(1, 1), "2000");
    EXPECT_EQ(Grid()->Cell(1, 48), "-250");
    EXPECT_EQ(Grid()->Cell(0, 48), " #DTPT[47]");
    EXPECT_EQ(Grid()->Row(), 1);
    EXPECT_EQ(TakeSentLines(), ProbeLines() + ReadLines(48));
    EXPECT_FALSE(frmDataTable->ReadRunning());
    EXPECT_TRUE(messages.empty());
}

TEST_F(DataTableTest, LaterSeriesSizeTheTableByTheDriverType) {
    struct Case {
        QByteArray model;
        int typeReply; // the driver's #40
        bool asksType;
        int digit;
        int rows;
    };
    const Case cases[] = {{"QWD50A", 21, true, 1, 49},
                          {"QWD50A", 1, true, 1, 49},
                          {"QWD50A", -1, true, -1, 385},
                          {"QWD50A", -13, true, -3, 385},
                          {"QWC50A_C3", 21, false, -3, 385}};
    Open(3, "QWD50A");
    for (const Case& c : cases) {
        driver->setModelText('X', c.model);
        driver->setParameter('X', 40, c.typeReply);
        TakeSentLines();
        frmMain->btnPopupDataTable->trigger();
        const QList<QByteArray> expected = c.asksType
                                               ? QList<QByteArray>{"VER", "VER", "#40", "#40"}
                                               : QList<QByteArray>{"VER", "VER"};
        EXPECT_EQ(TakeSentLines(), expected) << c.model.constData() << c.typeReply;
        EXPECT_EQ(frmMain->DriverTypeDigit, c.digit) << c.typeReply;
        EXPECT_EQ(Grid()->RowCount(), c.rows) << c.typeReply;
        EXPECT_TRUE(frmDataTable->Label3->isVisibleTo(frmDataTable));
        EXPECT_TRUE(frmDataTable->isVisible());
    }
    EXPECT_TRUE(messages.empty());

    // The extremes of a 32-bit type keep their last digit.
    driver->setModelText('X', "QWD50A");
    driver->setParameter('X', 40, std::numeric_limits<int>::min());
    frmMain->btnPopupDataTable->trigger();
    EXPECT_EQ(frmMain->DriverTypeDigit, -8);
    EXPECT_EQ(Grid()->RowCount(), 385);

    // A type that is no number is reported in the program's words and opens nothing; the digit
    // stays.
    frmDataTable->Hide();
    driver->setFault(sim::Fault::NotSupported);
    frmMain->btnPopupDataTable->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバの種別(#40)を読み取れませんでした。\n応答: E-S");
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Exclamation);
    EXPECT_FALSE(frmDataTable->isVisible());
    EXPECT_EQ(frmMain->DriverTypeDigit, -8);
}

// A driver type digit of 1 left by an earlier launch never shrinks a 385-row table: whichever
// road opened the window, read, write, save and load handle all 384 entries, and a load leaves
// no older value beside the loaded ones.
class StaleDriverTypeTest : public DataTableTest {
protected:
    void SetUp() override {
        DataTableTest::SetUp();
        ui::SetFileDialogResponder(
            [this](const ui::FileDialog&) -> std::optional<QString> { return chosenFile; });
    }
    void TearDown() override {
        ui::SetFileDialogResponder({});
        DataTableTest::TearDown();
    }
    // Opens the fourth series' small table, which leaves the digit 1 behind.
    void OpenSmallTable() {
        Open(3, "QWD50A");
        driver->setParameter('X', 40, 21);
        frmMain->btnPopupDataTable->trigger();
        ASSERT_EQ(Grid()->RowCount(), 49);
        ASSERT_EQ(frmMain->DriverTypeDigit, 1);
        Grid()->SetCell(1, 30, "stale");
    }
    // `probe`: what brings the line back in step before the read's first question.
    void ExpectTheWholeTable(const QList<QByteArray>& probe = {}) {
        ASSERT_EQ(Grid()->RowCount(), 385);
        EXPECT_EQ(Grid()->Cell(0, 384), " #DTPT[383]");
        Grid()->SetCell(1, 300, "older");
        WriteFile("in.dat", " #DTPT[0]=1\r\n #DTPT[383]=-9\r\n");
        chosenFile = Path("in.dat");
        frmDataTable->btnOpenForSndDataTable->click();
        EXPECT_EQ(Grid()->Cell(1, 384), "-9");
        EXPECT_EQ(Grid()->Cell(1, 300), "");
        EXPECT_EQ(Grid()->Cell(1, 30), "");

        TakeSentLines();
        frmDataTable->btnSendDataTable->click();
        EXPECT_EQ(frmCommCancel->Label1->text(), "ダウンロード完了");
        ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("*DTPT=-9"); }));
        EXPECT_TRUE(driver->receivedLines().contains("#DTPT=383"));
        ASSERT_TRUE(WaitFor([this] { return driver->axis('X').dataTableEntry(383) == -9; }));

        chosenFile = Path("out.dat");
        frmDataTable->btnSaveDataTable->click();
        QFile saved(Path("out.dat"));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), " #DTPT[0]=1\r\n #DTPT[383]=-9\r\n");

        frmCommCancel->btnCancel->click();
        driver->axis('X').setDataTableEntry(383, 77);
        TakeSentLines();
        ReadAll();
        EXPECT_EQ(Grid()->Cell(1, 384), "77");
        QList<QByteArray> lines = ProbeLines() + ReadLines(384);
        for (qsizetype i = 0; i < probe.size(); ++i)
            lines.insert(2 + i, probe[i]);
        EXPECT_EQ(TakeSentLines(), lines);
    }
    std::optional<QString> chosenFile;
};

TEST_F(StaleDriverTypeTest, SecondSeriesRoadHandlesTheWholeTable) {
    Open(1, "QWB20");
    frmMain->DriverTypeDigit = 1; // what a fourth-series launch before the setup change left
    frmDataTable->Hide();
    frmMain->btnPopupDataTable->trigger();
    ExpectTheWholeTable();
}

TEST_F(StaleDriverTypeTest, C50RoadHandlesTheWholeTable) {
    OpenSmallTable();
    driver->setModelText('X', "QWD50A_C50");
    frmMain->btnPopupDataTable->trigger();
    EXPECT_EQ(frmMain->DriverTypeDigit, 1);
    ExpectTheWholeTable();
}

TEST_F(StaleDriverTypeTest, NoAnswerRoadHandlesTheWholeTable) {
    OpenSmallTable();
    driver->setFault(sim::Fault::Silent);
    frmMain->btnPopupDataTable->trigger();
    ASSERT_EQ(messages.size(), 1u);
    driver->setFault(sim::Fault::None);
    driver->setParameter('X', 40, 0); // the driver now on the line has the large table
    EXPECT_EQ(frmMain->DriverTypeDigit, 1);
    // The model query went unanswered: its late answer, like the selections', is settled by the
    // model query before the read's first question, whose answer the driver gave before.
    ExpectTheWholeTable();
}

TEST_F(DataTableTest, NoAnswerOpensTheWindowWithoutTheDriver) {
    Open(2, "QWC50A_C3");
    frmDataTable->Hide();
    Grid()->SetRowCount(49);
    driver->setFault(sim::Fault::Silent);
    frmMain->btnPopupDataTable->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_TRUE(frmDataTable->isVisible());
    EXPECT_EQ(Grid()->RowCount(), 385);
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"VER"});
    EXPECT_FALSE(frmMain->Timer2->isActive());
}

TEST_F(DataTableTest, ThirdSeriesReadsEveryEntryAndMarksDifferingReferences) {
    Open(2, "QWC50A_C3");
    driver->axis('X').setDataTableEntry(0, 10);
    driver->axis('X').setDataTableEntry(383, 7);
    Grid()->SetCell(2, 1, "010"); // differs as text
    Grid()->SetCell(2, 2, "2001");
    Grid()->SetCell(2, 384, "8");
    ReadAll();
    for (int i = 0; i < 384; ++i)
        ASSERT_EQ(Grid()->Cell(1, i + 1), QString::number(driver->axis('X').dataTableEntry(i)))
            << i;
    EXPECT_EQ(Grid()->Cell(1, 0), "     KASO2");
    EXPECT_EQ(Grid()->CellTextColor(2, 1), kRed);
    EXPECT_EQ(Grid()->CellTextColor(2, 2), kBlack);
    EXPECT_EQ(Grid()->CellTextColor(2, 384), kRed);
    EXPECT_EQ(TakeSentLines(), ProbeLines() + ReadLines(384));

    // A reply after the last entry changes nothing.
    mdlGeneral->TakeLine(ridDataTable);
    mdlGeneral->ReceiveChunk("999\r");
    EXPECT_EQ(Grid()->Cell(1, 384), "7");
    EXPECT_TRUE(TakeSentLines().isEmpty());

    // "E-S" replies are stored as they come.
    frmCommCancel->btnCancel->click();
    driver->refuse("*DTPT");
    ReadAll();
    EXPECT_EQ(Grid()->Cell(1, 200), "E-S");
    driver->refuse("*DTPT", -1);

    // A driver that answers each selection: its answers are never taken for an entry's.
    frmCommCancel->btnCancel->click();
    driver->setFault(sim::Fault::None);
    driver->setWriteAnswer("OK");
    ReadAll();
    for (int i = 0; i < 384; ++i)
        ASSERT_EQ(Grid()->Cell(1, i + 1), QString::number(driver->axis('X').dataTableEntry(i)))
            << i;
}

// The progress window closed as a window manager closes it (its close request) ends the read
// as its button does: nothing more is asked, nothing is told, and the window is gone.
TEST_F(DataTableTest, ClosingTheProgressWindowCancelsTheRead) {
    Open(2, "QWC50A_C3");
    driver->setFault(sim::Fault::Late, 20);
    frmDataTable->btnReadDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("#DTPT=3"); }));
    ASSERT_TRUE(frmCommCancel->isVisible());
    QCloseEvent close; // what the window system hands a window whose close box was pressed
    QCoreApplication::sendEvent(frmCommCancel->windowHandle(), &close);
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmDataTable->ReadRunning());
    Pause(100);
    TakeSentLines();
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(Grid()->Cell(1, 100), QString::number(driver->axis('X').dataTableEntry(99)));
}

// A driver that refuses a selection, at once or late, keeps its pointer: the answer after it is
// the entry before's. The read stops at that entry, names it and the refusal, keeps what it read
// before and leaves every later entry empty, never another entry's value.
TEST_F(DataTableTest, ARefusedSelectionEndsTheReadAtItsEntry) {
    Open(2, "QWC50A_C3");
    for (const int late : {0, 300}) {
        for (int row = 1; row <= 384; ++row)
            Grid()->SetCell(1, row, "old");
        messages.clear();
        driver->refuse("#DTPT=10", late);
        frmDataTable->btnReadDataTable->click();
        ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }, 30000)) << late;
        EXPECT_EQ(messages[0].text, "ドライバが #DTPT[10] の選択を受け付けませんでした（E-S）。\n"
                                    "#DTPT[10] から後は読んでいません。");
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_FALSE(frmCommCancel->isVisible());
        EXPECT_FALSE(frmDataTable->ReadRunning());
        for (int i = 0; i < 10; ++i)
            ASSERT_EQ(Grid()->Cell(1, i + 1), QString::number(driver->axis('X').dataTableEntry(i)));
        for (int i = 10; i < 384; ++i)
            ASSERT_EQ(Grid()->Cell(1, i + 1), "") << i;
        driver->refuse("#DTPT=10", -1);
    }
}

// The write to a driver that refuses some selections, at once and late: a refused selection's
// value does not go (it would land in the entry before), every refusal is told and its value
// marked, and the driver holds no value at another entry than the window named.
TEST_F(DataTableTest, ARefusedSelectionKeepsItsValueBackAndIsTold) {
    Open(2, "QWC50A_C3");
    for (int i = 0; i < 384; ++i)
        driver->axis('X').setDataTableEntry(i, 0);
    for (int row = 1; row <= 40; ++row)
        Grid()->SetCell(1, row, QString::number(100 + row));
    for (int row = 41; row <= 384; ++row)
        Grid()->SetCell(1, row, "");
    driver->refuse("#DTPT=5");
    driver->refuse("#DTPT=20", 300);
    frmDataTable->btnSendDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }, 30000));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_TRUE(messages[0].text.contains("2 件")) << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.contains("#DTPT[5] (選択に E-S)"));
    EXPECT_TRUE(messages[0].text.contains("#DTPT[20] (選択に E-S)"));
    EXPECT_NE(frmCommCancel->Label1->text(), "ダウンロード完了");
    const QList<QByteArray> sent = driver->receivedLines();
    EXPECT_FALSE(sent.contains("*DTPT=106"));
    EXPECT_FALSE(sent.contains("*DTPT=121"));
    for (int i = 0; i < 40; ++i) {
        const bool refused = i == 5 || i == 20;
        EXPECT_EQ(driver->axis('X').dataTableEntry(i), refused ? 0 : 101 + i) << i;
        EXPECT_EQ(Grid()->CellTextColor(1, i + 1), refused ? kRed : kBlack) << i;
    }
    EXPECT_TRUE(frmDataTable->btnSendDataTable->isEnabled());
}

TEST_F(DataTableTest, WriteSendsEachValueAsTheCellHoldsIt) {
    Open(0, "QWA-D56");
    for (int row = 1; row <= 48; ++row)
        Grid()->SetCell(1, row, QString());
    Grid()->SetCell(1, 1, "-5");
    Grid()->SetCell(1, 4, "77");
    Grid()->SetCell(1, 5, "12");
    Grid()->SetCell(1, 6, "3");
    std::vector<int> rowsVisited;
    std::vector<bool> readEnabled;
    Grid()->OnSelectCell = [&](int, int row, bool&) {
        rowsVisited.push_back(row);
        readEnabled.push_back(frmDataTable->btnReadDataTable->isEnabled());
    };
    frmDataTable->btnSendDataTable->click();
    EXPECT_EQ(frmCommCancel->Label1->text(), "ダウンロード完了");
    EXPECT_EQ(frmCommCancel->ProgressBar1->value(), 100); // the empty last entries count too
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() >= 18; }));
    Pause(50);
    EXPECT_EQ(TakeSentLines(), EachSettled({"#DTPT=0", "#DTPT=0", "*DTPT=-5", "#DTPT=3", "*DTPT=77",
                                            "#DTPT=4", "*DTPT=12", "#DTPT=5", "*DTPT=3"}));
    EXPECT_EQ(driver->axis('X').dataTableEntry(0), -5);
    EXPECT_EQ(driver->axis('X').dataTableEntry(3), 77);
    EXPECT_EQ(driver->axis('X').dataTableEntry(5), 3);
    // The current row follows entries with an even index only, then returns to the top.
    EXPECT_EQ(rowsVisited, (std::vector<int>{1, 5, 1}));
    // No read may select entries while the write runs.
    EXPECT_EQ(readEnabled, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(frmDataTable->btnReadDataTable->isEnabled());
    EXPECT_TRUE(messages.empty());
}

TEST_F(DataTableTest, CancelEndsTheReadAtOnceAndLateRepliesChangeNothing) {
    Open(2, "QWC50A_C3");
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#DTPT=3") driver->setFault(sim::Fault::Silent);
                     });
    frmDataTable->btnReadDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("#DTPT=3"); }));
    Pause(50);
    EXPECT_TRUE(frmDataTable->ReadRunning());
    frmCommCancel->btnCancel->click();
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmDataTable->ReadRunning());
    Grid()->SetCell(1, 4, "keep");
    TakeSentLines();
    mdlGeneral->ReceiveChunk("4242\r");
    EXPECT_EQ(Grid()->Cell(1, 4), "keep");
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_TRUE(messages.empty());
}

// A read cancelled while an entry's answer is held back, and read again at once: the late answer
// is let go before the new read asks, so every entry holds its own value.
TEST_F(DataTableTest, AReadAgainAfterACancelWithAnAnswerOutTakesNoLateAnswer) {
    Open(2, "QWC50A_C3");
    for (int i = 0; i < 384; ++i)
        driver->axis('X').setDataTableEntry(i, 7000 + i);
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#DTPT=4") driver->answerLateOnce("*DTPT", 3000);
                     });
    frmDataTable->btnReadDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("#DTPT=4"); }));
    Pause(1000);
    frmCommCancel->btnCancel->click();
    EXPECT_FALSE(frmDataTable->ReadRunning());
    Pause(500);
    ReadAll();
    for (int i = 0; i < 384; ++i)
        ASSERT_EQ(Grid()->Cell(1, i + 1), QString::number(7000 + i)) << i;
    EXPECT_TRUE(messages.empty());
}

TEST_F(DataTableTest, CancelStopsTheWriteBeforeTheNextEntry) {
    Open(2, "QWC50A_C3");
    for (int row = 1; row <= 384; ++row)
        Grid()->SetCell(1, row, QString::number(row));
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [](const QByteArray& line) {
                         if (line == "*DTPT=3" && frmCommCancel->isVisible())
                             frmCommCancel->btnCancel->click();
                     });
    frmDataTable->btnSendDataTable->click();
    Pause(50);
    const QList<QByteArray> sent = TakeSentLines();
    EXPECT_TRUE(sent.contains("*DTPT=3"));
    EXPECT_LE(sent.size(), 2 * (1 + 2 * 6));
    EXPECT_FALSE(sent.contains("*DTPT=10"));
    EXPECT_NE(frmCommCancel->Label1->text(), "ダウンロード完了");
    EXPECT_TRUE(frmDataTable->btnSendDataTable->isEnabled());
}

TEST_F(DataTableTest, ALostLineMidReadPutsTheWindowBack) {
    Open(2, "QWC50A_C3");
    FailOnReplyAfter("#DTPT=6");
    frmDataTable->btnReadDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return HasMessage("ドライバと通信できませんでした。"); }));
    EXPECT_EQ(messages.back().caption, "ｴﾗ-");
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmDataTable->ReadRunning());
    EXPECT_EQ(Grid()->Cell(1, 6), "2005");
}

TEST_F(DataTableTest, ALostLineMidWritePutsTheWindowBack) {
    Open(2, "QWC50A_C3");
    Grid()->SetCell(1, 2, "9");
    Grid()->SetCell(1, 300, "8");
    FailAfter("*DTPT=9");
    frmDataTable->btnSendDataTable->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。\n"
                                "書き込みを中止しました。最後に送った値は #DTPT[1] です。\n"
                                "それより後の値は送っていません。");
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_TRUE(frmDataTable->btnReadDataTable->isEnabled());
    EXPECT_TRUE(frmDataTable->btnSendDataTable->isEnabled());

    // With the port closed the probe fails and nothing starts.
    messages.clear();
    frmDataTable->btnReadDataTable->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmDataTable->ReadRunning());
}

// The driver hung up in the middle of a read, then of a write: each ends at once, the window is
// idle with its buttons, and the user hears of it once, from the line's owner.
TEST_F(DataTableTest, AHangUpEndsTheReadAndTheWriteWithOneMessage) {
    Open(2, "QWC50A_C3");
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#DTPT=7") driver->hangUp();
                     });
    frmDataTable->btnReadDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    Pause(1500); // no watchdog, timer or late reply adds a box
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmDataTable->ReadRunning());
    EXPECT_EQ(Grid()->Cell(1, 7), "2006");
    EXPECT_TRUE(frmDataTable->btnReadDataTable->isEnabled());
}

// The driver hung up just before a button: the send that finds it gone is told once, by the
// lost line's own message.
TEST_F(DataTableTest, AHangUpBeforeAReadOrAWriteIsToldOnce) {
    Open(2, "QWC50A_C3");
    for (QPushButton* button : {frmDataTable->btnReadDataTable, frmDataTable->btnSendDataTable}) {
        messages.clear();
        driver->hangUp();
        button->click();
        Pause(300);
        ASSERT_EQ(messages.size(), 1u) << button->text().toStdString();
        EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
        // The device is back, the port opened again for the next button.
        driver = std::make_unique<sim::SimulatedDriver>(driverConfig);
        qputenv("KASONT_COMM1", driver->slavePath().toLocal8Bit());
        mdlGeneral->PortForTests().Close();
        mdlGeneral->OpenPort();
    }
}

TEST_F(DataTableTest, AHangUpMidWriteGivesTheButtonsBack) {
    Open(2, "QWC50A_C3");
    for (int row = 1; row <= 384; ++row)
        Grid()->SetCell(1, row, QString::number(row));
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "*DTPT=5") driver->hangUp();
                     });
    frmDataTable->btnSendDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    Pause(300);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_NE(frmCommCancel->Label1->text(), "ダウンロード完了");
    EXPECT_TRUE(frmDataTable->btnReadDataTable->isEnabled());
    EXPECT_TRUE(frmDataTable->btnSendDataTable->isEnabled());
    EXPECT_FALSE(driver->receivedLines().contains("*DTPT=7"));

    // With the port gone, a new read is refused at its probe, once.
    frmDataTable->btnReadDataTable->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "ドライバと通信できませんでした。");
    EXPECT_FALSE(frmCommCancel->isVisible());
}

// The driver hangs up while the launchers wait for "VER" or "#40": one message, the line
// owner's; the window opens without the driver.
TEST_F(DataTableTest, HangUpDuringTheLaunchIsReportedOnce) {
    Open(3, "QWD50A");
    frmDataTable->Hide();
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#40") {
                             driver->setFault(sim::Fault::Silent);
                             QTimer::singleShot(100, driver.get(), [this] { driver->hangUp(); });
                         }
                     });
    frmMain->btnPopupDataTable->trigger();
    Pause(200);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_TRUE(frmDataTable->isVisible());
    EXPECT_FALSE(frmMain->Timer2->isActive());
}

// A read that waits for a silent driver is cancelled after the port has been closed.
TEST_F(DataTableTest, CancelWorksWithThePortClosed) {
    Open(2, "QWC50A_C3");
    driver->setFault(sim::Fault::Silent);
    frmDataTable->btnReadDataTable->click();
    ASSERT_TRUE(frmCommCancel->isVisible());
    mdlGeneral->PortForTests().Close();
    frmCommCancel->btnCancel->click();
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmDataTable->ReadRunning());
    Pause(300);
    EXPECT_TRUE(messages.empty());
}

// A paste of two lines into a value cell is refused as it is pasted, naming the line end by its
// code and the entry: the cell keeps its value, which the write sends, and the driver's parameter
// stays as it was.
TEST_F(DataTableTest, APastedLineEndInACellIsRefusedByItsCode) {
    Open(0, "QWA-D56");
    for (int row = 1; row <= 48; ++row)
        Grid()->SetCell(1, row, QString());
    Grid()->SetCell(1, 3, "12");
    const int parameterBefore = driver->parameter('X', 5);
    QGuiApplication::clipboard()->setText("X\r#5=1");
    Grid()->setFocus();
    Grid()->setCurrentCell(2, 1);
    Grid()->editItem(Grid()->currentItem());
    auto* editor = Grid()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#DTPT[2] に送信できない文字「U+000D」があります。\n入力内容を確認してください。");
    EXPECT_EQ(editor->text(), "12");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_EQ(Grid()->Cell(1, 3), "12");
    TakeSentLines();
    frmDataTable->btnSendDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("*DTPT=12"); }));
    Pause(100);
    EXPECT_EQ(driver->receivedBytes().count("#5=1"), 0);
    EXPECT_EQ(driver->parameter('X', 5), parameterBefore);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(DataTableTest, AValueThatCannotBeSentIsNamedAndNothingIsWritten) {
    Open(0, "QWA-D56");
    Grid()->SetCell(1, 1, "5");
    Grid()->setFocus();
    Grid()->setCurrentCell(2, 1); // entry 2
    QTest::keyClick(Grid(), Qt::Key_F2);
    auto* editor = Grid()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    Type(editor, "7✓\r");
    ASSERT_EQ(Grid()->Cell(1, 3), "7✓");
    frmDataTable->btnSendDataTable->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#DTPT[2] に送信できない文字「✓」があります。\n入力内容を確認してください。");
    EXPECT_EQ(messages[0].caption, "入力エラー");
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_EQ(driver->axis('X').dataTableEntry(0), 2000);
    EXPECT_TRUE(frmDataTable->btnSendDataTable->isEnabled());
}

// A driver that ends its lines with CR LF and answers "7<ESC>8": each value is the answer as it
// came, without the line end's LF that the ring puts at the head of the next line; the escape
// shows by its sign, and the write refuses the entry by the character's code.
TEST_F(DataTableTest, AnAnswerWithAControlCharacterIsKeptShownAndNeverWritten) {
    Open(0, "QWA-D56");
    driver->setStatusReply('X', "*DTPT",
                           "7\x1B"
                           "8");
    mdlGeneral->PortForTests().OnCommReceive = [](QObject*, std::uint16_t count) {
        QByteArray bytes(count, '\0');
        bytes.resize(mdlGeneral->PortForTests().Read(bytes.data(), count));
        mdlGeneral->ReceiveChunk(bytes.replace("\r", "\r\n"));
    };
    ReadAll();
    frmCommCancel->btnCancel->click();
    for (int row = 1; row <= 48; ++row)
        ASSERT_EQ(Grid()->Cell(1, row), "7\x1B"
                                        "8")
            << row;
    const auto* cells = static_cast<QStyledItemDelegate*>(Grid()->itemDelegate());
    EXPECT_EQ(cells->displayText(Grid()->Cell(1, 48), QLocale()), "7␛8");
    TakeSentLines();
    frmDataTable->btnSendDataTable->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#DTPT[0] に送信できない文字「U+001B」があります。\n入力内容を確認してください。");
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
}

// The grid follows the entry being read, and the view catches up with it a few times a second,
// not at every entry: the driver falls silent at entry 150 of 384.
TEST_F(DataTableTest, TheReadsRowIsFollowedWithoutAScrollForEveryEntry) {
    Open(2, "QWC50A_C3");
    int scrolls = 0;
    QObject::connect(Grid()->verticalScrollBar(), &QScrollBar::valueChanged, [&] { ++scrolls; });
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#DTPT=150") driver->setFault(sim::Fault::Silent);
                     });
    frmDataTable->btnReadDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("#DTPT=150"); }, 20000));
    Pause(250);
    EXPECT_EQ(Grid()->Row(), 151);
    EXPECT_TRUE(Grid()->viewport()->rect().contains(Grid()->visualRect(Grid()->currentIndex())));
    EXPECT_LT(scrolls, 50);
    frmCommCancel->btnCancel->click();
}

TEST_F(DataTableTest, EditingAValueRecoloursItsReferenceAndTheReferenceIsNeverEdited) {
    Open(2, "QWC50A_C3");
    Grid()->SetCell(1, 3, "100");
    Grid()->SetCell(2, 3, "100");
    frmDataTable->RefreshMarks();
    EXPECT_EQ(Grid()->CellTextColor(2, 3), kBlack);
    Grid()->setFocus();
    Grid()->setCurrentCell(2, 1);
    Grid()->editItem(Grid()->currentItem());
    auto* editor = Grid()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, "1");
    EXPECT_EQ(Grid()->Cell(1, 3), "1001");
    EXPECT_EQ(Grid()->CellTextColor(2, 3), kRed);
    QTest::keyClick(editor, Qt::Key_Return);

    Grid()->setCurrentCell(4, 2);
    EXPECT_NE(Grid()->currentColumn(), 2);

    // Rows that a launch adds to the showing window keep their references read-only.
    driver->setModelText('X', "QWD50A");
    driver->setParameter('X', 40, 1);
    frmMain->btnPopupDataTable->trigger();
    driver->setParameter('X', 40, 0);
    frmMain->btnPopupDataTable->trigger();
    ASSERT_EQ(Grid()->RowCount(), 385);
    // What a double click asks of the grid: an editor for the cell.
    auto opensEditor = [this](int col, int row) {
        Grid()->edit(Grid()->model()->index(row - 1, col));
        const bool editing = Grid()->Editing();
        Grid()->CloseEditor();
        return editing;
    };
    EXPECT_FALSE(opensEditor(2, 300));
    EXPECT_TRUE(opensEditor(1, 300));
}

} // namespace

namespace {

// The simulated driver keeps a first-series table to its 48 entries.
TEST(SimulatedDataTableTest, SmallTablesRefuseEntriesBeyondThem) {
    sim::DriverAxis first('X', "QWA-D56");
    EXPECT_EQ(first.run("#DTPT=47"), std::nullopt);
    EXPECT_EQ(first.run("*DTPT=5"), std::nullopt);
    EXPECT_EQ(first.dataTableEntry(47), 5);
    EXPECT_EQ(first.run("#DTPT=48"), QByteArray("E-S"));
    EXPECT_EQ(first.run("#DTPT=383"), QByteArray("E-S"));
    EXPECT_EQ(first.run("*DTPT"), QByteArray("5")); // the selection stayed on entry 47

    sim::DriverAxis later('X', "QWD50A");
    EXPECT_EQ(later.run("#DTPT=383"), std::nullopt);
    later.setParameter(40, 21); // driver type 1: the small table
    EXPECT_EQ(later.run("*DTPT=1"), QByteArray("E-S"));
    EXPECT_EQ(later.run("#DTPT=48"), QByteArray("E-S"));
    later.setModelText("QWD50A_C50");
    EXPECT_EQ(later.run("#DTPT=383"), std::nullopt);
}

} // namespace
