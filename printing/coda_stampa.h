#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace printing {

// The system's print queues.
class CodaStampa {
  public:
    virtual ~CodaStampa() = default;
    // The names of the installed printers.
    [[nodiscard]] virtual std::vector<std::string> Stampanti() = 0;
    // The printer the system chooses by default, or empty when none is set.
    [[nodiscard]] virtual std::string Predefinita() = 0;
    // Submits a PDF file as one job. Empty when the queue accepted it, otherwise the
    // system's reason.
    [[nodiscard]] virtual std::string Invia(const std::string& stampante,
                                            const std::filesystem::path& pdf,
                                            const std::string& titolo) = 0;
};

}  // namespace printing
