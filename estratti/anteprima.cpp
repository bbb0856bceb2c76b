#include "estratti/anteprima.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/cp1252.h"
#include "core/importi.h"
#include "estratti/testi.h"

namespace estratti {

namespace {

const core::TipoMovimento& Tipo(std::string_view caption) {
    for (const auto& t : core::TipiMovimento())
        if (t.caption == caption) return t;
    return core::TipiMovimento()[0];
}

bool Lettera(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (c & 0x80);
}

// A keyword at the start of a word; with a trailing "*" it may go on (a stem).
bool Parola(const std::string& testo, std::string_view chiave) {
    const bool radice = chiave.ends_with('*');
    if (radice) chiave.remove_suffix(1);
    for (auto pos = testo.find(chiave); pos != std::string::npos;
         pos = testo.find(chiave, pos + 1)) {
        const bool inizio = pos == 0 || !Lettera(testo[pos - 1]);
        const auto fine = pos + chiave.size();
        const bool chiusa = radice || fine == testo.size() || !Lettera(testo[fine]);
        if (inizio && chiusa) return true;
    }
    return false;
}

bool Una(const std::string& testo, std::initializer_list<std::string_view> chiavi) {
    return std::any_of(chiavi.begin(), chiavi.end(),
                       [&](std::string_view k) { return Parola(testo, k); });
}

std::string Riparato(std::string_view testo, bool& riparato) {
    std::string r;
    r.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size();) {
        const auto c = static_cast<unsigned char>(testo[i]);
        std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        n = std::min(n, testo.size() - i);
        const std::string_view carattere = testo.substr(i, n);
        if (carattere == "\"") {
            r += '\'';
            riparato = true;
        } else if (c < 0x20 || !core::RappresentabileCp1252(carattere)) {
            r += c < 0x20 ? ' ' : '?';
            riparato = true;
        } else {
            r += carattere;
        }
        i += n;
    }
    return r;
}

// A movement as the register would hold it: its day, its amount in euro, its direction and
// its reference, so that a charge and its refund stay two.
std::string Chiave(const core::Data& d, core::Money euro, bool credito,
                   std::string_view riferimento) {
    std::string k = core::FormatoData(d);
    k += '\t';
    k += core::FormatoEuro(euro);
    k += credito ? "+\t" : "-\t";
    k += riferimento;
    return k;
}

std::string Euro(core::Money m) {
    return core::FormatoEuro(m) + " €";
}

}  // namespace

std::string TestoEsclusione(Esclusione e) {
    switch (e) {
        case Esclusione::Nessuna:
            return "";
        case Esclusione::DataPrecedente:
            return "Data precedente all'ultimo movimento del registro";
        case Esclusione::GiaNelRegistro:
            return "Già presente nel registro";
        case Esclusione::DoppiaNelFile:
            return "Presente due volte nell'estratto";
        case Esclusione::ImportoNullo:
            return "Importo uguale a zero";
        case Esclusione::FuoriLimite:
            return "Importo o saldo oltre il limite consentito";
        case Esclusione::NonSelezionata:
            return "Escluso dall'utente";
        case Esclusione::NonContabilizzata:
            return "Non contabilizzato";
        case Esclusione::AltraValuta:
            return "In valuta diversa";
        case Esclusione::DataNonValida:
            return "Data non valida";
    }
    return "";
}

std::string TestoEsclusione(const RigaAnteprima& r) {
    std::string t = TestoEsclusione(r.esclusione);
    if (r.esclusione == Esclusione::AltraValuta && !r.valuta.empty()) t += " (" + r.valuta + ")";
    if (r.esclusione == Esclusione::DataNonValida && !r.dataNonValida.empty())
        t += " (" + r.dataNonValida + ")";
    return t;
}

core::StatoConto StatoInEuro(const core::StatoConto& stato) {
    core::StatoConto s = stato;
    if (!core::InLire(stato)) return s;
    // Beyond the money range the switch itself refuses: the preview then stays in lire.
    const auto saldo = core::LireInEuro(stato.SaldoConto);
    const auto fido = core::LireInEuro(stato.FidoConto);
    if (!saldo || !fido) return s;
    s.SaldoConto = *saldo;
    s.FidoConto = *fido;
    s.ModoValuta = core::kEuro;
    return s;
}

bool EsclusioneObbligata(Esclusione e) {
    return e == Esclusione::DataPrecedente || e == Esclusione::ImportoNullo ||
           e == Esclusione::FuoriLimite || e == Esclusione::AltraValuta ||
           e == Esclusione::DataNonValida;
}

const core::TipoMovimento& IndovinaTipo(std::string_view descrizione, bool credito) {
    const std::string d = Normalizza(descrizione);
    if (credito) {
        if (Una(d, {"stipend*", "emolument*", "retribuzion*"})) return Tipo("Accredito stipendio");
        if (Una(d, {"interess*"})) return Tipo("Interessi a credito");
        if (Una(d, {"bonific*", "sct"})) return Tipo("Bonifico a credito");
        if (Una(d, {"versament*", "versato"})) return Tipo("Versamento");
        return Tipo("Accredito generico");
    }
    if (Una(d, {"preliev*", "bancomat", "atm"})) return Tipo("Prelievo");
    if (Una(d, {"gas"})) return Tipo("Addebito bolletta gas");
    if (Una(d, {"luce", "energia", "elettric*"})) return Tipo("Addebito bolletta elettricità");
    if (Una(d, {"telefon*", "telecom"})) return Tipo("Addebito bolletta telefonica");
    if (Una(d, {"acqua", "idric*", "acquedott*"})) return Tipo("Addebito bolletta acqua");
    if (Una(d, {"assegn*"})) return Tipo("Assegno");
    if (Una(d, {"interess*"})) return Tipo("Interessi a debito");
    if (d.find("carta di credito") != std::string::npos || Una(d, {"visa", "mastercard", "amex"}))
        return Tipo("Addebito carta di credito");
    if (Una(d, {"bonific*", "sct"})) return Tipo("Bonifico a debito");
    return Tipo("Addebito generico");
}

Anteprima PreparaAnteprima(const Estratto& estratto, const core::Registro& registro,
                           const core::StatoConto& statoAttuale, bool inEuro) {
    const core::StatoConto stato =
        inEuro || estratto.registroInEuro ? StatoInEuro(statoAttuale) : statoAttuale;
    Anteprima a;
    a.nomeFile = estratto.nomeFile;
    a.modoValuta = stato.ModoValuta;
    a.saldoIniziale = stato.SaldoConto;
    a.fido = stato.FidoConto;
    a.saldoFinale = estratto.saldoFinale;
    a.avvisi = estratto.avvisi;
    const bool lire = core::InLire(stato);

    // Newest-first files are turned round so that a day's movements keep their order; rows
    // without a real date go last.
    std::vector<const Transazione*> ordine;
    ordine.reserve(estratto.transazioni.size());
    for (const auto& t : estratto.transazioni)
        if (t.dataNonValida.empty()) ordine.push_back(&t);
    if (ordine.size() > 1 && ordine.front()->data > ordine.back()->data)
        std::reverse(ordine.begin(), ordine.end());
    std::stable_sort(ordine.begin(), ordine.end(),
                     [](const Transazione* x, const Transazione* y) { return x->data < y->data; });
    for (const auto& t : estratto.transazioni)
        if (!t.dataNonValida.empty()) ordine.push_back(&t);

    std::optional<core::Data> ultima;
    if (!registro.empty()) ultima = core::LeggiData(registro.cella(registro.size() - 1, 0));

    // Register rows that the statement could repeat: those from its first day on, each able
    // to stand for one statement row only.
    std::unordered_map<std::string, int> nelRegistro;
    if (!ordine.empty() && ordine.front()->dataNonValida.empty()) {
        const core::Data primo = ordine.front()->data;
        for (std::size_t r = registro.size(); r-- > 0;) {
            const auto d = core::LeggiData(registro.cella(r, 0));
            if (d && *d < primo) break;
            const std::string_view cella = registro.cella(r, 3);
            auto valore = ValoreCella(cella);
            if (valore && !core::TestoInEuro(cella)) valore = core::LireInEuro(*valore);
            if (!d || !valore) continue;
            const bool credito = !core::CausaleDiDebito(registro.cella(r, 1));
            ++nelRegistro[Chiave(*d, *valore, credito, registro.cella(r, 2))];
        }
    }
    std::unordered_set<std::string> nelFile;

    a.righe.reserve(ordine.size());
    for (const Transazione* t : ordine) {
        RigaAnteprima r;
        r.data = t->data;
        r.linea = t->linea;
        r.descrizione = t->descrizione;
        r.credito = !t->importo.isNegative();
        r.tipo = t->tipo && (t->tipo->segno == core::Segno::Credito) == r.credito
                     ? t->tipo
                     : &IndovinaTipo(t->descrizione, r.credito);

        const std::string& fonte = t->riferimento.empty() ? t->descrizione : t->riferimento;
        r.riferimento = Riparato(fonte, r.riparato);
        // Rows imported before references were shortened this way kept the first characters.
        const std::string primiCaratteri = TroncaUtf8(r.riferimento, kLunghezzaRiferimento);
        const std::string breve = RiferimentoBreve(r.riferimento, kLunghezzaRiferimento);
        r.accorciato = breve != SenzaSpazi(r.riferimento);
        r.riferimento = breve;

        std::optional<core::Money> importo = t->importo.abs();
        std::optional<core::Money> euro = importo;
        if (importo && t->valuta == Valuta::Lire) euro = core::LireInEuro(*importo);
        if (t->valutaEstera.empty()) {
            if (importo && lire && t->valuta == Valuta::Euro) importo = core::EuroInLire(*importo);
            if (importo && !lire && t->valuta == Valuta::Lire) importo = core::LireInEuro(*importo);
        }
        if (importo) r.importo = *importo;
        r.valuta = t->valutaEstera;
        r.dataNonValida = t->dataNonValida;

        // A bank reuses placeholder ids such as 0: the id tells movements apart only with
        // the day and the amount.
        const std::string chiaveFile =
            (t->idBanca.empty() ? t->descrizione : "id:" + t->idBanca) + "\t" +
            Chiave(t->data, euro.value_or(core::Money{}), r.credito, t->conto);
        auto giaNelRegistro = [&] {
            if (!euro) return false;
            for (const std::string* rif : {&std::as_const(r.riferimento), &primiCaratteri}) {
                const auto it = nelRegistro.find(Chiave(t->data, *euro, r.credito, *rif));
                if (it != nelRegistro.end() && it->second > 0) {
                    --it->second;
                    return true;
                }
            }
            return false;
        };
        if (!t->dataNonValida.empty())
            r.esclusione = Esclusione::DataNonValida;
        else if (!t->valutaEstera.empty())
            r.esclusione = Esclusione::AltraValuta;
        else if (!importo)
            r.esclusione = Esclusione::FuoriLimite;
        else if (r.importo.isZero())
            r.esclusione = Esclusione::ImportoNullo;
        else if (!t->contabilizzata)
            r.esclusione = Esclusione::NonContabilizzata;
        else if (giaNelRegistro())
            r.esclusione = Esclusione::GiaNelRegistro;
        else if (!nelFile.insert(chiaveFile).second)
            r.esclusione = Esclusione::DoppiaNelFile;
        else if (ultima && t->data < *ultima)
            r.esclusione = Esclusione::DataPrecedente;
        r.inclusa = r.esclusione == Esclusione::Nessuna;
        a.righe.push_back(std::move(r));
    }
    Ricalcola(a);
    return a;
}

void Ricalcola(Anteprima& a) {
    core::Money saldo = a.saldoIniziale;
    for (auto& r : a.righe) {
        r.fuoriFido = false;
        // The amount's direction is the bank's: a type never turns it round.
        if (!r.tipo || (r.tipo->segno == core::Segno::Credito) != r.credito)
            r.tipo = &IndovinaTipo(r.descrizione, r.credito);
        if (r.esclusione == Esclusione::FuoriLimite && r.inclusa) r.inclusa = false;
        if (r.inclusa) {
            const auto nuovo = r.credito ? saldo.plus(r.importo) : saldo.minus(r.importo);
            if (!nuovo) {
                r.inclusa = false;
                r.esclusione = Esclusione::FuoriLimite;
            } else {
                saldo = *nuovo;
                r.fuoriFido = r.tipo->AvvisoFido && a.fido.isNegative() && saldo < a.fido;
            }
        }
        r.saldo = saldo;
    }
}

void ImpostaInclusa(Anteprima& a, std::size_t riga, bool inclusa) {
    RigaAnteprima& r = a.righe.at(riga);
    if (inclusa && EsclusioneObbligata(r.esclusione)) return;
    r.inclusa = inclusa;
    if (!inclusa && r.esclusione == Esclusione::Nessuna) r.esclusione = Esclusione::NonSelezionata;
    if (inclusa && r.esclusione == Esclusione::NonSelezionata) r.esclusione = Esclusione::Nessuna;
    Ricalcola(a);
}

std::vector<const core::TipoMovimento*> TipiPerRiga(const RigaAnteprima& riga) {
    std::vector<const core::TipoMovimento*> tipi;
    for (const auto& t : core::TipiMovimento())
        if ((t.segno == core::Segno::Credito) == riga.credito) tipi.push_back(&t);
    return tipi;
}

bool ImpostaTipo(Anteprima& a, std::size_t riga, const core::TipoMovimento& tipo) {
    RigaAnteprima& r = a.righe.at(riga);
    if ((tipo.segno == core::Segno::Credito) != r.credito) return false;
    r.tipo = &tipo;
    Ricalcola(a);
    return true;
}

EsitoImportazione ApplicaAnteprima(const Anteprima& a, ui::Contesto& c,
                                   const std::function<void()>& passaAEuro) {
    EsitoImportazione esito;
    if (passaAEuro) passaAEuro();
    const bool lire = core::InLire(c.stato);
    // Amounts in another currency than the register's, or balances from another starting
    // balance, would be booked wrong: the rows are added only as the preview showed them.
    if (lire != (a.modoValuta == core::kLire) ||
        (a.saldoIniziale != c.stato.SaldoConto &&
         std::any_of(a.righe.begin(), a.righe.end(), [](const auto& r) { return r.inclusa; }))) {
        esito.riepilogo = "Estratto conto \"" + a.nomeFile +
                          "\": il registro è cambiato dopo l'anteprima (divisa o saldo); nessun "
                          "movimento è stato aggiunto. Ripeta l'importazione.";
        return esito;
    }
    core::Registro nuove;
    core::Money saldo = c.stato.SaldoConto;
    for (const auto& r : a.righe) {
        if (!r.inclusa) continue;
        saldo = r.saldo;
        const std::string data = core::FormatoData(r.data);
        const std::string importo = core::FormatoModo(r.importo, c.stato.ModoValuta);
        const std::string testoSaldo = core::FormatoModo(r.saldo, c.stato.ModoValuta);
        nuove.aggiungi({data, lire ? r.tipo->CausaleLire : r.tipo->CausaleEuro, r.riferimento,
                        importo, testoSaldo});
        ++esito.aggiunte;
    }
    if (esito.aggiunte > 0) {
        grid::Griglia& g = c.griglia;
        const int prima = g.Rows();
        g.AggiungiRighe(std::move(nuove));
        c.stato.SaldoConto = saldo;
        ui::ColoreSaldo(c);
        c.form1.ImpostaTesto("txtSaldo", core::FormatoModo(saldo, c.stato.ModoValuta));
        if (prima < 13 && g.Rows() >= 13) ui::AllargaFinestra(c.form1);
        if (g.Rows() > 12) g.SetTopRow(g.Rows() - 1);
        esito.salvato = ui::SalvaRegistroEParametri(c);
        for (const char* pulsante : {"Rimuovi", "Rimuoviu", "CmdStampa"})
            if (!c.form1.Abilitato(pulsante)) c.form1.ImpostaAbilitato(pulsante, true);
    }
    esito.riepilogo =
        Riepilogo(a, c.griglia.righe(), c.stato, esito.salvato || esito.aggiunte == 0);
    return esito;
}

std::string Riepilogo(const Anteprima& a, const core::Registro& registro,
                      const core::StatoConto& stato, bool salvato) {
    int aggiunte = 0;
    std::map<std::string, int> escluse;
    std::vector<std::string> fuoriFido;
    for (const auto& r : a.righe) {
        if (r.inclusa) {
            ++aggiunte;
            if (r.fuoriFido) fuoriFido.push_back(core::FormatoData(r.data));
        } else {
            ++escluse[r.esclusione == Esclusione::DataNonValida ? TestoEsclusione(r.esclusione)
                                                                : TestoEsclusione(r)];
        }
    }
    std::string t = "Estratto conto \"" + a.nomeFile + "\".\n\n";
    t += "Movimenti aggiunti al registro: " + std::to_string(aggiunte) + ".\n";
    int totaleEscluse = 0;
    for (const auto& [e, n] : escluse) totaleEscluse += n;
    t += "Movimenti esclusi: " + std::to_string(totaleEscluse) + (totaleEscluse ? ":\n" : ".\n");
    for (const auto& [e, n] : escluse) t += "  - " + e + ": " + std::to_string(n) + "\n";
    if (aggiunte > 0 && !salvato)
        t += "\nATTENZIONE: il registro non è stato salvato; i movimenti restano in memoria e "
             "saranno salvati alla prossima occasione.\n";
    for (const auto& avviso : a.avvisi) t += "\n" + avviso + "\n";
    if (!fuoriFido.empty()) {
        t += "\nATTENZIONE! SEI FUORI FIDO dopo i movimenti del ";
        for (std::size_t i = 0; i < fuoriFido.size() && i < 10; ++i)
            t += (i ? ", " : "") + fuoriFido[i];
        if (fuoriFido.size() > 10) t += " e altri " + std::to_string(fuoriFido.size() - 10);
        t += ".\n";
    }
    if (a.saldoFinale) {
        const auto& dichiarato = *a.saldoFinale;
        // The register's balance at the bank's date: the last row on or before it.
        std::optional<core::Money> delRegistro;
        bool inEuro = !core::InLire(stato);
        for (std::size_t r = registro.size(); r-- > 0;) {
            const auto d = core::LeggiData(registro.cella(r, 0));
            if (!d || *d > dichiarato.data) continue;
            if (r + 1 == registro.size()) {
                delRegistro = stato.SaldoConto;
            } else {
                const std::string_view cella = registro.cella(r, 4);
                delRegistro = ValoreCella(cella);
                inEuro = core::TestoInEuro(cella);
            }
            break;
        }
        if (delRegistro && !inEuro) delRegistro = core::LireInEuro(*delRegistro);
        t += "\nSaldo dichiarato dalla banca al " + core::FormatoData(dichiarato.data) + ": " +
             Euro(dichiarato.saldo) + ".\n";
        if (!delRegistro)
            t += "Il registro non ha movimenti fino a quella data: il saldo non è confrontabile.\n";
        else if (core::FormatoEuro(*delRegistro) == core::FormatoEuro(dichiarato.saldo))
            t += "Il saldo del registro a quella data coincide.\n";
        else
            t += "Il saldo del registro a quella data è " + Euro(*delRegistro) +
                 ": NON coincide (differenza " +
                 Euro(delRegistro->minus(dichiarato.saldo).value_or(core::Money{})) + ").\n";
    }
    return t;
}

}  // namespace estratti
