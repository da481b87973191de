#include "IndicatorTest.h"

#include <QTest>

QTEST_MAIN(IndicatorTest)
