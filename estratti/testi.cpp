#include "estratti/testi.h"

#include <cstdint>

#include "core/cp1252.h"
#include "core/importi.h"

namespace estratti {

bool Utf8Valido(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size()) {
        const auto c = static_cast<unsigned char>(t[i]);
        int seguito = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF)
            seguito = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            seguito = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            seguito = 3;
        else
            return false;
        if (i + seguito >= t.size()) return false;
        for (int k = 1; k <= seguito; ++k)
            if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return false;
        i += seguito + 1;
    }
    return true;
}

std::string TestoUtf8(std::string_view byte) {
    if (byte.starts_with("\xEF\xBB\xBF")) byte.remove_prefix(3);
    if (Utf8Valido(byte)) return std::string(byte);
    return core::Cp1252InUtf8(byte);
}

std::string_view SenzaSpazi(std::string_view t) {
    const auto inizio = t.find_first_not_of(" \t\r\n");
    if (inizio == std::string_view::npos) return {};
    const auto fine = t.find_last_not_of(" \t\r\n");
    return t.substr(inizio, fine - inizio + 1);
}

std::string Normalizza(std::string_view testo) {
    std::string r(SenzaSpazi(testo));
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::optional<core::Money> LeggiImportoBanca(std::string_view testo, char decimale) {
    std::string t;
    t.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const char c = testo[i];
        if (c == ' ' || c == '\t' || c == '\'') continue;
        if (testo.substr(i).starts_with("\xE2\x82\xAC")) {  // €
            i += 2;
            continue;
        }
        if (testo.substr(i).starts_with("\xC2\xA0")) {  // no-break space
            ++i;
            continue;
        }
        if (testo.substr(i).starts_with("EUR")) {
            i += 2;
            continue;
        }
        t += c;
    }
    bool negativo = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negativo = t.front() == '-';
        t.erase(0, 1);
    } else if (!t.empty() && t.back() == '-') {
        negativo = true;
        t.pop_back();
    }
    if (t.empty()) return std::nullopt;
    const char gruppo = decimale == ',' ? '.' : ',';
    std::int64_t intero = 0;
    std::int64_t frazione = 0;
    int cifreFrazione = 0;
    bool arrotondaSu = false;
    bool inFrazione = false;
    bool cifre = false;
    for (const char c : t) {
        if (c == gruppo && !inFrazione) continue;
        if (c == decimale && !inFrazione) {
            inFrazione = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        cifre = true;
        const int d = c - '0';
        if (!inFrazione) {
            if (intero > (INT64_MAX / core::Money::kScala - 9) / 10) return std::nullopt;
            intero = intero * 10 + d;
        } else if (cifreFrazione < 4) {
            frazione = frazione * 10 + d;
            ++cifreFrazione;
        } else if (cifreFrazione == 4) {
            arrotondaSu = d >= 5;
            ++cifreFrazione;
        }
    }
    if (!cifre) return std::nullopt;
    for (int k = cifreFrazione; k < 4; ++k) frazione *= 10;
    std::int64_t raw = intero * core::Money::kScala + frazione + (arrotondaSu ? 1 : 0);
    return core::Money::FromRaw(negativo ? -raw : raw);
}

std::optional<core::Data> LeggiDataBanca(std::string_view testo, FormatoData formato) {
    testo = SenzaSpazi(testo);
    const auto fine = testo.find_first_of(" T");
    if (fine != std::string_view::npos) testo = testo.substr(0, fine);
    if (formato == FormatoData::GiornoMeseAnno) return core::LeggiData(testo);
    // aaaa-mm-gg (also with "/" or "."), or the compact aaaammgg of some exports.
    int parti[3] = {0, 0, 0};
    int cifre[3] = {0, 0, 0};
    int p = 0;
    if (testo.size() == 8 && testo.find_first_not_of("0123456789") == std::string_view::npos) {
        for (int k = 0; k < 8; ++k) {
            const int idx = k < 4 ? 0 : (k < 6 ? 1 : 2);
            parti[idx] = parti[idx] * 10 + (testo[k] - '0');
        }
    } else {
        for (const char c : testo) {
            if (c >= '0' && c <= '9') {
                parti[p] = parti[p] * 10 + (c - '0');
                if (++cifre[p] > 4) return std::nullopt;
            } else if ((c == '-' || c == '/' || c == '.') && p < 2 && cifre[p] > 0) {
                ++p;
            } else {
                return std::nullopt;
            }
        }
        if (p != 2 || cifre[0] != 4 || cifre[1] == 0 || cifre[1] > 2 || cifre[2] == 0 ||
            cifre[2] > 2)
            return std::nullopt;
    }
    if (!core::DataEsistente(parti[0], parti[1], parti[2])) return std::nullopt;
    return core::Data{parti[0], parti[1], parti[2]};
}

std::size_t LunghezzaUtf8(std::string_view testo) {
    std::size_t n = 0;
    for (const char c : testo)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string TroncaUtf8(std::string_view testo, std::size_t caratteri) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        if ((static_cast<unsigned char>(testo[i]) & 0xC0) != 0x80) {
            if (n == caratteri) return std::string(testo.substr(0, i));
            ++n;
        }
    }
    return std::string(testo);
}

std::optional<core::Money> ValoreCella(std::string_view testo) {
    if (SenzaSpazi(testo).empty()) return core::Money{};
    return core::ValoreImporto(testo);
}

}  // namespace estratti
