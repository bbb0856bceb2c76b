#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/denaro.h"
#include "core/file_system.h"
#include "core/giornale.h"
#include "core/registro.h"
#include "core/riparazioni.h"
#include "core/salvataggio.h"

namespace core {

struct Parametri {
    std::string ModoValuta;
    Money SaldoConto;
    Money FidoConto;
};

inline constexpr const char* kFileConto = "dati.txt";
inline constexpr const char* kFileParametri = "para.txt";
inline constexpr const char* kFilePassword = "Vorn.lst";
[[nodiscard]] std::string NomeFileRegistro(int k);  // "listcol1.txt" .. "listcol5.txt"

// The system directory stand-in that holds the password file, ending in "/"; its case is
// kept (the file system is case-sensitive).
[[nodiscard]] std::string DirSistema(const std::filesystem::path& cartellaConfigurazione);

// Load errors carry the program's numbers: 53 file missing, 62 past the end of a file,
// 13 not a number, 6 beyond the money range, 5 not unscramblable, 75 unreadable file.
inline constexpr int kErroreFileMancante = 53;
inline constexpr int kErroreTipo = 13;
inline constexpr int kErroreOverflow = 6;
inline constexpr int kErroreAccessoFile = 75;

// Where a load failed: the error number, the file and its row (0 when unknown), and the
// system's reason when it could not be read at all.
struct ErroreLettura {
    int numero = 0;
    std::filesystem::path file;
    std::size_t riga = 0;
    std::string motivo;
};

// The data files beside the program and the password file. Every save writes whole new
// files next to the old ones and switches them in only when all are on the disk, so the
// next start sees either the old set or the new one. A large register is spared that for
// each change: what changed is appended to the journal (giornale.h), which the readers
// apply, and the files are written whole again at the exit or when the journal grows.
class FileDati {
  public:
    // When the journal is used: never below `registroMinimo` bytes of register files (a
    // whole save costs next to nothing there and leaves the files whole for any other
    // program), and folded into the files once it passes both `giornaleMinimo` bytes and
    // a `frazione`-th of the register files.
    struct LimitiGiornale {
        std::uintmax_t registroMinimo = 512 * 1024;
        std::uintmax_t giornaleMinimo = 1024 * 1024;
        std::uintmax_t frazione = 4;
    };
    void ImpostaLimitiGiornale(const LimitiGiornale& limiti) { limiti_ = limiti; }
    // Consolida::Si also folds the journal into the files (the exit).
    enum class Consolida { No, Si };

    FileDati(FileSystem& fs, std::filesystem::path dirProgramma, std::filesystem::path dirSistema);

    [[nodiscard]] const std::filesystem::path& dirProgramma() const { return dirProgramma_; }
    [[nodiscard]] std::filesystem::path percorso(std::string_view nome) const;
    [[nodiscard]] std::filesystem::path percorsoPassword() const;

    [[nodiscard]] bool esisteConto() const;
    [[nodiscard]] bool esisteParametri() const;
    [[nodiscard]] bool esisteRegistro() const;  // only listcol1.txt is looked at
    [[nodiscard]] bool esistePassword() const;

    // Finishes or rolls back a save that was interrupted (crash, power cut).
    [[nodiscard]] EsitoFile Recupera();

    [[nodiscard]] EsitoFile SalvaRegistro(const Registro& registro);
    [[nodiscard]] EsitoFile SalvaParametri(const Parametri& parametri);
    // The register and the parameters as one save: after a movement the two never
    // disagree on the disk, whatever fails or stops half-way.
    // A register read by LeggiRegistro (or saved here before) and changed since is saved
    // by what changed (Registro::modifiche); any other is saved whole.
    [[nodiscard]] EsitoFile SalvaRegistroEParametri(const Registro& registro,
                                                    const Parametri& parametri,
                                                    Consolida consolida = Consolida::No);
    // Texts must be free of double quotes and hold only Windows-1252 characters.
    [[nodiscard]] EsitoFile SalvaConto(std::string_view numero, std::string_view banca);
    // Scrambles and writes the plain password.
    [[nodiscard]] EsitoFile SalvaPassword(std::string_view passwordChiara);
    [[nodiscard]] EsitoFile EliminaPassword();
    // The reset (only when listcol1.txt exists): the data set, the password file
    // included, is kept in the backups, then removed in one switch, so that an
    // interruption leaves the old set or none.
    [[nodiscard]] EsitoFile EliminaDati();
    // Takes in the register of the folder `da` and the password file `password` as one
    // save (the copy of a read-only register into the user's folder). Refused when any
    // data file is already here: a register is never overwritten. What it replaces (a
    // password file) is kept in the backups first.
    [[nodiscard]] EsitoFile AdottaRegistro(const std::filesystem::path& da,
                                           const std::filesystem::path& password);

    // Readers: 0 or the error number, whose file and row erroreLettura() then tells. A
    // missing parameters file leaves `parametri` as is. A leading byte order mark is
    // skipped; texts the format could not write back are mended and listed in
    // riparazioni(), so that what was loaded can always be saved.
    [[nodiscard]] int LeggiParametri(Parametri& parametri) const;
    [[nodiscard]] int LeggiRegistro(Registro& registro) const;
    [[nodiscard]] int LeggiConto(std::string& numero, std::string& banca) const;
    // The scrambled bytes as stored.
    [[nodiscard]] int LeggiPassword(std::string& passwordCodificata) const;
    [[nodiscard]] const ErroreLettura& erroreLettura() const { return erroreLettura_; }
    // Records a load that failed on `errore` (the finishing of an interrupted save) as
    // error `numero`, and returns it.
    int ErroreCaricamento(int numero, const ErroreFile& errore) const {
        return Fallisce(numero, errore.file, 0, errore.motivo);
    }
    [[nodiscard]] const std::vector<Riparazione>& riparazioni() const { return riparazioni_; }
    // Amounts and balances of the register no one can read (listcol4.txt, listcol5.txt).
    // Until the user has accepted them as written, LeggiRegistro fails on the first with
    // error 13, so that a backup can be offered as for a damaged file; accepted, they load
    // and are saved as they are.
    [[nodiscard]] const std::vector<Riparazione>& importiIlleggibili() const {
        return importiIlleggibili_;
    }
    void AccettaImportiIlleggibili() { importiAccettati_ = true; }
    [[nodiscard]] bool contoRiparato() const;

    FileSystem& fileSystem() { return fs_; }

    // Backups in "backup/" beside the data files: before the first save of the run the
    // data set as it stands (the password file too) is kept in a folder named by
    // `marcaTempo` ("AAAAMMGG-HHMMSS"), and only the newest kCopieConservate are kept. The
    // files are hard links where the file system allows (a save never changes a file in
    // place, so a link keeps the old contents), copies elsewhere. A folder is built as
    // "<name>.nuovo" and renamed only when whole and on the disk. Off until set.
    static constexpr int kCopieConservate = 5;
    void AttivaCopie(std::function<std::string()> marcaTempo);
    [[nodiscard]] std::filesystem::path cartellaCopie() const;
    // A backup that could not be made does not stop the save (the user's new data matters
    // more); its failure is kept here.
    [[nodiscard]] const EsitoFile& erroreCopia() const { return erroreCopia_; }
    // The same failure, handed out once so that it is told once per run.
    [[nodiscard]] EsitoFile ErroreCopiaDaMostrare();

    // The newest backup whose files all load, if any.
    [[nodiscard]] std::optional<std::filesystem::path> CopiaRipristinabile() const;
    // Puts the backup in `copia` in place of the data set as one save. The files it
    // replaces are kept first in "backup/danneggiati-AAAAMMGG-HHMMSS", which is never
    // pruned. Returns that folder.
    [[nodiscard]] EsitoFile RipristinaCopia(const std::filesystem::path& copia,
                                            std::filesystem::path* accantonati = nullptr);

  private:
    using FileNuovi = std::vector<salvataggio::FileNuovo>;
    // What the disk holds, as far as this object knows it.
    struct Durevole {
        std::uint64_t serie = 0;  // the mark of the register the disk holds; 0: unknown
        std::optional<std::string> parametri;  // the para.txt line it holds, when known
        bool giornaleNoto = false;             // the fields below are known
        bool giornale = false;                 // a journal with its base is there
        std::uintmax_t lunghezza = 0;          // its whole bytes
        std::uintmax_t byteRegistro = 0;       // the register files' bytes it applies to
    };
    [[nodiscard]] EsitoFile SalvaModifiche(const Registro* registro, const std::string* parametri,
                                           Consolida consolida);
    // The register (when given) written whole, the journal folded into the files.
    [[nodiscard]] EsitoFile SalvaIntero(const Registro* registro, const std::string* parametri,
                                        bool generato);
    [[nodiscard]] EsitoFile AggiungiAlGiornale(const Registro* registro,
                                               const std::string* parametri);
    // Makes the journal's state known, reading it when it is there; 0 or an error number.
    [[nodiscard]] int ConosciGiornale() const;
    // Reads and checks the journal against the files it applies to: 0 or an error
    // number. `lettura.conBase` is false when there is none.
    [[nodiscard]] int LeggiGiornale(std::string& testo, giornale::Lettura& lettura) const;
    [[nodiscard]] giornale::Base BaseAttuale() const;
    // Every save: an interrupted one is finished or undone, the files whose contents are
    // already on the disk are left alone (a session that changes nothing writes
    // nothing), then the run's backup is taken (its failure is told apart and never
    // stops the save) and the rest switched in.
    [[nodiscard]] EsitoFile Salva(FileNuovi file);
    // The switch itself, with what it means for the backups and the fingerprints.
    [[nodiscard]] EsitoFile Scrivi(const FileNuovi& file);
    [[nodiscard]] bool Invariato(const salvataggio::FileNuovo& file) const;
    // Keeps the data set in a new backup folder; nothing when there is nothing to keep.
    [[nodiscard]] EsitoFile CopiaInSicurezza(const FileNuovi& sostituiti);
    // Builds a folder `nome` under backup/ holding the data set (under its temporary
    // name until whole); `spostaAltri` moves in what is not a file instead of failing.
    // Only the files `sostituiti` is about to replace are kept by a second name: any other
    // is copied, so that no backup shares its bytes with the live data.
    [[nodiscard]] EsitoFile CreaCopia(const std::string& nome, bool spostaAltri, bool& vuota,
                                      const FileNuovi& sostituiti);
    // A save that failed leaves in place files the backup names by a second name: each
    // becomes a copy of its own.
    void SpezzaCollegamenti();
    // The set in the folder `da` (and its password file) as a save: every file there
    // written, every one missing removed.
    [[nodiscard]] EsitoFile LeggiInsieme(const std::filesystem::path& da,
                                         const std::filesystem::path& password,
                                         FileNuovi& file) const;
    [[nodiscard]] salvataggio::Cartelle cartelle() const { return {dirProgramma_, dirSistema_}; }
    void PotaCopie();
    [[nodiscard]] int Fallisce(int numero, const std::filesystem::path& file, std::size_t riga = 0,
                               std::string motivo = {}) const;
    [[nodiscard]] int LeggiTesto(const std::filesystem::path& p, std::string& testo) const;
    [[nodiscard]] std::string TestoRiparato(std::string_view voce,
                                            const std::filesystem::path& file,
                                            std::size_t riga) const;
    void DimenticaRiparazioni(std::string_view file) const;
    [[nodiscard]] int RegistroSenzaPrimoFile() const;
    // The register as the five files hold it, before the journal; `byte` their size.
    [[nodiscard]] int LeggiFileRegistro(Registro& registro, std::size_t& byte) const;

    mutable Durevole durevole_;
    // The journal as LeggiParametri read it, for the LeggiRegistro that follows at start
    // (the texts of `lettura` point into `testo`).
    struct GiornaleLetto {
        std::unique_ptr<std::string> testo;
        giornale::Lettura lettura;
    };
    mutable GiornaleLetto giornaleLetto_;
    LimitiGiornale limiti_;
    FileSystem& fs_;
    std::filesystem::path dirProgramma_;
    std::filesystem::path dirSistema_;
    std::function<std::string()> marcaTempo_;
    bool copiaFatta_ = false;
    bool erroreCopiaMostrato_ = false;
    EsitoFile erroreCopia_;
    mutable ErroreLettura erroreLettura_;
    mutable std::vector<Riparazione> riparazioni_;
    mutable std::vector<Riparazione> importiIlleggibili_;
    bool importiAccettati_ = false;
    // What each data file held when last read or written (size and hash of its bytes).
    mutable std::map<std::string, std::pair<std::size_t, std::size_t>> impronte_;
    // The backup folder of the last save and the files it holds by a second name.
    std::filesystem::path copiaCollegata_;
    std::vector<std::string> collegati_;
};

// "AAAAMMGG-HHMMSS" of the local time now.
[[nodiscard]] std::string MarcaTempoLocale();
// Is `nome` a backup folder the program made ("AAAAMMGG-HHMMSS", maybe "-N" after it)?
[[nodiscard]] bool NomeCopia(std::string_view nome);

// "Impossibile creare la copia di sicurezza ...": told once when a backup failed.
[[nodiscard]] std::string MessaggioErroreCopia(const ErroreFile& errore);

// Can a typed text be stored in a data file? False for a double quote, a control
// character (tab, line break, ...) or a character outside Windows-1252.
[[nodiscard]] bool TestoMemorizzabile(std::string_view testo);
// Can a typed password be stored? Beyond TestoMemorizzabile, its scrambled form must stay
// within the byte range and hold no double quote (a "!" first, or a blank second, would
// make one).
[[nodiscard]] bool PasswordMemorizzabile(std::string_view password);

}  // namespace core
