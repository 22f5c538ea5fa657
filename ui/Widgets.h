// Small helpers for the controls the screens use: text colours, texts narrowed to their room, the
// class library's virtual key codes, and an edit box that reports key-down and character keys
// before it acts on them.
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStaticText>
#include <QTimer>
#include <functional>

class QGroupBox;
class QKeyEvent;

namespace ui {

inline const QColor clGray(128, 128, 128);

// The Japanese fonts of the screens: a monospace one in which a half-width katakana takes one
// column and a kanji two, and a proportional one.
inline const QString kMonospaceFont = "IPAGothic";
inline const QString kProportionalFont = "IPAPGothic";
QColor WindowTextColor();

// The colour of a label's or an edit box's text.
void SetTextColor(QWidget* widget, const QColor& color);
QColor TextColor(const QWidget* widget);

// Layouts fixed in pixels show a text whole where its font is wider than the room designed for
// it by narrowing that text's font alone. NarrowToFit narrows the font of `widget` step by step
// until `text` (but for blanks at its end, which show nothing) takes no more than `room` pixels,
// or the narrowest step is reached; the stretch is set even when no narrowing is needed, so that
// the widget no longer follows its parent's.
void NarrowToFit(QWidget* widget, const QString& text, int room);
// Every label's and push button's text in `window` narrowed where it runs past the room its
// control has; a window with a layout is laid out first.
void NarrowCaptionsToRoom(QWidget& window);
// The group's title narrowed to the group's width; its contents keep the width of letters they
// had.
void FitGroupTitle(QGroupBox* group);

// Lets `edit` draw its panel (background and frame) from a picture kept from its last paint while
// nothing about the panel changes: a box repainted on every key or cursor move then costs only its
// text. The picture holds exactly the pixels the style draws on the window's background.
void CachePanelOf(QLineEdit* edit);

// One line of text on the window's background, left-aligned and centred in height, for a text that
// changes on every exchange: it keeps its laid-out text and colour to itself, so a change repaints
// only this line (no palette change, no new layout of the window), and at most once a screen
// frame. SetTextColor and TextColor work on it as on a label.
class TextLine : public QWidget {
    Q_OBJECT
public:
    explicit TextLine(QWidget* parent = nullptr);

    QString text() const { return text_.text(); }
    void setText(const QString& text);
    void clear() { setText(QString()); }
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Whether a held repaint may go out now (a frame has passed since the last paint), and
    // asking for it.
    bool FrameOver() const;
    void ReleaseRepaint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RequestRepaint();

    QStaticText text_;
    QColor color_;
    QElapsedTimer lastPaint_;
    bool repaintHeld_ = false;
    QTimer latestRepaint_;
};

// Virtual key codes of the keys the screens test.
enum VirtualKey {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_F1 = 112,
    VK_F2 = 113
};
// The code of a key that has none of its own (punctuation): this plus the key, beyond every
// virtual key.
constexpr int kOtherKey = 0x10000;
int ToVirtualKey(const QKeyEvent* event);

// An edit box with the class library's key events. OnKeyDown runs first with the virtual key
// (set it to 0 to consume the key); then, for a key that types a character (Enter gives '\r',
// Backspace '\b'), OnKeyPress runs with it (set it to 0 to consume it). Upper-case boxes turn
// every typed letter into a capital. A paste of text that the line cannot carry is refused
// (ui/CarriedText).
class Edit : public QLineEdit {
    Q_OBJECT
public:
    explicit Edit(QWidget* parent = nullptr);

    void SetUpperCase(bool upper);
    void SetSelStart(int position);

    std::function<void(int& key, Qt::KeyboardModifiers shift)> OnKeyDown;
    std::function<void(QChar& key)> OnKeyPress;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool upperCase_ = false;
};

} // namespace ui
