#pragma once
// The error kinds the program raises, named as the window framework names them.
// Every error carries its message; the handler guard shows it in the standard error box.
// Every error of every layer derives from Exception (the store's SqliteFailure,
// the formats' ExchangeError, the companion's UsageError), so one catch sees them all.

#include <QString>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : Message(std::move(message)), utf8_(Message.toStdString()) {}
    const char* what() const noexcept override { return utf8_.c_str(); }
    QString Message;

private:
    std::string utf8_;
};

// Each kind is its base with nothing added but the name a handler can catch.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
class EJPEG : public Exception {
public:
    using Exception::Exception;
};
class EClipboardException : public Exception {
public:
    using Exception::Exception;
};
class EOleError : public Exception {
public:
    using Exception::Exception;
};
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
