#pragma once

#include "ui/dialoghi.h"

class QWidget;

namespace ui {

// The window system's message box, input box and immediate end of the program.
class DialoghiQt : public Dialoghi {
  public:
    Risposta Messaggio(std::string_view testo, Pulsanti pulsanti, Icona icona,
                       std::string_view titolo, Risposta predefinita) override;
    std::string InputBox(std::string_view prompt, std::string_view titolo,
                         std::string_view predefinito) override;
    int Scelta(std::string_view domanda, const std::vector<std::string>& voci,
               std::string_view titolo) override;
    void TerminaProgramma() override;
    [[nodiscard]] bool Terminato() const override { return terminato_; }

  private:
    bool terminato_ = false;
};

}  // namespace ui
