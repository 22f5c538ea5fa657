// What the version box and the editor's about box share: two bold text lines, a picture, the
// amount of physical memory and an OK button (modal result cancel; Enter and Escape press it).
#pragma once

#include "ui/Form.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <cstdint>

class TInfoBox : public ui::Form {
    Q_OBJECT
public:
    // A box without a picture hides Image1.
    TInfoBox(QWidget* owner, QSize picture);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Image1;
    QFrame* Bevel1;
    QLabel* Label3;
    QLabel* PhysMem;
    QPushButton* OKButton;

protected:
    void FormShow() override;
};

// Whole kilobytes with thousands separators and " KB" ("523,776 KB"; 0 gives " KB").
QString FormatKilobytes(std::uint64_t bytes);
