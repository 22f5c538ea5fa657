#include "CarriedText.h"

#include "Codec.h"
#include "Dialogs.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QVariant>
#include <algorithm>

namespace ui {
namespace {

const char* const kGuardProperty = "kasoPasteGuard";

// Tells the user which character (its text, as UncarriedCharacter gives it) was refused and where.
void ShowRefusal(const QString& character, const QString& place, Carrier carrier) {
    ShowWarning(RefusalMessage(CharacterName(character), place, carrier), "入力エラー");
}

// A character that shows nothing of its own, or nothing the user could tell from another.
bool ShowsAsItself(char32_t code) {
    switch (QChar::category(code)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return false;
    default:
        return true;
    }
}

// The paste item of a line edit's own menu, which Qt knows only by its text: "&Paste" (as Qt
// translates it) and the paste key after a tab.
QAction* PasteItem(const QMenu& menu) {
    const QString key = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction* item : menu.actions()) {
        const QString text = item->text();
        if (text.section('\t', 0, 0) == QLineEdit::tr("&Paste") ||
            (!key.isEmpty() && text.section('\t', 1) == key))
            return item;
    }
    return nullptr;
}

// Refuses the pastes of one box: those of nothing, and, when it checks characters, those the
// line cannot carry; a child of the box, so it goes with it.
class PasteGuard : public QObject {
public:
    PasteGuard(QLineEdit* edit, bool checksCharacters, std::function<QString()> place)
        : QObject(edit), edit_(edit), checksCharacters_(checksCharacters),
          place_(std::move(place)) {
        edit->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The box that refuses a paste takes the focus while it is up; the edit is not over for
        // that: a grid's cell editor must not be committed and closed (see Refuses).
        if (refusing_ && watched == edit_ && event->type() == QEvent::FocusOut) return true;
        if (edit_->isReadOnly()) return false;
        if (watched != edit_) // the combo box of the line edit: only its keys reach the edit
            return event->type() == QEvent::KeyPress && RefusesPasteKey(event);
        switch (event->type()) {
        case QEvent::KeyPress:
            // An edit box of ours refuses the paste key itself, once its key handlers saw it.
            return !qobject_cast<Edit*>(edit_) && RefusesPasteKey(event);
        case QEvent::MouseButtonRelease:
            return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
                   QGuiApplication::clipboard()->supportsSelection() &&
                   Refuses(QGuiApplication::clipboard()->text(QClipboard::Selection));
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasText() || !Refuses(drop->mimeData()->text())) return false;
            drop->ignore();
            return true;
        }
        case QEvent::ContextMenu:
            ShowContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        default:
            return false;
        }
    }

    // True when the paste must not go in: when it holds a character that the line cannot carry
    // (the user is told), or nothing at all (an empty clipboard, or one without text), which Qt
    // would paste over the selection and so delete it. Meanwhile the edit's loss of focus is kept
    // from every other filter (a grid's delegate would commit the half-typed text and close the
    // editor): the edit goes on, with its text and caret, once the box has given the focus back.
    bool Refuses(const QString& pasted) {
        if (pasted.isEmpty()) return true;
        if (!checksCharacters_) return false;
        const QString character = UncarriedCharacter(pasted);
        if (character.isEmpty()) return false;
        const QString place = place_ ? place_() : PlaceOf(edit_);
        edit_->installEventFilter(this); // first in line again, before filters installed later
        const QScopedValueRollback refusing(refusing_, true);
        ShowRefusal(character, place, Carrier::Line);
        return true;
    }

private:
    bool RefusesPasteKey(QEvent* event) {
        return static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste) &&
               Refuses(QGuiApplication::clipboard()->text());
    }

    // The box's own menu, whose paste is refused as the key's is.
    void ShowContextMenu(const QPoint& at) {
        QMenu* menu = edit_->createStandardContextMenu();
        if (QAction* paste = PasteItem(*menu)) {
            QObject::disconnect(paste, &QAction::triggered, edit_, nullptr);
            QObject::connect(paste, &QAction::triggered, edit_, [this] {
                if (!Refuses(QGuiApplication::clipboard()->text())) edit_->paste();
            });
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    }

    QLineEdit* edit_;
    bool checksCharacters_;
    std::function<QString()> place_;
    bool refusing_ = false;
};

} // namespace

QString UncarriedCharacter(const QString& text, Carrier carrier) {
    const auto control = carrier == Carrier::Document
                             ? text.cend()
                             : std::find_if(text.cbegin(), text.cend(), [](QChar ch) {
                                   return cp932::IsControl(ch.unicode());
                               });
    const QString uncoded = cp932::UncodedCharacter(text.first(control - text.cbegin()));
    if (!uncoded.isEmpty() || control == text.cend()) return uncoded;
    return QString(*control);
}

QString CharacterName(const QString& character) {
    if (character.isEmpty()) return character;
    const char32_t code = character.size() > 1 && character[0].isHighSurrogate()
                              ? QChar::surrogateToUcs4(character[0], character[1])
                              : character[0].unicode();
    if (ShowsAsItself(code)) return character;
    if (const std::optional<unsigned char> byte = cp932::RawByteOf(character[0].unicode()))
        return "0x" + QString("%1").arg(*byte, 2, 16, QChar('0')).toUpper();
    return QString("U+%1").arg(quint32(code), 4, 16, QChar('0')).toUpper();
}

QString ReceivedText(const QByteArray& line) {
    return cp932::Decode(line.startsWith('\n') ? line.sliced(1) : line);
}

QString ShowingControls(const QString& text) {
    constexpr char16_t kControlPictures = 0x2400; // U+2400 to U+241F, and U+2421 for DEL
    if (std::none_of(text.cbegin(), text.cend(),
                     [](QChar ch) { return cp932::IsControl(ch.unicode()); }))
        return text;
    QString shown = text;
    for (QChar& ch : shown) {
        if (ch.unicode() == 0x7F)
            ch = QChar(kControlPictures + 0x21);
        else if (ch.unicode() < 0x20)
            ch = QChar(kControlPictures + ch.unicode());
    }
    return shown;
}

QString RefusalMessage(const QString& character, const QString& place, Carrier carrier) {
    const QString what =
        QString(carrier == Carrier::Line ? "送信できない文字「%1」" : "保存できない文字「%1」")
            .arg(character);
    return (place.isEmpty() ? what + "が含まれています。" : place + " に" + what + "があります。") +
           "\n入力内容を確認してください。";
}

bool CheckCarried(const QString& text, const QString& place, Carrier carrier) {
    const QString character = UncarriedCharacter(text, carrier);
    if (character.isEmpty()) return true;
    ShowRefusal(character, place, carrier);
    return false;
}

std::optional<QByteArray> CarriedBytes(const QString& text, Carrier carrier) {
    if (!UncarriedCharacter(text, carrier).isEmpty()) return std::nullopt;
    return cp932::EncodeExactly(text);
}

FileText FileText::Refusing(int index, const QString& text, Carrier carrier) {
    return {{}, Uncarried{index, UncarriedCharacter(text, carrier)}};
}

bool CheckCarried(const std::optional<Uncarried>& refused,
                  const std::function<QString(int index)>& placeOf, Carrier carrier) {
    if (!refused) return true;
    ShowRefusal(refused->character, placeOf(refused->index), carrier);
    return false;
}

void SetPlace(QWidget* box, const QString& name) {
    box->setAccessibleName(name);
}

QString PlaceOf(const QWidget* box) {
    if (!box) return {};
    if (!box->accessibleName().isEmpty()) return box->accessibleName();
    if (const auto* combo = qobject_cast<const QComboBox*>(box->parentWidget()))
        return combo->accessibleName();
    return {};
}

bool RefusesClipboardPaste(QLineEdit* edit) {
    auto* guard = static_cast<PasteGuard*>(edit->property(kGuardProperty).value<QObject*>());
    return guard && guard->Refuses(QGuiApplication::clipboard()->text());
}

namespace {

void GuardPastes(QLineEdit* edit, bool checksCharacters, std::function<QString()> place) {
    auto* guard = edit->property(kGuardProperty).value<QObject*>();
    if (!guard) {
        guard = new PasteGuard(edit, checksCharacters, std::move(place));
        edit->setProperty(kGuardProperty, QVariant::fromValue(guard));
    }
    // The keys of a combo box's line edit go to the box, which hands them on past every filter.
    if (auto* combo = qobject_cast<QComboBox*>(edit->parentWidget()))
        combo->installEventFilter(guard);
}

} // namespace

void RefuseUncarriedPastes(QLineEdit* edit, std::function<QString()> place) {
    GuardPastes(edit, true, std::move(place));
}

void RefuseEmptyPastes(QLineEdit* edit) {
    GuardPastes(edit, false, {});
}

} // namespace ui
