#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
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
// would cost several times the texts themselves. Texts live in one buffer, each row
// contiguous, and a row record of 11 bytes holds where the row starts and each cell's
// length. The type of movement and the reference repeat from row to row (fifteen types;
// the same shop, the same rent), so those two columns keep up to 256 distinct texts once,
// in a dictionary, and a row holds their number instead. Rows with a cell over 255 bytes
// (only a hand-edited file has them) take a wider record of their own. An edited row is
// written again at the end and the old bytes become garbage, swept once they exceed half
// of the buffer.
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
        : arena_(altro.arena_),
          righe_(altro.righe_),
          lunghe_(altro.lunghe_),
          dizionari_(altro.dizionari_),
          scarto_(altro.scarto_) {}
    Registro& operator=(const Registro& altro) {
        if (this == &altro) return *this;
        arena_ = altro.arena_;
        righe_ = altro.righe_;
        lunghe_ = altro.lunghe_;
        dizionari_ = altro.dizionari_;
        scarto_ = altro.scarto_;
        traccia_ = Traccia{};
        return *this;
    }
    Registro(Registro&& altro) noexcept
        : arena_(std::move(altro.arena_)),
          righe_(std::move(altro.righe_)),
          lunghe_(std::move(altro.lunghe_)),
          dizionari_(std::move(altro.dizionari_)),
          scarto_(std::exchange(altro.scarto_, 0)),
          traccia_(std::exchange(altro.traccia_, Traccia{})) {}
    Registro& operator=(Registro&& altro) noexcept {
        if (this == &altro) return *this;
        arena_ = std::move(altro.arena_);
        righe_ = std::move(altro.righe_);
        lunghe_ = std::move(altro.lunghe_);
        dizionari_ = std::move(altro.dizionari_);
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
        if (r.codici & kRigaLunga) return cellaLunga(r, colonna);
        if ((r.codici >> colonna) & 1) return dizionari_[colonna].testo(r.misura[colonna]);
        std::size_t da = r.inizio();
        for (std::size_t c = 0; c < colonna; ++c)
            da += ((r.codici >> c) & 1) ? 0 : r.misura[c];
        return {arena_.data() + da, r.misura[colonna]};
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

    // Bytes held by texts in the buffer, garbage included (for tests and measurements).
    [[nodiscard]] std::size_t byteTesti() const { return arena_.size(); }
    // Bytes held in all, texts and records, room reserved included (for measurements).
    [[nodiscard]] std::size_t byteOccupati() const;

    friend bool operator==(const Registro& a, const Registro& b);
    friend void PrintTo(const Registro& registro, std::ostream* os);

  private:
    static constexpr std::uint8_t kRigaLunga = 0x80;  // in `codici`: the record is in lunghe_
    // The columns kept in a dictionary: the type of movement and the reference.
    static constexpr std::uint8_t kColonneDizionario = 0b00110;
    static constexpr std::size_t kVociDizionario = 256;
    // Longer texts are seldom repeated: they go to the buffer.
    static constexpr std::size_t kVoceMassima = 64;

    // Bytes, so that a record takes 11 of them and a million rows 11 MB.
    struct Riga {
        std::array<std::uint8_t, 5> inizioByte{};  // the row's start in the buffer, or
                                                   // its index in lunghe_
        std::uint8_t codici = 0;  // bit c: cell c is a dictionary entry; or kRigaLunga
        std::array<std::uint8_t, kCelle> misura{};  // a cell's length, or its entry

        [[nodiscard]] std::size_t inizio() const {
            std::uint64_t v = 0;
            for (std::size_t i = 5; i-- > 0;) v = (v << 8) | inizioByte[i];
            return static_cast<std::size_t>(v);
        }
        void impostaInizio(std::size_t v) {
            for (auto& b : inizioByte) {
                b = static_cast<std::uint8_t>(v);
                v = static_cast<std::size_t>(static_cast<std::uint64_t>(v) >> 8);
            }
        }
    };
    static_assert(sizeof(Riga) == 11);
    // A row with a cell too long for a byte.
    struct RigaLunga {
        std::size_t inizio = 0;
        std::uint8_t codici = 0;
        std::array<std::uint32_t, kCelle> misura{};
    };
    // A row being written: each cell's length in the buffer, or its entry.
    struct Nuova {
        std::size_t inizio = 0;
        std::uint8_t codici = 0;
        std::array<std::size_t, kCelle> misura{};
    };

    // The distinct texts of one column. Entries never move (a deque of strings keeps its
    // elements in place), so a view of one stays valid as long as the register.
    class Dizionario {
      public:
        Dizionario() = default;
        Dizionario(const Dizionario& altro);
        Dizionario& operator=(const Dizionario& altro);
        // The entries go with the texts, which stay in place; the one moved from is left
        // empty, ready for use.
        Dizionario(Dizionario&& altro) noexcept
            : testi_(std::move(altro.testi_)),
              viste_(std::exchange(altro.viste_, {})),
              posti_(std::exchange(altro.posti_, {})) {
            altro.testi_.clear();
        }
        Dizionario& operator=(Dizionario&& altro) noexcept {
            testi_ = std::move(altro.testi_);
            viste_ = std::exchange(altro.viste_, {});
            posti_ = std::exchange(altro.posti_, {});
            altro.testi_.clear();
            return *this;
        }

        // The entry of `testo`, added when there is room; -1 when it is not kept.
        [[nodiscard]] int voce(std::string_view testo);
        [[nodiscard]] std::string_view testo(std::uint8_t voce) const { return viste_[voce]; }
        [[nodiscard]] std::size_t size() const { return testi_.size(); }

      private:
        void indicizza(std::uint8_t voce);
        std::deque<std::string> testi_;
        std::array<std::string_view, kVociDizionario> viste_{};  // of testi_, for speed
        // Open addressing over twice the entries: a lookup is a hash and a compare.
        std::array<std::uint16_t, 2 * kVociDizionario> posti_{};  // entry + 1, 0 = free
    };

    [[noreturn]] static void RigaTroppoLunga();
    [[nodiscard]] std::string_view cellaLunga(const Riga& r, std::size_t colonna) const;
    // Where a row's cells are: start, the dictionary bits and each cell's length or entry.
    [[nodiscard]] Nuova disposizione(const Riga& r) const;
    [[nodiscard]] std::size_t lunghezza(const Riga& r) const;
    // Takes the cell just appended at `da` into the row, moving it to the dictionary when
    // its column has one.
    void chiudiCella(Nuova& nuova, std::size_t colonna, std::size_t da);
    [[nodiscard]] Riga chiudiRiga(const Nuova& nuova);
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
    std::vector<RigaLunga> lunghe_;
    std::array<Dizionario, kCelle> dizionari_;
    std::size_t scarto_ = 0;  // bytes of the buffer no row refers to
    mutable Traccia traccia_;
};

template <class Scrivi>
bool Registro::aggiungiScrivendo(Scrivi&& scrivi) {
    Nuova nuova;
    nuova.inizio = arena_.size();
    for (std::size_t c = 0; c < kCelle; ++c) {
        const std::size_t da = arena_.size();
        if (!scrivi(arena_, c)) {
            arena_.resize(nuova.inizio);
            return false;
        }
        chiudiCella(nuova, c, da);
    }
    righe_.push_back(chiudiRiga(nuova));
    return true;
}

}  // namespace core
