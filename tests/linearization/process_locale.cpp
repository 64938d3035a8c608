#include <gtest/gtest.h>

#include <clocale>

namespace {

// The program adopts the user's locale at start-up; so do the tests, and CTest
// runs them once with a decimal point and once with the Czech comma.
class ProcessLocale : public ::testing::Environment {
public:
    void SetUp() override { std::setlocale(LC_ALL, ""); }
};

const auto* const processLocale = ::testing::AddGlobalTestEnvironment(new ProcessLocale);

} // namespace
