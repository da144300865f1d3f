// Finding values in replies and reading numbers the way the instrument writes them.
#include <QTest>
#include <cmath>
#include <limits>

#include "protocol/reply_scan.h"

using namespace curvalon;
using namespace std::string_literals;

Q_DECLARE_METATYPE(std::string)

namespace {
const std::string kHorizontal =
    ":HORIZONTAL:VIEW MAIN;RECORDLENGTH 2500;MAIN:SCALE 5.0E-4;POSITION 1.0E-4;"
    ":HORIZONTAL:DELAY:SCALE 5.0E-5;POSITION 2.0E-4\r";
const std::string kChannel =
    ":CH1:PROBE 1.0E1;SCALE 5.0E-1;POSITION -1.02E0;COUPLING DC;BANDWIDTH OFF\r";
const std::string kMissing = "<missing>";
}  // namespace

class ReplyScanTest : public QObject {
    Q_OBJECT

  private slots:
    // The value found for a keyword; LEVEL is read to the end of the reply.
    void values_data() {
        QTest::addColumn<std::string>("reply");
        QTest::addColumn<std::string>("keyword");
        QTest::addColumn<std::string>("value");
        const std::string trigger = ":TRIGGER:MAIN:LEVEL 1.20E0;HOLDOFF:VALUE 5.0E-7\r";
        // clang-format off
        QTest::newRow("main scale first") << kHorizontal << "SCALE"s << "5.0E-4"s;
        QTest::newRow("main position first") << kHorizontal << "POSITION"s << "1.0E-4"s;
        QTest::newRow("last item runs to the terminator") << kChannel << "BANDWIDTH"s << "OFF"s;
        QTest::newRow("before YUNIT") << ":CH1:INVERT ON;YUNIT \"V\"\r"s << "INVERT"s << "ON"s;
        QTest::newRow("missing keyword") << kChannel << "INVERT"s << kMissing;
        QTest::newRow("separator right after keyword") << "SCALE;POSITION 1\r"s << "SCALE"s << ""s;
        QTest::newRow("keyword at the very end") << "A;SCALE"s << "SCALE"s << ""s;
        QTest::newRow("keyword and blank only") << "SCALE \r"s << "SCALE"s << ""s;
        QTest::newRow("empty reply") << ""s << "SCALE"s << kMissing;
        QTest::newRow("NUL before keyword") << std::string("\0X SCALE 2;", 11) << "SCALE"s << "2"s;
        QTest::newRow("bytes above 127") << "COUPLING \xB5\xFF;"s << "COUPLING"s << "\xB5\xFF"s;
        QTest::newRow("level first") << trigger << "LEVEL"s << "1.20E0;HOLDOFF:VALUE 5.0E-7"s;
        QTest::newRow("level last") << "LEVEL -3.0E-1\r"s << "LEVEL"s << "-3.0E-1"s;
        QTest::newRow("level at the very end") << "LEVEL"s << "LEVEL"s << ""s;
        QTest::newRow("level missing") << "MODE AUTO\r"s << "LEVEL"s << kMissing;
        // clang-format on
    }
    void values() {
        QFETCH(std::string, reply);
        QFETCH(std::string, keyword);
        QFETCH(std::string, value);
        const auto found =
            keyword == "LEVEL" ? tailValue(reply, keyword) : itemValue(reply, keyword);
        QCOMPARE(found.value_or(kMissing), value);
    }

    void numbers_data() {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<double>("value");
        const double tooLarge = std::numeric_limits<double>::infinity();  // marks "rejected"

        QTest::newRow("instrument form") << "5.0E-4"s << 5.0e-4;
        QTest::newRow("negative") << "-1.02E0"s << -1.02;
        QTest::newRow("items after the number") << "1.20E0;HOLDOFF:VALUE 5.0E-7"s << 1.2;
        QTest::newRow("blanks and plus") << "  +3.5"s << 3.5;
        QTest::newRow("tab") << "\t7"s << 7.0;
        QTest::newRow("no leading digit") << "-.5"s << -0.5;
        QTest::newRow("trailing point") << "5."s << 5.0;
        QTest::newRow("second point stops") << "1.2.3"s << 1.2;
        QTest::newRow("dangling exponent") << "1E"s << 1.0;
        QTest::newRow("dangling signed exponent") << "1E+"s << 1.0;
        QTest::newRow("exponent then text") << "2E3V"s << 2000.0;
        QTest::newRow("lower-case exponent") << "2.5e2"s << 250.0;
        QTest::newRow("hexadecimal") << "0x1A"s << 0.0;
        QTest::newRow("inf") << "inf"s << 0.0;
        QTest::newRow("nan") << "nan"s << 0.0;
        QTest::newRow("word") << "OFF"s << 0.0;
        QTest::newRow("empty") << std::string() << 0.0;
        QTest::newRow("point only") << "."s << 0.0;
        QTest::newRow("sign then blank") << "- 5"s << 0.0;
        QTest::newRow("largest double") << "1.7976931348623157E308"s << 1.7976931348623157e308;
        QTest::newRow("too large") << "1.0E999"s << tooLarge;
        QTest::newRow("too large negative") << "-1.0E999"s << tooLarge;
        QTest::newRow("too large by digits") << std::string(400, '9') << tooLarge;
        QTest::newRow("too large behind zeros") << "0.0001E400"s << tooLarge;
        QTest::newRow("too small is zero") << "1.0E-999"s << 0.0;
        QTest::newRow("too small behind zeros") << "100000E-330"s << 0.0;
        QTest::newRow("huge exponent digits") << "1E00000000000000000000003"s << 1000.0;
        QTest::newRow("zero with huge exponent") << "0E99999999999"s << 0.0;
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
