#pragma once
// An amount box: shows its value in a display format while it does not have
// the focus and the plain number while it is being edited.

#include <QLineEdit>
#include <QString>

namespace rt {
// Reads a money amount as a user types it or as the display format shows
// it: "1234.5", "-12", "$1,000.00", "($12.00)". Blank reads as 0.
// Returns false for anything else.
bool ParseMoney(const QString& text, double& value);
} // namespace rt

class MaskEdBox : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskEdBox(QWidget* parent = nullptr);

    void setFormat(const QString& pattern);
    QString format() const { return m_format; }

    // The plain text of the amount (what the user typed, or what setText
    // gave), whatever the box is showing.
    QString Text() const { return m_plain; }
    void setText(const QString& text);

    // The amount; false when the text is not a money amount.
    bool Value(double& value) const { return rt::ParseMoney(m_plain, value); }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showFormatted();

    QString m_format;
    QString m_plain;
    bool m_editing = false;
};
