#include "estratti/ricerca.h"

#include <gtest/gtest.h>

namespace {

using core::Data;
using core::Money;

core::Registro Registro() {
    core::Registro r;
    r.aggiungi({"31/12/2001", "Versamento", "Stipendio DIC", "2.000.000", "2.000.000"});
    r.aggiungi({"01/01/2002", "Prelievo", "bancomat", "200.000", "1.800.000"});
    r.aggiungi({"15/01/2002", "Addebito boll. gas", "Italgas", "103,29", "826,34"});
    r.aggiungi({"01/02/2002", "Prelievo", "Bancomat centro", "103,29", "723,05"});
    r.aggiungi({"1/2/2002", "Versamento", "", "50,00", "773,05"});
    return r;
}

struct Caso {
    const char* nome;
    estratti::CriteriRicerca criteri;
    std::vector<int> attesi;
};

// Each criterion alone and together; text in either column, any case; the amount as shown
// in lire or euro, whatever its sign; the range takes its ends, in either date form.
TEST(Cerca, Criteri) {
    const std::vector<Caso> casi{
        {"nothing", {}, {0, 1, 2, 3, 4}},
        {"reference, any case", {"BANCOMAT", {}, {}, {}}, {1, 3}},
        {"type column", {"gas", {}, {}, {}}, {2}},
        {"euro amount", {"", Money::FromRaw(1032900), {}, {}}, {2, 3}},
        {"negative euro amount", {"", Money::FromRaw(-1032900), {}, {}}, {2, 3}},
        {"lire amount", {"", Money::FromUnits(200000), {}, {}}, {1}},
        {"range with its ends", {"", {}, Data{2002, 1, 1}, Data{2002, 2, 1}}, {1, 2, 3, 4}},
        {"from a day", {"", {}, Data{2002, 1, 2}, {}}, {2, 3, 4}},
        {"until a day", {"", {}, {}, Data{2001, 12, 31}}, {0}},
        {"all together", {"bancomat", Money::FromRaw(1032900), Data{2002, 2, 1}, {}}, {3}},
        {"no match", {"affitto", {}, {}, {}}, {}}};
    for (const auto& c : casi)
        EXPECT_EQ(estratti::Cerca(Registro(), c.criteri), c.attesi) << c.nome;
}

TEST(Cerca, SuccessivoGiraAgliEstremi) {
    const std::vector<int> trovati{2, 5, 9};
    const std::vector<std::tuple<int, bool, int>> casi{{-1, true, 2}, {2, true, 5},   {4, true, 5},
                                                       {9, true, 2},  {2, false, 9},  {5, false, 2},
                                                       {6, false, 5}, {100, false, 9}};
    for (const auto& [corrente, avanti, atteso] : casi)
        EXPECT_EQ(estratti::Successivo(trovati, corrente, avanti), atteso)
            << corrente << (avanti ? " avanti" : " indietro");
    EXPECT_EQ(estratti::Successivo({}, 3, true), -1);
}

}  // namespace
