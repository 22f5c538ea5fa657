// The canvas the plots and cursor bars draw on.
#include "ui/Canvas.h"

#include <gtest/gtest.h>

namespace {

TEST(CanvasTest, LinesLeaveOutTheirEndPointAndXorBarsUndoThemselves) {
    ui::Canvas canvas(QSize(40, 30));
    canvas.PenColor = Qt::red;
    canvas.MoveTo(5, 10);
    canvas.LineTo(15, 10);
    EXPECT_EQ(canvas.Pixel(5, 10), QColor(Qt::red));
    EXPECT_EQ(canvas.Pixel(14, 10), QColor(Qt::red));
    EXPECT_EQ(canvas.Pixel(15, 10), QColor(Qt::white));
    EXPECT_EQ(canvas.PenPos(), QPoint(15, 10));

    // A cursor bar drawn twice in xor mode leaves the picture as it was.
    canvas.Mode = ui::PenMode::NotXor;
    canvas.PenColor = Qt::black;
    for (int pass = 0; pass < 2; ++pass) {
        canvas.MoveTo(10, 0);
        canvas.LineTo(10, 30);
        if (pass == 0) {
            EXPECT_NE(canvas.Pixel(10, 5), QColor(Qt::white));
        }
    }
    EXPECT_EQ(canvas.Pixel(10, 5), QColor(Qt::white));
    EXPECT_EQ(canvas.Pixel(10, 10), QColor(Qt::red));
}

TEST(CanvasTest, RectanglesAndText) {
    ui::Canvas canvas(QSize(60, 40));
    canvas.BrushColor = Qt::yellow;
    canvas.PenColor = Qt::blue;
    canvas.Rectangle(10, 10, 20, 20);
    EXPECT_EQ(canvas.Pixel(10, 10), QColor(Qt::blue));
    EXPECT_EQ(canvas.Pixel(15, 15), QColor(Qt::yellow));
    EXPECT_EQ(canvas.Pixel(20, 20), QColor(Qt::white));
    canvas.BrushClear = true;
    canvas.FontColor = Qt::black;
    canvas.TextOut(0, 0, "W");
    EXPECT_GT(canvas.TextWidth("WW"), canvas.TextWidth("W"));
    bool inked = false;
    for (int y = 0; y < canvas.TextHeight("W"); ++y)
        for (int x = 0; x < canvas.TextWidth("W"); ++x)
            inked = inked || canvas.Pixel(x, y).lightness() < 128;
    EXPECT_TRUE(inked);
}

} // namespace
