#include "estratti/apertura.h"

#include <sstream>

#include "estratti/lettore_excel.h"
#include "estratti/lettore_ofx.h"

namespace estratti {

namespace {

// One line per bank: the key, then the mapping's fields, tab-separated.
std::string Riga(const std::string& banca, const MappaturaCsv& m) {
    std::ostringstream s;
    s << banca << '\t' << static_cast<int>(m.separatore) << '\t' << m.rigaIntestazione << '\t'
      << m.colData << '\t' << m.colDescrizione << '\t' << m.colRiferimento << '\t' << m.colTipo
      << '\t' << m.colImporto << '\t' << m.colDare << '\t' << m.colAvere << '\t' << m.colValuta
      << '\t' << static_cast<int>(m.decimale) << '\t'
      << (m.formatoData == FormatoData::AnnoMeseGiorno ? 1 : 0) << '\n';
    return s.str();
}

}  // namespace

void MemoriaMappature::Carica() {
    mappature_.clear();
    std::string testo;
    if (!fs_.esiste(file_) || fs_.leggi(file_, testo)) return;
    std::istringstream righe(testo);
    std::string riga;
    while (std::getline(righe, riga)) {
        const auto tab = riga.find('\t');
        if (tab == std::string::npos) continue;
        std::istringstream campi(riga.substr(tab + 1));
        int v[12];
        bool ok = true;
        for (int& x : v) ok = ok && static_cast<bool>(campi >> x);
        if (!ok || (v[0] != ';' && v[0] != ',' && v[0] != '\t' && v[0] != '|') ||
            (v[10] != ',' && v[10] != '.'))
            continue;
        MappaturaCsv m;
        m.separatore = static_cast<char>(v[0]);
        m.rigaIntestazione = v[1];
        m.colData = v[2];
        m.colDescrizione = v[3];
        m.colRiferimento = v[4];
        m.colTipo = v[5];
        m.colImporto = v[6];
        m.colDare = v[7];
        m.colAvere = v[8];
        m.colValuta = v[9];
        m.decimale = static_cast<char>(v[10]);
        m.formatoData = v[11] ? FormatoData::AnnoMeseGiorno : FormatoData::GiornoMeseAnno;
        mappature_[riga.substr(0, tab)] = m;
    }
}

const MappaturaCsv* MemoriaMappature::Trova(const std::string& banca) const {
    const auto it = mappature_.find(banca);
    return it == mappature_.end() ? nullptr : &it->second;
}

core::EsitoFile MemoriaMappature::Ricorda(const std::string& bancaGrezza, const MappaturaCsv& m) {
    std::string banca = bancaGrezza;
    for (char& c : banca)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    mappature_[banca] = m;
    std::string testo;
    for (const auto& [b, mappa] : mappature_) testo += Riga(b, mappa);
    std::filesystem::path provvisorio = file_;
    provvisorio += ".tmp";
    if (auto e = fs_.scrivi(provvisorio, testo)) return e;
    if (auto e = fs_.rinomina(provvisorio, file_)) return e;
    return fs_.sincronizzaCartella(file_.has_parent_path() ? file_.parent_path() : ".");
}

std::variant<FileEstratto, ErroreEstratto> ApriEstratto(core::FileSystem& fs,
                                                        const std::filesystem::path& percorso,
                                                        const MemoriaMappature* memoria) {
    FileEstratto f;
    f.percorso = percorso;
    f.nome = percorso.filename().string();
    std::string byte;
    if (auto e = fs.leggi(percorso, byte))
        return ErroreEstratto{"Impossibile leggere il file \"" + f.nome + "\": " + e->motivo};
    if (byte.empty())
        return ErroreEstratto{"Il file \"" + f.nome + "\" non può essere importato: è vuoto."};
    if (SembraOfx(byte)) {
        f.ofx = true;
        return f;
    }
    if (RiconosciExcel(byte) != FormatoExcel::Nessuno) {
        auto foglio = LeggiFoglioExcel(byte, percorso, f.nome);
        if (auto* e = std::get_if<ErroreEstratto>(&foglio)) return std::move(*e);
        f.excel = true;
        f.foglio = std::get<TabellaCsv>(std::move(foglio));
        f.testo = TestoCsv(f.foglio);  // the same records, for windows that split the text
        f.mappatura = RilevaColonne(f.foglio, ';');
        f.banca = "excel" + FirmaIntestazione(f.foglio, f.mappatura).substr(3);
    } else {
        f.testo = TestoUtf8(byte);
        f.mappatura = RilevaMappatura(f.testo);
        f.banca = FirmaIntestazione(SeparaCsv(f.testo, f.mappatura.separatore), f.mappatura);
    }
    if (memoria) {
        if (const MappaturaCsv* m = memoria->Trova(f.banca)) {
            f.mappatura = *m;
            f.mappaturaRicordata = true;
        }
    }
    return f;
}

std::variant<Estratto, ErroreEstratto> LeggiEstratto(const FileEstratto& f) {
    if (f.ofx) {
        auto e = LeggiOfx(f.percorso);
        if (auto* estratto = std::get_if<Estratto>(&e)) estratto->nomeFile = f.nome;
        return e;
    }
    auto e = f.excel ? LeggiTabella(f.foglio, f.mappatura, f.nome)
                     : LeggiCsv(f.testo, f.mappatura, f.nome);
    if (auto* estratto = std::get_if<Estratto>(&e)) estratto->chiaveBanca = f.banca;
    return e;
}

TabellaCsv CelleEstratto(const FileEstratto& f) {
    return f.excel ? f.foglio : SeparaCsv(f.testo, f.mappatura.separatore);
}

}  // namespace estratti
