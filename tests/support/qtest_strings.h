// Failed comparisons of byte strings show their bytes, control characters escaped.
#pragma once

#include <QTest>
#include <string>

template <>
inline char* QTest::toString(const std::string& s) {
    return qstrdup(QByteArray::fromStdString(s).toPercentEncoding(" :?;,.!*#").constData());
}
