#pragma once
// The whole program on scratch folders, driven through its real windows as a user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <array>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"
#include "setup/form17_qt.h"
#include "startup/avvio_qt.h"
#include "startup/cartelle.h"
#include "support/cartella_temporanea.h"
#include "support/file_system_difettoso.h"
#include "support/finti.h"

namespace accettazione {

namespace fs = std::filesystem;
using Riga = std::array<std::string, 5>;  // Data, Causale, Riferimento, Importo, Saldo
using Testi = std::vector<std::string>;
// What a folder holds, by relative path: a file's bytes, or kCartella for a folder.
using Disco = std::map<std::string, std::string>;
inline const std::string kCartella = "<cartella>";

// Expected bytes come from the file rules alone, never from the program's writers: a
// scrambled item has byte i (from 1) moved up by i; items quoted, commas between, CR LF.
inline std::string Scrambla(std::string_view t) {
    std::string r;
    for (std::size_t i = 0; i < t.size(); ++i)
        r += static_cast<char>(t[i] + static_cast<int>(i) + 1);
    return r;
}
inline std::string Record(std::initializer_list<std::string> voci) {
    std::string r;
    for (const auto& v : voci) r += (r.empty() ? "\"" : ",\"") + v + '"';
    return r + "\r\n";
}
// The five register files of these rows and para.txt, under "programma".
inline void Registro(Disco& d, const std::vector<Riga>& righe, const char* modo,
                     const char* saldo) {
    for (std::size_t k = 0; k < 5; ++k) {
        std::string& file = d["programma/listcol" + std::to_string(k + 1) + ".txt"] = "";
        for (const Riga& r : righe) file += Record({k >= 3 ? Scrambla(r[k]) : r[k]});
    }
    d["programma/para.txt"] = Record({modo, Scrambla(saldo), Scrambla("0")});
}
inline void ScriviFile(const fs::path& p, const std::string& byte) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << byte;
}

template <typename W = QWidget>
W* Figlio(QWidget& finestra, const char* nome) {
    auto* w = finestra.findChild<W*>(QString::fromLatin1(nome));
    if (!w) throw std::logic_error(std::string("manca il controllo ") + nome);
    return w;
}
inline void Digita(QWidget& finestra, const char* nome, const QString& testo) {
    auto* casella = Figlio<QLineEdit>(finestra, nome);
    QTest::keyClick(casella, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(casella, testo);
}

// Answers the next modal window (an empty name takes any): create it just before the click
// that opens one with exec(). A window still open after five seconds is closed and the
// test fails, so a wrong step costs seconds instead of hanging the run.
class RispostaModale {
  public:
    RispostaModale(QString nome, std::function<void(QWidget&)> azione) {
        // The timer fires only inside the window's exec() loop.
        QObject::connect(&attesa_, &QTimer::timeout, [this, nome, azione] {
            QWidget* f = eseguita_ ? finestra_.data() : QApplication::activeModalWidget();
            if (++giri_ > 1000 && f && f->isVisible()) {
                ADD_FAILURE() << f->objectName().toStdString() << " still open";
                if (auto* dialogo = qobject_cast<QDialog*>(f)) dialogo->reject();
                return f->hide();  // ends exec() whatever the window's own cancel does
            }
            if (eseguita_ || !f || !f->isVisible()) return;
            finestra_ = f;
            eseguita_ = true;
            EXPECT_TRUE(nome.isEmpty() || f->objectName() == nome) << f->objectName().toStdString();
            azione(*f);
        });
        attesa_.start(5);
    }
    ~RispostaModale() { EXPECT_TRUE(risposta()) << "no modal window came"; }
    [[nodiscard]] bool risposta() const { return eseguita_ || giri_ > 1000; }

  private:
    QTimer attesa_;
    QPointer<QWidget> finestra_;
    int giri_ = 0;
    bool eseguita_ = false;
};

// One machine: the folders "programma" and "configurazione" under one root, today's date,
// scripted message and input boxes, and the program's file layer, the real disk until a
// test plans a failure.
struct Banco {
    core::Data oggi{2003, 3, 5};
    test::DialoghiFinti dialoghi;
    test::FileSystemDifettoso guasti;
    bool solaLettura = false;  // the next runs open the register read-only
    test::CartellaTemporanea radice;
    avvio::FileSystemSolaLettura soloLettura{guasti};
    std::unique_ptr<avvio::ProgrammaQt> programma;
    int avvii = 0;
    std::size_t visti = 0;

    Banco() {
        fs::create_directories(radice / "programma");
        fs::create_directories(radice / "configurazione");
    }
    // A new run on the same folders, backups on as installed; true when a window stays open.
    [[nodiscard]] bool Avvia() {
        programma.reset();
        dialoghi.terminato = false;
        programma = std::make_unique<avvio::ProgrammaQt>(
            radice / "programma", radice / "configurazione", dialoghi, [this] { return oggi; },
            solaLettura ? static_cast<core::FileSystem&>(soloLettura) : guasti);
        const int avvio = ++avvii;
        if (!solaLettura)
            programma->file().AttivaCopie([this, avvio] {
                return std::to_string(oggi.anno * 10000 + oggi.mese * 100 + oggi.giorno) +
                       "-12000" + std::to_string(avvio);
            });
        return programma->Avvia();
    }
    main_window::Form1Qt& principale() { return *programma->principale(); }
    // What the two folders hold, by relative path.
    [[nodiscard]] Disco disco() const {
        Disco d;
        for (const auto& voce : fs::recursive_directory_iterator(radice.path())) {
            std::ostringstream byte;
            if (!voce.is_directory()) byte << std::ifstream(voce.path(), std::ios::binary).rdbuf();
            d[fs::relative(voce.path(), radice.path()).generic_string()] =
                voce.is_directory() ? kCartella : byte.str();
        }
        return d;
    }
    [[nodiscard]] fs::path cartella() const { return radice.path() / "programma"; }

    // The account setup window at first use; a null password clears "Utilizza Password".
    void PrimoUso(const QString& conto, const QString& banca, std::optional<QString> password) {
        QWidget& f = *programma->impostazione();
        ASSERT_TRUE(f.isVisible());
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Imposta N° c.c.  e  Banca d'appoggio"));
        EXPECT_EQ(f.focusWidget(), Figlio(f, "TxtConto"));
        QTest::keyClicks(f.focusWidget(), conto);
        QTest::keyClick(f.focusWidget(), Qt::Key_Return);
        EXPECT_EQ(f.focusWidget(), Figlio(f, "TxtBanca"));
        QTest::keyClicks(f.focusWidget(), banca);
        if (password) Digita(f, "txtPass", *password);
        if (!password) QTest::mouseClick(Figlio<QCheckBox>(f, "ChPass"), Qt::LeftButton);
        EXPECT_EQ(Figlio(f, "txtPass")->isVisible(), password.has_value());
        QTest::mouseClick(Figlio<QPushButton>(f, "CmdOk"), Qt::LeftButton);
        EXPECT_FALSE(f.isVisible());
        if (f.isVisible()) f.close();
    }

    // Clicks the type in the list and fills its window, Enter moving from box to box; a
    // null date keeps today's, which the window opens with.
    void Inserisci(const char* tipo, const QString& importo, const QString& rif = {},
                   const char* simbolo = "€.", const QString& data = {}) {
        QListWidget* lista = principale().lista();
        const auto voci = lista->findItems(QString::fromUtf8(tipo), Qt::MatchExactly);
        ASSERT_EQ(voci.size(), 1) << tipo;
        lista->scrollToItem(voci[0]);
        const QString oggiTesto =
            QString::asprintf("%02d/%02d/%04d", oggi.giorno, oggi.mese, oggi.anno);
        RispostaModale risposta({}, [&](QWidget& f) {
            EXPECT_EQ(f.windowTitle(), QString::fromUtf8(tipo));
            EXPECT_EQ(Figlio<QLabel>(f, "Label4")->text(), QString::fromUtf8(simbolo));
            EXPECT_EQ(Figlio<QLineEdit>(f, "txtData")->text(), oggiTesto);
            EXPECT_EQ(f.focusWidget(), Figlio(f, "txtImporto")) << "opens in the amount";
            if (!data.isEmpty()) {
                Digita(f, "txtData", data);
                QTest::keyClick(Figlio(f, "txtData"), Qt::Key_Return);
            }
            EXPECT_EQ(f.focusWidget(), Figlio(f, "txtImporto"));
            QTest::keyClicks(f.focusWidget(), importo);
            QTest::keyClick(f.focusWidget(), Qt::Key_Return);
            EXPECT_EQ(f.focusWidget(), Figlio(f, "Txtrif"));
            QTest::keyClicks(f.focusWidget(), rif);
            QTest::mouseClick(Figlio<QPushButton>(f, "cmdOk"), Qt::LeftButton);
            EXPECT_FALSE(f.isVisible());
            if (f.isVisible()) f.close();
        });
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {},
                          lista->visualItemRect(voci[0]).center());
    }
    void Clicca(const char* pulsante) {
        auto* b = Figlio<QPushButton>(principale(), pulsante);
        EXPECT_TRUE(b->isEnabled()) << pulsante;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    [[nodiscard]] std::vector<Riga> RigheMostrate() {
        const QAbstractItemModel* m = principale().vistaGriglia()->model();
        std::vector<Riga> righe(static_cast<std::size_t>(m->rowCount()));
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c = 0; c < 5; ++c)
                righe[std::size_t(r)][std::size_t(c)] =
                    m->index(r, c).data().toString().toStdString();
        return righe;
    }
    [[nodiscard]] Testi Riferimenti() {
        Testi r;
        for (const auto& riga : RigheMostrate()) r.push_back(riga[2]);
        return r;
    }
    [[nodiscard]] std::string Testo(const char* nome) {
        QWidget* w = Figlio(principale(), nome);
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text().toStdString();
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
        return qobject_cast<QAbstractButton*>(w)->text().toStdString();
    }
    // Messages shown since the last call.
    [[nodiscard]] Testi NuoviMessaggi() {
        Testi nuovi;
        for (; visti < dialoghi.messaggi.size(); ++visti)
            nuovi.push_back(dialoghi.messaggi[visti].testo);
        return nuovi;
    }
};

}  // namespace accettazione
