#include "DpiScaling.h"

#include "Canvas.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>
#include <vector>

namespace ui {

// At least 1, so a screen reporting under 96 dpi keeps its windows at their designed size.
int DpiFactor(int pixelsPerInch) {
    return std::max(1, pixelsPerInch / 96);
}

int DpiFactor(const QWidget& widget) {
    return DpiFactor(widget.logicalDpiX());
}

int PointsToPixels(qreal points, int factor) {
    return std::max(1, qRound(points * 96 * factor / 72));
}

QFont FontInPixels(QFont font, int factor) {
    if (font.pixelSize() <= 0 && font.pointSizeF() > 0)
        font.setPixelSize(PointsToPixels(font.pointSizeF(), factor));
    return font;
}

QFont FontInPoints(QFont font, int factor) {
    if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / (96 * factor));
    return font;
}

namespace {

// How many pixels across a box lacks to show its current text whole (0: none).
int WidthLacking(const QComboBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = box.isEditable();
    const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, &box);
    return std::max(0, box.fontMetrics().horizontalAdvance(box.currentText()) - field.width());
}

// How many pixels across a tree or list lacks to show its columns without scrolling (0: none).
int WidthLacking(const QTreeView& view) {
    return std::max(0, view.header()->length() - view.viewport()->width());
}

template <typename Part> std::vector<Part*> ShownParts(const QDialog& dialog) {
    std::vector<Part*> shown;
    for (Part* part : dialog.findChildren<Part*>())
        if (part->isVisibleTo(&dialog) && part->window() == &dialog) shown.push_back(part);
    return shown;
}

} // namespace

void WidenDialogToItsTexts(QDialog& dialog) {
    const QRect screen = dialog.screen() ? dialog.screen()->availableGeometry() : QRect();
    // A few rounds: the room a wider dialog gives is shared among its parts.
    for (int round = 0; round < 8; ++round) {
        if (QLayout* layout = dialog.layout()) layout->activate();
        int lacking = 0;
        for (QComboBox* box : ShownParts<QComboBox>(dialog))
            if (const int more = WidthLacking(*box)) {
                box->setMinimumWidth(box->width() + more);
                lacking = std::max(lacking, more);
            }
        for (QTreeView* view : ShownParts<QTreeView>(dialog))
            lacking = std::max(lacking, WidthLacking(*view));
        const int width = screen.isValid() ? std::min(screen.width(), dialog.width() + lacking)
                                           : dialog.width() + lacking;
        if (lacking == 0 || width <= dialog.width()) break;
        const int left = dialog.x() - (width - dialog.width()) / 2;
        dialog.setGeometry(QRect(left, dialog.y(), width, dialog.height()));
    }
    if (screen.isValid() && dialog.frameGeometry().left() < screen.left())
        dialog.move(screen.left(), dialog.y());
}

namespace {

// Qt's own dialogs (file, print, printer properties) lay themselves out in the fonts and
// measures of the screen, but open at sizes given in the pixels of a 96 dpi screen: with the
// program's scaling each one is widened when it shows until its texts are whole.
class StandardDialogWidening : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isWindow())
                WidenDialogToItsTexts(*dialog);
        return false;
    }
};

void WidenStandardDialogs(bool on) {
    static StandardDialogWidening* widening = nullptr;
    if (on && !widening) {
        widening = new StandardDialogWidening(qApp);
        qApp->installEventFilter(widening);
    } else if (!on && widening) {
        delete widening;
        widening = nullptr;
    }
}

} // namespace

void ScaleTextToDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int factor = screen ? DpiFactor(qRound(screen->logicalDotsPerInchX())) : 1;
    // The style measures its frames, margins and marks, and pictures take their resolution, at
    // 96 dpi with this (the screen's own resolution stays what the screen tells); from 192 dpi
    // on they follow the screen, as the windows do.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, factor == 1);
    QApplication::setFont(FontInPixels(QApplication::font(), factor));
    WidenStandardDialogs(factor > 1);
}

namespace {

// A bound of a size given in the design's pixels, scaled; no bound stays none.
int ScaledBound(int value, int factor) {
    return value >= QWIDGETSIZE_MAX ? value : std::min(QWIDGETSIZE_MAX, factor * value);
}

// The least and greatest sizes a window gave a widget, scaled (the greatest first, so that a
// fixed size never has its least above its greatest).
void ScaleSizeBounds(QWidget& widget, int factor) {
    const QSize least = widget.minimumSize();
    const QSize greatest = widget.maximumSize();
    widget.setMaximumSize(ScaledBound(greatest.width(), factor),
                          ScaledBound(greatest.height(), factor));
    widget.setMinimumSize(factor * least);
}

// The pixels of the application's font at 96 dpi.
QFont DesignedApplicationFont(int factor) {
    QFont font = QApplication::font();
    if (font.pixelSize() > 0) font.setPixelSize(std::max(1, font.pixelSize() / factor));
    return font;
}

void RemoveLayouts(QWidget& widget) {
    for (QWidget* child : widget.findChildren<QWidget*>())
        if (child->window() == &widget) delete child->layout();
    delete widget.layout();
}

} // namespace

void KeepDesignedLayout(QWidget& window) {
    const int factor = DpiFactor(window);
    if (factor == 1 || !window.layout()) return;
    // The layout as at 96 dpi: the designed font, and the style's measures of 96 dpi.
    const bool ownFont = window.testAttribute(Qt::WA_SetFont);
    const QFont font = window.font();
    window.setFont(DesignedApplicationFont(factor));
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);
    window.layout()->invalidate();
    window.layout()->activate();
    // A hidden widget lays out its own layout only when it is shown: each is laid out here, the
    // outer ones first.
    for (QWidget* child : window.findChildren<QWidget*>())
        if (QLayout* layout = child->layout(); layout && child->window() == &window)
            layout->activate();
    std::vector<std::pair<QWidget*, QRect>> places;
    for (QWidget* child : window.findChildren<QWidget*>())
        if (child->window() == &window) places.emplace_back(child, child->geometry());
    RemoveLayouts(window);
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
    window.setFont(ownFont ? font : QFont());
    for (const auto& [child, place] : places)
        child->setGeometry(place);
}

void ScaleToDpi(QWidget& window) {
    const int factor = DpiFactor(window);
    const QSize scaled = factor * window.size();
    ScaleSizeBounds(window, factor);
    window.resize(scaled);
}

namespace {

// A control of a window as it was designed: where it stands (when its parent places it by
// position), whether it was sized to its text, and the pixels of the font it was given at the
// factor (0: it keeps the font it has).
struct DesignedControl {
    QWidget* widget;
    bool placedByPosition;
    bool sizedToText;
    int fontPixels;
};

// Group boxes, tool bars and plain containers hold the controls of a screen, besides the
// window; other widgets (combo boxes, scroll areas, ...) lay out their own parts.
bool HoldsControls(const QWidget& widget) {
    return qobject_cast<const QGroupBox*>(&widget) || qobject_cast<const QToolBar*>(&widget) ||
           widget.metaObject() == &QWidget::staticMetaObject ||
           widget.metaObject() == &QFrame::staticMetaObject;
}

// A font in pixels is the design's; one in points takes the pixels of 96 times the factor.
int OwnFontPixels(const QWidget& widget, int factor) {
    if (!widget.testAttribute(Qt::WA_SetFont)) return 0;
    const QFont& font = widget.font();
    if (font.pixelSize() > 0) return factor == 1 ? 0 : factor * font.pixelSize();
    return font.pointSizeF() > 0 ? PointsToPixels(font.pointSizeF(), factor) : 0;
}

void CollectControls(QWidget& parent, int factor, std::vector<DesignedControl>& controls);

void CollectControl(QWidget& child, bool placedByPosition, int factor,
                    std::vector<DesignedControl>& controls) {
    const bool sizedToText = qobject_cast<QLabel*>(&child) && child.size() == child.sizeHint();
    controls.push_back({&child, placedByPosition, sizedToText, OwnFontPixels(child, factor)});
    if (HoldsControls(child)) CollectControls(child, factor, controls);
    // The pages of a tab widget hold controls as the window does.
    if (auto* tabs = qobject_cast<QTabWidget*>(&child))
        for (int page = 0; page < tabs->count(); ++page)
            CollectControls(*tabs->widget(page), factor, controls);
}

void CollectControls(QWidget& parent, int factor, std::vector<DesignedControl>& controls) {
    const bool placedByPosition = parent.layout() == nullptr;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow()) CollectControl(*child, placedByPosition, factor, controls);
}

void SetFontPixels(QWidget& widget, int pixels) {
    QFont font = widget.font();
    font.setPixelSize(pixels);
    widget.setFont(font);
}

// The margins, spacings and fixed spaces a window gave a layout and the layouts within it,
// scaled. What it left to the style follows the screen already; a layout does not tell which
// is which, so a value equal to the style's is taken for the style's.
void ScaleLayoutSpacing(QLayout& layout, int factor) {
    const QMargins given = layout.contentsMargins();
    layout.setContentsMargins(-1, -1, -1, -1);
    const QMargins styled = layout.contentsMargins();
    auto side = [factor](int given, int styled) { return given == styled ? -1 : factor * given; };
    layout.setContentsMargins(side(given.left(), styled.left()), side(given.top(), styled.top()),
                              side(given.right(), styled.right()),
                              side(given.bottom(), styled.bottom()));
    if (auto* grid = qobject_cast<QGridLayout*>(&layout)) {
        const int across = grid->horizontalSpacing();
        const int down = grid->verticalSpacing();
        grid->setHorizontalSpacing(-1);
        grid->setVerticalSpacing(-1);
        grid->setHorizontalSpacing(side(across, grid->horizontalSpacing()));
        grid->setVerticalSpacing(side(down, grid->verticalSpacing()));
    } else {
        const int spacing = layout.spacing();
        layout.setSpacing(-1);
        layout.setSpacing(side(spacing, layout.spacing()));
    }
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (QLayout* inner = item->layout()) ScaleLayoutSpacing(*inner, factor);
        if (QSpacerItem* spacer = item->spacerItem())
            spacer->changeSize(
                factor * spacer->sizeHint().width(), factor * spacer->sizeHint().height(),
                spacer->sizePolicy().horizontalPolicy(), spacer->sizePolicy().verticalPolicy());
    }
}

// A table's row height and column widths, which the screens give in pixels. (A table with rows
// lower than the style's least height sets that least height to 0 first: the style's follows
// the screen and would hold the rows higher.)
void ScaleTable(QTableView& table, int factor) {
    QHeaderView* rows = table.verticalHeader();
    rows->setDefaultSectionSize(factor * rows->defaultSectionSize());
    QHeaderView* columns = table.horizontalHeader();
    for (int column = 0; column < columns->count(); ++column)
        table.setColumnWidth(column, factor * table.columnWidth(column));
    ScaleSizeBounds(*rows, factor);
    ScaleSizeBounds(*columns, factor);
}

} // namespace

void ScaleControlsToDpi(QWidget& window) {
    const int factor = DpiFactor(window);
    std::vector<DesignedControl> controls;
    CollectControls(window, factor, controls);
    // Every size is taken before any is changed: a font set on a parent reaches its children.
    if (const int pixels = OwnFontPixels(window, factor)) SetFontPixels(window, pixels);
    for (const DesignedControl& control : controls)
        if (control.fontPixels) SetFontPixels(*control.widget, control.fontPixels);
    if (factor == 1) return;
    if (QLayout* layout = window.layout()) ScaleLayoutSpacing(*layout, factor);
    for (const DesignedControl& control : controls) {
        QWidget& widget = *control.widget;
        ScaleSizeBounds(widget, factor);
        // A tool bar's own layout takes its margins from the style.
        if (QLayout* layout = widget.layout();
            layout && HoldsControls(widget) && !qobject_cast<QToolBar*>(&widget))
            ScaleLayoutSpacing(*layout, factor);
        if (auto* table = qobject_cast<QTableView*>(&widget)) ScaleTable(*table, factor);
        if (!control.placedByPosition) continue;
        widget.setGeometry(QRect(factor * widget.pos(), factor * widget.size()));
        if (control.sizedToText) widget.adjustSize();
    }
    // A canvas drawn in the design's pixels is shown at the factor.
    for (const DesignedControl& control : controls)
        if (auto* canvas = qobject_cast<PaintBox*>(control.widget)) canvas->SetScale(factor);
}

} // namespace ui
