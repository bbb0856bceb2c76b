#pragma once
// The whole program on scratch folders, driven through its real windows as a user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"
#include "setup/form17_qt.h"
#include "startup/avvio_qt.h"
#include "startup/cartelle.h"
#include "support/contesto_finto.h"

namespace accettazione {

namespace fs = std::filesystem;
using Riga = std::array<std::string, 5>;  // Data, Causale, Riferimento, Importo, Saldo
using Testi = std::vector<std::string>;
// What a folder holds, by relative path: a file's bytes, or "/" for a folder.
using Disco = std::map<std::string, std::string>;

// Expected bytes come from the file rules alone, never from the program's writers: a
// scrambled item has byte i (from 1) moved up by i; items quoted, commas between, CR LF.
inline std::string Scrambla(std::string_view t) {
    std::string r;
    for (std::size_t i = 0; i < t.size(); ++i) r += static_cast<char>(t[i] + int(i) + 1);
    return r;
}
inline std::string Record(std::initializer_list<std::string> voci) {
    std::string r;
    for (const auto& v : voci) r += (r.empty() ? "\"" : ",\"") + v + '"';
    return r + "\r\n";
}
// The folders and the data files of the account "12345" at "Banca Uno" with these rows.
inline Disco Registro(const std::vector<Riga>& righe, const char* modo, const char* saldo) {
    Disco d{{"programma", "/"},
            {"configurazione", "/"},
            {"programma/dati.txt", Record({"12345", "Banca Uno"})},
            {"programma/para.txt", Record({modo, Scrambla(saldo), Scrambla("0")})}};
    for (std::size_t k = 0; k < 5; ++k) {
        std::string& file = d["programma/listcol" + std::to_string(k + 1) + ".txt"];
        for (const Riga& r : righe) file += Record({k >= 3 ? Scrambla(r[k]) : r[k]});
    }
    return d;
}
inline bool Contiene(std::string_view testo, std::string_view parte) {
    return testo.find(parte) != std::string_view::npos;
}
inline void ScriviFile(const fs::path& p, const std::string& byte) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << byte;
}

inline QWidget* Figlio(QWidget& finestra, const char* nome) {
    auto* w = finestra.findChild<QWidget*>(QString::fromLatin1(nome));
    if (!w) throw std::logic_error(std::string("manca il controllo ") + nome);
    return w;
}
inline void Clic(QWidget& finestra, const char* pulsante) {
    QTest::mouseClick(Figlio(finestra, pulsante), Qt::LeftButton);
}
inline void Digita(QWidget& finestra, const char* nome, const QString& testo) {
    QTest::keyClick(Figlio(finestra, nome), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Figlio(finestra, nome), testo);
}
// The text of a box, label or button.
inline std::string Testo(QWidget& finestra, const char* nome) {
    return Figlio(finestra, nome)->property("text").toString().toStdString();
}

// Answers the next modal window, from inside its exec(): create it before the click.
class RispostaModale {
  public:
    explicit RispostaModale(std::function<void(QWidget&)> azione) {
        QObject::connect(&attesa_, &QTimer::timeout, [this, azione] {
            QWidget* f = QApplication::activeModalWidget();
            if (fatta || !f || !f->isVisible()) return;
            fatta = true;
            azione(*f);
        });
        attesa_.start(5);
    }
    ~RispostaModale() { EXPECT_TRUE(fatta) << "no modal window came"; }
    bool fatta = false;

  private:
    QTimer attesa_;
};

// One machine: the program and configuration folders, today's date, scripted message and
// input boxes, and a disk that fails when a test plans it.
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

    // A new run on the same folders, backups on as installed; true when a window stays open.
    [[nodiscard]] bool Avvia() {
        fs::create_directories(radice / "programma");
        fs::create_directories(radice / "configurazione");
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
    [[nodiscard]] Disco disco() const {
        Disco d;
        for (const auto& voce : fs::recursive_directory_iterator(radice.path()))
            d[fs::relative(voce.path(), radice.path()).generic_string()] =
                voce.is_directory() ? "/" : test::LeggiByte(voce.path());
        return d;
    }
    [[nodiscard]] fs::path cartella() const { return radice / "programma"; }

    // The set-up window opens in the account number, Enter moves on; no password clears
    // "Utilizza Password".
    void PrimoUso(const QString& password = {}) {
        QWidget& f = *programma->impostazione();
        QTest::keyClicks(f.focusWidget(), QStringLiteral("12345"));
        QTest::keyClick(f.focusWidget(), Qt::Key_Return);
        QTest::keyClicks(f.focusWidget(), QStringLiteral("Banca Uno"));
        if (password.isEmpty()) Clic(f, "ChPass");
        if (!password.isEmpty()) Digita(f, "txtPass", password);
        Clic(f, "CmdOk");
    }

    // Clicks the type in the list; its window opens on today's date, in the amount.
    void Inserisci(const char* tipo, const QString& importo, const QString& rif = {}) {
        QListWidget* lista = principale().lista();
        const auto voci = lista->findItems(QString::fromUtf8(tipo), Qt::MatchExactly);
        ASSERT_EQ(voci.size(), 1) << tipo;
        lista->scrollToItem(voci[0]);
        RispostaModale risposta([&](QWidget& f) {
            QTest::keyClicks(f.focusWidget(), importo);
            QTest::keyClick(f.focusWidget(), Qt::Key_Return);
            QTest::keyClicks(f.focusWidget(), rif);
            Clic(f, "cmdOk");
            EXPECT_FALSE(f.isVisible());
        });
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {},
                          lista->visualItemRect(voci[0]).center());
    }
    void Clicca(const char* pulsante) { Clic(principale(), pulsante); }

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
    // Messages shown since the last call.
    [[nodiscard]] Testi NuoviMessaggi() {
        Testi nuovi;
        for (; visti < dialoghi.messaggi.size(); ++visti)
            nuovi.push_back(dialoghi.messaggi[visti].testo);
        return nuovi;
    }
};

}  // namespace accettazione
