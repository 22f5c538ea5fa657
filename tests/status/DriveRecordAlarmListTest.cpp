// The alarm history window against the simulated driver: launcher, the read of all 100 records,
// cancel and lost lines; the file reader and the printout layout on their own, and saving,
// loading and printing through the window's buttons.
#include "RecordFileTest.h"

#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "status/AlarmListFile.h"
#include "status/AlarmListPrintout.h"
#include "status/UnitAlarmList.h"
#include "ui/Codec.h"
#include "ui/FileDialogs.h"
#include "ui/Printing.h"

#include <QFile>
#include <QLocale>
#include <QStyledItemDelegate>

namespace {

TEST(AlarmListFileTest, RecordsAreReadInFileOrder) {
    struct Case {
        QByteArray bytes;
        std::vector<std::pair<QString, QString>> records;
        int unreadable;
    };
    const Case cases[] = {
        {" ALHPT No 0 \t12\t3456\r\n", {{"12", "3456"}}, 0},
        {"a\t1\t0042\nb\tE-S\t\nc\t\t7", {{"1", "42"}, {"E-S", ""}, {"", "7"}}, 0},
        {"x\t1234567\t-5 ms\r\n", {{"1234567", "-5"}}, 0},
        {"x\t1\tE-S\r\nx\t2\t9999999999999999999\r\n", {{"", ""}, {"", ""}}, 2},
        {"x\t1\t999999999999999999\r\n", {{"1", "999999999999999999"}}, 0},
        {"\r\nno tab here\r\nx\t5\t6\r\n\r\n", {{"5", "6"}}, 0},
        {"x\tcode only\r\n", {{"code only", ""}}, 0},
        {"", {}, 0},
    };
    for (const Case& c : cases) {
        const AlarmListFileContents contents = ReadAlarmListFile(c.bytes);
        std::vector<std::pair<QString, QString>> records;
        for (const AlarmRecordText& record : contents.records)
            records.emplace_back(record.code, record.time);
        EXPECT_EQ(records, c.records) << c.bytes.constData();
        EXPECT_EQ(contents.unreadable.size(), c.unreadable) << c.bytes.constData();
    }
    QByteArray many;
    for (int n = 0; n < 120; ++n)
        many += "x\t" + QByteArray::number(n) + "\t1\r\n";
    const AlarmListFileContents full = ReadAlarmListFile(many);
    ASSERT_EQ(full.records.size(), 100u);
    EXPECT_EQ(full.records[99].code, "99");
}

// Each field goes into the file exactly as it stands, or the file is not made: a TAB or a line end
// inside a field would shift the columns, and none is ever taken out. The reader places records
// in file order, so the empty records before the last one with a code or a time are written too.
TEST(AlarmListFileTest, RecordsUpToTheLastWithACodeOrATimeAreWrittenAsTheyStand) {
    std::vector<AlarmRecordText> records(100);
    records[0] = {"12", "3456"};
    records[1] = {"7", ""};
    records[2] = {"", "8"};
    records[10] = {"ｴﾗｰ", "3"};
    ui::FileText file = FormatAlarmListFile(records);
    EXPECT_FALSE(file.refused);
    EXPECT_EQ(file.bytes, " ALHPT No 0 \t12\t3456\r\n"
                          " ALHPT No 1 \t7\t\r\n"
                          " ALHPT No 2 \t\t8\r\n"
                          " ALHPT No 3 \t\t\r\n ALHPT No 4 \t\t\r\n ALHPT No 5 \t\t\r\n"
                          " ALHPT No 6 \t\t\r\n ALHPT No 7 \t\t\r\n ALHPT No 8 \t\t\r\n"
                          " ALHPT No 9 \t\t\r\n"
                          " ALHPT No10 \t\xB4\xD7\xB0\t3\r\n");
    const AlarmListFileContents read = ReadAlarmListFile(file.bytes);
    ASSERT_EQ(read.records.size(), 11u);
    for (size_t n = 0; n < read.records.size(); ++n)
        EXPECT_EQ(std::tie(read.records[n].code, read.records[n].time),
                  std::tie(records[n].code, records[n].time))
            << n;
    EXPECT_EQ(FormatAlarmListFile(std::vector<AlarmRecordText>(100)).bytes, "");

    const std::tuple<AlarmRecordText, QString> refused[] = {
        {{"1\t2", "3"}, "\t"},
        {{"4", "5\r\n"}, "\r"},
        {{"4\x7F", "5"}, "\x7F"},
        {{"1", QString::fromUtf8("2😀")}, QString::fromUtf8("😀")},
    };
    for (const auto& [record, character] : refused) {
        records[11] = record;
        file = FormatAlarmListFile(records);
        ASSERT_TRUE(file.refused);
        EXPECT_EQ(file.refused->index, 11);
        EXPECT_EQ(file.refused->character, character);
        EXPECT_TRUE(file.bytes.isEmpty());
    }
}

TEST(AlarmListPrintoutTest, RecordsWithACodePrintAtTheirColumns) {
    std::vector<AlarmRecordText> records(100);
    records[0] = {"12", "3456"};
    records[1] = {"", "99"}; // no code: not printed
    records[2] = {"7", ""};
    auto pages = LayoutAlarmListPrintout(records, 40, 500, 3000);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 5u);
    EXPECT_EQ(pages[0][0].text, "ﾄﾞﾗｲﾊﾞｱﾗｰﾑ履歴");
    EXPECT_EQ(pages[0][0].y, 0);
    EXPECT_EQ(pages[0][1].text, QString(" ALHPT No 0 ") + "    " + "  ｱﾗｰﾑｺｰﾄﾞ");
    EXPECT_EQ(pages[0][1].x, 200);
    EXPECT_EQ(pages[0][1].y, 119); // 40 x 1 x 1.1 + 75
    EXPECT_EQ(pages[0][2].text, " = 12      ｱﾗｰﾑ発生時間[ms] = 3456");
    EXPECT_EQ(pages[0][2].x, 700);
    EXPECT_EQ(pages[0][3].text, QString(" ALHPT No 2 ") + "    " + "  ｱﾗｰﾑｺｰﾄﾞ");
    EXPECT_EQ(pages[0][3].y, 163);

    for (auto& record : records)
        record = {"1", "2"};
    pages = LayoutAlarmListPrintout(records, 40, 1000, 1000);
    size_t lines = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        lines += (pages[p].size() - (p == 0 ? 1 : 0)) / 2;
        EXPECT_LE(pages[p].back().y, 1000);
    }
    EXPECT_EQ(lines, 100u);
    EXPECT_EQ(pages.size(), 5u); // 20 lines a page: 44 k + 75 + 80 passes 1000 after k = 20
    EXPECT_EQ(pages[1][0].text, QString(" ALHPT No20 ") + "    " + "  ｱﾗｰﾑｺｰﾄﾞ");
}

class AlarmListTest : public RecordFileTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSetting("Model", "ModelType", 3);
        WriteSetting("Comm", "TransmitCheck", 2);
        StartProgram();
        ui::SetFileDialogResponder([this](const ui::FileDialog& dialog) -> std::optional<QString> {
            filters.append(dialog.Filter);
            return chosenFile.isEmpty() ? std::nullopt : std::optional(chosenFile);
        });
    }
    void TearDown() override {
        ui::SetFileDialogResponder({});
        ui::SetPrintDialogResponder({});
        AppTest::TearDown();
    }
    void Open() {
        frmMain->btnPopupAlarmList->trigger();
        ASSERT_TRUE(frmAlarmList->isVisible());
        TakeSentLines();
    }
    ui::StringGrid* Grid() const { return frmAlarmList->grdAlarmList; }
    void Fill(const QString& text) {
        for (int row = 1; row <= 100; ++row) {
            Grid()->SetCell(1, row, text);
            Grid()->SetCell(2, row, text);
        }
    }
    void Load(const QString& name) {
        chosenFile = Path(name);
        frmAlarmList->btnOpenForSnd->click();
    }

    QString chosenFile;
    QStringList filters;
};

TEST_F(AlarmListTest, ReadFillsEveryRecordAndEndsAtNinetyNine) {
    driver->setModelText('X', "QWB20");
    frmMain->btnPopupAlarmList->trigger();
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"VER", "VER"}));
    EXPECT_EQ(frmMain->VersionText, "QWB20");
    EXPECT_EQ(Grid()->Cell(0, 1), " ALHPT No 0 ");
    EXPECT_EQ(Grid()->Cell(0, 100), " ALHPT No99 ");
    EXPECT_EQ(Grid()->Cell(2, 0), "  ｱﾗｰﾑ発生時間[ms]");
    driver->axis('X').setAlarmRecord(99, {7, 123456789012LL});

    frmAlarmList->btnReadAlarm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
    EXPECT_EQ(frmCommCancel->ProgressBar1->value(), 99);
    EXPECT_EQ(frmCommCancel->btnCancel->text(), "OK");
    for (int n = 0; n < 99; ++n) {
        ASSERT_EQ(Grid()->Cell(1, n + 1), QString::number(100 + n)) << n;
        ASSERT_EQ(Grid()->Cell(2, n + 1), QString::number(5000 + 1000 * n)) << n;
    }
    EXPECT_EQ(Grid()->Cell(1, 100), "7");
    EXPECT_EQ(Grid()->Cell(2, 100), "123456789012");
    EXPECT_EQ(Grid()->Row(), 1);
    // Each selection's possible answer is settled by the model query's known one.
    QList<QByteArray> expected{"ALHPT=0", "VER"};
    for (int n = 0; n < 100; ++n)
        expected << "ALHPT=" + QByteArray::number(n) << "VER"
                 << "ALH"
                 << "ALTH";
    EXPECT_EQ(TakeSentLines(), expected);
    EXPECT_FALSE(frmAlarmList->ReadRunning());

    // A reply when no record is awaited changes nothing.
    mdlGeneral->TakeLine(ridAlarmList);
    mdlGeneral->ReceiveChunk("55\r");
    EXPECT_EQ(Grid()->Cell(1, 1), "100");
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_TRUE(messages.empty());
}

// A refused record selection, late as a busy driver's: the read stops at that record with a
// word, keeps the records before it and leaves the later ones empty, never the record before's.
TEST_F(AlarmListTest, ARefusedSelectionEndsTheReadAtItsRecord) {
    Open();
    Fill("old");
    driver->refuse("ALHPT=7", 300);
    frmAlarmList->btnReadAlarm->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }, 30000));
    ASSERT_EQ(messages.size(), 1u);
    const QString record = Grid()->Cell(0, 8).trimmed();
    EXPECT_EQ(messages[0].text, QString("ドライバが %1 の選択を受け付けませんでした（E-S）。\n"
                                        "%1 から後は読んでいません。")
                                    .arg(record));
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmAlarmList->ReadRunning());
    EXPECT_NE(Grid()->Cell(1, 7), "old");
    for (int row = 8; row <= 100; ++row) {
        ASSERT_EQ(Grid()->Cell(1, row), "") << row;
        ASSERT_EQ(Grid()->Cell(2, row), "") << row;
    }
}

TEST_F(AlarmListTest, NoAnswerOpensTheWindowWithoutTheDriver) {
    driver->setFault(sim::Fault::Silent);
    frmMain->btnPopupAlarmList->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_TRUE(frmAlarmList->isVisible());
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"VER"});
}

TEST_F(AlarmListTest, CancelEndsTheReadAtOnce) {
    Open();
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "ALHPT=2") driver->setFault(sim::Fault::Silent);
                     });
    frmAlarmList->btnReadAlarm->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("ALHPT=2"); }));
    Pause(50);
    frmCommCancel->btnCancel->click();
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmAlarmList->ReadRunning());
    TakeSentLines();
    // The code that comes late is stored nowhere and asks for no time.
    mdlGeneral->ReceiveChunk("42\r");
    EXPECT_EQ(Grid()->Cell(1, 3), "");
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_EQ(Grid()->Cell(2, 2), "6000");
}

// A read cancelled while a record's answer is held back, and read again at once: the late
// answer is let go before the new read asks, so every record holds its own code and time.
TEST_F(AlarmListTest, AReadAgainAfterACancelWithAnAnswerOutTakesNoLateAnswer) {
    Open();
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "ALHPT=4") driver->answerLateOnce("ALTH", 3000);
                     });
    frmAlarmList->btnReadAlarm->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("ALHPT=4"); }));
    Pause(1000);
    frmCommCancel->btnCancel->click();
    EXPECT_FALSE(frmAlarmList->ReadRunning());
    Pause(500);
    frmAlarmList->btnReadAlarm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 15000));
    for (int n = 0; n < 99; ++n) {
        ASSERT_EQ(Grid()->Cell(1, n + 1), QString::number(100 + n)) << n;
        ASSERT_EQ(Grid()->Cell(2, n + 1), QString::number(5000 + 1000 * n)) << n;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(AlarmListTest, LostLinesAreReported) {
    Open();
    mdlGeneral->PortForTests().OnCommReceive = [this](QObject*, std::uint16_t count) {
        QByteArray bytes(count, '\0');
        bytes.resize(mdlGeneral->PortForTests().Read(bytes.data(), count));
        // The model text answers the query that settles the selection, before the record's.
        if (driver->receivedLines().contains("ALHPT=5") && !bytes.startsWith("QW"))
            mdlGeneral->PortForTests().Close();
        mdlGeneral->ReceiveChunk(bytes);
    };
    frmAlarmList->btnReadAlarm->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmAlarmList->ReadRunning());
    EXPECT_EQ(Grid()->Cell(1, 5), "104");

    // The port is closed now: the probe fails with its own text.
    frmAlarmList->btnReadAlarm->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Can not communication to driver.");
    EXPECT_EQ(messages[1].caption, "Error");
}

TEST_F(AlarmListTest, AHangUpEndsTheReadWithOneMessage) {
    Open();
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "ALHPT=3") driver->hangUp();
                     });
    frmAlarmList->btnReadAlarm->click();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    Pause(1500);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(frmAlarmList->ReadRunning());
    EXPECT_EQ(Grid()->Cell(2, 3), "7000");
    EXPECT_TRUE(frmAlarmList->btnReadAlarm->isEnabled());
}

// A saved history loads back as it stood: every record under its own number, the empty ones
// between them included.
TEST_F(AlarmListTest, SavedHistoriesLoadBackUnderTheirOwnNumbers) {
    Open();
    Fill("");
    for (int n = 0; n < 10; ++n) {
        Grid()->SetCell(1, n + 1, QString::number(n));
        Grid()->SetCell(2, n + 1, QString::number(n * 10));
    }
    for (int row : {4, 5, 6}) { // records 3 to 5 empty
        Grid()->SetCell(1, row, "");
        Grid()->SetCell(2, row, "");
    }
    Grid()->SetCell(2, 1, ""); // a code without a time is kept
    chosenFile = Path("history");
    frmAlarmList->btnSaveAlarm->click();
    EXPECT_EQ(filters.last(), "ﾄﾞﾗｲﾊﾞｱﾗｰﾑ履歴(*.alm)|*.ALM");
    const QByteArray saved = ReadFile("history.alm");
    EXPECT_TRUE(saved.startsWith(" ALHPT No 0 \t0\t\r\n ALHPT No 1 \t1\t10\r\n"));
    EXPECT_EQ(saved.count("\r\n"), 10);
    EXPECT_TRUE(saved.contains("\r\n ALHPT No 3 \t\t\r\n"));

    QStringList before;
    for (int row = 1; row <= 100; ++row)
        before << Grid()->Cell(1, row) << Grid()->Cell(2, row);
    Fill("old");
    Load("history.alm");
    EXPECT_EQ(filters.last(), "ﾄﾞﾗｲﾊﾞｱﾗｰﾑ履歴(*.alm)|*.ALM|すべてのﾌｧｲﾙ(*.*)|*.*");
    QStringList after;
    for (int row = 1; row <= 100; ++row)
        after << Grid()->Cell(1, row) << Grid()->Cell(2, row);
    EXPECT_EQ(after, before);
    EXPECT_EQ(Grid()->Cell(1, 7), "6");
    EXPECT_TRUE(messages.empty());

    // Without a line end after the last record the later records are emptied just the same.
    Fill("old");
    WriteFile("short.alm", "a\t1\t0042\r\nb\t2\t3");
    Load("short.alm");
    EXPECT_EQ(Grid()->Cell(2, 1), "42");
    EXPECT_EQ(Grid()->Cell(1, 2), "2");
    EXPECT_EQ(Grid()->Cell(1, 3), "");
    EXPECT_EQ(Grid()->Cell(2, 3), "");

    Load("missing.alm");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        messages[0].text,
        "ファイルが見つかりませんでした。\n指定したファイル名が正しいかどうか確認してください。");
    EXPECT_EQ(Grid()->Cell(1, 2), "2");
}

// A driver that answers "3<ESC>4" and "1<TAB>2": the cells hold the answers as they came, shown
// by their signs, and the save is refused before a file is chosen, naming the record and the
// character. What a save writes is what it checked when the button was pressed: a read that goes
// on while the file dialog is open adds nothing to the file, checked or not.
TEST_F(AlarmListTest, AnswersAreKeptAsTheyCameAndTheSaveWritesWhatItChecked) {
    Open();
    Fill("");
    driver->setStatusReply('X', "ALH",
                           "3\x1B"
                           "4");
    driver->setStatusReply('X', "ALTH", "1\t2");
    WriteFile("kept.alm", " ALHPT No 0 \t1\t2\r\n");
    chosenFile = Path("kept.alm");
    frmAlarmList->btnReadAlarm->click();
    // Pressed before any record has come: the file holds the history as it stood then, empty.
    ASSERT_TRUE(Grid()->Cell(1, 1).isEmpty());
    ui::SetFileDialogResponder([this](const ui::FileDialog& dialog) -> std::optional<QString> {
        filters.append(dialog.Filter);
        WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000);
        return chosenFile;
    });
    frmAlarmList->btnSaveAlarm->click();
    ASSERT_EQ(frmCommCancel->Label1->text(), "アップロード完了");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadFile("kept.alm"), "");

    for (int row = 1; row <= 100; ++row) {
        ASSERT_EQ(Grid()->Cell(1, row), "3\x1B"
                                        "4")
            << row;
        ASSERT_EQ(Grid()->Cell(2, row), "1\t2") << row;
    }
    const auto* cells = static_cast<QStyledItemDelegate*>(Grid()->itemDelegate());
    EXPECT_EQ(cells->displayText(Grid()->Cell(1, 3), QLocale()), "3␛4");
    EXPECT_EQ(cells->displayText(Grid()->Cell(2, 3), QLocale()), "1␉2");

    WriteFile("kept.alm", " ALHPT No 0 \t1\t2\r\n");
    filters.clear();
    frmAlarmList->btnSaveAlarm->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "ALHPT No 0 に保存できない文字「U+001B」があります。\n入力内容を確認してください。");
    EXPECT_EQ(messages[0].caption, "入力エラー");
    EXPECT_TRUE(filters.isEmpty());
    EXPECT_EQ(ReadFile("kept.alm"), " ALHPT No 0 \t1\t2\r\n");

    for (int row = 1; row <= 100; ++row)
        Grid()->SetCell(1, row, row == 12 ? "5" : "");
    messages.clear();
    frmAlarmList->btnSaveAlarm->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "ALHPT No 0 に保存できない文字「U+0009」があります。\n入力内容を確認してください。");
    for (int row = 1; row <= 100; ++row)
        Grid()->SetCell(2, row, row == 12 ? "6" : "");
    messages.clear();
    frmAlarmList->btnSaveAlarm->click();
    EXPECT_TRUE(messages.empty());
    QByteArray emptyRecords;
    for (int n = 0; n < 11; ++n)
        emptyRecords += ui::cp932::Encode(AlarmLabel(n)) + "\t\t\r\n";
    EXPECT_EQ(ReadFile("kept.alm"), emptyRecords + " ALHPT No11 \t5\t6\r\n");
}

TEST_F(AlarmListTest, ARecordReportedAsNotReadLeavesItsRowEmpty) {
    Open();
    Fill("old");
    WriteFile("long.alm", " ALHPT No 0 \tABCDE\t12345678901234567890\r\n"
                          " ALHPT No 1 \t7\t0042\r\n");
    Load("long.alm");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "読み込めなかったﾚｺｰﾄﾞがあります。\n"
                                " ALHPT No 0 \tABCDE\t12345678901234567890");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_EQ(Grid()->Cell(1, 1), "");
    EXPECT_EQ(Grid()->Cell(2, 1), "");
    EXPECT_EQ(Grid()->Cell(1, 2), "7"); // the next record keeps its place
    EXPECT_EQ(Grid()->Cell(2, 2), "42");
    EXPECT_EQ(Grid()->Cell(1, 3), "");
}

TEST_F(AlarmListTest, NonAsciiCodesAreSavedAsCp932AndLoadBack) {
    Open();
    Fill("");
    Grid()->SetCell(1, 1, "ｴﾗｰ");
    Grid()->SetCell(2, 1, "-2147483648");
    chosenFile = Path("kana.alm");
    frmAlarmList->btnSaveAlarm->click();
    EXPECT_EQ(ReadFile("kana.alm"), QByteArray(" ALHPT No 0 \t\xB4\xD7\xB0\t-2147483648\r\n"));
    Fill("old");
    Load("kana.alm");
    EXPECT_EQ(Grid()->Cell(1, 1), "ｴﾗｰ");
    EXPECT_EQ(Grid()->Cell(2, 1), "-2147483648");
    EXPECT_EQ(Grid()->Cell(1, 2), "");
}

TEST_F(AlarmListTest, PrintingGoesToPdfAndReportsErrors) {
    Open();
    Fill("1");
    ui::SetPrintDialogResponder([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("alarms.pdf"));
        return true;
    });
    frmAlarmList->btnSave->click();
    EXPECT_EQ(mdlGeneral->PrintDialog1->Printer().docName(), "KasoNT Alarm past record");
    EXPECT_TRUE(ReadFile("alarms.pdf").startsWith("%PDF"));
    EXPECT_TRUE(messages.empty());

    ui::SetPrintDialogResponder([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("no/such/folder/alarms.pdf"));
        return true;
    });
    frmAlarmList->btnSave->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "印刷エラーが発生しました。");
    EXPECT_EQ(messages[0].caption, "エラー");
}

} // namespace
