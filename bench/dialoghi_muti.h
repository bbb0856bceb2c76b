#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "ui/dialoghi.h"

namespace bench {

// Boxes nobody sees: each message is counted and answered with its default button, or with
// `risposta` when set; `severo` makes any message an exception, for a measure that must not
// meet one.
class DialoghiMuti : public ui::Dialoghi {
  public:
    ui::Risposta Messaggio(std::string_view testo, ui::Pulsanti, ui::Icona, std::string_view,
                           ui::Risposta predefinita) override {
        if (severo) throw std::runtime_error(std::string(testo));
        ++messaggi;
        return risposta.value_or(predefinita);
    }
    std::string InputBox(std::string_view, std::string_view, std::string_view) override {
        return {};
    }
    int Scelta(std::string_view, const std::vector<std::string>&, std::string_view) override {
        return 0;
    }
    void TerminaProgramma() override { terminato = true; }
    [[nodiscard]] bool Terminato() const override { return terminato; }

    int messaggi = 0;
    bool severo = false;
    bool terminato = false;
    std::optional<ui::Risposta> risposta;
};

}  // namespace bench
