#pragma once

#include <cstddef>

namespace core {

// Asks the system to back a large buffer with huge pages. A million-row register fills
// a couple of hundred megabytes of fresh memory; page by page that is tens of thousands
// of page faults, which cost more than reading and decoding the files. A hint only:
// where huge pages are off or unknown it does nothing.
void PagineGrandi(const void* inizio, std::size_t byte);

// Gives back to the system the memory of a part of a buffer that will not be read again:
// a reader done with the first half of a large file need not keep it. Only whole blocks
// of 2 MB (the huge page size) inside the range go; their contents become zeros.
void RilasciaLetto(const void* inizio, std::size_t byte);

// Makes large blocks go back to the system as soon as they are freed, for the whole
// process: called once, at start.
void MemoriaLiberataAlSistema();

template <class Contenitore>
void PagineGrandi(const Contenitore& c) {
    PagineGrandi(c.data(), c.capacity() * sizeof(*c.data()));
}

}  // namespace core
