// The real program under a private X server, driven with xdotool: record a
// macro, bind it, save, and read what reached the virtual mouse from the
// transfer trace; then what other local programs may do to it.
#include "app/SingleInstance.h"
#include "platform/CopyDataEndpoint.h"
#include "testlib/RawSocket.h"
#include "testlib/TestData.h"
#include "testlib/Xvfb.h"

#include <QLocalSocket>
#include <QSettings>
#include <QtTest>

#include <unistd.h>

class UserPathE2E : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void userPath();
    void floodedServerStillAnswers();
    void copyDataRecordOpensOneBox();

private:
    QString window(qint64 pid, int timeoutMs = 30000);
    void click(int x, int y, int settleMs = 400);
    void waitQuiet();
    void shot(const QString &name, const QRect &area = {});
    QStringList trace();
    QList<QByteArray> payloadsOf(quint8 code, int firstParam); // firstParam -1 takes any

    std::unique_ptr<Xvfb> m_x;
    QTemporaryDir m_tmp;
    QString m_dir, m_exe;
    QProcess m_app;
    QByteArray m_stderr;
    QPoint m_origin;
};

QString UserPathE2E::window(qint64 pid, int timeoutMs)
{
    QString ids;
    // --all: both the pid and the name must match, not either.
    (void)QTest::qWaitFor([&] {
        ids = runTool("xdotool", {"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", "^SKELD R772$"},
                      m_x->environment());
        return !ids.isEmpty();
    }, timeoutMs);
    return ids;
}

void UserPathE2E::initTestCase()
{
    m_x = std::make_unique<Xvfb>();
    QVERIFY2(m_x->isRunning(), "Xvfb did not start");
    m_dir = m_tmp.filePath("install");
    m_exe = m_dir + "/skeld-config";
    QDir().mkpath(m_dir);
    QVERIFY(QFile::copy(TestData::buildDir() + "/skeld-config", m_exe));
    runTool("cp", {"-r", TestData::sourceDir() + "/modules", m_dir + "/modules"}, QProcessEnvironment::systemEnvironment());
    QProcessEnvironment env = m_x->environment();
    env.insert("SKELD_VIRTUAL_MOUSE", "553");
    env.insert("SKELD_HID_TRACE", "1");
    m_app.setProcessEnvironment(env);
    m_app.setWorkingDirectory(QDir::rootPath()); // not the executable's folder
    connect(&m_app, &QProcess::readyReadStandardError, this, [this] { m_stderr += m_app.readAllStandardError(); });
    // A common default file limit, well below the flood further down.
    m_app.start("prlimit", {"--nofile=1024:1024", "--", m_exe});
    QVERIFY(m_app.waitForStarted());
    const QString win = window(m_app.processId()).section('\n', 0, 0);
    QVERIFY2(!win.isEmpty(), qPrintable("no window titled like common/name: " + QString::fromUtf8(m_stderr)));
    const QString geometry = runTool("xdotool", {"getwindowgeometry", win}, m_x->environment());
    QVERIFY2(geometry.contains("Geometry: 1024x640"), qPrintable(geometry));
    static const QRegularExpression pos(R"(Position: (\d+),(\d+))");
    const auto m = pos.match(geometry);
    QVERIFY2(m.hasMatch(), qPrintable(geometry));
    m_origin = QPoint(m.captured(1).toInt(), m.captured(2).toInt());
    // The pages ask for the right flag (0x82) at start; the first busy lock (1 s) follows.
    QTRY_VERIFY_WITH_TIMEOUT(trace().join('\n').contains("SET_FEATURE 00 82"), 20000);
    QTest::qWait(2000); // nothing outside shows when the lock ends
}

void UserPathE2E::cleanupTestCase()
{
    const QString err = trace().join('\n');
    m_app.kill();
    m_app.waitForFinished(5000);
    QVERIFY2(!err.contains("qrc:"), qPrintable(err)); // no QML errors along the way
}

// Moves and presses in one event stream; settleMs lets a pop-up open.
void UserPathE2E::click(int x, int y, int settleMs)
{
    const QPoint p = m_origin + QPoint(x, y);
    QVERIFY(m_x->xdotool({"mousemove", "--sync", QString::number(p.x()), QString::number(p.y()), "click", "1"}));
    if (settleMs <= 0) return;
    QTest::qWait(settleMs);
    waitQuiet();
}

// On a busy machine the program may still be opening what the click asked
// for when the fixed wait ends: wait until it has used no CPU for 150 ms.
void UserPathE2E::waitQuiet()
{
    const auto cpuTicks = [this] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_app.processId()));
        if (!stat.open(QIODevice::ReadOnly)) return -1LL;
        const QList<QByteArray> f = stat.readAll().split(')').value(1).split(' ');
        return f.value(12).toLongLong() + f.value(13).toLongLong(); // utime, stime
    };
    qint64 last = cpuTicks();
    int quiet = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        QTest::qWait(50);
        const qint64 now = cpuTicks();
        quiet = now == last ? quiet + 1 : 0;
        last = now;
        if (quiet >= 3) return;
    }
}

void UserPathE2E::shot(const QString &name, const QRect &area)
{
    // Documentation screenshots, taken only when asked for.
    const QString dir = qEnvironmentVariable("SKELD_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    const QRect r = area.isValid() ? area.translated(m_origin) : QRect(m_origin, QSize(1024, 640));
    int rc = -1;
    runTool(TestData::buildDir() + "/tests/e2e_user/skeld_grab", {dir + "/" + name, QString::number(r.x()), QString::number(r.y()),
            QString::number(r.width()), QString::number(r.height())}, m_x->environment(), 10000, &rc);
    QCOMPARE(rc, 0);
}

QStringList UserPathE2E::trace()
{
    m_stderr += m_app.readAllStandardError();
    return QString::fromLatin1(m_stderr).split('\n', Qt::SkipEmptyParts);
}

QList<QByteArray> UserPathE2E::payloadsOf(quint8 code, int firstParam)
{
    QList<QByteArray> out;
    bool collecting = false;
    for (const QString &line : trace()) {
        const QString kind = line.section(' ', 0, 0);
        const QByteArray bytes = QByteArray::fromHex(line.section(' ', 1).remove(' ').toLatin1());
        if (kind == "SET_FEATURE") {
            collecting = bytes.size() == 9 && quint8(bytes[1]) == code && (firstParam < 0 || quint8(bytes[2]) == firstParam);
            if (collecting) out << QByteArray();
        } else if (kind == "WRITE" && collecting && !bytes.isEmpty()) {
            out.last() += bytes.mid(1); // drop the report id
        }
    }
    return out;
}

void UserPathE2E::userPath()
{
    // Hovering "Key 4" marks its button on the picture.
    QVERIFY(m_x->xdotool({"mousemove", "--sync", QString::number(m_origin.x() + 140), QString::number(m_origin.y() + 218)}));
    QTest::qWait(400);
    shot("buttons.png");

    // The macro editor from the "Editor" panel: 640 x 448, centred at 192, 96.
    click(140, 403);
    const QPoint ed(192, 96);
    click(ed.x() + 48, ed.y() + 424);  // "New"
    click(ed.x() + 260, ed.y() + 424); // "Start Record"
    click(ed.x() + 458, ed.y() + 424); // "Delay"
    QVERIFY(m_x->xdotool({"keydown", "a"}));
    QTest::qWait(300);
    QVERIFY(m_x->xdotool({"keyup", "a"}));
    QTest::qWait(300);
    click(ed.x() + 260, ed.y() + 424); // "Stop Record"
    shot("macro-editor.png", QRect(ed, QSize(640, 448)));
    click(ed.x() + 616, ed.y() + 20, 0); // close

    const QString macroFile = m_dir + "/modules/macro/Macro_0.bin";
    QTRY_COMPARE_WITH_TIMEOUT(QSettings(macroFile, QSettings::IniFormat).value("config/total").toInt(), 3, 5000);
    QSettings macro(macroFile, QSettings::IniFormat);
    QCOMPARE(macro.value("macro/0").toString(), QStringLiteral("1,A"));
    QVERIFY2(macro.value("macro/1").toString().startsWith("0,"), qPrintable(macro.value("macro/1").toString()));
    const int delay = macro.value("macro/1").toString().mid(2).toInt();
    // Held for 300 ms; a busy machine may hand the events over late.
    QVERIFY2(delay >= 0 && delay % 10 == 0, qPrintable(QString::number(delay)));
    QCOMPARE(macro.value("macro/2").toString(), QStringLiteral("2,A"));

    // "Key 4", then run mode 1 and the macro in the centred 480 x 560 pop-up.
    click(140, 218);
    const QPoint pop(272, 40);
    click(pop.x() + 16 + 5, pop.y() + 48 + 384 + 8);    // run mode 1
    click(pop.x() + 16 + 100, pop.y() + 48 + 326 + 12); // macro list
    shot("button-assignment.png");
    click(pop.x() + 16 + 100, pop.y() + 48 + 350 + 12); // its first row
    click(pop.x() + 444 + 12, pop.y() + 8 + 12, 0);     // close

    // The macro went to device slot 4 (button index 3 plus one).
    QTRY_VERIFY_WITH_TIMEOUT(!payloadsOf(0x13, 4).isEmpty() && payloadsOf(0x13, 4).last().size() >= 128, 5000);
    const QByteArray m = payloadsOf(0x13, 4).last();
    QCOMPARE(m.size(), 128);
    const int ticks = delay / 10;
    const QByteArray head = QByteArray::fromHex("0001") + char(ticks < 127 ? ticks : 0) + '\x04';
    QCOMPARE(m.left(4).toHex(' '), head.toHex(' '));
    QCOMPARE(m.mid(4, 4).toHex(' '), QByteArray("81 04 00 00"));

    // "Save" sends the key matrix: button 3 lands on device entry 5.
    const qsizetype sentBefore = payloadsOf(0x12, -1).size();
    click(950, 620, 0);
    QTRY_VERIFY_WITH_TIMEOUT(payloadsOf(0x12, -1).size() == sentBefore + 1 && payloadsOf(0x12, -1).last().size() >= 64, 5000);
    const QByteArray km = payloadsOf(0x12, -1).last();
    QCOMPARE(km.size(), 64);
    QCOMPARE(km.mid(20, 4).toHex(' '), QByteArray("09 01 04 00"));
    // The profile holds the binding and the macro's name for slot 3.
    QSettings p1(m_dir + "/modules/setting/p1.bin", QSettings::IniFormat);
    const QStringList bound{"4", "1", "3", "0"};
    QVERIFY(p1.value("mouseKeyMatrix/3").toStringList() == bound || p1.value("mouseKeyMatrix0/3").toStringList() == bound);
    QCOMPARE(p1.value("mouseMacroKey/3").toString(), QStringLiteral("Macro_0"));

    // Closing with an edit pending and choosing Discard (in the centred
    // 427 x 102 question box) hides the window.
    const QPoint discard = QPoint(298, 269) + QPoint(427 - 12 - 88 - 7 - 44, 102 - 10 - 12);
    click(826, 120, 800); // a DPI stage's track
    click(992, 28, 600); // close
    shot("unsaved-changes.png");
    click(discard.x(), discard.y(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(window(m_app.processId(), 0).isEmpty(), 5000);
}

void UserPathE2E::floodedServerStillAnswers()
{
    // More idle connections than the program's file limit: a second copy
    // still gets through and brings the hidden window back.
    QVERIFY(window(m_app.processId(), 0).isEmpty());
    const QString server = SingleInstance::serverNameFor(m_exe);
    std::vector<int> idle;
    for (int i = 0; i < 2000; ++i)
        if (const int fd = rawConnect(server); fd >= 0) idle.push_back(fd);
    QVERIFY2(idle.size() > 100, qPrintable(QString::number(idle.size())));
    QProcess second;
    second.setProcessEnvironment(m_x->environment());
    QElapsedTimer t;
    t.start();
    second.start(m_exe);
    QVERIFY(second.waitForFinished(6000) && t.elapsed() < 6000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    QVERIFY2(!second.readAllStandardError().contains("did not answer"), "no answer");
    QVERIFY(!window(m_app.processId(), 5000).isEmpty());
    for (int fd : idle)
        ::close(fd);
}

void UserPathE2E::copyDataRecordOpensOneBox()
{
    const QByteArray text("Update ready \xE2\x9C\x93");
    QLocalSocket s;
    s.connectToServer(CopyDataEndpoint::serverNameFor(QFileInfo(m_exe).canonicalFilePath()));
    QVERIFY(s.waitForConnected(5000));
    s.write(CopyDataEndpoint::encodeRecord(0x250F, quint32(text.size()), text));
    QVERIFY(s.waitForReadyRead(5000));
    QCOMPARE(s.readAll(), QByteArray("\x01"));
    const auto count = [this] { return int(window(m_app.processId(), 0).split('\n', Qt::SkipEmptyParts).size()); };
    QTRY_COMPARE_WITH_TIMEOUT(count(), 2, 20000);
}

QTEST_GUILESS_MAIN(UserPathE2E)
#include "tst_user_path_e2e.moc"
