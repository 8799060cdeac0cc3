// Windows-1252 upper case, as CharUpperA gives it in that code page: a-z and
// the accented small letters 0xE0-0xFE (but the division sign 0xF7) move
// down by 0x20; š, œ, ž and ÿ have their capitals at 0x8A, 0x8C, 0x8E and
// 0x9F. ß and µ have no capital in the code page. Every other byte is its
// own capital. The POSIX stand-in of CharUpperA and the matching's
// clean-up of names both read it.
#pragma once

constexpr unsigned char cp1252Upper(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<unsigned char>(c - 0x20);
    if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 0x10);
    if (c == 0xFF) return 0x9F;
    return c;
}
