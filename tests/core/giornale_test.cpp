// The journal of changes: every edit read back exactly, the files untouched until the fold
// and then byte for byte a whole save; torn at any byte it gives the last whole change,
// damaged it is refused by name; a stop at any step, a full disk in the fold and a backup
// taken between two appends lose nothing.
#include "core/giornale.h"

#include "insieme_dati.h"
#include "support/file_system_difettoso.h"

namespace {

using namespace prova;
using core::FileDati;
using core::Money;
using core::Parametri;
using core::Registro;
using Consolida = FileDati::Consolida;

// The journal from the first change on, and folded only when asked.
constexpr FileDati::LimitiGiornale kSempre{0, std::uintmax_t{1} << 40, 1};

Registro Iniziale(int righe) {
    Registro r;
    for (int i = 0; i < righe; ++i) {
        const auto n = std::to_string(i + 1);
        r.aggiungi({"0" + std::to_string(1 + i % 9) + "/03/2003", "Versamento", "rif. è " + n,
                    n + ".000", n + "0.000"});
    }
    return r;
}

struct Stato {
    Registro registro;
    Parametri parametri;
};

void AttesoUguale(const fs::path& dir, const Stato& atteso) {
    FileDati lettore(core::FileSystemReale(), dir, dir);
    Stato letto;
    ASSERT_EQ(lettore.LeggiParametri(letto.parametri), 0) << lettore.erroreLettura().motivo;
    ASSERT_EQ(lettore.LeggiRegistro(letto.registro), 0) << lettore.erroreLettura().motivo;
    EXPECT_EQ(letto.registro, atteso.registro);
    EXPECT_EQ(letto.parametri.SaldoConto, atteso.parametri.SaldoConto);
    EXPECT_EQ(letto.parametri.FidoConto, atteso.parametri.FidoConto);
    EXPECT_EQ(letto.parametri.ModoValuta, atteso.parametri.ModoValuta);
}

// A run of the program on `dir`: it loads, then saves after each change.
struct Sessione {
    FileDati file;
    Stato stato;
    Sessione(core::FileSystem& fsys, const fs::path& dir) : file(fsys, dir, dir) {
        file.ImpostaLimitiGiornale(kSempre);
        EXPECT_EQ(file.LeggiParametri(stato.parametri), 0);
        EXPECT_EQ(file.LeggiRegistro(stato.registro), 0);
    }
    core::EsitoFile Salva(Consolida c = Consolida::No) {
        return file.SalvaRegistroEParametri(stato.registro, stato.parametri, c);
    }
};

void Prepara(const fs::path& dir, int righe = 6) {
    fs::create_directories(dir);
    FileDati f(core::FileSystemReale(), dir, dir);
    ASSERT_FALSE(f.SalvaRegistroEParametri(Iniziale(righe), {"Euro", Money::FromUnits(7), {}}));
}

using Azione = void (*)(Stato&);
const std::pair<const char*, Azione> kAzioni[] = {
    {"movimento",
     [](Stato& s) {
         s.registro.aggiungi({"10/03/2003", "Prelievo", "atm", "5,00", "1,00"});
     }},
    {"primo tolto", [](Stato& s) { s.registro.rimuovi(0); }},
    {"ultimo tolto", [](Stato& s) { s.registro.rimuovi(s.registro.size() - 1); }},
    {"saldo", [](Stato& s) { s.registro.imposta(s.registro.size() - 1, 4, "-3,50"); }},
    {"fido", [](Stato& s) { s.parametri.FidoConto = Money::FromUnits(-500); }},
    {"in mezzo", [](Stato& s) { s.registro.imposta(2, 2, "corretto"); }},
    {"due primi e uno nuovo",
     [](Stato& s) {
         s.registro.rimuovi(0);
         s.registro.rimuovi(0);
         s.registro.aggiungi({"11/03/2003", "Bonifico", "", "1,00", "2,00"});
     }},
    {"nessuna", [](Stato&) {}},
    {"svuotato", [](Stato& s) { s.registro.tronca(0); }},
    {"di nuovo",
     [](Stato& s) {
         s.registro.aggiungi({"12/03/2003", "Versamento", "", "9,00", "9,00"});
     }},
    {"da capo e il primo tolto",
     [](Stato& s) {
         s.registro.tronca(0);
         for (const char* r : {"a", "b", "c", "d", "e", "f", "g", "h"})
             s.registro.aggiungi({"13/03/2003", "Bonifico", r, "1,00", "1,00"});
         s.registro.rimuovi(0);
     }},
    {"ultimi due tagliati", [](Stato& s) { s.registro.tronca(s.registro.size() - 2); }},
    {"tre primi in due volte",
     [](Stato& s) {
         s.registro.rimuovi(0);
         s.registro.rimuoviPrime(2);
     }},
};

TEST(Giornale, OgniModificaRilettaEIFileIntattiFinoAlConsolidamento) {
    test::CartellaTemporanea dir(test::BaseVeloce());
    Prepara(dir.path());
    const auto primaDelGiornale = Contenuti({dir.path()});
    Sessione s(core::FileSystemReale(), dir.path());
    for (const auto& [nome, azione] : kAzioni) {
        SCOPED_TRACE(nome);
        const auto giornalePrima = fs::exists(dir / core::giornale::kFileGiornale)
                                       ? test::LeggiByte(dir / core::giornale::kFileGiornale)
                                       : "";
        azione(s.stato);
        ASSERT_EQ(s.Salva(), std::nullopt);
        AttesoUguale(dir.path(), s.stato);
        // A save with nothing changed appends nothing.
        if (std::string_view(nome) == "nessuna") {
            EXPECT_EQ(test::LeggiByte(dir / core::giornale::kFileGiornale), giornalePrima);
        }
        auto ora = Contenuti({dir.path()});
        ASSERT_EQ(ora.erase(core::giornale::kFileGiornale), 1u);
        EXPECT_EQ(ora, primaDelGiornale);
    }
    ASSERT_EQ(s.Salva(Consolida::Si), std::nullopt);
    AttesoUguale(dir.path(), s.stato);
    // The fold is byte for byte what a whole save of the same writes.
    test::CartellaTemporanea intero(test::BaseVeloce());
    FileDati f(core::FileSystemReale(), intero.path(), intero.path());
    ASSERT_FALSE(f.SalvaRegistroEParametri(Registro(s.stato.registro), s.stato.parametri));
    EXPECT_EQ(Contenuti({dir.path()}), Contenuti({intero.path()}));
    // Nothing changed since: the next exit writes nothing.
    const auto dopo = fs::last_write_time(dir / "listcol1.txt");
    ASSERT_EQ(s.Salva(Consolida::Si), std::nullopt);
    EXPECT_EQ(fs::last_write_time(dir / "listcol1.txt"), dopo);
}

// Below the threshold every save writes the files whole, with no journal.
TEST(Giornale, RegistroPiccoloSenzaGiornale) {
    test::CartellaTemporanea dir(test::BaseVeloce());
    Prepara(dir.path());
    FileDati file(core::FileSystemReale(), dir.path(), dir.path());
    Stato s;
    ASSERT_EQ(file.LeggiParametri(s.parametri) + file.LeggiRegistro(s.registro), 0);
    s.registro.rimuovi(0);
    ASSERT_EQ(file.SalvaRegistroEParametri(s.registro, s.parametri), std::nullopt);
    EXPECT_FALSE(fs::exists(dir / core::giornale::kFileGiornale));
    AttesoUguale(dir.path(), s);
}

struct DueModifiche {
    test::CartellaTemporanea dir{test::BaseVeloce()};
    Stato prima, dopo;
    std::string giornale;
    std::size_t primaVoce = 0;  // the journal's bytes after the first change
    DueModifiche() {
        Prepara(dir.path());
        Sessione s(core::FileSystemReale(), dir.path());
        kAzioni[0].second(s.stato);
        EXPECT_EQ(s.Salva(), std::nullopt);
        prima = {Registro(s.stato.registro), s.stato.parametri};
        primaVoce = fs::file_size(dir / core::giornale::kFileGiornale);
        kAzioni[6].second(s.stato);
        kAzioni[4].second(s.stato);
        EXPECT_EQ(s.Salva(), std::nullopt);
        dopo = {Registro(s.stato.registro), s.stato.parametri};
        giornale = test::LeggiByte(dir / core::giornale::kFileGiornale);
    }
};

// Cut at any byte of the last change, or with its end filled by zeros (a file grown before
// its bytes were written), the journal gives the change before; the next save cuts the torn
// end off and appends after it.
TEST(Giornale, StrappatoAOgniByte) {
    DueModifiche d;
    ASSERT_GT(d.giornale.size(), d.primaVoce);
    for (std::size_t taglio = d.primaVoce; taglio < d.giornale.size(); ++taglio) {
        SCOPED_TRACE(taglio);
        for (const bool zeri : {false, true}) {
            auto testo = d.giornale.substr(0, taglio);
            if (zeri) testo.resize(d.giornale.size(), '\0');
            Scrivi(d.dir / core::giornale::kFileGiornale, testo);
            AttesoUguale(d.dir.path(), d.prima);
            Sessione s(core::FileSystemReale(), d.dir.path());
            kAzioni[3].second(s.stato);
            ASSERT_EQ(s.Salva(), std::nullopt);
            AttesoUguale(d.dir.path(), s.stato);
        }
    }
}

// Damage inside the journal, or files that are no longer those it was started on, is
// refused by name and entry (0: the whole journal), and no save writes over it.
struct Danno {
    const char* nome;
    std::size_t voce;
    void (*guasta)(DueModifiche&);
};
const Danno kDanni[] = {
    {"byte cambiato", 2,
     [](DueModifiche& d) {
         d.giornale[d.primaVoce - 3] ^= 1;
         Scrivi(d.dir / core::giornale::kFileGiornale, d.giornale);
     }},
    {"riga di controllo", 3,
     [](DueModifiche& d) {
         d.giornale.insert(d.primaVoce, "x\r\n");
         Scrivi(d.dir / core::giornale::kFileGiornale, d.giornale);
     }},
    {"file del registro cambiato", 0,
     [](DueModifiche& d) {
         auto testo = test::LeggiByte(d.dir / "listcol3.txt");
         Scrivi(d.dir / "listcol3.txt", testo.replace(testo.find("rif."), 4, "rif. n."));
     }},
    // The last column too: an editor's byte order mark changes no row, but the bytes.
    {"listcol5.txt riscritto", 0,
     [](DueModifiche& d) {
         Scrivi(d.dir / "listcol5.txt", "\xEF\xBB\xBF" + test::LeggiByte(d.dir / "listcol5.txt"));
     }},
    {"para.txt tolto", 0, [](DueModifiche& d) { fs::remove(d.dir / "para.txt"); }},
};

TEST(Giornale, DanneggiatoRifiutatoColNome) {
    for (const auto& [nome, voce, guasta] : kDanni) {
        SCOPED_TRACE(nome);
        DueModifiche d;
        guasta(d);
        const auto prima = Contenuti({d.dir.path()});
        FileDati file(core::FileSystemReale(), d.dir.path(), d.dir.path());
        Stato s;
        EXPECT_EQ(file.LeggiRegistro(s.registro), core::kErroreTipo);
        EXPECT_EQ(file.erroreLettura().file.filename(), core::giornale::kFileGiornale);
        EXPECT_EQ(file.erroreLettura().riga, voce);
        const auto esito = file.SalvaRegistroEParametri(Iniziale(2), s.parametri);
        ASSERT_TRUE(esito.has_value());
        EXPECT_EQ(esito->file.filename(), core::giornale::kFileGiornale);
        EXPECT_EQ(Contenuti({d.dir.path()}), prima);
    }
}

// A register saved whole over a journal (a register of its own, not the one read) takes
// the journal's parameters into para.txt as it removes it.
TEST(Giornale, SalvataggioInteroTieneIParametriDelGiornale) {
    DueModifiche d;
    FileDati file(core::FileSystemReale(), d.dir.path(), d.dir.path());
    ASSERT_EQ(file.SalvaRegistro(Iniziale(2)), std::nullopt);
    EXPECT_FALSE(fs::exists(d.dir / core::giornale::kFileGiornale));
    AttesoUguale(d.dir.path(), {Iniziale(2), d.dopo.parametri});
}

// A whole entry (its checksum right) that cannot be what a save wrote is refused, never
// applied as far as it goes: rows kept beyond the register, parameters with more after them.
// Parameters in the journal no one can read are named by the journal and their entry.
TEST(Giornale, ParametriIlleggibiliNelGiornale) {
    DueModifiche d;
    auto testo = d.giornale.substr(0, d.primaVoce);
    testo += core::giornale::Cornice(
        core::giornale::ContenutoModifica("\"Euro\",\"a\",\"b\"\r\n", false, 0, 0, 0, ""));
    Scrivi(d.dir / core::giornale::kFileGiornale, testo);
    FileDati file(core::FileSystemReale(), d.dir.path(), d.dir.path());
    Parametri p;
    EXPECT_NE(file.LeggiParametri(p), 0);
    EXPECT_EQ(file.erroreLettura().file.filename(), core::giornale::kFileGiornale);
    EXPECT_EQ(file.erroreLettura().riga, 3u);
}

TEST(Giornale, VoceInteraMaImpossibile) {
    const std::string voci[] = {
        core::giornale::ContenutoModifica("", true, 1, 6, 0, ""),
        core::giornale::ContenutoModifica("\"Euro\",\"a\",\"b\"\r\n", false, 0, 0, 0, "") + "x",
    };
    for (const auto& voce : voci) {
        SCOPED_TRACE(voce);
        DueModifiche d;
        core::giornale::Base base;
        for (int k = 0; k < 5; ++k) base[k] = fs::file_size(d.dir / core::NomeFileRegistro(k + 1));
        base[5] = fs::file_size(d.dir / "para.txt");
        Scrivi(d.dir / core::giornale::kFileGiornale,
               core::giornale::Cornice(core::giornale::ContenutoBase(base)) +
                   core::giornale::Cornice(voce));
        FileDati file(core::FileSystemReale(), d.dir.path(), d.dir.path());
        Registro r;
        EXPECT_EQ(file.LeggiRegistro(r), core::kErroreTipo);
        EXPECT_EQ(file.erroreLettura().file.filename(), core::giornale::kFileGiornale);
    }
}

enum Passo { kNuovoGiornale, kAggiunta, kConsolidamento };

// The machine stops after every number of changes to the disk, in the journal's first
// entry, in an append and in the fold: the next start finds the register before or after.
class ArrestoNelGiornale : public testing::TestWithParam<Passo> {};

TEST_P(ArrestoNelGiornale, VecchioONuovo) {
    test::CartellaTemporanea dir(test::BaseVeloce());
    const fs::path modello = dir / "modello", dati = dir / "dati";
    Prepara(modello);
    Stato vecchio;
    if (GetParam() != kNuovoGiornale) {
        Sessione s(core::FileSystemReale(), modello);
        kAzioni[0].second(s.stato);
        ASSERT_EQ(s.Salva(), std::nullopt);
        vecchio = {Registro(s.stato.registro), s.stato.parametri};
    }
    std::map<std::string, int> visti;
    for (int passi = 0;; ++passi) {
        SCOPED_TRACE(passi);
        fs::remove_all(dati);
        fs::copy(modello, dati);
        test::FileSystemDifettoso fsys;
        Sessione s(fsys, dati);
        if (GetParam() == kNuovoGiornale) vecchio = {Registro(s.stato.registro), s.stato.parametri};
        if (GetParam() != kConsolidamento) kAzioni[6].second(s.stato);
        kAzioni[4].second(s.stato);
        fsys.CrollaDopo(passi);
        const auto errore = s.Salva(GetParam() == kConsolidamento ? Consolida::Si : Consolida::No);
        FileDati riavvio(core::FileSystemReale(), dati, dati);
        ASSERT_EQ(riavvio.Recupera(), std::nullopt);
        Stato letto;
        ASSERT_EQ(riavvio.LeggiParametri(letto.parametri) + riavvio.LeggiRegistro(letto.registro),
                  0);
        const bool nuovo = letto.registro == s.stato.registro &&
                           letto.parametri.FidoConto == s.stato.parametri.FidoConto;
        ASSERT_TRUE(nuovo || (letto.registro == vecchio.registro &&
                              letto.parametri.FidoConto == vecchio.parametri.FidoConto));
        ++visti[nuovo ? "nuovo" : "vecchio"];
        if (!errore) break;
        // A failure is told, and it said the truth about what the disk holds.
        EXPECT_EQ(nuovo, errore->dati == core::DatiDopoErrore::CompletatiAlRiavvio);
    }
    EXPECT_GT(visti["vecchio"], 0);
    EXPECT_GT(visti["nuovo"], 0);
}

INSTANTIATE_TEST_SUITE_P(Passi, ArrestoNelGiornale,
                         testing::Values(kNuovoGiornale, kAggiunta, kConsolidamento));

// The exit cannot fold the journal (a register opened read-only, a disk that fills up in
// the middle of the fold): its last change goes into the journal, which keeps everything,
// nothing else changes, and the next exit folds it.
TEST(Giornale, ConsolidamentoImpossibileNonPerdeNulla) {
    DueModifiche d;
    test::FileSystemDifettoso fsys;
    Sessione s(fsys, d.dir.path());
    const auto prima = Contenuti({d.dir.path()});
    fsys.Guasta({test::Operazione::Scrivi, "", 0, false, EACCES});
    EXPECT_EQ(s.Salva(Consolida::Si), std::nullopt);
    EXPECT_EQ(Contenuti({d.dir.path()}), prima);
    fsys.Ripara();
    kAzioni[3].second(s.stato);
    fsys.Guasta({test::Operazione::Scrivi, "listcol3", 0, false, ENOSPC, true});
    EXPECT_EQ(s.Salva(Consolida::Si), std::nullopt);
    AttesoUguale(d.dir.path(), s.stato);
    auto ora = Contenuti({d.dir.path()});
    ora.erase(core::giornale::kFileGiornale);
    auto primaSenza = prima;
    primaSenza.erase(core::giornale::kFileGiornale);
    EXPECT_EQ(ora, primaSenza);
    fsys.Ripara();
    ASSERT_EQ(s.Salva(Consolida::Si), std::nullopt);
    EXPECT_FALSE(fs::exists(d.dir / core::giornale::kFileGiornale));
    AttesoUguale(d.dir.path(), s.stato);
}

// The run's backup, taken at its first append, keeps the register as the run found it
// through the next appends and the fold.
TEST(Giornale, CopiaTraDueAggiunte) {
    DueModifiche d;
    Sessione s(core::FileSystemReale(), d.dir.path());
    s.file.AttivaCopie([] { return std::string("20261207-220000"); });
    const fs::path copia = d.dir / "backup" / "20261207-220000";
    for (int i = 0; i < 3; ++i) {
        kAzioni[i % 2 ? 1 : 0].second(s.stato);
        ASSERT_EQ(s.Salva(i == 2 ? Consolida::Si : Consolida::No), std::nullopt);
        AttesoUguale(copia, d.dopo);
        EXPECT_EQ(test::LeggiByte(copia / core::giornale::kFileGiornale), d.giornale);
    }
    AttesoUguale(d.dir.path(), s.stato);
}

}  // namespace
