#include "estratti/andamento.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>

#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "estratti/testi.h"

namespace estratti {

namespace {

constexpr std::array<const char*, 12> kMesi = {"gen", "feb", "mar", "apr", "mag", "giu",
                                               "lug", "ago", "set", "ott", "nov", "dic"};

double InUnita(core::Money v) {
    return static_cast<double>(v.raw()) / core::Money::kScala;
}

// A register cell in the account's currency; empty is zero, as lire zero is written.
std::optional<core::Money> Valore(std::string_view cella, bool inLire) {
    if (SenzaSpazi(cella).empty()) return core::Money{};
    const auto v = core::ValoreImportoRegistrato(cella);
    if (!v || core::TestoInEuro(cella) != inLire) return v;
    return inLire ? core::EuroInLire(*v) : core::LireInEuro(*v);
}

// "dd/mm/yyyy", as every row is stored, read without the general reader.
std::optional<core::Data> DataRegistro(std::string_view t) {
    const auto cifra = [&](std::size_t i) { return static_cast<unsigned>(t[i] - '0'); };
    if (t.size() == 10 && t[2] == '/' && t[5] == '/') {
        bool cifre = true;
        for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9}) cifre = cifre && cifra(i) <= 9;
        const core::Data d{
            static_cast<int>(cifra(6) * 1000 + cifra(7) * 100 + cifra(8) * 10 + cifra(9)),
            static_cast<int>(cifra(3) * 10 + cifra(4)), static_cast<int>(cifra(0) * 10 + cifra(1))};
        if (cifre && core::DataEsistente(d.anno, d.mese, d.giorno)) return d;
        return std::nullopt;
    }
    return core::LeggiData(t);
}

std::string Mese(const core::Data& d) {
    return std::string(kMesi[static_cast<std::size_t>(d.mese - 1)]) + ' ' + std::to_string(d.anno);
}

}  // namespace

int GiornoDa(const core::Data& d) {
    using namespace std::chrono;
    const year_month_day ymd{year{d.anno}, month{static_cast<unsigned>(d.mese)},
                             day{static_cast<unsigned>(d.giorno)}};
    return static_cast<int>(sys_days(ymd).time_since_epoch().count());
}

core::Data DataDelGiorno(int giorno) {
    using namespace std::chrono;
    const year_month_day ymd{sys_days(days(giorno))};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

std::optional<core::Data> LeggiDataDigitata(std::string_view testo) {
    while (!testo.empty() && testo.front() == ' ') testo.remove_prefix(1);
    while (!testo.empty() && testo.back() == ' ') testo.remove_suffix(1);
    const bool soloCifre =
        !testo.empty() && std::ranges::all_of(testo, [](char c) { return c >= '0' && c <= '9'; });
    if (soloCifre && (testo.size() == 8 || testo.size() == 6)) {
        const std::string conBarre = std::string(testo.substr(0, 2)) + '/' +
                                     std::string(testo.substr(2, 2)) + '/' +
                                     std::string(testo.substr(4));
        return core::LeggiData(conBarre);
    }
    return core::LeggiData(testo);
}

Andamento CalcolaAndamento(const core::Registro& registro, const core::StatoConto& stato) {
    Andamento a;
    a.inLire = core::InLire(stato);
    a.fido = stato.FidoConto;
    const std::size_t n = registro.size();
    // Rows come in date order, many on the same day: a date is read once for all the rows
    // that repeat its text, and only a day's last balance is read.
    std::string_view testoData, causale;
    std::optional<core::Data> data;
    int giorno = 0;
    bool debito = false;
    // At most one point a row: room reserved and never used costs no memory, while growing
    // by copies would hold a large register's points twice.
    a.punti.reserve(n);
    for (std::size_t r = 0; r < n; ++r) {
        const std::string_view t = registro.cella(r, 0);
        if (r == 0 || t != testoData) {
            testoData = t;
            data = DataRegistro(t);
            if (data) giorno = GiornoDa(*data);
        }
        if (!data) {
            ++a.illeggibili;
            continue;
        }
        // A row whose amount cannot be read still closes its day with its balance.
        const auto importo = Valore(registro.cella(r, 3), a.inLire);
        if (importo) {
            if (r == 0 || registro.cella(r, 1) != causale) {
                causale = registro.cella(r, 1);
                debito = core::CausaleDiDebito(causale);
            }
            if (a.mesi.empty() || a.mesi.back().anno != data->anno ||
                a.mesi.back().mese != data->mese)
                a.mesi.push_back({data->anno, data->mese, 0, 0});
            (debito ? a.mesi.back().debiti : a.mesi.back().crediti) += std::abs(InUnita(*importo));
        }
        if (r + 1 < n && registro.cella(r + 1, 0) == t) {
            a.illeggibili += importo ? 0 : 1;
            continue;
        }
        const auto saldo =
            r + 1 == n ? std::optional(stato.SaldoConto) : Valore(registro.cella(r, 4), a.inLire);
        if (!importo || !saldo) ++a.illeggibili;
        if (!saldo) continue;
        // The same day written two ways ("1/3/2024", "01/03/2024") is still one day.
        if (!a.punti.empty() && a.punti.back().giorno == giorno)
            a.punti.back().saldo = *saldo;
        else
            a.punti.push_back({giorno, *saldo});
    }
    // A register edited by hand may be out of order: by day, each day's last balance kept.
    const auto perGiorno = [](const PuntoSaldo& x, const PuntoSaldo& y) {
        return x.giorno < y.giorno;
    };
    if (!std::ranges::is_sorted(a.punti, perGiorno)) {
        std::ranges::stable_sort(a.punti, perGiorno);
        std::vector<PuntoSaldo> uno;
        for (const auto& p : a.punti) {
            if (!uno.empty() && uno.back().giorno == p.giorno)
                uno.back() = p;
            else
                uno.push_back(p);
        }
        a.punti = std::move(uno);
    }
    const auto perMese = [](const MeseMovimenti& x, const MeseMovimenti& y) {
        return x.anno * 12 + x.mese < y.anno * 12 + y.mese;
    };
    if (!std::ranges::is_sorted(a.mesi, perMese)) {
        std::ranges::stable_sort(a.mesi, perMese);
        std::vector<MeseMovimenti> uno;
        for (const auto& m : a.mesi) {
            if (!uno.empty() && uno.back().anno == m.anno && uno.back().mese == m.mese) {
                uno.back().crediti += m.crediti;
                uno.back().debiti += m.debiti;
            } else {
                uno.push_back(m);
            }
        }
        a.mesi = std::move(uno);
    }
    return a;
}

std::vector<PuntoSaldo> PuntiDaDisegnare(std::span<const PuntoSaldo> punti, int da, int a,
                                         int colonne) {
    std::vector<PuntoSaldo> scelti;
    if (punti.empty() || a < da || colonne < 1) return scelti;
    const auto perGiorno = [](const PuntoSaldo& p) { return p.giorno; };
    const auto inizio = std::ranges::lower_bound(punti, da, {}, perGiorno);
    const auto fine = std::ranges::upper_bound(punti, a, {}, perGiorno);
    if (inizio != punti.begin()) scelti.push_back(*std::prev(inizio));
    const auto giorni = static_cast<std::int64_t>(a) - da + 1;
    const auto colonna = [&](const PuntoSaldo& p) {
        return (static_cast<std::int64_t>(p.giorno) - da) * colonne / giorni;
    };
    for (auto i = inizio; i != fine;) {
        const auto c = colonna(*i);
        auto basso = i, alto = i, j = i;
        for (; j != fine && colonna(*j) == c; ++j) {
            if (j->saldo < basso->saldo) basso = j;
            if (alto->saldo < j->saldo) alto = j;
        }
        std::array<decltype(i), 4> tenuti = {i, basso, alto, std::prev(j)};
        std::ranges::sort(tenuti);
        for (std::size_t k = 0; k < tenuti.size(); ++k)
            if (k == 0 || tenuti[k] != tenuti[k - 1]) scelti.push_back(*tenuti[k]);
        i = j;
    }
    if (fine != punti.end()) scelti.push_back(*fine);
    return scelti;
}

const PuntoSaldo* SaldoAl(std::span<const PuntoSaldo> punti, int giorno) {
    const auto dopo = std::ranges::upper_bound(punti, giorno, {}, &PuntoSaldo::giorno);
    return dopo == punti.begin() ? nullptr : &*std::prev(dopo);
}

Scala ScalaSaldi(const Andamento& andamento, int da, int a) {
    Scala s{0, 0};
    const auto includi = [&](core::Money v) {
        s.minimo = std::min(s.minimo, InUnita(v));
        s.massimo = std::max(s.massimo, InUnita(v));
    };
    includi(andamento.fido);
    const std::span<const PuntoSaldo> punti = andamento.punti;
    if (const PuntoSaldo* prima = SaldoAl(punti, da - 1)) includi(prima->saldo);
    const auto inizio = std::ranges::lower_bound(punti, da, {}, &PuntoSaldo::giorno);
    for (auto p = inizio; p != punti.end() && p->giorno <= a; ++p) includi(p->saldo);
    // A flat line of zero still gets a scale: ten units of the currency either side.
    const double minimaAmpiezza = andamento.inLire ? 10000 : 10;
    if (s.massimo - s.minimo < minimaAmpiezza) {
        const double centro = (s.massimo + s.minimo) / 2;
        s.minimo = centro - minimaAmpiezza;
        s.massimo = centro + minimaAmpiezza;
    }
    return s;
}

std::vector<Etichetta> EtichetteTempo(int da, int a, int massimo) {
    std::vector<Etichetta> etichette;
    if (a < da || massimo < 1) return etichette;
    const core::Data inizio = DataDelGiorno(da), fine = DataDelGiorno(a);
    const int primoMese = inizio.anno * 12 + inizio.mese - 1 + (inizio.giorno > 1 ? 1 : 0);
    const int ultimoMese = fine.anno * 12 + fine.mese - 1;
    if (ultimoMese - primoMese >= 1) {
        // Steps in months; past a year, whole years.
        for (const int passo : {1, 2, 3, 6, 12, 24, 60, 120, 240, 600, 1200, 2400, 6000}) {
            const int primo = (primoMese + passo - 1) / passo * passo;
            if ((ultimoMese - primo) / passo + 1 > massimo) continue;
            for (int m = primo; m <= ultimoMese; m += passo) {
                const core::Data d{m / 12, m % 12 + 1, 1};
                etichette.push_back({GiornoDa(d), passo >= 12 ? std::to_string(d.anno) : Mese(d)});
            }
            return etichette;
        }
        return etichette;
    }
    for (const int passo : {1, 2, 5, 7, 14}) {
        if ((a - da) / passo + 1 > massimo) continue;
        for (int g = da; g <= a; g += passo)
            etichette.push_back({g, core::FormatoData(DataDelGiorno(g))});
        break;
    }
    return etichette;
}

std::vector<Periodo> Periodi(const Andamento& andamento, int da, int a) {
    std::vector<Periodo> periodi;
    if (a < da) return periodi;
    const core::Data inizio = DataDelGiorno(da), fine = DataDelGiorno(a);
    const int primo = inizio.anno * 12 + inizio.mese - 1;
    const int ultimo = fine.anno * 12 + fine.mese - 1;
    int anni = 0;  // years a bar; none for months
    if (ultimo - primo + 1 > 36) {
        // Bars thinner than a label cannot be read, and each costs the chart its items:
        // past kBarreMassime years, a bar holds several, counted from a round year.
        for (const int passo : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000}) {
            anni = passo;
            if (fine.anno / passo - inizio.anno / passo + 1 <= kBarreMassime) break;
        }
    }
    const int passo = anni > 0 ? 12 * anni : 1;
    const int base = anni > 0 ? inizio.anno / anni * anni * 12 : primo;
    for (int m = base; m <= ultimo; m += passo) {
        const core::Data d{m / 12, m % 12 + 1, 1};
        std::string nome = anni == 0 ? Mese(d) : std::to_string(d.anno);
        if (anni > 1) nome += "\u2013" + std::to_string(d.anno + anni - 1);
        periodi.push_back({std::move(nome), 0, 0, anni});
    }
    // Totals are kept by month: a range that starts or ends within a month counts it whole.
    for (const auto& m : andamento.mesi) {
        const int chiave = m.anno * 12 + m.mese - 1;
        if (chiave < primo || chiave > ultimo) continue;
        Periodo& p = periodi[static_cast<std::size_t>((chiave - base) / passo)];
        p.crediti += m.crediti;
        p.debiti += m.debiti;
    }
    return periodi;
}

std::string TestoSaldo(const Andamento& andamento, core::Money saldo) {
    return andamento.inLire ? "£. " + (saldo.isZero() ? std::string("0") : core::FormatoLire(saldo))
                            : "€. " + core::FormatoEuro(saldo);
}

std::string DescrizioneSaldo(const Andamento& andamento, int da, int a) {
    std::string t = "Saldo dal " + core::FormatoData(DataDelGiorno(da)) + " al " +
                    core::FormatoData(DataDelGiorno(a)) + ": ";
    const std::span<const PuntoSaldo> punti = andamento.punti;
    const auto inizio = std::ranges::lower_bound(punti, da, {}, &PuntoSaldo::giorno);
    const auto fine = std::ranges::upper_bound(punti, a, {}, &PuntoSaldo::giorno);
    if (inizio == fine) {
        t += "nessun movimento";
    } else {
        const auto [basso, alto] = std::minmax_element(
            inizio, fine, [](const auto& x, const auto& y) { return x.saldo < y.saldo; });
        t += "all'inizio " + TestoSaldo(andamento, inizio->saldo) + ", alla fine " +
             TestoSaldo(andamento, std::prev(fine)->saldo) + ", minimo " +
             TestoSaldo(andamento, basso->saldo) + " il " +
             core::FormatoData(DataDelGiorno(basso->giorno)) + ", massimo " +
             TestoSaldo(andamento, alto->saldo) + " il " +
             core::FormatoData(DataDelGiorno(alto->giorno));
    }
    if (!andamento.fido.isZero()) t += "; fido " + TestoSaldo(andamento, andamento.fido);
    return t + '.';
}

core::EsitoFile ScriviFileUtente(core::FileSystem& fs, const std::filesystem::path& file,
                                 std::string_view contenuto) {
    return ScriviFileUtenteAPezzi(fs, file, [contenuto](std::string& pezzo) {
        pezzo = contenuto;
        return false;
    });
}

core::EsitoFile ScriviFileUtenteAPezzi(core::FileSystem& fs, const std::filesystem::path& file,
                                       const std::function<bool(std::string& pezzo)>& prossimo) {
    std::filesystem::path provvisorio = file;
    provvisorio += ".quibora-tmp";
    std::string pezzo;
    std::uintmax_t scritti = 0;
    core::EsitoFile e;
    for (bool altri = true, primo = true; altri && !e; primo = false) {
        pezzo.clear();
        altri = prossimo(pezzo);
        // The first piece makes the file, even an empty one.
        if (!primo && pezzo.empty()) continue;
        e = primo ? fs.scrivi(provvisorio, pezzo) : fs.aggiungiIn(provvisorio, scritti, pezzo);
        scritti += pezzo.size();
    }
    if (!e) e = fs.rinomina(provvisorio, file);
    if (e) {
        static_cast<void>(fs.elimina(provvisorio));
        e->file = file;
        return e;
    }
    return fs.sincronizzaCartella(file.has_parent_path() ? file.parent_path() : ".");
}

std::string MessaggioFileUtente(const core::ErroreFile& errore, const std::filesystem::path& file,
                                bool esisteva) {
    const std::string nome = file.string();
    if (errore.file != file)
        return "Il file " + nome + " è stato scritto, ma la cartella " + errore.file.string() +
               " non ha confermato la scrittura sul disco: " + errore.motivo +
               ". Se il computer si spegnesse ora il file potrebbe andare perso.";
    return "Impossibile salvare il file " + nome + ": " + errore.motivo + ". " +
           (esisteva ? "Il file che aveva quel nome è rimasto com'era."
                     : "Nessun file è stato creato.");
}

}  // namespace estratti
