#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

// The program adopts the user's locale at start-up; so do the tests, and CTest
// runs them once with a decimal point and once with the Czech comma.
class ProcessLocale : public ::testing::Environment {
public:
    void SetUp() override { std::setlocale(LC_ALL, ""); }
};

const auto* const ProcessLocaleRegistration =
    ::testing::AddGlobalTestEnvironment(new ProcessLocale);

} // namespace

namespace {

// CTest runs the locale-sensitive suites under the locale named in VTR8_TEST_LOCALE; it must
// really be the process's, or the Czech entries would only repeat the others.
TEST(ProcessLocale, IsTheOneCTestNamed)
{
    const char* wanted = std::getenv("VTR8_TEST_LOCALE");
    if (wanted == nullptr)
        GTEST_SKIP() << "not started by CTest";
    const char expected = std::string(wanted).rfind("cs_", 0) == 0 ? ',' : '.';
    EXPECT_EQ(std::localeconv()->decimal_point[0], expected) << wanted;
}

} // namespace
