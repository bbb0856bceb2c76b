#pragma once

#include <string>

#include "core/date.h"
#include "core/denaro.h"
#include "core/importi.h"

namespace core {

// The account state, one instance for the whole run. Texts are UTF-8 except
// PasswordSalvata, which after start-up holds the scrambled Windows-1252 bytes as stored.
struct StatoConto {
    Money SaldoConto;
    Money FidoConto;         // stored negative; zero means no credit line
    std::string ModoValuta;  // exactly "Lire" means lire, anything else euro
    std::string NumeroConto;
    std::string BancaAppoggio;
    std::string PasswordSalvata;
    std::string PasswordInserita;
    bool VerificaPassword = false;
    Data DataInizioStampa;
    Data DataFineStampa;
};

[[nodiscard]] inline bool InLire(const StatoConto& s) {
    return s.ModoValuta == kLire;
}

// The main window's title; two blanks stand before the hyphen.
[[nodiscard]] inline std::string TitoloFinestraPrincipale(const std::string& numero,
                                                          const std::string& banca) {
    return "Quibora Lite Edition (Free) " + std::string(" - Conto N° ") + numero + " - " + banca;
}

}  // namespace core
