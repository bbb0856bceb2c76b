#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <regex>
#include <variant>

#include "core/importi.h"
#include "estratti/apertura.h"
#include "estratti/esportazione.h"
#include "estratti/esportazione_excel.h"
#include "estratti/lettore_excel.h"
#include "support/cartella_temporanea.h"
#include "support/contesto_finto.h"
#include "support/file_system_difettoso.h"

namespace {

const std::filesystem::path kExcel = QUIBORA_DATI_EXCEL;

// The table's rows as "line:cell|cell|...", or the message that refuses the file.
std::string Righe(const std::variant<estratti::TabellaCsv, estratti::ErroreEstratto>& letto) {
    if (auto* e = std::get_if<estratti::ErroreEstratto>(&letto)) return e->messaggio;
    const auto& t = std::get<estratti::TabellaCsv>(letto);
    std::string s;
    for (std::size_t r = 0; r < t.record.size(); ++r) {
        s += std::to_string(t.linee[r]) + ":";
        for (std::size_t c = 0; c < t.record[r].size(); ++c) s += (c ? "|" : "") + t.record[r][c];
        s += "\n";
    }
    return s;
}

std::string Foglio(const std::string& file) {
    return Righe(estratti::LeggiFoglioExcel(test::LeggiByte(kExcel / file), kExcel / file, file));
}

// Each file shows what its own reader got right: the epoch, the merged date over two rows,
// the heading over "Dare" and "Avere", the hidden column, numbers as their digits, text
// cells as they are, title and total rows kept for the CSV rules to judge.
struct CasoFoglio {
    const char* file;
    std::string righe;
};
class FoglioLetto : public testing::TestWithParam<CasoFoglio> {};

TEST_P(FoglioLetto, CelleComeLeMostraIlFoglio) {
    EXPECT_EQ(Foglio(GetParam().file), GetParam().righe);
}

constexpr const char* kTitolo =
    "1:Conto corrente n. 1234/56 - Banca di prova\n"
    "2:Movimenti dal 01/03/2024 al 31/03/2024\n";
const std::string kMovimenti =
    "5:Data|Descrizione|Dare|Avere\n"
    "6:01/03/2024|Bonifico da Rossi Mario||1500\n"
    "7:01/03/2024|Prelievo Bancomat via Roma 12|250,5\n"
    "8:15/03/2024|Addebito SDD luce & gas|80,07\n"
    "9:29/03/2024|Assegno n. 1234|1.234,56\n"
    "10:31/03/2024|Interessi||0,01\n"
    "12:Totale||1564,63|1500,01\n"
    "13:Saldo finale al 31/03/2024|||1169,94\n";

INSTANTIATE_TEST_SUITE_P(
    Excel, FoglioLetto,
    testing::Values(
        // The hidden first column holds other dates (and the title): left out.
        CasoFoglio{"movimenti_1900.xlsx", kMovimenti},
        CasoFoglio{"movimenti_1904.xlsx", kTitolo + kMovimenti},
        // .xls: libfreexl knows no merged ranges; the two-row header is still one.
        CasoFoglio{"movimenti.xls",
                   kTitolo + std::regex_replace(kMovimenti, std::regex("7:01/03/2024"), "7:")},
        // A real Fineco card statement: dates as text with two-digit years.
        CasoFoglio{"fineco_visa.xls",
                   "1:Carta di credito n. 4000 0000 0000 0000\n"
                   "2:Intestata a: VITALE FILIPPO\n"
                   "4:Data operazione|Data Registrazione|Descrizione Operazione|Tipo spesa|Tipo "
                   "rimborso|Importo in euro\n"
                   "6:30/01/08|01/02/08|asdfsadf|A|SALDO|53,36\n"
                   "7:05/02/08|07/02/08|adsfasdf|A|SALDO|11,99\n"
                   "8:08/02/08|14/02/08|adsfasdf|A|SALDO|39\n"
                   "9:20/02/08|25/02/08|asdfadsf|A|SALDO|85\n"
                   "10:26/02/08|28/02/08|asdfasdf|A|SALDO|11,5\n"}));

constexpr const char* kPassword =
    "è protetto da password. Lo apra con Excel o LibreOffice, tolga la password e lo salvi di "
    "nuovo.";

// Each refusal names the file and the reason, before anything is expanded or guessed.
class FileRifiutato : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(FileRifiutato, MessaggioCheNominaIlFile) {
    const auto& [file, motivo] = GetParam();
    EXPECT_EQ(Foglio(file),
              "Il file \"" + std::string(file) + "\" non può essere importato: " + motivo);
}

INSTANTIATE_TEST_SUITE_P(
    Excel, FileRifiutato,
    testing::Values(
        std::pair{"bomba.xlsx",
                  "una volta espanso supererebbe i limiti di un estratto conto (il file potrebbe "
                  "essere costruito per esaurire la memoria)."},
        std::pair{"password.xlsx", kPassword}, std::pair{"password_rc4.xls", kPassword},
        // A real Fineco export that libfreexl 1.0 cannot follow.
        std::pair{"fineco_movimenti.xls",
                  "questo file .xls non può essere letto: lo apra con Excel o LibreOffice, lo "
                  "salvi in formato .xlsx e lo importi di nuovo."}));

TEST(FileRifiutato, ZipTroncatoODiAltroFormato) {
    const std::string intero = test::LeggiByte(kExcel / "movimenti_1900.xlsx");
    const std::string prefisso = "Il file \"x.xlsx\" non può essere importato: ";
    EXPECT_EQ(Righe(estratti::LeggiFoglioXlsx(intero.substr(0, intero.size() - 100), "x.xlsx")),
              prefisso + "il file Excel è danneggiato o incompleto.");
    // A sheet's compressed bytes changed: the zip's directory is whole, the part is not.
    std::string guasto = intero;
    const auto foglio = guasto.find("xl/worksheets/sheet2.xml");
    ASSERT_NE(foglio, std::string::npos);
    guasto[foglio + 40] = static_cast<char>(guasto[foglio + 40] ^ 0x55);
    EXPECT_EQ(Righe(estratti::LeggiFoglioXlsx(guasto, "x.xlsx")),
              prefisso + "il file Excel è danneggiato o incompleto.");
}

// Zips built here: parts encrypted with WinZip AES, as some tools protect a workbook; and a
// workbook of macros, its only sheet an Excel 4 macro sheet beside the VBA project.
std::string Zip(const std::filesystem::path& file,
                const std::vector<std::pair<const char*, std::string>>& parti, bool cifrato) {
    int errore = 0;
    zip_t* z = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &errore);
    for (const auto& [nome, testo] : parti) {
        const zip_int64_t i = zip_file_add(
            z, nome, zip_source_buffer(z, testo.data(), testo.size(), 0), ZIP_FL_OVERWRITE);
        if (cifrato)
            zip_file_set_encryption(z, static_cast<zip_uint64_t>(i), ZIP_EM_AES_256, "segreta");
    }
    zip_close(z);
    return test::LeggiByte(file);
}

TEST(FileRifiutato, PartiCifrateOSoloMacro) {
    test::CartellaTemporanea dir;
    const std::string cifrato = Zip(dir / "aes.xlsx", {{"xl/workbook.xml", "<workbook/>"}}, true);
    EXPECT_EQ(Righe(estratti::LeggiFoglioXlsx(cifrato, "aes.xlsx")),
              "Il file \"aes.xlsx\" non può essere importato: " + std::string(kPassword));
    const std::string ms = "http://schemas.microsoft.com/office/2006/relationships/";
    const std::string macro =
        Zip(dir / "macro.xlsm",
            {{"xl/workbook.xml",
              "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
              "relationships\"><sheets><sheet name=\"Macro1\" sheetId=\"1\" r:id=\"rId1\"/>"
              "</sheets></workbook>"},
             {"xl/_rels/workbook.xml.rels",
              "<Relationships><Relationship Id=\"rId1\" Type=\"" + ms +
                  "xlMacrosheet\" Target=\"macrosheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
                  "Type=\"" +
                  ms + "vbaProject\" Target=\"vbaProject.bin\"/></Relationships>"}},
            false);
    EXPECT_EQ(Righe(estratti::LeggiFoglioXlsx(macro, "macro.xlsm")),
              "Il file \"macro.xlsm\" non può essere importato: contiene solo macro e nessun "
              "foglio con i movimenti.");
}

// Serial days: both epochs, the 1900 system's day that never was, the bounds.
TEST(DataSeriale, DueEpoche) {
    struct Caso {
        double seriale;
        bool epoca1904;
        const char* atteso;
    };
    for (const Caso& c :
         {Caso{1, false, "01/01/1900"}, Caso{59, false, "28/02/1900"}, Caso{60, false, ""},
          Caso{61, false, "01/03/1900"}, Caso{45352.99, false, "01/03/2024"}, Caso{0.5, false, ""},
          Caso{2958465, false, "31/12/9999"}, Caso{2958466, false, ""}, Caso{0, true, "01/01/1904"},
          Caso{43890, true, "01/03/2024"}, Caso{-1, true, ""}}) {
        const auto d = estratti::DataSeriale(c.seriale, c.epoca1904);
        EXPECT_EQ(d ? core::FormatoData(*d) : "", c.atteso) << c.seriale << " " << c.epoca1904;
    }
}

TEST(TestoNumero, DecimaliEsattiConLaVirgola) {
    for (const auto& [n, atteso] : {std::pair{1234.5, "1234,5"},
                                    {-0.01, "-0,01"},
                                    {1e15, "1000000000000000"},
                                    {0.1 + 0.2, "0,3"},
                                    {-80.06999999999999, "-80,07"},
                                    {123456789.0123, "123456789,0123"}})
        EXPECT_EQ(estratti::TestoNumero(n), atteso) << n;
}

// Opened as the user opens it: the same preview rules as a CSV, the bank remembered apart.
TEST(ApriExcel, StesseRegoleDelCsv) {
    auto f = estratti::ApriEstratto(core::FileSystemReale(), kExcel / "fineco_visa.xls", nullptr);
    ASSERT_TRUE(std::holds_alternative<estratti::FileEstratto>(f));
    const auto& file = std::get<estratti::FileEstratto>(f);
    EXPECT_TRUE(file.excel);
    EXPECT_EQ(file.banca,
              "excel|data operazione|data registrazione|descrizione operazione|tipo spesa|tipo "
              "rimborso|importo in euro");
    EXPECT_EQ(estratti::CelleEstratto(file).record.size(), 8u);
    auto letto = estratti::LeggiEstratto(file);
    ASSERT_TRUE(std::holds_alternative<estratti::Estratto>(letto))
        << std::get<estratti::ErroreEstratto>(letto).messaggio;
    const auto& e = std::get<estratti::Estratto>(letto);
    ASSERT_EQ(e.transazioni.size(), 5u);
    core::Money somma;
    for (const auto& t : e.transazioni) somma = *somma.plus(t.importo);
    EXPECT_EQ(core::FormatoEuro(somma), "200,85");
    // The booking date ("Data registrazione"), not the day of the purchase.
    EXPECT_EQ(core::FormatoData(e.transazioni[4].data), "28/02/2008");
}

core::Registro RegistroDiProva() {
    const std::vector<core::RigaRegistro> righe{
        {"02/01/2001", "Versamento", "stipendio", "2.500.000", "2.500.000"},
        {"15/01/2001", "Prelievo", "bancomat \"centro\"", "200.000", "2.300.000"},
        {"01/02/2002", "Versamento", "", "1.000,50", "2.188,36"},
        {"03/02/2002", "Addebito bolletta gas", "gas; febbraio", "80,07", "2.108,29"}};
    return core::Registro(righe);
}

// The workbook read back with this program's own reader gives the register's rows: dates
// from date cells, amounts and balances in their own currency, the account in the title.
TEST(EsportaExcel, RiletturaUgualeAlRegistro) {
    test::CartellaTemporanea dir;
    const auto file = dir / "registro.xlsx";
    const core::Registro registro = RegistroDiProva();
    ASSERT_FALSE(estratti::EsportaExcel(core::FileSystemReale(), file, registro,
                                        {"1234/56", "Banca di prova"}, core::Data{2001, 1, 10},
                                        std::nullopt));
    struct stat info;
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_FALSE(std::filesystem::exists(dir / "registro.xlsx.quibora-tmp"));
    const auto letto = estratti::LeggiFoglioXlsx(test::LeggiByte(file), "registro.xlsx");
    // Its cells with ";" and quotes survive the text the column choice is made from.
    const auto& tabella = std::get<estratti::TabellaCsv>(letto);
    EXPECT_EQ(estratti::SeparaCsv(estratti::TestoCsv(tabella), ';').record, tabella.record);
    EXPECT_EQ(Righe(letto),
              "1:Conto n. 1234/56 - Banca di prova\n"
              "2:Data|Causale|Riferimento|Importo|Valuta|Saldo|Valuta saldo\n"
              "3:15/01/2001|Prelievo|bancomat \"centro\"|-200000|ITL|2300000|ITL\n"
              "4:01/02/2002|Versamento||1000,5|EUR|2188,36|EUR\n"
              "5:03/02/2002|Addebito bolletta gas|gas; febbraio|-80,07|EUR|2108,29|EUR\n");
}

TEST(EsportaExcel, GuastoNonLasciaNulla) {
    test::CartellaTemporanea dir;
    const auto file = dir / "registro.xlsx";
    test::FileSystemDifettoso fs;
    fs.Guasta({test::Operazione::Rinomina, "registro", 0, false, ENOSPC});
    const auto e = estratti::EsportaExcel(fs, file, RegistroDiProva(), {}, {}, {});
    ASSERT_TRUE(e);
    EXPECT_EQ(e->motivo, "disco pieno");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
