// Points that hold the extremes of their 32-bit words, as a file may bring them: the plots and
// the gain and phase computations stay defined (the sanitizer pass checks the arithmetic).
#include "FraFixture.h"

#include <climits>

TEST(FraResponse, ExtremeWordsStayDefined) {
    const TFraPoint extremes[] = {{10, INT_MIN, INT_MAX, INT_MIN},
                                  {10, INT_MAX, INT_MIN, INT_MAX},
                                  {INT_MAX, 0, INT_MIN, INT_MIN},
                                  // phase words at the ends of the range, turned further by
                                  // the open loop's angle
                                  {10, 1, 1, INT_MIN},
                                  {10, -1, 1, INT_MIN},
                                  {10, 1, -1, INT_MAX},
                                  {10, -1, -1, INT_MAX},
                                  {10, 2, 1, INT_MIN},
                                  {10, 2, 1, INT_MAX}};
    for (const TFraPoint& p : extremes)
        for (const bool complexData : {false, true})
            for (const bool openLoop : {false, true}) {
                EXPECT_GE(fra::BodeGainRatio(p, complexData, openLoop), 0.0);
                const int phase = fra::RollOverPhase(fra::BodePhase(p, complexData, openLoop));
                EXPECT_GE(phase, -180);
                EXPECT_LE(phase, 180);
                EXPECT_FALSE(std::isnan(fra::VectorPoint(p, complexData, openLoop).ratio));
            }
    EXPECT_EQ(fra::RollOverPhase(INT_MAX), 127);
    EXPECT_EQ(fra::RollOverPhase(INT_MIN), -128);
    EXPECT_EQ(fra::RollOverPhase(190), -170);
    EXPECT_EQ(fra::RollOverPhase(-190), 170);
}

TEST_F(FraTest, AFileOfExtremeWordsLoadsAndDraws) {
    OpenWindow();
    chosenFile = Path("extreme.csv");
    WriteFile(chosenFile, "SGF,SGA,AMAX,ADEG\r\n"
                          "10,-2147483648,2147483647,-2147483648\r\n"
                          "100,2147483647,-2147483648,2147483647\r\n"
                          "2147483647,0,-2147483648,-2147483648\r\n");
    frmFRA->btOpen->click();
    ASSERT_EQ(frmFRA->Buffers[0].Count, 3);
    EXPECT_EQ(frmFRA->edFreqToBuf[0]->text(), "2147483647");
    EXPECT_GT(CountColour(Bode(), kBlue), 0);
    frmFRA->cbPhaseRO->click(); // each click redraws the page
    frmFRA->cbOL[0]->click();
    EXPECT_GT(CountColour(Bode(), kBlue), 0);
    frmFRA->pcAnalyze->setCurrentWidget(frmFRA->tsVector);
    frmFRA->cb2OL[0]->click();
    frmFRA->cb2OL[0]->click();
    EXPECT_TRUE(messages.empty());
}
