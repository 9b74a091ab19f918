#pragma once

namespace data {

class DataSet;
class Database;

// One save of the program: everything written between its start and
// commit() is stored together, or not at all. It starts as a writer, so
// under another program's lock it waits the alias's busy time before it is
// refused, whether it reads first or not. Leaving the scope without
// commit() rolls back, drops every pending appended or edited row on the
// connection, and re-reads the tables' current rows. Nests. Every way out
// leaves no savepoint open.
class Transaction {
public:
    // Any dataset of the connection the save writes to.
    explicit Transaction(DataSet& anyDataSetOfTheConnection);
    ~Transaction() noexcept; // runs while an error is on its way: never throws
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database* db_;
    int level_;
    unsigned epoch_; // changes when the whole transaction was rolled back
    bool done_ = false;
};

} // namespace data
