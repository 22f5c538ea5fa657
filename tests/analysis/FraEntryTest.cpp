// The number boxes of the settings page correct themselves on Enter or when left; the visible
// page prints through the print carrier.
#include "FraFixture.h"

#include "shell/UnitGeneral.h"

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

TEST_F(FraTest, PrintsTheVisiblePageToPdf) {
    OpenWindow();
    RunSweep(50, 150, 10);
    printFile = Path("fra.pdf");
    frmFRA->btPrint->click();
    EXPECT_GT(QFileInfo(printFile).size(), 1000);
    EXPECT_EQ(mdlGeneral->PrintDialog1->Printer().docName(), "KasoNT FRA");
    EXPECT_TRUE(messages.empty());
    printFile.clear();
    QFile::remove(Path("fra.pdf"));
    frmFRA->btPrint->click();
    EXPECT_FALSE(QFileInfo::exists(Path("fra.pdf")));
}
