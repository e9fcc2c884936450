#pragma once
// The labels imports write before the values they put into 备注 or keep aside
// ("电话:010-1", "邮箱（工作）:a@b.cn"): how one is read back into its kind.

#include <QString>

// The label without the kind the person gave in brackets: "电话（老家）" is "电话".
QString LabelBase(const QString& label);
// The same as a view into the label.
QStringView LabelBaseView(QStringView label);
// The bracketed kind of a label, empty when none: "电话（老家）" gives "老家".
QString LabelKind(const QString& label);
// "电话（kind）", or the bare label when kind is empty.
QString LabelWithKind(const QString& base, const QString& kind);

// 电话, 手机, 住宅电话, 传真, 寻呼机, ...: the value is a phone number.
bool isPhoneLabel(QStringView label);
// A value of another person a card holds, its assistant's or a relation's:
// "电话（助理 Susan）", "邮箱（关系人 五）". It never fills the person's columns.
bool isAnotherPersonsValue(QStringView label);
// The kind those values' labels start with, before the person's name.
QString AnotherPersonsKind(const QString& role, const QString& name);
// 邮箱: the value is an e-mail address.
bool isMailLabel(QStringView label);

// The kind of the value that fills 电话 or 地址, which the column cannot hold:
// "电话类别:工作电话", "地址类别:工作", so an export writes the number as a work
// number again rather than as any voice line.
inline constexpr QStringView PhoneKindLabel = u"电话类别";
inline constexpr QStringView AddressKindLabel = u"地址类别";
// What 电话类别 says of the number that fills 电话 under that label: the label,
// unless it says no more than any number ("电话") or the number itself does (a mobile's "手机").
QString ColumnPhoneKind(const QString& label, const QString& number);

// How a label and its value stand in 备注: "label:value".
inline constexpr char16_t LabelSeparator = u':';
// How 备注 joins the note and what flows into it.
inline constexpr char16_t NoteSeparator = u'；';

// Whether an import writes this label before a value: the Chinese labels of
// the fields without a column (电话, 邮箱, 邮编, 国家, 单位, ...), the column
// names, and the names of properties no label stands for ("X-FOO", "EXPERTISE").
bool isImportLabel(const QString& label);
