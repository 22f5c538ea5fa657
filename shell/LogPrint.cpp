#include "LogPrint.h"

#include "UnitGeneral.h"
#include "ui/Dialogs.h"
#include "ui/Printing.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString kFooter = "ベルトラン KasoNT ";

QFont FooterFont() {
    QFont font = QApplication::font();
    font.setPointSize(12);
    return font;
}

} // namespace

TfrmPrint::TfrmPrint(QWidget* owner) : ui::Form(owner), Image1(new QLabel(this)) {
    setWindowTitle("FRA画面印刷用ダミーウィンドウ");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1);
    resize(497, 505);
}

void TfrmPrint::Print() {
    ui::PrintImageFitted(mdlGeneral->PrintDialog1->Printer(), PrintImage);
}

void SetPrintImage(TfrmPrint* carrier, const QImage& picture, const QString& title) {
    QImage bitmap(1, 1, QImage::Format_RGB32);
    QPainter probe(&bitmap);
    probe.setFont(FooterFont());
    const QFontMetrics metrics = probe.fontMetrics();
    probe.end();
    const int footerHeight = metrics.height();
    const int footerWidth = metrics.horizontalAdvance(kFooter);

    bitmap = QImage(picture.width(), picture.height() + footerHeight, QImage::Format_RGB32);
    bitmap.fill(QApplication::palette().color(QPalette::Button));
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, picture);
    painter.setFont(FooterFont());
    painter.setPen(Qt::black);
    painter.drawText(QRect(bitmap.width() - footerWidth, bitmap.height() - footerHeight,
                           footerWidth, footerHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, kFooter);
    painter.end();

    mdlGeneral->PrintDialog1->Printer().setDocName(title);
    carrier->resize(bitmap.size());
    carrier->Image1->setPixmap(QPixmap::fromImage(bitmap));
    carrier->PrintImage = bitmap;
}

void PrintScreenRegion(QWidget* window, const QRect& region, const QString& title) {
    if (!mdlGeneral->PrintDialog1->Execute(window)) return;
    const QImage picture = window->grab(region).toImage();
    auto carrier = std::make_unique<TfrmPrint>(nullptr);
    SetPrintImage(carrier.get(), picture, title);
    try {
        carrier->Print();
    } catch (const std::exception&) {
        ui::ShowWarning("印刷エラーが発生しました。", "エラー");
    }
}
