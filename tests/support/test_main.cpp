#include "support/test_main.h"

#include "render/fonts.h"

#include <QApplication>

#include <cstring>
#include <map>
#include <memory>

namespace tessik::test {

static std::map<std::string, QObject *(*)()> &registry()
{
    static std::map<std::string, QObject *(*)()> tests; // run in name order
    return tests;
}

bool registerTest(const char *name, QObject *(*make)())
{
    return registry().emplace(name, make).second;
}

} // namespace tessik::test

// Runs every registered class and fails when any of them fails. With a class name as the first
// argument only that class runs, and the arguments after it go to Qt Test (a function name, -v2).
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tessik::nameArialStandIn(); // as the program starts
    auto tests = tessik::test::registry();
    if (argc > 1 && tests.count(argv[1]) > 0) {
        tests = {*tests.find(argv[1])};
        argv[1] = argv[0];
        --argc;
        ++argv;
    }
    int failed = 0;
    for (const auto &[name, make] : tests)
        failed += QTest::qExec(std::unique_ptr<QObject>(make()).get(), argc, argv) != 0 ? 1 : 0;
    return failed;
}
