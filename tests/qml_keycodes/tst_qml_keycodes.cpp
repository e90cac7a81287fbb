#include <QtQuickTest>

QUICK_TEST_MAIN(qml_keycodes)
