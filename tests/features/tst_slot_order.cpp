// The UI documents and the command-line tool reach the bridge and the HID
// worker by meta-object index as well as by name, so both slot tables must
// keep their fixed order.
//
// NOTE: the complete bridge table can only be checked in a tree where the
// slots of every area (store, device, features, platform) are merged. On a
// branch that lacks a whole area the test checks the relative order of the
// slots present and then skips, naming the areas that are missing; as soon
// as every area is present, any missing or misplaced slot fails it.
#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"

#include <QMetaMethod>
#include <QtTest>

namespace
{
const QStringList bridgeSlots = {
    "void clearHidBusy()", "void initUI()", "void runUI()", "void resetApconfig()",
    "bool loadMacroFile(QVariant)", "void saveMacroFile(QVariant)", "bool loadProfile(int)",
    "void saveProfile(int)", "void resetProfile(int)", "void copyProfile(int,int)",
    "QStringList getLangStrings(QString,QString)", "QVariant createMacroIni(QVariant,QVariant)",
    "QVariant updataNameList(QVariant,QStringList)",
    "QVariant modifyMacroNameUpdateProfile(QVariant,QVariant)",
    "void deleteMacroUpdateProfile(QVariant)", "QVariant deleteMacroIni(QVariant)",
    "QVariantList getNameList(QVariant)", "QVariant saveMacroIni(QVariant,QStringList,QVariant)",
    "QVariant mouseSendMacroData(QVariantList,QVariant)", "QStringList loadMacroIni(QVariant)",
    "void mouseSaveGundata(QVariant,QVariantList)", "void mouseSendGundata(int,QVariantList)",
    "void modifyGundata(QVariant,QVariantList)", "QVariantList getGunData(QVariant)",
    "QStringList getGunDataKey()", "QVariant getXYSensitive(QVariant)",
    "QVariant getselectGun(QVariant)", "void setXYSensitive(QVariant,QVariant)",
    "void setSelectGun(QVariant,QVariant)", "void setCurrentProfile(int)",
    "void mouseSetKeyboardoption(uchar,uchar,uchar,uchar)", "void mouseSetReportRate(uchar)",
    "void mouseSetLod(uchar,uchar)", "void mouseSetCurrentDPI(uchar)", "void mouseResetKeyMatrix()",
    "QVariant mouseGetCurrentDPI()", "void mouseGetRight()",
    "void mouseSetKeyMatrix(QVariantList,bool,QVariantList)", "void mouseSetMaxDpi(int)",
    "void mouseSetDpi(int,QString,QVariantList)", "void mouseSetRGBEffect(uchar,uchar,uchar)",
    "void mouseSetRGBColor(uchar,QVariantList)", "void mouseSetProfile(uint)",
    "void mouseReadProfile(uint)", "QVariant mouseReadCurrentProfile()",
    "void mouseSwitchKeyMatrix(int)", "QVariantList GetKeyboardoption()",
    "void mouseSetCursorSpeed(uint)", "void mouseSetVerticalScrollLines(uint)",
    "void mouseSetDoubleClickSpeed(uint)", "QVariantList mouseGetKeydefine(QVariant,bool)",
    "void openUpdateExe()", "QVariant getData(QVariant,bool)", "QVariant getGlobalData(QVariant)",
    "QVariantList getDataList(QVariant,bool)", "void setData(QVariant,QVariant)",
    "void setGlobalData(QVariant,QVariant)", "void setDataList(QVariant,QVariantList)",
    "void setBusy(int)", "void setCurrentDPI(int)"};

const QStringList workerSlots = {
    "uchar hidCS(uchar*)", "bool chkDeviceIsEnCode(int)", "void USBDataEncryption(uchar*,uchar*)",
    "void USBDataDecipher(uchar*,uchar*)",
    "void hid553_00H_GetSecrecyCode(uchar&,uchar&,uchar&,uchar&)",
    "void hid553_83H_GetKeyboardoption(uchar&,uchar&,uchar&,uchar&)",
    "void hid560_81H_GetKeyboardoption(uchar&,uchar&)", "void hid560_82H_GetCurrentProfile(uchar&)",
    "void hid560_84H_GetCurrentDPI(uchar&,uchar&)", "void hid553_8BH_GetCurrentDPI(uchar&)",
    "void hid553_8BH_GetRight(uchar&)",
    "void hid553_03H_SetKeyboardoption(uchar,uchar,uchar,uchar)",
    "void hid553_04H_SetGunData(uchar,uchar,uchar,uchar)",
    "void hid560_01H_SetKeyboardoption(uchar,uchar)", "void hid553_01H_SetReportRate(uchar)",
    "void hid560_03H_SetReportRate(uchar)", "void hid560_04H_SetCurrentDPI(uchar)",
    "void hid553_0BH_SetCurrentDPI(uchar)", "void hid553_12H_SetKeyMatrix(uchar*,uchar)",
    "void hid560_0DH_SetKeyMatrix(uchar*,uchar)", "void hid560_0CH_setProfile(uchar*,uchar)",
    "void hid560_8CH_readProfile(uchar*,uchar)", "void hid560_02H_SetCurrentProfile(uchar)",
    "void hid553_13H_SetMacroKey(uchar,uchar*)", "void hid560_0FH_SetMacroKey(uchar,uchar*)",
    "void hid553_11H_SetDPISet(uchar,uchar*)", "void hid553_02H_SetCurrentKeyMatrix(uchar)",
    "void hid553_0DH_SetRGBLedEffect(uchar,uchar,uchar)", "void hid553_0CH_SetFixLEDColor(uchar*)",
    "void hid553_10H_SetLED8StageColor(uchar,uchar*)"};

// The class's own public slots, in meta-object order, as "type signature".
QStringList ownSlots(const QMetaObject &mo)
{
    QStringList out;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod m = mo.method(i);
        // Default arguments add cloned entries right after their method;
        // they carry no index of the table.
        if (m.attributes() & QMetaMethod::Cloned) continue;
        if (m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Public)
            out << QString::fromLatin1(m.typeName()) + ' ' +
                       QString::fromLatin1(m.methodSignature());
    }
    return out;
}

// Every slot in the table, nothing else, and each at its index.
void compareTables(const QStringList &actual, const QStringList &want)
{
    for (const QString &s : want)
        QVERIFY2(actual.contains(s), qPrintable("missing: " + s));
    for (const QString &s : actual)
        QVERIFY2(want.contains(s), qPrintable("not in the table: " + s));
    QCOMPARE(actual, want);
}

// One slot that only each area's branch brings.
const std::pair<const char *, const char *> areaMarkers[] = {
    {"store", "QStringList getLangStrings(QString,QString)"},
    {"platform", "void mouseSetCursorSpeed(uint)"},
    {"device", "void mouseGetRight()"},
    {"features", "void mouseSetDpi(int,QString,QVariantList)"},
};
} // namespace

class TestSlotOrder : public QObject
{
    Q_OBJECT
private slots:
    void bridge();
    void worker() { compareTables(ownSlots(Hid_Thread::staticMetaObject), workerSlots); }
};

void TestSlotOrder::bridge()
{
    const QStringList actual = ownSlots(myQQuickView::staticMetaObject);
    QStringList absent, present;
    for (const auto &[area, marker] : areaMarkers)
        if (!actual.contains(QLatin1String(marker))) absent << QLatin1String(area);
    if (absent.isEmpty()) return compareTables(actual, bridgeSlots);
    // Partial tree: the slots present must already be in table order.
    for (const QString &s : bridgeSlots)
        if (actual.contains(s)) present << s;
    compareTables(actual, present);
    QSKIP(qPrintable("areas not merged yet: " + absent.join(", ")));
}

QTEST_GUILESS_MAIN(TestSlotOrder)
#include "tst_slot_order.moc"
