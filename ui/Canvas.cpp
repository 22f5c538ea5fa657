#include "Canvas.h"

#include "Guard.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace ui {
namespace {

constexpr int kDesignDotsPerMeter = 3780; // 96 dpi

// A painter on the picture works in the design's pixels whatever its resolution (its device
// pixel ratio), and fonts take the pixels they have at 96 dpi.
QImage DesignImage(QSize size, int resolution) {
    QImage image(resolution * size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDotsPerMeterX(kDesignDotsPerMeter);
    image.setDotsPerMeterY(kDesignDotsPerMeter);
    image.setDevicePixelRatio(resolution);
    image.fill(Qt::white);
    return image;
}

} // namespace

Canvas::Canvas(QSize size, int resolution)
    : resolution_(std::max(1, resolution)), image_(DesignImage(size, resolution_)) {}

void Canvas::Resize(QSize size) {
    Resize(size, resolution_);
}

void Canvas::Resize(QSize size, int resolution) {
    resolution_ = std::max(1, resolution);
    image_ = DesignImage(size, resolution_);
    texts_.clear();
}

void Canvas::Clear(const QColor& color) {
    texts_.clear();
    if (painting_) {
        painting_->setCompositionMode(QPainter::CompositionMode_Source);
        painting_->fillRect(QRect(QPoint(0, 0), Size()), color);
    } else {
        image_.fill(color);
    }
}

void Canvas::Paint(const std::function<void(QPainter&)>& draw) {
    if (painting_) {
        draw(*painting_);
        return;
    }
    QPainter painter(&image_);
    draw(painter);
}

void Canvas::Configure(QPainter& painter) const {
    QPen pen(PenColor, PenWidth, PenStyle);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    switch (Mode) {
    case PenMode::Xor:
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case PenMode::NotXor:
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        break;
    case PenMode::Copy:
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
}

void Canvas::MoveTo(int x, int y) {
    penPos_ = QPoint(x, y);
}

void Canvas::LineTo(int x, int y) {
    const QPoint end(x, y);
    if (end != penPos_) {
        if (PlotsPixels()) {
            PlotSegment(TakePixels(), penPos_, end);
        } else {
            Paint([&](QPainter& painter) {
                Configure(painter);
                painter.drawLine(penPos_, end);
            });
        }
    }
    penPos_ = end;
}

void Canvas::Polyline(const std::vector<QPoint>& points) {
    if (points.empty()) return;
    if (PlotsPixels()) {
        const PixelPen pen = TakePixels();
        for (size_t i = 1; i < points.size(); ++i)
            if (points[i] != points[i - 1]) PlotSegment(pen, points[i - 1], points[i]);
    } else if (points.size() > 1) {
        Paint([&](QPainter& painter) {
            Configure(painter);
            painter.drawPolyline(points.data(), static_cast<int>(points.size()));
        });
    }
    penPos_ = points.back();
}

Canvas::PixelPen Canvas::TakePixels() {
    // Once a line or trace, not once a segment. (A copy taken while a painter is open is a deep
    // copy, so this never takes the pixels away from an open painting.)
    return {reinterpret_cast<QRgb*>(image_.bits()), image_.bytesPerLine() / qsizetype(sizeof(QRgb)),
            image_.width(), image_.height(), PenColor.rgb()};
}

void Canvas::PlotSegment(const PixelPen& pen, QPoint from, QPoint to) {
    // In the picture's pixels: the walk steps as finely as the picture, and each of its steps is
    // as thick as a pixel of the design.
    const qint64 r = resolution_;
    PlotThinSegment(pen, r * from.x(), r * from.y(), r * to.x(), r * to.y());
    if (PenWidth == 2) {
        const bool steep =
            std::abs(qint64(to.y()) - from.y()) > std::abs(qint64(to.x()) - from.x());
        const qint64 bx = steep ? -r : 0;
        const qint64 by = steep ? 0 : -r;
        PlotThinSegment(pen, r * from.x() + bx, r * from.y() + by, r * to.x() + bx,
                        r * to.y() + by);
    }
}

namespace {

// The smallest integer not below n / d, for d > 0.
__int128 CeilDiv(__int128 n, __int128 d) {
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}

// The steps of a walk that lie inside the image: from the first of them, a pixel's row or column
// at each step along the longer axis, and across it `thickness` pixels from b, cut at the
// image's edge.
struct WalkSteps {
    long long count;
    long long start;     // the first step's row or column, as an offset into the pixels
    long long stepAlong; // from one step's row or column to the next's
    long long strideAcross;
    long long b;
    int sb;
    long long thickness;
    long long acrossExtent;
    long long error;                   // Bresenham's decision at the first step
    long long errorAlong, errorAcross; // 2 da and 2 db
};

template <typename Put> void Walk(QRgb* pixels, const WalkSteps& w, Put put) {
    long long b = w.b;
    long long error = w.error;
    if (w.thickness == 1) {
        // One pixel a step, followed as an offset into the pixels.
        const long long stepAcross = w.sb * w.strideAcross;
        long long at = w.start + b * w.strideAcross;
        for (long long k = 0; k < w.count; ++k) {
            if (b >= 0 && b < w.acrossExtent) put(pixels[at]);
            if (error > 0) {
                b += w.sb;
                at += stepAcross;
                error -= w.errorAlong;
            }
            error += w.errorAcross;
            at += w.stepAlong;
        }
        return;
    }
    long long at = w.start;
    for (long long k = 0; k < w.count; ++k) {
        const long long from = std::max(b, 0LL);
        const long long to = std::min(b + w.thickness, w.acrossExtent);
        for (long long across = from; across < to; ++across)
            put(pixels[at + across * w.strideAcross]);
        if (error > 0) {
            b += w.sb;
            error -= w.errorAlong;
        }
        error += w.errorAcross;
        at += w.stepAlong;
    }
}

} // namespace

// Bresenham's walk from `from` up to the pixel before `to`: one pixel per step along the longer
// axis, each the nearest to the ideal line. Steps whose longer-axis coordinate lies outside the
// image are not walked: the walk starts at the first step inside, where its closed form (after k
// steps it has made ceil((2 db k - da) / 2 da) steps along the shorter axis) puts it.
void Canvas::PlotThinSegment(const PixelPen& pen, long long x0, long long y0, long long x1,
                             long long y1) {
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    const long long a0 = steep ? y0 : x0;
    const long long b0 = steep ? x0 : y0;
    const long long a1 = steep ? y1 : x1;
    const long long b1 = steep ? x1 : y1;
    const long long da = std::abs(a1 - a0);
    const long long db = std::abs(b1 - b0);
    const int sa = a0 < a1 ? 1 : -1;
    const int sb = b0 < b1 ? 1 : -1;
    const long long extent = steep ? pen.height : pen.width;
    long long first = 0;
    long long last = da; // exclusive: the end point is left out
    if (sa > 0) {
        first = std::max(first, -a0);
        last = std::min(last, extent - a0);
    } else {
        first = std::max(first, a0 - (extent - 1));
        last = std::min(last, a0 + 1);
    }
    if (first >= last) return;
    // In 128 bits: with ends far outside, 2 db k overflows 64. From the start (k = 0) no step
    // has been made.
    __int128 minorSteps = 0;
    long long error = 2 * db - da;
    if (first > 0) {
        minorSteps = CeilDiv(__int128(2) * db * first - da, __int128(2) * da);
        const __int128 walked = __int128(2) * db * first - 2 * da * minorSteps;
        error += static_cast<long long>(walked);
    }
    const long long strideAlong = steep ? pen.stride : 1;
    const WalkSteps steps{.count = last - first,
                          .start = (a0 + sa * first) * strideAlong,
                          .stepAlong = sa * strideAlong,
                          .strideAcross = steep ? 1 : pen.stride,
                          .b = static_cast<long long>(b0 + sb * minorSteps),
                          .sb = sb,
                          .thickness = resolution_,
                          .acrossExtent = steep ? pen.width : pen.height,
                          .error = error,
                          .errorAlong = 2 * da,
                          .errorAcross = 2 * db};
    const QRgb colour = pen.colour;
    switch (Mode) {
    case PenMode::Copy:
        Walk(pen.pixels, steps, [colour](QRgb& pixel) { pixel = colour; });
        break;
    case PenMode::Xor:
        Walk(pen.pixels, steps,
             [colour](QRgb& pixel) { pixel = 0xff000000u | ((pixel ^ colour) & 0x00ffffffu); });
        break;
    case PenMode::NotXor:
        Walk(pen.pixels, steps,
             [colour](QRgb& pixel) { pixel = 0xff000000u | (~(pixel ^ colour) & 0x00ffffffu); });
        break;
    }
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    Paint([&](QPainter& painter) {
        Configure(painter);
        if (!BrushClear)
            painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), BrushColor);
        painter.drawRect(QRect(QPoint(left, top), QPoint(right - 2, bottom - 2)));
    });
}

void Canvas::FillRect(const QRect& rect) {
    Paint([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.fillRect(rect, BrushColor);
    });
}

void Canvas::TextOut(int x, int y, const QString& text) {
    Paint([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setFont(Font);
        const QFontMetrics metrics(Font, &image_);
        const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
        if (!BrushClear) painter.fillRect(box, BrushColor);
        painter.setPen(FontColor);
        painter.drawText(x, y + metrics.ascent(), text);
        texts_.push_back({box, text, Font});
    });
}

int Canvas::TextWidth(const QString& text) const {
    return QFontMetrics(Font, &image_).horizontalAdvance(text);
}

int Canvas::TextHeight(const QString&) const {
    return QFontMetrics(Font, &image_).height();
}

void Canvas::SetPixel(int x, int y, const QColor& color) {
    if (!QRect(QPoint(0, 0), Size()).contains(x, y)) return;
    for (int dy = 0; dy < resolution_; ++dy)
        for (int dx = 0; dx < resolution_; ++dx)
            image_.setPixelColor(resolution_ * x + dx, resolution_ * y + dy, color);
}

QColor Canvas::Pixel(int x, int y) const {
    return QRect(QPoint(0, 0), Size()).contains(x, y)
               ? image_.pixelColor(resolution_ * x, resolution_ * y)
               : QColor();
}

void Canvas::DrawImage(int x, int y, const QImage& picture) {
    Paint([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(x, y, picture);
    });
    const QRect covered(QPoint(x, y), picture.deviceIndependentSize().toSize());
    std::erase_if(texts_, [&](const DrawnText& drawn) { return covered.contains(drawn.box); });
}

void Canvas::DrawCanvas(int x, int y, const Canvas& picture) {
    DrawImage(x, y, picture.Image());
    for (const DrawnText& drawn : picture.Texts())
        texts_.push_back({drawn.box.translated(x, y), drawn.text, drawn.font});
}

// Within an open painting a second one shares the first's painter: an image takes one painter
// at a time.
CanvasPainting::CanvasPainting(Canvas& canvas) : canvas_(canvas), outer_(canvas.painting_) {
    if (!outer_) {
        painter_ = std::make_unique<QPainter>(&canvas.image_);
        canvas_.painting_ = painter_.get();
    }
}

CanvasPainting::~CanvasPainting() {
    canvas_.painting_ = outer_;
}

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {}

void PaintBox::Redraw() {
    if (!OnRedraw) return;
    CanvasPainting painting(canvas_);
    RunGuarded(OnRedraw);
}

void PaintBox::Invalidate() {
    if (canvas_.Resolution() != ScreenResolution())
        FitCanvas();
    else
        Redraw();
    update();
}

void PaintBox::SetScale(int factor) {
    scale_ = std::max(1, factor);
    FitCanvas();
    update();
}

void PaintBox::SetSharp(bool sharp) {
    sharp_ = sharp;
    FitCanvas();
    update();
}

int PaintBox::ScreenResolution() const {
    return sharp_ ? scale_ * std::max(1, qRound(devicePixelRatioF())) : 1;
}

void PaintBox::FitCanvas() {
    canvas_.Resize(size() / scale_, ScreenResolution());
    Redraw();
}

void PaintBox::UpdateArea(const QRect& area) {
    update(QRect(scale_ * area.topLeft(), scale_ * area.size()));
}

void PaintBox::paintEvent(QPaintEvent*) {
    // Qt's scaling of the screen may have changed since the last redraw (a move to another
    // screen).
    if (canvas_.Resolution() != ScreenResolution()) FitCanvas();
    QPainter painter(this);
    const Canvas& canvas = canvas_;
    if (scale_ == 1 && canvas.Resolution() == 1)
        painter.drawImage(0, 0, canvas.Image());
    else
        painter.drawImage(QRect(QPoint(0, 0), scale_ * canvas.Size()), canvas.Image(),
                          canvas.Image().rect());
}

void PaintBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitCanvas();
    update();
}

} // namespace ui
