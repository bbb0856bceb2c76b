// Saves a picture of every window and message box of the program, and a printed page,
// into the folder given on the command line (names end with the scale factor, so a run
// under QT_SCALE_FACTOR=1.5 adds its own set; a second argument "scuro" takes them under a
// dark theme, named *_scuro-*). Not a test: a person looks at the pictures.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <string>

#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "entry/form_inserimento_qt.h"
#include "main_window/form1_qt.h"
#include "main_window/frm_pass_qt.h"
#include "printing/frm_stampa_qt.h"
#include "printing/stampante_qt.h"
#include "setup/form17_qt.h"
#include "ui/dialoghi_qt.h"

namespace {

QString cartella;
QString scala;

QString tema;  // "_scuro" under a dark theme

void Salva(QWidget* w, const QString& nome) {
    w->grab().save(cartella + "/" + nome + tema + "-" + scala + ".png");
}

// A dark desktop theme: Fusion with a dark palette, as many dark desktops give it.
void TemaScuro() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QPalette p;
    const QColor fondo(53, 53, 53), base(35, 35, 35), testo(230, 230, 230);
    for (auto [ruolo, colore] : {std::pair{QPalette::Window, fondo},
                                 {QPalette::WindowText, testo},
                                 {QPalette::Base, base},
                                 {QPalette::AlternateBase, fondo},
                                 {QPalette::Text, testo},
                                 {QPalette::Button, fondo},
                                 {QPalette::ButtonText, testo},
                                 {QPalette::ToolTipBase, base},
                                 {QPalette::ToolTipText, testo},
                                 {QPalette::Highlight, QColor(42, 130, 218)},
                                 {QPalette::HighlightedText, QColor(Qt::black)}})
        p.setColor(ruolo, colore);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    QApplication::setPalette(p);
}

// Runs `apri`, which opens a modal window, and pictures that window once it shows.
void Modale(const QString& nome, const std::function<void()>& apri,
            const std::function<void(QWidget*)>& prepara = {}) {
    QTimer::singleShot(300, [nome, prepara] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (prepara) prepara(w);
        QApplication::processEvents();
        Salva(w, nome);
        if (auto* d = qobject_cast<QDialog*>(w)) d->done(0);
    });
    apri();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    cartella = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    scala = qEnvironmentVariable("QT_SCALE_FACTOR", "1").replace('.', '_');
    if (argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("scuro")) {
        tema = QStringLiteral("_scuro");
        TemaScuro();
    }
    QTemporaryDir dir;
    const std::filesystem::path programma = dir.path().toStdString();
    std::filesystem::create_directories(programma / "sys");

    core::FileDati file{core::FileSystemReale(), programma, programma / "sys"};
    core::StatoConto stato;
    ui::DialoghiQt dialoghiQt;
    ui::Dialoghi& dialoghi = dialoghiQt;

    // A register with every type of both currencies and the longest amounts.
    std::vector<core::RigaRegistro> righe;
    const std::string massimo = core::FormatoLire(core::Money::FromRaw(INT64_MIN));
    for (const core::TipoMovimento& t : core::TipiMovimento()) {
        righe.push_back({"03/04/2002", std::string(t.CausaleLire), "Rif. lungo 123456",
                         "99.999.999.999", massimo});
        righe.push_back({"04/04/2002", std::string(t.CausaleEuro), "Bolletta marzo",
                         "99.999.999.999,00", "-200.000.000.506,88"});
    }
    (void)file.SalvaRegistro(core::Registro(righe));
    stato.ModoValuta = "Lire";
    stato.BancaAppoggio = "Banca Popolare di Sondrio";
    stato.NumeroConto = "0000123456";
    stato.SaldoConto = core::Money::FromRaw(INT64_MIN);

    main_window::Form1Qt f(stato, file, dialoghi, [] { return core::Data{2002, 4, 5}; });
    (void)f.Carica();
    f.setWindowTitle("Quibora Lite Edition (Free) 12345 Banca Sella");
    f.show();
    QApplication::processEvents();
    Salva(&f, "main_window_lire");
    ui::Contesto& c = f.contesto();

    for (int posizione : {3, 13}) {
        const core::TipoMovimento& tipo =
            core::TipiMovimento()[static_cast<std::size_t>(posizione)];
        entry::FormInserimentoQt inserimento(tipo, c, &f);
        Modale(
            QString("entry_window_%1").arg(posizione), [&] { inserimento.exec(); },
            [](QWidget* w) { w->findChild<QLineEdit*>("txtImporto")->setText("1.500.000"); });
    }
    {
        main_window::FrmPassQt password(c, nullptr);
        Modale(
            "password_window", [&] { password.exec(); },
            [](QWidget* w) { w->findChild<QLineEdit*>("txtPass1")->setText("segreto"); });
    }
    {
        printing::FrmStampaQt stampa(
            c, [] { return printing::StampanteQt::Guasta(); }, &f);
        Modale("print_dialog", [&] { stampa.exec(); });
        printing::FrmStampaQt periodo(
            c, [] { return printing::StampanteQt::Guasta(); }, &f);
        Modale(
            "print_dialog_range", [&] { periodo.exec(); },
            [](QWidget* w) { w->findChild<QRadioButton*>("Option1_1")->click(); });
    }
    {
        core::StatoConto nuovo;
        setup::Form17Qt impostazione(nuovo, file, dialoghi, [] {});
        Modale("setup_window", [&] { impostazione.exec(); });
    }
    Modale("printer_choice", [] { (void)printing::ScegliStampante({"Ufficio", "PDF"}); });
    Modale("input_balance", [&] {
        (void)dialoghi.InputBox("Modifica/imposta nuovo saldo.", ui::kTitoloApplicazione,
                                core::TestoSaldo(stato.SaldoConto, stato.ModoValuta));
    });
    Modale("input_credit_line", [&] {
        (void)dialoghi.InputBox(
            "Imposta fido accordato. Fido impostato attualmente:\r\r£.  1.000.000",
            ui::kTitoloApplicazione, "");
    });
    const std::pair<const char*, const char*> messaggi[] = {
        {"message_invalid_amount", "Importo non valido"},
        {"message_date_order",
         "Non è possibile inserire un movimento con data inferiore all'ultima operazione "
         "nella tabella."},
        {"message_credit_line", "ATTENZIONE! SEI FUORI FIDO"},
        {"message_printer_refused",
         "Errore della stampante\nLa stampante \"PDF\" non ha accettato la stampa: "
         "Destination \"PDF\" is not accepting jobs."},
        {"message_pdf_saved",
         "Nessuna stampante installata: la stampa è stata salvata nel file\n"
         "/home/utente/quibora/stampa-registro-20020405-101500.pdf"},
        {"message_password",
         "Questa password non può essere memorizzata: il carattere \"!\" in posizione 1 non "
         "può essere scritto nel file della password. Sceglierne un'altra."},
    };
    for (const auto& [nome, testo] : messaggi)
        Modale(nome, [&] { dialoghi.Messaggio(testo, ui::Pulsanti::Ok, ui::Icona::Esclamazione); });
    Modale("message_question", [&] {
        dialoghi.Messaggio("Sei sicuro di rimuovere la password ?", ui::Pulsanti::SiNo,
                           ui::Icona::Domanda, "Rimuovi password");
    });

    // Euro, after the switch.
    stato.ModoValuta = "Euro";
    stato.SaldoConto = core::Money::FromRaw(2000000005068800);
    c.form1.ImpostaTesto("txtSaldo", core::FormatoEuro(stato.SaldoConto));
    c.form1.ImpostaTesto("Label2", "€.");
    c.form1.ImpostaTesto("Label6", "€uro");
    c.form1.ImpostaTesto("CmdEuro", "&Gestisci in Lire");
    QApplication::processEvents();
    Salva(&f, "main_window_euro");

    if (scala == "1" && tema.isEmpty()) {
        printing::FrmStampaQt stampa(
            c, [] { return printing::StampanteQt::Pdf(cartella + "/printout.pdf"); }, &f);
        stampa.show();
        stampa.findChild<QWidget*>("cmdOk")->setFocus();
        QMetaObject::invokeMethod(stampa.findChild<QObject*>("cmdOk"), "click");
    }
    return 0;
}
