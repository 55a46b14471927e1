#pragma once

#include <QObject>
#include <QTest>

#include <QString>

#include <initializer_list>
#include <memory>
#include <utility>

namespace tessik::test {

// Adds a test class to the program's list; the shared main runs every class on the list.
bool registerTest(const char *name, QObject *(*make)());

// A data-driven test with one column "row" holding a struct or a tuple: one line a named row.
template <typename Row> void addRows(std::initializer_list<std::pair<const char *, Row>> rows)
{
    QTest::addColumn<Row>("row");
    for (const auto &[name, row] : rows)
        QTest::newRow(name) << row;
}

// One fact a test checks among several: what it is, what it was, what it should be.
template <typename T> struct Fact {
    const char *name;
    T actual;
    T expected;
};

// Every fact that does not hold, named, with what it was and what it should be; empty when all hold.
template <typename T> QString factsOff(std::initializer_list<Fact<T>> facts)
{
    QString off;
    for (const Fact<T> &fact : facts) {
        if (fact.actual == fact.expected)
            continue;
        const std::unique_ptr<char[]> actual(QTest::toString(fact.actual)), expected(QTest::toString(fact.expected));
        off += QStringLiteral("\n  %1: %2, not %3")
                   .arg(QLatin1String(fact.name), QLatin1String(actual.get()), QLatin1String(expected.get()));
    }
    return off;
}

} // namespace tessik::test

// Several facts checked together; a failure names each one that is off.
#define COMPARE_FACTS(T, ...)                                                                                          \
    do {                                                                                                               \
        const QString off = tessik::test::factsOff<T>({__VA_ARGS__});                                                  \
        QVERIFY2(off.isEmpty(), qPrintable(QStringLiteral("facts that do not hold:") + off));                          \
    } while (false)

// One line after a test class: registers it with the program it is built into.
#define TESSIK_TEST(Class)                                                                                             \
    static const bool Class##Registered = tessik::test::registerTest(#Class, []() -> QObject * { return new Class; });
