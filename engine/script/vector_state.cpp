#include "engine/script/vector_state.h"

namespace linoveta::script::vector_state_detail {

namespace {

bool AvxUsable()
{
#if defined(__x86_64__) || defined(__i386__)
    // This may run before the compiler library's start-up has read the processor: reading it
    // here first is safe either way. The answer also says whether the system saves the AVX
    // state, without which the instruction would fault.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
#else
    return false;
#endif
}

} // namespace

const bool kAvxUsable = AvxUsable();

} // namespace linoveta::script::vector_state_detail
