// The analysis numerics on their own: the chirp-z transform against a direct DFT made by
// reference/make_reference.py, the FFT's tables, window functions, gain and phase of sweep
// points, the text-table reader and the measurement and spectrum sources.
#include "analysis/ChirpZ.h"
#include "analysis/FraResponse.h"
#include "analysis/MeasurementFile.h"
#include "analysis/RadixTwoFft.h"
#include "analysis/SampleSource.h"
#include "analysis/TextTable.h"

#include <climits>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace {

struct ReferenceCase {
    const char* name;
    int window;
    std::vector<int> samples;
    std::vector<double> re;
    std::vector<double> im;
};

const ReferenceCase kReference[] = {
#include "reference/chirpz_reference.inc"
};

// Windows and transforms the samples as the spectrum page does.
void Transform(int window, const std::vector<int>& samples, std::vector<double>& re,
               std::vector<double>& im) {
    const int n = static_cast<int>(samples.size());
    re.resize(n);
    im.assign(n, 0.0);
    for (int i = 0; i < n; ++i)
        re[i] = fra::ApplyWindow(window, samples[i], i, n);
    fra::TChirpZ record;
    ASSERT_EQ(fra::ChirpZInit(record, n, n), 0);
    fra::ChirpZTransform(record, false, re.data(), im.data());
    fra::ChirpZFree(record);
    EXPECT_EQ(record.chirpRe, nullptr);
    EXPECT_EQ(record.fftSize, 0);
}

// The DFT with the 1/N factor, summed directly in long double with exactly reduced angles.
void DirectDft(const std::vector<double>& re, std::vector<long double>& outRe,
               std::vector<long double>& outIm) {
    const long long n = static_cast<long long>(re.size());
    std::vector<long double> cosine(n), sine(n);
    for (long long m = 0; m < n; ++m) {
        const long double angle = 2.0L * std::numbers::pi_v<long double> * m / n;
        cosine[m] = std::cos(angle);
        sine[m] = std::sin(angle);
    }
    outRe.assign(n, 0.0L);
    outIm.assign(n, 0.0L);
    for (long long k = 0; k < n; ++k) {
        long double sumRe = 0.0L, sumIm = 0.0L;
        long long m = 0; // n * k mod N
        for (long long i = 0; i < n; ++i) {
            sumRe += re[i] * cosine[m];
            sumIm -= re[i] * sine[m];
            m += k;
            if (m >= n) m -= n;
        }
        outRe[k] = sumRe / n;
        outIm[k] = sumIm / n;
    }
}

// The root-mean-square error of a transform relative to the root-mean-square of the reference.
double RelativeError(const std::vector<double>& re, const std::vector<double>& im,
                     const std::vector<long double>& refRe, const std::vector<long double>& refIm) {
    long double error = 0.0L, norm = 0.0L;
    for (std::size_t k = 0; k < re.size(); ++k) {
        error += (re[k] - refRe[k]) * (re[k] - refRe[k]) + (im[k] - refIm[k]) * (im[k] - refIm[k]);
        norm += refRe[k] * refRe[k] + refIm[k] * refIm[k];
    }
    return static_cast<double>(std::sqrt(error / norm));
}

fra::TextTable Read(const std::string& text, int rows = 100) {
    fra::TextTable table(rows);
    std::istringstream stream(text);
    fra::ReadTextTable(table, stream);
    return table;
}

} // namespace

TEST(ChirpZ, MatchesTheDirectTransformOfTheReferenceCases) {
    for (const ReferenceCase& c : kReference) {
        std::vector<double> re, im;
        Transform(c.window, c.samples, re, im);
        const double tolerance = 1e-9 * (1.0 + std::abs(c.re[0]) + 100.0);
        for (std::size_t k = 0; k < c.samples.size(); ++k) {
            EXPECT_NEAR(re[k], c.re[k], tolerance) << c.name << " bin " << k;
            EXPECT_NEAR(im[k], c.im[k], tolerance) << c.name << " bin " << k;
        }
    }
}

// The chirp-z transform against the direct sum, at prime, smooth and power-of-two lengths up to
// the largest source.
TEST(ChirpZ, EqualsTheDirectDftAtPrimeAndCompositeLengths) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    for (const int n : {2, 3, 5, 16, 97, 1000, 1024, 4096, 8191, 9973, 10000, 10007}) {
        std::vector<double> windowed(n);
        for (int i = 0; i < n; ++i)
            windowed[i] = fra::ApplyWindow(fra::wfHanning, sample(random), i, n);
        std::vector<long double> refRe, refIm;
        DirectDft(windowed, refRe, refIm);

        std::vector<double> re = windowed, im(n, 0.0);
        fra::TChirpZ record;
        ASSERT_EQ(fra::ChirpZInit(record, n, n), 0) << n;
        fra::ChirpZTransform(record, false, re.data(), im.data());
        fra::ChirpZFree(record);
        EXPECT_LT(RelativeError(re, im, refRe, refIm), 1e-12) << "N = " << n;
    }
}

// The inverse transform of a record undoes its forward one, and a record of fewer outputs than
// inputs gives the first bins of the whole transform.
TEST(ChirpZ, InverseAndFewerOutputs) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> sample(-1000.0, 1000.0);
    for (const int n : {2, 7, 64, 1000, 4099}) {
        std::vector<double> re(n), im(n);
        for (int i = 0; i < n; ++i) {
            re[i] = sample(random);
            im[i] = sample(random);
        }
        const std::vector<double> re0 = re, im0 = im;
        fra::TChirpZ record;
        ASSERT_EQ(fra::ChirpZInit(record, n, n), 0) << n;
        fra::ChirpZTransform(record, false, re.data(), im.data());
        fra::ChirpZTransform(record, true, re.data(), im.data());
        fra::ChirpZFree(record);
        const std::vector<long double> refRe(re0.begin(), re0.end()), refIm(im0.begin(), im0.end());
        EXPECT_LT(RelativeError(re, im, refRe, refIm), 1e-12) << "N = " << n;
    }

    const int n = 977, m = 40; // a prime; L = 1024 >= N + M
    std::vector<double> samples(n);
    for (double& s : samples)
        s = sample(random);
    std::vector<long double> refRe, refIm;
    DirectDft(samples, refRe, refIm);
    std::vector<double> re = samples, im(n, 0.0);
    fra::TChirpZ record;
    ASSERT_EQ(fra::ChirpZInit(record, n, m), 0);
    EXPECT_EQ(record.convSize, 1024);
    fra::ChirpZTransform(record, false, re.data(), im.data());
    fra::ChirpZFree(record);
    EXPECT_EQ(re[m], samples[m]); // only the first M are written back
    EXPECT_EQ(re[n - 1], samples[n - 1]);
    re.resize(m);
    im.resize(m);
    refRe.resize(m);
    refIm.resize(m);
    EXPECT_LT(RelativeError(re, im, refRe, refIm), 1e-12);
}

TEST(ChirpZ, ConvolutionLengthAndRefusals) {
    struct {
        int n, l;
    } lengths[] = {{2, 4}, {5, 16}, {1000, 2048}, {1024, 2048}, {3, 8}};
    for (const auto& [n, l] : lengths) {
        fra::TChirpZ record;
        ASSERT_EQ(fra::ChirpZInit(record, n, n), 0);
        EXPECT_EQ(record.convSize, l) << n;
        EXPECT_EQ(record.fftSize, l) << n;
        fra::ChirpZFree(record);
    }
    fra::TChirpZ record;
    EXPECT_EQ(fra::ChirpZInit(record, 1, 1), 1);
    EXPECT_EQ(fra::ChirpZInit(record, 0, 0), 1);
    EXPECT_EQ(record.chirpRe, nullptr);
    EXPECT_EQ(fra::FftInit(record, 12), 1);
    EXPECT_EQ(fra::FftInit(record, 2), 1);
    EXPECT_EQ(record.sineTable, nullptr);

    // The butterflies run four points at a time: fewer would be read past the end.
    double table[16] = {};
    for (const int n : {2, 1, 0, -4, 12})
        EXPECT_THROW(fra::RadixTwoFft(n, table), std::invalid_argument) << n;
    // A record owns its arrays: a copy would free them a second time.
    EXPECT_FALSE(std::is_copy_constructible_v<fra::TChirpZ>);
    EXPECT_FALSE(std::is_copy_assignable_v<fra::TChirpZ>);
}

TEST(ChirpZ, SignalsWithKnownSpectra) {
    std::vector<double> re, im;
    Transform(fra::wfRectangular, std::vector<int>(9, 40), re, im);
    EXPECT_NEAR(re[0], 40.0, 1e-9);
    for (int k = 1; k < 9; ++k)
        EXPECT_NEAR(std::hypot(re[k], im[k]), 0.0, 1e-9) << k;

    Transform(fra::wfHanning, std::vector<int>(10, 40), re, im);
    EXPECT_NEAR(re[0], 20.0, 1e-9);
    EXPECT_NEAR(std::hypot(re[1], im[1]), 10.0, 1e-9);
    EXPECT_NEAR(std::hypot(re[9], im[9]), 10.0, 1e-9);

    const int n = 30, k0 = 4;
    std::vector<int> cosine(n);
    for (int i = 0; i < n; ++i)
        cosine[i] = int(std::lround(1000.0 * std::cos(2 * std::numbers::pi * k0 * i / n)));
    Transform(fra::wfRectangular, cosine, re, im);
    EXPECT_NEAR(std::hypot(re[k0], im[k0]), 500.0, 0.5);
    EXPECT_NEAR(std::hypot(re[n - k0], im[n - k0]), 500.0, 0.5);
}

TEST(ChirpZ, FftTablesAndInverse) {
    double table[12];
    fra::MakeTrigTable(16, table);
    for (int k = 0; k < 12; ++k)
        EXPECT_NEAR(table[k], std::sin(2 * std::numbers::pi * k / 16), 1e-15) << k;
    int reverse[8];
    fra::MakeBitReverseTable(8, reverse);
    EXPECT_EQ(std::vector<int>(reverse, reverse + 8), (std::vector<int>{0, 4, 2, 6, 1, 5, 3, 7}));

    fra::TChirpZ record;
    ASSERT_EQ(fra::FftInit(record, 8), 0);
    double x[8] = {1, 2, 3, 4, -5, 6, 7, 0}, y[8] = {0, 1, 0, -1, 0, 2, 0, 0};
    const std::vector<double> x0(x, x + 8), y0(y, y + 8);
    fra::Fft(record, false, x, y);
    EXPECT_NEAR(x[0], 18.0 / 8, 1e-12); // the forward transform is scaled by 1/n
    fra::Fft(record, true, x, y);
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(x[k], x0[k], 1e-12);
        EXPECT_NEAR(y[k], y0[k], 1e-12);
    }
    fra::FftFree(record);
}

TEST(Windows, WeightsOfEachWindow) {
    EXPECT_DOUBLE_EQ(fra::ApplyWindow(0, 3.0, 2, 8), 3.0);
    EXPECT_NEAR(fra::ApplyWindow(1, 2.0, 0, 8), 0.0, 1e-15);
    EXPECT_NEAR(fra::ApplyWindow(1, 2.0, 4, 8), 2.0, 1e-15); // periodic: the middle is 1
    EXPECT_NEAR(fra::ApplyWindow(2, 1.0, 0, 8), 0.08, 1e-15);
    EXPECT_NEAR(fra::ApplyWindow(2, 1.0, 4, 8), 1.0, 1e-15);
    EXPECT_NEAR(fra::ApplyWindow(3, 1.0, 0, 8), 0.0, 1e-15);
    EXPECT_NEAR(fra::ApplyWindow(3, 1.0, 4, 8), 1.0, 1e-15);
    EXPECT_DOUBLE_EQ(fra::ApplyWindow(7, 5.0, 3, 8), 5.0);
    EXPECT_DOUBLE_EQ(fra::ApplyWindow(-1, 5.0, 3, 8), 5.0);
}

TEST(FraResponse, GainAndPhaseOfSweepPoints) {
    struct Row {
        TFraPoint point;
        bool complexData, openLoop;
        double db;
        int phase;
    } rows[] = {
        {{100, 1000, 0, -1000}, true, false, 0.0, -90},       // |Y| = X, lagging 90
        {{100, 1000, 100, 0}, true, false, -20.0, 0},         // a tenth
        {{100, 0, 100, 0}, true, false, 140.0, 0},            // X = 0 reads as 0.00001
        {{100, 1000, 500, 0}, true, true, 0.0, 0},            // Y/(X - Y) = 1
        {{100, 1000, 1000, 0}, true, true, 100.0, 0},         // X - Y = 0: 100000
        {{100, 1000, 0, 0}, true, false, -66.0, 0},           // nothing measured
        {{100, 1000, 2000, 45}, false, false, 6.0206, 45},    // amplitude data
        {{100, 1000, 500, 0}, false, true, 0.0, 0},           // open loop of amplitude data
        {{100, 1000, 1000, -90}, false, true, -3.0060, -135}, // Y = -jX, X - Y in whole units
    };
    for (const Row& r : rows) {
        EXPECT_NEAR(fra::GainDb(fra::BodeGainRatio(r.point, r.complexData, r.openLoop)), r.db, 1e-3)
            << r.point.Value3 << "," << r.point.Value4;
        EXPECT_EQ(fra::BodePhase(r.point, r.complexData, r.openLoop), r.phase)
            << r.point.Value3 << "," << r.point.Value4;
    }
    EXPECT_EQ(fra::RollOverPhase(190), -170);
    EXPECT_EQ(fra::RollOverPhase(-190), 170);
    EXPECT_EQ(fra::RollOverPhase(180), 180);
    EXPECT_EQ(fra::RollOverPhase(-180), -180);
    EXPECT_EQ(fra::RollOverPhase(370), 10);

    const fra::PolarPoint unit = fra::VectorPoint({10, 1000, 1000, 0}, true, false);
    EXPECT_DOUBLE_EQ(unit.ratio, 1.0);
    EXPECT_DOUBLE_EQ(unit.angle, 0.0);
    EXPECT_DOUBLE_EQ(fra::VectorPoint({10, 0, 10, 0}, true, false).ratio, 100000.0);
    const fra::PolarPoint open = fra::VectorPoint({10, 1000, 1000, -90}, false, true);
    EXPECT_NEAR(open.ratio, std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(open.angle, -3 * std::numbers::pi / 4, 1e-9);
}

TEST(TextTable, SeparatorsRowsAndBounds) {
    for (const char* text : {"1 2 3\r\n", "1   2\t 3\n", "1,2,3\n", "1, 2,3"}) {
        const fra::TextTable table = Read(text);
        EXPECT_EQ(table.RowCount, 1) << text;
        EXPECT_EQ(table.Cell(0, 0), "1") << text;
        EXPECT_EQ(table.Cell(0, 1), "2") << text;
        EXPECT_EQ(table.Cell(0, 2), "3") << text;
    }
    const fra::TextTable joined = Read("a,b,\nc\nd,e\n");
    EXPECT_EQ(joined.RowCount, 2);
    EXPECT_EQ(joined.Cell(0, 2), "c");
    EXPECT_EQ(joined.Cell(1, 1), "e");
    const fra::TextTable empty = Read("a ,b\n,,x\n");
    EXPECT_EQ(empty.Cell(0, 1), "");
    EXPECT_EQ(empty.Cell(0, 2), "b");
    EXPECT_EQ(empty.Cell(1, 2), "x");
    // A row keeps five cells; the sixth is counted, never stored over the first.
    const fra::TextTable six = Read("1,2,3,4,5,6\n7\n");
    EXPECT_EQ(six.ColumnCount, 5);
    EXPECT_EQ(six.Cell(0, 0), "1");
    EXPECT_EQ(six.Cell(0, 4), "5");
    EXPECT_EQ(six.CellCount(0), 6);
    EXPECT_EQ(six.CellCount(1), 1);
    EXPECT_EQ(six.MostCells(), 6);
    EXPECT_EQ(six.Cell(1, 0), "7");
    const fra::TextTable stop = Read("1,2\n3,4\n\xFF"
                                     "5,6\n");
    EXPECT_EQ(stop.RowCount, 2);
    EXPECT_EQ(stop.EndMarkLine, 3); // the line of the 0xFF, with more after it
    EXPECT_EQ(Read("1,2\n\xFF \r\n").EndMarkLine, 0);
    const fra::TextTable cut =
        Read("a b\n1 " + std::string(100, 'x') + " " + std::string(64, 'y') + "\n");
    EXPECT_EQ(cut.Cell(1, 1).size(), 63u);
    EXPECT_EQ(std::make_pair(cut.CutRow, cut.CutCol), std::make_pair(1, 1)); // the first cut
    EXPECT_EQ(Read("a b\n").CutRow, -1);
    const fra::TextTable bounded = Read("1\n2\n3\n4\n", 3);
    EXPECT_EQ(bounded.RowCount, 3);
    EXPECT_TRUE(bounded.Overflow);
}

TEST(TextTable, WholeNumbersAreOneSignAndDigitsWithinTheIntRange) {
    EXPECT_EQ(fra::ParseWholeNumber("  +12"), 12);
    EXPECT_EQ(fra::ParseWholeNumber("-2147483648"), INT_MIN);
    EXPECT_EQ(fra::ParseWholeNumber("2147483647"), INT_MAX);
    for (const char* text : {"+-5", "-+5", "--5", "+", "-", "", " ", "2147483648", "12 ", "1e3",
                             "99999999999999999999", "0x10", "5\r"})
        EXPECT_FALSE(fra::ParseWholeNumber(text).has_value()) << text;
}

TEST(MeasurementFile, ParseAndFormat) {
    const std::vector<TFraPoint> points = {
        {10, 100, 5, -3}, {12, 100, 6, -4}, {17, 100, 7, -5}, {22, 100, 8, -6}};
    const std::string text = fra::FormatMeasurement({"SGF", "SGA", "RMAX", "JMAX"}, points);
    EXPECT_EQ(text.substr(0, 25), "SGF,SGA,RMAX,JMAX\r\n10,100");
    const fra::LoadedMeasurement loaded = fra::ParseMeasurement(Read(text));
    ASSERT_TRUE(loaded.valid);
    EXPECT_EQ(loaded.points.size(), 4u);
    EXPECT_EQ(loaded.points[3].Value4, -6);
    EXPECT_EQ(loaded.fromHz, 10);
    EXPECT_EQ(loaded.toHz, 22);
    EXPECT_EQ(loaded.stepHz, 5); // the first difference is not used
    EXPECT_EQ(fra::FormatMeasurement({}, {}), ",,,\r\n");

    EXPECT_FALSE(fra::ParseMeasurement(Read("A,B,C\n1,2,3\n")).valid);
    const fra::LoadedMeasurement upload =
        fra::ParseMeasurement(Read("LTIME=1     SGF         SGA         RMAX        JMAX\n"
                                   "#%0010C000  5           9           1           2\n"));
    ASSERT_TRUE(upload.valid);
    EXPECT_EQ(upload.columnNames[0], "SGF");
    EXPECT_EQ(upload.points[0].Freq, 5);
    EXPECT_FALSE(fra::ParseMeasurement(Read("A,B,C,D\n0,1,1,1\n")).valid);
    EXPECT_FALSE(fra::ParseMeasurement(Read("A,B,C,D\n10,x,1,1\n")).valid);
    EXPECT_EQ(fra::FormatSamples("V", {3, -2}), "V\r\n3\r\n-2\r\n");
}

TEST(SpectrumSource, SamplingFrequencyFromPeriodAndTimeColumn) {
    EXPECT_EQ(fra::SamplingFreqOfPeriod("LTIME=1"), 1000.0);
    EXPECT_EQ(fra::SamplingFreqOfPeriod("LTIME=3"), 333.0);
    EXPECT_EQ(fra::SamplingFreqOfPeriod("LTIME=2000"), 0.0);
    EXPECT_EQ(fra::SamplingFreqOfPeriod("LTIME=-4"), 4000.0);
    EXPECT_EQ(fra::SamplingFreqOfPeriod("LTIME=0"), 0.0);
    EXPECT_FALSE(fra::SamplingFreqOfPeriod("LTIME=x"));
    EXPECT_EQ(fra::SamplingFreqOfTimeColumn({0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3}), 4000.0);
    EXPECT_EQ(fra::SamplingFreqOfTimeColumn({0, 1, 1, 2, 2, 2, 3}), 0.0);
    EXPECT_EQ(fra::SamplingFreqOfTimeColumn({0, 1, 1, 2, 2}), 0.0);
    EXPECT_EQ(fra::SamplingFreqOfTimeColumn({}), 0.0);

    const fra::SpectrumColumns columns =
        fra::ReadSpectrumColumns(Read("LTIME=1 TIME A B\nx 0 1 2\n")).value();
    EXPECT_EQ(columns.shift, 1);
    EXPECT_EQ(columns.samplingFreq, 1000.0);
    EXPECT_EQ(columns.names, (std::vector<std::string>{"TIME", "A", "B"}));
    EXPECT_TRUE(fra::ReadSpectrumColumns(Read(""))->names.empty());
}
