#include "main_window/form1.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "core/codifica.h"
#include "core/importi.h"
#include "main_window/frm_pass.h"
#include "support/contesto_finto.h"

namespace {

namespace fs = std::filesystem;
using core::Money;
using main_window::Form1;
using Comando = void (Form1::*)();

Money U(std::int64_t unita) {
    return Money::FromUnits(unita);
}

class FinestreAperte : public main_window::ApriFinestre {
  public:
    void ApriInserimento(const core::TipoMovimento& t) override { aperte.emplace_back(t.finestra); }
    void ApriPassword() override { aperte.emplace_back("frmPass"); }
    void ApriStampa() override { aperte.emplace_back("frmStampa"); }
    std::vector<std::string> aperte;
};

void Scrivi(const fs::path& p, std::string_view byte) {
    std::ofstream(p, std::ios::binary) << byte;
}
std::string Riga(std::string_view voce) {
    return "\"" + std::string(voce) + "\"\r\n";
}
std::string Parametri(std::string_view modo, std::string_view saldo, std::string_view fido) {
    return "\"" + std::string(modo) + "\",\"" + *core::Codifica(saldo) + "\",\"" +
           *core::Codifica(fido) + "\"\r\n";
}

class Form1Test : public ::testing::Test, public test::ContestoFinto {
  protected:
    Form1Test() {
        oggi = {2001, 2, 3};
        for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"}) form1[nome].abilitato = false;
    }
    // Commas and accents in the texts must load back intact.
    static core::RigaRegistro Movimento(int i) {
        return {"01/02/2001", "Addebito boll.elettricità", "a, b è", "1,50", std::to_string(i)};
    }
    void scriviMovimenti(int quanti) {
        std::vector<core::RigaRegistro> righe;
        for (int i = 0; i < quanti; ++i) righe.push_back(Movimento(i));
        ASSERT_FALSE(file.SalvaRegistro(core::Registro(righe)));
    }

    FinestreAperte finestre_;
    main_window::Form1 logica_{contesto, finestre_};
};

struct Caricamento {
    const char* nome;
    int movimenti;
    const char* file;       // written with `contenuto` before loading
    std::string contenuto;  // "-": the file is removed; "/": a folder takes its place
    int errore;
    std::string mostrato;  // ModoValuta, CmdEuro, Label2, Label6 and txtSaldo, joined by "|"
};

// Loading shows the currency, the balance, the grid, the buttons and past eleven movements
// the wide window; a load that fails returns the reader's error and changes nothing.
class Form1Caricamento : public Form1Test, public ::testing::WithParamInterface<Caricamento> {};

TEST_P(Form1Caricamento, ValutaSaldoGrigliaOErrore) {
    const auto& c = GetParam();
    scriviMovimenti(c.movimenti);
    if (c.contenuto == "-")
        fs::remove(dir / c.file);
    else if (c.contenuto == "/")
        fs::create_directories(dir / c.file / "x");
    else if (c.file)
        Scrivi(dir / c.file, c.contenuto);
    const int scritture = disco.Chiamate(test::Operazione::Scrivi);
    EXPECT_EQ(logica_.Form_Load(), c.errore);
    // Nor does closing after a failed load write over the files it could not read.
    if (c.errore != 0) static_cast<void>(logica_.Form_Unload());
    EXPECT_EQ(disco.Chiamate(test::Operazione::Scrivi), scritture) << "loading writes nothing";
    std::string mostrato = stato.ModoValuta;
    for (const char* nome : {"CmdEuro", "Label2", "Label6", "txtSaldo"})
        mostrato += "|" + form1.Testo(nome);
    EXPECT_EQ(mostrato, c.mostrato);
    const bool negativo = c.mostrato.find("|-") != std::string::npos;
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), negativo ? ui::kRosso : ui::kNero);
    if (c.errore != 0) return;

    const int n = c.movimenti;
    ASSERT_EQ(griglia.Rows(), n + 1);
    EXPECT_EQ(griglia.intestazione(),
              (core::RigaRegistro{"Data", "Causale", "Riferimento", "Importo", "Saldo"}));
    if (n > 0) {
        EXPECT_EQ(griglia.righe().riga(0), Movimento(0));
    }
    EXPECT_EQ(std::make_tuple(griglia.ColWidth(1), griglia.ColAlignment(2),
                              griglia.FixedAlignment(3), griglia.ForeColorFixed()),
              std::make_tuple(2200, grid::Allineamento::Sinistra, grid::Allineamento::Centro,
                              grid::ColoreRgb{128, 0, 0}));
    for (const char* pulsante : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_EQ(form1.Abilitato(pulsante), n > 0) << pulsante;
    const bool password = c.file && std::string_view(c.file) == "sys/Vorn.lst";
    EXPECT_EQ(form1.Testo("cmdPass"), password ? "Rimuovi Pass&word" : "Inserisci Pass&word");
    // The wide window: what the frame, the buttons, the logo and the title move by.
    const int larga = n >= 12 ? 1 : 0;
    EXPECT_EQ(std::make_tuple(form1.Posizione("Form1").width, form1.Posizione("CmdEsci").left,
                              form1.Posizione("Image1").left, form1.Posizione("Label1").left,
                              griglia.TopRow()),
              std::make_tuple(240 * larga, 240 * larga, 120 * larga, 50 * larga, larga ? n : 1));
}

const char* const kEuroZero = "Euro|&Gestisci in Lire|€.|€uro|0,00";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Form1Caricamento, ::testing::Values(
    Caricamento{"SenzaParametri", 2, nullptr, "", 0, kEuroZero},
    Caricamento{"LireZero", 2, "para.txt", Parametri("Lire", "0", "0"), 0, "Lire|&Gestisci in €uro|£.|£ire|0"},
    Caricamento{"LireNegativo", 2, "para.txt", Parametri("Lire", "-1500", "0"), 0, "Lire|&Gestisci in €uro|£.|£ire|-1.500"},
    Caricamento{"Euro", 2, "para.txt", Parametri("Euro", "1234,5", "0"), 0, "Euro|&Gestisci in Lire|€.|€uro|1.234,50"},
    Caricamento{"Minuscolo", 2, "para.txt", Parametri("lire", "-0,5", "0"), 0, "lire|&Gestisci in Lire|€.|€uro|-0,50"},
    Caricamento{"Vuoto", 0, nullptr, "", 0, kEuroZero},
    Caricamento{"ConPassword", 1, "sys/Vorn.lst", Riga("y"), 0, kEuroZero},
    Caricamento{"UndiciMovimenti", 11, nullptr, "", 0, kEuroZero},
    Caricamento{"DodiciMovimenti", 12, nullptr, "", 0, kEuroZero},
    Caricamento{"RegistroIncompleto", 2, "listcol3.txt", "-", 53, "||||"},
    Caricamento{"ParametriCorti", 2, "para.txt", "\"Lire\",\"1\"\r\n", 62, "||||"},
    // A save marker that cannot be cleared: the interrupted save cannot be finished.
    Caricamento{"SalvataggioNonRecuperabile", 2, ".salvataggio", "/", 75, "||||"}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// Exit saves both files once; a failed save asks, staying by default, unless the session
// manager is saving.
TEST_F(Form1Test, LUscitaSalvaUnaVoltaSolaEChiedeSeNonRiesce) {
    scriviMovimenti(1);
    Scrivi(dir / "para.txt", Parametri("Lire", "20", "-100"));
    ASSERT_EQ(logica_.Form_Load(), 0);
    griglia.AddItem({"05/02/2001", "Prelievo", "cassa", "5", "15"});
    stato.SaldoConto = core::Money::FromUnits(15);
    disco.Guasta({.operazione = test::Operazione::Scrivi, .nome = "listcol"});
    EXPECT_FALSE(logica_.SalvaPerUscire(false));
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_FALSE(logica_.Form_Unload());
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_EQ(std::make_tuple(dialoghi.messaggi[0].pulsanti, dialoghi.messaggi[0].predefinita,
                              dialoghi.terminato),
              std::make_tuple(ui::Pulsanti::SiNo, ui::Risposta::No, false));

    disco.Ripara();
    logica_.CmdEsci_Click();
    EXPECT_TRUE(dialoghi.terminato);
    EXPECT_EQ(test::LeggiByte(dir / "para.txt"), Parametri("Lire", "15", "-100"));
    EXPECT_EQ(test::LeggiByte(dir / "listcol5.txt"),
              Riga(*core::Codifica("0")) + Riga(*core::Codifica("15")));
    fs::remove(dir / "para.txt");
    logica_.Form_Unload();  // the close box after the end of the program
    EXPECT_FALSE(fs::exists(dir / "para.txt")) << "saved twice";
}

// With a password the button asks before removing it; without, it opens the window to set
// one (never the start-up check), whose OK stores it trimmed.
TEST_F(Form1Test, PulsanteEFinestraPassword) {
    scriviMovimenti(1);
    ASSERT_FALSE(file.SalvaPassword("segreta"));
    ASSERT_EQ(logica_.Form_Load(), 0);
    dialoghi.risposte = {ui::Risposta::No, ui::Risposta::Si};
    logica_.cmdPass_Click();
    EXPECT_TRUE(file.esistePassword());
    logica_.cmdPass_Click();
    EXPECT_FALSE(file.esistePassword());
    EXPECT_EQ(form1.Testo("cmdPass"), "Inserisci Pass&word");
    stato.VerificaPassword = true;
    logica_.cmdPass_Click();
    EXPECT_EQ(finestre_.aperte, std::vector<std::string>{"frmPass"});
    EXPECT_FALSE(stato.VerificaPassword);

    test::FinestraFinta finestra;
    finestra["txtPass1"].testo = " nuova ";
    main_window::FrmPass(finestra, contesto).cmdOk_Click();
    std::string salvata;
    ASSERT_EQ(file.LeggiPassword(salvata), 0);
    EXPECT_EQ(std::make_tuple(finestra.chiusa, stato.PasswordSalvata, core::Decodifica(salvata),
                              form1.Testo("cmdPass")),
              std::make_tuple(true, "nuova", "nuova", "Rimuovi Pass&word"));
}

// A register whose second row shows `penultima` and whose last row is `causale` `importo`.
std::vector<core::RigaRegistro> Reg(const char* penultima, const char* causale = "Versamento",
                                    const char* importo = "1") {
    return {{"01/01/2003", "Versamento", "", "1", "1"},
            {"01/01/2003", "Versamento", "", "1", penultima},
            {"02/01/2003", causale, "", importo, "0"}};
}
std::string ChiedeSaldo(std::string proposta) {
    return "Modifica/imposta nuovo saldo.|" + proposta;
}
std::string ChiedeFido(std::string attuale) {
    return "Imposta fido accordato. Fido impostato attualmente:\r\r" + attuale + "|";
}

struct Scenario {
    const char* nome;
    Comando comando;
    const char* modo;
    Money saldo, fido;
    std::vector<core::RigaRegistro> righe;
    std::string domanda;  // the input box's prompt, "|" and proposed text; empty: none
    std::string digitato;
    const char* modoDopo;
    const char* simbolo;  // Label2 afterwards
    Money saldoDopo, fidoDopo;
    std::string txtSaldo;  // "prima" when untouched
    std::string saldi;     // the register's balance cells, joined by "/"
    std::vector<std::string> messaggi;
};

class Comandi : public Form1Test, public ::testing::WithParamInterface<Scenario> {};

// What each command asks, shows and tells, with memory and files agreeing at once.
TEST_P(Comandi, EsitoVisibileESalvato) {
    const Scenario& c = GetParam();
    stato.ModoValuta = c.modo;
    const bool lirePrima = std::string_view(c.modo) == "Lire";  // captions as loading sets them
    form1.ImpostaTesto("CmdEuro", lirePrima ? "&Gestisci in €uro" : "&Gestisci in Lire");
    form1.ImpostaTesto("Label2", lirePrima ? "£." : "€.");
    form1.ImpostaTesto("Label6", lirePrima ? "£ire" : "€uro");
    stato.SaldoConto = c.saldo;
    stato.FidoConto = c.fido;
    form1.ImpostaTesto("txtSaldo", "prima");
    for (const auto& r : c.righe) righe({r});
    ASSERT_FALSE(file.SalvaRegistro(griglia.righe()));
    ASSERT_FALSE(file.SalvaParametri({c.modo, c.saldo, c.fido}));
    dialoghi.inputDigitati.push_back(c.digitato);

    (logica_.*c.comando)();
    std::string domanda;
    for (const auto& i : dialoghi.input)
        domanda += i.titolo + ": " + i.prompt + "|" + i.predefinito;
    EXPECT_EQ(domanda, c.domanda.empty() ? "" : "Quibora Lite Edition: " + c.domanda);
    EXPECT_EQ(dialoghi.testiMessaggi(), c.messaggi);
    std::string saldi;
    for (int r = 1; r < griglia.Rows(); ++r) saldi += (r > 1 ? "/" : "") + griglia.TextMatrix(r, 4);
    EXPECT_EQ(std::tie(stato.ModoValuta, stato.SaldoConto, stato.FidoConto, saldi),
              std::make_tuple(c.modoDopo, c.saldoDopo, c.fidoDopo, c.saldi));
    const bool lire = std::string_view(c.modoDopo) == "Lire";
    EXPECT_EQ(form1.Testo("CmdEuro") + form1.Testo("Label2") + form1.Testo("Label6"),
              (lire ? "&Gestisci in €uro" : "&Gestisci in Lire") + std::string(c.simbolo) +
                  (lire ? "£ire" : "€uro"));
    EXPECT_EQ(form1.Testo("txtSaldo"), c.txtSaldo);
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), c.txtSaldo.starts_with('-') ? ui::kRosso : ui::kNero);

    core::Parametri p;
    ASSERT_EQ(file.LeggiParametri(p), 0);
    EXPECT_EQ(std::tie(p.ModoValuta, p.SaldoConto, p.FidoConto),
              std::tie(stato.ModoValuta, stato.SaldoConto, stato.FidoConto));
    core::Registro registro;
    file.AccettaImportiIlleggibili();  // as the user does at start, for "x1"
    ASSERT_EQ(file.LeggiRegistro(registro), 0);
    EXPECT_EQ(registro, griglia.righe());
}

const Comando kEuro = &Form1::CmdEuro_Click, kSaldo = &Form1::CmdSaldo_Click,
              kFido = &Form1::Cmdfido_Click, kRimuovi = &Form1::Rimuovi_Click,
              kRimuoviu = &Form1::Rimuoviu_Click;
const Money k0{}, kEnorme = Money::FromRaw(std::numeric_limits<std::int64_t>::max() / 100);
const std::vector<std::string> kCifra{"Cifra non valida"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Comandi, ::testing::Values(
    // The balance box reads dots only as thousands, rounds to the cent in euro, to the lira in lire.
    Scenario{"SaldoLireZeroProponeZero", kSaldo, "Lire", k0, k0, Reg("1"), ChiedeSaldo("0"), "", "Lire", "£.", k0, k0, "prima", "1/1/0", {}},
    Scenario{"SaldoLireAGruppi", kSaldo, "Lire", U(1500000), k0, Reg("1"), ChiedeSaldo("1.500.000"), "1.500.000", "Lire", "£.", U(1500000), k0, "1.500.000", "1/1/1.500.000", {}},
    Scenario{"SaldoEuroNegativo", kSaldo, "Euro", k0, k0, Reg("1"), ChiedeSaldo("0,00"), "-250", "Euro", "€.", U(-250), k0, "-250,00", "1/1/-250,00", {}},
    Scenario{"SaldoEuroPropostaArrotondata", kSaldo, "Euro", Money::FromRaw(5164569), k0, Reg("1"), ChiedeSaldo("516,46"), "516,46", "Euro", "€.", Money::FromRaw(5164600), k0, "516,46", "1/1/516,46", {}},
    Scenario{"SaldoLireZeroSvuota", kSaldo, "Lire", U(10), k0, Reg("1"), ChiedeSaldo("10"), "0", "Lire", "£.", k0, k0, "", "1/1/", {}},
    Scenario{"SaldoNonValido", kSaldo, "Lire", U(10), k0, Reg("1"), ChiedeSaldo("10"), "abc", "Lire", "£.", U(10), k0, "prima", "1/1/0", kCifra},
    // The credit line is typed without its sign and shown by its magnitude.
    Scenario{"FidoLireSenzaFido", kFido, "Lire", k0, k0, Reg("1"), ChiedeFido("£.  "), "500", "Lire", "£.", k0, U(-500), "prima", "1/1/0", {}},
    Scenario{"FidoLireAzzerato", kFido, "Lire", k0, U(-500), Reg("1"), ChiedeFido("£.  500"), "0", "Lire", "£.", k0, k0, "prima", "1/1/0", {}},
    Scenario{"FidoEuroAGruppi", kFido, "Euro", k0, k0, Reg("1"), ChiedeFido("€.  0,00"), "1.000,5", "Euro", "€.", k0, Money::FromRaw(-10005000), "prima", "1/1/0", {}},
    Scenario{"FidoAnnullato", kFido, "Euro", k0, U(-5), Reg("1"), ChiedeFido("€.  5,00"), "", "Euro", "€.", k0, U(-5), "prima", "1/1/0", {}},
    Scenario{"FidoConPiu", kFido, "Lire", k0, U(-5), Reg("1"), ChiedeFido("£.  5"), "+500", "Lire", "£.", k0, U(-5), "prima", "1/1/0", {"Non è ammesso il segno '+' prima dell'importo"}},
    // The currency switch converts balance and credit line and rewrites the last balance cell.
    Scenario{"InEuro", kEuro, "Lire", U(1000000), U(-500000), Reg("1"), "", "", "Euro", "€.", Money::FromRaw(5164569), Money::FromRaw(-2582284), "516,46", "1/1/516,46", {}},
    Scenario{"InLire", kEuro, "Euro", Money::FromRaw(5164569), k0, Reg("1"), "", "", "Lire", "£.", Money::FromRaw(10000000018), k0, "1.000.000", "1/1/1.000.000", {}},
    Scenario{"InLireSaldoZero", kEuro, "Euro", k0, k0, Reg("1"), "", "", "Lire", "£.", k0, k0, "0", "1/1/", {}},
    Scenario{"InLireRegistroVuoto", kEuro, "Euro", k0, k0, {}, "", "", "Lire", "£.", k0, k0, "0", "", {}},
    Scenario{"InLireFuoriIntervallo", kEuro, "Euro", Money::FromRaw(std::numeric_limits<std::int64_t>::max() / 1000), k0, Reg("1"), "", "", "Euro", "€.", Money::FromRaw(std::numeric_limits<std::int64_t>::max() / 1000), k0, "prima", "1/1/0",
             {"Il saldo o il fido convertiti in lire superano il limite consentito: la divisa non è stata cambiata."}},
    // Removing the first row leaves the balance as it is.
    Scenario{"RimuoviIlPrimo", kRimuovi, "Lire", U(1000000), k0, Reg("2", "Prelievo", "200.000"), "", "", "Lire", "£.", U(1000000), k0, "prima", "2/0", {}},
    // Removing the last row reverses it by its cause, in its own currency; the new last row
    // decides the mode, and the credit line follows it past 600.000.
    Scenario{"StornoPrelievo", kRimuoviu, "Lire", U(1000000), k0, Reg("1", "Prelievo", "200.000"), "", "", "Lire", "£", U(1200000), k0, "1.200.000", "1/1", {}},
    Scenario{"StornoBonificoADebito", kRimuoviu, "Lire", U(1000000), k0, Reg("1", "Bonifico a debito", "200.000"), "", "", "Lire", "£", U(1200000), k0, "1.200.000", "1/1", {}},
    Scenario{"StornoInLireDaEuro", kRimuoviu, "Euro", Money::FromRaw(4131655), k0, Reg("1.000.000", "Prelievo", "200.000"), "", "", "Lire", "£", Money::FromRaw(9999999627), k0, "1.000.000", "1/1.000.000", {}},
    Scenario{"FidoEuroDaLireGrandi", kRimuoviu, "Euro", k0, U(-2000000), Reg("1,00", "Versamento", "1,00"), "", "", "Euro", "€.", U(-1), Money::FromRaw(-10329138), "-1,00", "1/1,00", {}},
    Scenario{"FidoEuroSogliaEsatta", kRimuoviu, "Euro", k0, U(-600000), Reg("1,00", "Versamento", "1,00"), "", "", "Euro", "€.", U(-1), U(-600000), "-1,00", "1/1,00", {}},
    Scenario{"FidoEuroPiccolo", kRimuoviu, "Euro", k0, U(-500), Reg("1,00", "Versamento", "1,00"), "", "", "Euro", "€.", U(-1), U(-500), "-1,00", "1/1,00", {}},
    Scenario{"FidoLireDaEuro", kRimuoviu, "Euro", k0, U(-500), Reg("1", "Versamento", "1,00"), "", "", "Lire", "£", U(-1), U(-968135), "-1", "1/1", {}},
    Scenario{"FidoLireSogliaEsatta", kRimuoviu, "Euro", k0, U(-600000), Reg("1", "Versamento", "1,00"), "", "", "Lire", "£", U(-1), U(-600000), "-1", "1/1", {}},
    Scenario{"StornoIllegibile", kRimuoviu, "Euro", U(7), k0, Reg("2", "Prelievo", "x1"), "", "", "Euro", "€.", U(7), k0, "prima", "1/2/0",
             {"L'importo dell'ultimo movimento (\"x1\") non è un importo valido: il movimento non è stato rimosso."}},
    Scenario{"StornoOltreIlLimite", kRimuoviu, "Euro", kEnorme, k0, Reg("2", "Prelievo", "1"), "", "", "Euro", "€.", kEnorme, k0, "prima", "1/2/0",
             {"Il saldo risultante supererebbe il limite consentito: il movimento non è stato rimosso."}}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// Removing the only row asks first; Yes deletes every data file and ends without saving.
TEST_F(Form1Test, AzzeramentoSullUnicoMovimento) {
    scriviMovimenti(1);
    ASSERT_FALSE(file.SalvaParametri({"Lire", U(5), Money{}}));
    ASSERT_FALSE(file.SalvaConto("123", "Banca"));
    ASSERT_FALSE(file.SalvaPassword("segreta"));
    ASSERT_EQ(logica_.Form_Load(), 0);
    dialoghi.risposte = {ui::Risposta::No, ui::Risposta::Si};
    logica_.Rimuovi_Click();
    EXPECT_FALSE(dialoghi.terminato);
    logica_.Rimuoviu_Click();
    ASSERT_EQ(dialoghi.messaggi.size(), 2u);
    const auto& d = dialoghi.messaggi[1];
    EXPECT_EQ(std::tie(d.testo, d.titolo, d.pulsanti, d.icona, d.predefinita),
              std::make_tuple("Attenzione rimuovendo l'ultima riga,verrà azzerato anche il Saldo "
                              "e i vari parametri precedentemente impostati.Sarà comunque "
                              "necessario riavviare l'applicazione. Procedere?",
                              "Rimozione movimenti", ui::Pulsanti::SiNo, ui::Icona::Esclamazione,
                              ui::Risposta::Si));
    EXPECT_TRUE(dialoghi.terminato);
    EXPECT_EQ(griglia.Rows(), 2);
    logica_.Form_Unload();
    for (const char* nome : {"listcol1.txt", "listcol5.txt", "para.txt", "dati.txt"})
        EXPECT_FALSE(fs::exists(dir / nome)) << nome;
    EXPECT_FALSE(file.esistePassword());
}

}  // namespace
