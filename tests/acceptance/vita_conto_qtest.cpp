// The program played end to end through its real windows, as a user would, on scratch
// folders: every step checks what the window shows and the exact bytes on the disk.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <optional>

#include "acceptance/support/banco.h"
#include "acceptance/support/formato_atteso.h"
#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"
#include "setup/form17_qt.h"
#include "ui/finestra_qt.h"

namespace {

using accettazione::AggiungiRegistro;
using accettazione::Banco;
using accettazione::Disco;
using accettazione::kCartella;
using accettazione::Parametri;
using accettazione::Record;
using accettazione::Riga;
using accettazione::Scrambla;

using Testi = std::vector<std::string>;

const QColor kNero(0, 0, 0);
const QColor kRosso(255, 0, 0);
const char* const kTitolo = "Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno";

// The two empty folders, the account file and, when set, the password file.
Disco Conto(std::string_view numero, std::string_view banca,
            std::optional<std::string_view> password) {
    Disco d{{"programma", std::string(kCartella)},
            {"configurazione", std::string(kCartella)},
            {"programma/dati.txt", Record({numero, banca})}};
    if (password) d["configurazione/Vorn.lst"] = Record({Scrambla(*password)});
    return d;
}

// A backup folder holding these files of `disco` (names without their folder).
void AggiungiCopia(Disco& d, const Disco& disco, const std::string& cartella) {
    d["programma/backup"] = std::string(kCartella);
    d["programma/backup/" + cartella] = std::string(kCartella);
    for (const auto& [percorso, byte] : disco) {
        if (byte == kCartella) continue;
        const std::string nome = percorso.substr(percorso.find('/') + 1);
        d["programma/backup/" + cartella + "/" + nome] = byte;
    }
}

// The lines of a printout with their blanks collapsed, empty ones left out.
Testi RigheStampa(const QString& testo) {
    Testi righe;
    for (const QString& r : testo.split(QLatin1Char('\n'))) {
        const QString s = r.simplified();
        if (!s.isEmpty()) righe.push_back(s.toStdString());
    }
    return righe;
}

TEST(FormatoAtteso, EsempiDeiFileDati) {
    EXPECT_EQ(Scrambla("abc"), "bdf");
    EXPECT_EQ(Scrambla("1.234,50"), "205792<8");
    EXPECT_EQ(Parametri("Euro", "1234,5", "-5000"),
              "\x22\x45\x75\x72\x6F\x22\x2C\x22\x32\x34\x36\x38\x31\x3B\x22\x2C\x22\x2E\x37\x33"
              "\x34\x35\x22\x0D\x0A");
    EXPECT_EQ(Record({accettazione::Cp1252("Addebito boll.elettricità")}),
              "\"Addebito boll.elettricit\xE0\"\r\n");
}

// First use with a password, then three starts: right password in another case, wrong
// password, and what the shutdown of a run writes.
TEST(Accettazione, PrimoUsoConPasswordERiavvii) {
    Banco b;
    ASSERT_TRUE(b.Avvia());
    EXPECT_EQ(b.programma().principale(), nullptr) << "first use shows only the setup window";
    EXPECT_EQ(b.disco(), (Disco{{"programma", std::string(kCartella)},
                                {"configurazione", std::string(kCartella)}}));

    b.PrimoUso(QStringLiteral("12345"), QStringLiteral("Banca Uno"), QStringLiteral("Segreta"));
    Disco atteso = Conto("12345", "Banca Uno", "Segreta");
    EXPECT_EQ(b.disco(), atteso);
    EXPECT_EQ(atteso["configurazione/Vorn.lst"], "\"Tgjvjzh\"\r\n");
    ASSERT_NE(b.programma().principale(), nullptr);
    EXPECT_TRUE(b.principale().isVisible());
    EXPECT_EQ(b.principale().windowTitle().toStdString(), kTitolo);
    EXPECT_EQ(b.Testo("cmdPass"), "Rimuovi Pass&word");
    EXPECT_EQ(b.Testo("Label6"), "€uro");
    EXPECT_EQ(b.Testo("txtSaldo"), "0,00");
    EXPECT_TRUE(b.RigheMostrate().empty());

    b.Clicca("CmdEsci");
    EXPECT_TRUE(b.dialoghi.terminato);
    AggiungiRegistro(atteso, "programma", {});
    atteso["programma/para.txt"] = Parametri("Euro", "0", "0");
    EXPECT_EQ(b.disco(), atteso);

    // The password in another letter case opens the account and writes nothing.
    ASSERT_TRUE(b.AvviaConPassword(QStringLiteral("sEGRETA")));
    EXPECT_TRUE(b.principale().isVisible());
    EXPECT_EQ(b.principale().windowTitle().toStdString(), kTitolo);
    EXPECT_EQ(b.disco(), atteso);
    // Its shutdown first keeps the data set as it was in a backup, then writes it back.
    const Disco primaDelSalvataggio = atteso;
    b.Clicca("CmdEsci");
    AggiungiCopia(atteso, primaDelSalvataggio, "20030305-120002");
    EXPECT_EQ(b.disco(), atteso);

    ASSERT_FALSE(b.AvviaConPassword(QStringLiteral("Sbagliata")));
    EXPECT_EQ(b.NuoviMessaggi(), Testi{"Password errata"});
    EXPECT_EQ(b.dialoghi.messaggi.back().icona, ui::Icona::Esclamazione);
    EXPECT_EQ(b.dialoghi.messaggi.back().titolo, "Quibora Lite Edition");
    EXPECT_TRUE(b.programma().terminato());
    EXPECT_FALSE(b.principale().isVisible());
    EXPECT_EQ(b.disco(), atteso) << "a wrong password writes nothing";
}

// One account's life in one run: lire, the typical withdrawal, a credit line overrun, a
// printout of a date range, the switch to euro, a euro movement, two removals back across
// the switch, and the shutdown.
TEST(Accettazione, VitaDiUnConto) {
    Banco b;
    ASSERT_TRUE(b.Avvia());
    b.PrimoUso(QStringLiteral("12345"), QStringLiteral("Banca Uno"), std::nullopt);
    Disco atteso = Conto("12345", "Banca Uno", std::nullopt);
    EXPECT_EQ(b.disco(), atteso) << "no password file without a password";
    EXPECT_EQ(b.Testo("cmdPass"), "Inserisci Pass&word");

    // A new account is kept in euro; the user switches to lire.
    EXPECT_EQ(b.Testo("CmdEuro"), "&Gestisci in Lire");
    b.Clicca("CmdEuro");
    EXPECT_EQ(b.Testo("CmdEuro"), "&Gestisci in €uro");
    EXPECT_EQ(b.Testo("Label2"), "£.");
    EXPECT_EQ(b.Testo("Label6"), "£ire");
    EXPECT_EQ(b.Testo("txtSaldo"), "0");
    AggiungiRegistro(atteso, "programma", {});
    atteso["programma/para.txt"] = Parametri("Lire", "0", "0");
    EXPECT_EQ(b.disco(), atteso) << "the switch saves the register and the parameters";

    b.Inserisci(
        {"Versamento", QStringLiteral("01/03/2003"), QStringLiteral("1.000.000"), {}, "£."});
    std::vector<Riga> righe{{"01/03/2003", "Versamento", "", "1.000.000", "1.000.000"}};
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(b.Testo("txtSaldo"), "1.000.000");
    EXPECT_EQ(b.ColoreSaldo(), kNero);
    for (const char* p : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_TRUE(b.controllo<QPushButton>(p)->isEnabled()) << p;
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Lire", "1000000", "0");
    EXPECT_EQ(b.disco(), atteso);

    // The typical withdrawal: today's date as proposed, the amount and a reference.
    b.oggi = {2003, 3, 10};
    b.Inserisci({"Prelievo", {}, QStringLiteral("200.000"), QStringLiteral("bancomat"), "£."});
    righe.push_back({"10/03/2003", "Prelievo", "bancomat", "200.000", "800.000"});
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(b.Testo("txtSaldo"), "800.000");
    EXPECT_EQ(b.ColoreSaldo(), kNero);
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Lire", "800000", "0");
    EXPECT_EQ(b.disco(), atteso);
    EXPECT_TRUE(b.NuoviMessaggi().empty());

    // A credit line of 500.000, then a withdrawal beyond it: recorded, saved, and warned.
    b.dialoghi.inputDigitati.push_back("500.000");
    b.Clicca("Cmdfido");
    ASSERT_EQ(b.dialoghi.input.size(), 1u);
    EXPECT_EQ(b.dialoghi.input[0].prompt,
              "Imposta fido accordato. Fido impostato attualmente:\r\r£.  ");
    EXPECT_EQ(b.dialoghi.input[0].titolo, "Quibora Lite Edition");
    atteso["programma/para.txt"] = Parametri("Lire", "800000", "-500000");
    EXPECT_EQ(b.disco(), atteso) << "the credit line is saved at once";
    b.oggi = {2003, 3, 15};
    b.Inserisci({"Prelievo", {}, QStringLiteral("1.500.000"), QStringLiteral("auto"), "£."});
    EXPECT_EQ(b.NuoviMessaggi(), Testi{"ATTENZIONE! SEI FUORI FIDO"});
    EXPECT_EQ(b.dialoghi.messaggi.back().icona, ui::Icona::Esclamazione);
    righe.push_back({"15/03/2003", "Prelievo", "auto", "1.500.000", "-700.000"});
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(b.Testo("txtSaldo"), "-700.000");
    EXPECT_EQ(b.ColoreSaldo(), kRosso);
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Lire", "-700000", "-500000");
    EXPECT_EQ(b.disco(), atteso);

    // The printout of 2 to 12 March holds the one movement of 10 March.
    const Testi stampa =
        RigheStampa(b.StampaPeriodo(QStringLiteral("02/03/2003"), QStringLiteral("12/03/2003")));
    EXPECT_EQ(stampa, (Testi{"Pagina N° 1", "Banca Uno conto n° 12345 - elenco movimenti al :",
                             "15/03/2003", "Data Causale Riferimento Importo Saldo",
                             "10/03/2003 Prelievo bancomat 200.000 800.000"}));
    EXPECT_EQ(b.disco(), atteso) << "printing writes no data file";

    // To euro: the balance, the credit line and the last row's balance are converted;
    // the earlier rows keep their lire.
    b.Clicca("CmdEuro");
    EXPECT_EQ(b.Testo("CmdEuro"), "&Gestisci in Lire");
    EXPECT_EQ(b.Testo("Label2"), "€.");
    EXPECT_EQ(b.Testo("Label6"), "€uro");
    EXPECT_EQ(b.Testo("txtSaldo"), "-361,52");
    EXPECT_EQ(b.ColoreSaldo(), kRosso);
    righe.back()[4] = "-361,52";
    EXPECT_EQ(b.RigheMostrate(), righe);
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Euro", "-361,5198", "-258,2284");
    EXPECT_EQ(b.disco(), atteso);

    b.Inserisci({"Versamento", {}, QStringLiteral("1000,5"), {}, "€."});
    righe.push_back({"15/03/2003", "Versamento", "", "1.000,50", "638,98"});
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(b.Testo("txtSaldo"), "638,98");
    EXPECT_EQ(b.ColoreSaldo(), kNero);
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Euro", "638,9802", "-258,2284");
    EXPECT_EQ(b.disco(), atteso);
    EXPECT_TRUE(b.NuoviMessaggi().empty()) << "a credit never warns";

    // Back: the euro movement, then the lire withdrawal across the switch.
    b.Clicca("Rimuoviu");
    righe.pop_back();
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(b.Testo("txtSaldo"), "-361,52");
    EXPECT_EQ(b.ColoreSaldo(), kRosso);
    EXPECT_EQ(b.Testo("Label2"), "€.");
    EXPECT_EQ(b.Testo("CmdEuro"), "&Gestisci in Lire");
    b.Clicca("Rimuoviu");
    righe.pop_back();
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(b.Testo("txtSaldo"), "800.000");
    EXPECT_EQ(b.ColoreSaldo(), kNero);
    EXPECT_EQ(b.Testo("Label2"), "£");
    EXPECT_EQ(b.Testo("Label6"), "£ire");
    EXPECT_EQ(b.Testo("CmdEuro"), "&Gestisci in €uro");
    // Each removal is saved at once: the two rows and the reconverted balance and credit
    // line, with the fractions the round trip through euro left.
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Lire", "800000,0569", "-499999,9041");
    EXPECT_EQ(b.disco(), atteso);

    b.Clicca("CmdEsci");
    EXPECT_EQ(b.disco(), atteso);
    EXPECT_TRUE(b.NuoviMessaggi().empty());
}

struct TipoInLista {
    const char* caption;
    const char* causaleEuro;
    int segno;
};

// The 12th movement widens the window once; the 13th scrolls the grid instead.
TEST(Accettazione, DodiciETrediciMovimenti) {
    const TipoInLista tipi[] = {
        {"Accredito generico", "Accredito generico", 1},
        {"Accredito stipendio", "Accredito stipendio", 1},
        {"Addebito bolletta acqua", "Addebito bolletta acqua", -1},
        {"Addebito bolletta elettricità", "Addebito boll. eletricità", -1},
        {"Addebito bolletta gas", "Addebito bolletta gas", -1},
        {"Addebito bolletta telefonica", "Addebito boll.telefonica", -1},
        {"Addebito carta di credito", "Addebito carta di credito", -1},
        {"Addebito generico", "Addebito generico", -1},
        {"Assegno", "Assegno", -1},
        {"Bonifico a credito", "Bonifico a credito", 1},
        {"Bonifico a debito", "Bonifico a debito", -1},
        {"Interessi a credito", "Interessi a credito", 1},
        {"Interessi a debito", "Interessi a debito", -1},
    };
    Banco b;
    ASSERT_TRUE(b.Avvia());
    b.PrimoUso(QStringLiteral("12345"), QStringLiteral("Banca Uno"), std::nullopt);
    main_window::Form1Qt& f = b.principale();
    grid::VistaGrigliaQt* vista = f.vistaGriglia();
    const int stretta = f.width();
    EXPECT_EQ(stretta, ui::TwipsInPixelX(9285, &f));

    std::vector<Riga> righe;
    int saldo = 0;
    int scorrimento = 0;
    for (int i = 0; i < 13; ++i) {
        const auto& t = tipi[i];
        const std::string rif = "rif " + std::to_string(i + 1);
        b.Inserisci({t.caption, {}, QStringLiteral("10"), QString::fromStdString(rif), "€."});
        saldo += 10 * t.segno;
        righe.push_back({"05/03/2003", t.causaleEuro, rif, "10,00", std::to_string(saldo) + ",00"});
        // The new movement is model row i; is it wholly in view?
        const bool ultimaVisibile =
            vista->viewport()->rect().contains(vista->visualRect(vista->model()->index(i, 0)));
        if (i < 11) {
            EXPECT_EQ(f.width(), stretta) << i + 1 << " movements";
            continue;
        }
        EXPECT_EQ(f.width(), ui::TwipsInPixelX(9525, &f)) << i + 1 << " movements";
        if (f.logicalDpiX() == 96) {
            EXPECT_EQ(f.width() - stretta, 16);
        }
        EXPECT_EQ(f.findChild<QWidget*>(QStringLiteral("Grid"))->width(),
                  ui::TwipsInPixelX(9225, &f));
        EXPECT_EQ(f.findChild<QWidget*>(QStringLiteral("CmdEsci"))->x(),
                  ui::TwipsInPixelX(7560, &f));
        EXPECT_EQ(f.findChild<QWidget*>(QStringLiteral("Label1"))->x(),
                  ui::TwipsInPixelX(4070, &f));
        EXPECT_EQ(f.griglia().TopRow(), i + 1);
        EXPECT_TRUE(ultimaVisibile) << "the new row is in view";
        // Scrolled as far as the rows go: one row further at each movement.
        const QScrollBar* barra = vista->verticalScrollBar();
        EXPECT_EQ(barra->value(), barra->maximum());
        if (i == 11) {
            scorrimento = barra->value();
            EXPECT_GT(scorrimento, 0) << "the grid has scrolled";
        } else {
            EXPECT_EQ(barra->value(), scorrimento + 1);
        }
    }
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(b.Testo("txtSaldo"), "-50,00");
    EXPECT_EQ(b.ColoreSaldo(), kRosso);
    EXPECT_TRUE(b.NuoviMessaggi().empty()) << "no credit line, no warning";
    Disco atteso = Conto("12345", "Banca Uno", std::nullopt);
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Euro", "-50", "0");
    EXPECT_EQ(b.disco(), atteso);
}

// Removing the only movement: No keeps everything; Yes deletes every data file and the
// password file and ends the program without saving; the next start is a first use.
TEST(Accettazione, AzzeramentoDellUnicoMovimento) {
    Banco b;
    ASSERT_TRUE(b.Avvia());
    b.PrimoUso(QStringLiteral("12345"), QStringLiteral("Banca Uno"), QStringLiteral("Segreta"));
    b.Inserisci({"Versamento", {}, QStringLiteral("250"), QStringLiteral("primo"), "€."});
    const std::vector<Riga> righe{{"05/03/2003", "Versamento", "primo", "250,00", "250,00"}};
    b.Clicca("CmdEsci");

    ASSERT_TRUE(b.AvviaConPassword(QStringLiteral("segreta")));
    Disco atteso = Conto("12345", "Banca Uno", "Segreta");
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Euro", "250", "0");
    EXPECT_EQ(b.disco(), atteso);
    EXPECT_EQ(b.RigheMostrate(), righe);

    const std::string domanda =
        "Attenzione rimuovendo l'ultima riga,verrà azzerato anche il Saldo e i vari parametri "
        "precedentemente impostati.Sarà comunque necessario riavviare l'applicazione. "
        "Procedere?";
    b.dialoghi.risposte.push_back(ui::Risposta::No);
    b.Clicca("Rimuovi");
    EXPECT_EQ(b.NuoviMessaggi(), Testi{domanda});
    const auto& m = b.dialoghi.messaggi.back();
    EXPECT_EQ(m.pulsanti, ui::Pulsanti::SiNo);
    EXPECT_EQ(m.predefinita, ui::Risposta::Si);
    EXPECT_EQ(m.icona, ui::Icona::Esclamazione);
    EXPECT_EQ(m.titolo, "Rimozione movimenti");
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_FALSE(b.programma().terminato());
    EXPECT_EQ(b.disco(), atteso);

    b.dialoghi.risposte.push_back(ui::Risposta::Si);
    b.Clicca("Rimuoviu");
    EXPECT_EQ(b.NuoviMessaggi(), Testi{domanda});
    EXPECT_TRUE(b.programma().terminato());
    // The data set is gone from its places and kept whole in a backup of this run.
    Disco dopo{{"programma", std::string(kCartella)}, {"configurazione", std::string(kCartella)}};
    AggiungiCopia(dopo, atteso, "20030305-120002");
    EXPECT_EQ(b.disco(), dopo);
    // Whatever closes the window now, nothing is written back.
    b.principale().close();
    EXPECT_EQ(b.disco(), dopo);

    ASSERT_TRUE(b.Avvia());
    ASSERT_NE(b.programma().impostazione(), nullptr);
    EXPECT_TRUE(b.programma().impostazione()->isVisible());
    EXPECT_EQ(b.programma().principale(), nullptr);
    EXPECT_TRUE(b.NuoviMessaggi().empty());
}

// The exit button and the close box end the same session with the same bytes, changes
// held only in memory (balance, credit line) included.
TEST(Accettazione, EsciEChiusuraScrivonoGliStessiByte) {
    Disco scritti[2];
    for (int modo = 0; modo < 2; ++modo) {
        SCOPED_TRACE(modo == 0 ? "Esci" : "close box");
        Banco b;
        ASSERT_TRUE(b.Avvia());
        b.PrimoUso(QStringLiteral("12345"), QStringLiteral("Banca Uno"), std::nullopt);
        b.Inserisci({"Versamento", {}, QStringLiteral("1.000"), QStringLiteral("stipendio"), "€."});
        std::vector<Riga> righe{{"05/03/2003", "Versamento", "stipendio", "1.000,00", "1.000,00"}};
        Disco atteso = Conto("12345", "Banca Uno", std::nullopt);
        AggiungiRegistro(atteso, "programma", righe);
        atteso["programma/para.txt"] = Parametri("Euro", "1000", "0");
        EXPECT_EQ(b.disco(), atteso);

        b.dialoghi.inputDigitati = {"1234,5", "5000"};
        b.Clicca("CmdSaldo");
        ASSERT_EQ(b.dialoghi.input.size(), 1u);
        EXPECT_EQ(b.dialoghi.input[0].prompt, "Modifica/imposta nuovo saldo.");
        EXPECT_EQ(b.dialoghi.input[0].predefinito, "1.000,00");
        EXPECT_EQ(b.Testo("txtSaldo"), "1.234,50");
        righe[0][4] = "1.234,50";
        EXPECT_EQ(b.RigheMostrate(), righe);
        b.Clicca("Cmdfido");
        AggiungiRegistro(atteso, "programma", righe);
        atteso["programma/para.txt"] = Parametri("Euro", "1234,5", "-5000");
        EXPECT_EQ(b.disco(), atteso) << "balance and credit line are saved at once";

        if (modo == 0)
            b.Clicca("CmdEsci");
        else
            b.principale().close();
        EXPECT_TRUE(b.dialoghi.terminato);
        EXPECT_EQ(b.disco(), atteso);
        EXPECT_EQ(atteso["programma/listcol5.txt"], "\"205792<8\"\r\n");
        scritti[modo] = b.disco();
    }
    EXPECT_EQ(scritti[0], scritti[1]);
}

}  // namespace
