#include "InfoBox.h"

#include "platform/MemoryStatus.h"
#include "ui/DpiScaling.h"
#include "ui/Widgets.h"

#include <QGridLayout>

TInfoBox::TInfoBox(QWidget* owner, QSize picture)
    : ui::Form(owner), Label1(new QLabel(this)), Label2(new QLabel(this)), Image1(new QLabel(this)),
      Bevel1(new QFrame(this)), Label3(new QLabel("Windowsが使用できる物理メモリ :", this)),
      PhysMem(new QLabel(this)), OKButton(new QPushButton("OK", this)) {
    setWindowTitle("ﾊﾞｰｼﾞｮﾝ情報");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(13);
    Label1->setFont(bold);
    Label2->setFont(bold);
    Bevel1->setFrameShape(QFrame::HLine);
    auto* layout = new QGridLayout(this);
    // The text lines stand beside the picture, or take the whole width in a box without one.
    const int textColumn = picture.isEmpty() ? 0 : 1;
    if (picture.isEmpty()) {
        Image1->hide();
    } else {
        Image1->setFixedSize(picture);
        layout->addWidget(Image1, 0, 0, 2, 1);
    }
    layout->addWidget(Label1, 0, textColumn, 1, 3 - textColumn);
    layout->addWidget(Label2, 1, textColumn, 1, 3 - textColumn);
    layout->addWidget(Bevel1, 2, 0, 1, 3);
    layout->addWidget(Label3, 3, 0, 1, 2);
    layout->addWidget(PhysMem, 3, 2);
    layout->addWidget(OKButton, 4, 1);
    setFixedSize(311, 128);
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    OKButton->setDefault(true);
    SetCancelButton(OKButton);
    connect(OKButton, &QPushButton::clicked, this, [this] {
        SetModalResult(ui::mrCancel);
        hide();
    });
}

void TInfoBox::FormShow() {
    PhysMem->setText(FormatKilobytes(platform::TotalPhysicalMemory()));
    ui::NarrowCaptionsToRoom(*this); // the memory's text takes the room it needs
}

QString FormatKilobytes(std::uint64_t bytes) {
    const std::uint64_t kilobytes = bytes >> 10;
    if (kilobytes == 0) return " KB";
    QString digits = QString::number(kilobytes);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, ',');
    return digits + " KB";
}
