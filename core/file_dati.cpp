#include "core/file_dati.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/codifica.h"
#include "core/cp1252.h"
#include "core/importi.h"
#include "core/memoria.h"
#include "core/record.h"
#include "core/riparazioni.h"
#include "core/salvataggio.h"

namespace core {

namespace fs = std::filesystem;

namespace {

using namespace salvataggio;

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
    return testo.find('"') == std::string_view::npos && !ContieneControlli(testo) &&
           RappresentabileCp1252(testo);
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
    return RecuperaCartella(fs_, cartelle(), NomiInsieme());
}

namespace {

std::pair<std::size_t, std::size_t> Impronta(std::string_view byte) {
    return {byte.size(), std::hash<std::string_view>{}(byte)};
}

}  // namespace

bool FileDati::Invariato(const FileNuovo& f) const {
    const auto p = cartelle().di(f.nome);
    if (f.elimina) return !fs_.esiste(p);
    const auto it = impronte_.find(f.nome);
    return it != impronte_.end() && it->second == Impronta(f.contenuto) &&
           fs_.tipo(p) == TipoVoce::File;
}

EsitoFile FileDati::Salva(FileNuovi file) {
    if (auto e = Recupera()) return e;
    std::erase_if(file, [&](const FileNuovo& f) { return Invariato(f); });
    if (file.empty()) return std::nullopt;
    if (marcaTempo_ && !copiaFatta_) {
        erroreCopia_ = CopiaInSicurezza(file);
        // One attempt per run: a backup folder that cannot be written must not hold up saves.
        copiaFatta_ = true;
    }
    return Scrivi(file);
}

EsitoFile FileDati::Scrivi(const FileNuovi& file) {
    const bool password = std::any_of(file.begin(), file.end(), [](const FileNuovo& f) {
        return !f.elimina && f.nome == kFilePassword;
    });
    if (password) {
        if (auto e = fs_.creaCartella(dirSistema_)) return e;
    }
    if (auto e = SalvaInsieme(fs_, cartelle(), file)) {
        if (e->dati != DatiDopoErrore::CompletatiAlRiavvio) SpezzaCollegamenti();
        // What is on the disk is no longer known for sure: the next save writes these files.
        for (const auto& f : file) impronte_.erase(f.nome);
        return e;
    }
    for (const auto& f : file) {
        if (f.elimina)
            impronte_.erase(f.nome);
        else
            impronte_[f.nome] = Impronta(f.contenuto);
    }
    collegati_.clear();
    return std::nullopt;
}

EsitoFile FileDati::SalvaRegistro(const Registro& registro) {
    std::vector<FileNuovo> file;
    const auto cella = [&](std::size_t r, std::size_t k) { return registro.cella(r, k); };
    if (auto e = ContenutiRegistro(registro.size(), cella, dirProgramma_, file)) return e;
    return Salva(std::move(file));
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
    const auto contenuto = ContenutoParametri(parametri);
    if (!contenuto) return ErroreFile{percorso(kFileParametri), "valore non memorizzabile"};
    return Salva({{kFileParametri, *contenuto}});
}

EsitoFile FileDati::SalvaRegistroEParametri(const Registro& registro, const Parametri& parametri) {
    std::vector<FileNuovo> file;
    const auto cella = [&](std::size_t r, std::size_t k) { return registro.cella(r, k); };
    if (auto e = ContenutiRegistro(registro.size(), cella, dirProgramma_, file)) return e;
    auto contenuto = ContenutoParametri(parametri);
    if (!contenuto) return ErroreFile{percorso(kFileParametri), "valore non memorizzabile"};
    file.push_back({kFileParametri, std::move(*contenuto)});
    return Salva(std::move(file));
}

EsitoFile FileDati::SalvaConto(std::string_view numero, std::string_view banca) {
    const auto n = PerIlFile(numero, false);
    const auto b = PerIlFile(banca, false);
    if (!n || !b) {
        return ErroreFile{percorso(kFileConto),
                          "il testo contiene virgolette o un carattere non ammesso"};
    }
    return Salva({{kFileConto, ScriviRecord({*n, *b})}});
}

EsitoFile FileDati::SalvaPassword(std::string_view passwordChiara) {
    const auto codificata = PerIlFile(passwordChiara, true);
    if (!codificata) {
        return ErroreFile{percorsoPassword(),
                          "la password contiene un carattere non ammesso in quella posizione"};
    }
    return Salva({{kFilePassword, ScriviRecord({*codificata})}});
}

EsitoFile FileDati::EliminaPassword() {
    if (auto e = Recupera()) return e;
    if (auto e = fs_.elimina(percorsoPassword())) return e;
    impronte_.erase(kFilePassword);
    return std::nullopt;
}

EsitoFile FileDati::EliminaDati() {
    if (!esisteRegistro()) return std::nullopt;
    if (auto e = Recupera()) return e;
    FileNuovi file;
    for (const auto& n : NomiInsieme()) file.push_back({n, {}, true});
    // The reset moves the data set into the backups rather than losing it: nothing is
    // removed unless the copy is whole.
    if (marcaTempo_) {
        if (auto e = CopiaInSicurezza(file)) return e;
    }
    return Scrivi(file);
}

int FileDati::Fallisce(int numero, const fs::path& file, std::size_t riga,
                       std::string motivo) const {
    erroreLettura_ = {numero, file, riga, std::move(motivo)};
    return numero;
}

int FileDati::LeggiTesto(const fs::path& p, std::string& testo) const {
    if (auto e = fs_.leggi(p, testo)) return Fallisce(kErroreAccessoFile, p, 0, e->motivo);
    impronte_[p.filename().string()] = Impronta(testo);
    TogliBom(testo);
    return 0;
}

std::string FileDati::TestoRiparato(std::string_view voce, const fs::path& file,
                                    std::size_t riga) const {
    std::string riparato;
    if (!RiparaVoce(voce, riparato)) return Cp1252InUtf8(voce);
    AnnotaRiparazione(riparazioni_, file.filename().string(), riga);
    return Cp1252InUtf8(riparato);
}

void FileDati::DimenticaRiparazioni(std::string_view file) const {
    std::erase_if(riparazioni_, [&](const Riparazione& r) { return r.file == file; });
}

int FileDati::LeggiParametri(Parametri& parametri) const {
    DimenticaRiparazioni(kFileParametri);
    const auto p = percorso(kFileParametri);
    if (!fs_.esiste(p)) return 0;
    std::string testo;
    if (const int e = LeggiTesto(p, testo)) return e;
    LettoreRecord lettore(testo);
    const auto modo = lettore.leggi();
    const auto saldo = lettore.leggi();
    const auto fido = lettore.leggi();
    if (!modo || !saldo || !fido) return Fallisce(kErroreFineFile, p, 1);
    Parametri letti;
    letti.ModoValuta = TestoRiparato(*modo, p, 1);
    if (const int e = LeggiDenaroCodificato(*saldo, letti.SaldoConto)) return Fallisce(e, p, 1);
    if (const int e = LeggiDenaroCodificato(*fido, letti.FidoConto)) return Fallisce(e, p, 1);
    parametri = std::move(letti);
    return 0;
}

int FileDati::LeggiRegistro(Registro& registro) const {
    registro.clear();
    importiIlleggibili_.clear();
    for (int k = 1; k <= 5; ++k) DimenticaRiparazioni(NomeFileRegistro(k));
    if (!esisteRegistro()) return RegistroSenzaPrimoFile();
    std::array<std::string, 5> testi;
    std::array<fs::path, 5> percorsi;
    std::size_t byte = 0;
    for (int k = 0; k < 5; ++k) {
        percorsi[k] = percorso(NomeFileRegistro(k + 1));
        if (!fs_.esiste(percorsi[k])) return Fallisce(kErroreFileMancante, percorsi[k]);
        if (const int e = LeggiTesto(percorsi[k], testi[k])) return e;
        byte += testi[k].size();
    }
    std::vector<LettoreRecord> lettori;
    for (const auto& t : testi) lettori.emplace_back(t);

    Registro registroLetto;
    // The files' size bounds the texts unless many characters widen in UTF-8; room
    // reserved and never written costs no memory.
    registroLetto.reserve(
        static_cast<std::size_t>(std::count(testi[0].begin(), testi[0].end(), '\n')), byte);
    std::vector<Riparazione> illeggibili;
    std::string altri;                   // an unscrambled text that is not plain ASCII
    std::array<std::size_t, 5> letti{};  // how far each file has been read
    int errore = 0;
    std::size_t fileErrato = 0;
    const auto cella = [&](std::string& destinazione, std::size_t k) {
        const auto voce = lettori[k].leggi();
        fileErrato = k;
        if (!voce) {
            errore = kErroreFineFile;
            return false;
        }
        letti[k] = static_cast<std::size_t>(voce->data() - testi[k].data());
        if (k < 3) {
            if (RiparaVoce(*voce, altri)) {
                AnnotaRiparazione(riparazioni_, NomeFileRegistro(static_cast<int>(k) + 1),
                                  registroLetto.size() + 1);
                AggiungiCp1252InUtf8(destinazione, altri);
            } else {
                AggiungiCp1252InUtf8(destinazione, *voce);
            }
            return true;
        }
        // A scrambled item holding a double quote could never be written back.
        if (voce->find('"') != std::string_view::npos) {
            errore = kErroreFuoriIntervallo;
            return false;
        }
        // Amounts unscramble to plain ASCII, straight into place; anything else still
        // goes through the code page.
        const std::size_t inizio = destinazione.size();
        if (!AggiungiDecodificato(destinazione, *voce)) {
            errore = kErroreFuoriIntervallo;
            return false;
        }
        const std::string_view chiaro(destinazione.data() + inizio, destinazione.size() - inizio);
        // An amount or a balance no one can read (typed into the file by hand) is kept as
        // written and told, never taken for zero. An empty one is the lire zero.
        if (!chiaro.empty() && !ValoreImportoRegistrato(chiaro))
            AnnotaRiparazione(illeggibili, NomeFileRegistro(static_cast<int>(k) + 1),
                              registroLetto.size() + 1);
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
        if (!registroLetto.aggiungiScrivendo(cella)) {
            for (int k = 1; k <= 5; ++k) DimenticaRiparazioni(NomeFileRegistro(k));
            return Fallisce(errore, percorsi[fileErrato], registroLetto.size() + 1);
        }
        // The files are read front to back: what lies behind is given back as the
        // register grows, so a large register does not hold its files and itself at once.
        if (registroLetto.size() % 65536 == 0) {
            for (std::size_t k = 0; k < 5; ++k) RilasciaLetto(testi[k].data(), letti[k]);
        }
    }
    for (int k = 1; k < 5; ++k) {
        if (!lettori[k].fine())
            return Fallisce(kErroreFineFile, percorsi[k], registroLetto.size() + 1);
    }
    importiIlleggibili_ = std::move(illeggibili);
    if (!importiIlleggibili_.empty() && !importiAccettati_) {
        const auto& primo = importiIlleggibili_.front();
        return Fallisce(kErroreTipo, percorso(primo.file), primo.righe.front(),
                        "importo illeggibile");
    }
    registro = std::move(registroLetto);
    return 0;
}

int FileDati::RegistroSenzaPrimoFile() const {
    // listcol1.txt gone while another column still holds rows is damage, not an empty
    // register: the next save would write the empty one over them.
    for (int k = 2; k <= 5; ++k) {
        const auto p = percorso(NomeFileRegistro(k));
        if (!fs_.esiste(p)) continue;
        std::string testo;
        if (const int e = LeggiTesto(p, testo)) return e;
        if (!LettoreRecord(testo).fine())
            return Fallisce(kErroreFileMancante, percorso(NomeFileRegistro(1)), 0,
                            "manca, mentre " + NomeFileRegistro(k) + " contiene dei movimenti");
    }
    return 0;
}

int FileDati::LeggiConto(std::string& numero, std::string& banca) const {
    DimenticaRiparazioni(kFileConto);
    const auto p = percorso(kFileConto);
    if (!fs_.esiste(p)) return Fallisce(kErroreFileMancante, p);
    std::string testo;
    if (const int e = LeggiTesto(p, testo)) return e;
    LettoreRecord lettore(testo);
    const auto n = lettore.leggi();
    const auto b = lettore.leggi();
    if (!n || !b) return Fallisce(kErroreFineFile, p, 1);
    numero = TestoRiparato(*n, p, 1);
    banca = TestoRiparato(*b, p, 1);
    return 0;
}

int FileDati::LeggiPassword(std::string& passwordCodificata) const {
    const auto p = percorsoPassword();
    if (!fs_.esiste(p)) return Fallisce(kErroreFileMancante, p);
    std::string testo;
    if (const int e = LeggiTesto(p, testo)) return e;
    LettoreRecord lettore(testo);
    const auto voce = lettore.leggi();
    if (!voce) return Fallisce(kErroreFineFile, p, 1);
    passwordCodificata = std::string(*voce);
    return 0;
}

bool FileDati::contoRiparato() const {
    return std::any_of(riparazioni_.begin(), riparazioni_.end(),
                       [](const Riparazione& r) { return r.file == kFileConto; });
}

}  // namespace core
