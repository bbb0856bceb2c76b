#pragma once

#include <map>
#include <string>
#include <string_view>

#include "ui/finestra.h"

namespace bench {

// A window that keeps texts and nothing else.
class FinestraMinima : public ui::Finestra {
  public:
    std::string Testo(std::string_view c) const override {
        auto it = testi_.find(c);
        return it == testi_.end() ? std::string() : it->second;
    }
    void ImpostaTesto(std::string_view c, std::string_view t) override {
        testi_[std::string(c)] = t;
    }
    ui::Colore ColoreTesto(std::string_view) const override { return ui::kNero; }
    void ImpostaColoreTesto(std::string_view, ui::Colore) override {}
    bool Abilitato(std::string_view) const override { return true; }
    void ImpostaAbilitato(std::string_view, bool) override {}
    bool Visibile(std::string_view) const override { return true; }
    void ImpostaVisibile(std::string_view, bool) override {}
    bool Selezionato(std::string_view) const override { return false; }
    void ImpostaSelezionato(std::string_view, bool) override {}
    void ImpostaSuggerimento(std::string_view, std::string_view) override {}
    void Focus(std::string_view) override {}
    ui::Rettangolo Posizione(std::string_view) const override { return {}; }
    void ImpostaPosizione(std::string_view, const ui::Rettangolo&) override {}
    void Chiudi() override { chiusa = true; }
    bool chiusa = false;

  private:
    std::map<std::string, std::string, std::less<>> testi_;
};

}  // namespace bench
