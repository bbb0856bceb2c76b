#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The journal of changes ("giornale.txt") that spares a large register a rewrite for every
// movement. It stands beside the five register files and para.txt and holds what changed
// since they were written: each save appends one entry and flushes it, and at the exit (or
// when the journal grows) the files are written whole again and the journal removed in the
// same switch, so that other programs find them complete after every run.
//
// The text is in the data files' own record format, one entry after the other, each behind
// a frame line `"#","<bytes>","<checksum>"` that tells a whole entry from one a stop cut
// short. The first entry ("B") holds the sizes of the files it applies to; the others a
// change: `"P",...` the new para.txt line, and/or `"R",<removed first>,<kept>,<rows>` and
// the rows that follow the kept ones, five items each, amounts scrambled as in the files.
namespace core::giornale {

inline constexpr const char* kFileGiornale = "giornale.txt";

// The sizes of listcol1.txt .. listcol5.txt and para.txt (nullopt: missing) the journal
// was started on: any other set of files is not the one its changes apply to.
using Base = std::array<std::optional<std::uintmax_t>, 6>;

struct Voce {
    // The para.txt line the change leaves, empty when the parameters did not change.
    std::string_view parametri;
    bool registro = false;
    std::size_t tolte = 0;    // rows removed from the front
    std::size_t intatte = 0;  // rows kept after them
    std::size_t nuove = 0;    // rows appended, in `righe`
    std::string_view righe;
};

struct Lettura {
    bool conBase = false;  // false: nothing whole in it, as if there were no journal
    Base base{};
    std::vector<Voce> voci;
    // Bytes up to the end of the last whole entry: what follows (a torn end) is cut off
    // by the next append.
    std::size_t valida = 0;
    // Damage inside the journal (not a torn end): the entry's number from 1 and why.
    std::size_t voceDanneggiata = 0;
    std::string motivo;
};

// One entry with its frame.
[[nodiscard]] std::string Cornice(std::string_view contenuto);
[[nodiscard]] std::string ContenutoBase(const Base& base);
// A change entry; `righe` already in the files' format (five items a row).
[[nodiscard]] std::string ContenutoModifica(std::string_view parametri, bool registro,
                                            std::size_t tolte, std::size_t intatte,
                                            std::size_t nuove, std::string_view righe);
// Reads a journal. The texts in the result point into `testo`.
[[nodiscard]] Lettura Leggi(std::string_view testo);

}  // namespace core::giornale
