#include "estratti/lettore_csv.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <map>

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
    raccolta->record.emplace_back(static_cast<const char*>(dati), lunghezza);
}

void RecordFinito(int, void* r) {
    auto* raccolta = static_cast<Raccolta*>(r);
    if (raccolta->record.empty()) raccolta->lineaInizio = raccolta->linea;
    raccolta->tabella->record.push_back(std::move(raccolta->record));
    raccolta->tabella->linee.push_back(raccolta->lineaInizio);
    raccolta->record.clear();
}

bool ContieneUno(const std::string& h, std::initializer_list<std::string_view> parole) {
    return std::any_of(parole.begin(), parole.end(),
                       [&](std::string_view p) { return h.find(p) != std::string::npos; });
}

bool IniziaConUno(const std::string& h, std::initializer_list<std::string_view> parole) {
    return std::any_of(parole.begin(), parole.end(),
                       [&](std::string_view p) { return h.starts_with(p); });
}

bool ColonnaData(const std::string& h) {
    return h.starts_with("data") || h == "date" || h == "giorno";
}
bool ColonnaDare(const std::string& h) {
    return IniziaConUno(h, {"dare", "uscit", "addebit", "debit"});
}
bool ColonnaAvere(const std::string& h) {
    return IniziaConUno(h, {"avere", "entrat", "accredit", "credit"});
}
bool ColonnaImporto(const std::string& h) {
    return ContieneUno(h, {"importo", "amount"}) || h == "valore" || h == "movimento";
}

bool Intestazione(const std::vector<std::string>& record) {
    bool data = false, importo = false;
    for (const auto& cella : record) {
        const std::string h = Normalizza(cella);
        data = data || ColonnaData(h);
        importo = importo || ColonnaImporto(h) || ColonnaDare(h) || ColonnaAvere(h);
    }
    return data && importo;
}

void ColonneDaIntestazione(const std::vector<std::string>& record, MappaturaCsv& m) {
    int dataValuta = -1, causale = -1, operazione = -1;
    for (int c = 0; c < static_cast<int>(record.size()); ++c) {
        const std::string h = Normalizza(record[c]);
        if (ColonnaData(h)) {
            // The value date is the bank's, the booking date the account's.
            if (h.find("valuta") != std::string::npos) {
                if (dataValuta < 0) dataValuta = c;
            } else if (m.colData < 0) {
                m.colData = c;
            }
        } else if (ColonnaImporto(h)) {
            if (m.colImporto < 0) m.colImporto = c;
        } else if (ColonnaDare(h)) {
            if (m.colDare < 0) m.colDare = c;
        } else if (ColonnaAvere(h)) {
            if (m.colAvere < 0) m.colAvere = c;
        } else if (ContieneUno(h, {"descrizione", "dettagli", "description", "memo"})) {
            if (m.colDescrizione < 0) m.colDescrizione = c;
        } else if (h.starts_with("causale")) {
            if (causale < 0) causale = c;
        } else if (h.starts_with("riferiment")) {
            if (m.colRiferimento < 0) m.colRiferimento = c;
        } else if (h.starts_with("operazione") || h == "beneficiario") {
            if (operazione < 0) operazione = c;
        } else if (h == "valuta" || h == "divisa" || h == "currency") {
            if (m.colValuta < 0) m.colValuta = c;
        }
    }
    if (m.colData < 0) m.colData = dataValuta;
    if (m.colDescrizione < 0) m.colDescrizione = operazione;
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

FormatoData RilevaFormatoData(const TabellaCsv& t, const MappaturaCsv& m) {
    for (std::size_t r = m.rigaIntestazione + 1; r < t.record.size(); ++r) {
        const std::string_view v = SenzaSpazi(Cella(t.record[r], m.colData));
        if (v.empty()) continue;
        if (LeggiDataBanca(v, FormatoData::AnnoMeseGiorno)) return FormatoData::AnnoMeseGiorno;
        if (LeggiDataBanca(v, FormatoData::GiornoMeseAnno)) return FormatoData::GiornoMeseAnno;
    }
    return FormatoData::GiornoMeseAnno;
}

// A file with no header: the first record with a date and an amount shows the columns.
void ColonneSenzaIntestazione(const TabellaCsv& t, MappaturaCsv& m) {
    for (std::size_t r = 0; r < t.record.size() && r < 50; ++r) {
        const auto& rec = t.record[r];
        int data = -1, importo = -1, descrizione = -1;
        std::size_t lunghezza = 0;
        for (int c = 0; c < static_cast<int>(rec.size()); ++c) {
            const std::string_view v = SenzaSpazi(rec[c]);
            if (v.empty()) continue;
            if (data < 0 && (LeggiDataBanca(v, FormatoData::GiornoMeseAnno) ||
                             LeggiDataBanca(v, FormatoData::AnnoMeseGiorno))) {
                data = c;
            } else if (importo < 0 && v.find_first_of(",.") != std::string_view::npos &&
                       LeggiImportoBanca(v, ',')) {
                importo = c;
            } else if (!LeggiImportoBanca(v, ',') && v.size() > lunghezza) {
                lunghezza = v.size();
                descrizione = c;
            }
        }
        if (data >= 0 && importo >= 0) {
            m.rigaIntestazione = static_cast<int>(r) - 1;
            m.colData = data;
            m.colImporto = importo;
            m.colDescrizione = descrizione;
            return;
        }
    }
}

const core::TipoMovimento* TipoDaNome(std::string_view nome) {
    nome = SenzaSpazi(nome);
    if (nome.empty()) return nullptr;
    for (const auto& t : core::TipiMovimento())
        if (nome == t.caption || nome == t.CausaleLire || nome == t.CausaleEuro) return &t;
    return nullptr;
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
            ColonneDaIntestazione(t.record[r], m);
            break;
        }
    }
    if (m.rigaIntestazione < 0) ColonneSenzaIntestazione(t, m);
    if (m.colData >= 0) m.formatoData = RilevaFormatoData(t, m);
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
    std::string mancanti;
    auto manca = [&](const char* nome) {
        mancanti += (mancanti.empty() ? "" : ", ") + std::string(nome);
    };
    if (m.colData < 0) manca("la data");
    if (m.colImporto < 0 && m.colDare < 0 && m.colAvere < 0) manca("l'importo");
    if (m.colDescrizione < 0) manca("la descrizione");
    if (mancanti.empty()) return mancanti;
    return "Non è stata riconosciuta la colonna con " + mancanti +
           ": la scelga nelle caselle qui sopra.";
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
    if (m.colData < 0 || (m.colImporto < 0 && m.colDare < 0 && m.colAvere < 0))
        return errore(
            "non è stata trovata la tabella dei movimenti (servono almeno una colonna con la "
            "data e una con l'importo).");
    Estratto e;
    e.nomeFile = nomeFile;
    e.chiaveBanca = FirmaIntestazione(t, m);
    for (std::size_t r = m.rigaIntestazione + 1; r < t.record.size(); ++r) {
        const auto& rec = t.record[r];
        const int linea = t.linee[r];
        const std::string_view testoData = SenzaSpazi(Cella(rec, m.colData));
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
        const auto data = LeggiDataBanca(testoData, m.formatoData);
        // Title, total and closing-balance lines carry no date and are not movements.
        const bool pareData = testoData.find_first_of("0123456789") != std::string_view::npos;
        if (!data && (!pareData || !conImporto)) continue;
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
            if (v == "itl" || v == "lire" || v == "lit") tr.valuta = Valuta::Lire;
        }
        e.transazioni.push_back(std::move(tr));
    }
    return e;
}

}  // namespace estratti
