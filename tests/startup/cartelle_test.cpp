#include "startup/cartelle.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include "support/cartella_temporanea.h"
#include "support/contesto_finto.h"
#include "support/finti.h"

namespace {

namespace fs = std::filesystem;

enum class Esito { Programma, SolaLettura, Personale, Fine };

struct Caso {
    const char* nome;
    bool installata;
    int erroreScrittura;    // of the program's folder
    bool registroQui;       // the program's folder holds a register
    const char* personale;  // "": missing; "registro": holds another; "file": a file in its place
    std::optional<ui::Risposta> risposta;
    Esito esito;
    std::vector<const char*> parole;  // in the one message, when there is one
};

void Scrivi(const fs::path& p, std::string_view byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

class ScegliCartella : public testing::TestWithParam<Caso> {};

TEST_P(ScegliCartella, DoveSonoIDati) {
    const Caso& c = GetParam();
    test::CartellaTemporanea dir;
    const fs::path bin = dir / "bin", portatile = dir / "portatile";
    const fs::path programma = c.installata ? bin : portatile;
    const fs::path personale = dir / "dati" / "Quibora";
    fs::create_directories(programma);
    const std::vector<std::string> nomi{"dati.txt", "para.txt", "listcol1.txt", "listcol5.txt"};
    if (c.registroQui)
        for (const auto& n : nomi) Scrivi(programma / n, "\"" + n + "\"\r\n");
    if (std::string_view(c.personale) == "registro") {
        fs::create_directories(personale);
        Scrivi(personale / "dati.txt", "\"altro\"\r\n");
    } else if (std::string_view(c.personale) == "file") {
        Scrivi(dir / "dati", "");
    }
    test::DialoghiFinti dialoghi;
    if (c.risposta) dialoghi.risposte.push_back(*c.risposta);

    const auto scelta = avvio::ScegliCartellaDati(
        {programma, {bin}, personale}, core::FileSystemReale(), dialoghi,
        [&](const fs::path& p) { return p == programma ? c.erroreScrittura : 0; });

    ASSERT_EQ(scelta.has_value(), c.esito != Esito::Fine);
    if (scelta) {
        EXPECT_EQ(scelta->percorso, c.esito == Esito::Personale ? personale : programma);
        EXPECT_EQ(scelta->solaLettura, c.esito == Esito::SolaLettura);
    }
    ASSERT_EQ(dialoghi.messaggi.size(), c.parole.empty() ? 0u : 1u);
    for (std::string parola : c.parole) {
        if (parola == "<programma>") parola = programma.string();
        if (parola == "<personale>") parola = personale.string();
        EXPECT_NE(dialoghi.messaggi[0].testo.find(parola), std::string::npos)
            << parola << " in " << dialoghi.messaggi[0].testo;
    }
    // The register is copied byte for byte only when the user chose it; nothing of the
    // user's own folder is overwritten; the original is never touched.
    const bool copiato = c.risposta == ui::Risposta::Si && std::string_view(c.personale).empty();
    for (const auto& n : nomi) {
        if (c.registroQui) {
            EXPECT_EQ(test::LeggiByte(programma / n), "\"" + n + "\"\r\n");
        }
        if (copiato) {
            EXPECT_EQ(test::LeggiByte(personale / n), "\"" + n + "\"\r\n") << n;
        } else if (std::string_view(c.personale) == "registro") {
            EXPECT_EQ(test::LeggiByte(personale / "dati.txt"), "\"altro\"\r\n");
        } else {
            EXPECT_FALSE(fs::exists(personale / n)) << n;
        }
    }
}

using enum ui::Risposta;
using enum Esito;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, ScegliCartella, testing::Values(
    // An installed copy never writes beside itself, even where it could.
    Caso{"Installata", true, 0, true, "", {}, Personale, {}},
    Caso{"PortatileScrivibile", false, 0, true, "", {}, Programma, {}},
    Caso{"SupportoSenzaRegistro", false, EROFS, false, "", {}, Personale, {}},
    Caso{"Copia", false, EROFS, true, "", Si, Personale,
         {"<programma>", "<personale>", "accesso negato", "sola lettura", "Annulla"}},
    Caso{"ApriInSolaLettura", false, EACCES, true, "", No, SolaLettura, {"<programma>"}},
    Caso{"Annulla", false, EROFS, true, "", Annulla, Fine, {"<programma>"}},
    Caso{"CopiaGiaPresente", false, EROFS, true, "registro", Si, Personale,
         {"<personale>", "c'è già un registro"}},
    Caso{"CopiaGiaPresenteSolaLettura", false, EROFS, true, "registro", {}, SolaLettura,
         {"<programma>"}},
    // A file where the user's folder should be: said as it is.
    Caso{"CartellaImpossibile", true, 0, false, "file", {}, Fine,
         {"Impossibile creare la cartella", "<personale>", "c'è un file"}}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

}  // namespace
