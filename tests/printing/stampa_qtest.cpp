#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/data_files.h"
#include "core/file_system.h"
#include "printing/frm_stampa_qt.h"
#include "printing/stampante_qt.h"
#include "support/finti.h"
#include "ui/finestra_qt.h"

namespace {

constexpr core::Data kOggi{2024, 3, 7};

// The pages of a PDF as pdftotext lays them out.
std::vector<QString> Pagine(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000));
    QStringList pagine = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pagine.isEmpty() && pagine.last().trimmed().isEmpty()) pagine.removeLast();
    return {pagine.begin(), pagine.end()};
}

struct StampaQt : ::testing::Test {
    StampaQt() {
        stato.BancaAppoggio = "Banca Sella";
        stato.NumeroConto = "12345";
        // Movements day by day from 1 January 2024; the reference names the row.
        for (int i = 1; i <= 120; ++i) {
            const core::Data d{2024, (i - 1) / 28 + 1, (i - 1) % 28 + 1};
            registro.AddItem(core::FormatoData(d) + "\tPrelievo\trif " + std::to_string(i) +
                             "\t1.000\t-" + std::to_string(i) + ".000");
        }
    }

    // Runs the dialog as the user would: option, dates, grid box, OK.
    void Stampa(std::function<std::unique_ptr<printing::Stampante>()> stampante,
                const char* da = nullptr, const char* a = nullptr) {
        printing::FrmStampaQt dialogo(contesto, std::move(stampante));
        dialogo.show();
        if (da) {
            QTest::mouseClick(dialogo.findChild<QRadioButton*>(QStringLiteral("Option1_1")),
                              Qt::LeftButton);
            dialogo.findChild<QLineEdit*>(QStringLiteral("txtDadata"))->setText(da);
            dialogo.findChild<QLineEdit*>(QStringLiteral("txtAdata"))->setText(a);
        }
        QTest::mouseClick(dialogo.findChild<QPushButton*>(QStringLiteral("cmdOk")), Qt::LeftButton);
        EXPECT_FALSE(dialogo.isVisible());
    }

    QString Pdf(const char* nome) { return dir.filePath(QString::fromLatin1(nome)); }
    printing::FabbricaStampante SuPdf(const QString& percorso) {
        return [percorso] { return printing::StampanteQt::Pdf(percorso); };
    }

    QTemporaryDir dir;
    core::StatoConto stato;
    grid::Griglia registro;
    core::FileDati file{core::FileSystemReale(), dir.path().toStdString(),
                        dir.path().toStdString()};
    test::DialoghiFinti dialoghi;
    test::FinestraFinta form1;
    ui::Contesto contesto{stato, registro, file, dialoghi, form1, [] { return kOggi; }};
};

TEST_F(StampaQt, EveryPageCarriesItsNumberTitleAndDate) {
    Stampa(SuPdf(Pdf("tutto.pdf")));
    const auto pagine = Pagine(Pdf("tutto.pdf"));
    ASSERT_GE(pagine.size(), 2u);
    int righe = 0;
    for (std::size_t n = 0; n < pagine.size(); ++n) {
        const QStringList linee = pagine[n].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_GE(linee.size(), 4);
        EXPECT_EQ(QStringLiteral("Pagina N° %1").arg(n + 1), linee[0].trimmed());
        EXPECT_EQ(QStringLiteral("Banca Sella conto n° 12345 - elenco movimenti al :"),
                  linee[1].simplified());
        EXPECT_EQ(QStringLiteral("07/03/2024"), linee[2].trimmed());
        EXPECT_EQ(QStringLiteral("Data Causale Riferimento Importo Saldo"), linee[3].simplified());
        righe += static_cast<int>(linee.size()) - 4;
    }
    EXPECT_EQ(120, righe);
    EXPECT_TRUE(pagine.back().contains(QStringLiteral("rif 120 ")));
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

TEST_F(StampaQt, AnEmptyRangePrintsOnePageWithTheHeaderRow) {
    Stampa(SuPdf(Pdf("vuoto.pdf")), "01/01/2030", "31/12/2030");
    const auto pagine = Pagine(Pdf("vuoto.pdf"));
    ASSERT_EQ(1u, pagine.size());
    const QStringList linee = pagine[0].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(4, linee.size());
    EXPECT_EQ(QStringLiteral("Data Causale Riferimento Importo Saldo"), linee[3].simplified());
}

TEST_F(StampaQt, ASecondRunPrintsOnlyItsOwnRows) {
    Stampa(SuPdf(Pdf("primo.pdf")));
    Stampa(SuPdf(Pdf("secondo.pdf")), "02/01/2024", "03/01/2024");
    const auto pagine = Pagine(Pdf("secondo.pdf"));
    ASSERT_EQ(1u, pagine.size());
    const QStringList linee = pagine[0].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(6, linee.size());
    EXPECT_EQ(QStringLiteral("02/01/2024 Prelievo rif 2 1.000 -2.000"), linee[4].simplified());
    EXPECT_EQ(QStringLiteral("03/01/2024 Prelievo rif 3 1.000 -3.000"), linee[5].simplified());
}

TEST_F(StampaQt, AFailingPrinterShowsTheErrorAndPrintsNothing) {
    int documenti = 0;
    Stampa([&documenti] {
        ++documenti;
        return printing::StampanteQt::Guasta();
    });
    EXPECT_EQ(1, documenti);
    ASSERT_EQ(1u, dialoghi.messaggi.size());
    EXPECT_EQ("Errore della stampante", dialoghi.messaggi[0].testo);
    EXPECT_EQ(ui::Icona::Critica, dialoghi.messaggi[0].icona);
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}).isEmpty());
}

TEST_F(StampaQt, WithNoPrinterInstalledThePrintoutGoesToAPdfBesideTheProgram) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
    printing::FrmStampaQt dialogo(contesto);
    dialogo.show();
    QTest::mouseClick(dialogo.findChild<QPushButton*>(QStringLiteral("cmdOk")), Qt::LeftButton);

    const QStringList pdf = QDir(dir.path()).entryList({QStringLiteral("stampa-registro-*.pdf")});
    ASSERT_EQ(1, pdf.size());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^stampa-registro-\\d{8}-\\d{6}\\.pdf$"))
                    .match(pdf[0])
                    .hasMatch());
    ASSERT_EQ(1u, dialoghi.messaggi.size());
    EXPECT_EQ("Nessuna stampante installata: la stampa è stata salvata nel file\n" +
                  QDir(dir.path()).filePath(pdf[0]).toStdString(),
              dialoghi.messaggi[0].testo);
    EXPECT_EQ(ui::Icona::Informazione, dialoghi.messaggi[0].icona);
    EXPECT_EQ(3u, Pagine(QDir(dir.path()).filePath(pdf[0])).size());
}

TEST_F(StampaQt, TheDialogKeepsItsDesignedLayout) {
    printing::FrmStampaQt dialogo(contesto, SuPdf(Pdf("mai.pdf")));
    dialogo.show();
    ui::FinestraQt f(&dialogo, "frmStampa");
    EXPECT_EQ("Stampa", f.Testo("frmStampa"));
    EXPECT_EQ(
        (ui::Rettangolo{0, 0, 4035, 2040}),
        (ui::Rettangolo{0, 0, f.Posizione("frmStampa").width, f.Posizione("frmStampa").height}));
    EXPECT_EQ("07/03/2024", f.Testo("txtAdata"));
    EXPECT_EQ("Stampa griglia", f.Testo("Label3"));
    EXPECT_TRUE(f.Selezionato("Option1_0"));
    EXPECT_FALSE(f.Selezionato("Check1"));
    for (const char* c : {"txtDadata", "txtAdata", "Label1", "Label2"})
        EXPECT_FALSE(f.Visibile(c)) << c;

    // Tab order of the focusable controls.
    std::vector<QString> ordine;
    QWidget* w = dialogo.findChild<QWidget*>(QStringLiteral("Option1_0"));
    for (int i = 0; i < 4; ++i, w = w->nextInFocusChain()) ordine.push_back(w->objectName());
    EXPECT_EQ((std::vector<QString>{"Option1_0", "Option1_1", "cmdOk", "cmdAnnulla"}), ordine);

    QTest::keyClick(&dialogo, Qt::Key_Escape);
    EXPECT_TRUE(dialogo.isVisible());
    QTest::mouseClick(dialogo.findChild<QPushButton*>(QStringLiteral("cmdAnnulla")),
                      Qt::LeftButton);
    EXPECT_FALSE(dialogo.isVisible());
    EXPECT_EQ(QDialog::Accepted, dialogo.result());
    EXPECT_FALSE(QFileInfo::exists(Pdf("mai.pdf")));
}

}  // namespace
