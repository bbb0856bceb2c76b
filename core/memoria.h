#pragma once

#include <cstddef>

namespace core {

// Asks the system to back a large buffer with huge pages. A million-row register fills
// a couple of hundred megabytes of fresh memory; page by page that is tens of thousands
// of page faults, which cost more than reading and decoding the files. A hint only:
// where huge pages are off or unknown it does nothing.
void PagineGrandi(const void* inizio, std::size_t byte);

// Makes large blocks go back to the system as soon as they are freed, for the whole
// process: called once, at start.
void MemoriaLiberataAlSistema();

template <class Contenitore>
void PagineGrandi(const Contenitore& c) {
    PagineGrandi(c.data(), c.capacity() * sizeof(*c.data()));
}

}  // namespace core
