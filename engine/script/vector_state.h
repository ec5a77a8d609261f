#pragma once

namespace linoveta::script {

namespace vector_state_detail {
// Whether the processor and the system run AVX code, read once at start.
extern const bool kAvxUsable;
} // namespace vector_state_detail

// Qt's fills and aliased lines can leave the upper halves of the vector registers dirty. SSE
// code that then calls libm's VEX-encoded functions (sin, cos, tan, pow) pays for the state on
// every call on many processors, up to 15 times the function's own cost. Every evaluation
// starts with this, since drawing may have run since the last one: on a processor with AVX it
// clears the upper halves (the lower halves, where SSE code keeps its values, stay); on one
// without, there is nothing to clear. Code built for AVX never mixes the two encodings.
inline void ClearUpperVectorState()
{
#if (defined(__x86_64__) || defined(__i386__)) && !defined(__AVX__)
    if (vector_state_detail::kAvxUsable)
        asm volatile("vzeroupper");
#endif
}

} // namespace linoveta::script
