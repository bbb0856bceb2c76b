#include "core/registro.h"

#include <algorithm>
#include <atomic>
#include <cstring>
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

// --- Dictionary

Registro::Dizionario::Dizionario(const Dizionario& altro) : testi_(altro.testi_) {
    for (std::size_t v = 0; v < testi_.size(); ++v) indicizza(static_cast<std::uint8_t>(v));
}

Registro::Dizionario& Registro::Dizionario::operator=(const Dizionario& altro) {
    if (this != &altro) *this = Dizionario(altro);
    return *this;
}

namespace {

// From the length and the first and last eight bytes: types and references differ there,
// and a clash costs only a second compare.
std::size_t Hash(std::string_view testo) {
    std::uint64_t a = 0, b = 0;
    const std::size_t n = testo.size();
    if (n >= 8) {
        std::memcpy(&a, testo.data(), 8);
        std::memcpy(&b, testo.data() + n - 8, 8);
    } else {
        for (const char c : testo) a = (a << 8) | static_cast<unsigned char>(c);
    }
    const std::uint64_t h = a * 0x9E3779B97F4A7C15u ^ (b + n) * 0xC2B2AE3D27D4EB4Fu;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

}  // namespace

void Registro::Dizionario::indicizza(std::uint8_t voce) {
    viste_[voce] = testi_[voce];
    std::size_t i = Hash(testi_[voce]) % posti_.size();
    while (posti_[i] != 0) i = (i + 1) % posti_.size();
    posti_[i] = static_cast<std::uint16_t>(voce + 1);
}

int Registro::Dizionario::voce(std::string_view testo) {
    if (testo.size() > kVoceMassima) return -1;
    std::size_t i = Hash(testo) % posti_.size();
    for (; posti_[i] != 0; i = (i + 1) % posti_.size()) {
        const std::size_t v = posti_[i] - 1u;
        if (viste_[v] == testo) return static_cast<int>(v);
    }
    if (testi_.size() == kVociDizionario) return -1;
    testi_.emplace_back(testo);
    const auto v = static_cast<std::uint8_t>(testi_.size() - 1);
    viste_[v] = testi_.back();
    posti_[i] = static_cast<std::uint16_t>(v + 1);
    return v;
}

// --- Rows

Registro::Nuova Registro::disposizione(const Riga& r) const {
    Nuova n;
    if (r.codici & kRigaLunga) {
        const RigaLunga& l = lunghe_[r.inizio()];
        n.inizio = l.inizio;
        n.codici = l.codici;
        for (std::size_t c = 0; c < kCelle; ++c) n.misura[c] = l.misura[c];
    } else {
        n.inizio = r.inizio();
        n.codici = r.codici;
        for (std::size_t c = 0; c < kCelle; ++c) n.misura[c] = r.misura[c];
    }
    return n;
}

std::size_t Registro::lunghezza(const Riga& r) const {
    const Nuova n = disposizione(r);
    std::size_t byte = 0;
    for (std::size_t c = 0; c < kCelle; ++c)
        if (!((n.codici >> c) & 1)) byte += n.misura[c];
    return byte;
}

std::string_view Registro::cellaLunga(const Riga& r, std::size_t colonna) const {
    const Nuova n = disposizione(r);
    if ((n.codici >> colonna) & 1)
        return dizionari_[colonna].testo(static_cast<std::uint8_t>(n.misura[colonna]));
    std::size_t da = n.inizio;
    for (std::size_t c = 0; c < colonna; ++c) da += ((n.codici >> c) & 1) ? 0 : n.misura[c];
    return {arena_.data() + da, n.misura[colonna]};
}

void Registro::chiudiCella(Nuova& nuova, std::size_t colonna, std::size_t da) {
    const std::size_t byte = arena_.size() - da;
    if ((kColonneDizionario >> colonna) & 1) {
        const int voce = dizionari_[colonna].voce({arena_.data() + da, byte});
        if (voce >= 0) {
            arena_.resize(da);
            nuova.codici |= static_cast<std::uint8_t>(1u << colonna);
            nuova.misura[colonna] = static_cast<std::size_t>(voce);
            return;
        }
    }
    if (arena_.size() - nuova.inizio > UINT32_MAX) {
        arena_.resize(nuova.inizio);
        RigaTroppoLunga();
    }
    nuova.misura[colonna] = byte;
}

Registro::Riga Registro::chiudiRiga(const Nuova& nuova) {
    Riga riga;
    bool stretta = nuova.inizio >> 40 == 0;
    for (std::size_t c = 0; c < kCelle; ++c) stretta = stretta && nuova.misura[c] <= UINT8_MAX;
    if (stretta) {
        riga.impostaInizio(nuova.inizio);
        riga.codici = nuova.codici;
        for (std::size_t c = 0; c < kCelle; ++c)
            riga.misura[c] = static_cast<std::uint8_t>(nuova.misura[c]);
        return riga;
    }
    RigaLunga lunga;
    lunga.inizio = nuova.inizio;
    lunga.codici = nuova.codici;
    for (std::size_t c = 0; c < kCelle; ++c)
        lunga.misura[c] = static_cast<std::uint32_t>(nuova.misura[c]);
    riga.impostaInizio(lunghe_.size());
    riga.codici = kRigaLunga;
    lunghe_.push_back(lunga);
    return riga;
}

Registro::Riga Registro::scrivi(const Celle& celle) {
    // A text may come from this very buffer (a row copied or edited): its place is taken
    // as an offset before the buffer can move. Dictionary entries never move.
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

    Nuova nuova;
    nuova.inizio = arena_.size();
    for (std::size_t c = 0; c < kCelle; ++c) {
        // With the room reserved the buffer no longer moves, so appending a piece of
        // itself is safe.
        const std::size_t da = arena_.size();
        if (interni[c] != std::string::npos)
            arena_.append(arena_.data() + interni[c], celle[c].size());
        else
            arena_.append(celle[c]);
        chiudiCella(nuova, c, da);
    }
    return chiudiRiga(nuova);
}

void Registro::aggiungi(const Celle& celle) {
    righe_.push_back(scrivi(celle));
}

void Registro::aggiungiVuote(std::size_t quante) {
    Nuova vuota;
    vuota.inizio = arena_.size();
    righe_.insert(righe_.end(), quante, chiudiRiga(vuota));
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
    // The other register's entries, renumbered once for this one's dictionaries; an entry
    // with no room here becomes text in the buffer.
    std::array<std::array<int, kVociDizionario>, kCelle> voci{};
    for (std::size_t c = 0; c < kCelle; ++c) {
        const Dizionario& d = altro.dizionari_[c];
        for (std::size_t v = 0; v < d.size(); ++v)
            voci[c][v] = dizionari_[c].voce(d.testo(static_cast<std::uint8_t>(v)));
    }
    for (const Riga& r : altro.righe_) {
        const Nuova n = altro.disposizione(r);
        Nuova nuova;
        nuova.inizio = arena_.size();
        std::size_t da = n.inizio;
        for (std::size_t c = 0; c < kCelle; ++c) {
            if ((n.codici >> c) & 1) {
                const int v = voci[c][n.misura[c]];
                if (v >= 0) {
                    nuova.codici |= static_cast<std::uint8_t>(1u << c);
                    nuova.misura[c] = static_cast<std::size_t>(v);
                } else {
                    const std::string_view t = altro.dizionari_[c].testo(
                        static_cast<std::uint8_t>(n.misura[c]));
                    arena_.append(t);
                    nuova.misura[c] = t.size();
                }
            } else {
                arena_.append(altro.arena_, da, n.misura[c]);
                da += n.misura[c];
                nuova.misura[c] = n.misura[c];
            }
        }
        righe_.push_back(chiudiRiga(nuova));
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
    for (std::size_t r = 0; r < quante; ++r) scarto_ += lunghezza(righe_[r]);
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
    for (std::size_t r = quante; r < righe_.size(); ++r) scarto_ += lunghezza(righe_[r]);
    righe_.resize(quante);
    toccata(quante);
    compattaSeServe();
}

void Registro::clear() {
    // An emptied register gives its memory back: it may have held a million rows. (An
    // empty string assigned would keep the buffer: it has no heap buffer of its own to give.)
    arena_.clear();
    arena_.shrink_to_fit();
    righe_ = std::vector<Riga>();
    lunghe_ = std::vector<RigaLunga>();
    scarto_ = 0;
    traccia_.intatte = 0;
}

void Registro::reserve(std::size_t righe, std::size_t byteTesti) {
    righe_.reserve(righe);
    arena_.reserve(byteTesti);
    PagineGrandi(righe_);
    PagineGrandi(arena_);
}

std::size_t Registro::byteOccupati() const {
    std::size_t byte = arena_.capacity() + righe_.capacity() * sizeof(Riga) +
                       lunghe_.capacity() * sizeof(RigaLunga);
    for (const Dizionario& d : dizionari_)
        for (std::size_t v = 0; v < d.size(); ++v)
            byte += sizeof(std::string) + d.testo(static_cast<std::uint8_t>(v)).size();
    return byte;
}

void Registro::scarta(const Riga& riga) {
    scarto_ += lunghezza(riga);
    compattaSeServe();
}

void Registro::compattaSeServe() {
    if (righe_.empty()) {
        clear();
        return;
    }
    // A long row's record goes with its bytes, at least 256 of them: sweeping the buffer
    // sweeps the records too.
    if (scarto_ * 2 <= arena_.size()) return;
    std::string compatta;
    compatta.reserve(arena_.size() - scarto_);
    std::vector<RigaLunga> lunghe;
    for (Riga& r : righe_) {
        const std::size_t byte = lunghezza(r);
        const std::size_t inizio = compatta.size();
        if (r.codici & kRigaLunga) {
            RigaLunga l = lunghe_[r.inizio()];
            compatta.append(arena_, l.inizio, byte);
            l.inizio = inizio;
            r.impostaInizio(lunghe.size());
            lunghe.push_back(l);
        } else {
            compatta.append(arena_, r.inizio(), byte);
            r.impostaInizio(inizio);
        }
    }
    arena_ = std::move(compatta);
    lunghe_ = std::move(lunghe);
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
