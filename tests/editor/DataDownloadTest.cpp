// The data download against the simulated driver: exactly the document's values from the start
// address, a driver reply or refusal as a data error from the first one on with nothing written
// in a refused value's place, the address with the first value always, the 29-byte limit, the
// ways a run ends early and what each says; the line-end marks of the pane, which no text sent,
// saved or copied holds.
#include "DataTransferFixture.h"

#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <functional>
#include <map>

namespace {

using Lines = QList<QByteArray>;

// The value the driver's memory holds at an address, as it answers a read.
QByteArray ValueAt(sim::DriverAxis& axis, const char* address) {
    return axis.memory().read(*sim::DriverMemory::parse(address));
}

TEST_F(DataTransferTest, DownloadWritesExactlyTheDocumentsValuesFromTheStartAddress) {
    UseSeries(2, "QWC50A_C3"); // word-addressed: "#%" steps by 2
    ASSERT_TRUE(Axis().memory().write(At("#%0009000A"), "777"));
    TypeText("10\r-20\r30\r40\r50");
    frmEdit->RunDownloadCamItem->trigger();
    ASSERT_TRUE(frmDownload->isVisible());
    EXPECT_EQ(frmDownload->windowTitle(), "ｶﾑﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    EXPECT_EQ(frmDownload->cmbFirst->currentText(), "#%00090000");
    frmDownload->btnStart->click();

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "編集画面上のデータを転送します。よろしいですか？");
    EXPECT_EQ(messages[1].text, "ダウンロード終了しました。");
    EXPECT_EQ(messages[1].caption, "ダウンロード終了");
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()),
              Lines({"#%00090000=10", ",-20", ",30", ",40", ",50"}));
    const char* written[] = {"#%00090000", "#%00090002", "#%00090004", "#%00090006", "#%00090008"};
    const char* values[] = {"10", "-20", "30", "40", "50"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ValueAt(Axis(), written[i]), values[i]) << written[i];
    EXPECT_EQ(ValueAt(Axis(), "#%0009000A"), "777"); // nothing beyond the document
    EXPECT_EQ(frmDownload->edtPath->text(), "5");
    EXPECT_TRUE(frmDownload->btnStart->isEnabled());
    EXPECT_TRUE(frmEdit->memSub->toPlainText().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(PaneText(), "10\n-20\n30\n40\n50"); // the document is not changed

    // No answer to the question: nothing is sent.
    messages.clear();
    Answer(ui::MsgResult::No);
    frmDownload->btnStart->click();
    Pause(50);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_TRUE(frmDownload->btnStart->isEnabled());
}

TEST_F(DataTransferTest, DownloadPresetsFollowTheSeriesAndRefuseAnUnconfirmedAxis) {
    const std::pair<int, QString> presets[] = {
        {0, "#$D000"}, {1, "#%0020C000"}, {2, "#%0010C000"}, {3, "#%0010C000"}};
    for (const auto& [series, address] : presets) {
        frmSetup->cmbModelType->SetItemIndex(series);
        frmEdit->btnPopupDownLoad->trigger();
        EXPECT_EQ(frmDownload->windowTitle(), "内部変数のﾀﾞｳﾝﾛｰﾄﾞ");
        EXPECT_EQ(frmDownload->cmbFirst->currentText(), address);
    }
    frmEdit->btnPopupDownLoadCorrectData->trigger();
    EXPECT_EQ(frmDownload->windowTitle(), "補正ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    EXPECT_EQ(frmDownload->cmbFirst->currentText(), "#$00088000");

    // The download dialog takes no 11-character form.
    frmDownload->cmbFirst->setEditText("!#%0010C000");
    frmDownload->btnStart->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "アドレス値が不正です。");
    EXPECT_EQ(messages[0].caption, "アドレスエラー");
    EXPECT_TRUE(frmDownload->btnStart->isEnabled());

    frmDownload->close();
    frmMain->AxisMask = 0;
    messages.clear();
    frmEdit->RunDownloadItem->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "通信確立が未確認の軸に内部データをダウンロードしようとしています。\n"
              "設定画面にて通信確立の確認及び軸指定の確認をしてください。");
    EXPECT_FALSE(frmDownload->isVisible());
    Pause(20);
    EXPECT_TRUE(TakeSentLines().isEmpty());
}

// What the download says of a value the driver did not take, and of where it stopped.
QString NotTaken(int row, const QString& answer) {
    return QString("ドライバが受け付けなかった値が 1 件あります: 新規ﾌｧｲﾙ の %1行目 (%2)")
        .arg(row)
        .arg(answer);
}
QString NotConfirmed(int row) {
    return QString("書き込まれたことを確かめられなかった値が 1 件あります: 新規ﾌｧｲﾙ の %1行目")
        .arg(row);
}
QString StoppedAfter(int row) {
    return QString("書き込みを中止しました。最後に送った値は 新規ﾌｧｲﾙ の %1行目 です。\n"
                   "それより後の値は送っていません。")
        .arg(row);
}

TEST_F(DataTransferTest, AnyReplyToAWrittenValueIsADataError) {
    UseSeries(2, "QWC50A_C3");
    // A bad value in the middle: the driver's one reply stops the run before the next value.
    TypeText("1\rx\r3\r4");
    frmEdit->RunDownloadCamItem->trigger();
    frmDownload->btnStart->click();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].text,
              "KASOがデータエラーを検知しました。\n再度テキストを確認してください。");
    EXPECT_EQ(messages[1].caption, "受信データエラー");
    EXPECT_EQ(messages[2].text, NotTaken(2, "E-S") + "\n" + StoppedAfter(2));
    EXPECT_EQ(messages[2].caption, "警告");
    EXPECT_EQ(frmEdit->memSub->toPlainText(), "[KASO返信] E-S");
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()), Lines({"#%00090000=1", ",x"}));
    EXPECT_EQ(frmDownload->edtPath->text(), "2");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A bad last value: its reply comes after the last send and still counts.
    messages.clear();
    frmEdit->memMain2->SetText("1\n2\nx");
    frmDownload->btnStart->click();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].text,
              "KASOがデータエラーを検知しました。\n再度テキストを確認してください。");
    EXPECT_EQ(messages[2].text, NotTaken(3, "E-S"));
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()), Lines({"#%00090000=1", ",2", ",x"}));

    // A value the driver refuses, at once or late, is not carried out and leaves its pointer: no
    // later value goes out to land in its place.
    for (const int lateMs : {0, 300}) {
        messages.clear();
        ASSERT_TRUE(Axis().memory().write(At("#%00090004"), "777"));
        driver->refuse(",30", lateMs);
        frmEdit->memMain2->SetText("10\n20\n30\n40\n50");
        frmDownload->btnStart->click();
        driver->refuse(",30", -1);
        ASSERT_EQ(messages.size(), 3u) << lateMs;
        EXPECT_EQ(messages[1].caption, "受信データエラー");
        EXPECT_EQ(messages[2].text, NotTaken(3, "E-S") + "\n" + StoppedAfter(3));
        EXPECT_EQ(WithoutModelQueries(TakeSentLines()), Lines({"#%00090000=10", ",20", ",30"}));
        EXPECT_EQ(ValueAt(Axis(), "#%00090002"), "20");
        EXPECT_EQ(ValueAt(Axis(), "#%00090004"), "777") << lateMs;
    }

    // A driver that falls silent after a value: it is not known to be written, nothing follows
    // it, and the run does not end as complete.
    messages.clear();
    const auto silence = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                          driver.get(), [this](const QByteArray& line) {
                                              if (line == ",20")
                                                  driver->setFault(sim::Fault::Silent);
                                          });
    frmDownload->btnStart->click();
    QObject::disconnect(silence);
    driver->setFault(sim::Fault::None);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, NotConfirmed(2) + "\n" + StoppedAfter(2));
    EXPECT_FALSE(WithoutModelQueries(TakeSentLines()).contains(",30"));
    EXPECT_TRUE(frmDownload->btnStart->isEnabled());
}

TEST_F(DataTransferTest, AValueThatWouldNotGoOutAsItStandsStopsTheRunBeforeTheFirstSend) {
    UseSeries(2, "QWC50A_C3");
    TypeText("5\r1\t2\r3");
    ASSERT_EQ(PaneText(), "5\n1\t2\n3");
    frmEdit->RunDownloadItem->trigger();
    // The message names the row and the character, by its code when it shows nothing itself.
    const auto expectRefused = [&](const QStringList& pane, int row, const QString& named) {
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[1].text, QString("新規ﾌｧｲﾙ の %1行目の転送文字列に送信できない文字"
                                            "「%2」があります。\n再度テキストを確認してください。")
                                        .arg(row)
                                        .arg(named));
        EXPECT_EQ(messages[1].caption, "送信データエラー");
        EXPECT_EQ(frmEdit->memSub->toPlainText().split('\n'), pane);
        Pause(50);
        EXPECT_TRUE(driver->receivedBytes().isEmpty());
        EXPECT_EQ(frmDownload->edtPath->text(), "");
        EXPECT_TRUE(frmDownload->btnStart->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    };
    frmDownload->btnStart->click();
    expectRefused({"[エラー] 新規ﾌｧｲﾙ の 2行目", "[文字列] 1\t2"}, 2, "U+0009");

    // A character without a CP932 code would go out as "?".
    messages.clear();
    frmEdit->memMain2->SetText("5\n6\n");
    frmEdit->memMain2->moveCursor(QTextCursor::End);
    TypeText("'€");
    frmDownload->btnStart->click();
    expectRefused({"[エラー] 新規ﾌｧｲﾙ の 3行目", "[文字列] '€"}, 3, "€");

    // A combining mark shows nothing of its own: it is named by its code.
    messages.clear();
    frmEdit->memMain2->SetText(QString("5\n6") + QChar(0x0301) + "7\n");
    frmDownload->btnStart->click();
    expectRefused({"[エラー] 新規ﾌｧｲﾙ の 2行目", QString("[文字列] 6") + QChar(0x0301) + "7"}, 2,
                  "U+0301");
}

TEST_F(DataTransferTest, TheFirstValueAlwaysCarriesTheAddress) {
    UseSeries(2, "QWC50A_C3");
    ASSERT_TRUE(Axis().memory().write(At("#%00090000"), "9"));
    driver->clearReceived();
    // The driver last pointed elsewhere; an empty first line must not write there.
    frmEdit->memMain2->SetText("\n5");
    frmEdit->RunDownloadCamItem->trigger();
    frmDownload->cmbFirst->setEditText("#%00090004");
    frmDownload->btnStart->click();
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()), Lines({"#%00090004="}));
    EXPECT_EQ(ValueAt(Axis(), "#%00090000"), "9");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].caption, "受信データエラー"); // the driver refused the empty value
    EXPECT_EQ(messages[2].text, NotTaken(1, "E-S") + "\n" + StoppedAfter(1));

    // An empty line after the first goes as a bare line end.
    messages.clear();
    frmEdit->memMain2->SetText("7\n\n8");
    frmDownload->btnStart->click();
    EXPECT_EQ(WithoutModelQueries(driver->receivedBytes()), QByteArray("#%00090004=7\r\r,8\r"));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "ダウンロード終了しました。");
}

TEST_F(DataTransferTest, TheTwentyNineCharacterLimitCountsShiftJisBytes) {
    frmEdit->RunDownloadCamItem->trigger();
    // 10 + 1 + 18 bytes: sent; then 1 + 30 bytes, though only 16 characters: refused.
    frmEdit->memMain2->SetText("000000000000000012\nあああああああああああああああ");
    frmDownload->btnStart->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text,
              "転送文字列が29文字を超えています。\n再度テキストを確認してください。");
    EXPECT_EQ(messages[1].caption, "送信データエラー");
    EXPECT_EQ(frmDownload->edtPath->text(), "1");
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()), Lines({"#%00090000=000000000000000012"}));

    // The address and 10 double-byte characters: 31 bytes, nothing sent.
    messages.clear();
    frmEdit->memMain2->SetText("ああああああああああ");
    frmDownload->btnStart->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].caption, "送信データエラー");
    Pause(20);
    EXPECT_TRUE(WithoutModelQueries(TakeSentLines()).isEmpty());
}

constexpr auto kAnotherTransferRuns =
    "別の通信を実行中です。\nその通信が終わってから、もう一度実行してください。";

TEST_F(DataTransferTest, NoOtherTransferStartsWhileOneHoldsTheLine) {
    UseSeries(2, "QWC50A_C3");
    // Mid-upload: the program transfers and the data download's command are refused, each
    // with a word.
    int continuations = 0;
    auto watch = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                                  [&](const QByteArray& line) {
                                      if (line != ",?" || ++continuations != 3) return;
                                      frmEdit->RunSendItem->trigger();
                                      frmEdit->RunUpLoadMailBox->trigger();
                                      frmEdit->RunDownloadCamItem->trigger();
                                  });
    frmEdit->RunUploadItem->trigger();
    SetUploadFields("#%0010C000", "12", "1");
    RunUpload();
    QObject::disconnect(watch);
    EXPECT_EQ(TakeSentLines(), Lines({"VER", "VER", "#%0010C000"}) + Continuations(11));
    EXPECT_EQ(frmEdit->memMain2->LineCount(), 12);
    ASSERT_EQ(messages.size(), 3u);
    for (const ui::MessageRecord& message : messages) {
        EXPECT_EQ(message.text, kAnotherTransferRuns);
        EXPECT_EQ(message.caption, "警告");
    }
    EXPECT_TRUE(frmUpload->isVisible());
    EXPECT_FALSE(frmDownload->isVisible());

    // Mid-download: the program transfers and the data upload are refused, and the download
    // goes on to its end.
    messages.clear();
    frmUpload->close();
    QStringList values;
    for (int i = 0; i < 300; ++i)
        values << QString::number(i);
    frmEdit->memMain2->SetText(values.join('\n'));
    int received = 0;
    watch = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                             [&](const QByteArray&) {
                                 if (++received != 10) return;
                                 frmEdit->RunUpLoadMailBox->trigger();
                                 frmEdit->RunSendItem->trigger();
                                 frmEdit->RunUploadItem->trigger();
                             });
    frmEdit->RunDownloadCamItem->trigger();
    frmDownload->btnStart->click();
    QObject::disconnect(watch);
    Lines expected{"#%00090000=0"};
    for (int i = 1; i < 300; ++i)
        expected << "," + QByteArray::number(i);
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()), expected);
    ASSERT_EQ(messages.size(), 5u);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(messages[i].text, kAnotherTransferRuns);
    EXPECT_EQ(messages[4].text, "ダウンロード終了しました。");
    EXPECT_FALSE(frmEdit->ProgramTransferRunning());
    EXPECT_FALSE(frmUpload->isVisible());
    EXPECT_TRUE(frmDownload->isVisible());
}

// The download goes on when only its dialog is closed; the stop button, a closed editor or
// document and a lost line end it, and each says which value was sent last.
TEST_F(DataTransferTest, ADownloadEndsByItsStopItsDocumentOrTheLineAndSaysWhereItStopped) {
    UseSeries(2, "QWC50A_C3");
    QStringList values;
    for (int i = 0; i < 60; ++i)
        values << QString::number(100 + i);
    frmEdit->memMain2->SetText(values.join('\n'));
    int received = 0;
    std::map<int, std::function<void()>> onValue; // by the count of values the driver received
    const auto watch = QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived,
                                        driver.get(), [&](const QByteArray& line) {
                                            if (line == "VER") return;
                                            const auto step = onValue.find(++received);
                                            if (step != onValue.end()) step->second();
                                        });
    const auto run = [&](std::map<int, std::function<void()>> steps) {
        received = 0;
        messages.clear();
        onValue = std::move(steps);
        TakeSentLines();
        frmEdit->RunDownloadCamItem->trigger();
        frmDownload->btnStart->click();
        onValue.clear();
    };

    // Its dialog closed at value 21 and shown again at value 30, as it stands: every value is
    // written.
    run({{21, [] { frmDownload->btnClose->click(); }},
         {30, [] {
              EXPECT_FALSE(frmDownload->isVisible());
              frmEdit->btnPopupDownLoad->trigger();
              EXPECT_TRUE(frmDownload->isVisible());
              EXPECT_EQ(frmDownload->windowTitle(), "ｶﾑﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
              EXPECT_EQ(frmDownload->cmbFirst->currentText(), "#%00090000");
              EXPECT_FALSE(frmDownload->btnStart->isEnabled());
          }}});
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()).size(), 60);
    EXPECT_EQ(ValueAt(Axis(), "#%00090076"), "159");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "ダウンロード終了しました。");
    EXPECT_EQ(frmDownload->edtPath->text(), "60");
    EXPECT_TRUE(frmDownload->btnStart->isEnabled());

    // The stop button ends the run at once, before the driver's word on the value sent last,
    // and names it.
    run({{10, [] { frmDownload->btnStop->click(); }}});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, NotConfirmed(10) + "\n" + StoppedAfter(10));
    Pause(50);
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()).size(), 10);
    EXPECT_EQ(frmDownload->edtPath->text(), "10");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The editor closed, or the document being sent: the run ends, the dialog closes, and
    // nothing of the document goes out after it.
    const std::function<void()> closes[] = {[] { frmEdit->close(); },
                                            [] { frmEdit->FileCloseItem->trigger(); }};
    for (const auto& close : closes) {
        frmEdit->Show();
        frmEdit->memMain2->SetText(values.join('\n'));
        run({{10, [&] {
                  Answer(ui::MsgResult::No); // nothing saved
                  close();
                  Answer(ui::MsgResult::Yes);
              }}});
        EXPECT_FALSE(frmDownload->isVisible());
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back().text, NotConfirmed(10) + "\n" + StoppedAfter(10));
        Pause(50);
        EXPECT_EQ(WithoutModelQueries(TakeSentLines()).size(), 10);
        EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
        EXPECT_TRUE(frmDownload->btnStart->isEnabled());
        EXPECT_FALSE(frmEdit->DataDownloadRunning());
    }

    // A lost line: its one message says where the run stopped.
    frmEdit->Show();
    frmEdit->memMain2->SetText(values.join('\n'));
    run({{10, [this] { QTimer::singleShot(0, driver.get(), [this] { driver->hangUp(); }); }}});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_TRUE(messages[1].text.contains("書き込みを中止しました。最後に送った値は 新規ﾌｧｲﾙ の "));
    EXPECT_TRUE(frmDownload->btnStart->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // On the lost line a download is refused once, in the program's own words.
    messages.clear();
    frmDownload->btnStart->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "ドライバと通信できませんでした。");
    QObject::disconnect(watch);
}

// The pixels of the mark colour in an area of an image.
int MarkPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            count += image.pixelColor(x, y) == ui::EditorPane::kMarkColor;
    return count;
}

// `cells` character cells of a row, `first` cells right of the caret's place at its end.
QRect CellsAfter(const QRect& rowEnd, int first, int cells) {
    const int width = frmEdit->memMain2->CharWidth();
    return QRect(rowEnd.left() + 1 + first * width, rowEnd.top(), cells * width, rowEnd.height());
}

// A return mark ends each row, the last one too, since the saved file ends each with a line
// break, and the end-of-file mark follows it; they are only drawn, so the document saved, copied
// or downloaded holds neither.
TEST_F(DataTransferTest, LineEndMarksShowButNoSavedCopiedOrSentTextHoldsThem) {
    UseSeries(2, "QWC50A_C3");
    TypeText("10\r20\r30");
    ui::EditorPane* pane = frmEdit->memMain2;
    QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier); // the caret away from the marks
    const QImage image = pane->viewport()->grab().toImage();
    QRect rowEnd;
    QImage returnMark;
    for (int row = 0; row < 3; ++row) {
        QTextCursor end(pane->document()->findBlockByNumber(row));
        end.movePosition(QTextCursor::EndOfBlock);
        rowEnd = pane->cursorRect(end);
        const bool last = row == 2;
        const QImage mark = image.copy(CellsAfter(rowEnd, 0, 1));
        if (row == 0) returnMark = mark;
        EXPECT_GT(MarkPixels(image, CellsAfter(rowEnd, 0, 1)), 0) << row;
        EXPECT_TRUE(mark == returnMark) << "no return mark after row " << row;
        EXPECT_EQ(MarkPixels(image, CellsAfter(rowEnd, 2, 3)) > 0, last) << row; // "[EOF]"
    }
    EXPECT_EQ(MarkPixels(image, QRect(0, rowEnd.bottom() + 1, image.width(), rowEnd.height())), 0);

    chosenFile = Path("M.DAT");
    frmEdit->FileSaveAsItem->trigger();
    EXPECT_EQ(ReadFile("M.DAT"), "10\r\n20\r\n30\r\n");
    pane->selectAll();
    frmEdit->EditCopyItem->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "10\n20\n30");
    frmEdit->RunDownloadCamItem->trigger();
    frmDownload->btnStart->click();
    EXPECT_EQ(WithoutModelQueries(TakeSentLines()), Lines({"#%00090000=10", ",20", ",30"}));
    EXPECT_EQ(PaneText(), "10\n20\n30");
}

} // namespace
