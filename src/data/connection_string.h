#pragma once
// Reading and writing "key=value;key=value" connection strings. Values may be
// braced ({a;b}) as ODBC allows; keys are matched case-insensitively.

#include <QString>

#include <utility>
#include <vector>

namespace quillon {

class ConnectionString {
public:
    ConnectionString() = default;
    static ConnectionString parse(const QString& text);

    QString value(const QString& key) const;       // empty when absent
    bool contains(const QString& key) const;
    void set(const QString& key, const QString& value);
    void remove(const QString& key);
    QString toString() const;

private:
    std::vector<std::pair<QString, QString>> m_items;
};

}  // namespace quillon
