#pragma once
// The exit statuses of tessaly-book and the failures that choose between them,
// shared by the commands, the password gate and the dispatcher, so none of
// them needs the dispatcher's header for these alone.

#include "platform/Errors.h"

namespace ExitCode {
constexpr int Success = 0;
constexpr int Failure = 1;  // the command failed and changed nothing
constexpr int Usage = 2;
}  // namespace ExitCode

// Arguments the command cannot take; the message says which, in Chinese.
class UsageError : public Exception {
public:
    using Exception::Exception;
};

// The login password was not given right: the command read and changed nothing.
class PasswordRefused : public Exception {
public:
    PasswordRefused() : Exception(QStringLiteral("密码不对")) {}
};
