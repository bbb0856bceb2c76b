// The readers of every data file fed with arbitrary bytes: they answer with a value or
// an error number, never crash or loop, and a register they accept saves and loads back
// the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/file_dati.h"
#include "core/record.h"
#include "fuzz/memoria_fs.h"

namespace {

// The input is cut at 0xFF bytes into the contents of the files, in this order.
const char* const kNomi[] = {"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                             "listcol5.txt", "para.txt",     "dati.txt",     "Vorn.lst"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
    fuzz::MemoriaFs fs;
    core::FileDati file(fs, "/programma", "/sistema/");
    std::size_t inizio = 0;
    for (const char* nome : kNomi) {
        if (inizio > tutto.size()) break;
        const std::size_t fine = std::min(tutto.find('\xFF', inizio), tutto.size());
        const auto percorso =
            std::string_view(nome) == "Vorn.lst" ? file.percorsoPassword() : file.percorso(nome);
        fs.file[percorso] = std::string(tutto.substr(inizio, fine - inizio));
        inizio = fine + 1;
    }

    core::LettoreRecord lettore(tutto);
    for (std::size_t passi = 0; !lettore.fine(); ++passi) {
        if (!lettore.leggi() || passi > n + 1) break;
    }

    core::Parametri parametri;
    (void)file.LeggiParametri(parametri);
    std::string numero, banca, password;
    (void)file.LeggiConto(numero, banca);
    (void)file.LeggiPassword(password);

    core::Registro righe;
    if (file.LeggiRegistro(righe) != 0) return 0;
    for (std::size_t r = 0; r < righe.size(); ++r)
        for (std::size_t c = 0; c < core::Registro::kCelle; ++c)
            if (righe.cella(r, c).find('"') != std::string::npos) return 0;  // not storable anyway
    // A value whose scrambled form would hold a double quote cannot be stored: the save
    // must then refuse and leave the files as they were.
    const auto prima = fs.file;
    if (file.SalvaRegistro(righe)) {
        if (fs.file != prima) std::abort();
        return 0;
    }
    core::Registro rilette;
    if (file.LeggiRegistro(rilette) != 0 || rilette != righe) std::abort();
    return 0;
}
