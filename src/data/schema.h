#pragma once
// The embedded database's schema, built into the program from sql/sqlite/schema.sql.

namespace quillon {
const char* sqliteSchemaSql();
}
