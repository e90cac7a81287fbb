#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "features/ProfileImages.h"
#include "input/KeyMatrix.h"

namespace
{
QString bindingKey(bool alternate, int button)
{
    return (alternate ? QStringLiteral("mouseKeyMatrix0/") : QStringLiteral("mouseKeyMatrix/")) +
           QString::number(button);
}
} // namespace

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam)
{
    Q_UNUSED(otherParam);
    // The right flag picks which of the two stored sets the page edits.
    const bool alternate = right;
    for (int k = 0; k < KeyMatrix::kButtons; ++k)
        stores().setDataList(bindingKey(alternate, k), KeyMatrix::storedBinding(src64, k));
    if (!isSendData || !hid) return;

    const bool is560 = icType == QLatin1String("560");
    const KeyMatrix::Matrix matrix =
        KeyMatrix::buildDeviceMatrix(KeyMatrix::bindingsFromFlat(src64), is560);
    if (is560) {
        if (!ProfileImages::currentOnDevice(*this, "button assignments")) return;
        KeyMatrix::Matrix560 full = KeyMatrix::to560Form(matrix);
        hid->hid560_0DH_SetKeyMatrix(full.data(), uchar((currentProfile() + 1) & 0xFF));
        return;
    }
    KeyMatrix::Matrix bytes = matrix;
    hid->hid553_02H_SetCurrentKeyMatrix(alternate ? 1 : 0);
    hid->hid553_12H_SetKeyMatrix(bytes.data(), alternate ? 2 : 0);
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool isRecovery)
{
    const QString button = index.toString();
    const QString key = (!isRecovery && right ? QStringLiteral("mouseKeyMatrix0/")
                                              : QStringLiteral("mouseKeyMatrix/")) +
                        button;
    return stores().getDataList(key, isRecovery);
}

void myQQuickView::mouseResetKeyMatrix()
{
    if (!hid) return;
    std::array<QVariantList, KeyMatrix::kButtons> entries;
    for (int k = 0; k < KeyMatrix::kButtons; ++k)
        entries[size_t(k)] =
            stores().getDataList(QStringLiteral("mouseFwKeyMatrix/") + QString::number(k), false);
    KeyMatrix::Matrix560 buffer = KeyMatrix::factoryMatrix(entries);
    const bool is560 = icType == QLatin1String("560");
    for (uchar slot = 2; slot <= 4; ++slot) {
        if (is560)
            hid->hid560_0DH_SetKeyMatrix(buffer.data(), slot);
        else
            hid->hid553_12H_SetKeyMatrix(buffer.data(), slot);
    }
}
