#include <gtest/gtest.h>

#include "engine/labels.h"
#include "platform/code_page.h"

int main(int argc, char** argv) {
  sw::initCodePage();
  sw::labels();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
