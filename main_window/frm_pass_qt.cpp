#include "main_window/frm_pass_qt.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "ui/finestra_qt.h"

namespace main_window {

FrmPassQt::FrmPassQt(ui::Contesto& contesto, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmPass"));
    setWindowTitle(QStringLiteral("Inserisci Password"));
    setFont(ui::FontSans(8, false));
    ui::DimensionaFinestra(this, 3060, 1155);

    auto* pass = new QLineEdit(this);
    pass->setObjectName(QStringLiteral("txtPass1"));
    ui::MascheraPassword(pass);
    // The window's title is its only caption.
    pass->setAccessibleName(QStringLiteral("Password"));
    pass->setToolTip(
        QStringLiteral("Si consiglia di inserire password composte da una sola parola "
                       "(Es.\"Tizioesempio\"  NON \"Tizio esempio\")"));
    ui::Posiziona(pass, 480, 180, 2055, 315);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ui::Posiziona(ok, 480, 720, 735, 255);
    auto* annulla = new QPushButton(QStringLiteral("&Annulla"), this);
    annulla->setObjectName(QStringLiteral("cmdAnnulla"));
    ui::Posiziona(annulla, 1740, 720, 795, 255);
    setTabOrder(pass, ok);
    setTabOrder(ok, annulla);
    ui::AdattaTesti(this);
    // At start-up it has no main window to stand over.
    ui::CentraSulloSchermo(this);

    finestra_ = std::make_unique<ui::FinestraQt>(this, "frmPass");
    logica_ = std::make_unique<FrmPass>(*finestra_, contesto);
    connect(ok, &QPushButton::clicked, this, [this] { logica_->cmdOk_Click(); });
    connect(annulla, &QPushButton::clicked, this, [this] { logica_->cmdAnnulla_Click(); });
    pass->setFocus();
}

FrmPassQt::~FrmPassQt() = default;

void FrmPassQt::reject() {
    logica_->Form_Chiusura();
}

// Enter in the text box is OK; elsewhere only a focused button, which clicks itself,
// answers it.
void FrmPassQt::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() != Qt::Key_Return && evento->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(evento);
        return;
    }
    evento->accept();
    if (focusWidget() && focusWidget()->objectName() == QLatin1String("txtPass1"))
        logica_->txtPass1_KeyPress(kTastoInvio);
}

}  // namespace main_window
