#include "CaptionFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <algorithm>

namespace {

// The widest line of `text` in the widget's font, up to its last glyph: blanks at the end of a
// line show nothing, and a mnemonic's '&' is not drawn.
int TextWidth(const QWidget& widget, QString text) {
    text.remove(QRegularExpression("&(?!&)"));
    const QFontMetrics metrics(widget.font());
    int widest = 0;
    for (QString line : text.split('\n')) {
        line.remove(QRegularExpression(" +$"));
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

// The part of `rect` (in the widget's coordinates) that the widget's parents up to the window
// leave in view.
QRect InView(const QWidget& widget, const QWidget& window, QRect rect) {
    QPoint offset(0, 0);
    for (const QWidget* child = &widget; child != &window && child->parentWidget();
         child = child->parentWidget()) {
        offset += child->pos();
        rect &= QRect(-offset, child->parentWidget()->size());
    }
    return rect;
}

// How much of a text of `width` pixels, aligned as given within `contents`, stays in view.
int ShownWidth(const QWidget& widget, const QWidget& window, const QRect& contents, int width,
               Qt::Alignment alignment) {
    const QRect text = QStyle::alignedRect(
        widget.layoutDirection(), (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter,
        QSize(width, contents.height()), contents);
    return (InView(widget, window, text) & contents).width();
}

QString Cut(const QWidget& widget, const QString& text, int needs, int has,
            const char* side = "wide") {
    return QString("%1 \"%2\": needs %3 px %4, shows %5")
        .arg(widget.metaObject()->className(), text)
        .arg(needs)
        .arg(side)
        .arg(has);
}

// A button's text also needs the height of a line within the button's contents.
void CheckButtonText(const QAbstractButton& button, const QWidget& window, const QRect& contents,
                     Qt::Alignment alignment, QStringList& cut) {
    const int needs = TextWidth(button, button.text());
    const int has = ShownWidth(button, window, contents, needs, alignment);
    if (has < needs) cut << Cut(button, button.text(), needs, has);
    const int lineHeight = QFontMetrics(button.font()).height();
    if (contents.height() < lineHeight)
        cut << Cut(button, button.text(), lineHeight, contents.height(), "high");
}

void CheckGroupBox(const QGroupBox& box, const QWidget& window, QStringList& cut) {
    if (box.title().isEmpty()) return;
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.textAlignment = box.alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect label =
        box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    // The title starts where the style puts its label and is clipped by the box.
    const int needs = TextWidth(box, box.title());
    const QRect title(label.topLeft(), QSize(needs, label.height()));
    const int has = InView(box, window, title & box.rect()).width();
    if (has < needs) cut << Cut(box, box.title(), needs, has);
}

void CheckLabel(const QLabel& label, const QWidget& window, QStringList& cut) {
    if (label.text().isEmpty() || Qt::mightBeRichText(label.text())) return;
    const int margin = label.margin();
    const QRect contents = label.contentsRect().adjusted(margin, margin, -margin, -margin);
    const int needs = TextWidth(label, label.text());
    const int has = ShownWidth(label, window, contents, needs, label.alignment());
    if (has < needs) cut << Cut(label, label.text(), needs, has);
}

// A tool button's text is centred within its bevel, beside the arrow of a menu of its own.
QRect ToolButtonContents(const QToolButton& button) {
    QStyleOptionToolButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.toolButtonStyle = button.toolButtonStyle();
    option.subControls = QStyle::SC_ToolButton;
    if (button.menu()) option.features |= QStyleOptionToolButton::HasMenu;
    if (button.popupMode() == QToolButton::MenuButtonPopup) {
        option.features |= QStyleOptionToolButton::MenuButtonPopup;
        option.subControls |= QStyle::SC_ToolButtonMenu;
    }
    const QRect bevel = button.style()->subControlRect(QStyle::CC_ToolButton, &option,
                                                       QStyle::SC_ToolButton, &button);
    const int frame = button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    return bevel.adjusted(frame, frame, -frame, -frame);
}

// The text of push, check, radio and tool buttons within the contents the style leaves beside
// the bevel or the indicator.
void CheckButton(const QAbstractButton& button, const QWidget& window, QStringList& cut) {
    if (button.text().isEmpty()) return;
    if (const auto* tool = qobject_cast<const QToolButton*>(&button)) {
        CheckButtonText(button, window, ToolButtonContents(*tool), Qt::AlignHCenter, cut);
        return;
    }
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QStyle::SubElement contentsElement = QStyle::SE_PushButtonContents;
    Qt::Alignment alignment = Qt::AlignHCenter;
    if (qobject_cast<const QCheckBox*>(&button)) {
        contentsElement = QStyle::SE_CheckBoxContents;
        alignment = Qt::AlignLeft;
    } else if (qobject_cast<const QRadioButton*>(&button)) {
        contentsElement = QStyle::SE_RadioButtonContents;
        alignment = Qt::AlignLeft;
    }
    const QRect contents = button.style()->subElementRect(contentsElement, &option, &button);
    CheckButtonText(button, window, contents, alignment, cut);
}

} // namespace

testing::AssertionResult ShowsCaptionsWhole(const QWidget& window) {
    QStringList cut;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() != &window || !widget->isVisibleTo(&window)) continue;
        if (const auto* box = qobject_cast<const QGroupBox*>(widget))
            CheckGroupBox(*box, window, cut);
        else if (const auto* label = qobject_cast<const QLabel*>(widget))
            CheckLabel(*label, window, cut);
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            CheckButton(*button, window, cut);
    }
    if (cut.isEmpty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << cut.join('\n').toStdString();
}
