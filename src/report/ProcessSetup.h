#pragma once
// What both programs do first thing in main, before they open any file.
namespace tovra {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so that no file the
// program opens later takes one of their numbers (a scratch file opened as descriptor 1 would
// receive what is meant for standard output), and remembers that standard output was closed.
void GuardStandardDescriptors();

// Fails as a write to a closed descriptor does ("Error writing to standard output: Bad file
// descriptor") when standard output was closed as the program started.
void RequireOpenStandardOutput();

// A write past a file-size limit (ulimit -f, a quota) then fails with EFBIG through the
// ordinary error path, which removes the temporary file and reports it, instead of killing
// the process with SIGXFSZ.
void IgnoreFileSizeSignal();

}  // namespace tovra
