#pragma once

#include <string>
#include <string_view>

#include "core/conto.h"
#include "core/file_dati.h"
#include "ui/dialoghi.h"

namespace avvio {

inline constexpr std::string_view kPasswordErrata = "Password errata";

// "L'applicazione quibora è gia' in esecuzione."
[[nodiscard]] std::string MessaggioIstanzaAttiva(std::string_view nomeEseguibile);

// The windows start-up opens; the Qt side makes the real ones, tests script them.
class FinestreAvvio {
  public:
    virtual ~FinestreAvvio() = default;
    // First use: the account setup window, modeless. Its OK calls ApriPrincipale.
    virtual void ApriImpostazioneConto() = 0;
    // Builds the main window, hidden and not loaded yet, if it does not exist.
    virtual void CreaPrincipale() = 0;
    // The main window's loading: 0 or the error number.
    [[nodiscard]] virtual int CaricaPrincipale() = 0;
    // The password window in its start-up mode, modal.
    virtual void ApriPassword() = 0;
    // Title, show, and the keyboard focus on the type list.
    virtual void MostraPrincipale(const std::string& titolo) = 0;
};

enum class Esito { InCorso, Finito };

// The start-up sequence up to the main window being shown (or the account setup window
// at first use). A file that cannot be loaded is reported by name; when a backup loads
// the user may have it put back (the damaged files kept aside) and start-up carries on,
// else the program ends. Finito means the program has been ended.
[[nodiscard]] Esito Main(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
                         FinestreAvvio& finestre);

// After the account setup window has written the account: load and show the main window.
[[nodiscard]] Esito ApriPrincipale(core::FileDati& file, core::StatoConto& stato,
                                   ui::Dialoghi& dialoghi, FinestreAvvio& finestre);

// The report of a load that failed: the error number, and the file and row when known.
[[nodiscard]] std::string MessaggioErroreCaricamento(int numero, const core::ErroreLettura& errore);

// Does the password typed at start-up match the stored one, letter case aside? An empty
// text never matches.
[[nodiscard]] bool PasswordCorrisponde(const core::StatoConto& stato);

}  // namespace avvio
