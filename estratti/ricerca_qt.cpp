#include "estratti/ricerca_qt.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "core/importi.h"
#include "estratti/date_qt.h"
#include "estratti/esportazione.h"
#include "estratti/esportazione_excel.h"
#include "estratti/ricerca.h"
#include "ui/testo_qt.h"
#include "ui/valuta.h"

namespace estratti {

namespace {

using ui::InQString;

}  // namespace

CercaQt::CercaQt(ui::Contesto& c, QTableView* vista, QWidget* parent)
    : QDialog(parent), c_(c), vista_(vista) {
    setWindowTitle(QStringLiteral("Cerca"));
    auto* form = new QFormLayout(this);
    testo_ = new QLineEdit(this);
    importo_ = new QLineEdit(this);
    da_ = new QDateEdit(this);
    a_ = new QDateEdit(this);
    for (auto* d : {da_, a_}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
        d->setSpecialValueText(QStringLiteral(" "));
        d->setMinimumDate(QDate(1900, 1, 1));
        d->setDate(d->minimumDate());
    }
    form->addRow(QStringLiteral("&Testo:"), testo_);
    form->addRow(QStringLiteral("&Importo:"), importo_);
    form->addRow(QStringLiteral("&Dal:"), da_);
    form->addRow(QStringLiteral("A&l:"), a_);
    esito_ = new QLabel(this);
    form->addRow(esito_);
    auto* pulsanti = new QHBoxLayout;
    auto* prec = new QPushButton(QStringLiteral("&Precedente"), this);
    auto* succ = new QPushButton(QStringLiteral("&Successivo"), this);
    auto* chiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    succ->setDefault(true);
    pulsanti->addWidget(prec);
    pulsanti->addWidget(succ);
    pulsanti->addWidget(chiudi);
    form->addRow(pulsanti);
    connect(prec, &QPushButton::clicked, this, [this] { vai(false); });
    connect(succ, &QPushButton::clicked, this, [this] { vai(true); });
    connect(chiudi, &QPushButton::clicked, this, &QDialog::reject);
}

void CercaQt::vai(bool avanti) {
    CriteriRicerca criteri;
    criteri.testo = testo_->text().toStdString();
    if (!importo_->text().trimmed().isEmpty()) {
        criteri.importo = core::ValoreImporto(importo_->text().trimmed().toStdString());
        if (!criteri.importo) {
            c_.dialoghi.Messaggio("Importo non valido", ui::Pulsanti::Ok, ui::Icona::Esclamazione);
            importo_->setFocus();
            return;
        }
    }
    if (da_->date() != da_->minimumDate()) criteri.da = DataDa(da_->date());
    if (a_->date() != a_->minimumDate()) criteri.a = DataDa(a_->date());
    const std::vector<int> trovati = Cerca(c_.griglia.righe(), criteri);
    // Grid rows count the header as row 0; the register's rows start at 0.
    const int corrente = c_.griglia.Row() - 1;
    const int prossimo = Successivo(trovati, corrente, avanti);
    if (prossimo < 0) {
        esito_->setText(QStringLiteral("Nessun movimento trovato."));
        return;
    }
    const int pos = static_cast<int>(std::lower_bound(trovati.begin(), trovati.end(), prossimo) -
                                     trovati.begin());
    esito_->setText(QStringLiteral("Movimento %1 di %2 trovati.").arg(pos + 1).arg(trovati.size()));
    c_.griglia.SetRow(prossimo + 1);
    if (vista_ && vista_->model()) {
        const int offset = vista_->model()->rowCount() == c_.griglia.Rows() ? 1 : 0;
        const QModelIndex indice = vista_->model()->index(prossimo + offset, 0);
        vista_->setCurrentIndex(indice);
        vista_->scrollTo(indice);
    }
}

EsportaQt::EsportaQt(ui::Contesto& c, QWidget* parent, bool excel) : QDialog(parent) {
    setWindowTitle(excel ? QStringLiteral("Esporta in Excel") : QStringLiteral("Esporta"));
    auto* layout = new QVBoxLayout(this);
    auto* tutto = new QRadioButton(QStringLiteral("&Tutto il registro"), this);
    auto* intervallo = new QRadioButton(QStringLiteral("&Solo i movimenti dal"), this);
    tutto->setChecked(true);
    auto* da = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    auto* a = new QDateEdit(QDate::currentDate(), this);
    for (auto* d : {da, a}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    layout->addWidget(tutto);
    auto* riga = new QHBoxLayout;
    riga->addWidget(intervallo);
    riga->addWidget(da);
    riga->addWidget(new QLabel(QStringLiteral("al"), this));
    riga->addWidget(a);
    layout->addLayout(riga);
    auto* pulsanti = new QDialogButtonBox(this);
    auto* ok = pulsanti->addButton(QStringLiteral("&Esporta…"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    pulsanti->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole);
    layout->addWidget(pulsanti);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pulsanti, &QDialogButtonBox::accepted, this, [this, &c, intervallo, da, a, excel] {
        const QString file = QFileDialog::getSaveFileName(
            this, windowTitle(),
            excel ? QStringLiteral("registro.xlsx") : QStringLiteral("registro.csv"),
            excel ? QStringLiteral("Cartella di lavoro Excel (*.xlsx)")
                  : QStringLiteral("File CSV (*.csv)"));
        if (file.isEmpty()) return;
        std::optional<core::Data> dal, al;
        if (intervallo->isChecked()) {
            dal = DataDa(da->date());
            al = DataDa(a->date());
        }
        const auto e =
            excel ? EsportaExcel(c.file.fileSystem(), file.toStdString(), c.griglia.righe(),
                                 {c.stato.NumeroConto, c.stato.BancaAppoggio}, dal, al)
                  : Esporta(c.file.fileSystem(), file.toStdString(), c.griglia.righe(), dal, al);
        if (e) {
            c.dialoghi.Messaggio(core::MessaggioErroreFile(*e), ui::Pulsanti::Ok,
                                 ui::Icona::Esclamazione);
            return;
        }
        accept();
    });
}
}  // namespace estratti
