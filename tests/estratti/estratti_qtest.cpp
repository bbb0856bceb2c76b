#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "core/data_files.h"
#include "estratti/finestre_qt.h"
#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"
#include "main_window/menu_qt.h"
#include "support/contesto_finto.h"

namespace {

const std::filesystem::path kDati = QUIBORA_DATI_ESTRATTI_QT;

// Screenshots for the README when QUIBORA_SCREENSHOTS names a folder.
void Foto(QWidget* w, const char* nome) {
    const QByteArray cartella = qgetenv("QUIBORA_SCREENSHOTS");
    if (cartella.isEmpty()) return;
    const QString file = QString::fromUtf8(cartella) + QLatin1Char('/') + QLatin1String(nome);
    EXPECT_TRUE(w->grab().save(file, "PNG")) << file.toStdString();
}

// A statement dropped on the main window: the preview opens, its default button imports,
// and the data files hold exactly the grid.
TEST(EstrattiQt, FileTrascinatoAnteprimaConfermaEFileDati) {
    test::CartellaTemporanea dir;
    std::filesystem::create_directories(dir / "sys");
    core::FileDati file{core::FileSystemReale(), dir.path(), dir / "sys"};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    main_window::Form1Qt f(stato, file, dialoghi, [] { return core::Data{2024, 3, 1}; });
    ASSERT_EQ(f.Carica(), 0);
    f.show();
    ASSERT_NE(f.findChild<QMenuBar*>(), nullptr);

    bool visto = false;
    QTimer attesa;
    QObject::connect(&attesa, &QTimer::timeout, [&] {
        estratti::AnteprimaQt* a = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<estratti::AnteprimaQt*>(w); d && d->isVisible()) a = d;
        if (!a || visto) return;
        visto = true;
        EXPECT_EQ(a->windowTitle(), "Importa estratto conto");
        EXPECT_EQ(a->tabella()->rowCount(), 4);
        Foto(a, "importa_estratto.png");
        a->findChild<QPushButton*>("cmdImporta")->click();
        EXPECT_TRUE(a->findChild<QPushButton*>("cmdImporta")->isDefault());  // the default button confirms
    });
    attesa.start(20);
    QMimeData dati;
    dati.setUrls({QUrl::fromLocalFile(QString::fromStdString((kDati / "conto_102.ofx").string()))});
    QDropEvent rilascio(QPointF(50, 50), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &rilascio);
    for (int i = 0; i < 500 && !(visto && !QApplication::activeModalWidget()); ++i)
        QTest::qWait(10);
    ASSERT_TRUE(visto);

    ASSERT_EQ(f.griglia().Rows(), 4);
    EXPECT_EQ(f.griglia().TextMatrix(3, 4), "1.515,63");
    core::Registro salvato;
    ASSERT_EQ(file.LeggiRegistro(salvato), 0);
    EXPECT_EQ(salvato, f.griglia().righe());
    EXPECT_EQ(test::LeggiByte(dir / "listcol1.txt"),
              "\"05/01/2024\"\r\n\"27/01/2024\"\r\n\"10/02/2024\"\r\n");
    const auto testi = dialoghi.testiMessaggi();
    ASSERT_FALSE(testi.empty());
    EXPECT_NE(testi.back().find("Il saldo del registro a quella data coincide."), std::string::npos)
        << testi.back();

    estratti::AndamentoQt andamento(f.contesto(), &f);
    andamento.show();
    Foto(&andamento, "andamento_saldo.png");
    estratti::CercaQt cerca(f.contesto(), f.vistaGriglia(), &f);
    cerca.show();
    cerca.testo()->setText("gas");
    cerca.vai(true);
    EXPECT_EQ(f.griglia().Row(), 3);
    Foto(&cerca, "cerca.png");
}

}  // namespace
