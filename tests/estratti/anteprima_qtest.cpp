// The import preview window offscreen: the type editor, the ticks, the missing columns,
// the names a screen reader speaks, the colours under two palettes, and the slow job's wait.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "estratti/anteprima_qt.h"
#include "estratti/modello_anteprima_qt.h"
#include "support/contesto_finto.h"
#include "ui/finestra_qt.h"

namespace {

using namespace estratti;

// Three movements: a withdrawal, a salary, a second withdrawal.
constexpr std::string_view kCsv =
    "Data;Descrizione;Importo\n"
    "02/07/2003;Prelievo bancomat via Roma;-150,00\n"
    "05/07/2003;Stipendio luglio;1650,00\n"
    "09/07/2003;Pagamento carta;-20,00\n";

FileEstratto Csv(std::string_view testo = kCsv) {
    FileEstratto f;
    f.nome = "luglio.csv";
    f.testo = std::string(testo);
    f.mappatura = RilevaMappatura(f.testo);
    return f;
}

QString Cella(const AnteprimaQt& a, int riga, int colonna) {
    return a.modello()->index(riga, colonna).data().toString();
}

struct AnteprimaTest : testing::Test {
    AnteprimaTest() {
        c.stato.ModoValuta = "Euro";
        c.stato.SaldoConto = core::Money::FromUnits(100);
    }
    test::ContestoFinto c;
};

// The type's editor exists only while its cell is edited, offers the row's direction
// alone, and the choice reaches the preview.
TEST_F(AnteprimaTest, LEditorDelTipoOffreSoloLaDirezioneDellaRiga) {
    AnteprimaQt a(c.contesto, Csv(), nullptr);
    a.show();
    QTableView* t = a.tabella();
    EXPECT_EQ(t->findChildren<QComboBox*>().size(), 0u) << "no editor before editing";
    for (const int riga : {0, 1}) {
        const QModelIndex i = a.modello()->index(riga, kColTipo);
        t->setCurrentIndex(i);
        t->edit(i);
        auto* box = qobject_cast<QComboBox*>(t->indexWidget(i));
        ASSERT_NE(box, nullptr);
        const auto attesi = TipiPerRiga(a.anteprima().righe[riga]);
        ASSERT_EQ(box->count(), static_cast<int>(attesi.size()));
        for (int k = 0; k < box->count(); ++k)
            EXPECT_EQ(box->itemText(k).toStdString(), attesi[k]->caption);
        EXPECT_EQ(box->currentText(), Cella(a, riga, kColTipo));
        const int scelta = box->count() - 1;
        box->setCurrentIndex(scelta);
        emit box->activated(scelta);
        QApplication::processEvents();
        EXPECT_EQ(a.anteprima().righe[riga].tipo, attesi[scelta]);
        EXPECT_EQ(Cella(a, riga, kColTipo).toStdString(), attesi[scelta]->caption);
    }
    // A type of the other direction set from anywhere is refused.
    const auto* credito = TipiPerRiga(a.anteprima().righe[1]).front();
    EXPECT_FALSE(
        a.modello()->setData(a.modello()->index(0, kColTipo), credito->posizione, Qt::EditRole));
    EXPECT_NE(a.anteprima().righe[0].tipo, credito);
}

// Taking a tick off moves the later balances, the counts and what "Importa" books: the
// window shows what is saved.
TEST_F(AnteprimaTest, LaSpuntaToltaCambiaSaldiConteggioERegistro) {
    AnteprimaQt a(c.contesto, Csv(), nullptr);
    QAbstractItemModelTester tester(a.modello());
    EXPECT_EQ(Cella(a, 2, kColSaldo), QStringLiteral("1.580,00"));
    // The amount shows the bank's sign: a debit with its minus, a credit without.
    EXPECT_EQ(Cella(a, 0, kColImporto) + " " + Cella(a, 1, kColImporto),
              QStringLiteral("-150,00 1.650,00"));
    a.show();
    // From the keyboard, as a user without a mouse does.
    a.tabella()->setCurrentIndex(a.modello()->index(1, kColTick));
    QTest::keyClick(a.tabella(), Qt::Key_Space);
    EXPECT_EQ(Cella(a, 1, kColSaldo), QString()) << "an excluded row has no balance";
    EXPECT_EQ(Cella(a, 1, kColNote), QStringLiteral("Escluso dall'utente"));
    EXPECT_EQ(Cella(a, 2, kColSaldo), QStringLiteral("-70,00"));
    EXPECT_EQ(a.findChild<QLabel*>(QStringLiteral("stato"))->text(),
              QStringLiteral("Movimenti nell'estratto: 3; da importare: 2."));
    QTest::mouseClick(a.findChild<QPushButton*>(QStringLiteral("cmdImporta")), Qt::LeftButton);
    EXPECT_EQ(a.result(), QDialog::Accepted);
    ASSERT_EQ(c.griglia.Rows(), 3);
    EXPECT_EQ(c.griglia.TextMatrix(2, 3), "20,00");
    EXPECT_EQ(c.griglia.TextMatrix(2, 4), Cella(a, 2, kColSaldo).toStdString());
}

// Through the import's window: a missing column opens the preview with the box unset and the
// message, not in a box; the column the user picks reads the file, imports and is
// remembered for the bank.
TEST_F(AnteprimaTest, LaVistaApreLAnteprimaDaCorreggere) {
    FileEstratto f = Csv();
    f.mappatura.colDescrizione = -1;
    f.banca = "data;descrizione;importo";
    MemoriaMappature memoria(c.disco, c.dir / "mappature.conf");
    VistaImportazioneQt vista(c.contesto, nullptr);
    bool aperta = false;
    QTimer risposta;
    QObject::connect(&risposta, &QTimer::timeout, [&] {
        auto* a = qobject_cast<AnteprimaQt*>(QApplication::activeModalWidget());
        if (!a || aperta) return;
        aperta = true;
        auto* importa = a->findChild<QPushButton*>(QStringLiteral("cmdImporta"));
        auto* avvisi = a->findChild<QLabel*>(QStringLiteral("avvisi"));
        auto* box = a->findChild<QComboBox*>(QStringLiteral("Descrizione"));
        EXPECT_EQ(box->currentText(), QStringLiteral("—"));
        EXPECT_FALSE(importa->isEnabled());
        EXPECT_TRUE(avvisi->isVisible());
        EXPECT_EQ(avvisi->text().toStdString(), ColonneMancanti(f.mappatura));
        EXPECT_EQ(a->modello()->rowCount(), 0);
        box->setCurrentIndex(box->findText(QStringLiteral("Descrizione")));
        EXPECT_FALSE(avvisi->isVisible());
        EXPECT_EQ(Cella(*a, 1, kColRiferimento), QStringLiteral("Stipendio luglio"));
        if (!importa->isEnabled()) a->reject();
        QTest::mouseClick(importa, Qt::LeftButton);
    });
    risposta.start(10);
    const auto esito = vista.Anteprima(f, memoria, {});
    EXPECT_TRUE(aperta);
    ASSERT_TRUE(esito.has_value());
    EXPECT_EQ(esito->aggiunte, 3);
    EXPECT_EQ(c.dialoghi.messaggi.size(), 0u);
    const MappaturaCsv* ricordata = memoria.Trova(f.banca);
    ASSERT_NE(ricordata, nullptr);
    EXPECT_EQ(ricordata->colDescrizione, 1);
}

// The notes column, each reason with its own words.
struct CasoNota {
    const char* nome;
    Esclusione esclusione;
    std::string valuta;
    bool accorciato, fuoriFido, inclusa;
    const char* nota;
};
class NoteTest : public testing::TestWithParam<CasoNota> {};

TEST_P(NoteTest, LaNotaDiceIlMotivo) {
    const CasoNota& p = GetParam();
    Anteprima a;
    a.modoValuta = "Euro";
    RigaAnteprima r;
    r.tipo = &core::TipiMovimento()[0];
    r.esclusione = p.esclusione;
    r.valuta = p.valuta;
    r.accorciato = p.accorciato;
    r.fuoriFido = p.fuoriFido;
    r.inclusa = p.inclusa;
    a.righe.push_back(r);
    ModelloAnteprima m(a, false);
    EXPECT_EQ(m.index(0, kColNote).data().toString().toStdString(), p.nota);
    EXPECT_EQ(m.flags(m.index(0, kColTick)).testFlag(Qt::ItemIsUserCheckable),
              !EsclusioneObbligata(p.esclusione));
}
INSTANTIATE_TEST_SUITE_P(
    Casi, NoteTest,
    testing::Values(CasoNota{"Valuta", Esclusione::AltraValuta, "CHF", false, false, false,
                             "In valuta diversa (CHF)"},
                    CasoNota{"AccorciatoEFuoriFido", Esclusione::Nessuna, "", true, true, true,
                             "Riferimento accorciato; Fuori fido"},
                    CasoNota{"FuoriFidoEsclusoTace", Esclusione::GiaNelRegistro, "", false, true,
                             false, "Già presente nel registro"}),
    [](const auto& info) { return std::string(info.param.nome); });

// Every control the keyboard reaches has a name to speak, the type's editor included.
TEST_F(AnteprimaTest, OgniControlloHaUnNome) {
    AnteprimaQt a(c.contesto, Csv(), nullptr);
    a.show();
    a.tabella()->edit(a.modello()->index(0, kColTipo));
    QStringList senzaNome;
    int visti = 0;
    for (QWidget* w : a.findChildren<QWidget*>()) {
        if (!w->isVisible() || w->focusPolicy() == Qt::NoFocus) continue;
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        ++visti;
        if (!i || i->text(QAccessible::Name).trimmed().isEmpty())
            senzaNome << w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
    }
    EXPECT_GE(visti, 10);
    EXPECT_EQ(senzaNome.join(QStringLiteral(", ")).toStdString(), "");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(a.findChild<QComboBox*>(QStringLiteral("Data")))
                  ->text(QAccessible::Name),
              QStringLiteral("Data"));
}

// A negative balance reads on the table's base under a light and a dark palette.
struct CasoTavolozza {
    const char* nome;
    QColor base, testo;
};
class TavolozzaTest : public AnteprimaTest, public testing::WithParamInterface<CasoTavolozza> {};

TEST_P(TavolozzaTest, IlSaldoNegativoSiLegge) {
    AnteprimaQt a(c.contesto, Csv(), nullptr);
    QPalette p = a.palette();
    p.setColor(QPalette::Base, GetParam().base);
    p.setColor(QPalette::Text, GetParam().testo);
    a.setPalette(p);
    const QColor colore = a.modello()->index(0, kColSaldo).data(Qt::ForegroundRole).value<QColor>();
    EXPECT_GE(ui::Contrasto(colore, GetParam().base), 4.5);
    EXPECT_GT(colore.red(), colore.green() + 40) << "still a red";
    EXPECT_FALSE(a.modello()->index(1, kColSaldo).data(Qt::ForegroundRole).isValid());
}
INSTANTIATE_TEST_SUITE_P(Casi, TavolozzaTest,
                         testing::Values(CasoTavolozza{"Chiara", Qt::white, Qt::black},
                                         CasoTavolozza{"Scura", QColor(0x2b, 0x2b, 0x2b),
                                                       QColor(0xee, 0xee, 0xee)}),
                         [](const auto& info) { return std::string(info.param.nome); });

// The slow job on its worker: a quick one shows nothing, a slow one shows the wait box and
// returns when done, "Annulla" returns at once while the job is still blocked. The event
// loop runs meanwhile.
struct CasoAttesa {
    const char* nome;
    int durataMs;  // -1: blocks until released
    bool annulla;
    bool finito;
    bool finestra;  // the wait box showed
};
class AttesaTest : public testing::TestWithParam<CasoAttesa> {};

TEST_P(AttesaTest, IlLavoroGiraAFinestraViva) {
    const CasoAttesa& p = GetParam();
    auto rilascia = std::make_shared<std::atomic<bool>>(false);
    auto finito = std::make_shared<std::atomic<bool>>(false);
    bool vista = false;
    int battiti = 0;
    QTimer battito;
    QObject::connect(&battito, &QTimer::timeout, [&] {
        ++battiti;
        auto* f = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!f || vista) return;
        vista = true;
        EXPECT_EQ(f->objectName(), QStringLiteral("attesa"));
        if (p.annulla) QTest::mouseClick(f->findChild<QPushButton*>("cmdAnnulla"), Qt::LeftButton);
    });
    battito.start(20);
    const int durata = p.durataMs;
    const bool esito = EseguiConAttesa(
        [rilascia, finito, durata] {
            // A blocked job gives up after 3 s, so a wait that never returns fails instead
            // of hanging.
            const auto fine = std::chrono::steady_clock::now() +
                              std::chrono::milliseconds(durata < 0 ? 3000 : durata);
            while (!rilascia->load() && std::chrono::steady_clock::now() < fine)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            finito->store(true);
        },
        nullptr, std::chrono::milliseconds(300));
    EXPECT_EQ(esito, p.finito);
    EXPECT_EQ(finito->load(), p.finito) << "cancelled while the job still ran";
    EXPECT_EQ(vista, p.finestra);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    if (p.durataMs > 150) {
        EXPECT_GE(battiti, 3) << "the event loop stayed live";
    }
    rilascia->store(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return finito->load(); }, 2000));
}
INSTANTIATE_TEST_SUITE_P(Casi, AttesaTest,
                         testing::Values(CasoAttesa{"Rapido", 0, false, true, false},
                                         CasoAttesa{"Lento", 900, false, true, true},
                                         CasoAttesa{"Annullato", -1, true, false, true}),
                         [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
