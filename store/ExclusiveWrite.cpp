#include "ExclusiveWrite.h"

#include "store/ADODB.h"

ExclusiveWrite::ExclusiveWrite(TADOConnection* connection)
{
    if (!connection || !connection->Connected() || connection->InTransaction())
        return;
    try {
        connection->BeginTrans();
        held_ = connection;
    } catch (const EDatabaseError&) {
    }
}

ExclusiveWrite::~ExclusiveWrite()
{
    if (!held_)
        return;
    try {
        held_->RollbackTrans();
    } catch (const EDatabaseError&) {
    }
}

void ExclusiveWrite::Commit()
{
    if (!held_)
        return;
    held_->CommitTrans();
    held_ = nullptr;
}
