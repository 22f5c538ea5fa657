// What the analysis window's three plots share: fonts, text placement and safe pixel positions.
#pragma once

#include "ui/Canvas.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>

namespace fra {

// A pixel coordinate from a computed position, truncated toward zero; positions far outside the
// image are held at a bound so that the conversion stays defined.
inline int Pixel(double position) {
    constexpr double kBound = 1.0e7;
    if (std::isnan(position)) return 0;
    return static_cast<int>(std::clamp(position, -kBound, kBound));
}

void SetFontSize(ui::Canvas& canvas, int points);
// Text in black on the background colour.
void TextAt(ui::Canvas& canvas, int x, int y, const QString& text, int points);
void TextCentred(ui::Canvas& canvas, int centreX, int y, const QString& text, int points);
// Right-aligned `gap` pixels left of `right`, centred vertically on `centreY`.
void TextRightOf(ui::Canvas& canvas, int right, int centreY, const QString& text, int points);
// The label of decade k (" 1", "10", 10², 10³, 10⁴) under the point x of an axis whose line
// is at `bottom`: the exponent, smaller and raised, right after the "10".
void DecadeLabel(ui::Canvas& canvas, int x, int bottom, int k);
void Line(ui::Canvas& canvas, int x1, int y1, int x2, int y2);
// The circle of radius r around (cx, cy), as a closed line of short pieces.
void Circle(ui::Canvas& canvas, int cx, int cy, int r);
// " %.2f"
QString Readout(double value);

} // namespace fra
