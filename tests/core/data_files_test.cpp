#include "core/data_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/scrambler.h"
#include "support/contesto_finto.h"
#include "support/failing_file_system.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using core::FileDati;
using core::Money;
using core::Parametri;
using core::RigaRegistro;
using test::FileSystemDifettoso;
using test::Guasto;
using test::Operazione;

void Scrivi(const fs::path& p, const std::string& byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

std::set<std::string> NomiInCartella(const fs::path& dir) {
    std::set<std::string> nomi;
    for (const auto& e : fs::directory_iterator(dir)) nomi.insert(e.path().filename().string());
    return nomi;
}

const std::set<std::string> kRegistro = {"listcol1.txt", "listcol2.txt", "listcol3.txt",
                                         "listcol4.txt", "listcol5.txt"};

std::vector<RigaRegistro> Registro(int righe, const std::string& riferimento) {
    std::vector<RigaRegistro> r;
    for (int i = 0; i < righe; ++i) {
        r.push_back({"01/02/2003", "Addebito bolletta elettricità", riferimento + std::to_string(i),
                     std::to_string(i) + ".000,50", i % 2 ? "-1.500" : ""});
    }
    return r;
}

class FileDatiTest : public testing::Test {
  protected:
    test::CartellaTemporanea programma;
    test::CartellaTemporanea sistema;
    FileDati dati{core::FileSystemReale(), programma.path(), sistema.path()};
};

Parametri Param(std::string modo, std::int64_t saldo, std::int64_t fido) {
    return {std::move(modo), Money::FromRaw(saldo), Money::FromRaw(fido)};
}

// Byte examples of every file; para.txt three times, as it holds one record.
TEST_F(FileDatiTest, ByteSalvatiEsatti) {
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
    ASSERT_EQ(dati.SalvaRegistro({&riga, 1}), std::nullopt);
    ASSERT_EQ(dati.SalvaConto(" 12/345 ", "Banca d'Italia €"), std::nullopt);
    ASSERT_EQ(dati.SalvaPassword("abc"), std::nullopt);
    const std::pair<fs::path, std::string> attesi[] = {
        {programma / "listcol1.txt", "\"31/12/2001\"\r\n"},
        {programma / "listcol2.txt", "\"Addebito boll.elettricit\xE0\"\r\n"},
        {programma / "listcol3.txt", "\"Enel, bolletta\"\r\n"},
        {programma / "listcol4.txt", "\"205792<8\"\r\n"},
        {programma / "listcol5.txt", "\".43\"\r\n"},
        {programma / "dati.txt", "\" 12/345 \",\"Banca d'Italia \x80\"\r\n"},
        {sistema / "Vorn.lst", "\"bdf\"\r\n"}};
    for (const auto& [file, byte] : attesi) EXPECT_EQ(test::LeggiByte(file), byte) << file;
}

TEST_F(FileDatiTest, RegistroVuotoSonoCinqueFileVuoti) {
    ASSERT_EQ(dati.SalvaRegistro(Registro(3, "x")), std::nullopt);
    ASSERT_EQ(dati.SalvaRegistro({}), std::nullopt);
    EXPECT_EQ(NomiInCartella(programma.path()), kRegistro);
    for (const auto& nome : kRegistro) EXPECT_EQ(fs::file_size(programma / nome), 0u) << nome;
    std::vector<RigaRegistro> letti(1);
    EXPECT_EQ(dati.LeggiRegistro(letti), 0);
    EXPECT_EQ(letti.size(), 0u);
}

TEST_F(FileDatiTest, AndataERitorno) {
    auto righe = Registro(40, "Rif., àèì ");
    righe.push_back({"02/02/2003", "Prelievo", "", "200.000", "0"});
    ASSERT_EQ(dati.SalvaRegistro(righe), std::nullopt);
    std::vector<RigaRegistro> letti;
    ASSERT_EQ(dati.LeggiRegistro(letti), 0);
    EXPECT_EQ(letti, righe);

    // Any mode text other than "Lire" is kept as read and written back unchanged.
    Scrivi(programma / "para.txt", "\"lire\",\"1\",\"1\"\r\n");
    Parametri p;
    ASSERT_EQ(dati.LeggiParametri(p), 0);
    EXPECT_EQ(p.ModoValuta, "lire");
    ASSERT_EQ(dati.SalvaParametri(Param(p.ModoValuta, -922337203685477580, 5000)), std::nullopt);
    EXPECT_EQ(test::LeggiByte(programma / "para.txt").substr(0, 7), "\"lire\",");
    ASSERT_EQ(dati.LeggiParametri(p), 0);
    EXPECT_EQ(p.SaldoConto, Money::FromRaw(-922337203685477580));
    EXPECT_EQ(p.FidoConto, Money::FromRaw(5000));

    std::string numero, banca;
    ASSERT_EQ(dati.SalvaConto(" 1234 ", "Cassa di Risparmio, Forlì"), std::nullopt);
    ASSERT_EQ(dati.LeggiConto(numero, banca), 0);
    EXPECT_EQ(numero, " 1234 ");
    EXPECT_EQ(banca, "Cassa di Risparmio, Forlì");

    std::string password;
    ASSERT_EQ(dati.SalvaPassword("Perché"), std::nullopt);
    ASSERT_EQ(dati.LeggiPassword(password), 0);
    EXPECT_EQ(core::Decodifica(password), "Perch\xE9");
}

TEST_F(FileDatiTest, ParametriMancantiLascianoIValori) {
    Parametri p = Param("Lire", 7, 8);
    EXPECT_EQ(dati.LeggiParametri(p), 0);
    EXPECT_EQ(p.ModoValuta, "Lire");
    EXPECT_EQ(p.SaldoConto, Money::FromRaw(7));
}

TEST_F(FileDatiTest, FileSoloProprietario) {
    ASSERT_EQ(dati.SalvaRegistro(Registro(2, "x")), std::nullopt);
    ASSERT_EQ(dati.SalvaParametri(Param("Euro", 1, 2)), std::nullopt);
    ASSERT_EQ(dati.SalvaConto("1", "b"), std::nullopt);
    ASSERT_EQ(dati.SalvaPassword("pw"), std::nullopt);
    std::vector<fs::path> file = {programma / "para.txt", programma / "dati.txt",
                                  sistema / "Vorn.lst"};
    for (const auto& n : kRegistro) file.push_back(programma / n);
    for (const auto& p : file) {
        struct stat info;
        ASSERT_EQ(::stat(p.c_str(), &info), 0) << p;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << p;
    }
    EXPECT_EQ(NomiInCartella(programma.path()).size(), 7u);  // nothing left over
}

TEST(DirSistema, BarraFinaleECasoConservato) {
    EXPECT_EQ(core::DirSistema("/home/Anna/.config/Quibora"), "/home/Anna/.config/Quibora/");
    EXPECT_EQ(core::DirSistema("/etc/"), "/etc/");
}

TEST(TestoMemorizzabile, VirgoletteECaratteri) {
    EXPECT_TRUE(core::TestoMemorizzabile("Caffè, 5€"));
    EXPECT_FALSE(core::TestoMemorizzabile("dice \"sì\""));
    EXPECT_FALSE(core::TestoMemorizzabile("ω"));
    for (const char* controllo : {"a\tb", "a\nb", "a\rb", "a\x7F", "a\u0085b"})
        EXPECT_FALSE(core::TestoMemorizzabile(controllo)) << controllo;
    EXPECT_TRUE(core::PasswordMemorizzabile("a!"));
    EXPECT_FALSE(core::PasswordMemorizzabile("!a"));   // "!" + 1 is a double quote
    EXPECT_FALSE(core::PasswordMemorizzabile("a b"));  // blank + 2 likewise
    EXPECT_FALSE(core::PasswordMemorizzabile(std::string(31, 'a') + "à"));
}

struct ErroreLettura {
    const char* nome;
    std::vector<std::pair<std::string, std::string>> file;  // name, bytes
    int atteso;
};

class ErroriDiLettura : public FileDatiTest, public testing::WithParamInterface<ErroreLettura> {};

TEST_P(ErroriDiLettura, Numero) {
    for (const auto& [nome, byte] : GetParam().file) {
        Scrivi((nome == core::kFilePassword ? sistema.path() : programma.path()) / nome, byte);
    }
    const std::string primo = GetParam().file.front().first;
    Parametri p;
    std::vector<RigaRegistro> righe;
    std::string a, b;
    const int errore = primo == "para.txt"   ? dati.LeggiParametri(p)
                       : primo == "dati.txt" ? dati.LeggiConto(a, b)
                       : primo == "Vorn.lst" ? dati.LeggiPassword(a)
                                             : dati.LeggiRegistro(righe);
    EXPECT_EQ(errore, GetParam().atteso);
}

std::vector<std::pair<std::string, std::string>> RegistroCon(int mancante, std::string importo) {
    std::vector<std::pair<std::string, std::string>> f;
    for (int k = 1; k <= 5; ++k) {
        if (k != mancante)
            f.emplace_back(core::NomeFileRegistro(k), k == 4 ? importo : "\"1\"\r\n");
    }
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, ErroriDiLettura,
    testing::Values(
        ErroreLettura{"ParametriCorretti", {{"para.txt", "\"Euro\",\"1\",\"1\"\r\n"}}, 0},
        ErroreLettura{"ParametriVuoti", {{"para.txt", ""}}, 62},
        ErroreLettura{"ParametriDueVoci", {{"para.txt", "\"Euro\",\"1\"\r\n"}}, 62},
        ErroreLettura{"SaldoNonNumero", {{"para.txt", "\"Euro\",\"bdf\",\"1\"\r\n"}}, 13},
        ErroreLettura{"FidoNonNumero", {{"para.txt", "\"Euro\",\"1\",\"\"\r\n"}}, 13},
        ErroreLettura{
            "SaldoFuoriIntervallo",
            {{"para.txt", "\"Euro\",\"" + *core::Codifica("99999999999999999") + "\",\"1\"\r\n"}},
            6},
        ErroreLettura{"SaldoNonDecodificabile", {{"para.txt", "\"Euro\",\"a\x01\",\"1\"\r\n"}}, 5},
        ErroreLettura{"Listcol2Mancante", RegistroCon(2, "\"1\"\r\n"), 53},
        ErroreLettura{"Listcol5Mancante", RegistroCon(5, "\"1\"\r\n"), 53},
        ErroreLettura{"ImportoNonDecodificabile", RegistroCon(0, "\"a\x01\"\r\n"), 5},
        ErroreLettura{"RegistroSoloLF", RegistroCon(0, "\"1\"\n"), 0},
        ErroreLettura{"ContoVuoto", {{"dati.txt", ""}}, 62},
        ErroreLettura{"ContoUnaVoce", {{"dati.txt", "\"123\"\r\n"}}, 62},
        ErroreLettura{"ContoCorretto", {{"dati.txt", "\"123\",\"\"\r\n"}}, 0},
        ErroreLettura{"PasswordVuota", {{"Vorn.lst", ""}}, 62},
        ErroreLettura{"PasswordCorretta", {{"Vorn.lst", "\"bdf\"\r\n"}}, 0}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(FileDatiTest, FileIlleggibile) {
    ASSERT_EQ(dati.SalvaRegistro(Registro(2, "x")), std::nullopt);
    ASSERT_EQ(dati.SalvaParametri(Param("Euro", 0, 0)), std::nullopt);
    FileSystemDifettoso difettoso;
    difettoso.Guasta({Operazione::Leggi, "listcol3", 0, false, EACCES});
    difettoso.Guasta({Operazione::Leggi, "para", 0, false, EACCES});
    FileDati d(difettoso, programma.path(), sistema.path());
    std::vector<RigaRegistro> righe;
    Parametri p;
    EXPECT_EQ(d.LeggiRegistro(righe), 75);
    EXPECT_EQ(d.LeggiParametri(p), 75);
}

// The file (1..5) and its rows; the others hold 3.
class LunghezzeDiverse : public FileDatiTest,
                         public testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(LunghezzeDiverse, Errore62) {
    const auto [k, n] = GetParam();
    ASSERT_EQ(dati.SalvaRegistro(Registro(3, "r")), std::nullopt);
    FileDati altro(core::FileSystemReale(), sistema.path(), sistema.path());
    ASSERT_EQ(altro.SalvaRegistro(Registro(n, "r")), std::nullopt);
    fs::copy_file(sistema / core::NomeFileRegistro(k), programma / core::NomeFileRegistro(k),
                  fs::copy_options::overwrite_existing);
    std::vector<RigaRegistro> righe;
    EXPECT_EQ(dati.LeggiRegistro(righe), 62);
}

INSTANTIATE_TEST_SUITE_P(Tabella, LunghezzeDiverse,
                         testing::Combine(testing::Range(1, 6), testing::Values(0, 2, 4)));

struct SalvataggioFallito {
    const char* nome;
    Guasto guasto;
    std::string fileNominato;
    std::string motivo;
};

class SalvataggiFalliti : public FileDatiTest,
                          public testing::WithParamInterface<SalvataggioFallito> {};

// A save that fails at any step leaves the old files as they were, names the file, and
// leaves nothing behind.
TEST_P(SalvataggiFalliti, VecchiFileIntatti) {
    ASSERT_EQ(dati.SalvaRegistro(Registro(5, "vecchio")), std::nullopt);
    ASSERT_EQ(dati.SalvaParametri(Param("Euro", 10000, 0)), std::nullopt);
    std::map<std::string, std::string> prima;
    for (const auto& n : NomiInCartella(programma.path()))
        prima[n] = test::LeggiByte(programma / n);

    FileSystemDifettoso difettoso;
    difettoso.Guasta(GetParam().guasto);
    FileDati guasto(difettoso, programma.path(), sistema.path());
    const auto esito = std::string(GetParam().fileNominato) == "para.txt"
                           ? guasto.SalvaParametri(Param("Lire", 20000, 0))
                           : guasto.SalvaRegistro(Registro(9, "nuovo"));
    ASSERT_TRUE(esito.has_value());
    EXPECT_EQ(esito->file.filename(), GetParam().fileNominato);
    EXPECT_EQ(esito->motivo, GetParam().motivo);

    std::map<std::string, std::string> dopo;
    for (const auto& n : NomiInCartella(programma.path())) dopo[n] = test::LeggiByte(programma / n);
    EXPECT_EQ(dopo, prima);
}

const std::string kIO = "errore di lettura o scrittura sul disco";
const std::string kSolaLettura = "accesso negato (file o cartella in sola lettura)";

// Each failure named Guasto{...}: from bare nested braces g++ 12 at -O3 warns that the
// failure's file name may be used uninitialized.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, SalvataggiFalliti,
    testing::Values(
        SalvataggioFallito{"DiscoPienoSulTerzo", Guasto{Operazione::Scrivi, "listcol3", 0, false, ENOSPC, true}, "listcol3.txt", "disco pieno"},
        SalvataggioFallito{"SolaLettura", Guasto{Operazione::Scrivi, "", 0, false, EACCES}, "listcol1.txt", kSolaLettura},
        SalvataggioFallito{"Marcatore", Guasto{Operazione::Scrivi, "salvataggio", 0, false, EIO}, "listcol1.txt", kIO},
        SalvataggioFallito{"PrimaRinomina", Guasto{Operazione::Rinomina, "", 1, false, EBUSY}, "listcol1.txt", "file in uso da un altro programma"},
        SalvataggioFallito{"RinominaAMeta", Guasto{Operazione::Rinomina, "listcol4", 2, false, EIO}, "listcol4.txt", kIO},
        SalvataggioFallito{"UltimaRinomina", Guasto{Operazione::Rinomina, "listcol5", 2, false, EIO}, "listcol5.txt", kIO},
        SalvataggioFallito{"SincronizzaCartella", Guasto{Operazione::SincronizzaCartella, "", 1, false, EIO}, "listcol1.txt", kIO},
        SalvataggioFallito{"Parametri", Guasto{Operazione::Rinomina, "para", 0, false, EROFS}, "para.txt", kSolaLettura}),
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
// while it undoes a failed rename: the next start sees the old register or the new one,
// whole.
class Interruzione : public testing::TestWithParam<int> {};

TEST_P(Interruzione, InOgniPunto) {
    test::CartellaTemporanea cartella(test::BaseVeloce());
    FileDati dati(core::FileSystemReale(), cartella.path(), cartella.path());
    const auto vecchio = Registro(4, "vecchio");
    const auto nuovo = Registro(6, "nuovo");
    for (int passi = 0; passi < 40; ++passi) {
        SCOPED_TRACE(passi);
        ASSERT_EQ(dati.SalvaRegistro(vecchio), std::nullopt);
        FileSystemDifettoso difettoso;
        if (GetParam() > 0) difettoso.Guasta({Operazione::Rinomina, "", GetParam(), false, EIO});
        difettoso.CrollaDopo(passi);
        FileDati interrotto(difettoso, cartella.path(), cartella.path());
        const auto esito = interrotto.SalvaRegistro(nuovo);
        const bool riuscito = !esito.has_value();
        // The last rounds get past every step.
        if (passi == 39) {
            EXPECT_EQ(riuscito, GetParam() == 0);
        }

        ASSERT_EQ(dati.Recupera(), std::nullopt);
        std::vector<RigaRegistro> letti;
        ASSERT_EQ(dati.LeggiRegistro(letti), 0);
        // The message said what the next start finds.
        if (riuscito || esito->dati == core::DatiDopoErrore::CompletatiAlRiavvio) {
            EXPECT_EQ(letti, nuovo);
        } else {
            EXPECT_EQ(letti, vecchio);
        }
        EXPECT_EQ(NomiInCartella(cartella.path()), kRegistro);
    }
}

// 0: no rename fails; N: the Nth rename fails and the save undoes the earlier ones.
INSTANTIATE_TEST_SUITE_P(Tabella, Interruzione, testing::Values(0, 2, 4, 7, 10));

TEST_F(FileDatiTest, PrimoSalvataggioInterrottoNonLasciaMezzoRegistro) {
    for (int passi = 0; passi < 30; ++passi) {
        SCOPED_TRACE(passi);
        for (const auto& n : NomiInCartella(programma.path())) fs::remove(programma / n);
        FileSystemDifettoso difettoso;
        difettoso.Guasta({Operazione::Rinomina, "", passi, false, EIO});
        FileDati guasto(difettoso, programma.path(), sistema.path());
        const bool riuscito = !guasto.SalvaRegistro(Registro(2, "x")).has_value();
        std::vector<RigaRegistro> letti;
        ASSERT_EQ(dati.LeggiRegistro(letti), 0);
        EXPECT_EQ(letti.size(), riuscito ? 2u : 0u);
        EXPECT_EQ(NomiInCartella(programma.path()), riuscito ? kRegistro : std::set<std::string>{});
    }
}

struct Eliminazione {
    const char* nome;
    std::string fallisce;  // file whose delete fails ("" none)
    std::string mancante;  // file missing beforehand ("" none)
    std::set<std::string> restano;
    std::string nominato;
};

class EliminaDati : public FileDatiTest, public testing::WithParamInterface<Eliminazione> {};

TEST_P(EliminaDati, OrdineEFallimenti) {
    ASSERT_EQ(dati.SalvaRegistro(Registro(1, "x")), std::nullopt);
    ASSERT_EQ(dati.SalvaParametri(Param("Euro", 0, 0)), std::nullopt);
    ASSERT_EQ(dati.SalvaConto("1", "b"), std::nullopt);
    ASSERT_EQ(dati.SalvaPassword("pw"), std::nullopt);
    if (!GetParam().mancante.empty()) fs::remove(programma / GetParam().mancante);
    FileSystemDifettoso difettoso;
    if (!GetParam().fallisce.empty()) {
        difettoso.Guasta({Operazione::Elimina, GetParam().fallisce, 0, false, EACCES});
    }
    FileDati d(difettoso, programma.path(), sistema.path());
    const auto esito = d.EliminaDati();
    EXPECT_EQ(esito ? esito->file.filename().string() : "", GetParam().nominato);
    auto restano = NomiInCartella(programma.path());
    for (const auto& n : NomiInCartella(sistema.path())) restano.insert(n);
    EXPECT_EQ(restano, GetParam().restano);
}

const std::set<std::string> kTutti = {"listcol1.txt", "listcol2.txt", "listcol3.txt",
                                      "listcol4.txt", "listcol5.txt", "para.txt",
                                      "dati.txt",     "Vorn.lst"};
std::set<std::string> Senza(std::string nome) {
    auto s = kTutti;
    s.erase(nome);
    return s;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, EliminaDati,
    testing::Values(Eliminazione{"Tutto", "", "", {}, ""},
                    Eliminazione{"MancanteSaltato", "", "listcol3.txt", {}, ""},
                    Eliminazione{"SenzaListcol1NienteEliminato", "", "listcol1.txt", Senza("listcol1.txt"), ""},
                    Eliminazione{"Listcol1BloccaTutto", "listcol1", "", kTutti, "listcol1.txt"},
                    Eliminazione{"ParametriRestano", "para", "", {"para.txt"}, "para.txt"}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

}  // namespace
