#include "command.h"

#include <cerrno>
#include <cstring>

#include "command_parts.h"
#include "../records/encoding.h"
#include "function_notes.h"

namespace {

std::string asciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The value of an option written as --name VALUE or --name=VALUE.
bool optionValue(const std::vector<std::string>& arguments, size_t* i, const std::string& name, std::string* value) {
    const std::string& a = arguments[*i];
    if (a == name) {
        if (*i + 1 >= arguments.size()) return false;
        *value = arguments[++*i];
        return true;
    }
    *value = a.substr(name.size() + 1);
    return true;
}

bool hasName(const std::string& argument, const std::string& name) {
    return argument == name || argument.compare(0, name.size() + 1, name + "=") == 0;
}

// The commands that read an option other than --encoding and --help.
const char* commandsReading(const std::string& option) {
    if (option == "--progress" || option == "--no-progress") return "map";
    if (option == "--best") return "link";
    if (option == "--key" || option == "--limit" || option == "--confirm" || option == "--all" || option == "--json")
        return "group and link";
    return "map, group and link";  // --field, --header, --csv, --tsv
}

}  // namespace

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
    std::string name = asciiLower(word);
    if (name.compare(0, 2, "ov") != 0) name = "ov" + name;
    for (const FunctionRow& row : table)
        if (row.name == name) return &row;
    // A table name that itself lacks the prefix is found as written.
    for (const FunctionRow& row : table)
        if (row.name == asciiLower(word)) return &row;
    return nullptr;
}

std::string CommandContext::toConsole(const std::string& libraryText) const {
    if (options.cp1252) return libraryText;
    std::string utf8(libraryText.size() * 3, '\0');
    utf8.resize(cp1252ToUtf8(libraryText.data(), libraryText.size(), &utf8[0]));
    return utf8;
}

std::string parameterTypesText(const FunctionRow& row) {
    std::string text;
    for (int i = 0; i < row.paramCount; ++i) {
        if (i > 0) text += i + 1 == row.paramCount ? " and " : ", ";
        int type = row.paramType(i);
        text += type == PARAM_STRING ? "a string" : type == PARAM_INTEGER ? "an integer" : "a value of type " + std::to_string(type);
    }
    return text.empty() ? "no argument" : text;
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
        std::string name = parameterName(row.name, i, row.paramType(i) == PARAM_STRING);
        for (char& c : name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        text += " " + name;
    }
    return text;
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

int runCommand(const Library& library, const std::vector<std::string>& arguments, Console& console) {
    CommandContext context{library, console, Options(), readFunctionTable(library)};
    Options& options = context.options;
    std::vector<std::string> words;
    bool help = false;
    bool optionsEnd = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (optionsEnd || a.size() < 2 || a[0] != '-' || (a[1] != '-' && a != "-h")) {
            words.push_back(a);  // "-", "-3" and names are words
            continue;
        }
        std::string value;
        if (a == "--") {
            optionsEnd = true;
        } else if (a == "--help" || a == "-h") {
            help = true;
        } else if (hasName(a, "--encoding")) {
            if (!optionValue(arguments, &i, "--encoding", &value)) return context.usage("--encoding needs a value: utf-8 or cp1252");
            std::string e = asciiLower(value);
            if (e == "utf-8" || e == "utf8") options.cp1252 = false;
            else if (e == "cp1252" || e == "windows-1252") options.cp1252 = true;
            else return context.usage("unknown encoding \"" + value + "\": utf-8 or cp1252");
        } else if (hasName(a, "--field")) {
            if (!optionValue(arguments, &i, "--field", &value)) return context.usage("--field needs a field number or a header name");
            size_t start = 0;
            for (;;) {
                size_t comma = value.find(',', start);
                options.fields.push_back(value.substr(start, comma == std::string::npos ? comma : comma - start));
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
            options.given.push_back("--field");
        } else if (a == "--csv" || a == "--tsv") {
            options.format = a == "--csv" ? TextFormat::CSV : TextFormat::TSV;
            options.given.push_back(a);
        } else if (a == "--header") {
            options.header = true;
            options.given.push_back(a);
        } else if (a == "--progress" || a == "--no-progress") {
            options.progress = a == "--progress" ? 1 : 0;
            options.given.push_back(a);
        } else if (hasName(a, "--key") || hasName(a, "--limit") || hasName(a, "--confirm")) {
            std::string name = a.substr(0, a.find('='));
            if (!optionValue(arguments, &i, name, &value)) {
                return context.usage(name + " needs a value: " +
                                     (name == "--key"     ? "dmetaphone, metaphone, soundex, soundex5 or phonex"
                                      : name == "--limit" ? "a code length"
                                                          : "levenshtein:K, guth or none"));
            }
            (name == "--key" ? options.key : name == "--limit" ? options.limit : options.confirm) = value;
            options.given.push_back(name);
        } else if (a == "--all" || a == "--json" || a == "--best") {
            (a == "--all" ? options.all : a == "--json" ? options.json : options.best) = true;
            options.given.push_back(a);
        } else {
            return context.usage("unknown option " + a + " (ovrin --help lists them)");
        }
    }

    if (help) {
        // ovrin --help; ovrin soundex --help, ovrin map soundex --help: that function's.
        size_t at = !words.empty() && (words[0] == "help" || words[0] == "map") ? 1 : 0;
        if (!words.empty() && (words[0] == "group" || words[0] == "link")) at = 0;
        bool function = at < words.size() && words[at] != "info";
        return runHelp(context, function ? words[at] : std::string());
    }
    if (words.empty()) {
        context.message("no command; ovrin --help tells how to use it");
        return EXIT_USAGE;
    }
    const std::string& command = words[0];
    for (const std::string& option : options.given) {
        const char* readers = commandsReading(option);
        bool reads = (command == "map" && std::strstr(readers, "map")) ||
                     (command == "group" && std::strstr(readers, "group")) ||
                     (command == "link" && std::strstr(readers, "link"));
        if (!reads) return context.usage(option + " is an option of " + readers);
    }
    if (command == "info") {
        if (words.size() > 1) return context.usage("info takes no argument");
        return runInfo(context);
    }
    if (command == "help") {
        if (words.size() > 2) return context.usage("help takes one function name at most");
        return runHelp(context, words.size() > 1 ? words[1] : std::string());
    }
    if (command == "map") return runMap(context, words);
    if (command == "group") return runGroup(context, words);
    if (command == "link") return runLink(context, words);
    return runCall(context, words);
}
