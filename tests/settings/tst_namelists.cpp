#include "settings/NameLists.h"
#include "testlib/TestData.h"

#include <QSettings>
#include <QtTest>

class TestNameLists : public QObject
{
    Q_OBJECT

private slots:
    void storesAndReads_data();
    void storesAndReads();
    void emptyListRemovesKey();
    void unknownTypesWriteNothing_data();
    void unknownTypesWriteNothing();
    void missingFileGivesEmptyLists();
    void handWrittenSingleNameReadsAsOne();
    void shippedProfileListIsPadded();
    void readerDropsPadding_data();
    void readerDropsPadding();
    void genuinePaddingNameIsLostOnReading();
};

void TestNameLists::storesAndReads_data()
{
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("stored");

    const QString pad = NameLists::kPadding;
    QTest::newRow("one macro is padded") << QVariant(0) << QStringList{"M"} << "macro/macroName"
                                         << QStringList{"M", pad};
    QTest::newRow("two macros as they are")
        << QVariant(0) << QStringList{"M", "N"} << "macro/macroName" << QStringList{"M", "N"};
    QTest::newRow("gun names") << QVariant(1) << QStringList{"AKM", "M416", "UNP9"} << "gun/gunName"
                               << QStringList{"AKM", "M416", "UNP9"};
    QTest::newRow("profiles, type as text")
        << QVariant(QStringLiteral("2")) << QStringList{"Standard0", "profile_01"}
        << "profile/profileName" << QStringList{"Standard0", "profile_01"};
    QTest::newRow("gun selection, type as double")
        << QVariant(3.0) << QStringList{"x"} << "gun/selectGun" << QStringList{"x", pad};
    QTest::newRow("names with commas and quotes")
        << QVariant(0) << QStringList{"a, b", "say \"hi\"", "semi;colon", "\\"}
        << "macro/macroName" << QStringList{"a, b", "say \"hi\"", "semi;colon", "\\"};
    QTest::newRow("one empty name is padded")
        << QVariant(0) << QStringList{""} << "macro/macroName" << QStringList{"", pad};
}

void TestNameLists::storesAndReads()
{
    QFETCH(QVariant, type);
    QFETCH(QStringList, names);
    QFETCH(QString, key);
    QFETCH(QStringList, stored);
    TestData data;

    NameLists::update(type, names);

    // On disk as soon as the call returns.
    QSettings file(data.path(QStringLiteral("modules/setting/name.bin")), QSettings::IniFormat);
    QCOMPARE(file.value(key).toStringList(), stored);
    QVariantList expected;
    for (const QString &s : stored)
        expected << s;
    QCOMPARE(NameLists::get(type), expected);
}

void TestNameLists::emptyListRemovesKey()
{
    TestData data;
    NameLists::update(0, {"M", "N"});
    NameLists::update(0, {});
    QVERIFY(!data.read(QStringLiteral("modules/setting/name.bin")).contains("macroName"));
    QCOMPARE(NameLists::get(0), QVariantList());
    // Other lists are untouched.
    QCOMPARE(NameLists::get(2).size(), qsizetype(2));
}

void TestNameLists::unknownTypesWriteNothing_data()
{
    QTest::addColumn<QVariant>("type");
    QTest::newRow("4") << QVariant(4);
    QTest::newRow("-1") << QVariant(-1);
    QTest::newRow("text") << QVariant(QStringLiteral("macro"));
    QTest::newRow("empty") << QVariant(QString());
    QTest::newRow("invalid") << QVariant();
}

void TestNameLists::unknownTypesWriteNothing()
{
    QFETCH(QVariant, type);
    TestData data;
    DebugCapture cap;
    const QByteArray before = data.read(QStringLiteral("modules/setting/name.bin"));
    NameLists::update(type, {"X"});
    QCOMPARE(data.read(QStringLiteral("modules/setting/name.bin")), before);
    QCOMPARE(NameLists::get(type), QVariantList());
    QVERIFY(cap.lines().join('\n').contains(QStringLiteral("config: no name list of type")));
}

void TestNameLists::missingFileGivesEmptyLists()
{
    TestData data;
    QVERIFY(QFile::remove(data.path(QStringLiteral("modules/setting/name.bin"))));
    for (int type = 0; type < 4; ++type)
        QCOMPARE(NameLists::get(type), QVariantList());
    NameLists::update(0, {"M"});
    QCOMPARE(NameLists::get(0), (QVariantList{"M", NameLists::kPadding}));
}

void TestNameLists::handWrittenSingleNameReadsAsOne()
{
    TestData data;
    data.write(QStringLiteral("modules/setting/name.bin"), "[macro]\nmacroName=Solo\n");
    QCOMPARE(NameLists::get(0), QVariantList{"Solo"});
}

void TestNameLists::shippedProfileListIsPadded()
{
    TestData data;
    QCOMPARE(NameLists::get(2), (QVariantList{"Standard0", NameLists::kPadding}));
}

void TestNameLists::readerDropsPadding_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("read");
    const QString pad = NameLists::kPadding;
    QTest::newRow("padded one") << QStringList{"M", pad} << QStringList{"M"};
    QTest::newRow("pad not second") << QStringList{pad, "M"} << QStringList{pad, "M"};
    QTest::newRow("three with pad") << QStringList{"A", pad, "B"} << QStringList{"A", pad, "B"};
    QTest::newRow("two plain") << QStringList{"A", "B"} << QStringList{"A", "B"};
    QTest::newRow("empty") << QStringList{} << QStringList{};
}

void TestNameLists::readerDropsPadding()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, read);
    QCOMPARE(NameLists::withoutPadding(stored), read);
}

void TestNameLists::genuinePaddingNameIsLostOnReading()
{
    TestData data;
    NameLists::update(0, {"M", NameLists::kPadding});
    QStringList stored;
    for (const QVariant &v : NameLists::get(0))
        stored << v.toString();
    QCOMPARE(NameLists::withoutPadding(stored), QStringList{"M"});
}

QTEST_MAIN(TestNameLists)
#include "tst_namelists.moc"
