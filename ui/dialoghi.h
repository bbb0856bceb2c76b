#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

inline constexpr std::string_view kTitoloApplicazione = "Quibora Lite Edition";

enum class Icona { Nessuna, Critica, Domanda, Esclamazione, Informazione };
enum class Pulsanti { Ok, SiNo, SiNoAnnulla };
enum class Risposta { Ok, Si, No, Annulla };

// The window system's modal services the logic uses. Tests script the user's answers.
class Dialoghi {
  public:
    virtual ~Dialoghi() = default;
    // A message box that waits for the user; returns the button chosen.
    virtual Risposta Messaggio(std::string_view testo, Pulsanti pulsanti, Icona icona,
                               std::string_view titolo = kTitoloApplicazione,
                               Risposta predefinita = Risposta::Ok) = 0;
    // An input box: the prompt's carriage returns start new lines; the empty text on cancel.
    virtual std::string InputBox(std::string_view prompt, std::string_view titolo,
                                 std::string_view predefinito) = 0;
    // A choice among `voci` (the first selected); the index chosen, -1 on cancel.
    virtual int Scelta(std::string_view domanda, const std::vector<std::string>& voci,
                       std::string_view titolo) = 0;
    // Ends the program at once: no further window events, no saves. The caller returns
    // straight after it.
    virtual void TerminaProgramma() = 0;
    // True once the program has been ended: handlers still unwinding must do nothing more
    // (in particular, save nothing).
    [[nodiscard]] virtual bool Terminato() const = 0;
};

}  // namespace ui
