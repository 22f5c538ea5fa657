// Data table files and the printout: the reader and the page layout on their own, then saving,
// loading and printing through the window's buttons as a user would.
#include "RecordFileTest.h"

#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "status/DataTableFile.h"
#include "status/DataTablePrintout.h"
#include "status/UnitDataTable.h"
#include "ui/FileDialogs.h"
#include "ui/Printing.h"

#include <QFile>
#include <csignal>
#include <sys/resource.h>

namespace {

using Values = std::vector<std::pair<int, QString>>;

DataTableFileReader::Result Read(const QByteArray& bytes, int count = 384) {
    DataTableFileReader reader(bytes);
    EXPECT_FALSE(reader.StartsWithSection());
    return reader.ReadEntries(count);
}

TEST(DataTableFileReaderTest, EntriesAreReadWithinTheTable) {
    struct Case {
        const char* bytes;
        int count;
        Values values;
        int unreadable;
    };
    const Case cases[] = {
        {" #DTPT[12]=-250\r\n", 384, {{12, "-250"}}, 0},
        {" #DTPT[3]=\r\n #DTPT[4]=0", 384, {{3, ""}, {4, "0"}}, 0},
        {"#DTPT=5\r\n*DTPT=100\r\n", 384, {{5, "100"}}, 0},
        {" #DTPT[1]=+007\n #DTPT[2]=12abc\n #DTPT[3]=  \n", 384, {{1, "7"}, {2, "12"}, {3, ""}}, 0},
        {" #DTPT[x]=4\r\n #DTPT[]=5\r\n", 384, {{0, "4"}, {1, "5"}}, 0},
        {" #DTPT[47]=1\r\n #DTPT[48]=2\r\n #DTPT[5]=3\r\n", 48, {{47, "1"}}, 0},
        {" #DTPT[-1]=1\r\n #DTPT[2]=2\r\n", 384, {}, 0},
        {" #DTPT[99999999999999999999999]=1\r\n", 384, {}, 0},
        {" #DTPT[0]=-2147483648\r\n #DTPT[1]=2147483647\r\n #DTPT[2]=-99999999999999999999\r\n",
         384,
         {{0, "-2147483648"}, {1, "2147483647"}, {2, ""}},
         1},
        {" #DTPT[2]=abc\r\n #DTPT[3]=99999999999\r\n #DTPT[4]=4\r\n",
         384,
         {{2, ""}, {3, ""}, {4, "4"}},
         2},
        {" #DTPT[1]=1\r\nS99\r\n #DTPT[2]=2\r\n", 384, {{1, "1"}}, 0},
        // Only an upper-case "S" opens a section; comment lines between entries are passed over.
        {" #DTPT[1]=1\r\ns99\r\n #DTPT[2]=2\r\n", 384, {{1, "1"}, {2, "2"}}, 0},
        {" #DTPT[1]=1\r\n; saved values\r\n #DTPT[2]=2\r\n", 384, {{1, "1"}, {2, "2"}}, 0},
        {"", 384, {}, 0},
        {" #DTPT[7", 384, {}, 0},
        {"#DTPT=7\r\n", 384, {}, 0},
    };
    for (const Case& c : cases) {
        const DataTableFileReader::Result result = Read(QByteArray(c.bytes), c.count);
        EXPECT_EQ(result.values, c.values) << c.bytes;
        EXPECT_EQ(result.unreadable.size(), c.unreadable) << c.bytes;
    }
}

TEST(DataTableFileReaderTest, SectionsAreFoundByTheirSerialNumber) {
    const QByteArray file = "S12AB\r\n#DTPT=1\r\n*DTPT=5\r\ns99\r\n#DTPT=2\r\n*DTPT=6\r\n"
                            "S" +
                            QByteArray(40, '7') +
                            "\r\n#DTPT=3\r\n*DTPT=7\r\n"
                            "S1\r\nS2\r\n#DTPT=4\r\n*DTPT=8\r\n";
    // Reading goes on to the next "#" after the header found, and a lower-case "s" between
    // entries does not end it.
    const std::pair<QString, Values> found[] = {{"12ab", {{1, "5"}, {2, "6"}}},
                                                {"99", {{2, "6"}}},
                                                {QString(38, '7'), {{3, "7"}}},
                                                {"1", {{4, "8"}}},
                                                {"2", {{4, "8"}}}};
    for (const auto& [serial, values] : found) {
        DataTableFileReader reader(file);
        ASSERT_TRUE(reader.StartsWithSection());
        ASSERT_TRUE(reader.FindSection(serial)) << serial.toStdString();
        EXPECT_EQ(reader.ReadEntries(384).values, values) << serial.toStdString();
    }
    for (const QString serial : {"12", "12AB0", "S12AB"}) {
        DataTableFileReader reader(file);
        ASSERT_TRUE(reader.StartsWithSection());
        EXPECT_FALSE(reader.FindSection(serial)) << serial.toStdString();
    }
    // A file that starts with "#" has no sections; its first "S" ends the reading.
    DataTableFileReader plain("junk #DTPT[0]=1\r\nS12AB\r\n#DTPT[1]=2\r\n");
    EXPECT_FALSE(plain.StartsWithSection());
    EXPECT_EQ(plain.ReadEntries(384).values, (Values{{0, "1"}}));
}

// A NUL byte is an ordinary character: it neither ends the reading, nor stands for "=", nor
// makes the file look sectioned.
TEST(DataTableFileReaderTest, NulBytesAreOrdinaryCharacters) {
    using namespace Qt::Literals::StringLiterals;
    const std::pair<QByteArray, Values> cases[] = {
        {"\0 #DTPT[3]=4\r\n"_ba, {{3, "4"}}},
        {" #DTPT[1]=5\0\r\n #DTPT[2]=6\r\n"_ba, {{1, "5"}, {2, "6"}}},
        {" #DTPT\0[4]=9\r\n"_ba, {{4, "9"}}},
        {" #DTPT[7]\0=8\r\n\0\0 #DTPT[8]=\0\r\n"_ba, {{7, "8"}, {8, ""}}},
        {"#DTPT=5\0\r\n\0*DTPT=100\r\n"_ba, {{5, "100"}}},
    };
    for (const auto& [bytes, values] : cases) {
        DataTableFileReader reader(bytes);
        EXPECT_FALSE(reader.StartsWithSection()) << bytes.toPercentEncoding().constData();
        EXPECT_EQ(reader.ReadEntries(384).values, values) << bytes.toPercentEncoding().constData();
    }
    // Every byte value, in a file without structure and inside entries: nothing out of range.
    QByteArray binary;
    for (int round = 0; round < 4; ++round)
        for (int b = 0; b < 256; ++b)
            binary += static_cast<char>((b * 37 + round * 11) & 0xFF);
    for (const QByteArray& bytes : {binary, " #DTPT[2]=" + binary, "S1\r\n" + binary}) {
        DataTableFileReader reader(bytes);
        if (reader.StartsWithSection()) reader.FindSection("1");
        const DataTableFileReader::Result result = reader.ReadEntries(48);
        for (const auto& [index, value] : result.values)
            EXPECT_TRUE(index >= 0 && index < 48) << index;
    }
}

TEST(DataTablePrintoutTest, OnlyEntriesWithAValuePrintAndPagesBreakInTime) {
    QStringList values(384);
    values[5] = "-3";
    auto pages = LayoutDataTablePrintout("     KASO2", values, 50, 600, 3000);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 3u);
    EXPECT_EQ(pages[0][0].text, "ファイル名 :      KASO2");
    EXPECT_EQ(pages[0][0].x, 200);
    EXPECT_EQ(pages[0][0].y, 0);
    EXPECT_EQ(pages[0][1].text, " #DTPT[5]");
    EXPECT_EQ(pages[0][1].x, 200);
    EXPECT_EQ(pages[0][1].y, 130); // 50 x 1 x 1.1 + 75
    EXPECT_EQ(pages[0][2].text, "=-3");
    EXPECT_EQ(pages[0][2].x, 800);

    // A page takes lines while the last one + 2 line heights fits: 53 lines of 50 in 3000.
    for (int i = 0; i < 384; ++i)
        values[i] = i % 3 == 0 ? QString() : QString::number(i);
    pages = LayoutDataTablePrintout("a.dat", values, 50, 600, 3000);
    ASSERT_EQ(pages.size(), 5u); // 256 lines, no empty pages
    size_t lines = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        const size_t first = p == 0 ? 1 : 0;
        lines += (pages[p].size() - first) / 2;
        EXPECT_EQ(pages[p][first].y, 130) << p;
        EXPECT_LE(pages[p].back().y, 3000);
        if (p + 1 < pages.size()) {
            EXPECT_GT(pages[p].back().y + 100, 3000);
        }
    }
    EXPECT_EQ(lines, 256u);
    EXPECT_EQ(pages[1][0].text, " #DTPT[79]");
}

class DataTableFileTest : public RecordFileTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSetting("Comm", "TransmitCheck", 2);
        WriteSetting("Model", "ModelType", 3);
        StartProgram();
        frmMain->btnPopupDataTable->trigger();
        ui::SetFileDialogResponder([this](const ui::FileDialog& dialog) -> std::optional<QString> {
            filters.append(dialog.Filter);
            return chosenFile.isEmpty() ? std::nullopt : std::optional(chosenFile);
        });
        ui::SetInputResponder([this](const QString& caption, const QString& prompt) {
            inputs.append(caption + "|" + prompt);
            return serialAnswer;
        });
    }
    void TearDown() override {
        ui::SetFileDialogResponder({});
        ui::SetInputResponder({});
        ui::SetPrintDialogResponder({});
        AppTest::TearDown();
    }
    ui::StringGrid* Grid() const { return frmDataTable->grdDataTable; }
    void Save(const QString& name) {
        chosenFile = Path(name);
        frmDataTable->btnSaveDataTable->click();
    }
    void Load(const QString& name, bool reference = false) {
        chosenFile = Path(name);
        (reference ? frmDataTable->btnOpen : frmDataTable->btnOpenForSndDataTable)->click();
    }
    void FillValues(const QString& text) {
        for (int row = 1; row <= 384; ++row)
            Grid()->SetCell(1, row, text);
    }

    QString chosenFile;
    QStringList filters;
    std::optional<QString> serialAnswer;
    QStringList inputs;
};

TEST_F(DataTableFileTest, SavedValuesLoadBackIntoEitherColumn) {
    FillValues("");
    Grid()->SetCell(1, 13, "-250");
    Grid()->SetCell(1, 1, "5");
    Grid()->SetCell(1, 384, "ab");
    Save("table");
    EXPECT_EQ(filters.last(), "ﾃﾞｰﾀﾃｰﾌﾞﾙ(*.dat)|*.DAT");
    EXPECT_EQ(ReadFile("table.dat"), " #DTPT[0]=5\r\n #DTPT[12]=-250\r\n #DTPT[383]=ab\r\n");

    FillValues("x");
    Load("table.dat");
    EXPECT_EQ(filters.last(), "ﾃﾞｰﾀﾃｰﾌﾞﾙ(*.dat)|*.DAT|すべてのﾌｧｲﾙ(*.*)|*.*");
    EXPECT_EQ(Grid()->Cell(1, 0), "table.dat");
    EXPECT_EQ(Grid()->Cell(1, 1), "5");
    EXPECT_EQ(Grid()->Cell(1, 13), "-250");
    EXPECT_EQ(Grid()->Cell(1, 2), "");
    EXPECT_EQ(Grid()->Cell(1, 384), ""); // "ab" holds no number: reported, left empty
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "読み込めなかったﾚｺｰﾄﾞがあります。\n #DTPT[383]=ab");
    messages.clear();

    // As reference: the values stay, differing references turn red.
    Grid()->SetCell(1, 1, "05");
    Load("table.dat", true);
    EXPECT_EQ(Grid()->Cell(2, 0), "table.dat");
    EXPECT_EQ(Grid()->Cell(1, 0), "table.dat");
    EXPECT_EQ(Grid()->Cell(1, 1), "05");
    EXPECT_EQ(Grid()->CellTextColor(2, 1), QColor(255, 0, 0));
    EXPECT_EQ(Grid()->CellTextColor(2, 13), QColor(Qt::black));

    // A table without values saves as an empty file; a file without entries empties the column.
    FillValues("");
    Save("empty.dat");
    EXPECT_EQ(ReadFile("empty.dat"), "");
    Load("empty.dat", true);
    EXPECT_EQ(Grid()->Cell(2, 0), "empty.dat");
    EXPECT_EQ(Grid()->Cell(2, 13), "");
    EXPECT_EQ(Grid()->CellTextColor(2, 1), QColor(Qt::black));
}

// Text that is not ASCII goes into the file as CP932 bytes; loading reads the number in front.
TEST_F(DataTableFileTest, NonAsciiValuesAreSavedAsCp932) {
    FillValues("");
    Grid()->SetCell(1, 1, "12ｱ値");
    Save("kana.dat");
    EXPECT_EQ(ReadFile("kana.dat"), QByteArray(" #DTPT[0]=12\xB1\x92\x6C\r\n"));
    Load("kana.dat");
    EXPECT_EQ(Grid()->Cell(1, 1), "12");
}

// A file holds what the cells hold: a value the file cannot carry as it stands refuses the save
// before any file is chosen, naming its entry and the character, and the file that was there
// keeps every byte; no "?" is ever written. Mended, every value loads back as it was.
TEST_F(DataTableFileTest, ASaveThatWouldChangeAValueIsRefusedAndTheOldFileStays) {
    for (int row = 1; row <= 384; ++row)
        Grid()->SetCell(1, row, QString::number(row * 11 - 2000));
    Save("kept.dat");
    const QByteArray old = ReadFile("kept.dat");
    ASSERT_EQ(old.count("\r\n"), 384);
    const std::pair<QString, QString> cases[] = {
        {"12\n34", "U+000A"},
        {"56\r78", "U+000D"},
        {"12\t34", "U+0009"},
        {QString::fromUtf8("12😀34"), QString::fromUtf8("😀")},
        {QString("12") + QChar(0x00A0) + "34", "U+00A0"},
    };
    for (const auto& [value, named] : cases) {
        SCOPED_TRACE(named.toStdString());
        Grid()->SetCell(1, 3, value);
        messages.clear();
        filters.clear();
        Save("kept.dat");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "#DTPT[2] に保存できない文字「" + named +
                                        "」があります。\n入力内容を確認してください。");
        EXPECT_EQ(messages[0].caption, "入力エラー");
        EXPECT_TRUE(filters.isEmpty()); // no file was chosen
        EXPECT_EQ(ReadFile("kept.dat"), old);
    }

    Grid()->SetCell(1, 3, "-7");
    messages.clear();
    Save("kept.dat");
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(ReadFile("kept.dat").contains('?'));
    QStringList saved;
    for (int row = 1; row <= 384; ++row)
        saved.append(Grid()->Cell(1, row));
    FillValues("x");
    Load("kept.dat");
    EXPECT_TRUE(messages.empty());
    for (int row = 1; row <= 384; ++row)
        ASSERT_EQ(Grid()->Cell(1, row), saved[row - 1]) << row;
}

TEST_F(DataTableFileTest, OlderFilesAskForTheSerialNumber) {
    WriteFile("old.dat", "S12AB\r\n#DTPT=5\r\n*DTPT=100\r\nS99\r\n#DTPT=6\r\n*DTPT=7\r\n");
    FillValues("x");
    for (const std::optional<QString>& answer :
         {std::optional<QString>(), std::optional<QString>("")}) {
        serialAnswer = answer;
        Load("old.dat");
        EXPECT_EQ(Grid()->Cell(1, 6), "x");
        EXPECT_NE(Grid()->Cell(1, 0), "old.dat");
    }
    EXPECT_EQ(inputs.last(), "ｼﾘｱﾙNo入力|古いﾊﾞｰｼﾞｮﾝでｼﾘｱﾙNoの指定が必要です。");

    serialAnswer = "13";
    Load("old.dat");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "指定されたｼﾘｱﾙNoが見つかりませんでした。");
    EXPECT_EQ(messages[0].caption, "ｼﾘｱﾙNoｴﾗｰ");
    EXPECT_EQ(Grid()->Cell(1, 6), "x");

    serialAnswer = "12ab";
    Load("old.dat");
    EXPECT_EQ(Grid()->Cell(1, 0), "old.dat");
    EXPECT_EQ(Grid()->Cell(1, 6), "100");
    EXPECT_EQ(Grid()->Cell(1, 7), ""); // the next section is not read
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(DataTableFileTest, FailuresLeaveGridAndFilesAsTheyWere) {
    FillValues("1");
    Load("missing.dat");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        messages[0].text,
        "ファイルが見つかりませんでした。\n指定したファイル名が正しいかどうか確認してください。");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_EQ(Grid()->Cell(1, 5), "1");

    chosenFile.clear(); // the user cancels every dialog
    frmDataTable->btnOpenForSndDataTable->click();
    frmDataTable->btnSaveDataTable->click();
    EXPECT_EQ(Grid()->Cell(1, 5), "1");
    EXPECT_EQ(messages.size(), 1u);

    Save("no/such/folder/t.dat");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].text.startsWith("ファイルを保存できませんでした。"));

    // A save that fails while writing keeps the file that was there.
    WriteFile("kept.dat", " #DTPT[0]=1\r\n");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    Save("kept.dat");
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_TRUE(messages[2].text.startsWith("ファイルを保存できませんでした。"));
    EXPECT_EQ(ReadFile("kept.dat"), " #DTPT[0]=1\r\n");
}

TEST_F(DataTableFileTest, PrintingGoesToPdfAndReportsErrors) {
    FillValues("");
    for (int row = 1; row <= 384; row += 2)
        Grid()->SetCell(1, row, QString::number(row));
    ui::SetPrintDialogResponder([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("table.pdf"));
        return true;
    });
    frmDataTable->btnSave->click();
    EXPECT_EQ(mdlGeneral->PrintDialog1->Printer().docName(), "KasoNT Data List");
    const QByteArray document = ReadFile("table.pdf");
    EXPECT_TRUE(document.startsWith("%PDF"));
    EXPECT_GE(document.count("/Type /Page\n") + document.count("/Type /Page "), 2);
    EXPECT_TRUE(messages.empty());

    ui::SetPrintDialogResponder([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("no/such/folder/table.pdf"));
        return true;
    });
    frmDataTable->btnSave->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "印刷エラーが発生しました。");
    EXPECT_EQ(messages[0].caption, "エラー");
}

TEST_F(DataTableFileTest, ALoadedHeaderGivesWayToTheNextRead) {
    WriteFile("t.dat", " #DTPT[0]=1\r\n");
    Load("t.dat");
    EXPECT_EQ(Grid()->Cell(1, 0), "t.dat");
    frmDataTable->btnReadDataTable->click();
    EXPECT_EQ(Grid()->Cell(1, 0), "     KASO2");
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 30000));
    EXPECT_EQ(Grid()->Cell(1, 1), "2000");
}

} // namespace
