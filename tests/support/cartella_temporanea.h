#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace test {

// A fresh directory under `base`, removed with everything in it (read-only parts included)
// when the object goes.
class CartellaTemporanea {
    using Path = std::filesystem::path;

  public:
    explicit CartellaTemporanea(const Path& base = std::filesystem::temp_directory_path()) {
        std::string modello = (base / "quibora-XXXXXX").string();
        if (::mkdtemp(modello.data()) == nullptr)
            throw std::runtime_error("mkdtemp non riuscito: " + modello);
        path_ = modello;
    }
    ~CartellaTemporanea() {
        namespace fs = std::filesystem;
        std::error_code ec;
        // Tests make files and folders read-only; give them back the owner's rights first.
        for (auto it = fs::recursive_directory_iterator(path_, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    CartellaTemporanea(const CartellaTemporanea&) = delete;
    CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

    [[nodiscard]] const Path& path() const { return path_; }
    [[nodiscard]] Path operator/(std::string_view nome) const { return path_ / nome; }

  private:
    Path path_;
};

// A memory-backed place for temporary directories when there is one (/dev/shm), else the
// system's: for tests that save thousands of times and do not care whether data reach the disk.
[[nodiscard]] inline std::filesystem::path BaseVeloce() {
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

}  // namespace test
