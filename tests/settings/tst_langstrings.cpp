#include "app/myQQuickView.h"
#include "settings/DpiNotifications.h"
#include "settings/LangStrings.h"
#include "testlib/TestData.h"

#include <QElapsedTimer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSettings>
#include <QtTest>

namespace {
const QStringList kLanguages = {"English", "ChineseSimplified", "French"};

// The texts the pages show before any language file is read.
QStringList padded(QStringList texts, int total)
{
    while (texts.size() < total)
        texts << QString();
    return texts;
}

QStringList builtinKeyNames()
{
    QQmlEngine engine;
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/modules/qml/basic/KeyCodeString.qml")));
    std::unique_ptr<QObject> keys(component.create());
    if (!keys) {
        qWarning() << component.errors();
        return {};
    }
    return keys->property("keyCodeStr").toStringList();
}

const QMap<QString, QStringList> &builtinTexts()
{
    static const QMap<QString, QStringList> texts = {
        {"main",
         padded({"Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
                 "Reset factory setting", "Cancel", "OK", "System setting", "Save", "LOD"},
                15)},
        {"profile", padded({"config", "New", "Import", "Delete", "Export", "Standard"}, 20)},
        {"macroEditor",
         padded({"Macro Editor", "Macro Name", "New", "Delete", "Action", "Stop Record", "Times",
                 "OK", "Start Record", "Delay", "Delete", "Import", "Export", "Insert Delay",
                 "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key"},
                20)},
        {"systemSetting",
         padded({"System Setting", "Mouse Speed", "Double Click Speed", "Slow", "Fast",
                 "Scroll Speed", "Number of Rows", "Scroll one Screen"},
                15)},
        {"keyMatrix", {"Key ", "Key Function"}},
        {"keyAssigment",
         padded({"Key ",
                 "Mouse Function",
                 "Left Key",
                 "Middle Key",
                 "Right Key",
                 "Forward Key",
                 "Back Key",
                 "Double Fire",
                 "Fire Function",
                 "Key Value",
                 "Click Input",
                 "Rate",
                 "Times",
                 "Endness",
                 "Group Function",
                 "Media Function",
                 "Macro Function",
                 "Macro Editor",
                 "Macro runs one-time after pressing the button",
                 "Macro runs endless loop until any button is pressed",
                 "Macro runs endless loop until button is released",
                 "DPI Function",
                 "DPI+",
                 "DPI-",
                 "DPI LOOP",
                 "Windows Function",
                 "Shortcut Function",
                 "Player",
                 "Next",
                 "Privous",
                 "Stop",
                 "Mute",
                 "Play/Pause",
                 "Volumn+",
                 "Volumn-",
                 "My PC",
                 "Index",
                 "Search",
                 "Max",
                 "Min",
                 "Desktop",
                 "Run",
                 "New",
                 "Cut",
                 "Copy",
                 "Paste",
                 "Save",
                 "Print",
                 "Find",
                 "Redo",
                 "Undo",
                 "Select All",
                 "Gun Function",
                 "One Gun",
                 "Two Gun",
                 "Three Gun",
                 "Sniper Key",
                 "Disable"},
                60)},
        {"dpiSetting", padded({"DPI"}, 5)},
        {"lightControl",
         padded({"Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color", "Brightness",
                 "Twinkling", "Wave", "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO",
                 "Spotlight", "Breath Loop"},
                20)},
        {"gunControl",
         {"Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis", "Y axis", "Fire adjust",
          "Rate", "Times", "Endness"}},
        {"desktop",
         {"Show", "Quit (&Q)", "No mouse connected",
          "Saved on this computer; sent when the mouse is connected.",
          "Saved and sent to the mouse.", "Unsaved changes", "Save the changes to this profile?",
          "Save", "Discard", "Cancel", "Language", "Delete \"%1\"?", "Delete",
          "Select a macro or make a new one first."}},
    };
    return texts;
}

// Counts the pages take from each section.
const QMap<QString, int> kCounts = {
    {"main", 15},         {"profile", 20},       {"macroEditor", 20}, {"systemSetting", 15},
    {"keyMatrix", 2},     {"keyAssigment", 60},  {"dpiSetting", 5},   {"lightControl", 20},
    {"gunControl", 10},   {"keyCode", 133},      {"other", 8},        {"message", 1},
    {"desktop", 14}};
} // namespace

class TestLangStrings : public QObject
{
    Q_OBJECT

private slots:
    void init() { DpiNotifications::resetToDefaults(); }

    void readsSection_data();
    void readsSection();
    void hugeTotalStaysBounded();
    void missingFileOrSectionGivesEmptyList();
    void notificationsStartAsDefault();
    void otherSectionSetsNotifications_data();
    void otherSectionSetsNotifications();
    void shortOtherSectionKeepsRemainingTexts();
    void bridgeReturnsTexts();

    void shippedFilesHaveEverySection_data();
    void shippedFilesHaveEverySection();
    void englishCarriesBuiltinTexts_data();
    void englishCarriesBuiltinTexts();
    void keyNamesPairWithCodes_data();
    void keyNamesPairWithCodes();
    void localeChoosesTheFile_data();
    void localeChoosesTheFile();
};

void TestLangStrings::localeChoosesTheFile_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("file");
    QTest::newRow("French") << "fr_FR" << "French";
    QTest::newRow("French of Canada") << "fr_CA" << "French";
    QTest::newRow("Chinese, simplified") << "zh_CN" << "ChineseSimplified";
    QTest::newRow("Chinese, traditional: no file") << "zh_TW" << "English";
    QTest::newRow("German: no file") << "de_DE" << "English";
    QTest::newRow("C locale") << "C" << "English";
    QTest::newRow("English") << "en_GB" << "English";
}

void TestLangStrings::localeChoosesTheFile()
{
    QFETCH(QString, locale);
    QFETCH(QString, file);
    TestData data;
    const QStringList shipped = LangStrings::available();
    QCOMPARE(shipped, (QStringList{"ChineseSimplified", "English", "French"}));
    QCOMPARE(LangStrings::forLocale(QLocale(locale), shipped), file);
}

void TestLangStrings::readsSection_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("debugLine");

    QTest::newRow("three in order") << QByteArray("[s]\ntotal=3\n0=a\n1=b\n2=c\n")
                                    << QStringList{"a", "b", "c"} << QString();
    QTest::newRow("entries beyond total unread")
        << QByteArray("[s]\ntotal=2\n0=a\n1=b\n2=c\n") << QStringList{"a", "b"} << QString();
    QTest::newRow("zero") << QByteArray("[s]\ntotal=0\n0=a\n") << QStringList{} << QString();
    QTest::newRow("gap gives empty text") << QByteArray("[s]\ntotal=2\n0=first\n")
                                          << QStringList{"first", ""} << QString();
    QTest::newRow("no total") << QByteArray("[s]\n0=a\n") << QStringList{} << QString();
    QTest::newRow("negative") << QByteArray("[s]\ntotal=-5\n0=a\n") << QStringList{}
                              << "total -5 is negative";
    QTest::newRow("not a number") << QByteArray("[s]\ntotal=three\n0=a\n") << QStringList{}
                                  << "total \"three\" is no number";
    QTest::newRow("beyond 64 bits") << QByteArray("[s]\ntotal=99999999999999999999\n0=a\n")
                                    << QStringList{} << "is no number";
    QTest::newRow("fraction") << QByteArray("[s]\ntotal=1.5\n0=a\n") << QStringList{}
                              << "is no number";
    QTest::newRow("quoted commas and utf-8")
        << QByteArray("[s]\ntotal=3\n0=\"a, b\"\n1=\"\xe5\xae\x8f \xe2\x96\xba\"\n2=\"\\\\\"\n")
        << QStringList{"a, b", QString::fromUtf8("\xe5\xae\x8f \xe2\x96\xba"), "\\"} << QString();
    QTest::newRow("unquoted commas kept as one text")
        << QByteArray("[s]\ntotal=1\n0=Reset, then save\n") << QStringList{"Reset, then save"}
        << QString();
    QTest::newRow("trailing blank kept when quoted")
        << QByteArray("[s]\ntotal=1\n0=\"Key \"\n") << QStringList{"Key "} << QString();
}

void TestLangStrings::readsSection()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, texts);
    QFETCH(QString, debugLine);
    TestData data;
    // A file of its own per row: the settings facility caches by name.
    const QString lang = QStringLiteral("Test_") + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
    data.write(QStringLiteral("modules/i18n/") + lang + QStringLiteral(".ini"), file);
    DebugCapture cap;

    QCOMPARE(LangStrings::read(QStringLiteral("s"), lang), texts);
    if (!debugLine.isEmpty())
        QVERIFY2(cap.lines().join('\n').contains(debugLine), qPrintable(cap.lines().join('\n')));
}

void TestLangStrings::hugeTotalStaysBounded()
{
    TestData data;
    data.write(QStringLiteral("modules/i18n/Huge.ini"), "[other]\ntotal=1000000\n0=x\n");
    DebugCapture cap;
    QElapsedTimer timer;
    timer.start();
    const QStringList texts = LangStrings::load(QStringLiteral("other"), QStringLiteral("Huge"));
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(texts.size(), qsizetype(LangStrings::kMaxTexts));
    QCOMPARE(texts.first(), QStringLiteral("x"));
    QVERIFY(cap.lines().join('\n').contains(QStringLiteral("total 1000000 cut to 1024")));
    QCOMPARE(DpiNotifications::text(0), QStringLiteral("x"));
    QCOMPARE(DpiNotifications::text(1), QString());
}

void TestLangStrings::missingFileOrSectionGivesEmptyList()
{
    TestData data;
    QCOMPARE(LangStrings::read(QStringLiteral("main"), QStringLiteral("Klingon")), QStringList());
    QCOMPARE(LangStrings::read(QStringLiteral("nosuch"), QStringLiteral("English")), QStringList());
    QCOMPARE(LangStrings::read(QString(), QStringLiteral("English")), QStringList());
    QVERIFY(!QFile::exists(data.path(QStringLiteral("modules/i18n/Klingon.ini"))));
    // A code names a file directly in modules/i18n/, nothing elsewhere.
    data.write(QStringLiteral("secret.ini"), "[main]\ntotal=1\n0=secret\n");
    data.write(QStringLiteral("modules/i18n/sub/Deep.ini"), "[main]\ntotal=1\n0=deep\n");
    data.write(QStringLiteral("modules/i18n/.Hidden.ini"), "[main]\ntotal=1\n0=hidden\n");
    DebugCapture cap;
    for (const QString &code : {QStringLiteral("../../secret"), QStringLiteral("../../../secret"),
                                QStringLiteral("sub/Deep"), QStringLiteral("..\\..\\secret"),
                                QStringLiteral(".Hidden"), data.path(QStringLiteral("secret")),
                                QStringLiteral("Eng\nlish")})
        QCOMPARE(LangStrings::read(QStringLiteral("main"), code), QStringList());
    QVERIFY(cap.lines().join('\n').contains(
        QStringLiteral("config: language \"../../secret\" names no file in modules/i18n/")));
}

void TestLangStrings::notificationsStartAsDefault()
{
    for (int k = 0; k < DpiNotifications::kCount; ++k)
        QCOMPARE(DpiNotifications::text(k), QStringLiteral("DPI Switch to"));
}

void TestLangStrings::otherSectionSetsNotifications_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<bool>("fixedEnglish");
    QTest::newRow("French") << "French" << true;
    QTest::newRow("English") << "English" << false;
    QTest::newRow("ChineseSimplified") << "ChineseSimplified" << false;
}

void TestLangStrings::otherSectionSetsNotifications()
{
    QFETCH(QString, lang);
    QFETCH(bool, fixedEnglish);
    TestData data;
    const QStringList fileTexts = LangStrings::read(QStringLiteral("other"), lang);
    QCOMPARE(fileTexts.size(), qsizetype(8));

    // The call returns the file's texts whatever it sets.
    QCOMPARE(LangStrings::load(QStringLiteral("other"), lang), fileTexts);

    const QStringList expected =
        fixedEnglish ? QStringList{"DPI switch to the 1st segment", "DPI switch to the 2st segment",
                                   "DPI switch to the 3st segment", "DPI switch to the 4st segment",
                                   "DPI switch to the 5st segment", "DPI switch to the 6st segment",
                                   "DPI switch to the 7st segment", "DPI switch to the 8st segment"}
                     : fileTexts;
    for (int k = 0; k < 8; ++k)
        QCOMPARE(DpiNotifications::text(k), expected.at(k));
}

void TestLangStrings::shortOtherSectionKeepsRemainingTexts()
{
    TestData data;
    data.write(QStringLiteral("modules/i18n/Short.ini"), "[other]\ntotal=3\n0=one\n1=two\n2=three\n");
    data.write(QStringLiteral("modules/i18n/french.ini"), "[other]\ntotal=1\n0=petit\n");
    LangStrings::load(QStringLiteral("main"), QStringLiteral("Short"));
    QCOMPARE(DpiNotifications::text(0), QStringLiteral("DPI Switch to"));
    LangStrings::load(QStringLiteral("other"), QStringLiteral("Short"));
    QCOMPARE(DpiNotifications::text(2), QStringLiteral("three"));
    QCOMPARE(DpiNotifications::text(3), QStringLiteral("DPI Switch to"));
    // Only the exact code "French" is the special case.
    LangStrings::load(QStringLiteral("other"), QStringLiteral("french"));
    QCOMPARE(DpiNotifications::text(0), QStringLiteral("petit"));
    QCOMPARE(DpiNotifications::text(1), QStringLiteral("two"));
}

void TestLangStrings::bridgeReturnsTexts()
{
    TestData data;
    myQQuickView view;
    QCOMPARE(view.getLangStrings(QStringLiteral("main"), QStringLiteral("English")),
             builtinTexts().value("main"));
    view.getLangStrings(QStringLiteral("other"), QStringLiteral("French"));
    QCOMPARE(DpiNotifications::text(7), QStringLiteral("DPI switch to the 8st segment"));
}

void TestLangStrings::shippedFilesHaveEverySection_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("section");
    QTest::addColumn<int>("count");
    for (const QString &lang : kLanguages)
        for (auto it = kCounts.begin(); it != kCounts.end(); ++it)
            QTest::addRow("%s %s", qPrintable(lang), qPrintable(it.key())) << lang << it.key() << it.value();
}

void TestLangStrings::shippedFilesHaveEverySection()
{
    QFETCH(QString, lang);
    QFETCH(QString, section);
    QFETCH(int, count);
    TestData data;
    QSettings file(LangStrings::filePath(lang), QSettings::IniFormat);
    QCOMPARE(file.value(section + "/total").toString(), QString::number(count));
    for (int i = 0; i < count; ++i) {
        const QVariant v = file.value(section + '/' + QString::number(i));
        // Present, and one text: an unquoted comma would make it a list.
        QVERIFY2(v.typeId() == QMetaType::QString, qPrintable(QStringLiteral("%1 %2/%3").arg(lang, section).arg(i)));
    }
    const QStringList texts = LangStrings::read(section, lang);
    QCOMPARE(texts.size(), qsizetype(count));
    // Texts the pages show as headings and labels are never blank.
    if (section != QLatin1String("dpiSetting"))
        QVERIFY(!texts.first().trimmed().isEmpty());
}

void TestLangStrings::englishCarriesBuiltinTexts_data()
{
    QTest::addColumn<QString>("section");
    for (const QString &section : builtinTexts().keys())
        QTest::newRow(qPrintable(section)) << section;
}

void TestLangStrings::englishCarriesBuiltinTexts()
{
    QFETCH(QString, section);
    TestData data;
    QCOMPARE(LangStrings::read(section, QStringLiteral("English")), builtinTexts().value(section));
}

void TestLangStrings::keyNamesPairWithCodes_data()
{
    QTest::addColumn<QString>("lang");
    for (const QString &lang : kLanguages)
        QTest::newRow(qPrintable(lang)) << lang;
}

void TestLangStrings::keyNamesPairWithCodes()
{
    QFETCH(QString, lang);
    TestData data;
    const QStringList builtin = builtinKeyNames();
    QCOMPARE(builtin.size(), qsizetype(133));
    const QStringList names = LangStrings::read(QStringLiteral("keyCode"), lang);
    QCOMPARE(names.size(), qsizetype(133));
    if (lang == QLatin1String("English"))
        QCOMPARE(names, builtin);

    for (int i = 0; i < names.size(); ++i) {
        QVERIFY2(!names.at(i).trimmed().isEmpty(), qPrintable(QString::number(i)));
        const int first = int(names.indexOf(names.at(i)));
        // A name may repeat only where the built-in table repeats one.
        if (first != i)
            QVERIFY2(builtin.at(first) == builtin.at(i),
                     qPrintable(QStringLiteral("%1 repeats at %2 and %3").arg(names.at(i)).arg(first).arg(i)));
    }
    // The macro editor inserts mouse buttons by these names in every language.
    QCOMPARE(names.at(128), QStringLiteral("MS-L"));
    QCOMPARE(names.at(129), QStringLiteral("MS-R"));
    QCOMPARE(names.at(130), QStringLiteral("MS-M"));
}

QTEST_MAIN(TestLangStrings)
#include "tst_langstrings.moc"
