// Printing the whole register to a PDF file, as the print dialog's "Stampa tutto" does:
// copying into the print grid, the page loop and the drawing of every page.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench/dialoghi_muti.h"
#include "core/date.h"
#include "grid/griglia.h"
#include "printing/stampa.h"
#include "printing/stampante_qt.h"

namespace {

using bench::DialoghiMuti;

// Counts the pages of the printer it stands in front of.
class StampanteContata : public printing::Stampante {
  public:
    StampanteContata(std::unique_ptr<printing::Stampante> s, long& pagine)
        : s_(std::move(s)), pagine_(pagine) {}
    void ImpostaPixel() override { s_->ImpostaPixel(); }
    double LarghezzaStampabile() override { return s_->LarghezzaStampabile(); }
    double AltezzaStampabile() override { return s_->AltezzaStampabile(); }
    double MmInOrizzontale(double mm) override { return s_->MmInOrizzontale(mm); }
    double MmInVerticale(double mm) override { return s_->MmInVerticale(mm); }
    void ImpostaX(double x) override { s_->ImpostaX(x); }
    void ImpostaY(double y) override { s_->ImpostaY(y); }
    void StampaRiga(std::string_view t) override { s_->StampaRiga(t); }
    std::unique_ptr<printing::RenderGriglia> Render(const grid::Griglia& g) override {
        return s_->Render(g);
    }
    void NuovaPagina() override {
        ++pagine_;
        s_->NuovaPagina();
    }
    std::string FineDocumento() override {
        ++pagine_;
        return s_->FineDocumento();
    }
    void Annulla() override { s_->Annulla(); }

  private:
    std::unique_ptr<printing::Stampante> s_;
    long& pagine_;
};

void BM_StampaPdf(benchmark::State& state) {
    grid::Griglia registro;
    for (int i = 1; i <= state.range(0); ++i) {
        const core::Data d{2000 + i / 336, (i / 28) % 12 + 1, i % 28 + 1};
        registro.AddItem({core::FormatoData(d), "Addebito bolletta gas",
                          "riferimento " + std::to_string(i), "1.234,56",
                          "-" + std::to_string(i) + ".000,00"});
    }
    core::StatoConto stato;
    stato.BancaAppoggio = "Banca di prova";
    stato.NumeroConto = "0123456789";
    QTemporaryDir dir;
    const QString pdf = QDir(dir.path()).filePath(QStringLiteral("registro.pdf"));
    grid::Griglia gridPrint;
    DialoghiMuti dialoghi;
    dialoghi.severo = true;
    long pagine = 0;
    printing::StampaRegistro stampa({registro, gridPrint, stato, dialoghi,
                                     [&] {
                                         return std::make_unique<StampanteContata>(
                                             printing::StampanteQt::Pdf(pdf), pagine);
                                     },
                                     [] {
                                         return core::Data{2024, 3, 7};
                                     }});

    // STAMPA_PDF names a file to keep the last printout in, to look at it.
    const QString copia = qEnvironmentVariable("STAMPA_PDF");
    for (auto _ : state) {
        stampa.StampaTutto();
        state.PauseTiming();
        if (!copia.isEmpty()) {
            QFile::remove(copia);
            QFile::copy(pdf, copia);
        }
        QFile::remove(pdf);
        state.ResumeTiming();
    }
    state.counters["pagine/s"] =
        benchmark::Counter(static_cast<double>(pagine), benchmark::Counter::kIsRate);
    state.counters["pagine"] =
        static_cast<double>(pagine) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_StampaPdf)->Arg(50)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
// About 20,000 pages: once is enough.
BENCHMARK(BM_StampaPdf)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
