// Test program entry: an error box that nobody expected fails the test that showed it.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/error_box.h"

struct UnexpectedErrorBox final : platform::ErrorBox {
  void Show(const std::string& text, const std::string& detail) override {
    ADD_FAILURE() << "unexpected error box: " << text << " (" << detail << ")";
  }
};

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");  // file names must not depend on the locale; run as CI does
  testing::InitGoogleTest(&argc, argv);
  UnexpectedErrorBox unexpected;
  platform::ScopedErrorBox installed(&unexpected);
  return RUN_ALL_TESTS();
}
