#include "estratti/lettore_csv.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <map>
#include <utility>

namespace estratti {

namespace {

struct Raccolta {
    TabellaCsv* tabella;
    std::vector<std::string> record;
    int linea = 0;
    int lineaInizio = 0;
};

void CampoLetto(void* dati, std::size_t lunghezza, void* r) {
    auto* raccolta = static_cast<Raccolta*>(r);
    if (raccolta->record.empty()) raccolta->lineaInizio = raccolta->linea;
    // A line of a million cells would take gigabytes: what lies beyond the cap is dropped.
    if (raccolta->record.size() >= kMassimoColonne) {
        raccolta->tabella->troppeColonne = true;
        return;
    }
    raccolta->record.emplace_back(static_cast<const char*>(dati), lunghezza);
}

void RecordFinito(int, void* r) {
    auto* raccolta = static_cast<Raccolta*>(r);
    if (raccolta->record.empty()) raccolta->lineaInizio = raccolta->linea;
    raccolta->tabella->record.push_back(std::move(raccolta->record));
    raccolta->tabella->linee.push_back(raccolta->lineaInizio);
    raccolta->record.clear();
}

// What a header names. Names are whole: "Importo spese di spedizione" is not "Importo".
enum class Ruolo {
    Nessuno,
    Data,
    Importo,
    Dare,
    Avere,
    Descrizione,
    Causale,
    Riferimento,
    Valuta,
    Stato,
    Saldo,
};

// The header's name without case, quotes, a currency after it ("Importo (EUR)", "Importo €")
// and doubled blanks.
std::string NomeColonna(std::string_view cella) {
    std::string h;
    for (const char c : Normalizza(cella)) {
        if (c == '"' || c == '*') continue;
        if (c == ' ' && (h.empty() || h.back() == ' ')) continue;
        h += c;
    }
    for (const std::string_view coda :
         // " in euro" before " euro", which would leave "importo in".
         {" in euro", "(eur)", "(euro)", "(\xE2\x82\xAC)", " eur", " euro", " \xE2\x82\xAC"})
        if (h.size() > coda.size() && h.ends_with(coda)) {
            h.resize(h.size() - coda.size());
            while (!h.empty() && h.back() == ' ') h.pop_back();
            break;
        }
    return h;
}

bool Uno(const std::string& h, std::initializer_list<std::string_view> nomi) {
    return std::find(nomi.begin(), nomi.end(), h) != nomi.end();
}

// The role, and for dates and descriptions a rank: the lower wins when several are there.
std::pair<Ruolo, int> Classifica(std::string_view cella) {
    const std::string h = NomeColonna(cella);
    // The booking date is the account's; the value date and the start of a card payment
    // only stand in for it.
    if (Uno(h, {"data contabile", "data registrazione", "data di registrazione", "data cont.",
                "data reg.", "booking date", "posting date", "completed date",
                "data contabilizzazione"}))
        return {Ruolo::Data, 0};
    if (Uno(h, {"data", "date", "giorno", "data operazione", "data movimento", "data op.",
                "transaction date", "datetime", "data/ora", "data e ora"}))
        return {Ruolo::Data, 1};
    if (Uno(h, {"started date"})) return {Ruolo::Data, 2};
    if (Uno(h, {"data valuta", "value date", "data val."})) return {Ruolo::Data, 3};
    if (Uno(h, {"importo", "amount", "netto", "net", "entrate/uscite", "dare/avere",
                "addebiti/accrediti", "accrediti/addebiti", "importo movimento",
                "importo operazione", "movimento", "transaction amount", "net amount"}))
        return {Ruolo::Importo, 0};
    if (Uno(h, {"dare", "uscite", "uscita", "addebiti", "addebito", "debit", "debito", "debits",
                "importo dare", "importo addebito", "withdrawals", "money out", "paid out"}))
        return {Ruolo::Dare, 0};
    if (Uno(h,
            {"avere", "entrate", "entrata", "accrediti", "accredito", "credit", "credito",
             "credits", "importo avere", "importo accredito", "deposits", "money in", "paid in"}))
        return {Ruolo::Avere, 0};
    if (Uno(h, {"descrizione", "description", "descrizione operazione", "descrizione operazioni",
                "dettagli", "dettaglio", "memo", "descrizione estesa"}))
        return {Ruolo::Descrizione, 0};
    if (Uno(h, {"nome", "name", "beneficiario", "payee", "controparte", "operazione", "ordinante",
                "esercente"}))
        return {Ruolo::Descrizione, 1};
    if (h.starts_with("causale")) return {Ruolo::Causale, 0};
    if (Uno(h, {"riferimento", "riferimenti"})) return {Ruolo::Riferimento, 0};
    if (Uno(h, {"valuta", "divisa", "currency", "codice valuta", "devise"}))
        return {Ruolo::Valuta, 0};
    if (Uno(h, {"stato", "state", "status", "contabilizzazione", "esito"}))
        return {Ruolo::Stato, 0};
    if (Uno(h, {"saldo", "balance", "saldo contabile", "saldo disponibile", "running balance"}))
        return {Ruolo::Saldo, 0};
    return {Ruolo::Nessuno, 0};
}

// A header has two names we know, one of them a date or an amount.
bool Intestazione(const std::vector<std::string>& record) {
    int noti = 0;
    bool chiave = false;
    for (const auto& cella : record) {
        const Ruolo r = Classifica(cella).first;
        if (r == Ruolo::Nessuno) continue;
        ++noti;
        chiave = chiave || r == Ruolo::Data || r == Ruolo::Importo || r == Ruolo::Dare ||
                 r == Ruolo::Avere;
    }
    return noti >= 2 && chiave;
}

const std::string& Cella(const std::vector<std::string>& record, int c) {
    static const std::string vuota;
    return c >= 0 && c < static_cast<int>(record.size()) ? record[c] : vuota;
}

char RilevaDecimale(const TabellaCsv& t, const MappaturaCsv& m) {
    int virgola = 0, punto = 0;
    for (std::size_t r = m.rigaIntestazione + 1; r < t.record.size() && r < 500; ++r) {
        for (int c : {m.colImporto, m.colDare, m.colAvere}) {
            const std::string v(SenzaSpazi(Cella(t.record[r], c)));
            const auto ultimo = v.find_last_of(".,");
            if (ultimo == std::string::npos) continue;
            const std::size_t dopo = v.size() - ultimo - 1;
            if (v[ultimo] == ',')
                ++virgola;
            else if (dopo != 3 || v.find('.') != ultimo)
                ++punto;
        }
    }
    return punto > virgola ? '.' : ',';
}

// Day first unless a row proves month first (a second number over 12); with no row proving
// either way the mapping says so, for the user to be asked.
void RilevaFormatoData(const TabellaCsv& t, MappaturaCsv& m) {
    bool giornoPrima = false, mesePrima = false, dubbio = false, annoPrima = false;
    for (std::size_t r = m.rigaIntestazione + 1; r < t.record.size(); ++r) {
        const std::string_view v = SenzaSpazi(Cella(t.record[r], m.colData));
        if (v.empty()) continue;
        if (const auto n = PrimiDueNumeri(v)) {
            giornoPrima = giornoPrima || n->first > 12;
            mesePrima = mesePrima || n->second > 12;
            dubbio = dubbio || n->first != n->second;
        } else if (LeggiDataBanca(v, FormatoData::AnnoMeseGiorno) &&
                   !LeggiDataBanca(v, FormatoData::GiornoMeseAnno)) {
            annoPrima = true;  // the compact aaaammgg
        }
    }
    m.dataAmbigua = false;
    if (mesePrima && !giornoPrima) {
        m.formatoData = FormatoData::MeseGiornoAnno;
    } else if (annoPrima && !giornoPrima && !mesePrima) {
        m.formatoData = FormatoData::AnnoMeseGiorno;
    } else {
        m.formatoData = FormatoData::GiornoMeseAnno;
        m.dataAmbigua = !giornoPrima && dubbio;
    }
}

// A column named "Valuta" is the value date in many Italian exports, the currency in others.
bool ColonnaDiDate(const TabellaCsv& t, const MappaturaCsv& m, int c) {
    for (std::size_t r = m.rigaIntestazione + 1; r < t.record.size() && r < 200; ++r) {
        const std::string_view v = SenzaSpazi(Cella(t.record[r], c));
        if (!v.empty()) return LeggiDataBanca(v, FormatoData::GiornoMeseAnno).has_value();
    }
    return false;
}

void ColonneDaIntestazione(const TabellaCsv& t, MappaturaCsv& m) {
    const auto& record = t.record[m.rigaIntestazione];
    int rangoData = 99, rangoRiserva = 99, rangoDescrizione = 99, causale = -1;
    for (int c = 0; c < static_cast<int>(record.size()); ++c) {
        auto [ruolo, rango] = Classifica(record[c]);
        if (ruolo == Ruolo::Valuta && ColonnaDiDate(t, m, c)) {
            ruolo = Ruolo::Data;
            rango = 3;
        }
        auto primo = [&](int& col) {
            if (col < 0) col = c;
        };
        switch (ruolo) {
            case Ruolo::Data:
                if (rango < rangoData) {
                    rangoRiserva = rangoData;
                    m.colDataRiserva = m.colData;
                    rangoData = rango;
                    m.colData = c;
                } else if (rango < rangoRiserva) {
                    rangoRiserva = rango;
                    m.colDataRiserva = c;
                }
                break;
            case Ruolo::Descrizione:
                if (rango < rangoDescrizione) {
                    rangoDescrizione = rango;
                    m.colDescrizione = c;
                }
                break;
            case Ruolo::Importo:
                primo(m.colImporto);
                break;
            case Ruolo::Dare:
                primo(m.colDare);
                break;
            case Ruolo::Avere:
                primo(m.colAvere);
                break;
            case Ruolo::Causale:
                if (causale < 0) causale = c;
                break;
            case Ruolo::Riferimento:
                primo(m.colRiferimento);
                break;
            case Ruolo::Valuta:
                primo(m.colValuta);
                break;
            case Ruolo::Stato:
                primo(m.colStato);
                break;
            case Ruolo::Saldo:
            case Ruolo::Nessuno:
                break;
        }
    }
    // A "Causale" beside a description or a reference holds the kind of movement; alone it
    // is the description.
    if (causale >= 0) {
        if (m.colDescrizione >= 0 || m.colRiferimento >= 0)
            m.colTipo = causale;
        else
            m.colDescrizione = causale;
    }
    if (m.colDescrizione < 0) m.colDescrizione = m.colRiferimento;
    // A signed column wins over a lone debit or credit column.
    if (m.colImporto >= 0 && (m.colDare < 0 || m.colAvere < 0)) m.colDare = m.colAvere = -1;
    if (m.colDare >= 0 && m.colAvere >= 0) m.colImporto = -1;
}

const core::TipoMovimento* TipoDaNome(std::string_view nome) {
    nome = SenzaSpazi(nome);
    if (nome.empty()) return nullptr;
    for (const auto& t : core::TipiMovimento())
        if (nome == t.caption || nome == t.CausaleLire || nome == t.CausaleEuro) return &t;
    return nullptr;
}

// States of a movement the bank has not booked (or has undone).
bool NonContabilizzato(std::string_view stato) {
    const std::string s = Normalizza(stato);
    return Uno(
        s,
        {"pending",        "reverted",      "declined",  "non contabilizzato", "non contabilizzata",
         "autorizzato",    "autorizzata",   "in attesa", "not approved",       "annullato",
         "annullata",      "in sospeso",    "failed",    "cancelled",          "canceled",
         "rifiutato",      "rifiutata",     "stornato",  "stornata",           "da contabilizzare",
         "in lavorazione", "non approvato", "reversed"});
}

enum class RigaSaldo { No, Altro, Finale };

// "Saldo iniziale", "Saldo finale", "Totale", "Saldo al 31/12/2024": a line that states a
// balance or a sum, never a movement. A closing balance is kept for the reconciliation.
RigaSaldo TipoRigaSaldo(std::string_view testo) {
    // Some exports put a stray mark before the words ("|SALDO FINALE", "*** Saldo").
    std::string s = Normalizza(testo);
    s.erase(0, std::min(s.size(), s.find_first_not_of("|*#-=_ ")));
    auto inizia = [&](std::string_view p) {
        return s.starts_with(p) && (s.size() == p.size() || s[p.size()] == ' ' ||
                                    s[p.size()] == ':' || s[p.size()] == '.');
    };
    for (const std::string_view p :
         {"saldo finale", "saldo contabile", "saldo al", "saldo contabile al", "closing balance",
          "ending balance", "saldo liquido", "saldo di chiusura"})
        if (inizia(p)) return RigaSaldo::Finale;
    for (const std::string_view p :
         {"saldo iniziale", "saldo disponibile", "saldo precedente", "saldo d'apertura",
          "saldo di apertura", "saldo", "totale", "totali", "opening balance", "starting balance",
          "balance", "total"})
        if (inizia(p) && (p != "saldo" || s.size() == p.size() || s[p.size()] == ':'))
            return RigaSaldo::Altro;
    return RigaSaldo::No;
}

// A date written inside a balance line's text ("Saldo al 31/12/2024").
std::optional<core::Data> DataNelTesto(std::string_view testo, FormatoData formato) {
    for (std::size_t i = 0; i < testo.size(); ++i) {
        if (testo[i] < '0' || testo[i] > '9' ||
            (i > 0 && testo[i - 1] >= '0' && testo[i - 1] <= '9'))
            continue;
        const auto fine = testo.find(' ', i);
        const auto d = LeggiDataBanca(
            testo.substr(i, fine == std::string_view::npos ? fine : fine - i), formato);
        if (d) return d;
    }
    return std::nullopt;
}

}  // namespace

TabellaCsv SeparaCsv(std::string_view testo, char separatore) {
    TabellaCsv tabella;
    csv_parser p;
    csv_init(&p, 0);
    csv_set_delim(&p, static_cast<unsigned char>(separatore));
    Raccolta raccolta{&tabella, {}, 0, 0};
    // One line at a time, so each record knows the line it starts on.
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        auto fine = testo.find('\n', inizio);
        fine = fine == std::string_view::npos ? testo.size() : fine + 1;
        ++raccolta.linea;
        csv_parse(&p, testo.data() + inizio, fine - inizio, CampoLetto, RecordFinito, &raccolta);
        inizio = fine;
    }
    csv_fini(&p, CampoLetto, RecordFinito, &raccolta);
    csv_free(&p);
    return tabella;
}

MappaturaCsv RilevaMappatura(std::string_view testo) {
    // The separator that splits the most lines into the same number (three or more) of cells.
    MappaturaCsv m;
    std::size_t campione = 0;
    for (int n = 0; campione < testo.size() && n < 60; ++n) {
        campione = testo.find('\n', campione);
        if (campione == std::string_view::npos) break;
        ++campione;
    }
    if (campione == 0 || campione == std::string_view::npos) campione = testo.size();
    int migliore = -1;
    for (const char sep : {';', ',', '\t', '|'}) {
        const TabellaCsv t = SeparaCsv(testo.substr(0, campione), sep);
        std::map<std::size_t, int> conteggi;
        for (const auto& r : t.record)
            if (r.size() >= 3) ++conteggi[r.size()];
        int punteggio = 0;
        for (const auto& [campi, volte] : conteggi) punteggio = std::max(punteggio, volte);
        if (punteggio > migliore) {
            migliore = punteggio;
            m.separatore = sep;
        }
    }
    return RilevaColonne(SeparaCsv(testo, m.separatore), m.separatore);
}

MappaturaCsv RilevaColonne(const TabellaCsv& t, char separatore) {
    MappaturaCsv m;
    m.separatore = separatore;
    for (std::size_t r = 0; r < t.record.size() && r < 50; ++r) {
        if (Intestazione(t.record[r])) {
            m.rigaIntestazione = static_cast<int>(r);
            ColonneDaIntestazione(t, m);
            break;
        }
    }
    if (m.colData >= 0) RilevaFormatoData(t, m);
    m.decimale = RilevaDecimale(t, m);
    return m;
}

std::string FirmaIntestazione(const TabellaCsv& t, const MappaturaCsv& m) {
    std::string firma = "csv";
    if (m.rigaIntestazione < 0 || m.rigaIntestazione >= static_cast<int>(t.record.size()))
        return firma + ":" + std::to_string(m.separatore);
    for (const auto& c : t.record[m.rigaIntestazione]) {
        firma.push_back('|');
        firma.append(Normalizza(c));
    }
    return firma;
}

std::string ColonneMancanti(const MappaturaCsv& m) {
    std::vector<std::string> mancanti;
    if (m.colData < 0) mancanti.emplace_back("della data");
    if (m.colImporto < 0 && m.colDare < 0 && m.colAvere < 0) mancanti.emplace_back("dell'importo");
    if (m.colDescrizione < 0) mancanti.emplace_back("della descrizione");
    if (mancanti.empty()) return {};
    std::string elenco;
    for (std::size_t i = 0; i < mancanti.size(); ++i)
        elenco += (i == 0 ? "" : i + 1 == mancanti.size() ? " e " : ", ") + mancanti[i];
    return std::string(mancanti.size() == 1 ? "Manca la colonna " : "Mancano le colonne ") +
           elenco + ": non sono state riconosciute dalla loro intestazione. Le scelga nelle " +
           "caselle qui sopra per poter importare.";
}

std::variant<Estratto, ErroreEstratto> LeggiCsv(std::string_view testo, const MappaturaCsv& m,
                                                const std::string& nomeFile) {
    return LeggiTabella(SeparaCsv(testo, m.separatore), m, nomeFile);
}

std::variant<Estratto, ErroreEstratto> LeggiTabella(const TabellaCsv& t, const MappaturaCsv& m,
                                                    const std::string& nomeFile) {
    auto errore = [&](std::string testo) {
        return ErroreEstratto{"Il file \"" + nomeFile +
                              "\" non può essere importato: " + std::move(testo)};
    };
    if (t.troppeColonne)
        return errore("ha righe di oltre " + std::to_string(kMassimoColonne) +
                      " colonne, non è un estratto conto.");
    if (m.colData < 0 || (m.colImporto < 0 && m.colDare < 0 && m.colAvere < 0))
        return ErroreEstratto{"Il file \"" + nomeFile + "\" non può ancora essere importato. " +
                              ColonneMancanti(m)};
    Estratto e;
    e.nomeFile = nomeFile;
    e.chiaveBanca = FirmaIntestazione(t, m);
    std::optional<core::Money> saldoSenzaData;  // a closing balance that names no day
    for (std::size_t r = m.rigaIntestazione + 1; r < t.record.size(); ++r) {
        const auto& rec = t.record[r];
        const int linea = t.linee[r];
        std::string_view testoData = SenzaSpazi(Cella(rec, m.colData));
        if (testoData.empty()) testoData = SenzaSpazi(Cella(rec, m.colDataRiserva));
        std::optional<core::Money> importo;
        std::string_view testoImporto;
        bool conImporto = false;
        for (int c : {m.colImporto, m.colDare, m.colAvere}) {
            const std::string_view v = SenzaSpazi(Cella(rec, c));
            if (c < 0 || v.empty()) continue;
            conImporto = true;
            testoImporto = v;
            auto valore = LeggiImportoBanca(v, m.decimale);
            if (!valore) break;
            // Debits are written with or without their minus sign.
            if (c == m.colDare && !valore->isNegative()) valore = valore->negated();
            importo = importo ? importo->plus(*valore) : valore;
            if (!importo) break;
        }
        // A balance or total line, whichever cell names it.
        RigaSaldo saldo = RigaSaldo::No;
        std::string_view testoSaldo;
        for (const int c : {m.colDescrizione, m.colData, m.colTipo, m.colRiferimento, 0}) {
            if (c < 0) continue;
            saldo = TipoRigaSaldo(Cella(rec, c));
            testoSaldo = Cella(rec, c);
            if (saldo != RigaSaldo::No) break;
        }
        if (saldo != RigaSaldo::No) {
            if (saldo == RigaSaldo::Finale && importo) {
                auto quando = LeggiDataBanca(testoData, m.formatoData);
                if (!quando) quando = DataNelTesto(testoSaldo, m.formatoData);
                if (!quando)
                    saldoSenzaData = importo;
                else if (!e.saldoFinale || e.saldoFinale->data <= *quando)
                    e.saldoFinale = SaldoDichiarato{*quando, *importo};
            }
            continue;
        }
        const auto data = LeggiDataBanca(testoData, m.formatoData);
        const bool pareData = testoData.find_first_of("0123456789") != std::string_view::npos;
        if (!data && !pareData) {
            // A title or an empty line; an amount without a date is told, not dropped.
            if (conImporto)
                e.avvisi.push_back("Riga " + std::to_string(linea) + ": l'importo \"" +
                                   std::string(testoImporto) +
                                   "\" non ha una data e non è stato importato.");
            continue;
        }
        if (!data)
            return errore("alla riga " + std::to_string(linea) + " la data \"" +
                          std::string(testoData) + "\" non è valida.");
        if (!conImporto) continue;
        if (!importo)
            return errore("alla riga " + std::to_string(linea) + " l'importo \"" +
                          std::string(testoImporto) + "\" non è valido.");
        Transazione tr;
        tr.data = *data;
        tr.importo = *importo;
        tr.linea = linea;
        tr.descrizione = std::string(SenzaSpazi(Cella(rec, m.colDescrizione)));
        if (m.colRiferimento >= 0)
            tr.riferimento = std::string(SenzaSpazi(Cella(rec, m.colRiferimento)));
        if (m.colTipo >= 0) {
            tr.tipo = TipoDaNome(Cella(rec, m.colTipo));
            // A bank's own "Causale" text still tells the type guess something.
            if (!tr.tipo) {
                const std::string_view causale = SenzaSpazi(Cella(rec, m.colTipo));
                if (!causale.empty()) tr.descrizione = std::string(causale) + " " + tr.descrizione;
            }
        }
        if (m.colValuta >= 0) {
            const std::string v = Normalizza(Cella(rec, m.colValuta));
            // "£" is the pound of a British export far more often than an old lira sign.
            if (v == "itl" || v == "lire" || v == "lit") {
                tr.valuta = Valuta::Lire;
            } else if (!v.empty() && v != "eur" && v != "euro" && v != "\xE2\x82\xAC") {
                tr.valutaEstera = std::string(SenzaSpazi(Cella(rec, m.colValuta)));
                for (char& c : tr.valutaEstera)
                    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            }
        }
        if (m.colStato >= 0) tr.contabilizzata = !NonContabilizzato(Cella(rec, m.colStato));
        e.transazioni.push_back(std::move(tr));
    }
    // Undated, it is the balance after the statement's last day.
    if (saldoSenzaData && !e.saldoFinale && !e.transazioni.empty()) {
        core::Data ultima = e.transazioni.front().data;
        for (const auto& tr : e.transazioni) ultima = std::max(ultima, tr.data);
        e.saldoFinale = SaldoDichiarato{ultima, *saldoSenzaData};
    }
    return e;
}

}  // namespace estratti
