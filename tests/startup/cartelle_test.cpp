#include "startup/cartelle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "core/codifica.h"
#include "core/record.h"
#include "core/uscite.h"
#include "support/cartella_temporanea.h"
#include "support/contesto_finto.h"
#include "support/finti.h"

namespace {

namespace fs = std::filesystem;

enum class Esito { Programma, SolaLettura, Personale, Fine };

struct Caso {
    bool installata;
    int erroreScrittura;  // of the program's folder
    bool registroQui;     // the program's folder holds a register
    // "": missing; "registro": holds another; "para.txt": only that of a register; "file": a
    // file in its place
    const char* personale;
    std::optional<ui::Risposta> risposta;
    Esito esito;
    std::vector<const char*> parole;  // in the one message, when there is one
};

// The files of a folder with their bytes; none when it is missing.
std::map<std::string, std::string> Contenuto(const fs::path& cartella) {
    std::map<std::string, std::string> file;
    if (fs::is_directory(cartella))
        for (const auto& f : fs::directory_iterator(cartella))
            file[f.path().filename()] = test::LeggiByte(f.path());
    return file;
}

class ScegliCartella : public testing::TestWithParam<Caso> {};

// The register is copied byte for byte only when the user chose it; nothing of the user's
// own folder is overwritten; the original is never touched.
TEST_P(ScegliCartella, DoveSonoIDati) {
    const Caso& c = GetParam();
    test::CartellaTemporanea dir;
    const fs::path bin = dir / "bin", programma = c.installata ? bin : dir / "portatile";
    const fs::path personale = dir / "dati" / "Quibora";
    fs::create_directories(programma);
    fs::create_directories(dir / "share" / "applications");
    std::ofstream(dir / "share" / "applications" / "quibora.desktop") << "[Desktop Entry]\n";
    std::map<std::string, std::string> registro, suo;
    if (c.registroQui)
        for (const char* n : {"dati.txt", "para.txt", "listcol1.txt", "listcol5.txt"})
            registro[n] = "\"" + std::string(n) + "\"\r\n";
    for (const auto& [n, byte] : registro) std::ofstream(programma / n) << byte;
    if (std::string_view(c.personale) == "registro" ||
        std::string_view(c.personale) == "para.txt") {
        const std::string n = c.personale[0] == 'r' ? "dati.txt" : "para.txt";
        fs::create_directories(personale);
        std::ofstream(personale / n) << (suo[n] = "\"altro\"\r\n");
    } else if (std::string_view(c.personale) == "file") {
        std::ofstream(dir / "dati") << "";
    }
    test::DialoghiFinti dialoghi;
    if (c.risposta) dialoghi.risposte.push_back(*c.risposta);

    const auto scelta = avvio::ScegliCartellaDati(
        {programma, personale}, core::FileSystemReale(), dialoghi,
        [&](const fs::path& p) { return p == programma ? c.erroreScrittura : 0; });

    ASSERT_EQ(scelta.has_value(), c.esito != Esito::Fine);
    // The copy is made once the folder is locked.
    core::FileDati file(core::FileSystemReale(), personale, dir / "conf");
    if (scelta) {
        ASSERT_TRUE(avvio::CompletaCopia(*scelta, dir / "conf" / "Vorn.lst", file, dialoghi));
        EXPECT_EQ(scelta->percorso, c.esito == Esito::Personale ? personale : programma);
        EXPECT_EQ(scelta->solaLettura, c.esito == Esito::SolaLettura);
    }
    ASSERT_EQ(dialoghi.messaggi.size(), c.parole.empty() ? 0u : 1u);
    for (std::string parola : c.parole) {
        if (parola.starts_with("<")) parola = (parola == "<programma>" ? programma : personale);
        EXPECT_NE(dialoghi.messaggi[0].testo.find(parola), std::string::npos)
            << parola << " in " << dialoghi.messaggi[0].testo;
    }
    EXPECT_EQ(Contenuto(programma), registro);
    const bool copiato = c.risposta == ui::Risposta::Si && std::string_view(c.personale).empty();
    EXPECT_EQ(Contenuto(personale), copiato ? registro : suo);
}

using enum ui::Risposta;
using enum Esito;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, ScegliCartella, testing::Values(
    // An installed copy never writes beside itself, even where it could.
    Caso{true, 0, true, "", {}, Personale, {}},
    Caso{false, 0, true, "", {}, Programma, {}},
    Caso{false, EROFS, false, "", {}, Personale, {}},
    Caso{false, EROFS, true, "", Si, Personale,
         {"<programma>", "<personale>", "accesso negato", "sola lettura", "Annulla"}},
    Caso{false, EACCES, true, "", No, SolaLettura, {"<programma>"}},
    Caso{false, EROFS, true, "", Annulla, Fine, {"<programma>"}},
    Caso{false, EROFS, true, "registro", Si, Personale, {"<personale>", "c'è già un registro"}},
    Caso{false, EROFS, true, "registro", {}, SolaLettura, {"<programma>"}},
    // Any file of a register there is one: it is never overwritten.
    Caso{false, EROFS, true, "para.txt", Si, Personale, {"<personale>", "c'è già un registro"}},
    // A file where the user's folder should be: said as it is.
    Caso{true, 0, false, "file", {}, Fine,
         {"Impossibile creare la cartella", "<personale>", "c'è un file"}}));
// clang-format on

}  // namespace

// Only the leftovers of runs cut short, plain files of the user older than this run, go.
TEST(Avanzi, SoloFileDelLUtentePiuVecchiDellAvvio) {
    test::CartellaTemporanea dir;
    const auto prima = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* n : {"e.csv.quibora-tmp", "quibora-ofx-a1B2c3", "libofxtmpXyZ",
                          "altrui.quibora-tmp", "quibora-ofx-in-corso", "e.csv", "quibora.txt"}) {
        std::ofstream(dir / n) << "x";
        if (std::string_view(n) != "quibora-ofx-in-corso") fs::last_write_time(dir / n, prima);
    }
    fs::create_directory(dir / "libofxtmp-cartella");
    ASSERT_EQ(::chown((dir / "altrui.quibora-tmp").c_str(), 4321, 4321), 0);
    avvio::TogliAvanzi(dir.path(), ::geteuid(), std::time(nullptr) - 60);
    std::set<std::string> restano;
    for (const auto& f : fs::directory_iterator(dir.path())) restano.insert(f.path().filename());
    EXPECT_EQ(restano, (std::set<std::string>{"altrui.quibora-tmp", "quibora-ofx-in-corso", "e.csv",
                                              "quibora.txt", "libofxtmp-cartella"}));
}

// An export killed half-way leaves its temporary file beside the chosen name; the folder was
// listed first, so the next start finds it there.
TEST(Avanzi, AncheNelleCartelleDelleEsportazioni) {
    test::CartellaTemporanea dati, uscita;
    auto& disco = core::FileSystemReale();
    const auto elenco = dati / core::kFileUscite;
    // Listed once, however many exports went there.
    for (int volta = 0; volta < 2; ++volta)
        ASSERT_FALSE(core::RicordaCartellaUscita(disco, elenco, uscita.path()).has_value());
    EXPECT_EQ(core::CartelleUscita(disco, elenco), std::vector<fs::path>{uscita.path()});
    const auto prima = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* n : {"registro.csv.quibora-tmp", "registro.csv"}) {
        std::ofstream(uscita / n) << "x";
        fs::last_write_time(uscita / n, prima);
    }
    avvio::TogliAvanziUscite(dati.path(), ::geteuid(), std::time(nullptr) - 60);
    EXPECT_FALSE(fs::exists(uscita / "registro.csv.quibora-tmp"));
    EXPECT_TRUE(fs::exists(uscita / "registro.csv"));
    EXPECT_FALSE(fs::exists(elenco));
}

// A lock that is a link, even to a plain file, is refused and never followed.
TEST(Blocco, UnCollegamentoNonSiSegue) {
    test::CartellaTemporanea dir;
    std::ofstream(dir / "altro") << "123";
    fs::create_symlink(dir / "altro", dir / ".quibora.lock");
    const auto errore = avvio::ControllaFileBlocco(dir / ".quibora.lock");
    ASSERT_TRUE(errore.has_value());
    EXPECT_EQ(errore->motivo, "al suo posto c'è un collegamento simbolico");
}

// Root (sudo -E keeps the user's home) is refused on a folder of another user, even one not
// made yet, and says why; anyone else, or root on its own folders, goes on.
TEST(Amministratore, RifiutatoSullaCartellaDiUnAltroUtente) {
    test::CartellaTemporanea dir;
    fs::create_directory(dir / "utente");
    ASSERT_EQ(::chown((dir / "utente").c_str(), 4321, 4321), 0);
    ASSERT_EQ(::chown(dir.path().c_str(), 0, 0), 0);
    const auto rifiuto = avvio::RifiutoAmministratore(dir / "utente" / ".config" / "Quibora", 0);
    ASSERT_TRUE(rifiuto.has_value());
    EXPECT_NE(rifiuto->find((dir / "utente" / ".config" / "Quibora").string()), std::string::npos);
    EXPECT_NE(rifiuto->find("un altro utente"), std::string::npos);
    EXPECT_EQ(avvio::RifiutoAmministratore(dir / "utente", 4321), std::nullopt);
    EXPECT_EQ(avvio::RifiutoAmministratore(dir.path(), 0), std::nullopt);
}

// Each register its own password file: set for one, it never changes another's, and the
// backups of each keep its own. The user's folder keeps the configuration folder's file.
TEST(Password, UnRegistroUnaPassword) {
    test::CartellaTemporanea dir;
    const fs::path conf = dir / "conf", personale = dir / "personale";
    fs::create_directories(dir / "uno");
    fs::create_symlink(dir / "uno", dir / "collegamento");
    EXPECT_EQ(avvio::CartellaPassword(conf, personale, personale), conf);
    EXPECT_EQ(avvio::CartellaPassword(conf, dir / "collegamento", personale),
              avvio::CartellaPassword(conf, dir / "uno", personale));
    std::vector<std::unique_ptr<core::FileDati>> registri;
    for (const char* n : {"uno", "due"}) {
        const auto cartella = avvio::CartellaPassword(conf, dir / n, personale);
        EXPECT_EQ(cartella.parent_path(), conf / "registri");
        registri.push_back(std::make_unique<core::FileDati>(core::FileSystemReale(), dir / n,
                                                            core::DirSistema(cartella)));
        fs::create_directories(dir / n);
        ASSERT_FALSE(registri.back()->SalvaPassword(n));
    }
    // A later run of the second: its backup keeps its password as it was.
    core::FileDati due(core::FileSystemReale(), dir / "due",
                       core::DirSistema(avvio::CartellaPassword(conf, dir / "due", personale)));
    due.AttivaCopie([] { return std::string("20261207-12000d"); });
    ASSERT_FALSE(due.SalvaPassword("tre"));
    std::string uno;
    ASSERT_EQ(registri[0]->LeggiPassword(uno), 0);
    EXPECT_EQ(uno, *core::Codifica("uno"));
    EXPECT_EQ(test::LeggiByte(dir / "due" / "backup" / "20261207-12000d" / "Vorn.lst"),
              core::ScriviRecord({*core::Codifica("due")}));
}

// A register that used the shared file before gets a copy of it once; a new one does not.
TEST(Password, IlFileComuneCopiatoUnaVolta) {
    test::CartellaTemporanea dir;
    const fs::path conf = dir / "conf", dati = dir / "dati", propria = dir / "propria";
    fs::create_directories(conf);
    fs::create_directories(dati);
    std::ofstream(conf / "Vorn.lst") << "\"comune\"\r\n";
    ASSERT_FALSE(avvio::AdottaPasswordComune(core::FileSystemReale(), conf, propria, dati));
    EXPECT_FALSE(fs::exists(propria / "Vorn.lst")) << "no register yet";
    std::ofstream(dati / "dati.txt") << "\"1\",\"B\"\r\n";
    for (const char* comune : {"\"comune\"\r\n", "\"altra\"\r\n"}) {
        std::ofstream(conf / "Vorn.lst") << comune;
        ASSERT_FALSE(avvio::AdottaPasswordComune(core::FileSystemReale(), conf, propria, dati));
        EXPECT_EQ(test::LeggiByte(propria / "Vorn.lst"), "\"comune\"\r\n");
    }
}

// Installed under any prefix, the layout tells: bin/ with the program's own files in the
// share/ beside it. A bin/ alone, or a build folder, is portable.
TEST(Installazione, RiconosciutaDallaDisposizione) {
    test::CartellaTemporanea dir;
    const std::pair<const char*, const char*> casi[] = {
        {"opt/quibora/bin", "opt/quibora/share/metainfo/it.quibora.quibora.metainfo.xml"},
        {"home/.local/bin/", "home/.local/share/applications/quibora.desktop"},
        {"chiavetta/bin", "chiavetta/share/applications/altro.desktop"},
        {"build/app", "build/share/applications/quibora.desktop"}};
    for (const auto& [bin, file] : casi) {
        fs::create_directories(dir / bin);
        fs::create_directories((dir / file).parent_path());
        std::ofstream(dir / file) << "";
        EXPECT_EQ(avvio::Installata({dir / bin, dir / "personale"}),
                  std::string_view(file).find("quibora.") != std::string_view::npos &&
                      std::string_view(bin).find("bin") != std::string_view::npos)
            << bin;
    }
}
