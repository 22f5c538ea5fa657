// The Bode and vector plots: where the plant's response lands on the canvas, the readouts of
// the cursor and the markers.
#include "FraFixture.h"

#include <QTest>

namespace {

// The Bode plot's pixel for a frequency, its gain and its phase with the plot divided.
int BodeX(double hz) {
    return int(std::log10(hz) * 145 + 50);
}
int GainY(double db) {
    return int(30 + 27 - db * 27 * 0.05);
}
int PhaseY(int degrees) {
    return 55 + 30 + 110 - (27 * degrees) / 90;
}

} // namespace

TEST_F(FraTest, BodePlotShowsTheResonanceOfThePlant) {
    OpenWindow();
    const QImage before = Bode();
    RunSweep(50, 200, 10);
    EXPECT_NE(Bode(), before);
    // At the natural frequency the plant's gain is 0 dB (damping 0.5) and its phase -90 deg.
    EXPECT_TRUE(ColourNear(Bode(), BodeX(100), GainY(0.0), kBlue));
    EXPECT_TRUE(ColourNear(Bode(), BodeX(100), PhaseY(-90), kAqua));
    EXPECT_FALSE(ColourNear(Bode(), BodeX(100), GainY(-20.0), kBlue));
    // At 200 Hz: |G| = 1/sqrt(9 + 4) = -11.1 dB.
    EXPECT_TRUE(ColourNear(Bode(), BodeX(200), GainY(-11.14), kBlue));
    // Nothing is drawn beyond the sweep.
    for (int y = 30; y < 250; ++y)
        EXPECT_NE(Bode().pixelColor(BodeX(400), y), kBlue);

    // The open loop G/(1 - G) is far above the closed loop at low frequencies.
    frmFRA->cbOL[0]->click();
    EXPECT_FALSE(ColourNear(Bode(), BodeX(100), GainY(0.0), kBlue, 1));

    // A display range narrows the curve.
    frmFRA->cbOL[0]->click();
    frmFRA->edLCF[0]->setText("120");
    frmFRA->DrawActivePage();
    EXPECT_FALSE(ColourNear(Bode(), BodeX(100), GainY(0.0), kBlue, 1));
    frmFRA->edLCF[0]->setText("");
    frmFRA->DrawActivePage();
    EXPECT_EQ(frmFRA->edLCF[0]->text(), "50");
}

TEST_F(FraTest, BodeReadoutsAndMarkers) {
    OpenWindow();
    QTest::mouseMove(frmFRA->AnGraph, QPoint(340, 57));
    frmFRA->AnGraphMouseMove(340, 57);
    EXPECT_EQ(frmFRA->edCurFreq->text(), " 100.00");
    EXPECT_EQ(frmFRA->edCurGain->text(), " 0.36");
    EXPECT_EQ(frmFRA->edCurPhase->text(), " 451.64");
    QTest::mouseClick(frmFRA->AnGraph, Qt::LeftButton, {}, QPoint(5, 3));
    EXPECT_EQ(frmFRA->BodeMarker1, QPoint(50, 30)); // held on the plot's edge
    EXPECT_EQ(frmFRA->edM1Freq->text(), " 1.00");
    EXPECT_EQ(frmFRA->edM1Gain->text(), " 20.00");
    const QColor purple(128, 0, 128);
    EXPECT_EQ(Bode().pixelColor(50, 100), purple);
    QTest::mouseClick(frmFRA->AnGraph, Qt::RightButton, {}, QPoint(195, 140));
    EXPECT_EQ(frmFRA->edM2Freq->text(), " 10.00");
    EXPECT_EQ(frmFRA->edM2Phase->text(), " 180.00");
    QTest::mouseClick(frmFRA->AnGraph, Qt::MiddleButton, {}, QPoint(100, 100));
    EXPECT_EQ(frmFRA->edM1Freq->text(), "");
    EXPECT_EQ(frmFRA->edM2Phase->text(), "");
    EXPECT_EQ(CountColour(Bode(), purple), 0);

    frmFRA->cbDevide->click();
    frmFRA->AnGraphMouseMove(50, 30);
    EXPECT_EQ(frmFRA->edCurPhase->text(), " 180.00");
    frmFRA->AnGraphMouseMove(50, 250);
    EXPECT_EQ(frmFRA->edCurGain->text(), " -60.00");
    EXPECT_EQ(frmFRA->edCurPhase->text(), " -180.00");
}

TEST_F(FraTest, VectorLocusAndItsScale) {
    OpenWindow();
    frmFRA->pcAnalyze->setCurrentWidget(frmFRA->tsVector);
    RunSweep(100, 100, 10);
    ASSERT_EQ(frmFRA->Buffers[0].Count, 1);
    // Ratio 1 at -90 deg: on the inner circle, straight below the centre.
    frmFRA->RunFlag = 0;
    RunSweep(90, 110, 10, 0);
    EXPECT_TRUE(ColourNear(Vector(), 190, 190 + 75, kBlue, 3));
    frmFRA->rb_x0R2->click();
    EXPECT_TRUE(ColourNear(Vector(), 190, 190 + 15, kBlue, 3));
    EXPECT_FALSE(ColourNear(Vector(), 190, 190 + 75, kBlue, 3));

    frmFRA->AnVectorMouseMove(190 + 75, 190);
    EXPECT_EQ(frmFRA->edCurRe->text(), " 5.00");
    EXPECT_EQ(frmFRA->edCurIm->text(), " 0.00");
    frmFRA->rb_x1->click();
    frmFRA->AnVectorMouseMove(190, 190 - 75);
    EXPECT_EQ(frmFRA->edCurRe->text(), " 1.00");
    EXPECT_EQ(frmFRA->edCurIm->text(), " 90.00");
    frmFRA->AnVectorMouseMove(0, 0);
    frmFRA->AnVectorMouseUp(Qt::LeftButton);
    EXPECT_EQ(frmFRA->VectorMarker1, QPoint(40, 40)); // on the square's corner
    EXPECT_EQ(frmFRA->edM1Re->text(), QString::asprintf(" %.2f", std::sqrt(2.0) * 2));
    EXPECT_EQ(frmFRA->edM1Im->text(), " 135.00");
    frmFRA->AnVectorMouseUp(Qt::MiddleButton);
    EXPECT_EQ(frmFRA->edM1Re->text(), "");
    EXPECT_EQ(frmFRA->VectorMarker1, QPoint(-1, -1));
}
