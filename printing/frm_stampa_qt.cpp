#include "printing/frm_stampa_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "printing/avanzamento_qt.h"
#include "printing/coda_cups_qt.h"
#include "printing/stampante_qt.h"
#include "ui/finestra_qt.h"

namespace printing {

namespace {

template <typename T>
T* Controllo(QWidget* padre, const char* nome, double left, double top, double width,
             double height) {
    auto* w = new T(padre);
    w->setObjectName(QString::fromLatin1(nome));
    ui::Posiziona(w, left, top, width, height);
    return w;
}

CodaStampa& CodeDelSistema() {
    static CodaCups cups;
    return cups;
}

}  // namespace

// Several printers and none is the default: the user picks one, as a system print dialog
// would let them.
void PreparaSceltaStampante(QInputDialog& finestra, const std::vector<std::string>& stampanti) {
    QStringList nomi;
    for (const std::string& n : stampanti) nomi << QString::fromStdString(n);
    finestra.setWindowTitle(QString::fromUtf8(
        ui::kTitoloApplicazione.data(), static_cast<qsizetype>(ui::kTitoloApplicazione.size())));
    finestra.setLabelText(
        QStringLiteral("Nessuna stampante è impostata come predefinita.\nScegliere la stampante:"));
    finestra.setComboBoxItems(nomi);
    finestra.setComboBoxEditable(false);
    finestra.setOkButtonText(QStringLiteral("OK"));
    finestra.setCancelButtonText(QStringLiteral("Annulla"));
    // The box would speak only the printer it shows.
    if (auto* scelta = finestra.findChild<QComboBox*>())
        scelta->setAccessibleName(QStringLiteral("Stampante"));
}

std::string ScegliStampante(const std::vector<std::string>& stampanti) {
    QInputDialog finestra(QApplication::activeWindow());
    PreparaSceltaStampante(finestra, stampanti);
    if (finestra.exec() != QDialog::Accepted) return {};
    return finestra.textValue().toStdString();
}

FabbricaStampante StampanteDiSistema(ui::Contesto& c, CodaStampa& coda, SceltaStampante scegli) {
    return [&c, &coda, scegli = std::move(scegli)]() -> std::unique_ptr<Stampante> {
        std::string nome = coda.Predefinita();
        if (nome.empty()) {
            const std::vector<std::string> stampanti = coda.Stampanti();
            if (stampanti.size() == 1)
                nome = stampanti.front();
            else if (stampanti.size() > 1 && (nome = scegli(stampanti)).empty())
                return nullptr;
        }
        if (!nome.empty()) return StampanteQt::Coda(coda, nome);
        return StampanteQt::PdfInCartella(c.file.dirProgramma(), [&c](const QString& percorso) {
            c.dialoghi.Messaggio(
                "Nessuna stampante installata: la stampa è stata salvata nel file\n" +
                    percorso.toStdString(),
                ui::Pulsanti::Ok, ui::Icona::Informazione);
        });
    };
}

FrmStampaQt::FrmStampaQt(ui::Contesto& contesto, QWidget* parent)
    : FrmStampaQt(contesto, StampanteDiSistema(contesto, CodeDelSistema(), ScegliStampante),
                  parent) {}

FrmStampaQt::FrmStampaQt(ui::Contesto& contesto, FabbricaStampante stampante, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmStampa"));
    setWindowTitle(QStringLiteral("Stampa"));
    setFont(ui::FontSans(8.25, false));
    ui::DimensionaFinestra(this, 4035, 2040);

    // The options reach to the date boxes (the narrow designed face needs less room).
    auto* tutto = Controllo<QRadioButton>(this, "Option1_0", 120, 120, 1725, 495);
    tutto->setText(QStringLiteral("Stampa tutto"));
    tutto->setChecked(true);
    auto* periodo = Controllo<QRadioButton>(this, "Option1_1", 120, 840, 1725, 435);
    // On two lines: on one, with the date boxes beside it, it would only fit in a face too
    // small to read.
    periodo->setText(QStringLiteral("Stampa da data\na data"));
    periodo->setAccessibleName(QStringLiteral("Stampa da data a data"));
    auto* ok = Controllo<QPushButton>(this, "cmdOk", 1860, 1560, 975, 315);
    ok->setText(QStringLiteral("&Ok"));
    auto* annulla = Controllo<QPushButton>(this, "cmdAnnulla", 3000, 1560, 975, 315);
    annulla->setText(QStringLiteral("&Annulla"));
    auto* daData = Controllo<QLineEdit>(this, "txtDadata", 1860, 960, 975, 315);
    auto* label1 = Controllo<QLabel>(this, "Label1", 2040, 720, 795, 195);
    label1->setText(QStringLiteral("da data"));
    auto* label2 = Controllo<QLabel>(this, "Label2", 3240, 720, 675, 195);
    label2->setText(QStringLiteral("a data"));
    auto* aData = Controllo<QLineEdit>(this, "txtAdata", 3000, 960, 975, 315);
    auto* griglia = Controllo<QCheckBox>(this, "Check1", 120, 1560, 195, 195);
    // Up to the OK button, so that the caption keeps the window's face.
    auto* label3 = Controllo<QLabel>(this, "Label3", 360, 1560, 1440, 255);
    label3->setText(QStringLiteral("Stampa griglia"));
    label1->setBuddy(daData);
    label2->setBuddy(aData);
    // A check box speaks its own caption only; its caption here is the label beside it.
    griglia->setAccessibleName(label3->text());

    for (QPushButton* b : {ok, annulla}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    for (QLineEdit* t : {daData, aData}) {
        t->setMaxLength(10);
        t->hide();
    }
    label1->hide();
    label2->hide();
    setTabOrder(tutto, periodo);
    setTabOrder(periodo, ok);
    setTabOrder(ok, annulla);
    setTabOrder(annulla, daData);
    setTabOrder(daData, aData);
    setTabOrder(aData, griglia);
    // Both options in one face, fitted to the longer caption.
    for (QRadioButton* o : {tutto, periodo})
        ui::AdattaCarattere(o, {tutto->text(), periodo->text()});
    ui::AdattaTesti(this);
    ui::CentraSulloSchermo(this);

    finestra_ = std::make_unique<ui::FinestraQt>(this, "frmStampa");
    stampa_ = std::make_unique<StampaRegistro>(StampaRegistro::Servizi{
        contesto.griglia, gridPrint_, contesto.stato, contesto.dialoghi, std::move(stampante),
        contesto.oggi, AvanzamentoQt::Fabbrica(this)});
    logica_ = std::make_unique<FrmStampa>(*finestra_, contesto.dialoghi, contesto.stato, gridPrint_,
                                          *stampa_);

    for (QRadioButton* o : {tutto, periodo})
        connect(o, &QRadioButton::clicked, this, [this] {
            logica_->Option1_Click();
            // An arrow key clicks the option and then gives it the focus: the box the
            // handler chose gets it back once that is done.
            if (QWidget* scelto = focusWidget(); scelto && !qobject_cast<QRadioButton*>(scelto))
                QTimer::singleShot(0, scelto, [scelto] {
                    if (scelto->isVisible()) scelto->setFocus(Qt::OtherFocusReason);
                });
        });
    connect(ok, &QPushButton::clicked, this, [this] { logica_->cmdOk_Click(); });
    connect(annulla, &QPushButton::clicked, this, [this] { logica_->cmdAnnulla_Click(); });

    logica_->Form_Load(contesto.oggi());
}

FrmStampaQt::~FrmStampaQt() = default;

void FrmStampaQt::keyPressEvent(QKeyEvent* evento) {
    switch (evento->key()) {
        case Qt::Key_Escape:
            evento->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            evento->accept();
            if (auto* b = qobject_cast<QPushButton*>(focusWidget())) b->click();
            return;
        default:
            QDialog::keyPressEvent(evento);
    }
}

}  // namespace printing
