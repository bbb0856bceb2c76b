#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <set>

#include "main_window/form1_qt.h"
#include "setup/form17_qt.h"
#include "startup/avvio_qt.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kTitolo = "Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno";

class AvvioQt : public ::testing::Test {
  protected:
    AvvioQt() {
        fs::create_directories(dir_ / "prog");
        fs::create_directories(dir_ / "conf");
    }
    std::set<fs::path> contenuto() const {
        return {fs::recursive_directory_iterator(dir_.path()), {}};
    }

    test::CartellaTemporanea dir_;
    test::DialoghiFinti dialoghi_;
    avvio::ProgrammaQt p_{dir_ / "prog", dir_ / "conf", dialoghi_, [] { return core::Data{}; }};
};

TEST_F(AvvioQt, PrimoUsoApreLImpostazioneEPoiLaFinestraPrincipale) {
    EXPECT_TRUE(p_.Avvia());
    ASSERT_NE(p_.impostazione(), nullptr);
    EXPECT_TRUE(p_.impostazione()->isVisible());
    EXPECT_EQ(p_.principale(), nullptr);
    EXPECT_FALSE(fs::exists(dir_ / "prog" / "dati.txt"));

    p_.impostazione()->findChild<QLineEdit*>("TxtConto")->setText("12345");
    p_.impostazione()->findChild<QLineEdit*>("TxtBanca")->setText("Banca Uno");
    QTest::mouseClick(p_.impostazione()->findChild<QCheckBox*>("ChPass"), Qt::LeftButton);
    QTest::mouseClick(p_.impostazione()->findChild<QPushButton*>("CmdOk"), Qt::LeftButton);
    ASSERT_NE(p_.principale(), nullptr);
    EXPECT_TRUE(p_.principale()->isVisible());
    EXPECT_EQ(p_.principale()->windowTitle(), kTitolo);
}

// The password typed in the real window (nullptr: Cancel), and the messages shown.
struct CasoPassword {
    const char* digitata;
    std::vector<std::string> messaggi;
};

class AvvioQtPassword : public AvvioQt, public ::testing::WithParamInterface<CasoPassword> {};

TEST_P(AvvioQtPassword, ChiedeLaPasswordPrimaDellaFinestra) {
    const auto& c = GetParam();
    const bool accettata = c.digitata && c.messaggi.empty();
    std::ofstream(dir_ / "prog" / "dati.txt") << "\"12345\",\"Banca Uno\"\r\n";
    std::ofstream(dir_ / "conf" / "Vorn.lst") << "\"Tgjvjzv\"\r\n";  // "Segreto"
    const auto prima = contenuto();
    QTimer::singleShot(0, [&c] {
        QWidget* finestra = QApplication::activeModalWidget();
        ASSERT_NE(finestra, nullptr);
        if (c.digitata) finestra->findChild<QLineEdit*>("txtPass1")->setText(c.digitata);
        QTest::mouseClick(finestra->findChild<QPushButton*>(c.digitata ? "cmdOk" : "cmdAnnulla"),
                          Qt::LeftButton);
    });

    EXPECT_EQ(p_.Avvia(), accettata);
    EXPECT_EQ(dialoghi_.testiMessaggi(), c.messaggi);
    EXPECT_EQ(p_.terminato(), !accettata);
    ASSERT_NE(p_.principale(), nullptr);
    EXPECT_EQ(p_.principale()->isVisible(), accettata);
    EXPECT_EQ(p_.principale()->windowTitle(), accettata ? kTitolo : "");
    EXPECT_EQ(contenuto(), prima) << "start-up writes nothing";
}

INSTANTIATE_TEST_SUITE_P(Tabella, AvvioQtPassword,
                         ::testing::Values(CasoPassword{"  sEgReTo ", {}},
                                           CasoPassword{"segreta", {"Password errata"}},
                                           CasoPassword{nullptr, {}}));

TEST_F(AvvioQt, UnaSecondaCopiaVieneRifiutata) {
    const QString percorso = QString::fromStdString((dir_ / "quibora.lock").string());
    QLockFile prima(percorso), seconda(percorso);
    ASSERT_TRUE(avvio::BloccaIstanzaUnica(prima, "quibora", dialoghi_));
    EXPECT_TRUE(dialoghi_.messaggi.empty());
    EXPECT_FALSE(avvio::BloccaIstanzaUnica(seconda, "quibora", dialoghi_));
    EXPECT_EQ(dialoghi_.testiMessaggi(),
              std::vector<std::string>{"L'applicazione quibora è gia' in esecuzione."});
    EXPECT_EQ(dialoghi_.messaggi[0].icona, ui::Icona::Esclamazione);
    EXPECT_EQ(dialoghi_.messaggi[0].titolo, "Quibora Lite Edition");
}

}  // namespace
