#include "support/contesto_finto.h"

#include <fstream>
#include <sstream>

namespace test {

std::string LeggiByte(const std::filesystem::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

void AggiungiRighe(grid::Griglia& griglia, std::initializer_list<core::RigaRegistro> righe) {
    for (const auto& r : righe)
        griglia.AddItem(r[0] + "\t" + r[1] + "\t" + r[2] + "\t" + r[3] + "\t" + r[4]);
}

}  // namespace test
