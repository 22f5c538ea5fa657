#include "CaptionFit.h"

#include "ui/Canvas.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionToolButton>
#include <QTabBar>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <optional>
#include <vector>

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

// Where the style puts a part of a group box: its title's label or its frame.
QRect GroupPart(const QGroupBox& box, QStyle::SubControl part) {
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.textAlignment = box.alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box.style()->subControlRect(QStyle::CC_GroupBox, &option, part, &box);
}

void CheckGroupBox(const QGroupBox& box, const QWidget& window, QStringList& cut) {
    if (box.title().isEmpty()) return;
    const QRect label = GroupPart(box, QStyle::SC_GroupBoxLabel);
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

// The texts drawn on a canvas stay within its picture.
void CheckCanvas(const ui::PaintBox& box, QStringList& cut) {
    const QRect picture(QPoint(0, 0), box.size() / box.Scale());
    for (const ui::Canvas::DrawnText& drawn : box.GetCanvas().Texts()) {
        const int shows = (drawn.box & picture).width();
        if (shows < drawn.box.width()) cut << Cut(box, drawn.text, drawn.box.width(), shows);
    }
}

// --- Texts apart ---

// A text as the window shows it: the widget that shows it and the box its glyphs take in the
// window: across, from the first glyph's advance to the last's (blanks around it show nothing);
// down, the ink of its glyphs.
struct ShownText {
    const QWidget* owner;
    QString text;
    QRect box;
    int blank;  // the width of a blank in its font
    int ascent; // the size of its font
};

// What a text may not cross: a control painted over its whole place, or a frame (a group box or
// a bevel) whose border a text may not straddle.
struct Obstacle {
    const QWidget* widget;
    QRect place;  // in the window
    QRect inside; // a frame's inside, where texts may stand; empty for a painted control
};

QRect InWindow(const QWidget& widget, const QWidget& window, const QRect& rect) {
    return InView(widget, window, rect).translated(widget.mapTo(&window, QPoint(0, 0)));
}

QString Trimmed(QString text) {
    text.remove(QRegularExpression("&(?!&)"));
    return text.trimmed();
}

QRect AlignedText(const QWidget& widget, const QString& text, const QRect& contents,
                  Qt::Alignment alignment) {
    const QFontMetrics metrics(widget.font());
    const int lines = static_cast<int>(text.count('\n')) + 1;
    const QSize size(TextWidth(widget, text), lines * metrics.height());
    return QStyle::alignedRect(widget.layoutDirection(), alignment, size, contents);
}

QRect GroupTitleBox(const QGroupBox& box) {
    const QRect label = GroupPart(box, QStyle::SC_GroupBoxLabel);
    return QRect(label.topLeft(), QSize(TextWidth(box, box.title()), label.height()));
}

QRect ButtonTextBox(const QAbstractButton& button) {
    if (const auto* tool = qobject_cast<const QToolButton*>(&button))
        return AlignedText(button, button.text(), ToolButtonContents(*tool), Qt::AlignCenter);
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    Qt::Alignment alignment = Qt::AlignCenter;
    if (qobject_cast<const QCheckBox*>(&button)) {
        element = QStyle::SE_CheckBoxContents;
        alignment = Qt::AlignLeft | Qt::AlignVCenter;
    } else if (qobject_cast<const QRadioButton*>(&button)) {
        element = QStyle::SE_RadioButtonContents;
        alignment = Qt::AlignLeft | Qt::AlignVCenter;
    }
    return AlignedText(button, button.text(),
                       button.style()->subElementRect(element, &option, &button), alignment);
}

QRect ChoiceArea(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const bool check = qobject_cast<const QCheckBox*>(&button);
    const QRect mark = button.style()->subElementRect(
        check ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator, &option, &button);
    return button.text().isEmpty() ? mark : mark | ButtonTextBox(button);
}

bool Shown(const QWidget& widget, const QWidget& window) {
    return widget.window() == &window && widget.isVisibleTo(&window);
}

// The glyphs' box of a one-line text laid out in `box` (its advance and the font's height).
QRect GlyphBox(const QFontMetrics& metrics, const QString& text, const QRect& box) {
    if (text.contains('\n')) return box;
    const QString glyphs = Trimmed(text);
    const int lead = metrics.horizontalAdvance(text.left(text.indexOf(glyphs.front())));
    const QRect ink = metrics.tightBoundingRect(glyphs);
    const int baseline = box.top() + metrics.ascent();
    return QRect(box.left() + lead, baseline + ink.top(), metrics.horizontalAdvance(glyphs),
                 ink.height());
}

std::vector<ShownText> TextsOf(const QWidget& window) {
    std::vector<ShownText> texts;
    const auto addIn = [&](const QWidget& owner, const QString& text, const QRect& box,
                           const QFontMetrics& metrics, int scale) {
        if (Trimmed(text).isEmpty()) return;
        QRect glyphs = GlyphBox(metrics, text, box);
        glyphs = QRect(scale * glyphs.topLeft(), scale * glyphs.size()) & owner.rect();
        const QRect shown = InWindow(owner, window, glyphs); // a cut text overlaps nothing
        if (!shown.isEmpty())
            texts.push_back({&owner, text, shown, scale * metrics.horizontalAdvance(' '),
                             scale * metrics.ascent()});
    };
    const auto add = [&](const QWidget& owner, const QString& text, const QRect& box) {
        addIn(owner, text, box, QFontMetrics(owner.font()), 1);
    };
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!Shown(*widget, window)) continue;
        if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
            if (!box->title().isEmpty()) add(*box, box->title(), GroupTitleBox(*box));
        } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (label->text().isEmpty() || Qt::mightBeRichText(label->text())) continue;
            const int margin = label->margin();
            const QRect contents = label->contentsRect().adjusted(margin, margin, -margin, -margin);
            add(*label, label->text(),
                AlignedText(*label, label->text(), contents, label->alignment()));
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            if (!button->text().isEmpty()) add(*button, button->text(), ButtonTextBox(*button));
        } else if (const auto* canvas = qobject_cast<const ui::PaintBox*>(widget)) {
            const ui::Canvas& picture = canvas->GetCanvas();
            for (const ui::Canvas::DrawnText& drawn : picture.Texts())
                addIn(*canvas, drawn.text, drawn.box, QFontMetrics(drawn.font, &picture.Image()),
                      canvas->Scale());
        }
    }
    return texts;
}

bool Painted(const QWidget& widget) {
    if (qobject_cast<const QAbstractButton*>(&widget) || qobject_cast<const QLineEdit*>(&widget) ||
        qobject_cast<const QComboBox*>(&widget) || qobject_cast<const QAbstractSlider*>(&widget) ||
        qobject_cast<const QAbstractSpinBox*>(&widget) ||
        qobject_cast<const QProgressBar*>(&widget) ||
        qobject_cast<const QAbstractScrollArea*>(&widget) || qobject_cast<const QTabBar*>(&widget))
        return true;
    if (widget.autoFillBackground()) return true;
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return label->frameShape() != QFrame::NoFrame || !label->pixmap().isNull();
    // A widget of the screens' own that paints itself (a legend, arrows, a canvas).
    const QMetaObject* meta = widget.metaObject();
    return meta != &QWidget::staticMetaObject && meta != &QFrame::staticMetaObject &&
           !widget.inherits("QGroupBox") && !widget.inherits("QLabel") &&
           !widget.inherits("QToolBar") && !widget.inherits("QStackedWidget") &&
           !widget.inherits("QTabWidget") && !widget.inherits("QSplitter") &&
           !widget.inherits("QSplitterHandle") && !widget.inherits("QMenuBar") &&
           !widget.inherits("QStatusBar") && !widget.inherits("QSizeGrip") &&
           !widget.inherits("QDialogButtonBox") && !widget.isWindow();
}

std::vector<Obstacle> ObstaclesOf(const QWidget& window) {
    const int factor = std::max(1, window.logicalDpiX() / 96);
    std::vector<Obstacle> obstacles;
    std::vector<const QWidget*> painted;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!Shown(*widget, window)) continue;
        // The parts of a control are the control's business.
        const bool part = std::any_of(painted.begin(), painted.end(), [&](const QWidget* control) {
            return control->isAncestorOf(widget);
        });
        if (part) continue;
        const QRect place = InWindow(*widget, window, widget->rect());
        if (place.isEmpty() || std::min(widget->width(), widget->height()) <= 2 * factor)
            continue; // a line lies under the texts it crosses
        if (qobject_cast<const ui::PaintBox*>(widget) && widget->parentWidget() &&
            widget->geometry() == widget->parentWidget()->rect())
            continue; // a canvas that is its window's ground
        if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
            obstacles.push_back(
                {widget, place, InWindow(*box, window, GroupPart(*box, QStyle::SC_GroupBoxFrame))});
        } else if (const auto* choice = qobject_cast<const QAbstractButton*>(widget);
                   choice && (qobject_cast<const QCheckBox*>(widget) ||
                              qobject_cast<const QRadioButton*>(widget))) {
            // A check box or radio button paints its mark and its text, not the rest of its place.
            painted.push_back(widget);
            obstacles.push_back({widget, InWindow(*choice, window, ChoiceArea(*choice)), QRect()});
        } else if (Painted(*widget)) {
            painted.push_back(widget);
            obstacles.push_back({widget, place, QRect()});
        } else if (const auto* frame = qobject_cast<const QFrame*>(widget);
                   frame && frame->frameShape() != QFrame::NoFrame) {
            obstacles.push_back({widget, place, place.adjusted(1, 1, -1, -1)});
        }
    }
    return obstacles;
}

QString Describe(const ShownText& text) {
    return QString("%1 \"%2\" at (%3, %4, %5 x %6)")
        .arg(text.owner->metaObject()->className(), text.text)
        .arg(text.box.x())
        .arg(text.box.y())
        .arg(text.box.width())
        .arg(text.box.height());
}

} // namespace

testing::AssertionResult ShowsTextsApart(const QWidget& window) {
    QStringList overlaps;
    const std::vector<ShownText> texts = TextsOf(window);
    // Two texts of one size need half a blank between them, or they read as one word; a text
    // of another size beside one (an exponent, a smaller mark) is set against it on purpose.
    const auto apart = [](const ShownText& text) {
        const int quarter = std::max(1, text.blank / 4);
        return text.box.adjusted(-quarter, 0, quarter, 0);
    };
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j) {
            const ShownText& one = texts[i];
            const ShownText& other = texts[j];
            if (one.box.intersects(other.box) ||
                (one.ascent == other.ascent && apart(one).intersects(apart(other))))
                overlaps << Describe(one) + " runs into " + Describe(other);
        }
    const std::vector<Obstacle> obstacles = ObstaclesOf(window);
    for (const ShownText& text : texts)
        for (const Obstacle& obstacle : obstacles) {
            if (obstacle.widget == text.owner || obstacle.widget->isAncestorOf(text.owner))
                continue;
            if (!text.box.intersects(obstacle.place)) continue;
            if (!obstacle.inside.isEmpty() && obstacle.inside.contains(text.box)) continue;
            overlaps << QString("%1 overlaps %2 at (%3, %4, %5 x %6)")
                            .arg(Describe(text), obstacle.widget->metaObject()->className())
                            .arg(obstacle.place.x())
                            .arg(obstacle.place.y())
                            .arg(obstacle.place.width())
                            .arg(obstacle.place.height());
        }
    if (overlaps.isEmpty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << overlaps.join('\n').toStdString();
}

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
        else if (const auto* canvas = qobject_cast<const ui::PaintBox*>(widget))
            CheckCanvas(*canvas, cut);
    }
    if (cut.isEmpty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << cut.join('\n').toStdString();
}

namespace {

// The text a widget shows of its own (a caption, a box's or a list's contents), or nothing.
std::optional<QString> OwnText(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return label->text().isEmpty() ? std::nullopt : std::optional(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return button->text().isEmpty() ? std::nullopt : std::optional(button->text());
    if (const auto* box = qobject_cast<const QGroupBox*>(&widget))
        return box->title().isEmpty() ? std::nullopt : std::optional(box->title());
    if (qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QComboBox*>(&widget) ||
        qobject_cast<const QAbstractItemView*>(&widget) ||
        qobject_cast<const QTextEdit*>(&widget) || qobject_cast<const QPlainTextEdit*>(&widget) ||
        qobject_cast<const QTabBar*>(&widget))
        return QString();
    return std::nullopt;
}

} // namespace

testing::AssertionResult ShowsFontsOfAtLeast(const QWidget& window, int pixels) {
    QStringList small;
    const auto tooSmall = [&](const QWidget& widget, const QString& text, double size) {
        small << QString("%1 \"%2\": %3 px").arg(widget.metaObject()->className(), text).arg(size);
    };
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!Shown(*widget, window)) continue;
        if (const auto* canvas = qobject_cast<const ui::PaintBox*>(widget)) {
            // A canvas draws on a picture of 96 dpi, where a point is 96/72 pixels.
            for (const ui::Canvas::DrawnText& drawn : canvas->GetCanvas().Texts()) {
                const QFont& font = drawn.font;
                const double size =
                    canvas->Scale() *
                    (font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96 / 72);
                if (size < pixels) tooSmall(*canvas, drawn.text, size);
            }
        } else if (const std::optional<QString> text = OwnText(*widget)) {
            const int size = QFontInfo(widget->font()).pixelSize();
            if (size < pixels) tooSmall(*widget, *text, size);
        }
    }
    if (small.isEmpty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << small.join('\n').toStdString();
}
