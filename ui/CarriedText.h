// What a box, a cell and a file may hold: text that the line and the files carry exactly as it
// stands. A control character would split or change a command line or a record line, and a
// character without a CP932 code would become "?". Such text is refused, never stripped, merged or
// written changed, with a message that names the character so that it can be seen, and the place
// it is in.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;
class QWidget;

namespace ui {

// Where text is going: onto the line (sent), into a record file (saved), or into a document of
// lines (saved by the editor). The line and a record file carry no control character, which would
// split or merge a command line or a record; a document's lines carry them (a tab, any byte its
// file held) as they stand. None carries a character without a CP932 code.
enum class Carrier { Line, File, Document };

// The first character of `text` that `carrier` cannot carry (a surrogate pair is one character),
// or an empty text when it carries the whole text.
QString UncarriedCharacter(const QString& text, Carrier carrier = Carrier::Line);

// A character as the user is told of it: itself when it shows as a character of its own, else its
// code ("U+00A0"): a control character, a blank other than the plain one, a combining mark, a
// format character, one that is not assigned; the stand-in of a byte that starts no CP932
// character is named by that byte ("0xFF").
QString CharacterName(const QString& character);

// A line the driver sent, as a cell holds it: decoded, with every character it came with. The LF
// of a driver's CR LF line end stands at the head of the next line (lines are cut at the CR): it
// belongs to the line before, and is no character of the answer.
QString ReceivedText(const QByteArray& line);

// The text as a cell shows it: every control character in it as the sign that stands for it (a
// tab as "␉", an escape as "␛", DEL as "␡"), so that the user sees it is there. Display only.
QString ShowingControls(const QString& text);

// The message that refuses `character` (as CharacterName gives it), naming the place it is in (a
// box, a row) when there is one.
QString RefusalMessage(const QString& character, const QString& place, Carrier carrier);

// True when `carrier` takes `text` as it stands; otherwise the user is told which character it
// cannot take and where, and false.
bool CheckCarried(const QString& text, const QString& place, Carrier carrier);

// The first of several texts that cannot be carried: which one, and its first such character.
struct Uncarried {
    int index = 0;
    QString character;
};

// The exact CP932 bytes of `text` when `carrier` takes it as it stands; nothing otherwise.
std::optional<QByteArray> CarriedBytes(const QString& text, Carrier carrier);

// What a file's formatter makes of the texts it is given, each written exactly as it stands: the
// file's bytes, or, when a text holds a character the file cannot carry, that text and character
// and no bytes at all.
struct FileText {
    QByteArray bytes;
    std::optional<Uncarried> refused;
    static FileText Refusing(int index, const QString& text, Carrier carrier);
};

// True when nothing was refused; otherwise the user is told which character and where
// (`placeOf` names the refused text by its index), and false.
bool CheckCarried(const std::optional<Uncarried>& refused,
                  const std::function<QString(int index)>& placeOf, Carrier carrier);

// The name that refusals give a box: what its window calls it (SetPlace), or what the combo box
// it edits is called.
void SetPlace(QWidget* box, const QString& name);
QString PlaceOf(const QWidget* box);

// A paste into `edit` (by key, from its context menu, by the middle button, by a drop) of text
// that the line cannot carry is refused: the box keeps what it had (an edit in progress goes on,
// with its text and caret), and the user is told which character and where; a paste of nothing
// (an empty clipboard, one without text) changes nothing, its selection included (`place` when
// given, asked at that moment; else the box's own name). The line edit of a combo box is guarded
// through the box as well, which takes its keys. Installing it twice changes nothing.
void RefuseUncarriedPastes(QLineEdit* edit, std::function<QString()> place = {});

// For a box whose text goes neither onto the line nor into a file (a search text, a print
// title): a paste of nothing changes nothing, as above; any text goes in.
void RefuseEmptyPastes(QLineEdit* edit);

// For a guarded box that takes its paste key itself (ui::Edit, whose key handlers see every key
// first): true when the paste of the clipboard is refused (the user told) or there is nothing to
// paste.
bool RefusesClipboardPaste(QLineEdit* edit);

} // namespace ui
