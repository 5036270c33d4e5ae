#pragma once
// Linux only: libmsi crashes on some damaged packages (a compound-file stream shorter than its
// directory entry says ends in a null dereference while the database opens), so a package is
// first read whole in a child process, where a crash or a hang ends only the child.

namespace zarvo::libmsi {

enum class TrialOutcome {
    ReadThrough,  // the child read every table, row, stream and summary property
    NotOpened,    // libmsi refused to open the file as a database
    Damaged,      // the child crashed, or did not finish within kTrialSeconds
    NotRun,       // no child could be started
};

inline constexpr int kTrialSeconds = 60;

TrialOutcome TrialRead(const char* path);

// What the child does: opens the database, reads its summary information, then every table
// the database lists, with its columns, every row's fields as text and every stream to its
// end. Answers false when the database does not open.
bool ReadWholePackage(const char* path);

}  // namespace zarvo::libmsi
