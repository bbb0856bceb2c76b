#include "core/memoria.h"

#include <gtest/gtest.h>

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

#include <memory>

namespace {

// After a large block is freed (a chart's points, an export's piece), the next large one
// is still kept apart and given back when freed: the program's memory returns to what it
// was, rather than growing by each large action it has done.
TEST(Memoria, IBlocchiGrandiTornanoAlSistema) {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "glibc's own allocator only";
#else
    core::MemoriaLiberataAlSistema();
    const auto blocco = [](std::size_t byte) {
        auto b = std::make_unique<char[]>(byte);
        static_cast<volatile char*>(b.get())[byte - 1] = 1;
        return b;
    };
    blocco(std::size_t{16} << 20).reset();
    const auto prima = ::mallinfo2().hblkhd;
    auto uno = blocco(std::size_t{8} << 20);
    EXPECT_GE(::mallinfo2().hblkhd, prima + (std::size_t{8} << 20));
    uno.reset();
    EXPECT_EQ(::mallinfo2().hblkhd, prima);
#endif
}

}  // namespace
