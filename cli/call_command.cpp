// One script call from the command line, in the command form
//   ovrin soundex Robert 0
// or written as in a script:
//   ovrin 'ovSoundex("Robert", 0)'
// and, for exploring the library, a raw function number: @57 or @0x10033.
#include <algorithm>
#include <cstdlib>

#include "command_parts.h"
#include "../records/encoding.h"
#include "function_notes.h"

namespace {

struct Argument {
    bool isString = false;
    std::string text;  // a string's text as given (UTF-8, or bytes with --encoding cp1252)
    int32_t number = 0;
};

// "@57", "@0x10033": a function number; its low 16 bits are what counts.
bool parseFunctionNumber(const std::string& word, int32_t* number) {
    if (word.size() < 2 || word[0] != '@') return false;
    const char* start = word.c_str() + 1;
    char* end = nullptr;
    long long value = std::strtoll(start, &end, 0);
    if (*end != '\0' || end == start || value < INT32_MIN || value > UINT32_MAX) return false;
    *number = static_cast<int32_t>(static_cast<uint32_t>(value));
    return true;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads NAME(ARGUMENT, ...) where an argument is a string in double quotes,
// single quotes or back quotes (the quote doubled stands for itself) or a
// decimal integer.
bool parseScriptCall(const std::string& text, std::string* name, std::vector<Argument>* arguments,
                     std::string* error) {
    size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && isSpace(text[i])) ++i;
    };
    auto fail = [&](const std::string& what) {
        *error = what + " at character " + std::to_string(i + 1) + " of " + text;
        return false;
    };
    skip();
    size_t start = i;
    while (i < text.size() && text[i] != '(' && !isSpace(text[i])) ++i;
    *name = text.substr(start, i - start);
    if (name->empty()) return fail("a function name is missing");
    skip();
    if (i >= text.size() || text[i] != '(') return fail("\"(\" is missing");
    ++i;
    skip();
    if (i < text.size() && text[i] == ')') {
        ++i;
    } else {
        for (;;) {
            skip();
            Argument a;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'' || text[i] == '`')) {
                char quote = text[i++];
                a.isString = true;
                for (;;) {
                    if (i >= text.size()) return fail("a string is not closed");
                    if (text[i] == quote) {
                        if (i + 1 < text.size() && text[i + 1] == quote) {
                            a.text += quote;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    a.text += text[i++];
                }
            } else {
                size_t from = i;
                while (i < text.size() && text[i] != ',' && text[i] != ')' && !isSpace(text[i])) ++i;
                std::string word = text.substr(from, i - from);
                if (word.empty()) {
                    i = from;
                    return fail("a string in quotes or an integer is missing");
                }
                if (!parseInt32(word, &a.number)) {
                    i = from;
                    return fail(word + " is neither a string in quotes nor a 32-bit integer");
                }
            }
            arguments->push_back(a);
            skip();
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            if (i < text.size() && text[i] == ')') {
                ++i;
                break;
            }
            return fail("\",\" or \")\" is missing");
        }
    }
    skip();
    if (i != text.size()) return fail("unexpected text after the call");
    return true;
}

// What helps when an argument has no Windows-1252 form: the library reads
// nothing else, so only another spelling does.
std::string encodingHint(const EncodingProblem& problem, const std::string& text) {
    std::string spelled;
    if (problem.kind == EncodingProblem::UNENCODABLE && plainSpelling(text, &spelled))
        return "the library reads only Windows-1252: try \"" + spelled + "\"";
    if (problem.kind == EncodingProblem::UNENCODABLE)
        return "the library reads only Windows-1252: spell the name in Latin letters";
    if (problem.kind == EncodingProblem::NUL_BYTE) return "the library reads a name up to its first NUL";
    return "--encoding cp1252 passes bytes as they are";
}

int countError(CommandContext& context, const FunctionRow& row, size_t given) {
    context.message(takesText(row) + "; " + std::to_string(given) + (given == 1 ? " argument" : " arguments") +
                    " given");
    return context.usage("usage: " + commandFormText(row) + "   or   ovrin '" + callFormText(row) + "'");
}

std::string argumentLabel(const FunctionRow& row, size_t i) {
    return "argument " + std::to_string(i + 1) + " of " + displayName(row.name) + " (" +
           parameterName(row.name, static_cast<int>(i), row.paramType(static_cast<int>(i)) == PARAM_STRING) + ")";
}

// Makes the call and prints its result: a string or an integer on stdout,
// an error's message on stderr.
int perform(CommandContext& context, int32_t number, const FunctionRow* row, const std::string& label,
            std::vector<Argument>& arguments) {
    std::vector<std::vector<char>> texts(arguments.size());
    std::vector<HostValue> values(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        HostValue& v = values[i];
        v = HostValue();
        if (!arguments[i].isString) {
            v.type = TYPE_INTEGER;
            v.intValue = arguments[i].number;
            continue;
        }
        const std::string& text = arguments[i].text;
        std::vector<char>& bytes = texts[i];
        bytes.resize(text.size() + 1);
        if (context.options.cp1252) {
            std::copy(text.begin(), text.end(), bytes.begin());
            bytes[text.size()] = '\0';
        } else {
            EncodingProblem problem;
            size_t n = utf8ToCp1252(text.data(), text.size(), bytes.data(), &problem);
            if (n == SIZE_MAX)
                return context.usage((row ? argumentLabel(*row, i) : "argument " + std::to_string(i + 1)) + ": " +
                                     describeProblem(problem) + " (" + encodingHint(problem, text) + ")");
            bytes[n] = '\0';
        }
        v.type = TYPE_STRING;
        v.stringValue = bytes.data();
    }
    CallOutcome outcome;
    callFunction(context.library, number, values.empty() ? nullptr : values.data(),
                 static_cast<int32_t>(values.size()), &outcome);
    if (!outcome.delivered) {
        context.message(label + " gave no result; the library answered " + std::to_string(outcome.answer));
        return EXIT_FAULTS;
    }
    if (outcome.flag != 0) {
        context.message(label + ": " + context.toConsole(outcome.text));
        return EXIT_FAULTS;
    }
    if (outcome.type == TYPE_STRING) {
        context.print(context.toConsole(outcome.text) + "\n");
    } else if (outcome.type == TYPE_INTEGER) {
        context.print(std::to_string(outcome.intValue) + "\n");
    } else {
        context.message(label + " answered a value of type " + std::to_string(outcome.type));
        return EXIT_FAULTS;
    }
    return EXIT_DONE;
}

int unknownFunction(CommandContext& context, const std::string& name) {
    return context.usage("no function named \"" + name + "\"; ovrin info lists them");
}

}  // namespace

int runCall(CommandContext& context, const std::vector<std::string>& words) {
    std::string name = words[0];
    std::vector<Argument> arguments;
    bool scriptForm = words.size() == 1 && name.find('(') != std::string::npos;
    if (scriptForm) {
        std::string error;
        std::string text = name;
        if (!parseScriptCall(text, &name, &arguments, &error)) return context.usage("cannot read the call: " + error);
    }

    int32_t number = 0;
    if (parseFunctionNumber(name, &number)) {
        // No row to type the arguments by: a word that reads as an integer
        // is one.
        if (!scriptForm) {
            for (size_t i = 1; i < words.size(); ++i) {
                Argument a;
                a.isString = !parseInt32(words[i], &a.number);
                a.text = words[i];
                arguments.push_back(a);
            }
        }
        return perform(context, number, nullptr, "function number " + name.substr(1), arguments);
    }

    const FunctionRow* row = context.findFunction(name);
    if (!row) return unknownFunction(context, name);
    size_t given = scriptForm ? arguments.size() : words.size() - 1;
    if (given != static_cast<size_t>(row->paramCount)) return countError(context, *row, given);
    for (size_t i = 0; i < given; ++i) {
        int type = row->paramType(static_cast<int>(i));
        if (type != PARAM_STRING && type != PARAM_INTEGER)
            return context.usage(argumentLabel(*row, i) + " has type " + std::to_string(type) +
                                 ", which ovrin cannot pass");
        if (scriptForm) {
            if (arguments[i].isString != (type == PARAM_STRING))
                return context.usage(argumentLabel(*row, i) + " must be " +
                                     (type == PARAM_STRING ? "a string in quotes" : "an integer") + "; " +
                                     takesText(*row));
            continue;
        }
        Argument a;
        a.isString = type == PARAM_STRING;
        a.text = words[i + 1];
        if (!a.isString && !parseInt32(words[i + 1], &a.number))
            return context.usage(argumentLabel(*row, i) + " must be a 32-bit integer, not \"" + words[i + 1] + "\"");
        arguments.push_back(a);
    }
    return perform(context, row->id, row, displayName(row->name), arguments);
}
