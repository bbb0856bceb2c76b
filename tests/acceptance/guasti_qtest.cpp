// Saves and deletes failed on purpose, files damaged or half saved between two runs: the
// user is told which file, the last good files stay byte for byte, and once the disk is
// fine the program carries on as if nothing had happened.
#include <csignal>

#include "acceptance/support/banco.h"

namespace {

using namespace accettazione;
using enum test::Operazione;

// The account, with a password for the commands that remove it, and the movements the
// commands need; nothing at all before the first use.
void Prepara(Banco& b, std::string_view punto = "") {
    ASSERT_TRUE(b.Avvia());
    if (punto == "PrimoUso") return;
    const bool password = punto == "RimuoviPassword" || punto == "Azzeramento";
    b.PrimoUso(password ? QStringLiteral("Segreta") : QString());
    b.Inserisci("Versamento", QStringLiteral("250"), QStringLiteral("primo"));
    if (punto.starts_with("Rimuovi") && !password)
        b.Inserisci("Prelievo", QStringLiteral("50"), QStringLiteral("secondo"));
}

bool Esce(std::string_view punto) {
    return punto == "CmdEsci" || punto == "Chiusura" || punto == "Segnale";
}

// A button of the main window, or the steps named. Questions take their default: remove,
// and stay when the exit could not save.
void Esegui(Banco& b, std::string_view punto) {
    b.dialoghi.inputDigitati = {"300"};  // the balance or the credit line asked for
    if (Esce(punto)) b.Clicca("CmdSaldo");
    if (punto == "Movimento") {
        b.Inserisci("Prelievo", QStringLiteral("100"));
    } else if (punto == "Chiusura") {
        b.principale().close();
    } else if (punto == "Segnale") {
        avvio::SegnaliDiFine segnali([&b] { b.programma->ChiusuraDalSistema(); });
        const auto mostrati = b.dialoghi.messaggi.size();
        ASSERT_EQ(::raise(SIGTERM), 0);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return b.dialoghi.terminato || b.dialoghi.messaggi.size() > mostrati; }, 2000));
    } else if (punto == "PrimoUso") {
        b.PrimoUso(QStringLiteral("Segreta"));
    } else if (punto == "ImpostaPassword") {
        RispostaModale r([](QWidget& f) {
            Digita(f, "txtPass1", QStringLiteral("Nuova"));
            Clic(f, "cmdOk");
            if (f.isVisible()) Clic(f, "cmdAnnulla");
        });
        b.Clicca("cmdPass");
    } else {
        b.Clicca(punto == "RimuoviPassword" ? "cmdPass"
                 : punto == "Azzeramento"   ? "Rimuoviu"
                                            : std::string(punto).c_str());
    }
}

// The error messages shown since the last look.
Testi Errori(Banco& b) {
    Testi errori = b.NuoviMessaggi();
    std::erase_if(errori, [](const std::string& m) { return !m.starts_with("Impossibile"); });
    return errori;
}

// The backups have tests of their own: a reset whose delete fails keeps its new copy.
Disco Dati(Disco d) {
    std::erase_if(d, [](const auto& voce) { return voce.first.starts_with("programma/backup"); });
    return d;
}

struct Caso {
    const char* punto;
    test::Guasto guasto;
};
test::Guasto G(test::Operazione op, const char* file, int errore) {
    return {op, file, 0, false, errore, errore == ENOSPC};  // a full disk writes half
}
// One row per command, failing on a file it changes (a save writes those alone); the kinds
// of failure on each file are the file layer's business.
const Caso kCasi[] = {
    {"Movimento", G(Scrivi, "listcol1.txt", EACCES)},
    {"CmdEuro", G(Rinomina, "listcol5.txt", EIO)},
    {"CmdSaldo", G(Scrivi, "para.txt", ENOSPC)},
    {"Cmdfido", G(Scrivi, "para.txt", ENOSPC)},
    {"Rimuovi", G(Scrivi, "listcol2.txt", ENOSPC)},
    {"Rimuoviu", G(Scrivi, "listcol2.txt", ENOSPC)},
    // A fault that lasts fails the balance's save, then the exit's: asked, the user stays.
    {"CmdEsci", G(Scrivi, "listcol5.txt", ENOSPC)},
    {"Chiusura", G(Scrivi, "para.txt", EACCES)},  // the close box
    {"Segnale", G(Scrivi, "listcol5.txt", EACCES)},
    {"PrimoUso", G(Scrivi, "dati.txt", ENOSPC)},
    {"PrimoUso", G(Scrivi, "Vorn.lst", EACCES)},
    {"ImpostaPassword", G(Scrivi, "Vorn.lst", ENOSPC)},
    {"RimuoviPassword", G(Elimina, "Vorn.lst", EBUSY)},
    // The reset moves the files into a new backup first: a failed backup deletes nothing.
    {"Azzeramento", G(Rinomina, "listcol1.txt", EACCES)},
    {"Azzeramento", G(CreaCartella, ".nuovo", EACCES)},
};

// The same steps with no failure: the files after the exit.
Disco SenzaGuasti(std::string_view punto) {
    Banco b;
    Prepara(b, punto);
    Esegui(b, punto);
    if (b.programma->principale()) b.Clicca("CmdEsci");
    EXPECT_EQ(Errori(b), Testi{}) << "without faults";
    return Dati(b.disco());
}

class Guasti : public testing::TestWithParam<Caso> {};

TEST_P(Guasti, MessaggioFileIntattiProgrammaUsabile) {
    const Caso& c = GetParam();
    const std::string_view punto = c.punto;
    const Disco finale = SenzaGuasti(punto);
    Banco b;
    Prepara(b, punto);
    const Disco prima = Dati(b.disco());
    b.guasti.Guasta(c.guasto);

    Esegui(b, punto);
    const Testi errori = Errori(b);
    ASSERT_EQ(errori.size(), Esce(punto) ? 2u : 1u) << "one per fault";
    const std::string motivo = core::MotivoErrore(c.guasto.errore);
    for (const auto& errore : errori)
        EXPECT_TRUE(Contiene(errore, c.guasto.nome) && Contiene(errore, motivo)) << errore;
    // The register and para.txt are saved together: a fault in either keeps both old.
    EXPECT_EQ(Dati(b.disco()), prima);

    b.guasti.Ripara();
    EXPECT_FALSE(b.dialoghi.terminato);
    QWidget* aperta = b.programma->principale();
    if (!aperta) aperta = b.programma->impostazione();
    EXPECT_TRUE(aperta && aperta->isVisible());
    // Given again once repaired, unless the exit's save writes what it left in memory.
    if (punto == "PrimoUso") Clic(*aperta, "CmdOk");
    if (!Contiene("Movimento CmdEuro CmdSaldo Cmdfido Rimuoviu PrimoUso", punto)) Esegui(b, punto);
    if (b.programma->principale()) b.Clicca("CmdEsci");
    EXPECT_EQ(Errori(b), Testi{}) << "once the disk is fine";
    EXPECT_NE(finale, prima) << "the command changes the files";
    EXPECT_EQ(Dati(b.disco()), finale);
}

INSTANTIATE_TEST_SUITE_P(Tabella, Guasti, testing::ValuesIn(kCasi), [](const auto& info) {
    return info.param.punto + std::to_string(info.index);
});

// Files damaged between two runs: the next start names them first, with the answer to an
// offer of the newest backup; true when the program goes on. Refused, nothing is written.
bool Danneggia(Banco& b, const Disco& danni, ui::Risposta risposta) {
    Prepara(b);
    EXPECT_TRUE(b.Avvia());  // a second run, so that a backup holds the first movement
    b.Inserisci("Prelievo", QStringLiteral("100"), QStringLiteral("secondo"));
    b.Clicca("CmdEsci");
    for (const auto& [file, byte] : danni) ScriviFile(b.cartella() / file, byte);
    const Disco danneggiato = b.disco();
    (void)b.NuoviMessaggi();
    b.dialoghi.risposte = {risposta};
    const bool aperta = b.Avvia();
    const Testi m = b.NuoviMessaggi();
    for (const auto& [file, byte] : danni)
        EXPECT_TRUE(!m.empty() && Contiene(m[0], file)) << testing::PrintToString(m);
    EXPECT_TRUE(aperta || b.disco() == danneggiato) << "nothing written";
    return aperta;
}

using enum ui::Risposta;
// The account's texts are written back at once, the register's at the next save.
TEST(FileDanneggiati, RiparatiDettiERiscritti) {
    Banco b;
    ASSERT_TRUE(Danneggia(b,
                          {{"listcol3.txt", "pri\"mo\r\n\"secondo\"\r\n"},
                           {"dati.txt", "\"12345\",\"Banca\tUno\"\r\n"}},
                          No));
    EXPECT_EQ(b.Riferimenti(), (Testi{"pri'mo", "secondo"}));
    EXPECT_EQ(b.disco().at("programma/dati.txt"), Record({"12345", "Banca Uno"}));
    b.Clicca("CmdEsci");
    EXPECT_EQ(b.disco().at("programma/listcol3.txt"), "\"pri'mo\"\r\n\"secondo\"\r\n");
}

// The damaged set is kept aside for inspection.
TEST(FileDanneggiati, CopiaRipristinata) {
    Banco b;
    ASSERT_TRUE(Danneggia(b, {{"listcol4.txt", "\"1\"\r\n"}}, Si));
    EXPECT_EQ(b.Riferimenti(), Testi{"primo"});
    const Disco d = b.disco();
    EXPECT_EQ(d.at("programma/listcol4.txt"), Record({Scrambla("250,00")}));
    EXPECT_EQ(d.at("programma/backup/danneggiati-20030305-120003/listcol4.txt"), "\"1\"\r\n");
}

TEST(FileDanneggiati, CopiaRifiutataFine) {
    Banco b;
    EXPECT_FALSE(Danneggia(b, {{"listcol4.txt", "\"1\"\r\n"}}, No));
    EXPECT_TRUE(b.dialoghi.terminato);
}

// Amounts typed into the files by hand that no one can read: told at start with file and
// row; refused, the newest backup comes back as for a damaged file; kept, they stay as
// written, never a zero, and the register opens.
TEST(FileDanneggiati, ImportiIlleggibiliDettiMaiZero) {
    for (const char* importo : {"abc", "99999999999999999999999,00"}) {
        for (const auto risposta : {Si, No}) {
            SCOPED_TRACE(importo);
            Banco b;
            const std::string byte = Record({Scrambla("250,00")}) + Record({Scrambla(importo)});
            ASSERT_TRUE(Danneggia(b, {{"listcol4.txt", byte}}, risposta));
            EXPECT_EQ(b.Riferimenti(),
                      risposta == Si ? Testi{"primo"} : (Testi{"primo", "secondo"}));
            b.Clicca("CmdEsci");
            EXPECT_EQ(b.disco().at("programma/listcol4.txt") == byte, risposta == No);
        }
    }
}

// A save killed after its new files were whole, with a marker naming a file besides the
// data files (hand-made or planted): the next start completes it all the same, and moves
// only the data files.
TEST(SalvataggioInterrotto, CompletatoAllAvvioSoloIFileDati) {
    Disco atteso = Registro({{"05/03/2003", "Versamento", "primo", "250,00", "250,00"},
                             {"05/03/2003", "Prelievo", "secondo", "50,00", "200,00"}},
                            "Euro", "200");
    Banco b;
    Prepara(b);
    b.Clicca("CmdEsci");
    std::string marcatore = Record({"estraneo.txt", "1"});
    for (const std::string f : {"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                                "listcol5.txt", "para.txt"}) {
        ScriviFile(b.cartella() / (f + ".nuovo"), atteso.at("programma/" + f));
        marcatore += Record({f, "1"});
    }
    ScriviFile(b.cartella() / "estraneo.txt.nuovo", "altro");
    ScriviFile(b.cartella() / ".salvataggio", marcatore);
    atteso["programma/estraneo.txt.nuovo"] = "altro";
    ASSERT_TRUE(b.Avvia());
    EXPECT_EQ(Dati(b.disco()), atteso);
}

// A backup that cannot be made does not stop the saves, and is told once in the run.
TEST(CopiaNonRiuscita, DettaUnaVoltaEISalvataggiProseguono) {
    Banco b;
    Prepara(b);
    ASSERT_TRUE(b.Avvia());
    fs::remove_all(b.cartella() / "backup");
    ScriviFile(b.cartella() / "backup", "");
    b.Inserisci("Prelievo", QStringLiteral("100"), QStringLiteral("secondo"));
    b.Inserisci("Prelievo", QStringLiteral("10"), QStringLiteral("terzo"));
    const Testi errori = Errori(b);
    ASSERT_EQ(errori.size(), 1u);
    EXPECT_TRUE(errori[0].starts_with("Impossibile creare la copia di sicurezza")) << errori[0];
    ASSERT_TRUE(b.Avvia());
    EXPECT_EQ(b.Riferimenti(), (Testi{"primo", "secondo", "terzo"})) << "both saved";
}

// A register opened read-only: every save refused with its reason, nothing written.
TEST(SolaLettura, OgniSalvataggioRifiutato) {
    Banco b;
    Prepara(b);
    b.Clicca("CmdEsci");
    const Disco prima = b.disco();
    b.solaLettura = true;
    ASSERT_TRUE(b.Avvia());
    b.dialoghi.inputDigitati = {"300"};
    b.dialoghi.risposte = {Si};  // to leaving what could not be saved
    b.Clicca("CmdSaldo");
    b.Clicca("CmdEsci");
    const Testi errori = Errori(b);
    ASSERT_EQ(errori.size(), 2u);
    EXPECT_TRUE(Contiene(errori[0], "registro aperto in sola lettura")) << errori[0];
    EXPECT_TRUE(b.dialoghi.terminato);
    EXPECT_EQ(b.disco(), prima);
}

}  // namespace

// A session that only looks writes nothing and takes no backup, whether it ends with Esci or
// SIGTERM; with nothing to lose, a read-only one closes without asking.
TEST(SoloConsultazione, NienteScrittoNessunaDomanda) {
    for (const bool soloLettura : {false, true}) {
        for (const char* fine : {"CmdEsci", "Segnale"}) {
            SCOPED_TRACE(std::string(fine) + (soloLettura ? " sola lettura" : ""));
            Banco b;
            Prepara(b);
            b.Clicca("CmdEsci");
            const Disco prima = b.disco();
            b.solaLettura = soloLettura;
            ASSERT_TRUE(b.Avvia());
            (void)b.NuoviMessaggi();
            if (std::string_view(fine) == "Segnale") {
                avvio::SegnaliDiFine segnali([&b] { b.programma->ChiusuraDalSistema(); });
                ASSERT_EQ(::raise(SIGTERM), 0);
                ASSERT_TRUE(QTest::qWaitFor([&] { return b.dialoghi.terminato; }, 2000));
            } else {
                b.Clicca("CmdEsci");
            }
            EXPECT_TRUE(b.dialoghi.terminato);
            EXPECT_EQ(b.NuoviMessaggi(), Testi{});
            EXPECT_EQ(b.disco(), prima);
        }
    }
}
