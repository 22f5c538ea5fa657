// Parameter files and the printout, through the windows' buttons as a user would use them.
#include "AppTest.h"

#include "link/UnitGeneral.h"
#include "parameters/PrmFile.h"
#include "parameters/PrmPrintout.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"
#include "ui/FileDialogs.h"
#include "ui/Printing.h"

#include "link/UnitCommCancel.h"
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

class ParameterFilesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSetting("Comm", "TransmitCheck", 2);
        StartProgram();
        ui::SetFileDialogResponder([this](const ui::FileDialog& dialog) -> std::optional<QString> {
            dialogFilter = dialog.Filter;
            if (chosenFile.isEmpty()) return std::nullopt;
            return chosenFile;
        });
        ui::SetInputResponder([this](const QString& caption, const QString&) {
            inputCaption = caption;
            return serialAnswer;
        });
    }
    void TearDown() override {
        ui::SetFileDialogResponder({});
        ui::SetInputResponder({});
        ui::SetPrintDialogResponder({});
        AppTest::TearDown();
    }
    QByteArray ReadFile(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Opens the list on a series with the launcher (no driver answer needed for the first two).
    void OpenList(int series, const QByteArray& model) {
        frmSetup->cmbModelType->SetItemIndex(series);
        driver->setModelText('X', model);
        frmMain->btnPopupPrm->trigger();
    }
    void Load(TPrmWindow* window, const QString& name, bool reference = false) {
        chosenFile = Path(name);
        (reference ? window->btnOpen : window->btnOpenForSndPrm)->click();
    }
    QByteArray Record(int number, const QString& value) const {
        return ui::cp932::Encode(frmPrmLock->grdPrm->Cell(0, number + 1)) + "=" + value.toLatin1() +
               "\r\n";
    }

    QString chosenFile;
    QString dialogFilter;
    std::optional<QString> serialAnswer;
    QString inputCaption;
};

TEST_F(ParameterFilesTest, SavedFilesLoadBackEveryValue) {
    OpenList(2, "QWC50A_C3");
    for (int row = 1; row <= 110; ++row)
        frmPrm->grdPrm->SetCell(1, row, row % 7 == 0 ? QString() : QString::number(row * 13 - 500));
    frmPrm->grdPrm->SetCell(1, 51, "12");
    chosenFile = Path("list");
    frmPrm->btnSavePrm->click();
    EXPECT_EQ(dialogFilter, "ﾊﾟﾗﾒｰﾀ(*.prm)|*.PRM");
    const QByteArray bytes = ReadFile("list.prm");
    EXPECT_TRUE(bytes.contains(ui::cp932::Encode(" #050 ｱﾅﾛｸﾞﾓﾆﾀch1ｵﾌｾｯﾄ     =12\r\n")));
    EXPECT_TRUE(bytes.startsWith(ui::cp932::Encode(" #000 ｴﾝｺｰﾀﾞ基本分解能     =-487\r\n")));
    EXPECT_EQ(bytes.count("\r\n"), 110 - 15);
    EXPECT_FALSE(bytes.contains(ui::cp932::Encode(" #006 ")));

    const QStringList before = [] {
        QStringList values;
        for (int row = 1; row <= 110; ++row)
            values.append(frmPrm->grdPrm->Cell(1, row));
        return values;
    }();
    for (int row = 1; row <= 110; ++row)
        frmPrm->grdPrm->SetCell(1, row, "x");
    Load(frmPrm, "list.prm");
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 0), "list.prm");
    for (int row = 1; row <= 110; ++row)
        EXPECT_EQ(frmPrm->grdPrm->Cell(1, row), before[row - 1]) << row;
    EXPECT_TRUE(messages.empty());

    // Loaded as reference: differing values are marked.
    frmPrm->grdPrm->SetCell(1, 3, "1");
    Load(frmPrm, "list.prm", true);
    EXPECT_EQ(frmPrm->grdPrm->Cell(2, 0), "list.prm");
    EXPECT_EQ(frmPrm->grdPrm->CellTextColor(2, 3), QColor(255, 0, 0));
    EXPECT_EQ(frmPrm->grdPrm->CellTextColor(2, 4), QColor(Qt::black));
}

// A file holds what the cells hold: a value that the file cannot carry as it stands (a line end
// or a tab, which would split or merge the record; a character without a CP932 code, which would
// be written "?") refuses the save, naming its row and the character, before any file is chosen,
// and the file that was there keeps every byte. Mended, every value loads back as it was.
TEST_F(ParameterFilesTest, ASaveThatWouldChangeAValueIsRefusedAndTheOldFileStays) {
    OpenList(2, "QWC50A_C3");
    ui::StringGrid* grid = frmPrm->grdPrm;
    for (int row = 1; row <= 110; ++row)
        grid->SetCell(1, row, QString::number(row * 7 - 300));
    chosenFile = Path("kept.prm");
    frmPrm->btnSavePrm->click();
    const QByteArray old = ReadFile("kept.prm");
    ASSERT_FALSE(old.isEmpty());

    // A no-break space typed into #002's cell, as the user would type it.
    frmPrm->Show();
    grid->setCurrentCell(2, 1);
    grid->editItem(grid->currentItem());
    auto* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    Type(editor, QString("12") + QChar(0x00A0) + "34\r");
    ASSERT_EQ(grid->Cell(1, 3), QString("12") + QChar(0x00A0) + "34");
    const std::pair<QString, QString> cases[] = {
        {QString("12") + QChar(0x00A0) + "34", "U+00A0"},
        {QString::fromUtf8("12😀34"), QString::fromUtf8("😀")},
        {"12\n34", "U+000A"},
        {"56\r78", "U+000D"},
        {"12\t34", "U+0009"},
    };
    for (const auto& [value, named] : cases) {
        SCOPED_TRACE(named.toStdString());
        grid->SetCell(1, 3, value);
        messages.clear();
        dialogFilter.clear();
        frmPrm->btnSavePrm->click();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "#002 に保存できない文字「" + named +
                                        "」があります。\n入力内容を確認してください。");
        EXPECT_EQ(messages[0].caption, "入力エラー");
        EXPECT_TRUE(dialogFilter.isEmpty()); // no file was chosen
        EXPECT_EQ(ReadFile("kept.prm"), old);
    }

    grid->SetCell(1, 3, "-1234");
    messages.clear();
    frmPrm->btnSavePrm->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(ReadFile("kept.prm"), old);
    EXPECT_FALSE(ReadFile("kept.prm").contains('?'));
    QStringList saved;
    for (int row = 1; row <= 110; ++row) {
        saved.append(grid->Cell(1, row));
        grid->SetCell(1, row, "x");
    }
    Load(frmPrm, "kept.prm");
    for (int row = 1; row <= 110; ++row)
        ASSERT_EQ(grid->Cell(1, row), saved[row - 1]) << row;
}

// What the save checked is what it writes: the cells are taken when the button is pressed. The
// buttons stay enabled during a read, and a reply stored while the file dialog is open (here one
// that no file could hold as it stands) is in neither the check nor the file.
TEST_F(ParameterFilesTest, TheSaveWritesTheValuesItCheckedWhileAReadGoesOn) {
    OpenList(1, "QWB20");
    ui::StringGrid* grid = frmPrm->grdPrm;
    for (int row = 1; row <= 90; ++row)
        grid->SetCell(1, row, QString::number(row));
    for (int n = 0; n < 90; ++n)
        driver->setStatusReply('X', "#" + QByteArray::number(n), "1\t2");
    frmPrm->btnReadPrm->click();
    ASSERT_EQ(grid->Cell(1, 1), "1");
    ui::SetFileDialogResponder([this](const ui::FileDialog&) -> std::optional<QString> {
        WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000);
        return Path("during.prm");
    });
    frmPrm->btnSavePrm->click();
    ASSERT_EQ(frmCommCancel->Label1->text(), "アップロード完了");
    ASSERT_EQ(grid->Cell(1, 1), "1\t2");
    EXPECT_TRUE(messages.empty());
    const QByteArray saved = ReadFile("during.prm");
    ASSERT_EQ(saved.count("\r\n"), 90);
    EXPECT_TRUE(saved.startsWith(ui::cp932::Encode(" #000 ｴﾝｺｰﾀﾞ基本分解能     =1\r\n")));
    EXPECT_EQ(saved.count("=12\r\n"), 1); // #011 alone
    for (int row = 1; row <= 90; ++row)
        grid->SetCell(1, row, "");
    Load(frmPrm, "during.prm");
    for (int row = 1; row <= 90; ++row)
        ASSERT_EQ(grid->Cell(1, row), QString::number(row)) << row;
}

// The reader ends a file at a byte 0xFF, so the save never writes one: a driver's answer holding
// it refuses the save before a file is chosen, naming the row and the byte, and the file that
// was there stays. A file from elsewhere that holds one loads up to it and says how many records
// it left, from which line.
TEST_F(ParameterFilesTest, TheEndMarkIsNeverSavedAndAFileCutByItSaysWhatItLeft) {
    OpenList(1, "QWB20");
    for (int n = 0; n < 90; ++n)
        driver->setStatusReply('X', "#" + QByteArray::number(n), QByteArray::number(n + 10));
    driver->setStatusReply('X', "#4",
                           "12\xFF"
                           "3");
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
    frmCommCancel->btnCancel->click();
    ASSERT_EQ(ui::cp932::Encode(frmPrm->grdPrm->Cell(1, 5)), "12\xFF"
                                                             "3");
    WriteFile("kept.prm", Record(0, "1"));
    chosenFile = Path("kept.prm");
    messages.clear();
    frmPrm->btnSavePrm->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "#004 に保存できない文字「0xFF」があります。\n入力内容を確認してください。");
    EXPECT_TRUE(dialogFilter.isEmpty()); // no file was chosen
    EXPECT_EQ(ReadFile("kept.prm"), Record(0, "1"));

    // Mended, every row loads back.
    frmPrm->grdPrm->SetCell(1, 5, "123");
    messages.clear();
    frmPrm->btnSavePrm->click();
    EXPECT_TRUE(messages.empty());
    for (int row = 1; row <= 90; ++row)
        frmPrm->grdPrm->SetCell(1, row, "");
    Load(frmPrm, "kept.prm");
    EXPECT_TRUE(messages.empty());
    for (int row = 1; row <= 90; ++row)
        ASSERT_EQ(frmPrm->grdPrm->Cell(1, row), row == 5 ? "123" : QString::number(row + 9)) << row;

    // A file from elsewhere: the record the byte cuts short keeps the number before it, as a
    // value "12abc" does; the 84 after it are told, from the line of the first.
    QByteArray cut = ReadFile("kept.prm");
    cut.replace("=15\r\n", "=15\xFF"
                           "9\r\n");
    WriteFile("cut.prm", cut);
    Load(frmPrm, "cut.prm");
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 6), "15");
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 7), "");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ﾊﾞｲﾄ 0xFF をﾌｧｲﾙの終わりとして読み込みを終えたため、7行目の " +
                                    ui::cp932::Decode(Record(6, "16").chopped(2).mid(1)) +
                                    " から後の 84 件のﾚｺｰﾄﾞを読み込みませんでした。");
}

TEST_F(ParameterFilesTest, FilesOfEachCountLoadByParameterNumber) {
    QByteArray ninety, twoHundred;
    for (int n = 0; n < 90; ++n)
        ninety += Record(n, QString::number(n));
    for (int n = 0; n < 200; ++n)
        twoHundred += Record(n, QString::number(1000 + n));
    WriteFile("ninety.prm", ninety);
    WriteFile("all.PRM", twoHundred);

    OpenList(2, "QWC50A_C3");
    Load(frmPrm, "ninety.prm");
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 90), "89");
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 91), "");
    EXPECT_EQ(frmPrm->grdPrm->RowCount(), 111);

    OpenList(0, "QWA-D56");
    Load(frmPrm, "all.PRM");
    EXPECT_EQ(frmPrm->grdPrm->RowCount(), 65);
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 64), "1063");
    // The parameters this list has not are named, not dropped silently.
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("読み込めなかったﾚｺｰﾄﾞがあります。\n#064 "));
    EXPECT_TRUE(messages[0].text.endsWith("ほか 126 件"));
    messages.clear();

    Load(frmPrmLock, "all.PRM");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 200), "1199");
    Load(frmPrmLock, "ninety.prm");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 90), "89");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 150), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ParameterFilesTest, OlderFilesWithSectionsAskForTheSerialNumber) {
    WriteFile("old.prm", "Title line\r\nS001\r\n" + Record(0, "5") + Record(1, "6") + "s002\r\n" +
                             Record(0, "7") + "S003\r\n" + Record(0, "8"));
    frmPrmLock->grdPrm->SetCell(1, 2, "keep");
    serialAnswer = "002";
    Load(frmPrmLock, "old.prm");
    EXPECT_EQ(inputCaption, "ｼﾘｱﾙNo入力");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 1), "7");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 2), ""); // the column was emptied first

    frmPrmLock->grdPrm->SetCell(1, 1, "keep");
    serialAnswer = "009";
    Load(frmPrmLock, "old.prm");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "指定されたｼﾘｱﾙNoが見つかりませんでした。");
    EXPECT_EQ(messages[0].caption, "ｼﾘｱﾙNoｴﾗｰ");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 1), "keep");

    serialAnswer = std::nullopt; // cancelled: nothing changes, nothing said
    Load(frmPrmLock, "old.prm");
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 1), "keep");
}

TEST_F(ParameterFilesTest, CorruptFilesLoadWhatIsValidAndSaySoWithoutInventingValues) {
    WriteFile("bad.prm", " #000 a=+12\r\n #001 b=0012\r\n #002 c=1.5\r\n #003 d=abc\r\n"
                         " #-4 e=9\r\n #005 " +
                             QByteArray(60, 'n') +
                             "=1\r\n"
                             " #006 f=" +
                             QByteArray(80, '7') +
                             "\r\n #007 g=\r\n #008 h=99999999999\r\n"
                             " #009 i=3\r\n #010 j=\xFF #011 k=4\r\n");
    for (int row = 1; row <= 12; ++row)
        frmPrmLock->grdPrm->SetCell(1, row, "old");
    Load(frmPrmLock, "bad.prm");
    const QStringList expected = {"12", "12", "1", "", "", "1", "", "", "", "3", "", ""};
    for (int row = 1; row <= 12; ++row)
        EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, row), expected[row - 1]) << row;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("読み込めなかったﾚｺｰﾄﾞがあります。"));
    // abc, -4, the long value, 99999999999; and what the byte 0xFF left unread.
    EXPECT_EQ(messages[0].text.count('\n'), 5);
    EXPECT_TRUE(messages[0].text.endsWith("\nﾊﾞｲﾄ 0xFF をﾌｧｲﾙの終わりとして読み込みを終えたため、"
                                          "11行目の #011 k=4 から後の 1 件のﾚｺｰﾄﾞを読み込みま"
                                          "せんでした。"));

    // A truncated file: the records before the cut load.
    messages.clear();
    WriteFile("cut.prm", " #000 a=1\r\n #001 b=2\r\n #002 c");
    Load(frmPrmLock, "cut.prm");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 2), "2");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 3), "");
    EXPECT_TRUE(messages.empty());

    // A missing file changes nothing.
    Load(frmPrmLock, "none.prm");
    EXPECT_TRUE(HasMessage(
        "ファイルが見つかりませんでした。\n指定したファイル名が正しいかどうか確認してください。"));
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 2), "2");
}

TEST_F(ParameterFilesTest, SavingNeverShrinksTheListAndAFailedSaveSaysSo) {
    OpenList(2, "QWC50A_C3");
    frmPrm->ModelText = "QWC30"; // left from a read of another driver
    frmPrm->grdPrm->SetCell(1, 110, "42");
    chosenFile = Path("keep.prm");
    frmPrm->btnSavePrm->click();
    EXPECT_EQ(frmPrm->grdPrm->RowCount(), 111);
    EXPECT_TRUE(ReadFile("keep.prm").contains("=42\r\n"));

    chosenFile = Path("no/such/folder/x.prm");
    frmPrm->btnSavePrm->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("ファイルを保存できませんでした。"));
    EXPECT_EQ(messages[0].caption, "警告");
}

// Every line of a saved file: "#nnn" record, "=", a value without control characters.
void ExpectCleanRecords(const QByteArray& bytes, int lines) {
    static const QRegularExpression record(R"(^ #\d{3} [^\x00-\x1f=]*=[^\x00-\x1f]+$)");
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> all = bytes.chopped(1).split('\n');
    EXPECT_EQ(all.size(), lines);
    for (const QByteArray& line : all) {
        ASSERT_TRUE(line.endsWith('\r')) << line.toStdString();
        EXPECT_TRUE(record.match(ui::cp932::Decode(line.chopped(1))).hasMatch())
            << line.toStdString();
    }
}

TEST_F(ParameterFilesTest, RepliesAreStoredCleanAndEverySavedLineLoadsBack) {
    // The list is opened for a 90-parameter model; the driver then turns out to hold 110.
    OpenList(2, "QWC30");
    driver->setModelText('X', "QWC50A_C3");
    // The driver ends its replies with CR LF.
    mdlGeneral->PortForTests().OnCommReceive = [](QObject*, std::uint16_t count) {
        QByteArray bytes(count, '\0');
        bytes.resize(mdlGeneral->PortForTests().Read(bytes.data(), count));
        mdlGeneral->ReceiveChunk(bytes.replace("\r", "\r\n"));
    };
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
    frmCommCancel->btnCancel->click();
    ASSERT_EQ(frmPrm->grdPrm->RowCount(), 111);
    for (int n = 0; n < 110; ++n)
        ASSERT_EQ(frmPrm->grdPrm->Cell(1, n + 1), QString::number(driver->parameter('X', n))) << n;

    // A value typed that is not a number.
    ui::StringGrid* grid = frmPrm->grdPrm;
    grid->SetCell(1, 10, "X#5=1");

    chosenFile = Path("all");
    frmPrm->btnSavePrm->click();
    const QByteArray saved = ReadFile("all.prm");
    ExpectCleanRecords(saved, 110);
    // A row without a name of its own still carries its number.
    EXPECT_TRUE(saved.contains(QByteArray(" #100 ").leftJustified(27, ' ') + "="));

    QStringList before;
    for (int row = 1; row <= 110; ++row) {
        before.append(grid->Cell(1, row));
        grid->SetCell(1, row, "");
    }
    Load(frmPrm, "all.prm");
    for (int row = 1; row <= 110; ++row)
        if (row != 10) {
            ASSERT_EQ(grid->Cell(1, row), before[row - 1]) << row;
        }

    // The typed text goes out as one line and sets no other parameter.
    const int before5 = driver->parameter('X', 5);
    for (int row = 1; row <= 110; ++row)
        grid->SetCell(1, row, row == 10 ? before[9] : QString());
    TakeSentLines();
    frmPrm->btnSendPrm->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() >= 4; }));
    Pause(100);
    EXPECT_EQ(driver->receivedBytes().count('\r'), 4);
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"VER", "VER", "#9=X#5=1", "VER"}));
    EXPECT_EQ(driver->parameter('X', 5), before5);
}

TEST_F(ParameterFilesTest, RecordNumbersOutsideTheGridAreListedAndNeverLandInAnotherRow) {
    WriteFile("numbers.prm", " #000 a=-2147483648\r\n"
                             " #99999999999 c=6\r\n"
                             " #-1 d=7\r\n"
                             " #-2147483648 e=8\r\n"
                             " #001 f=" +
                                 QByteArray(20, '9') +
                                 "\r\n"
                                 " #xyz g=9\r\n"
                                 " #004 h=2147483647\r\n"
                                 " #2147483647 b=5\r\n" // past the grid: what follows is not read
                                 " #005 j=11\r\n");
    for (int row = 1; row <= 200; ++row)
        frmPrmLock->grdPrm->SetCell(1, row, "old");
    Load(frmPrmLock, "numbers.prm");
    for (int row = 1; row <= 200; ++row) {
        const QString expected = row == 1   ? "-2147483648"
                                 : row == 3 ? "9"
                                 : row == 5 ? "2147483647"
                                            : "";
        ASSERT_EQ(frmPrmLock->grdPrm->Cell(1, row), expected) << row;
    }
    ASSERT_EQ(messages.size(), 1u);
    const QStringList listed = messages[0].text.split('\n').mid(1);
    EXPECT_EQ(listed, (QStringList{"#99999999999 c=6", "#-1 d=7", "#-2147483648 e=8",
                                   "#001 f=" + QString(20, '9'), "#2147483647 b=5", "#005 j=11"}));
}

TEST_F(ParameterFilesTest, FilesWithoutRecordsAreReportedAndLeaveTheColumnAlone) {
    const QByteArray good = Record(0, "1") + Record(1, "2");
    static const char kBinary[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR#\x01\x02=\xA0\x80\r\n#=\0";
    QByteArray utf16(reinterpret_cast<const char*>(ui::cp932::Decode(good).utf16()),
                     ui::cp932::Decode(good).size() * 2);
    const std::pair<const char*, QByteArray> files[] = {
        {"bom.prm", "\xFF\xFE" + utf16},
        {"utf16.prm", utf16},
        {"binary.prm", QByteArray(kBinary, sizeof kBinary - 1)},
        {"ff.prm", "\xFF" + good},
        {"words.prm", "nothing to read\r\n"},
    };
    frmPrmLock->grdPrm->SetCell(2, 0, "reference.prm");
    for (int row = 1; row <= 200; ++row)
        frmPrmLock->grdPrm->SetCell(2, row, "7");
    for (const auto& [name, bytes] : files) {
        messages.clear();
        WriteFile(name, bytes);
        Load(frmPrmLock, name, true);
        EXPECT_TRUE(inputCaption.isEmpty()) << name;
        ASSERT_EQ(messages.size(), 1u) << name;
        // A byte 0xFF (of the UTF-16 texts too) ends the reading; what follows it is told.
        const QString notFound = QString("ﾊﾟﾗﾒｰﾀのﾚｺｰﾄﾞが見つかりませんでした。\n") + name;
        if (QByteArray(name) == "ff.prm")
            EXPECT_EQ(messages[0].text, notFound +
                                            "\nﾊﾞｲﾄ 0xFF をﾌｧｲﾙの終わりとして読み込みを終え"
                                            "たため、1行目の " +
                                            ui::cp932::Decode(Record(0, "1").chopped(2).mid(1)) +
                                            " から後の 2 件のﾚｺｰﾄﾞを読み込みませんでした。");
        else if (bytes.contains('\xFF'))
            EXPECT_TRUE(messages[0].text.startsWith(notFound + "\nﾊﾞｲﾄ 0xFF ")) << name;
        else
            EXPECT_EQ(messages[0].text, notFound);
        EXPECT_EQ(frmPrmLock->grdPrm->Cell(2, 0), "reference.prm") << name;
        for (int row = 1; row <= 200; ++row)
            ASSERT_EQ(frmPrmLock->grdPrm->Cell(2, row), "7") << name << " row " << row;
    }

    // Names of any length or encoding load when number and value are intact.
    messages.clear();
    WriteFile("names.prm", " #007 " + QByteArray(100, 'n') + "=5\r\n #008 " +
                               ui::cp932::Encode("長い名前の漢字ﾊﾟﾗﾒｰﾀ") + QByteArray(40, '\xFE') +
                               "=6\r\n #009 \xE3\x81\x82utf-8=7\r\n");
    Load(frmPrmLock, "names.prm", true);
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(2, 8), "5");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(2, 9), "6");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(2, 10), "7");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(2, 1), "");
    EXPECT_TRUE(messages.empty());

    // A blank file is the file of a list without values: it empties the column.
    WriteFile("blank.prm", "\r\n");
    Load(frmPrmLock, "blank.prm", true);
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(2, 8), "");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(2, 0), "blank.prm");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ParameterFilesTest, BigFilesAndEndlessDevicesAreRefusedAtOnce) {
    {
        QFile big(Path("big.prm"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write(Record(0, "1"));
        ASSERT_TRUE(big.resize(64 << 20)); // sparse: 64 MiB without filling the disk
    }
    frmPrmLock->grdPrm->SetCell(1, 1, "keep");
    const QString tooBig = "ﾊﾟﾗﾒｰﾀﾌｧｲﾙとしては大きすぎるため、読み込みませんでした。\n";
    Load(frmPrmLock, "big.prm");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, tooBig + "big.prm");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 1), "keep");

    chosenFile = "/dev/zero";
    frmPrmLock->btnOpenForSndPrm->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, tooBig + "zero");
    EXPECT_EQ(frmPrmLock->grdPrm->Cell(1, 1), "keep");
}

TEST_F(ParameterFilesTest, TheSaveDialogAddsTheExtensionBeforeAskingToReplace) {
    ui::SetFileDialogResponder({}); // the real dialog
    WriteFile("kept.prm", "old contents");
    frmPrmLock->grdPrm->SetCell(1, 1, "5");
    mdlGeneral->SaveDialog1->FileName = Path("");
    QString question;
    bool typed = false;
    QTimer driveDialogs;
    QObject::connect(&driveDialogs, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (!typed) {
                typed = true;
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("kept");
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            } else {
                dialog->reject(); // the user gives up after refusing to replace
            }
        }
    });
    driveDialogs.start(20);
    frmPrmLock->btnSavePrm->click();
    driveDialogs.stop();
    EXPECT_TRUE(question.contains("kept.prm")) << question.toStdString();
    EXPECT_EQ(ReadFile("kept.prm"), "old contents");
    EXPECT_FALSE(QFile::exists(Path("kept")));
}

TEST(PrmPrintoutTest, LinesFillEachPageAtTheSameColumns) {
    QStringList names, values;
    for (int n = 0; n < 200; ++n) {
        names.append(QString(" #%1 name").arg(n, 3, 10, QChar('0')));
        values.append(n % 10 == 9 ? QString() : QString::number(n));
    }
    const int h = 50;
    const int pageHeight = 3000;
    const auto pages = LayoutPrmPrintout("       KASO2", names, values, h, 900, pageHeight);
    EXPECT_EQ(pages[0][0].text, "ファイル名 :        KASO2");
    EXPECT_EQ(pages[0][0].y, 0);
    // Line k lies at 50 * k * 1.1 + 75; a page ends when the last line + 100 passes 3000.
    int lines = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        const PrintedPage& page = pages[p];
        const size_t first = p == 0 ? 1 : 0;
        ASSERT_EQ((page.size() - first) % 2, 0u);
        for (size_t i = first; i < page.size(); i += 2) {
            const int k = static_cast<int>((i - first) / 2) + 1;
            EXPECT_EQ(page[i].x, 1100);
            EXPECT_EQ(page[i + 1].x, 200);
            EXPECT_EQ(page[i].y, static_cast<int>(h * k * 1.1 + 75));
            EXPECT_TRUE(page[i].text.startsWith('='));
        }
        EXPECT_LE(page.back().y, pageHeight);
        if (p + 1 < pages.size()) {
            EXPECT_GT(page.back().y + 2 * h, pageHeight);
        }
        lines += static_cast<int>((page.size() - first) / 2);
    }
    EXPECT_EQ(lines, 180);
    EXPECT_EQ(pages.size(), 4u); // 53 lines a page
    const auto empty = LayoutPrmPrintout("x", names, QStringList(200), h, 900, pageHeight);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].size(), 1u);
}

TEST_F(ParameterFilesTest, PrintingGoesToPdfAndReportsErrors) {
    for (int row = 1; row <= 200; ++row)
        frmPrmLock->grdPrm->SetCell(1, row, QString::number(row));
    const QString pdf = Path("list.pdf");
    QString title;
    ui::SetPrintDialogResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    frmPrmLock->btnSave->click();
    EXPECT_EQ(mdlGeneral->PrintDialog1->Printer().docName(), "KasoNT Parameter List");
    const QByteArray document = ReadFile("list.pdf");
    EXPECT_TRUE(document.startsWith("%PDF"));
    EXPECT_GE(document.count("/Type /Page\n") + document.count("/Type /Page "), 2);
    EXPECT_TRUE(messages.empty());

    ui::SetPrintDialogResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("no/such/folder/list.pdf"));
        return true;
    });
    frmPrmLock->btnSave->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "印刷エラーが発生しました。");
    EXPECT_EQ(messages[0].caption, "エラー");
}

} // namespace
