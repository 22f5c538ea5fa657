// What a box, a cell and a file may hold: text that the line and the files carry exactly as it
// stands. A control character would split or change a command line or a record line, and a
// character without a CP932 code would become "?". Such text is refused, never stripped, merged or
// written changed, with a message that names the character so that it can be seen, and the place
// it is in.
#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

namespace ui {

// The first character of `text` that the line or a file cannot carry (a surrogate pair is one
// character), or an empty text when it carries the whole text.
QString UncarriedCharacter(const QString& text);

// A character as the user is told of it: itself when it shows as a character of its own, else its
// code ("U+00A0"): a control character, a blank other than the plain one, a combining mark, a
// format character, one that is not assigned.
QString CharacterName(const QString& character);

// Where refused text was going: onto the line (sent) or into a file (saved).
enum class Carrier { Line, File };

// The message that refuses `character` (as CharacterName gives it), naming the place it is in (a
// box, a row) when there is one.
QString RefusalMessage(const QString& character, const QString& place, Carrier carrier);

// True when `carrier` takes `text` as it stands; otherwise the user is told which character it
// cannot take and where, and false.
bool CheckCarried(const QString& text, const QString& place, Carrier carrier);

// The name that refusals give a box: what its window calls it (SetPlace), or what the combo box
// it edits is called.
void SetPlace(QWidget* box, const QString& name);
QString PlaceOf(const QWidget* box);

// A paste into `edit` (by key, from its context menu, by the middle button, by a drop) of text
// that the line cannot carry is refused: the box keeps what it had, and the user is told which
// character and where (`place` when given, asked at that moment; else the box's own name). The
// line edit of a combo box is guarded through the box as well, which takes its keys. Installing it
// twice changes nothing.
void RefuseUncarriedPastes(QLineEdit* edit, std::function<QString()> place = {});

// For a guarded box that takes its paste key itself (ui::Edit, whose key handlers see every key
// first): true when the paste of the clipboard is refused, the user told.
bool RefusesClipboardPaste(QLineEdit* edit);

} // namespace ui
