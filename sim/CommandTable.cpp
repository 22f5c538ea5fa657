// The command table's entries and its look-up.
#include "CommandTable.h"

#include <stdexcept>
#include <utility>

namespace sim {

namespace {

[[noreturn]] void enteredTwice(const QByteArray& key) {
    throw std::logic_error("two entries for the command " + key.toStdString());
}

} // namespace

void CommandTable::enterName(const QByteArray& name, Named entry) {
    if (!names_.try_emplace(name, std::move(entry)).second) enteredTwice(name);
}

void CommandTable::addName(const QByteArray& name, Handler handler) {
    enterName(name, {std::move(handler), false});
}

void CommandTable::addAnyCaseName(const QByteArray& name, Handler handler) {
    enterName(name.toUpper(), {std::move(handler), true});
}

void CommandTable::addSetting(const QByteArray& name, Handler handler) {
    addName(name, handler);
    addPrefix(name + '=', std::move(handler));
}

void CommandTable::addPrefix(const QByteArray& prefix, Handler handler) {
    if (!prefixes_.try_emplace(prefix, std::move(handler)).second) enteredTwice(prefix);
}

void CommandTable::addSyntax(Matcher matches, Handler handler) {
    syntaxes_.push_back({std::move(matches), std::move(handler)});
}

void CommandTable::replaceName(const QByteArray& name, Handler handler) {
    names_.insert_or_assign(name.toUpper(), Named{std::move(handler), true});
}

const CommandTable::Handler* CommandTable::find(const QByteArray& command) const {
    if (const auto named = names_.find(command); named != names_.end())
        return &named->second.handler;
    if (const auto named = names_.find(command.toUpper());
        named != names_.end() && named->second.anyCase)
        return &named->second.handler;

    const Handler* bySyntax = nullptr;
    for (const Syntax& syntax : syntaxes_) {
        if (!syntax.matches(command)) continue;
        if (bySyntax)
            throw std::logic_error("two syntaxes take the command " + command.toStdString());
        bySyntax = &syntax.handler;
    }
    if (bySyntax) return bySyntax;

    for (qsizetype length = command.size(); length > 0; --length)
        if (const auto prefixed = prefixes_.find(command.left(length)); prefixed != prefixes_.end())
            return &prefixed->second;
    return nullptr;
}

} // namespace sim
