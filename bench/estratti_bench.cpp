// GCC 12 warns falsely on "literal" + std::string at -O3 (its bug 105329).
#pragma GCC diagnostic ignored "-Wrestrict"
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/dialoghi_muti.h"
#include "bench/finestra_minima.h"
#include "core/importi.h"
#include "estratti/anteprima.h"
#include "estratti/apertura.h"
#include "estratti/lettore_csv.h"
#include "estratti/lettore_ofx.h"
#include "estratti/ricerca.h"
#include "grid/griglia.h"
#include "ui/contesto.h"

namespace {

std::string Giorno(int i) {
    char t[16];
    std::snprintf(t, sizeof t, "%04d%02d%02d", 2030 + i / 336, 1 + (i / 28) % 12, 1 + i % 28);
    return t;
}

std::string Ofx(int n) {
    std::string t =
        "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
        "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n<OFX>"
        "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS><DTSERVER>20240101"
        "<LANGUAGE>ITA</SONRS></SIGNONMSGSRSV1><BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS>"
        "<CODE>0<SEVERITY>INFO</STATUS><STMTRS><CURDEF>EUR<BANKACCTFROM><BANKID>1<ACCTID>2"
        "<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST><DTSTART>20300101<DTEND>20601231\r\n";
    for (int i = 0; i < n; ++i)
        t += "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>" + Giorno(i) + "<TRNAMT>-" +
             std::to_string(1 + i % 500) + ".25<FITID>F" + std::to_string(i) +
             "<NAME>PRELIEVO BANCOMAT " + std::to_string(i) + "</STMTTRN>\r\n";
    t += "</BANKTRANLIST><LEDGERBAL><BALAMT>0<DTASOF>20601231</LEDGERBAL></STMTRS>"
         "</STMTTRNRS></BANKMSGSRSV1></OFX>\r\n";
    return t;
}

std::string Csv(int n) {
    std::string t = "Estratto conto\r\n\r\nData;Data valuta;Descrizione;Dare;Avere\r\n";
    for (int i = n; i-- > 0;) {
        const std::string g = Giorno(i);
        const std::string data = g.substr(6, 2) + "/" + g.substr(4, 2) + "/" + g.substr(0, 4);
        t += data + ";" + data + ";Pagamento POS negozio " + std::to_string(i) + ";" +
             std::to_string(1 + i % 500) + ",25;\r\n";
    }
    return t;
}

core::StatoConto Stato() {
    core::StatoConto s;
    s.ModoValuta = "Euro";
    s.SaldoConto = core::Money::FromUnits(1000000);
    return s;
}

void AnteprimaOfx(benchmark::State& state) {
    const std::string testo = Ofx(10000);
    const core::StatoConto stato = Stato();
    for (auto _ : state) {
        auto e = estratti::LeggiOfxDaTesto(testo, "banca.ofx");
        auto a = estratti::PreparaAnteprima(std::get<estratti::Estratto>(e), {}, stato);
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(AnteprimaOfx)->Unit(benchmark::kMillisecond);

void AnteprimaCsv(benchmark::State& state) {
    const std::string testo = Csv(10000);
    const core::StatoConto stato = Stato();
    for (auto _ : state) {
        const auto m = estratti::RilevaMappatura(testo);
        auto e = estratti::LeggiCsv(testo, m, "banca.csv");
        auto a = estratti::PreparaAnteprima(std::get<estratti::Estratto>(e), {}, stato);
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(AnteprimaCsv)->Unit(benchmark::kMillisecond);

core::Registro Registro(int n) {
    core::Registro r;
    for (int i = 0; i < n; ++i) {
        r.aggiungi({"0" + std::to_string(1 + i % 9) + "/01/2029", "Prelievo",
                    "Rif " + std::to_string(i), "12,50", "1.000,00"});
    }
    return r;
}

using FinestraMuta = bench::FinestraMinima;
using bench::DialoghiMuti;

void ImportaIn100000(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "quibora-bench-estratti";
    std::filesystem::create_directories(dir);
    const std::string testo = Csv(10000);
    const auto m = estratti::RilevaMappatura(testo);
    const auto estratto = std::get<estratti::Estratto>(estratti::LeggiCsv(testo, m, "b.csv"));
    const core::Registro base = Registro(100000);
    for (auto _ : state) {
        state.PauseTiming();
        core::StatoConto stato = Stato();
        grid::Griglia griglia;
        griglia.AggiungiRighe(core::Registro(base));
        core::FileDati file(core::FileSystemReale(), dir, dir);
        DialoghiMuti dialoghi;
        dialoghi.risposta = ui::Risposta::Ok;
        FinestraMuta form1;
        ui::Contesto c{stato, griglia, file, dialoghi, form1, [] { return core::Data{}; }};
        state.ResumeTiming();
        const auto a = estratti::PreparaAnteprima(estratto, griglia.righe(), stato);
        const auto esito = estratti::ApplicaAnteprima(a, c);
        if (esito.aggiunte != 10000 || !esito.salvato) state.SkipWithError("import fallito");
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(ImportaIn100000)->Unit(benchmark::kMillisecond);

void Cerca1000000(benchmark::State& state) {
    const core::Registro r = Registro(1000000);
    estratti::CriteriRicerca criteri;
    criteri.testo = "rif 99999";
    criteri.da = core::Data{2029, 1, 3};
    for (auto _ : state) benchmark::DoNotOptimize(estratti::Cerca(r, criteri));
}
BENCHMARK(Cerca1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
