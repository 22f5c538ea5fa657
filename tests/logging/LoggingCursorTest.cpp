// The cursor bars of the third and fourth series' window: the panel, the modes, the readouts in
// the selected channel's unit and colour, the selection and the pixel steps.
#include "LoggingTestSupport.h"

#include "logging/UnitLogging_QWC.h"

namespace {

const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);

class LoggingCursorTest : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        StartOnSeries(2, "QWC50A_C3");
        Launch();
        w = frmLogging_QWC;
        ASSERT_TRUE(w->isVisible());
        // CH1 is "TIME": 10000 counts a division.
        ASSERT_EQ(w->ValueLabels[0]->text(), "10000");
    }
    void ChooseMode(int mode) { w->Cursor_Prm->Item(mode)->click(); }
    TfrmLogging_QWC* w = nullptr;
};

TEST_F(LoggingCursorTest, HorizontalBarsMeasureInTheChannelsUnit) {
    w->btnCursor->click();
    EXPECT_FALSE(w->Cursor_Prm->isHidden());
    EXPECT_FALSE(w->btnCursorSelect->isHidden());
    EXPECT_TRUE(w->Topbar->isHidden());
    ChooseMode(1);
    EXPECT_FALSE(w->Topbar->isHidden());
    EXPECT_FALSE(w->Bottombar->isHidden());
    EXPECT_TRUE(w->Leftbar->isHidden());
    EXPECT_FALSE(w->UpDownCursor->isHidden());
    EXPECT_EQ(w->Topbar->PenColor(), kRed);
    EXPECT_EQ(w->Label4->text(), "20000 [count]");  // 64 pixels
    EXPECT_EQ(w->Label8->text(), "-10000 [count]"); // Bottombar 32 pixels below the zero line
    EXPECT_EQ(ui::TextColor(w->Label4), kRed);

    w->btnCursorSelect->click(); // Bottombar selected
    EXPECT_EQ(w->Bottombar->PenStyle(), Qt::SolidLine);
    EXPECT_EQ(w->Topbar->PenStyle(), Qt::DotLine);
    EXPECT_EQ(w->Label8->text(), "-10000 [count]");
    w->btnCursorSelect->click(); // Topbar again
    EXPECT_EQ(w->Label8->text(), "10000 [count]");

    w->UpDownCursor->Click(logging::UpDown::Button::Next); // Topbar 157
    EXPECT_EQ(w->Topbar->Top(), 157);
    EXPECT_EQ(w->Label4->text(), "20313 [count]"); // 65 pixels: 20312.5
    EXPECT_EQ(w->Label8->text(), "10313 [count]");
    w->Topbar->SetTop(30);
    w->UpDownCursor->Click(logging::UpDown::Button::Next);
    EXPECT_EQ(w->Topbar->Top(), 30);
    w->Bottombar->SetTop(240);
    w->Topbar->SetTop(300); // crossing bars: a negative difference
    w->UpDownCursor->Click(logging::UpDown::Button::Previous);
    EXPECT_EQ(w->Topbar->Top(), 301);
    EXPECT_EQ(w->Label4->text(), "-19063 [count]"); // -61 pixels
}

TEST_F(LoggingCursorTest, LevelIsMeasuredFromTheShiftedTrace) {
    for (int i = 0; i < 3; ++i)
        w->UpDownLogData->Click(logging::UpDown::Button::Next);
    ASSERT_EQ(w->Offset_Value->text(), "3");
    ASSERT_EQ(w->OffsetPixels[0], -9); // the trace's zero line is row 181
    w->btnCursor->click();
    ChooseMode(1);
    EXPECT_EQ(w->Label8->text(), "-12813 [count]"); // Bottombar 41 pixels below: -12812.5
    w->btnCursorSelect->click();
    EXPECT_EQ(w->Label8->text(), "-12813 [count]");
    w->btnCursorSelect->click();
    EXPECT_EQ(w->Label8->text(), "7188 [count]"); // Topbar 23 pixels above: 7187.5
    // A bar on a drawn sample reads that sample's value: 5000 counts of CH1 are 16 pixels up.
    w->Topbar->SetTop(181 - 16 + 1);
    w->UpDownCursor->Click(logging::UpDown::Button::Next);
    EXPECT_EQ(w->Label8->text(), "5000 [count]");
    // Another channel's offset does not move CH1's level.
    w->Ch2_Vertical->click();
    w->UpDownLogData->Click(logging::UpDown::Button::Previous);
    w->Ch1_Vertical->click();
    w->UpDownCursor->Click(logging::UpDown::Button::Next);
    w->UpDownCursor->Click(logging::UpDown::Button::Previous);
    EXPECT_EQ(w->Label8->text(), "5000 [count]");
}

TEST_F(LoggingCursorTest, VerticalBarsMeasureTime) {
    w->trkT->setValue(1); // 100 ms across the plot
    w->btnCursor->click();
    ChooseMode(2);
    EXPECT_FALSE(w->Leftbar->isHidden());
    EXPECT_TRUE(w->Topbar->isHidden());
    EXPECT_FALSE(w->LeftRightCursor->isHidden());
    EXPECT_TRUE(w->Label8->isHidden());
    EXPECT_EQ(w->Label4->text(), "20 [ms]"); // 100 pixels
    w->LeftRightCursor->Click(logging::UpDown::Button::Next);
    EXPECT_EQ(w->Leftbar->Left(), 267);
    EXPECT_EQ(w->Label4->text(), "19.8 [ms]");
    w->btnCursorSelect->click();
    EXPECT_EQ(w->Rightbar->PenStyle(), Qt::SolidLine);
    w->Rightbar->SetLeft(565);
    w->LeftRightCursor->Click(logging::UpDown::Button::Next);
    EXPECT_EQ(w->Rightbar->Left(), 565);
    w->Rightbar->SetLeft(230);
    w->LeftRightCursor->Click(logging::UpDown::Button::Previous);
    EXPECT_EQ(w->Label4->text(), "-7.6 [ms]"); // 229 - 267 = -38 pixels
    // The selection survives turning the cursor off and on.
    ChooseMode(0);
    EXPECT_TRUE(w->Leftbar->isHidden());
    ChooseMode(2);
    EXPECT_EQ(w->Rightbar->PenStyle(), Qt::SolidLine);
}

TEST_F(LoggingCursorTest, ReadoutsFollowTheSelectedChannel) {
    w->CheckBox2->click(); // PACT: 2000 pulses a division
    w->btnCursor->click();
    ChooseMode(1);
    w->Ch2_Vertical->click();
    EXPECT_EQ(w->Topbar->PenColor(), kLime);
    EXPECT_EQ(w->Label4->text(), "4000 [ﾊﾟﾙｽ]");
    EXPECT_EQ(ui::TextColor(w->Label8), kLime);
    w->CheckBox2->click(); // CH2 no longer shown: the button refuses
    w->btnCursor->click();
    EXPECT_TRUE(HasMessage("表示チャンネル(CH2)が選択されていません。\n"));
    EXPECT_FALSE(w->Cursor_Prm->isHidden());
    w->Ch1_Vertical->click();
    w->btnCursor->click(); // hides the panel; bars stay
    EXPECT_TRUE(w->Cursor_Prm->isHidden());
    EXPECT_FALSE(w->Topbar->isHidden());
}

TEST_F(LoggingCursorTest, CursorButtonIsIgnoredDuringARun) {
    w->btnRun->setText("STOP");
    w->btnCursorClick();
    EXPECT_TRUE(w->Cursor_Prm->isHidden());
    w->btnRun->setText("RUN");
}

} // namespace
