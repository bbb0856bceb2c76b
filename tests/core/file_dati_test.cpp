// The data files: their exact bytes, what reading them tells, and saves that fail or stop.
#include "core/file_dati.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "core/codifica.h"
#include "insieme_dati.h"

namespace {

using core::FileDati;
using core::Money;
using core::Parametri;
using core::RigaRegistro;
using test::FileSystemDifettoso;
using test::Guasto;
using test::Operazione;
using namespace prova;

std::map<std::string, std::string> Contenuti(const fs::path& dir) {
    std::map<std::string, std::string> c;
    for (const auto& n : NomiIn(dir)) c[n] = test::LeggiByte(dir / n);
    return c;
}
const Nomi kRegistro = {"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                        "listcol5.txt"};
core::Registro Registro(int righe, const std::string& rif) {
    core::Registro r;
    for (int i = 0; i < righe; ++i)
        r.aggiungi({"01/02/2003", "Addebito elettricità", rif + std::to_string(i),
                    std::to_string(i) + ".000,50", i % 2 ? "-1.500" : ""});
    return r;
}
Parametri Param(std::string modo, std::int64_t saldo, std::int64_t fido) {
    return {std::move(modo), Money::FromRaw(saldo), Money::FromRaw(fido)};
}

struct FileDatiTest : testing::Test {
    test::CartellaTemporanea programma, sistema;
    FileDati dati{core::FileSystemReale(), programma.path(), sistema.path()};
    FileSystemDifettoso difettoso;
    FileDati guasto{difettoso, programma.path(), sistema.path()};
};

// Byte examples of every file, readable by the owner alone, nothing left over; para.txt
// three times, as it holds one record; an empty register is five empty files.
TEST_F(FileDatiTest, ByteEsattiSoloProprietario) {
    const std::pair<Parametri, std::string> parametri[] = {
        {Param("Euro", 12345000, -50000000), "\"Euro\",\"24681;\",\".7345\"\r\n"},
        {Param("Lire", 0, 5000), "\"Lire\",\"1\",\"1.8\"\r\n"},
        {Param("", -200000, 0), "\"\",\".43\",\"1\"\r\n"}};
    for (const auto& [p, byte] : parametri) {
        ASSERT_EQ(dati.SalvaParametri(p), std::nullopt);
        EXPECT_EQ(test::LeggiByte(programma / "para.txt"), byte);
    }
    const RigaRegistro riga{"31/12/2001", "Addebito boll.elettricità", "Enel, bolletta", "1.234,50",
                            "-20"};
    ASSERT_EQ(dati.SalvaRegistro(core::Registro(std::span(&riga, 1))), std::nullopt);
    ASSERT_EQ(dati.SalvaConto(" 12/345 ", "Banca d'Italia €"), std::nullopt);
    ASSERT_EQ(dati.SalvaPassword("abc"), std::nullopt);
    const std::pair<fs::path, std::string> attesi[] = {
        {programma / "listcol1.txt", "\"31/12/2001\"\r\n"},
        {programma / "listcol2.txt", "\"Addebito boll.elettricit\xE0\"\r\n"},
        {programma / "listcol3.txt", "\"Enel, bolletta\"\r\n"},
        {programma / "listcol4.txt", "\"205792<8\"\r\n"},
        {programma / "listcol5.txt", "\".43\"\r\n"},
        {programma / "dati.txt", "\" 12/345 \",\"Banca d'Italia \x80\"\r\n"},
        {programma / "para.txt", "\"\",\".43\",\"1\"\r\n"},
        {sistema / "Vorn.lst", "\"bdf\"\r\n"}};
    for (const auto& [file, byte] : attesi) {
        EXPECT_EQ(test::LeggiByte(file), byte) << file;
        struct stat info;
        ASSERT_EQ(::stat(file.c_str(), &info), 0) << file;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << file;
    }
    EXPECT_EQ(NomiIn(programma.path()).size(), 7u);
    ASSERT_EQ(dati.SalvaRegistro({}), std::nullopt);
    for (const auto& nome : kRegistro) EXPECT_EQ(test::LeggiByte(programma / nome), "") << nome;
    core::Registro letti;
    letti.aggiungiVuote(1);
    EXPECT_EQ(dati.LeggiRegistro(letti), 0);
    EXPECT_TRUE(letti.empty());
}

// What is saved reads back the same; a missing para.txt leaves the values as they were;
// a mode text other than "Lire" is kept as read.
TEST_F(FileDatiTest, AndataERitorno) {
    Parametri p = Param("Lire", 7, 8);
    EXPECT_EQ(dati.LeggiParametri(p), 0);
    EXPECT_EQ(p.SaldoConto, Money::FromRaw(7));
    auto righe = Registro(40, "Rif., àèì ");
    righe.aggiungi({"02/02/2003", "Prelievo", "", "200.000", "0"});
    ASSERT_EQ(dati.SalvaRegistro(righe), std::nullopt);
    core::Registro letti;
    ASSERT_EQ(dati.LeggiRegistro(letti), 0);
    EXPECT_EQ(letti, righe);

    Scrivi(programma / "para.txt", "\"lire\",\"1\",\"1\"\r\n");
    ASSERT_EQ(dati.LeggiParametri(p), 0);
    ASSERT_EQ(dati.SalvaParametri(Param(p.ModoValuta, -922337203685477580, 5000)), std::nullopt);
    ASSERT_EQ(dati.LeggiParametri(p), 0);
    EXPECT_EQ(p.ModoValuta, "lire");
    EXPECT_EQ(p.SaldoConto, Money::FromRaw(-922337203685477580));
    EXPECT_EQ(p.FidoConto, Money::FromRaw(5000));

    std::string numero, banca, password;
    ASSERT_EQ(dati.SalvaConto(" 1234 ", "Cassa di Risparmio, Forlì"), std::nullopt);
    ASSERT_EQ(dati.LeggiConto(numero, banca), 0);
    EXPECT_EQ(numero + "|" + banca, " 1234 |Cassa di Risparmio, Forlì");
    ASSERT_EQ(dati.SalvaPassword("Perché"), std::nullopt);
    ASSERT_EQ(dati.LeggiPassword(password), 0);
    EXPECT_EQ(core::Decodifica(password), "Perch\xE9");
    EXPECT_EQ(core::DirSistema("/home/Anna/.config/Quibora"), "/home/Anna/.config/Quibora/");
    EXPECT_EQ(core::DirSistema("/etc/"), "/etc/");
}

// Texts the files cannot hold: double quotes, controls, characters outside Windows-1252.
TEST(TestoMemorizzabile, VirgoletteECaratteri) {
    EXPECT_TRUE(core::TestoMemorizzabile("Caffè, 5€"));
    for (const char* no : {"dice \"sì\"", "ω", "a\tb", "a\nb", "a\rb", "a\x7F", "a\u0085b"})
        EXPECT_FALSE(core::TestoMemorizzabile(no)) << no;
    EXPECT_TRUE(core::PasswordMemorizzabile("a!"));
    EXPECT_FALSE(core::PasswordMemorizzabile("!a"));   // "!" + 1 is a double quote
    EXPECT_FALSE(core::PasswordMemorizzabile("a b"));  // blank + 2 likewise
    EXPECT_FALSE(core::PasswordMemorizzabile(std::string(31, 'a') + "à"));
}

using File = std::vector<std::pair<std::string, std::string>>;  // name, bytes
File RegistroCon(int mancante, std::string importo) {
    File f;
    for (int k = 1; k <= 5; ++k)
        if (k != mancante)
            f.emplace_back(core::NomeFileRegistro(k), k == 4 ? importo : "\"1\"\r\n");
    return f;
}
// Registers whose file k has n rows, the others 3.
File Disuguale(int k, int n) {
    auto f = RegistroCon(0, "");
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < (j == k - 1 ? n : 3); ++i) f[j].second += "\"1\"\r\n";
    return f;
}

struct Lettura {
    const char* nome;
    File file;
    int errore;
};
// The error number each damaged file gives, read by the reader of its first file.
class ErroriDiLettura : public FileDatiTest, public testing::WithParamInterface<Lettura> {};

TEST_P(ErroriDiLettura, Numero) {
    const auto& [_, file, atteso] = GetParam();
    for (const auto& [nome, byte] : file)
        Scrivi((nome == core::kFilePassword ? sistema.path() : programma.path()) / nome, byte);
    Parametri p;
    core::Registro righe;
    std::string a, b;
    const auto& primo = file.front().first;
    EXPECT_EQ(primo == "para.txt"   ? dati.LeggiParametri(p)
              : primo == "dati.txt" ? dati.LeggiConto(a, b)
              : primo == "Vorn.lst" ? dati.LeggiPassword(a)
                                    : dati.LeggiRegistro(righe),
              atteso);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, ErroriDiLettura, testing::Values(
    Lettura{"ParametriCorretti", {{"para.txt", "\"Euro\",\"1\",\"1\"\r\n"}}, 0},
    Lettura{"ParametriVuoti", {{"para.txt", ""}}, 62},
    Lettura{"ParametriDueVoci", {{"para.txt", "\"Euro\",\"1\"\r\n"}}, 62},
    Lettura{"SaldoNonNumero", {{"para.txt", "\"Euro\",\"bdf\",\"1\"\r\n"}}, 13},
    Lettura{"FidoNonNumero", {{"para.txt", "\"Euro\",\"1\",\"\"\r\n"}}, 13},
    Lettura{"SaldoFuoriIntervallo", {{"para.txt", "\"Euro\",\"" + *core::Codifica("99999999999999999") + "\",\"1\"\r\n"}}, 6},
    Lettura{"SaldoNonDecodificabile", {{"para.txt", "\"Euro\",\"a\x01\",\"1\"\r\n"}}, 5},
    Lettura{"Listcol2Mancante", RegistroCon(2, "\"1\"\r\n"), 53},
    Lettura{"ImportoNonDecodificabile", RegistroCon(0, "\"a\x01\"\r\n"), 5},
    Lettura{"RegistroSoloLF", RegistroCon(0, "\"1\"\n"), 0},
    Lettura{"Listcol1PiuLungo", Disuguale(1, 4), 62}, Lettura{"Listcol2PiuLungo", Disuguale(2, 4), 62},
    Lettura{"Listcol3PiuCorto", Disuguale(3, 2), 62}, Lettura{"Listcol5PiuLungo", Disuguale(5, 4), 62},
    Lettura{"ContoUnaVoce", {{"dati.txt", "\"123\"\r\n"}}, 62},
    Lettura{"ContoCorretto", {{"dati.txt", "\"123\",\"\"\r\n"}}, 0},
    Lettura{"PasswordVuota", {{"Vorn.lst", ""}}, 62},
    Lettura{"PasswordCorretta", {{"Vorn.lst", "\"bdf\"\r\n"}}, 0}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST_F(FileDatiTest, FileIlleggibile75) {
    SalvaInsieme(dati);
    difettoso.Guasta({Operazione::Leggi, "", 0, false, EACCES});
    core::Registro righe;
    Parametri p;
    EXPECT_EQ(guasto.LeggiRegistro(righe), 75);
    EXPECT_EQ(guasto.LeggiParametri(p), 75);
}

struct Fallimento {
    const char* nome;
    Guasto guasto;
    std::string file, motivo;
};
// A save that fails at any step leaves the old files as they were, names the file and
// the reason, and leaves nothing behind.
class SalvataggiFalliti : public FileDatiTest, public testing::WithParamInterface<Fallimento> {};

TEST_P(SalvataggiFalliti, VecchiFileIntatti) {
    const auto& [_, g, nominato, motivo] = GetParam();
    SalvaInsieme(dati);
    const auto prima = Contenuti(programma.path());
    difettoso.Guasta(g);
    const auto esito = nominato == "para.txt" ? guasto.SalvaParametri(Param("Euro", 20000, 0))
                                              : guasto.SalvaRegistro(Registro(9, "nuovo"));
    ASSERT_TRUE(esito.has_value());
    EXPECT_EQ(esito->file.filename(), nominato);
    EXPECT_EQ(esito->motivo, motivo);
    EXPECT_EQ(Contenuti(programma.path()), prima);
}

const std::string kIO = "errore di lettura o scrittura sul disco";
const std::string kSolaLettura = "accesso negato (file o cartella in sola lettura)";

// Each failure named Guasto{...}: from bare nested braces g++ 12 at -O3 warns that the
// failure's file name may be used uninitialized.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, SalvataggiFalliti, testing::Values(
    Fallimento{"DiscoPienoSulTerzo", Guasto{Operazione::Scrivi, "listcol3", 0, false, ENOSPC, true}, "listcol3.txt", "disco pieno"},
    Fallimento{"SolaLettura", Guasto{Operazione::Scrivi, "", 0, false, EACCES}, "listcol1.txt", kSolaLettura},
    Fallimento{"Marcatore", Guasto{Operazione::Scrivi, "salvataggio", 0, false, EIO}, "listcol1.txt", kIO},
    Fallimento{"PrimaRinomina", Guasto{Operazione::Rinomina, "", 1, false, EBUSY}, "listcol1.txt", "file in uso da un altro programma"},
    Fallimento{"RinominaAMeta", Guasto{Operazione::Rinomina, "listcol4", 2, false, EIO}, "listcol4.txt", kIO},
    Fallimento{"UltimaRinomina", Guasto{Operazione::Rinomina, "listcol5", 2, false, EIO}, "listcol5.txt", kIO},
    Fallimento{"SincronizzaCartella", Guasto{Operazione::SincronizzaCartella, "", 1, false, EIO}, "listcol1.txt", kIO},
    Fallimento{"Parametri", Guasto{Operazione::Rinomina, "para", 0, false, EROFS}, "para.txt", kSolaLettura}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST(MessaggioErroreFile, NominaFileEMotivo) {
    EXPECT_EQ(core::MessaggioErroreFile({"/d/listcol3.txt", "disco pieno"}),
              "Impossibile salvare il file /d/listcol3.txt: disco pieno. I dati già salvati "
              "sono rimasti intatti.");
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
    const auto vecchio = Registro(4, "vecchio"), nuovo = Registro(6, "nuovo");
    const bool primo = GetParam() < 0;
    for (int passi = 0; passi < 40; ++passi) {
        SCOPED_TRACE(passi);
        if (primo) {
            for (const auto& n : NomiIn(cartella.path())) fs::remove(cartella / n);
        } else {
            ASSERT_EQ(dati.SalvaRegistro(vecchio), std::nullopt);
        }
        FileSystemDifettoso difettoso;
        if (GetParam() != 0)
            difettoso.Guasta({Operazione::Rinomina, "", primo ? passi : GetParam(), false, EIO});
        if (!primo) difettoso.CrollaDopo(passi);
        const auto esito =
            FileDati(difettoso, cartella.path(), cartella.path()).SalvaRegistro(nuovo);
        const bool riuscito = !esito.has_value();
        EXPECT_TRUE(primo || passi < 39 || riuscito == (GetParam() == 0));  // the last get past all
        ASSERT_TRUE(primo || !dati.Recupera());
        core::Registro letti;
        ASSERT_EQ(dati.LeggiRegistro(letti), 0);
        const bool nuovi = riuscito || esito->dati == core::DatiDopoErrore::CompletatiAlRiavvio;
        EXPECT_EQ(letti, nuovi ? nuovo : primo ? core::Registro{} : vecchio);
        EXPECT_EQ(NomiIn(cartella.path()), letti.empty() ? Nomi{} : kRegistro);
    }
}

INSTANTIATE_TEST_SUITE_P(Tabella, Interruzione, testing::Values(0, 2, 4, 7, 10, -1));

struct Reset {
    const char* nome;
    std::string fallisce, mancante, nominato;
    Nomi restano;
};
// The reset: listcol1.txt first (if it stays, all stays), missing files skipped, the
// first failure named.
class EliminaDati : public FileDatiTest, public testing::WithParamInterface<Reset> {};

TEST_P(EliminaDati, OrdineEFallimenti) {
    const auto& [_, fallisce, mancante, nominato, restano] = GetParam();
    SalvaInsieme(dati);
    if (!mancante.empty()) fs::remove(programma / mancante);
    if (!fallisce.empty()) difettoso.Guasta({Operazione::Elimina, fallisce, 0, false, EACCES});
    const auto esito = guasto.EliminaDati();
    EXPECT_EQ(esito ? esito->file.filename().string() : "", nominato);
    auto resto = NomiIn(programma.path());
    resto.merge(NomiIn(sistema.path()));
    EXPECT_EQ(resto, restano);
}

const Nomi kTutti = {"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                     "listcol5.txt", "para.txt",     "dati.txt",     "Vorn.lst"};
Nomi Senza(std::string nome) {
    auto s = kTutti;
    s.erase(nome);
    return s;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, EliminaDati, testing::Values(
    Reset{"Tutto", "", "", "", {}}, Reset{"MancanteSaltato", "", "listcol3.txt", "", {}},
    Reset{"SenzaListcol1NienteEliminato", "", "listcol1.txt", "", Senza("listcol1.txt")},
    Reset{"Listcol1BloccaTutto", "listcol1", "", "listcol1.txt", kTutti},
    Reset{"ParametriRestano", "para", "", "para.txt", {"para.txt"}}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

}  // namespace
