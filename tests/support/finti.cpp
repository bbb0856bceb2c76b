#include "support/finti.h"

namespace test {

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
