#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "support/cartella_temporanea.h"
#include "support/file_system_difettoso.h"
#include "support/finti.h"
#include "ui/contesto.h"

namespace test {

// Every byte of the file; empty when it cannot be read.
[[nodiscard]] inline std::string LeggiByte(const std::filesystem::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

// What the windows' logic works on: data files in a scratch directory behind a disk that
// can be made to fail, fake windows and dialogs, and a clock that reads `oggi`.
struct ContestoFinto {
    ContestoFinto() { std::filesystem::create_directories(dir / "sys"); }

    // Appends each row to the grid, five cells, as the program adds a movement.
    void righe(std::initializer_list<core::RigaRegistro> righe) {
        for (const auto& r : righe) griglia.AddItem({r[0], r[1], r[2], r[3], r[4]});
    }

    CartellaTemporanea dir;
    FileSystemDifettoso disco;
    core::FileDati file{disco, dir.path(), dir / "sys"};
    core::StatoConto stato;
    grid::Griglia griglia;
    DialoghiFinti dialoghi;
    FinestraFinta form1;
    core::Data oggi{2003, 3, 5};
    ui::Contesto contesto{stato, griglia, file, dialoghi, form1, [this] { return oggi; }};
};

}  // namespace test
