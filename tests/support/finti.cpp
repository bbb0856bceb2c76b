#include "support/finti.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace test {

std::string_view FinestraFinta::Conosciuto(std::string_view controllo) {
    // The controls of the real windows (main window, set-up, password, entry, printing).
    static constexpr std::array<std::string_view, 37> kNomi = {
        "Form1",      "Label1",   "Label2",    "Label3",   "Label4",     "Label5",  "Label6",
        "Label7",     "Grid",     "List1",     "Image1",   "Entrate",    "Uscite",  "Cmdfido",
        "Rimuovi",    "Rimuoviu", "CmdStampa", "CmdEuro",  "CmdSaldo",   "CmdEsci", "cmdPass",
        "txtSaldo",   "Form17",   "TxtBanca",  "TxtConto", "Check1",     "ChPass",  "lblCk",
        "txtPass",    "txtPass1", "lblPass",   "CmdOk",    "CmdAnnulla", "frmPass", "cmdOk",
        "cmdAnnulla", "frmStampa"};
    static constexpr std::array<std::string_view, 8> kAltri = {
        "txtDitta", "Option1_0", "Option1_1",  "txtDadata",
        "txtAdata", "txtData",   "txtImporto", "Txtrif"};
    if (std::ranges::find(kNomi, controllo) == kNomi.end() &&
        std::ranges::find(kAltri, controllo) == kAltri.end())
        throw std::logic_error("controllo inesistente: " + std::string(controllo));
    return controllo;
}

ui::Risposta DialoghiFinti::Messaggio(std::string_view testo, ui::Pulsanti pulsanti,
                                      ui::Icona icona, std::string_view titolo,
                                      ui::Risposta predefinita) {
    messaggi.push_back({std::string(testo), pulsanti, icona, std::string(titolo), predefinita});
    if (pulsanti == ui::Pulsanti::Ok) return ui::Risposta::Ok;
    if (risposte.empty()) return predefinita;
    auto r = risposte.front();
    risposte.pop_front();
    return r;
}

std::string DialoghiFinti::InputBox(std::string_view prompt, std::string_view titolo,
                                    std::string_view predefinito) {
    input.push_back({std::string(prompt), std::string(titolo), std::string(predefinito)});
    if (inputDigitati.empty()) return {};
    auto t = inputDigitati.front();
    inputDigitati.pop_front();
    return t;
}

std::vector<std::string> DialoghiFinti::testiMessaggi() const {
    std::vector<std::string> testi;
    for (const auto& m : messaggi) testi.push_back(m.testo);
    return testi;
}

}  // namespace test
