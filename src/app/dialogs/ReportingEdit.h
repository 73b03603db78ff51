#pragma once
// A one-line field that reports its value when the focus leaves it after an edit, not while
// typing. A numeric one holds a decimal number as text: its value is 0 while the text is not a
// number, and when it is left holding such text it reports 0, shows again the text it had when
// it received the focus and reports that, so what it shows and what was reported agree.
#include <QLineEdit>
#include <QString>

#include <functional>

namespace tovra {

class TReportingEdit : public QLineEdit {
public:
    explicit TReportingEdit(bool numeric, QWidget* parent = nullptr);

    // Called when the field is left (or committed) with a changed text.
    std::function<void()> OnExit;

    bool Numeric() const { return numeric_; }
    // Numeric fields: whether the text is a number within 32-bit range, and its value (0 if not).
    bool IsNumber() const;
    double Value() const;

    // Reports a pending edit now, as leaving the field would.
    void Commit();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Report();

    bool numeric_;
    QString textOnEntry_;
};

}  // namespace tovra
