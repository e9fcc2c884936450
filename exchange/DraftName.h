#pragma once
// A draft without a name named as a phone shows such a contact: by its
// account (用户名 of a web system's user list), its company, its nickname, its
// first e-mail address, else its number. A draft that holds a value is never
// left out for want of a name.

#include "exchange/ContactDraft.h"

// Fills 姓名 from the first of those the draft has and says so; leaves a named draft alone.
void NameFromWhatItHas(ContactDraft& draft);

// The label an account (用户名, 登录账号, 账号) is kept under.
inline constexpr QStringView AccountLabel = u"账号";
