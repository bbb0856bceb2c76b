#include "estratti/importazione.h"

#include <memory>

#include "core/importi.h"
#include "estratti/lettore_ofx.h"
#include "estratti/testi.h"

namespace estratti {

namespace {

constexpr std::string_view kTitolo = "Importa estratto conto";

// Only the digits: "1000/123456" and "IT60X0542811101000000123456" name the same account
// when one ends with the other's digits.
std::string Cifre(std::string_view t) {
    std::string c;
    for (const char x : t)
        if (x >= '0' && x <= '9') c += x;
    return c;
}

bool StessoConto(std::string_view a, std::string_view b) {
    const std::string x = Cifre(a), y = Cifre(b);
    if (x.empty() || y.empty()) return Normalizza(a) == Normalizza(b);
    return x.ends_with(y) || y.ends_with(x);
}

// What the worker hands back: it owns everything it touches, as it may be abandoned.
struct Apertura {
    std::optional<std::variant<FileEstratto, ErroreEstratto>> file;
    std::optional<ErroreEstratto> errore;
};

}  // namespace

bool ImportaEstratto(ui::Contesto& c, const std::filesystem::path& file,
                     const std::filesystem::path& cartellaConfigurazione, VistaImportazione& vista,
                     const std::function<void()>& passaAEuro) {
    auto memoria = std::make_shared<MemoriaMappature>(c.file.fileSystem(),
                                                      cartellaConfigurazione / kFileMappature);
    memoria->Carica();
    auto avvisa = [&](const std::string& testo) {
        c.dialoghi.Messaggio(testo, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
    };
    auto byte = std::make_shared<std::string>();
    if (auto e = c.file.fileSystem().leggi(file, *byte)) {
        avvisa("Impossibile leggere il file \"" + file.filename().string() + "\": " + e->motivo);
        return false;
    }
    // Parsing may be slow on a large or hostile file: on the worker, which sees only what it
    // owns (a copy of the mappings, the bytes, the result).
    auto esito = std::make_shared<Apertura>();
    const std::shared_ptr<const MemoriaMappature> ricordate =
        std::make_shared<MemoriaMappature>(*memoria);
    if (!vista.Esegui([esito, byte, ricordate, file] {
            auto aperto = ApriEstrattoDaByte(*byte, file, ricordate.get());
            if (auto* f = std::get_if<FileEstratto>(&aperto); f && f->ofx) {
                auto letto = LeggiOfxDaTesto(*byte, f->nome);
                if (auto* e = std::get_if<ErroreEstratto>(&letto))
                    esito->errore = *e;
                else
                    f->letto =
                        std::make_shared<const Estratto>(std::get<Estratto>(std::move(letto)));
            }
            esito->file = std::move(aperto);
        }))
        return false;
    if (!esito->file) return false;
    if (auto* e = std::get_if<ErroreEstratto>(&*esito->file)) {
        avvisa(e->messaggio);
        return false;
    }
    if (esito->errore) {
        avvisa(esito->errore->messaggio);
        return false;
    }
    FileEstratto f = std::get<FileEstratto>(std::move(*esito->file));

    std::string numero;
    if (f.letto) {
        const auto& conti = f.letto->conti;
        numero = f.letto->numeroConto;
        if (conti.size() > 1) {
            std::vector<std::string> voci;
            for (const auto& conto : conti)
                voci.push_back("N° " + conto.numero + " (" + conto.tipo + ")");
            const int scelto =
                c.dialoghi.Scelta("Il file \"" + f.nome + "\" contiene gli estratti di " +
                                      std::to_string(conti.size()) + " conti. Quale importare?",
                                  voci, kTitolo);
            if (scelto < 0 || scelto >= static_cast<int>(conti.size())) return false;
            f.conto = conti[scelto].numero;
            numero = f.conto;
        }
    }
    if (!numero.empty() && !c.stato.NumeroConto.empty() &&
        !StessoConto(numero, c.stato.NumeroConto)) {
        const auto r =
            c.dialoghi.Messaggio("Il file \"" + f.nome + "\" è l'estratto del conto N° " + numero +
                                     ", questo registro è del conto N° " + c.stato.NumeroConto +
                                     ".\n\nImportarlo comunque in questo registro?",
                                 ui::Pulsanti::SiNo, ui::Icona::Domanda, kTitolo, ui::Risposta::No);
        if (r != ui::Risposta::Si) return false;
    }
    if (!f.ofx && f.mappatura.dataAmbigua && !f.mappaturaRicordata) {
        const auto r = c.dialoghi.Messaggio(
            "Nel file \"" + f.nome +
                "\" nessuna data dice se il giorno viene prima del mese (il 03/04/2024 può "
                "essere il 3 aprile o il 4 marzo).\n\nSì: giorno/mese/anno, come in Italia.\n"
                "No: mese/giorno/anno, come negli Stati Uniti.\nAnnulla: non importa nulla.",
            ui::Pulsanti::SiNoAnnulla, ui::Icona::Domanda, kTitolo, ui::Risposta::Si);
        if (r == ui::Risposta::Annulla) return false;
        f.mappatura.formatoData =
            r == ui::Risposta::No ? FormatoData::MeseGiornoAnno : FormatoData::GiornoMeseAnno;
        f.mappatura.dataAmbigua = false;
    }
    OpzioniImportazione opzioni;
    if (core::InLire(c.stato)) {
        const ui::Risposta r = c.dialoghi.Messaggio(kDomandaLire, ui::Pulsanti::SiNoAnnulla,
                                                    ui::Icona::Domanda, kTitolo, ui::Risposta::Si);
        if (r == ui::Risposta::Annulla) return false;
        if (r == ui::Risposta::No) {
            // Nothing changes now: the switch happens when "Importa" is pressed.
            opzioni.passaAEuro = passaAEuro;
            f.registroInEuro = true;
        }
    }
    const auto fatto = vista.Anteprima(std::move(f), *memoria, opzioni);
    if (!fatto) return false;
    c.dialoghi.Messaggio(fatto->riepilogo, ui::Pulsanti::Ok, ui::Icona::Informazione, kTitolo);
    return fatto->aggiunte > 0;
}

}  // namespace estratti
