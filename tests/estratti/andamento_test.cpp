#include "estratti/andamento.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/importi.h"
#include "support/contesto_finto.h"

namespace {

using core::Data;
using core::Money;
using estratti::GiornoDa;

std::string Testo(const std::optional<Data>& d) {
    return d ? core::FormatoData(*d) : "nessuna";
}

// "15/03/2024: 1.250,00" for each point, to compare whole lines at once.
std::vector<std::string> Punti(const std::vector<estratti::PuntoSaldo>& punti) {
    std::vector<std::string> t;
    for (const auto& p : punti)
        t.push_back(core::FormatoData(estratti::DataDelGiorno(p.giorno)) + ": " +
                    core::FormatoEuro(p.saldo));
    return t;
}

// "2/2024 +0 -10; " for each month, "feb 2024 +0 -10; " for each bar.
template <typename T>
std::string Barre(const std::vector<T>& v) {
    std::ostringstream s;
    for (const auto& b : v) {
        if constexpr (requires { b.nome; })
            s << b.nome;
        else
            s << b.mese << '/' << b.anno;
        s << " +" << b.crediti << " -" << b.debiti << "; ";
    }
    return s.str();
}

struct Digitata {
    const char* testo;
    const char* data;
};
class DataDigitata : public testing::TestWithParam<Digitata> {};
TEST_P(DataDigitata, ComeLaLeggeLUtente) {
    EXPECT_EQ(Testo(estratti::LeggiDataDigitata(GetParam().testo)), GetParam().data);
}
INSTANTIATE_TEST_SUITE_P(
    Tabella, DataDigitata,
    testing::Values(Digitata{"15/03/2024", "15/03/2024"}, Digitata{"15032024", "15/03/2024"},
                    Digitata{" 150324 ", "15/03/2024"}, Digitata{"1/3/2024", "01/03/2024"},
                    Digitata{"15-03-1999", "15/03/1999"}, Digitata{"29022023", "nessuna"},
                    Digitata{"1503202", "nessuna"}, Digitata{"15/01/0000", "nessuna"},
                    Digitata{"", "nessuna"}));

TEST(Giorni, DallEpocaSenzaFusoOrario) {
    EXPECT_EQ(GiornoDa({1970, 1, 1}), 0);
    EXPECT_EQ(GiornoDa({1969, 12, 31}), -1);
    EXPECT_EQ(GiornoDa({2000, 3, 1}) - GiornoDa({2000, 2, 28}), 2);
    EXPECT_EQ(GiornoDa({2024, 3, 31}) - GiornoDa({2024, 3, 30}), 1);  // summer time starts
    for (const Data d : {Data{1900, 1, 1}, Data{2024, 2, 29}, Data{9999, 12, 31}})
        EXPECT_EQ(estratti::DataDelGiorno(GiornoDa(d)), d);
}

// Rows of one day merged, each day's last balance, the account's balance for the last row,
// lire rows in a euro account converted, unreadable cells counted and left out (a balance
// still drawn when only its amount is unreadable), and rows out of order put back in order.
TEST(CalcolaAndamento, UnSaldoAlGiornoInOrdine) {
    test::ContestoFinto c;
    c.righe({{"01/03/2024", "Versamento", "", "100,00", "100,00"},
             {"01/03/2024", "Prelievo", "", "30,00", "70,00"},
             {"1/3/2024", "Prelievo", "", "5,00", "65,00"},
             {"04/03/2024", "Versamento", "", "1.936.270", "1.936.270"},
             {"05/03/2024", "Prelievo", "", "abc", "50,00"},
             {"32/03/2024", "Prelievo", "", "1,00", "49,00"},
             {"06/03/2024", "Prelievo", "", "1,00", "xyz"},
             {"02/02/2024", "Addebito bolletta gas", "", "10,00", "-10,00"},
             {"07/04/2024", "Prelievo", "", "2,00", "999,00"}});
    c.stato.ModoValuta = "Euro";
    c.stato.SaldoConto = Money::FromUnits(-7);
    c.stato.FidoConto = Money::FromUnits(-500);
    const auto a = estratti::CalcolaAndamento(c.griglia.righe(), c.stato);
    EXPECT_EQ(Punti(a.punti), (std::vector<std::string>{"02/02/2024: -10,00", "01/03/2024: 65,00",
                                                        "04/03/2024: 1.000,00", "05/03/2024: 50,00",
                                                        "07/04/2024: -7,00"}));
    EXPECT_EQ(a.illeggibili, 3);
    EXPECT_EQ(a.fido, Money::FromUnits(-500));
    EXPECT_EQ(Barre(a.mesi), "2/2024 +0 -10; 3/2024 +1100 -36; 4/2024 +0 -2; ");
}

TEST(CalcolaAndamento, ContoInLire) {
    test::ContestoFinto c;
    c.righe({{"01/03/2024", "Versamento", "", "1,00", "1,00"},
             {"02/03/2024", "Versamento", "", "1.000", ""}});
    c.stato.ModoValuta = "Lire";
    c.stato.SaldoConto = Money::FromUnits(2000);
    const auto a = estratti::CalcolaAndamento(c.griglia.righe(), c.stato);
    ASSERT_EQ(a.punti.size(), 2u);
    EXPECT_EQ(a.punti[0].saldo, Money::FromRaw(19362700));
    EXPECT_EQ(estratti::TestoSaldo(a, a.punti[0].saldo), "£. 1.936");
    EXPECT_EQ(estratti::TestoSaldo(a, Money{}), "£. 0");
    EXPECT_DOUBLE_EQ(a.mesi[0].crediti, 1000 + 1936.27);
}

// A long wandering line on a few columns: at most four points a column, and every extreme,
// the first and the last kept; the neighbours outside the range too.
TEST(PuntiDaDisegnare, PochiPerColonnaSenzaPerdereIPicchi) {
    std::vector<estratti::PuntoSaldo> punti;
    for (int g = 0; g < 10000; ++g)
        punti.push_back({g, Money::FromUnits((g * 7919) % 1000 - (g == 4321 ? 5000 : 0) +
                                             (g == 8765 ? 9000 : 0))});
    const auto scelti = estratti::PuntiDaDisegnare(punti, 100, 9899, 50);
    EXPECT_LE(scelti.size(), 4u * 50 + 2);
    EXPECT_EQ(scelti.front().giorno, 99);
    EXPECT_EQ(scelti.back().giorno, 9900);
    const auto basso = std::ranges::min_element(scelti, {}, &estratti::PuntoSaldo::saldo);
    const auto alto = std::ranges::max_element(scelti, {}, &estratti::PuntoSaldo::saldo);
    EXPECT_EQ(basso->giorno, 4321);
    EXPECT_EQ(alto->giorno, 8765);
    EXPECT_TRUE(std::ranges::is_sorted(scelti, {}, &estratti::PuntoSaldo::giorno));
    // Fewer points than columns: every one drawn.
    EXPECT_EQ(estratti::PuntiDaDisegnare(punti, 0, 99, 800).size(), 101u);
    EXPECT_TRUE(estratti::PuntiDaDisegnare(punti, 20000, 20010, 800).size() == 1);
}

TEST(SaldoAl, UltimoGiornoConMovimentiFinoALui) {
    const std::vector<estratti::PuntoSaldo> punti = {{10, Money::FromUnits(1)},
                                                     {20, Money::FromUnits(2)}};
    EXPECT_EQ(estratti::SaldoAl(punti, 9), nullptr);
    for (const auto& [giorno, atteso] : {std::pair{10, 10}, {19, 10}, {500, 20}})
        EXPECT_EQ(estratti::SaldoAl(punti, giorno)->giorno, atteso);
}

// The scale holds zero, the credit line and the balance carried in from before the range;
// a flat zero still gets room.
TEST(ScalaSaldi, ZeroFidoESaldoPortato) {
    estratti::Andamento a;
    a.punti = {
        {0, Money::FromUnits(-300)}, {10, Money::FromUnits(200)}, {20, Money::FromUnits(5000)}};
    a.fido = Money::FromUnits(-1000);
    const auto scala = [&](int da, int a_) {
        const auto s = estratti::ScalaSaldi(a, da, a_);
        return std::pair{s.minimo, s.massimo};
    };
    EXPECT_EQ(scala(5, 15), std::pair(-1000.0, 200.0));
    a.fido = Money{};
    EXPECT_EQ(scala(5, 15), std::pair(-300.0, 200.0));
    a.punti = {{0, Money{}}};
    a.inLire = true;
    EXPECT_EQ(scala(0, 0), std::pair(-10000.0, 10000.0));
}

struct Asse {
    Data da, a;
    int massimo;
    std::vector<std::string> etichette;
};
class EtichetteTempo : public testing::TestWithParam<Asse> {};
TEST_P(EtichetteTempo, MesiAnniOGiorniCheCiStanno) {
    const auto& p = GetParam();
    std::vector<std::string> testi;
    for (const auto& e : estratti::EtichetteTempo(GiornoDa(p.da), GiornoDa(p.a), p.massimo))
        testi.push_back(e.testo +
                        (e.testo.size() == 10 || estratti::DataDelGiorno(e.giorno).giorno == 1
                             ? ""
                             : " fuori posto"));
    EXPECT_EQ(testi, p.etichette);
}
INSTANTIATE_TEST_SUITE_P(
    Tabella, EtichetteTempo,
    testing::Values(
        Asse{{2023, 12, 15}, {2024, 4, 30}, 10, {"gen 2024", "feb 2024", "mar 2024", "apr 2024"}},
        Asse{{2024, 1, 1}, {2024, 6, 30}, 3, {"gen 2024", "mar 2024", "mag 2024"}},
        Asse{{2023, 11, 2}, {2025, 2, 1}, 4, {"gen 2024", "lug 2024", "gen 2025"}},
        Asse{{1990, 3, 1}, {2024, 12, 31}, 8, {"1995", "2000", "2005", "2010", "2015", "2020"}},
        Asse{{1901, 1, 1}, {2024, 12, 31}, 8, {"1920", "1940", "1960", "1980", "2000", "2020"}},
        Asse{{2024, 3, 10},
             {2024, 3, 13},
             10,
             {"10/03/2024", "11/03/2024", "12/03/2024", "13/03/2024"}},
        Asse{{2024, 3, 1}, {2024, 3, 30}, 4, {"01/03/2024", "15/03/2024", "29/03/2024"}}));

// Empty months are bars of zero; past three years of months, one bar a year.
TEST(Periodi, MesiVuotiEAnni) {
    estratti::Andamento a;
    a.mesi = {{2024, 1, 10, 1}, {2024, 3, 20, 2}, {2027, 6, 5, 5}};
    EXPECT_EQ(Barre(estratti::Periodi(a, GiornoDa({2024, 1, 20}), GiornoDa({2024, 3, 2}))),
              "gen 2024 +10 -1; feb 2024 +0 -0; mar 2024 +20 -2; ");
    EXPECT_EQ(Barre(estratti::Periodi(a, GiornoDa({2024, 1, 1}), GiornoDa({2027, 12, 31}))),
              "2024 +30 -3; 2025 +0 -0; 2026 +0 -0; 2027 +5 -5; ");
    // Three years are still months; one month more, years.
    EXPECT_EQ(estratti::Periodi(a, GiornoDa({2024, 1, 1}), GiornoDa({2026, 12, 31})).size(), 36u);
    EXPECT_EQ(estratti::Periodi(a, GiornoDa({2024, 1, 1}), GiornoDa({2027, 1, 1})).size(), 4u);
    // Past 40 years, bars of several years from a round one: 1890-2027 in 28 of five.
    a.mesi.insert(a.mesi.begin(), {1893, 2, 7, 0});
    const auto lustri = estratti::Periodi(a, GiornoDa({1890, 1, 1}), GiornoDa({2027, 12, 31}));
    ASSERT_EQ(lustri.size(), 28u);
    EXPECT_EQ(Barre(std::vector(lustri.begin(), lustri.begin() + 1)), "1890\u20131894 +7 -0; ");
    EXPECT_EQ(Barre(std::vector(lustri.end() - 2, lustri.end())),
              "2020\u20132024 +30 -3; 2025\u20132029 +5 -5; ");
    EXPECT_EQ(lustri.back().anni, 5);
    EXPECT_EQ(estratti::Periodi(a, GiornoDa({1999, 1, 1}), GiornoDa({2039, 1, 1})).size(), 21u);
    EXPECT_EQ(estratti::Periodi(a, GiornoDa({1999, 1, 1}), GiornoDa({2038, 1, 1})).size(), 40u);
}

TEST(DescrizioneSaldo, LeggibileDaUnoScreenReader) {
    estratti::Andamento a;
    a.punti = {{GiornoDa({2024, 1, 5}), Money::FromUnits(100)},
               {GiornoDa({2024, 2, 5}), Money::FromUnits(-40)},
               {GiornoDa({2024, 3, 5}), Money::FromUnits(1250)},
               {GiornoDa({2024, 4, 5}), Money::FromUnits(900)}};
    a.fido = Money::FromUnits(-500);
    EXPECT_EQ(estratti::DescrizioneSaldo(a, GiornoDa({2024, 1, 1}), GiornoDa({2024, 4, 30})),
              "Saldo dal 01/01/2024 al 30/04/2024: all'inizio €. 100,00, alla fine €. 900,00, "
              "minimo €. -40,00 il 05/02/2024, massimo €. 1.250,00 il 05/03/2024; fido €. "
              "-500,00.");
}

// A file the user names: written whole beside it and renamed in, so that a failure leaves
// the old file as it was and no leftover, and the message says so.
struct GuastoUtente {
    test::Operazione operazione;
    int errore;
    bool scritto;  // the new file is in place, only the folder's sync failed
    const char* messaggio;
};
class FileUtente : public testing::TestWithParam<GuastoUtente> {};
TEST_P(FileUtente, IlVecchioRestaOIlNuovoEntra) {
    test::ContestoFinto c;
    const auto file = c.dir / "grafico.png";
    std::ofstream(file) << "vecchio";
    test::Guasto guasto;
    guasto.operazione = GetParam().operazione;
    guasto.errore = GetParam().errore;
    guasto.parziale = true;
    c.disco.Guasta(guasto);
    const auto e = estratti::ScriviFileUtente(c.disco, file, "nuovo");
    ASSERT_TRUE(e);
    EXPECT_EQ(test::LeggiByte(file), GetParam().scritto ? "nuovo" : "vecchio");
    EXPECT_FALSE(std::filesystem::exists(c.dir / "grafico.png.quibora-tmp"));
    std::string atteso = GetParam().messaggio;
    atteso.replace(atteso.find('@'), 1, file.string());
    if (atteso.find('@') != std::string::npos)
        atteso.replace(atteso.find('@'), 1, c.dir.path().string());
    EXPECT_EQ(estratti::MessaggioFileUtente(*e, file, true), atteso);
}
INSTANTIATE_TEST_SUITE_P(
    Guasti, FileUtente,
    testing::Values(
        GuastoUtente{test::Operazione::Scrivi, ENOSPC, false,
                     "Impossibile salvare il file @: disco pieno. Il file che aveva quel nome "
                     "è rimasto com'era."},
        GuastoUtente{test::Operazione::Rinomina, EACCES, false,
                     "Impossibile salvare il file @: accesso negato (file o cartella in sola "
                     "lettura). Il file che aveva quel nome è rimasto com'era."},
        GuastoUtente{test::Operazione::SincronizzaCartella, EIO, true,
                     "Il file @ è stato scritto, ma la cartella @ non ha confermato la "
                     "scrittura sul disco: errore di lettura o scrittura sul disco. Se il "
                     "computer si spegnesse ora il file potrebbe andare perso."}));

// A link planted at the name is replaced, not followed; a file being replaced is never
// written in place (another name for it keeps the old bytes); the new file is the owner's.
TEST(FileUtente, SostituitoPerRinomina) {
    test::CartellaTemporanea dir;
    std::ofstream(dir / "bersaglio") << "da non toccare";
    std::filesystem::create_symlink(dir / "bersaglio", dir / "link.png");
    std::ofstream(dir / "vecchio.png") << "vecchio";
    std::filesystem::create_hard_link(dir / "vecchio.png", dir / "copia.png");
    auto& fs = core::FileSystemReale();
    EXPECT_FALSE(estratti::ScriviFileUtente(fs, dir / "link.png", "nuovo"));
    EXPECT_FALSE(estratti::ScriviFileUtente(fs, dir / "vecchio.png", "nuovo"));
    EXPECT_EQ(test::LeggiByte(dir / "bersaglio"), "da non toccare");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "link.png"));
    EXPECT_EQ(test::LeggiByte(dir / "link.png"), "nuovo");
    EXPECT_EQ(test::LeggiByte(dir / "vecchio.png"), "nuovo");
    EXPECT_EQ(test::LeggiByte(dir / "copia.png"), "vecchio");
    struct stat info {};
    ASSERT_EQ(::stat((dir / "vecchio.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(estratti::MessaggioFileUtente({dir / "n.png", "disco pieno"}, dir / "n.png", false),
              "Impossibile salvare il file " + (dir / "n.png").string() +
                  ": disco pieno. Nessun file è stato creato.");
}

}  // namespace
