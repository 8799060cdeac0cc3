#include "record_writer.h"

#include <charconv>
#include <cstring>

#include "encoding.h"

void putFieldOtherwise(Output& out, char separator, TextFormat format, const char* text, size_t size, bool toUtf8) {
    out.put(separator);
    if (format == TextFormat::TSV) {
        for (size_t i = 0; i < size; ++i) {
            char c = text[i];
            if (c == '\t' || c == '\r' || c == '\n') c = ' ';
            if (toUtf8 && (c & 0x80)) {
                char utf8[16];  // 3 used; room for the word copies of Output::put
                out.put(utf8, cp1252ToUtf8(&c, 1, utf8));
            } else {
                out.put(c);
            }
        }
        return;
    }
    bool quote = false;
    for (size_t i = 0; i < size && !quote; ++i) quote = text[i] == '"' || text[i] == ',' || text[i] == '\r' || text[i] == '\n';
    if (quote) out.put('"');
    for (size_t i = 0; i < size; ++i) {
        char c = text[i];
        if (c == '"') out.put('"');
        if (toUtf8 && (c & 0x80)) {
            char utf8[16];  // 3 used; room for the word copies of Output::put
            out.put(utf8, cp1252ToUtf8(&c, 1, utf8));
        } else {
            out.put(c);
        }
    }
    if (quote) out.put('"');
}

namespace {

void putNumber(Output& out, int64_t n) {
    char digits[24];
    std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, n);
    out.put(digits, static_cast<size_t>(r.ptr - digits));
}

// TSV and CSV: records as they came, filled out to their header's width,
// and the values as fields.
class FlatWriter : public RecordWriter {
public:
    FlatWriter(Output& out, const WriterSettings& settings)
        : out_(out),
          settings_(settings),
          format_(settings.form == OutputForm::CSV ? TextFormat::CSV : TextFormat::TSV),
          separator_(settings.form == OutputForm::CSV ? ',' : '\t') {}

    void start(bool bom, const std::vector<HeaderPart>* header, LineEnd end) override {
        if (bom) out_.put("\xEF\xBB\xBF", 3);
        if (!header) return;
        for (size_t p = 0; p < header->size(); ++p) {
            const HeaderPart& part = (*header)[p];
            if (p > 0 && (part.text || part.fields)) out_.put(separator_);
            if (part.fields) {
                for (size_t i = 0; i < part.fields->size(); ++i) {
                    const std::string& f = (*part.fields)[i];
                    // Input text: quoted as needed, never converted.
                    if (i == 0) putFirstField(f);
                    else putField(out_, separator_, format_, f.data(), f.size(), false);
                }
            } else if (part.text) {
                out_.put(*part.text);
                if (part.unclosedQuote && format_ == TextFormat::CSV) out_.put('"');
            } else {
                putEmpty(p > 0 ? part.absentWidth : 0);
            }
        }
        for (const Column& c : settings_.columns) putField(out_, separator_, format_, c.name.data(), c.name.size(), false);
        putLineEnd(out_, end);
    }

    void row(const Row& row) override {
        if (row.recordCount == 1 && row.records[0] && !row.members) {
            // map's every line: one record and its results.
            putRecord(*row.records[0]);
            putValues(row.values);
            putLineEnd(out_, row.records[0]->end);
            return;
        }
        if (row.members) {
            for (size_t m = 0; m < row.memberCount; ++m) {
                putRecord(*row.members[m]);
                putValues(row.values);
                putLineEnd(out_, row.members[m]->end);
            }
            return;
        }
        for (size_t r = 0; r < row.recordCount; ++r) {
            if (r > 0 && row.records[r]) out_.put(separator_);
            if (row.records[r]) putRecord(*row.records[r]);
            else putEmpty(row.absentWidth[r]);
        }
        putValues(row.values);
        putLineEnd(out_, row.records[0] ? row.records[0]->end : LineEnd::LF);
    }

private:
    void putRecord(const OutRecord& r) {
        out_.put(r.text, r.size);
        // Closed, so that the new columns stay columns of their own.
        if (r.unclosedQuote && format_ == TextFormat::CSV) out_.put('"');
        for (size_t i = 0; i < r.missing; ++i) out_.put(separator_);
    }
    // `width` empty fields after a record: one separator each.
    void putEmpty(size_t width) {
        for (size_t i = 0; i < width; ++i) out_.put(separator_);
    }
    void putFirstField(const std::string& f) {
        // putField writes a separator first; the first field has none.
        MemorySink sink;
        {
            Output one(sink, 64);
            putField(one, separator_, format_, f.data(), f.size(), false);
        }
        out_.put(sink.text.data() + 1, sink.text.size() - 1);
    }
    void putValues(const Value* values) {
        const bool toUtf8 = !settings_.cp1252;
        for (size_t c = 0; c < settings_.columns.size(); ++c) {
            const Value& v = values[c];
            if (v.kind == Value::TEXT) {
                putField(out_, separator_, format_, v.text, v.size, toUtf8);
            } else {
                out_.put(separator_);
                if (v.kind == Value::NUMBER) putNumber(out_, v.number);
            }
        }
    }

    Output& out_;
    WriterSettings settings_;
    TextFormat format_;
    char separator_;
};

// JSON lines. Input text in UTF-8 goes out as it is where valid; a byte
// that is not valid UTF-8 becomes U+FFFD and the record is warned about.
// Windows-1252 text (the library's, or the input's with cp1252) is
// converted.
class JsonWriter : public RecordWriter {
public:
    JsonWriter(Output& out, const WriterSettings& settings) : out_(out), settings_(settings) {}

    void start(bool, const std::vector<HeaderPart>*, LineEnd) override {}

    void row(const Row& row) override {
        out_.put('{');
        bool first = true;
        for (size_t r = 0; r < row.recordCount; ++r) {
            key(settings_.recordKeys[r], &first);
            if (row.records[r]) putRecord(*row.records[r]);
            else out_.put("null", 4);
        }
        for (size_t c = 0; c < settings_.columns.size(); ++c) {
            const Column& column = settings_.columns[c];
            if (column.flatOnly) continue;
            key(column.name.c_str(), &first);
            const Value& v = row.values[c];
            if (v.kind == Value::TEXT) cp1252String(v.text, v.size);
            else if (v.kind == Value::NUMBER) putNumber(out_, v.number);
            else out_.put("null", 4);
        }
        if (row.members) {
            key(settings_.membersKey, &first);
            out_.put('[');
            for (size_t m = 0; m < row.memberCount; ++m) {
                if (m > 0) out_.put(',');
                putRecord(*row.members[m]);
            }
            out_.put(']');
        }
        out_.put("}\n", 2);
    }

private:
    void key(const char* name, bool* first) {
        if (!*first) out_.put(',');
        *first = false;
        out_.put('"');
        out_.put(name, std::strlen(name));
        out_.put("\":", 2);
    }

    // {"line":N,"name":"...","record":"..."}
    void putRecord(const OutRecord& r) {
        out_.put("{\"line\":", 8);
        putNumber(out_, static_cast<int64_t>(r.line));
        out_.put(",\"name\":", 8);
        if (r.name) cp1252String(r.name, r.nameSize);
        else out_.put("null", 4);
        out_.put(",\"record\":", 10);
        if (settings_.cp1252) {
            cp1252String(r.text, r.size);
        } else if (!utf8String(r.text, r.size) && settings_.warnings && r.where && !alreadyWarned(r)) {
            settings_.warnings->warn(*r.where, r.line, "invalid UTF-8 in the record; JSON shows U+FFFD for each such byte");
        }
        out_.put('}');
    }

    // A record written with several partners is warned about once.
    bool alreadyWarned(const OutRecord& r) {
        if (lastWarnedWhere_ == r.where && lastWarnedLine_ == r.line) return true;
        lastWarnedWhere_ = r.where;
        lastWarnedLine_ = r.line;
        return false;
    }

    void escaped(unsigned char c) {
        static const char hex[] = "0123456789abcdef";
        switch (c) {
        case '"': out_.put("\\\"", 2); return;
        case '\\': out_.put("\\\\", 2); return;
        case '\t': out_.put("\\t", 2); return;
        case '\n': out_.put("\\n", 2); return;
        case '\r': out_.put("\\r", 2); return;
        default: break;
        }
        if (c < 0x20 || c == 0x7F) {
            char escape[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            out_.put(escape, 6);
        } else {
            out_.put(static_cast<char>(c));
        }
    }

    // Answers false when a byte was not valid UTF-8.
    bool utf8String(const char* data, size_t size) {
        bool valid = true;
        out_.put('"');
        for (size_t i = 0; i < size;) {
            unsigned char c = static_cast<unsigned char>(data[i]);
            if (c < 0x80) {
                escaped(c);
                ++i;
                continue;
            }
            uint32_t codePoint;
            size_t length = utf8SequenceLength(data + i, size - i, &codePoint);
            if (length == 0) {
                out_.put("\\ufffd", 6);
                valid = false;
                ++i;
                continue;
            }
            out_.put(data + i, length);
            i += length;
        }
        out_.put('"');
        return valid;
    }

    void cp1252String(const char* data, size_t size) {
        out_.put('"');
        for (size_t i = 0; i < size; ++i) {
            unsigned char c = static_cast<unsigned char>(data[i]);
            if (c < 0x80) {
                escaped(c);
            } else {
                char utf8[16];  // 3 used; room for the word copies of Output::put
                out_.put(utf8, cp1252ToUtf8(data + i, 1, utf8));
            }
        }
        out_.put('"');
    }

    Output& out_;
    WriterSettings settings_;
    const std::string* lastWarnedWhere_ = nullptr;
    uint64_t lastWarnedLine_ = 0;
};

}  // namespace

std::unique_ptr<RecordWriter> makeWriter(Output& out, const WriterSettings& settings) {
    if (settings.form == OutputForm::JSON) return std::unique_ptr<RecordWriter>(new JsonWriter(out, settings));
    return std::unique_ptr<RecordWriter>(new FlatWriter(out, settings));
}
