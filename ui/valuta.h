#pragma once

namespace ui {

// The captions that name the currency the register is kept in.
struct DidascalieValuta {
    const char* simbolo;    // before an amount: the main window's "Label2", the entry's "Label4"
    const char* nome;       // the main window's "Label6"
    const char* passaggio;  // "CmdEuro", the switch to the other currency
};

inline constexpr DidascalieValuta kDidascalieLire{"£.", "£ire", "&Gestisci in €uro"};
inline constexpr DidascalieValuta kDidascalieEuro{"€.", "€uro", "&Gestisci in Lire"};

[[nodiscard]] constexpr const DidascalieValuta& Didascalie(bool lire) {
    return lire ? kDidascalieLire : kDidascalieEuro;
}

}  // namespace ui
