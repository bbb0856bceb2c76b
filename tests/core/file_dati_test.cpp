// The data files: their exact bytes, what reading them tells, and saves that fail or stop.
#include "core/file_dati.h"

#include "core/codifica.h"
#include "insieme_dati.h"

namespace {

using core::FileDati;
using core::Money;
using core::Parametri;
using test::Guasto;
using test::Operazione;
using namespace prova;
const Nomi kRegistro = {"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                        "listcol5.txt"};
Parametri Param(std::string modo, std::int64_t saldo, std::int64_t fido) {
    return {std::move(modo), Money::FromRaw(saldo), Money::FromRaw(fido)};
}

struct FileDatiTest : testing::Test {
    test::CartellaTemporanea programma, sistema;
    FileDati dati{core::FileSystemReale(), programma.path(), sistema.path()};
    test::FileSystemDifettoso difettoso;
    FileDati guasto{difettoso, programma.path(), sistema.path()};
};

// Byte examples of every file, readable by the owner alone, nothing left over, each read
// back as saved; para.txt three times, as it holds one record (before it exists, reading
// leaves the values as they were); an empty register is five empty files.
TEST_F(FileDatiTest, ByteEsattiERilettura) {
    Parametri letti = Param("Euro", 7, 8);
    // clang-format off
    for (const auto& [p, byte] : {std::pair{letti, ""}, {Param("Euro", 12345000, -50000000), "\"Euro\",\"24681;\",\".7345\"\r\n"},
            {Param("Lire", 0, 5000), "\"Lire\",\"1\",\"1.8\"\r\n"}, {Param("lire", -922337203685477580, 5000), "\"lire\",\".;5689>:9=ADBBF<HGK\",\"1.8\"\r\n"}}) {
        ASSERT_TRUE(byte[0] == '\0' || !dati.SalvaParametri(p));
        EXPECT_EQ(test::LeggiByte(programma / "para.txt"), byte);
        ASSERT_EQ(dati.LeggiParametri(letti), 0);
        EXPECT_EQ(std::tie(letti.ModoValuta, letti.SaldoConto, letti.FidoConto),
                  std::tie(p.ModoValuta, p.SaldoConto, p.FidoConto));
    }
    // clang-format on
    const core::RigaRegistro righe[] = {
        {"31/12/2001", "Addebito boll.elettricità", "Enel, bolletta", "1.234,50", "-20"},
        {"02/02/2003", "Prelievo", "", "200.000", "0"}};
    ASSERT_EQ(dati.SalvaRegistro(core::Registro(righe)), std::nullopt);
    ASSERT_EQ(dati.SalvaConto(" 12/345 ", "Banca d'Italia €"), std::nullopt);
    ASSERT_EQ(dati.SalvaPassword("Perché"), std::nullopt);
    EXPECT_EQ(Contenuti({programma.path(), sistema.path()}),
              (Contenuto{{"Vorn.lst", "\"Qgugm\xEF\"\r\n"},
                         {"listcol1.txt", "\"31/12/2001\"\r\n\"02/02/2003\"\r\n"},
                         {"listcol2.txt", "\"Addebito boll.elettricit\xE0\"\r\n\"Prelievo\"\r\n"},
                         {"listcol3.txt", "\"Enel, bolletta\"\r\n\"\"\r\n"},
                         {"listcol4.txt", "\"205792<8\"\r\n\"3232567\"\r\n"},
                         {"listcol5.txt", "\".43\"\r\n\"1\"\r\n"},
                         {"dati.txt", "\" 12/345 \",\"Banca d'Italia \x80\"\r\n"},
                         {"para.txt", "\"lire\",\".;5689>:9=ADBBF<HGK\",\"1.8\"\r\n"}}));
    for (const auto& dir : {programma.path(), sistema.path()})
        for (const auto& file : fs::directory_iterator(dir))
            EXPECT_EQ(file.status().permissions(), fs::perms::owner_read | fs::perms::owner_write);
    core::Registro registro;
    std::string numero, banca, password;
    ASSERT_EQ(dati.LeggiRegistro(registro) + dati.LeggiConto(numero, banca) +
                  dati.LeggiPassword(password),
              0);
    EXPECT_EQ(registro, core::Registro(righe));
    EXPECT_EQ(numero + "|" + banca + "|" + *core::Decodifica(password),
              " 12/345 |Banca d'Italia €|Perch\xE9");
    ASSERT_EQ(dati.SalvaRegistro({}), std::nullopt);
    for (const auto& nome : kRegistro) EXPECT_EQ(test::LeggiByte(programma / nome), "") << nome;
    EXPECT_EQ(dati.LeggiRegistro(registro), 0);
    EXPECT_TRUE(registro.empty());
    EXPECT_EQ(core::DirSistema("/home/Anna/.config/Quibora"), "/home/Anna/.config/Quibora/");
    EXPECT_EQ(core::DirSistema("/etc/"), "/etc/");
}

// Texts the files cannot hold: double quotes, controls, characters outside Windows-1252;
// passwords whose encoding gives a double quote ("!" + 1, blank + 2).
TEST(TestoMemorizzabile, VirgoletteECaratteri) {
    EXPECT_TRUE(core::TestoMemorizzabile("Caffè, 5€") && core::PasswordMemorizzabile("a!"));
    for (const char* no : {"dice \"sì\"", "ω", "a\tb", "a\nb", "a\rb", "a\x7F", "a\u0085b"})
        EXPECT_FALSE(core::TestoMemorizzabile(no)) << no;
    for (const auto& no : {std::string("!a"), std::string("a b"), std::string(31, 'a') + "à"})
        EXPECT_FALSE(core::PasswordMemorizzabile(no)) << no;
}

// A save that fails at any step leaves the old files as they were, and nothing else, and
// says so naming the file and the reason.
TEST_F(FileDatiTest, SalvataggiFallitiVecchiFileIntatti) {
    const std::string kIO = "errore di lettura o scrittura sul disco";
    const std::string kSolaLettura = "accesso negato (file o cartella in sola lettura)";
    // Guasto{...} named: from bare braces g++ 12 -O3 warns of a name used uninitialized.
    // clang-format off
    const std::tuple<Guasto, std::string, std::string> casi[] = {
        {Guasto{Operazione::Scrivi, "listcol3", 0, false, ENOSPC, true}, "listcol3.txt", "disco pieno"},
        {Guasto{Operazione::Scrivi, "", 0, false, EACCES}, "listcol1.txt", kSolaLettura},
        {Guasto{Operazione::Scrivi, "salvataggio", 0, false, EIO}, "listcol1.txt", kIO},
        {Guasto{Operazione::Rinomina, "", 1, false, EBUSY}, "listcol1.txt", "file in uso da un altro programma"},
        {Guasto{Operazione::Rinomina, "listcol4", 2, false, EIO}, "listcol4.txt", kIO},
        {Guasto{Operazione::Rinomina, "listcol5", 2, false, EIO}, "listcol5.txt", kIO},
        {Guasto{Operazione::SincronizzaCartella, "", 1, false, EIO}, "listcol1.txt", kIO},
        {Guasto{Operazione::Rinomina, "para", 0, false, EROFS}, "para.txt", kSolaLettura}};
    // clang-format on
    SalvaInsieme(dati);
    const auto prima = Contenuti({programma.path()});
    for (const auto& [g, nominato, motivo] : casi) {
        difettoso.Ripara();
        difettoso.Guasta(g);
        const auto esito = nominato == "para.txt" ? guasto.SalvaParametri(Param("Euro", 20000, 0))
                                                  : guasto.SalvaRegistro(kUnaRiga);
        ASSERT_TRUE(esito.has_value()) << motivo;
        EXPECT_EQ(core::MessaggioErroreFile(*esito),
                  "Impossibile salvare il file " + (programma / nominato).string() + ": " + motivo +
                      ". I dati già salvati sono rimasti intatti.");
        EXPECT_EQ(Contenuti({programma.path()}), prima) << motivo;
    }
    EXPECT_EQ(core::MessaggioErroreFile(
                  {"/d/listcol3.txt", "disco pieno", core::DatiDopoErrore::CompletatiAlRiavvio}),
              "Impossibile salvare il file /d/listcol3.txt: disco pieno. I nuovi dati sono già "
              "sul disco: il salvataggio sarà completato al prossimo avvio del programma.");
}

// The save stopped after each possible number of disk changes, as by a power cut, also
// while it undoes a failed rename (0: none fails; N: the Nth fails): the next start sees
// the old register or the new one, whole, as the message said. A first save stopped
// leaves no register at all.
class Interruzione : public testing::TestWithParam<int> {};

TEST_P(Interruzione, InOgniPunto) {
    test::CartellaTemporanea cartella(test::BaseVeloce());
    FileDati dati(core::FileSystemReale(), cartella.path(), cartella.path());
    const bool primo = GetParam() < 0;
    for (int passi = 0; passi < 40; ++passi) {
        SCOPED_TRACE(passi);
        for (const auto& n : NomiIn(cartella.path())) fs::remove(cartella / n);
        ASSERT_TRUE(primo || !dati.SalvaRegistro(kUnaRiga));
        test::FileSystemDifettoso difettoso;
        if (GetParam() != 0)
            difettoso.Guasta({Operazione::Rinomina, "", primo ? passi : GetParam(), false, EIO});
        if (!primo) difettoso.CrollaDopo(passi);
        const auto esito =
            FileDati(difettoso, cartella.path(), cartella.path()).SalvaRegistro(kDueRighe);
        const bool riuscito = !esito.has_value();
        EXPECT_TRUE(primo || passi < 39 || riuscito == (GetParam() == 0));  // the last get past all
        ASSERT_TRUE(primo || !dati.Recupera());
        core::Registro letti;
        ASSERT_EQ(dati.LeggiRegistro(letti), 0);
        const bool nuovi = riuscito || esito->dati == core::DatiDopoErrore::CompletatiAlRiavvio;
        EXPECT_EQ(letti, nuovi ? kDueRighe : primo ? core::Registro{} : kUnaRiga);
        EXPECT_EQ(NomiIn(cartella.path()), letti.empty() ? Nomi{} : kRegistro);
    }
}

INSTANTIATE_TEST_SUITE_P(Tabella, Interruzione, testing::Values(0, 2, 4, 7, 10, -1));

// The reset: listcol1.txt first (if it stays, all stays), missing files skipped, the
// first failure named.
TEST_F(FileDatiTest, EliminaDati) {
    const auto nomi = [&] {
        auto n = NomiIn(programma.path());
        n.merge(NomiIn(sistema.path()));
        return n;
    };
    // The file that cannot be moved, the one missing, the one named, those left ("*": all):
    // the reset is one switch, so a failure anywhere removes nothing.
    // clang-format off
    const std::tuple<std::string, std::string, std::string, Nomi> casi[] = {
        {"", "listcol3.txt", "", {}}, {"", "listcol1.txt", "", {"*"}}, {"listcol1", "", "listcol1.txt", {"*"}},
        {"para", "", "para.txt", {"*"}}};
    // clang-format on
    for (const auto& [fallisce, mancante, nominato, restano] : casi) {
        SalvaInsieme(dati);
        difettoso.Ripara();
        if (!mancante.empty()) fs::remove(programma / mancante);
        if (!fallisce.empty()) difettoso.Guasta({Operazione::Rinomina, fallisce, 0, false, EACCES});
        const auto prima = nomi();
        const auto esito = guasto.EliminaDati();
        EXPECT_EQ(esito ? esito->file.filename().string() : "", nominato) << mancante;
        EXPECT_EQ(nomi(), restano == Nomi{"*"} ? prima : restano) << nominato;
    }
}

}  // namespace

namespace {

// Files of several megabytes are read a piece at a time: items cut by a piece's end (a
// 3.5 MB text among them, read in growing pieces) read whole; a register saved with one
// column changed rewrites that file alone, as it is compared with the files as they were
// read; a piece that cannot be read, or that comes from a file put in its place meanwhile,
// refuses the register by the file's name.
TEST_F(FileDatiTest, RegistroLettoAPezzi) {
    dati.ImpostaLimitiGiornale({UINTMAX_MAX, UINTMAX_MAX, 1});
    std::vector<core::RigaRegistro> righe;
    for (int i = 0; i < 60000; ++i)
        righe.push_back({"0" + std::to_string(1 + i % 9) + "/03/2024", "Versamento",
                         "rif. " + std::to_string(i * 7919 % 100003), std::to_string(i) + ",00",
                         std::to_string(1000 + i) + ",00"});
    righe[41234][2] = std::string(3'500'000, 'r');
    const core::Registro registro(righe);
    ASSERT_EQ(dati.SalvaRegistro(registro), std::nullopt);
    ASSERT_GT(fs::file_size(programma / "listcol3.txt"), 4'300'000u);

    core::Registro letto;
    ASSERT_EQ(dati.LeggiRegistro(letto), 0);
    EXPECT_TRUE(letto == registro);
    std::map<std::string, fs::file_time_type> prima;
    for (const auto& nome : kRegistro) prima[nome] = fs::last_write_time(programma / nome);
    // A copy is compared with the files as they were read, piece by piece.
    core::Registro copia = letto;
    copia.imposta(59999, 2, "cambiato");
    ASSERT_EQ(dati.SalvaRegistro(copia), std::nullopt);
    for (const auto& nome : kRegistro)
        EXPECT_EQ(fs::last_write_time(programma / nome) == prima[nome], nome != "listcol3.txt")
            << nome;

    guasto.ImpostaLimitiGiornale({UINTMAX_MAX, UINTMAX_MAX, 1});
    difettoso.Guasta({Operazione::Leggi, "listcol3", 2, false, EIO});
    core::Registro rifiutato;
    EXPECT_EQ(guasto.LeggiRegistro(rifiutato), core::kErroreAccessoFile);
    EXPECT_TRUE(rifiutato.empty());
    EXPECT_EQ(guasto.erroreLettura().file, programma / "listcol3.txt");
    EXPECT_FALSE(guasto.erroreLettura().motivo.empty());

    // Another program puts a file of the same size in its place between two pieces.
    difettoso.Ripara();
    difettoso.PrimaDellaParte([&](const fs::path& p, std::uintmax_t da) {
        if (p.filename() != "listcol3.txt" || da == 0) return;
        const std::string byte = test::LeggiByte(p);
        std::ofstream(programma / "altro.txt", std::ios::binary) << byte;
        fs::rename(programma / "altro.txt", p);
    });
    EXPECT_EQ(guasto.LeggiRegistro(rifiutato), core::kErroreAccessoFile);
    EXPECT_TRUE(rifiutato.empty());
    EXPECT_EQ(guasto.erroreLettura().file, programma / "listcol3.txt");
    EXPECT_NE(guasto.erroreLettura().motivo.find("cambiato"), std::string::npos);
}

}  // namespace
