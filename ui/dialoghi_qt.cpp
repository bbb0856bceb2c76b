#include "ui/dialoghi_qt.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/testo_qt.h"

namespace ui {
namespace {

using ui::InQString;

QMessageBox::Icon iconaQt(Icona icona) {
    switch (icona) {
        case Icona::Critica:
            return QMessageBox::Critical;
        case Icona::Domanda:
            return QMessageBox::Question;
        case Icona::Esclamazione:
            return QMessageBox::Warning;
        case Icona::Informazione:
            return QMessageBox::Information;
        case Icona::Nessuna:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Risposta DialoghiQt::Messaggio(std::string_view testo, Pulsanti pulsanti, Icona icona,
                               std::string_view titolo, Risposta predefinita) {
    QMessageBox box(iconaQt(icona), InQString(titolo), InQString(testo), QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (pulsanti == Pulsanti::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
        box.exec();
        return Risposta::Ok;
    }
    const bool annulla = pulsanti == Pulsanti::SiNoAnnulla;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No |
                           (annulla ? QMessageBox::Cancel : QMessageBox::NoButton));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sì"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    if (annulla) box.button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
    box.setDefaultButton(predefinita == Risposta::No        ? QMessageBox::No
                         : predefinita == Risposta::Annulla ? QMessageBox::Cancel
                                                            : QMessageBox::Yes);
    box.setEscapeButton(annulla ? QMessageBox::Cancel : QMessageBox::No);
    const int scelta = box.exec();
    if (scelta == QMessageBox::Yes) return Risposta::Si;
    if (scelta == QMessageBox::No || !annulla) return Risposta::No;
    return Risposta::Annulla;
}

std::string DialoghiQt::InputBox(std::string_view prompt, std::string_view titolo,
                                 std::string_view predefinito) {
    QDialog finestra(QApplication::activeWindow());
    finestra.setWindowTitle(InQString(titolo));
    finestra.setWindowFlags(finestra.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* layout = new QVBoxLayout(&finestra);
    // Each carriage return of the prompt starts a new line.
    QString testo = InQString(prompt);
    testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    auto* etichetta = new QLabel(testo, &finestra);
    etichetta->setObjectName(QStringLiteral("prompt"));
    layout->addWidget(etichetta);
    auto* campo = new QLineEdit(InQString(predefinito), &finestra);
    campo->setObjectName(QStringLiteral("testo"));
    campo->selectAll();
    layout->addWidget(campo);
    auto* pulsanti = new QDialogButtonBox(&finestra);
    pulsanti->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    pulsanti->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    QObject::connect(pulsanti, &QDialogButtonBox::accepted, &finestra, &QDialog::accept);
    QObject::connect(pulsanti, &QDialogButtonBox::rejected, &finestra, &QDialog::reject);
    layout->addWidget(pulsanti);
    finestra.setMinimumWidth(360);
    if (finestra.exec() != QDialog::Accepted) return {};
    return campo->text().toStdString();
}

int DialoghiQt::Scelta(std::string_view domanda, const std::vector<std::string>& voci,
                       std::string_view titolo) {
    QInputDialog finestra(QApplication::activeWindow());
    finestra.setWindowTitle(InQString(titolo));
    finestra.setLabelText(InQString(domanda));
    QStringList elenco;
    for (const auto& v : voci) elenco << InQString(v);
    finestra.setComboBoxItems(elenco);
    finestra.setComboBoxEditable(false);
    finestra.setOkButtonText(QStringLiteral("OK"));
    finestra.setCancelButtonText(QStringLiteral("Annulla"));
    if (finestra.exec() != QDialog::Accepted) return -1;
    return static_cast<int>(elenco.indexOf(finestra.textValue()));
}

void DialoghiQt::TerminaProgramma() {
    terminato_ = true;
    // Hiding (not closing) the windows runs no close handler, so nothing is saved.
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    QCoreApplication::exit(0);
}

}  // namespace ui
