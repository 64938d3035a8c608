#include "support/core_application.h"

#include <QCoreApplication>

namespace vtr8::test {

void EnsureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "vtr8-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

} // namespace vtr8::test
