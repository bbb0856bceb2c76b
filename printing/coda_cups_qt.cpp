#include "printing/coda_cups_qt.h"

#include <cups/cups.h>

#include <string_view>

namespace printing {

std::vector<std::string> CodaCups::Stampanti() {
    cups_dest_t* destinazioni = nullptr;
    const int n = cupsGetDests(&destinazioni);
    std::vector<std::string> nomi;
    for (int i = 0; i < n; ++i)
        if (!destinazioni[i].instance) nomi.emplace_back(destinazioni[i].name);
    cupsFreeDests(n, destinazioni);
    return nomi;
}

// The user's own choice (lpoptions, PRINTER) first, then the scheduler's default.
std::string CodaCups::Predefinita() {
    cups_dest_t* d = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!d) return {};
    std::string nome = d->name;
    cupsFreeDests(1, d);
    return nome;
}

namespace {

// "printer-state" 5 is IPP's "stopped": the queue keeps its jobs until it is resumed.
bool CodaFerma(const std::string& stampante) {
    cups_dest_t* d = cupsGetNamedDest(CUPS_HTTP_DEFAULT, stampante.c_str(), nullptr);
    if (!d) return false;
    const char* stato = cupsGetOption("printer-state", d->num_options, d->options);
    const bool ferma = stato && std::string_view(stato) == "5";
    cupsFreeDests(1, d);
    return ferma;
}

}  // namespace

EsitoInvio CodaCups::Invia(const std::string& stampante, const std::filesystem::path& pdf,
                           const std::string& titolo) {
    cups_option_t* opzioni = nullptr;
    const int n = cupsAddOption("document-format", "application/pdf", 0, &opzioni);
    const int lavoro = cupsPrintFile(stampante.c_str(), pdf.c_str(), titolo.c_str(), n, opzioni);
    cupsFreeOptions(n, opzioni);
    if (lavoro > 0) return {{}, CodaFerma(stampante)};
    const char* motivo = cupsLastErrorString();
    return {motivo && *motivo ? motivo : "la coda di stampa non ha risposto"};
}

}  // namespace printing
