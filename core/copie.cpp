// The backups of the data set, and putting one back.
#include <algorithm>
#include <chrono>
#include <ctime>

#include "core/codifica.h"
#include "core/file_dati.h"
#include "core/salvataggio.h"

namespace core {

namespace fs = std::filesystem;
using namespace salvataggio;

namespace {

constexpr std::string_view kDanneggiati = "danneggiati-";

bool Cifre(std::string_view testo) {
    return !testo.empty() &&
           std::all_of(testo.begin(), testo.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A folder under construction ("<name>.nuovo") that a run stopped before it was whole.
bool CopiaIncompiuta(std::string_view nome) {
    if (!nome.ends_with(kNuovo)) return false;
    nome.remove_suffix(kNuovo.size());
    if (nome.starts_with(kDanneggiati)) nome.remove_prefix(kDanneggiati.size());
    return NomeCopia(nome);
}

// Removes a folder the program made: the files in it, then the folder. A folder found
// inside is not the program's and stays, and so does the folder holding it.
EsitoFile EliminaCopia(FileSystem& fsys, const fs::path& cartella) {
    std::vector<std::string> nomi;
    if (auto e = fsys.elenca(cartella, nomi)) return e;
    for (const auto& n : nomi) {
        if (fsys.tipo(cartella / n) == TipoVoce::Cartella) continue;
        if (auto e = fsys.elimina(cartella / n)) return e;
    }
    return fsys.eliminaCartella(cartella);
}

EsitoFile Copia(FileSystem& fsys, const fs::path& da, const fs::path& a) {
    std::string contenuto;
    if (auto e = fsys.leggi(da, contenuto)) return e;
    return fsys.scrivi(a, contenuto);
}

// The names under backup/ that are folders the program made, oldest first.
std::vector<std::string> CopieEsistenti(const FileSystem& fsys, const fs::path& radice) {
    std::vector<std::string> nomi;
    if (fsys.tipo(radice) != TipoVoce::Cartella || fsys.elenca(radice, nomi)) return {};
    std::erase_if(nomi, [&](const std::string& n) {
        return !NomeCopia(n) || fsys.tipo(radice / n) != TipoVoce::Cartella;
    });
    std::sort(nomi.begin(), nomi.end());
    return nomi;
}

}  // namespace

bool NomeCopia(std::string_view nome) {
    if (nome.size() < 15 || !Cifre(nome.substr(0, 8)) || nome[8] != '-' ||
        !Cifre(nome.substr(9, 6)))
        return false;
    const auto resto = nome.substr(15);
    return resto.empty() || (resto.front() == '-' && Cifre(resto.substr(1)));
}

void FileDati::AttivaCopie(std::function<std::string()> marcaTempo) {
    marcaTempo_ = std::move(marcaTempo);
}

fs::path FileDati::cartellaCopie() const {
    return dirProgramma_ / "backup";
}

EsitoFile FileDati::ErroreCopiaDaMostrare() {
    if (!erroreCopia_ || erroreCopiaMostrato_) return std::nullopt;
    erroreCopiaMostrato_ = true;
    return erroreCopia_;
}

EsitoFile FileDati::CreaCopia(const std::string& nome, bool spostaAltri, bool& vuota,
                              const FileNuovi& sostituiti) {
    const auto sostituito = [&](const std::string& n) {
        return std::any_of(sostituiti.begin(), sostituiti.end(),
                           [&](const FileNuovo& f) { return f.nome == n; });
    };
    std::vector<std::string> collegati;
    std::vector<std::pair<fs::path, std::string>> insieme;
    for (const auto& n : NomiDatiProgramma())
        if (fs_.tipo(percorso(n)) != TipoVoce::Assente) insieme.emplace_back(percorso(n), n);
    if (fs_.tipo(percorsoPassword()) != TipoVoce::Assente)
        insieme.emplace_back(percorsoPassword(), kFilePassword);
    vuota = insieme.empty();
    if (vuota) return std::nullopt;

    // Never through a link: pruning there would delete folders that are not ours.
    const fs::path radice = cartellaCopie();
    switch (fs_.tipo(radice)) {
        case TipoVoce::Assente:
            if (auto e = fs_.creaCartella(radice)) return e;
            break;
        case TipoVoce::Cartella:
            break;
        default:
            return ErroreFile{radice, "non è una cartella (è un file o un collegamento)"};
    }
    const fs::path temporanea = radice / (nome + std::string(kNuovo));
    switch (fs_.tipo(temporanea)) {
        case TipoVoce::Assente:
            break;
        case TipoVoce::Cartella:
            if (auto e = EliminaCopia(fs_, temporanea)) return e;
            break;
        default:
            if (auto e = fs_.elimina(temporanea)) return e;
    }
    if (auto e = fs_.creaCartella(temporanea)) return e;
    if (fs_.tipo(temporanea) != TipoVoce::Cartella)
        return ErroreFile{temporanea, "non è una cartella (è un file o un collegamento)"};

    auto fallita = [&](ErroreFile e) -> EsitoFile {
        // A half-made copy must not pass for a backup (nor push out a whole one).
        (void)EliminaCopia(fs_, temporanea);
        return e;
    };
    for (const auto& [da, n] : insieme) {
        const fs::path a = temporanea / n;
        EsitoFile e;
        switch (fs_.tipo(da)) {
            case TipoVoce::File:
                // A save replaces files and never changes one in place, so a second name
                // for a file it is about to replace keeps these contents for good, with no
                // room or time taken. Any other stays live: damaged in place (an editor,
                // "> dati.txt") it must not take its backup with it.
                e = sostituito(n) ? fs_.collega(da, a) : ErroreFile{a, ""};
                if (e)
                    e = Copia(fs_, da, a);
                else
                    collegati.push_back(n);
                break;
            case TipoVoce::Collegamento:
                e = Copia(fs_, da, a);
                break;
            default:
                e = ErroreFile{da, "non è un file normale"};
        }
        // What cannot be read holds no data to keep: set it aside as it is.
        if (e && spostaAltri) e = fs_.rinomina(da, a);
        if (e) return fallita(*e);
    }
    if (auto e = fs_.sincronizzaCartella(temporanea)) return fallita(*e);
    if (auto e = fs_.rinomina(temporanea, radice / nome)) return fallita(*e);
    (void)fs_.sincronizzaCartella(radice);
    copiaCollegata_ = radice / nome;
    collegati_ = std::move(collegati);
    return std::nullopt;
}

void FileDati::SpezzaCollegamenti() {
    for (const auto& n : collegati_) {
        const fs::path a = copiaCollegata_ / n;
        const fs::path nuovo = ConSuffisso(a, kNuovo);
        // Written whole beside it, then renamed over it: the backup is never without it.
        if (Copia(fs_, a, nuovo) || fs_.rinomina(nuovo, a)) (void)EliminaSeEsiste(fs_, nuovo);
    }
    collegati_.clear();
}

// A name under backup/ nothing has taken yet.
static std::string NomeLibero(const FileSystem& fsys, const fs::path& radice,
                              const std::string& base) {
    std::string nome = base;
    for (int n = 2; fsys.tipo(radice / nome) != TipoVoce::Assente; ++n)
        nome = base + "-" + std::to_string(n);
    return nome;
}

EsitoFile FileDati::CopiaInSicurezza(const FileNuovi& sostituiti) {
    bool vuota = false;
    const auto nome = NomeLibero(fs_, cartellaCopie(), marcaTempo_());
    if (auto e = CreaCopia(nome, false, vuota, sostituiti)) return e;
    if (!vuota) PotaCopie();
    return std::nullopt;
}

void FileDati::PotaCopie() {
    const fs::path radice = cartellaCopie();
    std::vector<std::string> nomi;
    if (fs_.tipo(radice) != TipoVoce::Cartella || fs_.elenca(radice, nomi)) return;
    for (const auto& n : nomi) {
        if (CopiaIncompiuta(n) && fs_.tipo(radice / n) == TipoVoce::Cartella)
            (void)EliminaCopia(fs_, radice / n);
    }
    const auto copie = CopieEsistenti(fs_, radice);
    for (std::size_t i = 0; i + kCopieConservate < copie.size(); ++i) {
        // Renamed first: a stop half-way must not leave a torn folder under a kept name.
        const fs::path vecchia = radice / copie[i];
        const fs::path scartata = ConSuffisso(vecchia, kNuovo);
        if (fs_.tipo(scartata) != TipoVoce::Assente || fs_.rinomina(vecchia, scartata)) continue;
        (void)EliminaCopia(fs_, scartata);
    }
}

std::optional<fs::path> FileDati::CopiaRipristinabile() const {
    const fs::path radice = cartellaCopie();
    auto copie = CopieEsistenti(fs_, radice);
    for (auto it = copie.rbegin(); it != copie.rend(); ++it) {
        const fs::path cartella = radice / *it;
        const FileDati prova(fs_, cartella, cartella);
        std::string numero, banca, password;
        Parametri parametri;
        Registro registro;
        if (!prova.esisteConto() || prova.LeggiConto(numero, banca) != 0 ||
            prova.LeggiParametri(parametri) != 0 || prova.LeggiRegistro(registro) != 0)
            continue;
        if (prova.esistePassword() && (prova.LeggiPassword(password) != 0 || !Decodifica(password)))
            continue;
        return cartella;
    }
    return std::nullopt;
}

EsitoFile FileDati::LeggiInsieme(const fs::path& da, const fs::path& password,
                                 FileNuovi& file) const {
    file.clear();
    bool dati = false;
    for (const auto& n : NomiInsieme()) {
        const fs::path sorgente = n == kFilePassword ? password : da / n;
        file.push_back({n, {}, !fs_.esiste(sorgente)});
        if (file.back().elimina) continue;
        if (auto e = fs_.leggi(sorgente, file.back().contenuto)) return e;
        dati = dati || n != kFilePassword;
    }
    if (!dati) return ErroreFile{da, "la copia non contiene dati"};
    return std::nullopt;
}

EsitoFile FileDati::RipristinaCopia(const fs::path& copia, fs::path* accantonati) {
    if (auto e = Recupera()) return e;
    // The set as it stood: its files written, those it did not have removed.
    FileNuovi file;
    if (auto e = LeggiInsieme(copia, copia / kFilePassword, file)) return e;

    // Nothing is replaced before the files in place are kept, whatever state they are in.
    bool vuota = false;
    const auto nome =
        NomeLibero(fs_, cartellaCopie(),
                   std::string(kDanneggiati) + (marcaTempo_ ? marcaTempo_() : MarcaTempoLocale()));
    if (auto e = CreaCopia(nome, true, vuota, file)) return e;
    if (accantonati) *accantonati = vuota ? fs::path() : cartellaCopie() / nome;
    return Scrivi(file);
}

EsitoFile FileDati::AdottaRegistro(const fs::path& da, const fs::path& password) {
    if (auto e = Recupera()) return e;
    for (const auto& n : NomiDatiProgramma())
        if (fs_.esiste(percorso(n))) return ErroreFile{percorso(n), "c'è già un registro"};
    FileNuovi file;
    if (auto e = LeggiInsieme(da, password, file)) return e;
    // The run's first change still keeps the copied register in a backup of its own.
    if (marcaTempo_) {
        if (auto e = CopiaInSicurezza(file)) return e;
    }
    return Scrivi(file);
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

std::string MessaggioErroreCopia(const ErroreFile& errore) {
    return "Impossibile creare la copia di sicurezza dei dati in " + errore.file.string() + ": " +
           errore.motivo +
           ". I dati sono stati salvati lo stesso; la copia sarà ritentata al prossimo avvio.";
}

}  // namespace core
