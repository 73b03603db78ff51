#pragma once
// A stream written front to back through a file descriptor. It counts the bytes itself, so it
// also works where the descriptor cannot seek or tell its position: a pipe, a terminal, a
// device or standard output.
#include <string>
#include <vector>

#include "pdf/PdfStreams.h"

namespace tovra {

class TDescriptorStream : public TStream {
public:
    // Writes to fd, which stays open unless closeWhenDone; name is used in messages.
    TDescriptorStream(int fd, std::string name, bool closeWhenDone);
    ~TDescriptorStream() override;
    TDescriptorStream(const TDescriptorStream&) = delete;
    TDescriptorStream& operator=(const TDescriptorStream&) = delete;

    using TStream::Write;
    void Write(const void* data, size_t count) override;
    int64_t Position() const override { return written_; }
    // Only the current position can be "moved" to: the stream never goes back.
    void SetPosition(int64_t position) override;
    int64_t Size() const override { return written_; }

    // Writes what is buffered; a failure ("Error writing to <name>: <reason>") is thrown.
    void Flush();
    // Flushes, then closes the descriptor when the stream owns it.
    void Close();

private:
    void WriteOut(const char* data, size_t count);

    int fd_;
    std::string name_;
    bool closeWhenDone_;
    std::vector<char> buffer_;
    int64_t written_ = 0;
};

}  // namespace tovra
