// The real program run as a separate process: a portable copy under another name, with its
// own home, on a register made by the program's file layer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "core/file_dati.h"
#include "startup/avvio_qt.h"
#include "support/cartella_temporanea.h"
#include "support/contesto_finto.h"
#include "support/finti.h"

namespace {

namespace fs = std::filesystem;

// While it runs the data folder is locked to any other copy, and a second copy names it;
// SIGTERM ends it with the shutdown save, which writes nothing when nothing changed; after
// SIGKILL its stale lock does not stop the next start.
class Processo : public testing::TestWithParam<int> {};

TEST_P(Processo, SegnaleDiFineEBloccoDellaCartella) {
    const int segnale = GetParam();
    test::CartellaTemporanea dir;
    const fs::path prog = dir / "chiavetta";
    fs::create_directories(prog);
    fs::copy_file(QUIBORA_ESEGUIBILE, prog / "conto-di-casa");
    core::FileDati file(core::FileSystemReale(), prog, core::DirSistema(dir / "XDG_CONFIG_HOME"));
    ASSERT_FALSE(file.SalvaConto("12345", "Banca Uno"));
    ASSERT_FALSE(file.SalvaRegistroEParametri(
        core::Registro(std::vector<core::RigaRegistro>{
            {"01/03/2003", "Versamento", "stipendio", "1.000,00", "1.000,00"}}),
        {"Euro", core::Money::FromUnits(1000), core::Money::FromUnits(-50)}));
    std::map<std::string, std::string> prima;
    for (const auto& voce : fs::directory_iterator(prog))
        if (voce.path().extension() == ".txt")
            prima[voce.path().filename()] = test::LeggiByte(voce.path());

    QProcess programma;
    auto ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* v : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        ambiente.insert(v, QString::fromStdString((dir / v).string()));
    programma.setProcessEnvironment(ambiente);
    programma.start(QString::fromStdString((prog / "conto-di-casa").string()), {});
    ASSERT_TRUE(programma.waitForStarted(10000));
    const fs::path blocco = prog / ".quibora.lock";
    for (int i = 0; i < 1000 && !fs::exists(blocco); ++i) QThread::msleep(10);
    ASSERT_TRUE(fs::exists(blocco)) << programma.readAllStandardError().toStdString();

    test::DialoghiFinti dialoghi;
    QLockFile altro(avvio::FileBlocco(prog));
    EXPECT_FALSE(avvio::BloccaIstanzaUnica(altro, "quibora", dialoghi));
    EXPECT_EQ(dialoghi.testiMessaggi(),
              std::vector<std::string>{"L'applicazione conto-di-casa è gia' in esecuzione."})
        << "the running program is named, not the second copy";

    ASSERT_EQ(::kill(static_cast<pid_t>(programma.processId()), segnale), 0);
    ASSERT_TRUE(programma.waitForFinished(10000));
    EXPECT_EQ(programma.exitStatus(),
              segnale == SIGKILL ? QProcess::CrashExit : QProcess::NormalExit);
    if (segnale == SIGTERM) {
        EXPECT_EQ(programma.exitCode(), 0);
        EXPECT_FALSE(fs::exists(prog / "backup")) << "nothing changed, nothing written";
    }
    for (const auto& [nome, byte] : prima) EXPECT_EQ(test::LeggiByte(prog / nome), byte) << nome;

    QLockFile dopo(avvio::FileBlocco(prog));
    EXPECT_TRUE(avvio::BloccaIstanzaUnica(dopo, "quibora", dialoghi));
}

INSTANTIATE_TEST_SUITE_P(Tabella, Processo, testing::Values(SIGTERM, SIGKILL),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// A lock that cannot be made says so with its file, and ends the program unless the register
// is only read. A copy killed before it wrote its name leaves an empty lock: it must not bar
// every later start, while a live copy's lock still does.
TEST(Blocco, UnBloccoImpossibileDiceQualeFileEUnoVuotoNonFermaLAvvio) {
    test::CartellaTemporanea dir;
    for (const bool facoltativo : {false, true}) {
        test::DialoghiFinti dialoghi;
        QLockFile blocco(avvio::FileBlocco(dir / "mancante"));
        EXPECT_EQ(avvio::BloccaIstanzaUnica(blocco, "quibora", dialoghi, facoltativo), facoltativo);
        EXPECT_EQ(dialoghi.testiMessaggi().size(), facoltativo ? 0u : 1u);
        for (const auto& testo : dialoghi.testiMessaggi())
            EXPECT_NE(testo.find((dir / "mancante/.quibora.lock").string()), std::string::npos);
    }
    const QString nome = avvio::FileBlocco(dir.path());
    QFile vuoto(nome);
    ASSERT_TRUE(vuoto.open(QIODevice::WriteOnly));
    ASSERT_TRUE(vuoto.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-60),
                                  QFileDevice::FileModificationTime));
    vuoto.close();
    test::DialoghiFinti dialoghi;
    QLockFile blocco(nome), secondo(nome);
    EXPECT_TRUE(avvio::BloccaIstanzaUnica(blocco, "quibora", dialoghi));
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_FALSE(avvio::BloccaIstanzaUnica(secondo, "quibora", dialoghi));
}

// The lock file as a hostile user or a fault leaves it: anything but a small plain file is
// refused at once with its name, never waited on or read for ever; a plain one left behind
// is taken, and the lock is the user's alone.
class BloccoOstile : public testing::TestWithParam<const char*> {};

TEST_P(BloccoOstile, RifiutatoColNomeOPresoSoloPerLUtente) {
    const std::string_view caso = GetParam();
    test::CartellaTemporanea dir;
    const fs::path blocco = dir / ".quibora.lock";
    if (caso == "fifo") ::mkfifo(blocco.c_str(), 0600);
    if (caso == "cartella") fs::create_directory(blocco);
    if (caso == "/dev/zero") fs::create_symlink(caso, blocco);
    if (caso == "grande") fs::resize_file((std::ofstream(blocco), blocco), 1 << 20);
    if (caso == "lasciato") {  // by a copy killed before it wrote in it
        std::ofstream{blocco};
        fs::last_write_time(blocco, fs::file_time_type::clock::now() - std::chrono::minutes(1));
    }
    ::umask(022);
    alarm(30);  // a lock that waits for ever ends the test here
    test::DialoghiFinti dialoghi;
    QLockFile lock(avvio::FileBlocco(dir.path()));
    const bool preso = avvio::BloccaIstanzaUnica(lock, "quibora", dialoghi);
    alarm(0);
    EXPECT_EQ(preso, caso == "lasciato");
    if (preso) {
        struct stat info;
        ASSERT_EQ(::stat(blocco.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_TRUE(dialoghi.messaggi.empty());
        return;
    }
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_NE(dialoghi.messaggi[0].testo.find("Il file di blocco " + blocco.string()),
              std::string::npos)
        << dialoghi.messaggi[0].testo;
}

INSTANTIATE_TEST_SUITE_P(Tabella, BloccoOstile,
                         testing::Values("fifo", "cartella", "/dev/zero", "grande", "lasciato"),
                         [](const auto& info) { return std::to_string(info.index); });

}  // namespace
