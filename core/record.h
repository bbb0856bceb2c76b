#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The record format of every data file: each item quoted, items of a record separated by
// one comma, each record ending in CR LF. There is no escape for a double quote, so texts
// holding one must be refused before they are stored.
[[nodiscard]] std::string ScriviRecord(const std::vector<std::string_view>& voci);
void AggiungiRecord(std::string& destinazione, std::string_view voce);  // one-item line

// Reads items one at a time regardless of lines: blanks before an item are skipped; a
// quoted item runs to the next double quote; an unquoted one to the next comma or line
// end; the comma or line end after an item is consumed.
class LettoreRecord {
  public:
    explicit LettoreRecord(std::string_view byte) : testo_(byte) {}
    // `byte` only the start of the file when `parziale`: an item that may go on past its
    // end is not read, and serveAltro() asks for the rest (a new reader over the bytes
    // from letti() on, with more after them).
    LettoreRecord(std::string_view byte, bool parziale) : testo_(byte), parziale_(parziale) {}
    // True when nothing but the end of the file is left.
    [[nodiscard]] bool fine() const;
    // The next item, or nullopt when reading past the end (the program's error 62).
    [[nodiscard]] std::optional<std::string_view> leggi();
    // The last fine() or leggi() could not tell before the end of a partial text.
    [[nodiscard]] bool serveAltro() const { return serveAltro_; }
    [[nodiscard]] std::size_t letti() const { return pos_; }

  private:
    std::string_view testo_;
    std::size_t pos_ = 0;
    bool parziale_ = false;
    mutable bool serveAltro_ = false;
};

inline constexpr int kErroreFineFile = 62;

}  // namespace core
