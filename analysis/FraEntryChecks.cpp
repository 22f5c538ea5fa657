// The number boxes that correct their own text on Enter or when left, and the print of the
// visible page.
#include "FreqAnalyze.h"

#include "TextTable.h"

#include "shell/LogPrint.h"

#include <algorithm>
#include <climits>

namespace {

void OnEnter(fra::FraEdit* box, std::function<void()> check) {
    box->OnKeyPress = [check](QChar& key) {
        if (key == '\r') check();
    };
}

} // namespace

void TfrmFRA::ConnectEntryChecks() {
    edFreqFrom->OnExit = [this] { CheckFreqFrom(); };
    OnEnter(edFreqFrom, [this] { CheckFreqFrom(); });
    edFreqTo->OnExit = [this] { CheckFreqTo(); };
    OnEnter(edFreqTo, [this] { CheckFreqTo(); });
    for (int n = 0; n < 3; ++n) {
        edLCF[n]->OnExit = [this, n] { CheckLowDisplay(n); };
        // The first buffer's low box checks only when it is left.
        if (n > 0) OnEnter(edLCF[n], [this, n] { CheckLowDisplay(n); });
        edHCF[n]->OnExit = [this, n] { CheckHighDisplay(n); };
        OnEnter(edHCF[n], [this, n] { CheckHighDisplay(n); });
    }
    edSpecFL->OnExit = [this] { CheckSpecLow(false); };
    OnEnter(edSpecFL, [this] { CheckSpecLow(true); });
    edSpecFH->OnExit = [this] { CheckSpecHigh(false); };
    OnEnter(edSpecFH, [this] { CheckSpecHigh(true); });
    edSpecFreq->OnKeyPress = [this](QChar& key) { edSpecFreqKeyPress(key); };
}

namespace fra {

int SweepLimit(int controlKhz) {
    const long long limit = static_cast<long long>(controlKhz) * 1000 / 2;
    return static_cast<int>(std::clamp<long long>(limit, INT_MIN, INT_MAX));
}

} // namespace fra

namespace {

int SweepLimit(const QString& svkhz) {
    return fra::SweepLimit(fra::StrToInt(svkhz.toStdString()));
}

} // namespace

void TfrmFRA::CheckFreqFrom() {
    int v = fra::BoxValue(edFreqFrom);
    if (v <= 0) v = 1;
    if (fra::BoxValue(edFreqTo) < v) v = fra::BoxValue(edFreqTo);
    const int limit = SweepLimit(SvkhzText);
    if (v > limit) v = limit;
    edFreqFrom->setText(QString::number(v));
}

void TfrmFRA::CheckFreqTo() {
    int v = fra::BoxValue(edFreqTo);
    if (v < fra::BoxValue(edFreqFrom)) v = fra::BoxValue(edFreqFrom);
    const int limit = SweepLimit(SvkhzText);
    if (v > limit) v = limit;
    edFreqTo->setText(QString::number(v));
}

void TfrmFRA::CheckLowDisplay(int n) {
    if (edLCF[n]->text().isEmpty()) return;
    int v = fra::BoxValue(edLCF[n]);
    if (v <= 0) v = 1;
    if (fra::BoxValue(edHCF[n]) < v) v = fra::BoxValue(edHCF[n]);
    if (v > 10000) v = 10000;
    edLCF[n]->setText(QString::number(v));
    edLCF[n]->selectAll();
}

void TfrmFRA::CheckHighDisplay(int n) {
    if (edHCF[n]->text().isEmpty()) return;
    int v = fra::BoxValue(edHCF[n]);
    if (v <= 0) v = 1;
    if (v < fra::BoxValue(edLCF[n])) v = fra::BoxValue(edLCF[n]);
    if (v > 10000) v = 10000;
    edHCF[n]->setText(QString::number(v));
    edHCF[n]->selectAll();
}

void TfrmFRA::CheckSpecLow(bool enter) {
    const int typed = fra::BoxValue(edSpecFL);
    const int resolution = int(FreqResolution);
    if (typed < resolution) edSpecFL->setText(QString::number(resolution));
    if (fra::BoxValue(edSpecFH) < typed) edSpecFL->setText(edSpecFH->text());
    if (enter) edSpecFL->selectAll();
    DrawActivePage();
}

void TfrmFRA::CheckSpecHigh(bool enter) {
    if (fra::BoxValue(edSpecFH) > 10000) edSpecFH->setText("10000");
    if (fra::BoxValue(edSpecFH) < fra::BoxValue(edSpecFL)) edSpecFH->setText(edSpecFL->text());
    if (enter) edSpecFH->selectAll();
    DrawActivePage();
}

void TfrmFRA::UpdateFreqResolution() {
    FreqResolution = Spectrum.SampleCount > 0
                         ? std::max(Spectrum.SamplingFreq / Spectrum.SampleCount, 1.0)
                         : 1.0;
}

void TfrmFRA::PrintPage() {
    PrintScreenRegion(this, pcAnalyze->geometry(), "KasoNT FRA");
    DrawActivePage();
}
