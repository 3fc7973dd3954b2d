#include "reports/engine/json_data.h"

#include "data/dberror.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace quillon::reports {

namespace {

Value jsonValue(const QJsonValue& v, const QString& where)
{
    switch (v.type()) {
    case QJsonValue::Null: case QJsonValue::Undefined: return Value();
    case QJsonValue::Bool: return Value(v.toBool());
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9e15) return Value(std::int64_t(d));
        return Value(d);
    }
    case QJsonValue::String: {
        const QString s = v.toString();
        static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        static const QRegularExpression dateTime(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}(:\\d{2})?$"));
        if (date.match(s).hasMatch()) {
            const QDate d = QDate::fromString(s, Qt::ISODate);
            if (d.isValid()) return Value(d);
        }
        if (dateTime.match(s).hasMatch()) {
            const QDateTime dt = QDateTime::fromString(s, Qt::ISODate);
            if (dt.isValid()) return Value(dt);
        }
        return Value(s);
    }
    case QJsonValue::Object: {
        const QJsonObject o = v.toObject();
        if (o.size() == 1) {
            const QString kind = o.begin().key();
            const QString text = o.begin().value().toVariant().toString();
            if (kind == QLatin1String("currency")) {
                bool ok = false;
                const Currency c = Currency::fromString(text, &ok);
                if (ok) return Value(c);
            } else if (kind == QLatin1String("date")) {
                const QDate d = Value(text).toDate();
                if (d.isValid()) return Value(d);
            } else if (kind == QLatin1String("time")) {
                const QDateTime t = Value(text).toDateTime();
                if (t.isValid()) return Value(QDateTime(QDate(1899, 12, 30), t.time()));
            } else if (kind == QLatin1String("text")) {
                return Value(text);
            }
        }
        throw DbError(ErrorNumber::Generic, QStringLiteral("%1: cannot read the value %2")
                                                .arg(where, QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact))));
    }
    case QJsonValue::Array:
        break;
    }
    throw DbError(ErrorNumber::Generic, QStringLiteral("%1: a value cannot be an array").arg(where));
}

}  // namespace

RecordsetPtr recordsetFromJson(const QJsonArray& rows, const QString& where)
{
    QStringList fields;
    for (const QJsonValue& r : rows) {
        if (!r.isObject()) throw DbError(ErrorNumber::Generic, QStringLiteral("%1: every row must be an object").arg(where));
        for (const QString& k : r.toObject().keys())
            if (!fields.contains(k)) fields << k;
    }
    std::vector<Recordset::Row> data;
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject o = rows.at(i).toObject();
        Recordset::Row row;
        for (const QString& f : fields)
            row.push_back(o.contains(f) ? jsonValue(o.value(f), QStringLiteral("%1 row %2 field %3").arg(where).arg(i + 1).arg(f))
                                        : Value());
        data.push_back(std::move(row));
    }
    return Recordset::fromRows(fields, std::move(data));
}

QJsonValue jsonFromValue(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Null: return QJsonValue();
    case Value::Type::Bool: return v.toBool();
    case Value::Type::Int: return double(v.toInt());
    case Value::Type::Double: return v.toDouble();
    case Value::Type::Currency: return QJsonObject{{QStringLiteral("currency"), v.toCurrency().toString()}};
    case Value::Type::Text: return v.toString();
    case Value::Type::Date: return v.toDate().toString(Qt::ISODate);
    case Value::Type::DateTime: {
        const QDateTime dt = v.toDateTime();
        if (dt.date() == QDate(1899, 12, 30))
            return QJsonObject{{QStringLiteral("time"), dt.time().toString(QStringLiteral("HH:mm:ss"))}};
        return dt.date().toString(Qt::ISODate) + QLatin1Char('T') + dt.time().toString(QStringLiteral("HH:mm:ss"));
    }
    }
    return QJsonValue();
}

namespace {

// The names rows are written under: a field name returned again
// (ContractorPost.Amt, then ContractorAdjustments.Amt) is written as "Amt#2",
// "Amt#3", ..., the name templates reach it by.
QStringList jsonFieldNames(const Recordset& rs)
{
    QStringList names;
    for (int c = 0; c < rs.fieldCount(); ++c) {
        QString name = rs.fieldName(c);
        for (int n = 2; names.contains(name); ++n) name = rs.fieldName(c) + QLatin1Char('#') + QString::number(n);
        names << name;
    }
    return names;
}

QJsonObject jsonRow(const Recordset& rs, const QStringList& names, int r)
{
    QJsonObject row;
    for (int c = 0; c < rs.fieldCount(); ++c) row.insert(names.at(c), jsonFromValue(rs.at(r, c)));
    return row;
}

}  // namespace

QJsonArray recordsetToJson(const Recordset& rs)
{
    const QStringList names = jsonFieldNames(rs);
    QJsonArray rows;
    for (int r = 0; r < rs.recordCount(); ++r) rows.append(jsonRow(rs, names, r));
    return rows;
}

void writeRecordsetJson(const Recordset& rs, QIODevice& out)
{
    const QStringList names = jsonFieldNames(rs);
    out.write("[");
    for (int r = 0; r < rs.recordCount(); ++r) {
        out.write(r == 0 ? "\n" : ",\n");
        out.write(QJsonDocument(jsonRow(rs, names, r)).toJson(QJsonDocument::Compact));
    }
    out.write(rs.recordCount() > 0 ? "\n]" : "]");
}

std::map<QString, RecordsetPtr> tablesFromJson(const QByteArray& json, const QString& fileForMessages)
{
    QJsonParseError perr;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &perr);
    if (doc.isNull())
        throw DbError(ErrorNumber::Generic, QStringLiteral("%1 is not JSON: %2").arg(fileForMessages, perr.errorString()));
    std::map<QString, RecordsetPtr> tables;
    if (doc.isArray()) {
        tables[QStringLiteral("table1")] = recordsetFromJson(doc.array(), QStringLiteral("table1"));
        return tables;
    }
    const QJsonObject o = doc.object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        // "report" describes how the data was built (SQL, parameters); it is
        // written beside the tables by the program and holds no rows.
        if (it.key() == QLatin1String("report") && it.value().isObject()) continue;
        if (!it.value().isArray())
            throw DbError(ErrorNumber::Generic,
                          QStringLiteral("%1: %2 must be an array of rows").arg(fileForMessages, it.key()));
        tables[it.key()] = recordsetFromJson(it.value().toArray(), it.key());
    }
    return tables;
}

}  // namespace quillon::reports
