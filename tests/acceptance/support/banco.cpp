#include "acceptance/support/banco.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <stdexcept>

#include "acceptance/support/modale.h"
#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"
#include "printing/frm_stampa_qt.h"
#include "printing/stampante_qt.h"
#include "setup/form17_qt.h"

namespace accettazione {

namespace {

namespace fs = std::filesystem;

template <typename W>
W* Figlio(QWidget& finestra, const char* nome) {
    auto* w = finestra.findChild<W*>(QString::fromLatin1(nome));
    if (!w) throw std::logic_error(std::string("manca il controllo ") + nome);
    return w;
}

void SelezionaEScrivi(QLineEdit* casella, const QString& testo) {
    QTest::keyClick(casella, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(casella, testo);
}

// A window whose OK should have closed it and did not: say what it showed, then close it.
void DeveEssereChiusa(QWidget& finestra, const test::DialoghiFinti& dialoghi) {
    if (!finestra.isVisible()) return;
    ADD_FAILURE() << finestra.windowTitle().toStdString() << " still open; last message: "
                  << (dialoghi.messaggi.empty() ? "" : dialoghi.messaggi.back().testo);
    finestra.close();
}

QString TestoPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(20000)) << "pdftotext";
    return QString::fromUtf8(p.readAllStandardOutput());
}

// "dd/mm/yyyy", written here rather than by the program.
QString DataTesto(const core::Data& d) {
    return QString::asprintf("%02d/%02d/%04d", d.giorno, d.mese, d.anno);
}

}  // namespace

Banco::Banco() {
    fs::create_directories(radice_ / "programma");
    fs::create_directories(radice_ / "configurazione");
}

Banco::~Banco() = default;

bool Banco::Avvia() {
    programma_.reset();
    dialoghi.terminato = false;
    programma_ = std::make_unique<avvio::ProgrammaQt>(
        radice_ / "programma", radice_ / "configurazione", dialoghi, [this] { return oggi; },
        solaLettura ? static_cast<core::FileSystem&>(soloLettura_) : guasti);
    const int avvio = ++avvii_;
    if (!solaLettura)
        programma_->file().AttivaCopie([this, avvio] {
            return QString::asprintf("%04d%02d%02d-1200%02d", oggi.anno, oggi.mese, oggi.giorno,
                                     avvio)
                .toStdString();
        });
    return programma_->Avvia();
}

main_window::Form1Qt& Banco::principale() {
    if (!programma_ || !programma_->principale())
        throw std::logic_error("la finestra principale non esiste");
    return *programma_->principale();
}

QWidget* Banco::cerca(const char* nome) {
    auto* w = principale().findChild<QWidget*>(QString::fromLatin1(nome));
    if (!w) throw std::logic_error(std::string("manca il controllo ") + nome);
    return w;
}

void Banco::PrimoUso(const QString& conto, const QString& banca, std::optional<QString> password) {
    QWidget* finestra = programma_ ? programma_->impostazione() : nullptr;
    ASSERT_NE(finestra, nullptr) << "no account setup window";
    ASSERT_TRUE(finestra->isVisible());
    EXPECT_EQ(finestra->windowTitle(), QStringLiteral("Imposta N° c.c.  e  Banca d'appoggio"));
    auto* txtConto = Figlio<QLineEdit>(*finestra, "TxtConto");
    EXPECT_EQ(finestra->focusWidget(), txtConto);
    QTest::keyClicks(txtConto, conto);
    QTest::keyClick(txtConto, Qt::Key_Return);
    auto* txtBanca = Figlio<QLineEdit>(*finestra, "TxtBanca");
    EXPECT_EQ(finestra->focusWidget(), txtBanca);
    QTest::keyClicks(txtBanca, banca);
    auto* txtPass = Figlio<QLineEdit>(*finestra, "txtPass");
    if (password) {
        QTest::keyClicks(txtPass, *password);
    } else {
        QTest::mouseClick(Figlio<QCheckBox>(*finestra, "ChPass"), Qt::LeftButton);
        EXPECT_FALSE(txtPass->isVisible());
    }
    QTest::mouseClick(Figlio<QPushButton>(*finestra, "CmdOk"), Qt::LeftButton);
    DeveEssereChiusa(*finestra, dialoghi);
}

void Banco::Inserisci(const Movimento& m) {
    QListWidget* lista = principale().lista();
    const auto voci = lista->findItems(QString::fromUtf8(m.tipo), Qt::MatchExactly);
    ASSERT_EQ(voci.size(), 1) << m.tipo;
    lista->scrollToItem(voci[0]);
    const QPoint punto = lista->visualItemRect(voci[0]).center();
    const QString dataDiOggi = DataTesto(oggi);

    RispostaModale risposta({}, [&](QWidget& finestra) {
        EXPECT_EQ(finestra.windowTitle(), QString::fromUtf8(m.tipo));
        EXPECT_EQ(Figlio<QLabel>(finestra, "Label4")->text(), QString::fromUtf8(m.simbolo));
        auto* txtData = Figlio<QLineEdit>(finestra, "txtData");
        auto* txtImporto = Figlio<QLineEdit>(finestra, "txtImporto");
        auto* txtRif = Figlio<QLineEdit>(finestra, "Txtrif");
        EXPECT_EQ(txtData->text(), dataDiOggi);
        EXPECT_EQ(finestra.focusWidget(), txtImporto) << "the window opens in the amount box";
        if (!m.data.isEmpty()) {
            SelezionaEScrivi(txtData, m.data);
            QTest::keyClick(txtData, Qt::Key_Return);
            EXPECT_EQ(finestra.focusWidget(), txtImporto);
        }
        QTest::keyClicks(txtImporto, m.importo);
        QTest::keyClick(txtImporto, Qt::Key_Return);
        EXPECT_EQ(finestra.focusWidget(), txtRif);
        QTest::keyClicks(txtRif, m.riferimento);
        QTest::mouseClick(Figlio<QPushButton>(finestra, "cmdOk"), Qt::LeftButton);
        DeveEssereChiusa(finestra, dialoghi);
    });
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, punto);
    EXPECT_TRUE(risposta.risposta()) << m.tipo;
}

void Banco::Clicca(const char* pulsante) {
    auto* b = controllo<QPushButton>(pulsante);
    if (!b) throw std::logic_error(std::string("non è un pulsante: ") + pulsante);
    EXPECT_TRUE(b->isEnabled()) << pulsante;
    QTest::mouseClick(b, Qt::LeftButton);
}

QString Banco::StampaPeriodo(const QString& da, const QString& a) {
    const QString dataDiOggi = DataTesto(oggi);
    auto azione = [&](QWidget& finestra) {
        EXPECT_EQ(finestra.windowTitle(), QStringLiteral("Stampa"));
        auto* txtDadata = Figlio<QLineEdit>(finestra, "txtDadata");
        auto* txtAdata = Figlio<QLineEdit>(finestra, "txtAdata");
        EXPECT_TRUE(Figlio<QRadioButton>(finestra, "Option1_0")->isChecked());
        EXPECT_FALSE(txtAdata->isVisible());
        EXPECT_EQ(txtAdata->text(), dataDiOggi);
        QTest::mouseClick(Figlio<QRadioButton>(finestra, "Option1_1"), Qt::LeftButton);
        EXPECT_TRUE(txtDadata->isVisible());
        EXPECT_TRUE(txtAdata->isVisible());
        EXPECT_EQ(finestra.focusWidget(), txtDadata);
        QTest::keyClicks(txtDadata, da);
        SelezionaEScrivi(txtAdata, a);
        QTest::mouseClick(Figlio<QPushButton>(finestra, "cmdOk"), Qt::LeftButton);
        DeveEssereChiusa(finestra, dialoghi);
    };

    QString pdf;
    if (QPrinterInfo::defaultPrinter().isNull()) {
        // No printer here, as on the build machines: the program prints to a PDF beside
        // itself and says where.
        {
            RispostaModale risposta(QStringLiteral("frmStampa"), azione);
            Clicca("CmdStampa");
        }
        const auto messaggi = NuoviMessaggi();
        const std::string inizio =
            "Nessuna stampante installata: la stampa è stata salvata nel file\n";
        if (messaggi.size() != 1 || messaggi[0].rfind(inizio, 0) != 0) {
            ADD_FAILURE() << "no message with the PDF's path";
            return {};
        }
        pdf = QString::fromStdString(messaggi[0].substr(inizio.size()));
        EXPECT_EQ(fs::path(pdf.toStdString()).parent_path(), radice_.path() / "programma");
    } else {
        // A machine with a printer: the same dialog over the same register, printing to a
        // file instead of paper.
        pdf = QString::fromStdString((radice_ / "stampa.pdf").string());
        printing::FrmStampaQt dialogo(
            principale().contesto(), [pdf] { return printing::StampanteQt::Pdf(pdf); },
            &principale());
        RispostaModale risposta(QStringLiteral("frmStampa"), azione);
        dialogo.exec();
    }
    const QString testo = TestoPdf(pdf);
    fs::remove(pdf.toStdString());
    return testo;
}

std::vector<Riga> Banco::RigheMostrate() const {
    const QAbstractItemModel* modello = programma_->principale()->vistaGriglia()->model();
    std::vector<Riga> righe(static_cast<std::size_t>(modello->rowCount()));
    for (int r = 0; r < modello->rowCount(); ++r)
        for (int c = 0; c < 5; ++c)
            righe[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                modello->index(r, c).data(Qt::DisplayRole).toString().toStdString();
    return righe;
}

std::string Banco::Testo(const char* nome) {
    QWidget* w = cerca(nome);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text().toStdString();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
    throw std::logic_error(std::string("controllo senza testo: ") + nome);
}

QColor Banco::ColoreSaldo() {
    return controllo<QLineEdit>("txtSaldo")->palette().color(QPalette::Text);
}

std::vector<std::string> Banco::NuoviMessaggi() {
    std::vector<std::string> nuovi;
    for (; messaggiVisti_ < dialoghi.messaggi.size(); ++messaggiVisti_)
        nuovi.push_back(dialoghi.messaggi[messaggiVisti_].testo);
    return nuovi;
}

}  // namespace accettazione
