// The simulated driver's memory as its address commands reach it: one address space per axis,
// read with an address line ("#%0010C000"), stepped with the continuation (",?" or ",") from the
// last location read or written, and written with "address=value" and ",value". Every command
// that names an address goes through here, whichever screen sends it; areas whose values come
// from other state (the logging buffer, the analysis point, named settings) hook in as regions.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace sim {

class DriverMemory {
public:
    // The address forms, by the last two characters of their prefix ("!" and "&" variants step
    // like their base form).
    enum class Form {
        Byte,    // "##": one byte, answered in decimal
        HexWord, // "#&": 16 bits, answered as four upper-case hexadecimal digits
        Word,    // "#$": 16 bits, answered as a signed decimal
        Long,    // "#%": 32 bits, answered as a signed decimal
        Index,   // "*$": a decimal index, one value per index, answered in decimal
    };

    // One location as the driver was asked for it.
    struct Location {
        Form form;
        QByteArray prefix;       // "#%", "!#$", "*$", ...
        std::uint32_t address;   // the hexadecimal address, or the index of "*$"
        int digits;              // how many digits the address was written with
        QByteArray name() const; // prefix and address, written as it was addressed
    };

    // The location an address text names: a prefix of the table above followed by at least one
    // hexadecimal digit (decimal digits for "*$"), nothing else. Digits may be in either case.
    static std::optional<Location> parse(const QByteArray& text);

    // Drivers whose model text contains "QWC50", "QWCC", "QWCD" or "QWD" address 16-bit words,
    // the others bytes; that decides the step between consecutive values of a form.
    void setModel(const QByteArray& modelText);
    std::uint32_t step(Form form) const;
    Location next(const Location& location) const;

    // A region answers reads (and may take writes) of the locations it claims, before the stored
    // values: read gives the reply text or nothing for a location it does not hold; write returns
    // true when it took the value (given as the text that followed "=" or ",").
    struct Region {
        std::function<std::optional<QByteArray>(const Location&)> read;
        std::function<bool(const Location&, const QByteArray& value)> write;
    };
    // Regions added later are asked first.
    void addRegion(Region region);

    // The reply to a read of a location: the first region's, else the stored value (0 until
    // written) in the form's notation.
    QByteArray read(const Location& location) const;
    // A value as the driver writes it in a form's notation.
    static QByteArray Notation(Form form, std::int32_t value);
    // Writes a value text ("#&": hexadecimal; else decimal); false when it does not parse.
    bool write(const Location& location, const QByteArray& value);
    // The stored value, for the tests; regions are not asked.
    std::int32_t storedValue(const Location& location) const;
    void storeValue(const Location& location, std::int32_t value);

    // An address command (blanks removed): the address (a read), the address, "=" and a value (a
    // write), ",?" or "," (a read of the next location), "," and a value (a write to the next
    // location).
    static bool isAddressCommand(const QByteArray& command);
    // Runs an address command: no reply for writes, "E-S" for a continuation before any address,
    // a value that does not parse or a command that is no address command.
    std::optional<QByteArray> run(const QByteArray& command);

private:
    std::optional<QByteArray> readRegions(const Location& location) const;
    std::pair<int, std::uint32_t> key(const Location& location) const;

    bool wordAddressed_ = false;
    std::vector<Region> regions_; // newest first
    std::map<std::pair<int, std::uint32_t>, std::int32_t> values_;
    std::optional<Location> last_;
};

} // namespace sim
