#include "macro/MacroCodec.h"

#include <QtQuickTest>

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void applicationAvailable() { MacroCodec::registerQmlType(); }
};

QUICK_TEST_MAIN_WITH_SETUP(qml_macrocodec, Setup)
#include "tst_qml_macrocodec.moc"
