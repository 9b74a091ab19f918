#pragma once

#include <QString>
#include <exception>
#include <string>

namespace rtl {

// Base of every error the program can raise. message() is the text the error
// window shows; kind() names the error class in the start-up error window.
class Error : public std::exception {
public:
    explicit Error(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const QString& message() const noexcept { return message_; }
    virtual const char* kind() const noexcept { return "Error"; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

// Raised by the database engine and the dataset layer.
class DatabaseError : public Error {
public:
    using Error::Error;
    const char* kind() const noexcept override { return "DatabaseError"; }
};

// A text that does not convert to a number or a date.
class ConvertError : public Error {
public:
    using Error::Error;
    const char* kind() const noexcept override { return "ConvertError"; }
};

// A failed file step; code() is the operating system's error number.
class InOutError : public Error {
public:
    InOutError(QString message, int code) : Error(std::move(message)), code_(code) {}
    // "File access denied", "Disk full" or "I/O error %d" for an errno value.
    static InOutError fromErrno(int err);
    int code() const noexcept { return code_; }
    const char* kind() const noexcept override { return "InOutError"; }

private:
    int code_;
};

} // namespace rtl
