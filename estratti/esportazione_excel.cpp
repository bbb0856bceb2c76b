#include "estratti/esportazione_excel.h"

#include <stdlib.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <tuple>

#include "core/importi.h"
#include "estratti/andamento.h"
#include "estratti/esportazione.h"
#include "estratti/testi.h"

namespace estratti {

namespace {

constexpr std::array<const char*, 7> kIntestazione = {"Data",   "Causale", "Riferimento", "Importo",
                                                      "Valuta", "Saldo",   "Valuta saldo"};
// Shown as "€ 1.234,56" and "L. 1.234" by an Italian spreadsheet.
constexpr const char* kFormatoEuro = "[$\xE2\x82\xAC-410] #,##0.00;-[$\xE2\x82\xAC-410] #,##0.00";
constexpr const char* kFormatoLire = "\"L.\" #,##0;-\"L.\" #,##0";

double InDouble(core::Money v) {
    return static_cast<double>(v.raw()) / static_cast<double>(core::Money::kScala);
}

// A private folder for libxlsxwriter, which writes only to a path of its own choosing:
// made with mode 0700, so nobody else can put or read anything in it meanwhile.
class CartellaPrivata {
  public:
    CartellaPrivata() {
        std::error_code ec;
        std::string modello =
            (std::filesystem::temp_directory_path(ec) / "quibora-XXXXXX").string();
        if (ec) modello = "/tmp/quibora-XXXXXX";
        if (::mkdtemp(modello.data())) percorso_ = modello;
        errno_ = errno;
    }
    CartellaPrivata(const CartellaPrivata&) = delete;
    CartellaPrivata& operator=(const CartellaPrivata&) = delete;
    ~CartellaPrivata() {
        if (percorso_.empty()) return;
        std::error_code ec;
        std::filesystem::remove_all(percorso_, ec);
    }
    [[nodiscard]] const std::filesystem::path& percorso() const { return percorso_; }
    [[nodiscard]] int errore() const { return errno_; }

  private:
    std::filesystem::path percorso_;
    int errno_ = 0;
};

}  // namespace

core::EsitoFile EsportaExcel(core::FileSystem& fs, const std::filesystem::path& file,
                             const core::Registro& registro, const IntestazioneExcel& conto,
                             std::optional<core::Data> da, std::optional<core::Data> a) {
    CartellaPrivata cartella;
    if (cartella.percorso().empty())
        return core::ErroreFile{file, core::MotivoErrore(cartella.errore())};
    const std::filesystem::path scritto = cartella.percorso() / "registro.xlsx";
    const std::string tmp = cartella.percorso().string();

    lxw_workbook_options opzioni{};
    opzioni.constant_memory = LXW_TRUE;  // rows go out as they are written
    opzioni.tmpdir = const_cast<char*>(tmp.c_str());
    lxw_workbook* libro = workbook_new_opt(scritto.c_str(), &opzioni);
    if (!libro) return core::ErroreFile{file, core::MotivoErrore(ENOMEM)};
    lxw_worksheet* foglio = workbook_add_worksheet(libro, "Registro");
    lxw_format* grassetto = workbook_add_format(libro);
    format_set_bold(grassetto);
    lxw_format* formatoData = workbook_add_format(libro);
    format_set_num_format(formatoData, "dd/mm/yyyy");
    lxw_format* euro = workbook_add_format(libro);
    format_set_num_format(euro, kFormatoEuro);
    lxw_format* lire = workbook_add_format(libro);
    format_set_num_format(lire, kFormatoLire);

    std::array<std::size_t, kIntestazione.size()> larghezze{};
    auto misura = [&](std::size_t colonna, std::size_t caratteri) {
        larghezze[colonna] = std::max(larghezze[colonna], caratteri);
    };
    lxw_error esito = LXW_NO_ERROR;
    auto controlla = [&](lxw_error e) {
        if (esito == LXW_NO_ERROR) esito = e;
    };
    const std::string titolo = "Conto n. " + conto.numeroConto + " - " + conto.banca;
    controlla(worksheet_write_string(foglio, 0, 0, titolo.c_str(), grassetto));
    for (std::size_t c = 0; c < kIntestazione.size(); ++c) {
        controlla(worksheet_write_string(foglio, 1, static_cast<lxw_col_t>(c), kIntestazione[c],
                                         grassetto));
        misura(c, LunghezzaUtf8(kIntestazione[c]));
    }
    lxw_row_t riga = 2;
    std::string testo;
    for (std::size_t indice = 0; indice < registro.size(); ++indice) {
        const auto esportata = RigaDaEsportare(registro, indice, da, a);
        if (!esportata) continue;
        const RigaEsportata& r = *esportata;
        if (const auto d = core::LeggiData(r.data)) {
            lxw_datetime giorno{d->anno, d->mese, d->giorno, 0, 0, 0};
            controlla(worksheet_write_datetime(foglio, riga, 0, &giorno, formatoData));
            misura(0, 10);
        } else if (!r.data.empty()) {
            // A date the register cannot read is kept as the text it is.
            testo.assign(r.data);
            controlla(worksheet_write_string(foglio, riga, 0, testo.c_str(), nullptr));
            misura(0, LunghezzaUtf8(r.data));
        }
        for (const auto& [colonna, cella] :
             {std::pair{1, r.causale}, std::pair{2, r.riferimento}}) {
            if (cella.empty()) continue;
            testo.assign(cella);
            controlla(worksheet_write_string(foglio, riga, colonna, testo.c_str(), nullptr));
            misura(colonna, LunghezzaUtf8(cella));
        }
        // Each amount in its own currency; a cell no rule reads stays the text it is.
        for (const auto& [colonna, valore, cella, inEuro] :
             {std::tuple{3, r.importo, r.cellaImporto, r.euro},
              std::tuple{5, r.saldo, r.cellaSaldo, r.saldoEuro}}) {
            const auto c = static_cast<lxw_col_t>(colonna);
            if (valore) {
                controlla(worksheet_write_number(foglio, riga, c, InDouble(*valore),
                                                 inEuro ? euro : lire));
                // The shown text: the currency's sign and a blank before the grouped number.
                misura(
                    c,
                    (inEuro ? core::FormatoEuro(*valore) : core::FormatoLire(*valore)).size() + 4);
            } else if (!cella.empty()) {
                testo.assign(cella);
                controlla(worksheet_write_string(foglio, riga, c, testo.c_str(), nullptr));
                misura(c, LunghezzaUtf8(cella));
            }
            controlla(worksheet_write_string(foglio, riga, c + 1, inEuro ? "EUR" : "ITL", nullptr));
        }
        ++riga;
    }
    // The title may run over the empty cells beside it; the columns fit their values.
    for (std::size_t c = 0; c < larghezze.size(); ++c)
        worksheet_set_column(foglio, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             static_cast<double>(larghezze[c] + 2), nullptr);
    worksheet_freeze_panes(foglio, 2, 0);
    // Printed from the spreadsheet: one page wide, the header on every page.
    worksheet_set_landscape(foglio);
    worksheet_fit_to_pages(foglio, 1, 0);
    controlla(worksheet_repeat_rows(foglio, 1, 1));
    const lxw_error chiusura = workbook_close(libro);
    if (esito == LXW_NO_ERROR) esito = chiusura;
    if (esito != LXW_NO_ERROR)
        return core::ErroreFile{file, std::string("errore nella scrittura del foglio Excel (") +
                                          lxw_strerror(esito) + ")"};

    std::string byte;
    if (auto e = fs.leggi(scritto, byte)) {
        e->file = file;
        return e;
    }
    return ScriviFileUtente(fs, file, byte);
}

}  // namespace estratti
