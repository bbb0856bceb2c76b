#include "core/registro.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <ostream>
#include <stdexcept>

#include "core/memoria.h"

namespace core {

namespace {

std::uint64_t NuovaSerie() {
    static std::atomic<std::uint64_t> ultima{0};
    return ++ultima;
}

}  // namespace

Registro::Traccia::Traccia() : Modifiche{NuovaSerie(), 0, 0, 0} {}

void Registro::segna() const {
    traccia_.serie = NuovaSerie();
    traccia_.segnate = righe_.size();
    traccia_.tolte = 0;
    traccia_.intatte = righe_.size();
}

void Registro::RigaTroppoLunga() {
    throw std::length_error("riga del registro troppo lunga");
}

Registro::Registro(std::span<const RigaRegistro> righe) {
    std::size_t byte = 0;
    for (const auto& riga : righe)
        for (const auto& cella : riga) byte += cella.size();
    reserve(righe.size(), byte);
    for (const auto& riga : righe) aggiungi({riga[0], riga[1], riga[2], riga[3], riga[4]});
}

RigaRegistro Registro::riga(std::size_t r) const {
    RigaRegistro copia;
    for (std::size_t c = 0; c < kCelle; ++c) copia[c] = std::string(cella(r, c));
    return copia;
}

Registro::Riga Registro::scrivi(const Celle& celle) {
    // A text may come from this very buffer (a row copied or edited): its place is taken
    // as an offset before the buffer can move.
    std::array<std::size_t, kCelle> interni{};
    std::size_t totale = 0;
    const char* base = arena_.data();
    for (std::size_t c = 0; c < kCelle; ++c) {
        const char* p = celle[c].data();
        const bool interno = std::less_equal<const char*>{}(base, p) &&
                             std::less<const char*>{}(p, base + arena_.size());
        interni[c] = interno ? static_cast<std::size_t>(p - base) : std::string::npos;
        totale += celle[c].size();
    }
    if (totale > UINT32_MAX) RigaTroppoLunga();
    if (arena_.size() + totale > arena_.capacity())
        arena_.reserve(std::max(arena_.size() + totale, 2 * arena_.capacity()));

    Riga riga;
    const std::size_t inizio = arena_.size();
    riga.impostaInizio(inizio);
    for (std::size_t c = 0; c < kCelle; ++c) {
        // With the room reserved the buffer no longer moves, so appending a piece of
        // itself is safe.
        if (interni[c] != std::string::npos)
            arena_.append(arena_.data() + interni[c], celle[c].size());
        else
            arena_.append(celle[c]);
        riga.fine[c] = static_cast<std::uint32_t>(arena_.size() - inizio);
    }
    return riga;
}

void Registro::aggiungi(const Celle& celle) {
    righe_.push_back(scrivi(celle));
}

void Registro::aggiungiVuote(std::size_t quante) {
    Riga vuota;
    vuota.impostaInizio(arena_.size());
    righe_.insert(righe_.end(), quante, vuota);
}

void Registro::aggiungi(const Registro& altro) {
    if (&altro == this) {
        const Registro copia = altro;
        aggiungi(copia);
        return;
    }
    // Grown geometrically: many small appends must not copy the whole register each time.
    const std::size_t righe = righe_.size() + altro.size();
    const std::size_t byte = arena_.size() + altro.arena_.size() - altro.scarto_;
    righe_.reserve(std::max(righe, std::min(2 * righe_.capacity(), righe_.max_size())));
    arena_.reserve(std::max(byte, 2 * arena_.capacity()));
    for (const Riga& r : altro.righe_) {
        Riga nuova = r;
        nuova.impostaInizio(arena_.size());
        arena_.append(altro.arena_, r.inizio(), r.lunghezza());
        righe_.push_back(nuova);
    }
}

void Registro::imposta(std::size_t r, std::size_t colonna, std::string_view testo) {
    if (r >= righe_.size() || colonna >= kCelle)
        throw std::out_of_range("cella del registro fuori dai limiti");
    Celle celle;
    for (std::size_t c = 0; c < kCelle; ++c) celle[c] = c == colonna ? testo : cella(r, c);
    const Riga vecchia = righe_[r];
    righe_[r] = scrivi(celle);
    toccata(r);
    scarta(vecchia);
}

void Registro::rimuovi(std::size_t r) {
    if (r >= righe_.size()) throw std::out_of_range("riga del registro fuori dai limiti");
    const Riga vecchia = righe_[r];
    righe_.erase(righe_.begin() + static_cast<std::ptrdiff_t>(r));
    if (r == 0 && traccia_.intatte > 0) {
        ++traccia_.tolte;
        --traccia_.intatte;
    } else {
        toccata(r);
    }
    scarta(vecchia);
}

void Registro::rimuoviPrime(std::size_t quante) {
    if (quante > righe_.size()) throw std::out_of_range("righe del registro fuori dai limiti");
    for (std::size_t r = 0; r < quante; ++r) scarto_ += righe_[r].lunghezza();
    righe_.erase(righe_.begin(), righe_.begin() + static_cast<std::ptrdiff_t>(quante));
    if (quante <= traccia_.intatte) {
        traccia_.tolte += quante;
        traccia_.intatte -= quante;
    } else {
        traccia_.intatte = 0;
    }
    compattaSeServe();
}

void Registro::tronca(std::size_t quante) {
    if (quante >= righe_.size()) return;
    for (std::size_t r = quante; r < righe_.size(); ++r) scarto_ += righe_[r].lunghezza();
    righe_.resize(quante);
    toccata(quante);
    compattaSeServe();
}

void Registro::clear() {
    // An emptied register gives its memory back: it may have held a million rows.
    arena_ = std::string();
    righe_ = std::vector<Riga>();
    scarto_ = 0;
    traccia_.intatte = 0;
}

void Registro::reserve(std::size_t righe, std::size_t byteTesti) {
    righe_.reserve(righe);
    arena_.reserve(byteTesti);
    PagineGrandi(righe_);
    PagineGrandi(arena_);
}

void Registro::scarta(const Riga& riga) {
    scarto_ += riga.lunghezza();
    compattaSeServe();
}

void Registro::compattaSeServe() {
    if (righe_.empty()) {
        clear();
        return;
    }
    if (scarto_ * 2 <= arena_.size()) return;
    std::string compatta;
    compatta.reserve(arena_.size() - scarto_);
    for (Riga& r : righe_) {
        const std::size_t inizio = compatta.size();
        compatta.append(arena_, r.inizio(), r.lunghezza());
        r.impostaInizio(inizio);
    }
    arena_ = std::move(compatta);
    scarto_ = 0;
}

bool operator==(const Registro& a, const Registro& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t r = 0; r < a.size(); ++r) {
        for (std::size_t c = 0; c < Registro::kCelle; ++c) {
            if (a.cella(r, c) != b.cella(r, c)) return false;
        }
    }
    return true;
}

void PrintTo(const Registro& registro, std::ostream* os) {
    *os << registro.size() << " righe";
    for (std::size_t r = 0; r < registro.size(); ++r) {
        *os << "\n  {";
        for (std::size_t c = 0; c < Registro::kCelle; ++c)
            *os << (c ? ", \"" : "\"") << registro.cella(r, c) << '"';
        *os << '}';
    }
}

}  // namespace core
