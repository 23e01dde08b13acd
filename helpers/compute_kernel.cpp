#include "helpers/compute_kernel.h"

namespace {

constexpr std::uint32_t kMultiplier = 0x2c1b3c6du;
constexpr std::uint32_t kRoundStep = 0x9e3779bu;

// Added in each round; kept below 2^31 like the multiplier.
std::uint32_t RoundConstant(std::uint32_t round) {
  return (round * kRoundStep) & 0x7fffffffu;
}

}  // namespace

ComputeKernel KernelForMethod(std::uint32_t blockingMethod) {
  return blockingMethod == 1 ? ComputeKernel::Alternate : ComputeKernel::Reliable;
}

std::u16string_view KernelName(ComputeKernel kernel) {
  return kernel == ComputeKernel::Reliable ? u"reliable" : u"alternate";
}

std::uint32_t KernelRounds(ComputeKernel kernel) {
  return kernel == ComputeKernel::Reliable ? 256 : 2;
}

std::string KernelSource(ComputeKernel kernel) {
  std::string source =
      "RWTexture2D<uint> output : register(u0);\n"
      "cbuffer Load : register(b0) { uint seed; uint3 unused; };\n"
      "[numthreads(" +
      std::to_string(kKernelThreadsPerGroup) +
      ", 1, 1)]\n"
      "void main() {\n"
      "  uint x = seed;\n";
  // Constants in decimal below 2^31: every compiler reads them as the same
  // 32-bit value.
  for (std::uint32_t round = 1; round <= KernelRounds(kernel); ++round) {
    source += "  x = x ^ (x >> 15); x = x * " + std::to_string(kMultiplier) +
              "; x = x ^ (x >> 12); x = x + " + std::to_string(RoundConstant(round)) + ";\n";
  }
  source += "  output[uint2(0, 0)] = x;\n}\n";
  return source;
}

std::uint32_t KernelValue(ComputeKernel kernel, std::uint32_t seed) {
  std::uint32_t x = seed;
  for (std::uint32_t round = 1; round <= KernelRounds(kernel); ++round) {
    x = x ^ (x >> 15);
    x = x * kMultiplier;
    x = x ^ (x >> 12);
    x = x + RoundConstant(round);
  }
  return x;
}
