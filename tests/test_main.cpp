#include <gtest/gtest.h>

#include <cstdio>

#include "engine/labels.h"
#include "platform/code_page.h"

int main(int argc, char** argv) {
  sw::initCodePage();
  sw::labels();
  std::fprintf(stderr, "code page: %s\n", sw::codePageName().c_str());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
