#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "core/scrambler.h"
#include "main_window/form1_qt.h"
#include "setup/form17_qt.h"
#include "startup/avvio_qt.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

void Scrivi(const fs::path& p, std::string_view byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

class AvvioQt : public ::testing::Test {
  protected:
    AvvioQt() {
        fs::create_directories(dir_ / "prog");
        fs::create_directories(dir_ / "conf");
    }

    avvio::ProgrammaQt& programma() {
        programma_ =
            std::make_unique<avvio::ProgrammaQt>(dir_ / "prog", dir_ / "conf", dialoghi_, [] {
                return core::Data{2003, 1, 2};
            });
        return *programma_;
    }
    void conto() { Scrivi(dir_ / "prog" / "dati.txt", "\"12345\",\"Banca Uno\"\r\n"); }
    std::set<fs::path> contenuto() const {
        return {fs::recursive_directory_iterator(dir_.path()), {}};
    }
    // Answers the password window once it is up: types the text and presses OK, or
    // presses Cancel when there is no text.
    static void RispondiPassword(std::optional<QString> testo) {
        QTimer::singleShot(0, [testo] {
            QWidget* finestra = QApplication::activeModalWidget();
            ASSERT_NE(finestra, nullptr);
            if (testo) {
                finestra->findChild<QLineEdit*>(QStringLiteral("txtPass1"))->setText(*testo);
                QTest::mouseClick(finestra->findChild<QPushButton*>(QStringLiteral("cmdOk")),
                                  Qt::LeftButton);
            } else {
                QTest::mouseClick(finestra->findChild<QPushButton*>(QStringLiteral("cmdAnnulla")),
                                  Qt::LeftButton);
            }
        });
    }

    test::CartellaTemporanea dir_;
    test::DialoghiFinti dialoghi_;
    std::unique_ptr<avvio::ProgrammaQt> programma_;
};

TEST_F(AvvioQt, PrimoUsoApreLImpostazioneENonLaFinestraPrincipale) {
    auto& p = programma();
    EXPECT_TRUE(p.Avvia());
    ASSERT_NE(p.impostazione(), nullptr);
    EXPECT_TRUE(p.impostazione()->isVisible());
    EXPECT_EQ(p.principale(), nullptr);
    EXPECT_FALSE(fs::exists(dir_ / "prog" / "dati.txt"));

    // Its OK opens the main window under the new account's title.
    auto* impostazione = p.impostazione();
    impostazione->findChild<QLineEdit*>(QStringLiteral("TxtConto"))->setText("12345");
    impostazione->findChild<QLineEdit*>(QStringLiteral("TxtBanca"))->setText("Banca Uno");
    QTest::mouseClick(impostazione->findChild<QCheckBox*>(QStringLiteral("ChPass")),
                      Qt::LeftButton);
    QTest::mouseClick(impostazione->findChild<QPushButton*>(QStringLiteral("CmdOk")),
                      Qt::LeftButton);
    ASSERT_NE(p.principale(), nullptr);
    EXPECT_TRUE(p.principale()->isVisible());
    EXPECT_EQ(p.principale()->windowTitle().toStdString(),
              "Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno");
}

TEST_F(AvvioQt, SenzaPasswordMostraLaFinestraConIlTitolo) {
    conto();
    auto& p = programma();
    ASSERT_TRUE(p.Avvia());
    ASSERT_NE(p.principale(), nullptr);
    EXPECT_TRUE(p.principale()->isVisible());
    EXPECT_EQ(p.principale()->windowTitle().toStdString(),
              "Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno");
    EXPECT_EQ(p.principale()->finestra().Testo("cmdPass"), "Inserisci Pass&word");
}

struct CasoPassword {
    const char* nome;
    std::optional<QString> digitata;
    bool accettata;
    std::vector<std::string> messaggi;
};

class AvvioQtPassword : public AvvioQt, public ::testing::WithParamInterface<CasoPassword> {};

TEST_P(AvvioQtPassword, ChiedeLaPasswordPrimaDellaFinestra) {
    const auto& caso = GetParam();
    conto();
    Scrivi(dir_ / "conf" / "Vorn.lst", "\"" + *core::Codifica("Segreto") + "\"\r\n");
    const auto prima = contenuto();
    auto& p = programma();
    RispondiPassword(caso.digitata);

    EXPECT_EQ(p.Avvia(), caso.accettata);

    EXPECT_EQ(dialoghi_.testiMessaggi(), caso.messaggi);
    EXPECT_EQ(p.terminato(), !caso.accettata);
    ASSERT_NE(p.principale(), nullptr);
    EXPECT_EQ(p.principale()->isVisible(), caso.accettata);
    EXPECT_EQ(contenuto(), prima) << "start-up writes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, AvvioQtPassword,
    ::testing::Values(CasoPassword{"AltreMaiuscole", QStringLiteral("  sEgReTo "), true, {}},
                      CasoPassword{
                          "Sbagliata", QStringLiteral("segreta"), false, {"Password errata"}},
                      CasoPassword{"Annullata", std::nullopt, false, {}}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(AvvioQt, UnaSecondaCopiaVieneRifiutata) {
    const QString percorso = QString::fromStdString((dir_ / "quibora.lock").string());
    QLockFile prima(percorso);
    ASSERT_TRUE(avvio::BloccaIstanzaUnica(prima, QStringLiteral("quibora"), dialoghi_));
    EXPECT_TRUE(dialoghi_.messaggi.empty());

    QLockFile seconda(percorso);
    EXPECT_FALSE(avvio::BloccaIstanzaUnica(seconda, QStringLiteral("quibora"), dialoghi_));
    ASSERT_EQ(dialoghi_.messaggi.size(), 1u);
    EXPECT_EQ(dialoghi_.messaggi[0].testo, "L'applicazione quibora è gia' in esecuzione.");
    EXPECT_EQ(dialoghi_.messaggi[0].icona, ui::Icona::Esclamazione);
    EXPECT_EQ(dialoghi_.messaggi[0].titolo, "Quibora Lite Edition");
}

}  // namespace
