#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

class Prompter;

/**
 * The base of every error the program reports to the user: a database statement, a conversion, a file
 * or the serial line failed. The text is shown as it stands.
 */
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

/** A file could not be read, written, copied or renamed; the text names the file and the cause. */
class FileError final : public AppError
{
public:
    using AppError::AppError;
};

/**
 * Runs a user-triggered handler; an AppError stops it and is shown in the standard error box.
 * Returns false when the handler was stopped that way.
 */
bool guarded(Prompter& prompter, const std::function<void()>& handler);
