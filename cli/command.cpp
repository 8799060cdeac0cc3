#include "command.h"

#include <cerrno>
#include <cstring>

#include "command_parts.h"
#include "../records/encoding.h"
#include "function_notes.h"
#include "text.h"

void CommandContext::message(const std::string& text) const {
    std::string line = "ovrin: " + text + "\n";
    console.err->write(line.data(), line.size());
}

int CommandContext::usage(const std::string& text) const {
    message(text);
    return EXIT_USAGE;
}

void CommandContext::print(const std::string& text) {
    if (!console.out->write(text.data(), text.size()) && outputError == 0)
        outputError = console.out->errorNumber() != 0 ? console.out->errorNumber() : EIO;
}

int CommandContext::lostOutput(const Output& out) const {
    int error = out.errorNumber();
    return usage(std::string("cannot write the output") + (error ? std::string(": ") + std::strerror(error) : ""));
}

const FunctionRow* CommandContext::findFunction(const std::string& word) const {
    // A table name that itself lacks the prefix is found as written.
    std::string name = asciiLower(word);
    if (name.compare(0, 2, "ov") != 0) name = "ov" + name;
    for (const FunctionRow& row : table)
        if (row.name == name) return &row;
    for (const FunctionRow& row : table)
        if (row.name == asciiLower(word)) return &row;
    return nullptr;
}

bool CommandContext::findMatchFunctions(KeyKind key, MatchFunctions* functions, std::string* problem) const {
    return ::findMatchFunctions(table, key, displayName, functions, problem);
}

std::string CommandContext::commandLine() const {
    std::string line = "ovrin";
    for (const std::string& a : arguments) {
        const bool plain = !a.empty() && a.find_first_of(" \t\n'\"\\$`*?;&|<>()") == std::string::npos;
        std::string quoted;
        for (char c : a) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += " " + (plain ? a : "'" + quoted + "'");
    }
    return line;
}

double CommandContext::seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

int CommandContext::stopped(const std::string& libraryError) const {
    message(toConsole(libraryError) + "; stopped");
    return EXIT_FAULTS;
}

std::string CommandContext::toConsole(const std::string& libraryText) const {
    if (options.cp1252) return libraryText;
    std::string utf8(libraryText.size() * 3, '\0');
    utf8.resize(cp1252ToUtf8(libraryText.data(), libraryText.size(), &utf8[0]));
    return utf8;
}

std::string takesText(const FunctionRow& row) { return displayName(row.name) + " takes " + parameterTypesText(row); }

std::string callFormText(const FunctionRow& row) {
    std::string text = displayName(row.name) + "(";
    for (int i = 0; i < row.paramCount; ++i) {
        if (i > 0) text += ", ";
        text += parameterName(row.name, i, row.paramType(i) == PARAM_STRING);
    }
    return text + ")";
}

std::string commandWord(const FunctionRow& row) {
    return row.name.compare(0, 2, "ov") == 0 ? row.name.substr(2) : row.name;
}

std::string commandFormText(const FunctionRow& row) {
    std::string text = "ovrin " + commandWord(row);
    for (int i = 0; i < row.paramCount; ++i) {
        text += " " + asciiUpper(parameterName(row.name, i, row.paramType(i) == PARAM_STRING));
    }
    return text;
}

TableSettings tableSettings(const Options& options, const std::vector<std::string>& selectors) {
    TableSettings settings;
    settings.format = options.format;
    settings.cp1252 = options.cp1252;
    settings.header = options.header;
    settings.selectors = selectors;
    return settings;
}

bool parseInt32(const std::string& text, int32_t* value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size() || text.size() - i > 11) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    *value = static_cast<int32_t>(v);
    return true;
}

namespace {

int runWords(CommandContext& context, const std::vector<std::string>& words) {
    const Options& options = context.options;
    if (options.help) {
        // ovrin --help; ovrin soundex --help, ovrin map soundex --help: that
        // function's; ovrin map --help, group --help, link --help: theirs.
        unsigned command = words.empty() ? COMMAND_HELP : commandOf(words[0]);
        size_t at = command == COMMAND_HELP || command == COMMAND_MAP ? 1 : 0;
        if (command == COMMAND_MAP && words.size() < 2) at = 0;
        bool topic = at < words.size() && command != COMMAND_INFO;
        return runHelp(context, topic ? words[at] : std::string());
    }
    if (words.empty()) return context.usage("no command; ovrin --help tells how to use it");
    switch (commandOf(words[0])) {
    case COMMAND_INFO:
        if (words.size() > 1) return context.usage("info takes no argument");
        return runInfo(context);
    case COMMAND_HELP:
        if (words.size() > 2) return context.usage("help takes one function or command name at most");
        return runHelp(context, words.size() > 1 ? words[1] : std::string());
    case COMMAND_MAP: return runMap(context, words);
    case COMMAND_GROUP: return runGroup(context, words);
    case COMMAND_LINK: return runLink(context, words);
    default: return runCall(context, words);
    }
}

}  // namespace

int runCommand(const Library& library, const std::vector<std::string>& arguments, Console& console) {
    CommandContext context{library, console, Options(), readFunctionTable(library)};
    context.arguments = arguments;
    std::vector<std::string> words;
    std::string problem;
    if (!parseOptions(arguments, &context.options, &words, &problem)) return context.usage(problem);
    int status = runWords(context, words);
    if (context.outputError != 0)
        return context.usage(std::string("cannot write the output: ") + std::strerror(context.outputError));
    return status;
}
