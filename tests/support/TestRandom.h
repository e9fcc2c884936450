#pragma once
// Random test data that a failure can repeat: a generator that starts from a
// fixed seed and prints it. TESSALY_TEST_SEED=N in the environment runs the
// same test with another seed; the printed line says which one a run used.

#include <QRandomGenerator>

// what names the data in the printed line ("vCard photo bytes").
QRandomGenerator SeededRandom(const char* what, quint32 fixedSeed);
