// The two compute kernels of the load: their HLSL text and, to check what a
// GPU wrote, the same arithmetic on the CPU.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reliable: a heavier kernel for adaptive pacing; alternate: a minimal one
// at a fixed cadence.
enum class ComputeKernel { Reliable, Alternate };

inline constexpr std::uint32_t kKernelThreadsPerGroup = 64;

// What a self-check fills the texture with before a kernel writes into it.
inline constexpr std::uint32_t kUnwrittenTexel = 0xDEADBEEF;

// The kernel for a blocking method: 1 is the alternate one, 0 and 3 the
// reliable one.
ComputeKernel KernelForMethod(std::uint32_t blockingMethod);

// "reliable" or "alternate".
std::u16string_view KernelName(ComputeKernel kernel);

// Rounds of the hash that each thread runs.
std::uint32_t KernelRounds(ComputeKernel kernel);

// Compute shader 5.0 source, entry point "main". Every thread hashes the seed
// of constant buffer b0 and stores the result into texel (0, 0) of the
// R32_UINT texture at u0. Written without loops, compound assignments or
// thread-id semantics: Wine's run-time compiler rejects those or gets loops
// wrong, and it must compile the same text as the system's compiler.
std::string KernelSource(ComputeKernel kernel);

// The value the kernel stores for this seed.
std::uint32_t KernelValue(ComputeKernel kernel, std::uint32_t seed);
