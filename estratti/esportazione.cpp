#include "estratti/esportazione.h"

#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "estratti/testi.h"

namespace estratti {

namespace {

void Campo(std::string& riga, std::string_view testo) {
    if (testo.find_first_of(";\"\r\n") == std::string_view::npos) {
        riga += testo;
        return;
    }
    riga += '"';
    for (const char c : testo) {
        if (c == '"') riga += '"';
        riga += c;
    }
    riga += '"';
}

// A plain number: "-", ungrouped digits, and in euro "," with two decimals.
std::string Numero(core::Money v, bool euro) {
    const std::string formato = euro ? core::FormatoEuro(v) : core::FormatoLire(v);
    std::string t;
    for (const char c : formato)
        if (c != '.') t.push_back(c);
    return t.empty() ? std::string(1, '0') : t;
}

}  // namespace

std::string TestoEsportazione(const core::Registro& registro, std::optional<core::Data> da,
                              std::optional<core::Data> a) {
    std::string t =
        "\xEF\xBB\xBF"
        "Data;Causale;Riferimento;Importo;Valuta;Saldo;Valuta saldo\r\n";
    t.reserve(t.size() + registro.size() * 64);
    // An amount in its own currency, with the currency's code; a cell no rule reads is
    // written as it is, never as a zero.
    auto cifra = [&t](std::string_view cella, bool negativo) {
        const bool euro = core::TestoInEuro(cella);
        auto valore = ValoreCella(cella);
        if (valore && negativo) valore = valore->negated();
        if (valore)
            t += Numero(*valore, euro);
        else
            Campo(t, cella);
        t += euro ? ";EUR" : ";ITL";
    };
    for (std::size_t r = 0; r < registro.size(); ++r) {
        const std::string_view data = registro.cella(r, 0);
        if (da || a) {
            const auto d = core::LeggiData(data);
            if (!d || (da && *d < *da) || (a && *d > *a)) continue;
        }
        const std::string_view causale = registro.cella(r, 1);
        Campo(t, data);
        t += ';';
        Campo(t, causale);
        t += ';';
        Campo(t, registro.cella(r, 2));
        t += ';';
        cifra(registro.cella(r, 3), core::CausaleDiDebito(causale));
        t += ';';
        // After a currency switch the last balance is in the other currency than its amount.
        cifra(registro.cella(r, 4), false);
        t += "\r\n";
    }
    return t;
}

core::EsitoFile Esporta(core::FileSystem& fs, const std::filesystem::path& file,
                        const core::Registro& registro, std::optional<core::Data> da,
                        std::optional<core::Data> a) {
    std::filesystem::path provvisorio = file;
    provvisorio += ".quibora-tmp";
    if (auto e = fs.scrivi(provvisorio, TestoEsportazione(registro, da, a))) {
        static_cast<void>(fs.elimina(provvisorio));
        e->file = file;
        return e;
    }
    if (auto e = fs.rinomina(provvisorio, file)) {
        static_cast<void>(fs.elimina(provvisorio));
        return e;
    }
    const auto cartella = file.has_parent_path() ? file.parent_path() : ".";
    return fs.sincronizzaCartella(cartella);
}

}  // namespace estratti
