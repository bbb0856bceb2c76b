#include "estratti/importazione.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "core/importi.h"
#include "estratti/anteprima.h"
#include "estratti/esportazione.h"
#include "support/contesto_finto.h"

namespace {

using core::Data;
using core::Money;

const std::filesystem::path kDati = QUIBORA_DATI_ESTRATTI;

Money Euro(double v) {
    return Money::FromRaw(static_cast<std::int64_t>(v * 10000 + (v < 0 ? -0.5 : 0.5)));
}

// The preview as the user would see it, confirmed or not.
class VistaFinta : public estratti::VistaImportazione {
  public:
    explicit VistaFinta(ui::Contesto& c) : c_(c) {}
    bool Esegui(const std::function<void()>& lavoro) override {
        ++lavori;
        if (annullaLavoro) return false;
        lavoro();
        return true;
    }
    std::optional<estratti::EsitoImportazione> Anteprima(
        estratti::FileEstratto file, estratti::MemoriaMappature&,
        const estratti::OpzioniImportazione& opzioni) override {
        auto letto = estratti::LeggiEstratto(file);
        if (auto* e = std::get_if<estratti::ErroreEstratto>(&letto)) {
            errore = e->messaggio;
            return std::nullopt;
        }
        anteprima = estratti::PreparaAnteprima(std::get<estratti::Estratto>(letto),
                                               c_.griglia.righe(), c_.stato);
        conEuro = static_cast<bool>(opzioni.passaAEuro);
        if (!conferma) return std::nullopt;
        return estratti::ApplicaAnteprima(anteprima, c_, opzioni.passaAEuro);
    }
    int lavori = 0;
    bool annullaLavoro = false;
    bool conferma = true;
    bool conEuro = false;
    std::string errore;
    estratti::Anteprima anteprima;

  private:
    ui::Contesto& c_;
};

std::string Righe(const estratti::Anteprima& a) {
    std::string t;
    for (const auto& r : a.righe)
        t += core::FormatoData(r.data) + " " + (r.credito ? "+" : "-") +
             core::FormatoModo(r.importo, a.modoValuta) + " " + estratti::TestoEsclusione(r) +
             (r.inclusa ? "" : " (esclusa)") + "\n";
    return t;
}

struct Importa {
    test::ContestoFinto c;
    VistaFinta vista{c.contesto};
    int cambi = 0;
    bool operator()(const char* file) {
        return estratti::ImportaEstratto(c.contesto, kDati / file, c.dir.path(), vista, [this] {
            ++cambi;
            c.stato.SaldoConto = *core::LireInEuro(c.stato.SaldoConto);
            c.stato.ModoValuta = core::kEuro;
        });
    }
};

// Several accounts: the user picks one (number and type shown); dates are the days written,
// whatever the machine's zone; placeholder ids do not make movements duplicates.
TEST(Importazione, ContoScelto) {
    const char* zona = std::getenv("TZ");
    const std::string prima = zona ? zona : "";
    setenv("TZ", "Pacific/Kiritimati", 1);
    tzset();
    Importa importa;
    importa.c.stato.ModoValuta = "Euro";
    importa.c.stato.SaldoConto = Euro(500);
    importa.c.stato.NumeroConto = "123456";
    importa.c.dialoghi.sceltePrevisti = {0};
    EXPECT_TRUE(importa("conti_zone.ofx"));
    if (zona)
        setenv("TZ", prima.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    ASSERT_EQ(importa.c.dialoghi.scelte.size(), 1u);
    EXPECT_EQ(importa.c.dialoghi.scelte[0].second,
              (std::vector<std::string>{"N° 1000/123456 (conto corrente)",
                                        "N° 2000/999 (conto di risparmio)"}));
    EXPECT_EQ(Righe(importa.vista.anteprima),
              "05/01/2024 -10,00 \n06/01/2024 -10,00 \n"
              "06/01/2024 -10,00 Presente due volte nell'estratto (esclusa)\n"
              "10/01/2024 -30,00 In valuta diversa (CHF) (esclusa)\n"
              "01/01/1900 -5,00 Data non valida (20250231) (esclusa)\n");
    // The chosen account's balance only, on the day the bank wrote.
    ASSERT_FALSE(importa.c.dialoghi.messaggi.empty());
    EXPECT_NE(importa.c.dialoghi.messaggi.back().testo.find(
                  "Saldo dichiarato dalla banca al 29/02/2024: 480,00 €.\nIl saldo del registro a "
                  "quella data coincide."),
              std::string::npos)
        << importa.c.dialoghi.messaggi.back().testo;
}

// No row says whether the day or the month comes first: the user's answer reads them.
TEST(Importazione, DateDaChiedere) {
    const std::vector<std::pair<ui::Risposta, std::string>> casi{
        {ui::Risposta::Si, "03/04/2024 -1,00 \n05/04/2024 -2,00 \n"},
        {ui::Risposta::No, "04/03/2024 -1,00 \n04/05/2024 -2,00 \n"}};
    for (const auto& [risposta, attese] : casi) {
        Importa importa;
        importa.c.stato.ModoValuta = "Euro";
        importa.c.dialoghi.risposte = {risposta};
        importa.vista.conferma = false;
        EXPECT_FALSE(importa("date_ambigue.csv"));
        EXPECT_EQ(Righe(importa.vista.anteprima), attese);
        EXPECT_EQ(importa.c.dialoghi.messaggi.front().pulsanti, ui::Pulsanti::SiNoAnnulla);
    }
}

// Every way out before "Importa" leaves the register as it was.
TEST(Importazione, UscireNonCambiaNulla) {
    struct Caso {
        const char* nome;
        const char* file;
        std::string numeroConto;
        std::vector<ui::Risposta> risposte;
        std::vector<int> scelte;
        bool annullaLavoro;
        bool conferma;
        std::string ultimoMessaggio;
    };
    using enum ui::Risposta;
    const std::string lire(estratti::kDomandaLire);
    // clang-format off
    const std::vector<Caso> casi{
        {"lire question cancelled", "conto_102.ofx", "", {Annulla}, {}, false, true, lire},
        {"account chosen cancelled", "conti_zone.ofx", "", {}, {-1}, false, true, ""},
        {"other account refused", "conto_2x.ofx", "555", {No}, {}, false, true,
         "Il file \"conto_2x.ofx\" è l'estratto del conto N° 000012345678, questo registro è del "
         "conto N° 555.\n\nImportarlo comunque in questo registro?"},
        {"switch chosen, preview closed", "conto_102.ofx", "", {No}, {}, false, false, lire},
        {"reading cancelled", "conto_102.ofx", "", {}, {}, true, true, ""},
        {"date order cancelled", "date_ambigue.csv", "", {Annulla}, {}, false, true,
         "Nel file \"date_ambigue.csv\" nessuna data dice se il giorno viene prima del mese (il "
         "03/04/2024 può essere il 3 aprile o il 4 marzo).\n\nSì: giorno/mese/anno, come in "
         "Italia.\nNo: mese/giorno/anno, come negli Stati Uniti.\nAnnulla: non importa nulla."},
        {"pdf", "estratto.pdf", "", {}, {}, false, true,
         "Il file \"estratto.pdf\" non può essere importato: è un PDF: esporti dalla banca il "
         "file Excel o CSV dei movimenti, oppure OFX."}};
    // clang-format on
    for (const auto& caso : casi) {
        Importa importa;
        importa.c.stato.ModoValuta = "Lire";
        importa.c.stato.SaldoConto = Money::FromUnits(1000000);
        importa.c.stato.NumeroConto = caso.numeroConto;
        importa.c.righe({{"01/12/2023", "Versamento", "", "1.000.000", "1.000.000"}});
        importa.c.dialoghi.risposte = {caso.risposte.begin(), caso.risposte.end()};
        importa.c.dialoghi.sceltePrevisti = {caso.scelte.begin(), caso.scelte.end()};
        importa.vista.annullaLavoro = caso.annullaLavoro;
        importa.vista.conferma = caso.conferma;
        EXPECT_FALSE(importa(caso.file)) << caso.nome;
        EXPECT_EQ(importa.cambi, 0) << caso.nome;
        EXPECT_EQ(importa.c.stato.ModoValuta, "Lire") << caso.nome;
        EXPECT_EQ(importa.c.griglia.righe().size(), 1u) << caso.nome;
        EXPECT_FALSE(std::filesystem::exists(importa.c.dir / "listcol1.txt")) << caso.nome;
        const auto testi = importa.c.dialoghi.testiMessaggi();
        EXPECT_EQ(testi.empty() ? "" : testi.back(), caso.ultimoMessaggio) << caso.nome;
    }
}

// "No" to the lire question: the preview already shows euro, the switch happens at "Importa".
TEST(Importazione, LireInEuroAllImporta) {
    Importa importa;
    importa.c.stato.ModoValuta = "Lire";
    importa.c.stato.SaldoConto = Money::FromUnits(1936270);
    importa.c.dialoghi.risposte = {ui::Risposta::No};
    EXPECT_TRUE(importa("carta.qfx"));
    EXPECT_EQ(importa.cambi, 1);
    EXPECT_TRUE(importa.vista.conEuro);
    EXPECT_EQ(importa.vista.anteprima.modoValuta, "Euro");
    EXPECT_EQ(
        importa.c.griglia.righe().riga(0),
        (core::RigaRegistro{"03/04/2024", "Addebito generico", "ABBONAMENTO", "19,99", "980,01"}));
}

// The register's rules for rows read from files: first day, refunds, booked state, ticks.
TEST(Anteprima, DoppioniEStati) {
    test::ContestoFinto c;
    c.stato.ModoValuta = "Euro";
    c.stato.SaldoConto = Euro(100);
    c.righe({{"10/01/2024", "Addebito generico", "Edicola", "7,00", "100,00"}});
    estratti::Estratto e;
    auto t = [](Data d, double v, const char* descr) {
        estratti::Transazione x;
        x.data = d;
        x.importo = Euro(v);
        x.descrizione = descr;
        return x;
    };
    // Two equal charges on the register's day: one is the register's, one is new.
    e.transazioni = {t({2024, 1, 10}, -7, "Edicola"), t({2024, 1, 10}, -7, "Edicola"),
                     t({2024, 1, 10}, 7, "Edicola"),  t({2024, 1, 11}, -2, "Pane"),
                     t({2024, 1, 12}, -3, "Attesa"),  t({2024, 1, 12}, 50, "Lire")};
    e.transazioni[4].contabilizzata = false;
    e.transazioni[5].valuta = estratti::Valuta::Lire;
    e.transazioni[5].importo = Money::FromUnits(193627);
    auto a = estratti::PreparaAnteprima(e, c.griglia.righe(), c.stato);
    EXPECT_EQ(Righe(a),
              "10/01/2024 -7,00 Già presente nel registro (esclusa)\n10/01/2024 -7,00 \n"
              "10/01/2024 +7,00 \n"
              "11/01/2024 -2,00 \n12/01/2024 -3,00 Non contabilizzato (esclusa)\n"
              "12/01/2024 +100,00 \n");
    // A type of the other direction is refused; the balance follows the bank's sign.
    EXPECT_FALSE(estratti::ImpostaTipo(a, 3, *estratti::TipiPerRiga(a.righe[2]).front()));
    EXPECT_EQ(estratti::TipiPerRiga(a.righe[3]).size() + estratti::TipiPerRiga(a.righe[2]).size(),
              core::TipiMovimento().size());
    a.righe[3].tipo = estratti::TipiPerRiga(a.righe[2]).front();
    estratti::Ricalcola(a);
    EXPECT_EQ(a.righe[3].tipo->segno, core::Segno::Debito);
    EXPECT_EQ(a.righe.back().saldo, Euro(198));
    // The register changed under the preview: nothing is added.
    c.stato.SaldoConto = Euro(1);
    const auto esito = estratti::ApplicaAnteprima(a, c.contesto);
    EXPECT_EQ(esito.aggiunte, 0);
    EXPECT_EQ(c.griglia.righe().size(), 1u);
}

// Cells are read as everywhere in the program; each amount keeps its own currency.
TEST(Esportazione, CelleComeNelProgramma) {
    core::Registro r;
    r.aggiungi({"01/03/2024", "Versamento", "", "1.50", "1.50"});
    r.aggiungi({"02/03/2024", "Prelievo", "", "193.627", "100,00"});
    r.aggiungi({"03/03/2024", "Prelievo", "", "abc", "99,00"});
    EXPECT_EQ(estratti::TestoEsportazione(r, std::nullopt, std::nullopt),
              "\xEF\xBB\xBF"
              "Data;Causale;Riferimento;Importo;Valuta;Saldo;Valuta saldo\r\n"
              "01/03/2024;Versamento;;150;ITL;150;ITL\r\n"
              "02/03/2024;Prelievo;;-193627;ITL;100,00;EUR\r\n"
              "03/03/2024;Prelievo;;abc;ITL;99,00;EUR\r\n");
}

}  // namespace
