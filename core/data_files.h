#pragma once

#include <array>
#include <concepts>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_system.h"
#include "core/money.h"
#include "core/registro.h"

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

// The data files beside the program and the password file. Every save writes whole new
// files next to the old ones and switches them in only when all are on the disk, so the
// next start sees either the old set or the new one.
class FileDati {
  public:
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

    // A template only so that `SalvaRegistro({})` still picks the overload below.
    template <std::same_as<Registro> R>
    [[nodiscard]] EsitoFile SalvaRegistro(const R& registro) {
        return SalvaRegistroCompatto(registro);
    }
    [[nodiscard]] EsitoFile SalvaRegistro(std::span<const RigaRegistro> righe);
    [[nodiscard]] EsitoFile SalvaParametri(const Parametri& parametri);
    // The register and the parameters as one save: after a movement the two never
    // disagree on the disk, whatever fails or stops half-way.
    [[nodiscard]] EsitoFile SalvaRegistroEParametri(const Registro& registro,
                                                    const Parametri& parametri);
    // Texts must be free of double quotes and hold only Windows-1252 characters.
    [[nodiscard]] EsitoFile SalvaConto(std::string_view numero, std::string_view banca);
    // Scrambles and writes the plain password.
    [[nodiscard]] EsitoFile SalvaPassword(std::string_view passwordChiara);
    [[nodiscard]] EsitoFile EliminaPassword();
    // The reset: the five register files, para.txt and dati.txt (only when listcol1.txt
    // exists), then the password file.
    [[nodiscard]] EsitoFile EliminaDati();

    // Readers: 0 or the error number. A missing parameters file leaves `parametri` as is.
    [[nodiscard]] int LeggiParametri(Parametri& parametri) const;
    [[nodiscard]] int LeggiRegistro(Registro& registro) const;
    [[nodiscard]] int LeggiRegistro(std::vector<RigaRegistro>& righe) const;
    [[nodiscard]] int LeggiConto(std::string& numero, std::string& banca) const;
    // The scrambled bytes as stored.
    [[nodiscard]] int LeggiPassword(std::string& passwordCodificata) const;

    FileSystem& fileSystem() { return fs_; }

    // Backups in "backup/" beside the data files: before the first save of the run the
    // data set as it stands is copied into a folder named by `marcaTempo`
    // ("AAAAMMGG-HHMMSS"), and only the newest kCopieConservate are kept. Off until set.
    static constexpr int kCopieConservate = 5;
    void AttivaCopie(std::function<std::string()> marcaTempo);
    [[nodiscard]] std::filesystem::path cartellaCopie() const;
    // A backup that could not be made does not stop the save (the user's new data matters
    // more); its failure is kept here.
    [[nodiscard]] const EsitoFile& erroreCopia() const { return erroreCopia_; }

  private:
    [[nodiscard]] EsitoFile SalvaRegistroCompatto(const Registro& registro);
    // Copies the data set into a new backup folder; nothing when there is nothing to copy.
    [[nodiscard]] EsitoFile CopiaInSicurezza();
    void CopiaPrimaDelPrimoSalvataggio();

    FileSystem& fs_;
    std::filesystem::path dirProgramma_;
    std::filesystem::path dirSistema_;
    std::function<std::string()> marcaTempo_;
    bool copiaFatta_ = false;
    EsitoFile erroreCopia_;
};

// "AAAAMMGG-HHMMSS" of the local time now.
[[nodiscard]] std::string MarcaTempoLocale();

// Can a typed text be stored in a data file? False for a double quote or a character
// outside Windows-1252.
[[nodiscard]] bool TestoMemorizzabile(std::string_view testo);
// Can a typed password be stored? Beyond TestoMemorizzabile, its scrambled form must stay
// within the byte range and hold no double quote (a "!" first, or a blank second, would
// make one).
[[nodiscard]] bool PasswordMemorizzabile(std::string_view password);

}  // namespace core
