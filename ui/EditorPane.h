// The text editor pane of the program editor: a plain-text pane with the rows, columns, caret,
// selection, overwrite mode, scroll bars and left margin that the editor works with, the row
// numbers, ruler and line-end marks it can show around its text, its line list with the CP932
// text files, and the class library's key, mouse and change events.
#pragma once

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>
#include <QStringList>
#include <functional>
#include <optional>

class QPainter;
class QTextBlock;

namespace ui {

class EditorPane : public QPlainTextEdit {
    Q_OBJECT
public:
    enum class ScrollBars { None, Horizontal, Vertical, Both };

    // A key as the key events report it: the class library's key code (13 Enter, 8 Backspace,
    // 45 Insert, 46 Delete, digits and letters as themselves), the text it types and the
    // modifier keys.
    struct Key {
        int code = 0;
        QString text;
        Qt::KeyboardModifiers shift;
    };

    explicit EditorPane(QWidget* parent = nullptr);

    // The line list. An empty pane has no lines; otherwise the lines are the pane's rows.
    QStringList Lines() const;
    void SetLines(const QStringList& lines);
    int LineCount() const;
    bool IsEmpty() const;
    QString Line(int row) const;
    // Appends a new last line.
    void AddLine(const QString& line);
    // The whole text, rows separated by "\n", exactly as it stands in the pane.
    QString Text() const;
    void SetText(const QString& text);
    void Clear();

    // The rows of the pane as the line-count query counts them (an empty pane has one).
    int RowCount() const;

    // Caret row and column, counted from 0; the column counts tab-expanded display columns.
    int Row() const;
    int Col() const;
    void SetRow(int row);
    void SetCol(int col);
    void SetRowCol(int row, int col);
    int TopRow() const;
    void SetTopRow(int row);
    int TopCol() const;
    void SetTopCol(int col);
    // The number of whole rows and columns that fit in the pane, and the width of one column.
    int VisibleRows() const;
    int VisibleCols() const;
    int CharWidth() const;

    void SetOverWrite(bool on) { setOverwriteMode(on); }
    ScrollBars GetScrollBars() const { return scrollBars_; }
    void SetScrollBars(ScrollBars bars);
    // The width in pixels kept free left of the text (the step-number gutter stands there).
    void SetLeftMargin(int pixels);
    int LeftMargin() const { return leftMargin_; }
    // That free strip in the pane's own coordinates: right of the row numbers, below the ruler
    // and as tall as the text area, so that what stands there lines up row for row with the text.
    QRect LeftMarginRect() const;
    // The width of the row numbers' bar (0 when it is hidden).
    int RowNumberWidth() const;

    // What the pane can show around its text, all off at first: a bar of row numbers at the left
    // (the first row is 1, as the compile listing counts lines), a column ruler above that
    // follows horizontal scrolling, a mark at the end of each row that ends with a line break in
    // the file the lines are written to (every row of a pane that is not empty), and the end of
    // the file after the last row. They are only painted: the text never holds them.
    void SetRowNumbersShown(bool shown);
    void SetRulerShown(bool shown);
    void SetMarksShown(bool shown);
    static inline const QColor kMarkColor{0, 128, 128};

    // Selection by character offset in Text(); SetSelText replaces the selection as an edit.
    void SetSelStart(int position);
    void SetSelLength(int length);
    void SetSelText(const QString& text);

    // Set when the user changes the text (typing, cut, paste, undo, SetSelText); changes made
    // through the line list or SetText leave it alone.
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    struct SearchOptions {
        bool down = true;
        bool matchCase = false;
        bool wholeWord = false;
    };
    // Finds the text from the caret (downward from the selection's end, upward from its start;
    // fromSelectionStart searches the current selection too) and selects it.
    bool Search(const QString& text, SearchOptions options, bool fromSelectionStart = false);

    void Undo() { undo(); }
    void CutToClipboard() { cut(); }
    void CopyToClipboard() { copy(); }
    void PasteFromClipboard() { paste(); }

    // The display width of a line with tabs expanded to the next multiple of 8 columns; a
    // half-width character takes one column, any other two (its CP932 bytes).
    static int ExpandTabLength(const QString& line);
    static QString ExpandTabs(const QString& line);
    // The display column at which each character of the line starts.
    static QList<int> ColumnsOf(const QString& line);

    // Whole text files of lines: CP932, CR LF written after every line. Reading accepts CR LF,
    // LF and CR; a final line end makes no empty line. Reading returns nothing when the file
    // cannot be read; writing goes to a temporary file that replaces the old one only when
    // complete, and raises ui::Error on failure, or, before anything is written, when a line
    // holds a character without a CP932 code (the error names its row and the character).
    static std::optional<QString> ReadTextFromFile(const QString& path);
    static std::optional<QStringList> ReadLinesFromFile(const QString& path);
    static void WriteLinesToFile(const QString& path, const QStringList& lines);
    static QStringList SplitLines(const QString& text);

    std::function<void(const Key& key)> OnKeyDown;
    std::function<void(const Key& key)> OnKeyUp;
    std::function<void()> OnMouseDown;
    std::function<void()> OnTopRowChange;
    // The user changed the text.
    std::function<void()> OnChange;
    // A wheel turn (delta > 0 away from the user); true when the handler took it.
    std::function<bool(int delta)> OnMouseWheel;
    // The pane or its text area changed size.
    std::function<void()> OnResize;

protected:
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Runs a change made by code: no change event, no modified flag, no undo step.
    void ByCode(const std::function<void()>& change);
    static Key KeyOf(const QKeyEvent* e);

    // The viewport's margins hold the row numbers, the left margin and the ruler; the bar and the
    // ruler are placed beside the viewport whenever it moves or changes size.
    void UpdateViewportMargins();
    void PlaceRowNumbersAndRuler();
    int RowNumberPadding() const;
    int RulerHeight() const;
    // The caret-sized rectangle, in viewport coordinates, at the start or the end of a row.
    QRect RowStart(const QTextBlock& block) const;
    QRect RowEnd(const QTextBlock& block) const;
    void PaintRowNumbers(QPainter& painter);
    void PaintRuler(QPainter& painter);
    void PaintMarks();

    QWidget* rowNumbers_;
    QWidget* ruler_;
    bool marksShown_ = false;
    ScrollBars scrollBars_ = ScrollBars::None;
    int leftMargin_ = 0;
    bool modified_ = false;
    int byCode_ = 0;
};

// The font dialog of the editor: fixed-pitch fonts, sizes 8 to 18. Nothing when cancelled.
std::optional<QFont> ChooseFixedPitchFont(const QFont& initial, QWidget* parent = nullptr);
using FontDialogResponder = std::function<std::optional<QFont>(const QFont& initial)>;
void SetFontDialogResponder(FontDialogResponder responder);

} // namespace ui
