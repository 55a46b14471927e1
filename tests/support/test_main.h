#pragma once

#include <QObject>
#include <QTest>

#include <initializer_list>
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

} // namespace tessik::test

// One line after a test class: registers it with the program it is built into.
#define TESSIK_TEST(Class)                                                                                             \
    static const bool Class##Registered = tessik::test::registerTest(#Class, []() -> QObject * { return new Class; });
