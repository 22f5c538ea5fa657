// Measurement files: saving a buffer and loading it back, tables from the editor's upload,
// invalid files and the buffers they leave.
#include "FraFixture.h"

#include "shell/UnitGeneral.h"

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

    for (const QByteArray& bad :
         {QByteArray("A,B,C\r\n1,2,3\r\n"), QByteArray("A,B,C,D\r\n10,1,1,1\r\n0,1,1,1\r\n"),
          QByteArray("A,B,C,D\r\n10001,1,1,1\r\n")}) {
        WriteFile(chosenFile, bad);
        frmFRA->btOpen->click();
        EXPECT_EQ(messages.back().text, "ファイル形式が無効です。");
        EXPECT_EQ(messages.back().caption, "エラー");
        EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
        EXPECT_TRUE(frmFRA->Buffers[0].FileName.isEmpty());
        EXPECT_EQ(frmFRA->edFreqFromBuf[0]->text(), "0");
    }

    // A value that is not a number is the conversion error; the buffer keeps what it had.
    WriteFile(chosenFile, "A,B,C,D\r\n10,1,1,1\r\n");
    frmFRA->btOpen->click();
    ASSERT_EQ(frmFRA->Buffers[0].Count, 1);
    WriteFile(chosenFile, "A,B,C,D\r\n10,x,1,1\r\n");
    frmFRA->btOpen->click();
    EXPECT_EQ(messages.back().text, "'x' is not a valid integer value");
    EXPECT_EQ(frmFRA->Buffers[0].Count, 1);

    chosenFile = Path("missing.csv");
    frmFRA->btOpen->click();
    EXPECT_EQ(messages.back().text, "ファイルが開けませんでした。");
    EXPECT_EQ(frmFRA->Buffers[0].Count, 1);
}

TEST_F(FraTest, EmptyBufferSavesItsHeaderAndAFailedSaveIsReported) {
    OpenWindow();
    chosenFile = Path("empty.csv");
    frmFRA->btSave->click();
    EXPECT_EQ(ReadFile(chosenFile), ",,,\r\n");
    chosenFile = Path("no-such-folder/x.csv");
    frmFRA->btSave->click();
    EXPECT_EQ(messages.back().text, "ファイルが開けませんでした。");
    // Cancelling changes nothing.
    chosenFile.clear();
    frmFRA->btSave->click();
    EXPECT_EQ(frmFRA->Buffers[0].FileName, Path("no-such-folder/x.csv"));
}
