#include "entry/form_inserimento.h"

#include <optional>
#include <string>
#include <variant>

#include "core/conto.h"
#include "entry/inserimento.h"
#include "ui/valuta.h"

namespace entry {

void FormInserimento::Form_Load() {
    f_.ImpostaTesto(kTxtData, core::FormatoData(c_.oggi()));
    f_.ImpostaTesto("Label4", ui::Didascalie(core::InLire(c_.stato)).simbolo);
    // The date box is first in the tab order: the user starts on the amount.
    f_.Focus(kTxtImporto);
}

void FormInserimento::txtData_KeyDown(int codiceTasto) {
    if (codiceTasto == kTastoInvio) f_.Focus(kTxtImporto);
}

void FormInserimento::txtImporto_KeyDown(int codiceTasto) {
    if (codiceTasto == kTastoInvio) f_.Focus(kTxtrif);
}

void FormInserimento::Txtrif_KeyDown(int codiceTasto) {
    if (codiceTasto == kTastoInvio) f_.Focus(kTxtData);
}

void FormInserimento::txtImporto_MouseMove() {
    if (c_.stato.ModoValuta == core::kEuro)
        f_.ImpostaSuggerimento(kTxtImporto, "Utilizzare la virgola per inserire i decimali.");
}

void FormInserimento::cmdOk_Click() {
    grid::Griglia& g = c_.griglia;
    const int n = g.Rows() - 1;
    // The current cell follows the last row on every click, refused or not.
    g.SetCol(0);
    g.SetRow(n);
    const std::optional<std::string_view> dataUltima =
        n > 0 ? std::optional<std::string_view>(g.Cella(n, 0)) : std::nullopt;

    const std::string data = f_.Testo(kTxtData);
    const std::string importo = f_.Testo(kTxtImporto);
    const std::string riferimento = f_.Testo(kTxtrif);
    const SituazioneConto conto{c_.stato.SaldoConto, c_.stato.FidoConto, c_.stato.ModoValuta};
    const EsitoInserimento esito =
        ValutaMovimento({data, importo, riferimento}, tipo_, conto, dataUltima);

    if (const auto* rifiuto = std::get_if<Rifiuto>(&esito)) {
        c_.dialoghi.Messaggio(rifiuto->messaggio, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        f_.Focus(rifiuto->focus);
        return;
    }
    const auto& m = std::get<Movimento>(esito);

    c_.stato.SaldoConto = m.nuovoSaldo;
    ui::ColoreSaldo(c_);
    g.AddItem(m.celle());
    c_.form1.ImpostaTesto("txtSaldo", m.testoSaldo);
    if (g.Rows() == 13) ui::AllargaFinestra(c_.form1);
    if (g.Rows() > 12) g.SetTopRow(g.Rows() - 1);
    // A failed save has been shown to the user; the movement stays in memory and reaches
    // the files at the next save.
    static_cast<void>(ui::SalvaRegistroEParametri(c_));
    for (const char* pulsante : {"Rimuovi", "Rimuoviu", "CmdStampa"}) {
        if (!c_.form1.Abilitato(pulsante)) c_.form1.ImpostaAbilitato(pulsante, true);
    }
    if (m.fuoriFido)
        c_.dialoghi.Messaggio("ATTENZIONE! SEI FUORI FIDO", ui::Pulsanti::Ok,
                              ui::Icona::Esclamazione);
    f_.Chiudi();
}

void FormInserimento::cmdAnnulla_Click() {
    f_.Chiudi();
}

}  // namespace entry
