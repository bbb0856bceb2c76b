#include "core/memoria.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace core {

void PagineGrandi(const void* inizio, std::size_t byte) {
#ifdef MADV_HUGEPAGE
    // Below a few huge pages the faults saved are not worth a system call.
    constexpr std::size_t kMinimo = std::size_t{4} << 20;
    if (byte < kMinimo) return;
    const auto pagina = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto indirizzo = reinterpret_cast<std::uintptr_t>(inizio);
    const std::uintptr_t da = (indirizzo + pagina - 1) & ~(pagina - 1);
    const std::uintptr_t a = (indirizzo + byte) & ~(pagina - 1);
    if (a > da) (void)::madvise(reinterpret_cast<void*>(da), a - da, MADV_HUGEPAGE);
#else
    (void)inizio;
    (void)byte;
#endif
}

void RilasciaLetto(const void* inizio, std::size_t byte) {
#ifdef MADV_DONTNEED
    constexpr std::uintptr_t kBlocco = std::uintptr_t{2} << 20;
    const auto indirizzo = reinterpret_cast<std::uintptr_t>(inizio);
    const std::uintptr_t da = (indirizzo + kBlocco - 1) & ~(kBlocco - 1);
    const std::uintptr_t a = (indirizzo + byte) & ~(kBlocco - 1);
    if (a > da) (void)::madvise(reinterpret_cast<void*>(da), a - da, MADV_DONTNEED);
#else
    (void)inizio;
    (void)byte;
#endif
}

}  // namespace core
