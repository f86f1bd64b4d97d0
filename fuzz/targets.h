// The bodies of the fuzz targets. Each takes one input, runs it through a parser of outside
// bytes and checks what comes back against properties that hold for every input. The
// libFuzzer programs (fuzz_main.cpp) and the regression test (tests/fuzz_regression_test.cpp)
// call the same functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace sw::fuzz {

// Called when a check fails. The default prints the check and aborts, which is what makes
// libFuzzer keep the input; a test may install one that throws instead. The handler must not
// return.
using FailureHandler = void (*)(const char* check, const char* file, int line);
void setFailureHandler(FailureHandler handler);

// The whole input is a file image: findVersionResource over it, then queries on the version
// block found, and on the input itself taken as a version block.
int fuzzPeVersion(const uint8_t* data, size_t size);

// splitText, findLast, cutText and the case changes under both character rules. The low five
// bits of the first byte give the length of the separator/pattern that follows it; the rest is
// the text.
int fuzzTextScan(const uint8_t* data, size_t size);

// The input is the open dialog's file buffer, parsed under both rules with "\" and "/".
int fuzzOpenDialog(const uint8_t* data, size_t size);

// The input is the text of a drop.
int fuzzDropText(const uint8_t* data, size_t size);

struct Target {
  const char* name;  // the folder under fuzz/corpus and fuzz/regressions
  int (*entry)(const uint8_t* data, size_t size);
};

// Every target, by name: "pe_version", "text_scan", "open_dialog", "drop_text".
std::span<const Target> targets();

}  // namespace sw::fuzz
