#include "ui/contesto.h"

#include <array>
#include <string_view>

namespace ui {

namespace {

core::Parametri ParametriCorrenti(const core::StatoConto& stato) {
    return {stato.ModoValuta, stato.SaldoConto, stato.FidoConto};
}

bool MostraSeFallito(Contesto& c, const core::EsitoFile& esito) {
    // A backup that failed did not stop the save; the user hears of it once.
    if (const auto copia = c.file.ErroreCopiaDaMostrare())
        c.dialoghi.Messaggio(core::MessaggioErroreCopia(*copia), Pulsanti::Ok, Icona::Esclamazione);
    if (!esito) return true;
    c.dialoghi.Messaggio(core::MessaggioErroreFile(*esito), Pulsanti::Ok, Icona::Esclamazione);
    return false;
}

struct Spostamento {
    std::string_view controllo;
    bool larghezza;  // the width grows, else the left edge moves
    double quantita;
};

// The order is the one the window has always been adjusted in.
constexpr std::array<Spostamento, 19> kSpostamenti{{
    {"Form1", true, 240},      {"Grid", true, 240},      {"cmdPass", false, 240},
    {"CmdStampa", false, 240}, {"CmdEsci", false, 240},  {"CmdEuro", false, 240},
    {"Rimuovi", false, 240},   {"Rimuoviu", false, 240}, {"Cmdfido", false, 240},
    {"CmdSaldo", false, 240},  {"txtSaldo", false, 240}, {"Label1", false, 50},
    {"Label2", false, 240},    {"Label3", false, 240},   {"Label5", false, 120},
    {"Label6", false, 120},    {"Image1", false, 120},   {"txtDitta", false, 120},
    {"Label7", false, 120},
}};

void Sposta(Finestra& form1, double verso) {
    for (const auto& s : kSpostamenti) {
        Rettangolo r = form1.Posizione(s.controllo);
        if (s.larghezza)
            r.width += verso * s.quantita;
        else
            r.left += verso * s.quantita;
        form1.ImpostaPosizione(s.controllo, r);
    }
}

}  // namespace

bool SalvaRegistroEParametri(Contesto& c) {
    return MostraSeFallito(c, ScriviRegistroEParametri(c));
}

core::EsitoFile ScriviRegistroEParametri(Contesto& c, core::FileDati::Consolida consolida) {
    return c.file.SalvaRegistroEParametri(c.griglia.righe(), ParametriCorrenti(c.stato), consolida);
}

void AllargaFinestra(Finestra& form1) {
    Sposta(form1, 1);
}

void StringiFinestra(Finestra& form1) {
    Sposta(form1, -1);
}

void ColoreSaldo(Contesto& c) {
    c.form1.ImpostaColoreTesto("txtSaldo", c.stato.SaldoConto.isNegative() ? kRosso : kNero);
}

std::string NomeParlatoSaldo(const core::StatoConto& stato) {
    std::string nome = core::InLire(stato) ? "Saldo in lire" : "Saldo in euro";
    if (!stato.SaldoConto.isNegative()) return nome;
    nome += ", negativo";
    // Beyond the credit line as the entry's warning reckons it: a line is set and the
    // balance is below it.
    if (stato.FidoConto.isNegative() && stato.SaldoConto < stato.FidoConto)
        nome += ", oltre il fido accordato";
    return nome;
}

}  // namespace ui
