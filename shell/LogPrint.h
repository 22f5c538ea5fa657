// The print carrier: a window made for one print of a picture of part of a screen, with the
// footer line "ベルトラン KasoNT " under it, printed fitted to the page. It is never shown.
#pragma once

#include "ui/Form.h"

#include <QImage>
#include <QLabel>

class TfrmPrint : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmPrint(QWidget* owner);

    QLabel* Image1;
    // What Print puts on the page: the picture with its footer.
    QImage PrintImage;

    // Prints PrintImage on the shared printer; raises ui::Error when printing fails.
    void Print();
};

// Puts the picture and the footer into the carrier and names the print job `title`.
void SetPrintImage(TfrmPrint* carrier, const QImage& picture, const QString& title);

// What the screens' print buttons do: the print dialog, the picture of `region` of `window`,
// a carrier, the print; a failure shows "印刷エラーが発生しました。" (caption "エラー").
void PrintScreenRegion(QWidget* window, const QRect& region, const QString& title);
