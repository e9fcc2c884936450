#pragma once
// Waiting for a thread a component started on its own (the book's head start)
// to end, so that a test can change the book after it has read it.

// The number of threads the process runs now.
int RunningThreads();

// Waits, at most ten seconds, until the process runs no more threads than it
// did before (threadsBefore); false when it still runs more.
bool ThreadsEndedSince(int threadsBefore);
