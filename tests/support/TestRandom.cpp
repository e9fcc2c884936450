#include "TestRandom.h"

#include <QString>
#include <QtGlobal>

QRandomGenerator SeededRandom(const char* what, quint32 fixedSeed)
{
    bool given = false;
    const quint32 seed = qEnvironmentVariable("TESSALY_TEST_SEED").toUInt(&given);
    const quint32 used = given ? seed : fixedSeed;
    qInfo("%s: random seed %u (TESSALY_TEST_SEED=%u repeats it)", what, used, used);
    return QRandomGenerator(used);
}
