// Pictures of the import preview, under the desktop's palette and a dark one, into the
// folder given on the command line (scripts/screenshot.sh). Not a test: a person looks.
#include <QApplication>
#include <QPalette>
#include <QTemporaryDir>

#include "estratti/anteprima_qt.h"
#include "main_window/form1_qt.h"
#include "ui/dialoghi_qt.h"

namespace {

// A bank's export as it comes: a title line, debits and credits in two columns, a movement
// before the register's last one and a line repeated.
constexpr std::string_view kEstratto =
    "Movimenti conto 0000123456\n"
    "Data contabile;Data valuta;Descrizione operazione;Uscite;Entrate\n"
    "20/05/2003;20/05/2003;Versamento contanti sportello;;300,00\n"
    "01/07/2003;01/07/2003;Interessi e competenze;;0,85\n"
    "04/07/2003;04/07/2003;Canone telefonico luglio;39,90;\n"
    "10/07/2003;10/07/2003;Pagamento carta di credito;212,45;\n"
    "10/07/2003;10/07/2003;Pagamento carta di credito;212,45;\n"
    "15/07/2003;15/07/2003;Bonifico a favore di Rossi Mario;520,00;\n"
    "21/07/2003;21/07/2003;Prelievo bancomat via Roma;150,00;\n"
    "27/07/2003;27/07/2003;Stipendio luglio;;1.650,00\n"
    "28/07/2003;28/07/2003;Pagamento utenze gas;48,30;\n";

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString cartella = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir dir;
    const std::filesystem::path programma = dir.path().toStdString();
    std::filesystem::create_directories(programma / "sys");
    core::FileDati file{core::FileSystemReale(), programma, programma / "sys"};
    core::Registro registro;
    registro.aggiungi(
        {"20/06/2003", "Addebito carta di credito", "Rata mutuo", "38.100,00", "-38.009,50"});
    (void)file.SalvaRegistro(registro);
    core::StatoConto stato;
    stato.ModoValuta = "Euro";
    stato.SaldoConto = core::Money::FromRaw(-380095000);
    stato.FidoConto = core::Money::FromUnits(-38500);
    ui::DialoghiQt dialoghi;
    main_window::Form1Qt f(stato, file, dialoghi, [] { return core::Data{2003, 7, 30}; });
    (void)f.Carica();

    estratti::FileEstratto estratto;
    estratto.nome = "estratto_luglio.csv";
    estratto.testo = std::string(kEstratto);
    estratto.mappatura = estratti::RilevaMappatura(estratto.testo);
    for (const bool scuro : {false, true}) {
        estratti::AnteprimaQt anteprima(f.contesto(), estratto, nullptr);
        if (scuro) {
            // Button and window colours; Qt derives the shades a style draws borders with.
            QPalette p(QColor(0x3c, 0x3c, 0x3c), QColor(0x32, 0x32, 0x32));
            p.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
            p.setColor(QPalette::AlternateBase, QColor(0x2c, 0x2c, 0x2c));
            p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
            anteprima.setPalette(p);
        }
        anteprima.show();
        QApplication::processEvents();
        anteprima.grab().save(cartella +
                              (scuro ? "/importa_estratto_scuro.png" : "/importa_estratto.png"));
    }
    // A file whose description column was not recognised: the user is asked to choose it.
    estratto.mappatura.colDescrizione = -1;
    estratti::AnteprimaQt daCorreggere(f.contesto(), estratto, nullptr);
    daCorreggere.show();
    QApplication::processEvents();
    daCorreggere.grab().save(cartella + "/importa_estratto_colonna.png");
    // A bank's Excel workbook, given as the second argument, through the same preview.
    if (argc > 2) {
        auto foglio = estratti::ApriEstratto(core::FileSystemReale(), argv[2], nullptr);
        if (auto* excel = std::get_if<estratti::FileEstratto>(&foglio)) {
            estratti::AnteprimaQt anteprima(f.contesto(), *excel, nullptr);
            anteprima.show();
            QApplication::processEvents();
            anteprima.grab().save(cartella + "/importa_excel.png");
        }
    }
    return 0;
}
