#include "main_window/form1_qt.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "entry/form_inserimento_qt.h"
#include "grid/modello_griglia_qt.h"
#include "grid/vista_griglia_qt.h"
#include "main_window/frm_pass_qt.h"
#include "main_window/logo_qt.h"
#include "main_window/menu_qt.h"
#include "printing/frm_stampa_qt.h"
#include "ui/dialoghi_qt.h"
#include "ui/testo_qt.h"
#include "ui/valuta.h"

namespace main_window {

namespace {

constexpr double kLarghezza = 9285;
constexpr double kAltezza = 7200;

const QColor kBluScuro(0, 0, 128);
const QColor kRossoDitta(192, 0, 0);

const char* const kAvvisoProdotto =
    "Quibora Lite Edition\n"
    "Registro del conto corrente personale. Versione gratuita per uso personale.";
const char* const kNotaLegale = "© 2026 Quibora Software";

struct Posto {
    double left, top, width, height;
};

template <typename W>
W* Crea(QWidget* padre, const char* nome, const Posto& posto) {
    auto* w = new W(padre);
    w->setObjectName(QString::fromLatin1(nome));
    ui::Posiziona(w, posto.left, posto.top, posto.width, posto.height);
    return w;
}

QLabel* Etichetta(QWidget* padre, const char* nome, const char* testo, const Posto& posto,
                  double punti, bool grassetto, const QColor& colore) {
    auto* l = Crea<QLabel>(padre, nome, posto);
    l->setText(QString::fromUtf8(testo));
    l->setFont(ui::FontSans(punti, grassetto));
    // The designed colour where it reads on the user's theme, a readable one where not.
    ui::ColoraTesto(l, colore);
    return l;
}

}  // namespace

Form1Qt::Form1Qt(core::StatoConto& stato, core::FileDati& file, ui::Dialoghi& dialoghi,
                 std::function<core::Data()> oggi, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      finestra_(this, "Form1"),
      contesto_{stato, griglia_, file, dialoghi, finestra_, std::move(oggi)},
      form1_(contesto_, *this) {
    setObjectName(QStringLiteral("Form1"));
    ui::DimensionaFinestra(this, kLarghezza, kAltezza);
    creaControlli();
    new MenuQt(*this);
}

Form1Qt::~Form1Qt() {
    // The model watches the grid; it must stop before the grid goes.
    delete vista_;
    modello_.reset();
}

void Form1Qt::creaControlli() {
    const QColor evidenziato = palette().color(QPalette::Highlight);
    const QFont normale = ui::FontSans(8.25, false);
    setFont(normale);

    auto* movimenti =
        Etichetta(this, "Label1", "Movimenti", {4020, 120, 1455, 375}, 12, true, evidenziato);

    modello_ = std::make_unique<grid::ModelloGrigliaQt>(griglia_);
    vista_ = new grid::VistaGrigliaQt(*modello_, this);
    vista_->setObjectName(QStringLiteral("Grid"));
    // Held, not inherited: the menu bar moves the controls onto a page of their own, and an
    // inherited face does not survive the move.
    vista_->setFont(normale);
    ui::Posiziona(vista_, 143, 480, 8985, 3135);
    // A view takes its spoken name from itself, not from a label bound to it.
    vista_->setAccessibleName(movimenti->text());
    movimenti->setBuddy(vista_);

    auto* causale =
        Etichetta(this, "Label4", "Causale", {1080, 3720, 1095, 255}, 12, true, evidenziato);

    lista_ = Crea<QListWidget>(this, "List1", {150, 4080, 3015, 2985});
    lista_->setFont(ui::FontSans(8.25, true));
    lista_->setSortingEnabled(true);
    for (std::string_view tipo : core::OrdineInserimentoTipi())
        lista_->addItem(ui::InQString(tipo));
    lista_->setCurrentRow(-1);
    lista_->setAccessibleName(causale->text());
    causale->setBuddy(lista_);
    lista_->installEventFilter(this);
    connect(lista_, &QListWidget::itemClicked, this, [this] {
        form1_.List1_Click(lista_->currentRow());
        aggiornaSaldoParlato();
    });

    auto pulsante = [this](const char* nome, const char* testo, double top, auto gestore) {
        auto* b = Crea<QPushButton>(this, nome, {7320, top, 1815, 255});
        b->setText(QString::fromUtf8(testo));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, gestore] {
            (form1_.*gestore)();
            Riprendi();
        });
        return b;
    };
    auto* cmdPass = pulsante("cmdPass", "", 3720, &Form1::cmdPass_Click);
    auto* cmdfido = pulsante("Cmdfido", "Im&posta fido", 4080, &Form1::Cmdfido_Click);
    auto* rimuovi = pulsante("Rimuovi", "Rim.&1° Movim.", 4440, &Form1::Rimuovi_Click);
    auto* rimuoviu = pulsante("Rimuoviu", "&Rim.Ult.Movim.", 4800, &Form1::Rimuoviu_Click);
    auto* stampa = pulsante("CmdStampa", "&Stampa", 5160, &Form1::CmdStampa_Click);
    auto* euro = pulsante("CmdEuro", "", 5520, &Form1::CmdEuro_Click);
    auto* saldo = pulsante("CmdSaldo", "&Modifica saldo", 5880, &Form1::CmdSaldo_Click);
    auto* esci = pulsante("CmdEsci", "&Esci", 6240, &Form1::CmdEsci_Click);
    for (QPushButton* b : {rimuovi, rimuoviu, stampa}) b->setEnabled(false);

    auto* etichettaSaldo =
        Etichetta(this, "Label3", "Saldo", {7920, 6480, 735, 255}, 9.75, true, evidenziato);
    Etichetta(this, "Label2", "", {7020, 6840, 255, 255}, 9.75, true, evidenziato);

    auto* txtSaldo = Crea<QLineEdit>(this, "txtSaldo", {7320, 6780, 1815, 345});
    txtSaldo->setReadOnly(true);
    txtSaldo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtSaldo->setFont(ui::FontSans(9.75, true));
    // A long balance shows whole in a narrower face, never cut to a plausible other number.
    connect(txtSaldo, &QLineEdit::textChanged, this, [this, txtSaldo] {
        ui::AdattaTestoCasella(txtSaldo, ui::FontSans(9.75, true));
        aggiornaSaldoParlato();
    });
    etichettaSaldo->setBuddy(txtSaldo);
    saldo_ = txtSaldo;

    ui::AdattaCarattere(Etichetta(this, "Label5", "Divisa di gestione attuale:",
                                  {3840, 6840, 2355, 315}, 9.75, false, kBluScuro));
    ui::AdattaCarattere(
        Etichetta(this, "Label6", "", {6300, 6840, 495, 255}, 9.75, false, kBluScuro),
        {QString::fromUtf8(ui::kDidascalieEuro.nome), QString::fromUtf8(ui::kDidascalieLire.nome)});

    auto* immagine = Crea<QLabel>(this, "Image1", {4380, 3960, 1665, 1410});
    immagine->setPixmap(LogoQuibora(immagine->size()));

    ui::AdattaCarattere(Etichetta(this, "Label7", kNotaLegale, {3840, 5400, 2775, 255}, 8.25, true,
                                  palette().color(QPalette::WindowText)));

    auto* ditta = Crea<QPlainTextEdit>(this, "txtDitta", {4080, 5760, 2535, 1095});
    ditta->setReadOnly(true);
    ditta->setPlainText(QString::fromUtf8(kAvvisoProdotto));
    ditta->setFont(normale);
    ditta->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ditta->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ditta->setTabChangesFocus(true);
    ditta->document()->setDocumentMargin(2);
    ditta_ = ditta;
    coloraAvviso();
    ditta->setAccessibleName(QStringLiteral("Informazioni sul prodotto"));

    // The designed tab order: the grid, the list, then the buttons by their tab index.
    QWidget* ordine[] = {vista_, lista_,   rimuovi,  stampa,  euro,  saldo,
                         esci,   txtSaldo, rimuoviu, cmdfido, ditta, cmdPass};
    for (std::size_t i = 1; i < std::size(ordine); ++i) setTabOrder(ordine[i - 1], ordine[i]);

    // The captions set later are fitted for every text they can take.
    ui::AdattaCarattere(euro, {QString::fromUtf8(ui::kDidascalieLire.passaggio),
                               QString::fromUtf8(ui::kDidascalieEuro.passaggio)});
    ui::AdattaCarattere(
        cmdPass, {QStringLiteral("Rimuovi Pass&word"), QStringLiteral("Inserisci Pass&word")});
    ui::AdattaTesti(this);
}

int Form1Qt::Carica() {
    const int esito = form1_.Form_Load();
    aggiornaSaldoParlato();
    return esito;
}

void Form1Qt::ApriInserimento(const core::TipoMovimento& tipo) {
    {
        entry::FormInserimentoQt finestra(tipo, contesto_, this);
        finestra.exec();
    }
    Riprendi();
}

void Form1Qt::ApriPassword() {
    {
        FrmPassQt finestra(contesto_, this);
        finestra.exec();
    }
    Riprendi();
}

void Form1Qt::ApriStampa() {
    {
        printing::FrmStampaQt finestra(contesto_, this);
        finestra.exec();
    }
    Riprendi();
}

void Form1Qt::Riprendi() {
    aggiornaSaldoParlato();
    if (!contesto_.dialoghi.Terminato()) ui::RiattivaFinestra(this);
}

// The notice: on the button face of the theme, in dark red where that reads.
void Form1Qt::coloraAvviso() {
    QPalette p = ditta_->palette();
    p.setColor(QPalette::Base, palette().color(QPalette::Button));
    ditta_->setPalette(p);
    ui::ColoraTesto(ditta_, kRossoDitta);
}

void Form1Qt::aggiornaSaldoParlato() {
    if (saldo_) saldo_->setAccessibleName(ui::InQString(ui::NomeParlatoSaldo(contesto_.stato)));
}

void Form1Qt::closeEvent(QCloseEvent* evento) {
    // After the program has been ended (the data reset, say) nothing may be saved again.
    // A failed save the user chose not to leave keeps the window open.
    if (form1_.Form_Unload())
        evento->accept();
    else
        evento->ignore();
}

void Form1Qt::showEvent(QShowEvent* evento) {
    if (!centrata_ && screen()) {
        centrata_ = true;
        QRect cornice = frameGeometry();
        cornice.moveCenter(screen()->availableGeometry().center());
        move(cornice.topLeft());
    }
    QWidget::showEvent(evento);
}

// A desktop theme changed while the program runs: the coloured captions are made readable
// on its colours.
void Form1Qt::changeEvent(QEvent* evento) {
    QWidget::changeEvent(evento);
    if (evento->type() != QEvent::PaletteChange || ricolorazioneInAttesa_) return;
    // Once every control has the new theme's colours, not while they are being handed down.
    ricolorazioneInAttesa_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            ricolorazioneInAttesa_ = false;
            coloraAvviso();
            ui::RicoloraTesti(this);
            vista_->AggiornaColori();
        },
        Qt::QueuedConnection);
}

// Enter on the list chooses the highlighted type, as a click does; the arrow keys only
// move the highlight.
bool Form1Qt::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == lista_ && evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent*>(evento)->key();
        if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) {
            form1_.List1_Click(lista_->currentRow());
            aggiornaSaldoParlato();
            return true;
        }
    }
    return QWidget::eventFilter(oggetto, evento);
}

}  // namespace main_window
