#include "AxisBoxes.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kRowsPerColumn = 9;

} // namespace

AxisBoxes::AxisBoxes(QWidget* parent)
    : QGroupBox(" 通信確立状況 ", parent), grid_(new QGridLayout(this)) {
    for (int column = 0; column < 3; ++column) {
        grid_->addWidget(new QLabel("軸名"), 0, column * 2);
        grid_->addWidget(new QLabel("通信確立"), 0, column * 2 + 1);
    }
    for (int i = 0; i < 26; ++i) {
        const char letter = static_cast<char>('A' + i);
        auto* box = new QLineEdit(this);
        box->setObjectName(QString("Edit%1").arg(i + 1));
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setFixedWidth(40);
        Edit[static_cast<size_t>(i)] = box;
        const int row = 1 + i % kRowsPerColumn;
        const int column = i / kRowsPerColumn;
        grid_->addWidget(new QLabel(QString("%1軸").arg(letter)), row, column * 2);
        grid_->addWidget(box, row, column * 2 + 1);
    }
    ClearAll();
}

void AxisBoxes::AddButton(QWidget* button) {
    grid_->addWidget(button, grid_->rowCount(), 4, 1, 2);
}

void AxisBoxes::ShowAnswer(char letter, bool answered) {
    QLineEdit* box = BoxOf(letter);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base,
                     answered ? QColor(0, 255, 0) : QApplication::palette().color(QPalette::Base));
    box->setPalette(palette);
    box->setText(answered ? "OK" : "");
}

void AxisBoxes::ClearAll() {
    for (int i = 0; i < 26; ++i)
        ShowAnswer(static_cast<char>('A' + i), false);
}

QGroupBox* ScanProgressGroup(QWidget* parent, QProgressBar* bar) {
    bar->setRange(0, 25);
    bar->setValue(0);
    bar->setTextVisible(false);
    auto* group = new QGroupBox(" 進行状況 ", parent);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(bar);
    auto* scale = new QHBoxLayout;
    scale->addWidget(new QLabel("0[%]"));
    scale->addStretch();
    scale->addWidget(new QLabel("50[%]"));
    scale->addStretch();
    scale->addWidget(new QLabel("100[%]"));
    layout->addLayout(scale);
    return group;
}
