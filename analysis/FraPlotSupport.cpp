#include "FraPlotSupport.h"

#include "ui/Widgets.h"

#include <numbers>

namespace fra {

void SetFontSize(ui::Canvas& canvas, int points) {
    canvas.Font = QFont(ui::kProportionalFont);
    canvas.Font.setPointSize(points);
}

void TextAt(ui::Canvas& canvas, int x, int y, const QString& text, int points) {
    SetFontSize(canvas, points);
    canvas.FontColor = Qt::black;
    canvas.BrushClear = false;
    canvas.BrushColor = Qt::white;
    canvas.TextOut(x, y, text);
}

void TextCentred(ui::Canvas& canvas, int centreX, int y, const QString& text, int points) {
    SetFontSize(canvas, points);
    TextAt(canvas, centreX - canvas.TextWidth(text) / 2, y, text, points);
}

void TextRightOf(ui::Canvas& canvas, int right, int centreY, const QString& text, int points) {
    SetFontSize(canvas, points);
    TextAt(canvas, right - canvas.TextWidth(text), centreY - canvas.TextHeight(text) / 2, text,
           points);
}

void DecadeLabel(ui::Canvas& canvas, int x, int bottom, int k) {
    const QString base = k == 0 ? " 1" : "10";
    TextAt(canvas, x - 4, bottom + 7, base, 9);
    if (k >= 2) TextAt(canvas, x - 4 + canvas.TextWidth(base), bottom + 3, QString::number(k), 7);
}

void Line(ui::Canvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

void Circle(ui::Canvas& canvas, int cx, int cy, int r) {
    constexpr int kPieces = 144;
    canvas.MoveTo(cx + r, cy);
    for (int k = 1; k <= kPieces; ++k) {
        const double a = 2.0 * std::numbers::pi * k / kPieces;
        canvas.LineTo(Pixel(cx + r * std::cos(a) + 0.5), Pixel(cy - r * std::sin(a) + 0.5));
    }
}

QString Readout(double value) {
    return QString::asprintf(" %.2f", value);
}

} // namespace fra
