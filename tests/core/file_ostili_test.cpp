// Data files as a careless editor, a hostile user or a damaging fault leaves them: each loads
// and can be saved, is mended and says so, or is refused with its error number naming the
// file and row; never a hang or a crash.
#include <unistd.h>

#include "core/codifica.h"
#include "insieme_dati.h"

namespace {

using namespace prova;

constexpr int kRiparato = -1;
// What is done to the file: `byte` written over it, put before or after its bytes; it is moved
// to altrove.txt and a FIFO, a folder, a link to `byte` or nothing takes its place; it grows
// past the largest size read; a link to fuori.txt is planted where a save writes a file.
enum Azione { kScrivi, kPrima, kDopo, kFifo, kCartella, kLink, kLungo, kVia, kPianta };

struct Caso {
    Azione azione;
    const char* file;
    std::string byte;
    int esito;  // 0: it loads; kRiparato: it loads mended; else the error number that refuses it
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
    {kPrima, "listcol4.txt", kBom, 0}, {kScrivi, "listcol3.txt", kBom + "\"a\"\r\n\"Caffè\"\r\n", 0, 0, "Caffè"},
    {kScrivi, "listcol3.txt", Rif("ban\"comat"), kRiparato, 2, "ban'comat"},
    {kScrivi, "dati.txt", "12\"45,\"Banca Uno\"\r\n", kRiparato, 1},
    {kScrivi, "listcol3.txt", Rif("\"Enel\tbolletta\""), kRiparato, 2, "Enel bolletta"},
    {kScrivi, "listcol3.txt", Rif("\"Enel\r\nbolletta\""), kRiparato, 2, "Enel  bolletta"},
    {kScrivi, "listcol3.txt", Rif("\"a\x81z\""), kRiparato, 2, "a z"}, {kScrivi, "listcol3.txt", Rif("\"a\x7Fz\""), kRiparato, 2, "a z"},
    {kFifo, "listcol2.txt", "", 75}, {kLink, "listcol4.txt", "/dev/zero", 75}, {kCartella, "para.txt", "", 75},
    {kLink, "listcol5.txt", "non-esiste", 75}, {kLink, "listcol1.txt", "non-esiste", 75},
    {kLink, "dati.txt", "altrove.txt", 0}, {kPianta, "listcol3.txt.nuovo", "", 0}, {kPianta, ".salvataggio.nuovo", "", 0},
    {kScrivi, "listcol3.txt", Rif("\"" + std::string(3 << 20, 'x') + "\""), 0}, {kLungo, "listcol3.txt", "", 75},
    {kDopo, "listcol4.txt", "\"1\"\r\n", 62, 3}, {kScrivi, "listcol3.txt", "\"bancomat\"\r\n", 62, 2},
    {kScrivi, "listcol4.txt", "\"2\"\r\n3\"4\r\n", 5, 2}, {kScrivi, "listcol4.txt", "\"1\"\r\n\"a\x01\"\r\n", 5, 2},
    {kVia, "listcol1.txt", "", 53}, {kVia, "listcol2.txt", "", 53}, {kScrivi, "listcol4.txt", "\"1\"\n\"1\"\n", 0},
    {kScrivi, "para.txt", "", 62, 1}, {kScrivi, "para.txt", "\"Euro\",\"1\"\r\n", 62, 1},
    {kScrivi, "para.txt", "\"Euro\",\"bdf\",\"1\"\r\n", 13, 1}, {kScrivi, "para.txt", "\"Euro\",\"1\",\"\"\r\n", 13, 1},
    {kScrivi, "para.txt", "\"Euro\",\"" + *core::Codifica("99999999999999999") + "\",\"1\"\r\n", 6, 1},
    {kScrivi, "para.txt", "\"Euro\",\"a\x01\",\"1\"\r\n", 5, 1}, {kScrivi, "Vorn.lst", "", 62, 1},
    {kScrivi, "dati.txt", "\"123\"\r\n", 62, 1}, {kScrivi, "dati.txt", "\"123\",\"\"\r\n", 0},
    // An amount no one can read is never a zero: refused until the user keeps it.
    {kScrivi, "listcol5.txt", "\"" + *core::Codifica("800.000") + "\"\r\n\"" + *core::Codifica("abc") + "\"\r\n", 13, 2}};
// clang-format on

void Applica(const Caso& c, const fs::path& d) {
    const auto file = d / c.file;
    const auto vecchi = test::LeggiByte(file);
    if (c.azione == kFifo || c.azione == kCartella || c.azione == kLink || c.azione == kVia)
        fs::rename(file, d / "altrove.txt");
    if (c.azione == kScrivi || c.azione == kPrima || c.azione == kDopo)
        Scrivi(file,
               (c.azione == kDopo ? vecchi : "") + c.byte + (c.azione == kPrima ? vecchi : ""));
    if (c.azione == kFifo) mkfifo(file.c_str(), 0600);
    if (c.azione == kCartella) fs::create_directory(file);
    if (c.azione == kLink) fs::create_symlink(c.byte, file);
    if (c.azione == kLungo) fs::resize_file(file, core::kDimensioneMassima + 1);
    if (c.azione == kPianta) {
        Scrivi(d / "fuori.txt", "altrui");
        fs::create_symlink(d / "fuori.txt", file);
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
    if (c.esito > 0) {
        const auto& e = file.erroreLettura();
        EXPECT_EQ(std::tuple(errore, e.numero, e.file, e.riga),
                  std::tuple(c.esito, c.esito, dir / c.file, c.riga));
        return;
    }
    ASSERT_EQ(errore, 0) << file.erroreLettura().file;
    EXPECT_EQ(letti.parametri.ModoValuta + letti.password, "Lire" + *core::Codifica("Segreta"));
    ASSERT_EQ(letti.registro.size(), 2u);
    EXPECT_TRUE(!c.riferimento || letti.registro.cella(1, 2) == c.riferimento);
    std::string riparati;
    for (const auto& r : file.riparazioni())
        riparati +=
            r.file + ":" + std::to_string(r.righe[0]) + "/" + std::to_string(r.righe.size());
    EXPECT_EQ(riparati, c.esito == kRiparato
                            ? std::string(c.file) + ":" + std::to_string(c.riga) + "/1"
                            : "");

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
