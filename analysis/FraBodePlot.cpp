// The Bode plot: gain and phase of the three buffers over four decades, 1 Hz to 10 kHz, with
// its cursor readout and two markers.
#include "FreqAnalyze.h"

#include "FraPlotSupport.h"

#include <cmath>
#include <vector>

namespace {

// The plot's frame in image pixels: gain over D from y0; the phase over D from y0 + P.
struct BodeGeometry {
    int x0, y0, w, h, d, p, e;
};

BodeGeometry Geometry(const TfrmFRA& f, QSize image) {
    BodeGeometry g{};
    g.x0 = f.PlotLeft;
    g.y0 = f.PlotTop;
    g.w = image.width() - 2 * g.x0;
    g.h = image.height() - g.y0 - f.PlotBottom;
    const bool divided = f.cbDevide->Checked();
    g.d = divided ? g.h / 2 : g.h;
    g.p = divided ? g.h / 2 : 0;
    g.e = g.w / 4;
    return g;
}

double MarkerFreq(const BodeGeometry& g, int x) {
    return std::pow(10.0, double(x - g.x0) / g.w * 4.0);
}
double MarkerGain(const BodeGeometry& g, int y) {
    return 20.0 - double(y - g.y0) * 80.0 / g.d;
}
double MarkerPhase(const BodeGeometry& g, int y) {
    return 180.0 - double(y - g.y0 - g.p) * 360.0 / g.d;
}

void DrawGrid(ui::Canvas& c, const BodeGeometry& g, const QColor& colour) {
    c.PenColor = colour;
    c.PenWidth = 1;
    const int bottom = g.y0 + g.d + g.p;
    c.PenStyle = Qt::SolidLine;
    for (int k = 1; k <= 3; ++k)
        fra::Line(c, g.x0 + k * g.e, g.y0, g.x0 + k * g.e, bottom);
    c.PenStyle = Qt::DotLine;
    for (int k = 0; k <= 3; ++k)
        for (int m = 2; m <= 9; ++m) {
            const int x = g.x0 + int(std::log10(m) * g.e) + k * g.e;
            fra::Line(c, x, g.y0 + 1, x, bottom);
        }
    for (int q = 0; q <= 3; ++q)
        for (int h = 1; h <= 3; ++h)
            for (int offset : {0, g.p}) {
                const int y = g.y0 + q * g.d / 4 + h * g.d / 16 + offset;
                fra::Line(c, g.x0, y, g.x0 + g.w, y);
            }
    c.PenStyle = Qt::SolidLine;
    for (int q = 1; q <= 3; ++q)
        for (int offset : {0, g.p}) {
            const int y = g.y0 + q * g.d / 4 + offset;
            fra::Line(c, g.x0, y, g.x0 + g.w, y);
        }
}

void DrawFrameAndTicks(ui::Canvas& c, const BodeGeometry& g, bool divided) {
    c.PenColor = Qt::black;
    c.PenWidth = 1;
    c.PenStyle = Qt::SolidLine;
    const int bottom = g.y0 + g.d + g.p;
    fra::Line(c, g.x0, g.y0, g.x0 + g.w, g.y0);
    c.LineTo(g.x0 + g.w, bottom);
    c.LineTo(g.x0, bottom);
    c.LineTo(g.x0, g.y0);
    if (divided) fra::Line(c, g.x0, g.y0 + g.p, g.x0 + g.w, g.y0 + g.p);
    for (int k = 1; k <= 3; ++k) {
        fra::Line(c, g.x0 + k * g.e, g.y0, g.x0 + k * g.e, g.y0 + 9);
        fra::Line(c, g.x0 + k * g.e, bottom - 9, g.x0 + k * g.e, bottom);
    }
    for (int k = 0; k <= 3; ++k)
        for (int m = 2; m <= 9; ++m) {
            const int x = g.x0 + int(std::log10(m) * g.e) + k * g.e;
            fra::Line(c, x, g.y0 + 1, x, g.y0 + 5);
            fra::Line(c, x, bottom - 5, x, bottom);
        }
    const int quarters = divided ? 7 : 3;
    for (int q = 0; q <= quarters; ++q) {
        for (int h = 1; h <= 3; ++h) {
            const int y = g.y0 + q * g.d / 4 + h * g.d / 16;
            fra::Line(c, g.x0, y, g.x0 + 4, y);
            fra::Line(c, g.x0 + g.w, y, g.x0 + g.w - 4, y);
        }
        if (q >= 1) {
            const int y = g.y0 + q * g.d / 4;
            fra::Line(c, g.x0, y, g.x0 + 8, y);
            fra::Line(c, g.x0 + g.w, y, g.x0 + g.w - 8, y);
        }
    }
}

} // namespace

std::pair<int, int> TfrmFRA::DisplayRange(int n) {
    int lo = fra::BoxValue(edLCF[n]);
    int hi = fra::BoxValue(edHCF[n]);
    // Without a range of its own a buffer shows its measured range, or the whole axis when
    // that is unknown too.
    if (lo < 1) {
        lo = fra::BoxValue(edFreqFromBuf[n]);
        if (lo >= 1)
            edLCF[n]->setText(edFreqFromBuf[n]->text());
        else
            lo = 1;
    }
    if (hi < 1) {
        hi = fra::BoxValue(edFreqToBuf[n]);
        if (hi >= 1)
            edHCF[n]->setText(edFreqToBuf[n]->text());
        else
            hi = 10000;
    }
    return {lo, hi};
}

void TfrmFRA::DrawBodePlot() {
    ui::Canvas c(AnGraph->GetCanvas().Size(), AnGraph->GetCanvas().Resolution());
    const ui::CanvasPainting painting(c);
    const BodeGeometry g = Geometry(*this, c.Size());
    const bool divided = cbDevide->Checked();
    c.PenColor = Qt::black;
    c.BrushColor = BackColor;
    c.Rectangle(0, 0, c.Size().width(), c.Size().height());
    if (cbAssistLine->Checked()) DrawGrid(c, g, GridColor);

    c.PenWidth = 2;
    c.PenStyle = Qt::SolidLine;
    for (int n = 2; n >= 0; --n) {
        const TFraBuffer& buffer = Buffers[n];
        if (!cbBuf[n]->Checked() || buffer.Count == 0) continue;
        const auto [lo, hi] = DisplayRange(n);
        fra::BodeValues& values = bodeValues_[n];
        values.Update(buffer.Points.get(), buffer.Count, IsComplex(n), cbOL[n]->Checked());
        const bool rollOver = cbPhaseRO->Checked();
        for (int curve = 0; curve < 2; ++curve) {
            if (curve == 1 && !cbPhase->Checked()) break;
            c.PenColor = curve == 0 ? shBufG[n]->BrushColor : shBufP[n]->BrushColor;
            std::vector<QPoint> trace;
            trace.reserve(static_cast<size_t>(buffer.Count));
            for (int i = 0; i < buffer.Count; ++i) {
                const int freq = buffer.Points[i].Freq;
                if (freq < lo) continue;
                if (freq > hi) break;
                if (freq == 0) continue;
                const fra::BodeValues::Value& value = values[i];
                const int x = fra::Pixel(value.logFreq * g.e + g.x0);
                int y = 0;
                if (curve == 0) {
                    y = std::clamp(fra::Pixel(g.y0 + g.d / 4 - value.db * (g.d / 4) * 0.05), g.y0,
                                   g.y0 + g.d);
                } else {
                    const int phase = rollOver ? fra::RollOverPhase(value.phase) : value.phase;
                    // In 64 bits: a phase from a file may be any 32-bit value.
                    const long long offset = (static_cast<long long>(g.d / 4) * phase) / 90;
                    y = static_cast<int>(std::clamp<long long>(g.d / 2 + g.y0 + g.p - offset,
                                                               g.y0 + g.p, g.y0 + g.p + g.d));
                }
                trace.emplace_back(x, y);
            }
            c.Polyline(trace);
        }
    }
    DrawFrameAndTicks(c, g, divided);

    QPoint* markers[2] = {&BodeMarker1, &BodeMarker2};
    const QColor colours[2] = {shMarker1->BrushColor, shMarker2->BrushColor};
    fra::FraEdit* readouts[2][3] = {{edM1Freq, edM1Gain, edM1Phase},
                                    {edM2Freq, edM2Gain, edM2Phase}};
    c.PenWidth = 1;
    for (int m = 0; m < 2; ++m) {
        QPoint& at = *markers[m];
        if (at.x() < 0 || at.y() < 0) continue;
        at.setX(std::clamp(at.x(), g.x0, g.x0 + g.w));
        at.setY(std::clamp(at.y(), g.y0, g.y0 + g.d + g.p));
        c.PenColor = colours[m];
        fra::Line(c, at.x(), g.y0 + 1, at.x(), g.y0 + g.d + g.p);
        fra::Line(c, g.x0, at.y(), g.x0 + g.w, at.y());
        readouts[m][0]->setText(fra::Readout(MarkerFreq(g, at.x())));
        readouts[m][1]->setText(fra::Readout(MarkerGain(g, at.y())));
        readouts[m][2]->setText(fra::Readout(MarkerPhase(g, at.y())));
    }

    const int width = c.Size().width();
    const int bottom = g.y0 + g.d + g.p;
    fra::TextCentred(c, width / 2, 8, "周波数応答", 11);
    fra::TextCentred(c, width / 2, bottom + 20, "Frequency[Hz]", 9);
    fra::TextAt(c, 15, 10, "Gain[dB]", 9);
    if (cbPhase->Checked()) fra::TextAt(c, width - 70, 10, "Phase[deg]", 9);
    for (int k = 0; k <= 4; ++k)
        fra::DecadeLabel(c, g.x0 + k * g.e, bottom, k);
    for (int q = 0; q <= 4; ++q) {
        fra::TextRightOf(c, g.x0 - 6, g.y0 + q * g.d / 4, QString::asprintf("%4d", 20 - 20 * q), 9);
        if (cbPhase->Checked()) {
            const QString label = QString::number(180 - 90 * q);
            fra::SetFontSize(c, 9);
            // The lowest label stands on its line, not across it: the last decade's exponent
            // is printed just below that line.
            const int line = g.y0 + g.p + q * g.d / 4;
            const int top = q == 4 ? line - c.TextHeight(label) : line - c.TextHeight(label) / 2;
            fra::TextAt(c, width - 42, top, label, 9);
        }
    }
    AnGraph->GetCanvas().DrawCanvas(0, 0, c);
    AnGraph->update();
}

void TfrmFRA::AnGraphMouseMove(int x, int y) {
    const BodeGeometry g = Geometry(*this, AnGraph->GetCanvas().Size());
    edCurFreq->setText(fra::Readout(MarkerFreq(g, x)));
    edCurGain->setText(fra::Readout(MarkerGain(g, y)));
    edCurPhase->setText(fra::Readout(MarkerPhase(g, y)));
}

void TfrmFRA::AnGraphMouseUp(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton) {
        BodeMarker1 = {x, y};
    } else if (button == Qt::RightButton) {
        BodeMarker2 = {x, y};
    } else if (button == Qt::MiddleButton) {
        BodeMarker1 = BodeMarker2 = {-1, -1};
        for (fra::FraEdit* box : {edM1Freq, edM1Gain, edM1Phase, edM2Freq, edM2Gain, edM2Phase})
            box->setText("");
    }
    DrawActivePage();
}
