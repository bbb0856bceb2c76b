#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "entry/form_inserimento_qt.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const core::TipoMovimento& Tipo(std::string_view caption) {
    for (const auto& t : core::TipiMovimento())
        if (t.caption == caption) return t;
    throw std::logic_error("tipo sconosciuto");
}

std::string Byte(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class FormInserimentoQtTest : public ::testing::Test {
  protected:
    FormInserimentoQtTest() {
        fs::create_directories(dir_ / "sys");
        for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"})
            form1_[nome].abilitato = false;
    }

    std::unique_ptr<entry::FormInserimentoQt> apri(std::string_view tipo) {
        auto d = std::make_unique<entry::FormInserimentoQt>(Tipo(tipo), contesto_);
        d->show();
        return d;
    }
    template <typename T>
    static T* figlio(QWidget* d, const char* nome) {
        return d->findChild<T*>(QString::fromLatin1(nome));
    }
    static void scrivi(QWidget* d, const char* casella, const QString& testo) {
        auto* e = figlio<QLineEdit>(d, casella);
        e->clear();
        // keyClicks knows only ASCII keys; accented letters arrive as text of an unknown key.
        for (const QChar ch : testo) {
            if (ch.unicode() < 128)
                QTest::keyClick(e, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }

    test::CartellaTemporanea dir_;
    core::FileDati file_{core::FileSystemReale(), dir_.path(), dir_ / "sys"};
    core::StatoConto stato_;
    grid::Griglia griglia_;
    test::DialoghiFinti dialoghi_;
    test::FinestraFinta form1_;
    ui::Contesto contesto_{stato_,    griglia_, file_,
                           dialoghi_, form1_,   [] { return core::Data{2003, 3, 5}; }};
};

TEST_F(FormInserimentoQtTest, AspettoDellaFinestra) {
    stato_.ModoValuta = "Lire";
    auto d = apri("Bonifico a debito");
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Bonifico a debito"));
    EXPECT_EQ(d->size(), QSize(ui::TwipsInPixelX(2805, d.get()), ui::TwipsInPixelY(2445, d.get())));
    EXPECT_EQ(figlio<QLineEdit>(d.get(), "txtData")->text(), QStringLiteral("05/03/2003"));
    EXPECT_EQ(figlio<QLineEdit>(d.get(), "txtData")->maxLength(), 10);
    EXPECT_EQ(figlio<QLineEdit>(d.get(), "txtImporto")->maxLength(), 11);
    EXPECT_EQ(figlio<QLineEdit>(d.get(), "Txtrif")->maxLength(), 16);
    EXPECT_TRUE(figlio<QLineEdit>(d.get(), "txtData")->toolTip().startsWith("Nonostante"));
    auto* simbolo = figlio<QLabel>(d.get(), "Label4");
    EXPECT_EQ(simbolo->text(), QStringLiteral("£."));
    EXPECT_EQ(simbolo->palette().color(QPalette::WindowText), QColor(0, 0, 0xC0));
    EXPECT_TRUE(simbolo->font().bold());
    EXPECT_EQ(d->focusWidget(), figlio<QLineEdit>(d.get(), "txtImporto"));
    EXPECT_EQ(figlio<QPushButton>(d.get(), "cmdOk")->text(), QStringLiteral("&Ok"));
    EXPECT_EQ(figlio<QPushButton>(d.get(), "cmdAnnulla")->text(), QStringLiteral("&Annulla"));

    auto altra = apri("Prelievo");
    EXPECT_TRUE(figlio<QLineEdit>(altra.get(), "txtData")->toolTip().isEmpty());
}

TEST_F(FormInserimentoQtTest, MovimentoCompletoEFileSalvati) {
    stato_.ModoValuta = "Euro";
    stato_.FidoConto = core::Money::FromUnits(-5000);
    auto d = apri("Versamento");
    auto* importo = figlio<QLineEdit>(d.get(), "txtImporto");
    QMouseEvent movimento(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(importo, &movimento);
    EXPECT_EQ(importo->toolTip(), QStringLiteral("Utilizzare la virgola per inserire i decimali."));

    scrivi(d.get(), "txtImporto", QStringLiteral("1.234,50"));
    QTest::keyClick(importo, Qt::Key_Return);  // moves on, does not press OK
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->focusWidget(), figlio<QLineEdit>(d.get(), "Txtrif"));
    scrivi(d.get(), "Txtrif", QStringLiteral("caffè, à"));
    QTest::keyClick(figlio<QPushButton>(d.get(), "cmdOk"), Qt::Key_Return);  // not the default
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(griglia_.Rows(), 1);
    QTest::mouseClick(figlio<QPushButton>(d.get(), "cmdOk"), Qt::LeftButton);

    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(dialoghi_.messaggi.empty());
    EXPECT_EQ(form1_.Testo("txtSaldo"), "1.234,50");
    EXPECT_TRUE(form1_.Abilitato("CmdStampa"));
    EXPECT_EQ(Byte(dir_ / "listcol1.txt"), "\"05/03/2003\"\r\n");
    EXPECT_EQ(Byte(dir_ / "listcol2.txt"), "\"Versamento\"\r\n");
    EXPECT_EQ(Byte(dir_ / "listcol3.txt"), "\"caff\xE8, \xE0\"\r\n");
    EXPECT_EQ(Byte(dir_ / "listcol4.txt"), "\"205792<8\"\r\n");
    EXPECT_EQ(Byte(dir_ / "listcol5.txt"), "\"205792<8\"\r\n");
    EXPECT_EQ(Byte(dir_ / "para.txt"), "\"Euro\",\"24681;\",\".7345\"\r\n");
}

struct CasoRifiuto {
    const char* nome;
    const char* data;
    const char* importo;
    const char* riferimento;
    const char* messaggio;
    const char* focus;
};

class RifiutiQt : public FormInserimentoQtTest,
                  public ::testing::WithParamInterface<CasoRifiuto> {};

TEST_P(RifiutiQt, MessaggioFocusEFinestraAperta) {
    const auto& c = GetParam();
    stato_.ModoValuta = "Lire";
    griglia_.AddItem("05/03/2003\tVersamento\t\t1\t1");
    auto d = apri("Prelievo");
    scrivi(d.get(), "txtData", QString::fromUtf8(c.data));
    scrivi(d.get(), "txtImporto", QString::fromUtf8(c.importo));
    scrivi(d.get(), "Txtrif", QString::fromUtf8(c.riferimento));
    QTest::mouseClick(figlio<QPushButton>(d.get(), "cmdOk"), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(dialoghi_.testiMessaggi(), std::vector<std::string>{c.messaggio});
    EXPECT_EQ(d->focusWidget(), figlio<QLineEdit>(d.get(), c.focus));
    EXPECT_EQ(griglia_.Rows(), 2);
    EXPECT_FALSE(fs::exists(dir_ / "listcol1.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, RifiutiQt,
    ::testing::Values(
        CasoRifiuto{"MancaData", "", "1", "", "Manca la data", "txtData"},
        CasoRifiuto{"DataNonValida", "32/01/2003", "1", "",
                    "La data inserita non è una data valida", "txtData"},
        CasoRifiuto{"DataInferiore", "04/03/2003", "1", "",
                    "Non è possibile inserire un movimento con data inferiore all'ultima "
                    "operazione nella tabella.",
                    "txtData"},
        CasoRifiuto{"MancaImporto", "05/03/2003", "", "", "Manca l'importo", "txtImporto"},
        CasoRifiuto{"ImportoNonValido", "05/03/2003", "abc", "", "Importo non valido",
                    "txtImporto"},
        CasoRifiuto{"ImportoZero", "05/03/2003", "0", "",
                    "L'importo non può essere inferiore o uguale a 0", "txtImporto"},
        CasoRifiuto{"DecimaliInLire", "05/03/2003", "1500,50", "",
                    "L'importo in lire non può contenere decimali", "txtImporto"},
        CasoRifiuto{"Virgolette", "05/03/2003", "1", "a\"b",
                    "Il riferimento non può contenere le virgolette (\").", "Txtrif"}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(FormInserimentoQtTest, EscEChiusuraNonCambianoNulla) {
    stato_.ModoValuta = "Lire";
    auto d = apri("Prelievo");
    scrivi(d.get(), "txtImporto", QStringLiteral("500"));
    QTest::keyClick(figlio<QLineEdit>(d.get(), "txtImporto"), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());

    auto altra = apri("Prelievo");
    scrivi(altra.get(), "txtImporto", QStringLiteral("500"));
    altra->close();
    EXPECT_FALSE(altra->isVisible());

    EXPECT_EQ(griglia_.Rows(), 1);
    EXPECT_TRUE(stato_.SaldoConto.isZero());
    EXPECT_TRUE(dialoghi_.messaggi.empty());
    EXPECT_FALSE(fs::exists(dir_ / "listcol1.txt"));
}

}  // namespace
