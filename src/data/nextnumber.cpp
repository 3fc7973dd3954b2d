#include "data/nextnumber.h"

#include "data/command.h"

#include <limits>

namespace quillon {

int NextNumber(Connection& connection, const QString& table, const QString& field)
{
    Command cmd;
    cmd.setActiveConnection(connection);
    cmd.setCommandText(QStringLiteral("usp_getNextNumber"));
    cmd.setCommandType(CommandType::StoredProcedure);
    cmd.append(Command::createParameter(QStringLiteral("tablename"), ParameterType::VarChar, ParameterDirection::Input, 40,
                                        Value(table)));
    cmd.append(Command::createParameter(QStringLiteral("fieldname"), ParameterType::VarChar, ParameterDirection::Input, 40,
                                        Value(field)));
    cmd.append(Command::createParameter(QStringLiteral("nextnumber"), ParameterType::Integer, ParameterDirection::Output, 0));
    cmd.execute();

    const Value& result = cmd.parameter(2).value;
    if (result.isEmpty())
        throw DbError(13, QStringLiteral("Type mismatch: usp_getNextNumber returned no number for table %1.").arg(table));
    bool ok = true;
    std::int64_t n = result.toInt();
    if (result.type() == Value::Type::Text) n = result.toString().trimmed().toLongLong(&ok);
    if (!ok) throw DbError(13, QStringLiteral("Type mismatch: usp_getNextNumber returned '%1'.").arg(result.toString()));
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        throw DbError(6, QStringLiteral("Overflow: usp_getNextNumber returned %1.").arg(n));
    return int(n);
}

}  // namespace quillon
