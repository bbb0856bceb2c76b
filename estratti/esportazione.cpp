#include "estratti/esportazione.h"

#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "estratti/andamento.h"
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

std::vector<RigaEsportata> RigheDaEsportare(const core::Registro& registro,
                                            std::optional<core::Data> da,
                                            std::optional<core::Data> a) {
    std::vector<RigaEsportata> righe;
    righe.reserve(registro.size());
    for (std::size_t r = 0; r < registro.size(); ++r) {
        const std::string_view data = registro.cella(r, 0);
        if (da || a) {
            const auto d = core::LeggiData(data);
            if (!d || (da && *d < *da) || (a && *d > *a)) continue;
        }
        const std::string_view causale = registro.cella(r, 1);
        RigaEsportata riga;
        riga.data = data;
        riga.causale = causale;
        riga.riferimento = registro.cella(r, 2);
        riga.cellaImporto = registro.cella(r, 3);
        riga.cellaSaldo = registro.cella(r, 4);
        riga.euro = core::TestoInEuro(riga.cellaImporto);
        riga.importo = ValoreCella(riga.cellaImporto);
        if (riga.importo && core::CausaleDiDebito(causale)) riga.importo = riga.importo->negated();
        riga.saldo = ValoreCella(riga.cellaSaldo);
        // After a currency switch the last balance is in the other currency than its amount.
        riga.saldoEuro = riga.cellaSaldo.empty() ? riga.euro : core::TestoInEuro(riga.cellaSaldo);
        righe.push_back(riga);
    }
    return righe;
}

std::string TestoEsportazione(const core::Registro& registro, std::optional<core::Data> da,
                              std::optional<core::Data> a) {
    std::string t =
        "\xEF\xBB\xBF"
        "Data;Causale;Riferimento;Importo;Valuta;Saldo;Valuta saldo\r\n";
    t.reserve(t.size() + registro.size() * 64);
    // An amount in its own currency, with the currency's code; a cell no rule reads is
    // written as it is, never as a zero.
    auto cifra = [&t](const std::optional<core::Money>& valore, std::string_view cella, bool euro) {
        if (valore)
            t += Numero(*valore, euro);
        else
            Campo(t, cella);
        t += euro ? ";EUR" : ";ITL";
    };
    for (const RigaEsportata& r : RigheDaEsportare(registro, da, a)) {
        Campo(t, r.data);
        t += ';';
        Campo(t, r.causale);
        t += ';';
        Campo(t, r.riferimento);
        t += ';';
        cifra(r.importo, r.cellaImporto, r.euro);
        t += ';';
        cifra(r.saldo, r.cellaSaldo, r.saldoEuro);
        t += "\r\n";
    }
    return t;
}

core::EsitoFile Esporta(core::FileSystem& fs, const std::filesystem::path& file,
                        const core::Registro& registro, std::optional<core::Data> da,
                        std::optional<core::Data> a) {
    return ScriviFileUtente(fs, file, TestoEsportazione(registro, da, a));
}

}  // namespace estratti
