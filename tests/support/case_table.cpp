#include "support/case_table.h"

#include <QFile>
#include <QTest>

namespace curvalon::test {

void addCaseRows(const char* name, std::initializer_list<const char*> columns) {
    for (const char* column : columns)
        QTest::addColumn<QByteArray>(column);
    QFile file(QStringLiteral(CURVALON_CASES_DIR "/%1.txt").arg(name));
    if (!file.open(QIODevice::ReadOnly)) qFatal("no case table %s", qPrintable(file.fileName()));
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n')) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith('#')) continue;
        line.replace("\\r", "\r").replace("\\n", "\n").replace("\\t", "\t");
        // A field may hold a bar of its own: only " | " separates.
        const QList<QByteArray> cells = line.replace(" | ", "\x1f").split('\x1f');
        if (cells.size() > qsizetype(columns.size()) + 1)
            qFatal("%s: too many fields: %s", name, line.constData());
        QTestData& row = QTest::newRow(cells[0].constData());
        for (qsizetype c = 1; c <= qsizetype(columns.size()); ++c)
            row << cells.value(c);
    }
}

}  // namespace curvalon::test
