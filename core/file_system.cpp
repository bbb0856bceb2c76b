#include "core/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "core/memoria.h"

namespace core {

namespace {

constexpr const char* kNonRegolare =
    "non è un file di dati ma una cartella, un dispositivo o un file speciale";

ErroreFile Errore(const std::filesystem::path& p, int numero) {
    return {p, MotivoErrore(numero)};
}

class Descrittore {
  public:
    explicit Descrittore(int fd) : fd_(fd) {}
    Descrittore(const Descrittore&) = delete;
    Descrittore& operator=(const Descrittore&) = delete;
    ~Descrittore() {
        if (fd_ >= 0) ::close(fd_);
    }
    [[nodiscard]] int fd() const { return fd_; }
    // Closes now and reports the error close may carry (a late write failure on some
    // file systems); the destructor then has nothing left to do.
    int chiudi() {
        const int esito = ::close(fd_);
        fd_ = -1;
        return esito == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

int Apri(const std::filesystem::path& p, int flag, mode_t modo = 0) {
    int fd;
    do {
        fd = ::open(p.c_str(), flag | O_CLOEXEC, modo);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

class FileSystemReale_ final : public FileSystem {
  public:
    bool esiste(const std::filesystem::path& p) const override {
        struct stat info;
        return ::lstat(p.c_str(), &info) == 0;
    }

    TipoVoce tipo(const std::filesystem::path& p) const override {
        struct stat info;
        if (::lstat(p.c_str(), &info) != 0) return TipoVoce::Assente;
        if (S_ISREG(info.st_mode)) return TipoVoce::File;
        if (S_ISDIR(info.st_mode)) return TipoVoce::Cartella;
        if (S_ISLNK(info.st_mode)) return TipoVoce::Collegamento;
        return TipoVoce::Altro;
    }

    // The checks of every read on the file `f` opened from `p`: a regular file of at most
    // kDimensioneMassima bytes. Without O_NONBLOCK opening a FIFO waits for a writer for
    // ever; the type is checked on the open file, so it cannot change in between.
    static EsitoFile LeggibileDa(const std::filesystem::path& p, const Descrittore& f,
                                 struct stat& info) {
        if (f.fd() < 0) return Errore(p, errno);
        if (::fstat(f.fd(), &info) != 0) return Errore(p, errno);
        if (S_ISDIR(info.st_mode)) return Errore(p, EISDIR);
        if (!S_ISREG(info.st_mode)) return ErroreFile{p, kNonRegolare};
        if (static_cast<std::uintmax_t>(info.st_size) > kDimensioneMassima) return Errore(p, EFBIG);
        return std::nullopt;
    }

    EsitoFile leggi(const std::filesystem::path& p, std::string& contenuto) const override {
        const Descrittore f(Apri(p, O_RDONLY | O_NONBLOCK | O_NOCTTY));
        struct stat info;
        if (auto e = LeggibileDa(p, f, info)) return e;
        contenuto.clear();
        contenuto.reserve(static_cast<std::size_t>(info.st_size));
        PagineGrandi(contenuto);
        contenuto.resize(static_cast<std::size_t>(info.st_size));
        std::size_t letti = 0;
        for (;;) {
            // The end is probed into a small buffer: growing the text for it would copy a
            // whole large file once more.
            char sonda[4096];
            const bool pieno = letti == contenuto.size();
            const ssize_t n =
                pieno ? ::read(f.fd(), sonda, sizeof sonda)
                      : ::read(f.fd(), contenuto.data() + letti, contenuto.size() - letti);
            if (n < 0) {
                if (errno == EINTR) continue;
                return Errore(p, errno);
            }
            if (n == 0) break;
            if (pieno) contenuto.append(sonda, static_cast<std::size_t>(n));  // file grew
            letti += static_cast<std::size_t>(n);
            if (letti > kDimensioneMassima) return Errore(p, EFBIG);
        }
        contenuto.resize(letti);
        return std::nullopt;
    }

    EsitoFile leggiParte(const std::filesystem::path& p, std::uintmax_t da, std::size_t quanti,
                         std::string& pezzo, std::uint64_t& versione) const override {
        const Descrittore f(Apri(p, O_RDONLY | O_NONBLOCK | O_NOCTTY));
        struct stat info;
        if (auto e = LeggibileDa(p, f, info)) return e;
        // The file itself, its size and the time of its last change.
        std::uint64_t questa = static_cast<std::uint64_t>(info.st_ino);
        for (const auto v : {static_cast<std::uint64_t>(info.st_dev),
                             static_cast<std::uint64_t>(info.st_size),
                             static_cast<std::uint64_t>(info.st_mtim.tv_sec),
                             static_cast<std::uint64_t>(info.st_mtim.tv_nsec)})
            questa = questa * 0x100000001B3u ^ v;
        questa |= 1;  // never 0, which stands for no piece read yet
        if (versione != 0 && versione != questa)
            return ErroreFile{p, "il file è stato cambiato da un altro programma mentre veniva letto"};
        versione = questa;
        // No more room than the file has: a small file is not given a whole piece.
        const auto dimensione = static_cast<std::uintmax_t>(info.st_size);
        const std::size_t massimo = da < dimensione
                                        ? static_cast<std::size_t>(std::min<std::uintmax_t>(
                                              quanti, dimensione - da))
                                        : 0;
        const std::size_t prima = pezzo.size();
        pezzo.resize(prima + massimo);
        std::size_t letti = 0;
        while (letti < massimo) {
            const ssize_t n = ::pread(f.fd(), pezzo.data() + prima + letti, massimo - letti,
                                      static_cast<off_t>(da + letti));
            if (n < 0) {
                if (errno == EINTR) continue;
                pezzo.resize(prima);
                return Errore(p, errno);
            }
            if (n == 0) break;
            letti += static_cast<std::size_t>(n);
        }
        pezzo.resize(prima + letti);
        return std::nullopt;
    }

    EsitoFile scrivi(const std::filesystem::path& p, std::string_view contenuto) override {
        // Only our own leftover can have this name; unlink removes a link, not its target.
        if (::unlink(p.c_str()) != 0 && errno != ENOENT) return Errore(p, errno);
        Descrittore f(Apri(p, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600));
        if (f.fd() < 0) return Errore(p, errno);
        std::size_t scritti = 0;
        while (scritti < contenuto.size()) {
            const ssize_t n =
                ::write(f.fd(), contenuto.data() + scritti, contenuto.size() - scritti);
            if (n < 0) {
                if (errno == EINTR) continue;
                return Errore(p, errno);
            }
            scritti += static_cast<std::size_t>(n);
        }
        if (::fsync(f.fd()) != 0) return Errore(p, errno);
        if (const int e = f.chiudi(); e != 0) return Errore(p, e);
        return std::nullopt;
    }

    EsitoFile aggiungiIn(const std::filesystem::path& p, std::uintmax_t da,
                         std::string_view contenuto) override {
        Descrittore f(Apri(p, O_WRONLY | O_NOFOLLOW | O_NOCTTY));
        if (f.fd() < 0) return Errore(p, errno);
        struct stat info;
        if (::fstat(f.fd(), &info) != 0) return Errore(p, errno);
        if (!S_ISREG(info.st_mode)) return ErroreFile{p, kNonRegolare};
        const auto inizio = static_cast<off_t>(da);
        // Whatever lies beyond `da` is a change that never completed.
        if (::ftruncate(f.fd(), inizio) != 0) return Errore(p, errno);
        const auto ritira = [&](int numero) {
            // The torn end is cut off again; if even that fails, the reader still knows a
            // torn end by its checksum.
            if (::ftruncate(f.fd(), inizio) == 0) (void)::fdatasync(f.fd());
            return Errore(p, numero);
        };
        std::size_t scritti = 0;
        while (scritti < contenuto.size()) {
            const ssize_t n =
                ::pwrite(f.fd(), contenuto.data() + scritti, contenuto.size() - scritti,
                         inizio + static_cast<off_t>(scritti));
            if (n < 0) {
                if (errno == EINTR) continue;
                return ritira(errno);
            }
            scritti += static_cast<std::size_t>(n);
        }
        if (::fdatasync(f.fd()) != 0) return ritira(errno);
        if (const int e = f.chiudi(); e != 0) return Errore(p, e);
        return std::nullopt;
    }

    std::optional<std::uintmax_t> dimensione(const std::filesystem::path& p) const override {
        struct stat info;
        if (::lstat(p.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
        return static_cast<std::uintmax_t>(info.st_size);
    }

    EsitoFile rinomina(const std::filesystem::path& da, const std::filesystem::path& a) override {
        if (::rename(da.c_str(), a.c_str()) != 0) return Errore(a, errno);
        return std::nullopt;
    }

    EsitoFile elimina(const std::filesystem::path& p) override {
        if (::unlink(p.c_str()) != 0 && errno != ENOENT) return Errore(p, errno);
        return std::nullopt;
    }

    EsitoFile sincronizzaCartella(const std::filesystem::path& dir) override {
        const auto d = dir.empty() ? std::filesystem::path(".") : dir;
        Descrittore f(Apri(d, O_RDONLY | O_DIRECTORY));
        if (f.fd() < 0) return Errore(d, errno);
        // Some file systems cannot sync a directory and say so with EINVAL: nothing more
        // can be done there.
        if (::fsync(f.fd()) != 0 && errno != EINVAL && errno != EROFS) return Errore(d, errno);
        return std::nullopt;
    }

    EsitoFile creaCartella(const std::filesystem::path& dir) override {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (ec) return Errore(dir, ec.value());
        return std::nullopt;
    }

    EsitoFile eliminaCartella(const std::filesystem::path& dir) override {
        if (::rmdir(dir.c_str()) != 0 && errno != ENOENT) return Errore(dir, errno);
        return std::nullopt;
    }

    EsitoFile collega(const std::filesystem::path& da, const std::filesystem::path& a) override {
        if (::link(da.c_str(), a.c_str()) != 0) return Errore(a, errno);
        return std::nullopt;
    }

    EsitoFile elenca(const std::filesystem::path& dir,
                     std::vector<std::string>& nomi) const override {
        nomi.clear();
        const int fd = Apri(dir, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        if (fd < 0) return Errore(dir, errno);
        DIR* cartella = ::fdopendir(fd);
        if (!cartella) {
            const int e = errno;
            ::close(fd);
            return Errore(dir, e);
        }
        errno = 0;
        while (const dirent* voce = ::readdir(cartella)) {
            const std::string_view nome = voce->d_name;
            if (nome != "." && nome != "..") nomi.emplace_back(nome);
        }
        const int e = errno;
        ::closedir(cartella);
        if (e != 0) return Errore(dir, e);
        return std::nullopt;
    }
};

}  // namespace

FileSystem& FileSystemReale() {
    static FileSystemReale_ reale;
    return reale;
}

std::string MotivoErrore(int numeroErrore) {
    switch (numeroErrore) {
        case ENOSPC:
        case EDQUOT:
            return "disco pieno";
        case EACCES:
        case EPERM:
        case EROFS:
            return "accesso negato (file o cartella in sola lettura)";
        case ENOENT:
            return "file o cartella inesistente";
        case ENOTDIR:
            return "percorso non valido";
        case EISDIR:
            return "al posto del file c'è una cartella";
        case ENAMETOOLONG:
            return "nome del file troppo lungo";
        case EMFILE:
        case ENFILE:
            return "troppi file aperti";
        case EBUSY:
        case ETXTBSY:
            return "file in uso da un altro programma";
        case EIO:
            return "errore di lettura o scrittura sul disco";
        case EFBIG:
            return "file troppo grande";
        case ENOMEM:
            return "memoria insufficiente";
        case EXDEV:
            return "file su dischi diversi";
        case ELOOP:
            return "al posto del file c'è un collegamento simbolico";
        case EEXIST:
            return "esiste già un file con quel nome";
        default:
            return "errore di sistema n. " + std::to_string(numeroErrore);
    }
}

std::string MessaggioErroreFile(const ErroreFile& errore) {
    std::string testo =
        "Impossibile salvare il file " + errore.file.string() + ": " + errore.motivo + ". ";
    switch (errore.dati) {
        case DatiDopoErrore::Intatti:
            return testo + "I dati già salvati sono rimasti intatti.";
        case DatiDopoErrore::CompletatiAlRiavvio:
            return testo +
                   "I nuovi dati sono già sul disco: il salvataggio sarà completato al "
                   "prossimo avvio del programma.";
        case DatiDopoErrore::RipristinatiAlRiavvio:
            return testo +
                   "I dati salvati in precedenza saranno ripristinati al prossimo avvio del "
                   "programma.";
    }
    return testo;
}

std::string MessaggioErroreEliminazione(const ErroreFile& errore) {
    return "Impossibile eliminare il file " + errore.file.string() + ": " + errore.motivo + ".";
}

EsitoFile FileSystem::leggiParte(const std::filesystem::path& p, std::uintmax_t da,
                                 std::size_t quanti, std::string& pezzo,
                                 std::uint64_t& /*versione*/) const {
    std::string tutto;
    if (auto e = leggi(p, tutto)) return e;
    if (da < tutto.size()) pezzo.append(tutto, static_cast<std::size_t>(da), quanti);
    return std::nullopt;
}

}  // namespace core
