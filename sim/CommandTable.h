// The one command table of a simulated axis: every command the driver answers has exactly one
// entry, whichever screen sends it, and the command itself picks the entry, never the order in
// which the subsystems were asked.
#pragma once

#include <QByteArray>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace sim {

class CommandTable {
public:
    // Runs a command (designation and blanks removed): the reply without its CR, or nothing for a
    // command that answers nothing.
    using Handler = std::function<std::optional<QByteArray>(const QByteArray& command)>;
    using Matcher = std::function<bool(const QByteArray& command)>;

    // Entering a name, setting or prefix that is already entered throws std::logic_error: two
    // subsystems would answer one command.
    // A command that is the name ("VER"); an any-case name also in lower or mixed case ("#stat").
    void addName(const QByteArray& name, Handler handler);
    void addAnyCaseName(const QByteArray& name, Handler handler);
    // A setting: its name reads it, its name, "=" and a value write it.
    void addSetting(const QByteArray& name, Handler handler);
    // Every command that starts with the prefix and matches no name ("#DTPT=", "#").
    void addPrefix(const QByteArray& prefix, Handler handler);
    // Every command of a syntax that no name matches (the memory's address commands). No two
    // syntaxes may match one command.
    void addSyntax(Matcher matches, Handler handler);

    // Enters an any-case name in place of whatever entry it had: a test gives a command a reply of
    // its own.
    void replaceName(const QByteArray& name, Handler handler);

    // The entry of a command: its name, else its syntax, else its longest prefix; nothing for a
    // command that no entry takes.
    const Handler* find(const QByteArray& command) const;

private:
    struct Named {
        Handler handler;
        bool anyCase;
    };
    struct Syntax {
        Matcher matches;
        Handler handler;
    };

    void enterName(const QByteArray& name, Named entry);

    std::map<QByteArray, Named> names_; // any-case names in upper case
    std::vector<Syntax> syntaxes_;
    std::map<QByteArray, Handler> prefixes_;
};

} // namespace sim
