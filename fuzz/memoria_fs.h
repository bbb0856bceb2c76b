#pragma once

#include <map>
#include <string>

#include "core/file_system.h"

namespace fuzz {

// A file system held in memory, so the readers can be fed any bytes quickly.
class MemoriaFs : public core::FileSystem {
public:
    std::map<std::filesystem::path, std::string> file;

    bool esiste(const std::filesystem::path& p) const override { return file.count(p) > 0; }
    core::EsitoFile leggi(const std::filesystem::path& p, std::string& contenuto) const override {
        auto it = file.find(p);
        if (it == file.end()) return core::ErroreFile{p, "file non trovato"};
        contenuto = it->second;
        return std::nullopt;
    }
    core::EsitoFile scrivi(const std::filesystem::path& p, std::string_view contenuto) override {
        file[p] = std::string(contenuto);
        return std::nullopt;
    }
    core::EsitoFile aggiungiIn(const std::filesystem::path& p, std::uintmax_t da,
                               std::string_view contenuto) override {
        auto it = file.find(p);
        if (it == file.end()) return core::ErroreFile{p, "file non trovato"};
        it->second.resize(da);
        it->second += contenuto;
        return std::nullopt;
    }
    std::optional<std::uintmax_t> dimensione(const std::filesystem::path& p) const override {
        auto it = file.find(p);
        if (it == file.end()) return std::nullopt;
        return it->second.size();
    }
    core::EsitoFile rinomina(const std::filesystem::path& da, const std::filesystem::path& a) override {
        auto it = file.find(da);
        if (it == file.end()) return core::ErroreFile{da, "file non trovato"};
        file[a] = it->second;
        file.erase(da);
        return std::nullopt;
    }
    core::EsitoFile elimina(const std::filesystem::path& p) override {
        file.erase(p);
        return std::nullopt;
    }
    core::EsitoFile sincronizzaCartella(const std::filesystem::path&) override { return std::nullopt; }
    core::EsitoFile creaCartella(const std::filesystem::path&) override { return std::nullopt; }
    core::TipoVoce tipo(const std::filesystem::path& p) const override {
        return esiste(p) ? core::TipoVoce::File : core::TipoVoce::Assente;
    }
    core::EsitoFile eliminaCartella(const std::filesystem::path&) override { return std::nullopt; }
    core::EsitoFile collega(const std::filesystem::path& da, const std::filesystem::path& a) override {
        auto it = file.find(da);
        if (it == file.end()) return core::ErroreFile{da, "file non trovato"};
        file[a] = it->second;
        return std::nullopt;
    }
    core::EsitoFile elenca(const std::filesystem::path&, std::vector<std::string>& nomi) const override {
        nomi.clear();
        return std::nullopt;
    }
};

}  // namespace fuzz
