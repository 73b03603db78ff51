#include "app/dialogs/ReportingEdit.h"

#include <QFocusEvent>
#include <QLocale>

#include <cmath>

namespace tovra {

namespace {

bool ParseNumber(const QString& text, double& value) {
    bool ok = false;
    const double parsed = QLocale::c().toDouble(text.trimmed(), &ok);
    // Margins are whole 32-bit numbers once the fraction is cut off; larger values are not numbers.
    if (!ok || !std::isfinite(parsed) || std::fabs(parsed) >= 2147483648.0) return false;
    value = parsed;
    return true;
}

}  // namespace

TReportingEdit::TReportingEdit(bool numeric, QWidget* parent) : QLineEdit(parent), numeric_(numeric) {
    if (numeric_) setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Text set by the program is the text to go back to; the user's edits mark the field modified.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!isModified()) textOnEntry_ = text();
    });
}

bool TReportingEdit::IsNumber() const {
    double ignored = 0;
    return ParseNumber(text(), ignored);
}

double TReportingEdit::Value() const {
    double value = 0;
    return ParseNumber(text(), value) ? value : 0.0;
}

void TReportingEdit::Commit() {
    if (!isModified()) return;
    Report();
    if (numeric_ && !IsNumber()) {
        setText(textOnEntry_);
        Report();
    }
    setModified(false);
    textOnEntry_ = text();
}

void TReportingEdit::Report() {
    if (OnExit) OnExit();
}

void TReportingEdit::focusInEvent(QFocusEvent* event) {
    if (!isModified()) textOnEntry_ = text();
    QLineEdit::focusInEvent(event);
}

void TReportingEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Switching windows or opening a menu does not leave the field.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) Commit();
}

}  // namespace tovra
