// The UI documents and the command-line tool reach the bridge and the HID
// worker by meta-object index as well as by name: both slot tables keep
// their fixed order.
#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"

#include <QMetaMethod>
#include <QtTest>

namespace
{
// clang-format off
const char *const kBridge =
    "clearHidBusy() initUI() runUI() resetApconfig() loadMacroFile(QVariant) saveMacroFile(QVariant) "
    "loadProfile(int) saveProfile(int) resetProfile(int) copyProfile(int,int) getLangStrings(QString,QString) "
    "createMacroIni(QVariant,QVariant) updataNameList(QVariant,QStringList) "
    "modifyMacroNameUpdateProfile(QVariant,QVariant) deleteMacroUpdateProfile(QVariant) "
    "deleteMacroIni(QVariant) getNameList(QVariant) saveMacroIni(QVariant,QStringList,QVariant) "
    "mouseSendMacroData(QVariantList,QVariant) loadMacroIni(QVariant) mouseSaveGundata(QVariant,QVariantList) "
    "mouseSendGundata(int,QVariantList) modifyGundata(QVariant,QVariantList) getGunData(QVariant) "
    "getGunDataKey() getXYSensitive(QVariant) getselectGun(QVariant) setXYSensitive(QVariant,QVariant) "
    "setSelectGun(QVariant,QVariant) setCurrentProfile(int) mouseSetKeyboardoption(uchar,uchar,uchar,uchar) "
    "mouseSetReportRate(uchar) mouseSetLod(uchar,uchar) mouseSetCurrentDPI(uchar) mouseResetKeyMatrix() "
    "mouseGetCurrentDPI() mouseGetRight() mouseSetKeyMatrix(QVariantList,bool,QVariantList) "
    "mouseSetMaxDpi(int) mouseSetDpi(int,QString,QVariantList) mouseSetRGBEffect(uchar,uchar,uchar) "
    "mouseSetRGBColor(uchar,QVariantList) mouseSetProfile(uint) mouseReadProfile(uint) "
    "mouseReadCurrentProfile() mouseSwitchKeyMatrix(int) GetKeyboardoption() mouseSetCursorSpeed(uint) "
    "mouseSetVerticalScrollLines(uint) mouseSetDoubleClickSpeed(uint) mouseGetKeydefine(QVariant,bool) "
    "openUpdateExe() getData(QVariant,bool) getGlobalData(QVariant) getDataList(QVariant,bool) "
    "setData(QVariant,QVariant) setGlobalData(QVariant,QVariant) setDataList(QVariant,QVariantList) "
    "setBusy(int) setCurrentDPI(int)";
const char *const kWorker =
    "hidCS(uchar*) chkDeviceIsEnCode(int) USBDataEncryption(uchar*,uchar*) USBDataDecipher(uchar*,uchar*) "
    "hid553_00H_GetSecrecyCode(uchar&,uchar&,uchar&,uchar&) hid553_83H_GetKeyboardoption(uchar&,uchar&,uchar&,uchar&) "
    "hid560_81H_GetKeyboardoption(uchar&,uchar&) hid560_82H_GetCurrentProfile(uchar&) "
    "hid560_84H_GetCurrentDPI(uchar&,uchar&) hid553_8BH_GetCurrentDPI(uchar&) hid553_8BH_GetRight(uchar&) "
    "hid553_03H_SetKeyboardoption(uchar,uchar,uchar,uchar) hid553_04H_SetGunData(uchar,uchar,uchar,uchar) "
    "hid560_01H_SetKeyboardoption(uchar,uchar) hid553_01H_SetReportRate(uchar) hid560_03H_SetReportRate(uchar) "
    "hid560_04H_SetCurrentDPI(uchar) hid553_0BH_SetCurrentDPI(uchar) hid553_12H_SetKeyMatrix(uchar*,uchar) "
    "hid560_0DH_SetKeyMatrix(uchar*,uchar) hid560_0CH_setProfile(uchar*,uchar) "
    "hid560_8CH_readProfile(uchar*,uchar) hid560_02H_SetCurrentProfile(uchar) "
    "hid553_13H_SetMacroKey(uchar,uchar*) hid560_0FH_SetMacroKey(uchar,uchar*) "
    "hid553_11H_SetDPISet(uchar,uchar*) hid553_02H_SetCurrentKeyMatrix(uchar) "
    "hid553_0DH_SetRGBLedEffect(uchar,uchar,uchar) hid553_0CH_SetFixLEDColor(uchar*) "
    "hid553_10H_SetLED8StageColor(uchar,uchar*)";
// clang-format on

// The class's own public slots in meta-object order; the copies that
// default arguments add carry no index of their own.
QStringList ownSlots(const QMetaObject &mo)
{
    QStringList out;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod m = mo.method(i);
        if (!(m.attributes() & QMetaMethod::Cloned) && m.methodType() == QMetaMethod::Slot &&
            m.access() == QMetaMethod::Public)
            out << QString::fromLatin1(m.methodSignature());
    }
    return out;
}
} // namespace

class TestSlotOrder : public QObject
{
    Q_OBJECT
private slots:
    void tables()
    {
        QCOMPARE(ownSlots(myQQuickView::staticMetaObject), QString(kBridge).split(' '));
        QCOMPARE(ownSlots(Hid_Thread::staticMetaObject), QString(kWorker).split(' '));
    }
};

QTEST_GUILESS_MAIN(TestSlotOrder)
#include "tst_slot_order.moc"
