// Measurement files: saving a buffer and loading it back, tables from the editor's upload,
// invalid files and the buffers they leave.
#include "FraFixture.h"

#include "link/UnitGeneral.h"
#include "ui/Codec.h"

TEST_F(FraTest, SavedBufferLoadsBackIntoAnotherBuffer) {
    OpenWindow();
    RunSweep(20, 60, 10);
    chosenFile = Path("sweep.csv");
    frmFRA->btSave->click();
    EXPECT_EQ(dialogTitle, "解析データを保存");
    EXPECT_EQ(mdlGeneral->SaveDialog1->Filter, "CSVファイル(*.csv)|*.CSV");
    EXPECT_NE(mdlGeneral->SaveDialog1->Title, "解析データを保存"); // the title is given back
    EXPECT_EQ(frmFRA->edFileNameBuf[0]->text(), "sweep.csv");
    const QByteArray text = ReadFile(chosenFile);
    const TFraPoint& first = frmFRA->Buffers[0].Points[0];
    EXPECT_TRUE(text.startsWith("SGF,SGA,RMAX,JMAX\r\n20,1024," + QByteArray::number(first.Value3) +
                                "," + QByteArray::number(first.Value4) + "\r\n"));
    EXPECT_EQ(text.count("\r\n"), 6);

    frmFRA->rbActiveBuf[2]->click();
    frmFRA->btOpen->click();
    const TFraBuffer& loaded = frmFRA->Buffers[2];
    ASSERT_EQ(loaded.Count, 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(loaded.Points[i].Freq, frmFRA->Buffers[0].Points[i].Freq);
        EXPECT_EQ(loaded.Points[i].Value4, frmFRA->Buffers[0].Points[i].Value4);
    }
    EXPECT_EQ(loaded.ColumnNames[3], "JMAX");
    EXPECT_EQ(loaded.FileName, chosenFile);
    EXPECT_EQ(frmFRA->edFreqFromBuf[2]->text(), "20");
    EXPECT_EQ(frmFRA->edFreqToBuf[2]->text(), "60");
    EXPECT_EQ(frmFRA->edFreqStepBuf[2]->text(), "10");
    EXPECT_EQ(frmFRA->edHCF[2]->text(), "60");
    EXPECT_EQ(frmFRA->edFileNameBuf[2]->text(), "sweep.csv");
    frmFRA->cbBuf[0]->click(); // buffer 1 hides buffer 3, which holds the same points
    EXPECT_GT(CountColour(Bode(), QColor(0, 255, 0)), 20); // buffer 3 drawn in lime

    // Loading over a full buffer asks first; No keeps it.
    answer = ui::MsgResult::No;
    chosenFile.clear();
    frmFRA->btOpen->click();
    EXPECT_TRUE(HasMessage("バッファ3の内容が更新されますがよろしいですか？"));
    EXPECT_EQ(messages.back().icon, ui::MsgIcon::Information);
    EXPECT_EQ(frmFRA->Buffers[2].Count, 5);

    // Yes loads the other file: the plot shows its points, as many as before, and the first
    // file's again when it is loaded back.
    const QImage sweepPlot = Bode().copy();
    answer = ui::MsgResult::Yes;
    chosenFile = Path("other.csv");
    WriteFile(chosenFile, "SGF,SGA,RMAX,JMAX\r\n20,1024,50,-900\r\n30,1024,40,-800\r\n"
                          "40,1024,30,-700\r\n50,1024,20,-600\r\n60,1024,10,-500\r\n");
    frmFRA->btOpen->click();
    ASSERT_EQ(frmFRA->Buffers[2].Count, 5);
    EXPECT_NE(Bode(), sweepPlot);
    chosenFile = Path("sweep.csv");
    frmFRA->btOpen->click();
    EXPECT_EQ(Bode(), sweepPlot);
}

TEST_F(FraTest, UploadTablesAndInvalidFiles) {
    OpenWindow();
    chosenFile = Path("upload.txt");
    WriteFile(chosenFile, "LTIME=1     SGF         SGA         AMAX        ADEG\r\n"
                          "#%0010C000  10          500         400         -30\r\n"
                          "#%0010C010  20          500         300         -60\r\n"
                          "#%0010C020  40          500         200         -90\r\n");
    frmFRA->btOpen->click();
    const TFraBuffer& buffer = frmFRA->Buffers[0];
    ASSERT_EQ(buffer.Count, 3);
    EXPECT_EQ(buffer.ColumnNames[2], "AMAX");
    EXPECT_EQ(buffer.Points[2].Value4, -90);
    EXPECT_EQ(frmFRA->edFreqStepBuf[0]->text(), "20");
    EXPECT_EQ(frmFRA->edFileNameBuf[0]->text(), "upload.txt");

    // A corrupt file is refused and leaves the buffer and its file name as they were; no
    // conversion text reaches the user.
    QByteArray utf16;
    for (const char ch : QByteArray("SGF,SGA,RMAX,JMAX\r\n10,1,1,1\r\n"))
        utf16 += QByteArray(1, ch) + '\0';
    const QByteArray corrupt[] = {
        "A,B,C\r\n1,2,3\r\n",                         // three value columns
        "A,B,C,D\r\n10,1,1,1\r\n0,1,1,1\r\n",         // a frequency of 0
        "A,B,C,D\r\n-20,1,1,1\r\n",                   // a negative frequency
        "A,B,C,D\r\n10,x,1,1\r\n",                    // a cell that is no number
        "A,B,C,D\r\n10,1,1,1\r\n20,1,1\r\n",          // a short row
        "A,B,C,D\r\n10,1,1,99999999999999999999\r\n", // 20 digits
        "A,B,C,D\r\n10,1,1,-2147483649\r\n",          // below the int range
        QByteArray("\x01\x02\x00 \x7f\x03,\x04,\x05\x06,\x07\x08\x09\x10", 16), // binary junk
        utf16,
        // More cells in a row than the loader keeps: a sixth would overwrite a point's frequency,
        // a fifth would be dropped, a line ending in a comma joins the next point to it.
        "A,B,C,D\r\n10,1,2,3,4,77\r\n", "A,B,C,D\r\n10,1,2,3,4\r\n",
        "A,B,C,D\r\n10,1,2,3,\r\n20,4,5,6\r\n", "A,B,C,D,E,F\r\n10,1,2,3\r\n",
        "A,B,C,D,E\r\n10,1,2,3\r\n", "LTIME=1 A B C D E\r\nx 10 1 2 3\r\n",
        "A,B,C,D\r\n10,1,2," + QByteArray(70, '0') + "5\r\n"}; // a value cut to its cell
    const QString loadedName = chosenFile;
    for (const QByteArray& bad : corrupt) {
        messages.clear();
        WriteFile(chosenFile = Path("bad.csv"), bad);
        frmFRA->btOpen->click();
        ASSERT_EQ(messages.size(), 2u) << bad.toHex().toStdString(); // the question, the refusal
        EXPECT_EQ(messages.back().text, "ファイル形式が無効です。");
        EXPECT_EQ(messages.back().caption, "エラー");
        EXPECT_EQ(frmFRA->Buffers[0].Count, 3);
        EXPECT_EQ(frmFRA->Buffers[0].Points[2].Value4, -90);
        EXPECT_EQ(frmFRA->Buffers[0].FileName, loadedName);
        EXPECT_EQ(frmFRA->Buffers[0].ColumnNames[2], "AMAX");
        EXPECT_EQ(frmFRA->edFreqFromBuf[0]->text(), "10");
        EXPECT_EQ(frmFRA->edFileNameBuf[0]->text(), "upload.txt");
    }

    chosenFile = Path("missing.csv");
    frmFRA->btOpen->click();
    EXPECT_EQ(messages.back().text, "ファイルが開けませんでした。");
    EXPECT_EQ(frmFRA->Buffers[0].Count, 3);
    EXPECT_EQ(frmFRA->Buffers[0].FileName, loadedName);
}

// A column name longer than a cell loads cut to the cell, and the user is told. The names go
// into a saved file exactly as they stand: one that the file cannot hold as a cell (no CP932
// code) refuses the save by name, as does an empty last name, which would join the header to
// the first point; no file is made.
TEST_F(FraTest, ColumnNamesAreCutWithAWordAndSavedExactlyOrRefused) {
    OpenWindow();
    const QByteArray longName = ui::cp932::Encode(QString::fromUtf8("ｱ")) + QByteArray(70, 'N');
    chosenFile = Path("long.csv");
    WriteFile(chosenFile, "SGF,SGA," + ui::cp932::Encode(QString::fromUtf8("ｹﾞｲﾝ")) + "," +
                              longName + "\r\n10,1,2,3\r\n");
    frmFRA->btOpen->click();
    const TFraBuffer& buffer = frmFRA->Buffers[0];
    ASSERT_EQ(buffer.Count, 1);
    const QString kept = ui::cp932::Decode(longName.left(63));
    EXPECT_EQ(buffer.ColumnNames[3], kept);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "列名が63ﾊﾞｲﾄを超えるため、先頭の63ﾊﾞｲﾄだけを読み込みました。\n" + kept);
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Information);

    messages.clear();
    chosenFile = Path("names.csv");
    frmFRA->btSave->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadFile(chosenFile), "SGF,SGA," + ui::cp932::Encode(QString::fromUtf8("ｹﾞｲﾝ")) +
                                        "," + longName.left(63) + "\r\n10,1,2,3\r\n");

    frmFRA->Buffers[0].ColumnNames[2] = QString::fromUtf8("A😀");
    const QByteArray saved = ReadFile(chosenFile);
    frmFRA->btSave->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QString::fromUtf8("列名 A😀 に保存できない文字「😀」があります。\n"
                                                  "入力内容を確認してください。"));
    EXPECT_EQ(ReadFile(chosenFile), saved);

    messages.clear();
    chosenFile = Path("short.csv");
    WriteFile(chosenFile, "A,B,C\r\n10,1,2,3\r\n");
    answer = ui::MsgResult::Yes;
    frmFRA->btOpen->click();
    ASSERT_EQ(frmFRA->Buffers[0].Count, 1);
    EXPECT_EQ(frmFRA->Buffers[0].ColumnNames[3], "");
    messages.clear();
    chosenFile = Path("joined.csv");
    frmFRA->btSave->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "4列目の列名が空のため、保存できません。");
    EXPECT_FALSE(QFile::exists(chosenFile));
}

// A byte 0xFF ends the reading: the points before it load, and the user is told from which line
// the rest was not read.
TEST_F(FraTest, AFileCutByAnEndMarkSaysWhereTheReadingEnded) {
    OpenWindow();
    chosenFile = Path("cut.csv");
    WriteFile(chosenFile, "A,B,C,D\r\n10,1,2,3\r\n20,4,5,6\r\n\xFF"
                          "30,7,8,9\r\n");
    frmFRA->btOpen->click();
    EXPECT_EQ(frmFRA->Buffers[0].Count, 2);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ﾊﾞｲﾄ 0xFF をﾌｧｲﾙの終わりとして読み込みを終えたため、4行目の0xFF"
                                "から後を読み込みませんでした。");
    // A mark with nothing after it is only the end of the file.
    messages.clear();
    answer = ui::MsgResult::Yes;
    WriteFile(chosenFile, "A,B,C,D\r\n10,1,2,3\r\n\xFF\r\n");
    frmFRA->btOpen->click();
    EXPECT_EQ(frmFRA->Buffers[0].Count, 1);
    ASSERT_EQ(messages.size(), 1u); // the question before the load
}

TEST_F(FraTest, SweepsAboveTenKilohertzAndEmptyBuffersLoadBack) {
    driver->axis('X').setControlFrequency("32"); // sweeps up to 16000 Hz
    OpenWindow();
    frmFRA->cbDecMaxEnable->SetChecked(false);
    RunSweep(12000, 12040, 10);
    ASSERT_EQ(frmFRA->Buffers[0].Count, 5);
    chosenFile = Path("fast.csv");
    frmFRA->btSave->click();
    frmFRA->rbActiveBuf[1]->click();
    frmFRA->btOpen->click();
    EXPECT_TRUE(messages.empty());
    const TFraBuffer& loaded = frmFRA->Buffers[1];
    ASSERT_EQ(loaded.Count, 5);
    for (int i = 0; i < 5; ++i) {
        const TFraPoint& a = frmFRA->Buffers[0].Points[i];
        const TFraPoint& b = loaded.Points[i];
        EXPECT_EQ(std::tie(a.Freq, a.InjectedAmp, a.Value3, a.Value4),
                  std::tie(b.Freq, b.InjectedAmp, b.Value3, b.Value4));
    }
    EXPECT_EQ(frmFRA->edFreqToBuf[1]->text(), "12040");

    // An empty buffer's file (a header of three commas) loads back as an empty buffer.
    frmFRA->rbActiveBuf[2]->click();
    chosenFile = Path("empty.csv");
    frmFRA->btSave->click();
    frmFRA->rbActiveBuf[1]->click();
    frmFRA->btOpen->click();
    EXPECT_FALSE(HasMessage("ファイル形式が無効です。"));
    EXPECT_EQ(frmFRA->Buffers[1].Count, 0);
    EXPECT_EQ(frmFRA->Buffers[1].FileName, chosenFile);
}

TEST_F(FraTest, EmptyBufferSavesItsHeaderAndAFailedSaveIsReported) {
    OpenWindow();
    chosenFile = Path("empty.csv");
    frmFRA->btSave->click();
    EXPECT_EQ(ReadFile(chosenFile), ",,,\r\n");
    chosenFile = Path("no-such-folder/x.csv");
    frmFRA->btSave->click();
    // The message names the file and the reason.
    const QStringList lines = messages.back().text.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "ファイルが開けませんでした。");
    EXPECT_EQ(lines[1], chosenFile);
    EXPECT_FALSE(lines[2].isEmpty());
    EXPECT_EQ(messages.back().caption, "エラー");
    // Cancelling changes nothing.
    chosenFile.clear();
    frmFRA->btSave->click();
    EXPECT_EQ(frmFRA->Buffers[0].FileName, Path("no-such-folder/x.csv"));
}
