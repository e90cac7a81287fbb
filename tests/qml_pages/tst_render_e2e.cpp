// The whole window renders on a real X server: the screenshot tool runs under
// a private Xvfb with the virtual mouse, and its pictures are checked where
// the layout puts the panels, the buttons, the mask and each pop-up.
#include "testlib/Xvfb.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

class RenderE2E : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void mainPage();
    void popups_data();
    void popups();

private:
    QImage shot(const QString &name) const
    {
        return QImage(m_out.filePath(name + QStringLiteral(".png")));
    }
    static int lightness(const QImage &img, int x, int y)
    {
        return QColor(img.pixel(x, y)).lightness();
    }

    std::unique_ptr<Xvfb> m_x;
    QTemporaryDir m_out;
};

void RenderE2E::initTestCase()
{
    m_x = std::make_unique<Xvfb>();
    QVERIFY2(m_x->isRunning(), "Xvfb did not start (scripts/setup.sh installs it)");
    const QString tool = qEnvironmentVariable("SKELD_BUILD_DIR") +
                         QStringLiteral("/tests/qml_pages/skeld_screenshots");
    int code = -1;
    runTool(tool, {m_out.path()}, m_x->environment(), 90000, &code);
    QCOMPARE(code, 0);
}

void RenderE2E::mainPage()
{
    const QImage img = shot(QStringLiteral("main"));
    QCOMPARE(img.size(), QSize(1024, 640));
    // The DPI panel and the editor panel are black, the buttons grey.
    QCOMPARE(QColor(img.pixel(772, 300)), QColor(Qt::black));
    QCOMPARE(QColor(img.pixel(28, 420)), QColor(Qt::black));
    QCOMPARE(QColor(img.pixel(905, 612)), QColor(0x56, 0x56, 0x56));
    QCOMPARE(QColor(img.pixel(28, 490)), QColor(0x56, 0x56, 0x56));
    // The stage sliders' track runs up the DPI panel.
    bool track = false;
    for (int x = 790; x < 1000 && !track; ++x)
        track = QColor(img.pixel(x, 150)) == QColor(0x3c, 0x3c, 0x3c);
    QVERIFY(track);
}

void RenderE2E::popups_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("profile") << QStringLiteral("profile") << QSize(415, 288);
    QTest::newRow("system settings") << QStringLiteral("system-settings") << QSize(416, 312);
    QTest::newRow("reset") << QStringLiteral("reset") << QSize(427, 102);
    QTest::newRow("information") << QStringLiteral("information") << QSize(400, 240);
}

void RenderE2E::popups()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage img = shot(name);
    const QImage main = shot(QStringLiteral("main"));
    QCOMPARE(img.size(), QSize(1024, 640));
    // The page sits in the middle, in its own grey.
    const int left = (1024 - size.width()) / 2 + (size.width() % 2 ? 1 : 0);
    const int top = (640 - size.height()) / 2;
    QCOMPARE(QColor(img.pixel(left + 4, top + size.height() - 4)), QColor(0x1a, 0x1a, 0x1a));
    // Everything around it is dimmed by the mask.
    QVERIFY(lightness(img, 905, 612) < lightness(main, 905, 612) - 20);
}

QTEST_GUILESS_MAIN(RenderE2E)
#include "tst_render_e2e.moc"
