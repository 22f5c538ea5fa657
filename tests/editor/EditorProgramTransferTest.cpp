// The program download and upload against the simulated driver: what goes on the wire byte for
// byte, what the driver then holds, what comes back into a new document, and the roads off the
// main road (faults of the driver, bad rows, cancel, a lost line).
#include "EditorTestFixture.h"

#include "editor/ProgramRows.h"
#include "link/Exchange.h"
#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"

#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTimer>

namespace {

constexpr auto kDataError = "KASOがデータエラーを検知しました。\n再度テキストを確認してください。";

QByteArray Golden(const QString& name) {
    QFile file(QString(KASO_GOLDEN_DIR) + "/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> RowsOf(const QByteArray& compiled) {
    QList<QByteArray> rows = compiled.split('\n');
    rows.removeLast();
    for (QByteArray& row : rows)
        row.chop(1); // CR
    return rows;
}

bool ReadBack(const QByteArray& row) {
    for (const char* marker : {"==", "##", "#$", "#&", "#%"})
        if (row.contains(marker)) return false;
    return !row.isEmpty();
}

// The bytes a download puts on the line: "MBCL\r" when asked for, each row with its CR and,
// when read back, "RRX\r" after it.
QByteArray Wire(const QList<QByteArray>& rows, bool clear, bool readBack) {
    QByteArray wire = clear ? "MBCL\r" : "";
    for (const QByteArray& row : rows)
        wire += row + '\r' + (readBack && ReadBack(row) ? "RRX\r" : "");
    return wire;
}

TEST(ProgramRows, PaceReadBackAndClearFollowTheRowsRules) {
    // Ticks of 10 ms after a row of L bytes, by the rate's item index.
    EXPECT_EQ(editor::PaceTicks(0, 29), 54);
    EXPECT_EQ(editor::PaceTicks(1, 29), 12);
    EXPECT_EQ(editor::PaceTicks(2, 29), 6);
    EXPECT_EQ(editor::PaceTicks(3, 29), 3);
    EXPECT_EQ(editor::PaceTicks(4, 8), 0); // a short row at 38400 bps is not held back
    EXPECT_EQ(editor::PaceTicks(4, 9), 1);

    EXPECT_TRUE(editor::NeedsReadBack("()SVON", 1));
    EXPECT_FALSE(editor::NeedsReadBack("()SVON", 0)); // first generation: never
    EXPECT_FALSE(editor::NeedsReadBack("", 2));
    for (const char* marker : {"A==B", "##1", "(#$1)", "#&", "X#%"})
        EXPECT_FALSE(editor::NeedsReadBack(marker, 3)) << marker;
    EXPECT_TRUE(editor::ClearsProgram("()mbCl"));
    EXPECT_FALSE(editor::ClearsProgram("()MBC"));

    EXPECT_EQ(editor::CompiledRows(""), QList<QByteArray>());
    EXPECT_EQ(editor::CompiledRows("a\r\nb\nc"), (QList<QByteArray>{"A", "B", "C"}));
    EXPECT_EQ(editor::CompiledRows("a\r\n\r\n"), (QList<QByteArray>{"A", ""}));
    // A lone lead byte at the end stays as it is.
    EXPECT_EQ(editor::UpperCaseAscii("x\x83\x63y\x83"), QByteArray("X\x83\x63Y\x83"));

    const QList<QByteArray> ok{"EV", QByteArray(29, 'A'), "/EV"};
    EXPECT_EQ(editor::CheckRows(ok, false).fault, editor::RowFault::None);
    EXPECT_EQ(editor::CheckRows({"EV", QByteArray(30, 'A')}, true).row, 1);
    EXPECT_EQ(editor::CheckRows({"EV", ""}, false).fault, editor::RowFault::Empty);
    EXPECT_EQ(editor::CheckRows({"EV", ""}, true).fault, editor::RowFault::None);
    EXPECT_EQ(editor::CheckRows({QByteArray("A\0B", 3)}, true).fault,
              editor::RowFault::BadCharacter);
    EXPECT_EQ(editor::CheckRows({"A\x7F"}, true).fault, editor::RowFault::BadCharacter);
}

class ProgramTransferTest : public EditorTest {
protected:
    void SetUp() override {
        driverConfig.axes = "XY";
        EditorTest::SetUp();
        frmSetup->cmbBaudrate->SetItemIndex(4);
        Designate("Y");
    }
    // The user designates the axis in the terminal; the last scan found X and Y.
    void Designate(const QString& axis) {
        driver->clearReceived();
        frmMain->AxisMask = (1 << ('X' - 'A')) | (1 << ('Y' - 'A'));
        Type(frmMain->edtSend, axis + ":\r");
        ASSERT_TRUE(WaitFor([&] { return driver->receivedLines().size() == 1; }));
        driver->clearReceived();
    }
    void OpenProgram(const QString& name, const QByteArray& bytes) {
        WriteFile(name, bytes);
        Open(name);
    }
    void Download() { frmEdit->RunSendItem->trigger(); }
    void Upload() {
        frmEdit->RunUpLoadMailBox->trigger();
        ASSERT_TRUE(WaitFor([] { return !frmEdit->ProgramTransferRunning(); }));
    }
    // The bytes the driver received, once it has read them all.
    void ExpectWire(const QByteArray& expected) {
        WaitFor([&] { return driver->receivedBytes().size() >= expected.size(); }, 10000);
        EXPECT_EQ(WithoutModelQueries(driver->receivedBytes()), expected);
    }
    QList<QByteArray> Stored(char axis) const { return driver->axis(QChar(axis)).program().rows(); }
    QStringList ReplyLines() const { return frmEdit->memSub->toPlainText().split('\n'); }
    bool Completed(const QString& text) const {
        return frmCommCancel->isVisible() && frmCommCancel->Label1->text() == text &&
               frmCommCancel->btnCancel->text() == "OK";
    }
};

TEST_F(ProgramTransferTest, CompiledProgramsOfBothGenerationsGoToTheDesignatedAxisAndComeBack) {
    // Second generation: compile, download with "MBCL" and read-back, upload.
    frmSetup->cmbModelType->SetItemIndex(2);
    OpenProgram("PROG.MB", Golden("gen2_jumps.MB"));
    frmEdit->btnMailC->click();
    const QList<QByteArray> rows = RowsOf(Golden("gen2_jumps.mbx"));
    ASSERT_EQ(RowsOf(ReadFile("PROG.mbx")), rows);
    driver->axis('X').program().setRows({"EV", "()KEEP"});

    Download();
    EXPECT_EQ(WithoutModelQueries(driver->receivedBytes()), Wire(rows, true, true));
    EXPECT_EQ(Stored('Y'), rows); // marker rows such as "   2 L:" keep their blanks
    EXPECT_EQ(Stored('X'), (QList<QByteArray>{"EV", "()KEEP"}));
    EXPECT_TRUE(Completed("ダウンロード完了"));
    EXPECT_EQ(frmEdit->memSub->toPlainText(), "");
    EXPECT_FALSE(frmEdit->Timer2->isActive());
    frmCommCancel->btnCancel->click();

    driver->clearReceived();
    const int before = frmEdit->ActiveTab();
    const QString sourceText = PaneText();
    Upload();
    QByteArray wire = "FLPT=0\rFL\r";
    for (qsizetype n = 0; n < rows.size(); ++n)
        wire += "FL+\r";
    EXPECT_EQ(WithoutModelQueries(driver->receivedBytes()), wire);
    EXPECT_NE(frmEdit->ActiveTab(), before);
    EXPECT_EQ(frmEdit->TabCaption(frmEdit->ActiveTab()), "ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ");
    EXPECT_EQ(frmEdit->DocFileName[frmEdit->ActiveTab()], "ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ");
    EXPECT_EQ(frmEdit->DocModified[frmEdit->ActiveTab()], 1);
    EXPECT_EQ(PaneText(), QString(Golden("gen2_jumps.mbx")).replace("\r\n", "\n").chopped(1));
    EXPECT_EQ(frmEdit->DocText[before], sourceText);
    EXPECT_TRUE(Completed("アップロード完了"));
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    EXPECT_FALSE(frmEdit->memUploadData->isVisible());
    frmCommCancel->btnCancel->click();

    // First generation: no "MBCL" when declined, no read-back at all.
    frmSetup->cmbModelType->SetItemIndex(0);
    OpenProgram("P1.MB", Golden("gen1_shipped_library.MB"));
    frmEdit->btnMailC->click();
    driver->clearReceived();
    Answer(ui::MsgResult::No);
    Download();
    const QList<QByteArray> rows1 = RowsOf(Golden("gen1_shipped_library.mbx"));
    ExpectWire(Wire(rows1, false, false));
    EXPECT_EQ(Stored('Y'), rows + rows1); // not cleared
    EXPECT_TRUE(Completed("ダウンロード完了"));
    EXPECT_TRUE(HasMessage("MBCLコマンドをドライバへ送信しますか。"));
}

TEST_F(ProgramTransferTest, CompiledFileRowsLoseTheirLineEndAndOnlyAsciiLettersAreRaised) {
    frmSetup->cmbModelType->SetItemIndex(2);
    Answer(ui::MsgResult::No);
    // "ツ" is 0x83 0x63 in CP932: its second byte is a lower-case "c" to a byte-wise toupper.
    const QByteArray quoted = ui::cp932::Encode("\"ツa");
    ASSERT_EQ(quoted, QByteArray("\"\x83\x63"
                                 "a"));
    OpenProgram("Q.DAT", "ev\r\n()svon\r\n" + quoted + "\n/ev");
    WriteFile("Q.mbx", "ev\r\n()svon\r\n" + quoted + "\n/ev");
    Download();
    const QList<QByteArray> rows{"EV", "()SVON",
                                 "\"\x83\x63"
                                 "A",
                                 "/EV"};
    EXPECT_EQ(WithoutModelQueries(driver->receivedBytes()), Wire(rows, false, true));
    EXPECT_EQ(Stored('Y'), rows);
    EXPECT_TRUE(Completed("ダウンロード完了"));

    // 29 bytes are sent; 15 double-byte characters (30 bytes, 15 characters) are refused.
    frmCommCancel->btnCancel->click();
    driver->clearReceived();
    WriteFile("Q.mbx", "EV\r\n\"" + ui::cp932::Encode(QString(14, QChar(0x8868))) + "\r\n/EV\r\n");
    Download();
    EXPECT_EQ(WithoutModelQueries(driver->receivedLines()).size(), 6); // 3 rows and 3 read-backs
    driver->clearReceived();
    WriteFile("Q.mbx", "EV\r\n" + ui::cp932::Encode(QString(15, QChar(0x8868))) + "\r\n/EV\r\n");
    messages.clear();
    Download();
    EXPECT_EQ(LastMessage().text,
              "転送文字列が29文字を超えています。\n再度テキストを確認してください。");
    EXPECT_EQ(LastMessage().caption, "送信データエラー");
    EXPECT_EQ(ReplyLines().first(), "[エラー] Q.mbx の 2行目");
    EXPECT_FALSE(HasMessage("MBCLコマンドをドライバへ送信しますか。"));
    Pause(50);
    EXPECT_TRUE(driver->receivedBytes().isEmpty());
}

TEST_F(ProgramTransferTest, BadRowsAndUnconfirmedAxesAreRefusedBeforeAnythingIsSent) {
    frmSetup->cmbModelType->SetItemIndex(2);
    // An empty row inside a compiled file: the old download ended there and reported success.
    OpenProgram("R.MB", "EV\r\n()A\r\n/EV\r\n");
    WriteFile("R.mbx", "EV\r\n()A\r\n\r\n()B\r\n/EV\r\n");
    Download();
    EXPECT_EQ(LastMessage().text, "コンパイルしてください。");
    EXPECT_EQ(LastMessage().caption, "ダウンロード中止");
    EXPECT_EQ(ReplyLines().first(), "[エラー] R.mbx の 3行目");
    EXPECT_FALSE(frmCommCancel->isVisible());

    // A control character would not reach the driver as written.
    WriteFile("R.mbx", "EV\r\n()\tA\r\n/EV\r\n");
    Download();
    EXPECT_EQ(LastMessage().caption, "送信データエラー");

    // Odd files: UTF-16 text (NUL bytes), and one larger than any compiled program.
    WriteFile("R.mbx", QByteArray("E\0V\0\r\0\n\0", 8));
    Download();
    EXPECT_EQ(LastMessage().caption, "送信データエラー");
    WriteFile("R.mbx", QByteArray(200000, 'A'));
    Download();
    EXPECT_EQ(LastMessage().text, "コンパイルしてください。");

    // A source without its compiled program.
    QFile::remove(Path("R.mbx"));
    Download();
    EXPECT_EQ(LastMessage().text, "コンパイルしてください。");

    // An axis that did not answer the scan.
    WriteFile("R.mbx", "EV\r\n/EV\r\n");
    frmMain->AxisMask = 1 << ('X' - 'A');
    messages.clear();
    Download();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastMessage().text,
              "通信確立が未確認の軸にダウンロードしようとしています。\n設定画面に"
              "て通信確立の確認及び軸指定の確認をしてください。");
    frmEdit->RunUpLoadMailBox->trigger();
    EXPECT_EQ(LastMessage().text, "通信確立が未確認の軸のプログラムをアップロードしようとしています"
                                  "。\n設定画面にて通信確立の確認及び軸指定の確認をしてください。");
    EXPECT_EQ(frmEdit->UsedSlots, 1); // no document opened for it

    // An editor line with characters that have no CP932 code would go out as "??".
    frmMain->AxisMask = (1 << ('X' - 'A')) | (1 << ('Y' - 'A'));
    frmEdit->FileNewItem->trigger();
    TypeText("EV\r'€✓\r/EV");
    messages.clear();
    Download();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "コンパイルされていないファイルを転送します。よろしいですか？");
    EXPECT_EQ(messages[1].text, "新規ﾌｧｲﾙ の 2行目の転送文字列に送信できない文字「€」があります。"
                                "\n再度テキストを確認してください。");
    EXPECT_EQ(ReplyLines(), (QStringList{"[エラー] 新規ﾌｧｲﾙ の 2行目", "[文字列] '€✓"}));
    EXPECT_FALSE(frmCommCancel->isVisible());

    Pause(50);
    EXPECT_TRUE(driver->receivedBytes().isEmpty());
}

TEST_F(ProgramTransferTest, OnlyTheLastCompileOfTheDocumentIsSentFromItsOwnFolder) {
    frmSetup->cmbModelType->SetItemIndex(2);
    Answer(ui::MsgResult::No);
    QDir(workDir.path()).mkpath("src");
    WriteFile("PROG.mbx", "EV\r\n()STRAY\r\n/EV\r\n"); // the current folder's: not this one
    OpenProgram("src/PROG.MB", "EV\r\n()SVON\r\n/EV\r\n");
    frmEdit->btnMailC->click();
    Download();
    ExpectWire("EV\rRRX\r()SVON\rRRX\r/EV\rRRX\r");

    // A compile that fails leaves no older program to send.
    frmEdit->memMain2->SetText("EV\n()SVON\n(\n/EV");
    frmEdit->btnMailC->click();
    ASSERT_TRUE(frmEdit->memSub->toPlainText().contains("エラー"));
    frmCommCancel->btnCancel->click();
    driver->clearReceived();
    messages.clear();
    Download();
    EXPECT_EQ(LastMessage().text, "コンパイルしてください。");
    Pause(50);
    EXPECT_TRUE(driver->receivedBytes().isEmpty());
}

TEST_F(ProgramTransferTest, DriverFaultsStopTheDownloadWithTheirMessages) {
    frmSetup->cmbModelType->SetItemIndex(2);
    frmSetup->cmbBaudrate->SetItemIndex(0); // 1200 bps: a pace long enough for the row's reply
    Answer(ui::MsgResult::No);
    OpenProgram("F.mbx", "EV\n()SVON\n/EV\n"); // compiled text in the editor
    const auto run = [&](const sim::ProgramStore::Faults& faults) {
        driver->setProgramFaults(faults);
        driver->clearReceived();
        messages.clear();
        Download();
        driver->setProgramFaults({});
        EXPECT_FALSE(frmCommCancel->isVisible());
        EXPECT_FALSE(frmEdit->Timer2->isActive());
        EXPECT_FALSE(frmCommCancel->Label1->text() == "ダウンロード完了");
        Pause(100);
        return WithoutModelQueries(driver->receivedBytes());
    };
    EXPECT_EQ(run({.wrongEcho = true}), "EV\rRRX\r");
    EXPECT_EQ(LastMessage().text, kDataError);
    EXPECT_EQ(LastMessage().caption, "受信データエラー");
    EXPECT_EQ(ReplyLines(), (QStringList{"[エラー] F.mbx の 1行目", "[文字列] EV"}));

    EXPECT_EQ(run({.replyToRows = true}), "EV\r");
    EXPECT_EQ(LastMessage().text, kDataError);
    EXPECT_EQ(ReplyLines(),
              (QStringList{"[エラー] F.mbx の 1行目", "[KASO返信] E-S", "[文字列] EV"}));

    EXPECT_EQ(run({.silentReadBack = true}), "EV\rRRX\r");
    EXPECT_EQ(LastMessage().text, "ドライバから返信がありませんでした。");
    EXPECT_EQ(LastMessage().caption, "ﾀｲﾑｱｳﾄｴﾗ-");
}

TEST_F(ProgramTransferTest, AStoppedDownloadNamesTheRowInProgress) {
    frmSetup->cmbModelType->SetItemIndex(2); // every row is read back
    Answer(ui::MsgResult::No);
    OpenProgram("P.mbx", "EV\n()A\n()B\n()C\n()D\n()E\n()F\n/EV\n");
    // Each way of stopping happens while the sixth row, "()E", is under way.
    const auto stopAtSixthRow = [&](std::function<void()> stop) {
        driver->clearReceived();
        messages.clear();
        const auto watch = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                            driver.get(), [&](const QByteArray& line) {
                                                if (line == "()E") stop();
                                            });
        Download();
        QObject::disconnect(watch);
        driver->setProgramFaults({});
        EXPECT_FALSE(frmCommCancel->isVisible());
        EXPECT_FALSE(driver->receivedLines().contains("()F"));
        return ReplyLines();
    };
    const QStringList sixthRowStatus{"P.mbx の 6行目を送信"};

    EXPECT_EQ(stopAtSixthRow([&] { driver->setProgramFaults({.silentReadBack = true}); }),
              sixthRowStatus);
    EXPECT_EQ(LastMessage().text, "ドライバから返信がありませんでした。");

    EXPECT_EQ(stopAtSixthRow([&] {
                  QTimer::singleShot(0, frmCommCancel, [] { frmCommCancel->btnCancel->click(); });
              }),
              sixthRowStatus);
    EXPECT_EQ(messages.size(), 1u); // the "MBCL" question only

    EXPECT_EQ(stopAtSixthRow([&] { driver->setProgramFaults({.wrongEcho = true}); }),
              (QStringList{"[エラー] P.mbx の 6行目", "[文字列] ()E"}));
    EXPECT_EQ(LastMessage().text, kDataError);

    EXPECT_EQ(stopAtSixthRow([&] { driver->hangUp(); }), sixthRowStatus);
    EXPECT_TRUE(LastMessage().text.startsWith("Commポートとの接続が切れました。"));
}

TEST_F(ProgramTransferTest, ADriverReplyToTheLastRowIsADataErrorNotACompletion) {
    // First generation at 38400 bps: short rows have no pace and no read-back, so the driver's
    // refusal of the last row comes after it was sent.
    frmSetup->cmbModelType->SetItemIndex(0);
    Answer(ui::MsgResult::No);
    OpenProgram("T.mbx", "EV\n()A\n/EV\n");
    const auto refuseLast =
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                         [&](const QByteArray& line) {
                             if (line == "/EV") driver->setProgramFaults({.replyToRows = true});
                         });
    Download();
    QObject::disconnect(refuseLast);
    driver->setProgramFaults({});
    EXPECT_EQ(WithoutModelQueries(driver->receivedBytes()), "EV\r()A\r/EV\r");
    EXPECT_FALSE(Completed("ダウンロード完了"));
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_EQ(LastMessage().text, kDataError);
    EXPECT_EQ(ReplyLines(),
              (QStringList{"[エラー] T.mbx の 3行目", "[KASO返信] E-S", "[文字列] /EV"}));
}

// While another window's transfer shows the progress window, neither program transfer starts:
// the user is told, nothing goes out and no document is opened. Once it has ended, both run.
TEST_F(ProgramTransferTest, NeitherTransferStartsWhileAnotherShowsTheProgressWindow) {
    frmSetup->cmbModelType->SetItemIndex(0);
    Answer(ui::MsgResult::No);
    OpenProgram("P.mbx", "EV\n()A\n/EV\n");
    driver->axis('Y').program().setRows({});
    QWidget otherWindow;
    Exchange other(&otherWindow, ridNone);
    ASSERT_TRUE(other.Start({true, true, nullptr}));
    const int usedSlots = frmEdit->UsedSlots;
    driver->clearReceived();
    messages.clear();
    Download();
    frmEdit->RunUpLoadMailBox->trigger();
    ASSERT_EQ(messages.size(), 2u);
    for (const ui::MessageRecord& message : messages) {
        EXPECT_EQ(message.text,
                  "別の通信を実行中です。\nその通信が終わってから、もう一度実行してください。");
        EXPECT_EQ(message.caption, "警告");
    }
    Pause(50);
    EXPECT_TRUE(driver->receivedBytes().isEmpty());
    EXPECT_FALSE(frmEdit->ProgramTransferRunning());
    EXPECT_EQ(frmEdit->UsedSlots, usedSlots);
    EXPECT_FALSE(frmEdit->memUploadData->isVisible());

    other.Cancel();
    Download();
    ExpectWire("EV\r()A\r/EV\r");
    EXPECT_TRUE(Completed("ダウンロード完了"));
    frmCommCancel->btnCancel->click();
    Upload();
    EXPECT_TRUE(Completed("アップロード完了"));
    EXPECT_EQ(PaneText(), "EV\n()A\n/EV");
}

TEST_F(ProgramTransferTest, TheDownloadSendsWhatItTookAtItsStartAndCancelStopsIt) {
    Answer(ui::MsgResult::No);
    frmSetup->cmbModelType->SetItemIndex(0); // no read-back: rows follow at the pace
    OpenProgram("S.mbx", "EV\n()A\n()B\n()C\n()D\n/EV\n");
    int rowsSeen = 0;
    const auto connection =
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
            if (++rowsSeen != 2) return;
            // An edit and a tab change during the run.
            frmEdit->memMain2->SetText("()X\n()Y");
            PickTab(0);
        });
    Download();
    ExpectWire("EV\r()A\r()B\r()C\r()D\r/EV\r");
    QObject::disconnect(connection);
    EXPECT_TRUE(Completed("ダウンロード完了"));
    frmCommCancel->btnCancel->click();

    QByteArray twenty;
    for (int n = 0; n < 20; ++n)
        twenty += "()R" + QByteArray::number(n) + "\n";
    OpenProgram("C.mbx", twenty);
    driver->clearReceived();
    rowsSeen = 0;
    // The second row, not the model query that brings the line in step before the run.
    const auto cancel = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                         driver.get(), [&](const QByteArray& line) {
                                             if (line != "VER" && ++rowsSeen == 2)
                                                 frmCommCancel->btnCancel->click();
                                         });
    Download();
    QObject::disconnect(cancel);
    Pause(50);
    const QList<QByteArray> sent = WithoutModelQueries(driver->receivedLines());
    EXPECT_LE(sent.size(), 4);
    EXPECT_GE(sent.size(), 2);
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_NE(frmCommCancel->Label1->text(), "ダウンロード完了");
}

TEST_F(ProgramTransferTest, UploadTakesItsOwnDocumentAndEndsAtOnceOnCancel) {
    driver->axis('Y').program().setRows({"EV", "()A", "()B", "()C", "/EV"});
    // An end mark at once gives an empty program list, still marked modified.
    driver->axis('X').program().setRows({});
    Designate("X");
    Upload();
    EXPECT_EQ(frmEdit->TabCaption(frmEdit->ActiveTab()), "ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ");
    EXPECT_EQ(PaneText(), "");
    EXPECT_EQ(frmEdit->DocModified[frmEdit->ActiveTab()], 1);
    frmCommCancel->btnCancel->click();
    // Downloading the program list looks for its compiled program, then asks.
    Answer(ui::MsgResult::Cancel);
    Download();
    EXPECT_EQ(LastMessage().text, "コンパイルされていないファイルを転送します。よろしいですか？");
    EXPECT_EQ(LastMessage().buttons, ui::MsgButtons::YesNoCancel);
    Answer(ui::MsgResult::Yes);

    // Cancel while the driver is slow: the rows so far stay, a late reply changes nothing.
    Designate("Y");
    int requests = 0;
    const auto slow = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                       driver.get(), [&](const QByteArray& line) {
                                           if (line == "FL+" && ++requests == 2)
                                               driver->setFault(sim::Fault::Late, 300);
                                       });
    frmEdit->RunUpLoadMailBox->trigger();
    ASSERT_TRUE(WaitFor([&] { return requests == 2; }));
    frmCommCancel->btnCancel->click();
    QObject::disconnect(slow);
    EXPECT_FALSE(frmEdit->ProgramTransferRunning());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    EXPECT_EQ(PaneText(), "EV\n()A");
    const int slot = frmEdit->ActiveTab();
    Pause(400); // the late row arrives
    driver->setFault(sim::Fault::None);
    EXPECT_EQ(PaneText(), "EV\n()A");
    EXPECT_EQ(driver->receivedLines().count("FL+"), 2);
    EXPECT_EQ(frmEdit->ActiveTab(), slot);

    // With all 16 documents in use the upload refuses before it sends anything.
    while (frmEdit->UsedSlots != TfrmEdit::kAllSlots)
        frmEdit->FileNewItem->trigger();
    const QString onScreen = frmEdit->TabCaption(frmEdit->ActiveTab());
    driver->clearReceived();
    messages.clear();
    frmEdit->RunUpLoadMailBox->trigger();
    EXPECT_EQ(LastMessage().text, "これ以上ﾌｧｲﾙを開けません。");
    EXPECT_EQ(frmEdit->TabCaption(frmEdit->ActiveTab()), onScreen);
    Pause(50);
    EXPECT_TRUE(driver->receivedBytes().isEmpty());
}

// The document and its file hold every reply exactly as the driver sent it: a tab, a NUL, an
// escape, DEL, a byte that starts no CP932 character. Only the LF of a driver's CR LF, at the
// front of the next reply, goes. A reply that a line cannot hold (a line feed inside it would
// split it) ends the upload before its row, which the user is told; the rows before it stay.
TEST_F(ProgramTransferTest, EveryUploadedRowIsKeptAsTheDriverSentItOrTheUploadSaysWhereItStopped) {
    const QList<QByteArray> rows = {"EV",
                                    "TAB\tHERE",
                                    QByteArray("()\0C", 4),
                                    "()D\x1b\x7f"
                                    "E",
                                    "\"\x83\x63",
                                    "()\x80\xFD",
                                    "\n()F",
                                    "/EV"};
    driver->axis('Y').program().setRows(rows);
    Upload();
    EXPECT_TRUE(Completed("アップロード完了"));
    EXPECT_TRUE(messages.empty());
    frmCommCancel->btnCancel->click();
    QStringList lines;
    for (const QByteArray& row : rows)
        lines << ui::cp932::Decode(row.startsWith('\n') ? row.mid(1) : row);
    EXPECT_EQ(frmEdit->memMain2->Lines(), lines);
    frmEdit->FileSaveItem->trigger();
    QByteArray file;
    for (const QByteArray& row : rows)
        file += (row.startsWith('\n') ? row.mid(1) : row) + "\r\n";
    EXPECT_EQ(ReadFile("ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ").toHex(' ').toStdString(), file.toHex(' ').toStdString());

    driver->axis('Y').program().setRows({"EV", "()A", "()B\n()C", "()D", "/EV"});
    driver->clearReceived();
    Upload();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ﾄﾞﾗｲﾊﾞの返信に行を分ける文字「U+000A」があるため、3行目を文書に"
                                "入れられません。\nｱｯﾌﾟﾛｰﾄﾞは3行目の前で終えました。");
    EXPECT_EQ(PaneText(), "EV\n()A");
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    Pause(50);
    EXPECT_EQ(driver->receivedLines().count("FL+"), 2);
}

TEST_F(ProgramTransferTest, ALostLineEndsEitherTransferWithOneMessage) {
    frmSetup->cmbModelType->SetItemIndex(2);
    Answer(ui::MsgResult::No);
    OpenProgram("L.mbx", "EV\n()A\n()B\n()C\n/EV\n");
    int lines = 0;
    const auto hangUp =
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
            if (++lines == 3) driver->hangUp();
        });
    Download();
    QObject::disconnect(hangUp);
    ASSERT_EQ(messages.size(), 2u); // the "MBCL" question, then the one warning
    EXPECT_TRUE(messages[1].text.startsWith("Commポートとの接続が切れました。"))
        << messages[1].text.toStdString();
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmEdit->Timer2->isActive());
    EXPECT_FALSE(frmEdit->ProgramTransferRunning());

    // The upload after the loss: the send fails, one message of its own, no document left busy.
    messages.clear();
    frmEdit->RunUpLoadMailBox->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(frmEdit->ProgramTransferRunning());
    EXPECT_FALSE(frmCommCancel->isVisible());
}

TEST_F(ProgramTransferTest, ALostLineEndsARunningUploadQuietlyKeepingItsRows) {
    driver->axis('Y').program().setRows({"EV", "()A", "()B", "()C", "/EV"});
    int requests = 0;
    const auto hangUp = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                         driver.get(), [&](const QByteArray& line) {
                                             if (line == "FL+" && ++requests == 2) driver->hangUp();
                                         });
    frmEdit->RunUpLoadMailBox->trigger();
    ASSERT_TRUE(WaitFor([] { return !frmEdit->ProgramTransferRunning(); }));
    QObject::disconnect(hangUp);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_EQ(PaneText(), "EV\n()A");
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
}

} // namespace
