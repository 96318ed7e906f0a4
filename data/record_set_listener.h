#pragma once

namespace lambreya {

// Why the current record moved, so that a grid can place it on screen: a search shows
// the view from its top, a located record stands in the middle of the visible rows,
// every other move only keeps the current record in sight.
enum class MoveKind {
    Step,
    First,
    Locate,
};

// Told of every change of a record set that a view of it must follow. Rows are places
// in the view (0-based); -1 stands for no current record.
class RecordSetListener {
public:
    virtual ~RecordSetListener() = default;

    // The whole view is about to change (opened, closed or filtered anew), and has changed.
    // Between the two the set reads as it was before.
    virtual void viewAboutToReset() {}
    virtual void viewReset() {}
    // A row is about to be inserted or removed, and has been: each pair is told around the
    // change itself, so that a listener sees the old row count until the second call.
    virtual void rowAboutToBeInserted(int row) { (void)row; }
    virtual void rowInserted(int row) { (void)row; }
    virtual void rowAboutToBeRemoved(int row) { (void)row; }
    virtual void rowRemoved(int row) { (void)row; }
    // The values shown in a row changed (a field was set, a record posted or restored).
    virtual void rowChanged(int row) { (void)row; }
    virtual void currentMoved(int oldRow, int newRow, MoveKind kind) {
        (void)oldRow;
        (void)newRow;
        (void)kind;
    }
    // Browsing, editing or new: the state of the current record changed.
    virtual void stateChanged() {}
    // The record is about to be posted: take text still held by an editor into it now.
    virtual void updateRecord() {}
};

} // namespace lambreya
