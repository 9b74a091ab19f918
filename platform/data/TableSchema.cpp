#include "platform/data/TableSchema.h"

#include "platform/data/SqlValue.h"
#include "platform/data/Statement.h"

namespace data {

std::optional<TableSchema> TableSchema::read(Database& db, const QString& name)
{
    TableSchema s;
    QString createSql;
    {
        Statement st(db, "SELECT name, sql FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
        st.bind(1, name);
        if (st.step()) {
            s.sqlName = st.text(0);
            createSql = st.text(1);
        }
    }
    if (s.sqlName.isEmpty())
        return std::nullopt;
    const bool autoInc = createSql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
    const std::string table = sql::quoted(s.sqlName).toStdString();

    QStringList pkColumns;
    QString rowidColumn;
    {
        Statement info(db, "PRAGMA table_info(" + table + ")");
        while (info.step()) {
            Column c;
            c.name = info.text(1);
            const QString decl = info.text(2);
            c.type = sql::typeOfDeclared(decl, &c.width);
            if (info.integer(5) > 0) {
                pkColumns.append(c.name);
                if (decl.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                    rowidColumn = c.name;
            }
            s.columns.push_back(c);
        }
    }
    // A lone INTEGER key is the rowid itself: the order needs no key columns.
    if (pkColumns.size() == 1 && !rowidColumn.isEmpty()) {
        for (auto& c : s.columns)
            if (c.name == rowidColumn && autoInc)
                c.type = FieldType::AutoInc;
    } else {
        s.primary = pkColumns;
    }
    {
        Statement list(db, "PRAGMA index_list(" + table + ")");
        while (list.step())
            s.indexes.push_back(Index{list.text(1), {}});
    }
    for (auto& ix : s.indexes) {
        Statement cols(db, "PRAGMA index_info(" + sql::quoted(ix.name).toStdString() + ")");
        while (cols.step())
            ix.columns.append(cols.text(2));
    }
    return s;
}

const TableSchema::Column* TableSchema::column(const QString& name) const
{
    for (const auto& c : columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const TableSchema::Index* TableSchema::index(const QString& name) const
{
    const Index* found = nullptr;
    for (const auto& ix : indexes)
        if (ix.name.compare(name, Qt::CaseInsensitive) == 0)
            found = &ix;
    return found;
}

} // namespace data
