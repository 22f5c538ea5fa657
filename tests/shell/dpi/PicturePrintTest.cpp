// The logging and analysis windows printed on the screen this executable runs on (96 dpi, or 192
// dpi with Qt's own scaling on or off): each printout shows the window's picture fitted to the
// page's printed area, as at 96 dpi, with the footer's strip under it.
#include "AppTest.h"

#include "analysis/FreqAnalyze.h"
#include "link/UnitGeneral.h"
#include "logging/UnitLogging_QWC.h"
#include "shell/UnitMain.h"
#include "ui/Canvas.h"
#include "ui/Printing.h"

#include <QPageLayout>
#include <QProcess>
#include <cmath>

namespace {

constexpr int kRenderDpi = 40;

class PicturePrintTest : public AppTest {
protected:
    void TearDown() override {
        ui::SetPrintDialogResponder({});
        AppTest::TearDown();
    }

    // Presses the print button, prints to PDF and renders the page as a picture.
    QImage PrintedPage(QAbstractButton* print, const QString& name) {
        const QString pdf = Path(name + ".pdf");
        ui::SetPrintDialogResponder([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        print->click();
        QProcess pdftoppm;
        pdftoppm.start("pdftoppm",
                       {"-r", QString::number(kRenderDpi), "-png", "-singlefile", pdf, Path(name)});
        if (!pdftoppm.waitForFinished(10000)) return {};
        return QImage(Path(name + ".png")).convertToFormat(QImage::Format_Grayscale8);
    }

    // The printed area of the page, in the rendered picture's pixels.
    static QRect PrintedArea() {
        const QRectF inches =
            mdlGeneral->PrintDialog1->Printer().pageLayout().paintRect(QPageLayout::Inch);
        return QRect(qRound(inches.x() * kRenderDpi), qRound(inches.y() * kRenderDpi),
                     qRound(inches.width() * kRenderDpi), qRound(inches.height() * kRenderDpi));
    }

    // The smallest rectangle holding every pixel of the page that is not white.
    static QRect Printed(const QImage& page) {
        QRect printed;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 250) printed |= QRect(x, y, 1, 1);
        return printed;
    }

    // How far two pictures of one size differ: the mean difference of their grey levels.
    static double Difference(const QImage& one, const QImage& other) {
        double sum = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x)
                sum += std::abs(qGray(one.pixel(x, y)) - qGray(other.pixel(x, y)));
        return sum / (one.width() * one.height());
    }

    // The page shows the window's picture across the printed area's width, from its top left
    // corner, with the footer's strip below it, and the picture is the window's.
    static void ExpectPictureFills(const QImage& page, const QImage& window) {
        ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) is needed";
        const QRect area = PrintedArea();
        const QRect printed = Printed(page);
        EXPECT_LE(std::abs(printed.left() - area.left()), 1);
        EXPECT_LE(std::abs(printed.top() - area.top()), 1);
        EXPECT_LE(std::abs(printed.width() - area.width()), 2);
        // The footer adds a strip of a line of 12 points: at most a tenth of the window's height.
        const double height = printed.width() * window.height() / double(window.width());
        EXPECT_GT(printed.height(), height);
        EXPECT_LT(printed.height(), height * 1.1);
        const QSize compared(60, qRound(60 * window.height() / double(window.width())));
        const QImage shown = page.copy(QRect(printed.topLeft(), QSize(printed.width(), height)))
                                 .scaled(compared, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage designed =
            window.convertToFormat(QImage::Format_Grayscale8)
                .scaled(compared, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(Difference(shown, designed), 6);
    }

    // A plot drawn at the screen's resolution, whoever scales it, not enlarged from the design's
    // pixels: its picture has a pixel for each of the screen's, and the window, which the
    // printout takes, shows them as they are.
    static void ExpectDrawnAtTheScreensResolution(QWidget& box) {
        const auto& plot = dynamic_cast<const ui::PaintBox&>(box).GetCanvas();
        const int factor = std::max(1, qEnvironmentVariableIntValue("KASONT_SCREEN_DPI") / 96);
        EXPECT_EQ(plot.Size(), QSize(680, 290));
        EXPECT_EQ(plot.Image().size(), factor * plot.Size());
        QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage drawn = plot.Image().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        drawn.setDevicePixelRatio(1);
        EXPECT_TRUE(shown == drawn);
    }
};

TEST_F(PicturePrintTest, LoggingAndAnalysisPicturesFillThePrintedArea) {
    StartOnSeries(2, "QWC50A_C3");
    frmMain->Show();
    frmMain->btnPopupLogging->trigger();
    ASSERT_TRUE(frmLogging_QWC->isVisible());
    const QImage logging = PrintedPage(frmLogging_QWC->btnPrint, "logging");
    {
        SCOPED_TRACE("logging");
        ExpectPictureFills(logging, frmLogging_QWC->grab().toImage());
    }

    frmMain->btnPopupFRA->trigger();
    ASSERT_TRUE(frmFRA->isVisible());
    ExpectDrawnAtTheScreensResolution(*frmFRA->AnGraph);
    const QImage analysis = PrintedPage(frmFRA->btPrint, "analysis");
    SCOPED_TRACE("analysis");
    ExpectPictureFills(analysis, frmFRA->grab(frmFRA->pcAnalyze->geometry()).toImage());
    EXPECT_TRUE(messages.empty());
}

} // namespace
