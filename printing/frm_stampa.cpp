#include "printing/frm_stampa.h"

#include <optional>
#include <string>
#include <string_view>

namespace printing {

namespace {

constexpr const char* kOpzioneTutto = "Option1_0";
constexpr const char* kOpzionePeriodo = "Option1_1";
constexpr const char* kDaData = "txtDadata";
constexpr const char* kAData = "txtAdata";
constexpr const char* kCampiPeriodo[] = {kDaData, kAData, "Label1", "Label2"};

constexpr const char* kDataNonValida = "Non è una data valida";

bool Compilato(std::string_view testo) {
    return testo.find_first_not_of(' ') != std::string_view::npos;
}

}  // namespace

void FrmStampa::Form_Load(const core::Data& oggi) {
    f_.ImpostaTesto(kAData, core::FormatoData(oggi));
}

void FrmStampa::Option1_Click() {
    if (f_.Selezionato(kOpzioneTutto)) {
        f_.ImpostaSelezionato(kOpzionePeriodo, false);
        for (const char* c : kCampiPeriodo) f_.ImpostaVisibile(c, false);
    } else {
        f_.ImpostaSelezionato(kOpzioneTutto, false);
        f_.ImpostaSelezionato(kOpzionePeriodo, true);
        for (const char* c : kCampiPeriodo) f_.ImpostaVisibile(c, true);
        f_.Focus(kDaData);
    }
}

void FrmStampa::cmdAnnulla_Click() {
    f_.Chiudi();
}

void FrmStampa::Errore(const char* testo, ui::Icona icona) {
    dialoghi_.Messaggio(testo, ui::Pulsanti::Ok, icona);
}

bool FrmStampa::ImpostaPeriodo() {
    const std::string testoDa = f_.Testo(kDaData);
    const std::string testoA = f_.Testo(kAData);
    const bool conDa = Compilato(testoDa);
    const bool conA = Compilato(testoA);
    if (!conDa && !conA) {
        Errore("Deve essere specificata almeno una data.", ui::Icona::Esclamazione);
        f_.Focus(kDaData);
        return false;
    }

    std::optional<core::Data> da = kPrimoGiornoPredefinito;
    std::optional<core::Data> a = kUltimoGiornoPredefinito;
    if (conDa) {
        da = core::LeggiData(testoDa);
        if (!da) {
            Errore(kDataNonValida, ui::Icona::Critica);
            f_.Focus(kDaData);
            return false;
        }
    }
    if (conA) {
        a = core::LeggiData(testoA);
        if (!a) {
            Errore(kDataNonValida, ui::Icona::Critica);
            f_.Focus(kAData);
            return false;
        }
    }
    // The defaults are never checked against the typed day.
    if (conDa && conA && *a < *da) {
        Errore("Data iniziale superiore a quella finale", ui::Icona::Critica);
        return false;
    }
    stato_.DataFineStampa = *a;
    stato_.DataInizioStampa = *da;
    return true;
}

void FrmStampa::cmdOk_Click() {
    // Set before the checks, so a stopped run leaves it as the box says.
    gridPrint_.SetGridLines(f_.Selezionato("Check1") ? 1 : 0);

    if (f_.Selezionato(kOpzioneTutto)) {
        procedura_.StampaTutto();
    } else {
        if (!ImpostaPeriodo()) return;
        procedura_.StampaPeriodo();
    }

    if (gridPrint_.GridLines() == 0) gridPrint_.SetGridLines(1);
    f_.Chiudi();
}

}  // namespace printing
