#include "core/file_dati.h"

#include <algorithm>
#include <deque>
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

// Appends one cell as a file item: Windows-1252, amounts (columns 3 and 4) scrambled.
// False when the text cannot be stored (a double quote, a character outside the code page).
bool AggiungiVoce(std::string& contenuto, std::string_view cella, std::size_t colonna,
                  std::string& byte) {
    contenuto += '"';
    const std::size_t inizio = contenuto.size();
    bool memorizzabile;
    if (colonna < 3) {
        memorizzabile = AggiungiUtf8InCp1252(contenuto, cella);
    } else {
        byte.clear();
        memorizzabile = AggiungiUtf8InCp1252(byte, cella) && AggiungiCodificato(contenuto, byte);
    }
    if (!memorizzabile ||
        std::string_view(contenuto).substr(inizio).find('"') != std::string_view::npos)
        return false;
    contenuto += '"';
    return true;
}

ErroreFile NonMemorizzabile(const fs::path& file, std::size_t riga) {
    return {file, "la riga " + std::to_string(riga + 1) +
                      " contiene un testo non memorizzabile (virgolette o carattere non ammesso)"};
}

// One register file's contents: column `k` of every row, one item a line.
EsitoFile ContenutoColonna(const Registro& registro, std::size_t k, const fs::path& file,
                           std::string& contenuto) {
    // Windows-1252 is never longer than UTF-8, so this is all the room the file needs.
    std::size_t dimensione = 0;
    for (std::size_t r = 0; r < registro.size(); ++r) dimensione += registro.cella(r, k).size() + 4;
    contenuto.reserve(dimensione);
    PagineGrandi(contenuto);
    std::string byte;  // the plain bytes of an amount, before scrambling
    for (std::size_t r = 0; r < registro.size(); ++r) {
        if (!AggiungiVoce(contenuto, registro.cella(r, k), k, byte))
            return NonMemorizzabile(file, r);
        contenuto += "\r\n";
    }
    return std::nullopt;
}

// The five register files whole in memory, to be compared with what the disk holds.
EsitoFile ContenutiRegistro(const Registro& registro, const fs::path& dir,
                            std::vector<FileNuovo>& file) {
    file.assign(5, {});
    for (std::size_t k = 0; k < 5; ++k) {
        file[k].nome = NomeFileRegistro(static_cast<int>(k) + 1);
        if (auto e = ContenutoColonna(registro, k, dir / file[k].nome, file[k].contenuto)) return e;
    }
    return std::nullopt;
}

// One register file made just before it is written, so that only one is in memory.
FileNuovo FileGenerato(const Registro& registro, std::size_t k, const fs::path& dir) {
    FileNuovo f;
    f.nome = NomeFileRegistro(static_cast<int>(k) + 1);
    f.genera = [&registro, k, percorso = dir / f.nome](std::string& contenuto) {
        return ContenutoColonna(registro, k, percorso, contenuto);
    };
    return f;
}

// The rows from `da` on, one line of five items each, as the journal holds them.
EsitoFile RigheGiornale(const Registro& registro, std::size_t da, const fs::path& file,
                        std::string& righe) {
    std::string byte;
    for (std::size_t r = da; r < registro.size(); ++r) {
        for (std::size_t k = 0; k < 5; ++k) {
            if (k > 0) righe += ',';
            if (!AggiungiVoce(righe, registro.cella(r, k), k, byte))
                return NonMemorizzabile(file, r);
        }
        righe += "\r\n";
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

constexpr std::array<std::string_view, 5> kNomiRegistro{
    "listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt", "listcol5.txt"};

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

// A file's size and a hash of its bytes, taken a block at a time so that a file read in
// pieces of the same size has the same one.
using ImprontaFile = std::pair<std::size_t, std::size_t>;
constexpr std::size_t kBloccoImpronta = std::size_t{1} << 20;

// `byte` continue the file from a whole number of blocks.
void AggiungiAllImpronta(ImprontaFile& impronta, std::string_view byte) {
    for (std::size_t da = 0; da < byte.size(); da += kBloccoImpronta) {
        const std::string_view blocco = byte.substr(da, kBloccoImpronta);
        impronta.first += blocco.size();
        impronta.second = impronta.second * 1000003u ^ std::hash<std::string_view>{}(blocco);
    }
}

ImprontaFile Impronta(std::string_view byte) {
    ImprontaFile impronta{0, 0};
    AggiungiAllImpronta(impronta, byte);
    return impronta;
}

// One of the register's files read a piece at a time, as its items are taken: a large
// register is never in memory twice, as its files and as itself, while it loads.
class FileAPezzi {
  public:
    FileAPezzi(const FileSystem& fs, fs::path p) : fs_(fs), p_(std::move(p)) {}
    // The reader looks into the piece held here: it stays in place.
    FileAPezzi(const FileAPezzi&) = delete;
    FileAPezzi& operator=(const FileAPezzi&) = delete;

    // Reads the first piece. A file that starts with a UTF-8 byte order mark (saved by
    // an editor) is read whole: it is converted whole.
    [[nodiscard]] EsitoFile apri() {
        if (!ricarica()) return errore_;
        if (!std::string_view(finestra_).starts_with("\xEF\xBB\xBF")) return std::nullopt;
        std::string tutto;
        if (auto e = fs_.leggi(p_, tutto)) return e;
        impronta_ = Impronta(tutto);
        TogliBom(tutto);
        finestra_ = std::move(tutto);
        letti_ = finestra_.size();
        finito_ = true;
        lettore_ = LettoreRecord(finestra_);
        return std::nullopt;
    }
    // The next item, valid until the next call; nullopt past the end or when a piece
    // could not be read (errore()).
    [[nodiscard]] std::optional<std::string_view> leggi() {
        for (;;) {
            const auto voce = lettore_.leggi();
            if (!lettore_.serveAltro() || !ricarica()) return voce;
        }
    }
    [[nodiscard]] bool fine() {
        for (;;) {
            const bool fine = lettore_.fine();
            if (!lettore_.serveAltro() || !ricarica()) return fine;
        }
    }
    [[nodiscard]] const EsitoFile& errore() const { return errore_; }
    [[nodiscard]] std::uintmax_t letti() const { return letti_; }
    [[nodiscard]] const ImprontaFile& impronta() const { return impronta_; }

  private:
    static constexpr std::size_t kPezzo = kBloccoImpronta;

    bool ricarica() {
        if (finito_ || errore_) return false;
        // What was taken goes; what is left of an item moves to the front.
        finestra_.erase(0, lettore_.letti());
        const std::size_t prima = finestra_.size();
        // An item longer than the pieces read so far doubles the next one, so that it is
        // not searched again for each megabyte.
        const std::size_t quanti = std::max<std::size_t>(1, prima / kPezzo) * kPezzo;
        if (auto e = fs_.leggiParte(p_, letti_, quanti, finestra_, versione_)) {
            errore_ = std::move(e);
            return false;
        }
        const std::size_t nuovi = finestra_.size() - prima;
        AggiungiAllImpronta(impronta_, std::string_view(finestra_).substr(prima));
        letti_ += nuovi;
        finito_ = nuovi < quanti;
        lettore_ = LettoreRecord(finestra_, !finito_);
        return true;
    }

    const FileSystem& fs_;
    fs::path p_;
    std::string finestra_;
    std::uintmax_t letti_ = 0;
    std::uint64_t versione_ = 0;  // of the file the pieces come from
    bool finito_ = false;
    LettoreRecord lettore_{std::string_view{}, true};
    EsitoFile errore_;
    ImprontaFile impronta_{0, 0};
};

}  // namespace

bool FileDati::Invariato(const FileNuovo& f) const {
    const auto p = cartelle().di(f.nome);
    if (f.elimina) return !fs_.esiste(p);
    if (f.genera) return false;
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
    // Whoever writes the register, its parameters or the journal says afterwards what the
    // disk holds; until then it is not known.
    if (std::any_of(file.begin(), file.end(), [](const FileNuovo& f) {
            return f.nome != kFileConto && f.nome != kFilePassword;
        })) {
        durevole_ = {};
        giornaleLetto_ = {};
    }
    if (auto e = SalvaInsieme(fs_, cartelle(), file)) {
        if (e->dati != DatiDopoErrore::CompletatiAlRiavvio) SpezzaCollegamenti();
        // What is on the disk is no longer known for sure: the next save writes these files.
        for (const auto& f : file) impronte_.erase(f.nome);
        return e;
    }
    for (const auto& f : file) {
        if (f.elimina || f.genera)
            impronte_.erase(f.nome);
        else
            impronte_[f.nome] = Impronta(f.contenuto);
    }
    collegati_.clear();
    return std::nullopt;
}

EsitoFile FileDati::SalvaRegistro(const Registro& registro) {
    return SalvaModifiche(&registro, nullptr, Consolida::No);
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
    return SalvaModifiche(nullptr, &*contenuto, Consolida::No);
}

EsitoFile FileDati::SalvaRegistroEParametri(const Registro& registro, const Parametri& parametri,
                                            Consolida consolida) {
    auto contenuto = ContenutoParametri(parametri);
    if (!contenuto) return ErroreFile{percorso(kFileParametri), "valore non memorizzabile"};
    return SalvaModifiche(&registro, &*contenuto, consolida);
}

giornale::Base FileDati::BaseAttuale() const {
    giornale::Base base;
    for (int k = 0; k < 5; ++k) base[k] = fs_.dimensione(percorso(NomeFileRegistro(k + 1)));
    base[5] = fs_.dimensione(percorso(kFileParametri));
    return base;
}

int FileDati::LeggiGiornale(std::string& testo, giornale::Lettura& lettura) const {
    lettura = {};
    const auto p = percorso(giornale::kFileGiornale);
    if (!fs_.esiste(p)) return 0;
    if (auto e = fs_.leggi(p, testo)) return Fallisce(kErroreAccessoFile, p, 0, e->motivo);
    lettura = giornale::Leggi(testo);
    if (lettura.voceDanneggiata != 0)
        return Fallisce(kErroreTipo, p, lettura.voceDanneggiata,
                        "giornale delle modifiche danneggiato (" + lettura.motivo + ")");
    // Changes apply only to the files they were made on: files written since by another
    // program, or put back by hand, would take them in the wrong places.
    if (lettura.conBase && lettura.base != BaseAttuale())
        return Fallisce(kErroreTipo, p, 0,
                        "il giornale delle modifiche non corrisponde ai file del registro "
                        "(modificati da un altro programma?)");
    durevole_.giornaleNoto = true;
    durevole_.giornale = lettura.conBase;
    durevole_.lunghezza = lettura.valida;
    // Its last parameters are the ones in force: a fold must carry them into para.txt.
    for (const auto& v : lettura.voci)
        if (!v.parametri.empty()) durevole_.parametri = std::string(v.parametri);
    durevole_.byteRegistro = 0;
    for (int k = 0; k < 5; ++k) durevole_.byteRegistro += lettura.base[k].value_or(0);
    return 0;
}

int FileDati::ConosciGiornale() const {
    if (durevole_.giornaleNoto) return 0;
    if (!fs_.esiste(percorso(giornale::kFileGiornale))) {
        durevole_.giornaleNoto = true;
        durevole_.giornale = false;
        durevole_.lunghezza = 0;
        return 0;
    }
    std::string testo;
    giornale::Lettura lettura;
    return LeggiGiornale(testo, lettura);
}

EsitoFile FileDati::SalvaModifiche(const Registro* registro, const std::string* parametri,
                                   Consolida consolida) {
    if (auto e = Recupera()) return e;
    if (ConosciGiornale() != 0) {
        // A damaged journal is never written over: it still holds what the user entered.
        return ErroreFile{erroreLettura_.file, erroreLettura_.motivo};
    }
    const bool tracciato = registro == nullptr ||
                           (durevole_.serie != 0 && registro->modifiche().serie == durevole_.serie);
    if (!tracciato) return SalvaIntero(registro, parametri, false);

    const auto m = registro ? registro->modifiche() : Registro::Modifiche{};
    const bool cambiaRegistro = registro && !m.nessuna(registro->size());
    const bool cambianoParametri = parametri && durevole_.parametri != *parametri;
    if (consolida == Consolida::Si && durevole_.giornale) {
        // The last changes go into the journal first: then a fold that cannot be done (a
        // full disk, a register opened read-only) costs nothing, as the journal keeps every
        // change and the next exit folds it.
        if (cambiaRegistro || cambianoParametri) {
            if (auto e = AggiungiAlGiornale(cambiaRegistro ? registro : nullptr,
                                            cambianoParametri ? parametri : nullptr))
                return e;
            if (!durevole_.giornale) return std::nullopt;  // it grew and was folded already
        }
        auto e = SalvaIntero(registro, parametri, true);
        if (e && e->dati == DatiDopoErrore::Intatti) return std::nullopt;
        return e;
    }
    if (durevole_.giornale ||
        (cambiaRegistro && esisteRegistro() && durevole_.byteRegistro >= limiti_.registroMinimo)) {
        if (!cambiaRegistro && !cambianoParametri) return std::nullopt;
        return AggiungiAlGiornale(cambiaRegistro ? registro : nullptr,
                                  cambianoParametri ? parametri : nullptr);
    }
    // Without a journal an unchanged register is left alone, as long as its files are
    // still there; para.txt is compared with what it holds.
    const bool fileInPosto = std::all_of(kNomiRegistro.begin(), kNomiRegistro.end(), [&](auto n) {
        return fs_.tipo(percorso(n)) == TipoVoce::File;
    });
    if (!cambiaRegistro && (fileInPosto || !registro)) {
        if (!parametri) return std::nullopt;
        return SalvaIntero(nullptr, parametri, false);
    }
    return SalvaIntero(registro, parametri, true);
}

EsitoFile FileDati::SalvaIntero(const Registro* registro, const std::string* parametri,
                                bool generato) {
    FileNuovi file;
    if (registro) {
        if (generato) {
            for (std::size_t k = 0; k < 5; ++k)
                file.push_back(FileGenerato(*registro, k, dirProgramma_));
        } else {
            if (auto e = ContenutiRegistro(*registro, dirProgramma_, file)) return e;
        }
    }
    // The journal's changes go into the files with it or stay where they are: the
    // parameters it holds are written even when only the register was asked for.
    const bool giornale = durevole_.giornale;
    std::optional<std::string> daScrivere;
    if (parametri)
        daScrivere = *parametri;
    else if (giornale)
        daScrivere = durevole_.parametri;
    if (daScrivere) file.push_back({kFileParametri, *daScrivere});
    if (giornale) {
        if (!registro) return ErroreFile{percorso(giornale::kFileGiornale), "registro mancante"};
        file.push_back({giornale::kFileGiornale, {}, true});
    }
    std::uintmax_t byte = 0;
    if (registro) {
        for (std::size_t r = 0; r < registro->size(); ++r)
            for (std::size_t k = 0; k < 5; ++k) byte += registro->cella(r, k).size() + 4;
    }
    const Durevole prima = durevole_;
    if (auto e = Salva(std::move(file))) {
        // Left as it was: what the disk holds is still known.
        if (e->dati == DatiDopoErrore::Intatti) durevole_ = prima;
        return e;
    }
    // The disk now holds this register (or the one it held) and these parameters, with no
    // journal.
    durevole_ = prima;
    if (registro) {
        registro->segna();
        durevole_.serie = registro->modifiche().serie;
        durevole_.byteRegistro = byte;
    }
    if (daScrivere) durevole_.parametri = std::move(daScrivere);
    durevole_.giornaleNoto = true;
    durevole_.giornale = false;
    durevole_.lunghezza = 0;
    return std::nullopt;
}

EsitoFile FileDati::AggiungiAlGiornale(const Registro* registro, const std::string* parametri) {
    const auto p = percorso(giornale::kFileGiornale);
    std::string righe;
    const auto m = registro ? registro->modifiche() : Registro::Modifiche{};
    if (registro) {
        if (auto e = RigheGiornale(*registro, m.intatte, percorso(NomeFileRegistro(1)), righe))
            return e;
    }
    const std::string voce = giornale::Cornice(giornale::ContenutoModifica(
        parametri ? std::string_view(*parametri) : std::string_view(), registro != nullptr, m.tolte,
        m.intatte, registro ? registro->size() - m.intatte : 0, righe));
    righe = std::string();
    // A journal grown beyond its share is folded into the files rather than grown further.
    const auto soglia =
        std::max(limiti_.giornaleMinimo,
                 durevole_.byteRegistro / std::max<std::uintmax_t>(limiti_.frazione, 1));
    if (durevole_.giornale && registro && durevole_.lunghezza + voce.size() > soglia)
        return SalvaIntero(registro, parametri ? parametri : nullptr, true);

    if (marcaTempo_ && !copiaFatta_) {
        // The files stay as they are until the journal is folded, which replaces them: a
        // second name keeps them. The journal itself changes in place and is copied.
        FileNuovi sostituiti;
        for (const auto& n : NomiDatiProgramma())
            if (n != kFileConto && n != giornale::kFileGiornale) sostituiti.push_back({n, {}});
        erroreCopia_ = CopiaInSicurezza(sostituiti);
        copiaFatta_ = true;
    }
    const auto fatto = [&] {
        if (registro) {
            registro->segna();
            durevole_.serie = registro->modifiche().serie;
        }
        if (parametri) durevole_.parametri = *parametri;
    };
    if (!durevole_.giornale) {
        // Started whole under its own name, on the files as they are now.
        const Durevole prima = durevole_;
        const std::string testo = giornale::Cornice(giornale::ContenutoBase(BaseAttuale())) + voce;
        if (auto e = Scrivi({{giornale::kFileGiornale, testo}})) {
            if (e->dati == DatiDopoErrore::Intatti) durevole_ = prima;
            return e;
        }
        durevole_ = prima;
        durevole_.giornale = true;
        durevole_.lunghezza = testo.size();
        fatto();
        return std::nullopt;
    }
    giornaleLetto_ = {};
    if (auto e = fs_.aggiungiIn(p, durevole_.lunghezza, voce)) return e;
    durevole_.lunghezza += voce.size();
    fatto();
    return std::nullopt;
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
    std::string testo;
    if (fs_.esiste(p)) {
        if (const int e = LeggiTesto(p, testo)) return e;
    }
    // The journal's last parameters are newer than the file's. It is kept for the register
    // read next, so that a start reads it once.
    giornaleLetto_ = {std::make_unique<std::string>(), {}};
    const giornale::Lettura& lettura = giornaleLetto_.lettura;
    if (const int e = LeggiGiornale(*giornaleLetto_.testo, giornaleLetto_.lettura)) {
        giornaleLetto_ = {};
        return e;
    }
    fs::path origine = p;
    std::size_t riga = 1;
    for (std::size_t i = 0; i < lettura.voci.size(); ++i) {
        if (lettura.voci[i].parametri.empty()) continue;
        testo = lettura.voci[i].parametri;
        origine = percorso(giornale::kFileGiornale);
        riga = i + 2;
    }
    if (testo.empty() && !fs_.esiste(p)) {
        durevole_.parametri.reset();
        return 0;
    }
    LettoreRecord lettore(testo);
    const auto modo = lettore.leggi();
    const auto saldo = lettore.leggi();
    const auto fido = lettore.leggi();
    if (!modo || !saldo || !fido) return Fallisce(kErroreFineFile, origine, riga);
    Parametri letti;
    letti.ModoValuta = TestoRiparato(*modo, origine, riga);
    if (const int e = LeggiDenaroCodificato(*saldo, letti.SaldoConto))
        return Fallisce(e, origine, riga);
    if (const int e = LeggiDenaroCodificato(*fido, letti.FidoConto))
        return Fallisce(e, origine, riga);
    parametri = std::move(letti);
    durevole_.parametri = std::move(testo);
    if (std::any_of(riparazioni_.begin(), riparazioni_.end(),
                    [](const Riparazione& r) { return r.file == kFileParametri; }))
        durevole_.parametri.reset();
    return 0;
}

int FileDati::LeggiRegistro(Registro& registro) const {
    std::size_t byte = 0;
    if (const int e = LeggiFileRegistro(registro, byte)) return e;
    const auto p = percorso(giornale::kFileGiornale);
    // The journal the parameters were just read from, unless it has changed since.
    GiornaleLetto letto = std::exchange(giornaleLetto_, {});
    if (!letto.testo || fs_.dimensione(p) != std::optional<std::uintmax_t>(letto.testo->size())) {
        letto = {std::make_unique<std::string>(), {}};
        if (const int e = LeggiGiornale(*letto.testo, letto.lettura)) return e;
    }
    const giornale::Lettura& lettura = letto.lettura;
    if (!lettura.conBase) {
        durevole_.giornaleNoto = true;
        durevole_.giornale = false;
        durevole_.lunghezza = 0;
        durevole_.byteRegistro = byte;
    }
    std::string altri;
    for (std::size_t i = 0; i < lettura.voci.size(); ++i) {
        const auto& v = lettura.voci[i];
        if (!v.registro) continue;
        const auto fallita = [&] {
            registro.clear();
            return Fallisce(kErroreTipo, p, i + 2, "modifica che non si applica al registro");
        };
        if (v.tolte > registro.size() || v.intatte > registro.size() - v.tolte) return fallita();
        registro.rimuoviPrime(v.tolte);
        registro.tronca(v.intatte);
        LettoreRecord lettore(v.righe);
        const auto cella = [&](std::string& destinazione, std::size_t k) {
            const auto voce = lettore.leggi();
            if (!voce) return false;
            if (k < 3) {
                AggiungiCp1252InUtf8(destinazione, *voce);
                return true;
            }
            const std::size_t inizio = destinazione.size();
            if (!AggiungiDecodificato(destinazione, *voce)) return false;
            altri.assign(destinazione, inizio);
            destinazione.resize(inizio);
            AggiungiCp1252InUtf8(destinazione, altri);
            return true;
        };
        for (std::size_t r = 0; r < v.nuove; ++r)
            if (!registro.aggiungiScrivendo(cella)) return fallita();
        if (!lettore.fine()) return fallita();
    }
    registro.segna();
    // A mended text differs from the file's: the next save writes the register whole.
    const bool riparato =
        std::any_of(riparazioni_.begin(), riparazioni_.end(),
                    [](const Riparazione& r) { return r.file.starts_with("listcol"); });
    durevole_.serie = riparato ? 0 : registro.modifiche().serie;
    return 0;
}

int FileDati::LeggiFileRegistro(Registro& registro, std::size_t& byte) const {
    registro.clear();
    importiIlleggibili_.clear();
    for (int k = 1; k <= 5; ++k) DimenticaRiparazioni(NomeFileRegistro(k));
    if (!esisteRegistro()) return RegistroSenzaPrimoFile();
    std::deque<FileAPezzi> file;
    std::array<fs::path, 5> percorsi;
    std::uintmax_t dimensioni = 0;
    for (std::size_t k = 0; k < 5; ++k) {
        percorsi[k] = percorso(NomeFileRegistro(static_cast<int>(k) + 1));
        if (!fs_.esiste(percorsi[k])) return Fallisce(kErroreFileMancante, percorsi[k]);
        file.emplace_back(fs_, percorsi[k]);
        if (auto e = file[k].apri()) return Fallisce(kErroreAccessoFile, percorsi[k], 0, e->motivo);
        dimensioni += fs_.dimensione(percorsi[k]).value_or(0);
    }

    Registro registroLetto;
    // The files' size bounds the texts unless many characters widen in UTF-8; room
    // reserved and never written costs no memory, and the rows entered next then take no
    // copy of a vector of a million rows.
    // A date takes at least 12 bytes of its file ("1/1/2024", quoted, CR LF).
    const auto righe = static_cast<std::size_t>(fs_.dimensione(percorsi[0]).value_or(0) / 12);
    registroLetto.reserve(righe + 1024, static_cast<std::size_t>(dimensioni));
    std::vector<Riparazione> illeggibili;
    std::string altri;                   // an unscrambled text that is not plain ASCII
    int errore = 0;
    std::size_t fileErrato = 0;
    const auto cella = [&](std::string& destinazione, std::size_t k) {
        const auto voce = file[k].leggi();
        fileErrato = k;
        if (!voce) {
            errore = kErroreFineFile;
            return false;
        }
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
    // A piece that cannot be read is a file that cannot be read, whatever was read before.
    const auto illeggibile = [&](std::size_t k) {
        for (int n = 1; n <= 5; ++n) DimenticaRiparazioni(NomeFileRegistro(n));
        return Fallisce(kErroreAccessoFile, percorsi[k], 0, file[k].errore()->motivo);
    };
    while (!file[0].fine()) {
        if (!registroLetto.aggiungiScrivendo(cella)) {
            if (file[fileErrato].errore()) return illeggibile(fileErrato);
            for (int k = 1; k <= 5; ++k) DimenticaRiparazioni(NomeFileRegistro(k));
            return Fallisce(errore, percorsi[fileErrato], registroLetto.size() + 1);
        }
    }
    for (std::size_t k = 0; k < 5; ++k) {
        const bool finito = file[k].fine();
        if (file[k].errore()) return illeggibile(k);
        if (!finito) return Fallisce(kErroreFineFile, percorsi[k], registroLetto.size() + 1);
    }
    for (std::size_t k = 0; k < 5; ++k) {
        byte += static_cast<std::size_t>(file[k].letti());
        impronte_[percorsi[k].filename().string()] = file[k].impronta();
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
