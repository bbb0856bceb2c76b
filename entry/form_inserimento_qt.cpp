#include "entry/form_inserimento_qt.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "ui/testo_qt.h"
#include "ui/valuta.h"

namespace entry {

namespace {

using ui::InQString;

QLabel* Etichetta(QWidget* padre, const char* nome, const QString& testo, double left, double top,
                  double width, double height) {
    auto* l = new QLabel(testo, padre);
    l->setObjectName(QString::fromLatin1(nome));
    // Designed labels show their text from the top left corner.
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui::Posiziona(l, left, top, width, height);
    ui::AdattaCarattere(l);
    return l;
}

QLineEdit* Casella(QWidget* padre, const char* nome, int massimo, double left, double top,
                   double width, double height) {
    auto* e = new QLineEdit(padre);
    e->setObjectName(QString::fromLatin1(nome));
    e->setMaxLength(massimo);
    ui::Posiziona(e, left, top, width, height);
    return e;
}

QPushButton* Pulsante(QWidget* padre, const char* nome, const QString& testo, double left,
                      double top) {
    auto* b = new QPushButton(testo, padre);
    b->setObjectName(QString::fromLatin1(nome));
    // A dialog makes its first auto-default button the default one, which Enter would press.
    b->setAutoDefault(false);
    b->setDefault(false);
    ui::Posiziona(b, left, top, 735, 255);
    return b;
}

}  // namespace

FormInserimentoQt::FormInserimentoQt(const core::TipoMovimento& tipo, ui::Contesto& contesto,
                                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(InQString(tipo.finestra));
    setWindowTitle(InQString(tipo.caption));
    setFont(ui::FontSans(8.25, false));
    ui::DimensionaFinestra(this, tipo.larghezza, tipo.altezza);

    QLabel* data = Etichetta(this, "Label1", QStringLiteral("Data:"), 360, 480, 495, 255);
    txtData_ = Casella(this, "txtData", 10, 960, 360, 1095, 285);
    data->setBuddy(txtData_);
    if (!tipo.suggerimentoData.empty()) txtData_->setToolTip(InQString(tipo.suggerimentoData));
    // "Importo:" and "Riferimenti:" reach left to the window's edge and right to what
    // follows them, so that they show in the window's face rather than a squeezed one.
    QLabel* importo = Etichetta(this, "Label2", QStringLiteral("Importo:"), 45, 960, 690, 255);
    QLabel* simbolo = Etichetta(this, "Label4", QString::fromUtf8(ui::kDidascalieLire.simbolo), 720,
                                960, 255, 255);
    simbolo->setFont(ui::FontSans(8.25, true));
    // Centred in its box, clear of "Importo:" on its left and of the amount box on its right.
    simbolo->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ui::ColoraTesto(simbolo, QColor(0x00, 0x00, 0xC0));
    txtImporto_ = Casella(this, "txtImporto", 11, 960, 840, 1095, 285);
    txtImporto_->setMouseTracking(true);
    importo->setBuddy(txtImporto_);
    QLabel* riferimenti =
        Etichetta(this, "Label3", QStringLiteral("Riferimenti:"), 45, 1440, 915, 255);
    Txtrif_ = Casella(this, "Txtrif", 16, 960, 1320, 1575, 285);
    riferimenti->setBuddy(Txtrif_);
    QPushButton* ok = Pulsante(this, "cmdOk", QStringLiteral("&Ok"), 600, 1920);
    QPushButton* annulla = Pulsante(this, "cmdAnnulla", QStringLiteral("&Annulla"), 1680, 1920);

    setTabOrder(txtData_, txtImporto_);
    setTabOrder(txtImporto_, Txtrif_);
    setTabOrder(Txtrif_, ok);
    setTabOrder(ok, annulla);
    for (QLineEdit* casella : {txtData_, txtImporto_, Txtrif_}) casella->installEventFilter(this);

    ui::AdattaTesti(this);
    ui::CentraSulloSchermo(this);

    finestra_ = std::make_unique<ui::FinestraQt>(this, std::string(tipo.finestra));
    logica_ = std::make_unique<FormInserimento>(tipo, contesto, *finestra_);
    connect(ok, &QPushButton::clicked, this, [this] { logica_->cmdOk_Click(); });
    connect(annulla, &QPushButton::clicked, this, [this] { logica_->cmdAnnulla_Click(); });

    logica_->Form_Load();
}

FormInserimentoQt::~FormInserimentoQt() {
    // The boxes outlive the logic by a moment while QWidget tears the children down.
    for (QLineEdit* casella : {txtData_, txtImporto_, Txtrif_}) casella->removeEventFilter(this);
}

void FormInserimentoQt::reject() {
    logica_->cmdAnnulla_Click();
}

bool FormInserimentoQt::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent*>(evento)->key();
        if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) {
            if (oggetto == txtData_)
                logica_->txtData_KeyDown(kTastoInvio);
            else if (oggetto == txtImporto_)
                logica_->txtImporto_KeyDown(kTastoInvio);
            else if (oggetto == Txtrif_)
                logica_->Txtrif_KeyDown(kTastoInvio);
            // Consumed here, so the dialog never sees it.
            return true;
        }
    } else if (evento->type() == QEvent::MouseMove && oggetto == txtImporto_) {
        logica_->txtImporto_MouseMove();
    }
    return QDialog::eventFilter(oggetto, evento);
}

}  // namespace entry
