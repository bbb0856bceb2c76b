#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "printing/frm_stampa_qt.h"
#include "printing/stampante_qt.h"
#include "support/finti.h"
#include "ui/finestra_qt.h"

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
        for (const QString& l : pagina.split('\n', Qt::SkipEmptyParts)) linee << l.simplified();
        if (!linee.isEmpty()) pagine.push_back(linee);
    }
    return pagine;
}

QStringList Intestazione(int pagina) {
    return {QString("Pagina N° %1").arg(pagina),
            "Banca Sella conto n° 12345 - elenco movimenti al :", "07/03/2024",
            "Data Causale Riferimento Importo Saldo"};
}

struct StampaQt : ::testing::Test {
    StampaQt() {
        stato.BancaAppoggio = "Banca Sella";
        stato.NumeroConto = "12345";
        // Movements day by day from 1 January 2024; the reference names the row.
        for (int i = 1; i <= 120; ++i)
            registro.AddItem(core::FormatoData({2024, (i - 1) / 28 + 1, (i - 1) % 28 + 1}) +
                             "\tPrelievo\trif " + std::to_string(i) + "\t1.000\t-" +
                             std::to_string(i) + ".000");
    }

    // Runs the dialog as the user would: the period option and its dates if given, then OK.
    // Without a printer factory it prints as the program does.
    void Stampa(printing::FabbricaStampante stampante, const char* da = nullptr,
                const char* a = nullptr) {
        auto dialogo = stampante ? printing::FrmStampaQt(contesto, std::move(stampante))
                                 : printing::FrmStampaQt(contesto);
        dialogo.show();
        if (da) {
            QTest::mouseClick(dialogo.findChild<QRadioButton*>("Option1_1"), Qt::LeftButton);
            dialogo.findChild<QLineEdit*>("txtDadata")->setText(da);
            dialogo.findChild<QLineEdit*>("txtAdata")->setText(a);
        }
        QTest::mouseClick(dialogo.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
        EXPECT_FALSE(dialogo.isVisible());
    }
    // Prints into a new PDF and returns its pages.
    std::vector<QStringList> SuPdf(const char* da = nullptr, const char* a = nullptr) {
        const QString pdf = dir.filePath(QString::number(++stampe) + ".pdf");
        Stampa([pdf] { return printing::StampanteQt::Pdf(pdf); }, da, a);
        return Pagine(pdf);
    }

    QTemporaryDir dir;
    int stampe = 0;
    core::StatoConto stato;
    grid::Griglia registro;
    core::FileDati file{core::FileSystemReale(), dir.path().toStdString(),
                        dir.path().toStdString()};
    test::DialoghiFinti dialoghi;
    test::FinestraFinta form1;
    ui::Contesto contesto{stato,    registro, file,
                          dialoghi, form1,    [] { return core::Data{2024, 3, 7}; }};
};

TEST_F(StampaQt, OgniPaginaHaNumeroTitoloEData) {
    const auto pagine = SuPdf();
    ASSERT_EQ(pagine.size(), 3u);
    int righe = 0;
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(pagine[n].mid(0, 4), Intestazione(n + 1));
        righe += pagine[n].size() - 4;
    }
    EXPECT_EQ(righe, 120);
    EXPECT_EQ(pagine[2].last(), "08/05/2024 Prelievo rif 120 1.000 -120.000");
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

// A second run drops the rows of the first; an empty range still prints the header.
TEST_F(StampaQt, OgniStampaHaSoloLeSueRighe) {
    SuPdf();
    auto attese = Intestazione(1);
    EXPECT_EQ(SuPdf("01/01/2030", "31/12/2030"), std::vector<QStringList>{attese});
    attese << "02/01/2024 Prelievo rif 2 1.000 -2.000"
           << "03/01/2024 Prelievo rif 3 1.000 -3.000";
    EXPECT_EQ(SuPdf("02/01/2024", "03/01/2024"), std::vector<QStringList>{attese});
}

TEST_F(StampaQt, UnaStampanteGuastaMostraLErroreENonStampa) {
    int documenti = 0;
    Stampa([&documenti] {
        ++documenti;
        return printing::StampanteQt::Guasta();
    });
    EXPECT_EQ(documenti, 1);
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_EQ(dialoghi.messaggi[0].testo, "Errore della stampante");
    EXPECT_EQ(dialoghi.messaggi[0].icona, ui::Icona::Critica);
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.pdf"}).isEmpty());
}

TEST_F(StampaQt, SenzaStampanteLaStampaVaInUnPdfAccantoAlProgramma) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
    Stampa(nullptr);
    const QStringList pdf = QDir(dir.path()).entryList({"stampa-registro-*.pdf"});
    ASSERT_EQ(pdf.size(), 1);
    EXPECT_TRUE(
        QRegularExpression("^stampa-registro-\\d{8}-\\d{6}\\.pdf$").match(pdf[0]).hasMatch());
    EXPECT_EQ(dialoghi.testiMessaggi(),
              std::vector<std::string>{
                  "Nessuna stampante installata: la stampa è stata salvata nel file\n" +
                  QDir(dir.path()).filePath(pdf[0]).toStdString()});
    EXPECT_EQ(dialoghi.messaggi[0].icona, ui::Icona::Informazione);
    EXPECT_EQ(Pagine(QDir(dir.path()).filePath(pdf[0])).size(), 3u);
}

TEST_F(StampaQt, IlDialogoHaLAspettoPrevisto) {
    printing::FrmStampaQt dialogo(contesto, [] { return printing::StampanteQt::Guasta(); });
    dialogo.show();
    ui::FinestraQt f(&dialogo, "frmStampa");
    EXPECT_EQ(f.Testo("frmStampa"), "Stampa");
    EXPECT_EQ(f.Posizione("frmStampa").width, 4035);
    EXPECT_EQ(f.Posizione("frmStampa").height, 2040);
    EXPECT_EQ(f.Testo("txtAdata"), "07/03/2024");
    EXPECT_EQ(f.Testo("Label3"), "Stampa griglia");
    EXPECT_TRUE(f.Selezionato("Option1_0"));
    EXPECT_FALSE(f.Selezionato("Check1"));
    for (const char* c : {"txtDadata", "txtAdata", "Label1", "Label2"})
        EXPECT_FALSE(f.Visibile(c)) << c;
    QStringList ordine;
    for (QWidget* w = dialogo.findChild<QWidget*>("Option1_0"); ordine.size() < 4;
         w = w->nextInFocusChain())
        ordine << w->objectName();
    EXPECT_EQ(ordine, QStringList({"Option1_0", "Option1_1", "cmdOk", "cmdAnnulla"}));

    QTest::keyClick(&dialogo, Qt::Key_Escape);
    EXPECT_TRUE(dialogo.isVisible());
    QTest::mouseClick(dialogo.findChild<QPushButton*>("cmdAnnulla"), Qt::LeftButton);
    EXPECT_FALSE(dialogo.isVisible());
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

}  // namespace
