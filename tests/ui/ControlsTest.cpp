// The controls behave as the screens expect when code changes them, and the boxes and cells take
// no paste that the line cannot carry.
#include "ui/Controls.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/EditorPane.h"
#include "ui/Form.h"
#include "ui/Guard.h"
#include "ui/StringGrid.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

TEST(ControlsTest, CheckBoxRunsItsClickOnlyOnAChange) {
    ui::CheckBox box("x");
    int clicks = 0;
    box.OnClick = [&] { ++clicks; };
    box.SetChecked(false);
    EXPECT_EQ(clicks, 0);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.click(); // the user
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box.Checked());
}

TEST(ControlsTest, ComboBoxSetByCodeRunsNoHandlerAndClampsToNoSelection) {
    ui::ComboBox box({"a", "b", "c"});
    int changes = 0;
    box.OnChange = [&] { ++changes; };
    box.SetItemIndex(2);
    EXPECT_EQ(box.ItemIndex(), 2);
    box.SetItemIndex(3);
    EXPECT_EQ(box.ItemIndex(), -1);
    box.SetItemIndex(-5);
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
}

TEST(ControlsTest, GuardShowsAnEscapedErrorInTheDefaultBox) {
    std::vector<ui::MessageRecord> shown;
    ui::SetMessageResponder([&](const ui::MessageRecord& r) {
        shown.push_back(r);
        return ui::MsgResult::Ok;
    });
    ui::CheckBox box("x");
    box.OnClick = [] { throw ui::Error("port gone"); };
    box.SetChecked(true);
    ui::SetMessageResponder({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "port gone");
    EXPECT_EQ(shown[0].caption, "KasoNT 2.3F");
}

// A character is named so that it can be seen: by its code when it shows nothing of its own.
TEST(ControlsTest, RefusedCharactersAreNamedSoThatTheyCanBeSeen) {
    EXPECT_EQ(ui::UncarriedCharacter("12\t34"), "\t");
    EXPECT_EQ(ui::UncarriedCharacter(QString::fromUtf8("a€\nb")), QString::fromUtf8("€"));
    EXPECT_EQ(ui::UncarriedCharacter(QString::fromUtf8("ｱ～－")),
              ""); // CP932 keeps codes for these
    EXPECT_EQ(ui::UncarriedCharacter(QString::fromUtf8("1😀2")), QString::fromUtf8("😀"));
    // A document's lines carry control characters as its file held them, never a lost code.
    EXPECT_EQ(ui::UncarriedCharacter("\t\x1B\x7F", ui::Carrier::Document), "");
    EXPECT_EQ(ui::UncarriedCharacter(QString("\x1B") + QChar(0x00A0), ui::Carrier::Document),
              QString(QChar(0x00A0)));
    // A cell shows each control character by its sign, and nothing else changes.
    EXPECT_EQ(ui::ShowingControls(QString::fromUtf8("\x00"
                                                    "1\t2\x1B\x7F ｱ",
                                                    10)),
              QString::fromUtf8("␀1␉2␛␡ ｱ"));
    const std::pair<QString, QString> names[] = {
        {"\t", "U+0009"},
        {"\x7f", "U+007F"},
        {QString(QChar(0x00A0)), "U+00A0"}, // no-break space
        {QString(QChar(0x0301)), "U+0301"}, // combining acute accent
        {QString(QChar(0x200B)), "U+200B"}, // zero width space
        {QString(QChar(0xE900)), "U+E900"}, // private use, beyond the user-defined codes
        {QString::fromUtf8("€"), QString::fromUtf8("€")},
        {QString::fromUtf8("😀"), QString::fromUtf8("😀")},
        {QString::fromUcs4(U"\U000E0001"), "U+E0001"}, // a tag character, outside the BMP
        {ui::cp932::Decode("\xFF"), "0xFF"},           // a byte that starts no CP932 character
    };
    for (const auto& [character, name] : names)
        EXPECT_EQ(ui::CharacterName(character), name) << name.toStdString();
}

// Whichever way text is pasted into a box or a cell, text the line cannot carry is refused: the
// box keeps what it had, and the message names the character and the place.
class PasteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::SetMessageResponder([this](const ui::MessageRecord& r) {
            shown.push_back(r);
            return ui::MsgResult::Ok;
        });
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit = new ui::Edit(&window));
        layout->addWidget(combo = new ui::ComboBox({"PACT", "VACT"}, &window));
        layout->addWidget(grid = new ui::StringGrid(3, 5, &window));
        combo->setEditable(true);
        ui::SetPlace(edit, "送信欄");
        ui::SetPlace(combo, "CH1の変数名");
        grid->SetCell(0, 4, " #DTPT[3]");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { ui::SetMessageResponder({}); }
    // The one message since the last call that refuses `named` in `place`.
    bool RefusedOnce(const QString& named, const QString& place) {
        const std::vector<ui::MessageRecord> got = std::exchange(shown, {});
        return got.size() == 1 && got[0].caption == "入力エラー" &&
               got[0].text == place + " に送信できない文字「" + named +
                                  "」があります。\n入力内容を確認してください。";
    }
    static void Paste(QWidget* box, const QString& text, const QKeySequence& keys) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(box, keys);
    }
    // Right-clicks the box and picks 貼り付け from its menu.
    static void PasteFromMenu(QLineEdit* box, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                box->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(box, &click);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> items = menu->actions();
        // Found by its shortcut: its text is in the program's language.
        const QString shortcut =
            "\t" + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        const auto paste = std::find_if(items.begin(), items.end(), [&](const QAction* item) {
            return item->text().endsWith(shortcut);
        });
        ASSERT_NE(paste, items.end());
        (*paste)->trigger();
        menu->close();
    }

    std::vector<ui::MessageRecord> shown;
    ui::Form window;
    ui::Edit* edit = nullptr;
    ui::ComboBox* combo = nullptr;
    ui::StringGrid* grid = nullptr;
};

TEST_F(PasteTest, APasteThatTheLineCannotCarryIsRefusedByEveryRoadIntoABox) {
    edit->setText("VER");
    edit->setFocus();
    edit->selectAll();
    Paste(edit, "Q\tR", QKeySequence::Paste);
    EXPECT_TRUE(RefusedOnce("U+0009", "送信欄"));
    EXPECT_EQ(edit->text(), "VER");
    Paste(edit, QString("A") + QChar(0x00A0) + "B", QKeySequence("Shift+Insert"));
    EXPECT_TRUE(RefusedOnce("U+00A0", "送信欄"));
    PasteFromMenu(edit, "12\r\n34");
    EXPECT_TRUE(RefusedOnce("U+000D", "送信欄"));
    QMimeData dropped;
    dropped.setText(QString::fromUtf8("X:😀"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &drop);
    EXPECT_TRUE(RefusedOnce(QString::fromUtf8("😀"), "送信欄"));
    EXPECT_EQ(edit->text(), "VER");

    // Text the line carries goes in by the same roads.
    edit->selectAll();
    Paste(edit, "X:VER", QKeySequence::Paste);
    EXPECT_EQ(edit->text(), "X:VER");
    edit->selectAll();
    PasteFromMenu(edit, "A:VER");
    EXPECT_EQ(edit->text(), "A:VER");
    EXPECT_TRUE(shown.empty());

    // An editable combo box, and a grid's cell editor, named by its row.
    combo->setEditText("PACT");
    combo->setFocus();
    combo->lineEdit()->selectAll();
    Paste(QApplication::focusWidget(), "PA\tCT", QKeySequence::Paste); // the box takes the keys
    EXPECT_TRUE(RefusedOnce("U+0009", "CH1の変数名"));
    EXPECT_EQ(combo->currentText(), "PACT");
    grid->SetCell(1, 4, "12");
    grid->setCurrentCell(3, 1);
    grid->editItem(grid->currentItem());
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    Paste(cell, "12\n34", QKeySequence::Paste);
    EXPECT_TRUE(RefusedOnce("U+000A", "#DTPT[3]"));
    EXPECT_EQ(cell->text(), "12");
    QTest::keyClick(cell, Qt::Key_Return);
    EXPECT_EQ(grid->Cell(1, 4), "12");
}

// A clipboard that holds nothing or nothing of text pastes nothing into any box, cell or pane,
// by key or by a drop: what each holds stays, its selection too, and no one is told anything.
TEST_F(PasteTest, APasteOfNothingOrNoTextPastesNothingAnywhere) {
    auto* plain = new QLineEdit("R", &window);
    auto* pane = new ui::EditorPane(&window);
    auto* replies = new QPlainTextEdit("reply", &window);
    auto* guide = new QTextEdit("guide", &window);
    replies->setReadOnly(true);
    guide->setReadOnly(true);
    ui::RefuseEmptyPastes(plain); // a box whose text may hold anything (a search text)
    for (QWidget* box : std::initializer_list<QWidget*>{plain, pane, replies, guide}) {
        window.layout()->addWidget(box);
        box->show();
    }
    pane->SetText("A\nB");
    edit->setText("VER");
    combo->setEditText("PACT");
    grid->SetCell(1, 4, "12");
    const auto contents = [&] {
        return QStringList{edit->text(),        plain->text(), combo->currentText(),
                           grid->Cell(1, 4),    pane->Text(),  replies->toPlainText(),
                           guide->toPlainText()};
    };
    const QStringList before = contents();
    // Pastes by both keys and drops what the clipboard holds onto the focused box.
    const auto pasteAndDrop = [](QWidget* box) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keySequence(focused, QKeySequence::Paste);
        QTest::keySequence(focused, QKeySequence("Shift+Insert"));
        auto* area = qobject_cast<QAbstractScrollArea*>(box);
        QWidget* target = area ? area->viewport() : focused;
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    };
    const auto clipboards = {
        +[] { QGuiApplication::clipboard()->setMimeData(new QMimeData); },
        +[] { QGuiApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32)); }};
    for (const auto& fill : clipboards) {
        fill();
        for (QWidget* box :
             std::initializer_list<QWidget*>{edit, plain, combo, pane, replies, guide}) {
            box->setFocus();
            ASSERT_TRUE(box->hasFocus() || box->isAncestorOf(QApplication::focusWidget()));
            // Qt's own paste of nothing would delete the selection.
            if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
                line->selectAll();
            if (auto* text = qobject_cast<QPlainTextEdit*>(box)) text->selectAll();
            if (auto* text = qobject_cast<QTextEdit*>(box)) text->selectAll();
            pasteAndDrop(box);
        }
        grid->setCurrentCell(3, 1);
        grid->editItem(grid->currentItem());
        auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(cell, nullptr);
        pasteAndDrop(cell);
        EXPECT_EQ(cell->text(), "12");
        QTest::keyClick(cell, Qt::Key_Return);
        EXPECT_EQ(contents(), before);
    }
    EXPECT_FALSE(pane->Modified());
    EXPECT_TRUE(shown.empty());
}

} // namespace
