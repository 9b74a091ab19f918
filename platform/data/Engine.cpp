#include "platform/data/Engine.h"

#include "platform/data/Database.h"
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

QString Engine::aliasPath(const QString& alias)
{
    QSettings ini(configPath(), QSettings::IniFormat);
    for (const QString& group : ini.childGroups()) {
        if (group.compare(alias, Qt::CaseInsensitive) == 0) {
            const QString path = ini.value(group + QStringLiteral("/Path")).toString();
            if (!path.isEmpty())
                return path;
        }
    }
    throw rtl::DatabaseError(QStringLiteral("Unknown database alias: %1").arg(alias));
}

void Engine::createDatabase(const QString& folder, const QStringList& statements)
{
    if (!QDir().mkpath(folder))
        throw rtl::DatabaseError(QStringLiteral("Cannot create the folder %1").arg(folder));
    const QString file = QDir(folder).filePath(QString::fromLatin1(kDatabaseFile));
    if (QFileInfo::exists(file))
        throw rtl::DatabaseError(QStringLiteral("A database already exists: %1").arg(file));
    try {
        SQLite::Database db(QFile::encodeName(file).toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec("PRAGMA journal_mode=WAL");
        SQLite::Transaction tr(db);
        for (const QString& st : statements)
            db.exec(st.toStdString());
        tr.commit();
    } catch (const SQLite::Exception& e) {
        QFile::remove(file);
        Database::raise(e);
    }
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
    const QString folder = aliasPath(alias);
    const QString file = QDir(folder).filePath(QString::fromLatin1(kDatabaseFile));
    if (!QFileInfo(file).isFile())
        throw rtl::DatabaseError(QStringLiteral("Database not found for alias %1: %2").arg(alias, file));
    auto db = std::make_shared<Database>(alias, file);
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
