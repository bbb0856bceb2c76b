#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTranslator>
#include <functional>
#include <string>

#include "entry/form_inserimento_qt.h"
#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"
#include "main_window/frm_pass_qt.h"
#include "printing/frm_stampa_qt.h"
#include "printing/stampante_qt.h"
#include "setup/form17_qt.h"
#include "support/accessibilita.h"
#include "support/contesto_finto.h"
#include "ui/dialoghi_qt.h"
#include "ui/finestra_qt.h"
#include "ui/lingua_qt.h"

namespace {

using core::Money;

const core::TipoMovimento& Tipo(std::string_view caption) {
    for (const auto& t : core::TipiMovimento())
        if (t.caption == caption) return t;
    throw std::logic_error("tipo inesistente");
}

// A main window over the scratch files, with a balance and a credit line.
struct Principale : test::ContestoFinto {
    Principale(const char* valuta, std::int64_t saldo, std::int64_t fido) {
        stato.ModoValuta = valuta;
        stato.SaldoConto = Money::FromUnits(saldo);
        stato.FidoConto = Money::FromUnits(fido);
        (void)file.SalvaParametri({stato.ModoValuta, stato.SaldoConto, stato.FidoConto});
        (void)finestra.Carica();
    }
    main_window::Form1Qt finestra{stato, file, dialoghi, [] { return core::Data{2003, 3, 5}; }};
};

struct Caso {
    const char* nome;
    std::function<std::string(test::ContestoFinto&)> nomiParlati;
    const char* atteso;
};

void PrintTo(const Caso& caso, std::ostream* os) {
    *os << caso.nome;
}

class NomiParlati : public testing::TestWithParam<Caso> {};

// Every control the keyboard reaches has a name, the one its caption gives it; the balance
// also says what its colour shows.
TEST_P(NomiParlati, OgniControlloHaIlSuoNome) {
    test::ContestoFinto ambiente;
    const std::string nomi = GetParam().nomiParlati(ambiente);
    EXPECT_EQ(nomi, GetParam().atteso);
}

std::string NomiPrincipale(const char* valuta, std::int64_t saldo, std::int64_t fido) {
    Principale p(valuta, saldo, fido);
    return test::NomiParlati(&p.finestra);
}

// The print dialog, its date boxes shown when `periodo`.
std::string NomiStampa(test::ContestoFinto& a, bool periodo) {
    printing::FrmStampaQt f(a.contesto, [] { return printing::StampanteQt::Guasta(); });
    if (periodo) f.findChild<QRadioButton*>("Option1_1")->click();
    return test::NomiParlati(&f);
}

std::string SaldoParlato(const char* valuta, std::int64_t saldo, std::int64_t fido) {
    Principale p(valuta, saldo, fido);
    return p.finestra.findChild<QLineEdit*>("txtSaldo")->accessibleName().toStdString();
}

const Caso kCasi[] = {
    {"PrincipaleOltreIlFido",
     [](test::ContestoFinto&) { return NomiPrincipale("Lire", -150000, -100000); },
     "Grid=Movimenti\nList1=Causale\nRimuovi=Rim.1° Movim.\nCmdStampa=Stampa\n"
     "CmdEuro=Gestisci in €uro\nCmdSaldo=Modifica saldo\nCmdEsci=Esci\n"
     "txtSaldo=Saldo in lire, negativo, oltre il fido accordato\nRimuoviu=Rim.Ult.Movim.\n"
     "Cmdfido=Imposta fido\ntxtDitta=Informazioni sul prodotto\ncmdPass=Inserisci Password"},
    {"PrincipaleNegativoNelFido",
     [](test::ContestoFinto&) { return SaldoParlato("Euro", -50, -100); },
     "Saldo in euro, negativo"},
    {"PrincipalePositivo", [](test::ContestoFinto&) { return SaldoParlato("Euro", 10, 0); },
     "Saldo in euro"},
    {"ImpostazioneConto",
     [](test::ContestoFinto& a) {
         setup::Form17Qt f(a.stato, a.file, a.dialoghi, [] {});
         return test::NomiParlati(&f);
     },
     "TxtConto=N° conto:\nTxtBanca=Banca:\ntxtPass=Password\nChPass=Utilizza Password\n"
     "CmdOk=Ok\nCmdAnnulla=Annulla"},
    {"Password",
     [](test::ContestoFinto& a) {
         main_window::FrmPassQt f(a.contesto);
         return test::NomiParlati(&f);
     },
     "txtPass1=Password\ncmdOk=Ok\ncmdAnnulla=Annulla"},
    {"Inserimento",
     [](test::ContestoFinto& a) {
         entry::FormInserimentoQt f(Tipo("Prelievo"), a.contesto);
         return test::NomiParlati(&f);
     },
     "txtData=Data:\ntxtImporto=Importo:\nTxtrif=Riferimenti:\ncmdOk=Ok\ncmdAnnulla=Annulla"},
    {"StampaTutto", [](test::ContestoFinto& a) { return NomiStampa(a, false); },
     "Option1_0=Stampa tutto\nOption1_1=Stampa da data a data\ncmdOk=Ok\ncmdAnnulla=Annulla\n"
     "Check1=Stampa griglia"},
    {"StampaDaDataAData", [](test::ContestoFinto& a) { return NomiStampa(a, true); },
     "Option1_0=Stampa tutto\nOption1_1=Stampa da data a data\ncmdOk=Ok\ncmdAnnulla=Annulla\n"
     "txtDadata=da data\ntxtAdata=a data\nCheck1=Stampa griglia"},
    {"SceltaStampante",
     [](test::ContestoFinto&) {
         QInputDialog f;
         printing::PreparaSceltaStampante(f, {"Ufficio", "PDF"});
         return test::ControlliSenzaNome(&f);
     },
     ""},
    {"InputBox",
     [](test::ContestoFinto&) {
         ui::DialoghiQt dialoghi;
         return test::NomiParlatiInModale(
             [&] { (void)dialoghi.InputBox("Modifica/imposta nuovo saldo.", "Quibora", "1"); });
     },
     "testo=Modifica/imposta nuovo saldo.\nQPushButton=OK\nQPushButton=Annulla"},
};

INSTANTIATE_TEST_SUITE_P(Finestre, NomiParlati, testing::ValuesIn(kCasi),
                         [](const auto& info) { return std::string(info.param.nome); });

// The grid speaks each cell with its column, through the interface a screen reader reads.
TEST(GrigliaParlata, OgniCellaDiceLaSuaColonna) {
    Principale p("Euro", 0, 0);
    p.finestra.griglia().AddItem({"05/03/2003", "Versamento", "", "1.250,00", "1.250,00"});
    QAccessibleInterface* tabella =
        QAccessible::queryAccessibleInterface(p.finestra.vistaGriglia());
    ASSERT_NE(tabella, nullptr);
    ASSERT_NE(tabella->tableInterface(), nullptr);
    QStringList celle;
    for (int c = 0; c < 5; ++c)
        celle << tabella->tableInterface()->cellAt(0, c)->text(QAccessible::Name);
    EXPECT_EQ(celle.join(u'|').toStdString(),
              "Data 05/03/2003|Causale Versamento|Riferimento|Importo 1.250,00|Saldo 1.250,00");
}

// Contrast: each coloured text against the background it is actually painted on.

QPalette Scura() {
    QPalette p;
    const QColor fondo(53, 53, 53), base(35, 35, 35), testo(230, 230, 230);
    p.setColor(QPalette::Window, fondo);
    p.setColor(QPalette::WindowText, testo);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, fondo);
    p.setColor(QPalette::Text, testo);
    p.setColor(QPalette::Button, fondo);
    p.setColor(QPalette::ButtonText, testo);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, testo);
    p.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
    return p;
}

QPalette AltoContrasto() {
    QPalette p(Qt::white, Qt::black);
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Highlight, QColor(26, 235, 255));
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}

// The colour most of a rectangle of the picture is painted in: the background.
QColor Sfondo(const QImage& immagine, const QRect& r) {
    QMap<QRgb, int> conta;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) ++conta[immagine.pixel(x, y)];
    QRgb prevalente = 0;
    int massimo = -1;
    for (auto it = conta.cbegin(); it != conta.cend(); ++it)
        if (it.value() > massimo) {
            massimo = it.value();
            prevalente = it.key();
        }
    return QColor(prevalente);
}

// "name ratio" for every coloured text of the window below the minimum.
std::string Illeggibili(QWidget* finestra, const QStringList& nomi) {
    finestra->show();
    const QImage immagine = finestra->grab().toImage();
    const qreal scala = immagine.devicePixelRatio();
    std::string illeggibili;
    for (const QString& nome : nomi) {
        auto* w = finestra->findChild<QWidget*>(nome);
        const bool casella = qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w);
        const QColor testo = w->palette().color(casella ? QPalette::Text : QPalette::WindowText);
        const QRect r(w->mapTo(finestra, QPoint(0, 0)) * scala, w->size() * scala);
        const double contrasto = ui::Contrasto(testo, Sfondo(immagine, r));
        if (contrasto < ui::kContrastoMinimo)
            illeggibili += nome.toStdString() + " " + std::to_string(contrasto) + "; ";
    }
    return illeggibili;
}

struct Tema {
    const char* nome;
    std::function<QPalette()> tavolozza;
};

void PrintTo(const Tema& tema, std::ostream* os) {
    *os << tema.nome;
}

class Contrasto : public testing::TestWithParam<Tema> {
  protected:
    void SetUp() override {
        precedente_ = QApplication::palette();
        QApplication::setPalette(GetParam().tavolozza());
    }
    void TearDown() override { QApplication::setPalette(precedente_); }

  private:
    QPalette precedente_;
};

// The coloured texts of the main window, the grid's header among them, that do not read.
std::string IlleggibiliPrincipale(main_window::Form1Qt& finestra) {
    std::string illeggibili =
        Illeggibili(&finestra, {"Label1", "Label4", "Label3", "Label2", "Label5", "Label6",
                                "Label7", "txtDitta", "txtSaldo"});
    // The grid's header, dark red by design, on the header band.
    QHeaderView* intestazione = finestra.vistaGriglia()->horizontalHeader();
    const QImage fascia = intestazione->grab().toImage();
    const QColor testo = intestazione->model()
                             ->headerData(3, Qt::Horizontal, Qt::ForegroundRole)
                             .value<QBrush>()
                             .color();
    const qreal scala = fascia.devicePixelRatio();
    const QRect sezione(QPoint(intestazione->sectionViewportPosition(3), 0) * scala,
                        QSize(intestazione->sectionSize(3), intestazione->height()) * scala);
    const double contrasto = ui::Contrasto(testo, Sfondo(fascia, sezione));
    if (contrasto < ui::kContrastoMinimo)
        illeggibili += "intestazione " + std::to_string(contrasto) + "; ";
    return illeggibili;
}

TEST_P(Contrasto, OgniTestoColoratoSiLegge) {
    // Negative and beyond the credit line: the balance shows its warning colour.
    Principale p("Lire", -150000, -100000);
    p.finestra.griglia().AddItem({"05/03/2003", "Prelievo", "", "150.000", "-150.000"});
    EXPECT_EQ(IlleggibiliPrincipale(p.finestra), "");
    entry::FormInserimentoQt inserimento(Tipo("Prelievo"), p.contesto);
    EXPECT_EQ(Illeggibili(&inserimento, {"Label1", "Label2", "Label4", "Label3"}), "");
}

// The desktop turns dark while the program runs.
TEST(CambioDiTema, ITestiColoratiSiAdattano) {
    const QPalette precedente = QApplication::palette();
    Principale p("Lire", -150000, -100000);
    QApplication::setPalette(Scura());
    // The theme's change reaches the windows through the event loop.
    QTest::qWait(50);
    const std::string illeggibili = IlleggibiliPrincipale(p.finestra);
    QApplication::setPalette(precedente);
    EXPECT_EQ(illeggibili, "");
}

INSTANTIATE_TEST_SUITE_P(
    Temi, Contrasto,
    testing::Values(Tema{"Chiaro", [] { return QApplication::style()->standardPalette(); }},
                    Tema{"Scuro", Scura}, Tema{"AltoContrasto", AltoContrasto}),
    [](const auto& info) { return std::string(info.param.nome); });

// The logic reads back the colour it asked for, whatever the screen shows under the theme.
TEST(ColoreTesto, LaLogicaRileggeIlColoreChiesto) {
    const QPalette precedente = QApplication::palette();
    QApplication::setPalette(Scura());
    QWidget radice;
    (new QLineEdit(&radice))->setObjectName("txtSaldo");
    ui::FinestraQt finestra(&radice, "Form1");
    finestra.ImpostaColoreTesto("txtSaldo", ui::kNero);
    EXPECT_EQ(finestra.ColoreTesto("txtSaldo"), ui::kNero);
    EXPECT_EQ(radice.findChild<QLineEdit*>()->palette().color(QPalette::Text),
              QColor(230, 230, 230));
    QApplication::setPalette(precedente);
}

// Qt's own buttons and dialogs speak Italian once its translations are loaded.
TEST(TraduzioniQt, IPulsantiStandardParlanoItaliano) {
    QTranslator* traduzioni = ui::CaricaTraduzioniQt(*qApp);
    ASSERT_NE(traduzioni, nullptr);
    QDialogButtonBox pulsanti(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QString testi = pulsanti.button(QDialogButtonBox::Cancel)->text() + u'|' +
                    pulsanti.button(QDialogButtonBox::Save)->text();
    QCoreApplication::removeTranslator(traduzioni);
    delete traduzioni;
    EXPECT_EQ(testi.remove(u'&').toStdString(), "Annulla|Salva");
}

}  // namespace
