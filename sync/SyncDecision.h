#pragma once
// What one contact needs, decided from three things only: whether the sync
// knew it (its row in the status table), how the book's record stands and how
// the server's card stands against what the two last agreed. A pure table,
// so every case is tested on its own.

enum class SideState { Absent, Unchanged, Changed };

struct SyncItem {
    bool known = false;    // the status table has the pair
    bool pending = false;  // a new card was sent and never confirmed
    SideState book = SideState::Absent;
    SideState server = SideState::Absent;
};

enum class SyncAction {
    None,
    CreateCard,     // a record new in the book
    CreateRecord,   // a card new on the server
    Upload,         // the book changed
    Download,       // the server changed
    Merge,          // both changed: field by field
    DeleteCard,     // deleted in the book, unchanged on the server
    DeleteRecord,   // deleted on the server, unchanged in the book
    PutBackRecord,  // deleted in the book, changed on the server: the change wins
    RemakeCard,     // deleted on the server, changed in the book: the change wins
    Adopt,          // a new card sent before finds itself on the server
    Forget,         // gone on both sides
};

SyncAction Decide(const SyncItem& item);
