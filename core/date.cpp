#include "core/date.h"

#include <cstdio>

namespace core {

namespace {

bool Bisestile(int anno) {
    return (anno % 4 == 0 && anno % 100 != 0) || anno % 400 == 0;
}

bool IsCifra(char c) {
    return c >= '0' && c <= '9';
}

// Reads a run of 1..massimo digits at the front of the text.
std::optional<int> Cifre(std::string_view& testo, std::size_t massimo, std::size_t& lette) {
    lette = 0;
    int valore = 0;
    while (lette < testo.size() && IsCifra(testo[lette])) {
        if (++lette > massimo) return std::nullopt;
        valore = valore * 10 + (testo[lette - 1] - '0');
    }
    if (lette == 0) return std::nullopt;
    testo.remove_prefix(lette);
    return valore;
}

}  // namespace

bool DataEsistente(int anno, int mese, int giorno) {
    static constexpr int kGiorni[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (anno < 100 || anno > 9999 || mese < 1 || mese > 12 || giorno < 1) return false;
    const int ultimo = (mese == 2 && Bisestile(anno)) ? 29 : kGiorni[mese - 1];
    return giorno <= ultimo;
}

std::optional<Data> LeggiData(std::string_view testo) {
    std::size_t lette = 0;
    const auto giorno = Cifre(testo, 2, lette);
    if (!giorno || testo.empty()) return std::nullopt;
    // Both separators must be the same one: 1/2-2003 is a typing slip, not a date.
    const char separatore = testo.front();
    if (separatore != '/' && separatore != '-' && separatore != '.') return std::nullopt;
    testo.remove_prefix(1);
    const auto mese = Cifre(testo, 2, lette);
    if (!mese || testo.empty() || testo.front() != separatore) return std::nullopt;
    testo.remove_prefix(1);
    auto anno = Cifre(testo, 4, lette);
    if (!anno || !testo.empty() || lette == 1) return std::nullopt;
    if (lette == 2) *anno += *anno >= 30 ? 1900 : 2000;
    if (!DataEsistente(*anno, *mese, *giorno)) return std::nullopt;
    return Data{*anno, *mese, *giorno};
}

std::string FormatoData(const Data& data) {
    char testo[40];
    std::snprintf(testo, sizeof testo, "%02d/%02d/%04d", data.giorno, data.mese, data.anno);
    return testo;
}

}  // namespace core
