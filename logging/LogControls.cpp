#include "LogControls.h"

#include "ui/Guard.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace logging {

LineShape::LineShape(QWidget* parent, int left, int top, int width, int height) : QWidget(parent) {
    setGeometry(left, top, width, height);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineShape::SetPenColor(const QColor& color) {
    penColor_ = color;
    update();
}

void LineShape::SetPenStyle(Qt::PenStyle style) {
    penStyle_ = style;
    update();
}

void LineShape::paintEvent(QPaintEvent*) {
    if (width() == 0 || height() == 0) return;
    QPainter painter(this);
    // A scaled line is as thick as the scale, its pen centred on it.
    QPen pen(penColor_, scale_, penStyle_);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const qreal middle = scale_ == 1 ? 0 : scale_ / 2.0;
    if (width() >= height())
        painter.drawLine(QLineF(0, middle, width(), middle));
    else
        painter.drawLine(QLineF(middle, 0, middle, height()));
}

TrackBar::TrackBar(Qt::Orientation orientation, int min, int max, int position, QWidget* parent)
    : QSlider(orientation, parent) {
    setRange(min, max);
    setValue(position);
    setPageStep(1);
    connect(this, &QSlider::valueChanged, this, [this] {
        if (OnChange) ui::RunGuarded(OnChange);
    });
}

void TrackBar::SetPosition(int position) {
    const QSignalBlocker blocker(this);
    setValue(position);
}

UpDown::UpDown(Qt::Orientation orientation, QWidget* parent) : QWidget(parent) {
    auto* next = new QToolButton(this);
    auto* previous = new QToolButton(this);
    QBoxLayout* layout = nullptr;
    if (orientation == Qt::Vertical) {
        next->setArrowType(Qt::UpArrow);
        previous->setArrowType(Qt::DownArrow);
        layout = new QVBoxLayout(this);
        layout->addWidget(next);
        layout->addWidget(previous);
    } else {
        next->setArrowType(Qt::RightArrow);
        previous->setArrowType(Qt::LeftArrow);
        layout = new QHBoxLayout(this);
        layout->addWidget(previous);
        layout->addWidget(next);
    }
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    connect(next, &QToolButton::clicked, this, [this] { Click(Button::Next); });
    connect(previous, &QToolButton::clicked, this, [this] { Click(Button::Previous); });
}

void UpDown::Click(Button button) {
    if (OnClick) ui::RunGuarded([&] { OnClick(button); });
}

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : ui::RadioGroup(caption, items, parent) {
    layout()->setContentsMargins(6, 2, 6, 2);
    layout()->setSpacing(0);
}

void ConnectVariableBox(QComboBox* box, QObject* context, std::function<void()> handler) {
    QObject::connect(box, &QComboBox::activated, context, [handler] { ui::RunGuarded(handler); });
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, context, [box, handler] {
        const QString edited = box->currentText();
        const QString text = edited.toUpper();
        const int cursor = box->lineEdit()->cursorPosition() - (edited.size() - text.size());
        {
            const QSignalBlocker blocker(box);
            box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
            box->setEditText(text);
        }
        box->lineEdit()->setCursorPosition(std::max(cursor, 0));
        ui::RunGuarded(handler);
    });
}

} // namespace logging
