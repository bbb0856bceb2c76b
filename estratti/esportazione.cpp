#include "estratti/esportazione.h"

#include <utility>

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

std::optional<RigaEsportata> RigaDaEsportare(const core::Registro& registro, std::size_t r,
                                             std::optional<core::Data> da,
                                             std::optional<core::Data> a) {
    const std::string_view data = registro.cella(r, 0);
    if (da || a) {
        const auto d = core::LeggiData(data);
        if (!d || (da && *d < *da) || (a && *d > *a)) return std::nullopt;
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
    return riga;
}

std::vector<RigaEsportata> RigheDaEsportare(const core::Registro& registro,
                                            std::optional<core::Data> da,
                                            std::optional<core::Data> a) {
    std::vector<RigaEsportata> righe;
    for (std::size_t r = 0; r < registro.size(); ++r)
        if (auto riga = RigaDaEsportare(registro, r, da, a)) righe.push_back(*riga);
    return righe;
}

namespace {

constexpr std::string_view kIntestazione =
    "\xEF\xBB\xBF"
    "Data;Causale;Riferimento;Importo;Valuta;Saldo;Valuta saldo\r\n";

// An amount in its own currency, with the currency's code; a cell no rule reads is
// written as it is, never as a zero.
void Cifra(std::string& t, const std::optional<core::Money>& valore, std::string_view cella,
           bool euro) {
    if (valore)
        t += Numero(*valore, euro);
    else
        Campo(t, cella);
    t += euro ? ";EUR" : ";ITL";
}

void AggiungiRiga(std::string& t, const RigaEsportata& r) {
    Campo(t, r.data);
    t += ';';
    Campo(t, r.causale);
    t += ';';
    Campo(t, r.riferimento);
    t += ';';
    Cifra(t, r.importo, r.cellaImporto, r.euro);
    t += ';';
    Cifra(t, r.saldo, r.cellaSaldo, r.saldoEuro);
    t += "\r\n";
}

}  // namespace

std::string TestoEsportazione(const core::Registro& registro, std::optional<core::Data> da,
                              std::optional<core::Data> a) {
    std::string t(kIntestazione);
    t.reserve(t.size() + registro.size() * 64);
    for (std::size_t r = 0; r < registro.size(); ++r)
        if (auto riga = RigaDaEsportare(registro, r, da, a)) AggiungiRiga(t, *riga);
    return t;
}

core::EsitoFile Esporta(core::FileSystem& fs, const std::filesystem::path& file,
                        const core::Registro& registro, std::optional<core::Data> da,
                        std::optional<core::Data> a) {
    // A piece at a time: a register of a million rows is never held twice in memory.
    constexpr std::size_t kPezzo = 4 << 20;
    std::size_t r = 0;
    bool intestazione = true;
    return ScriviFileUtenteAPezzi(fs, file, [&](std::string& pezzo) {
        if (std::exchange(intestazione, false)) pezzo = kIntestazione;
        for (; r < registro.size() && pezzo.size() < kPezzo; ++r)
            if (auto riga = RigaDaEsportare(registro, r, da, a)) AggiungiRiga(pezzo, *riga);
        return r < registro.size();
    });
}

}  // namespace estratti
