#include "core/record.h"

namespace core {

namespace {

bool Spazio(char c) {
    return c == ' ' || c == '\t';
}
bool FineRiga(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

std::string ScriviRecord(const std::vector<std::string_view>& voci) {
    std::string riga;
    for (std::size_t i = 0; i < voci.size(); ++i) {
        if (i > 0) riga += ',';
        riga += '"';
        riga += voci[i];
        riga += '"';
    }
    riga += "\r\n";
    return riga;
}

void AggiungiRecord(std::string& destinazione, std::string_view voce) {
    destinazione += '"';
    destinazione += voce;
    destinazione += "\"\r\n";
}

bool LettoreRecord::fine() const {
    // Blanks and line ends after the last item (a hand-edited file, a final empty line)
    // hold no item, so they count as the end.
    serveAltro_ = false;
    for (std::size_t i = pos_; i < testo_.size(); ++i) {
        if (!Spazio(testo_[i]) && !FineRiga(testo_[i])) return false;
    }
    serveAltro_ = parziale_;
    return !parziale_;
}

std::optional<std::string_view> LettoreRecord::leggi() {
    const std::size_t n = testo_.size();
    const std::size_t entrata = pos_;
    serveAltro_ = false;
    // Reached the end of a partial text: the item, or the separator after it, may go on.
    const auto forseOltre = [&] {
        if (!parziale_) return false;
        pos_ = entrata;
        serveAltro_ = true;
        return true;
    };
    while (pos_ < n && (Spazio(testo_[pos_]) || FineRiga(testo_[pos_]))) ++pos_;
    if (pos_ >= n) {
        forseOltre();
        return std::nullopt;
    }

    std::string_view voce;
    if (testo_[pos_] == '"') {
        const std::size_t inizio = pos_ + 1;
        std::size_t chiusura = testo_.find('"', inizio);
        if (chiusura == std::string_view::npos) chiusura = n;  // unclosed: runs to the end
        voce = testo_.substr(inizio, chiusura - inizio);
        pos_ = chiusura < n ? chiusura + 1 : n;
        while (pos_ < n && Spazio(testo_[pos_])) ++pos_;
    } else {
        const std::size_t inizio = pos_;
        while (pos_ < n && testo_[pos_] != ',' && !FineRiga(testo_[pos_])) ++pos_;
        std::size_t fineVoce = pos_;
        while (fineVoce > inizio && Spazio(testo_[fineVoce - 1])) --fineVoce;
        voce = testo_.substr(inizio, fineVoce - inizio);
    }
    if (pos_ >= n && forseOltre()) return std::nullopt;

    // The separator after the item: a comma, or a line end (CR LF, or a bare LF or CR).
    if (pos_ < n) {
        if (testo_[pos_] == ',') {
            ++pos_;
        } else if (testo_[pos_] == '\r') {
            ++pos_;
            if (pos_ < n && testo_[pos_] == '\n') ++pos_;
        } else if (testo_[pos_] == '\n') {
            ++pos_;
        }
    }
    return voce;
}

}  // namespace core
