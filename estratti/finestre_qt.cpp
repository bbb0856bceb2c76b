#include "estratti/finestre_qt.h"

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
#include "estratti/esportazione.h"
#include "estratti/ricerca.h"
#include "ui/testo_qt.h"
#include "ui/valuta.h"

namespace estratti {

namespace {

using ui::InQString;

QDate QData(const core::Data& d) {
    return QDate(d.anno, d.mese, d.giorno);
}

core::Data DataDa(const QDate& d) {
    return {d.year(), d.month(), d.day()};
}

enum Colonna { kTick, kData, kTipo, kRiferimento, kImporto, kSaldo, kNote, kColonne };

}  // namespace

AnteprimaQt::AnteprimaQt(ui::Contesto& contesto, FileEstratto file, MemoriaMappature* memoria,
                         QWidget* parent)
    : QDialog(parent), c_(contesto), file_(std::move(file)), memoria_(memoria) {
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
    riepilogo_ = ApplicaAnteprima(anteprima_, c_).riepilogo;
    accept();
}

bool ImportaEstratto(ui::Contesto& c, const std::filesystem::path& file,
                     const std::filesystem::path& cartellaConfigurazione, QWidget* parent) {
    MemoriaMappature memoria(c.file.fileSystem(), cartellaConfigurazione / kFileMappature);
    memoria.Carica();
    auto aperto = ApriEstratto(c.file.fileSystem(), file, &memoria);
    if (auto* e = std::get_if<ErroreEstratto>(&aperto)) {
        c.dialoghi.Messaggio(e->messaggio, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        return false;
    }
    AnteprimaQt finestra(c, std::get<FileEstratto>(std::move(aperto)), &memoria, parent);
    if (!finestra.letto() && finestra.anteprima().righe.empty()) {
        c.dialoghi.Messaggio(finestra.errore(), ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        if (std::get_if<FileEstratto>(&aperto) == nullptr) return false;
    }
    if (finestra.exec() != QDialog::Accepted) return false;
    c.dialoghi.Messaggio(finestra.riepilogo(), ui::Pulsanti::Ok, ui::Icona::Informazione,
                         "Importa estratto conto");
    return true;
}

class AndamentoQt::Grafici {
  public:
    QChart* linea = nullptr;
    QChart* barre = nullptr;
    QDateTimeAxis* asseX = nullptr;
    QValueAxis* asseY = nullptr;
    Andamento dati;
};

AndamentoQt::AndamentoQt(const ui::Contesto& c, QWidget* parent)
    : QDialog(parent), g_(std::make_unique<Grafici>()) {
    setWindowTitle(QStringLiteral("Andamento del saldo"));
    g_->dati = CalcolaAndamento(c.griglia.righe(), c.stato);
    const bool lire = core::InLire(c.stato);
    auto* layout = new QVBoxLayout(this);
    auto* riga = new QHBoxLayout;
    da_ = new QDateEdit(this);
    a_ = new QDateEdit(this);
    for (auto* d : {da_, a_}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    if (!g_->dati.punti.empty()) {
        da_->setDate(QData(g_->dati.punti.front().data));
        a_->setDate(QData(g_->dati.punti.back().data));
    }
    riga->addWidget(new QLabel(QStringLiteral("Dal:"), this));
    riga->addWidget(da_);
    riga->addWidget(new QLabel(QStringLiteral("al:"), this));
    riga->addWidget(a_);
    auto* applica = new QPushButton(QStringLiteral("&Mostra"), this);
    auto* png = new QPushButton(QStringLiteral("&Salva immagine PNG…"), this);
    riga->addWidget(applica);
    riga->addStretch();
    riga->addWidget(png);
    layout->addLayout(riga);

    const QString valuta = QString::fromUtf8(ui::Didascalie(lire).nome);
    auto* saldo = new QLineSeries;
    saldo->setName(QStringLiteral("Saldo"));
    // One point per day (its last balance) keeps a long register light to draw.
    QList<QPointF> punti;
    punti.reserve(static_cast<qsizetype>(g_->dati.punti.size()));
    for (std::size_t i = 0; i < g_->dati.punti.size(); ++i) {
        const auto& p = g_->dati.punti[i];
        const double x =
            static_cast<double>(QDateTime(QData(p.data), QTime(12, 0)).toMSecsSinceEpoch());
        if (!punti.isEmpty() && punti.back().x() == x)
            punti.back().setY(p.saldo);
        else
            punti.append(QPointF(x, p.saldo));
    }
    saldo->replace(punti);
    g_->linea = new QChart;
    g_->linea->setTitle(QStringLiteral("Saldo (") + valuta + QLatin1Char(')'));
    g_->linea->addSeries(saldo);
    g_->asseX = new QDateTimeAxis;
    g_->asseX->setFormat(QStringLiteral("MM/yyyy"));
    g_->asseY = new QValueAxis;
    g_->asseY->setLabelFormat(QStringLiteral("%.0f"));
    g_->linea->addAxis(g_->asseX, Qt::AlignBottom);
    g_->linea->addAxis(g_->asseY, Qt::AlignLeft);
    saldo->attachAxis(g_->asseX);
    saldo->attachAxis(g_->asseY);
    if (g_->dati.fido < 0 && !punti.isEmpty()) {
        auto* fido = new QLineSeries;
        fido->setName(QStringLiteral("Fido"));
        fido->setPen(QPen(Qt::red, 1.5, Qt::DashLine));
        fido->append(punti.front().x(), g_->dati.fido);
        fido->append(punti.back().x(), g_->dati.fido);
        g_->linea->addSeries(fido);
        fido->attachAxis(g_->asseX);
        fido->attachAxis(g_->asseY);
    }
    auto* vistaLinea = new QChartView(g_->linea, this);
    vistaLinea->setRenderHint(QPainter::Antialiasing);

    g_->barre = new QChart;
    g_->barre->setTitle(QStringLiteral("Entrate e uscite per mese"));
    auto* vistaBarre = new QChartView(g_->barre, this);
    auto* grafici = new QWidget(this);
    auto* colonna = new QVBoxLayout(grafici);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->addWidget(vistaLinea, 1);
    colonna->addWidget(vistaBarre, 1);
    grafici_ = grafici;
    layout->addWidget(grafici, 1);
    connect(applica, &QPushButton::clicked, this, &AndamentoQt::applicaIntervallo);
    connect(png, &QPushButton::clicked, this, [this] {
        const QString f = QFileDialog::getSaveFileName(this, QStringLiteral("Salva immagine"),
                                                       QStringLiteral("andamento-saldo.png"),
                                                       QStringLiteral("Immagini PNG (*.png)"));
        if (!f.isEmpty() && !esportaPng(f))
            QMessageBox::warning(this, QStringLiteral("Quibora Lite Edition"),
                                 QStringLiteral("Impossibile salvare il file \"%1\".").arg(f));
    });
    resize(860, 680);
    applicaIntervallo();
}

AndamentoQt::~AndamentoQt() = default;

void AndamentoQt::applicaIntervallo() {
    const core::Data da = DataDa(da_->date());
    const core::Data a = DataDa(a_->date());
    g_->asseX->setRange(QDateTime(da_->date(), QTime(0, 0)), QDateTime(a_->date(), QTime(23, 59)));
    double minimo = g_->dati.fido, massimo = 0;
    for (const auto& p : g_->dati.punti) {
        if (p.data < da || a < p.data) continue;
        minimo = std::min(minimo, p.saldo);
        massimo = std::max(massimo, p.saldo);
    }
    const double margine = (massimo - minimo) * 0.05 + 1;
    g_->asseY->setRange(minimo - margine, massimo + margine);
    g_->asseY->applyNiceNumbers();

    g_->barre->removeAllSeries();
    for (auto* asse : g_->barre->axes()) g_->barre->removeAxis(asse);
    auto* entrate = new QBarSet(QStringLiteral("Entrate"));
    auto* uscite = new QBarSet(QStringLiteral("Uscite"));
    entrate->setColor(QColor(0, 140, 0));
    uscite->setColor(QColor(200, 0, 0));
    // Past three years of months the labels no longer fit under the bars: years instead.
    int nelPeriodo = 0;
    for (const auto& m : g_->dati.mesi)
        if (m.anno * 100 + m.mese >= da.anno * 100 + da.mese &&
            m.anno * 100 + m.mese <= a.anno * 100 + a.mese)
            ++nelPeriodo;
    const bool perAnno = nelPeriodo > 36;
    g_->barre->setTitle(perAnno ? QStringLiteral("Entrate e uscite per anno")
                                : QStringLiteral("Entrate e uscite per mese"));
    QStringList periodi;
    for (const auto& m : g_->dati.mesi) {
        if (m.anno * 100 + m.mese < da.anno * 100 + da.mese ||
            m.anno * 100 + m.mese > a.anno * 100 + a.mese)
            continue;
        const QString nome = perAnno ? QString::number(m.anno)
                                     : QStringLiteral("%1/%2")
                                           .arg(m.mese, 2, 10, QLatin1Char('0'))
                                           .arg(m.anno % 100, 2, 10, QLatin1Char('0'));
        if (!periodi.isEmpty() && periodi.back() == nome) {
            entrate->replace(entrate->count() - 1, entrate->at(entrate->count() - 1) + m.crediti);
            uscite->replace(uscite->count() - 1, uscite->at(uscite->count() - 1) + m.debiti);
            continue;
        }
        periodi << nome;
        *entrate << m.crediti;
        *uscite << m.debiti;
    }
    auto* serie = new QBarSeries;
    serie->append(entrate);
    serie->append(uscite);
    g_->barre->addSeries(serie);
    auto* asseMesi = new QBarCategoryAxis;
    asseMesi->append(periodi);
    if (!perAnno && periodi.size() > 12) {
        asseMesi->setLabelsAngle(-90);
        QFont piccolo = asseMesi->labelsFont();
        piccolo.setPointSizeF(piccolo.pointSizeF() * 0.85);
        asseMesi->setLabelsFont(piccolo);
    }
    g_->barre->addAxis(asseMesi, Qt::AlignBottom);
    serie->attachAxis(asseMesi);
    auto* asseValori = new QValueAxis;
    asseValori->setLabelFormat(QStringLiteral("%.0f"));
    g_->barre->addAxis(asseValori, Qt::AlignLeft);
    serie->attachAxis(asseValori);
    asseValori->applyNiceNumbers();
}

bool AndamentoQt::esportaPng(const QString& file) {
    return grafici_->grab().save(file, "PNG");
}

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

EsportaQt::EsportaQt(ui::Contesto& c, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Esporta"));
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
    connect(pulsanti, &QDialogButtonBox::accepted, this, [this, &c, intervallo, da, a] {
        const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Esporta"),
                                                          QStringLiteral("registro.csv"),
                                                          QStringLiteral("File CSV (*.csv)"));
        if (file.isEmpty()) return;
        std::optional<core::Data> dal, al;
        if (intervallo->isChecked()) {
            dal = DataDa(da->date());
            al = DataDa(a->date());
        }
        if (auto e = Esporta(c.file.fileSystem(), file.toStdString(), c.griglia.righe(), dal, al)) {
            c.dialoghi.Messaggio(core::MessaggioErroreFile(*e), ui::Pulsanti::Ok,
                                 ui::Icona::Esclamazione);
            return;
        }
        accept();
    });
}

}  // namespace estratti
