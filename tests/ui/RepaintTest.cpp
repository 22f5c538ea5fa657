// A reply line repaints at the pace of the screen: changes that come faster than a frame are drawn
// together, the last change is always drawn, and a repaint asked for by code is drawn at once.
#include "ui/Form.h"
#include "ui/Widgets.h"

#include <QElapsedTimer>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// Records the text a line shows each time it is painted.
class PaintLog : public QObject {
public:
    explicit PaintLog(ui::TextLine* line) : line_(line) { line->installEventFilter(this); }
    QStringList painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted << line_->text();
        return false;
    }

private:
    ui::TextLine* line_;
};

class RepaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        line = new ui::TextLine(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(line);
        window.resize(300, 60);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(40);
    }
    ui::Form window;
    ui::TextLine* line = nullptr;
};

TEST_F(RepaintTest, ChangesWithinAFrameAreDrawnTogetherAndTheLastIsDrawn) {
    PaintLog log(line);
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < 30; ++n) {
        line->setText(QString::number(n));
        QTest::qWait(1); // the event loop runs between changes, as it does between replies
    }
    const qsizetype paintsDuringChanges = log.painted.size();
    const qint64 frames = clock.elapsed() / 16 + 1;
    // Nothing else happens: the held repaint is drawn all the same.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !log.painted.isEmpty() && log.painted.last() == "29"; }, 10000))
        << log.painted.join(' ').toStdString();
    // A paint a frame (16 ms), not one per change.
    EXPECT_LE(paintsDuringChanges, std::min<qint64>(frames + 1, 15))
        << log.painted.join(' ').toStdString();

    // Within a frame of that paint, repaint() still draws before it returns.
    const qsizetype before = log.painted.size();
    line->repaint();
    EXPECT_EQ(log.painted.size(), before + 1);
}

TEST_F(RepaintTest, TextLineDrawsInItsColourAndSkipsNonChanges) {
    PaintLog log(line);
    QFont font = line->font();
    font.setPixelSize(20);
    line->setFont(font);
    line->setText("MMMM");
    ui::SetTextColor(line, Qt::black);
    QTest::qWait(50);
    const auto darkest = [this] {
        const QImage image = line->grab().toImage();
        int darkest = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        return darkest;
    };
    EXPECT_LT(darkest(), 60);
    ui::SetTextColor(line, ui::clGray);
    EXPECT_EQ(ui::TextColor(line), ui::clGray);
    EXPECT_GT(darkest(), 90);
    EXPECT_LT(darkest(), 160);

    QTest::qWait(50);
    const qsizetype paints = log.painted.size();
    line->setText("MMMM");
    ui::SetTextColor(line, ui::clGray);
    QTest::qWait(50);
    EXPECT_EQ(log.painted.size(), paints); // the same text in the same colour: no repaint
}

} // namespace
