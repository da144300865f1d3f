// Case tables kept as text in tests/cases/<name>.txt, for tables whose rows are plain strings:
// a "#" line or a blank one is a comment, every other line a row "name | value | value ...".
// Fields are split at " | " and kept as they stand otherwise; missing fields at the end are
// empty. \r, \n and \t stand for a carriage return, a line feed and a tab.
#pragma once

#include <initializer_list>

namespace curvalon::test {

// Adds the columns, all QByteArrays, and the file's rows to the running _data() function.
void addCaseRows(const char* name, std::initializer_list<const char*> columns);

}  // namespace curvalon::test
