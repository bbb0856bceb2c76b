// Shared by the data file tests: raw writes, folder listings and a small data set saved whole.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "core/file_dati.h"
#include "support/contesto_finto.h"

namespace prova {

namespace fs = std::filesystem;
using Nomi = std::set<std::string>;

inline void Scrivi(const fs::path& p, const std::string& byte) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << byte;
}
inline Nomi NomiIn(const fs::path& dir) {
    Nomi nomi;
    if (fs::exists(dir))
        for (const auto& e : fs::directory_iterator(dir)) nomi.insert(e.path().filename());
    return nomi;
}
using Contenuto = std::map<std::string, std::string>;  // file name, bytes
// The files in the folders, with their bytes.
inline Contenuto Contenuti(std::initializer_list<fs::path> cartelle) {
    Contenuto c;
    for (const auto& dir : cartelle)
        for (const auto& n : NomiIn(dir))
            if (fs::is_regular_file(dir / n)) c[n] = test::LeggiByte(dir / n);
    return c;
}
inline const core::RigaRegistro kRighe[] = {
    {"15/03/2003", "Prelievo", "bancomat", "200.000", "800.000"},
    {"16/03/2003", "Versamento", "stipendio", "100.000", "900.000"}};
inline const core::Registro kDueRighe{kRighe}, kUnaRiga{std::span(kRighe, 1)};
// The first `righe` rows, lire parameters, the account and the password.
inline void SalvaInsieme(core::FileDati& f, std::size_t righe = 2) {
    ASSERT_FALSE(f.SalvaRegistro(core::Registro(std::span(kRighe, righe))));
    ASSERT_FALSE(
        f.SalvaParametri({"Lire", core::Money::FromUnits(900000), core::Money::FromUnits(-50000)}));
    ASSERT_FALSE(f.SalvaConto("12345", "Banca Uno"));
    ASSERT_FALSE(f.SalvaPassword("Segreta"));
}

}  // namespace prova
