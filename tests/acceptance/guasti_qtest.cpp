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
    const char* motivo;
};
constexpr auto kNegato = "accesso negato (file o cartella in sola lettura)";
constexpr auto kPieno = "disco pieno";
test::Guasto G(test::Operazione op, const char* file, int errore, int volta = 0) {
    return {op, file, volta, false, errore, errore == ENOSPC};  // a full disk writes half
}
// One row per command; the kinds of failure on each file are the file layer's business.
const Caso kCasi[] = {
    {"Movimento", G(Scrivi, "listcol1.txt", EACCES), kNegato},
    // The old file has been moved aside when the new one cannot take its place.
    {"Movimento", G(Rinomina, "listcol5.txt", EXDEV, 2), "file su dischi diversi"},
    {"CmdEuro", G(Rinomina, "listcol3.txt", EIO), "errore di lettura o scrittura"},
    {"CmdSaldo", G(Scrivi, "para.txt", ENOSPC), kPieno},
    {"Cmdfido", G(Scrivi, "para.txt", ENOSPC), kPieno},
    {"Rimuovi", G(Scrivi, "para.txt", ENOSPC), kPieno},
    {"Rimuoviu", G(Scrivi, "listcol2.txt", ENOSPC), kPieno},
    // A fault that lasts fails the balance's save, then the exit's: asked, the user stays.
    {"CmdEsci", G(Scrivi, "listcol3.txt", ENOSPC), kPieno},
    {"Chiusura", G(Scrivi, "para.txt", EACCES), kNegato},  // the close box
    {"Segnale", G(Scrivi, "listcol4.txt", EACCES), kNegato},
    {"PrimoUso", G(Scrivi, "dati.txt", ENOSPC), kPieno},
    {"PrimoUso", G(Scrivi, "Vorn.lst", EACCES), kNegato},
    {"ImpostaPassword", G(Scrivi, "Vorn.lst", ENOSPC), kPieno},
    {"RimuoviPassword", G(Elimina, "Vorn.lst", EBUSY), "file in uso"},
    // The reset copies every file first where hard links cannot be made: a failed copy
    // deletes nothing.
    {"Azzeramento", G(Elimina, "listcol1.txt", EACCES), kNegato},
    {"Azzeramento", G(Scrivi, "listcol1.txt", ENOSPC), kPieno},
    {"Azzeramento", G(CreaCartella, ".nuovo", EACCES), kNegato},
};

// The same steps with no failure: the files after the exit.
const Disco& SenzaGuasti(std::string_view punto) {
    static std::map<std::string_view, Disco> fatti;
    auto [it, nuovo] = fatti.try_emplace(punto);
    if (nuovo) {
        Banco b;
        Prepara(b, punto);
        Esegui(b, punto);
        if (b.programma->principale()) b.Clicca("CmdEsci");
        it->second = Dati(b.disco());
        EXPECT_EQ(Errori(b), Testi{}) << "without faults";
    }
    return it->second;
}

class Guasti : public testing::TestWithParam<Caso> {};

TEST_P(Guasti, MessaggioFileIntattiProgrammaUsabile) {
    const Caso& c = GetParam();
    const std::string_view punto = c.punto;
    const Disco& finale = SenzaGuasti(punto);
    Banco b;
    Prepara(b, punto);
    const Disco prima = Dati(b.disco());
    b.guasti.Guasta(c.guasto);
    if (punto == "Azzeramento" && c.guasto.operazione == Scrivi)
        b.guasti.Guasta({Collega, "", 0, false, EXDEV});

    (void)Errori(b);
    Esegui(b, punto);
    const Testi errori = Errori(b);
    ASSERT_EQ(errori.size(), Esce(punto) ? 2u : 1u) << "one per fault";
    for (const auto& errore : errori)
        EXPECT_TRUE(Contiene(errore, c.guasto.nome) && Contiene(errore, c.motivo)) << errore;
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
    std::string nome = std::string(info.param.punto) + '_' + info.param.guasto.nome + '_' +
                       strerrorname_np(info.param.guasto.errore);
    std::erase(nome, '.');
    return nome;
});

// A file damaged between two runs: mended and told, or the newest backup offered and,
// refused, the program ended without writing anything.
struct Danno {
    const char* file;
    std::string byte, messaggio;  // its contents, and part of the first message at start
    ui::Risposta risposta;        // to the offer of the newest backup
    Testi riferimenti;            // the references then shown; none: ended
    std::string dopo;             // the file's bytes after the exit
};
class FileDanneggiati : public testing::TestWithParam<Danno> {};

TEST_P(FileDanneggiati, RiparatoORipristinatoOFermatoSenzaPerdite) {
    const Danno& d = GetParam();
    Banco b;
    Prepara(b);
    ASSERT_TRUE(b.Avvia());  // a second run, so that a backup holds the first movement
    b.Inserisci("Prelievo", QStringLiteral("100"), QStringLiteral("secondo"));
    b.Clicca("CmdEsci");
    ScriviFile(b.cartella() / d.file, d.byte);
    const Disco danneggiato = b.disco();
    (void)b.NuoviMessaggi();
    b.dialoghi.risposte = {d.risposta};

    const bool aperta = b.Avvia();
    EXPECT_EQ(aperta, !d.riferimenti.empty());
    const Testi m = b.NuoviMessaggi();
    ASSERT_FALSE(m.empty());
    EXPECT_TRUE(Contiene(m[0], d.messaggio) && Contiene(m[0], d.file)) << m[0];
    if (aperta) {
        EXPECT_EQ(b.Riferimenti(), d.riferimenti);
        b.Clicca("CmdEsci");
    }
    const Disco dopo = b.disco();
    EXPECT_TRUE(aperta || dopo == danneggiato) << "nothing written";
    EXPECT_EQ(dopo.at("programma/" + std::string(d.file)), d.dopo);
    // A restored backup keeps the damaged set aside for inspection.
    const auto tenuto =
        dopo.find("programma/backup/danneggiati-20030305-120003/" + std::string(d.file));
    EXPECT_EQ(tenuto == dopo.end() ? "" : tenuto->second,
              d.risposta == ui::Risposta::Si ? d.byte : "");
}

using enum ui::Risposta;
const Danno kDanni[] = {
    {"listcol3.txt",
     "pri\"mo\r\n\"secondo\"\r\n",
     "listcol3.txt, riga 1",
     No,
     {"pri'mo", "secondo"},
     "\"pri'mo\"\r\n\"secondo\"\r\n"},
    {"dati.txt",
     "\"12345\",\"Banca\tUno\"\r\n",
     "dati.txt, riga 1",
     No,
     {"primo", "secondo"},
     "\"12345\",\"Banca Uno\"\r\n"},
    {"listcol4.txt", "\"1\"\r\n", "Ripristinarla", Si, {"primo"}, Record({Scrambla("250,00")})},
    {"listcol4.txt", "\"1\"\r\n", "Ripristinarla", No, {}, "\"1\"\r\n"},
};
INSTANTIATE_TEST_SUITE_P(Tabella, FileDanneggiati, testing::ValuesIn(kDanni));

// A save killed after its new files were whole: the next start finishes it forward. A
// marker naming any file but the data files (hand-made or planted) must not make the
// start-up move that file.
TEST(SalvataggioInterrotto, CompletatoAllAvvio) {
    Disco atteso = Registro({{"05/03/2003", "Versamento", "primo", "250,00", "250,00"},
                             {"05/03/2003", "Prelievo", "secondo", "50,00", "200,00"}},
                            "Euro", "200");
    atteso["programma/estraneo.txt"] = "mio";
    atteso["programma/estraneo.txt.nuovo"] = "altro";
    for (const std::string estraneo : {"", "estraneo.txt"}) {
        Banco b;
        Prepara(b);
        b.Clicca("CmdEsci");
        std::string marcatore = estraneo.empty() ? "" : Record({estraneo, "1"});
        for (const std::string f : {"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                                    "listcol5.txt", "para.txt"}) {
            ScriviFile(b.cartella() / (f + ".nuovo"), atteso.at("programma/" + f));
            marcatore += Record({f, "1"});
        }
        ScriviFile(b.cartella() / "estraneo.txt", "mio");
        ScriviFile(b.cartella() / "estraneo.txt.nuovo", "altro");
        ScriviFile(b.cartella() / ".salvataggio", marcatore);
        ASSERT_TRUE(b.Avvia());
        EXPECT_EQ(Dati(b.disco()), atteso) << estraneo;
    }
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

// A register opened read-only: every save refused with its reason, and the exit asks
// before leaving what could not be written.
TEST(SolaLettura, OgniSalvataggioRifiutatoNienteSiPerde) {
    Banco b;
    Prepara(b);
    b.Clicca("CmdEsci");
    const Disco prima = b.disco();
    b.solaLettura = true;
    ASSERT_TRUE(b.Avvia());
    (void)Errori(b);
    b.dialoghi.inputDigitati = {"300"};
    b.Clicca("CmdSaldo");
    const Testi errori = Errori(b);
    ASSERT_EQ(errori.size(), 1u);
    EXPECT_TRUE(Contiene(errori[0], "registro aperto in sola lettura")) << errori[0];
    b.Clicca("CmdEsci");
    EXPECT_FALSE(b.dialoghi.terminato) << "staying is the default";
    b.dialoghi.risposte = {Si};
    b.Clicca("CmdEsci");
    EXPECT_TRUE(b.dialoghi.terminato);
    EXPECT_EQ(b.disco(), prima);
}

}  // namespace
