#include "platform/data/TextIndex.h"

#include "platform/data/Database.h"
#include "platform/data/SqlValue.h"

#include <QRegularExpression>

namespace data::textindex {

namespace {

QString indexName(const QString& table, const QString& column)
{
    return QStringLiteral("engine_text_%1_%2").arg(table, column);
}

// Whether the index narrows the pattern: one that begins with a fixed text
// has the table's own index; one without three fixed characters in a row
// would make the index read every row.
bool narrows(const QString& pattern)
{
    if (pattern.isEmpty() || (pattern[0] != QLatin1Char('%') && pattern[0] != QLatin1Char('_')))
        return false;
    int run = 0;
    for (const char32_t c : pattern.toUcs4()) {
        run = c == U'%' || c == U'_' ? 0 : run + 1;
        if (run == 3)
            return true;
    }
    return false;
}

// "SELECT <columns> FROM <table> WHERE <column> LIKE :<name>"; a search
// runs the same text at every keystroke, so the last one is kept.
QRegularExpressionMatch matchShape(const std::string& sql)
{
    static const QRegularExpression shape(
        QStringLiteral(
            R"(^\s*select\s+([\w\s.,*]+?)\s+from\s+(\w+)\s+where\s+(?:\w+\.)?(\w+)\s+like\s*:(\w+)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    thread_local std::string lastSql;
    thread_local QRegularExpressionMatch lastMatch;
    if (sql != lastSql || !lastMatch.isValid()) {
        lastMatch = shape.match(QString::fromStdString(sql));
        lastSql = sql;
    }
    return lastMatch;
}

} // namespace

QStringList statements(const QString& table, const QString& column)
{
    const QString index = sql::quoted(indexName(table, column));
    const QString t = sql::quoted(table);
    const QString c = sql::quoted(column);
    const QString add = QStringLiteral("INSERT INTO %1(rowid, %2) VALUES (new.rowid, new.%2);").arg(index, c);
    const QString remove =
        QStringLiteral("INSERT INTO %1(%1, rowid, %2) VALUES ('delete', old.rowid, old.%2);").arg(index, c);
    auto trigger = [&](const char* when) {
        return sql::quoted(indexName(table, column) + QLatin1String(when));
    };
    return {
        // Trigrams, folded to one letter case; LIKE checks every row found.
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(%2, content=%3, content_rowid='rowid', "
                       "tokenize='trigram', detail='none', columnsize=0)")
            .arg(index, c, t),
        QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN %3 END").arg(trigger("_added"), t, add),
        QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN %3 END")
            .arg(trigger("_removed"), t, remove),
        // A change of stock leaves the index alone.
        QStringLiteral(
            "CREATE TRIGGER %1 AFTER UPDATE ON %2 WHEN old.%3 IS NOT new.%3 OR old.rowid IS NOT new.rowid "
            "BEGIN %4 %5 END")
            .arg(trigger("_changed"), t, c, remove, add),
        QStringLiteral("INSERT INTO %1(%1) VALUES ('rebuild')").arg(index),
    };
}

std::string plan(Database& db, const std::string& sql,
                 const std::vector<std::pair<QByteArray, QVariant>>& values)
{
    const QRegularExpressionMatch m = matchShape(sql);
    if (!m.hasMatch())
        return sql;
    const QString table = m.captured(2), column = m.captured(3), param = m.captured(4);
    const QVariant* pattern = nullptr;
    for (const auto& [name, value] : values)
        if (QString::fromUtf8(name.mid(1)).compare(param, Qt::CaseInsensitive) == 0)
            pattern = &value;
    if (!pattern || pattern->typeId() != QMetaType::QString || !narrows(pattern->toString()))
        return sql;
    // The index gives the candidates in the table's order and the statement's
    // own condition keeps those it holds, so the rows are the scan's.
    const QString t = sql::quoted(table), c = sql::quoted(column);
    const std::string indexed =
        QStringLiteral(
            "SELECT %1 FROM (SELECT %2.* FROM %3 AS tk_text CROSS JOIN %2 ON %2.rowid = tk_text.rowid "
            "WHERE tk_text.%4 LIKE :%5) AS %2 WHERE %4 LIKE :%5")
            .arg(m.captured(1), t, sql::quoted(indexName(table, column)), c, param)
            .toStdString();
    if (db.compiles(indexed))
        return indexed;
    // A database made before the index was kept: it gets one at its next write.
    db.wantTextIndex(table, column);
    return sql;
}

RangeCount rangeCount(const std::string& sql)
{
    const QRegularExpressionMatch m = matchShape(sql);
    if (!m.hasMatch())
        return {};
    const QString t = sql::quoted(m.captured(2)), c = sql::quoted(m.captured(3)), param = m.captured(4);
    // Each bound on its own, so that the engine reads it from the rowids'
    // edge; NOT INDEXED, as an index of the column would make every range
    // read all the rows the pattern matches.
    return {QStringLiteral("SELECT (SELECT min(rowid) FROM %1), (SELECT max(rowid) FROM %1), total_changes()")
                .arg(t)
                .toStdString(),
            QStringLiteral(
                "SELECT count(*), total_changes() FROM %1 NOT INDEXED WHERE rowid BETWEEN :tk_lo AND :tk_hi "
                "AND %2 LIKE :%3")
                .arg(t, c, param)
                .toStdString()};
}

} // namespace data::textindex
