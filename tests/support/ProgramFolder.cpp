#include "ProgramFolder.h"

#include "platform/AppPaths.h"

void ProgramFolderFixture::openProgramFolder()
{
    folder = std::make_unique<TestFolder>();
    OverrideExecutablePathForTests(folder->executablePath());
    desk = std::make_unique<ScriptedDesktop>();
}

void ProgramFolderFixture::closeProgramFolder()
{
    desk.reset();
    folder.reset();
}
