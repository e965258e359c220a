#pragma once
// A problem with the imported page that stops the import; the text says
// what is missing or wrong and is shown to the scorer.

#include <QString>

#include <stdexcept>

class ImportError : public std::runtime_error {
public:
    explicit ImportError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};
