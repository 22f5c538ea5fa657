#include "LogWindowParts.h"

#include "link/UnitGeneral.h"
#include "shell/LogPrint.h"
#include "ui/Dialogs.h"

#include <QDateTime>
#include <QFrame>
#include <QLocale>
#include <memory>

namespace logging {

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QGroupBox* MakeGroup(QWidget* parent, const QString& caption, int x, int y, int w, int h) {
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(x, y, w, h);
    return group;
}

void MakeScreenBevel(QWidget* parent, int x, int y, int w, int h) {
    auto* bevel = new QFrame(parent);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(x, y, w, h);
    bevel->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PaintLogPlot(ui::Canvas& canvas, int left, int top, int width, int height, bool dataValid,
                  bool suppressRedraw, const std::function<void()>& drawData) {
    const QPoint pen = canvas.PenPos();
    DrawPlotGrid(canvas, left, top, width, height);
    if (!dataValid) {
        canvas.MoveTo(pen.x(), pen.y());
        return;
    }
    if (!suppressRedraw) drawData();
}

void DrawPlotGrid(ui::Canvas& canvas, int left, int top, int width, int height) {
    canvas.BrushColor = Qt::white;
    canvas.BrushClear = false;
    canvas.PenColor = QColor(128, 128, 0);
    canvas.PenStyle = Qt::SolidLine;
    canvas.Rectangle(left, top, left + width, top + height);
    const int yc = top + height / 2;
    const int xc = left + width / 2;
    canvas.MoveTo(left, yc);
    canvas.LineTo(left + width, yc);
    canvas.MoveTo(xc, top);
    canvas.LineTo(xc, top + height);
    for (int i = 1; i <= 9; ++i)
        for (int j = 1; j <= 9; ++j) {
            const int x = left + (width / 10) * j;
            const int y = top + (height / 10) * i;
            canvas.MoveTo(x, y - 5);
            canvas.LineTo(x, y + 6);
            canvas.MoveTo(x - 5, y);
            canvas.LineTo(x + 6, y);
        }
}

void ShowTimeStamp(QLabel* date, QLabel* time) {
    const QDateTime now = QDateTime::currentDateTime();
    date->setText(QLocale::system().toString(now.date(), QLocale::ShortFormat));
    time->setText(QLocale::system().toString(now.time(), QLocale::LongFormat));
}

void PrintLoggingWindow(QWidget* window, const std::vector<QComboBox*>& boxes,
                        const std::vector<QLineEdit*>& dummies) {
    if (!mdlGeneral->PrintDialog1->Execute(window)) return;
    for (size_t i = 0; i < boxes.size(); ++i) {
        dummies[i]->setText(boxes[i]->currentText());
        boxes[i]->hide();
        dummies[i]->show();
    }
    const QImage picture = window->grab(window->rect()).toImage();
    auto carrier = std::make_unique<TfrmPrint>(nullptr);
    try {
        SetPrintImage(carrier.get(), picture, "KasoNT LOG");
        carrier->Print();
    } catch (const std::exception&) {
        ui::ShowWarning("印刷エラーが発生しました。", "エラー");
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->show();
        dummies[i]->hide();
    }
}

} // namespace logging
