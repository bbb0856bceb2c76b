#include "entry/inserimento.h"

#include "core/conto.h"
#include "core/importi.h"

namespace entry {

namespace {

Rifiuto SuData(std::string messaggio) {
    return {std::move(messaggio), kTxtData};
}
Rifiuto SuImporto(std::string messaggio) {
    return {std::move(messaggio), kTxtImporto};
}
Rifiuto SuRiferimento(std::string messaggio) {
    return {std::move(messaggio), kTxtrif};
}

}  // namespace

EsitoInserimento ValutaMovimento(const TestiMovimento& testi, const core::TipoMovimento& tipo,
                                 const SituazioneConto& conto,
                                 std::optional<std::string_view> dataUltimaRiga) {
    if (testi.data.empty()) return SuData("Manca la data");
    const auto data = core::LeggiData(testi.data);
    if (!data) return SuData("La data inserita non è una data valida");
    if (dataUltimaRiga) {
        const auto ultima = core::LeggiData(*dataUltimaRiga);
        if (ultima && *ultima > *data)
            return SuData(
                "Non è possibile inserire un movimento con data inferiore all'ultima operazione "
                "nella tabella.");
    }

    const bool conVirgola = core::TestoInEuro(testi.importo);
    if (testi.importo.empty()) return SuImporto("Manca l'importo");
    const auto importo = core::ValoreImporto(testi.importo);
    const auto importoDouble = core::ValoreImportoDouble(testi.importo);
    if (!importo || !importoDouble) return SuImporto("Importo non valido");
    // The typed value before rounding: 0,00001 passes and is recorded as zero.
    if (*importoDouble <= 0) return SuImporto("L'importo non può essere inferiore o uguale a 0");
    // Here every mode other than exactly "Euro" counts as lire.
    if (conto.modoValuta != core::kEuro && conVirgola)
        return SuImporto("L'importo in lire non può contenere decimali");

    // The reference goes into a quoted item of the register files, which have no escape.
    if (testi.riferimento.find('"') != std::string_view::npos)
        return SuRiferimento("Il riferimento non può contenere le virgolette (\").");
    if (!core::TestoMemorizzabile(testi.riferimento))
        return SuRiferimento(
            "Il riferimento contiene caratteri che non possono essere memorizzati.");

    const auto saldo = tipo.segno == core::Segno::Debito ? conto.saldo.minus(*importo)
                                                         : conto.saldo.plus(*importo);
    if (!saldo)
        return SuImporto(
            "Il movimento porterebbe il saldo oltre il limite consentito: non è stato registrato.");

    const bool lire = conto.modoValuta == core::kLire;
    Movimento m;
    m.data = *data;
    m.importo = *importo;
    m.nuovoSaldo = *saldo;
    m.testoSaldo = core::FormatoModo(*saldo, conto.modoValuta);
    m.riga = {core::FormatoData(*data), std::string(lire ? tipo.CausaleLire : tipo.CausaleEuro),
              std::string(testi.riferimento), core::FormatoModo(*importo, conto.modoValuta),
              m.testoSaldo};
    m.fuoriFido = tipo.AvvisoFido && conto.fido.isNegative() && *saldo < conto.fido;
    return m;
}

}  // namespace entry
