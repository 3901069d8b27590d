#include "archive/crc.h"

#include <zlib.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>
#ifdef _WIN32
#include <windows.h>
#endif
#define KP_FOLDED_CRC 1
#endif

namespace {

#ifdef KP_FOLDED_CRC

// The carry-less multiply, and on Windows a system that saves the SSE registers of a thread (the 95
// family and NT 4 do not; their kernel32 lacks the question or answers no).
bool CanFold() {
    static int answer = -1;
    if (answer >= 0) return answer != 0;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    answer = __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) && (edx & bit_SSE2);
#ifdef _WIN32
    using Question = BOOL(WINAPI*)(DWORD);
    const auto present = reinterpret_cast<Question>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsProcessorFeaturePresent")));
    answer = answer && present != nullptr && present(PF_XMMI64_INSTRUCTIONS_AVAILABLE);
#endif
    return answer != 0;
}

// One 128-bit lane folded forward over the next 16 bytes by the constants in k.
inline __attribute__((always_inline, target("pclmul,sse2"))) __m128i FoldInto(__m128i x, __m128i next,
                                                                              __m128i k) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), _mm_clmulepi64_si128(x, k, 0x00)),
                         next);
}

// Folds size bytes (at least 64, a multiple of 16) into the bit-reflected CRC register crc, four lanes
// of 128 bits at a time, then reduces to 32 bits (Barrett). The constants are powers of x modulo the
// polynomial, for the reflected domain. A 32-bit Windows thread's stack is aligned to 4 bytes only,
// and registers spilt there need 16.
__attribute__((target("pclmul,sse2"), force_align_arg_pointer)) uint32_t Fold(const unsigned char* data,
                                                                              size_t size, uint32_t crc) {
    alignas(16) static const uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const uint64_t poly[] = {0x01db710641, 0x01f7011641};
    const __m128i* in = reinterpret_cast<const __m128i*>(data);

    __m128i x1 = _mm_xor_si128(_mm_loadu_si128(in), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = _mm_loadu_si128(in + 1), x3 = _mm_loadu_si128(in + 2), x4 = _mm_loadu_si128(in + 3);
    in += 4;
    size -= 64;
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    for (; size >= 64; size -= 64, in += 4) {
        const __m128i l1 = _mm_clmulepi64_si128(x1, k, 0x00), l2 = _mm_clmulepi64_si128(x2, k, 0x00);
        const __m128i l3 = _mm_clmulepi64_si128(x3, k, 0x00), l4 = _mm_clmulepi64_si128(x4, k, 0x00);
        x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k, 0x11), l1), _mm_loadu_si128(in));
        x2 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x2, k, 0x11), l2), _mm_loadu_si128(in + 1));
        x3 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x3, k, 0x11), l3), _mm_loadu_si128(in + 2));
        x4 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x4, k, 0x11), l4), _mm_loadu_si128(in + 3));
    }
    // The four lanes into one, then the 16-byte blocks left.
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = FoldInto(FoldInto(FoldInto(x1, x2, k), x3, k), x4, k);
    for (; size >= 16; size -= 16, ++in) x1 = FoldInto(x1, _mm_loadu_si128(in), k);

    // 128 bits to 64, to 32 and then the remainder.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x00), _mm_srli_si128(x1, 4));
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    __m128i x2b = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x10);
    x2b = _mm_clmulepi64_si128(_mm_and_si128(x2b, low32), k, 0x00);
    x1 = _mm_xor_si128(x1, x2b);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}

#endif

}  // namespace

uint32_t UpdateCrc(uint32_t crc, const unsigned char* data, size_t size) {
#ifdef KP_FOLDED_CRC
    if (size >= 64 && CanFold()) {
        const size_t folded = size & ~size_t(15);
        crc = ~Fold(data, folded, ~crc);
        data += folded;
        size -= folded;
    }
#endif
    return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
}
