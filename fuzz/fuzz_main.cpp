// One libFuzzer program: SW_FUZZ_ENTRY names the target's function in fuzz/targets.h.
#include "fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return sw::fuzz::SW_FUZZ_ENTRY(data, size);
}
