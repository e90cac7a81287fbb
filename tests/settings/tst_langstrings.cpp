// The language files: how a section is read, which file a code may name,
// the DPI notifications the "other" section sets, and the shipped files.
#include "settings/DpiNotifications.h"
#include "settings/LangStrings.h"
#include "testlib/TestData.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QSettings>
#include <QtTest>

class TestLangStrings : public QObject
{
    Q_OBJECT
private slots:
    void init() { DpiNotifications::resetToDefaults(); }
    void readsSection();
    void onlyFilesInTheLanguageFolder();
    void otherSectionSetsNotifications();
    void shippedFiles();
};

void TestLangStrings::readsSection()
{
    using L = QStringList;
    const struct { const char *name; QByteArray file; L texts; const char *debug; } cases[] = {
        {"entries beyond total unread", "[s]\ntotal=2\n0=a\n1=b\n2=c\n", {"a", "b"}, nullptr},
        {"gap gives empty text", "[s]\ntotal=2\n0=first\n", {"first", ""}, nullptr},
        {"negative", "[s]\ntotal=-5\n0=a\n", {}, "total -5 is negative"},
        {"not a number", "[s]\ntotal=three\n0=a\n", {}, "total \"three\" is no number"},
        {"quoted commas and utf-8", "[s]\ntotal=3\n0=\"a, b\"\n1=\"\xe5\xae\x8f \xe2\x96\xba\"\n2=\"\\\\\"\n",
         {"a, b", QString::fromUtf8("\xe5\xae\x8f \xe2\x96\xba"), "\\"}, nullptr},
        {"unquoted commas kept as one text", "[s]\ntotal=1\n0=Reset, then save\n", {"Reset, then save"}, nullptr},
        {"huge total stays bounded", "[s]\ntotal=1000000\n0=x\n", L{"x"} + L(LangStrings::kMaxTexts - 1, QString()),
         "total 1000000 cut to 1024"}};
    TestData data;
    for (const auto &c : cases) {
        // A file of its own per case: the settings facility caches by name.
        const QString lang = "Test_" + QString::fromLatin1(c.name).replace(' ', '_');
        data.write("modules/i18n/" + lang + ".ini", c.file);
        DebugCapture cap;
        QCOMPARE(LangStrings::read("s", lang), c.texts);
        if (c.debug) QVERIFY2(cap.lines().join('\n').contains(QLatin1String(c.debug)), c.name);
    }
}

void TestLangStrings::onlyFilesInTheLanguageFolder()
{
    TestData data;
    QCOMPARE(LangStrings::read("main", "Klingon"), QStringList());
    // A code names a file directly in modules/i18n/, nothing elsewhere.
    data.write("secret.ini", "[main]\ntotal=1\n0=secret\n");
    QDir().mkpath(data.path("modules/i18n/sub"));
    data.write("modules/i18n/sub/Deep.ini", "[main]\ntotal=1\n0=deep\n");
    data.write("modules/i18n/.Hidden.ini", "[main]\ntotal=1\n0=hidden\n");
    DebugCapture cap;
    for (const QString &code : {QStringLiteral("../../secret"), QStringLiteral("sub/Deep"), QStringLiteral(".Hidden"),
                                data.path("secret")})
        QCOMPARE(LangStrings::read("main", code), QStringList());
    QVERIFY(cap.contains("config: language \"../../secret\" names no file in modules/i18n/"));
    // The locale picks a shipped file, English when there is none for it.
    const QStringList shipped = LangStrings::available();
    QCOMPARE(shipped, (QStringList{"ChineseSimplified", "English", "French"}));
    const std::pair<const char *, const char *> locales[] = {
        {"fr_CA", "French"}, {"zh_CN", "ChineseSimplified"}, {"zh_TW", "English"}, {"de_DE", "English"}};
    for (auto [locale, file] : locales)
        QCOMPARE(LangStrings::forLocale(QLocale(locale), shipped), QString::fromLatin1(file));
}

void TestLangStrings::otherSectionSetsNotifications()
{
    TestData data;
    for (const QString &lang : QStringList{"English", "ChineseSimplified", "French"}) {
        const QStringList fileTexts = LangStrings::read("other", lang);
        QCOMPARE(fileTexts.size(), qsizetype(8));
        // The call returns the file's texts whatever it sets; French sets
        // fixed English texts.
        QCOMPARE(LangStrings::load("other", lang), fileTexts);
        for (int k = 0; k < 8; ++k)
            QCOMPARE(DpiNotifications::text(k), lang == "French"
                         ? QStringLiteral("DPI switch to the %1st segment").arg(k + 1) : fileTexts.at(k));
    }
    DpiNotifications::resetToDefaults();
    data.write("modules/i18n/Short.ini", "[other]\ntotal=3\n0=one\n1=two\n2=three\n");
    data.write("modules/i18n/french.ini", "[other]\ntotal=1\n0=petit\n");
    LangStrings::load("other", "Short"); // a short section keeps the rest
    QCOMPARE(DpiNotifications::text(2), QStringLiteral("three"));
    QCOMPARE(DpiNotifications::text(3), QStringLiteral("DPI Switch to"));
    LangStrings::load("other", "french"); // only the exact code "French" is special
    QCOMPARE(DpiNotifications::text(0), QStringLiteral("petit"));
    QCOMPARE(DpiNotifications::text(1), QStringLiteral("two"));
}

void TestLangStrings::shippedFiles()
{
    TestData data;
    const QMap<QString, int> counts = {{"main", 15}, {"profile", 20}, {"macroEditor", 20}, {"systemSetting", 15},
                                       {"keyMatrix", 2}, {"keyAssigment", 60}, {"dpiSetting", 5}, {"lightControl", 20},
                                       {"gunControl", 10}, {"keyCode", 133}, {"other", 8}, {"message", 1}, {"desktop", 16}};
    QQmlEngine engine;
    QQmlComponent component(&engine, QUrl("qrc:/modules/qml/basic/KeyCodeString.qml"));
    std::unique_ptr<QObject> keys(component.create());
    QVERIFY2(keys, qPrintable(component.errorString()));
    const QStringList builtin = keys->property("keyCodeStr").toStringList();
    for (const QString &lang : QStringList{"English", "ChineseSimplified", "French"}) {
        QSettings file(LangStrings::filePath(lang), QSettings::IniFormat);
        for (auto it = counts.begin(); it != counts.end(); ++it) {
            QCOMPARE(file.value(it.key() + "/total").toString(), QString::number(it.value()));
            // Present, and one text each: an unquoted comma would make a list.
            for (int i = 0; i < it.value(); ++i)
                QVERIFY2(file.value(it.key() + '/' + QString::number(i)).typeId() == QMetaType::QString,
                         qPrintable(lang + ' ' + it.key() + QString::number(i)));
        }
        const QStringList names = LangStrings::read("keyCode", lang);
        if (lang == "English") QCOMPARE(names, builtin);
        // A name may repeat only where the built-in table repeats one.
        for (int i = 0; i < names.size(); ++i)
            QVERIFY2(!names.at(i).trimmed().isEmpty() && builtin.at(names.indexOf(names.at(i))) == builtin.at(i),
                     qPrintable(lang + ": " + names.at(i)));
        // The macro editor inserts mouse buttons by these names in every language.
        QCOMPARE(names.mid(128, 3), (QStringList{"MS-L", "MS-R", "MS-M"}));
    }
}

QTEST_MAIN(TestLangStrings)
#include "tst_langstrings.moc"
