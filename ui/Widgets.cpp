#include "Widgets.h"

#include "CarriedText.h"
#include "Guard.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBackingStore>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWindow>

#include <QKeyEvent>
#include <QPalette>
#include <QPointer>
#include <algorithm>
#include <cmath>

#include <vector>

namespace ui {

namespace {

// The panel of a line edit drawn once on the window's background and copied from then on. Only
// painting onto the window's own backing store, straight over its plain background and without
// scaling, uses the copy; anything else (a grab, a print) is drawn by the style as always.
class CachedPanelStyle : public QProxyStyle {
public:
    CachedPanelStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QColor background;
        if (element != PE_PanelLineEdit || !PlainBackground(painter, widget, background))
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        const auto* target = static_cast<const QImage*>(painter->paintEngine()->paintDevice());
        const qreal ratio = target->devicePixelRatio();
        const PanelKey key = KeyOf(option, background, ratio, target->format());
        if (key != panelKey_) {
            panel_ = QImage((QSizeF(option->rect.size()) * ratio).toSize(), target->format());
            panel_.setDevicePixelRatio(ratio);
            panel_.fill(background);
            QPainter panelPainter(&panel_);
            panelPainter.setRenderHints(painter->renderHints());
            const auto drawAtOrigin = [&](auto moved) {
                moved.rect.moveTo(0, 0);
                QProxyStyle::drawPrimitive(element, &moved, &panelPainter, widget);
            };
            if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option))
                drawAtOrigin(*frame);
            else
                drawAtOrigin(*option);
            panelKey_ = key;
        }
        painter->drawImage(option->rect.topLeft(), panel_);
    }

private:
    // All that decides the panel's pixels; compared field by field on every paint.
    struct PanelKey {
        QSize size;
        int state = 0;
        qint64 palette = 0;
        QRgb background = 0;
        qreal ratio = 0;
        int format = 0;
        int lineWidth = -1, midLineWidth = -1, features = -1, shape = -1;
        bool operator==(const PanelKey&) const = default;
    };

    static PanelKey KeyOf(const QStyleOption* option, const QColor& background, qreal ratio,
                          QImage::Format format) {
        PanelKey key{option->rect.size(),
                     int(option->state),
                     option->palette.cacheKey(),
                     background.rgba(),
                     ratio,
                     int(format)};
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option)) {
            key.lineWidth = frame->lineWidth;
            key.midLineWidth = frame->midLineWidth;
            key.features = int(frame->features);
            key.shape = int(frame->frameShape);
        }
        return key;
    }

    // True when `painter` paints `widget` into its window's backing store, unscaled, over the
    // solid background of the window it sits on.
    static bool PlainBackground(QPainter* painter, const QWidget* widget, QColor& background) {
        if (!widget || !widget->parentWidget() || !painter->paintEngine()) return false;
        const QWidget* window = widget->parentWidget();
        QBackingStore* store = widget->window()->backingStore();
        QPaintDevice* device = painter->paintEngine()->paintDevice();
        // The store is asked for its device only once the window is on screen: a store that Qt
        // scales has none before (a grab of a window just shown, not yet exposed).
        const QWindow* handle = widget->window()->windowHandle();
        if (!window->isWindow() || !store || !handle || !handle->isExposed() ||
            device->devType() != QInternal::Image || device != store->paintDevice())
            return false;
        if (window->testAttribute(Qt::WA_NoSystemBackground) ||
            window->testAttribute(Qt::WA_TranslucentBackground))
            return false;
        const QBrush brush = window->palette().brush(window->backgroundRole());
        if (brush.style() != Qt::SolidPattern || !brush.isOpaque()) return false;
        const QTransform& transform = painter->deviceTransform();
        if (transform.type() > QTransform::TxTranslate ||
            transform.dx() != std::floor(transform.dx()) ||
            transform.dy() != std::floor(transform.dy()) || painter->opacity() != 1.0 ||
            painter->compositionMode() != QPainter::CompositionMode_SourceOver)
            return false;
        background = brush.color();
        return true;
    }

    mutable QImage panel_;
    mutable PanelKey panelKey_;
};

} // namespace

void CachePanelOf(QLineEdit* edit) {
    auto* style = new CachedPanelStyle;
    style->setParent(edit);
    edit->setStyle(style);
}

QColor WindowTextColor() {
    return QApplication::palette().color(QPalette::WindowText);
}

void SetTextColor(QWidget* widget, const QColor& color) {
    if (auto* line = qobject_cast<TextLine*>(widget)) return line->SetColor(color);
    // A palette change repaints the whole widget: only a real change of colour touches it.
    const QPalette& current = widget->palette();
    if (current.color(QPalette::WindowText) == color && current.color(QPalette::Text) == color)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QColor TextColor(const QWidget* widget) {
    if (const auto* line = qobject_cast<const TextLine*>(widget)) return line->Color();
    const auto role =
        qobject_cast<const QLineEdit*>(widget) ? QPalette::Text : QPalette::WindowText;
    return widget->palette().color(role);
}

int ToVirtualKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Insert:
        return VK_INSERT;
    default:
        break;
    }
    const int key = event->key();
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key; // digits and letters share their codes with the virtual keys
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    // Every other key (punctuation above all) gets a code beyond the virtual keys: "-" is never
    // taken for Insert, "." for Delete or "(" for Down.
    return kOtherKey + (key & 0xFFFF);
}

namespace {

// A screen shows a new picture about every 16 ms; repainting more often draws pictures nobody
// sees.
constexpr qint64 kFrameNs = 16'000'000;
// A held repaint is asked for at the first wait of the event loop after its frame; if nothing
// wakes the program by then, this much after the frame.
constexpr int kLatestAfterFrameMs = 8;

std::vector<QPointer<TextLine>>& HeldLines() {
    static std::vector<QPointer<TextLine>> held;
    return held;
}

void ReleaseDueRepaints() {
    auto& held = HeldLines();
    for (size_t i = 0; i < held.size();) {
        const QPointer<TextLine> line = held[i];
        if (line && !line->FrameOver()) {
            ++i;
            continue;
        }
        held.erase(held.begin() + static_cast<std::ptrdiff_t>(i));
        if (line) line->ReleaseRepaint();
    }
}

// Held repaints go out just before the event loop sleeps: while replies keep coming that needs
// no wake-up of its own.
void WatchEventLoopWaits() {
    static QPointer<QAbstractEventDispatcher> watched;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || watched == dispatcher) return;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                     [] { ReleaseDueRepaints(); });
    watched = dispatcher;
}

} // namespace

TextLine::TextLine(QWidget* parent) : QWidget(parent), color_(WindowTextColor()) {
    setAttribute(Qt::WA_OpaquePaintEvent); // it fills its own background
    text_.setTextFormat(Qt::PlainText);
    text_.setPerformanceHint(QStaticText::AggressiveCaching);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    latestRepaint_.setSingleShot(true);
    connect(&latestRepaint_, &QTimer::timeout, this, [this] { ReleaseRepaint(); });
}

void TextLine::setText(const QString& text) {
    if (text == text_.text()) return;
    text_.setText(text);
    RequestRepaint();
}

void TextLine::SetColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    RequestRepaint();
}

bool TextLine::FrameOver() const {
    return !lastPaint_.isValid() || lastPaint_.nsecsElapsed() >= kFrameNs;
}

// Changes that come faster than the screen shows them (a reply every few milliseconds) are drawn
// together, at most once a frame: a change within a frame of the last paint is held.
void TextLine::RequestRepaint() {
    if (repaintHeld_) return;
    if (FrameOver()) {
        update();
        return;
    }
    repaintHeld_ = true;
    HeldLines().emplace_back(this);
    WatchEventLoopWaits();
    latestRepaint_.start(int((kFrameNs - lastPaint_.nsecsElapsed()) / 1'000'000) +
                         kLatestAfterFrameMs);
}

void TextLine::ReleaseRepaint() {
    if (!repaintHeld_) return;
    repaintHeld_ = false;
    latestRepaint_.stop();
    update();
}

QSize TextLine::sizeHint() const {
    // Sized for its font, not its text: a new text never asks the window for a new layout.
    return {fontMetrics().averageCharWidth() * 8, fontMetrics().height()};
}

void TextLine::paintEvent(QPaintEvent*) {
    lastPaint_.start();
    QPainter painter(this);
    const QWidget* under = window();
    painter.fillRect(rect(), under->palette().brush(under->backgroundRole()));
    painter.setPen(color_);
    const qreal top = (height() - fontMetrics().height()) / 2.0;
    painter.drawStaticText(QPointF(0, top), text_);
}

Edit::Edit(QWidget* parent) : QLineEdit(parent) {
    RefuseUncarriedPastes(this);
}

void Edit::SetUpperCase(bool upper) {
    upperCase_ = upper;
}

void Edit::SetSelStart(int position) {
    if (!hasSelectedText() && cursorPosition() == position) return; // nothing to move: no repaint
    deselect();
    setCursorPosition(position);
}

bool Edit::event(QEvent* event) {
    // Before a key press the window's shortcuts are offered the key unless the box claims it. A
    // character typed without Ctrl or Alt is the box's own (the line edit would claim it too,
    // after trying it against every standard editing shortcut), and so is Enter in a box that
    // acts on Enter.
    if (event->type() == QEvent::ShortcutOverride && !isReadOnly()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool typed =
            key->text().size() == 1 && key->text().at(0).isPrint() && key->key() < Qt::Key_Escape;
        if (plain && (typed || (enter && OnKeyPress))) {
            key->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void Edit::keyReleaseEvent(QKeyEvent* event) {
    // The line edit shows its cursor anew after every key it handled; Enter never reaches it (see
    // keyPressEvent), and repainting the box for it would be wasted.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void Edit::keyPressEvent(QKeyEvent* event) {
    int key = ToVirtualKey(event);
    if (OnKeyDown) RunGuarded([&] { OnKeyDown(key, event->modifiers()); });
    if (key == 0) return;
    if (event->matches(QKeySequence::Paste) && !isReadOnly() && RefusesClipboardPaste(this)) return;

    QString text = event->text();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) text = "\r";
    if (text.size() == 1 && OnKeyPress) {
        QChar ch = text.at(0);
        RunGuarded([&] { OnKeyPress(ch); });
        if (ch.isNull()) return;
    }
    if (text == "\r") return; // Enter has no effect of its own in a one-line box
    if (upperCase_ && text.size() == 1 && text.at(0).isLower()) {
        QKeyEvent upper(event->type(), event->key(), event->modifiers(), text.toUpper(),
                        event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QLineEdit::keyPressEvent(&upper);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NarrowToFit(QWidget* widget, const QString& text, int room) {
    constexpr int kNarrowestStretch = QFont::ExtraCondensed;
    qsizetype shown = text.size(); // blanks at the end show nothing
    while (shown > 0 && text[shown - 1] == ' ')
        --shown;
    const QString glyphs = text.first(shown);
    QFont font = widget->font();
    for (int stretch = QFont::Unstretched;; stretch = std::max(stretch - 5, kNarrowestStretch)) {
        font.setStretch(stretch);
        if (stretch == kNarrowestStretch || QFontMetrics(font).horizontalAdvance(glyphs) <= room)
            break;
    }
    widget->setFont(font);
}

void NarrowCaptionsToRoom(QWidget& window) {
    if (window.layout()) window.layout()->activate();
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || Qt::mightBeRichText(label->text())) continue;
        const int margin = label->margin();
        NarrowToFit(label, label->text(), label->contentsRect().width() - 2 * margin);
    }
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        NarrowToFit(button, button->text(), contents.width());
    }
    if (window.layout()) window.layout()->activate();
}

void FitGroupTitle(QGroupBox* group) {
    for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        NarrowToFit(child, QString(), 0);
    NarrowToFit(group, group->title(), group->width());
}

} // namespace ui
