#include "setup/form17_qt.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/finestra_qt.h"

namespace setup {

namespace {

// Closing ends the dialog with the outcome the contract promises: accepted only after
// OK has saved the account.
class FinestraForm17 : public ui::FinestraQt {
  public:
    FinestraForm17(QDialog* dialogo, std::function<bool()> confermato)
        : ui::FinestraQt(dialogo, "Form17"),
          dialogo_(dialogo),
          confermato_(std::move(confermato)) {}
    void Chiudi() override {
        dialogo_->done(confermato_() ? QDialog::Accepted : QDialog::Rejected);
    }

  private:
    QDialog* dialogo_;
    std::function<bool()> confermato_;
};

template <typename W>
W* Crea(QWidget* padre, const char* nome, double left, double top, double width, double height) {
    auto* w = new W(padre);
    w->setObjectName(QString::fromLatin1(nome));
    w->setFont(ui::FontSans(8, false));
    ui::Posiziona(w, left, top, width, height);
    return w;
}

QLabel* Etichetta(QWidget* padre, const char* nome, const QString& testo, double left, double top,
                  double width, double height) {
    auto* l = Crea<QLabel>(padre, nome, left, top, width, height);
    l->setText(testo);
    return l;
}

}  // namespace

Form17Qt::Form17Qt(core::StatoConto& stato, core::FileDati& file, ui::Dialoghi& dialoghi,
                   std::function<void()> apriPrincipale, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("Form17"));
    setWindowTitle(QStringLiteral("Imposta N° c.c.  e  Banca d'appoggio"));
    setFont(ui::FontSans(8, false));
    ui::DimensionaFinestra(this, 3945, 2880);

    // Created in tab order; the labels take no focus.
    auto* conto = Crea<QLineEdit>(this, "TxtConto", 1320, 300, 1095, 285);
    conto->setMaxLength(10);
    auto* banca = Crea<QLineEdit>(this, "TxtBanca", 1320, 840, 2295, 285);
    banca->setMaxLength(22);
    auto* pass = Crea<QLineEdit>(this, "txtPass", 1320, 1380, 2295, 285);
    ui::MascheraPassword(pass);
    auto* ch = Crea<QCheckBox>(this, "ChPass", 1020, 1920, 255, 255);
    ch->setChecked(true);
    auto* ok = Crea<QPushButton>(this, "CmdOk", 300, 2460, 855, 255);
    ok->setText(QStringLiteral("&Ok"));
    auto* annulla = Crea<QPushButton>(this, "CmdAnnulla", 2760, 2460, 855, 255);
    annulla->setText(QStringLiteral("&Annulla"));
    setTabOrder(conto, banca);
    setTabOrder(banca, pass);
    setTabOrder(pass, ch);
    setTabOrder(ch, ok);
    setTabOrder(ok, annulla);

    Etichetta(this, "Label1", QStringLiteral("N° conto:"), 300, 300, 975, 255)->setBuddy(conto);
    Etichetta(this, "Label2", QStringLiteral("Banca:"), 300, 840, 975, 255)->setBuddy(banca);
    Etichetta(this, "lblPass", QStringLiteral("Password"), 300, 1380, 975, 255)->setBuddy(pass);
    auto* lblCk =
        Etichetta(this, "lblCk", QStringLiteral("Utilizza Password"), 1320, 1920, 2295, 255);
    // A check box speaks its own caption only; its caption here is the label beside it.
    ch->setAccessibleName(lblCk->text());
    // The label stands for the check box's caption, so a click on it toggles the box.
    lblCk->installEventFilter(this);
    ui::AdattaTesti(this);
    ui::CentraSulloSchermo(this);

    finestra_ = std::make_unique<FinestraForm17>(this, [this] { return logica_->confermato(); });
    logica_ =
        std::make_unique<Form17>(*finestra_, stato, file, dialoghi, std::move(apriPrincipale));

    connect(ch, &QCheckBox::clicked, this, [this] { logica_->ChPass_Click(); });
    connect(ok, &QPushButton::clicked, this, [this] { logica_->CmdOk_Click(); });
    connect(annulla, &QPushButton::clicked, this, [this] { logica_->CmdAnnulla_Click(); });

    logica_->Form_Load();
}

Form17Qt::~Form17Qt() = default;

void Form17Qt::reject() {
    logica_->CmdAnnulla_Click();
}

// Enter in a text box is the logic's (it moves the focus); anywhere else but on a focused
// button, which clicks itself, it does nothing, so it never presses a default button.
void Form17Qt::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() != Qt::Key_Return && evento->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(evento);
        return;
    }
    evento->accept();
    const QWidget* f = focusWidget();
    if (!f) return;
    const QString nome = f->objectName();
    if (nome == QLatin1String("TxtConto"))
        logica_->TxtConto_KeyPress(kTastoInvio);
    else if (nome == QLatin1String("TxtBanca"))
        logica_->TxtBanca_KeyPress(kTastoInvio);
    else if (nome == QLatin1String("txtPass"))
        logica_->txtPass_KeyPress(kTastoInvio);
}

bool Form17Qt::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto->objectName() == QLatin1String("lblCk") &&
        evento->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton) {
        findChild<QCheckBox*>(QStringLiteral("ChPass"))->click();
        return true;
    }
    return QDialog::eventFilter(oggetto, evento);
}

}  // namespace setup
