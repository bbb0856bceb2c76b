#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "estratti/estratto.h"

namespace estratti {

// Does the text look like OFX or QFX (SGML 1.x headers or the XML of 2.x)?
[[nodiscard]] bool SembraOfx(std::string_view byte);

// Reads an OFX 1.x, OFX 2.x or QFX file with libofx: the movements, the account id and the
// closing balance (LEDGERBAL).
[[nodiscard]] std::variant<Estratto, ErroreEstratto> LeggiOfx(const std::filesystem::path& file);

// Reads a statement from its bytes: libofx reads files only, so the bytes go through a
// private temporary file.
[[nodiscard]] std::variant<Estratto, ErroreEstratto> LeggiOfxDaTesto(std::string_view byte,
                                                                     const std::string& nomeFile);

}  // namespace estratti
