// Test program entry: an error box that nobody expected fails the test that showed it.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/error_box.h"

namespace {

class UnexpectedErrorBox final : public platform::ErrorBox {
 public:
  void Show(const std::string& text) override { ADD_FAILURE() << "unexpected error box: " << text; }
};

}  // namespace

int main(int argc, char** argv) {
  // File names must not depend on the locale; run as CI does, in the C locale.
  std::setlocale(LC_ALL, "C");
  testing::InitGoogleTest(&argc, argv);
  UnexpectedErrorBox unexpected;
  platform::InstallErrorBox(&unexpected);
  const int result = RUN_ALL_TESTS();
  platform::InstallErrorBox(nullptr);
  return result;
}
