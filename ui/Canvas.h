// Canvas drawing in the manner of the class library, over a QImage backing store: a pen (colour,
// width, style, and the copy, xor and not-xor modes of cursor bars), a brush, a font, move/line,
// rectangles and text. Screens draw into the image when their data changes (also from a reply
// handler); the PaintBox widget only puts the image on screen, and tests read its pixels.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace ui {

enum class PenMode { Copy, Xor, NotXor };

// The canvas works in the pixels of a screen of 96 dpi whatever the screen it is shown on: a font
// given in points takes the pixels it has there. At a resolution of n, its picture holds n by n
// pixels for each of those, so that it is drawn as sharp as a screen of n times 96 dpi shows.
class Canvas {
public:
    explicit Canvas(QSize size = QSize(1, 1), int resolution = 1);

    QColor PenColor = Qt::black;
    int PenWidth = 1;
    Qt::PenStyle PenStyle = Qt::SolidLine;
    PenMode Mode = PenMode::Copy;
    QColor BrushColor = Qt::white;
    bool BrushClear = false; // a clear brush fills nothing (text is drawn transparent)
    QFont Font;
    QColor FontColor = Qt::black;

    void Resize(QSize size); // keeps nothing of the old picture: the new one is white
    // As Resize, at another resolution.
    void Resize(QSize size, int resolution);
    QSize Size() const { return image_.size() / resolution_; }
    int Resolution() const { return resolution_; }
    // The picture, of Size() times the resolution, with that device pixel ratio.
    const QImage& Image() const { return image_; }

    void Clear(const QColor& color);
    void MoveTo(int x, int y);
    void LineTo(int x, int y); // draws from the pen position, excluding the end point
    // A trace: MoveTo the first point, then LineTo each of the others.
    void Polyline(const std::vector<QPoint>& points);
    QPoint PenPos() const { return penPos_; }
    // Outline with the pen, inside with the brush (unless clear); right and bottom excluded.
    void Rectangle(int left, int top, int right, int bottom);
    void FillRect(const QRect& rect);                // with the brush colour
    void TextOut(int x, int y, const QString& text); // (x, y) is the text's top left
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // The texts the picture shows, each with the box it was drawn in, in drawing order; a
    // clear or a new size forgets them, a picture drawn over a box replaces its text.
    struct DrawnText {
        QRect box;
        QString text;
        QFont font;
    };
    const std::vector<DrawnText>& Texts() const { return texts_; }
    void SetPixel(int x, int y, const QColor& color);
    QColor Pixel(int x, int y) const;
    void DrawImage(int x, int y, const QImage& picture);
    // Another canvas's picture with its texts.
    void DrawCanvas(int x, int y, const Canvas& picture);

private:
    friend class CanvasPainting;
    // Runs draw with the open painting's painter, or with a painter of its own.
    void Paint(const std::function<void(QPainter&)>& draw);
    void Configure(QPainter& painter) const;
    bool PlotsPixels() const { return PenWidth <= 2 && PenStyle == Qt::SolidLine; }
    // What the segments of one line or trace set their pixels with, taken once for all of them.
    struct PixelPen {
        QRgb* pixels;
        long long stride; // in pixels
        long long width, height;
        QRgb colour;
    };
    PixelPen TakePixels();
    void PlotSegment(const PixelPen& pen, QPoint from, QPoint to);
    void PlotThinSegment(const PixelPen& pen, long long x0, long long y0, long long x1,
                         long long y1);
    int resolution_ = 1;
    QImage image_;
    std::vector<DrawnText> texts_;
    QPoint penPos_;
    QPainter* painting_ = nullptr; // the open CanvasPainting's, not owned
};

// One painter on a canvas for the whole of a redraw: the canvas's drawing calls within its
// lifetime share it instead of each opening its own.
class CanvasPainting {
public:
    explicit CanvasPainting(Canvas& canvas);
    ~CanvasPainting();
    CanvasPainting(const CanvasPainting&) = delete;
    CanvasPainting& operator=(const CanvasPainting&) = delete;

private:
    Canvas& canvas_;
    std::unique_ptr<QPainter> painter_;
    QPainter* outer_;
};

// The widget that shows a canvas. A full repaint (resize, or Invalidate) runs OnRedraw, with one
// painter open on the canvas, which clears and redraws the image; other paints only copy the
// image to the screen.
class PaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PaintBox(QWidget* parent = nullptr);

    Canvas& GetCanvas() { return canvas_; }
    const Canvas& GetCanvas() const { return canvas_; }
    std::function<void()> OnRedraw;
    // Redraws the whole image now and shows it.
    void Invalidate();
    // Shows each pixel of the canvas as `factor` by `factor` pixels of the screen: a drawing made
    // in a window's designed pixels fills the window scaled by that factor. The canvas takes the
    // widget's size divided by the factor and is redrawn.
    void SetScale(int factor);
    int Scale() const { return scale_; }
    // A sharp box draws its canvas at the screen's resolution (the factor times the pixel ratio
    // of Qt's own scaling) instead of showing the design's pixels enlarged.
    void SetSharp(bool sharp);
    // Shows again the part of the screen that shows `area` of the canvas.
    void UpdateArea(const QRect& area);

protected:
    void paintEvent(class QPaintEvent* event) override;
    void resizeEvent(class QResizeEvent* event) override;

private:
    int ScreenResolution() const;
    // Gives the canvas the widget's size and, for a sharp box, the screen's resolution.
    void FitCanvas();
    void Redraw();
    Canvas canvas_;
    int scale_ = 1;
    bool sharp_ = false;
};

} // namespace ui
