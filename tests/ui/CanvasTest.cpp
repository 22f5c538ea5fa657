// The canvas the plots and cursor bars draw on.
#include "ui/Canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>
#include <vector>

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

namespace {

std::vector<QPoint> Inked(const ui::Canvas& canvas) {
    std::vector<QPoint> pixels;
    for (int y = 0; y < canvas.Size().height(); ++y)
        for (int x = 0; x < canvas.Size().width(); ++x)
            if (canvas.Pixel(x, y) != QColor(Qt::white)) pixels.emplace_back(x, y);
    return pixels;
}

// A line in every direction, shallow and steep: it starts on its first pixel, leaves out its
// end, takes one pixel per step of the longer axis, each within half a pixel of the true line.
TEST(CanvasTest, LinesStartOnTheirFirstPixelInEveryDirection) {
    const QPoint centre(20, 20);
    for (const QPoint offset : {QPoint(11, 3), QPoint(3, 11), QPoint(-11, 3), QPoint(-3, 11),
                                QPoint(11, -3), QPoint(3, -11), QPoint(-11, -3), QPoint(-3, -11),
                                QPoint(7, 7), QPoint(-7, 7), QPoint(0, -9), QPoint(-9, 0)}) {
        ui::Canvas canvas(QSize(41, 41));
        canvas.MoveTo(centre.x(), centre.y());
        const QPoint end = centre + offset;
        canvas.LineTo(end.x(), end.y());
        const std::vector<QPoint> pixels = Inked(canvas);
        EXPECT_EQ(canvas.Pixel(centre.x(), centre.y()), QColor(Qt::black))
            << offset.x() << offset.y();
        EXPECT_EQ(canvas.Pixel(end.x(), end.y()), QColor(Qt::white)) << offset.x() << offset.y();
        EXPECT_EQ(int(pixels.size()), std::max(std::abs(offset.x()), std::abs(offset.y())));
        for (const QPoint p : pixels) {
            const QPoint d = p - centre;
            const double distance =
                std::abs(double(d.x()) * offset.y() - double(d.y()) * offset.x()) /
                std::hypot(offset.x(), offset.y());
            const double along = std::max(std::abs(offset.x()), std::abs(offset.y()));
            EXPECT_LE(distance, 0.5 * std::hypot(offset.x(), offset.y()) / along + 1e-9)
                << offset.x() << "," << offset.y() << " at " << p.x() << "," << p.y();
        }
    }
}

// Lines that leave the image are cut at its edge, thin or thick, in every pen mode.
TEST(CanvasTest, LinesBeyondTheEdgeAreCut) {
    ui::Canvas canvas(QSize(20, 10));
    for (const ui::PenMode mode : {ui::PenMode::Copy, ui::PenMode::Xor, ui::PenMode::NotXor})
        for (const int width : {1, 2}) {
            canvas.Mode = mode;
            canvas.PenWidth = width;
            canvas.MoveTo(-50, 5);
            canvas.LineTo(70, 5);
            canvas.MoveTo(0, 0);
            canvas.LineTo(2000000000, 1000);
            canvas.Polyline({{5, -30}, {6, 40}, {-3, -3}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}});
        }
    canvas.Mode = ui::PenMode::Copy;
    canvas.PenWidth = 1;
    canvas.Clear(Qt::white);
    canvas.MoveTo(-50, 5);
    canvas.LineTo(70, 5);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(canvas.Pixel(x, 5), QColor(Qt::black)) << x;
    // A far end does not move the pixels near the start: the walk is the one from the start.
    ui::Canvas near(QSize(20, 10)), far(QSize(20, 10));
    near.MoveTo(0, 0);
    near.LineTo(30, 3);
    far.MoveTo(0, 0);
    far.LineTo(30000000, 3000000);
    EXPECT_EQ(far.Image(), near.Image());
    // A line that starts outside is set as if walked from its start: the same pixels as the same
    // line drawn wholly inside a wider image.
    const std::pair<QPoint, QPoint> lines[] = {{{-17, 4}, {30, 9}},  {{-17, 4}, {25, 2}},
                                               {{-17, 4}, {12, 30}}, {{3, -25}, {12, 30}},
                                               {{15, 33}, {2, -14}}, {{44, 1}, {-9, 8}}};
    for (const auto& [start, end] : lines) {
        ui::Canvas clipped(QSize(20, 10)), whole(QSize(100, 100));
        clipped.MoveTo(start.x(), start.y());
        clipped.LineTo(end.x(), end.y());
        whole.MoveTo(start.x() + 40, start.y() + 40);
        whole.LineTo(end.x() + 40, end.y() + 40);
        EXPECT_EQ(clipped.Image(), whole.Image().copy(40, 40, 20, 10))
            << start.x() << "," << start.y() << " to " << end.x() << "," << end.y();
    }
}

// A trace drawn as one polyline within one painting draws the same pixels as the same trace
// drawn a segment at a time, for the thin pen set pixel by pixel and the thick one of the plots.
TEST(CanvasTest, APolylineInOnePaintingDrawsTheSameTraceAsItsSegments) {
    std::vector<QPoint> trace;
    for (int x = 2; x < 150; x += 3)
        trace.emplace_back(x, 40 + int(30 * std::sin(x * 0.37)) + (x % 7 == 0 ? 25 : 0));
    for (const int width : {1, 2}) {
        ui::Canvas bySegments(QSize(160, 100));
        bySegments.PenWidth = width;
        bySegments.PenColor = Qt::blue;
        for (size_t i = 1; i < trace.size(); ++i) {
            bySegments.MoveTo(trace[i - 1].x(), trace[i - 1].y());
            bySegments.LineTo(trace[i].x(), trace[i].y());
        }
        ui::Canvas byPolyline(QSize(160, 100));
        {
            const ui::CanvasPainting painting(byPolyline);
            byPolyline.PenWidth = width;
            byPolyline.PenColor = Qt::blue;
            byPolyline.Polyline(trace);
        }
        // A copy taken in the middle of a painting keeps what it saw.
        ui::Canvas copied(QSize(160, 100));
        QImage before;
        {
            const ui::CanvasPainting painting(copied);
            copied.PenWidth = width;
            copied.Rectangle(0, 0, 10, 10);
            before = copied.Image();
            copied.PenColor = Qt::blue;
            copied.Polyline(trace);
            copied.Rectangle(20, 0, 30, 10);
        }
        EXPECT_EQ(before.pixelColor(100, 50), QColor(Qt::white));
        EXPECT_EQ(before.pixelColor(20, 0), QColor(Qt::white));
        EXPECT_EQ(copied.Pixel(20, 0), QColor(Qt::blue));
        for (const QPoint p : Inked(byPolyline))
            if (p.y() >= 10) {
                EXPECT_EQ(copied.Pixel(p.x(), p.y()), QColor(Qt::blue));
            }
        const std::vector<QPoint> segmentPixels = Inked(bySegments);
        const std::vector<QPoint> polylinePixels = Inked(byPolyline);
        if (width == 1) {
            EXPECT_EQ(polylinePixels, segmentPixels);
            EXPECT_EQ(byPolyline.Image(), bySegments.Image());
        } else {
            // A thick polyline joins its segments where separate flat-capped segments overlap or
            // leave a notch: the two differ only at the joins, by a pixel at most.
            const auto near = [](const ui::Canvas& canvas, QPoint p) {
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (canvas.Pixel(p.x() + dx, p.y() + dy) == QColor(Qt::blue)) return true;
                return false;
            };
            for (const QPoint p : segmentPixels)
                EXPECT_TRUE(near(byPolyline, p)) << p.x() << "," << p.y();
            for (const QPoint p : polylinePixels)
                EXPECT_TRUE(near(bySegments, p)) << p.x() << "," << p.y();
            int differing = 0;
            for (const QPoint p : segmentPixels)
                differing += byPolyline.Pixel(p.x(), p.y()) != QColor(Qt::blue);
            EXPECT_LT(differing, int(trace.size()));
        }
        EXPECT_EQ(byPolyline.PenPos(), trace.back());
    }
}

} // namespace

namespace {

// At a resolution of 2 the canvas keeps the design's coordinates and its picture has 2 by 2
// pixels for each of them: a line of one pixel is two thick and leaves out its end, a diagonal
// steps a picture pixel at a time, a bar drawn twice in xor mode undoes itself, and texts keep
// their boxes in the design's pixels while drawn twice as large.
TEST(CanvasTest, AtAHigherResolutionLinesAndTextsKeepTheDesignsPlaces) {
    ui::Canvas canvas(QSize(40, 30), 2);
    EXPECT_EQ(canvas.Size(), QSize(40, 30));
    EXPECT_EQ(canvas.Image().size(), QSize(80, 60));
    const QImage& picture = canvas.Image();
    canvas.PenColor = Qt::red;
    canvas.MoveTo(5, 10);
    canvas.LineTo(15, 10);
    for (const QPoint p : {QPoint(10, 20), QPoint(10, 21), QPoint(29, 21)})
        EXPECT_EQ(picture.pixelColor(p), QColor(Qt::red)) << p.x() << "," << p.y();
    EXPECT_EQ(picture.pixelColor(30, 20), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(10, 22), QColor(Qt::white));
    EXPECT_EQ(canvas.Pixel(14, 10), QColor(Qt::red));
    EXPECT_EQ(canvas.Pixel(15, 10), QColor(Qt::white));

    canvas.MoveTo(0, 0);
    canvas.LineTo(10, 5);
    // Half a design pixel down after a pixel and a half across, not a design pixel's block.
    EXPECT_EQ(picture.pixelColor(1, 0), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(3, 2), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(3, 0), QColor(Qt::white));

    const QImage before = picture.copy();
    canvas.Mode = ui::PenMode::Xor;
    canvas.PenColor = Qt::blue;
    for (int pass = 0; pass < 2; ++pass) {
        canvas.MoveTo(3, 0);
        canvas.LineTo(17, 30);
        if (pass == 0) {
            EXPECT_NE(picture, before);
        }
    }
    EXPECT_EQ(picture, before);

    canvas.Mode = ui::PenMode::Copy;
    canvas.SetPixel(39, 29, Qt::green);
    EXPECT_EQ(picture.pixelColor(79, 59), QColor(Qt::green));
    EXPECT_EQ(picture.pixelColor(78, 58), QColor(Qt::green));
    QFont font;
    font.setPixelSize(10);
    canvas.Font = font;
    canvas.BrushClear = true;
    canvas.TextOut(2, 15, "88");
    ASSERT_EQ(canvas.Texts().size(), 1u);
    EXPECT_EQ(canvas.Texts()[0].box.topLeft(), QPoint(2, 15));
    EXPECT_EQ(canvas.Texts()[0].box.width(), canvas.TextWidth("88"));
    int inked = 0;
    for (int y = 30; y < 60; ++y)
        for (int x = 4; x < 4 + 2 * canvas.TextWidth("88"); ++x)
            inked += picture.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_GT(inked, 40);
}

} // namespace
