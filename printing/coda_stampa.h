#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace printing {

// What became of a job handed to a queue.
struct EsitoInvio {
    // The system's reason when the queue did not take the job, empty when it did.
    std::string errore;
    // Taken, but the queue is stopped: the job waits there until someone restarts it.
    bool codaFerma = false;
};

// The system's print queues.
class CodaStampa {
  public:
    virtual ~CodaStampa() = default;
    // The names of the installed printers.
    [[nodiscard]] virtual std::vector<std::string> Stampanti() = 0;
    // The printer the system chooses by default, or empty when none is set.
    [[nodiscard]] virtual std::string Predefinita() = 0;
    // Submits a PDF file as one job.
    [[nodiscard]] virtual EsitoInvio Invia(const std::string& stampante,
                                           const std::filesystem::path& pdf,
                                           const std::string& titolo) = 0;
};

}  // namespace printing
