#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace data {

class Database;

// The database engine: aliases from its configuration, one connection per
// alias for the whole run.
//
// Configuration: an INI file with one section per alias, found at
// $DBENGINE_CONFIG, else ${XDG_CONFIG_HOME:-~/.config}/dbengine/aliases.ini.
// Keys: Path= the alias folder; BusyTimeout= how long (ms) a database locked
// by another program is waited for, 5000 when not set. Section and key names
// match whatever their case.
// Each alias folder holds one database file, kDatabaseFile.
class Engine {
public:
    static constexpr const char* kDatabaseFile = "stock.sqlite";

    static QString configPath();
    // Folder of an alias; raises "Unknown database alias: %s", or says that
    // the alias has no folder when its Path= is empty or missing.
    static QString aliasPath(const QString& alias);
    // Makes a new database in `folder` and runs the statements in it, all or
    // nothing. Raises when the folder already holds a database.
    static void createDatabase(const QString& folder, const QStringList& statements);

    // Statements that give a text column the engine's own index of its
    // pieces, which answers a LIKE pattern beginning with a wildcard; a
    // database without it is searched row by row.
    static QStringList textIndex(const QString& table, const QString& column);

    // Writes or replaces an alias in the configuration.
    static void writeAlias(const QString& alias, const QString& folder);

    // The shared connection of an alias, opened on first use; raises when the
    // alias is unknown or its database is missing.
    static std::shared_ptr<Database> database(const QString& alias);
    // Forgets the connections that nothing uses any more (tests).
    static void releaseUnused();
};

} // namespace data
