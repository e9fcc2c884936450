#pragma once
// The catalog object "ADOX.Catalog" and late binding by name, as the creation
// helper uses them. Its method "Create" takes a creation text and makes an
// SQLCipher file keyed with the text's password, empty or, given a list of
// statements as a second argument, holding what they create.

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

class OleAutomationObject {
public:
    virtual ~OleAutomationObject() = default;
    // Calls a method by name; raises EOleError for an unknown method, and the
    // method's own error when it fails.
    virtual QVariant Invoke(const QString& method, const QVariantList& args) = 0;
};

// Creates the object registered under a program identifier; raises EOleError
// "无效的类字符串" when nothing is registered under it.
std::unique_ptr<OleAutomationObject> CreateOleObject(const QString& progId);

// Removes the hidden files that creations of this book killed half-way left
// beside it: only names a creation gives, only when they are older than a
// minute and no process holds them open. Never raises.
void RemoveAbandonedCreations(const QString& fileName);
