#pragma once

#include "printing/coda_stampa.h"

namespace printing {

// The CUPS queues of this system. A job is submitted as a PDF file and counts as printed
// only when the scheduler has accepted it: a queue that rejects jobs, a stopped scheduler
// or a missing printer answer with their reason. A queue stopped (paused) by its
// administrator still takes jobs and holds them: that is told apart.
class CodaCups : public CodaStampa {
  public:
    std::vector<std::string> Stampanti() override;
    std::string Predefinita() override;
    EsitoInvio Invia(const std::string& stampante, const std::filesystem::path& pdf,
                     const std::string& titolo) override;
};

}  // namespace printing
