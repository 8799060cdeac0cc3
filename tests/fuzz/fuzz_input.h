// The byte layout of one fuzz input: a call of WILExtender2 or of
// WILExtenderQuery with arbitrary numbers, type codes, integers and strings.
// Shared by the fuzz target and the tool that turns the table of cases into
// seeds, so both read and write the same layout.
//
//   byte  op             even: WILExtender2, odd: WILExtenderQuery
//   call:  u32 functionNumber, u8 argCount (mod 9), then per argument:
//          u8 typeSelector   below 200: type = selector mod 101; else u32 type follows
//          u32 intValue
//          u16 length        0xFFFF: no string; else min(length, 4096) bytes follow
//                            (a 0 byte reads as 1: strings hold bytes 1 to 255)
//   query: u32 queryCode, u16 length (signed), then up to 64 u32 levels
// Everything is little-endian; a short input reads as zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FuzzArgument {
    int32_t type = 0;
    int32_t intValue = 0;
    bool hasString = false;
    std::string text;
};

struct FuzzCall {
    bool isQuery = false;
    int32_t number = 0;  // function number or query code
    std::vector<FuzzArgument> args;
    int16_t queryLength = 0;
    std::vector<int32_t> levels;
};

enum { FUZZ_MAX_ARGS = 8, FUZZ_MAX_STRING = 4096, FUZZ_NO_STRING = 0xFFFF };

class FuzzReader {
public:
    FuzzReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t take(int bytes) {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(pos_ < size_ ? data_[pos_++] : 0) << (8 * i);
        return value;
    }
    size_t left() const { return size_ - pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

inline FuzzCall decodeFuzzCall(const uint8_t* data, size_t size) {
    FuzzReader in(data, size);
    FuzzCall call;
    call.isQuery = in.take(1) & 1;
    call.number = static_cast<int32_t>(in.take(4));
    if (call.isQuery) {
        call.queryLength = static_cast<int16_t>(in.take(2));
        for (int i = 0; i < 64 && in.left() >= 4; ++i) call.levels.push_back(static_cast<int32_t>(in.take(4)));
        return call;
    }
    int count = static_cast<int>(in.take(1) % (FUZZ_MAX_ARGS + 1));
    for (int i = 0; i < count; ++i) {
        FuzzArgument a;
        uint32_t selector = in.take(1);
        a.type = selector < 200 ? static_cast<int32_t>(selector % 101) : static_cast<int32_t>(in.take(4));
        a.intValue = static_cast<int32_t>(in.take(4));
        uint32_t length = in.take(2);
        if (length != FUZZ_NO_STRING) {
            a.hasString = true;
            if (length > FUZZ_MAX_STRING) length = FUZZ_MAX_STRING;
            for (uint32_t k = 0; k < length && in.left() > 0; ++k) {
                char c = static_cast<char>(in.take(1));
                a.text += c ? c : '\1';
            }
        }
        call.args.push_back(a);
    }
    return call;
}

inline void putBytes(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The input that decodes to `call` (strings are cut to 4096 bytes).
inline std::string encodeFuzzCall(const FuzzCall& call) {
    std::string out;
    putBytes(out, call.isQuery ? 1 : 0, 1);
    putBytes(out, static_cast<uint32_t>(call.number), 4);
    if (call.isQuery) {
        putBytes(out, static_cast<uint16_t>(call.queryLength), 2);
        for (int32_t level : call.levels) putBytes(out, static_cast<uint32_t>(level), 4);
        return out;
    }
    putBytes(out, static_cast<uint32_t>(call.args.size()), 1);
    for (const FuzzArgument& a : call.args) {
        if (a.type >= 0 && a.type <= 100) {
            putBytes(out, static_cast<uint32_t>(a.type), 1);
        } else {
            putBytes(out, 200, 1);
            putBytes(out, static_cast<uint32_t>(a.type), 4);
        }
        putBytes(out, static_cast<uint32_t>(a.intValue), 4);
        if (!a.hasString) {
            putBytes(out, FUZZ_NO_STRING, 2);
            continue;
        }
        std::string text = a.text.substr(0, FUZZ_MAX_STRING);
        putBytes(out, static_cast<uint32_t>(text.size()), 2);
        out += text;
    }
    return out;
}
