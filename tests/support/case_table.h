// Case tables kept as text in tests/cases/<name>.txt, for tables whose rows are plain strings:
// a "#" line or a blank one is a comment, every other line a row "name | value | value ...".
// Fields are split at " | " and kept as they stand otherwise; missing fields at the end are
// empty. \r, \n and \t stand for a carriage return, a line feed and a tab.
#pragma once

#include <QByteArray>
#include <QTest>
#include <array>
#include <initializer_list>

namespace curvalon::test {

// Adds the columns, all QByteArrays, and the file's rows to the running _data() function.
void addCaseRows(const char* name, std::initializer_list<const char*> columns);

// The running row's fields of these columns, in this order:
// auto [script, lines] = caseFields("script", "lines");
template <class... Columns>
std::array<QByteArray, sizeof...(Columns)> caseFields(Columns... columns) {
    return {*static_cast<QByteArray*>(QTest::qData(columns, QMetaType::QByteArray))...};
}

}  // namespace curvalon::test
