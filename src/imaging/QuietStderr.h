#pragma once
// Some codec libraries print their complaints about damaged data straight to standard error,
// with no way to turn it off (libde265's "SPS error: ...", dav1d's log). A TQuietStderr held
// around such a call sends file descriptor 2 to /dev/null until the last guard of any thread
// ends, so a broken picture gives our message only, not the library's noise on the terminal.
//
// The redirection is process-wide: whatever another thread writes to standard error meanwhile
// is lost too. Keep the guarded calls short (one decode). Sanitizer reports still reach the
// original standard error.
namespace tovra {

class TQuietStderr {
public:
    TQuietStderr();
    ~TQuietStderr();
    TQuietStderr(const TQuietStderr&) = delete;
    TQuietStderr& operator=(const TQuietStderr&) = delete;
};

}  // namespace tovra
