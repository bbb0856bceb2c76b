#include "core/registro.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/data_files.h"
#include "support/temp_dir.h"

namespace {

using core::Registro;
using core::RigaRegistro;

std::vector<RigaRegistro> Righe(const Registro& registro) {
    std::vector<RigaRegistro> righe;
    for (std::size_t r = 0; r < registro.size(); ++r) righe.push_back(registro.riga(r));
    return righe;
}

// Random edits checked against a plain vector of rows: texts must survive every edit,
// removal and compaction, including a cell set from a text of the register itself.
TEST(RegistroTest, ModificheComeUnVettoreDiRighe) {
    std::mt19937 caso(7);
    Registro registro;
    std::vector<RigaRegistro> atteso;
    const auto testo = [&] {
        return std::string(caso() % 12, static_cast<char>('a' + caso() % 26));
    };
    for (int passo = 0; passo < 3000; ++passo) {
        const std::size_t n = atteso.size();
        const std::size_t r = n ? caso() % n : 0;
        const std::size_t c = caso() % 5;
        switch (n < 5 ? 0 : caso() % 6) {
            case 0: {
                const RigaRegistro riga{testo(), testo(), "è €", testo(), testo()};
                registro.aggiungi({riga[0], riga[1], riga[2], riga[3], riga[4]});
                atteso.push_back(riga);
                break;
            }
            case 1:
            case 2: {
                const std::string t = testo();
                registro.imposta(r, c, t);
                atteso[r][c] = t;
                break;
            }
            case 3: {
                const std::size_t da = caso() % n;
                registro.imposta(r, c, registro.cella(da, 4 - c));
                atteso[r][c] = atteso[da][4 - c];
                break;
            }
            case 4:
                registro.rimuovi(r);
                atteso.erase(atteso.begin() + static_cast<std::ptrdiff_t>(r));
                break;
            default:
                registro.tronca(n - 1);
                registro.aggiungiVuote(1);
                atteso.back() = RigaRegistro{};
                break;
        }
        ASSERT_EQ(Righe(registro), atteso) << "passo " << passo;
    }
    std::size_t vivi = 0;
    for (const auto& riga : atteso)
        for (const auto& cella : riga) vivi += cella.size();
    // Garbage never outgrows the live texts.
    EXPECT_LE(registro.byteTesti(), 2 * vivi);
    registro.tronca(0);
    EXPECT_EQ(registro.byteTesti(), 0u);
}

TEST(RegistroTest, UgualeConfrontaITestiNonLaDisposizione) {
    Registro a, b;
    a.aggiungi({"01/01/2001", "Prelievo", "x", "1", "2"});
    b.aggiungi({"01/01/2001", "Prelievo", "vecchio", "1", "2"});
    b.imposta(0, 2, "x");
    EXPECT_EQ(a, b);
    b.imposta(0, 4, "3");
    EXPECT_NE(a, b);
}

TEST(RegistroTest, TestiAccentatiTornanoIdenticiDaiFile) {
    test::CartellaTemporanea dir;
    core::FileDati file(core::FileSystemReale(), dir.path(), dir.path());
    Registro scritto;
    scritto.aggiungi(
        {"01/02/2001", "Addebito boll.elettricità", "Caffè, società € ‰ Ÿ", "1,50", "-1,50"});
    scritto.aggiungi({"02/02/2001", "", "", "0", ""});
    ASSERT_FALSE(file.SalvaRegistro(scritto));
    Registro letto;
    ASSERT_EQ(file.LeggiRegistro(letto), 0);
    EXPECT_EQ(letto, scritto);

    // Not in Windows-1252: refused, and the files stay as they were.
    scritto.imposta(1, 2, "→");
    EXPECT_TRUE(file.SalvaRegistro(scritto));
    ASSERT_EQ(file.LeggiRegistro(letto), 0);
    EXPECT_EQ(letto.cella(1, 2), "");
}

}  // namespace
