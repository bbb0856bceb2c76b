#include "acceptance/support/formato_atteso.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace accettazione {

namespace fs = std::filesystem;

std::string Scrambla(std::string_view testo) {
    std::string r;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const int codice = static_cast<unsigned char>(testo[i]) + static_cast<int>(i) + 1;
        if (codice > 255) throw std::invalid_argument("testo non scramblabile");
        r += static_cast<char>(codice);
    }
    return r;
}

std::string Cp1252(std::string_view utf8) {
    std::string r;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            r += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            const auto seguito = static_cast<unsigned char>(utf8[++i]);
            r += static_cast<char>(((c & 0x03) << 6) | (seguito & 0x3F));
        } else {
            throw std::invalid_argument("carattere fuori dal Latin-1");
        }
    }
    return r;
}

std::string Record(std::initializer_list<std::string_view> voci) {
    std::string r;
    for (std::string_view v : voci) {
        if (!r.empty()) r += ',';
        r += '"';
        r += v;
        r += '"';
    }
    return r + "\r\n";
}

Disco LeggiDisco(const fs::path& radice) {
    Disco disco;
    for (const auto& voce : fs::recursive_directory_iterator(radice)) {
        const std::string nome = fs::relative(voce.path(), radice).generic_string();
        if (voce.is_directory()) {
            disco[nome] = std::string(kCartella);
        } else {
            std::ostringstream byte;
            byte << std::ifstream(voce.path(), std::ios::binary).rdbuf();
            disco[nome] = byte.str();
        }
    }
    return disco;
}

void AggiungiRegistro(Disco& disco, std::string_view cartella, const std::vector<Riga>& righe) {
    for (int k = 0; k < 5; ++k) {
        std::string file;
        for (const Riga& riga : righe) {
            const std::string voce = Cp1252(riga[k]);
            file += Record({k >= 3 ? Scrambla(voce) : voce});
        }
        disco[std::string(cartella) + "/listcol" + std::to_string(k + 1) + ".txt"] = file;
    }
}

std::string Parametri(std::string_view modo, std::string_view saldo, std::string_view fido) {
    return Record({modo, Scrambla(saldo), Scrambla(fido)});
}

}  // namespace accettazione
