#pragma once
// A scratch INI file in a fresh folder, and the DefaultIniFile setting restored afterwards.
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "components/Other/IniFile.h"

namespace tovra::test {

class ScratchIni {
public:
    ScratchIni() : saved_(DefaultIniFile()), path_((dir_ / "tovrapdf.ini").string()) {}
    ~ScratchIni() { DefaultIniFile() = saved_; }
    ScratchIni(const ScratchIni&) = delete;
    ScratchIni& operator=(const ScratchIni&) = delete;

    const std::string& Path() const { return path_; }
    const TempDir& Dir() const { return dir_; }
    std::string Text() const { return ReadFileBytes(path_); }
    void SetText(const std::string& text) const { WriteFileBytes(path_, text); }

private:
    std::string saved_;
    TempDir dir_;
    std::string path_;
};

}  // namespace tovra::test
