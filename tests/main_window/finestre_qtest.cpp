#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "entry/form_inserimento_qt.h"
#include "main_window/form1_qt.h"
#include "main_window/frm_pass_qt.h"
#include "printing/frm_stampa_qt.h"
#include "printing/stampante_qt.h"
#include "support/cartella_temporanea.h"
#include "support/finti.h"
#include "ui/finestra_qt.h"

namespace {

namespace fs = std::filesystem;

// The labels and buttons of a window whose text does not fit inside them with space to
// spare.
QStringList TestiTagliati(QWidget* finestra) {
    QStringList tagliati;
    for (QWidget* w : finestra->findChildren<QWidget*>()) {
        const QString testo = ui::TestoMostrato(w);
        if (testo.isEmpty() || w->isHidden()) continue;
        if (w->fontMetrics().horizontalAdvance(testo) > ui::SpazioPerIlTesto(w))
            tagliati << w->objectName() + ": " + testo;
    }
    return tagliati;
}

struct Finestre : ::testing::Test {
    Finestre() {
        fs::create_directories(dir / "sys");
        const std::vector<core::RigaRegistro> righe(
            20, {"03/04/2002", "Prelievo", "rif", "1.000,00", "-1,00"});
        EXPECT_FALSE(file.SalvaRegistro(core::Registro(righe)));
        EXPECT_EQ(f.Carica(), 0);
        f.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    }

    test::CartellaTemporanea dir;
    core::FileDati file{core::FileSystemReale(), dir.path(), dir / "sys"};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    main_window::Form1Qt f{stato, file, dialoghi, [] { return core::Data{2002, 4, 5}; }};
};

// Every caption of every window fits its control, in both currencies.
TEST_F(Finestre, OgniTestoStaNelSuoRiquadro) {
    EXPECT_EQ(TestiTagliati(&f), QStringList());
    QTest::mouseClick(f.findChild<QAbstractButton*>("CmdEuro"), Qt::LeftButton);
    EXPECT_EQ(TestiTagliati(&f), QStringList());

    ui::Contesto& c = f.contesto();
    for (const core::TipoMovimento& tipo : core::TipiMovimento()) {
        entry::FormInserimentoQt inserimento(tipo, c, &f);
        EXPECT_EQ(TestiTagliati(&inserimento), QStringList()) << tipo.caption;
    }
    main_window::FrmPassQt password(c, &f);
    EXPECT_EQ(TestiTagliati(&password), QStringList());
    printing::FrmStampaQt stampa(
        c, [] { return printing::StampanteQt::Guasta(); }, &f);
    stampa.show();
    QTest::mouseClick(stampa.findChild<QRadioButton*>("Option1_1"), Qt::LeftButton);
    EXPECT_EQ(TestiTagliati(&stampa), QStringList());
}

}  // namespace
