// The vector locus: the response of the three buffers as a polar plot, with a cursor readout in
// magnitude and angle and two markers.
#include "FreqAnalyze.h"

#include "FraPlotSupport.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

struct VectorGeometry {
    int cx, cy, r, s;
};

VectorGeometry Geometry(const TfrmFRA& f, QSize image) {
    return {image.width() / 2, image.height() / 2, image.width() / 2 - 40,
            f.rb_x1->isChecked() ? 1 : 5};
}

double Magnitude(const VectorGeometry& g, int x, int y) {
    return std::sqrt(double(x - g.cx) * (x - g.cx) + double(g.cy - y) * (g.cy - y)) / g.r * g.s *
           2.0;
}

double AngleDegrees(const VectorGeometry& g, int x, int y) {
    if (x == g.cx && y == g.cy) return 0.0;
    return std::atan2(double(g.cy - y), double(x - g.cx)) * 180.0 / kPi;
}

void DrawGridAndAxes(ui::Canvas& c, const VectorGeometry& g, const QColor& grid, bool assist) {
    c.PenColor = grid;
    c.PenWidth = 1;
    c.PenStyle = Qt::SolidLine;
    fra::Circle(c, g.cx, g.cy, g.r);
    fra::Circle(c, g.cx, g.cy, g.r / 2);
    if (assist) {
        c.PenStyle = Qt::DotLine;
        for (int k = 0; k < 16; ++k) {
            if (k % 4 == 0) continue;
            const double angle = k * 22.5 * kPi / 180.0;
            const double length =
                k % 2 == 1 ? g.r / std::cos(22.5 * kPi / 180.0) : g.r * std::numbers::sqrt2;
            fra::Line(c, g.cx, g.cy, fra::Pixel(g.cx + std::cos(angle) * length),
                      fra::Pixel(g.cy - std::sin(angle) * length));
        }
    }
    c.PenColor = Qt::black;
    c.PenStyle = Qt::SolidLine;
    const int step = g.r / 10;
    for (int k = -10; k <= 10; ++k) {
        const int at = step * k;
        if (k % 10 == 0) {
            fra::Line(c, g.cx + at, g.cy - g.r, g.cx + at, g.cy + g.r);
            fra::Line(c, g.cx - g.r, g.cy + at, g.cx + g.r, g.cy + at);
        } else {
            fra::Line(c, g.cx + at, g.cy - 2, g.cx + at, g.cy + 3);
            fra::Line(c, g.cx - 2, g.cy + at, g.cx + 3, g.cy + at);
        }
    }
}

void DrawLabels(ui::Canvas& c, const VectorGeometry& g) {
    fra::TextCentred(c, g.cx, 8, "ベクトル軌跡", 11);
    fra::TextAt(c, g.cx - 6, g.cy - g.r - 16, "Im", 9);
    fra::TextAt(c, g.cx + g.r + 6, g.cy - 6, "Re", 9);
    fra::SetFontSize(c, 9);
    for (int k = -2; k <= 2; ++k) {
        const QString label = QString::number(k * g.s);
        int x = g.cx + (k * g.r) / 2 + 3;
        if (k >= 1) x -= 2 + c.TextWidth(label);
        fra::TextAt(c, x, g.cy - 13, label, 9);
        if (k != 0) fra::TextAt(c, g.cx + 3, g.cy - (k * g.r) / 2 + (k > 0 ? 2 : -13), label, 9);
    }
}

} // namespace

void TfrmFRA::DrawVectorLocus() {
    ui::Canvas c(AnVector->GetCanvas().Size(), AnVector->GetCanvas().Resolution());
    const VectorGeometry g = Geometry(*this, c.Size());
    c.PenColor = Qt::black;
    c.BrushColor = BackColor;
    c.Rectangle(0, 0, c.Size().width(), c.Size().height());
    DrawGridAndAxes(c, g, GridColor, cb2Assist->Checked());

    c.PenWidth = 2;
    c.PenStyle = Qt::SolidLine;
    for (int n = 2; n >= 0; --n) {
        const TFraBuffer& buffer = Buffers[n];
        if (!cb2Buf[n]->Checked() || buffer.Count == 0) continue;
        const auto [lo, hi] = DisplayRange(n);
        const bool complexData = IsComplex(n);
        const bool openLoop = cb2OL[n]->Checked();
        c.PenColor = sh2Buf[n]->BrushColor;
        bool started = false;
        for (int i = 0; i < buffer.Count; ++i) {
            const TFraPoint& point = buffer.Points[i];
            if (point.Freq < lo) continue;
            if (point.Freq > hi) break;
            const fra::PolarPoint polar = fra::VectorPoint(point, complexData, openLoop);
            const double radius = g.r * 0.5 / g.s * polar.ratio;
            const int x = fra::Pixel(g.cx + std::cos(polar.angle) * radius);
            const int y = fra::Pixel(g.cy - std::sin(polar.angle) * radius);
            if (started) {
                c.LineTo(x, y);
            } else {
                c.MoveTo(x, y);
                started = true;
            }
        }
    }

    QPoint* markers[2] = {&VectorMarker1, &VectorMarker2};
    const QColor colours[2] = {shM1->BrushColor, shM2->BrushColor};
    fra::FraEdit* readouts[2][2] = {{edM1Re, edM1Im}, {edM2Re, edM2Im}};
    c.PenWidth = 1;
    for (int m = 0; m < 2; ++m) {
        QPoint& at = *markers[m];
        if (at.x() == -1 || at.y() == -1) continue;
        at.setX(std::clamp(at.x(), g.cx - g.r, g.cx + g.r));
        at.setY(std::clamp(at.y(), g.cy - g.r, g.cy + g.r));
        c.PenColor = colours[m];
        fra::Line(c, at.x(), g.cy - g.r, at.x(), g.cy + g.r);
        fra::Line(c, g.cx - g.r, at.y(), g.cx + g.r, at.y());
        readouts[m][0]->setText(fra::Readout(Magnitude(g, at.x(), at.y())));
        readouts[m][1]->setText(fra::Readout(AngleDegrees(g, at.x(), at.y())));
    }
    DrawLabels(c, g);
    AnVector->GetCanvas().DrawCanvas(0, 0, c);
    AnVector->update();
}

void TfrmFRA::AnVectorMouseMove(int x, int y) {
    VectorCursor = {x, y};
    const VectorGeometry g = Geometry(*this, AnVector->GetCanvas().Size());
    const double scale = rb_x1->isChecked() ? 2.0 : 10.0;
    const double distance =
        std::sqrt(double(x - g.cx) * (x - g.cx) + double(g.cy - y) * (g.cy - y));
    edCurRe->setText(fra::Readout(distance / (g.cx - 40) * scale));
    edCurIm->setText(fra::Readout(AngleDegrees(g, x, y)));
}

void TfrmFRA::AnVectorMouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        VectorMarker1 = VectorCursor;
    } else if (button == Qt::RightButton) {
        VectorMarker2 = VectorCursor;
    } else if (button == Qt::MiddleButton) {
        VectorMarker1 = VectorMarker2 = {-1, -1};
        for (fra::FraEdit* box : {edM1Re, edM1Im, edM2Re, edM2Im})
            box->setText("");
    }
    DrawActivePage();
}
