#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/tipi_movimento.h"
#include "printing/forme_testo_qt.h"
#include "printing/frm_stampa_qt.h"
#include "printing/stampante_qt.h"
#include "support/contesto_finto.h"
#include "support/finti.h"

namespace {

// The pages of a PDF as pdftotext lays them out, each as its non-empty lines with the
// blanks between columns reduced to one.
std::vector<QStringList> Pagine(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(60000));
    std::vector<QStringList> pagine;
    for (const QString& pagina : QString::fromUtf8(p.readAllStandardOutput()).split('\f')) {
        QStringList linee;
        // The face's ligatures come out as single characters.
        for (const QString& l : pagina.split('\n', Qt::SkipEmptyParts))
            linee << l.simplified().replace(QChar(0xFB01), "fi").replace(QChar(0xFB02), "fl");
        if (!linee.isEmpty()) pagine.push_back(linee);
    }
    return pagine;
}

// Each word of a PDF's first page with its left and right edge, as pdftotext -bbox gives them.
std::vector<std::tuple<QString, double, double>> Parole(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", "-l", "1", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(60000));
    std::vector<std::tuple<QString, double, double>> parole;
    static const QRegularExpression parola(
        R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
    for (auto it = parola.globalMatch(QString::fromUtf8(p.readAllStandardOutput()));
         it.hasNext();) {
        const auto m = it.next();
        parole.emplace_back(m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return parole;
}

QStringList Intestazione(int pagina) {
    return {QString("Pagina N° %1").arg(pagina),
            "Banca Sella conto n° 12345 - elenco movimenti al :", "07/03/2024",
            "Data Causale Riferimento Importo Saldo"};
}

struct StampaQt : test::ContestoFinto, ::testing::Test {
    explicit StampaQt(int movimenti = 120) {
        oggi = {2024, 3, 7};
        stato.BancaAppoggio = "Banca Sella";
        stato.NumeroConto = "12345";
        // Movements day by day from 1 January 2024; the reference names the row.
        for (int i = 1; i <= movimenti; ++i)
            griglia.AddItem({core::FormatoData({2024, (i - 1) / 28 + 1, (i - 1) % 28 + 1}),
                             "Prelievo", "rif " + std::to_string(i), "1.000",
                             std::to_string(-i) + ".000"});
    }

    // Prints through the dialog as the user would (the range option and its dates if given,
    // then OK) into a new PDF, and returns its pages.
    std::vector<QStringList> SuPdf(const char* da = nullptr, const char* a = nullptr) {
        const QString pdf = Cartella() + QString("/%1.pdf").arg(++stampe);
        printing::FrmStampaQt dialogo(contesto, [pdf] { return printing::StampanteQt::Pdf(pdf); });
        dialogo.show();
        if (da) {
            QTest::mouseClick(dialogo.findChild<QRadioButton*>("Option1_1"), Qt::LeftButton);
            dialogo.findChild<QLineEdit*>("txtDadata")->setText(da);
            dialogo.findChild<QLineEdit*>("txtAdata")->setText(a);
        }
        QTest::mouseClick(dialogo.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
        EXPECT_FALSE(dialogo.isVisible());
        return Pagine(pdf);
    }

    QString Cartella() const { return QString::fromStdString(dir.path().string()); }
    int stampe = 0;
};

// Every page has its number, the title and the date above the rows it holds; a one-day
// range prints that day's rows only, none of the last run's.
TEST_F(StampaQt, OgniPaginaHaIntestazioneERigheEUnGiornoSoloIlSuo) {
    const auto pagine = SuPdf();
    ASSERT_EQ(pagine.size(), 3u);
    int righe = 0;
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(pagine[n].mid(0, 4), Intestazione(n + 1));
        righe += pagine[n].size() - 4;
    }
    EXPECT_EQ(righe, 120);
    EXPECT_EQ(pagine[2].last(), "08/05/2024 Prelievo rif 120 1.000 -120.000");
    EXPECT_EQ(
        SuPdf("02/01/2024", "02/01/2024"),
        std::vector<QStringList>{Intestazione(1) << "02/01/2024 Prelievo rif 2 1.000 -2.000"});
    // An amount wider than its column is squeezed into it, never cut; another text is cut
    // and says so.
    griglia.AddItem({"09/05/2024", "Prelievo", "rif", "999.999.999.999.999.999", "-1.000"});
    griglia.AddItem({"09/05/2024", "Prelievo", "riferimento del bonifico disposto in filiale",
                     "1.000", "-2.000"});
    const QStringList giorno = SuPdf("09/05/2024", "09/05/2024").at(0);
    ASSERT_EQ(giorno.size(), 6);
    EXPECT_EQ(giorno[4], "09/05/2024 Prelievo rif 999.999.999.999.999.999 -1.000");
    EXPECT_TRUE(QRegularExpression("^09/05/2024 Prelievo riferimento del bo[a-z ]*… 1.000 -2.000$")
                    .match(giorno[5])
                    .hasMatch())
        << giorno[5].toStdString();
    // Squeezed means within its cell: the amount ends before the border with the balance's
    // column, found from the two headers centred in columns 1550 and 1750 twips wide.
    double importo = 0, saldo = 0, fine = 0;
    for (const auto& [testo, da, a] : Parole(Cartella() + QString("/%1.pdf").arg(stampe))) {
        if (testo == "Importo") importo = (da + a) / 2;
        if (testo == "Saldo") saldo = (da + a) / 2;
        if (testo == "999.999.999.999.999.999") fine = a;
    }
    ASSERT_GT(saldo, importo);
    EXPECT_LE(fine, importo + (saldo - importo) * 775 / 1650 + 0.5);
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

// A long printout shows its progress; "Annulla" there stops it at the next page and leaves
// no file at all, nor any message.
TEST_F(StampaQt, AnnullaNellAvanzamentoNonLasciaNulla) {
    for (int i = 121; i <= 500; ++i)
        griglia.AddItem({"01/06/2024", "Prelievo", "rif " + std::to_string(i), "1.000", "0"});
    QString etichetta;
    QTimer premi;
    QObject::connect(&premi, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible()) {
                etichetta = d->findChild<QLabel*>()->text();
                d->findChild<QPushButton*>()->click();
                premi.stop();
            }
    });
    premi.start(0);
    EXPECT_TRUE(SuPdf().empty());
    EXPECT_TRUE(etichetta.startsWith("Stampa della pagina ") && etichetta.endsWith(" di 10"))
        << etichetta.toStdString();
    EXPECT_EQ(QDir(Cartella()).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString(), "");
    EXPECT_TRUE(dialoghi.messaggi.empty());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<QProgressDialog*>(w)) << "the progress box outlives its run";
}

// A text put together from pieces has the glyphs and places that shaping the whole text
// gives: across ligatures, kerned pairs and accents, for every movement type, and again for a
// text met before. One that needs another face, or has a control character, is left to the
// painter.
TEST(FormeTesto, ComeLaSagomaDelTestoIntero) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(1200);
    QFont font("DejaVu Sans Condensed");
    font.setBold(true);
    font.setPointSizeF(8.25);
    printing::FormeTesto forme(QFont(font, &pdf));
    QStringList testi{"riferimento 123",
                      "Affitto uffici fiscali",
                      "AVANTI, Tè e VAT.",
                      "Caffè città n° 5 «più»",
                      "-1.234.567,89",
                      "07/03/2024",
                      "Saldo",
                      "a"};
    for (const core::TipoMovimento& tipo : core::TipiMovimento())
        testi << QString::fromUtf8(tipo.CausaleLire) << QString::fromUtf8(tipo.CausaleEuro);
    testi << "riferimento 123"
          << "€ 12,50 – rata"
          << "שלום";
    int legati = 0;
    for (const QString& testo : testi) {
        SCOPED_TRACE(testo.toStdString());
        const auto attesa = forme.Sagoma(testo);
        ASSERT_TRUE(attesa);
        const printing::Forma* forma = forme.Di(testo);
        ASSERT_TRUE(forma);
        EXPECT_EQ(forma->glifi, attesa->glifi);
        EXPECT_EQ(forma->larghezza, attesa->larghezza);
        ASSERT_EQ(forma->posizioni.size(), attesa->posizioni.size());
        for (qsizetype i = 0; i < forma->posizioni.size(); ++i)
            EXPECT_EQ(forma->posizioni[i], attesa->posizioni[i]) << i;
        // Set from the left, within its own width.
        for (const QPointF& p : forma->posizioni)
            EXPECT_TRUE(p.x() >= 0 && p.x() < forma->larghezza && p.y() == 0) << p.x();
        legati += forma->glifi.size() < testo.size();
    }
    EXPECT_GE(legati, 2) << "no text here takes a ligature: the case is not tried";
    if (!QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty()) {
        EXPECT_EQ(forme.Di(QString::fromUtf8("rif 東京")), nullptr);
    }
    EXPECT_EQ(forme.Di(""), nullptr);
    EXPECT_EQ(forme.Di("€ 1\x01"), nullptr);
    // A font added to the application renews Qt's font cache: the same face, now through
    // another engine, still shapes.
    ASSERT_GE(QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
              0);
    EXPECT_TRUE(forme.Sagoma("Prelievo bancomat 12"));
}

// A queue that answers for the job it was given (the whole PDF present at that moment).
struct CodaFinta : printing::CodaStampa {
    printing::EsitoInvio esito;
    QString pdf;
    std::vector<std::string> Stampanti() override { return {"ufficio"}; }
    std::string Predefinita() override { return "ufficio"; }
    printing::EsitoInvio Invia(const std::string& stampante, const std::filesystem::path& file,
                               const std::string&) override {
        QFile f(QString::fromStdString(file.string()));
        if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed().endsWith("%%EOF"))
            pdf = QString::fromStdString(stampante);
        return esito;
    }
};

// A job a queue takes prints silently; one held by a stopped queue says so, naming it; one
// refused tells the queue's reason. The temporary PDF goes in every case.
TEST(CodaDiStampa, AttesaInCodaFermaERifiutoSiDicono) {
    struct Caso {
        const char* errore;
        bool ferma;
        const char* messaggio;  // empty for none
    };
    const Caso casi[] = {
        {"", false, ""},
        {"", true,
         "La stampa è in attesa nella coda \"ufficio\", che è ferma: uscirà quando la coda "
         "sarà riavviata."},
        {"Printer not accepting jobs.", false,
         "Errore della stampante\nLa stampante \"ufficio\" non ha accettato la stampa: "
         "Printer not accepting jobs."}};
    grid::Griglia griglia;
    printing::PreparaGridPrint(griglia);
    griglia.AddItem({"01/02/2024", "Prelievo", "rif", "1.000", "-1.000"});
    // The temporary folder is shared: only the printer's own files are looked at.
    const auto temporanei = [] {
        return QDir::temp()
            .entryList({".quibora-stampa-*"}, QDir::Files | QDir::Hidden)
            .join(' ')
            .toStdString();
    };
    const std::string prima = temporanei();
    for (const Caso& c : casi) {
        CodaFinta coda;
        coda.esito = {c.errore, c.ferma};
        test::DialoghiFinti dialoghi;
        const auto stampante = printing::StampanteQt::Coda(coda, "ufficio");
        printing::StampaGrid(griglia, *stampante, dialoghi, {}, "titolo", {2024, 3, 7});
        EXPECT_EQ(coda.pdf, "ufficio");
        EXPECT_EQ(dialoghi.testiMessaggi(), *c.messaggio ? std::vector<std::string>{c.messaggio}
                                                         : std::vector<std::string>{});
        EXPECT_EQ(temporanei(), prima);
    }
}

}  // namespace
