#include "SyncDecision.h"

SyncAction Decide(const SyncItem& item)
{
    using S = SideState;
    const bool inBook = item.book != S::Absent;
    const bool onServer = item.server != S::Absent;
    if (!item.known) {
        if (inBook && !onServer)
            return SyncAction::CreateCard;
        if (onServer && !inBook)
            return SyncAction::CreateRecord;
        return SyncAction::None;
    }
    if (item.pending) {
        // The card may have reached the server before the answer was lost.
        if (onServer)
            return inBook ? SyncAction::Adopt : SyncAction::DeleteCard;
        return inBook ? SyncAction::CreateCard : SyncAction::Forget;
    }
    if (!inBook && !onServer)
        return SyncAction::Forget;
    if (!inBook)
        return item.server == S::Changed ? SyncAction::PutBackRecord : SyncAction::DeleteCard;
    if (!onServer)
        return item.book == S::Changed ? SyncAction::RemakeCard : SyncAction::DeleteRecord;
    if (item.book == S::Changed)
        return item.server == S::Changed ? SyncAction::Merge : SyncAction::Upload;
    return item.server == S::Changed ? SyncAction::Download : SyncAction::None;
}
