#include "support/cartella_temporanea.h"

#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <system_error>

namespace test {

namespace fs = std::filesystem;

CartellaTemporanea::CartellaTemporanea(const fs::path& base) {
    std::string modello = (base / "quibora-XXXXXX").string();
    if (::mkdtemp(modello.data()) == nullptr) {
        throw std::runtime_error("mkdtemp non riuscito: " + modello);
    }
    path_ = modello;
}

CartellaTemporanea::~CartellaTemporanea() {
    std::error_code ec;
    // Tests make files and folders read-only; give them back the owner's rights first.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

fs::path BaseVeloce() {
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return fs::temp_directory_path();
}

}  // namespace test
