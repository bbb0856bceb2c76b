#include "estratti/anteprima_qt.h"

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
#include "estratti/ricerca.h"
#include "ui/testo_qt.h"
#include "ui/valuta.h"

namespace estratti {

namespace {

using ui::InQString;

enum Colonna { kTick, kData, kTipo, kRiferimento, kImporto, kSaldo, kNote, kColonne };

}  // namespace

AnteprimaQt::AnteprimaQt(ui::Contesto& contesto, FileEstratto file, MemoriaMappature* memoria,
                         QWidget* parent, OpzioniImportazione opzioni)
    : QDialog(parent),
      c_(contesto),
      file_(std::move(file)),
      memoria_(memoria),
      opzioni_(std::move(opzioni)) {
    setWindowTitle(QStringLiteral("Importa estratto conto"));
    setObjectName(QStringLiteral("Anteprima"));
    auto* layout = new QVBoxLayout(this);
    auto* intestazione = new QLabel(InQString("File: " + file_.nome), this);
    layout->addWidget(intestazione);
    if (!file_.ofx) {
        auto* gruppo =
            new QGroupBox(QStringLiteral("Colonne del file (correggere se necessario)"), this);
        creaMappatura(gruppo);
        layout->addWidget(gruppo);
    }
    tabella_ = new QTableWidget(0, kColonne, this);
    tabella_->setObjectName(QStringLiteral("tabella"));
    tabella_->setHorizontalHeaderLabels({QString(), QStringLiteral("Data"),
                                         QStringLiteral("Causale"), QStringLiteral("Riferimento"),
                                         QStringLiteral("Importo"), QStringLiteral("Saldo"),
                                         QStringLiteral("Note")});
    tabella_->verticalHeader()->setVisible(false);
    tabella_->horizontalHeader()->setStretchLastSection(true);
    tabella_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(tabella_, 1);
    connect(tabella_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (riempiendo_ || item->column() != kTick) return;
        ImpostaInclusa(anteprima_, static_cast<std::size_t>(item->row()),
                       item->checkState() == Qt::Checked);
        aggiornaSaldi();
    });
    stato_ = new QLabel(this);
    layout->addWidget(stato_);
    auto* pulsanti = new QDialogButtonBox(this);
    auto* importa = pulsanti->addButton(QStringLiteral("&Importa"), QDialogButtonBox::AcceptRole);
    pulsanti->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole);
    importa->setDefault(true);
    importa->setObjectName(QStringLiteral("cmdImporta"));
    connect(pulsanti, &QDialogButtonBox::accepted, this, &AnteprimaQt::conferma);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(pulsanti);
    resize(900, 560);
    rileggi();
}

void AnteprimaQt::creaMappatura(QWidget* gruppo) {
    // Two rows of label and box keep the window within a small screen, whatever the length
    // of the file's column names.
    auto* form = new QGridLayout(gruppo);
    int posto = 0;
    auto aggiungi = [&](const QString& etichetta, QComboBox* box) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
        form->addWidget(new QLabel(etichetta, gruppo), posto / 4, 2 * (posto % 4));
        form->addWidget(box, posto / 4, 2 * (posto % 4) + 1);
        ++posto;
    };
    const TabellaCsv t = SeparaCsv(file_.testo, file_.mappatura.separatore);
    QStringList nomi{QStringLiteral("(nessuna)")};
    const auto& m = file_.mappatura;
    std::size_t colonne = 0;
    for (const auto& r : t.record) colonne = std::max(colonne, r.size());
    for (std::size_t k = 0; k < colonne; ++k) {
        QString nome = QStringLiteral("Colonna %1").arg(k + 1);
        if (m.rigaIntestazione >= 0 && m.rigaIntestazione < static_cast<int>(t.record.size()) &&
            k < t.record[m.rigaIntestazione].size())
            nome = InQString(t.record[m.rigaIntestazione][k]);
        nomi << nome;
    }
    const std::pair<const char*, int> campi[] = {{"Data", m.colData},
                                                 {"Descrizione", m.colDescrizione},
                                                 {"Importo", m.colImporto},
                                                 {"Dare", m.colDare},
                                                 {"Avere", m.colAvere}};
    for (const auto& [etichetta, valore] : campi) {
        auto* box = new QComboBox(gruppo);
        box->setObjectName(QString::fromLatin1(etichetta));
        box->addItems(nomi);
        box->setCurrentIndex(valore + 1);
        aggiungi(QString::fromLatin1(etichetta) + QLatin1Char(':'), box);
        colonne_.push_back(box);
        if (posto == 3) ++posto;  // Dare and Avere start the second row
    }
    decimale_ = new QComboBox(gruppo);
    decimale_->addItems({QStringLiteral("1.234,56"), QStringLiteral("1,234.56")});
    decimale_->setCurrentIndex(m.decimale == ',' ? 0 : 1);
    formatoData_ = new QComboBox(gruppo);
    formatoData_->addItems({QStringLiteral("gg/mm/aaaa"), QStringLiteral("aaaa-mm-gg")});
    formatoData_->setCurrentIndex(m.formatoData == FormatoData::GiornoMeseAnno ? 0 : 1);
    aggiungi(QStringLiteral("Importi:"), decimale_);
    aggiungi(QStringLiteral("Date:"), formatoData_);
    form->setColumnStretch(7, 1);
    auto cambia = [this] {
        auto& mm = file_.mappatura;
        mm.colData = colonne_[0]->currentIndex() - 1;
        mm.colDescrizione = colonne_[1]->currentIndex() - 1;
        mm.colImporto = colonne_[2]->currentIndex() - 1;
        mm.colDare = colonne_[3]->currentIndex() - 1;
        mm.colAvere = colonne_[4]->currentIndex() - 1;
        mm.decimale = decimale_->currentIndex() == 0 ? ',' : '.';
        mm.formatoData = formatoData_->currentIndex() == 0 ? FormatoData::GiornoMeseAnno
                                                           : FormatoData::AnnoMeseGiorno;
        mappaturaCambiata_ = true;
        rileggi();
    };
    for (auto* box : colonne_) connect(box, &QComboBox::currentIndexChanged, this, cambia);
    connect(decimale_, &QComboBox::currentIndexChanged, this, cambia);
    connect(formatoData_, &QComboBox::currentIndexChanged, this, cambia);
}

void AnteprimaQt::rileggi() {
    auto letto = LeggiEstratto(file_);
    if (auto* e = std::get_if<ErroreEstratto>(&letto)) {
        errore_ = e->messaggio;
        letto_ = false;
        anteprima_ = {};
        stato_->setText(InQString(errore_));
        riempi();
        return;
    }
    errore_.clear();
    letto_ = true;
    anteprima_ = PreparaAnteprima(std::get<Estratto>(letto), c_.griglia.righe(), c_.stato);
    riempi();
}

void AnteprimaQt::riempi() {
    riempiendo_ = true;
    tabella_->setRowCount(static_cast<int>(anteprima_.righe.size()));
    const bool lire = core::InLire(c_.stato);
    for (int r = 0; r < tabella_->rowCount(); ++r) {
        const RigaAnteprima& riga = anteprima_.righe[r];
        auto* tick = new QTableWidgetItem;
        tick->setFlags(EsclusioneObbligata(riga.esclusione)
                           ? Qt::ItemIsSelectable
                           : Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        tick->setCheckState(riga.inclusa ? Qt::Checked : Qt::Unchecked);
        tabella_->setItem(r, kTick, tick);
        tabella_->setItem(r, kData, new QTableWidgetItem(InQString(core::FormatoData(riga.data))));
        auto* tipo = new QComboBox;
        for (const auto& t : core::TipiMovimento()) tipo->addItem(InQString(t.caption));
        tipo->setCurrentIndex(riga.tipo->posizione);
        connect(tipo, &QComboBox::currentIndexChanged, this, [this, r](int i) {
            anteprima_.righe[r].tipo = core::TipoDaPosizione(i);
            Ricalcola(anteprima_);
            aggiornaSaldi();
        });
        tabella_->setCellWidget(r, kTipo, tipo);
        auto* rif = new QTableWidgetItem(InQString(riga.riferimento));
        rif->setToolTip(InQString(riga.descrizione));
        tabella_->setItem(r, kRiferimento, rif);
        auto* importo = new QTableWidgetItem(
            InQString((riga.credito ? "" : "-") +
                      core::FormatoModo(riga.importo, lire ? core::kLire : core::kEuro)));
        importo->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tabella_->setItem(r, kImporto, importo);
        auto* saldo = new QTableWidgetItem;
        saldo->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tabella_->setItem(r, kSaldo, saldo);
        tabella_->setItem(r, kNote, new QTableWidgetItem);
    }
    riempiendo_ = false;
    aggiornaSaldi();
    tabella_->resizeColumnsToContents();
}

void AnteprimaQt::aggiornaSaldi() {
    riempiendo_ = true;
    int incluse = 0;
    for (int r = 0; r < tabella_->rowCount(); ++r) {
        const RigaAnteprima& riga = anteprima_.righe[r];
        incluse += riga.inclusa;
        tabella_->item(r, kTick)->setCheckState(riga.inclusa ? Qt::Checked : Qt::Unchecked);
        tabella_->item(r, kSaldo)->setText(
            riga.inclusa ? InQString(core::FormatoModo(riga.saldo, anteprima_.modoValuta))
                         : QString());
        tabella_->item(r, kSaldo)->setForeground(riga.saldo.isNegative() ? Qt::red : Qt::black);
        std::string note = TestoEsclusione(riga.esclusione);
        auto aggiungi = [&](const char* t) { note += (note.empty() ? "" : "; ") + std::string(t); };
        if (riga.accorciato) aggiungi("Riferimento accorciato");
        if (riga.riparato) aggiungi("Caratteri non memorizzabili sostituiti");
        if (riga.inclusa && riga.fuoriFido) aggiungi("Fuori fido");
        tabella_->item(r, kNote)->setText(InQString(note));
    }
    riempiendo_ = false;
    if (letto_)
        stato_->setText(QStringLiteral("Movimenti nell'estratto: %1; da importare: %2.")
                            .arg(tabella_->rowCount())
                            .arg(incluse));
}

void AnteprimaQt::conferma() {
    if (!letto_) {
        c_.dialoghi.Messaggio(errore_, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        return;
    }
    if (mappaturaCambiata_ && memoria_) {
        if (auto e = memoria_->Ricorda(file_.banca, file_.mappatura))
            c_.dialoghi.Messaggio(core::MessaggioErroreFile(*e), ui::Pulsanti::Ok,
                                  ui::Icona::Esclamazione);
    }
    esito_ = ApplicaAnteprima(anteprima_, c_, opzioni_.passaAEuro);
    accept();
}

bool VistaImportazioneQt::Esegui(const std::function<void()>& lavoro) {
    lavoro();
    return true;
}

std::optional<EsitoImportazione> VistaImportazioneQt::Anteprima(
    FileEstratto file, MemoriaMappature& memoria, const OpzioniImportazione& opzioni) {
    AnteprimaQt finestra(c_, std::move(file), &memoria, parent_, opzioni);
    if (!finestra.letto() && finestra.anteprima().righe.empty())
        c_.dialoghi.Messaggio(finestra.errore(), ui::Pulsanti::Ok, ui::Icona::Esclamazione);
    if (finestra.exec() != QDialog::Accepted) return std::nullopt;
    return finestra.esito();
}

}  // namespace estratti
