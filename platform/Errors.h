#pragma once
// The error kinds the program raises, named as the window framework names them.
// Every error carries its message; the handler guard shows it in the standard error box.

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

#define TESSALY_ERROR_KIND(Name, Base)                                                                                 \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        explicit Name(QString message) : Base(std::move(message)) {}                                                   \
    };

TESSALY_ERROR_KIND(EDatabaseError, Exception)
TESSALY_ERROR_KIND(EConvertError, Exception)
TESSALY_ERROR_KIND(EInvalidGraphic, Exception)
TESSALY_ERROR_KIND(EJPEG, Exception)
TESSALY_ERROR_KIND(EClipboardException, Exception)
TESSALY_ERROR_KIND(EOleError, Exception)
TESSALY_ERROR_KIND(EStreamError, Exception)
TESSALY_ERROR_KIND(EFOpenError, EStreamError)
TESSALY_ERROR_KIND(EReadError, EStreamError)
TESSALY_ERROR_KIND(EWriteError, EStreamError)

#undef TESSALY_ERROR_KIND
