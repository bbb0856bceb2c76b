#include <gtest/gtest.h>

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

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
            registro.AddItem({core::FormatoData({2024, (i - 1) / 28 + 1, (i - 1) % 28 + 1}),
                              "Prelievo", "rif " + std::to_string(i), "1.000",
                              std::to_string(-i) + ".000"});
    }

    // Prints through the dialog as the user would (the range option and its dates if given,
    // then OK) into a new PDF, and returns its pages.
    std::vector<QStringList> SuPdf(const char* da = nullptr, const char* a = nullptr) {
        const QString pdf = dir.filePath(QString::number(++stampe) + ".pdf");
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
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

}  // namespace
