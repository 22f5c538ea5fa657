// The data upload against the simulated driver: the table of each data kind byte for byte, the
// exact commands on the wire, the loaders of the analysis window reading a saved table, and the
// roads off the main one (refusals, time-outs, stop, close, a lost line).
#include "DataTransferFixture.h"

#include "analysis/MeasurementFile.h"
#include "analysis/SampleSource.h"
#include "analysis/TextTable.h"
#include "link/UnitCommCancel.h"
#include "parameters/UnitPrm.h"

#include <QClipboard>
#include <QTest>
#include <QTimer>
#include <sstream>

namespace {

using Lines = QList<QByteArray>;

// Types into the focused box of an active dialog, key by key, from an empty box.
void TypeIntoEmptyBox(ui::Form* dialog, ui::ComboBox* box, const QString& text) {
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([box] { return box->hasFocus(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    ASSERT_EQ(box->currentText(), "");
    for (const QChar ch : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(ch));
}

// Pastes over the whole text of a box of an active dialog, which then shows `shown`.
void PasteIntoBox(ui::Form* dialog, ui::ComboBox* box, const QString& text, const QString& shown) {
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([box] { return box->hasFocus(); }));
    PasteOverFocusedBox(text);
    ASSERT_EQ(box->currentText(), shown);
}

TEST_F(DataTransferTest, FirstSeriesInternalVariablesFillAThousandRowsWithFourDigitLabels) {
    UseSeries(0, "QWA-D56");
    Axis().logging().waveform = [](int, int sample) { return sample * 3 - 7; };
    frmEdit->RunUploadItem->trigger();
    ASSERT_TRUE(frmUpload->isVisible());
    EXPECT_EQ(frmUpload->windowTitle(), "内部変数のｱｯﾌﾟﾛｰﾄﾞ");
    EXPECT_EQ(frmUpload->cmbFirst->currentText(), "#$D000");
    EXPECT_EQ(frmUpload->edtNum->text(), "1000");
    EXPECT_EQ(frmUpload->cmbKumisuu->currentText(), "1");
    RunUpload(60000);

    QStringList rows;
    for (int n = 0; n < 1000; ++n)
        rows << Pad("#$" + QString::number(0xD000 + 2 * n, 16).toUpper()) +
                    QString::number(n * 3 - 7);
    EXPECT_EQ(rows.first(), "#$D000      -7");
    EXPECT_EQ(rows.last(), "#$D7CE      2990");
    EXPECT_EQ(SavedUpload(), FileOf(rows));
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "#$D000"}) + Continuations(999));
    EXPECT_EQ(frmUpload->edtPath->text(), "1000");
    EXPECT_EQ(frmUpload->ProgressBar1->value(), 100);
    EXPECT_EQ(frmEdit->TabCaption(1), "KASOﾃﾞｰﾀ");
    EXPECT_FALSE(frmEdit->memUploadData->isVisible());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DataTransferTest, LoggingDataOfTheSecondSeriesHasItsHeaderAndTheLoadersReadTheTable) {
    UseSeries(1, "QWB20");
    Axis().logging().waveform = [](int channel, int sample) { return 100 * sample + channel + 1; };
    // A channel name of double-byte characters fills its cell by CP932 bytes.
    Axis().logging().settings["LOG1N"] = ui::cp932::Encode("速度");
    frmEdit->RunUpLoadLogData->trigger();
    EXPECT_EQ(frmUpload->windowTitle(), "ﾛｷﾞﾝｸﾞﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ");
    EXPECT_EQ(frmUpload->cmbFirst->currentText(), "#%0020C000");
    EXPECT_EQ(frmUpload->cmbKumisuu->currentText(), "4");
    frmUpload->edtNum->setText("3");
    RunUpload();

    const QByteArray saved = SavedUpload();
    EXPECT_EQ(saved, FileOf({"LTIME=1     速度        PACT        VACT        QREF",
                             "#%0020C000  1           2           3           4",
                             "#%0020C010  101         102         103         104",
                             "#%0020C020  201         202         203         204"}));
    EXPECT_EQ(TakeSentLines(),
              Lines({"VER", "VER", "LTIME", "LOG1N", "LOG2N", "LOG3N", "LOG4N", "#%0020C000"}) +
                  Continuations(11));

    // The analysis window's loaders take the saved table: the spectrum's columns and sampling
    // frequency, and the measurement's points.
    fra::TextTable table(fra::kTableRows);
    std::istringstream stream(saved.toStdString());
    fra::ReadTextTable(table, stream);
    const fra::SpectrumColumns columns = fra::ReadSpectrumColumns(table).value();
    EXPECT_EQ(columns.shift, 1);
    EXPECT_EQ(columns.samplingFreq, 1000.0);
    EXPECT_EQ(columns.names, (std::vector<std::string>{ui::cp932::Encode("速度").toStdString(),
                                                       "PACT", "VACT", "QREF"}));
    EXPECT_EQ(fra::ColumnValues(table, 2).value(), (std::vector<int>{2, 102, 202}));
    const fra::LoadedMeasurement measurement = fra::ParseMeasurement(table);
    EXPECT_TRUE(measurement.valid);
    EXPECT_EQ(measurement.points.size(), 3u);
}

TEST_F(DataTransferTest, FirstSeriesLoggingHeaderNamesTheChannel) {
    UseSeries(0, "QWA-D56");
    Axis().logging().waveform = [](int, int sample) { return sample; };
    Axis().logging().settings["#&DFFE"] = "03C6";
    frmEdit->btnPopupUpLoadLogData->trigger();
    frmUpload->edtNum->setText("2");
    RunUpload();
    EXPECT_EQ(SavedUpload(),
              FileOf({"#$DFFA=1    VELACT ﾌｨﾙﾀ有", "#$D000      0", "#$D002      1"}));
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "#$DFFA", "#&DFFE", "#$D000", ",?"}));
}

TEST_F(DataTransferTest, CamAndCorrectionDataStepByHalfOnWordAddressedDrivers) {
    UseSeries(2, "QWC50A_C3");
    const char* cam[] = {"#%00090000", "#%00090002", "#%00090004", "#%00090006"};
    const char* values[] = {"-1", "2147483647", "-2147483648", "42"};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(Axis().memory().write(At(cam[i]), values[i]));
    frmEdit->RunUpLoadCam->trigger();
    EXPECT_EQ(frmUpload->windowTitle(), "ｶﾑﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ");
    EXPECT_EQ(frmUpload->cmbFirst->currentText(), "#%00090000");
    EXPECT_EQ(frmUpload->edtNum->text(), "16384");
    EXPECT_EQ(frmUpload->cmbKumisuu->currentText(), "1");
    frmUpload->edtNum->setText("4");
    RunUpload();
    EXPECT_EQ(SavedUpload(), FileOf({"#%00090000  -1", "#%00090002  2147483647",
                                     "#%00090004  -2147483648", "#%00090006  42"}));
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "#%00090000"}) + Continuations(3));

    UseSeries(3, "QWD50A");
    frmEdit->btnPopupUpLoadCorrectData->trigger();
    EXPECT_EQ(frmUpload->windowTitle(), "補正ﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ");
    EXPECT_EQ(frmUpload->cmbFirst->currentText(), "#$00088000");
    frmUpload->edtNum->setText("3");
    RunUpload();
    EXPECT_EQ(frmEdit->TabCaption(2), "KASOﾃﾞｰﾀ"); // a new document of its own
    EXPECT_EQ(SavedUpload(), FileOf({"#$00088000  -32", "#$00088001  -31", "#$00088002  -30"}));
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "#$00088000", ",?", ",?"}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(DataTransferTest, RowsOfSeveralValuesStepTheirLabelsAndKeepLongValuesWhole) {
    UseSeries(1, "QWB20");
    Axis().logging().settings["#%00300004"] = "123456789012345";
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("*$10", "2", "3");
    RunUpload();
    // "*$" counts a decimal index; a value of 12 characters or more shifts its row's later cells.
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("#%00300000", "1", "3");
    RunUpload();
    EXPECT_EQ(frmEdit->memMain2->Lines(),
              QStringList({"#%00300000  0           1234567890123450"}));
    PickTab(1);
    EXPECT_EQ(frmEdit->memMain2->Lines(), QStringList({"*$10        0           0           0",
                                                       "*$13        0           0           0"}));
}

// A value is the reply exactly as the driver sent it, control characters included, in the
// document and in its file. A reply that a line cannot hold (a line feed inside it) ends the
// upload before its row, which the user is told; the complete rows before it stay.
TEST_F(DataTransferTest, ValuesAreKeptAsTheDriverSentThemOrTheUploadSaysWhereItStopped) {
    UseSeries(1, "QWB20");
    std::map<QByteArray, QByteArray>& memory = Axis().logging().settings;
    memory["#%00300000"] = "A\tB";
    memory["#%00300004"] = "C\x1B"
                           "D";
    memory["#%00300008"] = "Z\x7FZ";
    memory["#%0030000C"] = QByteArray("\0\x80", 2);
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("#%00300000", "2", "2");
    RunUpload();
    EXPECT_TRUE(messages.empty());
    const QByteArray table = "#%00300000  A\tB         C\x1B"
                             "D\r\n"
                             "#%00300008  Z\x7FZ         " +
                             QByteArray("\0\x80\r\n", 4);
    EXPECT_EQ(ui::cp932::Encode(frmEdit->memMain2->Text() + "\n"),
              QByteArray(table).replace("\r", ""));
    EXPECT_EQ(SavedUpload().toHex(' ').toStdString(), table.toHex(' ').toStdString());

    memory["#%0030000C"] = "1\n2";
    frmUpload->btnStart->click();
    ASSERT_TRUE(WaitFor([] { return frmUpload->btnStart->isEnabled(); }));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ﾄﾞﾗｲﾊﾞの返信に行を分ける文字「U+000A」があるため、2行目を文書に"
                                "入れられません。\nｱｯﾌﾟﾛｰﾄﾞは2行目の前で終えました。");
    EXPECT_EQ(frmEdit->memMain2->Lines(), QStringList{"#%00300000  A\tB         C\x1B"
                                                      "D"});
    EXPECT_FALSE(frmEdit->memUploadData->isVisible());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
}

TEST_F(DataTransferTest, RefusalsSendNothingAndGiveTheStartButtonBack) {
    UseSeries(2, "QWC50A_C3");
    frmEdit->RunUploadItem->trigger();
    struct Case {
        QString start, sets, items, message;
    };
    const Case cases[] = {
        {"#%0010C00G", "5", "1", "アドレス値が不正です。"},
        {"!#%0010C00", "5", "1", "アドレス値が不正です。"},
        {"#%0010C000", "", "1", "データ組数が設定されていません。"},
        {"#%0010C000", "0", "1", "データ組数の設定が無効です。（1以上）"},
        {"#%0010C000", "abc", "1", "データ組数の設定が無効です。（1以上）"},
        {"#%0010C000", "99999999999999999999", "1", "データ組数の設定が無効です。（1以上）"},
        {"#%0010C000", "5", "", "個数/1組が設定されていません。"},
        {"#%0010C000", "5", "5", "個数/1組の設定が不正です。（1以上4以下）"},
        {"#%0010C000", "5", "x", "個数/1組の設定が不正です。（1以上4以下）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString() + " " + c.start.toStdString());
        messages.clear();
        SetUploadFields(c.start, c.sets, c.items);
        frmUpload->btnStart->click();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, c.message);
        EXPECT_TRUE(frmUpload->btnStart->isEnabled());
        EXPECT_FALSE(frmEdit->memUploadData->isVisible());
    }
    // Forms the dialog lets through whose number does not read: refused before anything is sent.
    SetUploadFields("", "5", "1");
    for (const QString start : {"*$00AB", "*$", "*$-5", "*$99999999999999999999"}) {
        SCOPED_TRACE(start.toStdString());
        messages.clear();
        TypeIntoEmptyBox(frmUpload, frmUpload->cmbFirst, start);
        frmUpload->btnStart->click();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "アドレス値が不正です。");
        EXPECT_EQ(messages[0].caption, "アドレスエラー");
        EXPECT_TRUE(frmUpload->btnStart->isEnabled());
        EXPECT_EQ(frmUpload->cmbFirst->currentText(), start);
    }
    Pause(50);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_EQ(frmEdit->UsedSlots, 1); // no document was made for a refused start

    // Byte forms on a word-addressed driver are refused once its model is known.
    messages.clear();
    SetUploadFields("!##0010C000", "5", "1");
    RunUpload();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "このドライバでは !##アドレス指定は無効です。");
    EXPECT_EQ(messages[0].caption, "設定エラー");
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER"}));

    // An unconfirmed axis: the dialog is not shown, the kind is set all the same.
    frmUpload->close();
    frmMain->AxisMask = 1 << ('A' - 'A');
    frmMain->lblAxis->setText("X");
    messages.clear();
    frmEdit->RunUpLoadCam->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "通信確立が未確認の軸のカムデータをアップロードしようとしています。\n"
              "設定画面にて通信確立の確認及び軸指定の確認をしてください。");
    EXPECT_FALSE(frmUpload->isVisible());
    EXPECT_EQ(frmEdit->UploadKind, 3);
}

TEST_F(DataTransferTest, AllSixteenDocumentsInUseRefuseBeforeSending) {
    for (int i = 1; i < TfrmEdit::kMaxDocuments; ++i)
        frmEdit->FileNewItem->trigger();
    ASSERT_EQ(frmEdit->UsedSlots, 0xFFFF);
    TypeText("keep me");
    frmEdit->RunUploadItem->trigger();
    RunUpload();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "これ以上ﾌｧｲﾙを開けません。");
    EXPECT_EQ(PaneText(), "keep me");
    EXPECT_EQ(frmEdit->TabCaption(15), "新規ﾌｧｲﾙ");
    Pause(50);
    EXPECT_TRUE(TakeSentLines().isEmpty());
}

TEST_F(DataTransferTest, SilentDriverEndsTheModelQueryAndTheHeaderWaitWithAMessage) {
    driver->setFault(sim::Fault::Silent);
    frmEdit->RunUploadItem->trigger();
    RunUpload(10000);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_EQ(TakeSentLines(), Lines({"VER"}));
    EXPECT_FALSE(frmEdit->memUploadData->isVisible());

    // The driver answers the model but not a header query.
    driver->setFault(sim::Fault::None);
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "LOG2N") driver->setFault(sim::Fault::Silent);
                     });
    messages.clear();
    frmEdit->RunUpLoadLogData->trigger();
    RunUpload(10000);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    // The unanswered model query leaves the line out of step: it is brought back by the model
    // text asked twice (none is known yet) before the query of this upload.
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "VER", "VER", "LTIME", "LOG1N", "LOG2N"}));
}

TEST_F(DataTransferTest, StopDropsTheHalfRowAndCloseEndsAtOnceKeepingTheRows) {
    UseSeries(1, "QWB20");
    Axis().logging().waveform = [](int channel, int sample) { return 10 * sample + channel; };
    int continuations = 0;
    std::function<void()> atFourth;
    const auto watch = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                        driver.get(), [&](const QByteArray& line) {
                                            if (line == ",?" && ++continuations == 4 && atFourth)
                                                atFourth();
                                        });

    // Stop ends the upload at once: value 5, asked for, is not waited for; the half row of an
    // odd count would be dropped.
    atFourth = [] { frmUpload->btnStop->click(); };
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("#%0020C000", "1000", "2");
    RunUpload();
    EXPECT_EQ(frmEdit->memMain2->Lines(),
              QStringList({"#%0020C000  0           1", "#%0020C008  2           3"}));
    EXPECT_EQ(frmUpload->edtPath->text(), "4");
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "#%0020C000"}) + Continuations(4));

    // Closing ends the upload before the next reply: the rows so far become the document.
    continuations = 0;
    atFourth = [] { frmUpload->btnClose->click(); };
    frmUpload->btnStart->click();
    ASSERT_TRUE(WaitFor([] { return !frmUpload->isVisible(); }));
    Pause(100);
    EXPECT_EQ(frmEdit->TabCaption(2), "KASOﾃﾞｰﾀ");
    EXPECT_EQ(frmEdit->memMain2->Lines(),
              QStringList({"#%0020C000  0           1", "#%0020C008  2           3"}));
    EXPECT_EQ(frmEdit->DocModified[2], 1);
    EXPECT_FALSE(frmEdit->memUploadData->isVisible());
    EXPECT_TRUE(frmUpload->btnStart->isEnabled());
    EXPECT_TRUE(frmUpload->edtPath->text().isEmpty());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "#%0020C000"}) + Continuations(4));
    EXPECT_TRUE(messages.empty());
    QObject::disconnect(watch);
}

// A driver that falls silent mid-upload: the stop button ends the upload at once, and the line
// is free for the terminal, a second upload and the parameter list.
TEST_F(DataTransferTest, StopEndsAnUploadOnASilentDriverAndFreesTheLine) {
    UseSeries(2, "QWC50A_C3");
    int continuations = 0;
    const auto watch = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                        driver.get(), [&](const QByteArray& line) {
                                            if (line == ",?" && ++continuations == 3)
                                                driver->setFault(sim::Fault::Silent);
                                        });
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("#%0010C000", "100", "1");
    frmUpload->btnStart->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().count(",?") == 3; }));
    Pause(300);
    QObject::disconnect(watch);
    driver->setFault(sim::Fault::None);
    ASSERT_FALSE(frmUpload->btnStart->isEnabled()); // the upload waits for the silent driver
    frmUpload->btnStop->click();
    EXPECT_TRUE(frmUpload->btnStart->isEnabled());
    EXPECT_FALSE(frmEdit->DataUploadRunning());
    EXPECT_FALSE(frmEdit->memUploadData->isVisible());
    EXPECT_EQ(frmEdit->memMain2->LineCount(), 3);
    EXPECT_EQ(frmUpload->edtPath->text(), "3");
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    TakeSentLines();

    // The terminal's question is answered.
    frmMain->edtSend->clear();
    Type(frmMain->edtSend, "X:VER\r");
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "QWC50A_C3"; }, 6000));
    EXPECT_TRUE(TakeSentLines().contains("X:VER"));

    // A second upload runs to its end.
    SetUploadFields("#%0010C000", "5", "1");
    RunUpload();
    EXPECT_EQ(frmEdit->memMain2->LineCount(), 5);
    EXPECT_EQ(frmUpload->edtPath->text(), "5");

    // The parameter list reads the driver.
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrm->isVisible());
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
    frmCommCancel->btnCancel->click();
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 6), QString::number(driver->parameter('X', 5)));
    EXPECT_TRUE(messages.empty());
}

TEST_F(DataTransferTest, UploadFillsItsOwnDocumentWhateverTheUserOpensMeanwhile) {
    UseSeries(1, "QWB20");
    Axis().logging().waveform = [](int channel, int sample) { return 4 * sample + channel; };
    int continuations = 0;
    const auto watch = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                        driver.get(), [&](const QByteArray& line) {
                                            if (line == ",?" && ++continuations == 3)
                                                frmEdit->FileNewItem->trigger();
                                        });
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("#%0020C000", "6", "1");
    RunUpload();
    QObject::disconnect(watch);
    EXPECT_EQ(frmEdit->CurrentDoc, 2); // the new document stays on screen, empty
    EXPECT_TRUE(PaneText().isEmpty());
    PickTab(1);
    QStringList rows;
    for (int n = 0; n < 6; ++n)
        rows << Pad("#%" +
                    QString::number(0x0020C000 + 4 * n, 16).toUpper().rightJustified(8, '0')) +
                    QString::number(n);
    EXPECT_EQ(frmEdit->memMain2->Lines(), rows);
}

TEST_F(DataTransferTest, AnUploadWhoseDocumentWasClosedLeavesTheSlotsNewDocumentAlone) {
    UseSeries(1, "QWB20");
    int continuations = 0;
    const auto watch = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                        driver.get(), [&](const QByteArray& line) {
                                            if (line != ",?" || ++continuations != 3) return;
                                            // The user closes the upload's document unsaved
                                            // and starts a new one, which takes its slot.
                                            Answer(ui::MsgResult::No);
                                            frmEdit->FileCloseItem->trigger();
                                            frmEdit->FileNewItem->trigger();
                                            TypeText("mine");
                                        });
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("#%0020C000", "8", "1");
    RunUpload();
    QObject::disconnect(watch);
    EXPECT_EQ(frmEdit->ActiveTab(), 1);
    EXPECT_EQ(frmEdit->TabCaption(1), "新規ﾌｧｲﾙ");
    EXPECT_EQ(PaneText(), "mine");
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "#%0020C000"}) + Continuations(7));
}

TEST_F(DataTransferTest, LostLineEndsTheUploadQuietlyWithOneMessage) {
    UseSeries(1, "QWB20");
    Axis().logging().waveform = [](int, int sample) { return sample; };
    int continuations = 0;
    const auto watch =
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                         [&](const QByteArray& line) {
                             if (line == ",?" && ++continuations == 3)
                                 QTimer::singleShot(0, driver.get(), [this] { driver->hangUp(); });
                         });
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("#%0020C000", "100", "1");
    RunUpload();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_FALSE(frmEdit->memUploadData->isVisible());
    EXPECT_GE(frmEdit->memMain2->LineCount(), 3);
    EXPECT_EQ(frmEdit->memMain2->Line(0), "#%0020C000  0");

    // A start on the lost line is refused once, in the program's own words.
    messages.clear();
    RunUpload();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    QObject::disconnect(watch);
}

TEST_F(DataTransferTest, TypedStartAddressesGoOutAsTypedFromBothDialogs) {
    UseSeries(1, "QWB20"); // byte-addressed: the upload takes every form
    const QString forms[] = {"##0010C000",  "#&0010C000",  "#$0010C000",  "#%0010C000",
                             "*$5",         "!##0010C000", "!#&0010C000", "!#$0010C000",
                             "!#%0010C000", "&##0010C000", "&#&0010C000", "&#$0010C000",
                             "&#%0010C000"};
    frmEdit->RunUploadItem->trigger();
    for (const QString& form : forms) {
        SCOPED_TRACE(form.toStdString());
        frmUpload->edtNum->setText("2");
        frmUpload->cmbKumisuu->setEditText("1");
        TypeIntoEmptyBox(frmUpload, frmUpload->cmbFirst, form);
        EXPECT_EQ(frmUpload->cmbFirst->currentText().toStdString(), form.toStdString());
        RunUpload();
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", form.toLatin1(), ",?"}));
    }
    frmUpload->close();

    frmEdit->FileNewItem->trigger();
    frmEdit->memMain2->SetText("1\n2");
    frmEdit->RunDownloadCamItem->trigger();
    for (const QString& form : forms) {
        SCOPED_TRACE(form.toStdString());
        messages.clear();
        TypeIntoEmptyBox(frmDownload, frmDownload->cmbFirst, form);
        EXPECT_EQ(frmDownload->cmbFirst->currentText().toStdString(), form.toStdString());
        frmDownload->btnStart->click();
        if (form.size() == 11) { // the download dialog takes no three-character prefix
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text, "アドレス値が不正です。");
            EXPECT_TRUE(TakeSentLines().isEmpty());
            continue;
        }
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[1].text, "ダウンロード終了しました。");
        EXPECT_EQ(WithoutModelQueries(driver->receivedBytes()), form.toLatin1() + "=1\r,2\r");
        driver->clearReceived();
    }
}

// A start address with a pasted control character is refused by its code in both dialogs, as it
// is pasted: the box keeps the address it had.
TEST_F(DataTransferTest, APastedControlCharacterInTheStartAddressIsRefusedByItsCode) {
    UseSeries(1, "QWB20");
    auto pasteAndStart = [this](ui::Form* dialog, ui::ComboBox* box, QPushButton* start) {
        SCOPED_TRACE(dialog->metaObject()->className());
        const QString kept = box->currentText();
        messages.clear();
        PasteIntoBox(dialog, box, "*$\t5", kept);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(
            messages[0].text,
            "開始ｱﾄﾞﾚｽ に送信できない文字「U+0009」があります。\n入力内容を確認してください。");
        EXPECT_EQ(messages[0].caption, "入力エラー");
        EXPECT_TRUE(start->isEnabled());
    };
    frmEdit->RunUploadItem->trigger();
    frmUpload->edtNum->setText("2");
    frmUpload->cmbKumisuu->setEditText("1");
    pasteAndStart(frmUpload, frmUpload->cmbFirst, frmUpload->btnStart);
    frmUpload->close();

    frmEdit->FileNewItem->trigger();
    frmEdit->memMain2->SetText("1\n2");
    frmEdit->RunDownloadCamItem->trigger();
    pasteAndStart(frmDownload, frmDownload->cmbFirst, frmDownload->btnStart);
    Pause(50);
    EXPECT_TRUE(TakeSentLines().isEmpty());
}

TEST_F(DataTransferTest, DialogAidsKeepAChosenPrefixAndTheFirstSeriesSingleItem) {
    frmEdit->RunUploadItem->trigger();
    QLineEdit* address = frmUpload->cmbFirst->lineEdit();
    frmUpload->cmbFirst->setCurrentIndex(0); // "##" from the list arrives selected
    address->selectAll();
    Type(address, "12AB");
    EXPECT_EQ(frmUpload->cmbFirst->currentText(), "##12AB");
    frmUpload->cmbFirst->setCurrentIndex(0);
    address->selectAll();
    PressKey(address, Qt::Key_Backspace);
    EXPECT_EQ(frmUpload->cmbFirst->currentText(), "");
    EXPECT_EQ(frmUpload->cmbFirst->count(), 30);
    EXPECT_EQ(frmDownload->cmbFirst->count(), 22);

    // Choosing another item per set is free on the other series and refused on the first.
    frmUpload->cmbKumisuu->SetItemIndex(0);
    PressKey(frmUpload->cmbKumisuu, Qt::Key_Down);
    EXPECT_EQ(frmUpload->cmbKumisuu->currentText(), "2");
    EXPECT_TRUE(messages.empty());
    UseSeries(0, "QWA-D56");
    PressKey(frmUpload->cmbKumisuu, Qt::Key_Down);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "QWAシリーズを選択している場合、個数/1組は 1 にて固定です。");
    EXPECT_EQ(messages[0].caption, "設定エラー");
    EXPECT_EQ(frmUpload->cmbKumisuu->currentText(), "1");
}

} // namespace
