#include "startup/avvio_qt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QListWidget>
#include <QLockFile>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <array>
#include <cerrno>
#include <csignal>
#include <ctime>

#include "core/memoria.h"
#include "main_window/form1_qt.h"
#include "main_window/logo_qt.h"
#include "setup/form17_qt.h"
#include "startup/cartelle.h"
#include "ui/dialoghi_qt.h"
#include "ui/lingua_qt.h"

namespace avvio {

namespace {

std::filesystem::path Percorso(const QString& cartella) {
    return std::filesystem::path(cartella.toStdU16String());
}

// Where the password file lives, away from the data files; the stand-in for the system
// folder.
std::filesystem::path CartellaConfigurazione() {
    return Percorso(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                    QStringLiteral("/Quibora"));
}

Posizioni PosizioniProgramma() {
    return {Percorso(QCoreApplication::applicationDirPath()),
            Percorso(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))};
}

// The pipe from the signal handler to the event loop.
std::array<int, 2> tuboSegnali{-1, -1};
constexpr std::array kSegnaliDiFine{SIGTERM, SIGHUP, SIGINT};

void GestoreSegnale(int) {
    const int salvato = errno;
    const char c = 1;
    (void)!::write(tuboSegnali[1], &c, 1);
    errno = salvato;
}

core::Data Oggi() {
    const QDate d = QDate::currentDate();
    return {d.year(), d.month(), d.day()};
}

}  // namespace

ProgrammaQt::ProgrammaQt(const std::filesystem::path& dirProgramma,
                         const std::filesystem::path& dirPassword, ui::Dialoghi& dialoghi,
                         std::function<core::Data()> oggi, core::FileSystem& fileSystem)
    : file_(fileSystem, dirProgramma, core::DirSistema(dirPassword)),
      dialoghi_(dialoghi),
      oggi_(std::move(oggi)) {}

ProgrammaQt::~ProgrammaQt() = default;

bool ProgrammaQt::Avvia() {
    return Main(file_, stato_, dialoghi_, *this) == Esito::InCorso;
}

void ProgrammaQt::ApriImpostazioneConto() {
    impostazione_ = std::make_unique<setup::Form17Qt>(stato_, file_, dialoghi_, [this] {
        (void)ApriPrincipale(file_, stato_, dialoghi_, *this);
    });
    impostazione_->show();
}

void ProgrammaQt::CreaPrincipale() {
    if (!principale_)
        principale_ = std::make_unique<main_window::Form1Qt>(stato_, file_, dialoghi_, oggi_);
}

int ProgrammaQt::CaricaPrincipale() {
    return principale_->Carica();
}

void ProgrammaQt::ApriPassword() {
    principale_->ApriPassword();
}

void ProgrammaQt::MostraPrincipale(const std::string& titolo) {
    principale_->setWindowTitle(QString::fromStdString(titolo));
    principale_->show();
    principale_->activateWindow();
    principale_->lista()->setFocus(Qt::OtherFocusReason);
}

void ProgrammaQt::ChiusuraDalSistema() {
    if (terminato()) return;
    // Form_Unload ends the program itself, and saves nothing before the register is loaded.
    if (principale_)
        (void)principale_->logica().Form_Unload();
    else
        dialoghi_.TerminaProgramma();
}

bool ProgrammaQt::SalvaPerSessione(bool chiedi) {
    if (terminato() || !principale_) return true;
    return principale_->logica().SalvaPerUscire(chiedi);
}

namespace {

// A copy killed between creating its lock and writing its name in it leaves an empty lock,
// which Qt never counts as stale: the program could not start again. Its owner's kernel lock
// on the file died with it, and Qt only removes a file nobody holds; the wait lets a copy
// that is starting right now write its name first.
bool TogliBloccoSenzaProprietario(QLockFile& blocco) {
    qint64 pid = 0;
    QString host, nome;
    if (blocco.getLockInfo(&pid, &host, &nome)) return false;
    const qint64 eta =
        QFileInfo(blocco.fileName()).lastModified().msecsTo(QDateTime::currentDateTimeUtc());
    constexpr qint64 kAttesa = 2000;
    if (eta >= 0 && eta < kAttesa) QThread::msleep(static_cast<unsigned long>(kAttesa - eta));
    if (blocco.getLockInfo(&pid, &host, &nome)) return false;
    return blocco.removeStaleLockFile();
}

}  // namespace

QString FileBlocco(const std::filesystem::path& cartellaDati) {
    return QString::fromStdU16String((cartellaDati / ".quibora.lock").u16string());
}

namespace {

// The running program's own name: its executable's, when the system tells it.
QString NomeProgrammaAttivo(QLockFile& blocco, const QString& predefinito) {
    qint64 pid = 0;
    QString host, nome;
    if (!blocco.getLockInfo(&pid, &host, &nome)) return predefinito;
    const QString eseguibile = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    if (!eseguibile.isEmpty()) return QFileInfo(eseguibile).fileName();
    return nome.isEmpty() ? predefinito : nome;
}

}  // namespace

bool BloccaIstanzaUnica(QLockFile& blocco, const QString& nomeEseguibile, ui::Dialoghi& dialoghi,
                        bool facoltativo) {
    // Looked at before Qt opens it: a FIFO would hang the start, /dev/zero fill the memory.
    if (const auto errore = ControllaFileBlocco(Percorso(blocco.fileName()))) {
        dialoghi.Messaggio(MessaggioFileBlocco(*errore), ui::Pulsanti::Ok, ui::Icona::Critica,
                           ui::kTitoloApplicazione, ui::Risposta::Ok);
        return false;
    }
    // Only a dead owner makes the lock stale, however long the first copy has run.
    blocco.setStaleLockTime(0);
    // The lock is the user's alone, as the data files are.
    const mode_t maschera = ::umask(077);
    bool preso = blocco.tryLock(0);
    if (!preso && blocco.error() == QLockFile::LockFailedError &&
        TogliBloccoSenzaProprietario(blocco))
        preso = blocco.tryLock(0);
    ::umask(maschera);
    if (preso) return true;
    if (blocco.error() == QLockFile::LockFailedError) {
        dialoghi.Messaggio(
            MessaggioIstanzaAttiva(NomeProgrammaAttivo(blocco, nomeEseguibile).toStdString()),
            ui::Pulsanti::Ok, ui::Icona::Esclamazione, ui::kTitoloApplicazione, ui::Risposta::Ok);
        return false;
    }
    if (facoltativo) return true;
    const core::ErroreFile errore{
        Percorso(blocco.fileName()),
        core::MotivoErrore(blocco.error() == QLockFile::PermissionError ? EACCES : EIO)};
    dialoghi.Messaggio(core::MessaggioErroreFile(errore), ui::Pulsanti::Ok, ui::Icona::Critica,
                       ui::kTitoloApplicazione, ui::Risposta::Ok);
    return false;
}

SegnaliDiFine::SegnaliDiFine(std::function<void()> azione) : azione_(std::move(azione)) {
    if (::pipe2(tuboSegnali.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifica = new QSocketNotifier(tuboSegnali[0], QSocketNotifier::Read, this);
    connect(notifica, &QSocketNotifier::activated, this, [this] {
        char c[16];
        while (::read(tuboSegnali[0], c, sizeof c) > 0) {
        }
        azione_();
    });
    struct sigaction sa {};
    sa.sa_handler = GestoreSegnale;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int segnale : kSegnaliDiFine) ::sigaction(segnale, &sa, nullptr);
}

SegnaliDiFine::~SegnaliDiFine() {
    for (int segnale : kSegnaliDiFine) std::signal(segnale, SIG_DFL);
    for (int& fd : tuboSegnali) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

int EseguiProgramma(int argc, char** argv) {
    core::MemoriaLiberataAlSistema();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quibora"));
    QApplication::setWindowIcon(QIcon(main_window::LogoQuibora(QSize(64, 64))));
    (void)ui::CaricaTraduzioniQt(app);
    ui::DialoghiQt dialoghi;

    const auto inizio = std::time(nullptr);
    const auto configurazione = CartellaConfigurazione();
    const auto posizioni = PosizioniProgramma();
    // `sudo -E` keeps the user's home: nothing may be created there owned by root.
    for (const auto& cartella : {configurazione, posizioni.personale, posizioni.programma}) {
        if (const auto rifiuto = RifiutoAmministratore(cartella, ::geteuid())) {
            dialoghi.Messaggio(*rifiuto, ui::Pulsanti::Ok, ui::Icona::Critica,
                               ui::kTitoloApplicazione, ui::Risposta::Ok);
            return 1;
        }
    }
    if (const auto errore = CreaCartella(configurazione)) {
        dialoghi.Messaggio(MessaggioErroreCartella(*errore), ui::Pulsanti::Ok, ui::Icona::Critica,
                           ui::kTitoloApplicazione, ui::Risposta::Ok);
        return 1;
    }
    const auto cartella = ScegliCartellaDati(posizioni, core::FileSystemReale(), dialoghi);
    if (!cartella) return 0;

    FileSystemSolaLettura solaLettura(core::FileSystemReale());
    core::FileSystem& fileSystem = cartella->solaLettura
                                       ? static_cast<core::FileSystem&>(solaLettura)
                                       : core::FileSystemReale();
    // Installed before the lock is taken: once the lock file is there, a signal saves.
    std::unique_ptr<ProgrammaQt> quibora;
    SegnaliDiFine segnali([&quibora] {
        if (quibora)
            quibora->ChiusuraDalSistema();
        else
            QCoreApplication::exit(0);
    });

    const QString nome = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QLockFile blocco(FileBlocco(cartella->percorso));
    if (!BloccaIstanzaUnica(blocco, nome, dialoghi, cartella->solaLettura)) return 0;

    // What earlier runs cut short left behind, now that this copy alone works here.
    const auto utente = static_cast<unsigned>(::geteuid());
    std::error_code ec;
    if (const auto temporanea = std::filesystem::temp_directory_path(ec); !ec)
        TogliAvanzi(temporanea, utente, inizio);
    if (!cartella->solaLettura) {
        TogliAvanzi(cartella->percorso, utente, inizio);
        TogliAvanziUscite(cartella->percorso, utente, inizio);
    }

    // Each register its own password file; the copy into the user's folder takes along the
    // one of the register it copies (or the shared one it used before each had its own).
    const auto password = CartellaPassword(configurazione, cartella->percorso, posizioni.personale);
    std::filesystem::path passwordCopiata;
    if (cartella->copiaDa) {
        passwordCopiata =
            CartellaPassword(configurazione, *cartella->copiaDa, posizioni.personale) /
            core::kFilePassword;
        if (!core::FileSystemReale().esiste(passwordCopiata))
            passwordCopiata = configurazione / core::kFilePassword;
    } else if (const auto errore = AdottaPasswordComune(core::FileSystemReale(), configurazione,
                                                        password, cartella->percorso)) {
        dialoghi.Messaggio(core::MessaggioErroreFile(*errore), ui::Pulsanti::Ok, ui::Icona::Critica,
                           ui::kTitoloApplicazione, ui::Risposta::Ok);
        return 1;
    }

    QDir::setCurrent(QString::fromStdU16String(cartella->percorso.u16string()));
    quibora =
        std::make_unique<ProgrammaQt>(cartella->percorso, password, dialoghi, Oggi, fileSystem);
    // A register opened read-only is never saved, so there is nothing to back up.
    if (!cartella->solaLettura) quibora->file().AttivaCopie(core::MarcaTempoLocale);
    // The copy into the user's folder, now that no other copy of the program can be there.
    if (!CompletaCopia(*cartella, passwordCopiata, quibora->file(), dialoghi)) return 1;

    // The session manager's save request at logout: saved at once, the program goes on.
    // A failed save stops the logout: unasked, the user would lose what is not written.
    auto salva = [&quibora](QSessionManager& sessione) {
        const bool chiedi = sessione.allowsInteraction();
        if (!quibora->SalvaPerSessione(chiedi)) sessione.cancel();
        if (chiedi) sessione.release();
    };
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, salva);
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &app, salva);

    if (!quibora->Avvia()) return 0;
    const int esito = QApplication::exec();
    quibora.reset();
    return esito;
}

}  // namespace avvio
