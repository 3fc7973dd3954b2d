#pragma once
// A parameter of a stored procedure call or of a parameterized statement.

#include "data/value.h"

#include <QString>

namespace quillon {

enum class ParameterType { VarChar, Integer, SmallInt, Double, Currency, Date, DateTime, Boolean };
enum class ParameterDirection { Input, Output, InputOutput, ReturnValue };

struct Parameter {
    QString name;
    ParameterType type = ParameterType::VarChar;
    ParameterDirection direction = ParameterDirection::Input;
    int size = 0;   // characters for VarChar; 0 for fixed-size types
    Value value;    // the input value; after Execute, the returned value for outputs

    bool isInput() const { return direction == ParameterDirection::Input || direction == ParameterDirection::InputOutput; }
    bool isOutput() const { return direction != ParameterDirection::Input; }
};

}  // namespace quillon
