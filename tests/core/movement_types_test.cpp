#include "core/movement_types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace core {
namespace {

TEST(TipiMovimentoTest, PositionsFollowTheSortedInsertionOrder) {
    std::vector<std::string_view> ordinati(OrdineInserimentoTipi().begin(),
                                           OrdineInserimentoTipi().end());
    std::sort(ordinati.begin(), ordinati.end());
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(TipoDaPosizione(i)->posizione, i);
        EXPECT_EQ(TipoDaPosizione(i)->caption, ordinati[i]);
    }
    EXPECT_EQ(TipoDaPosizione(0)->caption, "Accredito generico");
    EXPECT_EQ(TipoDaPosizione(14)->caption, "Versamento");
    EXPECT_EQ(TipoDaPosizione(15), nullptr);
}

TEST(TipiMovimentoTest, DebitRuleAgreesWithEveryType) {
    int debiti = 0;
    for (const auto& tipo : TipiMovimento()) {
        const bool debito = tipo.segno == Segno::Debito;
        debiti += debito;
        EXPECT_EQ(CausaleDiDebito(tipo.CausaleLire), debito) << tipo.CausaleLire;
        EXPECT_EQ(CausaleDiDebito(tipo.CausaleEuro), debito) << tipo.CausaleEuro;
        EXPECT_EQ(tipo.AvvisoFido, debito) << tipo.caption;
        EXPECT_EQ(tipo.suggerimentoData.empty(), tipo.caption != "Bonifico a debito");
    }
    EXPECT_EQ(debiti, 10);
}

TEST(TipiMovimentoTest, ShortenedCausali) {
    EXPECT_EQ(TipoDaPosizione(3)->CausaleLire, "Addebito boll.elettricità");
    EXPECT_EQ(TipoDaPosizione(3)->CausaleEuro, "Addebito boll. eletricità");
    EXPECT_EQ(TipoDaPosizione(5)->CausaleEuro, "Addebito boll.telefonica");
}

TEST(CausaleDiDebitoTest, CaseSensitiveWordsOtherTextsAreCredits) {
    EXPECT_EQ(CausaleDiDebito("ADDEBITO") || CausaleDiDebito("prelievo"), false);
    EXPECT_EQ(CausaleDiDebito("Giroconto"), false);
}

}  // namespace
}  // namespace core
