// Every save and delete failed on purpose (read-only folder, full disk, failing rename): the
// user is told which file, the last good files stay byte for byte as they were, and once the
// disk is fine again the program carries on as if nothing had happened.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <map>
#include <optional>

#include "acceptance/support/banco.h"
#include "acceptance/support/modale.h"
#include "core/record.h"
#include "main_window/form1_qt.h"
#include "setup/form17_qt.h"

namespace {

using accettazione::Banco;
using accettazione::Disco;
using test::Operazione;
using enum test::Operazione;
using Testi = std::vector<std::string>;

void Clicca(QWidget& finestra, const char* nome) {
    QTest::mouseClick(finestra.findChild<QPushButton*>(QString::fromLatin1(nome)), Qt::LeftButton);
}
void Digita(QWidget& finestra, const char* nome, const char* testo) {
    auto* casella = finestra.findChild<QLineEdit*>(QString::fromLatin1(nome));
    casella->clear();
    QTest::keyClicks(casella, testo);
}

enum class Inizio { PrimoAvvio, Conto, ContoConPassword, DueMovimenti };

void Prepara(Banco& b, Inizio inizio) {
    ASSERT_TRUE(b.Avvia());
    if (inizio == Inizio::PrimoAvvio) return;
    b.PrimoUso(QStringLiteral("12345"), QStringLiteral("Banca Uno"),
               inizio == Inizio::ContoConPassword ? std::optional(QStringLiteral("Segreta"))
                                                  : std::nullopt);
    b.Inserisci({"Versamento", {}, QStringLiteral("250"), QStringLiteral("primo"), "€."});
    if (inizio == Inizio::DueMovimenti)
        b.Inserisci({"Prelievo", {}, QStringLiteral("50"), QStringLiteral("secondo"), "€."});
}

// A command that saves or deletes, and the state it is given in.
struct Punto {
    std::string_view nome;
    Inizio inizio;
    bool ripeti = true;  // once repaired the command is given again (else the exit's
                         // save writes what it left in memory)
    int messaggi = 1;    // each names the file and the reason
};
const Punto kPunti[] = {
    {"Movimento", Inizio::Conto, false},
    {"Divisa", Inizio::Conto, false},
    {"Saldo", Inizio::Conto, false},
    {"Fido", Inizio::Conto, false},
    {"Rimuovi", Inizio::DueMovimenti, false},
    {"Rimuoviu", Inizio::DueMovimenti, false},
    // The balance's save fails, then the exit's: the user is asked and stays.
    {"Esci", Inizio::Conto, true, 2},
    {"Chiusura", Inizio::Conto, true, 2},  // the close box
    {"PrimoUso", Inizio::PrimoAvvio},
    {"ImpostaPassword", Inizio::Conto},
    {"RimuoviPassword", Inizio::ContoConPassword},
    {"Azzeramento", Inizio::ContoConPassword},
};

void Esegui(Banco& b, std::string_view punto) {
    if (punto == "Movimento") {
        b.Inserisci({"Prelievo", {}, QStringLiteral("100"), {}, "€."});
    } else if (punto == "Divisa") {
        b.Clicca("CmdEuro");
    } else if (punto == "Saldo" || punto == "Esci" || punto == "Chiusura") {
        b.dialoghi.inputDigitati.push_back("300");
        b.Clicca("CmdSaldo");
        if (punto == "Esci") b.Clicca("CmdEsci");
        if (punto == "Chiusura") b.principale().close();
    } else if (punto == "Fido") {
        b.dialoghi.inputDigitati.push_back("500");
        b.Clicca("Cmdfido");
    } else if (punto == "Rimuovi" || punto == "Rimuoviu") {
        b.Clicca(std::string(punto).c_str());
    } else if (punto == "PrimoUso") {
        QWidget& f = *b.programma().impostazione();
        Digita(f, "TxtConto", "12345");
        Digita(f, "TxtBanca", "Banca Uno");
        Digita(f, "txtPass", "Segreta");
        Clicca(f, "CmdOk");
    } else if (punto == "ImpostaPassword") {
        accettazione::RispostaModale r(QStringLiteral("frmPass"), [](QWidget& f) {
            Digita(f, "txtPass1", "Nuova");
            Clicca(f, "cmdOk");
            if (f.isVisible()) Clicca(f, "cmdAnnulla");
        });
        b.Clicca("cmdPass");
    } else {
        b.dialoghi.risposte.push_back(ui::Risposta::Si);
        b.Clicca(punto == "RimuoviPassword" ? "cmdPass" : "Rimuoviu");
    }
}

// The error messages shown since the last look.
Testi Errori(Banco& b) {
    Testi errori;
    for (auto& m : b.NuoviMessaggi())
        if (m.starts_with("Impossibile") || m.starts_with("Si è verificato")) errori.push_back(m);
    return errori;
}

// The backups are checked by their own tests: a reset whose delete fails keeps its new,
// whole copy.
Disco Dati(Disco d) {
    std::erase_if(d, [](const auto& voce) { return voce.first.starts_with("programma/backup"); });
    return d;
}

struct Tipo {
    const char* nome;
    test::Guasto guasto;
    const char* motivo;
    std::optional<test::Guasto> anche = {};  // a second fault on the same file
};
struct Caso {
    const Punto* punto;
    Tipo tipo;
    std::string file;
};
void PrintTo(const Caso& c, std::ostream* os) {
    *os << c.punto->nome << ' ' << c.tipo.nome << ' ' << c.file;
}

Tipo T(const char* nome, Operazione op, int errore, const char* motivo, int volta = 0) {
    return {nome, {op, "", volta, false, errore, errore == ENOSPC}, motivo};
}
const char* const kSolaLettura = "accesso negato (file o cartella in sola lettura)";
const Tipo kNegata = T("SolaLettura", Scrivi, EACCES, kSolaLettura);
const Tipo kPieno = T("DiscoPieno", Scrivi, ENOSPC, "disco pieno");  // half the file written
const Tipo kRinomina =
    T("RinominaFallita", Rinomina, EIO, "errore di lettura o scrittura sul disco");
// The old file has been moved aside when the new one cannot take its place.
const Tipo kSostituzione = T("SostituzioneFallita", Rinomina, EXDEV, "file su dischi diversi", 2);
const Tipo kEliminaNegata = T("EliminaNegata", Elimina, EACCES, kSolaLettura);
const Tipo kInUso = T("FileInUso", Elimina, EBUSY, "file in uso da un altro programma");
const Tipo kCartellaNegata = T("CartellaNegata", CreaCartella, EACCES, kSolaLettura);
// A backup is made of hard links; it copies, and can then fail, only where they cannot be.
Tipo SenzaCollegamenti(Tipo t, const char* nome) {
    t.nome = nome;
    t.anche = test::Guasto{Collega, "", 0, false, EXDEV};
    return t;
}
const Tipo kCopiaPiena = SenzaCollegamenti(kPieno, "CopiaPiena");

std::vector<Caso> Casi() {
    std::vector<Caso> casi;
    auto aggiungi = [&](std::string_view punto, std::initializer_list<Tipo> tipi,
                        std::initializer_list<const char*> file) {
        const Punto& p = *std::find_if(std::begin(kPunti), std::end(kPunti),
                                       [&](const Punto& q) { return q.nome == punto; });
        for (const char* f : file)
            for (const auto& t : tipi) casi.push_back({&p, t, f});
    };
    // One row per distinct fault: the first and last register files stand for all five.
    const auto registro = {"listcol1.txt", "listcol5.txt"};
    for (const char* punto : {"Movimento", "Divisa"})
        aggiungi(punto, {kNegata, kPieno, kRinomina, kSostituzione}, registro);
    // A fault that lasts, so that the exit meets it too.
    aggiungi("Esci", {kNegata, kPieno, kRinomina}, {"listcol3.txt", "para.txt"});
    aggiungi("Movimento", {kPieno}, {"para.txt"});
    // Every confirmed change is saved at once, register and parameters together.
    for (const char* punto : {"Saldo", "Fido", "Rimuovi", "Rimuoviu", "Chiusura"})
        aggiungi(punto, {kPieno}, {"para.txt"});
    aggiungi("PrimoUso", {kNegata, kPieno, kRinomina}, {"dati.txt", "Vorn.lst"});
    aggiungi("ImpostaPassword", {kPieno}, {"Vorn.lst"});
    aggiungi("RimuoviPassword", {kEliminaNegata, kInUso}, {"Vorn.lst"});
    // With backups on, the reset first copies every file: a failed copy deletes nothing.
    aggiungi("Azzeramento", {kEliminaNegata, kCopiaPiena}, {"listcol1.txt"});
    aggiungi("Azzeramento", {kCartellaNegata}, {".nuovo"});
    return casi;
}

// The same steps with no failure: the files right after the command, and after the exit.
struct Riferimento {
    Disco dopoComando, finale;
};
const Riferimento& SenzaGuasti(const Punto& p) {
    static std::map<std::string_view, Riferimento> fatti;
    auto [it, nuovo] = fatti.try_emplace(p.nome);
    if (nuovo) {
        Banco b;
        Prepara(b, p.inizio);
        Esegui(b, p.nome);
        it->second.dopoComando = Dati(b.disco());
        if (b.programma().principale()) b.Clicca("CmdEsci");
        it->second.finale = Dati(b.disco());
        EXPECT_EQ(Errori(b), Testi{}) << "without faults";
    }
    return it->second;
}

class Guasti : public testing::TestWithParam<Caso> {};

TEST_P(Guasti, MessaggioFileIntattiProgrammaUsabile) {
    const Caso& c = GetParam();
    const Riferimento& rif = SenzaGuasti(*c.punto);
    Banco b;
    Prepara(b, c.punto->inizio);
    const Disco prima = Dati(b.disco());
    ASSERT_NE(prima, rif.dopoComando) << "the command changes the files";
    (void)Errori(b);
    for (auto g : {std::optional(c.tipo.guasto), c.tipo.anche}) {
        if (!g) continue;
        g->nome = c.file;
        b.guasti.Guasta(*g);
    }

    Esegui(b, c.punto->nome);
    const Testi errori = Errori(b);
    ASSERT_EQ(errori.size(), static_cast<std::size_t>(c.punto->messaggi)) << "one per fault";
    for (const auto& errore : errori) {
        EXPECT_NE(errore.find(c.file), std::string::npos) << errore;
        EXPECT_NE(errore.find(c.tipo.motivo), std::string::npos) << errore;
    }
    // The register and para.txt are saved together: a fault in either keeps both old.
    EXPECT_EQ(Dati(b.disco()), prima);

    b.guasti.Ripara();
    EXPECT_FALSE(b.dialoghi.terminato);
    QWidget* aperta = b.programma().principale();
    if (!aperta) aperta = b.programma().impostazione();
    EXPECT_TRUE(aperta && aperta->isVisible());
    if (c.punto->ripeti) Esegui(b, c.punto->nome);
    if (b.programma().principale()) b.Clicca("CmdEsci");
    EXPECT_EQ(Errori(b), Testi{}) << "once the disk is fine";
    EXPECT_EQ(Dati(b.disco()), rif.finale);
}

INSTANTIATE_TEST_SUITE_P(Tabella, Guasti, testing::ValuesIn(Casi()), [](const auto& info) {
    std::string nome = std::string(info.param.punto->nome) + '_' + info.param.tipo.nome + '_';
    std::erase(nome += info.param.file, '.');
    return nome;
});

void ScriviFile(const std::filesystem::path& p, const std::string& byte) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << byte;
}

// A file edited by hand or damaged between two runs, and what the next start does about it.
struct Danno {
    const char* nome;
    const char* file;                      // under the program folder
    std::string byte;                      // its new contents
    std::optional<ui::Risposta> risposta;  // to the offer of the newest backup
    const char* messaggio;                 // part of the first message at start
    std::vector<std::string> riferimenti;  // the references then shown; none: ended
    std::string dopoEsci;                  // the file's bytes after Esci, if checked
};

void PrintTo(const Danno& d, std::ostream* os) {
    *os << d.nome;
}

class FileDanneggiati : public testing::TestWithParam<Danno> {};

TEST_P(FileDanneggiati, RiparatoORipristinatoOFermatoSenzaPerdite) {
    const Danno& d = GetParam();
    Banco b;
    Prepara(b, Inizio::Conto);
    ASSERT_TRUE(b.Avvia());  // a second run, so that a backup holds the first movement
    b.Inserisci({"Prelievo", {}, QStringLiteral("100"), QStringLiteral("secondo"), "€."});
    b.Clicca("CmdEsci");
    (void)b.NuoviMessaggi();
    ScriviFile(b.cartella() / "programma" / d.file, d.byte);
    const Disco danneggiato = b.disco();
    if (d.risposta) b.dialoghi.risposte.push_back(*d.risposta);

    const bool aperta = b.Avvia();
    const auto messaggi = b.NuoviMessaggi();
    ASSERT_FALSE(messaggi.empty());
    EXPECT_NE(messaggi[0].find(d.messaggio), std::string::npos) << messaggi[0];
    EXPECT_NE(messaggi[0].find(d.file), std::string::npos) << messaggi[0];
    if (d.riferimenti.empty()) {
        EXPECT_FALSE(aperta);
        EXPECT_TRUE(b.dialoghi.terminato);
        EXPECT_EQ(b.disco(), danneggiato) << "nothing written";
        return;
    }
    ASSERT_TRUE(aperta);
    EXPECT_TRUE(b.principale().isVisible());
    std::vector<std::string> riferimenti;
    for (const auto& r : b.RigheMostrate()) riferimenti.push_back(r[2]);
    EXPECT_EQ(riferimenti, d.riferimenti);
    b.Clicca("CmdEsci");
    EXPECT_EQ(Errori(b), Testi{});
    if (!d.dopoEsci.empty()) {
        EXPECT_EQ(b.disco().at(std::string("programma/") + d.file), d.dopoEsci);
    }
    if (d.risposta == ui::Risposta::Si) {
        // The damaged file is kept for inspection.
        bool tenuto = false;
        for (const auto& [nome, byte] : b.disco())
            tenuto |= nome.starts_with("programma/backup/danneggiati-") && byte == d.byte;
        EXPECT_TRUE(tenuto);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, FileDanneggiati,
    testing::Values(
        Danno{"VirgoletteRiparate", "listcol3.txt", "pri\"mo\r\n\"secondo\"\r\n", {}, "listcol3.txt, riga 1",
              {"pri'mo", "secondo"}, "\"pri'mo\"\r\n\"secondo\"\r\n"},
        Danno{"TabulazioneNelConto", "dati.txt", "\"12345\",\"Banca\tUno\"\r\n", {}, "dati.txt, riga 1",
              {"primo", "secondo"}, "\"12345\",\"Banca Uno\"\r\n"},
        Danno{"RipristinoAccettato", "listcol4.txt", "\"1\"\r\n", ui::Risposta::Si, "Ripristinarla", {"primo"}, ""},
        Danno{"RipristinoRifiutato", "listcol4.txt", "\"1\"\r\n", ui::Risposta::No, "Ripristinarla", {}, ""}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// A save killed after its new files were whole: the next start, through the real windows,
// finishes it forward and shows the new register. A marker naming any other file than the
// data files (hand-made or planted) must not make the start-up move that file.
struct Interruzione {
    const char* nome;
    std::vector<std::string_view> marcati;  // the names in the marker, beside the data files
};
void PrintTo(const Interruzione& i, std::ostream* os) {
    *os << i.nome;
}
class SalvataggioInterrotto : public testing::TestWithParam<Interruzione> {};

TEST_P(SalvataggioInterrotto, CompletatoAllAvvio) {
    Banco nuovo;
    Prepara(nuovo, Inizio::DueMovimenti);
    nuovo.Clicca("CmdEsci");
    const Disco dopo = Dati(nuovo.disco());

    Banco b;
    Prepara(b, Inizio::Conto);
    b.Clicca("CmdEsci");
    const auto programma = b.cartella() / "programma";
    std::string marcatore;
    for (const char* f : {"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                          "listcol5.txt", "para.txt"}) {
        ScriviFile(programma / (std::string(f) + ".nuovo"), dopo.at(std::string("programma/") + f));
        marcatore += core::ScriviRecord({f, "1"});
    }
    for (auto nome : GetParam().marcati) marcatore += core::ScriviRecord({nome, "1"});
    ScriviFile(programma / "estraneo.txt", "mio");
    ScriviFile(programma / "estraneo.txt.nuovo", "altro");
    ScriviFile(programma / ".salvataggio", marcatore);

    ASSERT_TRUE(b.Avvia());
    std::vector<std::string> riferimenti;
    for (const auto& r : b.RigheMostrate()) riferimenti.push_back(r[2]);
    EXPECT_EQ(riferimenti, (Testi{"primo", "secondo"}));
    Disco atteso = dopo;
    atteso["programma/estraneo.txt"] = "mio";
    atteso["programma/estraneo.txt.nuovo"] = "altro";
    EXPECT_EQ(Dati(b.disco()), atteso);
}

INSTANTIATE_TEST_SUITE_P(Tabella, SalvataggioInterrotto,
                         testing::Values(Interruzione{"FileDati", {}},
                                         Interruzione{"MarcatoreEstraneo", {"estraneo.txt"}},
                                         Interruzione{"MarcatoreFuori",
                                                      {"../programma/estraneo.txt"}}),
                         [](const auto& info) { return std::string(info.param.nome); });

// A backup that cannot be made does not stop the saves, and is told once in the run.
TEST(CopiaNonRiuscita, DettaUnaVoltaEISalvataggiProseguono) {
    Banco b;
    Prepara(b, Inizio::Conto);
    ASSERT_TRUE(b.Avvia());
    ScriviFile(b.cartella() / "programma" / "backup.tmp", "");
    std::filesystem::remove_all(b.cartella() / "programma" / "backup");
    std::filesystem::rename(b.cartella() / "programma" / "backup.tmp",
                            b.cartella() / "programma" / "backup");
    b.Inserisci({"Prelievo", {}, QStringLiteral("100"), QStringLiteral("secondo"), "€."});
    b.Inserisci({"Prelievo", {}, QStringLiteral("10"), QStringLiteral("terzo"), "€."});
    const auto messaggi = b.NuoviMessaggi();
    ASSERT_EQ(std::count_if(messaggi.begin(), messaggi.end(),
                            [](const std::string& m) {
                                return m.starts_with("Impossibile creare la copia di sicurezza");
                            }),
              1);
    EXPECT_EQ(b.RigheMostrate().size(), 3u);
    ASSERT_TRUE(b.Avvia());
    EXPECT_EQ(b.RigheMostrate().size(), 3u) << "both movements saved";
}

// Waits for the event loop to run what a signal handler passed on.
bool Attendi(const std::function<bool()>& condizione) {
    for (int i = 0; i < 200 && !condizione(); ++i) QTest::qWait(10);
    return condizione();
}

// A balance whose save failed is only in memory: the system's request to end writes it,
// or, while the disk still fails, asks as Esci does and the program goes on.
struct CasoSegnale {
    int segnale;
    bool riparato;
};
class Segnali : public testing::TestWithParam<CasoSegnale> {};

TEST_P(Segnali, LaChiusuraDalSistemaSalvaComeEsci) {
    const auto [segnale, riparato] = GetParam();
    Banco b;
    Prepara(b, Inizio::Conto);
    const Disco prima = Dati(b.disco());
    b.guasti.Guasta({.operazione = Scrivi, .nome = "para.txt", .errore = ENOSPC});
    b.dialoghi.inputDigitati.push_back("300");
    b.Clicca("CmdSaldo");
    ASSERT_EQ(Errori(b).size(), 1u);
    if (riparato) b.guasti.Ripara();

    avvio::SegnaliDiFine segnali([&b] { b.programma().ChiusuraDalSistema(); });
    ASSERT_EQ(::raise(segnale), 0);
    if (riparato) {
        EXPECT_TRUE(Attendi([&b] { return b.dialoghi.terminato; }));
        EXPECT_EQ(Errori(b), Testi{});
        ASSERT_TRUE(b.Avvia());
        EXPECT_EQ(b.Testo("txtSaldo"), "300,00");
        return;
    }
    const auto mostrati = b.dialoghi.messaggi.size();
    ASSERT_TRUE(Attendi([&] { return b.dialoghi.messaggi.size() > mostrati; }));
    const Testi errori = Errori(b);
    ASSERT_EQ(errori.size(), 1u);
    EXPECT_NE(errori[0].find("Uscire comunque?"), std::string::npos) << errori[0];
    EXPECT_FALSE(b.dialoghi.terminato);
    EXPECT_TRUE(b.principale().isVisible());
    EXPECT_EQ(Dati(b.disco()), prima);
    EXPECT_EQ(b.Testo("txtSaldo"), "300,00");
}

INSTANTIATE_TEST_SUITE_P(Tabella, Segnali,
                         testing::Values(CasoSegnale{SIGTERM, true}, CasoSegnale{SIGHUP, true},
                                         CasoSegnale{SIGINT, false}),
                         [](const auto& info) {
                             return std::string(sigabbrev_np(info.param.segnale)) +
                                    (info.param.riparato ? "_Salva" : "_Chiede");
                         });

// A register opened read-only: shown as it is, every save refused with its reason, and
// the exit asks before leaving what could not be written.
TEST(SolaLettura, OgniSalvataggioRifiutatoNienteSiPerde) {
    Banco b;
    Prepara(b, Inizio::Conto);
    b.Clicca("CmdEsci");
    const Disco prima = b.disco();
    b.solaLettura = true;
    ASSERT_TRUE(b.Avvia());
    EXPECT_EQ(b.RigheMostrate().size(), 1u);
    (void)Errori(b);

    b.dialoghi.inputDigitati.push_back("300");
    b.Clicca("CmdSaldo");
    const Testi errori = Errori(b);
    ASSERT_EQ(errori.size(), 1u);
    EXPECT_NE(errori[0].find("registro aperto in sola lettura"), std::string::npos) << errori[0];
    b.Clicca("CmdEsci");
    EXPECT_FALSE(b.dialoghi.terminato) << "staying is the default";
    b.dialoghi.risposte.push_back(ui::Risposta::Si);
    b.Clicca("CmdEsci");
    EXPECT_TRUE(b.dialoghi.terminato);
    EXPECT_EQ(b.disco(), prima);
}

}  // namespace
