#pragma once

#include <string>
#include <string_view>

namespace ui {

// The key code the windows forward for Enter (Return or the keypad's Enter).
inline constexpr int kTastoInvio = 13;

struct Colore {
    unsigned char r = 0, g = 0, b = 0;
    friend bool operator==(const Colore&, const Colore&) = default;
};
inline constexpr Colore kNero{0, 0, 0};
inline constexpr Colore kRosso{255, 0, 0};

// Positions and sizes in twips (1/1440 inch), kept as the window system's floats.
struct Rettangolo {
    double left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Rettangolo&, const Rettangolo&) = default;
};

// A window seen by the logic: named controls ("txtSaldo", "CmdEuro", ...), with the
// window itself under its own name ("Form1"). Texts are UTF-8; a caption keeps its "&".
class Finestra {
  public:
    virtual ~Finestra() = default;
    // Caption of a button, label, check box or window; text of a text box.
    [[nodiscard]] virtual std::string Testo(std::string_view controllo) const = 0;
    virtual void ImpostaTesto(std::string_view controllo, std::string_view testo) = 0;
    [[nodiscard]] virtual Colore ColoreTesto(std::string_view controllo) const = 0;
    virtual void ImpostaColoreTesto(std::string_view controllo, Colore colore) = 0;
    [[nodiscard]] virtual bool Abilitato(std::string_view controllo) const = 0;
    virtual void ImpostaAbilitato(std::string_view controllo, bool abilitato) = 0;
    [[nodiscard]] virtual bool Visibile(std::string_view controllo) const = 0;
    virtual void ImpostaVisibile(std::string_view controllo, bool visibile) = 0;
    // Check boxes and option buttons.
    [[nodiscard]] virtual bool Selezionato(std::string_view controllo) const = 0;
    virtual void ImpostaSelezionato(std::string_view controllo, bool selezionato) = 0;
    virtual void ImpostaSuggerimento(std::string_view controllo, std::string_view testo) = 0;
    virtual void Focus(std::string_view controllo) = 0;
    [[nodiscard]] virtual Rettangolo Posizione(std::string_view controllo) const = 0;
    virtual void ImpostaPosizione(std::string_view controllo, const Rettangolo& r) = 0;
    // Closes (unloads) the window.
    virtual void Chiudi() = 0;
};

}  // namespace ui
