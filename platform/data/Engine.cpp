#include "platform/data/Engine.h"

#include "platform/data/Database.h"
#include "platform/data/Statement.h"
#include "platform/data/TextIndex.h"
#include "platform/rtl/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <map>

namespace data {

namespace {

std::map<QString, std::weak_ptr<Database>>& connections()
{
    static std::map<QString, std::weak_ptr<Database>> map;
    return map;
}

} // namespace

QString Engine::configPath()
{
    const QString env = qEnvironmentVariable("DBENGINE_CONFIG");
    if (!env.isEmpty())
        return env;
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("dbengine/aliases.ini"));
}

namespace {

struct AliasEntry {
    QString path;
    int busyTimeout = 5000; // ms a locked database is waited for
};

// Section and key names match whatever their case, as in any INI file.
AliasEntry aliasEntry(const QString& alias)
{
    const QString config = Engine::configPath();
    QSettings ini(config, QSettings::IniFormat);
    bool named = false;
    for (const QString& group : ini.childGroups()) {
        if (group.compare(alias, Qt::CaseInsensitive) != 0)
            continue;
        named = true;
        AliasEntry entry;
        ini.beginGroup(group);
        for (const QString& key : ini.childKeys()) {
            if (key.compare(QLatin1String("Path"), Qt::CaseInsensitive) == 0) {
                entry.path = ini.value(key).toString();
            } else if (key.compare(QLatin1String("BusyTimeout"), Qt::CaseInsensitive) == 0) {
                bool ok = false;
                const int timeout = ini.value(key).toInt(&ok);
                if (ok && timeout >= 0)
                    entry.busyTimeout = timeout;
            }
        }
        ini.endGroup();
        if (!entry.path.isEmpty())
            return entry;
    }
    // A missing Path= counts as an empty one.
    if (named)
        throw rtl::DatabaseError(
            QStringLiteral("The database alias %1 has no folder: its Path= is empty in %2")
                .arg(alias, config));
    throw rtl::DatabaseError(QStringLiteral("Unknown database alias: %1").arg(alias));
}

} // namespace

QString Engine::aliasPath(const QString& alias)
{
    return aliasEntry(alias).path;
}

void Engine::createDatabase(const QString& folder, const QStringList& statements)
{
    if (!QDir().mkpath(folder))
        throw rtl::DatabaseError(QStringLiteral("Cannot create the folder %1").arg(folder));
    const QString file = QDir(folder).filePath(QString::fromLatin1(kDatabaseFile));
    if (QFileInfo::exists(file))
        throw rtl::DatabaseError(QStringLiteral("A database already exists: %1").arg(file));
    try {
        Database db(QString(), file, AliasEntry().busyTimeout, Database::Mode::Create);
        const int level = db.begin();
        for (const QString& st : statements)
            Statement(db, st.toStdString()).run();
        db.commit(level);
    } catch (const rtl::Error&) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(file + QLatin1String(suffix));
        throw;
    }
}

QStringList Engine::textIndex(const QString& table, const QString& column)
{
    return textindex::statements(table, column);
}

void Engine::writeAlias(const QString& alias, const QString& folder)
{
    const QString path = configPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings ini(path, QSettings::IniFormat);
    for (const QString& group : ini.childGroups()) {
        if (group.compare(alias, Qt::CaseInsensitive) == 0)
            ini.remove(group);
    }
    ini.setValue(alias + QStringLiteral("/Path"), QDir(folder).absolutePath());
    ini.sync();
    if (ini.status() != QSettings::NoError)
        throw rtl::DatabaseError(QStringLiteral("Cannot write the engine configuration %1").arg(path));
}

std::shared_ptr<Database> Engine::database(const QString& alias)
{
    const QString key = alias.toLower();
    auto& map = connections();
    if (auto it = map.find(key); it != map.end()) {
        if (auto db = it->second.lock())
            return db;
    }
    const AliasEntry entry = aliasEntry(alias);
    const QString file = QDir(entry.path).filePath(QString::fromLatin1(kDatabaseFile));
    if (!QFileInfo(file).isFile())
        throw rtl::DatabaseError(QStringLiteral("Database not found for alias %1: %2").arg(alias, file));
    auto db = std::make_shared<Database>(alias, file, entry.busyTimeout);
    map[key] = db;
    return db;
}

void Engine::releaseUnused()
{
    auto& map = connections();
    for (auto it = map.begin(); it != map.end();) {
        if (it->second.expired())
            it = map.erase(it);
        else
            ++it;
    }
}

} // namespace data
