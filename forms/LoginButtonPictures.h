#pragma once
// The pictures beside the login window's captions: 32 x 32, 24-bit colour,
// drawn once on first use so no picture file has to ship with the program.

#include <QIcon>

QIcon LoginPicture();           // "登录": a key
QIcon ChangePasswordPicture();  // "改密": a padlock
QIcon SavePicture();            // "保存": a diskette
