// Pictures of "Andamento del saldo" (light and dark palette) and "Cerca" with a search made,
// into the folder given on the command line. Not a test: a person looks at the pictures.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <string>

#include "core/importi.h"
#include "estratti/andamento_qt.h"
#include "estratti/ricerca_qt.h"
#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"
#include "ui/dialoghi_qt.h"

namespace {

// Three years of an ordinary account in euro: a salary each month, bills and withdrawals,
// a dip below zero each summer.
std::vector<core::RigaRegistro> Movimenti() {
    std::vector<core::RigaRegistro> righe;
    std::int64_t saldo = 120000;  // cents
    auto riga = [&](int g, int m, int a, const char* causale, std::int64_t importo, bool debito) {
        saldo += debito ? -importo : importo;
        char data[40];
        std::snprintf(data, sizeof data, "%02d/%02d/%04d", g, m, a);
        righe.push_back({data, causale, "", core::FormatoEuro(core::Money::FromRaw(importo * 100)),
                         core::FormatoEuro(core::Money::FromRaw(saldo * 100))});
    };
    for (int a = 2022; a <= 2024; ++a)
        for (int m = 1; m <= 12; ++m) {
            riga(1, m, a, "Versamento", 185000 + m * 1000, false);
            riga(5, m, a, "Addebito bolletta luce", 6000 + (m * 977) % 5000, true);
            riga(12, m, a, "Prelievo", 25000, true);
            riga(20, m, a, "Addebito rata mutuo", 98000, true);
            if (m >= 6 && m <= 8) riga(24, m, a, "Prelievo", 140000 + a % 3 * 20000, true);
            riga(27, m, a, "Addebito carta di credito", 30000 + (m * 3001) % 40000, true);
        }
    return righe;
}

void Scuro(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    p.setColor(QPalette::Window, QColor(45, 45, 48));
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(30, 30, 32));
    p.setColor(QPalette::Text, QColor(230, 230, 230));
    p.setColor(QPalette::Button, QColor(55, 55, 58));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    p.setColor(QPalette::Mid, QColor(90, 90, 95));
    p.setColor(QPalette::Highlight, QColor(80, 150, 230));
    app.setPalette(p);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString cartella = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir dir;
    const std::filesystem::path programma = dir.path().toStdString();
    std::filesystem::create_directories(programma / "sys");
    core::FileDati file{core::FileSystemReale(), programma, programma / "sys"};
    const auto movimenti = Movimenti();
    (void)file.SalvaRegistro(core::Registro(movimenti));
    core::StatoConto stato;
    ui::DialoghiQt dialoghi;
    main_window::Form1Qt f(stato, file, dialoghi, [] { return core::Data{2024, 12, 31}; });
    (void)f.Carica();
    stato.ModoValuta = "Euro";
    stato.SaldoConto = core::ValoreImporto(movimenti.back()[4]).value_or(core::Money{});
    stato.FidoConto = core::Money::FromUnits(-1500);
    ui::Contesto& c = f.contesto();

    {
        estratti::AndamentoQt andamento(c, &f);
        andamento.show();
        QTest::qWait(200);
        andamento.grab().save(cartella + "/andamento_saldo.png");
    }
    {
        estratti::CercaQt cerca(c, f.vistaGriglia(), &f);
        cerca.show();
        QTest::keyClicks(cerca.findChild<QLineEdit*>("testo"), "prelievo");
        QTest::keyClicks(cerca.findChild<QLineEdit*>("dal"), "01062023");
        QTest::keyClicks(cerca.findChild<QLineEdit*>("al"), "31/08/2023");
        cerca.vai(true);
        cerca.vai(true);
        QTest::qWait(100);
        cerca.grab().save(cartella + "/cerca.png");
    }
    Scuro(app);
    {
        estratti::AndamentoQt andamento(c, &f);
        andamento.show();
        QTest::qWait(200);
        andamento.grab().save(cartella + "/andamento_saldo-scuro.png");
    }
    return 0;
}
