// The spectrum page: a column of a recorded table loaded as samples, its windowed transform, and
// the amplitude spectrum over four decades with a linear or a decibel scale.
#include "FreqAnalyze.h"

#include "ChirpZ.h"
#include "FraPlotSupport.h"
#include "MeasurementFile.h"
#include "SampleSource.h"
#include "SelectCel.h"
#include "SelectFreq.h"

#include "link/UnitGeneral.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"

#include <QFile>
#include <cmath>
#include <sstream>

namespace {

struct SpectrumMode {
    double bottom;
    int majors;
    int minors;
};

constexpr SpectrumMode kModes[3] = {{0.0, 4, 4}, {-100.0, 5, 4}, {-160.0, 8, 2}};

struct SpectrumGeometry {
    int x0 = 75, y0 = 30, w, h, yb, d;
};

SpectrumGeometry Geometry(QSize image) {
    SpectrumGeometry g;
    g.w = image.width() - 100;
    g.h = image.height() - 70;
    g.yb = g.y0 + g.h;
    g.d = g.w / 4;
    return g;
}

QString Cell(const fra::TextTable& table, int row, int col) {
    return ui::cp932::Decode(QByteArray::fromStdString(table.Cell(row, col)));
}

// The linear scale's top: the maximum with a tenth of room, rounded up in its first digit.
double LinearTop(double amax) {
    if (amax == 0.0) return 100.0;
    const double a = amax * 1.1111111111111112;
    const double lg = std::log10(a);
    const int e = lg > 0 ? int(std::trunc(lg)) : int(std::trunc(lg - 1));
    const double u = std::pow(10.0, e);
    const double top = (std::trunc(a / u) + 1) * u;
    return top == 0.0 ? 100.0 : top;
}

void DrawGridAndTicks(ui::Canvas& c, const SpectrumGeometry& g, const SpectrumMode& mode, bool grid,
                      const QColor& gridColour) {
    const auto minorY = [&](int p, int v) {
        return fra::Pixel(g.y0 + double(p) * g.h / mode.majors +
                          double(v) * g.h / mode.majors / mode.minors);
    };
    const auto majorY = [&](int p) { return fra::Pixel(g.y0 + double(p) * g.h / mode.majors); };
    c.PenWidth = 1;
    if (grid) {
        c.PenColor = gridColour;
        for (int d = 0; d <= 3; ++d) {
            const int t = d * g.d;
            c.PenStyle = Qt::SolidLine;
            if (d > 0) fra::Line(c, g.x0 + t, g.y0, g.x0 + t, g.yb);
            c.PenStyle = Qt::DotLine;
            for (int v = 2; v <= 9; ++v) {
                const int x = g.x0 + t + int(std::log10(v) * g.d);
                fra::Line(c, x, g.y0 + 1, x, g.yb);
            }
        }
        for (int p = 0; p < mode.majors; ++p) {
            c.PenStyle = Qt::DotLine;
            for (int v = 1; v < mode.minors; ++v)
                fra::Line(c, g.x0, minorY(p, v), g.x0 + g.w, minorY(p, v));
            c.PenStyle = Qt::SolidLine;
            if (p > 0) fra::Line(c, g.x0, majorY(p), g.x0 + g.w, majorY(p));
        }
    }
    c.PenColor = Qt::black;
    c.PenStyle = Qt::SolidLine;
    for (int d = 0; d <= 3; ++d) {
        const int t = d * g.d;
        if (d > 0) {
            fra::Line(c, g.x0 + t, g.y0, g.x0 + t, g.y0 + 9);
            fra::Line(c, g.x0 + t, g.yb - 9, g.x0 + t, g.yb);
        }
        for (int v = 2; v <= 9; ++v) {
            const int x = g.x0 + t + int(std::log10(v) * g.d);
            fra::Line(c, x, g.y0 + 1, x, g.y0 + 5);
            fra::Line(c, x, g.yb, x, g.yb - 5);
        }
    }
    for (int p = 0; p < mode.majors; ++p) {
        for (int v = 1; v < mode.minors; ++v) {
            fra::Line(c, g.x0, minorY(p, v), g.x0 + 4, minorY(p, v));
            fra::Line(c, g.x0 + g.w, minorY(p, v), g.x0 + g.w - 4, minorY(p, v));
        }
        if (p > 0) {
            fra::Line(c, g.x0, majorY(p), g.x0 + 8, majorY(p));
            fra::Line(c, g.x0 + g.w - 8, majorY(p), g.x0 + g.w, majorY(p));
        }
    }
    c.BrushClear = true;
    c.Rectangle(g.x0, g.y0, g.x0 + g.w + 1, g.yb + 1);
    c.BrushClear = false;
}

} // namespace

void TfrmFRA::LoadSpectrumFile() {
    ui::FileDialog& dialog = *mdlGeneral->OpenDialog1;
    dialog.FileName = Spectrum.FileName;
    if (!dialog.Execute(this)) return;
    QFile file(dialog.FileName);
    if (!file.open(QIODevice::ReadOnly))
        return ui::ShowWarning("ファイルが開けませんでした。", "エラー");
    fra::TextTable table(fra::kTableRows);
    std::istringstream stream(file.readAll().toStdString());
    fra::ReadTextTable(table, stream);

    // Built aside, so that a file that is refused leaves the spectrum as it was.
    const std::optional<fra::SpectrumColumns> columns = fra::ReadSpectrumColumns(table);
    const int rows = std::max(table.RowCount - 1, 0);
    const auto refuse = [] { ui::ShowWarning("ファイル形式が無効です。", "エラー"); };
    // A row of more cells than the table keeps, or a value cut to a cell, would load changed.
    if (!columns || columns->names.empty() || rows < 1 ||
        table.MostCells() > fra::TextTable::kColumns || table.CutRow > 0)
        return refuse();
    const int k = static_cast<int>(columns->names.size());
    int chosen = 0;
    if (k > 1) {
        QString captions[4];
        for (int c = 0; c < std::min(k, 4); ++c)
            captions[c] = Cell(table, 0, c + columns->shift);
        frmSelectCell->ShowChoice(k, captions[0], captions[1], captions[2], captions[3]);
        chosen = frmSelectCell->SelectedIndex;
    }
    std::optional<std::vector<int>> samples = fra::ColumnValues(table, chosen + columns->shift);
    if (!samples) return refuse();
    double samplingFreq = columns->samplingFreq;
    if (samplingFreq == 0.0) {
        const auto time = std::find(columns->names.begin(), columns->names.end(), "TIME");
        if (time != columns->names.end()) {
            const std::optional<std::vector<int>> times = fra::ColumnValues(
                table, static_cast<int>(time - columns->names.begin()) + columns->shift);
            if (!times) return refuse();
            samplingFreq = fra::SamplingFreqOfTimeColumn(*times);
        }
    }
    if (samplingFreq == 0.0) {
        frmFreqSel->ShowModal();
        samplingFreq = frmFreqSel->SelectedFrequency;
    }
    Spectrum.FileName = dialog.FileName;
    Spectrum.ColumnName = Cell(table, 0, chosen + columns->shift);
    Spectrum.Samples = std::move(*samples);
    Spectrum.SampleCount = rows;
    Spectrum.SamplingFreq = samplingFreq;
    Spectrum.Re.assign(rows, 0.0);
    Spectrum.Im.assign(rows, 0.0);
    UpdateFreqResolution();
    edSpecFL->setText(QString::number(int(FreqResolution) + 1));
    edSpecFH->setText("10000");
    edSpecVal->setText(Spectrum.ColumnName);
    edSpecFreq->setText(QString::number(Spectrum.SamplingFreq));
    if (table.CutRow == 0 && table.CutCol == chosen + columns->shift)
        TellCutName(Spectrum.ColumnName);
    TellEndMark(table);
    if (table.Overflow)
        ui::ShowMessage(
            QString("データが%1点を超えるため、先頭の%1点を読み込みました。").arg(fra::kMaxPoints),
            "確認", ui::MsgIcon::Information, ui::MsgButtons::Ok);
    ComputeSpectrum();
}

void TfrmFRA::ComputeSpectrum() {
    const int n = Spectrum.SampleCount;
    Spectrum.Re.resize(n);
    Spectrum.Im.resize(n);
    for (int i = 0; i < n; ++i) {
        Spectrum.Re[i] = fra::ApplyWindow(cbWinFunc->ItemIndex(), Spectrum.Samples[i], i, n);
        Spectrum.Im[i] = 0.0;
    }
    fra::TChirpZ transform;
    if (fra::ChirpZInit(transform, n, n) != 0) return;
    fra::ChirpZTransform(transform, false, Spectrum.Re.data(), Spectrum.Im.data());
    fra::ChirpZFree(transform);
    DrawActivePage();
}

void TfrmFRA::DrawSpectrum() {
    const int fl = fra::BoxValue(edSpecFL);
    const int fh = fra::BoxValue(edSpecFH);
    ui::Canvas c(AnSpectrum->GetCanvas().Size(), AnSpectrum->GetCanvas().Resolution());
    const SpectrumGeometry g = Geometry(c.Size());
    c.PenColor = Qt::black;
    c.BrushColor = Qt::white;
    c.Rectangle(0, 0, c.Size().width(), c.Size().height());
    const int modeIndex = std::clamp(rbAmplitude->ItemIndex(), 0, 2);
    const SpectrumMode& mode = kModes[modeIndex];
    const bool decibels = modeIndex != 0;
    SpectrumBottom = mode.bottom;
    DrawGridAndTicks(c, g, mode, cb3Assist->Checked(), QColor(170, 187, 204));

    const int n = Spectrum.SampleCount;
    const double fs = Spectrum.SamplingFreq;
    // The samples drawn: from 1 x fs/N up to half the sampling rate, within the shown range.
    const auto drawn = [&](int i, bool& stop) {
        const double f = fs / n * (i + 1);
        stop = f > fs / 2;
        return !stop && f >= fl && f <= fh;
    };
    const auto amplitude = [&](int i) { return std::hypot(Spectrum.Re[i], Spectrum.Im[i]); };
    double amax = 0.0;
    for (int i = 0; i < n; ++i) {
        bool stop = false;
        if (drawn(i, stop)) amax = std::max(amax, amplitude(i));
        if (stop) break;
    }
    double top = decibels ? 0.0 : 100.0;
    if (n >= 1 && !decibels) top = LinearTop(amax);
    SpectrumTop = top;

    c.PenColor = QColor(0, 0, 255);
    c.PenWidth = cbThickSpectrum->Checked() ? 2 : 1;
    bool started = false;
    for (int i = 0; i < n; ++i) {
        bool stop = false;
        const bool show = drawn(i, stop);
        if (stop) break;
        if (!show) continue;
        const double f = fs / n * (i + 1);
        double a = amplitude(i);
        if (decibels) a = (a == 0.0 ? -200.0 : 20.0 * std::log10(a / amax)) - SpectrumBottom;
        const int x = fra::Pixel(std::log10(f == 0.0 ? 1.0 : f) * g.d + g.x0);
        const int y = fra::Pixel(g.yb - a / (top - SpectrumBottom) * g.h);
        if (started) {
            c.LineTo(x, y);
        } else {
            c.MoveTo(x, y);
            started = true;
        }
    }

    const int markers[2][2] = {{SpecMarker1X, SpecMarker1Y}, {SpecMarker2X, SpecMarker2Y}};
    const QColor colours[2] = {shMarkerL->BrushColor, shMarkerR->BrushColor};
    fra::FraEdit* readouts[2][2] = {{edLFreq, edLAmp}, {edRFreq, edRAmp}};
    c.PenWidth = 1;
    for (int m = 0; m < 2; ++m) {
        if (markers[m][0] < 0 || markers[m][1] < 0) continue;
        const int x = std::clamp(markers[m][0], g.x0, g.x0 + g.w);
        const int y = std::clamp(markers[m][1], g.y0, g.yb);
        c.PenColor = colours[m];
        fra::Line(c, x, g.y0 + 1, x, g.yb);
        fra::Line(c, g.x0, y, g.x0 + g.w, y);
        readouts[m][0]->setText(fra::Readout(std::pow(10.0, double(x - g.x0) / g.w * 4.0)));
        readouts[m][1]->setText(
            fra::Readout(top - double(y - g.y0) * (top - SpectrumBottom) / g.h));
    }

    for (int k = 0; k <= 4; ++k)
        fra::DecadeLabel(c, g.x0 + k * g.d, g.yb, k);
    for (int p = 0; p <= mode.majors; ++p)
        fra::TextRightOf(c, g.x0 - 6, fra::Pixel(g.y0 + double(p) * g.h / mode.majors),
                         QString::asprintf("%4.2f", top - p * (top - SpectrumBottom) / mode.majors),
                         9);
    if (decibels) {
        fra::SetFontSize(c, 9);
        const int height = c.TextHeight("[dB]");
        fra::TextAt(c, g.x0 - 6 - c.TextWidth("[dB]"), g.y0 - 2 * height, "[dB]", 9);
    }
    const int width = c.Size().width();
    fra::TextCentred(c, width / 2, 8, "周波数スペクトラム", 11);
    fra::TextCentred(c, width / 2, g.yb + 20,
                     QString::asprintf("Frequency[Hz] （分解能=%d[Hz]）", int(FreqResolution)), 9);
    AnSpectrum->GetCanvas().DrawCanvas(0, 0, c);
    AnSpectrum->update();
}

void TfrmFRA::AnSpectrumMouseMove(int x, int y) {
    const SpectrumGeometry g = Geometry(AnSpectrum->GetCanvas().Size());
    edCur3Freq->setText(fra::Readout(std::pow(10.0, double(x - 75) / g.w * 4.0)));
    edCur3Amp->setText(
        fra::Readout(SpectrumTop - double(y - 30) * (SpectrumTop - SpectrumBottom) / g.h));
}

void TfrmFRA::AnSpectrumMouseUp(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton) {
        SpecMarker1X = x;
        SpecMarker1Y = y;
    } else if (button == Qt::RightButton) {
        SpecMarker2X = x;
        SpecMarker2Y = y;
    } else if (button == Qt::MiddleButton) {
        SpecMarker1X = SpecMarker1Y = SpecMarker2X = SpecMarker2Y = -1;
        for (fra::FraEdit* box : {edLFreq, edLAmp, edRFreq, edRAmp})
            box->setText("");
    }
    DrawActivePage();
}

void TfrmFRA::edSpecFreqKeyPress(QChar& key) {
    if (key != '\r') return;
    int v = fra::BoxValue(edSpecFreq);
    if (v <= 0) v = 1;
    edSpecFreq->setText(QString::number(v));
    if (v != Spectrum.SamplingFreq) {
        Spectrum.SamplingFreq = v;
        // The resolution follows the new rate, and with it the lowest frequency shown.
        UpdateFreqResolution();
        if (fra::BoxValue(edSpecFL) < int(FreqResolution))
            edSpecFL->setText(QString::number(int(FreqResolution)));
        ComputeSpectrum();
    }
    edSpecFreq->selectAll();
}
