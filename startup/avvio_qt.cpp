#include "startup/avvio_qt.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QListWidget>
#include <QLockFile>
#include <QStandardPaths>

#include "main_window/form1_qt.h"
#include "main_window/logo_qt.h"
#include "setup/form17_qt.h"
#include "ui/dialoghi_qt.h"

namespace avvio {

namespace {

std::filesystem::path Percorso(const QString& cartella) {
    return std::filesystem::path(cartella.toStdU16String());
}

// Beside the program when the user may write there, else the user's data folder
// (a system-wide installation).
QString CartellaProgramma() {
    const QString accanto = QCoreApplication::applicationDirPath();
    if (QFileInfo(accanto).isWritable()) return accanto;
    const QString dati = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dati);
    return dati;
}

// Where the password file lives, away from the data files; the stand-in for the system
// folder.
QString CartellaConfigurazione() {
    const QString cartella =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/Quibora");
    QDir().mkpath(cartella);
    return cartella;
}

core::Data Oggi() {
    const QDate d = QDate::currentDate();
    return {d.year(), d.month(), d.day()};
}

}  // namespace

ProgrammaQt::ProgrammaQt(const std::filesystem::path& dirProgramma,
                         const std::filesystem::path& dirConfigurazione, ui::Dialoghi& dialoghi,
                         std::function<core::Data()> oggi, core::FileSystem& fileSystem)
    : file_(fileSystem, dirProgramma, core::DirSistema(dirConfigurazione)),
      dialoghi_(dialoghi),
      oggi_(std::move(oggi)) {}

ProgrammaQt::~ProgrammaQt() = default;

bool ProgrammaQt::Avvia() {
    return Main(file_, stato_, dialoghi_, *this) == Esito::InCorso;
}

void ProgrammaQt::ApriImpostazioneConto() {
    impostazione_ = std::make_unique<setup::Form17Qt>(
        stato_, file_, dialoghi_, [this] { (void)ApriPrincipale(file_, stato_, dialoghi_, *this); });
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

bool BloccaIstanzaUnica(QLockFile& blocco, const QString& nomeEseguibile, ui::Dialoghi& dialoghi) {
    // Only a dead owner makes the lock stale, however long the first copy has run.
    blocco.setStaleLockTime(0);
    if (blocco.tryLock(0)) return true;
    dialoghi.Messaggio(MessaggioIstanzaAttiva(nomeEseguibile.toStdString()), ui::Pulsanti::Ok,
                       ui::Icona::Esclamazione, ui::kTitoloApplicazione, ui::Risposta::Ok);
    return false;
}

int EseguiProgramma(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quibora"));
    QApplication::setWindowIcon(QIcon(main_window::LogoQuibora(QSize(64, 64))));
    ui::DialoghiQt dialoghi;

    const QString nome = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    // The lock lives in the user's own folder: another user's copy is not this user's.
    QLockFile blocco(CartellaConfigurazione() + QLatin1Char('/') + nome + QStringLiteral(".lock"));
    if (!BloccaIstanzaUnica(blocco, nome, dialoghi)) return 0;

    const QString programma = CartellaProgramma();
    QDir::setCurrent(programma);
    ProgrammaQt quibora(Percorso(programma), Percorso(CartellaConfigurazione()), dialoghi, Oggi);
    quibora.file().AttivaCopie(core::MarcaTempoLocale);
    if (!quibora.Avvia()) return 0;
    return QApplication::exec();
}

}  // namespace avvio
