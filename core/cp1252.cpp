#include "core/cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace core {

namespace {

// Code points of the bytes 0x80..0x9F. The five bytes the code page leaves undefined
// stand for the C1 control of the same number, so every byte has a character.
constexpr std::array<char32_t, 32> kAlti = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Eight bytes at a time: loading a register runs this on millions of short texts.
bool SoloAscii(std::string_view testo) {
    std::uint64_t alti = 0;
    std::size_t i = 0;
    for (; i + 8 <= testo.size(); i += 8) {
        std::uint64_t parola;
        std::memcpy(&parola, testo.data() + i, 8);
        alti |= parola;
    }
    for (; i < testo.size(); ++i) alti |= static_cast<unsigned char>(testo[i]);
    return (alti & 0x8080808080808080u) == 0;
}

void AggiungiUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 character at `pos` and advances past it; nullopt on a malformed,
// overlong or surrogate sequence.
std::optional<char32_t> LeggiUtf8(std::string_view t, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(t[pos]);
    int seguenti;
    char32_t cp;
    char32_t minimo;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        seguenti = 1, cp = b0 & 0x1F, minimo = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        seguenti = 2, cp = b0 & 0x0F, minimo = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        seguenti = 3, cp = b0 & 0x07, minimo = 0x10000;
    } else {
        return std::nullopt;
    }
    if (pos + static_cast<std::size_t>(seguenti) >= t.size()) return std::nullopt;
    for (int k = 1; k <= seguenti; ++k) {
        const auto b = static_cast<unsigned char>(t[pos + k]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos += static_cast<std::size_t>(seguenti) + 1;
    return cp;
}

std::optional<unsigned char> ByteCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (std::size_t i = 0; i < kAlti.size(); ++i) {
        if (kAlti[i] == cp) return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

char32_t Maiuscola(char32_t cp) {
    if (cp >= U'a' && cp <= U'z') return cp - 0x20;
    // à..þ except ÷; ß has no single upper-case letter and stays as it is.
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
    switch (cp) {
        case 0xFF:
            return 0x178;  // ÿ -> Ÿ
        case 0x153:
            return 0x152;  // œ -> Œ
        case 0x161:
            return 0x160;  // š -> Š
        case 0x17E:
            return 0x17D;  // ž -> Ž
        default:
            return cp;
    }
}

}  // namespace

void AggiungiCp1252InUtf8(std::string& out, std::string_view byte) {
    if (SoloAscii(byte)) {
        out.append(byte);
        return;
    }
    std::size_t i = 0;
    while (i < byte.size()) {
        std::size_t fine = i;
        while (fine < byte.size() && static_cast<unsigned char>(byte[fine]) < 0x80) ++fine;
        out.append(byte.substr(i, fine - i));
        if (fine == byte.size()) break;
        const auto b = static_cast<unsigned char>(byte[fine]);
        AggiungiUtf8(out, b < 0xA0 ? kAlti[b - 0x80] : b);
        i = fine + 1;
    }
}

std::string Cp1252InUtf8(std::string_view byte) {
    if (SoloAscii(byte)) return std::string(byte);
    std::string out;
    out.reserve(byte.size() + byte.size() / 2);
    AggiungiCp1252InUtf8(out, byte);
    return out;
}

bool AggiungiUtf8InCp1252(std::string& out, std::string_view testo) {
    if (SoloAscii(testo)) {
        out.append(testo);
        return true;
    }
    const std::size_t prima = out.size();
    std::size_t pos = 0;
    while (pos < testo.size()) {
        std::size_t fine = pos;
        while (fine < testo.size() && static_cast<unsigned char>(testo[fine]) < 0x80) ++fine;
        out.append(testo.substr(pos, fine - pos));
        pos = fine;
        if (pos == testo.size()) break;
        const auto cp = LeggiUtf8(testo, pos);
        const auto b = cp ? ByteCp1252(*cp) : std::nullopt;
        if (!b) {
            out.resize(prima);
            return false;
        }
        out += static_cast<char>(*b);
    }
    return true;
}

std::optional<std::string> Utf8InCp1252(std::string_view testo) {
    if (SoloAscii(testo)) return std::string(testo);
    std::string out;
    out.reserve(testo.size());
    if (!AggiungiUtf8InCp1252(out, testo)) return std::nullopt;
    return out;
}

bool RappresentabileCp1252(std::string_view testo) {
    return Utf8InCp1252(testo).has_value();
}

std::string MaiuscoloUtf8(std::string_view testo) {
    std::string out;
    out.reserve(testo.size());
    std::size_t pos = 0;
    while (pos < testo.size()) {
        const std::size_t inizio = pos;
        const auto cp = LeggiUtf8(testo, pos);
        if (!cp) {
            // Not UTF-8: the byte is kept as it is rather than lost.
            out += testo[inizio];
            pos = inizio + 1;
            continue;
        }
        AggiungiUtf8(out, Maiuscola(*cp));
    }
    return out;
}

}  // namespace core
