#include "TempDatabase.h"

#include "platform/data/Engine.h"
#include "platform/data/Query.h"
#include "tools/stockdb/StockSchema.h"

#include <QDir>
#include <stdexcept>

TempDatabase::TempDatabase(const QString& alias)
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    stockdb::create(dataFolder());
    data::Engine::writeAlias(alias, dataFolder());
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
}

TempDatabase::~TempDatabase()
{
    QDir::setCurrent(previousDir_);
    data::Engine::releaseUnused();
}

QString TempDatabase::dataFolder() const
{
    return QDir(dir_.path()).filePath(QStringLiteral("data"));
}

void TempDatabase::exec(const QString& sql) const
{
    data::Query q(QStringLiteral("TestExec"));
    q.setDatabaseName(QStringLiteral("Stock"));
    q.setSql({sql});
    q.execSql();
}

QString TempDatabase::scalar(const QString& sql) const
{
    data::Query q(QStringLiteral("TestScalar"));
    q.setDatabaseName(QStringLiteral("Stock"));
    q.setSql({sql});
    q.open();
    if (q.isEmpty() || q.fields().empty())
        return QString();
    return q.fields().front()->asString();
}
