// Finding values in replies and reading numbers the way the instrument writes them.
#include <QTest>
#include <cmath>
#include <limits>

#include "protocol/reply_scan.h"

using namespace curvalon;

Q_DECLARE_METATYPE(std::string)

namespace {
const std::string kHorizontal =
    ":HORIZONTAL:VIEW MAIN;RECORDLENGTH 2500;MAIN:SCALE 5.0E-4;POSITION 1.0E-4;"
    ":HORIZONTAL:DELAY:SCALE 5.0E-5;POSITION 2.0E-4\r";
const std::string kChannel =
    ":CH1:PROBE 1.0E1;SCALE 5.0E-1;POSITION -1.02E0;COUPLING DC;BANDWIDTH OFF\r";
}  // namespace

class ReplyScanTest : public QObject {
    Q_OBJECT

private slots:
    void itemValues_data() {
        QTest::addColumn<std::string>("reply");
        QTest::addColumn<std::string>("keyword");
        QTest::addColumn<bool>("found");
        QTest::addColumn<std::string>("value");

        QTest::newRow("main scale before the delayed one") << kHorizontal << std::string("SCALE") << true << std::string("5.0E-4");
        QTest::newRow("main position before the delayed one") << kHorizontal << std::string("POSITION") << true << std::string("1.0E-4");
        QTest::newRow("last item runs to the terminator") << kChannel << std::string("BANDWIDTH") << true << std::string("OFF");
        QTest::newRow("item before a later one") << std::string(":CH1:INVERT ON;YUNIT \"V\"\r") << std::string("INVERT") << true << std::string("ON");
        QTest::newRow("missing keyword") << kChannel << std::string("INVERT") << false << std::string();
        QTest::newRow("separator right after keyword") << std::string("SCALE;POSITION 1\r") << std::string("SCALE") << true << std::string();
        QTest::newRow("keyword at the very end") << std::string("A;SCALE") << std::string("SCALE") << true << std::string();
        QTest::newRow("keyword and blank only") << std::string("SCALE \r") << std::string("SCALE") << true << std::string();
        QTest::newRow("empty reply") << std::string() << std::string("SCALE") << false << std::string();
        QTest::newRow("NUL before the keyword") << std::string("\0X SCALE 2;", 11) << std::string("SCALE") << true << std::string("2");
        QTest::newRow("bytes above 127 kept") << std::string("COUPLING \xB5\xFF;") << std::string("COUPLING") << true << std::string("\xB5\xFF");
    }
    void itemValues() {
        QFETCH(std::string, reply);
        QFETCH(std::string, keyword);
        QFETCH(bool, found);
        QFETCH(std::string, value);
        const auto result = itemValue(reply, keyword);
        QCOMPARE(result.has_value(), found);
        if (found) QCOMPARE(*result, value);
    }

    void tailValues_data() {
        QTest::addColumn<std::string>("reply");
        QTest::addColumn<bool>("found");
        QTest::addColumn<std::string>("value");
        QTest::newRow("level with items after it") << std::string(":TRIGGER:MAIN:LEVEL 1.20E0;HOLDOFF:VALUE 5.0E-7\r") << true << std::string("1.20E0;HOLDOFF:VALUE 5.0E-7");
        QTest::newRow("level last") << std::string("LEVEL -3.0E-1\r") << true << std::string("-3.0E-1");
        QTest::newRow("keyword at the very end") << std::string("LEVEL") << true << std::string();
        QTest::newRow("missing") << std::string("MODE AUTO\r") << false << std::string();
    }
    void tailValues() {
        QFETCH(std::string, reply);
        QFETCH(bool, found);
        QFETCH(std::string, value);
        const auto result = tailValue(reply, "LEVEL");
        QCOMPARE(result.has_value(), found);
        if (found) QCOMPARE(*result, value);
    }

    void numbers_data() {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<double>("value");
        const double tooLarge = std::numeric_limits<double>::infinity();  // marks "rejected"

        QTest::newRow("instrument form") << std::string("5.0E-4") << 5.0e-4;
        QTest::newRow("negative") << std::string("-1.02E0") << -1.02;
        QTest::newRow("items after the number") << std::string("1.20E0;HOLDOFF:VALUE 5.0E-7") << 1.2;
        QTest::newRow("blanks and plus") << std::string("  +3.5") << 3.5;
        QTest::newRow("tab") << std::string("\t7") << 7.0;
        QTest::newRow("no leading digit") << std::string("-.5") << -0.5;
        QTest::newRow("trailing point") << std::string("5.") << 5.0;
        QTest::newRow("second point stops") << std::string("1.2.3") << 1.2;
        QTest::newRow("dangling exponent") << std::string("1E") << 1.0;
        QTest::newRow("dangling signed exponent") << std::string("1E+") << 1.0;
        QTest::newRow("exponent then text") << std::string("2E3V") << 2000.0;
        QTest::newRow("lower-case exponent") << std::string("2.5e2") << 250.0;
        QTest::newRow("hexadecimal") << std::string("0x1A") << 0.0;
        QTest::newRow("inf") << std::string("inf") << 0.0;
        QTest::newRow("INFINITY") << std::string("INFINITY") << 0.0;
        QTest::newRow("nan") << std::string("nan") << 0.0;
        QTest::newRow("word") << std::string("OFF") << 0.0;
        QTest::newRow("empty") << std::string() << 0.0;
        QTest::newRow("point only") << std::string(".") << 0.0;
        QTest::newRow("sign then blank") << std::string("- 5") << 0.0;
        QTest::newRow("largest double") << std::string("1.7976931348623157E308") << 1.7976931348623157e308;
        QTest::newRow("too large") << std::string("1.0E999") << tooLarge;
        QTest::newRow("too large negative") << std::string("-1.0E999") << tooLarge;
        QTest::newRow("too large by digits") << std::string(400, '9') << tooLarge;
        QTest::newRow("too large behind zeros") << std::string("0.0001E400") << tooLarge;
        QTest::newRow("too small is zero") << std::string("1.0E-999") << 0.0;
        QTest::newRow("too small behind zeros") << std::string("100000E-330") << 0.0;
        QTest::newRow("huge exponent digits") << std::string("1E00000000000000000000003") << 1000.0;
        QTest::newRow("zero with huge exponent") << std::string("0E99999999999") << 0.0;
    }
    void numbers() {
        QFETCH(std::string, text);
        QFETCH(double, value);
        const auto result = readNumber(text);
        if (std::isinf(value)) {
            QVERIFY2(!result.has_value(), "a number beyond a double must be refused");
        } else {
            QVERIFY(result.has_value());
            QCOMPARE(*result, value);
        }
    }
};

QTEST_GUILESS_MAIN(ReplyScanTest)
#include "test_reply_scan.moc"
