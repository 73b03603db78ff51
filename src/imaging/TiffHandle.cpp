#include "TiffHandle.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "ImageErrors.h"
#include "ImageLimits.h"

namespace tovra {

struct TTiffHandle::TState {
    const TTiffSource* Source = nullptr;
    std::uint64_t Position = 0;
    std::string Name;
    std::string FirstError;
    bool Warned = false;
};

namespace {

using TState = TTiffHandle::TState;

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* state = static_cast<TState*>(handle);
    if (size <= 0 || state->Position >= state->Source->Size()) return 0;
    const std::uint64_t count = std::min<std::uint64_t>(static_cast<std::uint64_t>(size),
                                                        state->Source->Size() - state->Position);
    if (!state->Source->Read(buffer, static_cast<std::size_t>(count), state->Position)) return -1;
    state->Position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* state = static_cast<TState*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR) base = state->Position;
    else if (whence == SEEK_END) base = state->Source->Size();
    else if (whence != SEEK_SET) return static_cast<toff_t>(-1);
    // Positions past the end are allowed (reads there return nothing); wrapping around is not.
    if (offset > UINT64_MAX - base) return static_cast<toff_t>(-1);
    state->Position = base + offset;
    return state->Position;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return static_cast<TState*>(handle)->Source->Size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

std::string Format(const char* format, va_list arguments) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    return text;
}

int OnError(TIFF*, void* data, const char*, const char* format, va_list arguments) {
    auto* state = static_cast<TState*>(data);
    if (!state->FirstError.empty()) return 1;
    std::string text = Format(format, arguments);
    // Some messages start with the file's name, which the reader's own message gives already.
    if (const std::string prefix = state->Name + ": "; text.starts_with(prefix)) text.erase(0, prefix.size());
    state->FirstError = std::move(text);
    return 1;  // handled: libtiff's process-wide handler is not called
}

int OnWarning(TIFF*, void* data, const char*, const char*, va_list) {
    static_cast<TState*>(data)->Warned = true;
    return 1;
}

// A few libtiff paths report through the process-wide handlers (those that know no file);
// they print to stderr by default, so they are silenced once for the whole program.
void SilenceProcessWideHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

struct TOptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

TTiffHandle::TTiffHandle(const TTiffSource& source, const std::string& name, std::uint64_t directoryOffset)
    : state_(std::make_unique<TState>()) {
    SilenceProcessWideHandlers();
    state_->Source = &source;
    state_->Name = name;
    std::unique_ptr<TIFFOpenOptions, TOptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options) throw DecodeError("not enough memory");
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxImageBytes);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, state_.get());
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, state_.get());
    // "h": the header only; the page's own directory is read below. "m": no memory mapping.
    tiff_.reset(TIFFClientOpenExt(name.c_str(), "rhm", state_.get(), ReadProc, WriteProc, SeekProc, CloseProc,
                                  SizeProc, MapProc, UnmapProc, options.get()));
    if (!tiff_) Fail("it cannot be opened");
    if (!TIFFSetSubDirectory(tiff_.get(), directoryOffset)) Fail("the page's directory cannot be read");
}

TTiffHandle::~TTiffHandle() = default;

const TTiffSource& TTiffHandle::Source() const { return *state_->Source; }

void TTiffHandle::ClearMessages() const {
    state_->FirstError.clear();
    state_->Warned = false;
}

bool TTiffHandle::Warned() const { return state_->Warned; }

void TTiffHandle::Fail(const std::string& what) const {
    if (state_->FirstError.empty()) throw DecodeError(what);
    throw DecodeError(what + " (" + state_->FirstError + ")");
}

}  // namespace tovra
