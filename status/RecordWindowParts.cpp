#include "RecordWindowParts.h"

#include "link/UnitGeneral.h"
#include "ui/Dialogs.h"
#include "ui/DpiScaling.h"
#include "ui/FileDialogs.h"
#include "ui/Printing.h"
#include "ui/SafeFile.h"

#include <QFile>

void SaveRecordsThroughDialog(QWidget* window, const QString& filter, const QString& extension,
                              const ui::FileText& file,
                              const std::function<QString(int record)>& placeOf) {
    if (!ui::CheckCarried(file.refused, placeOf, ui::Carrier::File)) return;
    ui::FileDialog& dialog = *mdlGeneral->SaveDialog1;
    dialog.Filter = filter;
    dialog.DefaultExt = extension;
    if (!dialog.Execute(window)) return;
    const QString failure = ui::WriteWholeFile(dialog.FileName, file.bytes);
    if (!failure.isEmpty())
        ui::ShowWarning(
            QString("ファイルを保存できませんでした。\n%1\n%2").arg(dialog.FileName, failure),
            "警告");
}

void OpenRecordsThroughDialog(QWidget* window, const QString& filter,
                              const std::function<void(const QString& path)>& load) {
    ui::FileDialog& dialog = *mdlGeneral->OpenDialog1;
    dialog.Filter = filter + "|すべてのﾌｧｲﾙ(*.*)|*.*";
    dialog.DefaultExt.clear();
    if (dialog.Execute(window)) load(dialog.FileName);
}

std::optional<QByteArray> ReadRecordFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui::ShowWarning("ファイルが見つかりませんでした。\n指定したファイル名が正しいかどうか確認し"
                        "てください。",
                        "警告");
        return std::nullopt;
    }
    return file.readAll();
}

void PrintRecordsThroughDialog(QWidget* window, const std::function<void(QPrinter&)>& print) {
    if (!mdlGeneral->PrintDialog1->Execute(window)) return;
    try {
        print(mdlGeneral->PrintDialog1->Printer());
    } catch (const std::exception&) {
        ui::ShowWarning("印刷エラーが発生しました。", "エラー");
    }
}

void PlaceKasoMark(const QFont& font, QLabel* kaso, QLabel* two, int x, int y) {
    QFont bold = font;
    bold.setBold(true);
    kaso->setFont(bold);
    QFont small = bold;
    small.setPixelSize(11);
    two->setFont(small);
    kaso->move(x, y);
    kaso->adjustSize();
    two->adjustSize();
    two->move(kaso->geometry().right() + 1, kaso->geometry().bottom() + 1 - two->height());
}

QFrame* RecordPanel(QFrame* panel, int x, int y, int w, int h) {
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(x, y, w, h);
    return panel;
}

namespace {

constexpr int kGridLeft = 1;
constexpr int kGridTop = 62;
constexpr int kGridMarginRight = 2;
constexpr int kGridMarginBottom = 7;

} // namespace

void FinishRecordWindow(QWidget& window, int height, ui::StringGrid& grid, int gridWidth,
                        const std::array<double, 3>& shares) {
    grid.setGeometry(kGridLeft, kGridTop, gridWidth, height - kGridTop - kGridMarginBottom);
    for (int column = 0; column < 3; ++column)
        grid.setColumnWidth(column,
                            static_cast<int>(gridWidth * shares[static_cast<size_t>(column)]));
    const int width = kGridLeft + gridWidth + kGridMarginRight;
    window.setFixedWidth(width);
    window.resize(width, height);
    ui::ScaleToDpi(window);
    ui::ScaleControlsToDpi(window);
}

void FitRecordGrid(QWidget& window, ui::StringGrid& grid) {
    const int margin = ui::DpiFactor(window.logicalDpiX()) * kGridMarginBottom;
    grid.resize(grid.width(), std::max(0, window.height() - grid.y() - margin));
}
