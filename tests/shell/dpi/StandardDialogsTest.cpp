// The standard dialogs the screens share (a message box, the file dialog, the print dialog and
// its printer properties) on the screen this executable runs on: their texts whole, as at 96 dpi,
// whoever scales them.
#include "AppTest.h"
#include "CaptionFit.h"

#include "ui/FileDialogs.h"
#include "ui/Printing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <memory>

namespace {

class StandardDialogsTest : public AppTest {
protected:
    // Runs `check` on the next modal dialog once it is on screen, then closes it; `open` opens
    // it (and returns once it has closed). The result tells whether it came.
    static bool CheckNextDialog(const std::function<void()>& open,
                                const std::function<void(QDialog&)>& check) {
        bool checked = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || checked) return;
            checked = true;
            check(*dialog);
            dialog->reject();
        });
        watch.start(20);
        open();
        return checked;
    }

    // Every combo box shows its current text whole; every list or tree shows its columns
    // without scrolling across.
    static testing::AssertionResult ShowsBoxesWhole(const QWidget& window) {
        QStringList cut;
        for (const QComboBox* box : window.findChildren<QComboBox*>()) {
            if (!box->isVisibleTo(&window) || box->window() != &window) continue;
            QStyleOptionComboBox option;
            option.initFrom(box);
            option.editable = box->isEditable();
            const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                             QStyle::SC_ComboBoxEditField, box);
            const int needs = box->fontMetrics().horizontalAdvance(box->currentText());
            if (needs > field.width())
                cut << QString("combo box \"%1\": needs %2 px, shows %3")
                           .arg(box->currentText())
                           .arg(needs)
                           .arg(field.width());
        }
        for (const QTreeView* view : window.findChildren<QTreeView*>()) {
            if (!view->isVisibleTo(&window) || view->window() != &window) continue;
            const int columns = view->header()->length();
            if (columns > view->viewport()->width())
                cut << QString("%1: its columns need %2 px, it shows %3")
                           .arg(view->objectName())
                           .arg(columns)
                           .arg(view->viewport()->width());
        }
        if (cut.isEmpty()) return testing::AssertionSuccess();
        return testing::AssertionFailure() << cut.join('\n').toStdString();
    }

    // The file dialog's detail columns (size, type, date modified) as wide as their widest
    // shown text and its margins, once the folder's files are listed.
    static void ExpectColumnsWhole(QDialog& dialog) {
        auto* view = dialog.findChild<QTreeView*>("treeView");
        ASSERT_NE(view, nullptr);
        const QAbstractItemModel& model = *view->model();
        const auto listed = [&] {
            const QModelIndex folder = view->rootIndex();
            const int rows = model.rowCount(folder);
            return rows > 0 && model.columnCount(folder) > 3 &&
                   !model.index(rows - 1, 3, folder).data().toString().isEmpty();
        };
        ASSERT_TRUE(WaitFor(listed, 5000));
        Pause(100); // the columns follow what is listed
        const QFontMetrics metrics(view->font());
        const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        const QModelIndex folder = view->rootIndex();
        for (int column = 1; column < model.columnCount(folder); ++column)
            for (int row = 0; row < model.rowCount(folder); ++row) {
                const QString text = model.index(row, column, folder).data().toString();
                EXPECT_GE(view->columnWidth(column), metrics.horizontalAdvance(text) + margins)
                    << text.toStdString();
            }
    }

    static void ExpectWhole(QDialog& dialog) {
        SCOPED_TRACE(dialog.metaObject()->className());
        EXPECT_TRUE(ShowsCaptionsWhole(dialog));
        EXPECT_TRUE(ShowsBoxesWhole(dialog));
        EXPECT_TRUE(ShowsTextsApart(dialog));
    }
};

// The close question of the editor on one line, the editor's open dialog with its path, its
// filter and every column whole and in view, and the print dialog with its printer properties.
TEST_F(StandardDialogsTest, ShowTheirTextsWhole) {
    StartOnSeries(2);
    ui::SetMessageResponder({});
    EXPECT_TRUE(CheckNextDialog(
        [] {
            ui::ShowMessage("このﾌｧｲﾙは保存されていません。 保存しますか？", "警告",
                            ui::MsgIcon::Question, ui::MsgButtons::YesNoCancel);
        },
        [](QDialog& box) {
            ExpectWhole(box);
            const auto* label = box.findChild<QLabel*>("qt_msgbox_label");
            ASSERT_NE(label, nullptr);
            EXPECT_LT(label->height(), 2 * label->fontMetrics().lineSpacing()) << "one line";
        }));

    WriteFile("PROG.MB", "MAIN\r\n");
    EXPECT_TRUE(CheckNextDialog(
        [this] {
            ui::FileDialog open(ui::FileDialog::Kind::Open);
            open.Filter = "ﾒｲﾙﾎﾞｯｸｽﾌｧｲﾙ (*.MB)|*.MB|ﾃﾞｰﾀ(補間、カム、DDA)ﾌｧｲﾙ (*.DAT)|*.DAT|"
                          "ﾊﾟﾗﾒｰﾀﾌｧｲﾙ (*.PRM)|*.PRM|すべてのﾌｧｲﾙ (*.*)|*.*";
            open.FileName = Path("PROG.MB");
            open.Execute();
        },
        [](QDialog& dialog) {
            ExpectColumnsWhole(dialog);
            ExpectWhole(dialog);
        }));

    ui::PrintDialog print;
    EXPECT_TRUE(CheckNextDialog([&] { print.Execute(); },
                                [](QDialog& dialog) {
                                    ExpectWhole(dialog);
                                    auto* properties = dialog.findChild<QPushButton*>("properties");
                                    ASSERT_NE(properties, nullptr);
                                    EXPECT_TRUE(
                                        CheckNextDialog([&] { properties->click(); }, ExpectWhole));
                                }));
}

} // namespace
