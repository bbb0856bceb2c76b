#pragma once

#include <filesystem>
#include <vector>

#include "core/file_system.h"

namespace core {

// Files the user saves elsewhere (exports, chart pictures) are written under a temporary
// name beside their final one, so that the switch is a rename. A run killed half-way leaves
// that temporary file where the next start would never look: the folders written to are
// listed beside the data files, and the next start clears them of such leftovers.
inline constexpr const char* kFileUscite = ".quibora-uscite";

// Adds `cartella` to the list `elenco` (written whole and renamed in). Only a help to tidy
// up: the caller may go ahead whatever it returns.
[[nodiscard]] EsitoFile RicordaCartellaUscita(FileSystem& fs, const std::filesystem::path& elenco,
                                              const std::filesystem::path& cartella);
// The folders listed; an absent or unreadable list is empty.
[[nodiscard]] std::vector<std::filesystem::path> CartelleUscita(
    FileSystem& fs, const std::filesystem::path& elenco);

}  // namespace core
