#include "LogPrint.h"

#include "link/UnitGeneral.h"
#include "ui/Dialogs.h"
#include "ui/DpiScaling.h"
#include "ui/Printing.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString kFooter = "ベルトラン KasoNT ";

// 12 points at the factor of the screen the picture was taken on, as the window's own texts.
QFont FooterFont(const QWidget& carrier) {
    QFont font = QApplication::font();
    font.setPointSize(12);
    return ui::FontInPixels(font, ui::DpiFactor(carrier));
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
    const QFont footerFont = FooterFont(*carrier);
    const QFontMetrics metrics(footerFont);
    const int footerHeight = metrics.height();
    const int footerWidth = metrics.horizontalAdvance(kFooter);

    // In the picture's own pixels: one taken where Qt scales the screen has more pixels than its
    // size on the screen, and the footer takes as many more.
    const qreal ratio = picture.devicePixelRatio();
    const QSize size(qRound(picture.width() / ratio), qRound(picture.height() / ratio));
    QImage bitmap(qRound(size.width() * ratio), qRound((size.height() + footerHeight) * ratio),
                  QImage::Format_RGB32);
    bitmap.setDevicePixelRatio(ratio);
    bitmap.fill(QApplication::palette().color(QPalette::Button));
    QPainter painter(&bitmap);
    painter.drawImage(QRect(QPoint(0, 0), size), picture);
    painter.setFont(footerFont);
    painter.setPen(Qt::black);
    const int bottom = size.height() + footerHeight;
    painter.drawText(
        QRect(size.width() - footerWidth, bottom - footerHeight, footerWidth, footerHeight),
        Qt::AlignLeft | Qt::AlignVCenter, kFooter);
    painter.end();

    mdlGeneral->PrintDialog1->Printer().setDocName(title);
    carrier->resize(size.width(), bottom);
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
