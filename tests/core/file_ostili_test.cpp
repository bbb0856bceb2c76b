// Data files as a careless editor or a hostile user leaves them: each loads and can be
// saved, is mended and says so, or is refused naming the file; never a hang or a crash.
#include <unistd.h>

#include "core/codifica.h"
#include "insieme_dati.h"

namespace {

using namespace prova;

enum class Esito { Caricato, Riparato, Rifiutato };
// What is done to the file: `byte` written over it, put before or after its bytes; it becomes
// a FIFO, a folder, a link to `byte` (itself moved to altrove.txt), a file `byte` bytes long;
// it goes; a link to fuori.txt is planted where the next save writes a file of its own.
enum Azione { kScrivi, kPrima, kDopo, kFifo, kCartella, kLink, kLungo, kVia, kPianta };

struct Caso {
    Azione azione;
    const char* file;
    std::string byte;
    Esito esito;
    std::size_t riga = 0;               // the row mended or refused, where one is told
    const char* riferimento = nullptr;  // the second row's reference after loading
};

const std::string kBom = "\xEF\xBB\xBF";
// listcol3.txt whose second row holds `voce` as the file does.
std::string Rif(const std::string& voce) {
    return "\"bancomat\"\r\n" + voce + "\r\n";
}
// clang-format off
const Caso kCasi[] = {
    {kPrima, "listcol4.txt", kBom, Esito::Caricato},
    {kScrivi, "listcol3.txt", kBom + "\"a\"\r\n\"Caffè\"\r\n", Esito::Caricato, 0, "Caffè"},
    {kScrivi, "listcol3.txt", Rif("ban\"comat"), Esito::Riparato, 2, "ban'comat"},
    {kScrivi, "dati.txt", "12\"45,\"Banca Uno\"\r\n", Esito::Riparato, 1},
    {kScrivi, "listcol3.txt", Rif("\"Enel\tbolletta\""), Esito::Riparato, 2, "Enel bolletta"},
    {kScrivi, "listcol3.txt", Rif("\"Enel\r\nbolletta\""), Esito::Riparato, 2, "Enel  bolletta"},
    {kScrivi, "listcol3.txt", Rif("\"a\x81z\""), Esito::Riparato, 2, "a z"},
    {kFifo, "listcol2.txt", "", Esito::Rifiutato},
    {kLink, "listcol4.txt", "/dev/zero", Esito::Rifiutato},
    {kCartella, "para.txt", "", Esito::Rifiutato},
    {kLink, "listcol5.txt", "non-esiste", Esito::Rifiutato},
    {kLink, "listcol1.txt", "non-esiste", Esito::Rifiutato},
    {kLink, "dati.txt", "altrove.txt", Esito::Caricato},
    {kPianta, "listcol3.txt.nuovo", "", Esito::Caricato},
    {kPianta, ".salvataggio.nuovo", "", Esito::Caricato},
    {kScrivi, "listcol3.txt", Rif("\"" + std::string(3 << 20, 'x') + "\""), Esito::Caricato},
    {kLungo, "listcol3.txt", std::to_string(core::kDimensioneMassima + 1), Esito::Rifiutato},
    {kDopo, "listcol4.txt", "\"1\"\r\n", Esito::Rifiutato, 3},
    {kScrivi, "listcol4.txt", "\"2\"\r\n3\"4\r\n", Esito::Rifiutato, 2},
    {kVia, "listcol1.txt", "", Esito::Rifiutato},
};
// clang-format on

void Applica(const Caso& c, const fs::path& d) {
    const auto file = d / c.file;
    if (c.azione == kFifo || c.azione == kCartella || c.azione == kLink)
        fs::rename(file, d / "altrove.txt");
    if (c.azione == kPianta) Scrivi(d / "fuori.txt", "altrui");
    switch (c.azione) {
        case kScrivi:
            return Scrivi(file, c.byte);
        case kPrima:
            return Scrivi(file, c.byte + test::LeggiByte(file));
        case kDopo:
            return Scrivi(file, test::LeggiByte(file) + c.byte);
        case kFifo:
            return void(mkfifo(file.c_str(), 0600));
        case kCartella:
            return void(fs::create_directory(file));
        case kLink:
            return fs::create_symlink(c.byte, file);
        case kLungo:
            return fs::resize_file(file, std::stoull(c.byte));
        case kVia:
            return void(fs::remove(file));
        case kPianta:
            return fs::create_symlink(d / "fuori.txt", file);
    }
}

struct Caricati {
    std::string numero, banca, password;
    core::Parametri parametri;
    core::Registro registro;
};

// The program's loading, as at start-up.
int Carica(core::FileDati& file, Caricati& c) {
    if (file.Recupera()) return -1;
    if (int e = file.LeggiConto(c.numero, c.banca)) return e;
    if (int e = file.LeggiPassword(c.password)) return e;
    if (int e = file.LeggiParametri(c.parametri)) return e;
    return file.LeggiRegistro(c.registro);
}

class FileOstili : public testing::TestWithParam<Caso> {};

TEST_P(FileOstili, CaricatoRiparatoORifiutatoColNome) {
    const Caso& c = GetParam();
    test::CartellaTemporanea dir;
    core::FileDati file(core::FileSystemReale(), dir.path(), dir.path());
    SalvaInsieme(file);
    Applica(c, dir.path());

    alarm(60);  // a load that waits for ever ends the test here
    Caricati letti;
    const int errore = Carica(file, letti);
    alarm(0);
    if (c.esito == Esito::Rifiutato) {
        ASSERT_NE(errore, 0);
        const auto& e = file.erroreLettura();
        EXPECT_EQ(std::tuple(e.numero, e.file, e.riga), std::tuple(errore, dir / c.file, c.riga));
        return;
    }
    ASSERT_EQ(errore, 0) << file.erroreLettura().file;
    EXPECT_EQ(letti.parametri.ModoValuta + letti.password, "Lire" + *core::Codifica("Segreta"));
    ASSERT_EQ(letti.registro.size(), 2u);
    EXPECT_TRUE(!c.riferimento || letti.registro.cella(1, 2) == c.riferimento);
    ASSERT_EQ(file.riparazioni().size(), c.esito == Esito::Riparato ? 1u : 0u);
    for (const auto& r : file.riparazioni())
        EXPECT_EQ(r.file + std::to_string(r.righe.size()) + std::to_string(r.righe[0]),
                  std::string(c.file) + "1" + std::to_string(c.riga));

    // Whatever loaded is saved, and reads back the same with nothing left to mend.
    ASSERT_EQ(file.SalvaRegistroEParametri(letti.registro, letti.parametri), std::nullopt);
    ASSERT_EQ(file.SalvaConto(letti.numero, letti.banca), std::nullopt);
    Caricati riletti;
    ASSERT_EQ(Carica(file, riletti), 0);
    EXPECT_TRUE(file.riparazioni().empty());
    EXPECT_EQ(riletti.registro, letti.registro);
    EXPECT_EQ(riletti.numero + riletti.password, letti.numero + letti.password);
    for (const char* n : {"listcol3.txt", "para.txt"})
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / n))) << n;
    EXPECT_TRUE(!fs::exists(dir / "fuori.txt") || test::LeggiByte(dir / "fuori.txt") == "altrui");
}

INSTANTIATE_TEST_SUITE_P(Tabella, FileOstili, testing::ValuesIn(kCasi));

}  // namespace
