#include "estratti/ricerca_qt.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/importi.h"
#include "core/uscite.h"
#include "estratti/andamento.h"
#include "estratti/andamento_qt.h"
#include "estratti/date_qt.h"
#include "estratti/esportazione.h"
#include "estratti/esportazione_excel.h"
#include "estratti/ricerca.h"
#include "ui/testo_qt.h"

namespace estratti {

namespace {

// A date field that is neither empty nor a date is pointed out, never guessed at.
bool DateValide(ui::Dialoghi& dialoghi, std::initializer_list<CampoData*> campi) {
    for (CampoData* campo : campi) {
        if (const auto d = campo->data()) campo->impostaData(*d);
        if (campo->vuoto() || campo->data()) continue;
        dialoghi.Messaggio("Data non valida", ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        campo->setFocus();
        campo->selectAll();
        return false;
    }
    return true;
}

}  // namespace

// The matches as the grid shows them: "Data", "Causale", "Riferimento", "Importo".
class ModelloTrovati : public QAbstractTableModel {
  public:
    ModelloTrovati(const core::Registro& registro, QObject* parent)
        : QAbstractTableModel(parent), registro_(registro) {}
    void imposta(std::vector<int> righe) {
        beginResetModel();
        righe_ = std::move(righe);
        endResetModel();
    }
    [[nodiscard]] int riga(int posizione) const {
        return righe_[static_cast<std::size_t>(posizione)];
    }
    int rowCount(const QModelIndex& padre = {}) const override {
        return padre.isValid() ? 0 : static_cast<int>(righe_.size());
    }
    int columnCount(const QModelIndex& padre = {}) const override {
        return padre.isValid() ? 0 : 4;
    }
    QVariant data(const QModelIndex& i, int ruolo) const override {
        if (ruolo == Qt::TextAlignmentRole && i.column() == 3)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (ruolo != Qt::DisplayRole) return {};
        return ui::InQString(registro_.cella(static_cast<std::size_t>(riga(i.row())),
                                             static_cast<std::size_t>(i.column())));
    }
    QVariant headerData(int sezione, Qt::Orientation verso, int ruolo) const override {
        static const char* const kTitoli[] = {"Data", "Causale", "Riferimento", "Importo"};
        if (verso != Qt::Horizontal || ruolo != Qt::DisplayRole || sezione < 0 || sezione > 3)
            return QAbstractTableModel::headerData(sezione, verso, ruolo);
        return QString::fromUtf8(kTitoli[sezione]);
    }

  private:
    const core::Registro& registro_;
    std::vector<int> righe_;
};

CercaQt::CercaQt(ui::Contesto& c, QTableView* vista, QWidget* parent)
    : QDialog(parent), c_(c), vista_(vista) {
    setWindowTitle(QStringLiteral("Cerca"));
    auto* form = new QFormLayout(this);
    testo_ = new QLineEdit(this);
    importo_ = new QLineEdit(this);
    da_ = new CampoData(this);
    a_ = new CampoData(this);
    testo_->setObjectName(QStringLiteral("testo"));
    importo_->setObjectName(QStringLiteral("importo"));
    da_->setObjectName(QStringLiteral("dal"));
    a_->setObjectName(QStringLiteral("al"));
    form->addRow(QStringLiteral("&Testo:"), testo_);
    form->addRow(QStringLiteral("&Importo:"), importo_);
    form->addRow(QStringLiteral("&Dal:"), da_);
    form->addRow(QStringLiteral("A&l:"), a_);
    esito_ = new QLabel(this);
    esito_->setObjectName(QStringLiteral("esito"));
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
    modello_ = new ModelloTrovati(c_.griglia.righe(), this);
    elenco_ = new QTableView(this);
    elenco_->setObjectName(QStringLiteral("trovati"));
    elenco_->setAccessibleName(QStringLiteral("Movimenti trovati"));
    elenco_->setModel(modello_);
    elenco_->setSelectionBehavior(QAbstractItemView::SelectRows);
    elenco_->setSelectionMode(QAbstractItemView::SingleSelection);
    elenco_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    elenco_->verticalHeader()->hide();
    elenco_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    elenco_->horizontalHeader()->setStretchLastSection(true);
    elenco_->setMinimumSize(480, 160);
    form->addRow(elenco_);
    connect(elenco_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& scelto) {
                if (scelto.isValid() && !spostando_)
                    mostra(modello_->riga(scelto.row()), scelto.row());
            });
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
    if (!DateValide(c_.dialoghi, {da_, a_})) return;
    criteri.da = da_->data();
    criteri.a = a_->data();
    std::vector<int> trovati = Cerca(c_.griglia.righe(), criteri);
    // Grid rows count the header as row 0; the register's rows start at 0.
    const int corrente = c_.griglia.Row() - 1;
    const int prossimo = Successivo(trovati, corrente, avanti);
    const int pos = static_cast<int>(std::lower_bound(trovati.begin(), trovati.end(), prossimo) -
                                     trovati.begin());
    modello_->imposta(std::move(trovati));
    if (prossimo < 0) {
        esito_->setText(QStringLiteral("Nessun movimento trovato."));
        return;
    }
    mostra(prossimo, pos);
}

void CercaQt::mostra(int riga, int posizione) {
    esito_->setText(
        QStringLiteral("Movimento %1 di %2 trovati.").arg(posizione + 1).arg(modello_->rowCount()));
    if (elenco_->currentIndex().row() != posizione) {
        // The list follows without choosing again.
        spostando_ = true;
        elenco_->selectRow(posizione);
        spostando_ = false;
    }
    elenco_->scrollTo(modello_->index(posizione, 0));
    c_.griglia.SetRow(riga + 1);
    if (vista_ && vista_->model()) {
        const int offset = vista_->model()->rowCount() == c_.griglia.Rows() ? 1 : 0;
        const QModelIndex indice = vista_->model()->index(riga + offset, 0);
        vista_->setCurrentIndex(indice);
        vista_->scrollTo(indice);
    }
}

EsportaQt::EsportaQt(ui::Contesto& c, QWidget* parent, bool excel) : QDialog(parent) {
    setWindowTitle(excel ? QStringLiteral("Esporta in Excel") : QStringLiteral("Esporta"));
    auto* layout = new QVBoxLayout(this);
    auto* tutto = new QRadioButton(QStringLiteral("&Tutto il registro"), this);
    auto* intervallo = new QRadioButton(QStringLiteral("&Solo i movimenti dal"), this);
    tutto->setObjectName(QStringLiteral("tutto"));
    intervallo->setObjectName(QStringLiteral("intervallo"));
    tutto->setChecked(true);
    auto* da = new CampoData(this);
    auto* a = new CampoData(this);
    da->setObjectName(QStringLiteral("dal"));
    a->setObjectName(QStringLiteral("al"));
    const QDate oggi = QData(c.oggi());
    da->impostaData(DataDa(oggi.addMonths(-1)));
    a->impostaData(DataDa(oggi));
    da->setAccessibleName(QStringLiteral("Dal"));
    auto* etichettaA = new QLabel(QStringLiteral("a&l"), this);
    etichettaA->setBuddy(a);
    for (auto* d : {da, a}) {
        d->setEnabled(false);
        connect(intervallo, &QRadioButton::toggled, d, &QWidget::setEnabled);
    }
    layout->addWidget(tutto);
    auto* riga = new QHBoxLayout;
    riga->addWidget(intervallo);
    riga->addWidget(da);
    riga->addWidget(etichettaA);
    riga->addWidget(a);
    layout->addLayout(riga);
    auto* pulsanti = new QDialogButtonBox(this);
    auto* ok = pulsanti->addButton(QStringLiteral("&Esporta…"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("esporta"));
    ok->setDefault(true);
    pulsanti->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole);
    layout->addWidget(pulsanti);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pulsanti, &QDialogButtonBox::accepted, this, [this, &c, intervallo, da, a, excel] {
        std::optional<core::Data> dal, al;
        if (intervallo->isChecked()) {
            if (!DateValide(c.dialoghi, {da, a})) return;
            dal = da->data();
            al = a->data();
        }
        const QString scelto = QFileDialog::getSaveFileName(
            this, windowTitle(),
            excel ? QStringLiteral("registro.xlsx") : QStringLiteral("registro.csv"),
            excel ? QStringLiteral("Cartella di lavoro Excel (*.xlsx)")
                  : QStringLiteral("File CSV (*.csv)"));
        if (scelto.isEmpty()) return;
        const std::filesystem::path file = scelto.toStdString();
        auto& fs = c.file.fileSystem();
        const bool esisteva = fs.esiste(file);
        // Only a help to tidy up after a kill: the export goes ahead whatever it returns.
        (void)core::RicordaCartellaUscita(fs, c.file.percorso(core::kFileUscite),
                                          file.parent_path());
        const auto e = excel ? EsportaExcel(fs, file, c.griglia.righe(),
                                            {c.stato.NumeroConto, c.stato.BancaAppoggio}, dal, al)
                             : Esporta(fs, file, c.griglia.righe(), dal, al);
        if (e) {
            c.dialoghi.Messaggio(MessaggioFileUtente(*e, file, esisteva), ui::Pulsanti::Ok,
                                 ui::Icona::Esclamazione);
            return;
        }
        accept();
    });
}

}  // namespace estratti
