// Curve > Run, Record… and Hold in the whole tool on virtual time, and Run and Record alone: reads
// back to back that the operator can still steer, and files that hold exactly one read each.
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <set>

#include "support/shell_rig.h"

using namespace curvalon;
using namespace curvalon::test;

class RunTest : public QObject {
    Q_OBJECT

  private slots:
    // Curve > Run: full reads back to back, each whole before the next, until Run is chosen
    // again, a failed exchange shows its box, or Esc cancels a wait (a second Esc quits).
    void runRepeatsReads() {
        Rig r;
        const auto reads = [&] {
            return std::count(r.device.lines.begin(), r.device.lines.end(), "SEL?");
        };
        r.play("[Run]");
        QVERIFY(QTest::qWaitFor([&] { return reads() >= 3; }, 5000));
        r.play("[Run]");
        const auto n = reads();
        QTest::qWait(20);
        QVERIFY(reads() == n && !r.app.run().running() && !r.action("Run")->isChecked());
        QCOMPARE(r.status(), "Run: " + std::to_string(n) + " reads");
        const Lines& lines = r.device.lines;
        const auto perRead = std::find(lines.begin() + 1, lines.end(), "SEL?") - lines.begin();
        for (std::size_t i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i], lines[i % perRead]);
        r.instrument.setFault(Fault::Silence, "CH3?");
        r.play("[Run]");
        QVERIFY(QTest::qWaitFor([&] { return !r.app.run().running(); }, 5000));
        QCOMPARE(r.boxes, Lines{"Curvalon: Error[1] Packet receive Error(CH2)"});
        r.clock.at(10, [&] { r.play("<Esc>"); });
        r.play("[Run]");
        QVERIFY(QTest::qWaitFor([&] { return !r.app.run().running(); }, 5000) && r.exits.empty());
        r.play("<Esc>");
        QCOMPARE(r.exits, std::vector<int>{0});
    }

    // Save chosen while a read of a run waits writes at once the last completed read, not the
    // one in progress; copying takes the same.
    void saveDuringARun() {
        Rig r;
        r.instrument.freshAcquisitions = true;  // every read differs
        QTemporaryDir dir;
        r.play(" [Copy data]");
        const QString completed = QApplication::clipboard()->text().replace('\t', ',');
        std::int64_t savedAt = -1;
        int dialogs = 0;
        QString copied;
        r.chooseFile = [&](QFileDialog& dialog) {
            savedAt = r.clock.nowMs(), ++dialogs;
            r.play("[Copy data]");
            copied = QApplication::clipboard()->text().replace('\t', ',');
            dialog.selectNameFilter("Data (*.csv)"), dialog.setDirectory(dir.path());
            dialog.selectFile("during-a-run.csv");
        };
        const std::int64_t start = r.clock.nowMs();
        r.clock.at(1500, [&] { r.play("[Save(&S)]"); });  // during the run's second read
        r.play("[Run]");
        QVERIFY(QTest::qWaitFor([&] { return r.app.run().reads() >= 3; }, 5000));
        r.play("[Run]");
        QCOMPARE(dialogs, 1);
        QCOMPARE(savedAt, start + 1500);
        QFile file(dir.filePath("during-a-run.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString saved = QString::fromLatin1(file.readAll());
        QCOMPARE(saved, copied);
        QVERIFY(saved != completed);  // the run's first read, complete by then
    }

    // Curve > Record…: each read into a row of index.csv, a completed one also into a file of its
    // own that holds only what that read brought: a failed read leaves a row that says why and no
    // file; a write that fails stops it with one box and leaves the files written as they were.
    void recordReads() {
        Rig r;
        QTemporaryDir dir;
        r.chooseFile = [&](QFileDialog& dialog) { dialog.setDirectory(dir.path()); };
        for (int k = 0; k < SimulatedInstrument::kSamples; ++k)  // CH2 at twice CH1's frequency
            r.instrument.waveforms[1][k] = std::int8_t(2 * k % 256 - 128);
        r.play("[Record\u2026] 5 ");
        QCOMPARE(r.status(), std::string("Recorded 3"));
        const QStringList files =
            QDir(dir.path()).entryList({"curvalon-*.csv"}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 3);
        QFile index(dir.filePath("index.csv"));
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(index.readAll()).split('\n');
        QCOMPARE(rows.size(), 5);  // a header, three rows, and the end of the last line
        QCOMPARE(rows[0], QString("sequence,file,time,time per division (s),"
                                  "CH1 volts per division (V),CH1 frequency (Hz),"
                                  "CH2 volts per division (V),CH2 frequency (Hz),"
                                  "CH3 volts per division (V),CH3 frequency (Hz),"
                                  "CH4 volts per division (V),CH4 frequency (Hz),"
                                  "span from (s),span to (s),status"));
        const QRegularExpression name("^curvalon-\\d{8}-\\d{6}-\\d{3}\\.csv$");
        const QStringList full = {"0.0005", "0.5", "1953.12", "0.5", "3906.25"};
        // The key 5 read: CH1 alone, and no settings, which it did not read.
        const QStringList one = {"", "", "1953.12", "", ""};
        for (int i = 0; i < 3; ++i) {
            const QStringList cells = rows[i + 1].split(',');
            QCOMPARE(cells.mid(0, 2), QStringList({QString::number(i + 1), files.value(i)}));
            QVERIFY(name.match(cells[1]).hasMatch());
            QCOMPARE(cells.mid(3, 5), i == 1 ? one : full);
            QCOMPARE(cells.mid(12), QStringList({"", "", ""}));
            QCOMPARE(
                QDateTime::fromString(cells[2], Qt::ISODateWithMs).toString("yyyyMMdd-HHmmss-zzz"),
                cells[1].mid(9, 19));
        }
        QFile one5(dir.filePath(files[1]));
        QVERIFY(one5.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(one5.readAll());
        QVERIFY(text.contains("\n# this read read no settings: they are those read at 20"));
        QVERIFY(text.contains("\nsample,time (s),CH1 (V)\n"));
        {
            const auto fullDisk = fileSizeLimit(100);
            r.play(" ");
        }
        QCOMPARE(r.boxes.size(), std::size_t(1));
        QVERIFY(r.boxes[0].starts_with("Curvalon: Recording stopped: cannot write " +
                                       dir.path().toStdString()));
        QCOMPARE(QDir(dir.path()).entryList({"curvalon-*.csv"}, QDir::Files, QDir::Name), files);
        QVERIFY(!r.action("Record\u2026")->isChecked());
    }

    // Hold: a full read between ACQ:STATE STOP and ACQ:STATE RUN when the instrument acquired,
    // also when an exchange fails or Esc cancels one, so that every channel comes from one
    // acquisition; nothing is set again when it was stopped before.
    void holdAcquisition() {
        // The acquisition each channel came from, as the simulated instrument adds it.
        const auto acquisitions = [](Rig& rig) {
            std::set<int> seen;
            for (int ch = 0; ch < 4; ++ch)
                seen.insert((rig.app.state().curve[ch][0] - rig.instrument.waveforms[ch][0]) &
                            0xff);
            return seen.size();
        };
        Lines plain;
        {
            Rig without;  // alone: a rig's box closer takes any rig's boxes
            without.instrument.freshAcquisitions = true;
            without.play(" ");
            plain = without.device.lines;
            QCOMPARE(acquisitions(without), std::size_t(4));
        }
        Rig r;
        r.instrument.freshAcquisitions = true;
        r.play("[Hold acquisition while reading] ");
        Lines expected = {"ACQ:STATE?", "ACQ:STATE STOP"};
        expected.insert(expected.end(), plain.begin(), plain.end());
        expected.push_back("ACQ:STATE RUN");
        QCOMPARE(r.device.lines, expected);
        QCOMPARE(acquisitions(r), std::size_t(1));
        // CH1 silent: its wait times out, or Esc cancels it.
        const auto answer = r.device.responder;
        bool esc = false;
        r.device.responder = [&](FakeSerialDevice& d, const std::string& line) {
            if (line == "CH1?" && esc) r.clock.at(100, [&] { r.play("<Esc>"); });
            answer(d, line);
        };
        r.instrument.setFault(Fault::Silence, "CH1?");
        for (const char* box :
             {"Error[1] Packet receive Error(CH0)", "Error[9] Packet receive Error(CH0)"}) {
            r.device.lines.clear(), r.boxes.clear();
            r.play(" ");
            esc = true;
            QCOMPARE(r.boxes.front(), std::string("Curvalon: ") + box);
            QCOMPARE(r.device.lines.back(), std::string("ACQ:STATE RUN"));
        }
        r.device.lines.clear();
        r.instrument.acquiring = false;
        r.play(" ");
        QCOMPARE(std::count_if(r.device.lines.begin(), r.device.lines.end(),
                               [](const std::string& l) { return l.starts_with("ACQ:"); }),
                 1);
        // A state the reply does not tell is not taken for acquiring: nothing is stopped.
        r.instrument.acquiring = true, r.device.lines.clear();
        r.device.responder = [&](FakeSerialDevice& d, const std::string& line) {
            line == "ACQ:STATE?" ? d.deliverLater(2, ":ACQUIRE:STATE MAYBE\r") : answer(d, line);
        };
        r.play(" ");
        QCOMPARE(r.device.lines.front(), std::string("ACQ:STATE?"));
        QVERIFY(std::none_of(r.device.lines.begin() + 1, r.device.lines.end(),
                             [](const std::string& l) { return l.starts_with("ACQ:"); }));
        r.device.responder = answer;
        r.instrument.setFault(Fault::Silence, "ACQ:STATE?"), r.boxes.clear(), esc = false;
        r.play(" ");  // the query fails as any other does, with its box
        QCOMPARE(r.boxes.front(), std::string("Curvalon: Error[1] Packet receive Error(ACQ)"));
        r.play("[Hold acquisition while reading]");  // off again: no acquisition commands
        r.device.lines.clear();
        r.play(" ");
        QVERIFY(std::none_of(r.device.lines.begin(), r.device.lines.end(),
                             [](const std::string& l) { return l.starts_with("ACQ:"); }));
    }

    // Inside a wait of a run's read a zoom, a channel key and Record… act at once: the plot keeps
    // the last completed read, drawn again at the new zoom without the channel, and shows the next
    // read only once it is whole.
    void commandsInARunsWait() {
        // The strip and the plot of the window's picture, without the readout column, whose echo
        // fields show the exchange in progress.
        const auto stampless = [](Rig& rig) {
            const QImage picture = rig.window.picture();
            const int left =
                rig.window.stripWidget()->mapTo(rig.window.centralWidget(), QPoint()).x();
            return picture.copy(QRect(left, 0, picture.width() - left, picture.height()));
        };
        QImage firstRead, zoomedFirstRead;
        {
            Rig reference;  // the run's first read alone, then the same keys while idle
            reference.instrument.freshAcquisitions = true;
            reference.play(" ");
            firstRead = stampless(reference);
            reference.play("H2");
            zoomedFirstRead = stampless(reference);
        }
        Rig r;
        r.instrument.freshAcquisitions = true;
        QTemporaryDir dir;
        r.chooseFile = [&](QFileDialog& dialog) { dialog.setDirectory(dir.path()); };
        QImage atStart, beforeKeys, afterKeys;
        bool recording = false;
        const auto answer = r.device.responder;
        r.device.responder = [&](FakeSerialDevice& d, const std::string& line) {
            // Inside the waits for the replies of the run's second read.
            if (r.app.run().reads() == 1 && line == "SEL?")
                r.clock.at(1, [&] { atStart = stampless(r); });
            if (r.app.run().reads() == 1 && line == "CH3?")  // CH4 read and drawn meanwhile
                r.clock.at(1, [&] {
                    beforeKeys = stampless(r);
                    r.play("H2[Record\u2026]");
                    afterKeys = stampless(r);
                    recording = r.app.recorder().active() && r.action("Record\u2026")->isChecked();
                });
            answer(d, line);
        };
        r.play("[Run]");
        QVERIFY(QTest::qWaitFor([&] { return r.app.run().reads() >= 3; }, 5000));
        r.play("[Run]");
        QCOMPARE(atStart, firstRead);
        QCOMPARE(beforeKeys, firstRead);
        QCOMPARE(afterKeys, zoomedFirstRead);
        QVERIFY(recording);
        QCOMPARE(r.app.state().magHIdx, 2);
        // The read in progress when Record… was chosen is the first recorded.
        QCOMPARE(QDir(dir.path()).entryList({"curvalon-*.csv"}).size(), r.app.run().reads() - 1);
        QVERIFY(!r.window.plotHeld());
    }

    // A command that talks to the instrument, given while a read of a run waits, ends the run
    // after that read and then runs; outside a run it is refused with a word.
    void instrumentCommandsEndARun() {
        Rig r;
        const auto answer = r.device.responder;
        r.device.responder = [&](FakeSerialDevice& d, const std::string& line) {
            if (r.app.run().reads() == 1 && line == "CH3?") r.clock.at(1, [&] { r.play("9"); });
            answer(d, line);
        };
        r.play("[Run]");
        QVERIFY(QTest::qWaitFor([&] { return !r.app.run().running(); }, 5000));
        QTest::qWait(5);
        const Lines& lines = r.device.lines;
        QCOMPARE(r.app.run().reads(), 2);
        QCOMPARE(std::count(lines.begin(), lines.end(), "SEL?"), 3);
        QCOMPARE(lines.back(), std::string("SEL?"));
        QCOMPARE(lines[lines.size() - 2], std::string("CURV?"));
        QVERIFY(!r.action("Run")->isChecked() && r.boxes.empty());
        // Once the run has ended, a single read's status texts are its own again.
        std::string during;
        r.clock.at(10, [&] { during = r.status(); });
        r.play(" ");
        QCOMPARE(during, std::string("reading... Select-CH from TDS2024"));
    }

    // Esc ends a run between two reads as during one, and never quits while Run is checked.
    void escapeEndsARun() {
        Rig r;
        const auto answer = r.device.responder;
        r.device.responder = [&](FakeSerialDevice& d, const std::string& line) {
            answer(d, line);
            // Queued on the last curve of the second read: it comes once that read is whole.
            if (line == "CURV?" && r.instrument.dataSource == "CH1" && r.app.run().reads() == 1)
                QMetaObject::invokeMethod(
                    &r.window, [&] { r.play("<Esc>"); }, Qt::QueuedConnection);
        };
        r.play("[Run]");
        QVERIFY(QTest::qWaitFor([&] { return !r.app.run().running(); }, 5000));
        QTest::qWait(5);
        QCOMPARE(r.app.run().reads(), 2);
        QVERIFY(r.exits.empty() && r.boxes.empty());
        QCOMPARE(r.status(), std::string("Run: 2 reads"));
        r.play("<Esc>");
        QCOMPARE(r.exits, std::vector<int>{0});
    }

    // While recording, a read that failed anywhere writes no data file: its index row holds the
    // failure box's text and no values.
    void failedReadsWhileRecording_data() {
        QTest::addColumn<QString>("silent");
        for (const char* line : {"SEL?", "HOR?", "TRIG?", "CH2?", "CURV?"})
            QTest::newRow(line) << line;
    }
    void failedReadsWhileRecording() {
        QFETCH(QString, silent);
        Rig r;
        QTemporaryDir dir;
        r.chooseFile = [&](QFileDialog& dialog) { dialog.setDirectory(dir.path()); };
        r.play("[Record\u2026]");
        r.instrument.setFault(Fault::Silence, silent.toStdString());
        r.play(" ");
        QVERIFY(!r.boxes.empty());
        QVERIFY(QDir(dir.path()).entryList({"curvalon-*.csv"}).isEmpty());
        QFile index(dir.filePath("index.csv"));
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QStringList row = QString::fromUtf8(index.readAll()).split('\n').value(1).split(',');
        QCOMPARE(row.size(), 15);
        QCOMPARE(row[14].toStdString(), r.boxes[0].substr(std::string("Curvalon: ").size()));
        QCOMPARE(row.mid(3, 11) << row[1], QStringList(12, QString()));
        QVERIFY(row[0] == "1" && row[2].startsWith(QDate::currentDate().toString(Qt::ISODate)));
        QCOMPARE(r.status(), std::string("Recorded 0"));
    }

    // The tool ending during a held read lets the instrument run again before the port closes;
    // a port lost during one gets the RUN once it is back and the instrument awake.
    void holdAlwaysLetsGo() {
        {
            Rig r;
            bool openAtRun = false;
            const auto answer = r.device.responder;
            r.device.responder = [&](FakeSerialDevice& d, const std::string& line) {
                if (line == "ACQ:STATE RUN") openAtRun = d.isOpen();
                if (line == "CH3?") r.play("[Exit(&X)]");
                answer(d, line);
            };
            r.play("[Hold acquisition while reading] ");
            QCOMPARE(r.exits, std::vector<int>{0});
            QCOMPARE(std::count(r.device.lines.begin(), r.device.lines.end(), "ACQ:STATE RUN"), 1);
            QVERIFY(openAtRun && r.instrument.acquiring && !r.device.isOpen());
        }
        Rig r;
        r.ports.listed = {{.name = "ttyS0", .location = firstSerialPort()}};
        const auto answer = r.device.responder;
        r.device.responder = [&](FakeSerialDevice& d, const std::string& line) {
            answer(d, line);
            if (line == "CH3?") d.vanish();
        };
        r.play("[Hold acquisition while reading] ");
        QVERIFY(!r.instrument.acquiring && !r.device.isOpen());
        QCOMPARE(std::count(r.device.lines.begin(), r.device.lines.end(), "ACQ:STATE RUN"), 0);
        r.device.responder = answer;
        r.device.lines.clear();
        r.clock.advance(1000);
        QCOMPARE(r.device.lines, (Lines{"DAT:ENC RIB", "SEL?", "ACQ:STATE RUN"}));
        QVERIFY(r.instrument.acquiring);
        QCOMPARE(r.status(), std::string("COM1: Port back, TDS2024 ready"));
        r.device.lines.clear();
        r.play(" ");  // owed once only
        QCOMPARE(std::count(r.device.lines.begin(), r.device.lines.end(), "ACQ:STATE RUN"), 1);
    }

    // Run alone: each read from the event loop once the link is idle, counted; a failed read
    // ends it; a command given during a read runs once that read is done.
    void runControl() {
        bool idle = false, fail = false;
        int reads = 0, commands = 0;
        std::vector<bool> checked;
        RunControl run({.idle = [&] { return idle; },
                        .read =
                            [&] {
                                ++reads;
                                return !fail;
                            },
                        .showChecked = [&](bool on) { checked.push_back(on); },
                        .showProgress = [] {}});
        QVERIFY(run.timer().isSingleShot());
        run.toggle();
        QTest::qWait(30);
        QCOMPARE(reads, 0);  // busy: tried again every 10 ms, never read
        QCOMPARE(run.timer().interval(), RunControl::kRetryMs);
        idle = true;
        QVERIFY(QTest::qWaitFor([&] { return reads >= 3; }, 1000));
        run.toggle();
        const int stopped = reads;
        QTest::qWait(20);
        QCOMPARE(reads, stopped);
        QCOMPARE(checked, (std::vector<bool>{true, false}));
        fail = true;
        run.toggle();
        QVERIFY(QTest::qWaitFor([&] { return !run.running(); }, 1000));
        QCOMPARE(reads, stopped + 1);
        QCOMPARE(run.reads(), 1);
        // Between reads, stopThen runs the command at once from the event loop.
        fail = false;
        run.toggle();
        run.stopThen([&] { ++commands; });
        QVERIFY(QTest::qWaitFor([&] { return commands == 1; }, 1000));
        QVERIFY(!run.running() && !run.reading());
    }

    // The run's progress in place of the exchange's own texts.
    void runProgress() {
        RunControl run({.idle = [] { return false; },
                        .read = [] { return true; },
                        .showChecked = [](bool) {},
                        .showProgress = [] {}});
        const std::pair<const char*, const char*> cases[] = {
            {"reading... CH3_Curve from TDS2024", "Run: 0 reads, reading CH3"},
            {"reading... CH2_settings from TDS2024", "Run: 0 reads, reading CH2"},
            {"reading... Triger_settings from TDS2024", "Run: 0 reads, reading the trigger"},
            {"reading... Acquisition_state from TDS2024",
             "Run: 0 reads, reading the acquisition state"},
            {"Stat:", "Stat:"},
            {"reading... CH1_Curve", "reading... CH1_Curve"},
        };
        for (const auto& [text, shown] : cases)
            QCOMPARE(run.progressText(text), std::string(shown));
        QCOMPARE(run.progress(), std::string("Run: 0 reads, reading the acquisition state"));
    }

    // Record alone: sequences go on after an earlier recording's rows; a status with a comma is
    // one quoted cell; a folder that cannot take the index stops recording and says why.
    void recorderAlone() {
        QTemporaryDir dir;
        Recorder rec;
        rec.start(dir.path());
        const QDateTime at = QDateTime::fromString("2026-12-08T10:00:00.000", Qt::ISODateWithMs);
        const auto read = [](QByteArray data, QString failure) {
            RecordedRead r;
            r.data = data, r.failure = failure;
            return r;
        };
        QVERIFY(rec.record(read("a\n", ""), at).isEmpty());
        QVERIFY(rec.record(read("", "Error[1] a, \"b\"\nc"), at).isEmpty());
        QCOMPARE(rec.recorded(), 1);
        rec.start(dir.path());
        QVERIFY(rec.record(read("b\n", ""), at).isEmpty());
        QFile index(dir.filePath("index.csv"));
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(index.readAll()).split('\n');
        QCOMPARE(rows.size(), 5);
        QVERIFY(rows[1].startsWith("1,curvalon-20261208-100000-000.csv,2026-12-08T10:00:00"));
        QVERIFY(rows[2].startsWith("2,,2026-12-08T10:00:00.001"));
        QVERIFY(rows[2].endsWith(",\"Error[1] a, \"\"b\"\" c\""));
        QVERIFY(rows[3].startsWith("3,curvalon-20261208-100000-002.csv,"));
        QFile second(dir.filePath("curvalon-20261208-100000-002.csv"));
        QVERIFY(second.open(QIODevice::ReadOnly) && second.readAll() == "b\n");
        // An index holding its header alone, as one left by a recording that read nothing:
        // numbering begins at 1.
        QTemporaryDir empty;
        QFile header(empty.filePath("index.csv"));
        QVERIFY(header.open(QIODevice::WriteOnly) && header.write(rows[0].toUtf8() + "\n") > 0);
        header.close();
        rec.start(empty.path());
        QVERIFY(rec.record(read("c\n", ""), at).isEmpty());
        QVERIFY(header.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(header.readAll()).split('\n').value(1).startsWith("1,curvalon-"));
        rec.start(dir.filePath("no-such-folder"));
        const QString failure = rec.record(read("", "x"), at);
        QVERIFY(
            failure.startsWith(QDir::toNativeSeparators(dir.filePath("no-such-folder")) + ":\n"));
        QVERIFY(!rec.active());
    }
};

QTEST_MAIN(RunTest)
#include "test_run.moc"
