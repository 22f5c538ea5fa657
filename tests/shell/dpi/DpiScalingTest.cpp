// The windows on a screen of 192 pixels per inch with Qt's own scaling off, the environment this
// executable runs in: controls at twice their places and sizes, pixel fonts twice as large, and
// drawings made in the design's pixels shown twice as large. (Window sizes and whole texts:
// WindowLayoutTest.)
#include "AppTest.h"

#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "shell/UnitSplashWindow.h"
#include "shell/UnitVersion.h"
#include "status/UnitStat_QWC.h"
#include "ui/DpiScaling.h"

#include <QApplication>
#include <QTimer>

namespace {

class DpiScalingTest : public AppTest {
protected:
    void Start(int series, const QByteArray& model) {
        StartOnSeries(series, model);
        ASSERT_EQ(frmMain->logicalDpiX(), 192) << "run with QT_FONT_DPI=192";
    }
    static QRect Twice(const QRect& designed) {
        return QRect(2 * designed.topLeft(), 2 * designed.size());
    }
    // Where a control stands in its window.
    static QRect InWindow(const QWidget& control) {
        return QRect(control.mapTo(control.window(), QPoint(0, 0)), control.size());
    }
};

// Each logging window with RUN at twice its place, the plot's picture shown twice as large while
// the plot and the cursor keep the design's pixels (the readout of the bars at their first places
// is that of the design: two divisions of 10000).
TEST_F(DpiScalingTest, LoggingWindowsShowTheirDesignTwiceAsLarge) {
    struct Case {
        int series;
        QByteArray model;
        QRect run;
    };
    const Case cases[] = {{0, "QWA-D56", {632, 442, 48, 26}},
                          {1, "QWB10", {632, 420, 76, 40}},
                          {2, "QWC50A_C3", {632, 420, 76, 40}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.series);
        Start(c.series, c.model);
        frmMain->btnPopupLogging->trigger();
        TLoggingWindow* window = c.series == 0   ? static_cast<TLoggingWindow*>(frmLogging)
                                 : c.series == 1 ? static_cast<TLoggingWindow*>(frmLogging_QWB)
                                                 : static_cast<TLoggingWindow*>(frmLogging_QWC);
        ASSERT_TRUE(window->isVisible());
        EXPECT_EQ(window->btnRun->geometry(), Twice(c.run));

        EXPECT_EQ(window->PlotWidth, 500);
        const QImage shown = window->Screen->grab().toImage();
        const QImage& canvas = window->Canvas().Image();
        for (const QPoint p :
             {QPoint(66, 200), QPoint(316, 150), QPoint(200, window->PlotTop + 160),
              QPoint(100, 100), QPoint(600, 120)})
            EXPECT_EQ(shown.pixelColor(2 * p), canvas.pixelColor(p)) << p.x() << "," << p.y();
        StopProgram();
    }

    Start(2, "QWC50A_C3");
    frmMain->btnPopupLogging->trigger();
    TfrmLogging_QWC* window = frmLogging_QWC;
    window->btnCursor->click();
    window->Cursor_Prm->Item(1)->click();
    EXPECT_EQ(window->Topbar->Top(), 158);
    EXPECT_EQ(window->Topbar->y(), 2 * 158);
    EXPECT_EQ(window->Label4->text(), "20000 [count]");
}

// The status monitor's lamps at twice their places in twice their font, the lock window's mark
// column twice as wide beside the grid, and the version box's labels in twice their font. The
// factor is a whole number, and a screen under 96 dpi keeps the design's pixels.
TEST_F(DpiScalingTest, WindowsLaidOutInPixelsTakeTheFactor) {
    EXPECT_EQ(ui::DpiFactor(96), 1);
    EXPECT_EQ(ui::DpiFactor(120), 1);
    EXPECT_EQ(ui::DpiFactor(191), 1);
    EXPECT_EQ(ui::DpiFactor(192), 2);
    EXPECT_EQ(ui::DpiFactor(72), 1);

    Start(3, "QWD50A");
    frmMain->btnStat->click();
    ASSERT_TRUE(frmStat_QWC->isVisible());
    EXPECT_EQ(frmStat_QWC->lblStat[0]->geometry(), Twice({10, 17, 13, 12}));
    EXPECT_EQ(frmStat_QWC->lblStat[0]->font().pixelSize(), 24);

    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrmLock->isVisible());
    EXPECT_EQ(frmPrmLock->clbPrm->width(), 34);
    EXPECT_EQ(frmPrmLock->clbPrm->geometry().right() + 1, frmPrmLock->grdPrm->x());
    EXPECT_EQ(frmPrmLock->clbPrm->font().pixelSize(), 34);

    int titlePixels = 0;
    ui::SetModalResponder([&](ui::Form& form) {
        auto& box = dynamic_cast<TfrmVersion&>(form);
        titlePixels = box.Label1->font().pixelSize();
        EXPECT_EQ(box.Label2->font().pixelSize(), titlePixels);
        return ui::mrCancel;
    });
    frmMain->btnPopupHelp->trigger();
    EXPECT_EQ(titlePixels, 26);
}

// The splash window and the setup dialog, which layouts place, with their controls at twice the
// places their layouts give them at 96 dpi (as the 96 dpi layout test's screen shows them).
TEST_F(DpiScalingTest, LaidOutWindowsPlaceTheirControlsAtTwiceTheirDesign) {
    WriteSetting("Model", "ModelType", 1); // the scan at start on: the splash window shows
    StartProgram();
    bool splashChecked = false;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
        if (splashChecked || !frmSplashWindow) return;
        splashChecked = true;
        EXPECT_EQ(InWindow(*frmSplashWindow->Panel1), Twice({11, 11, 298, 16}));
        EXPECT_EQ(InWindow(*frmSplashWindow->grpAxisCondition->Edit[0]), Twice({62, 82, 40, 15}));
        EXPECT_EQ(InWindow(*frmSplashWindow->btnCancel), Twice({210, 271, 87, 16}));
    });
    frmMain->Show();
    EXPECT_TRUE(splashChecked);

    bool setupChecked = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* setup = qobject_cast<TfrmSetup*>(QApplication::activeModalWidget());
        if (!setup || !setup->isVisible()) return;
        watch.stop();
        setupChecked = true;
        EXPECT_EQ(InWindow(*setup->btnClose), Twice({287, 31, 80, 22}));
        EXPECT_EQ(InWindow(*setup->grpAxisCondition->Edit[0]), Twice({82, 239, 40, 22}));
        EXPECT_EQ(InWindow(*setup->btnCheck), Twice({248, 491, 107, 22}));
        setup->close();
    });
    watch.start(10);
    frmMain->btnSetup->click();
    EXPECT_TRUE(setupChecked);
}

} // namespace
