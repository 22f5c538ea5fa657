// Data table files (.dat): CP932 text, one " #DTPT[n]=value" line per entry that has a value,
// lines ended by CR LF. The reader also takes the older form: sections headed by "S" and a
// driver's serial number, holding "#DTPT=n" / "*DTPT=value" line pairs (either entry form is
// read in either kind of file).
#pragma once

#include "ui/CarriedText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// The label of entry `index` as the grid's first column shows it.
QString DataTableLabel(int index);

// The signed decimal integer at the start of `text`, read as scanf's "%d" reads it (leading
// blanks passed over, an optional sign, the digits up to the first other character); nothing
// when the text does not start with a number. Numbers too long for 64 bits saturate, so callers
// see them out of their range.
std::optional<long long> LeadingDecimal(const QByteArray& text);

// The file's bytes: values[i] is entry i's text, written exactly as it stands; empty values are
// left out. Refused at the first value (its index is its entry) that a file cannot carry.
ui::FileText FormatDataTableFile(const QStringList& values);

class DataTableFileReader {
public:
    explicit DataTableFileReader(QByteArray bytes) : bytes_(std::move(bytes)) {}

    // Looks for the first "#" or section mark; true when a section mark ("S" or "s") comes
    // first, in which case FindSection must place the reader before entries are read.
    bool StartsWithSection();

    // Moves past the header of the section whose serial number is `serial` (compared in upper
    // case); false when no header carries it.
    bool FindSection(const QString& serial);

    struct Result {
        // Entry index and value text, in file order; an empty text empties the entry.
        std::vector<std::pair<int, QString>> values;
        // Entries whose value holds no number, in the file's words; they are left empty.
        QStringList unreadable;
    };

    // Reads entries from the next "#" until the end of the file, an upper-case "S" between
    // entries (the next section), or the first entry whose index lies outside 0..entryCount-1.
    Result ReadEntries(int entryCount);

private:
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // Moves to the next of `stops` (or the end); true when one was found.
    bool SkipTo(std::string_view stops);
    // The text from pos_ to the line end; pos_ moves past the line end.
    QByteArray RestOfLine();

    QByteArray bytes_;
    qsizetype pos_ = 0;
};
