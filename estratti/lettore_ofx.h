#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "estratti/estratto.h"

namespace estratti {

// Does the text look like OFX or QFX (SGML 1.x headers or the XML of 2.x)?
[[nodiscard]] bool SembraOfx(std::string_view byte);

// How deep the elements of a statement nest, counting tags that follow one another with no
// text between; a real statement stays near ten. Deeper files are refused before libofx
// sees them, as they take it minutes.
[[nodiscard]] std::size_t ProfonditaOfx(std::string_view byte);
inline constexpr std::size_t kMassimaProfonditaOfx = 40;

// Reads an OFX 1.x, OFX 2.x or QFX file with libofx: the movements, the account id and the
// closing balance (LEDGERBAL). Dates are the days written in the file; an impossible one
// makes its row refused, not moved. A file with several accounts has all their movements
// and no closing balance until one account is chosen (SceltaConto).
[[nodiscard]] std::variant<Estratto, ErroreEstratto> LeggiOfx(const std::filesystem::path& file);

// Reads a statement from its bytes: libofx reads files only, so the bytes go through a
// private temporary file.
[[nodiscard]] std::variant<Estratto, ErroreEstratto> LeggiOfxDaTesto(std::string_view byte,
                                                                     const std::string& nomeFile);

}  // namespace estratti
