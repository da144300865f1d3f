// Saved files read back for review without the instrument: the tool's own data files, the
// instrument's waveform files and a recording's index, each to the exact counts and settings
// they were written from, or refused with the line at fault.
#include <QClipboard>
#include <QtTest>
#include <cstring>
#include <functional>

#include "analysis/data_file_reader.h"
#include "analysis/data_table.h"
#include "analysis/instrument_csv.h"
#include "analysis/measurements.h"
#include "analysis/recording_index.h"
#include "analysis/text_fields.h"
#include "support/case_table.h"
#include "support/qtest_strings.h"
#include "support/shell_rig.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

// Every count from -128 to 127 in each source, in an order of the source's own.
void fillSamples(Acquisition& a) {
    for (std::size_t src = 0; src < kSourceCount; ++src)
        for (std::size_t k = 0; k < kSamples; ++k)
            a.samples[src][k] = std::int8_t((k * (2 * src + 1) + 40 * src) % 256 - 128);
}

// CH1 and CH2 in volts, CH3 left out, CH4 with its volts per division not read, REFA and REFC in
// counts, REFB left out.
Acquisition wideAcquisition(double voltDiv, double position, double timeDiv, double horPosition) {
    Acquisition a = unreadAcquisition();
    a.live = true, a.stampText = "2024.05.06  14:03.12", a.stamp = {2024, 5, 6, 14, 3, 12};
    a.timeDiv = timeDiv, a.horPosition = horPosition, a.trigSource = "CH2", a.trigLevel = -0.35;
    for (std::size_t ch : {0, 1})
        a.voltDiv[ch] = voltDiv * (ch + 1), a.positionDiv[ch] = position * (1 - 2.0 * ch);
    a.probe = {10, 1, 0, 100};
    a.coupling = {"DC", "AC", "", "GND"}, a.bandwidth = {"OFF", "ON", "", "OFF"};
    a.invert = {"OFF", "ON", "", "OFF"};
    a.valid = {true, true, false, true, true, false, true, false};
    fillSamples(a);
    return a;
}

QString differences(const Acquisition& a, const Acquisition& b) {
    QStringList out;
    const auto stamp = [](const std::optional<LocalDateTime>& t) {
        return t ? std::tuple{t->year, t->month, t->day, t->hour, t->minute, t->second}
                 : std::tuple{-1, 0, 0, 0, 0, 0};
    };
    const std::pair<const char*, bool> same[] = {
        {"live", a.live == b.live},
        {"stamp", a.stampText == b.stampText && stamp(a.stamp) == stamp(b.stamp)},
        {"time base", a.timeDiv == b.timeDiv && a.horPosition == b.horPosition},
        {"trigger", a.trigSource == b.trigSource && a.trigLevel == b.trigLevel},
        {"volts", a.voltDiv == b.voltDiv && a.positionDiv == b.positionDiv && a.probe == b.probe},
        {"texts", a.coupling == b.coupling && a.bandwidth == b.bandwidth && a.invert == b.invert},
        {"read", a.failure == b.failure && a.settingsStampText == b.settingsStampText},
        {"names and valid", a.names == b.names && a.valid == b.valid}};
    for (const auto& [what, equal] : same)
        if (!equal) out << what;
    for (std::size_t src = 0; src < kSourceCount; ++src)
        if (a.valid[src] && a.samples[src] != b.samples[src]) out << QString("samples %1").arg(src);
    return out.join(", ");
}

double instrumentCount(int k) {
    return (k * 7) % 256 - 128;
}

// Written as the instrument writes its waveform files, the counts instrumentCount's, from a
// recipe of changes (see the case table): key=value words, "_" for a blank in the value; "short"
// for numbers of three digits, "short18" for settings on lines of their own.
std::string instrumentCsv(const QByteArray& recipe) {
    QMap<QByteArray, QByteArray> r = {{"source", "CH1"},    {"scale", "0.5"}, {"offset", "-2.16"},
                                      {"interval", "4e-3"}, {"trigger", "0"}, {"length", "2500"},
                                      {"units", "V"},       {"hunits", "s"},  {"probe", "10"},
                                      {"lines", "2500"},    {"eol", "\n"},    {"comma", ","}};
    for (const QByteArray& word : recipe.split(' ')) {
        const auto at = word.contains('=') ? word.indexOf('=') : word.size();
        r[word.left(at)] = word.mid(at + 1).replace('_', ' ');
    }
    const bool brief = r.contains("short");
    const double scale = r["scale"].toDouble(), interval = r["interval"].toDouble();
    const double offset = r["offset"].toDouble();
    const auto number = [&](const QByteArray& x) {
        return QByteArray::number(x.toDouble(), brief ? 'E' : 'e', brief ? 2 : 6);
    };
    // clang-format off
    const QByteArrayList labels = QByteArray("Record Length;Sample Interval;Trigger Point;;;;Source;"
        "Vertical Units;Vertical Scale;Vertical Offset;Horizontal Units;Horizontal Scale;Pt Fmt;"
        "Yzero;Probe Atten;Model Number;Serial Number;Firmware Version").split(';');
    const QByteArrayList values = {number(r["length"]), number(r["interval"]), number(r["trigger"]),
        {}, {}, {}, r["source"], r["units"], number(r["scale"]), number(r["offset"]), r["hunits"],
        number(r.value("hscale", QByteArray::number(interval * 250))), "Y", number("0"),
        number(r["probe"]), "MODEL", "S000000", "FV:v1.00"};
    // clang-format on
    QByteArray out;
    for (int k = 0; k < r["lines"].toInt(); ++k) {
        const bool labelled = k < 18 && labels[k] != r.value("drop") && !r.contains("short18");
        if (r.contains("short18") && k < 18) out += labels[k] + ',' + values[k] + r["eol"];
        const double t = (k - r["trigger"].toDouble() - r["timeshift"].toDouble()) * interval;
        QByteArray time = QByteArray::number(t, brief ? 'E' : 'f', brief ? 2 : 12);
        const double v = instrumentCount(k) * scale / 25 - offset;
        QByteArray value = brief ? QByteArray::number(v, 'E', 4) : QByteArray::number(v, 'f', 5);
        if (k < 18 && !brief) time = time.rightJustified(17);
        time = r.value("time" + QByteArray::number(k), time);
        value = r.value("value" + QByteArray::number(k), value.rightJustified(10));
        out += (labelled ? labels[k] + ',' + values[k] : ",") + ",," + time + ',' + value +
               r["comma"] + r["eol"];
    }
    return out.toStdString();
}

const char* const kIndexHeader =
    "sequence,file,time,time per division (s),CH1 volts per division (V),CH1 frequency (Hz),CH2 "
    "volts per division (V),CH2 frequency (Hz),CH3 volts per division (V),CH3 frequency (Hz),CH4 "
    "volts per division (V),CH4 frequency (Hz),span from (s),span to (s),status\r\n";

}  // namespace

class ReviewTest : public QObject {
    Q_OBJECT

  private slots:
    // Written and read back at volts per division and time bases from the smallest to the
    // largest, positions not on a whole count: every count and every setting as it was.
    void dataFileRoundTrip_data() {
        QTest::addColumn<char>("separator");
        for (const char* tag : {"live", "time base not read", "demo, nothing read", "read failed"})
            QTest::newRow(tag) << ',';
        QTest::newRow("live, clipboard") << '\t';
    }
    void dataFileRoundTrip() {
        QFETCH(char, separator);
        const QByteArray tag = QTest::currentDataTag();
        const std::tuple<double, double, double, double> scales[] = {{0.002, 0.37, 2.5e-9, 0},
                                                                     {0.05, -4.32, 5e-6, 1.2e-5},
                                                                     {0.5, 0, 0.0005, -0.0025},
                                                                     {5, 2.04, 1, 5},
                                                                     {2, -0.2, 50, -250}};
        for (const auto& [voltDiv, position, timeDiv, horPosition] : scales) {
            Acquisition a = wideAcquisition(voltDiv, position, timeDiv, horPosition);
            if (tag == "time base not read") a.timeDiv = a.horPosition = 0;
            if (tag.startsWith("demo")) {
                const Acquisition demo = a;
                a = unreadAcquisition(), a.valid = demo.valid, a.samples = demo.samples;
                a.stampText = demo.stampText, a.stamp = demo.stamp;
            }
            if (tag == "read failed")
                a.failure = "no reply, (CH2) timed out",
                a.settingsStampText = "2024.05.06  14:01.00";
            const std::string notes =
                "measured between the time cursors only: from 0 s to 1 s\nmeasurement,unit,CH1\n"
                "note CH2: no complete cycle";
            const auto back = readDataFile(dataTable(a, {0, 1, 2, 3, 4, 5, 6}, separator, notes));
            QVERIFY2(back.ok(), back.error.what.c_str());
            QCOMPARE(differences(*back.value, a), QString());
        }
    }

    void refusals_data() { addCaseRows("review-refusals", {"replace", "with", "line", "what"}); }
    void refusals() {
        const auto [replace, with, line, what] = caseFields("replace", "with", "line", "what");
        std::string text;
        if (QByteArray(QTest::currentDataTag()).startsWith("data")) {
            Acquisition a = wideAcquisition(0.5, 0.37, 0.0005, -0.0025);
            a.trigSource = "CH1", a.trigLevel = 1.5;
            for (std::size_t k = 0; k < kSamples; ++k)
                a.samples[0][k] = std::int8_t(k % 256 - 128),
                a.samples[4][k] = std::int8_t(127 - k % 256);
            text = dataTable(a, {0, 4}, ',');
            if (replace.isEmpty())
                text += with.toStdString();
            else
                text.replace(text.find(replace.toStdString()), replace.size(), with.toStdString());
        } else {
            text = instrumentCsv(replace);
        }
        const ReadError e = QByteArray(QTest::currentDataTag()).startsWith("data")
                                ? readDataFile(text).error
                                : readInstrumentCsv(text).error;
        QVERIFY2(e.what.find(what.toStdString()) != std::string::npos, e.what.c_str());
        QCOMPARE(e.line, line.toInt());
    }

    // The instrument's own files at both number spellings, both line ends, with and without the
    // comma at the end: the channel its Source names, the counts it was written from (-128 and
    // 127 among them), and settings that make the tool's volts and times the file's own.
    void instrumentFile_data() {
        QTest::addColumn<QByteArray>("recipe");
        QTest::addColumn<QList<double>>(
            "settings");  // channel, V/div, position, s/div, position, probe
        QTest::newRow("as the instrument writes")
            << QByteArray("") << QList<double>{0, 0.5, -4.32, 1, 5, 10};
        QTest::newRow("short spelling, CRLF, no end comma")
            << QByteArray("source=CH2 short eol=\r\n comma= trigger=1250 interval=2e-6 probe=1")
            << QList<double>{1, 0.5, -4.32, 0.0005, 0, 1};
        QTest::newRow("2 mV, 0.37 div")
            << QByteArray("source=CH3 scale=0.002 offset=0.00074 interval=1e-8 trigger=625")
            << QList<double>{2, 0.002, 0.37, 2.5e-6, 6.25e-6, 10};
        QTest::newRow("5 V, trigger at the end")
            << QByteArray("source=CH4 scale=5 offset=12.5 interval=0.2 trigger=2500 probe=100")
            << QList<double>{3, 5, 2.5, 50, -250, 100};
    }
    void instrumentFile() {
        QFETCH(QByteArray, recipe);
        QFETCH(QList<double>, settings);
        const auto read = readInstrumentCsv(instrumentCsv(recipe));
        QVERIFY2(read.ok(), read.error.what.c_str());
        const Acquisition& a = *read.value;
        const auto ch = std::size_t(settings[0]);
        for (std::size_t src = 0; src < kSourceCount; ++src)
            QCOMPARE(a.valid[src], src == ch);
        QCOMPARE((QList<double>{settings[0], a.voltDiv[ch], a.positionDiv[ch], a.timeDiv,
                                a.horPosition, double(a.probe[ch])}),
                 settings);
        for (int k = 0; k < kSamples; ++k)
            QCOMPARE(a.samples[ch][k], std::int8_t(instrumentCount(k)));
    }

    // One to four files as one acquisition; a channel twice, another time base or a fault in one
    // file refused with that file's name.
    void instrumentFilesTogether() {
        std::vector<NamedFile> files;
        for (int ch = 1; ch <= 4; ++ch) {
            const QByteArray recipe =
                "source=CH" + QByteArray::number(ch) + " scale=" + QByteArray::number(ch);
            files.push_back({"F0001CH" + std::to_string(ch) + ".CSV", instrumentCsv(recipe)});
            const auto all = readInstrumentFiles(files);
            QVERIFY2(all.ok(), all.error.what.c_str());
            for (std::size_t src = 0; src < kSourceCount; ++src)
                QCOMPARE(all.value->valid[src], src < std::size_t(ch));
            QCOMPARE(all.value->voltDiv[ch - 1], double(ch));
            QCOMPARE(all.value->samples[ch - 1][7], std::int8_t(instrumentCount(7)));
        }
        const std::pair<const char*, const char*> refused[] = {
            {"source=CH2", "CH2 is in an earlier file too"},
            {"source=CH4 interval=2e-3", "its time base differs from that of F0001CH1.CSV"},
            {"source=CH4 trigger=1", "its time base differs"},
            {"source=CH4 length=2000", "Record Length"}};
        for (const auto& [recipe, what] : refused) {
            const std::vector<NamedFile> three = {
                files[0], files[1], {"LATE.CSV", instrumentCsv(recipe)}};
            const ReadError e = readInstrumentFiles(three).error;
            QCOMPARE(e.file + ": " + e.what.substr(0, std::strlen(what)),
                     "LATE.CSV: " + std::string(what));
        }
        // Triggered at the record's middle, both at a position of exactly 0 s: one time base.
        const auto centred =
            readInstrumentFiles({{"F0002CH1.CSV", instrumentCsv("trigger=1250")},
                                 {"F0002CH2.CSV", instrumentCsv("source=CH2 trigger=1250")}});
        QVERIFY2(centred.ok(), centred.error.what.c_str());
        QCOMPARE(centred.value->horPosition, 0.0);
        // At the fastest time bases, 2.5 ns and 5 ns per division differ as much as any two.
        const auto fastest =
            readInstrumentFiles({{"F0004CH1.CSV", instrumentCsv("interval=1e-11")},
                                 {"F0004CH2.CSV", instrumentCsv("source=CH2 interval=2e-11")}});
        QCOMPARE(fastest.error.what.substr(0, 22), std::string("its time base differs "));
        QCOMPARE(readInstrumentFiles({}).error.what, std::string("no file chosen"));
        QCOMPARE(
            instrumentFilesIn({"F0003CH2.CSV", "F0003TEK.BMP", "f0003ch3.csv", "F003CH1.CSV",
                               "F0003CH5.CSV", "F0003CH1.CSV.bak", "F0003CH1.CSV", "F0003MTH.CSV"}),
            (std::vector<std::string>{"F0003CH1.CSV", "F0003CH2.CSV", "f0003ch3.csv"}));
        for (const char* name : {"FX003CH1.CSV", "F0X03CH1.CSV", "F00X3CH1.CSV", "F000XCH1.CSV",
                                 "F0003CX1.CSV", "F0003CH1XCSV"})
            QVERIFY2(instrumentFilesIn({name}).empty(), name);
        // Fields lose the blanks and tabs around them, and nothing else.
        for (const auto& [padded, bare] :
             {std::pair{" \tCH1 \t", "CH1"}, {"CH1", "CH1"}, {"  ", ""}, {"a b ", "a b"}})
            QCOMPARE(std::string(trimmed(padded)), std::string(bare));
    }

    // A recording's index: a completed read, a failed one whose box text holds commas and quotes,
    // one in UTC; a row at fault refused at its line.
    void recordingIndex() {
        const std::string empties(12, ',');
        const std::string text =
            std::string(kIndexHeader) +
            "1,curvalon-20261208-140311-123.csv,2026-12-08T14:03:11.123+01:00,0.0005" +
            std::string(11, ',') + "\r\n" + "2,,2026-12-08T14:03:12.124+01:00" + empties +
            "\"no reply, \"\"CH2\"\", timed out\"\r\n" +
            "\r\n3,curvalon-20261208-140313-125.csv,2026-12-08T13:03:13.125Z" + empties + "\n";
        const auto read = readRecordingIndex(text);
        QVERIFY2(read.ok(), read.error.what.c_str());
        QCOMPARE(read.value->size(), std::size_t(3));
        const IndexRow &done = (*read.value)[0], &failed = (*read.value)[1],
                       &utc = (*read.value)[2];
        QCOMPARE(done.file, std::string("curvalon-20261208-140311-123.csv"));
        QCOMPARE(failed.file + "|" + failed.status, std::string("|no reply, \"CH2\", timed out"));
        QCOMPARE(done.status + utc.timeText, std::string("2026-12-08T13:03:13.125Z"));
        QCOMPARE((QList<std::int64_t>{done.sequence, failed.sequence, utc.sequence, utc.line,
                                      failed.time.utcMilliseconds - done.time.utcMilliseconds,
                                      utc.time.utcMilliseconds - done.time.utcMilliseconds}),
                 (QList<std::int64_t>{1, 2, 3, 5, 1001, 2002}));
        const std::tuple<std::string, int, const char*> refused[] = {
            {"", 1, "no header naming the columns"},
            {"sequence,file,time\n", 1, "no column \"status\""},
            {std::string(kIndexHeader) + "1,a.csv,2026-12-08T14:03:11" + empties + "\"open\n", 2,
             "not closed"},
            {std::string(kIndexHeader) + "x,a.csv,2026-12-08T14:03:11" + empties + "\n", 2,
             "sequence \"x\""},
            {std::string(kIndexHeader) + "1,a.csv,2026-12-08T14:03:11\n", 2,
             "3 cells where the header names 15"}};
        for (const auto& [bad, line, what] : refused) {
            const ReadError e = readRecordingIndex(bad).error;
            QVERIFY2(e.what.find(what) != std::string::npos && e.line == line, e.what.c_str());
        }
    }

    void indexTimes() {
        const std::pair<const char*, std::int64_t> valid[] = {
            {"2026-12-08T14:03:11.123+01:00", 1796734991123},
            {"2024-02-29T23:59:59.999-05:30", 1709270999999},  // a leap day, half an hour west
            {"2024-03-01T00:00:00Z", 1709251200000},
            {"1970-01-01T00:00:00", 0},
            {"2000-01-01T00:00:00.000+14:00", 946634400000},
            {"2026-12-31T23:59:60Z", 1798761600000}};  // the last day, a leap second
        for (const auto& [text, ms] : valid)
            QCOMPARE(indexTimeOf(text).value_or(IndexTime{{}, 0, 0, -1}).utcMilliseconds, ms);
        for (const char* text :
             {"2026-12-08 14:03:11", "2026-13-08T14:03:11", "2026-12-08T24:03:11",
              "2026-12-08T14:03:11.12", "2026-12-08T14:03:11+0100", "2026-12-08T14:03:11+01:60",
              "2026-12-08T14:03", "2026/12/08T14:03:11", "2026-00-08T14:03:11",
              "2026-12-00T14:03:11", "2026-12-32T14:03:11", "2026-12-08T14:60:11",
              "2026-12-08T14:03:61", "2026-12-08X14:03:11", "2026-12-08T14-03:11"})
            QVERIFY2(!indexTimeOf(text), text);
    }

    // Refused before it is read, each reader alike, just over the limit and not at it.
    void fileSizeLimit() {
        const std::function<ReadError(const std::string&)> readers[] = {
            [](const std::string& b) { return readDataFile(b).error; },
            [](const std::string& b) { return readInstrumentCsv(b).error; },
            [](const std::string& b) { return readRecordingIndex(b).error; }};
        std::string bytes(kMaxFileBytes, '#');
        for (const auto& read : readers) {
            QVERIFY(read(bytes).what.find("more than") == std::string::npos);
            bytes += '#';
            QCOMPARE(read(bytes).what, std::string("the file holds 10485761 bytes, more than the "
                                                   "10485760 a file for review may hold"));
            bytes.pop_back();
        }
        QCOMPARE(errorText("a.csv", {12, "why"}) + errorText("a.csv", {0, "why", "b.csv"}),
                 std::string("a.csv: line 12: whyb.csv: why"));
    }

    // In the whole tool: a live read saved and opened again shows the same picture, readout
    // and measurements, and Save writes what was opened back unchanged; the title names the
    // file; nothing goes on the line.
    void savedReadOpened() {
        Rig r;
        QTemporaryDir dir;
        r.play(" ");
        r.chooseFile = [&](QFileDialog& d) { d.setDirectory(dir.path()), d.selectFile("a.csv"); };
        r.play("[Save(&S)]");
        const Snapshot saved = r.app.measure().acquisition();
        const QImage picture = r.window.picture();
        const std::string measured = measurementTable(r.app.measure().readings(), '\t');
        r.device.lines.clear();
        r.app.openPaths({dir.filePath("a.csv")});
        QCOMPARE(r.window.windowTitle(), "Curvalon (v1.0a) - a.csv");
        QCOMPARE(r.status(),
                 "Opened " + QDir::toNativeSeparators(dir.filePath("a.csv")).toStdString());
        QCOMPARE(differences(*r.app.measure().acquisition(), *saved), QString());
        QCOMPARE(r.window.picture(), picture);
        QCOMPARE(measurementTable(r.app.measure().readings(), '\t'), measured);
        r.chooseFile = [&](QFileDialog& d) { d.setDirectory(dir.path()), d.selectFile("b.csv"); };
        r.play("[Save(&S)]");
        QFile a(dir.filePath("a.csv")), b(dir.filePath("b.csv"));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
        QVERIFY(r.device.lines.empty());
        // Leaving: a read brings the instrument's picture and the title back.
        r.play(" ");
        QCOMPARE(r.window.windowTitle(), "Curvalon (v1.0a)");
        QVERIFY(!r.app.review().active() && r.app.measure().acquisition() != saved);
        QVERIFY(!r.device.lines.empty());
    }

    // The instrument's files of one acquisition, chosen as their folder: one channel each, the
    // settings they hold shown and those they do not blank; saved in the tool's format and
    // opened again, the same acquisition. Without an instrument, leaving brings demo mode back.
    void instrumentFolderOpened() {
        Rig r(false);
        r.play(" ");  // refused in demo mode, as it will be once the review is left
        const Snapshot demo = r.app.measure().acquisition();
        const QImage demoPicture = r.window.picture();
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("ALL0001");
        const QDir all(dir.filePath("ALL0001"));
        for (const char* source : {"CH1", "CH4"}) {
            QFile f(all.filePath(QString("F0001%1.CSV").arg(source)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::fromStdString(instrumentCsv(QByteArray("source=") + source)));
        }
        // The folder chosen in the dialog and Open pressed: it opens instead of being entered.
        r.chooseFile = [&](QFileDialog& d) { d.setDirectory(dir.path()), d.selectFile("ALL0001"); };
        r.play("[Open\u2026(&O)]");
        QCOMPARE(r.window.windowTitle(), "Curvalon (v1.0a) - F0001CH1.CSV, F0001CH4.CSV");
        QCOMPARE(shownSources(r.app.state()), (std::vector<int>{0, 3}));
        QCOMPARE(r.window.field(Field::TimeDivTim, 0)->text(), "1");
        QCOMPARE(r.window.field(Field::ChDivV, 3)->text(), "500");
        QCOMPARE(r.window.field(Field::TrigerCH, 0)->text(), "");
        QCOMPARE(r.window.field(Field::Coupling, 0)->text(), "");
        const Snapshot opened = r.app.measure().acquisition();
        r.chooseFile = [&](QFileDialog& d) { d.setDirectory(dir.path()), d.selectFile("c.csv"); };
        r.play("[Save(&S)]");
        r.app.openPaths({dir.filePath("c.csv")});
        QCOMPARE(differences(*r.app.measure().acquisition(), *opened), QString());
        r.play(" ");
        QCOMPARE(r.window.windowTitle(), "Curvalon (v1.0a)");
        QCOMPARE(differences(*r.app.measure().acquisition(), *demo), QString());
        QCOMPARE(r.window.picture(), demoPicture);
    }

    // Leaving a review puts back the channels the operator had on, each of them; without an
    // instrument the demo waveforms come back on the plot.
    void leavingPutsTheScreenBack() {
        QTemporaryDir dir;
        {
            Rig r;
            const auto channels = [&r] {
                const auto& on = r.app.state().chEnable;
                return std::vector<int>(on.begin(), on.begin() + kChannelCount);
            };
            r.play(" 134");  // CH2 alone into the file
            r.chooseFile = [&](QFileDialog& d) {
                d.setDirectory(dir.path()), d.selectFile("b.csv");
            };
            r.play("[Save(&S)]134 3");
            QCOMPARE(channels(), (std::vector<int>{1, 1, 0, 1}));
            r.app.openPaths({dir.filePath("b.csv")});
            QCOMPARE(channels(), (std::vector<int>{0, 1, 0, 0}));
            r.play("R");  // reads the references only: the channels stay as they were put back
            QVERIFY(!r.app.review().active());
            QCOMPARE(channels(), (std::vector<int>{1, 1, 0, 1}));
        }
        Rig demo(false);
        demo.play("[Measurements(&M)]");
        QTableWidget* table = demo.app.measurementWindow()->table();
        const int columns = table->columnCount();
        const QImage plot = demo.window.surface().image().copy();
        demo.play("[Copy picture and data(&C)]");
        const QImage copied = QApplication::clipboard()->image();
        demo.app.openPaths({dir.filePath("b.csv")});
        QVERIFY(demo.window.surface().image() != plot);
        // The file's record is what the plot draws, from its first sample on, and what a copy
        // shows; its one point of a trend stands at its read's time.
        const Acquisition& opened = *demo.app.measure().acquisition();
        QVERIFY(std::equal(opened.samples[1].begin(), opened.samples[1].end(),
                           demo.app.state().curve[1].begin()));
        demo.play("[Copy picture and data(&C)]");
        const QRect plotPart(160, 0, copied.width() - 160, copied.height());
        QVERIFY(QApplication::clipboard()->image().copy(plotPart) != copied.copy(plotPart));
        const LocalDateTime& t = *opened.stamp;
        QCOMPARE(demo.app.measure().history().time(0),
                 QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second))
                     .toMSecsSinceEpoch());
        demo.play(" ");
        QVERIFY(!demo.app.review().active());
        QCOMPARE(demo.window.surface().image(), plot);
        QVERIFY(!demo.app.measure().acquisition()->live);
        QCOMPARE(table->columnCount(), columns);  // the demo's sources measured again
        // The demo's picture, not the file's: its plot, right of the readout with its time.
        demo.play("[Copy picture and data(&C)]");
        const QImage now = QApplication::clipboard()->image();
        const QRect plotArea(160, 0, copied.width() - 160, copied.height());
        QVERIFY(now.size() == copied.size() && now.copy(plotArea) == copied.copy(plotArea));
    }

    // A recording of four reads, the second failed and the third's file gone: opened on its
    // first read, stepped with PageDown, PageUp, Home and End, passing the two with their reason.
    void recordingStepped() {
        Rig r;
        QTemporaryDir dir;
        r.chooseFile = [&](QFileDialog& d) { d.setDirectory(dir.path()); };
        r.play("[Record\u2026] ");
        r.instrument.setFault(Fault::Silence, "CH2?");
        r.play(" ");
        r.instrument.clearFaults();
        r.play("  [Record\u2026]");
        QStringList files = QDir(dir.path()).entryList({"curvalon-*.csv"}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 3);
        QVERIFY(QFile::remove(dir.filePath(files[1])));
        r.device.lines.clear();
        r.app.openPaths({dir.filePath("index.csv")});
        const QString folder = QDir(dir.path()).dirName();
        const auto shows = [&](int read, const QString& status) {
            QCOMPARE(r.window.windowTitle(),
                     "Curvalon (v1.0a) - " + folder + " - read " + QString::number(read));
            QVERIFY2(QRegularExpression(status).match(r.window.statusPanel()->text()).hasMatch(),
                     qPrintable(r.window.statusPanel()->text()));
        };
        const QString time = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})";
        shows(1, "^Read 1 of 4, " + time + "$");
        const auto key = [&](Qt::Key k) { QTest::keyClick(&r.window, k); };
        key(Qt::Key_PageDown);
        shows(4, "^Read 4 of 4, " + time +
                     "; passed: read 2 failed \\(Error\\[1\\] Packet receive "
                     "Error\\(CH\\d\\)\\); read 3 is missing \\(" +
                     files[1] + "\\)$");
        key(Qt::Key_PageDown);
        shows(4, "^Read 4 of 4: no later read$");
        key(Qt::Key_Home), shows(1, "^Read 1 of 4, ");
        key(Qt::Key_PageUp), shows(1, "^Read 1 of 4: no earlier read$");
        key(Qt::Key_End), shows(4, "^Read 4 of 4, ");
        key(Qt::Key_PageUp), shows(1, "^Read 1 of 4, " + time + "; passed: read 3 is missing");
        r.play("<F1>");  // the Page keys are listed while they act
        QVERIFY(r.app.helpWindow()->helpMsg()->toPlainText().contains(
            "ESC     : Quit Prog.\n PAGE DOWN / UP : Next / Previous Read\n"));
        QVERIFY(r.device.lines.empty());
    }

    // A file that cannot be read as one of the three gives one box naming the file, the line
    // and what is wrong, and leaves the screen as it was.
    void badFileLeavesTheScreen() {
        Rig r;
        r.play(" ");
        QTemporaryDir dir;
        QFile bad(dir.filePath("F0001CH1.CSV"));
        const std::string text = instrumentCsv("value4=abc");
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write(text.c_str()) > 0);
        bad.close();
        QDir(dir.path()).mkdir("empty");
        const QImage picture = r.window.picture();
        const Snapshot before = r.app.measure().acquisition();
        r.app.openPaths({bad.fileName()});
        r.app.openPaths({dir.filePath("empty")});
        QCOMPARE(r.boxes.size(), std::size_t(2));
        QVERIFY2(QString::fromStdString(r.boxes[0])
                     .startsWith("Curvalon: Cannot open F0001CH1.CSV: line 5: "),
                 r.boxes[0].c_str());
        QCOMPARE(r.boxes[1],
                 std::string("Curvalon: Cannot open empty: holds neither a recording "
                             "(index.csv) nor the instrument's waveform files (FnnnnCHx.CSV)"));
        QCOMPARE(r.window.picture(), picture);
        QVERIFY(r.app.measure().acquisition() == before && !r.app.review().active());
        QCOMPARE(r.window.windowTitle(), "Curvalon (v1.0a)");
    }
};

QTEST_MAIN(ReviewTest)
#include "test_review.moc"
