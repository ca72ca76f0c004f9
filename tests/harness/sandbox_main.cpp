// Test main for whole-program tests: every test process runs in its own
// private board (CTest starts one process per test case).
#include <gtest/gtest.h>

#include <cstring>

#include "sandbox.h"

int main(int argc, char** argv) {
  bool listing = false;
  for (int i = 1; i < argc; ++i)
    if (strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
  if (!listing) sandbox::enterPrivateBoard();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
