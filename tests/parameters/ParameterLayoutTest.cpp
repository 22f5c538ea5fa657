// How the parameter windows look when they open: the lock list beside the grid's rows at every
// scroll position and size, all columns in view, names in the fixed-pitch font, the guide pane
// from its name line, and the progress window in the middle of the screen.
#include "AppTest.h"

#include "link/UnitCommCancel.h"
#include "parameters/PrmGuide.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "ui/Widgets.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>

namespace {

class ParameterLayoutTest : public AppTest {
protected:
    void Open(int series, const QByteArray& model) {
        StartOnSeries(series, model);
        frmMain->btnPopupPrm->trigger();
        Settle();
    }
    static void Settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    // The window-relative top of lock item i and of the grid row of parameter #i.
    static int ItemTop(int i) {
        QListWidget* list = frmPrmLock->clbPrm;
        return list->viewport()
            ->mapTo(frmPrmLock, list->visualItemRect(list->item(i)).topLeft())
            .y();
    }
    static int RowTop(int i) {
        ui::StringGrid* grid = frmPrmLock->grdPrm;
        return grid->viewport()
            ->mapTo(frmPrmLock, grid->visualRect(grid->model()->index(i, 1)).topLeft())
            .y();
    }
};

TEST_F(ParameterLayoutTest, LockItemsStandBesideTheirRowsAtEveryScrollPositionAndSize) {
    Open(3, "QWD50A");
    ASSERT_TRUE(frmPrmLock->isVisible());
    ui::StringGrid* grid = frmPrmLock->grdPrm;
    QListWidget* list = frmPrmLock->clbPrm;
    for (const int height : {373, 300, 640}) {
        for (const bool guide : {true, false}) {
            frmPrmLock->PrmGuide_Checkbox->SetChecked(guide);
            frmPrmLock->resize(frmPrmLock->width(), height);
            Settle();
            QScrollBar* bar = grid->verticalScrollBar();
            for (const int top : {0, 7, 100, bar->maximum()}) {
                bar->setValue(top);
                Settle();
                const QString at =
                    QString("height %1 guide %2 top %3").arg(height).arg(guide).arg(top);
                int shown = 0;
                for (int i = 0; i < 200; ++i) {
                    const QRect row = grid->visualRect(grid->model()->index(i, 1));
                    if (!grid->viewport()->rect().contains(row)) continue;
                    ++shown;
                    ASSERT_EQ(ItemTop(i), RowTop(i)) << at.toStdString() << " item " << i;
                    ASSERT_EQ(list->visualItemRect(list->item(i)).height(), row.height() + 1);
                }
                EXPECT_GT(shown, 5) << at.toStdString();
                // At the end the last item is shown beside the last row.
                if (top == bar->maximum()) {
                    EXPECT_EQ(ItemTop(199), RowTop(199)) << at.toStdString();
                }
            }
        }
    }
    // A wheel over the lock list moves the grid with it.
    list->verticalScrollBar()->setValue(30);
    Settle();
    EXPECT_EQ(grid->TopRow(), 31);
    EXPECT_EQ(ItemTop(30), RowTop(30));
}

TEST_F(ParameterLayoutTest, TheLockWindowOpensInTheMiddleOfTheScreen) {
    Open(3, "QWD50A");
    ASSERT_TRUE(frmPrmLock->isVisible());
    const QPoint centre = frmPrmLock->screen()->availableGeometry().center();
    EXPECT_LE((frmPrmLock->frameGeometry().center() - centre).manhattanLength(), 2);
}

TEST_F(ParameterLayoutTest, RepliesMoveTheSelectedRowAndTheViewCatchesUpWithoutScrollingForEach) {
    Open(3, "QWD50A");
    ui::StringGrid* grid = frmPrmLock->grdPrm;
    int gridScrolls = 0;
    int listScrolls = 0;
    QObject::connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, [&] { ++gridScrolls; });
    QObject::connect(frmPrmLock->clbPrm->verticalScrollBar(), &QScrollBar::valueChanged,
                     [&] { ++listScrolls; });
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#150") driver->setFault(sim::Fault::Silent);
                     });
    frmPrmLock->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("#150"); }, 8000));
    Pause(250);
    // The row asked for is selected, in view, with its lock item beside it.
    EXPECT_EQ(grid->Row(), 151);
    EXPECT_EQ(frmPrmLock->clbPrm->ItemIndex(), 150);
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())));
    EXPECT_EQ(ItemTop(150), RowTop(150));
    // 150 replies moved the row past about 140 rows without a scroll for each.
    EXPECT_LT(gridScrolls, 50);
    EXPECT_LT(listScrolls, 50);
    frmCommCancel->btnCancel->click();
}

TEST_F(ParameterLayoutTest, BothWindowsOpenWithEveryColumnInViewAndFixedPitchNames) {
    Open(2, "QWC50A_C3");
    ASSERT_TRUE(frmPrm->isVisible());
    frmPrmLock->Show();
    Settle();
    for (TPrmWindow* window : std::initializer_list<TPrmWindow*>{frmPrm, frmPrmLock}) {
        ui::StringGrid* grid = window->grdPrm;
        const char* name = window == frmPrm ? "list" : "lock";
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible()) << name;
        EXPECT_LE(grid->columnViewportPosition(2) + grid->columnWidth(2), grid->viewport()->width())
            << name;
        const QFontInfo font(grid->font());
        EXPECT_EQ(font.family(), ui::kMonospaceFont) << name;
        EXPECT_EQ(grid->fontMetrics().horizontalAdvance('W'),
                  grid->fontMetrics().horizontalAdvance('i'))
            << name;
        EXPECT_EQ(font.pixelSize(), 12) << name;
        // A row is 16 pixels and its grid line; every name record fits its column.
        EXPECT_EQ(grid->rowHeight(0), 17) << name;
        EXPECT_EQ(grid->horizontalHeader()->height(), 17) << name;
        for (int row = 1; row < grid->RowCount(); ++row)
            ASSERT_LE(grid->fontMetrics().horizontalAdvance(grid->Cell(0, row)),
                      grid->columnWidth(0))
                << name << " row " << row;
        EXPECT_EQ(grid->fontMetrics().horizontalAdvance(" #050 ｱﾅﾛｸﾞﾓﾆﾀch1ｵﾌｾｯﾄ     "),
                  27 * grid->fontMetrics().horizontalAdvance(' '))
            << name;
    }
    EXPECT_EQ(frmPrm->grdPrm->columnWidth(0), 176);
    EXPECT_EQ(frmPrmLock->grdPrm->columnWidth(2), 112);
}

TEST_F(ParameterLayoutTest, TheGuidePaneShowsItsNameLineAndTheProgressWindowIsCentred) {
    Open(2, "QWC50A_C3");
    ASSERT_TRUE(frmPrm->RichEdit1->isVisible());
    int longest = 1;
    for (int row = 1; row <= 110; ++row)
        if (PrmGuideLines(2, "QWC50A_C3", row).size() >
            PrmGuideLines(2, "QWC50A_C3", longest).size())
            longest = row;
    QTextEdit* pane = frmPrm->RichEdit1;
    for (int row : {longest, 9, longest}) {
        frmPrm->grdPrm->SetRow(row);
        Settle();
        if (row == longest) {
            ASSERT_GT(pane->document()->blockCount(), 5);
            ASSERT_GT(pane->verticalScrollBar()->maximum(), 0); // more lines than the pane shows
        }
        EXPECT_TRUE(pane->cursorForPosition(QPoint(4, 4)).block().text().startsWith("名称 : "))
            << row;
        pane->verticalScrollBar()->setValue(
            pane->verticalScrollBar()->maximum()); // read to the end
    }
    frmPrmLock->Show();
    frmPrmLock->grdPrm->SetRow(3);
    Settle();
    EXPECT_EQ(frmPrmLock->RichEdit1->verticalScrollBar()->value(), 0);

    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(frmCommCancel->isVisible());
    const QPoint centre = frmCommCancel->screen()->availableGeometry().center();
    EXPECT_LE((frmCommCancel->frameGeometry().center() - centre).manhattanLength(), 2);
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
}

} // namespace
