#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace core {

// One register row: "Data", "Causale", "Riferimento", "Importo", "Saldo" (UTF-8 texts).
using RigaRegistro = std::array<std::string, 5>;

// The register rows, five texts each, kept compact: a million rows of five heap strings
// would cost several times the texts themselves. All texts live in one buffer, each row
// contiguous; a row record holds where it starts and where each cell ends. An edited row
// is written again at the end and the old bytes become garbage, swept once they exceed
// half of the buffer.
class Registro {
  public:
    static constexpr std::size_t kCelle = 5;
    using Celle = std::array<std::string_view, kCelle>;

    Registro() = default;
    // From rows of separate strings, as tests and tools build them.
    explicit Registro(std::span<const RigaRegistro> righe);
    // A copy is a register of its own: what changed since a mark is known only to the
    // object that was marked.
    Registro(const Registro& altro)
        : arena_(altro.arena_), righe_(altro.righe_), scarto_(altro.scarto_) {}
    Registro& operator=(const Registro& altro) {
        if (this == &altro) return *this;
        arena_ = altro.arena_;
        righe_ = altro.righe_;
        scarto_ = altro.scarto_;
        traccia_ = Traccia{};
        return *this;
    }
    Registro(Registro&& altro) noexcept
        : arena_(std::move(altro.arena_)),
          righe_(std::move(altro.righe_)),
          scarto_(std::exchange(altro.scarto_, 0)),
          traccia_(std::exchange(altro.traccia_, Traccia{})) {}
    Registro& operator=(Registro&& altro) noexcept {
        if (this == &altro) return *this;
        arena_ = std::move(altro.arena_);
        righe_ = std::move(altro.righe_);
        scarto_ = std::exchange(altro.scarto_, 0);
        traccia_ = std::exchange(altro.traccia_, Traccia{});
        altro.clear();
        return *this;
    }

    // What changed since the last mark, in the one shape every edit takes: the register is
    // the marked one without its first `tolte` rows, cut to the next `intatte`, followed by
    // rows from `intatte` on. `serie` names the mark; no other register (a copy, one built
    // anew) ever shares it. Saves use it to write only what changed.
    struct Modifiche {
        std::uint64_t serie = 0;
        std::size_t segnate = 0;  // rows at the mark
        std::size_t tolte = 0;
        std::size_t intatte = 0;
        [[nodiscard]] bool nessuna(std::size_t righe) const {
            return tolte == 0 && intatte == segnate && righe == segnate;
        }
    };
    [[nodiscard]] Modifiche modifiche() const { return traccia_; }
    // Marks the register as it is now. Const: the mark is bookkeeping, not contents.
    void segna() const;

    [[nodiscard]] std::size_t size() const { return righe_.size(); }
    [[nodiscard]] bool empty() const { return righe_.empty(); }

    // Valid until the next change to the register.
    [[nodiscard]] std::string_view cella(std::size_t riga, std::size_t colonna) const {
        const Riga& r = righe_[riga];
        const std::uint32_t da = colonna == 0 ? 0 : r.fine[colonna - 1];
        return {arena_.data() + r.inizio() + da, r.fine[colonna] - da};
    }
    [[nodiscard]] RigaRegistro riga(std::size_t riga) const;

    void aggiungi(const Celle& celle);
    void aggiungiVuote(std::size_t quante);
    // Appends copies of all the rows of `altro`.
    void aggiungi(const Registro& altro);
    // Appends a row whose cells `scrivi(testo, colonna)` appends to `testo` one after the
    // other, so a reader can decode straight into the buffer. When `scrivi` returns false
    // nothing is added and false is returned.
    template <class Scrivi>
    bool aggiungiScrivendo(Scrivi&& scrivi);

    void imposta(std::size_t riga, std::size_t colonna, std::string_view testo);
    void rimuovi(std::size_t riga);
    // Removes the first `quante` rows in one go.
    void rimuoviPrime(std::size_t quante);
    // Keeps the first `righe` rows.
    void tronca(std::size_t righe);
    void clear();
    void reserve(std::size_t righe, std::size_t byteTesti);

    // Bytes held by texts, garbage included (for tests and measurements).
    [[nodiscard]] std::size_t byteTesti() const { return arena_.size(); }

    friend bool operator==(const Registro& a, const Registro& b);
    friend void PrintTo(const Registro& registro, std::ostream* os);

  private:
    struct Riga {
        // The start is split in two halves so that a record takes 28 bytes, not 32.
        std::uint32_t inizioBasso = 0;
        std::uint32_t inizioAlto = 0;
        std::array<std::uint32_t, kCelle> fine{};  // cell ends, from the row's start

        [[nodiscard]] std::size_t inizio() const {
            return (static_cast<std::size_t>(inizioAlto) << 32) | inizioBasso;
        }
        [[nodiscard]] std::size_t lunghezza() const { return fine[kCelle - 1]; }
        void impostaInizio(std::size_t inizio) {
            inizioBasso = static_cast<std::uint32_t>(inizio);
            inizioAlto = static_cast<std::uint32_t>(static_cast<std::uint64_t>(inizio) >> 32);
        }
    };

    [[noreturn]] static void RigaTroppoLunga();
    // Appends the texts to the buffer and returns their record.
    [[nodiscard]] Riga scrivi(const Celle& celle);
    void scarta(const Riga& riga);
    void compattaSeServe();

    struct Traccia : Modifiche {
        Traccia();
    };
    void toccata(std::size_t riga) const { traccia_.intatte = std::min(traccia_.intatte, riga); }

    std::string arena_;
    std::vector<Riga> righe_;
    std::size_t scarto_ = 0;  // bytes of the buffer no row refers to
    mutable Traccia traccia_;
};

template <class Scrivi>
bool Registro::aggiungiScrivendo(Scrivi&& scrivi) {
    const std::size_t inizio = arena_.size();
    Riga riga;
    riga.impostaInizio(inizio);
    for (std::size_t c = 0; c < kCelle; ++c) {
        if (!scrivi(arena_, c)) {
            arena_.resize(inizio);
            return false;
        }
        const std::size_t lunghezza = arena_.size() - inizio;
        if (lunghezza > UINT32_MAX) {
            arena_.resize(inizio);
            RigaTroppoLunga();
        }
        riga.fine[c] = static_cast<std::uint32_t>(lunghezza);
    }
    righe_.push_back(riga);
    return true;
}

}  // namespace core
