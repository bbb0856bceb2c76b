#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Texts read from the data files that the format could not write back, and how they are
// mended so that whatever loads can be saved.
namespace core {

// A data file whose texts were mended at loading: its name and the rows (from 1).
struct Riparazione {
    std::string file;
    std::vector<std::size_t> righe;  // the first few only
    std::size_t totale = 0;          // every mended row
};

// The file's bytes (Windows-1252) without a leading UTF-8 byte order mark. An editor that
// adds one has also saved the text as UTF-8, so it is turned back where it can be.
void TogliBom(std::string& byte);

// Mends an item read from a file (Windows-1252 bytes): a double quote, which the format
// cannot hold, becomes an apostrophe; a tab, a line break or another control character
// becomes a blank. False, and `riparato` untouched, when nothing needed mending.
[[nodiscard]] bool RiparaVoce(std::string_view voce, std::string& riparato);
// Adds a mended row of `file` to the list.
void AnnotaRiparazione(std::vector<Riparazione>& elenco, std::string_view file, std::size_t riga);
// "listcol4.txt, righe 2, 5 e altre 3", one line per file.
[[nodiscard]] std::string ElencoRighe(const std::vector<Riparazione>& elenco);
// The one message at start-up that lists what was mended.
[[nodiscard]] std::string MessaggioRiparazioni(const std::vector<Riparazione>& elenco);

// Does a typed text hold a control character (a tab, a line break, ...)?
[[nodiscard]] bool ContieneControlli(std::string_view testoUtf8);

}  // namespace core
