#include "estratti/anteprima_qt.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <exception>
#include <thread>

#include "estratti/modello_anteprima_qt.h"
#include "ui/testo_qt.h"

namespace estratti {

namespace {

using ui::InQString;

// The first lines of a CSV text: enough for the header's names and the number of columns,
// without splitting a whole large statement again.
std::string_view Inizio(std::string_view testo, std::size_t linee) {
    std::size_t fine = 0;
    for (std::size_t i = 0; i < linee; ++i) {
        fine = testo.find('\n', fine);
        if (fine == std::string_view::npos) return testo;
        ++fine;
    }
    return testo.substr(0, fine);
}

}  // namespace

AnteprimaQt::AnteprimaQt(ui::Contesto& contesto, FileEstratto file, MemoriaMappature* memoria,
                         QWidget* parent, OpzioniImportazione opzioni, Esecutore esegui)
    : QDialog(parent),
      c_(contesto),
      file_(std::move(file)),
      memoria_(memoria),
      opzioni_(std::move(opzioni)),
      esegui_(std::move(esegui)) {
    setWindowTitle(QStringLiteral("Importa estratto conto"));
    setObjectName(QStringLiteral("Anteprima"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(InQString("File: " + file_.nome), this));
    if (!file_.ofx) {
        auto* gruppo =
            new QGroupBox(QStringLiteral("Colonne del file (correggere se necessario)"), this);
        creaMappatura(gruppo);
        layout->addWidget(gruppo);
    }

    // What the reader had to skip, or what is missing before it can read: above the rows,
    // in the palette's own colours beside the standard warning sign.
    riquadroAvvisi_ = new QFrame(this);
    auto* riquadro = static_cast<QFrame*>(riquadroAvvisi_);
    riquadro->setFrameShape(QFrame::StyledPanel);
    auto* rigaAvvisi = new QHBoxLayout(riquadro);
    auto* icona = new QLabel(riquadro);
    const int lato = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    icona->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(lato, lato));
    icona->setAlignment(Qt::AlignTop);
    rigaAvvisi->addWidget(icona);
    avvisi_ = new QLabel(riquadro);
    avvisi_->setObjectName(QStringLiteral("avvisi"));
    avvisi_->setTextFormat(Qt::PlainText);
    avvisi_->setWordWrap(true);
    rigaAvvisi->addWidget(avvisi_, 1);
    riquadro->hide();
    layout->addWidget(riquadro);

    const bool lire = core::InLire(c_.stato);
    modello_ = new ModelloAnteprima(anteprima_, lire, this);
    tabella_ = new QTableView(this);
    tabella_->setObjectName(QStringLiteral("tabella"));
    tabella_->setAccessibleName(QStringLiteral("Movimenti dell'estratto conto"));
    tabella_->setModel(modello_);
    tabella_->setItemDelegateForColumn(kColTipo, new DelegatoTipo(anteprima_, tabella_));
    tabella_->setEditTriggers(QAbstractItemView::DoubleClicked |
                              QAbstractItemView::SelectedClicked |
                              QAbstractItemView::EditKeyPressed);
    // Tab leaves the table for the buttons; the arrows move among the cells.
    tabella_->setTabKeyNavigation(false);
    tabella_->setWordWrap(false);
    tabella_->verticalHeader()->setVisible(false);
    // Equal rows: the view places any row without measuring the ones before it. Tall
    // enough for the type's editor.
    tabella_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabella_->verticalHeader()->setDefaultSectionSize(QComboBox().sizeHint().height());
    tabella_->horizontalHeader()->setStretchLastSection(true);
    tabella_->horizontalHeader()->setResizeContentsPrecision(200);
    modello_->impostaTavolozza(tabella_->palette());
    layout->addWidget(tabella_, 1);
    connect(modello_, &ModelloAnteprima::righeCambiate, this, &AnteprimaQt::aggiornaStato);

    stato_ = new QLabel(this);
    stato_->setObjectName(QStringLiteral("stato"));
    layout->addWidget(stato_);
    auto* pulsanti = new QDialogButtonBox(this);
    importa_ = pulsanti->addButton(QStringLiteral("&Importa"), QDialogButtonBox::AcceptRole);
    pulsanti->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole);
    importa_->setDefault(true);
    importa_->setObjectName(QStringLiteral("cmdImporta"));
    connect(pulsanti, &QDialogButtonBox::accepted, this, &AnteprimaQt::conferma);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(pulsanti);
    resize(900, 560);
    rileggi();
}

AnteprimaQt::~AnteprimaQt() {
    // The view asks the model for rows while QWidget's destructor hides it, after the
    // preview the model reads from is gone: the view goes first.
    delete tabella_;
}

void AnteprimaQt::creaMappatura(QWidget* gruppo) {
    // Two rows of label and box keep the window within a small screen, whatever the length
    // of the file's column names.
    auto* form = new QGridLayout(gruppo);
    int posto = 0;
    auto aggiungi = [&](const QString& etichetta, QComboBox* box) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
        auto* nome = new QLabel(etichetta, gruppo);
        // The label is what a screen reader speaks for the box.
        nome->setBuddy(box);
        form->addWidget(nome, posto / 4, 2 * (posto % 4));
        form->addWidget(box, posto / 4, 2 * (posto % 4) + 1);
        ++posto;
    };
    const auto& m = file_.mappatura;
    const std::size_t righe = static_cast<std::size_t>(std::max(m.rigaIntestazione, 0)) + 100;
    const TabellaCsv t = SeparaCsv(Inizio(file_.testo, righe), m.separatore);
    // An unset column reads as a dash, not as a column of the file.
    QStringList nomi{QStringLiteral("—")};
    std::size_t colonne = 0;
    for (const auto& r : t.record) colonne = std::max(colonne, r.size());
    for (std::size_t k = 0; k < colonne; ++k) {
        QString nome = QStringLiteral("Colonna %1").arg(k + 1);
        if (m.rigaIntestazione >= 0 && m.rigaIntestazione < static_cast<int>(t.record.size()) &&
            k < t.record[m.rigaIntestazione].size() && !t.record[m.rigaIntestazione][k].empty())
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
        box->setItemData(0, QStringLiteral("nessuna colonna"), Qt::AccessibleTextRole);
        box->setCurrentIndex(valore + 1 < box->count() ? valore + 1 : 0);
        aggiungi(QString::fromLatin1(etichetta) + QLatin1Char(':'), box);
        colonne_.push_back(box);
        if (posto == 3) ++posto;  // Dare and Avere start the second row
    }
    decimale_ = new QComboBox(gruppo);
    decimale_->setObjectName(QStringLiteral("decimale"));
    decimale_->addItems({QStringLiteral("1.234,56"), QStringLiteral("1,234.56")});
    decimale_->setCurrentIndex(m.decimale == ',' ? 0 : 1);
    formatoData_ = new QComboBox(gruppo);
    formatoData_->setObjectName(QStringLiteral("formatoData"));
    // In the order of the FormatoData values.
    formatoData_->addItems(
        {QStringLiteral("gg/mm/aaaa"), QStringLiteral("aaaa-mm-gg"), QStringLiteral("mm/gg/aaaa")});
    formatoData_->setCurrentIndex(static_cast<int>(m.formatoData));
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
        mm.formatoData = static_cast<FormatoData>(formatoData_->currentIndex());
        mappaturaCambiata_ = true;
        rileggi();
    };
    for (auto* box : colonne_) connect(box, &QComboBox::currentIndexChanged, this, cambia);
    connect(decimale_, &QComboBox::currentIndexChanged, this, cambia);
    connect(formatoData_, &QComboBox::currentIndexChanged, this, cambia);
}

void AnteprimaQt::rileggi() {
    letto_ = false;
    annullato_ = false;
    errore_ = file_.ofx ? std::string() : ColonneMancanti(file_.mappatura);
    std::optional<std::variant<Estratto, ErroreEstratto>> letto;
    if (errore_.empty()) {
        if (esegui_) {
            // The worker owns a copy of the file: a cancelled read may outlive this window.
            auto esito = std::make_shared<std::optional<std::variant<Estratto, ErroreEstratto>>>();
            auto copia = std::make_shared<const FileEstratto>(file_);
            if (esegui_([esito, copia] { *esito = LeggiEstratto(*copia); }))
                letto = std::move(*esito);
        } else {
            letto = LeggiEstratto(file_);
        }
        if (!letto) {
            annullato_ = true;
            errore_ = "Lettura del file \"" + file_.nome + "\" annullata.";
        } else if (auto* e = std::get_if<ErroreEstratto>(&*letto)) {
            errore_ = e->messaggio;
        }
    }
    modello_->ricarica([&] {
        if (errore_.empty()) {
            letto_ = true;
            anteprima_ = PreparaAnteprima(std::get<Estratto>(*letto), c_.griglia.righe(), c_.stato);
        } else {
            anteprima_ = {};
        }
    });
    tabella_->resizeColumnsToContents();
    // The type's editor lists every type of the row's direction: room for the longest.
    int tipo = tabella_->columnWidth(kColTipo);
    for (const auto& t : core::TipiMovimento())
        tipo = std::max(tipo, tabella_->fontMetrics().horizontalAdvance(InQString(t.caption)));
    tabella_->setColumnWidth(kColTipo, tipo + QComboBox().sizeHint().height() + 8);
    aggiornaStato();
}

void AnteprimaQt::aggiornaStato() {
    QStringList righe;
    if (!errore_.empty()) righe << InQString(errore_);
    for (const auto& a : anteprima_.avvisi) righe << InQString(a);
    avvisi_->setText(righe.join(QLatin1Char('\n')));
    riquadroAvvisi_->setVisible(!righe.isEmpty());
    importa_->setEnabled(letto_);
    stato_->setText(letto_ ? QStringLiteral("Movimenti nell'estratto: %1; da importare: %2.")
                                 .arg(anteprima_.righe.size())
                                 .arg(modello_->incluse())
                           : QString());
}

void AnteprimaQt::changeEvent(QEvent* evento) {
    // The dialog hears of a new palette before its children inherit it.
    if (evento->type() == QEvent::PaletteChange && modello_) modello_->impostaTavolozza(palette());
    QDialog::changeEvent(evento);
}

void AnteprimaQt::conferma() {
    if (!letto_) return;
    if (mappaturaCambiata_ && memoria_) {
        if (auto e = memoria_->Ricorda(file_.banca, file_.mappatura))
            c_.dialoghi.Messaggio(core::MessaggioErroreFile(*e), ui::Pulsanti::Ok,
                                  ui::Icona::Esclamazione);
    }
    esito_ = ApplicaAnteprima(anteprima_, c_, opzioni_.passaAEuro);
    accept();
}

bool EseguiConAttesa(const std::function<void()>& lavoro, QWidget* parent,
                     std::chrono::milliseconds ritardo) {
    // Shared with the worker, which may outlive this call when the user cancels.
    struct Condiviso {
        std::function<void()> lavoro;
        std::atomic<bool> finito{false};
        std::exception_ptr errore;
    };
    auto s = std::make_shared<Condiviso>();
    s->lavoro = lavoro;
    std::thread lavoratore([s] {
        try {
            s->lavoro();
        } catch (...) {
            s->errore = std::current_exception();
        }
        s->finito.store(true, std::memory_order_release);
    });
    enum { kFinito = 0, kAttesaScaduta = 1, kAnnullato = 2 };
    QEventLoop ciclo;
    QTimer controllo;
    QObject::connect(&controllo, &QTimer::timeout, &ciclo, [&] {
        if (s->finito.load(std::memory_order_acquire)) ciclo.exit(kFinito);
    });
    controllo.start(10);
    // A quick job shows nothing; meanwhile the user's input waits, the rest of the event
    // loop (signals, the session manager) goes on.
    QTimer attesa;
    attesa.setSingleShot(true);
    QObject::connect(&attesa, &QTimer::timeout, &ciclo, [&] { ciclo.exit(kAttesaScaduta); });
    attesa.start(ritardo);
    const int primo = ciclo.exec(QEventLoop::ExcludeUserInputEvents);
    attesa.stop();
    if (primo == kAttesaScaduta && !s->finito.load(std::memory_order_acquire)) {
        QProgressDialog finestra(QStringLiteral("Lettura del file in corso…"), QString(), 0, 0,
                                 parent);
        finestra.setObjectName(QStringLiteral("attesa"));
        finestra.setWindowTitle(QStringLiteral("Importa estratto conto"));
        auto* annulla = new QPushButton(QStringLiteral("&Annulla"), &finestra);
        annulla->setObjectName(QStringLiteral("cmdAnnulla"));
        finestra.setCancelButton(annulla);
        finestra.setWindowModality(Qt::ApplicationModal);
        finestra.setAutoClose(false);
        finestra.setAutoReset(false);
        finestra.setMinimumDuration(0);
        QObject::connect(&finestra, &QProgressDialog::canceled, &ciclo,
                         [&] { ciclo.exit(kAnnullato); });
        QObject::connect(&finestra, &QDialog::rejected, &ciclo, [&] { ciclo.exit(kAnnullato); });
        finestra.show();
        ciclo.exec();
        finestra.hide();
    }
    if (!s->finito.load(std::memory_order_acquire)) {
        // Cancelled, or the program is ending: the job's result is not wanted.
        lavoratore.detach();
        return false;
    }
    lavoratore.join();
    if (s->errore) std::rethrow_exception(s->errore);
    return true;
}

bool VistaImportazioneQt::Esegui(const std::function<void()>& lavoro) {
    if (c_.dialoghi.Terminato()) return false;
    const bool finito = EseguiConAttesa(lavoro, parent_);
    return finito && !c_.dialoghi.Terminato();
}

std::optional<EsitoImportazione> VistaImportazioneQt::Anteprima(
    FileEstratto file, MemoriaMappature& memoria, const OpzioniImportazione& opzioni) {
    if (c_.dialoghi.Terminato()) return std::nullopt;
    const bool ofx = file.ofx;
    AnteprimaQt finestra(c_, std::move(file), &memoria, parent_, opzioni,
                         [this](const std::function<void()>& lavoro) { return Esegui(lavoro); });
    if (finestra.annullato() || c_.dialoghi.Terminato()) return std::nullopt;
    // A mapping to correct is told in the window itself; an unreadable OFX leaves nothing
    // to correct.
    if (!finestra.letto() && !finestra.mappaturaIncompleta()) {
        c_.dialoghi.Messaggio(finestra.errore(), ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        if (ofx) return std::nullopt;
    }
    if (finestra.exec() != QDialog::Accepted) return std::nullopt;
    return finestra.esito();
}

}  // namespace estratti
