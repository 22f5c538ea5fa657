#include "EditorPane.h"

#include "CarriedText.h"
#include "Codec.h"
#include "DpiScaling.h"
#include "Guard.h"
#include "SafeFile.h"
#include "Widgets.h"

#include <QFile>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace ui {
namespace {

constexpr int kTabColumns = 8;
// Room for five digits, as many as the longest program the compilers take needs.
constexpr int kRowNumberDigits = 5;
constexpr int kRowNumberPadding = 4;
const QColor kRowNumberColor(128, 128, 128);
const QString kEndOfFileMark = "[EOF]";

// A strip beside the text area that the pane paints.
class PaintedStrip : public QWidget {
public:
    PaintedStrip(QWidget* parent, std::function<void(QPainter&)> paint)
        : QWidget(parent), paint_(std::move(paint)) {
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paint_(painter);
    }

private:
    std::function<void(QPainter&)> paint_;
};

// A bent arrow in the character cell that follows a row's last character.
void DrawReturnMark(QPainter& painter, const QRect& cell) {
    const int right = cell.left() + cell.width() * 2 / 3;
    const int left = cell.left() + 1;
    const int top = cell.top() + cell.height() / 4;
    const int bottom = cell.top() + cell.height() * 3 / 4;
    const int head = std::max(2, cell.width() / 4);
    painter.drawLine(right, top, right, bottom);
    painter.drawLine(right, bottom, left, bottom);
    painter.drawLine(left, bottom, left + head, bottom - head);
    painter.drawLine(left, bottom, left + head, bottom + head);
}

bool IsAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x80; });
}

// Columns of a text without tabs: its CP932 bytes.
int SegmentWidth(const QString& segment) {
    return IsAscii(segment) ? static_cast<int>(segment.size()) : cp932::ByteWidth(segment);
}

int NextTabStop(int column) {
    return (column / kTabColumns + 1) * kTabColumns;
}

FontDialogResponder& FontResponder() {
    static FontDialogResponder responder;
    return responder;
}

} // namespace

EditorPane::EditorPane(QWidget* parent)
    : QPlainTextEdit(parent),
      rowNumbers_(new PaintedStrip(this, [this](QPainter& p) { PaintRowNumbers(p); })),
      ruler_(new PaintedStrip(this, [this](QPainter& p) { PaintRuler(p); })) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    SetScrollBars(ScrollBars::None);
    // The row numbers follow what the text area repaints, and the ruler its horizontal scroll.
    connect(this, &QPlainTextEdit::updateRequest, rowNumbers_, [this](const QRect& rect, int dy) {
        if (dy != 0)
            rowNumbers_->update();
        else
            rowNumbers_->update(0, rect.y(), rowNumbers_->width(), rect.height());
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, ruler_, [this] { ruler_->update(); });
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (byCode_ > 0) return;
        modified_ = true;
        if (OnChange) RunGuarded(OnChange);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (OnTopRowChange) RunGuarded(OnTopRowChange);
    });
}

void EditorPane::ByCode(const std::function<void()>& change) {
    ++byCode_;
    document()->setUndoRedoEnabled(false);
    change();
    document()->setUndoRedoEnabled(true);
    --byCode_;
}

QStringList EditorPane::Lines() const {
    const QString text = Text();
    if (text.isEmpty()) return {};
    return text.split('\n');
}

void EditorPane::SetLines(const QStringList& lines) {
    SetText(lines.join('\n'));
}

int EditorPane::LineCount() const {
    return IsEmpty() ? 0 : document()->blockCount();
}

bool EditorPane::IsEmpty() const {
    return document()->isEmpty();
}

QString EditorPane::Line(int row) const {
    return document()->findBlockByNumber(row).text();
}

void EditorPane::AddLine(const QString& line) {
    ByCode([&] {
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        if (LineCount() > 0) cursor.insertText("\n");
        cursor.insertText(line);
    });
}

// The document's text as the pane shows it. Its plain-text form would write a no-break space as a
// blank; here only the marks between rows and of frames become line ends, as they do there.
QString EditorPane::Text() const {
    QString text = document()->toRawText();
    for (QChar& ch : text) {
        const char16_t code = ch.unicode();
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator || code == 0xFDD0 ||
            code == 0xFDD1)
            ch = u'\n';
    }
    return text;
}

void EditorPane::SetText(const QString& text) {
    ByCode([&] { setPlainText(text); });
}

void EditorPane::Clear() {
    SetText(QString());
}

int EditorPane::RowCount() const {
    return document()->blockCount();
}

int EditorPane::Row() const {
    return textCursor().blockNumber();
}

int EditorPane::Col() const {
    const QTextCursor cursor = textCursor();
    return ExpandTabLength(cursor.block().text().left(cursor.positionInBlock()));
}

void EditorPane::SetRow(int row) {
    SetRowCol(row, Col());
}

void EditorPane::SetCol(int col) {
    SetRowCol(Row(), col);
}

void EditorPane::SetRowCol(int row, int col) {
    const QTextBlock block = document()->findBlockByNumber(std::clamp(row, 0, RowCount() - 1));
    const QString text = block.text();
    const QList<int> columns = ColumnsOf(text);
    int offset = 0;
    while (offset < text.size() && columns[offset] < col)
        ++offset;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + offset);
    setTextCursor(cursor);
}

int EditorPane::TopRow() const {
    return verticalScrollBar()->value();
}

void EditorPane::SetTopRow(int row) {
    verticalScrollBar()->setValue(row);
}

int EditorPane::TopCol() const {
    return horizontalScrollBar()->value() / CharWidth();
}

void EditorPane::SetTopCol(int col) {
    horizontalScrollBar()->setValue(col * CharWidth());
}

int EditorPane::VisibleRows() const {
    return viewport()->height() / std::max(1, fontMetrics().lineSpacing());
}

int EditorPane::VisibleCols() const {
    return viewport()->width() / CharWidth();
}

int EditorPane::CharWidth() const {
    return std::max(1, fontMetrics().horizontalAdvance('0'));
}

void EditorPane::SetScrollBars(ScrollBars bars) {
    scrollBars_ = bars;
    const bool vertical = bars == ScrollBars::Vertical || bars == ScrollBars::Both;
    const bool horizontal = bars == ScrollBars::Horizontal || bars == ScrollBars::Both;
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // Qt lays the bars out anew only in a shown pane; a hidden one would show them as they were
    // laid out last.
    UpdateViewportMargins();
}

void EditorPane::SetLeftMargin(int pixels) {
    leftMargin_ = pixels;
    UpdateViewportMargins();
}

QRect EditorPane::LeftMarginRect() const {
    const QRect text = viewport()->geometry();
    return QRect(text.left() - leftMargin_, text.top(), leftMargin_, text.height());
}

void EditorPane::SetRowNumbersShown(bool shown) {
    rowNumbers_->setVisible(shown);
    UpdateViewportMargins();
}

void EditorPane::SetRulerShown(bool shown) {
    ruler_->setVisible(shown);
    UpdateViewportMargins();
}

void EditorPane::SetMarksShown(bool shown) {
    marksShown_ = shown;
    viewport()->update();
}

int EditorPane::RowNumberWidth() const {
    return rowNumbers_->isVisibleTo(this) ? kRowNumberDigits * CharWidth() + 2 * RowNumberPadding()
                                          : 0;
}

// The designed margins of the numbers, at the screen's factor like the font.
int EditorPane::RowNumberPadding() const {
    return DpiFactor(*this) * kRowNumberPadding;
}

int EditorPane::RulerHeight() const {
    return ruler_->isVisibleTo(this) ? fontMetrics().height() + 2 : 0;
}

void EditorPane::UpdateViewportMargins() {
    setViewportMargins(RowNumberWidth() + leftMargin_, RulerHeight(), 0, 0);
    PlaceRowNumbersAndRuler();
}

void EditorPane::PlaceRowNumbersAndRuler() {
    const QRect text = viewport()->geometry();
    const QRect inside = contentsRect();
    rowNumbers_->setGeometry(text.left() - leftMargin_ - RowNumberWidth(), text.top(),
                             RowNumberWidth(), text.height());
    ruler_->setGeometry(inside.left(), inside.top(), text.right() + 1 - inside.left(),
                        RulerHeight());
}

QRect EditorPane::RowStart(const QTextBlock& block) const {
    return cursorRect(QTextCursor(block));
}

QRect EditorPane::RowEnd(const QTextBlock& block) const {
    QTextCursor end(block);
    end.movePosition(QTextCursor::EndOfBlock);
    return cursorRect(end);
}

void EditorPane::PaintRowNumbers(QPainter& painter) {
    painter.fillRect(rowNumbers_->rect(), palette().color(QPalette::Window));
    painter.setFont(font());
    painter.setPen(kRowNumberColor);
    const int width = rowNumbers_->width() - RowNumberPadding();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRect row = RowStart(block);
        if (row.top() > rowNumbers_->height()) break;
        painter.drawText(QRect(0, row.top(), width, row.height()), Qt::AlignRight | Qt::AlignTop,
                         QString::number(block.blockNumber() + 1));
    }
}

void EditorPane::PaintRuler(QPainter& painter) {
    const QRect area = ruler_->rect();
    painter.fillRect(area, palette().color(QPalette::Window));
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    // Column 0 starts where the text does, moved by the horizontal scrolling.
    const int textLeft = viewport()->x() - ruler_->x();
    const int origin = textLeft + qRound(contentOffset().x() + document()->documentMargin());
    const int width = CharWidth();
    const int height = area.height();
    painter.setClipRect(QRect(textLeft, 0, area.width() - textLeft, height));
    for (int column = std::max(0, (textLeft - origin) / width);
         origin + column * width < area.width(); ++column) {
        const int x = origin + column * width;
        const int tick = column % 10 == 0 ? height : column % 5 == 0 ? height / 2 : height / 4;
        painter.drawLine(x, height - tick, x, height - 1);
        if (column % 10 == 0 && column > 0)
            painter.drawText(x + 2, fontMetrics().ascent(), QString::number(column));
    }
}

void EditorPane::PaintMarks() {
    QPainter painter(viewport());
    // Every pixel of a mark in its colour, however the text is smoothed.
    QFont markFont = font();
    markFont.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(markFont);
    painter.setPen(kMarkColor);
    const int width = CharWidth();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRect end = RowEnd(block);
        if (end.top() > viewport()->height()) break;
        // Right of the caret's place, so a caret at the row's end leaves the mark whole.
        QRect cell(end.left() + 2, end.top(), width, end.height());
        // A file written from the lines ends every row with a line break, the last one too;
        // an empty pane writes none.
        if (!IsEmpty()) DrawReturnMark(painter, cell);
        if (block.next().isValid()) continue;
        if (!IsEmpty()) cell.translate(width, 0);
        painter.drawText(cell.left(), cell.top() + fontMetrics().ascent(), kEndOfFileMark);
    }
}

void EditorPane::SetSelStart(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, static_cast<int>(Text().size())));
    setTextCursor(cursor);
}

void EditorPane::SetSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + length, 0, static_cast<int>(Text().size())),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void EditorPane::SetSelText(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

bool EditorPane::Search(const QString& text, SearchOptions options, bool fromSelectionStart) {
    if (text.isEmpty()) return false;
    QTextDocument::FindFlags flags;
    if (!options.down) flags |= QTextDocument::FindBackward;
    if (options.matchCase) flags |= QTextDocument::FindCaseSensitively;
    if (options.wholeWord) flags |= QTextDocument::FindWholeWords;
    QTextCursor from = textCursor();
    if (fromSelectionStart) {
        const int position = options.down ? from.selectionStart() : from.selectionEnd();
        from.setPosition(position);
    }
    const QTextCursor found = document()->find(text, from, flags);
    if (found.isNull()) return false;
    setTextCursor(found);
    return true;
}

QList<int> EditorPane::ColumnsOf(const QString& line) {
    QList<int> columns;
    columns.reserve(line.size());
    int column = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        columns.append(column);
        const QChar ch = line.at(i);
        if (ch == '\t') {
            column = NextTabStop(column);
        } else if (ch.isHighSurrogate() && i + 1 < line.size()) {
            columns.append(column);
            column += SegmentWidth(line.mid(i, 2));
            ++i;
        } else {
            column += SegmentWidth(QString(ch));
        }
    }
    return columns;
}

int EditorPane::ExpandTabLength(const QString& line) {
    int column = 0;
    const QStringList segments = line.split('\t');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        column += SegmentWidth(segments[i]);
        if (i + 1 < segments.size()) column = NextTabStop(column);
    }
    return column;
}

QString EditorPane::ExpandTabs(const QString& line) {
    QString expanded;
    int column = 0;
    const QStringList segments = line.split('\t');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        expanded += segments[i];
        column += SegmentWidth(segments[i]);
        if (i + 1 < segments.size()) {
            const int stop = NextTabStop(column);
            expanded += QString(stop - column, ' ');
            column = stop;
        }
    }
    return expanded;
}

QStringList EditorPane::SplitLines(const QString& text) {
    QString normal = text;
    normal.replace("\r\n", "\n");
    normal.replace('\r', '\n');
    if (normal.isEmpty()) return {};
    if (normal.endsWith('\n')) normal.chop(1);
    return normal.split('\n');
}

std::optional<QString> EditorPane::ReadTextFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return cp932::Decode(bytes);
}

std::optional<QStringList> EditorPane::ReadLinesFromFile(const QString& path) {
    const std::optional<QString> text = ReadTextFromFile(path);
    if (!text) return std::nullopt;
    return SplitLines(*text);
}

void EditorPane::WriteLinesToFile(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (qsizetype row = 0; row < lines.size(); ++row) {
        const std::optional<QByteArray> line = CarriedBytes(lines[row], Carrier::Document);
        if (!line)
            throw Error(
                RefusalMessage(CharacterName(UncarriedCharacter(lines[row], Carrier::Document)),
                               QString("%1行目").arg(row + 1), Carrier::Document)
                    .toStdString());
        bytes += *line + "\r\n";
    }
    const QString failure = WriteWholeFile(path, bytes);
    if (!failure.isEmpty())
        throw Error(
            QString("ファイルを保存できませんでした。\n%1\n%2").arg(path, failure).toStdString());
}

EditorPane::Key EditorPane::KeyOf(const QKeyEvent* e) {
    return Key{ToVirtualKey(e), e->text(), e->modifiers()};
}

bool EditorPane::event(QEvent* e) {
    // Control keys belong to the window's menu first, as the class library gave them.
    if (e->type() == QEvent::ShortcutOverride &&
        (static_cast<QKeyEvent*>(e)->modifiers() & Qt::ControlModifier)) {
        e->ignore();
        return true;
    }
    return QPlainTextEdit::event(e);
}

void EditorPane::changeEvent(QEvent* e) {
    QPlainTextEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange) UpdateViewportMargins();
}

void EditorPane::paintEvent(QPaintEvent* e) {
    QPlainTextEdit::paintEvent(e);
    if (marksShown_) PaintMarks();
}

// A paste or a drop puts in the plain text it carries, and changes nothing (the selection stays)
// when it carries none (an empty clipboard, a picture): Qt's own insert reads the first of the
// formats without looking whether there is one, and fails on a clipboard that holds none. Text that
// a file of the pane's lines cannot hold (a character without a CP932 code) is refused, as every
// box refuses one: the pane keeps what it had, and the user is told which character.
void EditorPane::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText() || isReadOnly()) return;
    const QString text = source->text();
    if (text.isEmpty() || !CheckCarried(text, PlaceOf(this), Carrier::Document)) return;
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void EditorPane::keyPressEvent(QKeyEvent* e) {
    if (OnKeyDown) {
        const Key key = KeyOf(e);
        RunGuarded([&] { OnKeyDown(key); });
    }
    QPlainTextEdit::keyPressEvent(e);
}

void EditorPane::keyReleaseEvent(QKeyEvent* e) {
    QPlainTextEdit::keyReleaseEvent(e);
    if (OnKeyUp) {
        const Key key = KeyOf(e);
        RunGuarded([&] { OnKeyUp(key); });
    }
}

void EditorPane::mousePressEvent(QMouseEvent* e) {
    QPlainTextEdit::mousePressEvent(e);
    if (OnMouseDown) RunGuarded(OnMouseDown);
}

void EditorPane::wheelEvent(QWheelEvent* e) {
    const int delta = e->angleDelta().y();
    bool taken = false;
    if (delta != 0 && OnMouseWheel) RunGuarded([&] { taken = OnMouseWheel(delta); });
    if (taken)
        e->accept();
    else
        QPlainTextEdit::wheelEvent(e);
}

void EditorPane::resizeEvent(QResizeEvent* e) {
    QPlainTextEdit::resizeEvent(e);
    PlaceRowNumbersAndRuler();
    if (OnResize) RunGuarded(OnResize);
}

std::optional<QFont> ChooseFixedPitchFont(const QFont& initial, QWidget* parent) {
    std::optional<QFont> chosen;
    if (FontResponder()) {
        chosen = FontResponder()(initial);
    } else {
        bool ok = false;
        const QFont font =
            QFontDialog::getFont(&ok, initial, parent, QString(), QFontDialog::MonospacedFonts);
        if (ok) chosen = font;
    }
    if (chosen && chosen->pointSize() > 0)
        chosen->setPointSize(std::clamp(chosen->pointSize(), 8, 18));
    return chosen;
}

void SetFontDialogResponder(FontDialogResponder responder) {
    FontResponder() = std::move(responder);
}

} // namespace ui
