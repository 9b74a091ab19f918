#pragma once

// A disk under the engine that counts the writes and syncs made to the
// database's files and fails, or stops the process, at a chosen one. It wraps
// the system's file layer and becomes the engine's default once installed, so
// the program opens its database through it without knowing.
namespace faultydisk {

enum class Fault {
    IoError,  // the write or sync reports an I/O error
    DiskFull, // the write or sync reports a full disk
    Stop,     // the process stops itself (SIGSTOP) before the write or sync
};

// Once per process, before the database is opened.
void install();

// Counts from zero, nothing armed.
void reset();
int writes();
int syncs();
int operations(); // writes and syncs

// The n-th write or sync from now (1 = the next one) meets the fault; the
// ones after it pass again.
void arm(int n, Fault fault);
void disarm();
bool struck(); // the armed fault happened

// While full, the index of the log finds no room to grow, as on a full disk:
// sizing it fails with the system's ENOSPC.
void setFull(bool full);

} // namespace faultydisk
