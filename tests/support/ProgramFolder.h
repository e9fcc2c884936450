#pragma once
// The set-up of the tests that start the program's windows: for each test
// function a new temporary folder standing in for the executable's folder (so
// the book is the test's own file) and a new scripted desktop answering every
// box. A test class derives from it after QObject, opens it in init() and
// closes it in cleanup().

#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestFolder.h"

#include <memory>

class ProgramFolderFixture {
protected:
    void openProgramFolder();
    void closeProgramFolder();  // the desktop first, then the folder

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<ScriptedDesktop> desk;
};
