// The one text codec at the program's boundaries: files and the serial line carry Shift-JIS in
// its Windows form (CP932); inside the program texts are Unicode.
#pragma once

#include <QByteArray>
#include <QString>

namespace ui::cp932 {

// Characters without a CP932 form become '?'.
QByteArray Encode(const QString& text);

// Bytes that are no valid CP932 become U+FFFD.
QString Decode(const QByteArray& bytes);

// The number of CP932 bytes of a text: the width that fixed-width names and columns count.
int ByteWidth(const QString& text);

} // namespace ui::cp932
