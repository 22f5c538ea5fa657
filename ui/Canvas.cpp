#include "Canvas.h"

#include "Guard.h"

#include <QFontMetrics>
#include <QPainter>

namespace ui {

Canvas::Canvas(QSize size) : image_(size, QImage::Format_RGB32) { image_.fill(Qt::white); }

void Canvas::Resize(QSize size) {
    image_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image_.fill(Qt::white);
}

void Canvas::Clear(const QColor& color) { image_.fill(color); }

void Canvas::Configure(QPainter& painter) const {
    QPen pen(PenColor, PenWidth, PenStyle);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    switch (Mode) {
    case PenMode::Xor: painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case PenMode::NotXor:
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        break;
    case PenMode::Copy: break;
    }
}

void Canvas::MoveTo(int x, int y) { penPos_ = QPoint(x, y); }

void Canvas::LineTo(int x, int y) {
    const QPoint end(x, y);
    if (end != penPos_) {
        QPainter painter(&image_);
        Configure(painter);
        // A flat-capped one-pixel line leaves out its end point, as the class library's did.
        painter.drawLine(penPos_, end);
    }
    penPos_ = end;
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    QPainter painter(&image_);
    Configure(painter);
    if (!BrushClear)
        painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), BrushColor);
    painter.drawRect(QRect(QPoint(left, top), QPoint(right - 2, bottom - 2)));
}

void Canvas::FillRect(const QRect& rect) {
    QPainter painter(&image_);
    painter.fillRect(rect, BrushColor);
}

void Canvas::TextOut(int x, int y, const QString& text) {
    QPainter painter(&image_);
    painter.setFont(Font);
    const QFontMetrics metrics(Font);
    if (!BrushClear)
        painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), BrushColor);
    painter.setPen(FontColor);
    painter.drawText(x, y + metrics.ascent(), text);
}

int Canvas::TextWidth(const QString& text) const { return QFontMetrics(Font).horizontalAdvance(text); }

int Canvas::TextHeight(const QString&) const { return QFontMetrics(Font).height(); }

void Canvas::SetPixel(int x, int y, const QColor& color) {
    if (image_.rect().contains(x, y))
        image_.setPixelColor(x, y, color);
}

QColor Canvas::Pixel(int x, int y) const {
    return image_.rect().contains(x, y) ? image_.pixelColor(x, y) : QColor();
}

void Canvas::DrawImage(int x, int y, const QImage& picture) {
    QPainter painter(&image_);
    painter.drawImage(x, y, picture);
}

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {}

void PaintBox::Invalidate() {
    if (OnRedraw)
        RunGuarded(OnRedraw);
    update();
}

void PaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_.Image());
}

void PaintBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    canvas_.Resize(size());
    Invalidate();
}

} // namespace ui
