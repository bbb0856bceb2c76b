// The register's compact storage against a plain vector of rows: whatever is stored, in any
// order of edits, reads back as it was written.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/registro.h"

namespace {

using core::Registro;
using core::RigaRegistro;
using Righe = std::vector<RigaRegistro>;

void AttesoUguale(const Registro& r, const Righe& atteso, const std::string& dove) {
    ASSERT_EQ(r.size(), atteso.size()) << dove;
    for (std::size_t i = 0; i < atteso.size(); ++i)
        for (std::size_t c = 0; c < Registro::kCelle; ++c)
            ASSERT_EQ(r.cella(i, c), atteso[i][c]) << dove << ", riga " << i << ", colonna " << c;
}

// Texts that reach every way a cell is kept: repeated and new types and references (past
// the 256 a column keeps once), texts past the dictionary's 64 bytes and past a byte's 255,
// empty cells, bytes beyond ASCII.
std::string Testo(std::mt19937& caso, std::size_t colonna) {
    const int scelta = static_cast<int>(caso() % 20);
    if (scelta == 0) return {};
    if (scelta == 1) return std::string(60 + caso() % 10, 'a' + static_cast<char>(colonna));
    if (scelta == 2) return std::string(250 + caso() % 300, 'x') + "é";
    if (colonna == 1 || colonna == 2) {
        // Most from a few, some from hundreds.
        const auto n = scelta < 12 ? caso() % 8 : caso() % 700;
        return (colonna == 1 ? "Causale " : "rif. ") + std::to_string(n);
    }
    return std::to_string(caso() % 100000) + (colonna == 0 ? "/01/2024" : ",00");
}

RigaRegistro Riga(std::mt19937& caso) {
    RigaRegistro r;
    for (std::size_t c = 0; c < Registro::kCelle; ++c) r[c] = Testo(caso, c);
    return r;
}

Registro::Celle Viste(const RigaRegistro& r) { return {r[0], r[1], r[2], r[3], r[4]}; }

TEST(Registro, OgniSequenzaDiModificheSiRilegge) {
    for (unsigned seme = 1; seme <= 6; ++seme) {
        std::mt19937 caso(seme);
        Registro r;
        Righe atteso;
        for (int passo = 0; passo < 1500; ++passo) {
            const std::string dove = "seme " + std::to_string(seme) + ", passo " +
                                     std::to_string(passo);
            const int op = static_cast<int>(caso() % 100);
            const std::size_t n = atteso.size();
            if (op < 45 || n == 0) {
                atteso.push_back(Riga(caso));
                r.aggiungi(Viste(atteso.back()));
            } else if (op < 60) {
                const auto i = caso() % n;
                const auto c = caso() % Registro::kCelle;
                // Half the time, a text of the register itself.
                if (caso() % 2) {
                    const auto j = caso() % n;
                    const auto k = caso() % Registro::kCelle;
                    atteso[i][c] = atteso[j][k];
                    r.imposta(i, c, r.cella(j, k));
                } else {
                    atteso[i][c] = Testo(caso, c);
                    r.imposta(i, c, atteso[i][c]);
                }
            } else if (op < 70) {
                const auto i = caso() % n;
                atteso.erase(atteso.begin() + static_cast<long>(i));
                r.rimuovi(i);
            } else if (op < 74) {
                const auto k = caso() % (n / 4 + 1);
                atteso.erase(atteso.begin(), atteso.begin() + static_cast<long>(k));
                r.rimuoviPrime(k);
            } else if (op < 77) {
                const auto k = n - caso() % (n / 4 + 1);
                atteso.resize(k);
                r.tronca(k);
            } else if (op < 82) {
                // A row from the register's own cells, written while it is read.
                const auto j = caso() % n;
                atteso.push_back(atteso[j]);
                r.aggiungi({r.cella(j, 0), r.cella(j, 1), r.cella(j, 2), r.cella(j, 3),
                            r.cella(j, 4)});
            } else if (op < 86) {
                // Rows of a register with dictionaries of its own.
                Registro altro;
                for (int k = 0; k < 40; ++k) {
                    atteso.push_back(Riga(caso));
                    altro.aggiungi(Viste(atteso.back()));
                }
                r.aggiungi(altro);
            } else if (op < 88) {
                // Copied and moved both ways, then the copies dropped.
                Registro copia = r;
                Registro assegnato;
                assegnato.aggiungi(Viste(Riga(caso)));
                assegnato = copia;
                r = Registro();
                r = std::move(copia);
                AttesoUguale(assegnato, atteso, dove + " (copia assegnata)");
            } else if (op < 90 && n < 100) {
                const Registro copia(r);
                r.aggiungi(copia);
                const Righe prima = atteso;
                atteso.insert(atteso.end(), prima.begin(), prima.end());
            } else if (op < 92) {
                const auto quante = caso() % 5;
                r.aggiungiVuote(quante);
                atteso.insert(atteso.end(), quante, RigaRegistro{});
            } else {
                // A row written cell by cell that fails half-way leaves nothing.
                const RigaRegistro nuova = Riga(caso);
                const std::size_t fallisce = caso() % 8;
                const bool ok = r.aggiungiScrivendo([&](std::string& t, std::size_t c) {
                    t += nuova[c];
                    return c != fallisce;
                });
                ASSERT_EQ(ok, fallisce >= Registro::kCelle) << dove;
                if (ok) atteso.push_back(nuova);
            }
            AttesoUguale(r, atteso, dove);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

TEST(Registro, LeCelleRestanoValideQuandoIlRegistroSiSposta) {
    Registro r;
    r.aggiungi({"01/01/2024", "Versamento", "Affitto", "1,00", "1,00"});
    const std::string_view causale = r.cella(0, 1);
    const std::string_view data = r.cella(0, 0);
    const Registro spostato = std::move(r);
    EXPECT_EQ(causale, "Versamento");
    EXPECT_EQ(data, "01/01/2024");
    EXPECT_EQ(spostato.cella(0, 2), "Affitto");
    // The register moved from is empty and can be used again.
    EXPECT_TRUE(r.empty());
    r.aggiungi({"02/01/2024", "Prelievo", "Affitto", "2,00", "3,00"});
    r.aggiungi({"03/01/2024", "Versamento", "Affitto", "2,00", "3,00"});
    EXPECT_EQ(r.riga(1), (RigaRegistro{"03/01/2024", "Versamento", "Affitto", "2,00", "3,00"}));
    EXPECT_EQ(spostato.cella(0, 1), "Versamento");
}

// Rows made only of texts kept in the dictionaries hold no bytes of the buffer: removing
// and editing them leaves nothing to sweep.
TEST(Registro, RigheDiSoleVociDelDizionario) {
    Righe atteso;
    Registro r;
    for (int i = 0; i < 300; ++i) {
        atteso.push_back({"", "Tipo " + std::to_string(i % 200), "rif " + std::to_string(i % 250),
                          "", ""});
        r.aggiungi(Viste(atteso.back()));
    }
    EXPECT_EQ(r.byteTesti(), 0u);
    r.rimuovi(150);
    r.rimuoviPrime(20);
    r.tronca(200);
    r.imposta(10, 1, "Tipo 199");
    atteso.erase(atteso.begin() + 150);
    atteso.erase(atteso.begin(), atteso.begin() + 20);
    atteso.resize(200);
    atteso[10][1] = "Tipo 199";
    AttesoUguale(r, atteso, "dopo le modifiche");
    EXPECT_EQ(r.byteTesti(), 0u);
}

// A register assigned from another keeps only the other's texts: its own former entries
// would fill the dictionary's places, and a text not there would be sought for ever.
TEST(Registro, AssegnatoTieneSoloLeVociDellAltro) {
    Registro pieno, altro;
    for (int i = 0; i < 256; ++i) {
        pieno.aggiungi({"", "A" + std::to_string(i), "", "", ""});
        altro.aggiungi({"", "B" + std::to_string(i), "", "", ""});
    }
    // The mark a save took of the former contents is not the new contents'.
    pieno.segna();
    const auto serie = pieno.modifiche().serie;
    pieno = altro;
    EXPECT_NE(pieno.modifiche().serie, serie);
    pieno.aggiungi({"", "nuovo", "", "", ""});
    EXPECT_EQ(pieno.cella(256, 1), "nuovo");
    EXPECT_EQ(pieno.cella(7, 1), "B7");
    const Registro copia(pieno);
    EXPECT_NE(copia.modifiche().serie, pieno.modifiche().serie);
}

// An emptied register gives its memory back, long rows' records included.
TEST(Registro, SvuotatoRestituisceLaMemoria) {
    Registro r;
    for (int i = 0; i < 1000; ++i) r.aggiungi({std::string(300, 'x'), "Versamento", "", "", ""});
    r.clear();
    EXPECT_LT(r.byteOccupati(), 1024u);
    EXPECT_TRUE(r.empty());
}

// A million movements must fit beside the program in the memory a modest machine gives it:
// each row's record and its texts, types and references included, room to grow too, stay
// within 50 bytes.
TEST(Registro, UnMovimentoTipicoOccupaPoco) {
    static constexpr std::size_t kRighe = 100000;
    static constexpr const char* kTipi[] = {"Versamento", "Prelievo", "Accredito stipendio",
                                            "Addebito carta di credito", "Assegno"};
    static constexpr const char* kRif[] = {"Bancomat via Roma", "Affitto", "Spesa, mercato"};
    Registro r;
    for (std::size_t i = 0; i < kRighe; ++i) {
        const std::string data = std::to_string(10 + i % 18) + "/0" + std::to_string(1 + i % 9) +
                                 "/" + std::to_string(1990 + i / 3000);
        r.aggiungi({data, kTipi[i % 5], kRif[i % 3], std::to_string(i % 997) + ",50",
                    "1." + std::to_string(100000 + i) + ",25"});
    }
    EXPECT_LE(r.byteOccupati(), kRighe * 50);
    EXPECT_EQ(r.cella(kRighe - 1, 1), "Assegno");
}

}  // namespace
