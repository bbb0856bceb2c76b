#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/dialoghi.h"
#include "ui/finestra.h"

namespace test {

// A window that remembers what the logic set on each named control.
class FinestraFinta : public ui::Finestra {
  public:
    struct Controllo {
        std::string testo;
        ui::Colore colore = ui::kNero;
        bool abilitato = true;
        bool visibile = true;
        bool selezionato = false;
        ui::Rettangolo posizione;
    };

    std::string Testo(std::string_view c) const override { return trova(c).testo; }
    void ImpostaTesto(std::string_view c, std::string_view t) override { (*this)[c].testo = t; }
    ui::Colore ColoreTesto(std::string_view c) const override { return trova(c).colore; }
    void ImpostaColoreTesto(std::string_view c, ui::Colore k) override { (*this)[c].colore = k; }
    bool Abilitato(std::string_view c) const override { return trova(c).abilitato; }
    void ImpostaAbilitato(std::string_view c, bool a) override { (*this)[c].abilitato = a; }
    bool Visibile(std::string_view c) const override { return trova(c).visibile; }
    void ImpostaVisibile(std::string_view c, bool v) override { (*this)[c].visibile = v; }
    bool Selezionato(std::string_view c) const override { return trova(c).selezionato; }
    void ImpostaSelezionato(std::string_view c, bool s) override { (*this)[c].selezionato = s; }
    void ImpostaSuggerimento(std::string_view c, std::string_view) override { Conosciuto(c); }
    void Focus(std::string_view c) override { focus = Conosciuto(c); }
    ui::Rettangolo Posizione(std::string_view c) const override { return trova(c).posizione; }
    void ImpostaPosizione(std::string_view c, const ui::Rettangolo& r) override {
        (*this)[c].posizione = r;
    }
    void Chiudi() override { chiusa = true; }

    Controllo& operator[](std::string_view c) { return controlli_[std::string(Conosciuto(c))]; }

    // Throws, as the real window does, for a name no window has: a typo in the logic or in a
    // test then fails instead of reading an empty control.
    static std::string_view Conosciuto(std::string_view controllo) {
        // The controls of the real windows (main window, set-up, password, entry, printing).
        static constexpr std::string_view kNomi[] = {
            "Form1",     "Label1",     "Label2",     "Label3",    "Label4",    "Label5",
            "Label6",    "Label7",     "Grid",       "List1",     "Image1",    "Entrate",
            "Uscite",    "Cmdfido",    "Rimuovi",    "Rimuoviu",  "CmdStampa", "CmdEuro",
            "CmdSaldo",  "CmdEsci",    "cmdPass",    "txtSaldo",  "Form17",    "TxtBanca",
            "TxtConto",  "Check1",     "ChPass",     "lblCk",     "txtPass",   "txtPass1",
            "lblPass",   "CmdOk",      "CmdAnnulla", "frmPass",   "cmdOk",     "cmdAnnulla",
            "frmStampa", "txtDitta",   "Option1_0",  "Option1_1", "txtDadata", "txtAdata",
            "txtData",   "txtImporto", "Txtrif"};
        if (std::ranges::count(kNomi, controllo) == 0)
            throw std::logic_error("controllo inesistente: " + std::string(controllo));
        return controllo;
    }

    std::string focus;
    bool chiusa = false;

  private:
    const Controllo& trova(std::string_view c) const {
        static const Controllo vuoto;
        auto it = controlli_.find(Conosciuto(c));
        return it == controlli_.end() ? vuoto : it->second;
    }
    std::map<std::string, Controllo, std::less<>> controlli_;
};

// Message and input boxes answered from a script; every box shown is recorded.
class DialoghiFinti : public ui::Dialoghi {
  public:
    struct Messaggio {
        std::string testo;
        ui::Pulsanti pulsanti;
        ui::Icona icona;
        std::string titolo;
        ui::Risposta predefinita;
    };
    struct Input {
        std::string prompt, titolo, predefinito;
    };

    ui::Risposta Messaggio(std::string_view testo, ui::Pulsanti pulsanti, ui::Icona icona,
                           std::string_view titolo, ui::Risposta predefinita) override {
        messaggi.push_back({std::string(testo), pulsanti, icona, std::string(titolo), predefinita});
        return pulsanti == ui::Pulsanti::Ok ? ui::Risposta::Ok : Prossima(risposte, predefinita);
    }
    std::string InputBox(std::string_view prompt, std::string_view titolo,
                         std::string_view predefinito) override {
        input.push_back({std::string(prompt), std::string(titolo), std::string(predefinito)});
        return Prossima(inputDigitati, {});
    }
    int Scelta(std::string_view domanda, const std::vector<std::string>& voci,
               std::string_view) override {
        scelte.push_back({std::string(domanda), voci});
        return Prossima(sceltePrevisti, -1);
    }
    void TerminaProgramma() override { terminato = true; }
    [[nodiscard]] bool Terminato() const override { return terminato; }

    // Texts of the messages shown, in order.
    std::vector<std::string> testiMessaggi() const {
        std::vector<std::string> testi;
        for (const auto& m : messaggi) testi.push_back(m.testo);
        return testi;
    }

    std::deque<ui::Risposta> risposte;      // answers to Yes/No boxes (default: the default button)
    std::deque<std::string> inputDigitati;  // answers to input boxes (default: empty = cancel)
    std::vector<struct Messaggio> messaggi;
    std::vector<Input> input;
    std::deque<int> sceltePrevisti;  // answers to choices (default: -1 = cancel)
    std::vector<std::pair<std::string, std::vector<std::string>>> scelte;
    bool terminato = false;

  private:
    template <typename T>
    static T Prossima(std::deque<T>& coda, T altrimenti) {
        if (coda.empty()) return altrimenti;
        T t = std::move(coda.front());
        coda.pop_front();
        return t;
    }
};

}  // namespace test
