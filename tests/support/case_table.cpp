#include "case_table.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include <memory>

#include "../../extender/function_table.h"
#include "guarded_buffer.h"

std::string messageText(int32_t id) {
    switch (id) {
#define OV_STRING(number, text) \
    case number:                \
        return text;
#include "../../resources/strings.def"
#undef OV_STRING
    default:
        return "(no message " + std::to_string(id) + ")";
    }
}

namespace {

class Parser {
public:
    Parser(const std::string& line) : s_(line) {}

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    void fail(const std::string& what) {
        if (error_.empty()) error_ = what + " at column " + std::to_string(pos_ + 1);
    }

    void skipSpace() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        if (pos_ < s_.size() && s_[pos_] == '#') pos_ = s_.size();  // comment to the end
    }
    bool atEnd() {
        skipSpace();
        return pos_ >= s_.size();
    }
    bool accept(const char* token) {
        skipSpace();
        size_t n = std::strlen(token);
        if (s_.compare(pos_, n, token) != 0) return false;
        // A keyword must not run into an identifier.
        if (std::isalpha(static_cast<unsigned char>(token[n - 1])) && pos_ + n < s_.size() &&
            std::isalnum(static_cast<unsigned char>(s_[pos_ + n])))
            return false;
        pos_ += n;
        return true;
    }
    void expect(const char* token) {
        if (!accept(token)) fail(std::string("expected '") + token + "'");
    }

    std::string identifier() {
        skipSpace();
        size_t start = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
        if (start == pos_) fail("expected a name");
        return s_.substr(start, pos_ - start);
    }

    int32_t integer() {
        skipSpace();
        const char* begin = s_.c_str() + pos_;
        char* end = nullptr;
        bool negative = *begin == '-';
        long long value = std::strtoll(negative ? begin + 1 : begin, &end, 0);
        if (end == begin + (negative ? 1 : 0) || !std::isdigit(static_cast<unsigned char>(begin[negative ? 1 : 0]))) {
            fail("expected a number");
            return 0;
        }
        pos_ += static_cast<size_t>(end - begin);
        // Wider literals (0xFFFF0033) keep their low 32 bits, as on the wire.
        return static_cast<int32_t>(static_cast<uint32_t>(negative ? -value : value));
    }

    bool peekString() {
        skipSpace();
        return pos_ < s_.size() && s_[pos_] == '"';
    }

    std::string quoted() {
        std::string out;
        ++pos_;  // opening quote
        while (pos_ < s_.size() && s_[pos_] != '"') {
            char c = s_[pos_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) break;
            char e = s_[pos_++];
            switch (e) {
            case 't': out += '\t'; break;
            case 'n': out += '\n'; break;
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 'x': {
                int value = 0, digits = 0;
                while (digits < 2 && pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
                    value = value * 16 + std::stoi(std::string(1, s_[pos_++]), nullptr, 16);
                    ++digits;
                }
                if (digits == 0 || value == 0) fail("bad \\x escape");
                out += static_cast<char>(value);
                break;
            }
            default: fail("unknown escape"); break;
            }
        }
        if (pos_ >= s_.size()) fail("unterminated string");
        ++pos_;  // closing quote
        return out;
    }

    // "text" ["*" N] ("+" "text" ["*" N])*
    std::string stringExpression() {
        std::string out;
        do {
            if (!peekString()) {
                fail("expected a string");
                return out;
            }
            std::string piece = quoted();
            int32_t times = accept("*") ? integer() : 1;
            for (int32_t i = 0; i < times; ++i) out += piece;
        } while (accept("+"));
        return out;
    }

    CaseValue value() {
        CaseValue v;
        if (accept("_")) {
            v.skip = true;
            return v;
        }
        skipSpace();
        if (pos_ + 1 < s_.size() && s_[pos_] == 't' && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
            ++pos_;
            v.typed = true;
            v.type = integer();
            expect(":");
        }
        if (accept("null")) {
            v.isString = v.isNull = true;
            if (!v.typed) v.type = TYPE_STRING;
        } else if (peekString()) {
            v.isString = true;
            v.text = stringExpression();
            if (!v.typed) v.type = TYPE_STRING;
        } else {
            v.intValue = integer();
        }
        return v;
    }

    std::vector<CaseValue> valueList(const char* closing) {
        std::vector<CaseValue> values;
        if (closing && accept(closing)) return values;
        do values.push_back(value());
        while (!failed() && accept(","));
        if (closing) expect(closing);
        return values;
    }

private:
    std::string s_;
    size_t pos_ = 0;
    std::string error_;
};

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

int32_t numberOfFunction(const std::string& name, Extender2Entry entry) {
    for (int32_t row = 0;; ++row) {
        FunctionInfo info{};
        if (!entry(0, 0, 0, -2, nullptr, 0, 0, &info, row, nullptr)) return 0;
        if (lowerCase(name) == info.name) return info.id;
    }
}

// What the callback saw of the one call in progress.
struct Delivery {
    int calls = 0;
    int32_t flag = 0;
    uintptr_t hostContext = 0, hostRecord = 0;
    HostValue* resultValue = nullptr;
    int32_t type = 0;
    int32_t intValue = 0;
    bool hasText = false;
    std::string text;
    int32_t answer = 0;
};
Delivery delivery;

int32_t OV_STDCALL recordDelivery(int32_t flag, uintptr_t hostContext, uintptr_t hostRecord, HostValue* resultValue) {
    ++delivery.calls;
    delivery.flag = flag;
    delivery.hostContext = hostContext;
    delivery.hostRecord = hostRecord;
    delivery.resultValue = resultValue;
    delivery.type = resultValue->type;
    delivery.intValue = resultValue->intValue;
    // The string may live in a block that is released once the call returns:
    // copy it here, as a host does.
    delivery.hasText = resultValue->type == TYPE_STRING && resultValue->stringValue;
    delivery.text = delivery.hasText ? resultValue->stringValue : "";
    return delivery.answer;
}

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c == '\t') out += "\\t";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else out += static_cast<char>(c);
    }
    if (out.size() > 80) out = out.substr(0, 60) + "...(" + std::to_string(text.size()) + " bytes)";
    return out + "\"";
}

std::string describe(int32_t type, int32_t intValue, bool isString, const std::string& text) {
    if (isString) return "type " + std::to_string(type) + " " + quote(text);
    return "type " + std::to_string(type) + " " + std::to_string(intValue);
}

}  // namespace

std::vector<std::string> listCaseFiles(const std::string& folder) {
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir)) {
            std::string name = e->d_name;
            if (name.size() > 6 && name.compare(name.size() - 6, 6, ".cases") == 0) files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<Case> readCaseFile(const std::string& path, Extender2Entry entry, std::vector<std::string>& errors) {
    std::vector<Case> cases;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        errors.push_back(path + ": cannot be read");
        return cases;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Parser p(line);
        if (p.atEnd()) continue;
        Case c;
        c.where = path.substr(path.find_last_of("/\\") + 1) + ":" + std::to_string(number);
        c.source = line;
        if (p.accept("@")) {
            c.functionNumber = p.integer();
        } else {
            std::string name = p.identifier();
            c.functionNumber = numberOfFunction(name, entry);
            if (!c.functionNumber) p.fail("unknown function " + name);
        }
        p.expect("(");
        c.args = p.valueList(")");
        p.expect("=>");
        if (p.accept("error")) {
            c.expectString = true;
            c.expectInt = p.integer();
            c.expectText = messageText(c.expectInt);
            c.expectFlag = (c.expectInt == 913 || c.expectInt == 915) ? SEVERITY_MEMORY : SEVERITY_GENERAL;
        } else {
            CaseValue r = p.value();
            c.expectString = r.isString;
            c.expectInt = r.intValue;
            c.expectText = r.text;
        }
        if (p.accept("flag")) c.expectFlag = p.integer();
        if (p.accept("args")) {
            c.argsGiven = true;
            c.argsAfter = p.valueList(nullptr);
            if (c.argsAfter.size() != c.args.size()) p.fail("args lists a different number of arguments");
        }
        if (!p.atEnd()) p.fail("unexpected text");
        if (p.failed()) errors.push_back(c.where + ": " + p.error() + ": " + line);
        else cases.push_back(c);
    }
    return cases;
}

int runCases(const std::vector<Case>& cases, Extender2Entry entry, FILE* report,
             const std::function<std::string()>& afterEach) {
    static char untouched[] = "untouched";
    int failures = 0;
    int32_t serial = 0x51000000;
    for (const Case& c : cases) {
        std::vector<std::string> problems;

        // Each string gets a buffer of exactly its length + 1 and a guard after it.
        std::vector<HostValue> args(c.args.size());
        std::vector<std::unique_ptr<GuardedBuffer>> buffers(c.args.size());
        for (size_t i = 0; i < c.args.size(); ++i) {
            const CaseValue& v = c.args[i];
            args[i] = guardedArg(v.type, v.intValue, v.isString && !v.isNull ? &v.text : nullptr, 0.0, buffers[i]);
        }

        HostValue resultValue;
        resultValue.floatValue = 2.5;
        resultValue.intValue = 0x5EED;
        resultValue.type = 77;
        resultValue.stringValue = untouched;
        delivery = Delivery();
        delivery.answer = ++serial;
        const uintptr_t context = 0xC0DE, record = 0xFEED;

        int32_t answer = entry(0, 0, context, c.functionNumber, recordDelivery, record, 0,
                               args.empty() ? nullptr : args.data(), static_cast<int32_t>(args.size()), &resultValue);

        if (delivery.calls != 1) problems.push_back("callback called " + std::to_string(delivery.calls) + " times");
        if (answer != delivery.answer) problems.push_back("the callback's answer was not returned");
        if (delivery.hostContext != context || delivery.hostRecord != record || delivery.resultValue != &resultValue)
            problems.push_back("host values not passed through to the callback");
        std::string got = describe(delivery.type, delivery.intValue, delivery.hasText, delivery.text);
        std::string want = describe(c.expectString ? TYPE_STRING : TYPE_INTEGER, c.expectInt, c.expectString, c.expectText);
        if (got != want) problems.push_back("result " + got + ", expected " + want);
        if (delivery.flag != c.expectFlag)
            problems.push_back("flag " + std::to_string(delivery.flag) + ", expected " + std::to_string(c.expectFlag));
        if (resultValue.floatValue != 2.5) problems.push_back("floatValue of the result was written");
        if (delivery.type == TYPE_INTEGER && resultValue.stringValue != untouched)
            problems.push_back("an integer result wrote stringValue");
        if (delivery.type == TYPE_STRING && resultValue.intValue != 0x5EED)
            problems.push_back("a string result wrote intValue");

        for (size_t i = 0; i < c.args.size(); ++i) {
            std::string name = "argument " + std::to_string(i);
            if (buffers[i]) {
                if (!buffers[i]->intact()) problems.push_back(name + ": written past its NUL");
                if (args[i].stringValue != buffers[i]->data()) problems.push_back(name + ": its pointer was changed");
            }
            const CaseValue& want_ = c.argsGiven ? c.argsAfter[i] : c.args[i];
            if (want_.skip) continue;
            if (c.argsGiven && want_.typed && args[i].type != want_.type)
                problems.push_back(name + ": type " + std::to_string(args[i].type) + ", expected " +
                                   std::to_string(want_.type));
            if (want_.isString && !want_.isNull) {
                std::string now = !buffers[i]            ? std::string("(null)")
                                  : buffers[i]->intact() ? std::string(buffers[i]->data())
                                                         : std::string("(no NUL left)");
                if (!buffers[i] || now != want_.text)
                    problems.push_back(name + " reads " + quote(now) + ", expected " + quote(want_.text));
            } else if (!want_.isString && args[i].intValue != want_.intValue) {
                problems.push_back(name + " holds " + std::to_string(args[i].intValue) + ", expected " +
                                   std::to_string(want_.intValue));
            }
        }
        buffers.clear();

        if (afterEach) {
            std::string extra = afterEach();
            if (!extra.empty()) problems.push_back(extra);
        }
        if (!problems.empty()) {
            ++failures;
            std::fprintf(report, "FAIL %s: %s\n", c.where.c_str(), c.source.c_str());
            for (const std::string& p : problems) std::fprintf(report, "     %s\n", p.c_str());
        }
    }
    return failures;
}
