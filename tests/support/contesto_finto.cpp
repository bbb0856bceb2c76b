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
    for (const auto& r : righe) griglia.AddItem({r[0], r[1], r[2], r[3], r[4]});
}

}  // namespace test
