#include "core/memoria.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif
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

void MemoriaLiberataAlSistema() {
#ifdef M_MMAP_THRESHOLD
    // glibc raises its threshold after each large block freed, up to 32 MB, so that the
    // next large blocks come from the heap and are never given back: after a chart, an
    // export and a save the program would hold all three at once. A fixed threshold keeps
    // every large block apart, returned to the system when freed.
    (void)::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace core
