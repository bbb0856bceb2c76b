#include "core/data_files.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>
#include <utility>

#include "core/amounts.h"
#include "core/cp1252.h"
#include "core/memoria.h"
#include "core/record.h"
#include "core/scrambler.h"

namespace core {

namespace fs = std::filesystem;

namespace {

// A save writes "<file>.nuovo" beside each file, then switches them in. For the register
// (five files that must change together) the switch is guarded by a marker: while
// ".salvataggio" exists the new set is decided and an interruption is finished forward;
// ".annullamento" means a failed switch being undone. Each replaced file is kept as
// "<file>.vecchio" until the switch is complete, so a failure half-way can be undone.
constexpr std::string_view kNuovo = ".nuovo";
constexpr std::string_view kVecchio = ".vecchio";
constexpr std::string_view kMarcatore = ".salvataggio";
constexpr std::string_view kAnnullamento = ".annullamento";

struct FileNuovo {
    std::string nome;
    std::string contenuto;
};

struct Voce {
    std::string nome;
    bool esisteva = true;
};

fs::path ConSuffisso(fs::path p, std::string_view suffisso) {
    p += suffisso;
    return p;
}

std::vector<std::string> NomiDatiProgramma() {
    std::vector<std::string> nomi;
    for (int k = 1; k <= 5; ++k) nomi.push_back(NomeFileRegistro(k));
    nomi.emplace_back(kFileParametri);
    nomi.emplace_back(kFileConto);
    return nomi;
}

bool NomeAmmesso(std::string_view nome) {
    const auto nomi = NomiDatiProgramma();
    return std::find(nomi.begin(), nomi.end(), nome) != nomi.end();
}

EsitoFile EliminaSeEsiste(FileSystem& fsys, const fs::path& p) {
    if (!fsys.esiste(p)) return std::nullopt;
    return fsys.elimina(p);
}

// The marker lists each file of the set and whether it existed before the save.
std::string TestoMarcatore(const std::vector<Voce>& voci) {
    std::string testo;
    for (const auto& v : voci) testo += ScriviRecord({v.nome, v.esisteva ? "1" : "0"});
    return testo;
}

std::optional<std::vector<Voce>> LeggiMarcatore(const FileSystem& fsys, const fs::path& p) {
    std::string testo;
    if (fsys.leggi(p, testo)) return std::nullopt;
    LettoreRecord lettore(testo);
    std::vector<Voce> voci;
    while (!lettore.fine()) {
        const auto nome = lettore.leggi();
        const auto flag = lettore.leggi();
        if (!nome || !flag || !NomeAmmesso(*nome) || (*flag != "0" && *flag != "1")) {
            return std::nullopt;
        }
        voci.push_back({std::string(*nome), *flag == "1"});
    }
    return voci;
}

// Brings in every new file still waiting, then drops the replaced ones and the marker.
EsitoFile Completa(FileSystem& fsys, const fs::path& dir, const std::vector<Voce>& voci,
                   const fs::path& marcatore) {
    for (const auto& v : voci) {
        const auto nuovo = ConSuffisso(dir / v.nome, kNuovo);
        if (fsys.esiste(nuovo)) {
            if (auto e = fsys.rinomina(nuovo, dir / v.nome)) return e;
        }
    }
    if (auto e = fsys.sincronizzaCartella(dir)) return e;
    for (const auto& v : voci) {
        if (auto e = EliminaSeEsiste(fsys, ConSuffisso(dir / v.nome, kVecchio))) return e;
    }
    return fsys.elimina(marcatore);
}

// Puts every replaced file back and removes the files that did not exist before.
EsitoFile Annulla(FileSystem& fsys, const fs::path& dir, const std::vector<Voce>& voci,
                  const fs::path& marcatore) {
    for (const auto& v : voci) {
        const auto file = dir / v.nome;
        const auto vecchio = ConSuffisso(file, kVecchio);
        const auto nuovo = ConSuffisso(file, kNuovo);
        if (fsys.esiste(vecchio)) {
            if (auto e = fsys.rinomina(vecchio, file)) return e;
        } else if (!v.esisteva && !fsys.esiste(nuovo)) {
            // The new file had already taken the place of a missing one.
            if (auto e = fsys.elimina(file)) return e;
        }
    }
    if (auto e = fsys.sincronizzaCartella(dir)) return e;
    for (const auto& v : voci) {
        if (auto e = EliminaSeEsiste(fsys, ConSuffisso(dir / v.nome, kNuovo))) return e;
    }
    return fsys.elimina(marcatore);
}

EsitoFile RecuperaCartella(FileSystem& fsys, const fs::path& dir,
                           const std::vector<std::string>& nomi) {
    const auto marcatore = dir / kMarcatore;
    const auto annullamento = dir / kAnnullamento;
    std::vector<Voce> tutti;
    for (const auto& n : nomi) tutti.push_back({n, true});

    if (fsys.esiste(marcatore)) {
        // An unreadable list still lets every waiting file in: all of them were complete
        // before the marker was written.
        const auto voci = LeggiMarcatore(fsys, marcatore).value_or(tutti);
        if (auto e = Completa(fsys, dir, voci, marcatore)) return e;
    } else if (fsys.esiste(annullamento)) {
        const auto voci = LeggiMarcatore(fsys, annullamento).value_or(tutti);
        if (auto e = Annulla(fsys, dir, voci, annullamento)) return e;
    }
    // Whatever is left belongs to a save that never reached its switch.
    for (const auto& n : nomi) {
        if (auto e = EliminaSeEsiste(fsys, ConSuffisso(dir / n, kNuovo))) return e;
        if (auto e = EliminaSeEsiste(fsys, ConSuffisso(dir / n, kVecchio))) return e;
    }
    return EliminaSeEsiste(fsys, ConSuffisso(marcatore, kNuovo));
}

EsitoFile EliminaNuovi(FileSystem& fsys, const fs::path& dir, const std::vector<FileNuovo>& file) {
    EsitoFile primo;
    for (const auto& f : file) {
        auto e = EliminaSeEsiste(fsys, ConSuffisso(dir / f.nome, kNuovo));
        if (e && !primo) primo = std::move(e);
    }
    return primo;
}

// An error on a working file is reported on the data file it stands for.
ErroreFile Su(const fs::path& file, ErroreFile errore) {
    errore.file = file;
    return errore;
}

EsitoFile SalvaInsieme(FileSystem& fsys, const fs::path& dir, const std::vector<FileNuovo>& file) {
    for (const auto& f : file) {
        if (auto e = fsys.scrivi(ConSuffisso(dir / f.nome, kNuovo), f.contenuto)) {
            (void)EliminaNuovi(fsys, dir, file);
            return Su(dir / f.nome, *e);
        }
    }

    if (file.size() == 1) {
        const auto destinazione = dir / file.front().nome;
        if (auto e = fsys.rinomina(ConSuffisso(destinazione, kNuovo), destinazione)) {
            (void)EliminaNuovi(fsys, dir, file);
            return Su(destinazione, *e);
        }
        // The new file is in place; a directory that cannot be synced changes nothing
        // the user could act on.
        (void)fsys.sincronizzaCartella(dir);
        return std::nullopt;
    }

    const auto primo = dir / file.front().nome;
    std::vector<Voce> voci;
    for (const auto& f : file) voci.push_back({f.nome, fsys.esiste(dir / f.nome)});
    const auto marcatore = dir / kMarcatore;
    const auto marcatoreNuovo = ConSuffisso(marcatore, kNuovo);
    // The new files must be on the disk, names included, before the marker can say so.
    EsitoFile e = fsys.sincronizzaCartella(dir);
    if (!e) e = fsys.scrivi(marcatoreNuovo, TestoMarcatore(voci));
    if (!e) e = fsys.rinomina(marcatoreNuovo, marcatore);
    if (!e) e = fsys.sincronizzaCartella(dir);
    if (e) {
        (void)EliminaSeEsiste(fsys, marcatore);
        (void)EliminaSeEsiste(fsys, marcatoreNuovo);
        (void)EliminaNuovi(fsys, dir, file);
        return Su(primo, *e);
    }

    for (const auto& v : voci) {
        const auto destinazione = dir / v.nome;
        EsitoFile errore;
        if (v.esisteva) errore = fsys.rinomina(destinazione, ConSuffisso(destinazione, kVecchio));
        if (!errore) errore = fsys.rinomina(ConSuffisso(destinazione, kNuovo), destinazione);
        if (errore) {
            // Undo under the other marker, so that an interruption now is undone as well.
            if (!fsys.rinomina(marcatore, dir / kAnnullamento)) {
                (void)Annulla(fsys, dir, voci, dir / kAnnullamento);
            }
            return Su(destinazione, *errore);
        }
    }
    // From here the new set is in place; what is left over is tidied now or at the next start.
    (void)Completa(fsys, dir, voci, marcatore);
    (void)fsys.sincronizzaCartella(dir);
    return std::nullopt;
}

// The contents of the five register files for `righe` rows whose texts `cella(r, k)`
// gives, built without a heap text per cell.
template <class Cella>
EsitoFile ContenutiRegistro(std::size_t righe, const Cella& cella, const fs::path& dir,
                            std::vector<FileNuovo>& file) {
    file.assign(5, {});
    for (std::size_t k = 0; k < 5; ++k) {
        file[k].nome = NomeFileRegistro(static_cast<int>(k) + 1);
        // Windows-1252 is never longer than UTF-8, so this is all the room a file needs.
        std::size_t dimensione = 0;
        for (std::size_t r = 0; r < righe; ++r) dimensione += cella(r, k).size() + 4;
        file[k].contenuto.reserve(dimensione);
        PagineGrandi(file[k].contenuto);
    }
    std::string byte;  // the plain bytes of an amount, before scrambling
    for (std::size_t r = 0; r < righe; ++r) {
        for (std::size_t k = 0; k < 5; ++k) {
            std::string& contenuto = file[k].contenuto;
            contenuto += '"';
            const std::size_t inizio = contenuto.size();
            bool memorizzabile;
            if (k < 3) {
                memorizzabile = AggiungiUtf8InCp1252(contenuto, cella(r, k));
            } else {
                byte.clear();
                memorizzabile =
                    AggiungiUtf8InCp1252(byte, cella(r, k)) && AggiungiCodificato(contenuto, byte);
            }
            if (!memorizzabile ||
                std::string_view(contenuto).substr(inizio).find('"') != std::string_view::npos) {
                return ErroreFile{dir / file[k].nome,
                                  "la riga " + std::to_string(r + 1) +
                                      " contiene un testo non memorizzabile (virgolette o "
                                      "carattere non ammesso)"};
            }
            contenuto += "\"\r\n";
        }
    }
    return std::nullopt;
}

std::string InUtf8(std::string&& byte) {
    const bool ascii = std::all_of(byte.begin(), byte.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? std::move(byte) : Cp1252InUtf8(byte);
}

// A text ready for the file: Windows-1252, scrambled when asked, free of double quotes.
std::optional<std::string> PerIlFile(std::string_view testo, bool codifica) {
    auto byte = Utf8InCp1252(testo);
    if (!byte) return std::nullopt;
    if (codifica) {
        byte = Codifica(*byte);
        if (!byte) return std::nullopt;
    }
    if (byte->find('"') != std::string::npos) return std::nullopt;
    return byte;
}

std::optional<std::string> DaFile(std::string_view voce, bool decodifica) {
    if (!decodifica) return Cp1252InUtf8(voce);
    auto chiaro = Decodifica(voce);
    if (!chiaro) return std::nullopt;
    return InUtf8(std::move(*chiaro));
}

int LeggiDenaroCodificato(std::string_view voce, Money& valore) {
    const auto chiaro = DaFile(voce, true);
    if (!chiaro) return kErroreFuoriIntervallo;
    const auto lettura = LeggiDenaro(*chiaro);
    if (lettura.errore != 0) return lettura.errore;
    if (!lettura.valore) return kErroreTipo;
    valore = *lettura.valore;
    return 0;
}

}  // namespace

std::string NomeFileRegistro(int k) {
    return "listcol" + std::to_string(k) + ".txt";
}

std::string DirSistema(const fs::path& cartellaConfigurazione) {
    std::string dir = cartellaConfigurazione.string();
    if (dir.empty()) dir = ".";
    if (dir.back() != '/') dir += '/';
    return dir;
}

bool TestoMemorizzabile(std::string_view testo) {
    return testo.find('"') == std::string_view::npos && RappresentabileCp1252(testo);
}

bool PasswordMemorizzabile(std::string_view password) {
    return PerIlFile(password, true).has_value();
}

FileDati::FileDati(FileSystem& fs, fs::path dirProgramma, fs::path dirSistema)
    : fs_(fs), dirProgramma_(std::move(dirProgramma)), dirSistema_(std::move(dirSistema)) {}

fs::path FileDati::percorso(std::string_view nome) const {
    return dirProgramma_ / nome;
}
fs::path FileDati::percorsoPassword() const {
    return dirSistema_ / kFilePassword;
}

bool FileDati::esisteConto() const {
    return fs_.esiste(percorso(kFileConto));
}
bool FileDati::esisteParametri() const {
    return fs_.esiste(percorso(kFileParametri));
}
bool FileDati::esisteRegistro() const {
    return fs_.esiste(percorso(NomeFileRegistro(1)));
}
bool FileDati::esistePassword() const {
    return fs_.esiste(percorsoPassword());
}

EsitoFile FileDati::Recupera() {
    if (auto e = RecuperaCartella(fs_, dirProgramma_, NomiDatiProgramma())) return e;
    return EliminaSeEsiste(fs_, ConSuffisso(percorsoPassword(), kNuovo));
}

EsitoFile FileDati::SalvaRegistroCompatto(const Registro& registro) {
    if (auto e = Recupera()) return e;
    CopiaPrimaDelPrimoSalvataggio();
    std::vector<FileNuovo> file;
    const auto cella = [&](std::size_t r, std::size_t k) { return registro.cella(r, k); };
    if (auto e = ContenutiRegistro(registro.size(), cella, dirProgramma_, file)) return e;
    return SalvaInsieme(fs_, dirProgramma_, file);
}

EsitoFile FileDati::SalvaRegistro(std::span<const RigaRegistro> righe) {
    if (auto e = Recupera()) return e;
    CopiaPrimaDelPrimoSalvataggio();
    std::vector<FileNuovo> file;
    const auto cella = [&](std::size_t r, std::size_t k) { return std::string_view(righe[r][k]); };
    if (auto e = ContenutiRegistro(righe.size(), cella, dirProgramma_, file)) return e;
    return SalvaInsieme(fs_, dirProgramma_, file);
}

// The one line of para.txt; nullopt when a value cannot be stored.
std::optional<std::string> ContenutoParametri(const Parametri& parametri) {
    const auto modo = PerIlFile(parametri.ModoValuta, false);
    const auto saldo = PerIlFile(TestoDenaro(parametri.SaldoConto), true);
    const auto fido = PerIlFile(TestoDenaro(parametri.FidoConto), true);
    if (!modo || !saldo || !fido) return std::nullopt;
    return ScriviRecord({*modo, *saldo, *fido});
}

EsitoFile FileDati::SalvaParametri(const Parametri& parametri) {
    if (auto e = Recupera()) return e;
    CopiaPrimaDelPrimoSalvataggio();
    const auto contenuto = ContenutoParametri(parametri);
    if (!contenuto) return ErroreFile{percorso(kFileParametri), "valore non memorizzabile"};
    return SalvaInsieme(fs_, dirProgramma_, {{kFileParametri, *contenuto}});
}

EsitoFile FileDati::SalvaRegistroEParametri(const Registro& registro, const Parametri& parametri) {
    if (auto e = Recupera()) return e;
    CopiaPrimaDelPrimoSalvataggio();
    std::vector<FileNuovo> file;
    const auto cella = [&](std::size_t r, std::size_t k) { return registro.cella(r, k); };
    if (auto e = ContenutiRegistro(registro.size(), cella, dirProgramma_, file)) return e;
    auto contenuto = ContenutoParametri(parametri);
    if (!contenuto) return ErroreFile{percorso(kFileParametri), "valore non memorizzabile"};
    file.push_back({kFileParametri, std::move(*contenuto)});
    return SalvaInsieme(fs_, dirProgramma_, file);
}

EsitoFile FileDati::SalvaConto(std::string_view numero, std::string_view banca) {
    if (auto e = Recupera()) return e;
    CopiaPrimaDelPrimoSalvataggio();
    const auto n = PerIlFile(numero, false);
    const auto b = PerIlFile(banca, false);
    if (!n || !b) {
        return ErroreFile{percorso(kFileConto),
                          "il testo contiene virgolette o un carattere non ammesso"};
    }
    return SalvaInsieme(fs_, dirProgramma_, {{kFileConto, ScriviRecord({*n, *b})}});
}

EsitoFile FileDati::SalvaPassword(std::string_view passwordChiara) {
    if (auto e = Recupera()) return e;
    CopiaPrimaDelPrimoSalvataggio();
    const auto codificata = PerIlFile(passwordChiara, true);
    if (!codificata) {
        return ErroreFile{percorsoPassword(),
                          "la password contiene un carattere non ammesso in quella posizione"};
    }
    if (auto e = fs_.creaCartella(dirSistema_)) return e;
    return SalvaInsieme(fs_, dirSistema_, {{kFilePassword, ScriviRecord({*codificata})}});
}

EsitoFile FileDati::EliminaPassword() {
    if (auto e = fs_.elimina(percorsoPassword())) return e;
    return EliminaSeEsiste(fs_, ConSuffisso(percorsoPassword(), kNuovo));
}

EsitoFile FileDati::EliminaDati() {
    if (!esisteRegistro()) return std::nullopt;
    // The reset moves the data set into the backups rather than losing it: nothing is
    // deleted unless the copy is whole.
    if (marcaTempo_) {
        if (auto e = CopiaInSicurezza()) return e;
    }
    // listcol1.txt goes first: if it cannot be deleted nothing else is, and once it is
    // gone the others no longer form a register, so the reset carries on past a failure.
    if (auto e = fs_.elimina(percorso(NomeFileRegistro(1)))) return e;
    EsitoFile primo;
    auto elimina = [&](const fs::path& p) {
        auto e = EliminaSeEsiste(fs_, p);
        if (e && !primo) primo = std::move(e);
    };
    for (int k = 2; k <= 5; ++k) elimina(percorso(NomeFileRegistro(k)));
    elimina(percorso(kFileParametri));
    elimina(percorso(kFileConto));
    elimina(percorsoPassword());
    return primo;
}

int FileDati::LeggiParametri(Parametri& parametri) const {
    const auto p = percorso(kFileParametri);
    if (!fs_.esiste(p)) return 0;
    std::string testo;
    if (fs_.leggi(p, testo)) return kErroreAccessoFile;
    LettoreRecord lettore(testo);
    const auto modo = lettore.leggi();
    const auto saldo = lettore.leggi();
    const auto fido = lettore.leggi();
    if (!modo || !saldo || !fido) return kErroreFineFile;
    Parametri letti;
    letti.ModoValuta = Cp1252InUtf8(*modo);
    if (const int e = LeggiDenaroCodificato(*saldo, letti.SaldoConto)) return e;
    if (const int e = LeggiDenaroCodificato(*fido, letti.FidoConto)) return e;
    parametri = std::move(letti);
    return 0;
}

int FileDati::LeggiRegistro(Registro& registro) const {
    registro.clear();
    if (!esisteRegistro()) return 0;
    std::array<std::string, 5> testi;
    std::size_t byte = 0;
    for (int k = 0; k < 5; ++k) {
        const auto p = percorso(NomeFileRegistro(k + 1));
        if (!fs_.esiste(p)) return kErroreFileMancante;
        if (fs_.leggi(p, testi[k])) return kErroreAccessoFile;
        byte += testi[k].size();
    }
    std::vector<LettoreRecord> lettori;
    for (const auto& t : testi) lettori.emplace_back(t);

    Registro registroLetto;
    // The files' size bounds the texts unless many characters widen in UTF-8; room
    // reserved and never written costs no memory.
    registroLetto.reserve(
        static_cast<std::size_t>(std::count(testi[0].begin(), testi[0].end(), '\n')), byte);
    std::string altri;                   // an unscrambled text that is not plain ASCII
    std::array<std::size_t, 5> letti{};  // how far each file has been read
    int errore = 0;
    const auto cella = [&](std::string& destinazione, std::size_t k) {
        const auto voce = lettori[k].leggi();
        if (!voce) {
            errore = kErroreFineFile;
            return false;
        }
        letti[k] = static_cast<std::size_t>(voce->data() - testi[k].data());
        if (k < 3) {
            AggiungiCp1252InUtf8(destinazione, *voce);
            return true;
        }
        // Amounts unscramble to plain ASCII, straight into place; anything else still
        // goes through the code page.
        const std::size_t inizio = destinazione.size();
        if (!AggiungiDecodificato(destinazione, *voce)) {
            errore = kErroreFuoriIntervallo;
            return false;
        }
        const std::string_view chiaro(destinazione.data() + inizio, destinazione.size() - inizio);
        if (std::all_of(chiaro.begin(), chiaro.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            return true;
        altri.assign(chiaro);
        destinazione.resize(inizio);
        AggiungiCp1252InUtf8(destinazione, altri);
        return true;
    };
    // The first file drives the loop; any other running out first, or holding items
    // after it has ended, is a register left by an interrupted save.
    while (!lettori[0].fine()) {
        if (!registroLetto.aggiungiScrivendo(cella)) return errore;
        // The files are read front to back: what lies behind is given back as the
        // register grows, so a large register does not hold its files and itself at once.
        if (registroLetto.size() % 65536 == 0) {
            for (std::size_t k = 0; k < 5; ++k) RilasciaLetto(testi[k].data(), letti[k]);
        }
    }
    for (int k = 1; k < 5; ++k) {
        if (!lettori[k].fine()) return kErroreFineFile;
    }
    registro = std::move(registroLetto);
    return 0;
}

int FileDati::LeggiRegistro(std::vector<RigaRegistro>& righe) const {
    righe.clear();
    Registro registro;
    if (const int errore = LeggiRegistro(registro)) return errore;
    righe.reserve(registro.size());
    for (std::size_t r = 0; r < registro.size(); ++r) righe.push_back(registro.riga(r));
    return 0;
}

int FileDati::LeggiConto(std::string& numero, std::string& banca) const {
    const auto p = percorso(kFileConto);
    if (!fs_.esiste(p)) return kErroreFileMancante;
    std::string testo;
    if (fs_.leggi(p, testo)) return kErroreAccessoFile;
    LettoreRecord lettore(testo);
    const auto n = lettore.leggi();
    const auto b = lettore.leggi();
    if (!n || !b) return kErroreFineFile;
    numero = Cp1252InUtf8(*n);
    banca = Cp1252InUtf8(*b);
    return 0;
}

int FileDati::LeggiPassword(std::string& passwordCodificata) const {
    const auto p = percorsoPassword();
    if (!fs_.esiste(p)) return kErroreFileMancante;
    std::string testo;
    if (fs_.leggi(p, testo)) return kErroreAccessoFile;
    LettoreRecord lettore(testo);
    const auto voce = lettore.leggi();
    if (!voce) return kErroreFineFile;
    passwordCodificata = std::string(*voce);
    return 0;
}

void FileDati::AttivaCopie(std::function<std::string()> marcaTempo) {
    marcaTempo_ = std::move(marcaTempo);
}

fs::path FileDati::cartellaCopie() const {
    return dirProgramma_ / "backup";
}

void FileDati::CopiaPrimaDelPrimoSalvataggio() {
    if (!marcaTempo_ || copiaFatta_) return;
    erroreCopia_ = CopiaInSicurezza();
    // One attempt per run: a backup folder that cannot be written must not hold up saves.
    copiaFatta_ = true;
}

EsitoFile FileDati::CopiaInSicurezza() {
    std::vector<std::pair<fs::path, std::string>> insieme;
    auto prendi = [&](const fs::path& p) -> EsitoFile {
        if (!fs_.esiste(p)) return std::nullopt;
        std::string contenuto;
        if (auto e = fs_.leggi(p, contenuto)) return e;
        insieme.emplace_back(p.filename(), std::move(contenuto));
        return std::nullopt;
    };
    for (const auto& nome : NomiDatiProgramma()) {
        if (auto e = prendi(percorso(nome))) return e;
    }
    if (auto e = prendi(percorsoPassword())) return e;
    if (insieme.empty()) return std::nullopt;

    const fs::path radice = cartellaCopie();
    if (auto e = fs_.creaCartella(radice)) return e;
    fs::path cartella = radice / marcaTempo_();
    for (int n = 2; fs_.esiste(cartella); ++n) {
        cartella = radice / (marcaTempo_() + "-" + std::to_string(n));
    }
    if (auto e = fs_.creaCartella(cartella)) return e;
    for (const auto& [nome, contenuto] : insieme) {
        if (auto e = fs_.scrivi(cartella / nome, contenuto)) {
            // A half-made copy would pass for a backup and push out a whole one.
            std::error_code ec;
            fs::remove_all(cartella, ec);
            return e;
        }
    }
    (void)fs_.sincronizzaCartella(radice);

    // Folder names sort by time; the oldest beyond the kept number go.
    std::vector<fs::path> copie;
    std::error_code ec;
    for (const auto& voce : fs::directory_iterator(radice, ec)) {
        if (voce.is_directory(ec)) copie.push_back(voce.path());
    }
    std::sort(copie.begin(), copie.end());
    for (std::size_t i = 0; i + kCopieConservate < copie.size(); ++i) {
        fs::remove_all(copie[i], ec);
    }
    return std::nullopt;
}

std::string MarcaTempoLocale() {
    const std::time_t adesso =
        std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm locale{};
    localtime_r(&adesso, &locale);
    char testo[32];
    std::strftime(testo, sizeof testo, "%Y%m%d-%H%M%S", &locale);
    return testo;
}

}  // namespace core
