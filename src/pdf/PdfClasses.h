#pragma once
// Enters every class of the PDF writer in the class registry (fonts, image creators) for as
// long as the object lives. Each program and test binary makes one at start.
namespace tovra {

void RegisterPdfClasses();
void UnregisterPdfClasses();

class TPdfClassesRegistration {
public:
    TPdfClassesRegistration() { RegisterPdfClasses(); }
    ~TPdfClassesRegistration() { UnregisterPdfClasses(); }
    TPdfClassesRegistration(const TPdfClassesRegistration&) = delete;
    TPdfClassesRegistration& operator=(const TPdfClassesRegistration&) = delete;
};

}  // namespace tovra
