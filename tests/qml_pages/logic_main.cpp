#include <QtQuickTest>

// The page computations and the shared controls need no bridge.
QUICK_TEST_MAIN(qml_logic)
