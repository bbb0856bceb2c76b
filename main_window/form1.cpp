#include "main_window/form1.h"

#include <string>
#include <vector>

#include "core/importi.h"
#include "ui/valuta.h"

namespace main_window {

namespace {

constexpr grid::ColoreRgb kRossoScuro{128, 0, 0};
// Beyond this many rows (header included) the window opens wide.
constexpr int kRigheFinestraStretta = 12;

void MostraValuta(ui::Contesto& c) {
    const ui::DidascalieValuta& d = ui::Didascalie(core::InLire(c.stato));
    c.form1.ImpostaTesto("CmdEuro", d.passaggio);
    c.form1.ImpostaTesto("Label2", d.simbolo);
    c.form1.ImpostaTesto("Label6", d.nome);
    c.form1.ImpostaTesto("txtSaldo", core::TestoSaldo(c.stato.SaldoConto, c.stato.ModoValuta));
}

void ConfiguraGriglia(grid::Griglia& g) {
    for (int col = 0; col < grid::kColonne; ++col)
        g.SetFixedAlignment(col, grid::Allineamento::Centro);
    g.SetColAlignment(2, grid::Allineamento::Sinistra);
    for (int col = 0; col < grid::kColonne; ++col)
        g.SetColWidth(col, grid::kLarghezzeRegistro[col]);
    g.SetRow(0);
    g.SetCol(0);
    g.SetFontBold(true);
    for (int col = 0; col < grid::kColonne; ++col)
        g.SetTextMatrix(0, col, grid::kIntestazioniRegistro[col]);
    g.SetForeColorFixed(kRossoScuro);
}

}  // namespace

int Form1::Form_Load() {
    // A save cut short by a crash is finished or undone before anything is read.
    if (auto e = c_.file.Recupera()) return c_.file.ErroreCaricamento(core::kErroreAccessoFile, *e);

    // Everything is read before the window changes, so that a load that fails leaves it
    // as it was and can be tried again once a backup has been put back.
    core::Parametri parametri{c_.stato.ModoValuta, c_.stato.SaldoConto, c_.stato.FidoConto};
    if (int errore = c_.file.LeggiParametri(parametri)) return errore;
    core::Registro righe;
    if (int errore = c_.file.LeggiRegistro(righe)) return errore;

    c_.stato.ModoValuta = parametri.ModoValuta;
    c_.stato.SaldoConto = parametri.SaldoConto;
    c_.stato.FidoConto = parametri.FidoConto;

    if (!core::InLire(c_.stato) && c_.stato.ModoValuta.empty()) c_.stato.ModoValuta = core::kEuro;
    MostraValuta(c_);
    ui::ColoreSaldo(c_);

    // List1 is a sorted list the window fills itself from core::OrdineInserimentoTipi().

    ConfiguraGriglia(c_.griglia);
    c_.griglia.AggiungiRighe(std::move(righe));

    const int numeroRighe = c_.griglia.Rows();
    if (numeroRighe > kRigheFinestraStretta) {
        ui::AllargaFinestra(c_.form1);
        c_.griglia.SetTopRow(numeroRighe - 1);
    }
    if (numeroRighe > 1) {
        c_.form1.ImpostaAbilitato("Rimuovi", true);
        c_.form1.ImpostaAbilitato("Rimuoviu", true);
        c_.form1.ImpostaAbilitato("CmdStampa", true);
    }

    c_.form1.ImpostaTesto("cmdPass",
                          c_.file.esistePassword() ? "Rimuovi Pass&word" : "Inserisci Pass&word");
    caricato_ = true;
    return 0;
}

void Form1::CmdEsci_Click() {
    Form_Unload();
}

bool Form1::Form_Unload() {
    // The exit button ends the program, which closes the window again: save only once.
    if (c_.dialoghi.Terminato()) return true;
    if (!SalvaPerUscire(true)) return false;
    c_.dialoghi.TerminaProgramma();
    return true;
}

bool Form1::SalvaPerUscire(bool chiedi) {
    // Nothing is saved at the end of a run whose register was never loaded.
    if (!caricato_ || c_.dialoghi.Terminato()) return true;
    if (chiedendo_) return false;
    // The files are left whole for any other program that reads them.
    const core::EsitoFile errore = ui::ScriviRegistroEParametri(c_, core::FileDati::Consolida::Si);
    if (!errore) return true;
    if (!chiedi) return false;
    // Staying is the default: the user can free some space and press Esci again, while
    // everything entered is still in memory.
    chiedendo_ = true;
    const ui::Risposta risposta =
        c_.dialoghi.Messaggio(DomandaUscitaSenzaSalvare(*errore), ui::Pulsanti::SiNo,
                              ui::Icona::Esclamazione, ui::kTitoloApplicazione, ui::Risposta::No);
    chiedendo_ = false;
    return risposta == ui::Risposta::Si;
}

void Form1::List1_Click(int posizione) {
    if (const core::TipoMovimento* tipo = core::TipoDaPosizione(posizione))
        finestre_.ApriInserimento(*tipo);
}

void Form1::CmdStampa_Click() {
    finestre_.ApriStampa();
}

std::string DomandaUscitaSenzaSalvare(const core::ErroreFile& errore) {
    return core::MessaggioErroreFile(errore) +
           "\n\nUscire comunque? Le modifiche non salvate andranno perse.\nCon No il "
           "programma resta aperto: liberare spazio o correggere il problema, poi premere di "
           "nuovo Esci.";
}

}  // namespace main_window
