// Data files as a careless editor or a hostile user leaves them: each loads and can be
// saved, is mended and says so, or is refused naming the file; never a hang or a crash.
#include <unistd.h>

#include <functional>

#include "core/codifica.h"
#include "insieme_dati.h"

namespace {

using namespace prova;

enum class Esito { Caricato, Riparato, Rifiutato };

struct Caso {
    const char* nome;
    std::function<void(const fs::path& dir)> guasta;
    Esito esito;
    const char* file = "";              // the file mended or refused
    std::size_t riga = 0;               // and its row, where one is told
    const char* riferimento = nullptr;  // the second row's reference after loading
};

const std::string kBom = "\xEF\xBB\xBF";
auto ConBom(const char* nome) {
    return [nome](const fs::path& d) { Scrivi(d / nome, kBom + test::LeggiByte(d / nome)); };
}
// The second row's reference as the file holds it.
auto Riferimento(const std::string& voce) {
    return [voce](const fs::path& d) {
        Scrivi(d / "listcol3.txt", "\"bancomat\"\r\n" + voce + "\r\n");
    };
}
auto Collegamento(const char* nome, const char* verso) {
    return [=](const fs::path& d) {
        fs::remove(d / nome);
        fs::create_symlink(verso, d / nome);
    };
}
// A link planted where the next save writes a file of its own.
auto Piantato(const char* nome) {
    return [nome](const fs::path& d) {
        Scrivi(d / "fuori.txt", "altrui");
        fs::create_symlink(d / "fuori.txt", d / nome);
    };
}

const Caso kCasi[] = {
    {"BomInListcol4", ConBom("listcol4.txt"), Esito::Caricato},
    {"BomConTestoUtf8",
     [](const fs::path& d) { Scrivi(d / "listcol3.txt", kBom + "\"a\"\r\n\"Caffè\"\r\n"); },
     Esito::Caricato, "", 0, "Caffè"},
    {"VirgoletteInterne", Riferimento("ban\"comat"), Esito::Riparato, "listcol3.txt", 2,
     "ban'comat"},
    {"VirgoletteNelConto",
     [](const fs::path& d) { Scrivi(d / "dati.txt", "12\"45,\"Banca Uno\"\r\n"); }, Esito::Riparato,
     "dati.txt", 1},
    {"Tabulazione", Riferimento("\"Enel\tbolletta\""), Esito::Riparato, "listcol3.txt", 2,
     "Enel bolletta"},
    {"AcapoNelTesto", Riferimento("\"Enel\r\nbolletta\""), Esito::Riparato, "listcol3.txt", 2,
     "Enel  bolletta"},
    {"ByteIndefinito", Riferimento("\"a\x81z\""), Esito::Riparato, "listcol3.txt", 2, "a z"},
    {"Fifo",
     [](const fs::path& d) {
         fs::remove(d / "listcol2.txt"), mkfifo((d / "listcol2.txt").c_str(), 0600);
     },
     Esito::Rifiutato, "listcol2.txt"},
    {"DispositivoPerCollegamento", Collegamento("listcol4.txt", "/dev/zero"), Esito::Rifiutato,
     "listcol4.txt"},
    {"Cartella",
     [](const fs::path& d) { fs::remove(d / "para.txt"), fs::create_directory(d / "para.txt"); },
     Esito::Rifiutato, "para.txt"},
    {"CollegamentoSospeso", Collegamento("listcol5.txt", "non-esiste"), Esito::Rifiutato,
     "listcol5.txt"},
    {"PrimoFileSospeso", Collegamento("listcol1.txt", "non-esiste"), Esito::Rifiutato,
     "listcol1.txt"},
    {"CollegamentoAUnFile",
     [](const fs::path& d) {
         fs::rename(d / "dati.txt", d / "altrove.txt");
         fs::create_symlink("altrove.txt", d / "dati.txt");
     },
     Esito::Caricato},
    {"PiantatoSulNuovo", Piantato("listcol3.txt.nuovo"), Esito::Caricato},
    {"PiantatoSulMarcatore", Piantato(".salvataggio.nuovo"), Esito::Caricato},
    {"RigaEnorme", Riferimento("\"" + std::string(3 << 20, 'x') + "\""), Esito::Caricato},
    {"FileSmisurato",
     [](const fs::path& d) { fs::resize_file(d / "listcol3.txt", core::kDimensioneMassima + 1); },
     Esito::Rifiutato, "listcol3.txt"},
    {"ColonneDiseguali",
     [](const fs::path& d) {
         Scrivi(d / "listcol4.txt", test::LeggiByte(d / "listcol4.txt") + "\"1\"\r\n");
     },
     Esito::Rifiutato, "listcol4.txt", 3},
    {"ImportoConVirgolette",
     [](const fs::path& d) { Scrivi(d / "listcol4.txt", "\"2\"\r\n3\"4\r\n"); }, Esito::Rifiutato,
     "listcol4.txt", 2},
    {"PrimoFileMancante", [](const fs::path& d) { fs::remove(d / "listcol1.txt"); },
     Esito::Rifiutato, "listcol1.txt"},
};

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
    c.guasta(dir.path());

    alarm(60);  // a load that waits for ever ends the test here
    Caricati letti;
    const int errore = Carica(file, letti);
    alarm(0);
    if (c.esito == Esito::Rifiutato) {
        ASSERT_NE(errore, 0);
        EXPECT_EQ(file.erroreLettura().numero, errore);
        EXPECT_EQ(file.erroreLettura().file, dir / c.file);
        EXPECT_EQ(file.erroreLettura().riga, c.riga);
        return;
    }
    ASSERT_EQ(errore, 0) << file.erroreLettura().file;
    EXPECT_EQ(letti.parametri.ModoValuta, "Lire");
    EXPECT_EQ(letti.password, core::Codifica("Segreta"));
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
    if (fs::exists(dir / "fuori.txt")) {
        EXPECT_EQ(test::LeggiByte(dir / "fuori.txt"), "altrui");
    }
}

INSTANTIATE_TEST_SUITE_P(Tabella, FileOstili, testing::ValuesIn(kCasi),
                         [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
