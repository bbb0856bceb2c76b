#pragma once

#include <filesystem>
#include <string_view>

namespace test {

// A fresh directory under the system's temporary directory, removed with everything in
// it (read-only parts included) when the object goes.
class CartellaTemporanea {
  public:
    CartellaTemporanea() : CartellaTemporanea(std::filesystem::temp_directory_path()) {}
    explicit CartellaTemporanea(const std::filesystem::path& base);
    ~CartellaTemporanea();
    CartellaTemporanea(const CartellaTemporanea&) = delete;
    CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::filesystem::path operator/(std::string_view nome) const {
        return path_ / nome;
    }

  private:
    std::filesystem::path path_;
};

// A memory-backed place for temporary directories when there is one (/dev/shm), else the
// system's temporary directory: for tests that save thousands of times and do not care
// whether the data reach the disk.
[[nodiscard]] std::filesystem::path BaseVeloce();

}  // namespace test
