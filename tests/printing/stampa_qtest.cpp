#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "printing/coda_stampa.h"
#include "printing/frm_stampa_qt.h"
#include "printing/stampante_qt.h"
#include "support/contesto_finto.h"
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

// Print queues as a test wants them; a job is kept as the PDF bytes the queue was given.
struct CodaFinta : printing::CodaStampa {
    std::vector<std::string> stampanti;
    std::string predefinita;
    std::string rifiuto;  // the reason the queue gives, empty when it accepts
    std::vector<std::string> destinatari;
    std::vector<std::string> lavori;
    std::filesystem::path ultimoFile;

    std::vector<std::string> Stampanti() override { return stampanti; }
    std::string Predefinita() override { return predefinita; }
    std::string Invia(const std::string& stampante, const std::filesystem::path& pdf,
                      const std::string&) override {
        destinatari.push_back(stampante);
        ultimoFile = pdf;
        lavori.push_back(test::LeggiByte(pdf));
        return rifiuto;
    }
};

struct StampaQt : ::testing::Test {
    StampaQt() {
        stato.BancaAppoggio = "Banca Sella";
        stato.NumeroConto = "12345";
        // Movements day by day from 1 January 2024; the reference names the row.
        for (int i = 1; i <= 120; ++i)
            registro.AddItem({core::FormatoData({2024, (i - 1) / 28 + 1, (i - 1) % 28 + 1}),
                              "Prelievo", "rif " + std::to_string(i), "1.000",
                              "-" + std::to_string(i) + ".000"});
    }

    // Runs the dialog as the user would: the period option and its dates if given, then OK.
    void Stampa(printing::FabbricaStampante stampante, const char* da = nullptr,
                const char* a = nullptr) {
        printing::FrmStampaQt dialogo(contesto, std::move(stampante));
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

struct CasoCoda {
    const char* nome;
    std::vector<std::string> stampanti;
    std::string predefinita;
    std::string scelta;  // what the user picks when asked; "-" when they must not be asked
    std::string rifiuto;
    std::vector<std::string> destinatari;
    QString messaggio;  // a pattern; "@" stands for the program's folder
    rlim_t limite;      // the largest file that can be written, 0 for no limit
};

class StampaSuCoda : public StampaQt, public ::testing::WithParamInterface<CasoCoda> {};

// The job goes where the user expects, whole; with no printer it goes whole into a new PDF
// beside the program; a refusal or a file that cannot be written whole (a disk filling up)
// is told naming the file, never taken for a print, and leaves no file behind.
TEST_P(StampaSuCoda, VaAllaStampanteGiustaOInUnPdfInteroEUnGuastoSiVede) {
    const CasoCoda& c = GetParam();
    CodaFinta coda;
    coda.stampanti = c.stampanti;
    coda.predefinita = c.predefinita;
    coda.rifiuto = c.rifiuto;
    rlimit prima{};
    getrlimit(RLIMIT_FSIZE, &prima);
    const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite = prima;
    if (c.limite) limite.rlim_cur = c.limite;
    setrlimit(RLIMIT_FSIZE, &limite);
    Stampa(printing::StampanteDiSistema(contesto, coda, [&](const std::vector<std::string>& n) {
        EXPECT_NE(c.scelta, "-");
        EXPECT_EQ(n, c.stampanti);
        return c.scelta;
    }));
    setrlimit(RLIMIT_FSIZE, &prima);
    std::signal(SIGXFSZ, segnale);

    EXPECT_EQ(coda.destinatari, c.destinatari);
    const QStringList file = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    auto documenti = coda.lavori;
    for (const QString& f : file)
        documenti.push_back(test::LeggiByte(QDir(dir.path()).filePath(f).toStdString()));
    for (const std::string& pdf : documenti) {
        EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
        EXPECT_NE(pdf.find("%%EOF", pdf.size() - 8), std::string::npos);
    }
    QString attesa = c.messaggio;
    attesa.replace("@", QRegularExpression::escape(dir.path() + "/"));
    ASSERT_EQ(dialoghi.messaggi.size(), c.messaggio.isEmpty() ? 0u : 1u);
    if (!c.messaggio.isEmpty()) {
        const QString testo = QString::fromStdString(dialoghi.messaggi[0].testo);
        EXPECT_TRUE(QRegularExpression("^" + attesa + "$").match(testo).hasMatch())
            << testo.toStdString();
    }
    EXPECT_EQ(file.size(), c.messaggio.startsWith("Nessuna") ? 1 : 0);
    EXPECT_FALSE(!coda.ultimoFile.empty() && std::filesystem::exists(coda.ultimoFile));
}

const char* const kRifiuto = "server-error-not-accepting-jobs";
// clang-format off
INSTANTIATE_TEST_SUITE_P(Code, StampaSuCoda, ::testing::Values(
    CasoCoda{"Predefinita", {"A", "B"}, "B", "-", "", {"B"}, "", 0},
    CasoCoda{"LUnica", {"A"}, "", "-", "", {"A"}, "", 0},
    CasoCoda{"SceltaDallUtente", {"A", "B"}, "", "B", "", {"B"}, "", 0},
    CasoCoda{"NessunaScelta", {"A", "B"}, "", "", "", {}, "", 0},
    CasoCoda{"Rifiutata", {"PDF"}, "PDF", "-", kRifiuto, {"PDF"}, QString("Errore della "
             "stampante\nLa stampante \"PDF\" non ha accettato la stampa: ") + kRifiuto, 0},
    CasoCoda{"SenzaStampante", {}, "", "-", "", {}, "Nessuna stampante installata: la stampa è "
             "stata salvata nel file\n@stampa-registro-\\d{8}-\\d{6}\\.pdf", 0},
    CasoCoda{"DiscoPieno", {}, "", "-", "", {},
             "Errore della stampante\nImpossibile scrivere il file @stampa-registro-.*", 8192}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// Every movement type of both currencies prints whole; an amount wider than its column is
// squeezed, never cut; a long reference ends with a visible mark.
TEST_F(StampaQt, TipiEImportiSiLeggonoPerIntero) {
    registro.SetRows(1);
    const std::string massimo = core::FormatoLire(core::Money::FromRaw(INT64_MIN));
    std::vector<std::string> causali;
    for (const core::TipoMovimento& t : core::TipiMovimento())
        for (std::string_view c : {t.CausaleLire, t.CausaleEuro}) {
            causali.emplace_back(c);
            registro.AddItem({"01/01/2024", c, "Riferimento lunghissimo per la colonna",
                              "99.999.999.999,00", massimo});
        }
    const auto pagine = SuPdf();
    ASSERT_EQ(pagine.size(), 1u);
    ASSERT_EQ(pagine[0].size(), 4 + causali.size());
    for (std::size_t i = 0; i < causali.size(); ++i) {
        const QRegularExpression attesa(
            "^01/01/2024 " + QRegularExpression::escape(QString::fromStdString(causali[i])) +
            " Riferimento lung\\S*… 99\\.999\\.999\\.999,00 " +
            QRegularExpression::escape(QString::fromStdString(massimo)) + "$");
        EXPECT_TRUE(attesa.match(pagine[0][4 + static_cast<int>(i)]).hasMatch())
            << pagine[0][4 + static_cast<int>(i)].toStdString();
    }
}

// The dialog as designed: the range boxes hidden until the range option is chosen (with the
// arrow keys as with the mouse, the focus then in the first date), Escape ignored.
TEST_F(StampaQt, IlDialogoHaLAspettoEIComandiPrevisti) {
    printing::FrmStampaQt dialogo(contesto, [] { return nullptr; });
    dialogo.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialogo));
    ui::FinestraQt f(&dialogo, "frmStampa");
    EXPECT_EQ(f.Testo("frmStampa"), "Stampa");
    EXPECT_EQ(f.Posizione("frmStampa").width, 4035);
    EXPECT_EQ(f.Posizione("frmStampa").height, 2040);
    EXPECT_EQ(f.Testo("txtAdata"), "07/03/2024");
    EXPECT_EQ(f.Testo("Label3"), "Stampa griglia");
    EXPECT_FALSE(f.Selezionato("Check1"));
    for (const char* c : {"txtDadata", "txtAdata", "Label1", "Label2"})
        EXPECT_FALSE(f.Visibile(c)) << c;
    QStringList ordine;
    for (QWidget* w = dialogo.findChild<QWidget*>("Option1_0"); ordine.size() < 4;
         w = w->nextInFocusChain())
        ordine << w->objectName();
    EXPECT_EQ(ordine, QStringList({"Option1_0", "Option1_1", "cmdOk", "cmdAnnulla"}));

    auto* tutto = dialogo.findChild<QRadioButton*>("Option1_0");
    ASSERT_TRUE(tutto->isChecked());
    tutto->setFocus();
    QTest::keyClick(tutto, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_TRUE(dialogo.findChild<QRadioButton*>("Option1_1")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), dialogo.findChild<QLineEdit*>("txtDadata"));
    QTest::keyClick(&dialogo, Qt::Key_Escape);
    EXPECT_TRUE(dialogo.isVisible());
    QTest::mouseClick(dialogo.findChild<QPushButton*>("cmdAnnulla"), Qt::LeftButton);
    EXPECT_FALSE(dialogo.isVisible());
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

}  // namespace
