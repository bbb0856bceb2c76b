#include "core/memoria.h"

#include <gtest/gtest.h>

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// After a large block is freed (a chart's points, an export's piece), the next large one
// is still kept apart and given back when freed: the program's memory returns to what it
// was, rather than growing by each large action it has done. Checked in a process of its
// own, whose heap no other test has filled.
TEST(Memoria, IBlocchiGrandiTornanoAlSistema) {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "glibc's own allocator only";
#else
    if (!std::getenv("QUIBORA_MEMORIA_DA_SOLO")) {
        const auto programma = std::filesystem::read_symlink("/proc/self/exe").string();
        const std::string comando = "QUIBORA_MEMORIA_DA_SOLO=1 '" + programma +
                                    "' --gtest_filter=Memoria.IBlocchiGrandiTornanoAlSistema "
                                    ">/dev/null 2>&1";
        EXPECT_EQ(std::system(comando.c_str()), 0);
        return;
    }
    core::MemoriaLiberataAlSistema();
    const auto blocco = [](std::size_t byte) {
        auto b = std::make_unique<char[]>(byte);
        static_cast<volatile char*>(b.get())[byte - 1] = 1;
        return b;
    };
    // Left to itself, glibc would now take blocks up to 16 MB from the heap.
    blocco(std::size_t{16} << 20).reset();
    const std::size_t byte = ::mallinfo2().fordblks + (std::size_t{1} << 20);
    ASSERT_LT(byte, std::size_t{16} << 20);
    const auto prima = ::mallinfo2().hblkhd;
    auto uno = blocco(byte);
    EXPECT_GE(::mallinfo2().hblkhd, prima + byte);
    uno.reset();
    EXPECT_EQ(::mallinfo2().hblkhd, prima);
#endif
}

}  // namespace
