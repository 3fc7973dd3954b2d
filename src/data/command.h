#pragma once
// A command: a stored procedure call (or a parameterized statement) with
// parameters appended in order and read back by position after Execute.
//
//   Command cmd(db);
//   cmd.setCommandText("usp_getNextNumber");
//   cmd.setCommandType(CommandType::StoredProcedure);
//   cmd.append(Command::createParameter("tablename", ParameterType::VarChar, ParameterDirection::Input, 40, table));
//   ...
//   cmd.execute();
//   int key = int(cmd.parameter(2).value.toInt());

#include "data/connection.h"
#include "data/parameter.h"

#include <vector>

namespace quillon {

enum class CommandType { Text, StoredProcedure };

class Command {
public:
    Command() = default;
    explicit Command(Connection& connection) : m_connection(&connection) {}

    void setActiveConnection(Connection& connection) { m_connection = &connection; }
    Connection* activeConnection() const { return m_connection; }
    void setCommandText(const QString& text) { m_text = text; }
    const QString& commandText() const { return m_text; }
    void setCommandType(CommandType type) { m_type = type; }
    CommandType commandType() const { return m_type; }

    static Parameter createParameter(const QString& name, ParameterType type, ParameterDirection direction,
                                     int size, const Value& value = Value());
    void append(const Parameter& p) { m_params.push_back(p); }
    int parameterCount() const { return int(m_params.size()); }
    // By position (0-based) or by name; throws DbError when there is none.
    Parameter& parameter(int index);
    Parameter& parameter(const QString& name);

    // Runs the procedure (output parameters are filled in) or the statement,
    // whose ? placeholders take the input parameters in order. Returns the
    // rows a statement changed, -1 for a procedure.
    int execute();

private:
    Connection* m_connection = nullptr;
    QString m_text;
    CommandType m_type = CommandType::Text;
    std::vector<Parameter> m_params;
};

}  // namespace quillon
