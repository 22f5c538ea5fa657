// The number boxes of the settings page correct themselves on Enter or when left; the visible
// page prints through the print carrier.
#include "FraFixture.h"

#include "link/UnitGeneral.h"

#include <QFileInfo>

TEST_F(FraTest, SweepBoxesStayWithinHalfTheControlFrequency) {
    OpenWindow();
    ASSERT_EQ(frmFRA->SvkhzText, "16");
    const auto enter = [](fra::FraEdit* box, const QString& text) {
        box->setText(text);
        Type(box, "\r");
        return box->text();
    };
    EXPECT_EQ(enter(frmFRA->edFreqTo, "9000"), "8000");
    EXPECT_EQ(enter(frmFRA->edFreqFrom, "0"), "1");
    frmFRA->edFreqTo->setText("500");
    EXPECT_EQ(enter(frmFRA->edFreqFrom, "600"), "500");
    frmFRA->edFreqFrom->setText("2");
    EXPECT_EQ(enter(frmFRA->edFreqTo, "1"), "2");
    frmFRA->edFreqTo->setText("300");
    frmFRA->edFreqFrom->setText("");
    frmFRA->edFreqFrom->OnExit();
    EXPECT_EQ(frmFRA->edFreqFrom->text(), "1");
    frmFRA->SvkhzText = "x";
    frmFRA->edFreqTo->setText("100");
    Type(frmFRA->edFreqTo, "\r");
    EXPECT_EQ(messages.back().text, "'x' is not a valid integer value");
}

TEST_F(FraTest, DisplayRangeBoxesStayWithinTheAxis) {
    OpenWindow();
    frmFRA->edHCF[0]->setText("500");
    frmFRA->edLCF[0]->setText("0");
    frmFRA->edLCF[0]->OnExit();
    EXPECT_EQ(frmFRA->edLCF[0]->text(), "1");
    frmFRA->edLCF[0]->setText("700");
    Type(frmFRA->edLCF[0], "\r"); // the first buffer's low box checks only when left
    EXPECT_EQ(frmFRA->edLCF[0]->text(), "700");
    frmFRA->edLCF[0]->OnExit();
    EXPECT_EQ(frmFRA->edLCF[0]->text(), "500");
    frmFRA->edHCF[0]->setText("20000");
    Type(frmFRA->edHCF[0], "\r");
    EXPECT_EQ(frmFRA->edHCF[0]->text(), "10000");
    frmFRA->edLCF[0]->setText("5");
    frmFRA->edHCF[0]->setText("abc");
    frmFRA->edHCF[0]->OnExit();
    EXPECT_EQ(frmFRA->edHCF[0]->text(), "5");
    frmFRA->edLCF[1]->setText("");
    Type(frmFRA->edLCF[1], "\r");
    EXPECT_EQ(frmFRA->edLCF[1]->text(), "");
    frmFRA->edHCF[2]->setText("100");
    frmFRA->edLCF[2]->setText("200");
    Type(frmFRA->edLCF[2], "\r");
    EXPECT_EQ(frmFRA->edLCF[2]->text(), "100");
}

namespace {

// The largest stream of a PDF file: the picture of the printed page.
QByteArray LargestStream(const QByteArray& pdf) {
    QByteArray largest;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
        const qsizetype end = pdf.indexOf("endstream", at);
        if (end < 0) break;
        const QByteArray stream = pdf.mid(at + 7, end - at - 7);
        if (stream.size() > largest.size()) largest = stream;
        at = end + 9;
    }
    return largest;
}

} // namespace

TEST_F(FraTest, PrintsEachVisiblePageToPdf) {
    OpenWindow();
    RunSweep(50, 150, 10);
    chosenFile = Path("log.txt");
    WriteFile(chosenFile, "V\r\n1\r\n5\r\n2\r\n7\r\n3\r\n9\r\n");
    ui::SetModalResponder([](ui::Form&) { return int(ui::mrOk); });
    frmFRA->pcAnalyze->setCurrentWidget(frmFRA->tsSpectrum);
    frmFRA->btOpen->click();
    ASSERT_EQ(frmFRA->Spectrum.SampleCount, 6);

    // Each page prints its own picture; printing it twice gives the same picture.
    QByteArray pictures[3];
    QWidget* pages[3] = {frmFRA->tsFreq, frmFRA->tsVector, frmFRA->tsSpectrum};
    for (int k = 0; k < 3; ++k) {
        frmFRA->pcAnalyze->setCurrentWidget(pages[k]);
        printFile = Path(QString("fra%1.pdf").arg(k));
        frmFRA->btPrint->click();
        EXPECT_GT(QFileInfo(printFile).size(), 1000) << k;
        pictures[k] = LargestStream(ReadFile(printFile));
        EXPECT_GT(pictures[k].size(), 1000) << k;
        EXPECT_EQ(frmFRA->pcAnalyze->currentWidget(), pages[k]);
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[1], pictures[2]);
    EXPECT_NE(pictures[0], pictures[2]);
    printFile = Path("again.pdf");
    frmFRA->btPrint->click();
    EXPECT_EQ(LargestStream(ReadFile(printFile)), pictures[2]);
    EXPECT_EQ(mdlGeneral->PrintDialog1->Printer().docName(), "KasoNT FRA");
    EXPECT_TRUE(messages.empty());

    printFile.clear();
    QFile::remove(Path("again.pdf"));
    frmFRA->btPrint->click();
    EXPECT_FALSE(QFileInfo::exists(Path("again.pdf")));
}
