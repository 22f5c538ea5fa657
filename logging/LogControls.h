// Controls of the logging windows that the layer does not offer: line shapes laid over the plot
// (progress line, plot edge marks, cursor bars), track bars and up-down arrows that report user
// changes only, and a radio group with an item index.
#pragma once

#include "ui/RadioGroup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSlider>
#include <QWidget>
#include <functional>
#include <vector>

namespace logging {

// A line of one pixel along the longer side of its rectangle, in the pen's colour and style.
// A horizontal bar's position is its Top, a vertical one's its Left. Positions count the pixels
// of the window's design: on a screen that shows the window `scale` times as large, the shape
// stands at `scale` times its position.
class LineShape : public QWidget {
    Q_OBJECT
public:
    LineShape(QWidget* parent, int left, int top, int width, int height);

    int Left() const { return x() / scale_; }
    int Top() const { return y() / scale_; }
    int Height() const { return height() / scale_; }
    void SetLeft(int left) { move(scale_ * left, y()); }
    void SetTop(int top) { move(x(), scale_ * top); }
    // The screen's pixels per design pixel; the shape's place is already scaled.
    void SetScale(int scale) { scale_ = scale; }

    QColor PenColor() const { return penColor_; }
    void SetPenColor(const QColor& color);
    Qt::PenStyle PenStyle() const { return penStyle_; }
    void SetPenStyle(Qt::PenStyle style);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor penColor_ = Qt::black;
    Qt::PenStyle penStyle_ = Qt::SolidLine;
    int scale_ = 1;
};

// A track bar: setting the position from code runs no handler; OnChange runs on user moves.
class TrackBar : public QSlider {
    Q_OBJECT
public:
    TrackBar(Qt::Orientation orientation, int min, int max, int position, QWidget* parent);

    int Position() const { return value(); }
    int Max() const { return maximum(); }
    void SetPosition(int position);

    std::function<void()> OnChange;
};

// Up and down (or right and left) arrows; only the direction of each click counts.
class UpDown : public QWidget {
    Q_OBJECT
public:
    enum class Button { Next, Previous }; // up or right; down or left
    UpDown(Qt::Orientation orientation, QWidget* parent);

    void Click(Button button); // as the user's click on that arrow
    std::function<void(Button)> OnClick;
};

// A radio group with tight margins and no space between its items.
class RadioGroup : public ui::RadioGroup {
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent);
};

// Connects an editable variable box as the class library's combo box behaved: `handler` runs
// when the user picks an item and after each edit of the text, and an edited text selects the
// item it names exactly, or none (-1) while it names none. An edit (a paste included) is put in
// upper case, and the box completes nothing by itself: it shows what the user entered. (A paste
// that the line cannot carry never reaches it: the box refuses it.)
void ConnectVariableBox(QComboBox* box, QObject* context, std::function<void()> handler);

} // namespace logging
