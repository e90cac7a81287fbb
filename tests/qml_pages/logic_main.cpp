#include "macro/MacroCodec.h"

#include <QtQuickTest>

// The page computations need no bridge; the macro lists are held against
// the device encoder.
int main(int argc, char **argv)
{
    MacroCodec::registerQmlType();
    return quick_test_main(argc, argv, "qml_logic", QUICK_TEST_SOURCE_DIR);
}
