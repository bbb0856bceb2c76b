#include <optional>
#include <string>

#include "core/conto.h"
#include "core/importi.h"
#include "main_window/form1.h"
#include "ui/valuta.h"

namespace main_window {

namespace {

constexpr const char* kCaptionVersoEuro = ui::kDidascalieLire.passaggio;
constexpr const char* kCaptionVersoLire = ui::kDidascalieEuro.passaggio;

// Credit lines beyond this magnitude are taken to be lire, the others euro.
constexpr core::Money kSogliaFidoLire = core::Money::FromUnits(-600000);

void Avvisa(ui::Contesto& c, std::string_view testo) {
    c.dialoghi.Messaggio(testo, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
}

}  // namespace

void Form1::CmdEuro_Click() {
    grid::Griglia& g = c_.griglia;
    const int n = g.Rows() - 1;
    const std::string caption = c_.form1.Testo("CmdEuro");
    if (caption == kCaptionVersoEuro) {
        const auto saldo = core::LireInEuro(c_.stato.SaldoConto);
        const auto fido = core::LireInEuro(c_.stato.FidoConto);
        if (!saldo || !fido) {
            Avvisa(c_,
                   "Il saldo o il fido convertiti superano il limite consentito: la divisa "
                   "non è stata cambiata.");
            return;
        }
        c_.form1.ImpostaTesto("Label2", ui::kDidascalieEuro.simbolo);
        c_.form1.ImpostaTesto("Label6", ui::kDidascalieEuro.nome);
        c_.form1.ImpostaTesto("CmdEuro", kCaptionVersoLire);
        c_.stato.SaldoConto = *saldo;
        c_.stato.FidoConto = *fido;
        const std::string testo = core::FormatoEuro(*saldo);
        c_.form1.ImpostaTesto("txtSaldo", testo);
        if (n >= 1) g.SetTextMatrix(n, 4, testo);
        c_.stato.ModoValuta = core::kEuro;
    } else if (caption == kCaptionVersoLire) {
        const auto saldo = core::EuroInLire(c_.stato.SaldoConto);
        const auto fido = core::EuroInLire(c_.stato.FidoConto);
        if (!saldo || !fido) {
            Avvisa(c_,
                   "Il saldo o il fido convertiti in lire superano il limite consentito: la "
                   "divisa non è stata cambiata.");
            return;
        }
        c_.form1.ImpostaTesto("Label2", ui::kDidascalieLire.simbolo);
        c_.form1.ImpostaTesto("Label6", ui::kDidascalieLire.nome);
        c_.form1.ImpostaTesto("CmdEuro", kCaptionVersoEuro);
        c_.stato.SaldoConto = *saldo;
        c_.stato.FidoConto = *fido;
        c_.form1.ImpostaTesto("txtSaldo", core::TestoSaldo(*saldo, core::kLire));
        // The register cell keeps the lire format's empty text for a zero balance.
        if (n >= 1) g.SetTextMatrix(n, 4, core::FormatoLire(*saldo));
        c_.stato.ModoValuta = core::kLire;
    }
    // The balance cell and para.txt change together. A failed save has been shown; the
    // switch stays in memory for the next save.
    static_cast<void>(ui::SalvaRegistroEParametri(c_));
}

void Form1::CmdSaldo_Click() {
    const int n = c_.griglia.Rows() - 1;
    const std::string predefinito = core::TestoSaldo(c_.stato.SaldoConto, c_.stato.ModoValuta);
    const std::string testo =
        c_.dialoghi.InputBox("Modifica/imposta nuovo saldo.", ui::kTitoloApplicazione, predefinito);
    if (testo.empty()) return;
    const auto saldo = core::ValoreImporto(testo);
    if (!saldo) {
        Avvisa(c_, "Cifra non valida");
        return;
    }
    c_.stato.SaldoConto = *saldo;
    const std::string formattato = core::FormatoModo(*saldo, c_.stato.ModoValuta);
    c_.form1.ImpostaTesto("txtSaldo", formattato);
    if (n >= 1) c_.griglia.SetTextMatrix(n, 4, formattato);
    ui::ColoreSaldo(c_);
    // Every confirmed change is on the disk at once, so a kill or a power cut loses none.
    static_cast<void>(ui::SalvaRegistroEParametri(c_));
}

void Form1::Cmdfido_Click() {
    const bool lire = core::InLire(c_.stato);
    // The lowest money value has no positive counterpart; it is shown with its sign.
    const core::Money modulo = c_.stato.FidoConto.abs().value_or(c_.stato.FidoConto);
    std::string prompt = "Imposta fido accordato. Fido impostato attualmente:";
    prompt += "\r\r";
    prompt += ui::Didascalie(lire).simbolo;
    prompt += "  ";
    prompt += lire ? core::FormatoLire(modulo) : core::FormatoEuro(modulo);

    const std::string t = c_.dialoghi.InputBox(prompt, ui::kTitoloApplicazione, "");
    if (t.empty()) return;
    const std::string s = "-" + t;
    if (s.find('+') != std::string::npos) {
        Avvisa(c_, "Non è ammesso il segno '+' prima dell'importo");
        return;
    }
    if (const auto fido = core::ValoreImporto(s)) {
        c_.stato.FidoConto = *fido;
        static_cast<void>(ui::SalvaRegistroEParametri(c_));
        return;
    }
    Avvisa(c_, "Cifra non valida");
}

void Form1::Rimuovi_Click() {
    grid::Griglia& g = c_.griglia;
    if (g.Rows() <= 1) return;
    if (g.Rows() == 2) {
        ChiediAzzeramento();
        return;
    }
    static_cast<void>(g.RemoveItem(1));
    if (g.Rows() == 12) ui::StringiFinestra(c_.form1);
    static_cast<void>(ui::SalvaRegistroEParametri(c_));
}

void Form1::Rimuoviu_Click() {
    grid::Griglia& g = c_.griglia;
    const int righe = g.Rows();
    if (righe <= 1) return;
    if (righe == 2) {
        ChiediAzzeramento();
        return;
    }
    const int n = righe - 1;
    const core::Money saldoPrima = c_.stato.SaldoConto;
    if (!StornaUltimoMovimento()) return;

    // The mode follows the balance text of the row that becomes the last one.
    const bool euro = core::TestoInEuro(g.TextMatrix(n - 1, 4));
    std::optional<core::Money> fido = c_.stato.FidoConto;
    if (euro && c_.stato.FidoConto < kSogliaFidoLire)
        fido = core::LireInEuro(c_.stato.FidoConto);
    else if (!euro && c_.stato.FidoConto > kSogliaFidoLire)
        fido = core::EuroInLire(c_.stato.FidoConto);
    if (!fido) {
        c_.stato.SaldoConto = saldoPrima;
        Avvisa(c_,
               "Il fido convertito in lire supera il limite consentito: il movimento non è "
               "stato rimosso.");
        return;
    }

    static_cast<void>(g.RemoveItem(n));
    c_.stato.FidoConto = *fido;
    if (euro) {
        c_.stato.ModoValuta = core::kEuro;
        c_.form1.ImpostaTesto("Label2", ui::kDidascalieEuro.simbolo);
        c_.form1.ImpostaTesto("Label6", ui::kDidascalieEuro.nome);
        c_.form1.ImpostaTesto("CmdEuro", kCaptionVersoLire);
        c_.form1.ImpostaTesto("txtSaldo", core::FormatoEuro(c_.stato.SaldoConto));
    } else {
        c_.stato.ModoValuta = core::kLire;
        c_.form1.ImpostaTesto("Label2", "£");
        c_.form1.ImpostaTesto("Label6", ui::kDidascalieLire.nome);
        c_.form1.ImpostaTesto("CmdEuro", kCaptionVersoEuro);
        c_.form1.ImpostaTesto("txtSaldo", core::FormatoLire(c_.stato.SaldoConto));
    }
    ui::ColoreSaldo(c_);
    if (g.Rows() == 12) ui::StringiFinestra(c_.form1);
    static_cast<void>(ui::SalvaRegistroEParametri(c_));
}

bool Form1::StornaUltimoMovimento() {
    const grid::Griglia& g = c_.griglia;
    const int n = g.Rows() - 1;
    if (n < 1) return false;
    const std::string& testoImporto = g.TextMatrix(n, 3);
    const auto importo = core::ValoreImportoRegistrato(testoImporto);
    if (!importo) {
        Avvisa(c_, "L'importo dell'ultimo movimento (\"" + testoImporto +
                       "\") non è un importo valido: il movimento non è stato rimosso.");
        return false;
    }

    // The balance is first brought into the currency the movement was entered in.
    std::optional<core::Money> saldo = c_.stato.SaldoConto;
    const bool importoInEuro = core::TestoInEuro(testoImporto);
    if (c_.stato.ModoValuta == core::kLire && importoInEuro)
        saldo = core::LireInEuro(*saldo);
    else if (c_.stato.ModoValuta == core::kEuro && !importoInEuro)
        saldo = core::EuroInLire(*saldo);
    if (saldo)
        saldo = core::CausaleDiDebito(g.TextMatrix(n, 1)) ? saldo->plus(*importo)
                                                          : saldo->minus(*importo);
    if (!saldo) {
        Avvisa(c_,
               "Il saldo risultante supererebbe il limite consentito: il movimento non è "
               "stato rimosso.");
        return false;
    }
    c_.stato.SaldoConto = *saldo;
    return true;
}

void Form1::ChiediAzzeramento() {
    const ui::Risposta risposta = c_.dialoghi.Messaggio(
        "Attenzione rimuovendo l'ultima riga,verrà azzerato anche il Saldo e i vari parametri "
        "precedentemente impostati.Sarà comunque necessario riavviare l'applicazione. Procedere?",
        ui::Pulsanti::SiNo, ui::Icona::Esclamazione, "Rimozione movimenti", ui::Risposta::Si);
    if (risposta != ui::Risposta::Si) return;
    if (const core::EsitoFile errore = c_.file.EliminaDati()) {
        // The reset is a save like any other: the message says what is on the disk.
        Avvisa(c_, core::MessaggioErroreFile(*errore));
        // Unless the next start completes it, the data are as they were: the account stays
        // open.
        if (errore->dati != core::DatiDopoErrore::CompletatiAlRiavvio) return;
    }
    // The program ends without the shutdown save, which would write the files back.
    c_.dialoghi.TerminaProgramma();
}

}  // namespace main_window
