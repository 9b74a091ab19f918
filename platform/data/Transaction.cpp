#include "platform/data/Transaction.h"

#include "platform/data/DataSet.h"
#include "platform/data/Database.h"
#include "platform/data/Table.h"
#include "platform/rtl/Errors.h"

namespace data {

namespace {

Database* databaseOf(DataSet& ds)
{
    if (auto* t = dynamic_cast<Table*>(&ds); t && t->database())
        return t->database();
    ds.raise(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

} // namespace

Transaction::Transaction(DataSet& anyDataSetOfTheConnection)
    : db_(databaseOf(anyDataSetOfTheConnection)), level_(db_->begin()), epoch_(db_->epoch())
{
}

Transaction::~Transaction() noexcept
{
    // After a rollback of the whole transaction this savepoint is gone too.
    if (!done_ && db_->epoch() == epoch_)
        db_->rollback(level_);
}

void Transaction::commit()
{
    if (db_->epoch() != epoch_)
        throw rtl::DatabaseError(QStringLiteral("The transaction was rolled back"));
    db_->commit(level_);
    done_ = true;
}

} // namespace data
